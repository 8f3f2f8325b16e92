#pragma once
// CtrlTextEditorInsert ("TEXT EDITOR INSERT"): the typing editor of the
// insert text modes and of the command line. Its cursor stands between
// characters (insert style) and it can edit: while activated on its widget,
// keys go to the input method first and printable characters arrive through
// its commits. Its key table holds the arrows, the clipboard, new line,
// backspace and delete; its "cut" takes the selected range only and does
// nothing without one.
//
// Made on a bare widget (the command line) it records no undo and stores no
// key changes; made for a controller context it records every text change
// through the context's processor (see CtrlTextEditorWithAction).
//
// Ownership: as CtrlTextEditorWithAction.

#include <memory>

#include "ctrl/text/text_editor_with_action.h"

namespace velkaro {

class CtrlTextEditorInsert : public CtrlTextEditorWithAction {
public:
  // On widget, editing ite (may be null) when activated there.
  static std::shared_ptr<CtrlTextEditorInsert> create(Gtk::Widget& widget,
                                                      const std::shared_ptr<CtrlITextEditable>& ite = nullptr);
  // For a controller context: edits the context's text element under the
  // cursor unless given an explicit target, on the context's canvas.
  static std::shared_ptr<CtrlTextEditorInsert> create_with_ctrl(CtrlTextEditorContextParts parts);

  std::string get_name() const override { return "TEXT EDITOR INSERT"; }

protected:
  CtrlTextEditorInsert(Gtk::Widget& widget, const std::shared_ptr<CtrlITextEditable>& ite);
  explicit CtrlTextEditorInsert(CtrlTextEditorContextParts parts);

private:
  // Insert style, can-edit, then the key table.
  void init();
};

} // namespace velkaro
