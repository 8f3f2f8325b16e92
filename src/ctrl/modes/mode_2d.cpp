#include "ctrl/modes/mode_2d.h"

#include "ctrl/ports/icanvas.h"
#include "ctrl/keys/action_row.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

using Mode = Ctrl2DMode;
using Rows = CtrlActionRows<Mode>;

// Scrolls one grid line along the turned axis (n < 0: back).
bool scroll(Mode& m, int n)
{
  auto& ctx = m.get_ctrl();
  if (const auto canvas = ctx.get_canvas())
    canvas->scroll(ctx.get_turned_dir(), n);
  return true;
}

// Scrolls the page size divided by divisor along the turned axis.
bool scroll_page(Mode& m, int divisor)
{
  auto& ctx = m.get_ctrl();
  if (const auto canvas = ctx.get_canvas())
    canvas->scroll_page(ctx.get_turned_dir(), divisor);
  return true;
}

bool cell_to_end(Mode& m, bool to_end)
{
  m.get_ctrl().cell_to_end(to_end);
  return true;
}

// In registration order: an earlier row keeps a key a later one claims.
const Rows& key_rows()
{
  static const Rows rows = {
    {"scroll-up", {"<C-y>"}, N_("Scroll up canvas"), CtrlRecord::none, [](Mode& m) { return scroll(m, -1); }},
    {"scroll-down", {"<C-e>"}, N_("Scroll down canvas"), CtrlRecord::none, [](Mode& m) { return scroll(m, 1); }},
    {"scroll-page-par-up", {"<C-u>"}, N_("Scroll up canvas"), CtrlRecord::none,
     [](Mode& m) { return scroll_page(m, -3); }},
    {"scroll-page-par-down", {"<C-d>"}, N_("Scroll down canvas"), CtrlRecord::none,
     [](Mode& m) { return scroll_page(m, 3); }},
    {"scroll-page-up", {"<C-b>"}, N_("Scroll up canvas"), CtrlRecord::none, [](Mode& m) { return scroll_page(m, -1); }},
    {"scroll-page-down", {"<C-f>"}, N_("Scroll down canvas"), CtrlRecord::none,
     [](Mode& m) { return scroll_page(m, 1); }},
    {"scroll-to-top", {"gg"}, N_("Scroll to Top of canvas"), CtrlRecord::none,
     [](Mode& m) { return cell_to_end(m, false); }},
    {"scroll-to_bottom", {"G"}, N_("Scroll to Bottom of canvas"), CtrlRecord::none,
     [](Mode& m) { return cell_to_end(m, true); }},
    {"append-line", {"o"}, N_("Append Line below the current cell"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_line(1); }},
    {"insert-line", {"O"}, N_("Insert line above the current cell"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_line(0); }},
    {"delete-line", {"dd"}, N_("Delete current line"), CtrlRecord::diff, [](Mode& m) { return m.delete_line(); }},
    {"insert-col", {}, N_("Insert col above the current cell"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_col(); }},
    {"insert-row", {}, N_("Insert row left the current cell"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_row(); }},
    {"delete-col", {}, N_("Delete current col"), CtrlRecord::diff, [](Mode& m) { return m.delete_col(); }},
    {"delete-row", {}, N_("Delete current row"), CtrlRecord::diff, [](Mode& m) { return m.delete_row(); }},
    {"toggle-hv", {"<space>"}, N_("Toggle Axis"), CtrlRecord::none,
     [](Mode& m) {
       m.toggle_hv();
       return true;
     }},
    {"to-virtical", {"<C-space>"}, N_("Change to Virtical Mode"), CtrlRecord::none,
     [](Mode& m) {
       m.to_virtical();
       return true;
     }},
    {"to-horizontal", {"<S-space>"}, N_("Change to Horizontal Mode"), CtrlRecord::none,
     [](Mode& m) {
       m.to_horizontal();
       return true;
     }},
  };
  return rows;
}

} // namespace

std::shared_ptr<Ctrl2DMode> Ctrl2DMode::create(CtrlContext& ctrl) { return std::make_shared<Ctrl2DMode>(ctrl); }

Ctrl2DMode::Ctrl2DMode(CtrlContext& ctrl) : CtrlMode(ctrl) { ctrl_register_rows(*this, *this, key_rows()); }

void Ctrl2DMode::toggle_hv()
{
  auto& ctx = get_ctrl();
  ctx.set_now_dir(cell_dir_inv(ctx.get_now_dir()));
}

void Ctrl2DMode::to_virtical() { get_ctrl().set_now_dir(CellDir::v); }

void Ctrl2DMode::to_horizontal() { get_ctrl().set_now_dir(CellDir::h); }

bool Ctrl2DMode::insert_line(int32_t offset)
{
  auto& ctx = get_ctrl();
  const CellPos cursor = ctx.get_now_cell();
  // The index may lie one past the grid: the workspace then refuses, and
  // nothing is recorded.
  if (ctx.get_is_virtical())
    return get_ws()->insert_line(CellDir::h, cursor.x + offset);
  return get_ws()->insert_line(CellDir::v, cursor.y + offset);
}

bool Ctrl2DMode::delete_line()
{
  auto& ctx = get_ctrl();
  const CellPos cursor = ctx.get_now_cell();
  if (ctx.get_is_virtical())
    return get_ws()->remove_line(CellDir::h, cursor.x);
  return get_ws()->remove_line(CellDir::v, cursor.y);
}

bool Ctrl2DMode::insert_col() { return get_ws()->insert_line(CellDir::h, get_ctrl().get_now_cell().x); }

bool Ctrl2DMode::insert_row() { return get_ws()->insert_line(CellDir::v, get_ctrl().get_now_cell().y); }

bool Ctrl2DMode::delete_col() { return get_ws()->remove_line(CellDir::h, get_ctrl().get_now_cell().x); }

bool Ctrl2DMode::delete_row() { return get_ws()->remove_line(CellDir::v, get_ctrl().get_now_cell().y); }

} // namespace velkaro
