#pragma once
// CtrlTextEditorNormal ("TEXT EDITOR NORMAL"): the vi-like editor of the
// normal and visual text modes. Its cursor stands on a character, it takes
// no typing (can-edit stays off, so every key goes on to the key binder),
// and its actions are the motions and edits of its key table, among them
// word motions over Pango's logical attributes of the layout.
//
// Words. w (forward()) stops at the next word start, at punctuation that
// ends a word, or at the first non-white character after white space; it
// does not move from inside or at the start of the last word. b
// (backward()) stops at the start of the previous word in the same way and
// does not move at 0. e (forward_to_end()) goes to the last character of the
// current or next word, or to the end of the text. These three do not
// change the remembered horizontal cursor position. Outside the text counts
// as white space.
//
// Compound actions:
// - "dw" (delete_word()): selects from the cursor through the end of the
//   word and the white space after it, and cuts that.
// - "cw": delete_word(), then enter_request().
// - "D": cuts from the cursor up to the line feed that ends its line (or the
//   end of the text); the cursor stays. On a line feed nothing is cut.
// - "o" / "O": a new line below / above the cursor's line, the cursor at its
//   start, then enter_request(), also when new lines are not allowed.
// The owner answers enter_request() by switching to typing.
//
// Ownership: as CtrlTextEditorWithAction.

#include <memory>

#include "ctrl/text/text_editor_with_action.h"

namespace velkaro {

class CtrlTextEditorNormal : public CtrlTextEditorWithAction {
public:
  // On widget, editing ite (may be null); records no undo, stores no keys.
  static std::shared_ptr<CtrlTextEditorNormal> create(Gtk::Widget& widget,
                                                      const std::shared_ptr<CtrlITextEditable>& ite = nullptr);
  // For a controller context: edits the context's text element under the
  // cursor unless given an explicit target; records undo through the
  // context's processor and reads the user's keys from its store.
  static std::shared_ptr<CtrlTextEditorNormal> create_with_ctrl(CtrlTextEditorContextParts parts);

  std::string get_name() const override { return "TEXT EDITOR NORMAL"; }

  // Word motions (see the header comment); each emits update(ite, false)
  // when the cursor goes somewhere. True.
  bool forward();
  bool backward();
  bool forward_to_end();
  // "dw": see the header comment. True.
  bool delete_word();

  // The actions of the key table that are more than one call.
  bool goto_start();
  bool goto_end();
  bool change_word();
  bool delete_until_end_of_line();
  bool new_line_below();
  bool new_line_above();

protected:
  CtrlTextEditorNormal(Gtk::Widget& widget, const std::shared_ptr<CtrlITextEditable>& ite);
  explicit CtrlTextEditorNormal(CtrlTextEditorContextParts parts);

private:
  void init_actions();
  // w and b: steps in direction (+1 forward, -1 back) to the next stop; the
  // cursor stays when the text runs out first.
  void move_to_word(int direction);
  // e and dw: the cursor goes to the end of the current or next word and,
  // with skip_white, over the white space after it.
  void place_cursor_at_word_end(bool skip_white);
};

} // namespace velkaro
