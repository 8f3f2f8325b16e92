// The command line's commands: splitting a command text into words, the
// command map, and the commands themselves.

#include <optional>
#include <string>

#include <glib.h>

#include "common/check.h"
#include "common/i18n.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/cmd/cmd_ctrl.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/ports/imain_view.h"
#include "ctrl/ports/imain_window.h"
#include "model/workspace.h"

namespace velkaro {

// ---------------------------------------------------------------------------
// Wrapper and map

std::shared_ptr<CtrlCmdActionWrapper> CtrlCmdActionWrapper::create(Func func)
{
  return std::make_shared<CtrlCmdActionWrapper>(std::move(func));
}

CtrlCommandActionMap::Args CtrlCommandActionMap::split(const std::string& text)
{
  Args words;
  const char* const end = text.data() + text.size();
  const char* word = nullptr;
  for (const char* p = text.data(); p < end;) {
    const gunichar c = g_utf8_get_char_validated(p, end - p);
    const bool valid = c != static_cast<gunichar>(-1) && c != static_cast<gunichar>(-2);
    // A stray byte is one character of a word, so nothing is lost or read
    // past the end.
    const char* const next = valid ? g_utf8_next_char(p) : p + 1;
    if (valid && g_unichar_isspace(c)) {
      if (word)
        words.emplace_back(word, p);
      word = nullptr;
    } else if (!word) {
      word = p;
    }
    p = next;
  }
  if (word)
    words.emplace_back(word, end);
  return words;
}

CtrlCommandActionMap::WrapperPtr CtrlCommandActionMap::get(const std::string& word) const
{
  const auto it = m_map.find(word);
  return it == m_map.end() ? nullptr : it->second;
}

void CtrlCommandActionMap::add_action(const std::string& word, const std::vector<std::string>&,
                                      const CtrlCmdActionWrapper::Func& run, const std::optional<std::string>&,
                                      CtrlRecord record, const std::function<bool()>&)
{
  // A command that must record for undo makes its own step.
  VK_CHECK(record == CtrlRecord::none);
  set(word, CtrlCmdActionWrapper::create(run));
}

bool CtrlCommandActionMap::action(const std::string& command) const
{
  Args words = split(command);
  if (words.empty())
    return false;
  const WrapperPtr wrapper = get(words.front());
  if (!wrapper)
    return false;
  words.erase(words.begin());
  return wrapper->run(words);
}

// ---------------------------------------------------------------------------
// Commands

void CtrlCmdCtrl::register_commands()
{
  using Rows = CtrlActionRows<CtrlCmdCtrl, const Args&>;
  constexpr auto none = CtrlRecord::none;
  static const Rows rows = {
    {"q", {}, nullptr, none, [](CtrlCmdCtrl& c, const Args& a) { return c.cmd_quit(a); }},
    {"parse", {}, nullptr, none, [](CtrlCmdCtrl& c, const Args& a) { return c.cmd_parse(a); }},
    {"set", {}, nullptr, none, [](CtrlCmdCtrl& c, const Args& a) { return c.cmd_set(a); }},
    {"w", {}, nullptr, none, [](CtrlCmdCtrl& c, const Args& a) { return c.cmd_write(a); }},
    {"r", {}, nullptr, none, [](CtrlCmdCtrl& c, const Args& a) { return c.cmd_read(a); }},
    {"xp", {}, nullptr, none, [](CtrlCmdCtrl& c, const Args& a) { return c.cmd_export(a); }},
  };
  // Held while a command runs (hold()): "q" may destroy the window, and with
  // it this line's owner.
  ctrl_register_rows(*m_cmd_map, *this, rows);
}

bool CtrlCmdCtrl::cmd_quit(const Args&)
{
  const auto ctx = m_ctrl.lock();
  const auto window = ctx ? ctx->get_main_window() : nullptr;
  if (!window || window->raise_delete_request())
    return false;
  // The canvas's reference would keep the scrolled window alive past the
  // window that holds it.
  if (const auto& cv = ctx->get_cv())
    cv->release_scrolled_window();
  window->destroy();
  return false;
}

bool CtrlCmdCtrl::cmd_parse(const Args& args)
{
  g_debug("cmdctrl:160: parse result:");
  for (std::size_t i = 0; i < args.size(); ++i)
    g_debug("cmdctrl:164:   [%d]:%s", static_cast<int>(i), args[i].c_str());
  g_debug("cmdctrl:166: ----------");
  return true;
}

bool CtrlCmdCtrl::cmd_set(const Args&)
{
  exit_cmd_mode();
  if (const auto ctx = m_ctrl.lock(); ctx && ctx->get_main_view())
    ctx->get_main_view()->show_key_setting();
  return true;
}

bool CtrlCmdCtrl::cmd_write(const Args& args)
{
  g_debug("cmdctrl:182: command w called");
  g_debug("cmdctrl:183: call ws.save");
  const auto ctx = m_ctrl.lock();
  if (!ctx)
    return false;
  ModelWorkspace& ws = *ctx->get_ws();
  // Without a path the document's own file; a document never saved has
  // none, and the save fails.
  const std::optional<std::string> path = args.empty() ? std::nullopt : std::optional<std::string>(args.front());
  if (ws.save(path))
    return true;
  report_failure(*ctx, ws.get_last_error());
  return false;
}

bool CtrlCmdCtrl::cmd_read(const Args& args)
{
  g_debug("cmdctrl:194: command r called");
  if (args.size() != 1)
    return true;
  g_debug("cmdctrl:196: call ws.load");
  const auto ctx = m_ctrl.lock();
  if (!ctx)
    return false;
  ModelWorkspace& ws = *ctx->get_ws();
  // Reading replaces the document: never over changes that are not saved.
  if (ws.modified) {
    report_failure(*ctx, _("The document has unsaved changes: write them with \"w\" first."));
    return false;
  }
  if (!ctx->new_context(args.front())) {
    report_failure(*ctx, ws.get_last_error());
    return false;
  }
  return true;
}

bool CtrlCmdCtrl::cmd_export(const Args& args)
{
  g_debug("cmdctrl:203: command xp called");
  if (args.size() == 1)
    export_png(args.front());
  return true;
}

bool CtrlCmdCtrl::export_png(const std::string& file_path)
{
  const auto ctx = m_ctrl.lock();
  const auto window = ctx ? ctx->get_main_window() : nullptr;
  return window && window->activate_action("export-png", file_path);
}

void CtrlCmdCtrl::report_failure(CtrlContext& ctx, const std::string& message) const
{
  g_warning("%s", message.c_str());
  if (const auto window = ctx.get_main_window())
    window->show_alert(message);
}

} // namespace velkaro
