#pragma once
// CtrlTextEditor edits the text of one text holder (CtrlITextEditable) in
// place: cursor motions, selection, edits, the clipboard and the process-wide
// line-yank text. It keeps no text of its own: the text, the cursor, the
// selected range, the layout and the remembered horizontal cursor position
// all live in the holder's editing record, so a drawer can show them and
// several editors can take turns on one text.
//
// Positions are byte offsets into the UTF-8 text; motions step by whole
// characters. next(i) is the index after the character at i (i at the end of
// the text), prev(i) the index of the character before i (-1 at the start).
// The selection includes the characters under both its ends: anchor and
// cursor on one character select that character.
//
// The edited text (get_ite()) is the explicit target when one is set; else,
// for an editor made for a controller context, the context's text element
// under the cursor; else one process-wide placeholder, so every operation is
// safe on an editor with nothing to edit.
//
// Signals, emitted synchronously:
// - update(ite, text_changed): after a cursor motion (false) and after a
//   text change (true), naming the edited text.
// - overstep_cursor_limit(dx, dy, x): a motion ran past the start or end of
//   the text; dx, dy are the steps not done (negative going back or up), x is
//   the remembered horizontal cursor position. An owner may then move the
//   cursor into a neighbouring text with take_over_cursor(dx, dy, x).
// - exit_request(): after the edits that end a selection (delete, delete
//   line, insert, copy, cut, paste), so that an owner in a selecting mode
//   may leave it.
// - enter_request(): asked for by the editors that offer change-word and
//   new-line-above/below, after those, so that the owner starts typing.
// - notify(name): the setting "ite", "is-selecting" or "mouse-offset-pt"
//   was set.
// A handler may switch the target or drop its own reference to the editor:
// an operation that emits more than once keeps the editor alive till it ends.
//
// Every text change goes through one place: it sets the new text, places the
// cursor and then calls emit_update_text(prev) with the text before the
// change, which by default refreshes the selected range and emits update(ite,
// true). An editor that records undo steps overrides emit_update_text; when
// it runs, the text and the cursor are already final.
//
// Ownership: editors are owned by std::shared_ptr (mouse binders link to
// their handler weakly). An editor owns its explicit target; its context and
// its widget it only observes (a destroyed widget reads as none).
//
// Input (text_editor_input.cpp). Owners call activate() when editing of a
// text begins and deactivate() when it ends. While activated the editor has a
// mouse binder of its own on the widget (clicks place the cursor, drags
// select) and, while it can edit (set_can_edit), its key, focus and
// input-method handlers are connected: keys go to a GTK input method, whose
// commits are typed into the text and whose composition (pre-edit) is shown
// spliced into a copy of the text it began in. The key handlers are ordinary
// handlers of the widget, so they see each key before a key binder on the
// same widget (which connects after); a key the input method takes stops
// there, any other goes on to the binder.
// The key handler does not run the main loop before it hands a key to the
// input method. A key binder on the widget already drains pending events
// before every key the editor lets through; a second drain here would let
// keys queued behind this one be handled inside it, before it, and would
// re-enter the editor while the key is half handled. So keys the input
// method takes are typed one at a time, in the order they came. (A key that
// reaches the widget while the binder drains for a key the editor let
// through still comes to the editor first, inside that drain.)
// Every connection made for an activation dies with the editor or with the
// widget, whichever goes first; the editor's destructor switches editing off
// without emitting anything.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sigc++/sigc++.h>

#include <glib-object.h>

#include "common/c_resource.h"
#include "common/point.h"
#include "ctrl/keys/imouse_handler.h"
#include "model/itext_editable.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkIMContext GtkIMContext;
typedef struct _GdkEventKey GdkEventKey;
typedef struct _GdkEventFocus GdkEventFocus;
typedef struct _GdkWindow GdkWindow;

namespace Gtk {
class Widget;
}

namespace Pango {
class AttrList;
}

namespace velkaro {

class CtrlContext;
class CtrlMouseBinder;
class CtrlTextEditorClipboard;
class CtrlWidgetLink;

// What an editor made for a controller context asks of that context. Any
// member may be empty: the editor then does without it.
struct CtrlTextEditorContextLink {
  // The context's text element under its cursor, or null.
  std::function<std::shared_ptr<CtrlITextEditable>()> get_now_text_elm;
  // The context's canvas, which stands in for the editor's widget; may be null.
  std::function<Gtk::Widget*()> get_canvas;
  // The canvas's zoom.
  std::function<double()> get_zoom;
};

class CtrlTextEditor : public CtrlIMouseHandler,
                       public sigc::trackable,
                       public std::enable_shared_from_this<CtrlTextEditor> {
public:
  using SignalUpdate = sigc::signal<void(const std::shared_ptr<CtrlITextEditable>&, bool)>;
  using SignalOverstepCursorLimit = sigc::signal<void(int, int, int)>;
  using SignalRequest = sigc::signal<void()>;
  using SignalNotify = sigc::signal<void(const char*)>;

  // An editor working on widget (may be null) with ite as its explicit target
  // (may be null); the remembered cursor x is taken from the target's cursor.
  static std::shared_ptr<CtrlTextEditor> create(Gtk::Widget* widget = nullptr,
                                                const std::shared_ptr<CtrlITextEditable>& ite = nullptr);
  // An editor for a controller context, on the context's canvas, without
  // explicit target; the link says how to reach the context's parts. A null
  // ctrl fails the argument check and gives null.
  static std::shared_ptr<CtrlTextEditor> create_with_ctrl(const std::shared_ptr<CtrlContext>& ctrl,
                                                          CtrlTextEditorContextLink link);
  ~CtrlTextEditor() override;
  CtrlTextEditor(const CtrlTextEditor&) = delete;
  CtrlTextEditor& operator=(const CtrlTextEditor&) = delete;

  // --- Target, context and widget
  // The edited text, never null (see the header comment).
  std::shared_ptr<CtrlITextEditable> get_ite();
  // Makes ite (null allowed) the explicit target. A composition of the input
  // method in progress ends first, in the text it began in. The text edited
  // so far (the explicit target, else the context's text element) loses its
  // editing flag; the new target gets the flag when the editor is activated.
  void set_ite(const std::shared_ptr<CtrlITextEditable>& ite);
  // The context the editor was made for; null for one made without, or
  // once the context is gone.
  std::shared_ptr<CtrlContext> get_ctrl() const { return m_ctrl.lock(); }
  // The widget, or while there is none (or it was destroyed) the context's
  // canvas; may be null.
  Gtk::Widget* get_widget() const;
  void set_widget(Gtk::Widget* widget);
  // Between activation on the widget and deactivation.
  bool get_is_activated() const { return m_is_activated; }

  // --- Settings
  // The cursor stands between characters, as in typing; otherwise it stands
  // on a character. Off at first.
  bool get_insert_style() const { return m_insert_style; }
  void set_insert_style(bool on) { m_insert_style = on; }
  // Whether new_line() may type a line feed. On at first.
  bool get_new_line_allowed() const { return m_new_line_allowed; }
  void set_new_line_allowed(bool on) { m_new_line_allowed = on; }
  // Where selecting started; -1 stands for the end of the text, other values
  // outside the text count as its nearer end. 0 at first.
  int32_t get_selection_anchor() const { return m_selection_anchor; }
  void set_selection_anchor(int32_t anchor) { m_selection_anchor = anchor; }
  // The remembered horizontal cursor position of the edited text, in whole
  // layout pixels; vertical motions keep it.
  int32_t get_cursor_point_x();
  void set_cursor_point_x(int32_t x);
  // The offset owners give so that pointer points arrive in the coordinates
  // of the edited text's layout offset; (0, 0) at first. The setter gives
  // it, while activated, to the mouse binder too.
  const Point& get_mouse_offset_pt() const { return m_mouse_offset_pt; }
  void set_mouse_offset_pt(const Point& pt);
  // Where clipboard operations go; GTK's CLIPBOARD selection at first.
  const std::shared_ptr<CtrlTextEditorClipboard>& get_clipboard() const { return m_clipboard; }
  void set_clipboard(const std::shared_ptr<CtrlTextEditorClipboard>& clipboard);

  // --- Selection
  bool get_is_selecting() const { return m_is_selecting; }
  // Switching on while off anchors the selection at the cursor; then the
  // selected range is brought up to date.
  void set_is_selecting(bool on);
  // The range while selecting: from the smaller of anchor and cursor to
  // next() of the larger; (0, 0) while not selecting.
  void update_text_range();
  // The remembered cursor x becomes the x of the cursor in the layout.
  void update_cursor_point_x();

  // --- Motions. Each reports through update(ite, false), or instead through
  // overstep_cursor_limit where it runs past an end.
  // n characters, back for negative n, as far as the text goes; updates the
  // remembered x. True.
  bool move_char(int n);
  // n lines at the remembered x, which stays. Past the first or last line the
  // cursor stays and the result is false.
  bool move_line(int n);
  // To the point pt of the layout, in layout pixels; with insert style to the
  // nearer edge of the character there. Updates the remembered x. True.
  bool move_cursor_at_xy(const Point& pt);
  // To the line feed that ends the cursor's line (the end of the text for the
  // last line), or to its first character. Update the remembered x. True.
  bool move_cursor_at_eol();
  bool move_cursor_at_sol();
  // The same two moves without touching the remembered x and without signal.
  void place_cursor_at_eol();
  void place_cursor_at_sol();
  // Enters the edited text from a neighbour that reported
  // overstep_cursor_limit(dx, dy, x): from the right (dx < 0) at the end,
  // from the left at the start, from below (dy < 0) on the last line, from
  // above on the first, at x. The result of the last move made (true when
  // none).
  bool take_over_cursor(int dx, int dy, int x);

  // --- Edits
  // Deletes the selected range, else the character under the cursor, and
  // asks to exit. True, also when there is nothing to delete (nothing is
  // emitted then); false when the selected range does not lie within the
  // text: it is dropped and nothing else happens.
  bool del();
  // Deletes the cursor's line: its text goes to the clipboard and becomes the
  // line-yank text (none for an empty line); the cursor goes to the same line
  // index, or the last line, at the remembered x. Asks to exit. True.
  bool del_line();
  // Deletes the character before the cursor; the selection is not
  // consulted. True, also at the start of the text (then nothing happens).
  bool bs();
  // Types a line feed when new lines are allowed; false otherwise.
  bool new_line();
  // Typing: str goes in at the cursor (ending any composition first) and the
  // cursor follows it, in either style.
  void commit_cb(const std::string& str);
  // Inserts text at the cursor and asks to exit. The cursor ends after the
  // text with insert style, on its last character without. An empty text
  // does nothing.
  void insert(const std::string& text);

  // --- Clipboard
  // Without a selected range: none, and the clipboard is left alone. Else the
  // selected text, which also becomes the clipboard's. The line-yank text is
  // dropped in both cases.
  std::optional<std::string> copy_to_clipboard();
  // copy_to_clipboard(), then asks to exit. True.
  bool copy();
  // Copies and deletes the selected range; false, doing nothing, without one.
  bool cut();
  // cut() of the selected range, else of the character under the cursor (the
  // last character with the cursor at the end). On an empty text it only
  // copies. del()'s result.
  bool cut_or_del();
  // Inserts the clipboard's text before the cursor, or after the character
  // under it (before a line feed under it). A selected range is cut first
  // and replaced. When the clipboard holds the line-yank text and nothing
  // was selected, the text goes in as a line of its own, above the cursor's
  // line (below with after), and the cursor goes to its start. True.
  bool paste(bool after = false);
  // The text of the last whole-line deletion, shared by every editor of the
  // process; none for an empty line, and after any copy.
  static const std::optional<std::string>& get_line_yank_text();
  // Drops the line-yank text, as a copy does; for owners that copy to the
  // clipboard themselves.
  static void forget_line_yank_text();

  // --- Input: activation, the input method and keys
  // Starts editing on the widget (get_widget(), which may be null): the
  // input method's client window becomes the widget's window; a stored
  // cursor location of height 0 gets height 20; a new mouse binder on the
  // widget reports to this editor with the mouse offset; when the event being
  // handled is a press of a button on the widget (editing began with a
  // click the binder has not seen), the cursor goes to the last pointer
  // point the mouse binders saw and a drag from there selects; with can-edit
  // the key, focus and input-method handlers are connected. The edited text
  // is marked as editing. Nothing happens on an activated editor.
  void activate();
  // Ends editing: the binder and every handler go, selecting ends and the
  // selected range is cleared, a composition in progress is dropped (the
  // text it began in comes back), the editing mark goes. Nothing happens on
  // an editor that is not activated.
  void deactivate();
  // Whether keys and the input method are connected while activated. Off at
  // first. Switching while activated connects or disconnects at once;
  // otherwise only the value changes and activate() connects later.
  bool get_can_edit() const { return m_can_edit; }
  void set_can_edit(bool on);
  // The point of the left press a drag continues (as the mouse binder keeps
  // it: divided by the zoom, without the offset), or none. Only an activated
  // editor has one; the setter does nothing on another.
  std::optional<Point> get_drag_start_pt() const;
  void set_drag_start_pt(const std::optional<Point>& pt);
  // The editor's input method, made with the editor and kept for its life.
  GtkIMContext* get_im_context() const { return m_im_context.get(); }

  // The widget's handlers, connected as ordinary handlers while activated
  // with can-edit. Focus in and out reach the input method when can-edit
  // and report the event handled (true) either way. A key press or release
  // goes to the input method when can-edit, which tells it the cursor
  // location first; true when the input method took the key.
  bool focus_in_cb(GdkEventFocus& event);
  bool focus_out_cb(GdkEventFocus& event);
  bool key_press_cb(GdkEventKey& event);
  bool key_release_cb(GdkEventKey& event);
  // The input method's composition started, changed or ended: a non-empty
  // composition goes into the text (start_preedit), an empty one ends it
  // (cancel_preedit); then the text change is announced.
  void preedit_cb();
  // Shows a composition: the first call saves the text and the cursor; each
  // call then puts pre_str into a copy of the saved text at the saved
  // cursor, so a new composition replaces the one before. The layout shows
  // attrs (indexes within pre_str) moved to the saved cursor; the cursor goes
  // cursor_pos characters into pre_str (clamped to it). Returns the text
  // before; announces nothing.
  std::string start_preedit(const std::string& pre_str, const Pango::AttrList& attrs, int cursor_pos);
  // Ends a composition: the saved text, cursor and plain layout come back and
  // the change is announced. Returns the text as it was before; without a
  // composition it only returns the text.
  std::string cancel_preedit();

  // --- Notification, overridable
  // The text has changed from prev: refreshes the selected range, then
  // update(ite, true).
  virtual void emit_update_text(const std::string& prev);
  // The cursor has moved: refreshes the selected range, then update(ite, false).
  virtual void emit_update_cursor();

  // --- Pointer (points in the offset's coordinates, minus the layout offset
  // of the edited text giving layout pixels)
  // Places the cursor and ends selecting. True.
  bool on_press_left_button(const Point& pt) override;
  // Selects from where the press left the cursor to now_pt. True.
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override;
  // True, with no effect.
  bool on_release_left_button(const Point& pt) override;
  // The context's canvas zoom for an editor made for a context, else 1.0.
  double get_zoom() const override;

  SignalUpdate& signal_update() { return m_signal_update; }
  SignalOverstepCursorLimit& signal_overstep_cursor_limit() { return m_signal_overstep_cursor_limit; }
  SignalRequest& signal_exit_request() { return m_signal_exit_request; }
  SignalRequest& signal_enter_request() { return m_signal_enter_request; }
  SignalNotify& signal_notify() { return m_signal_notify; }

protected:
  CtrlTextEditor(Gtk::Widget* widget, const std::shared_ptr<CtrlITextEditable>& ite);
  // For an editor made for a context; ctrl is not checked here.
  CtrlTextEditor(const std::shared_ptr<CtrlContext>& ctrl, CtrlTextEditorContextLink link);

  // The one way the editor changes a text: remembers the text before, sets
  // text (up to its first NUL), lets finish place the cursor on the changed
  // text, then emit_update_text(prev). Nothing happens when the holder does
  // not accept text (CtrlITextEditable::get_accepts_text()).
  void commit_text(CtrlITextEditable& ite, const std::string& text, const std::function<void()>& finish);
  void set_is_activated(bool on) { m_is_activated = on; }

  // The widget's key and focus handlers and the input method's handlers; no
  // second connection while connected.
  void connect_widget_signals();
  void disconnect_widget_signals();

private:
  // The text edited so far when no explicit target is set: the context's
  // text element under the cursor, or null.
  std::shared_ptr<CtrlITextEditable> get_context_ite() const;
  void emit_overstep(int dx, int dy);
  // Moves the cursor onto layout line `line` at the remembered x.
  void place_cursor_on_line(CtrlITextEditable& ite, int line);
  // Selects [start, end) of the edited text.
  void select(int32_t start, int32_t end);
  std::shared_ptr<CtrlTextEditor> keep_alive() { return weak_from_this().lock(); }

  void watch_widget(Gtk::Widget* widget);
  void unwatch_widget();

  // Input helpers (text_editor_input.cpp).
  // The binder's offset becomes a copy of the mouse offset.
  void update_mouse_offset_pt();
  // The input method learns the edited text's cursor location.
  void tell_cursor_location();
  // Binds to the widget activation is made on: client window upkeep, and
  // forgetting the widget when it goes. Null unbinds.
  void bind_widget(Gtk::Widget* widget);
  void update_client_window();
  void set_client_window(GdkWindow* window);
  // The click that began an activation places the cursor.
  void place_cursor_at_press(Gtk::Widget& widget);
  // Drops a composition in progress: the input method forgets it and the
  // text it began in comes back.
  void end_preedit();
  // Cuts every input connection without emitting or asking the context
  // anything; for the destructor.
  void shut_down_input();
  static void on_im_commit(GtkIMContext* im, const char* str, gpointer self);
  static void on_im_preedit(GtkIMContext* im, gpointer self);

  std::weak_ptr<CtrlContext> m_ctrl;
  CtrlTextEditorContextLink m_link;
  // Not owned: cleared by GLib when the widget is destroyed.
  GtkWidget* m_widget = nullptr;
  std::shared_ptr<CtrlITextEditable> m_ite;
  Point m_mouse_offset_pt;
  std::shared_ptr<CtrlTextEditorClipboard> m_clipboard;

  bool m_insert_style = false;
  bool m_new_line_allowed = true;
  int32_t m_selection_anchor = 0;
  bool m_is_selecting = false;
  bool m_is_activated = false;
  bool m_can_edit = false;

  // Input: the input method and what an activation holds on its widget.
  CPtr<GtkIMContext, g_object_unref> m_im_context;
  std::shared_ptr<CtrlMouseBinder> m_mouse_binder;
  // The widget activation was made on; null when none, or once it is gone.
  GtkWidget* m_active_widget = nullptr;
  // The input method's client window, only compared.
  GdkWindow* m_client_window = nullptr;
  // Notices the widget going and keeps the client window in step with the
  // widget's realisation.
  std::unique_ptr<CtrlWidgetLink> m_active_link;
  // The widget's key and focus handlers while connected.
  std::unique_ptr<CtrlWidgetLink> m_widget_handlers;
  std::vector<gulong> m_im_handlers;
  bool m_signals_connected = false;

  // A composition of the input method in progress: the text and cursor it
  // was typed into.
  bool m_preedit_active = false;
  std::string m_preedit_saved_text;
  int32_t m_preedit_saved_cursor = 0;

  SignalUpdate m_signal_update;
  SignalOverstepCursorLimit m_signal_overstep_cursor_limit;
  SignalRequest m_signal_exit_request;
  SignalRequest m_signal_enter_request;
  SignalNotify m_signal_notify;
};

} // namespace velkaro
