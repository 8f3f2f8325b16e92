#include "ctrl/test_kind.h"

#include <algorithm>

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include "common/point.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_element.h"

namespace velkaro::test {

// ---------------------------------------------------------------------------
// Document

std::shared_ptr<KindMark> KindMark::create(std::string name)
{
  auto mark = std::make_shared<KindMark>();
  mark->name = std::move(name);
  return mark;
}

void KindMark::write_in_top() { (void)get_writer()->write_attribute("name", name); }

void KindMark::read_in_top() { name = get_reader()->get_attribute("name").value_or(""); }

ModelElement::ElementPtr KindCells::bear(const std::string& name)
{
  if (name == "mark")
    return std::make_shared<KindMark>();
  return ModelElementCells::bear(name);
}

void KindWorkspace::init()
{
  ModelWorkspace::init();
  set_cells(KindCells::create());
  tmp_cells = KindCells::create();
}

std::shared_ptr<ModelElement> make_text(const std::string& text, int32_t dh)
{
  auto elm = ModelTextElement::create();
  elm->set_text(text);
  elm->dh = dh;
  return elm;
}

bool place(ModelWorkspace& ws, const std::shared_ptr<ModelElement>& elm, int32_t x, int32_t y)
{
  ws.move_hv(x, y);
  return ws.store(elm);
}

std::vector<std::string> names_at(ModelWorkspace& ws, int32_t x, int32_t y)
{
  std::vector<std::string> names;
  if (const auto head = ws.elm_at({x, y}))
    head->foreach([&](const std::shared_ptr<ModelElement>& e) {
      if (const auto mark = std::dynamic_pointer_cast<KindMark>(e))
        names.push_back("M:" + mark->name);
      else if (const auto text = std::dynamic_pointer_cast<ModelTextElement>(e))
        names.push_back("T:" + text->get_text());
      else
        names.push_back(e->get_type_name());
    });
  return names;
}

// ---------------------------------------------------------------------------
// View doubles

namespace {

const char* axis_name(CellDir dir) { return dir == CellDir::h ? "h" : dir == CellDir::v ? "v" : "hv"; }

} // namespace

void TestCanvas::set_zoom(double z)
{
  note("set_zoom " + std::to_string(z));
  zoom = z;
}

void TestCanvas::zoom_by_keys(int direction, const Point& centre)
{
  note("zoom_by_keys " + std::to_string(direction) + " " + centre.to_string());
}

void TestCanvas::set_offset(CellDir axis, double offset)
{
  note(std::string("set_offset ") + axis_name(axis) + " " + std::to_string(offset));
  (axis == CellDir::h ? page_x : page_y) = offset;
}

void TestCanvas::scroll(CellDir dir, int n) { note(std::string("scroll ") + axis_name(dir) + " " + std::to_string(n)); }

void TestCanvas::scroll_page(CellDir dir, int divisor)
{
  note(std::string("scroll_page ") + axis_name(dir) + " " + std::to_string(divisor));
}

void TestCanvas::pull_cursor(CellDir dir) { note(std::string("pull_cursor ") + axis_name(dir)); }

void TestCmdCtrl::active(bool b)
{
  CtrlAbstractCtrl::active(b);
  log->push_back(std::string("cmd:active ") + (b ? "true" : "false"));
}

void TestContextMenu::show_menu(CtrlContext& ctx)
{
  const auto& mode = ctx.get_now_mode();
  log->push_back("menu:show " + (mode ? mode->get_name() : std::string("(none)")));
}

bool TestMainWindow::raise_delete_request()
{
  log->push_back("window:delete_request");
  return stop_delete;
}

void TestMainWindow::document_replaced()
{
  log->push_back("window:document_replaced");
  ++replaced;
}

bool TestMainWindow::activate_action(const std::string& name, const std::optional<std::string>& parameter)
{
  log->push_back("window:activate " + name + (parameter ? " " + *parameter : ""));
  return std::find(actions.begin(), actions.end(), name) != actions.end();
}

// ---------------------------------------------------------------------------
// Controller

KindContext::KindContext(Key key, std::shared_ptr<ModelWorkspace> ws, std::shared_ptr<Log> log,
                         const MakeModes& make_modes, const std::string& exename)
  : CtrlContext(key, std::move(ws), exename), log(std::move(log))
{
  if (make_modes) {
    set_modes(make_modes(*this));
    return;
  }
  set_modes({std::make_shared<KindCellMode>(*this), std::make_shared<KindOtherMode>(*this)});
}

void KindMode::on_exit()
{
  const auto& next = get_ctrl().get_next_mode();
  note("on_exit next=" + (next ? next->get_name() : std::string("(none)")));
}

bool KindMode::on_press_left_button(const Point& pt)
{
  note("press " + pt.to_string());
  return true;
}

bool KindMode::on_release_left_button(const Point& pt)
{
  note("release " + pt.to_string());
  return true;
}

bool KindMode::on_double_press_left_button(const Point& pt)
{
  note("double " + pt.to_string());
  return true;
}

void KindMode::note(const std::string& what) const
{
  get_ctrl().get_c<KindContext>().log->push_back(get_name() + ":" + what);
}

KindBaseMode::KindBaseMode(CtrlContext& ctrl) : KindMode(ctrl, "KIND BASE MODE")
{
  // As the real base mode's: the current mode asks the context's "manual"
  // first, and without one there is nothing to do.
  void_action("manual", {"<F1>"}, [] {}, "Show Help");
  void_action("undo", {"u"}, [this] { undo(); }, "Undo");
  void_action("cancel", {"<Esc>"}, [this] { get_ctrl().change_to_cell_mode(); }, "Cancel");
  void_action("left", {"h"}, [this] { get_ctrl().move_pos(MovingDir::left); }, "Left");
  void_action("down", {"j"}, [this] { get_ctrl().move_pos(MovingDir::down); }, "Down");
  void_action("up", {"k"}, [this] { get_ctrl().move_pos(MovingDir::up); }, "Up");
  void_action("right", {"l"}, [this] { get_ctrl().move_pos(MovingDir::right); }, "Right");
  for (const char* name : {"base-b", "shared", "delete-line"}) {
    const std::string keys = name == std::string("base-b") ? "b" : name == std::string("shared") ? "s" : "dd";
    void_action(name, {keys}, [this, name] { note(name); }, std::nullopt);
  }
}

KindCellMode::KindCellMode(CtrlContext& ctrl) : KindMode(ctrl, "KIND CELL MODE")
{
  include(std::make_shared<KindBaseMode>(ctrl));
  replace_void("shared", [this] { note("shared (replaced)"); });
  void_action("own-x", {"x"}, [this] { note("own-x"); }, "Own");
  add_action(
    "insert-text", {"i"},
    [this] {
      auto& ctx = get_ctrl();
      return !ctx.get_now_elm() && place(*get_ws(), make_text("new"), ctx.get_now_cell().x, ctx.get_now_cell().y);
    },
    "Insert text", CtrlRecord::diff, [this] { return !get_ctrl().get_now_elm(); });
  void_action("copy", {"y"}, [this] { get_ctrl().copy(nullptr, false); }, "Copy");
  add_action(
    "cut", {"c"},
    [this] {
      get_ctrl().copy(nullptr, true);
      return true;
    },
    "Cut", CtrlRecord::diff);
  add_action("paste", {"p"}, [this] { return get_ctrl().paste(); }, "Paste", CtrlRecord::diff,
             [this] { return get_ctrl().get_has_yanked(); });
  void_action("to-other", {"o"}, [this] { change_to<KindAOtherMode>(); }, "Other mode");
}

void KindCellMode::on_enter()
{
  KindMode::on_enter();
  get_ctrl().in_cell_mode = true;
}

void KindCellMode::on_exit()
{
  KindMode::on_exit();
  get_ctrl().in_cell_mode = false;
}

KindOtherMode::KindOtherMode(CtrlContext& ctrl) : KindAOtherMode(ctrl, "KIND OTHER MODE")
{
  include(std::make_shared<KindBaseMode>(ctrl));
  void_action("cut-range", {"dd"}, [this] { note("cut-range"); }, std::nullopt);
}

// ---------------------------------------------------------------------------
// Kit

TestDoubles::TestDoubles()
  : main_view(std::make_shared<TestMainView>(log)),
    command_bar(std::make_shared<TestCommandBar>(log)),
    context_menu(std::make_shared<TestContextMenu>(log)),
    main_window(std::make_shared<TestMainWindow>(log))
{
}

void TestDoubles::attach_to(CtrlContext& ctx) const
{
  ctx.set_main_window(main_window);
  ctx.set_main_view(main_view);
  ctx.set_command_bar(command_bar);
  ctx.set_context_menu(context_menu);
}

KindKit::KindKit(const KindContext::MakeModes& make_modes, const std::string& exename)
  : ws(ModelWorkspace::create<KindWorkspace>()),
    ctx(CtrlContext::create<KindContext>(ws, log, make_modes, exename)),
    canvas(std::make_shared<TestCanvas>(log))
{
  attach_to(*ctx);
  ctx->set_canvas(canvas);
  log->clear();
}

void KindKit::watch()
{
  Log* out = log.get();
  ctx->signal_update_mode().connect(
    [out](const CtrlContext::ModePtr& mode) { out->push_back("update-mode:" + mode->get_name()); });
  ctx->signal_notify().connect([out](const char* name) { out->push_back(std::string("notify:") + name); });
  ctx->signal_update_leading_keys().connect([out](const std::string& keys) { out->push_back("leading-keys:" + keys); });
  ctx->signal_config_changed().connect([out](const std::string& key, const std::optional<std::string>& value) {
    out->push_back("config-changed:" + key + "=" + value.value_or("(none)"));
  });
  ctx->signal_update_actionable_name_sig().connect([out](const CtrlContext::NameSet& names) {
    std::string line = "actionable:";
    for (const auto& name : names)
      line += (line.back() == ':' ? "" : " ") + name;
    out->push_back(line);
  });
}

Log KindKit::take_log()
{
  Log taken;
  taken.swap(*log);
  return taken;
}

namespace {

// Presses the keys one after the other on the handler handler_of() gives
// at each press.
template <class HandlerOf>
bool press_each(std::string_view keys, HandlerOf handler_of)
{
  bool handled = false;
  const CtrlKeyActionMapKeyPattern pattern(keys);
  for (const auto& key : pattern.get_keys()) {
    GdkEventKey event{};
    event.type = GDK_KEY_PRESS;
    event.keyval = key.get_keyval();
    event.state = key.get_state();
    // Held: the key may switch modes.
    const std::shared_ptr<CtrlIKeyHandler> handler = handler_of();
    handled = handler && handler->key_press(event);
  }
  return handled;
}

} // namespace

bool press_keys(CtrlIKeyHandler& handler, std::string_view keys)
{
  return press_each(keys, [&handler] { return std::shared_ptr<CtrlIKeyHandler>(std::shared_ptr<void>(), &handler); });
}

bool press_keys(CtrlContext& ctx, std::string_view keys)
{
  return press_each(keys, [&ctx] { return std::shared_ptr<CtrlIKeyHandler>(ctx.get_now_mode()); });
}

} // namespace velkaro::test
