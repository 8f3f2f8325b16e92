#pragma once
// ViewKeySetting: the key-binding editor, the main view's page
// "key_setting". It lists, group by group, every action of every mode of
// the context and of the handlers the modes include, each with its current
// keys, and lets the user remove a key (click it), restore the defaults
// ("Restore") or add a key sequence typed on an editor page ("Add").
//
// The view stores nothing itself: every change goes through the action's
// wrapper (CtrlActionWrapper::add_key, rm_key, restore), which rebinds the
// handler's key map, stores the user's keys in the configuration file and
// emits remapped(), on which the action's row rebuilds itself. A key that
// another action holds is refused by add_key() with nothing changed; the
// editor then shows "Duplicated keys!" and stays open. Descriptions, group
// names and captured keys are escaped before they go into label markup.
//
// Pages (sliding left and right): "list", a scrolled list box of one
// ViewKeyRow per action, and "editor" (ViewKeyEditor). Groups, in order:
// one per mode, headed by the mode's name, then one per class of included
// handler, headed "Common : " and the handler's name. When several modes
// include handlers of one class, the first one met is listed and the others
// become its dups (CtrlIActionHandler::add_dup), so that a key change made
// on the listed one reaches them too. The context's own actions are not
// listed. The list is built once, at construction.
//
// Keyboard: on the list, h, j, k, l move the focus left, down, up, right;
// d and u move the list's cursor a page down or up; Esc asks the owner to
// show the canvas page again (the leave function). On the editor's page
// "add", every key typed while "Type a key" has the focus is captured
// (modifier keys alone are ignored); otherwise h or k moves the focus left,
// j or l right, and Esc returns to the list.
//
// Ownership: the main view owns the view (a GTK child); the view owns its
// pages, rows and editor. It links to the context weakly (the context owns
// the main view). Rows hold their action's wrapper; their connection to its
// remapped() dies with the row.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/listbox.h>
#include <gtkmm/listboxrow.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/stack.h>
#include <gtkmm/viewport.h>

namespace velkaro {

class CtrlActionWrapper;
class CtrlContext;
class CtrlIActionHandler;
class ViewKeySetting;

// One action's row: its description (or name) in bold at the left; at the
// right, from the right end inwards, "Restore" (sensitive only while the
// keys differ from the defaults), "Add", a spacer, then one button per key,
// the first key nearest the spacer.
class ViewKeyRow : public Gtk::ListBoxRow {
public:
  using WrapperPtr = std::shared_ptr<CtrlActionWrapper>;

  ViewKeyRow(ViewKeySetting& ks, std::string group_name, WrapperPtr action);
  ~ViewKeyRow() override;

  const WrapperPtr& get_action() const { return m_action; }
  // The heading of the row's group.
  const std::string& get_group_name() const { return m_group_name; }

  // Replaces the row's content with a new one built from the action's
  // current keys, and shows it.
  void rebuild();

  // The buttons' work: restore the defaults; open the editor to add a
  // sequence; remove key. Restore and remove give the row the focus.
  void restore_cb();
  void add_cb();
  void key_cb(const std::string& key);

  // The widgets of the current content, for tests and keyboard users.
  Gtk::Button* get_restore_button() const { return m_restore_button; }
  Gtk::Button* get_add_button() const { return m_add_button; }
  const std::vector<Gtk::Button*>& get_key_buttons() const { return m_key_buttons; }
  Gtk::Label* get_title_label() const { return m_title_label; }

  // A button with label, without relief, whose label is underlined while it
  // has the keyboard focus.
  static Gtk::Button* make_button(const std::string& label);

private:
  std::unique_ptr<Gtk::Box> make_box();
  void drop_retired();

  ViewKeySetting& m_ks;
  std::string m_group_name;
  WrapperPtr m_action;
  std::unique_ptr<Gtk::Box> m_box;
  // Content replaced while one of its buttons may still be running its
  // click handler; freed when the main loop is idle again.
  std::vector<std::unique_ptr<Gtk::Box>> m_retired;
  Gtk::Label* m_title_label = nullptr;
  Gtk::Button* m_restore_button = nullptr;
  Gtk::Button* m_add_button = nullptr;
  std::vector<Gtk::Button*> m_key_buttons;
};

// The editor page: a stack of its own pages "add" (capture a key sequence,
// then "OK" or "Cancel") and "remove" (one "Remove [key]" button per key,
// and "Cancel"). Both are rebuilt each time the editor is opened.
class ViewKeyEditor : public Gtk::Stack {
public:
  using WrapperPtr = std::shared_ptr<CtrlActionWrapper>;

  explicit ViewKeyEditor(ViewKeySetting& ks);

  // Edits row's action. type "add": capture a sequence and add it; "change":
  // the same, then remove key; "remove": choose a key to remove. Any other
  // type only keeps the three.
  void set_editor(ViewKeyRow& row, const std::string& type, const std::optional<std::string>& key);
  // Appends a captured key: shown in the key line, "OK" made sensitive and
  // given the focus. The message is cleared.
  void add_key(const std::string& key);
  // "OK": the captured keys joined ("g", "g" give "gg") are added to the
  // action; on success the key to replace (if any) is removed and the list
  // is shown again, otherwise "Duplicated keys!" is shown and the page stays.
  void settle();
  // Removes key from the action and shows the list again.
  void remove_key(const std::string& key);
  // Sets the message of the page "add", in big bold text, once it is built.
  void show_message(const std::string& msg);

  const std::vector<std::string>& get_keys() const { return m_keys; }
  const WrapperPtr& get_action() const { return m_action; }
  // The page "add"'s widgets, null before it is first built.
  Gtk::Button* get_type_button() const { return m_type_button; }
  Gtk::Button* get_ok_button() const { return m_ok_button; }
  Gtk::Button* get_cancel_button() const { return m_cancel_button; }
  Gtk::Label* get_message_label() const { return m_message; }
  Gtk::Box* get_key_line() const { return m_key_line; }
  // The page "remove"'s buttons, in packing order ("Cancel" first).
  const std::vector<Gtk::Button*>& get_remove_buttons() const { return m_remove_buttons; }

private:
  void make_add_box();
  void make_remove_box();
  bool on_key(GdkEventKey* event);
  void move_focus(GtkDirectionType dir);

  ViewKeySetting& m_ks;
  WrapperPtr m_action;
  std::string m_type;
  std::optional<std::string> m_key;
  std::vector<std::string> m_keys;
  // Pages and their widgets: owned by this stack (managed).
  Gtk::Box* m_add_box = nullptr;
  Gtk::Box* m_remove_box = nullptr;
  Gtk::Box* m_key_line = nullptr;
  Gtk::Button* m_type_button = nullptr;
  Gtk::Button* m_ok_button = nullptr;
  Gtk::Button* m_cancel_button = nullptr;
  Gtk::Label* m_message = nullptr;
  std::vector<Gtk::Button*> m_remove_buttons;
};

class ViewKeySetting : public Gtk::Stack {
public:
  using HandlerPtr = std::shared_ptr<CtrlIActionHandler>;
  using WrapperPtr = std::shared_ptr<CtrlActionWrapper>;

  // The view of ctrl's bindings; leave is called when Esc on the list asks
  // for the canvas page (the main view's show_cv()).
  ViewKeySetting(const std::shared_ptr<CtrlContext>& ctrl, std::function<void()> leave);
  ~ViewKeySetting() override;

  // The context, or null once it is gone.
  std::shared_ptr<CtrlContext> get_ctrl() const { return m_ctrl.lock(); }

  // Shows the page "list".
  void show_list();
  // Opens the editor on row's action (ViewKeyEditor::set_editor), then
  // shows the page "editor".
  void show_key_editor(ViewKeyRow& row, const std::string& type, const std::optional<std::string>& key);
  // True when the view is not visible or shows the page "editor".
  bool get_is_editor_active() const;

  // Appends one row per action of list, headed name.
  void make_action_list(const std::string& name, const std::vector<WrapperPtr>& list);
  // Whether handlers holds one of exactly handler's class.
  static bool contains(const std::vector<HandlerPtr>& handlers, const CtrlIActionHandler& handler);
  // Makes target a dup of the first collected handler of exactly its class,
  // unless target is that handler itself or already one of its dups.
  static void to_unique(const HandlerPtr& target, const std::vector<HandlerPtr>& collected);

  Gtk::ListBox& get_list_box() { return m_list_box; }
  ViewKeyEditor& get_editor() { return m_editor; }
  // The rows in list order.
  std::vector<ViewKeyRow*> get_rows();

private:
  void init_lb(CtrlContext& ctrl);
  void update_header(Gtk::ListBoxRow* row, Gtk::ListBoxRow* before);
  bool on_key(GdkEventKey* event);

  std::weak_ptr<CtrlContext> m_ctrl;
  std::function<void()> m_leave;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Viewport m_viewport;
  Gtk::ListBox m_list_box;
  ViewKeyEditor m_editor;
};

} // namespace velkaro
