#include "view/tool_bar.h"

#include <gtkmm/separatortoolitem.h>

#include "common/check.h"
#include "ctrl/context.h"
#include "view/tool_button.h"

namespace velkaro {

ViewToolBar::ViewToolBar(const std::shared_ptr<CtrlContext>& ctx, std::span<const ViewToolRow> rows) : m_ctx(ctx)
{
  VK_CHECK(ctx);
  set_named_action(ctx);
  for (const ViewToolRow& row : rows) {
    add_btn(row.tooltip, row.action);
    if (row.separator_after)
      add_separator();
  }
  // Right before the first delayed update arrives.
  on_update_actionable_name(m_named_action->enum_actionable_name());
}

ViewToolButton& ViewToolBar::add_btn(const Glib::ustring& disp_name, const std::string& name)
{
  auto* button = Gtk::make_managed<ViewToolButton>(
    disp_name, name, [this](const std::string& action_name) { on_click_tool_btn(action_name); },
    m_ctx ? m_ctx->theme_color : Gdk::RGBA());
  append(*button);
  return *button;
}

void ViewToolBar::add_separator() { append(*Gtk::make_managed<Gtk::SeparatorToolItem>()); }

void ViewToolBar::set_named_action(const HandlerPtr& handler)
{
  VK_CHECK(handler);
  m_named_action = handler;
  m_update_connection = m_named_action->signal_update_actionable_name_sig().connect(
    sigc::mem_fun(*this, &ViewToolBar::on_update_actionable_name));
}

void ViewToolBar::on_update_actionable_name(const NameSet& names)
{
  // A button whose sensitivity does not change does not reload its icon.
  foreach_tool_btn([&names](ViewToolButton& button) {
    button.set_sensitive(button.action_name == "manual" || names.contains(button.action_name));
  });
}

void ViewToolBar::on_click_tool_btn(const std::string& action_name)
{
  // Held: the action may replace the bar's handler.
  if (const auto handler = m_named_action)
    handler->action(action_name);
}

void ViewToolBar::foreach_tool_btn(const std::function<void(ViewToolButton&)>& fn)
{
  for (Gtk::Widget* child : get_children())
    if (auto* button = dynamic_cast<ViewToolButton*>(child))
      fn(*button);
}

} // namespace velkaro
