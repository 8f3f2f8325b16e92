#include "view/command_bar.h"

#include <pangomm/layout.h>

#include "common/check.h"
#include "common/point.h"
#include "ctrl/cmd/cmd_ctrl.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/filling_drawer.h"
#include "view/text_drawer.h"

namespace velkaro {
namespace {

constexpr int MIN_SIZE = 20;

// A layout's width in whole pixels.
int pixel_width(const Glib::RefPtr<Pango::Layout>& layout)
{
  int width = 0, height = 0;
  layout->get_size(width, height);
  return width / Pango::SCALE;
}

} // namespace

ViewCommandBar::ViewCommandBar(const std::shared_ptr<CtrlContext>& main_ctrl)
  : m_dc(ViewDrawerContext::create())
{
  VK_CHECK(main_ctrl);
  m_cmd_ctrl = CtrlCmdCtrl::create(*this, main_ctrl);
  set_size_request(MIN_SIZE, MIN_SIZE);
  set_hexpand(true);
  set_vexpand(false);
  m_dc->color_map = ViewColorMap::create_dark();
}

ViewCommandBar::~ViewCommandBar() = default;

std::shared_ptr<CtrlAbstractCtrl> ViewCommandBar::get_cmd_ctrl() { return m_cmd_ctrl; }

bool ViewCommandBar::on_configure_event(GdkEventConfigure* event)
{
  VK_CHECK_VAL(event, true);
  const Gtk::Allocation alloc = get_allocation();
  m_dc->update_rect = {0, 0, alloc.get_width(), alloc.get_height()};
  return true;
}

bool ViewCommandBar::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
  VK_CHECK_VAL(cr, false);
  m_dc->cr = cr;
  ViewFillingDrawer(m_dc, GdkRGBA{0, 0, 0, 1.0}).draw();
  if (m_cmd_ctrl) {
    if (m_cmd_ctrl->get_is_active())
      draw_command_line(*m_cmd_ctrl);
    else
      draw_mode_and_keys(*m_cmd_ctrl);
  }
  return false;
}

void ViewCommandBar::draw_command_line(CtrlCmdCtrl& cmd)
{
  ViewTextDrawer drawer(m_dc);
  drawer.add_layout(cmd.get_prompt_layout(), -1, nullptr);
  // The command text starts where the prompt ends.
  cmd.set_pango_layout_offset(Point(pixel_width(cmd.get_prompt_layout()), cmd.get_pango_layout_offset().get_y()));
  drawer.add_ite(cmd.shared_from_this());
  drawer.draw();
}

void ViewCommandBar::draw_mode_and_keys(CtrlCmdCtrl& cmd)
{
  ViewTextDrawer mode(m_dc);
  mode.add_layout(cmd.get_mode_layout(), -1, nullptr);
  mode.draw();

  ViewTextDrawer keys(m_dc);
  // The keys end at the right edge; a wide text starts left of the bar.
  keys.offset.set_x(m_dc->update_rect.width - pixel_width(cmd.get_leading_keys_layout()));
  keys.add_layout(cmd.get_leading_keys_layout(), -1, nullptr);
  keys.draw();
}

} // namespace velkaro
