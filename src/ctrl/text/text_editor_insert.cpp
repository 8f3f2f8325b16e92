#include "ctrl/text/text_editor_insert.h"

#include <utility>
#include <vector>

#include <pangomm/layout.h>

#include "common/i18n.h"
#include "ctrl/keys/action_row.h"

namespace velkaro {

namespace {

using Editor = CtrlTextEditorInsert;
using Rows = CtrlActionRows<Editor>;

// In registration order: an earlier row keeps a key a later one claims.
const Rows& action_rows()
{
  static const Rows rows = {
    {"cursor-up", {"<Up>"}, N_("Move cursor up:"), CtrlRecord::none, [](Editor& e) { e.move_line(-1); return true; }},
    {"cursor-down", {"<Down>"}, N_("Move cursor down:"), CtrlRecord::none,
     [](Editor& e) {
       e.move_line(1);
       return true;
     }},
    {"cursor-left", {"<Left>"}, N_("Move cursor left:"), CtrlRecord::none,
     [](Editor& e) {
       e.move_char(-1);
       return true;
     }},
    {"cursor-right", {"<Right>"}, N_("Move cursor right:"), CtrlRecord::none,
     [](Editor& e) {
       e.move_char(1);
       return true;
     }},
    {"paste", {"<C-v>"}, N_("Paste text:"), CtrlRecord::none, [](Editor& e) { e.paste(false); return true; }},
    {"copy", {"<C-c>"}, N_("Copy text:"), CtrlRecord::none, [](Editor& e) { e.copy(); return true; }},
    {"cut", {"<C-x>"}, N_("Cut text:"), CtrlRecord::none, [](Editor& e) { e.cut(); return true; }},
    {"new-line", {"<CR>"}, N_("New line text:"), CtrlRecord::none, [](Editor& e) { e.new_line(); return true; }},
    {"back-space", {"<BS>"}, N_("Back space text:"), CtrlRecord::none, [](Editor& e) { e.bs(); return true; }},
    {"delete", {"<Del>"}, N_("Delete text:"), CtrlRecord::none, [](Editor& e) { e.del(); return true; }},
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
  ctrl_register_rows(*this, *this, action_rows());
}

} // namespace velkaro
