#pragma once
// CtrlCmdCtrl: the controller of the command bar, the one-line strip at the
// bottom of a window. While it is off the bar shows the current mode's name
// (get_mode_layout()) at the left and the pending leading keys
// (get_leading_keys_layout()) at the right. When the context hands it the
// keyboard (CtrlContext::activate_cmd_ctrl) it becomes an ex-style command
// line: the bar shows the prompt (get_prompt_layout(), ":") followed by the
// command text with its cursor, and <CR> runs the text as a command.
//
// The command line is at once:
// - a controller (CtrlAbstractCtrl): active() switches it on or off;
// - a key handler: a key binder on the bar's widget sends it the widget's
//   keys, which its key maps turn into actions;
// - a text holder: the command text is its text (get_text());
// - an action handler ("CtrlCmdCtrl", also the configuration group of its
//   key bindings): its own actions "cancel" (<Esc>, <C-[>), "backspace"
//   (<BS>) and "enter" (<CR>), and those of the insert text editor it
//   includes, which types into the command text while the line is active.
//
// Commands (a first word, then arguments, split at Unicode white space):
// - "q": asks the window to close as its close button does; destroys it
//   when the close was not stopped.
// - "w" [path]: saves the document to path, or to its own file.
// - "r" path: replaces the document with the file's, and clears the undo
//   history.
// - "xp" path: exports the diagram as a PNG image through the window's
//   "export-png" action.
// - "set": leaves the command line and shows the key-binding editor.
// - "parse": logs its arguments at debug level.
// Every command ends with the command line closed and empty and the keyboard
// back with the canvas, whether it succeeded or not and whatever dialog it
// raised (the save question cancelled, a failed save or load, which is
// logged as a warning and shown to the user through the window's alert):
// so the next key never goes on the end of a command that already ran. An
// empty line and a first word that is no command leave it open with its
// text, to be mended.
//
// Redraws: the widget is queued for a redraw whenever the mode name, the
// leading keys or the command text change, and when the line is switched on.
//
// Ownership: the command bar owns the command line (by std::shared_ptr; the
// key binder and the text editor's handlers link to it weakly) and the widget
// it draws on. The command line observes the widget (it forgets it when the
// widget is destroyed) and links to its context weakly (the context holds
// the bar). It owns its layouts, its key binder, its text editor and its
// commands. Its connections to the context's signals die with it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <glibmm/refptr.h>

#include "common/scoped_connection.h"
#include "ctrl/abstract_ctrl.h"
#include "ctrl/context.h"
#include "ctrl/keys/daction_handler.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/keys/ikey_handler.h"
#include "ctrl/undo/record.h"
#include "model/itext_editable.h"

namespace Gtk {
class Widget;
}

namespace Pango {
class Context;
class Layout;
}

namespace velkaro {

class CtrlKeyBinder;
class CtrlTextEditorInsert;
class CtrlWidgetLink;

// One command: a function of the argument words (the words after the
// command word) that says whether the command succeeded.
class CtrlCmdActionWrapper {
public:
  using Args = std::vector<std::string>;
  using Func = std::function<bool(const Args&)>;

  static std::shared_ptr<CtrlCmdActionWrapper> create(Func func);
  explicit CtrlCmdActionWrapper(Func func) : m_func(std::move(func)) {}

  // The function's result for args.
  bool run(const Args& args) const { return m_func(args); }

private:
  Func m_func;
};

// The commands of a command line, by their word (exact and case-sensitive).
class CtrlCommandActionMap {
public:
  using Args = CtrlCmdActionWrapper::Args;
  using WrapperPtr = std::shared_ptr<CtrlCmdActionWrapper>;

  static std::shared_ptr<CtrlCommandActionMap> create() { return std::make_shared<CtrlCommandActionMap>(); }

  // The words of text in order: the maximal runs of characters that are not
  // Unicode white space (g_unichar_isspace: space, tab, line feed, carriage
  // return, form feed, the space separators and the line and paragraph
  // separators). White space only separates: none gives an empty word. A
  // byte that does not begin a valid UTF-8 character counts as a character
  // that is not white space.
  static Args split(const std::string& text);

  // Makes wrapper the command of word, replacing an earlier one.
  void set(const std::string& word, const WrapperPtr& wrapper) { m_map[word] = wrapper; }
  // The command rows' registration (ctrl_register_rows()): run becomes the
  // command of word. A command binds no key, has no description and no
  // test, and records nothing itself (record is none).
  void add_action(const std::string& word, const std::vector<std::string>& keys, const CtrlCmdActionWrapper::Func& run,
                  const std::optional<std::string>& description, CtrlRecord record,
                  const std::function<bool()>& is_actionable);
  // The command of word, or null.
  WrapperPtr get(const std::string& word) const;
  bool has(const std::string& word) const { return m_map.count(word) != 0; }

  // Splits command; false when it has no word or its first word is no
  // command; otherwise the command's result for the other words.
  bool action(const std::string& command) const;

private:
  std::unordered_map<std::string, WrapperPtr> m_map;
};

class CtrlCmdCtrl : public CtrlAbstractCtrl,
                    public CtrlIKeyHandler,
                    public CtrlITextEditable,
                    public CtrlIActionHandler,
                    public std::enable_shared_from_this<CtrlCmdCtrl> {
public:
  // A command line, off, for widget (the command bar's drawing area) serving
  // ctrl. Its layouts are made from pango_context; without one, from the
  // widget's own Pango context (which follows the widget's screen and font
  // settings). A null ctrl fails the argument check and gives null.
  static std::shared_ptr<CtrlCmdCtrl> create(Gtk::Widget& widget, const std::shared_ptr<CtrlContext>& ctrl,
                                             const Glib::RefPtr<Pango::Context>& pango_context = {});
  ~CtrlCmdCtrl() override;

  // --- Controller.

  // The base switch (notifies "is-active"). On: the widget takes the
  // keyboard focus, the text editor starts editing the command text, the
  // text becomes empty and the widget is redrawn. Off: the text editor
  // stops editing, the text becomes empty and the mode layout shows the
  // context's current mode.
  void active(bool b) override;

  // --- Key handler: the key maps yield an action name and it runs. Keys
  // that no map binds are left to the widget (false); typed characters
  // reach the text through the text editor's own handlers on the widget.
  bool key_press(GdkEventKey& event) override;

  // --- Text holder. Layouts use the font "Sans 16px".

  Glib::RefPtr<Pango::Layout> new_pango_layout() override;
  CtrlDataForITextEditable& get_data_ite() override { return *m_data_ite; }

  // --- Action handler: the context's processor, workspace and store.

  CtrlDActionHandler& get_data_ah() override { return m_data_ah; }
  std::string get_name() const override { return "CtrlCmdCtrl"; }

  // --- What the command bar draws.

  // The current mode's display name.
  const Glib::RefPtr<Pango::Layout>& get_mode_layout() const { return m_mode_layout; }
  // The context's pending leading keys ("" when none).
  const Glib::RefPtr<Pango::Layout>& get_leading_keys_layout() const { return m_leading_keys_layout; }
  // The prompt, ":".
  const Glib::RefPtr<Pango::Layout>& get_prompt_layout() const { return m_prompt_layout; }

  // --- Operations.

  // The context takes the keyboard back, which switches this line off.
  void exit_cmd_mode();
  // The mode layout takes mode's display name; the widget is redrawn.
  void update_mode(const CtrlContext::ModePtr& mode);
  // The leading-keys layout takes keys; the widget is redrawn.
  void update_leading_keys_cb(const std::string& keys);
  // Activates the window's action "export-png" with file_path; false when
  // there is no window or it has no such action.
  bool export_png(const std::string& file_path);

  // The commands, the text editor and the widget (null once destroyed).
  const std::shared_ptr<CtrlCommandActionMap>& get_cmd_map() const { return m_cmd_map; }
  const std::shared_ptr<CtrlTextEditorInsert>& get_text_editor() const { return m_text_editor; }
  Gtk::Widget* get_widget() const { return m_widget; }
  // Keeps the command line alive while a command runs: "q" may destroy the
  // window, and with it the bar that owns this line (see
  // ctrl_register_rows()).
  std::shared_ptr<CtrlCmdCtrl> hold() { return weak_from_this().lock(); }

private:
  using Args = CtrlCmdActionWrapper::Args;
  // The command text as the text editor's target: it shares the command
  // line's editing record but holds no link back, so the editor, which owns
  // its target, does not own the command line.
  class Text;

  CtrlCmdCtrl(Gtk::Widget& widget, const std::shared_ptr<CtrlContext>& ctrl,
              const Glib::RefPtr<Pango::Context>& pango_context);
  // What needs the command line owned by its std::shared_ptr: the key
  // binder and the text editor.
  void init();
  void connect_context(CtrlContext& ctx);
  void register_actions();
  void register_commands();
  void queue_draw();
  // Logs message as a warning and shows it in the window's alert.
  void report_failure(CtrlContext& ctx, const std::string& message) const;

  // Actions (cmd_ctrl.cpp).
  void backspace();
  void enter();

  // Commands (cmd_ctrl_commands.cpp).
  bool cmd_quit(const Args& args);
  bool cmd_parse(const Args& args);
  bool cmd_set(const Args& args);
  bool cmd_write(const Args& args);
  bool cmd_read(const Args& args);
  bool cmd_export(const Args& args);

  // Declared first so that it outlives everything that may read it.
  std::shared_ptr<CtrlDataForITextEditable> m_data_ite;
  Glib::RefPtr<Pango::Context> m_pango_context;
  Glib::RefPtr<Pango::Layout> m_mode_layout;
  Glib::RefPtr<Pango::Layout> m_leading_keys_layout;
  Glib::RefPtr<Pango::Layout> m_prompt_layout;

  // Observed; null once the widget is destroyed.
  Gtk::Widget* m_widget;
  std::unique_ptr<CtrlWidgetLink> m_widget_link;
  std::weak_ptr<CtrlContext> m_ctrl;
  CtrlDActionHandler m_data_ah;
  std::shared_ptr<CtrlCommandActionMap> m_cmd_map;
  std::shared_ptr<Text> m_text;
  std::shared_ptr<CtrlTextEditorInsert> m_text_editor;
  std::shared_ptr<CtrlKeyBinder> m_key_binder;

  std::vector<ScopedConnection> m_connections;
};

} // namespace velkaro
