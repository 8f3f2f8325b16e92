#include "ctrl/modes/base_mode.h"

#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/ports/imain_window.h"
#include "ctrl/keys/action_row.h"

namespace velkaro {

namespace {

using Mode = CtrlBaseMode;
using Rows = CtrlActionRows<Mode>;

// Zooms the canvas about the centre of the cursor cell; nothing without a
// canvas.
bool zoom(Mode& m, int direction)
{
  auto& ctx = m.get_ctrl();
  if (const auto canvas = ctx.get_canvas())
    canvas->zoom_by_keys(direction, ctx.get_now_cell_center_pt());
  return true;
}

bool force_quit(Mode& m)
{
  // Nothing of the mode or its context may be used afterwards: destroying
  // the window may release both.
  if (const auto window = m.get_ctrl().get_main_window())
    window->destroy();
  return true;
}

// In registration order: an earlier row keeps a key a later one claims.
const Rows& key_rows()
{
  static const Rows rows = {
    // The window's "manual" is one of the context's actions, which a mode
    // the context registered asks before its own sets (CtrlMode::action):
    // this row gives the key its name and description, and without a
    // window there is nothing to show.
    {"manual", {"<F1>"}, N_("Show Help"), CtrlRecord::none, [](Mode&) { return true; }},
    {"activat-cmd-ctrl", {"<:>"}, N_("Activate Command Controll"), CtrlRecord::none,
     [](Mode& m) {
       m.get_ctrl().activate_cmd_ctrl();
       return true;
     }},
    {"undo", {"u", "<C-z>"}, N_("Undo"), CtrlRecord::none,
     [](Mode& m) {
       m.undo();
       return true;
     },
     [](Mode& m) { return m.get_ctrl().get_action_proc()->get_has_undo_stack(); }},
    {"redo", {"<C-r>", "<C-Z>"}, N_("Redo"), CtrlRecord::none,
     [](Mode& m) {
       m.redo();
       return true;
     },
     [](Mode& m) { return m.get_ctrl().get_action_proc()->get_has_redo_stack(); }},
    {"force-quit", {"ZX", "ZQ", "ZZ"}, N_("Quit without checking for changes"), CtrlRecord::none, force_quit},
    {"cancel", {"<Esc>", "<C-[>"}, N_("Cancel"), CtrlRecord::none,
     [](Mode& m) {
       m.get_ctrl().change_to_cell_mode();
       return true;
     }},
    {"up", {"k", "<Up>", "<KP_Up>"}, N_("Move up active cell"), CtrlRecord::none,
     [](Mode& m) { return m.move_active_cell(MovingDir::up); }},
    {"down", {"j", "<Down>", "<KP_Down>"}, N_("Move down active cell"), CtrlRecord::none,
     [](Mode& m) { return m.move_active_cell(MovingDir::down); }},
    {"left", {"h", "<Left>", "<KP_Left>"}, N_("Move left active cell"), CtrlRecord::none,
     [](Mode& m) { return m.move_active_cell(MovingDir::left); }},
    {"right", {"l", "<Right>", "<KP_Right>"}, N_("Move right active cell"), CtrlRecord::none,
     [](Mode& m) { return m.move_active_cell(MovingDir::right); }},
    {"next-element", {"w"}, N_("Go to Next Element"), CtrlRecord::none,
     [](Mode& m) {
       m.get_ctrl().next_elm();
       return true;
     }},
    {"prev-element", {"b"}, N_("Go to Prev Element"), CtrlRecord::none,
     [](Mode& m) {
       m.get_ctrl().prev_elm();
       return true;
     }},
    {"zoom-in", {"<plus>", "<KP_Add>"}, nullptr, CtrlRecord::none, [](Mode& m) { return zoom(m, 1); }},
    {"zoom-out", {"<minus>", "<KP_Subtract>"}, nullptr, CtrlRecord::none, [](Mode& m) { return zoom(m, -1); }},
    {"zoom-reset", {"<equal>", "<KP_Enter>"}, nullptr, CtrlRecord::none, [](Mode& m) { return zoom(m, 0); }},
  };
  return rows;
}

} // namespace

std::shared_ptr<CtrlBaseMode> CtrlBaseMode::create(CtrlContext& ctrl) { return std::make_shared<CtrlBaseMode>(ctrl); }

CtrlBaseMode::CtrlBaseMode(CtrlContext& ctrl) : CtrlMode(ctrl) { ctrl_register_rows(*this, *this, key_rows()); }

bool CtrlBaseMode::move_active_cell(MovingDir dir)
{
  get_ctrl().move_pos(dir);
  return true;
}

} // namespace velkaro
