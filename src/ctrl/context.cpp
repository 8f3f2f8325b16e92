#include "ctrl/context.h"

#include <glib.h>

#include "common/check.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/ports/icommand_bar.h"
#include "ctrl/ports/imain_view.h"
#include "ctrl/ports/imain_window.h"
#include "ctrl/keys/key_binder.h"
#include "ctrl/modes/mode.h"
#include "ctrl/keys/mouse_binder.h"
#include "model/store.h"
#include "model/workspace.h"

namespace velkaro {

CtrlContext::CtrlContext(Key, std::shared_ptr<ModelWorkspace> ws, const std::string& exename)
  : theme_color("#ffc022"),
    m_ws(std::move(ws)),
    m_exename(exename),
    m_store(ModelStore::create(exename)),
    m_action_proc(CtrlActionProcessor::create()),
    m_data(m_action_proc, m_ws, m_store),
    m_link(std::make_shared<CtrlContextLink>(CtrlContextLink{this}))
{
  assert(m_ws && "CtrlContext: a workspace is required");
  m_store_changed = m_store->signal_config_changed().connect(sigc::mem_fun(*this, &CtrlContext::relay_config_changed));
  m_ws_updated = m_ws->signal_updated().connect(sigc::mem_fun(*this, &CtrlContext::queue_state_changed));
  // The store first reads its file while the kind's modes register their
  // keys, inside the kind's constructor: its problems wait for the window.
  // The destructor takes this callback back, so it never outlives the context.
  m_store->set_alert([this](const std::string& message) { show_alert(message); });
}

CtrlContext::~CtrlContext()
{
  // Modes, binders and pending timers outlive nothing of the context; its
  // connections end with their members.
  m_link->ctx = nullptr;
  m_store->set_alert({});
}

void CtrlContext::link_back(const std::shared_ptr<CtrlContext>& self)
{
  m_action_proc->set_ctrl(self);
  m_store->set_alert([weak = std::weak_ptr<CtrlContext>(self)](const std::string& message) {
    if (const auto ctx = weak.lock())
      ctx->show_alert(message);
    else
      g_warning("%s", message.c_str());
  });
}

void CtrlContext::show_alert(const std::string& message)
{
  if (const auto window = get_main_window()) {
    window->show_alert(message);
    return;
  }
  g_warning("%s", message.c_str());
  m_pending_alerts.push_back(message);
}

void CtrlContext::set_main_window(const std::shared_ptr<CtrlIMainWindow>& window)
{
  m_ports.main_window = window;
  if (!window)
    return;
  auto pending = std::move(m_pending_alerts);
  m_pending_alerts.clear();
  for (const auto& message : pending)
    window->show_alert(message);
}

void CtrlContext::active(bool b)
{
  CtrlAbstractCtrl::active(b);
  if (b && m_ports.canvas)
    m_ports.canvas->grab_focus();
}

void CtrlContext::next_elm() { move_next<ModelElement>(true); }

void CtrlContext::prev_elm() { move_next<ModelElement>(false); }

// --- Modes

void CtrlContext::set_modes(const std::vector<ModePtr>& modes)
{
  for (const auto& mode : modes) {
    VK_CHECK(mode);
    m_modes[std::type_index(typeid(*mode))] = mode;
    mode->set_registered(true);
  }
  if (modes.empty())
    return;
  m_default_mode = modes.front();
  set_now_mode(m_default_mode);
  m_mode_list = modes;
}

void CtrlContext::set_now_mode(const ModePtr& mode)
{
  VK_CHECK(mode);
  if (m_in_test)
    return;
  if (m_now_mode) {
    if (!mode->get_is_enterable())
      return;
    m_next_mode = mode;
    // Held: on_exit may switch again or drop the mode from elsewhere.
    const ModePtr old = m_now_mode;
    old->on_exit();
    // Pending keys left in the mode's maps would complete another binding
    // the next time it is current.
    old->clear_leading_keys();
    drop_leading_keys_relay();
    m_now_mode = mode;
    mode->on_enter();
    m_signal_update_mode.emit(mode);
    aim_binders();
    queue_state_changed();
  } else {
    m_now_mode = mode;
    aim_binders();
  }
  drop_leading_keys_relay();
  // Every map the mode asks, its own and those of the handlers it
  // includes: a pending key of a shared set is typed as much as one of the
  // mode's own.
  m_now_mode->each_key_action_map([this](CtrlKeyActionMap& map) {
    m_leading_keys_relay.emplace_back(
      map.signal_update_leading_keys().connect([this](const std::string&) { relay_leading_keys(); }));
  });
  relay_leading_keys();
  signal_notify().emit("now-mode");
}

void CtrlContext::relay_leading_keys()
{
  const auto pending = m_now_mode ? m_now_mode->get_pending_keys() : std::nullopt;
  std::string keys = pending ? pending->to_string() : "";
  // The maps of one mode announce one key press each in turn.
  if (keys == m_leading_keys)
    return;
  m_leading_keys = std::move(keys);
  m_signal_update_leading_keys.emit(m_leading_keys);
}

void CtrlContext::drop_leading_keys_relay() { m_leading_keys_relay.clear(); }

bool CtrlContext::change_to(std::type_index type, const std::function<bool(const CtrlMode&)>& is_a,
                            const Prepare& prepare)
{
  if (m_in_test)
    return true;
  ModePtr mode = get_mode(type);
  for (auto it = m_mode_list.rbegin(); !mode && it != m_mode_list.rend(); ++it) {
    // Only modes still registered; one replaced by a later one of its class is not.
    if (is_a(**it) && get_mode(std::type_index(typeid(**it))) == *it)
      mode = *it;
  }
  if (!mode)
    return false;
  if (prepare)
    prepare(*mode);
  set_now_mode(mode);
  return m_now_mode == mode;
}

void CtrlContext::change_to_cell_mode()
{
  if (!m_in_test && m_default_mode)
    set_now_mode(m_default_mode);
}

CtrlContext::ModePtr CtrlContext::get_mode(std::type_index type) const
{
  const auto it = m_modes.find(type);
  return it == m_modes.end() ? nullptr : it->second;
}

// --- View

void CtrlContext::set_canvas(const std::shared_ptr<CtrlICanvas>& canvas)
{
  m_ports.canvas = canvas;
  m_key_binder.reset();
  m_mouse_binder.reset();
  if (Gtk::Widget* widget = canvas ? canvas->get_widget() : nullptr) {
    m_key_binder = CtrlKeyBinder::create(*widget, m_now_mode);
    m_mouse_binder = CtrlMouseBinder::create(*widget, m_now_mode);
  }
  signal_notify().emit("canvas");
}

void CtrlContext::clear_ports()
{
  m_ports.context_menu.reset();
  m_ports.command_bar.reset();
  m_ports.main_view.reset();
}

void CtrlContext::aim_binders()
{
  if (m_key_binder)
    m_key_binder->set_handler(m_now_mode);
  if (m_mouse_binder)
    m_mouse_binder->set_handler(m_now_mode);
}

void CtrlContext::activate_cmd_ctrl()
{
  CtrlAbstractCtrl::active(false);
  if (const auto cmd = m_ports.command_bar ? m_ports.command_bar->get_cmd_ctrl() : nullptr)
    cmd->active(true);
}

void CtrlContext::activate_edit_ctrl()
{
  CtrlAbstractCtrl::active(true);
  if (m_ports.main_view)
    m_ports.main_view->grab_focus();
  if (const auto cmd = m_ports.command_bar ? m_ports.command_bar->get_cmd_ctrl() : nullptr)
    cmd->active(false);
}

} // namespace velkaro
