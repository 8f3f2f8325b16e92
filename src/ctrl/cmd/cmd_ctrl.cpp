#include "ctrl/cmd/cmd_ctrl.h"

#include <utility>

#include <gtkmm/widget.h>
#include <pangomm/context.h>
#include <pangomm/fontdescription.h>
#include <pangomm/layout.h>

#include "common/check.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/keys/key_binder.h"
#include "ctrl/modes/mode.h"
#include "ctrl/text/text_editor_insert.h"
#include "ctrl/keys/widget_link.h"

namespace velkaro {

namespace {

Glib::RefPtr<Pango::Layout> make_layout(const Glib::RefPtr<Pango::Context>& context)
{
  auto layout = Pango::Layout::create(context);
  layout->set_font_description(Pango::FontDescription("Sans 16px"));
  return layout;
}

} // namespace

class CtrlCmdCtrl::Text : public CtrlITextEditable {
public:
  Text(std::shared_ptr<CtrlDataForITextEditable> data, Glib::RefPtr<Pango::Context> context)
    : m_data(std::move(data)), m_context(std::move(context))
  {
  }

  Glib::RefPtr<Pango::Layout> new_pango_layout() override { return make_layout(m_context); }
  CtrlDataForITextEditable& get_data_ite() override { return *m_data; }

private:
  std::shared_ptr<CtrlDataForITextEditable> m_data;
  Glib::RefPtr<Pango::Context> m_context;
};

std::shared_ptr<CtrlCmdCtrl> CtrlCmdCtrl::create(Gtk::Widget& widget, const std::shared_ptr<CtrlContext>& ctrl,
                                                 const Glib::RefPtr<Pango::Context>& pango_context)
{
  VK_CHECK_VAL(ctrl != nullptr, nullptr);
  std::shared_ptr<CtrlCmdCtrl> cmd(new CtrlCmdCtrl(widget, ctrl, pango_context));
  cmd->init();
  return cmd;
}

CtrlCmdCtrl::CtrlCmdCtrl(Gtk::Widget& widget, const std::shared_ptr<CtrlContext>& ctrl,
                         const Glib::RefPtr<Pango::Context>& pango_context)
  : m_data_ite(CtrlDataForITextEditable::create()),
    m_pango_context(pango_context ? pango_context : widget.get_pango_context()),
    m_widget(&widget),
    m_widget_link(std::make_unique<CtrlWidgetLink>(widget, [this] { m_widget = nullptr; })),
    m_ctrl(ctrl),
    m_data_ah(ctrl->get_action_proc(), ctrl->get_ws(), ctrl->get_store()),
    m_cmd_map(CtrlCommandActionMap::create()),
    m_text(std::make_shared<Text>(m_data_ite, m_pango_context))
{
  m_mode_layout = new_pango_layout();
  m_leading_keys_layout = new_pango_layout();
  connect_context(*ctrl);
  m_prompt_layout = new_pango_layout();
  m_prompt_layout->set_text(":");
  // The command text is only drawn while the line is active, always with
  // its cursor.
  set_is_editing(true);
}

CtrlCmdCtrl::~CtrlCmdCtrl() = default;

void CtrlCmdCtrl::init()
{
  m_key_binder = CtrlKeyBinder::create(*m_widget, shared_from_this());
  m_text_editor = CtrlTextEditorInsert::create(*m_widget, m_text);
  m_connections.emplace_back(
    m_text_editor->signal_update().connect([this](const std::shared_ptr<CtrlITextEditable>&, bool) { queue_draw(); }));
  include(m_text_editor);
  register_actions();
  register_commands();
}

void CtrlCmdCtrl::connect_context(CtrlContext& ctx)
{
  m_connections.emplace_back(
    ctx.signal_update_mode().connect([this](const CtrlContext::ModePtr& mode) { update_mode(mode); }));
  if (const auto& mode = ctx.get_now_mode())
    update_mode(mode);
  m_connections.emplace_back(
    ctx.signal_update_leading_keys().connect([this](const std::string& keys) { update_leading_keys_cb(keys); }));
}

void CtrlCmdCtrl::register_actions()
{
  static const CtrlActionRows<CtrlCmdCtrl> rows = {
    {"cancel", {"<Esc>", "<C-[>"}, nullptr, CtrlRecord::none,
     [](CtrlCmdCtrl& c) {
       c.exit_cmd_mode();
       return true;
     }},
    {"backspace", {"<BS>"}, nullptr, CtrlRecord::none,
     [](CtrlCmdCtrl& c) {
       c.backspace();
       return true;
     }},
    {"enter", {"<CR>"}, nullptr, CtrlRecord::none,
     [](CtrlCmdCtrl& c) {
       c.enter();
       return true;
     }},
  };
  ctrl_register_rows(*this, *this, rows);
}

void CtrlCmdCtrl::active(bool b)
{
  CtrlAbstractCtrl::active(b);
  if (b) {
    if (m_widget)
      m_widget->grab_focus();
    m_text_editor->activate();
    set_text("");
    queue_draw();
    return;
  }
  m_text_editor->deactivate();
  set_text("");
  if (const auto ctx = m_ctrl.lock(); ctx && ctx->get_now_mode())
    update_mode(ctx->get_now_mode());
}

bool CtrlCmdCtrl::key_press(GdkEventKey& event)
{
  // Held: a command may destroy the window, and with it the bar that owns
  // this line, while the key is still being handled.
  const auto keep = weak_from_this().lock();
  return action_by_eventkey(to_key_event(event));
}

Glib::RefPtr<Pango::Layout> CtrlCmdCtrl::new_pango_layout() { return make_layout(m_pango_context); }

void CtrlCmdCtrl::exit_cmd_mode()
{
  if (const auto ctx = m_ctrl.lock())
    ctx->activate_edit_ctrl();
}

void CtrlCmdCtrl::update_mode(const CtrlContext::ModePtr& mode)
{
  VK_CHECK(mode != nullptr);
  m_mode_layout->set_text(mode->get_name());
  queue_draw();
}

void CtrlCmdCtrl::update_leading_keys_cb(const std::string& keys)
{
  m_leading_keys_layout->set_text(keys);
  queue_draw();
}

void CtrlCmdCtrl::backspace()
{
  if (get_text().empty())
    exit_cmd_mode();
  else
    m_text_editor->bs();
}

void CtrlCmdCtrl::enter()
{
  // Held: "q" may destroy the window, and with it this line's owner.
  const auto keep = weak_from_this().lock();
  const Args words = CtrlCommandActionMap::split(get_text());
  // A line that names no command stays as typed, to be mended.
  if (words.empty() || !m_cmd_map->has(words.front()))
    return;
  // Whatever the command came to, and whatever dialog it raised meanwhile
  // (which takes the keyboard and gives it back to this line), the line
  // closes: the next key is the canvas's again, and the next command is
  // typed afresh instead of being appended to this one.
  (void)m_cmd_map->action(get_text());
  exit_cmd_mode();
}

void CtrlCmdCtrl::queue_draw()
{
  if (m_widget)
    m_widget->queue_draw();
}

} // namespace velkaro
