#pragma once
// The text modes of a class diagram: the compartment texts of a class box
// (the name, "block1", "block2") and free texts are edited in place.
//
//   ClsNormalModeInClass  "NORMAL MODE (CLASS)"   normal  <Esc>: cell mode
//   ClsVisualModeInClass  "VISUAL MODE (CLASS)"   visual  <Esc>: normal mode
//   ClsInsertModeNormal   "INSERT MODE (NORMAL)"  insert  <Esc>: normal mode
//   ClsInsertModeDirect   "INSERT MODE (DIRECT)"  typing entered from the
//                                                  cell mode; <Esc>: cell mode
//
// The edited text is the context's "now-text-elm": the active compartment
// of the class at the cursor (the edited class), or the free text there.
// The family's roles are ClsNormalModeInClass, ClsInsertModeNormal and
// ClsVisualModeInClass; the modes are found by exact class, so
// ClsInsertModeDirect is entered only from the cell mode.
//
// Compartments. A press inside the cursor cell, a drag in the visual mode
// and the double click that enters ClsInsertModeDirect (entry_pt, handed
// over by the cell mode and used once) make the shown compartment under the
// pointer the edited one. A cursor motion past the start or the end of a
// compartment goes on in the shown compartment above or below, from its
// end or its start, keeping the horizontal position; past the first or
// last one, or in a free text, the cursor stays. "insert-block" <S-Enter>
// shows an empty compartment below the edited one and edits it (the undo
// step ends first); "delete-block" <S-Del> hides the edited one (never the
// name). Both are steps of the history; refused, they record nothing.
//
// Visual selection across compartments: the compartment the selection
// started in (start_text_elm, its index start_elm_index, the cursor there
// start_cursor_index) is selected from the start towards the edited one,
// every shown compartment between them wholly, the edited one from its
// near end to the cursor. "copy" y puts the selected pieces on the
// clipboard joined by line feeds; "cut" x, <Del>, dd deletes each piece as
// an undo step of its own and edits the compartment edited before; "paste"
// p replaces the selection by the clipboard's text (the clipboard then
// holds what was replaced).
//
// Paste asks the clipboard for its text and returns at once: the selection
// is cut and the text put in when the answer comes, in one go, while keys
// that come meanwhile wait and then follow in their order. Nothing of the
// paste runs before the answer, so no key, pointer event or timer meets it
// half done; should the mode be left first, the paste is dropped.
//
// Leaving: an emptied compartment stays shown and empty; an emptied free
// text goes as the text modes decide (CtrlATextModeRoot: taken back when it
// was made for this edit and nothing came after, else removed in a step of
// its own, never by undoing another step).
//
// Made by each class's create(), as every text mode (CtrlATextModeRoot).

#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <vector>

#include <gdk/gdk.h>

#include "common/c_resource.h"
#include "common/point.h"
#include "ctrl/text/mode_text.h"

namespace velkaro {

class ClsClassElement;
class ClsContext;
class ClsWorkspace;

class ClsAInClassMode : public CtrlATextMode {
public:
  using TextPtr = std::shared_ptr<ModelTextElement>;

  // Where a double click in the cell mode pointed; used by the next entry.
  std::optional<Point> entry_pt;

  std::type_index get_visual_mode() const override;
  std::type_index get_normal_mode() const override;
  std::type_index get_insert_mode() const override;

  // The class at the cursor, or null (a free text is edited).
  std::shared_ptr<ClsClassElement> get_editing_klass() const;
  // The cursor cell.
  CellPos get_editing_cell_pos() const;
  // The shown compartment under pt (canvas units), edges included, or null;
  // without an edited class the edited text.
  TextPtr get_text_elem_at(const Point& pt) const;
  // Makes telm the edited compartment.
  virtual void change_active_text_elem(const TextPtr& telm);
  // The bodies of "insert-block" and "delete-block".
  bool add_block();
  bool rm_block();

  // Without a text to edit, nothing; else the compartment under entry_pt
  // first, then the text modes' entry.
  void on_enter() override;
  // Outside the cursor cell: the cell mode there, true. Inside: the
  // compartment under pt is edited, false (the editor places the cursor).
  bool on_press_left_button(const Point& pt) override;
  // A compartment's cell is its class's.
  CellPos get_text_pos(const std::shared_ptr<ModelTextElement>& elm) override;
  void on_update_cb(const std::shared_ptr<CtrlITextEditable>& ite, bool text_changed) override;
  void on_overstep_cursor_limit_cb(int dx, int dy, int x) override;
  // A compartment stays when emptied.
  bool keeps_empty_text(const ModelTextElement& text) const override;

protected:
  explicit ClsAInClassMode(CtrlContext& ctrl);

  ClsContext& get_cls_ctrl() const;
  const std::shared_ptr<ClsWorkspace>& get_cls_ws() const;
  // "insert-block" <S-Enter> and "delete-block" <S-Del>.
  void register_block_keys();
  // The editing mark follows the edited compartment from before.
  void follow_active(const TextPtr& before);
};

class ClsNormalModeInClass : public ClsAInClassMode {
public:
  static std::shared_ptr<ClsNormalModeInClass> create(ClsContext& ctrl);
  ClsNormalModeInClass(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "NORMAL MODE (CLASS)"; }
  std::shared_ptr<CtrlTextEditorWithAction> new_text_editor() override;
  // Into ClsInsertModeNormal. False.
  bool on_double_press_left_button(const Point& pt) override;
};

class ClsVisualModeInClass : public ClsAInClassMode {
public:
  static std::shared_ptr<ClsVisualModeInClass> create(ClsContext& ctrl);
  ClsVisualModeInClass(Key key, CtrlContext& ctrl);
  ~ClsVisualModeInClass() override;

  std::string get_name() const override { return "VISUAL MODE (CLASS)"; }
  std::shared_ptr<CtrlTextEditorWithAction> new_text_editor() override;
  void on_enter() override;
  void on_exit() override;
  // The class form: inside the cursor cell, the normal mode. True.
  bool on_press_left_button(const Point& pt) override;
  // Over another shown compartment, the selection runs into it. False.
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override;
  // While a paste waits for the clipboard, keys wait too.
  bool key_press(GdkEventKey& event) override;
  void change_active_text_elem(const TextPtr& telm) override;
  // Copies, then deletes each selected piece as a step of its own.
  void cut() override;

  // The selected pieces, joined by line feeds, onto the clipboard; the
  // line-yank text is dropped.
  void copy_selection();
  // copy_selection(), then the normal mode.
  void copy();
  // Asks the clipboard for its text; see the header comment.
  void paste();
  bool get_is_paste_pending() const { return m_paste_pending; }

private:
  // text by value: the cut replaces the clipboard's content, which the
  // answer may refer to.
  void on_paste_text(unsigned serial, std::optional<std::string> text);
  void release_held_keys();

  bool m_paste_pending = false;
  unsigned m_paste_serial = 0;
  std::vector<CPtr<GdkEvent, gdk_event_free>> m_held_keys;
};

class ClsInsertModeNormal : public ClsAInClassMode {
public:
  static std::shared_ptr<ClsInsertModeNormal> create(ClsContext& ctrl);
  ClsInsertModeNormal(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "INSERT MODE (NORMAL)"; }
};

class ClsInsertModeDirect : public ClsInsertModeNormal {
public:
  static std::shared_ptr<ClsInsertModeDirect> create(ClsContext& ctrl);
  ClsInsertModeDirect(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "INSERT MODE (DIRECT)"; }
};

} // namespace velkaro
