#pragma once
// CtrlContext: the controller of one diagram. It owns the diagram's modes
// and knows which one is current, holds the cursor cell and the axis of
// insertion, the undo processor, the configuration store, the copy buffer
// and the selection, and ties the workspace to the view: the canvas, the
// main view, the command bar, the context menu and the main window, each
// reached through a small interface (ctrl/i*.h) and kept together in its
// ports (CtrlContextPorts).
//
// Each diagram kind derives its context from this class, registers its modes
// in its constructor (set_modes(), the cell mode first) and may override the
// virtual operations. Modes reach their kind's context with
// get_ctrl().get_c<KindContext>().
//
// Creation: create<T>(args...) constructs T from a Key and args, then links
// the undo processor and the store's alerts back to the context (neither can
// be done while the context is being constructed).
//
// Ownership: the context owns its workspace reference, modes, processor,
// store, binders, copy buffer and the view interfaces it is given, except
// the main window, which owns the context and is linked weakly. Nothing the
// context owns owns it back: modes reach it through get_link(), which dies
// with it; the processor and the store's alert hold weak links; timers hold
// weak links and do nothing once it is gone. Destroying the context frees
// its modes.
//
// Signals:
// - signal_config_changed() (key, value): a setting of the group "general"
//   changed; the window also emits it once with "init" and no value after
//   it has built itself.
// - signal_update_leading_keys() (keys): the keys the user has typed so
//   far towards a binding of the current mode changed, whichever of its
//   key maps (its own or an included handler's) holds them ("" when none
//   are pending any more). See CtrlIActionHandler::get_pending_keys().
// - signal_update_mode() (mode): a mode switch has entered the mode.
// - signal_notify() (name): "now-mode", "now-dir", "canvas" or "is-active"
//   after it was set.
// - signal_update_actionable_name_sig() (names): the names of the actions
//   that can run now; 100 ms after a burst of changes (queue_state_changed).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include <gdkmm/rgba.h>
#include <sigc++/signal.h>

#include "common/app_id.h"
#include "common/cell_pos.h"
#include "common/directions.h"
#include "common/igen.h"
#include "common/point.h"
#include "common/scoped_connection.h"
#include "ctrl/abstract_ctrl.h"
#include "ctrl/ports/context_ports.h"
#include "ctrl/keys/daction_handler.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/undo/icursor_holder.h"
#include "ctrl/undo/record.h"
#include "model/element.h"

namespace velkaro {

struct CellRange;
class CtrlActionProcessor;
class CtrlContext;
class CtrlICanvas;
class CtrlICommandBar;
class CtrlIContextMenu;
class CtrlIMainView;
class CtrlIMainWindow;
class CtrlKeyBinder;
class CtrlMode;
class CtrlMouseBinder;
class ModelExpStack;
class ModelStore;
class ModelTextElement;
class ModelWorkspace;

// How modes and timers reach a context without owning it: ctx is cleared
// when the context dies.
struct CtrlContextLink {
  CtrlContext* ctx = nullptr;
};

class CtrlContext : public CtrlAbstractCtrl,
                    public CtrlIActionHandler,
                    public CtrlICursorHolder,
                    public IGen,
                    public std::enable_shared_from_this<CtrlContext> {
protected:
  // The constructors' pass: only create() makes one.
  class Key {
    friend class CtrlContext;
    Key() = default;
  };

public:
  using ModePtr = std::shared_ptr<CtrlMode>;
  using ElementPtr = std::shared_ptr<ModelElement>;
  // Called with the found mode before a switch to it.
  using Prepare = std::function<void(CtrlMode&)>;
  using SignalConfigChanged = sigc::signal<void(const std::string&, const std::optional<std::string>&)>;

  // The keys of the group "general" that read "true" when nothing is stored.
  static constexpr const char* DEFAULT_TRUE_KEYS[] = {"use-overlay-scrolling", "show-menubar", "show-toolbar"};
  // How long the refresh of actionable names waits after the last request.
  static constexpr unsigned STATE_CHANGED_DELAY_MS = 100;

  // A new T (a diagram kind's context, constructed from a Key and args),
  // linked back as the header comment says.
  template <class T, class... Args>
  static std::shared_ptr<T> create(Args&&... args)
  {
    auto ctx = std::make_shared<T>(Key{}, std::forward<Args>(args)...);
    ctx->link_back(ctx);
    return ctx;
  }

  // ws is the document for the context's whole life; exename names the
  // configuration file (velkaro_<exename>.conf). Cursor (0, 0), axis h, no
  // mode, no selection, no copy buffer, no view.
  CtrlContext(Key key, std::shared_ptr<ModelWorkspace> ws, const std::string& exename = app_id_exename());
  ~CtrlContext() override;

  // --- Fields the view and the modes set and read.

  // The diagram kind's colour; the tool bar paints its buttons with it.
  Gdk::RGBA theme_color;
  // True while a cell mode is current: its on_enter sets it, its on_exit
  // clears it. It makes move_pos() cross a multi-cell element in one step.
  bool in_cell_mode = false;
  // The element under edit (placed or resized by the range mode), or null.
  ElementPtr edit_elm;
  // The selected cells, or null.
  std::shared_ptr<CellRange> selected_range;

  // --- Virtual operations.

  // The base switch, then, when b is true, the canvas takes the focus.
  void active(bool b) override;
  // move_next() forward (backward) over every element type.
  virtual void next_elm();
  virtual void prev_elm();
  // The context's own actionable names, plus the current mode's while the
  // main view shows the canvas page (or there is no main view).
  NameSet enum_actionable_name() override;
  // A kind returns true when it pasted the copy (given by reference) itself;
  // paste() then leaves the copy as the hook left it. Base: false (a null
  // copy fails the argument check).
  virtual bool special_paste(ElementPtr& copy);
  // The text element a text mode edits at the cursor: by default the first
  // text element, of any role, of the chain at the cursor cell; or null.
  virtual std::shared_ptr<ModelTextElement> get_now_text_elm();
  // Whether copy() would take anything: with a selection, whether a cell of
  // it anchors an element that a range cut takes; without, whether the
  // chain at the cursor cell holds one.
  virtual bool get_check_copy();

  // --- Action handler. get_name() is left to the kind: its class name
  // ("SeqContext"), which also names its group of key bindings.

  CtrlDActionHandler& get_data_ah() override { return m_data; }
  // Runs the name on the current mode, which asks the context's own actions
  // first (CtrlMode::action): the context's own action of that name (a
  // replacement first) while the context is actionable; when there is none,
  // or it returned false, the mode's action of that name. Without a mode,
  // the context's own action alone.
  bool action(const std::optional<std::string>& name) override;

  // --- Modes.

  // Registers the modes, one per class (a later mode of a class replaces an
  // earlier one); each then asks the context's own actions first
  // (CtrlMode::action). The first becomes the default mode and the current
  // mode, without on_enter and without signal_update_mode().
  void set_modes(const std::vector<ModePtr>& modes);
  // Switches to mode: while a dry run is under way nothing happens; a mode
  // that is not enterable is refused silently. Otherwise: next_mode := mode,
  // the old mode's on_exit, its pending keys dropped, mode current, its
  // on_enter, signal_update_mode(mode), the binders aimed at it, the refresh
  // of actionable names queued, "now-mode" notified. Switching to the
  // current mode again is a full switch.
  void set_now_mode(const ModePtr& mode);
  // Switches to the registered mode of exactly class T, else to the last
  // registered one that derives from T; prepare runs with it first. True
  // when it is now the current mode. During a dry run: true at once.
  template <class T>
  bool change_to(const std::function<void(T&)>& prepare = {})
  {
    return change_to(
      std::type_index(typeid(T)), [](const CtrlMode& m) { return dynamic_cast<const T*>(&m) != nullptr; },
      prepare ? Prepare([prepare](CtrlMode& m) { prepare(dynamic_cast<T&>(m)); }) : Prepare());
  }
  // The same with the class given as its type_index and a test for the
  // classes derived from it.
  bool change_to(std::type_index type, const std::function<bool(const CtrlMode&)>& is_a, const Prepare& prepare);
  // Switches to the default mode, unless a dry run is under way.
  void change_to_cell_mode();

  const ModePtr& get_now_mode() const { return m_now_mode; }
  // The mode of the switch under way; stays the current mode afterwards.
  const ModePtr& get_next_mode() const { return m_next_mode; }
  const ModePtr& get_default_mode() const { return m_default_mode; }
  // The registered modes in registration order.
  const std::vector<ModePtr>& get_mode_list() const { return m_mode_list; }
  // The registered mode of exactly that class, or null.
  ModePtr get_mode(std::type_index type) const;

  // --- View: the collaborators (CtrlContextPorts), each set once by whoever
  // builds the window.

  // All of them.
  const CtrlContextPorts& get_ports() const { return m_ports; }
  // Holds the canvas and installs a new key binder and mouse binder on its
  // widget, aimed at the current mode (replacing earlier ones); notifies
  // "canvas". Register the modes first.
  void set_canvas(const std::shared_ptr<CtrlICanvas>& canvas);
  const std::shared_ptr<CtrlICanvas>& get_canvas() const { return m_ports.canvas; }
  const std::shared_ptr<CtrlICanvas>& get_cv() const { return m_ports.canvas; }
  const std::shared_ptr<CtrlIMainView>& get_main_view() const { return m_ports.main_view; }
  void set_main_view(const std::shared_ptr<CtrlIMainView>& main_view) { m_ports.main_view = main_view; }
  const std::shared_ptr<CtrlICommandBar>& get_command_bar() const { return m_ports.command_bar; }
  void set_command_bar(const std::shared_ptr<CtrlICommandBar>& bar) { m_ports.command_bar = bar; }
  const std::shared_ptr<CtrlIContextMenu>& get_context_menu() const { return m_ports.context_menu; }
  void set_context_menu(const std::shared_ptr<CtrlIContextMenu>& menu) { m_ports.context_menu = menu; }
  std::shared_ptr<CtrlIMainWindow> get_main_window() const { return m_ports.main_window.lock(); }
  // Alerts raised before the window was set (a broken configuration file
  // found while the modes register, say) are shown to it now.
  void set_main_window(const std::shared_ptr<CtrlIMainWindow>& window);
  // Lets go of the main view, the command bar and the menu, which their
  // owner is about to destroy; the canvas, the binders on it and the
  // window link stay.
  void clear_ports();
  const std::shared_ptr<CtrlKeyBinder>& get_key_binder() const { return m_key_binder; }
  const std::shared_ptr<CtrlMouseBinder>& get_mouse_binder() const { return m_mouse_binder; }

  // The command line takes the keyboard: the context is switched off (no
  // focus change), then the command-line controller is switched on.
  void activate_cmd_ctrl();
  // The diagram takes the keyboard: the context is switched on, the main
  // view takes the focus, then the command-line controller is switched off.
  void activate_edit_ctrl();

  // --- Cursor and axis (context_cursor.cpp).

  // The cursor cell; the scratch cursor during a dry run.
  CellPos get_now_cell() const override;
  // Puts the cursor (the scratch cursor during a dry run) on pos, unchanged,
  // then update_cell_pos(); returns pos.
  CellPos set_pos(const CellPos& pos) override;
  CellPos set_pos_by_pt(const Point& pt) { return set_pos(point_to_cell_pos(pt)); }
  // Unless a dry run is under way: the canvas shows the cursor cell and the
  // refresh of actionable names is queued.
  void update_cell_pos();
  // One step of the cursor in dir, clamped to the grid. In a cell mode, on a
  // cell covered by a mono element (a text), the cursor steps on until it
  // leaves that element, or stops at the grid's edge.
  void move_pos(MovingDir dir);
  // Moves the cursor to the nearest anchor cell after (before) it in
  // column-major order whose chain holds a T, then updates the view; nothing
  // moves when there is none.
  template <class T>
  void move_next(bool forward)
  {
    move_next(forward, [](const ModelElement& head) {
      if constexpr (std::is_same_v<T, ModelElement>)
        return true;
      else
        return head.has<T>(ANY_ROLE);
    });
  }
  void move_next(bool forward, const std::function<bool(const ModelElement& head)>& holds);
  // Along the turned axis, the cursor goes to 0 (to_end false) or to the
  // last used line (true).
  void cell_to_end(bool to_end);
  // The cursor goes to elm's anchor cell.
  void now_cell_to(const ElementPtr& elm);

  CellDir get_now_dir() const { return m_now_dir; }
  // Stores the axis, updates the view, notifies "now-dir" (during a dry
  // run: only stores it).
  void set_now_dir(CellDir dir);
  // v for h; h for v and hv.
  CellDir get_turned_dir() const { return cell_dir_inv(m_now_dir); }
  bool get_is_virtical() const { return m_now_dir == CellDir::v; }

  // The chain head anchored at the cursor cell, or null.
  ElementPtr get_now_elm() const;
  // The elements covering the cursor cell, or null.
  std::shared_ptr<ModelExpStack> get_now_exp() const;
  // The text of get_now_text_elm(); "" without one.
  std::string get_now_text();
  // edit_elm's anchor cell in the workspace cells; (-1, -1) when it is not
  // stored there or there is none.
  CellPos get_epos() const;
  // The cursor cell's top-left corner, the top-left corner of the cell one
  // column right and one row down, and their midpoint.
  Point get_now_cell_top_left_pt() const;
  Point get_now_cell_bottom_right_pt() const;
  Point get_now_cell_center_pt() const;

  // Point conversions, in place; each returns pt. Pointer points arrive in
  // workspace units already, so the first leaves pt as it is; the second
  // makes pt relative to the cursor cell's top-left corner; the third
  // multiplies it by the canvas's zoom.
  Point& translate_pt_wnd_to_ws(Point& pt) const { return pt; }
  Point& translate_pt_wnd_to_cell(Point& pt) const;
  Point& translate_pt_ws_to_wnd(Point& pt) const;
  // The grid cell under pt, clamped into the grid.
  CellPos point_to_cell_pos(const Point& pt) const;

  // --- Configuration, group "general" (context_config.cpp).

  // The stored value; else "true" for DEFAULT_TRUE_KEYS, "false" otherwise.
  std::string config(const std::string& key);
  bool config_b(const std::string& key) { return config(key) == "true"; }
  // Stores and saves at once; the store's announcement comes back as
  // signal_config_changed().
  void save_config(const std::string& key, const std::string& value);
  // The store's data and cache files.
  bool save_data(const std::string& key, const std::string& value);
  bool save_cache(const std::string& key, const std::string& value);
  std::string data(const std::string& key) const;

  // --- Copy buffer (context_copy.cpp).

  // Fills a new copy buffer with deep copies (each carrying copies of its
  // children), with yank_pos as their origin; with remove, exactly what was
  // copied is removed, with its children. With elm: elm, origin its anchor
  // cell. Else with a selection: the elements a range cut takes there
  // (workspace range_cut_target()), origin the component-wise minimum of the
  // cursor cell and their anchor cells. Else the same for the cursor cell
  // alone. Nothing to take leaves the buffer empty.
  void copy(const ElementPtr& elm, bool remove);
  // copy(elm, true); true.
  bool remove(const ElementPtr& elm);
  // Pastes the buffer with its origin at the cursor cell: each copy keeps
  // its offset from yank_pos. Then yank_pos is the cursor cell and the
  // buffer holds fresh copies, so a second paste elsewhere repeats it.
  // False when the buffer was never filled.
  bool paste();
  // The buffer holds at least one copy.
  bool get_has_yanked() const { return m_yank_elms && !m_yank_elms->empty(); }
  // nullopt before the first copy.
  const std::optional<std::vector<ElementPtr>>& get_yank_elms() const { return m_yank_elms; }
  const std::optional<CellPos>& get_yank_pos() const { return m_yank_pos; }

  // --- Editing services (context_services.cpp).

  // Tries fn on a scratch copy of the document and returns its result:
  // meanwhile the workspace works on its scratch cells, the processor's
  // history is an empty one, the cursor is a scratch cursor, modes do not
  // switch and nothing is queued or shown. Afterwards the document, the undo
  // and redo history, the cursor, the current mode, the axis, the selection,
  // the element under edit and the copy buffer are as they were. A dry run
  // inside a dry run just runs fn.
  bool do_test(const std::function<bool()>& fn);
  bool get_in_test() const { return m_in_test; }
  // Runs fn as one step of the history (CtrlActionProcessor::record), as
  // how says; fn's result says whether anything was done (false: nothing is
  // recorded). The processor's result.
  bool with_diff_if(const std::function<bool()>& fn, CtrlRecord how = CtrlRecord::diff);
  // The same for work that is always done.
  bool with_diff(const std::function<void()>& fn);
  // The one way to open or replace the document (":r", File > Open, File >
  // New): the file at path is read into a scratch document of the same kind
  // (ModelWorkspace::read_new; without a path, an empty one). A file the
  // workspace refuses touches nothing, neither the document nor the current
  // mode, the selection, the element under edit or the history (false; the
  // workspace's get_last_error() says why). Otherwise the current mode is
  // left for the default mode, so no mode keeps elements of the document it
  // replaces, the selection and the element under edit are dropped, the
  // workspace takes the scratch document, the history is cleared, the view
  // is updated (the canvas sized to the new document) and the window is
  // told once (CtrlIMainWindow::document_replaced); true. Whether unsaved
  // changes may go is the caller's question.
  bool new_context(const std::optional<std::string>& path);
  // The canvas updates itself and the refresh of actionable names is queued;
  // nothing during a dry run.
  void update_view();
  // The workspace lays out the line of pos again.
  void update_layout(const CellPos& pos);
  // Unless a dry run is under way, emits signal_update_actionable_name_sig()
  // STATE_CHANGED_DELAY_MS after this request, at low priority, when no
  // other request came meanwhile: a burst of requests gives one signal,
  // after the last.
  void queue_state_changed();

  // --- Parts.

  const std::shared_ptr<ModelWorkspace>& get_ws() const { return m_ws; }
  const std::shared_ptr<ModelStore>& get_store() const { return m_store; }
  const std::shared_ptr<CtrlActionProcessor>& get_action_proc() const { return m_action_proc; }
  const std::string& get_exename() const { return m_exename; }
  // The link modes keep to the context.
  std::shared_ptr<const CtrlContextLink> get_link() const { return m_link; }

  // --- Signals.

  SignalConfigChanged& signal_config_changed() { return m_signal_config_changed; }
  sigc::signal<void(const std::string&)>& signal_update_leading_keys() { return m_signal_update_leading_keys; }
  sigc::signal<void(const ModePtr&)>& signal_update_mode() { return m_signal_update_mode; }

private:
  void link_back(const std::shared_ptr<CtrlContext>& self);
  void relay_config_changed(const std::string& group, const std::string& key,
                            const std::optional<std::string>& value);
  // Fires once per request; emits when it is the last one pending.
  void delay_emit();
  void aim_binders();
  void show_alert(const std::string& message);
  // Announces the current mode's pending keys when they differ from what
  // was announced last.
  void relay_leading_keys();
  void drop_leading_keys_relay();

  std::shared_ptr<ModelWorkspace> m_ws;
  std::string m_exename;
  std::shared_ptr<ModelStore> m_store;
  std::shared_ptr<CtrlActionProcessor> m_action_proc;
  CtrlDActionHandler m_data;
  std::shared_ptr<CtrlContextLink> m_link;

  std::unordered_map<std::type_index, ModePtr> m_modes;
  std::vector<ModePtr> m_mode_list;
  ModePtr m_default_mode;
  ModePtr m_now_mode;
  ModePtr m_next_mode;

  CtrlContextPorts m_ports;
  // Alerts waiting for a main window to show them.
  std::vector<std::string> m_pending_alerts;
  std::shared_ptr<CtrlKeyBinder> m_key_binder;
  std::shared_ptr<CtrlMouseBinder> m_mouse_binder;

  CellDir m_now_dir = CellDir::h;
  CellPos m_now_cell{0, 0};
  CellPos m_test_cell{0, 0};
  bool m_in_test = false;
  int32_t m_state_changed_count = 0;

  std::optional<std::vector<ElementPtr>> m_yank_elms;
  std::optional<CellPos> m_yank_pos;

  ScopedConnection m_ws_updated;
  ScopedConnection m_store_changed;
  // Connected to every key map of the current mode.
  std::vector<ScopedConnection> m_leading_keys_relay;
  // What signal_update_leading_keys() announced last.
  std::string m_leading_keys;
  SignalConfigChanged m_signal_config_changed;
  sigc::signal<void(const std::string&)> m_signal_update_leading_keys;
  sigc::signal<void(const ModePtr&)> m_signal_update_mode;
};

} // namespace velkaro
