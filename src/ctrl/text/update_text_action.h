#pragma once
// CtrlUpdateTextAction: the undo step of in-place text editing. A text
// editor that records undo (CtrlTextEditorWithAction with a processor)
// makes one for every text change, after it has changed the text, and runs
// it through the undo processor.
//
// The action records, per edited text, the text before the first change it
// covers, the text after the last one and the cursor after the last one.
// Executing it changes nothing: it only announces the change (the editor's
// update(ite, true)). A new action is mergeable, so every later text change
// folds into the one on top of the undo stack and a whole run of typing is
// undone in one step, also when the run crossed from one text into another
// with the same editor. The run ends when an owner makes the undo head not
// mergeable (CtrlActionProcessor::set_head_mergeable(false)).
//
// Merging an action of another kind chains it behind this one (the base
// merge); undo undoes that chain first, then restores the texts; redo
// restores the texts first, then redoes the chain.
//
// Undo puts every text back to its text before; the cursor keeps its
// distance from the end of the text (the recorded cursor plus the net
// change of length), brought into the restored text. Redo puts back the
// text after and the recorded cursor. Whatever a text holds then is
// replaced. Execute, undo and redo each emit the editor's update(ite, true)
// once, naming the text changed last; and each marks the workspace (when
// the action has one, and it is not working on its scratch cells) modified,
// since the document's text has changed.
//
// Ownership: the processor's stacks own the actions. An action refers to its
// editor and its texts without owning them (the editor's handler data owns
// the processor, which owns the action): a text that is gone is skipped, and
// with the editor gone nothing is announced.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ctrl/undo/action.h"

namespace velkaro {

class CtrlITextEditable;
class CtrlTextEditor;

// One text's part of an undo step. Two actions may share one after a merge.
struct CtrlUpdateTextActionBeforeAfterBuf {
  // The text before the first change recorded here.
  std::string before;
  // The text after the last change recorded here.
  std::string after;
  // The cursor byte index after the last change recorded here.
  int32_t cursor = 0;
};

class CtrlUpdateTextAction : public CtrlAction {
public:
  using Buf = CtrlUpdateTextActionBeforeAfterBuf;
  using Entry = std::pair<std::weak_ptr<CtrlITextEditable>, std::shared_ptr<Buf>>;

  // An action for te's edited text, which last_text was before the change
  // and which now holds its new text and cursor. ws is only kept (and marked
  // modified); it may be null.
  static std::shared_ptr<CtrlUpdateTextAction> create(std::shared_ptr<ModelWorkspace> ws, CtrlTextEditor& te,
                                                      const std::string& last_text);
  CtrlUpdateTextAction(std::shared_ptr<ModelWorkspace> ws, CtrlTextEditor& te, const std::string& last_text);

  // Announces the change; true.
  bool execute() override;
  void undo() override;
  void redo() override;
  // A text action's buffers fold into this one's: for a text recorded here
  // the text after and the cursor are taken over (the text before stays),
  // another text's buffer is taken as it is. Any other action is chained
  // behind this one. True.
  bool merge(const std::shared_ptr<CtrlAction>& other) override;

  // The recorded texts with their buffers, the one changed last at the end.
  const std::vector<Entry>& get_buffers() const { return m_buffers; }
  // The buffer of ite, or null.
  std::shared_ptr<Buf> get_buffer(const CtrlITextEditable& ite) const;

private:
  // Emits the editor's update(ite, true) with the last text still there.
  void announce() const;
  void mark_modified() const;
  std::vector<Entry>::iterator find(const std::weak_ptr<CtrlITextEditable>& ite);

  std::weak_ptr<CtrlTextEditor> m_editor;
  std::vector<Entry> m_buffers;
};

} // namespace velkaro
