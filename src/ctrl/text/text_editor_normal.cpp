// The normal text editor: construction, its key table and its compound
// actions. Word motions are in text_editor_normal_words.cpp.
#include "ctrl/text/text_editor_normal.h"

#include <utility>
#include <vector>

#include <pangomm/layout.h>

#include "common/i18n.h"
#include "ctrl/keys/action_row.h"
#include "common/text_range.h"
#include "ctrl/text/text_editor_text.h"

namespace velkaro {

using text_editor_detail::cursor_of;
using text_editor_detail::length_of;

namespace {

using Editor = CtrlTextEditorNormal;
using Rows = CtrlActionRows<Editor>;

// In registration order: an earlier row keeps a key a later one claims.
const Rows& action_rows()
{
  static const Rows rows = {
    {"cursor-up", {"k", "<Up>"}, N_("Move cursor up:"), CtrlRecord::none,
     [](Editor& e) {
       e.move_line(-1);
       return true;
     }},
    {"cursor-down", {"j", "<Down>", "<CR>"}, N_("Move cursor down:"), CtrlRecord::none,
     [](Editor& e) {
       e.move_line(1);
       return true;
     }},
    {"cursor-left", {"h", "<Left>", "<BS>"}, N_("Move cursor left:"), CtrlRecord::none,
     [](Editor& e) {
       e.move_char(-1);
       return true;
     }},
    {"cursor-right", {"l", "<Right>"}, N_("Move cursor right:"), CtrlRecord::none,
     [](Editor& e) {
       e.move_char(1);
       return true;
     }},
    {"goto-start-of-line", {"0"}, nullptr, CtrlRecord::none, [](Editor& e) { e.move_cursor_at_sol(); return true; }},
    {"goto-end-of-line", {"$"}, nullptr, CtrlRecord::none, [](Editor& e) { e.move_cursor_at_eol(); return true; }},
    {"goto-start", {"gg"}, nullptr, CtrlRecord::none, [](Editor& e) { e.goto_start(); return true; }},
    {"goto-end", {"G"}, nullptr, CtrlRecord::none, [](Editor& e) { e.goto_end(); return true; }},
    {"forward", {"w"}, nullptr, CtrlRecord::none, [](Editor& e) { e.forward(); return true; }},
    {"backward", {"b"}, nullptr, CtrlRecord::none, [](Editor& e) { e.backward(); return true; }},
    {"forward-to-end", {"e"}, nullptr, CtrlRecord::none, [](Editor& e) { e.forward_to_end(); return true; }},
    {"delete-word", {"dw"}, nullptr, CtrlRecord::none, [](Editor& e) { e.delete_word(); return true; }},
    {"change-word", {"cw"}, nullptr, CtrlRecord::none, [](Editor& e) { e.change_word(); return true; }},
    {"paste-before", {"P", "<C-v>"}, N_("Paste text to before the cursor"), CtrlRecord::none,
     [](Editor& e) {
       e.paste(false);
       return true;
     }},
    {"paste", {"p"}, N_("Paste text"), CtrlRecord::none, [](Editor& e) { e.paste(true); return true; }},
    {"copy", {"y", "<C-c>"}, N_("Copy text:"), CtrlRecord::none, [](Editor& e) { e.copy(); return true; }},
    {"cut", {"x", "<C-x>"}, N_("Cut text:"), CtrlRecord::none, [](Editor& e) { e.cut_or_del(); return true; }},
    {"delete", {"<Del>"}, N_("Delete text:"), CtrlRecord::none, [](Editor& e) { e.del(); return true; }},
    {"delete-text-line", {"dd"}, N_("Delete text line:"), CtrlRecord::none,
     [](Editor& e) {
       e.del_line();
       return true;
     }},
    {"delete-until-end-of-line", {"D"}, nullptr, CtrlRecord::none,
     [](Editor& e) {
       e.delete_until_end_of_line();
       return true;
     }},
    {"new-line-below", {"o"}, nullptr, CtrlRecord::none, [](Editor& e) { e.new_line_below(); return true; }},
    {"new-line-above", {"O"}, nullptr, CtrlRecord::none, [](Editor& e) { e.new_line_above(); return true; }},
  };
  return rows;
}

} // namespace

std::shared_ptr<CtrlTextEditorNormal> CtrlTextEditorNormal::create(Gtk::Widget& widget,
                                                                   const std::shared_ptr<CtrlITextEditable>& ite)
{
  return std::shared_ptr<CtrlTextEditorNormal>(new CtrlTextEditorNormal(widget, ite));
}

std::shared_ptr<CtrlTextEditorNormal> CtrlTextEditorNormal::create_with_ctrl(CtrlTextEditorContextParts parts)
{
  return std::shared_ptr<CtrlTextEditorNormal>(new CtrlTextEditorNormal(std::move(parts)));
}

CtrlTextEditorNormal::CtrlTextEditorNormal(Gtk::Widget& widget, const std::shared_ptr<CtrlITextEditable>& ite)
  : CtrlTextEditorWithAction(widget, ite)
{
  set_can_edit(false);
  init_actions();
}

CtrlTextEditorNormal::CtrlTextEditorNormal(CtrlTextEditorContextParts parts)
  : CtrlTextEditorWithAction(std::move(parts))
{
  init_actions();
}

void CtrlTextEditorNormal::init_actions() { ctrl_register_rows(*this, *this, action_rows()); }

bool CtrlTextEditorNormal::goto_start()
{
  get_ite()->set_cursor_index(0);
  update_cursor_point_x();
  emit_update_cursor();
  return true;
}

bool CtrlTextEditorNormal::goto_end()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  ite->set_cursor_index(length_of(ite->get_text()));
  update_cursor_point_x();
  emit_update_cursor();
  return true;
}

bool CtrlTextEditorNormal::change_word()
{
  const std::shared_ptr<CtrlTextEditor> keep = hold();
  delete_word();
  request_enter();
  return true;
}

bool CtrlTextEditorNormal::delete_until_end_of_line()
{
  const std::shared_ptr<CtrlTextEditor> keep = hold();
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const int32_t start = cursor_of(*ite);
  place_cursor_at_eol();
  ite->get_text_range()->set_range(start, cursor_of(*ite));
  return cut();
}

bool CtrlTextEditorNormal::new_line_below()
{
  const std::shared_ptr<CtrlTextEditor> keep = hold();
  place_cursor_at_eol();
  new_line();
  request_enter();
  return true;
}

bool CtrlTextEditorNormal::new_line_above()
{
  const std::shared_ptr<CtrlTextEditor> keep = hold();
  place_cursor_at_sol();
  new_line();
  move_line(-1);
  request_enter();
  return true;
}

} // namespace velkaro
