// The normal text editor: construction, its key table and its compound
// actions. Word motions are in text_editor_normal_words.cpp.
#include "ctrl/text_editor_normal.h"

#include <utility>
#include <vector>

#include <pangomm/layout.h>

#include "common/i18n.h"
#include "common/text_range.h"
#include "ctrl/text_editor_text.h"

namespace velkaro {

using text_editor_detail::cursor_of;
using text_editor_detail::length_of;

namespace {

using Editor = CtrlTextEditorNormal;
using Row = CtrlTextEditorWithAction::ActionRow<Editor>;

// In registration order: an earlier row keeps a key a later one claims.
const std::vector<Row>& action_rows()
{
  static const std::vector<Row> rows = {
    {"cursor-up", {"k", "<Up>"}, [](Editor& e) { e.move_line(-1); }, N_("Move cursor up:")},
    {"cursor-down", {"j", "<Down>", "<CR>"}, [](Editor& e) { e.move_line(1); }, N_("Move cursor down:")},
    {"cursor-left", {"h", "<Left>", "<BS>"}, [](Editor& e) { e.move_char(-1); }, N_("Move cursor left:")},
    {"cursor-right", {"l", "<Right>"}, [](Editor& e) { e.move_char(1); }, N_("Move cursor right:")},
    {"goto-start-of-line", {"0"}, [](Editor& e) { e.move_cursor_at_sol(); }, nullptr},
    {"goto-end-of-line", {"$"}, [](Editor& e) { e.move_cursor_at_eol(); }, nullptr},
    {"goto-start", {"gg"}, [](Editor& e) { e.goto_start(); }, nullptr},
    {"goto-end", {"G"}, [](Editor& e) { e.goto_end(); }, nullptr},
    {"forward", {"w"}, [](Editor& e) { e.forward(); }, nullptr},
    {"backward", {"b"}, [](Editor& e) { e.backward(); }, nullptr},
    {"forward-to-end", {"e"}, [](Editor& e) { e.forward_to_end(); }, nullptr},
    {"delete-word", {"dw"}, [](Editor& e) { e.delete_word(); }, nullptr},
    {"change-word", {"cw"}, [](Editor& e) { e.change_word(); }, nullptr},
    {"paste-before", {"P", "<C-v>"}, [](Editor& e) { e.paste(false); }, N_("Paste text to before the cursor")},
    {"paste", {"p"}, [](Editor& e) { e.paste(true); }, N_("Paste text")},
    {"copy", {"y", "<C-c>"}, [](Editor& e) { e.copy(); }, N_("Copy text:")},
    {"cut", {"x", "<C-x>"}, [](Editor& e) { e.cut_or_del(); }, N_("Cut text:")},
    {"delete", {"<Del>"}, [](Editor& e) { e.del(); }, N_("Delete text:")},
    {"delete-text-line", {"dd"}, [](Editor& e) { e.del_line(); }, N_("Delete text line:")},
    {"delete-until-end-of-line", {"D"}, [](Editor& e) { e.delete_until_end_of_line(); }, nullptr},
    {"new-line-below", {"o"}, [](Editor& e) { e.new_line_below(); }, nullptr},
    {"new-line-above", {"O"}, [](Editor& e) { e.new_line_above(); }, nullptr},
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

void CtrlTextEditorNormal::init_actions() { register_actions(*this, action_rows()); }

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
