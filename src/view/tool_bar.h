#pragma once
// ViewToolBar: the window's tool bar of icon buttons (ViewToolButton), each
// running an action by name through the bar's action handler.
//
// A diagram kind supplies its buttons as a table of rows {tooltip, action,
// separator after} given to the constructor (the class diagram's:
// ClsToolBar::rows()). Tooltips are shown as written. The rows are read
// during construction only.
//
// Enabled state: a button is sensitive exactly when its action is in the
// handler's actionable set, or is "manual". The constructor applies the
// handler's set once, after adding the buttons; then every
// signal_update_actionable_name_sig() of the handler applies the new one.
// Buttons are tinted with the context's theme colour as it is when each is
// added.
//
// Ownership: the bar holds the context and the handler ("named action", the
// context unless set otherwise); neither holds the bar.

#include <functional>
#include <memory>
#include <span>
#include <string>

#include <glibmm/ustring.h>
#include <gtkmm/toolbar.h>
#include "common/scoped_connection.h"
#include "ctrl/keys/iaction_handler.h"

namespace velkaro {

class CtrlContext;
class ViewToolButton;

struct ViewToolRow {
  const char* tooltip = nullptr;
  const char* action = nullptr;
  bool separator_after = false;
};

// The groups of buttons every diagram kind's bar has (joined_rows() makes a
// kind's table of them and its own): first the file buttons, undo and redo,
// the HV toggle and the clipboard; later the line operations; last help.
inline constexpr ViewToolRow VIEW_TOOL_FILE_EDIT_ROWS[] = {
  {"New", "new-file"},
  {"Open", "open-file"},
  {"Save", "save-file"},
  {"Export PNG image", "export-png-n", true},
  {"Undo", "undo"},
  {"Redo", "redo", true},
  // The menu entry says "Mode".
  {"Toggle HV Modes", "toggle-hv", true},
  {"Copy", "copy"},
  {"Cut", "cut"},
  {"Paste", "paste", true},
};
inline constexpr ViewToolRow VIEW_TOOL_LINE_ROWS[] = {
  {"Insert row", "insert-row"},
  {"Insert column", "insert-col"},
  {"Delete row", "delete-row"},
  {"Delete column", "delete-col", true},
};
inline constexpr ViewToolRow VIEW_TOOL_HELP_ROWS[] = {
  {"Help", "manual"},
};

class ViewToolBar : public Gtk::Toolbar {
public:
  using NameSet = CtrlIActionHandler::NameSet;
  using HandlerPtr = std::shared_ptr<CtrlIActionHandler>;

  // A bar for ctx with the buttons of rows, in order, and a separator after
  // each marked row; ctx is also the named action. Then applies ctx's
  // actionable set.
  ViewToolBar(const std::shared_ptr<CtrlContext>& ctx, std::span<const ViewToolRow> rows);

  // Appends a button showing disp_name that runs name, tinted with the
  // context's theme colour.
  ViewToolButton& add_btn(const Glib::ustring& disp_name, const std::string& name);
  void add_separator();

  const std::shared_ptr<CtrlContext>& get_ctrl() const { return m_ctx; }
  const HandlerPtr& get_named_action() const { return m_named_action; }
  // The handler whose actions the buttons run and whose set updates reach
  // the bar, instead of the former one.
  void set_named_action(const HandlerPtr& handler);

  // Each button: sensitive exactly when names holds its action or the action
  // is "manual".
  void on_update_actionable_name(const NameSet& names);
  // Runs the action name on the named action; an unknown name does nothing.
  void on_click_tool_btn(const std::string& action_name);
  // Calls fn on every button, in order.
  void foreach_tool_btn(const std::function<void(ViewToolButton&)>& fn);

private:
  std::shared_ptr<CtrlContext> m_ctx;
  HandlerPtr m_named_action;
  ScopedConnection m_update_connection;
};

} // namespace velkaro
