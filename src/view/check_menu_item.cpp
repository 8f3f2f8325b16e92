#include "view/check_menu_item.h"

#include <utility>

#include <gtk/gtk.h>

#include "common/c_resource.h"
#include "common/check.h"
#include "ctrl/keys/action_wrapper.h"
#include "ctrl/context.h"

namespace velkaro {

namespace {

// The keyless action that switches one setting: writes the opposite of the
// stored value, ignoring runs that start while it is running.
class ViewToggleSettingAction : public CtrlActionWrapper {
public:
  ViewToggleSettingAction(CtrlContext& ctx, std::string key)
    : CtrlActionWrapper({}, std::nullopt), m_ctx(&ctx), m_key(std::move(key))
  {
  }

  bool action() override
  {
    if (!m_ctx)
      return false;
    if (m_toggling)
      return true;
    m_toggling = true;
    ScopeGuard done([this] { m_toggling = false; });
    m_ctx->save_config(m_key, m_ctx->config(m_key) == "true" ? "false" : "true");
    return true;
  }

  // The context is going.
  void detach() override
  {
    m_ctx = nullptr;
    CtrlActionWrapper::detach();
  }

  const std::string& get_key() const { return m_key; }

private:
  CtrlContext* m_ctx;
  std::string m_key;
  bool m_toggling = false;
};

} // namespace

ViewCheckMenuItem::ViewCheckMenuItem(const Glib::ustring& label, const std::string& key, ViewMenuCallback callback,
                                     const std::shared_ptr<CtrlContext>& ctx)
  : Gtk::CheckMenuItem(label, false), m_key(key), m_callback(std::move(callback))
{
  gtk_actionable_set_action_name(GTK_ACTIONABLE(gobj()), m_key.c_str());
  set_sensitive(true);
  property_sensitive().signal_changed().connect(sigc::mem_fun(*this, &ViewCheckMenuItem::on_sensitive_changed));
  VK_CHECK(ctx);
  config_changed_cb(m_key, ctx->config(m_key));
  register_toggle_action(*ctx);
  ctx->signal_config_changed().connect(sigc::mem_fun(*this, &ViewCheckMenuItem::config_changed_cb));
  signal_activate().connect([this] {
    if (m_callback && !m_showing)
      m_callback(m_key);
  });
}

void ViewCheckMenuItem::config_changed_cb(const std::string& key, const std::optional<std::string>& value)
{
  if (key != m_key)
    return;
  // GTK activates an entry whose state changes; showing a value written
  // elsewhere must not switch it again.
  m_showing = true;
  ScopeGuard shown([this] { m_showing = false; });
  set_active(value.value_or("") == "true");
}

void ViewCheckMenuItem::register_toggle_action(CtrlContext& ctx) const
{
  const auto& actions = ctx.get_ah_map();
  if (const auto found = actions.find(m_key); found != actions.end()) {
    const auto* toggle = dynamic_cast<const ViewToggleSettingAction*>(found->second.get());
    if (toggle && toggle->get_key() == m_key)
      return;
  }
  ctx.add_action(m_key, std::make_shared<ViewToggleSettingAction>(ctx, m_key));
}

void ViewCheckMenuItem::on_sensitive_changed()
{
  // Nothing here makes the entry insensitive; GTK does when the action name
  // resolves to no action of a window or application. The entry needs no GTK
  // action: it keeps its key and drops the name, and stays usable.
  if (get_sensitive())
    return;
  gtk_actionable_set_action_name(GTK_ACTIONABLE(gobj()), nullptr);
  set_sensitive(true);
}

} // namespace velkaro
