#include "ctrl/text_editor_insert.h"

#include <utility>
#include <vector>

#include <pangomm/layout.h>

#include "common/i18n.h"

namespace velkaro {

namespace {

using Editor = CtrlTextEditorInsert;
using Row = CtrlTextEditorWithAction::ActionRow<Editor>;

// In registration order: an earlier row keeps a key a later one claims.
const std::vector<Row>& action_rows()
{
  static const std::vector<Row> rows = {
    {"cursor-up", {"<Up>"}, [](Editor& e) { e.move_line(-1); }, N_("Move cursor up:")},
    {"cursor-down", {"<Down>"}, [](Editor& e) { e.move_line(1); }, N_("Move cursor down:")},
    {"cursor-left", {"<Left>"}, [](Editor& e) { e.move_char(-1); }, N_("Move cursor left:")},
    {"cursor-right", {"<Right>"}, [](Editor& e) { e.move_char(1); }, N_("Move cursor right:")},
    {"paste", {"<C-v>"}, [](Editor& e) { e.paste(false); }, N_("Paste text:")},
    {"copy", {"<C-c>"}, [](Editor& e) { e.copy(); }, N_("Copy text:")},
    {"cut", {"<C-x>"}, [](Editor& e) { e.cut(); }, N_("Cut text:")},
    {"new-line", {"<CR>"}, [](Editor& e) { e.new_line(); }, N_("New line text:")},
    {"back-space", {"<BS>"}, [](Editor& e) { e.bs(); }, N_("Back space text:")},
    {"delete", {"<Del>"}, [](Editor& e) { e.del(); }, N_("Delete text:")},
  };
  return rows;
}

} // namespace

std::shared_ptr<CtrlTextEditorInsert> CtrlTextEditorInsert::create(Gtk::Widget& widget,
                                                                   const std::shared_ptr<CtrlITextEditable>& ite)
{
  return std::shared_ptr<CtrlTextEditorInsert>(new CtrlTextEditorInsert(widget, ite));
}

std::shared_ptr<CtrlTextEditorInsert> CtrlTextEditorInsert::create_with_ctrl(CtrlTextEditorContextParts parts)
{
  return std::shared_ptr<CtrlTextEditorInsert>(new CtrlTextEditorInsert(std::move(parts)));
}

CtrlTextEditorInsert::CtrlTextEditorInsert(Gtk::Widget& widget, const std::shared_ptr<CtrlITextEditable>& ite)
  : CtrlTextEditorWithAction(widget, ite)
{
  init();
}

CtrlTextEditorInsert::CtrlTextEditorInsert(CtrlTextEditorContextParts parts)
  : CtrlTextEditorWithAction(std::move(parts))
{
  init();
}

void CtrlTextEditorInsert::init()
{
  set_insert_style(true);
  set_can_edit(true);
  register_actions(*this, action_rows());
}

} // namespace velkaro
