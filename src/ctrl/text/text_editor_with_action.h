#pragma once
// CtrlTextEditorWithAction: the base of the text editors the program
// instantiates. Such an editor is also an action handler: it registers named,
// key-bound actions that call the editing operations, so that their keys can
// be shown, remapped by the user and stored like those of any mode, and a
// text mode includes it (CtrlIActionHandler::include) so that the mode's key
// map consults the editor's actions.
//
// Undo. An editor made for a controller context takes the context's undo
// processor, workspace and configuration store into its handler data. With a
// processor every text change becomes a CtrlUpdateTextAction run through it
// (merged into the mergeable undo head, or pushed), whose execution emits
// update(ite, true); the selected range is then not recomputed. Without a
// processor (an editor made on a bare widget, as the command line's) a text
// change is announced directly, as by the plain text editor. Cursor motions
// are never recorded. Either way a text change marks the handler data's
// workspace, when there is one, modified.
//
// The actions are rows of a key table (CtrlActionRow, registered by
// ctrl_register_rows()), all unrecorded: their text changes reach the undo
// history through emit_update_text() alone.
//
// get_name() is the handler's display name and the configuration group of
// its users' key bindings; each concrete editor gives its own and registers
// its actions in its constructor. The processor, workspace and store are
// fixed at creation.
//
// Ownership: as CtrlTextEditor (owned by std::shared_ptr; the processor's
// actions refer back to the editor without owning it). The editor owns its
// handler data; action functions refer to the editor without owning it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ctrl/keys/daction_handler.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/text/text_editor.h"

namespace velkaro {

class CtrlActionProcessor;
class ModelStore;
class ModelWorkspace;

// What an editor made for a controller context takes from it.
struct CtrlTextEditorContextParts {
  // The context, observed (CtrlTextEditor::get_ctrl()); may be null.
  std::shared_ptr<CtrlContext> ctrl;
  // How the editor reaches the context's text element, canvas and zoom.
  CtrlTextEditorContextLink link;
  // The context's undo processor, workspace and configuration store, for
  // the handler data; each may be null.
  std::shared_ptr<CtrlActionProcessor> action_proc;
  std::shared_ptr<ModelWorkspace> ws;
  std::shared_ptr<ModelStore> store;
};

class CtrlTextEditorWithAction : public CtrlTextEditor, public CtrlIActionHandler {
public:
  // Records the change as described in the header comment.
  void emit_update_text(const std::string& prev) override;

  CtrlDActionHandler& get_data_ah() override { return m_data; }

  // Keeps the editor alive while an action emits more than one signal (and
  // while a row of its key table runs, see ctrl_register_rows()).
  std::shared_ptr<CtrlTextEditor> hold() { return weak_from_this().lock(); }

protected:
  // On widget, editing ite (may be null); no processor, workspace or store.
  CtrlTextEditorWithAction(Gtk::Widget& widget, const std::shared_ptr<CtrlITextEditable>& ite);
  // For a context, on its canvas, without explicit target.
  explicit CtrlTextEditorWithAction(CtrlTextEditorContextParts parts);

  // Emits enter_request().
  void request_enter() { signal_enter_request().emit(); }

private:
  void mark_modified() const;

  CtrlDActionHandler m_data;
};

} // namespace velkaro
