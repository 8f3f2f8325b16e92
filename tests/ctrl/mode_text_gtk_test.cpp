// The text modes on a shown canvas widget, driven as the window drives
// them: key presses go to the toplevel (an insert mode's input method types
// them, the key binder hands the rest to the current mode), pointer events
// to the canvas (the context's mouse binder, then the active editor's).
// Needs a display.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include "common/c_resource.h"
#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/mode_text_kit.h"
#include "ctrl/text/text_editor_with_action.h"
#include "model/grid.h"
#include "model/workspace.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

using Chain = std::vector<std::string>;

// The test kind on a shown window whose drawing area is the canvas widget,
// with the focus; every text mode types through GTK's simple input method.
struct TextStage {
  TextStage()
  {
    area.set_size_request(600, 400);
    area.set_can_focus(true);
    window.add(area);
    window.show_all();
    area.grab_focus();
    kit.canvas->widget = &area;
    kit.ctx->set_canvas(kit.canvas);
    for (const auto& mode : kit.text_modes())
      gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(mode->get_text_editor()->get_im_context()),
                                         "gtk-im-context-simple");
    settle();
  }
  ~TextStage() { settle(); }

  // Each key of the key pattern text, pressed and released on the toplevel.
  void keys(std::string_view text)
  {
    const CtrlKeyActionMapKeyPattern pattern(text);
    for (const auto& key : pattern.get_keys()) {
      for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        gtk_main_do_event(key_event(type, window.get_window()->gobj(), key.get_keyval(), key.get_state()).get());
      }
    }
  }

  void button(GdkEventType type, const Point& pt)
  {
    const guint state = type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0;
    gtk_main_do_event(
        button_event(type, area.get_window()->gobj(), GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y(), state).get());
  }

  void drag(const Point& pt)
  {
    gtk_main_do_event(motion_event(area.get_window()->gobj(), GDK_BUTTON1_MASK, pt.get_x(), pt.get_y()).get());
  }

  // The widget point (zoom 1, no scrolling) on character i of the text at
  // (1, 1), a third into it: as near its left edge as a click on it gets.
  Point at_char(int32_t i)
  {
    const auto text = kit.ws->elm_at({1, 1});
    auto& ite = dynamic_cast<ModelTextElement&>(*text);
    const auto layout = ite.get_pango_layout();
    const Pango::Rectangle here = layout->index_to_pos(i);
    const double width = here.get_width() > 0 ? here.get_width() / double(PANGO_SCALE) : 0;
    Point pt = kit.ws->grid->get_top_left_point({1, 1});
    pt.add(ite.get_pango_layout_offset());
    pt.add(Point(here.get_x() / double(PANGO_SCALE) + width / 3, 4));
    return pt;
  }

  Point at_cell(int32_t x, int32_t y)
  {
    return Point::create_median(kit.ws->grid->get_rect(x, y));
  }

  // Declared before the kit: the context and its editors go first.
  Gtk::Window window;
  Gtk::DrawingArea area;
  TextKit kit;
};

// One step of a script.
struct TextStep {
  enum class Kind { keys, press, release, drag, double_click, press_cell };
  Kind kind;
  const char* keys = "";
  int32_t index = 0;
  CellPos cell{0, 0};

  void run(TextStage& stage) const
  {
    switch (kind) {
    case Kind::keys:
      stage.keys(keys);
      break;
    case Kind::press:
      stage.button(GDK_BUTTON_PRESS, stage.at_char(index));
      break;
    case Kind::release:
      stage.button(GDK_BUTTON_RELEASE, stage.at_char(index));
      break;
    case Kind::drag:
      stage.drag(stage.at_char(index));
      break;
    case Kind::double_click:
      // As GTK reports a double click.
      stage.button(GDK_BUTTON_PRESS, stage.at_char(index));
      stage.button(GDK_BUTTON_RELEASE, stage.at_char(index));
      stage.button(GDK_BUTTON_PRESS, stage.at_char(index));
      stage.button(GDK_2BUTTON_PRESS, stage.at_char(index));
      stage.button(GDK_BUTTON_RELEASE, stage.at_char(index));
      break;
    case Kind::press_cell:
      stage.button(GDK_BUTTON_PRESS, stage.at_cell(cell.x, cell.y));
      stage.button(GDK_BUTTON_RELEASE, stage.at_cell(cell.x, cell.y));
      break;
    }
    settle();
  }
};

TextStep keys(const char* k) { return {TextStep::Kind::keys, k}; }
TextStep press_at(int32_t i) { return {TextStep::Kind::press, "", i}; }
TextStep release(int32_t i) { return {TextStep::Kind::release, "", i}; }
TextStep drag(int32_t i) { return {TextStep::Kind::drag, "", i}; }
TextStep double_click(int32_t i) { return {TextStep::Kind::double_click, "", i}; }
TextStep press_cell(int32_t x, int32_t y) { return {TextStep::Kind::press_cell, "", 0, {x, y}}; }

TEST(TextModesOnTheCanvas, TransitionsByKeysAndPointer)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* name;
    // The text at (1, 1), where the cursor starts in the cell mode; null
    // for an empty cell.
    const char* start;
    std::vector<TextStep> steps;
    Chain chain;
    const char* mode;
    // The cursor in the text at (1, 1); -1: not checked.
    int32_t cursor;
    CellPos cell{1, 1};
  };
  const Case cases[] = {
    // Into and out of the text modes by keys.
    {"cell: the kind's change enters the normal text mode", "abc", {keys("c")}, {"T:abc"}, NORMAL, 0},
    {"normal: <Esc>", "abc", {keys("c<Esc>")}, {"T:abc"}, CELL, -1},
    {"normal: <C-[>", "abc", {keys("c<C-[>")}, {"T:abc"}, CELL, -1},
    {"normal: i, typing, <Esc>", "abc", {keys("cixy<Esc>")}, {"T:xyabc"}, NORMAL, 2},
    {"insert (normal): a second <Esc> reaches the cell mode", "abc", {keys("cixy<Esc><Esc>")}, {"T:xyabc"}, CELL,
     -1},
    {"normal: a", "abc", {keys("caX<Esc>")}, {"T:aXbc"}, NORMAL, 2},
    {"normal: A", "abc", {keys("cAX")}, {"T:abcX"}, INSERT_NORMAL, 4},
    {"normal: I", "abc", {keys("c$IX")}, {"T:Xabc"}, INSERT_NORMAL, 1},
    {"normal: a on the end of a line", "ab\ncd", {keys("c$aX")}, {"T:abX\ncd"}, INSERT_NORMAL, 3},
    {"normal: o asks for typing", "abc", {keys("coX")}, {"T:abc\nX"}, INSERT_NORMAL, 5},
    {"normal: O asks for typing", "abc", {keys("cOX")}, {"T:X\nabc"}, INSERT_NORMAL, 1},
    {"normal: cw asks for typing", "ab cd", {keys("ccwX")}, {"T:Xcd"}, INSERT_NORMAL, 1},
    {"normal: v", "abc", {keys("cv")}, {"T:abc"}, VISUAL, 0},
    {"visual: v does nothing", "abc", {keys("cvv")}, {"T:abc"}, VISUAL, 0},
    {"visual: <Esc>", "abc", {keys("cvl<Esc>")}, {"T:abc"}, NORMAL, 1},
    {"visual: c changes the selection", "abc", {keys("cvlcX")}, {"T:Xc"}, INSERT_NORMAL, 1},
    {"visual: an edit returns to normal at idle", "abc", {keys("cvlx")}, {"T:c"}, NORMAL, 0},
    {"insert (normal): u is typed, <C-z> does nothing", "abc", {keys("ciu<C-z>")}, {"T:uabc"}, INSERT_NORMAL, 1},
    {"cell: into insert (cell)", "abc", {keys("iX")}, {"T:Xabc"}, INSERT_CELL, 1},
    {"insert (cell): <Esc> reaches the cell mode", "abc", {keys("iX<Esc>")}, {"T:Xabc"}, CELL, -1},
    {"cell: tt and typing", nullptr, {keys("ttab")}, {"T:ab"}, INSERT_CELL, 2},
    {"insert (cell): <Esc> after tt", nullptr, {keys("ttab<Esc>")}, {"T:ab"}, CELL, -1},
    {"insert (cell): left empty", nullptr, {keys("tt<Esc>")}, {}, CELL, -1},
    // By pointer.
    {"normal: double click", "abc", {keys("c"), double_click(1)}, {"T:abc"}, INSERT_NORMAL, 1},
    {"normal: drag", "abc", {keys("c"), press_at(0), drag(1), drag(2)}, {"T:abc"}, VISUAL, 2},
    {"visual: release keeping a selection", "abc", {keys("c"), press_at(0), drag(1), drag(2), release(2)}, {"T:abc"}, VISUAL,
     2},
    {"visual: release with an empty selection", "", {keys("c"), press_at(0), drag(0), release(0)}, {"T:"}, NORMAL, 0},
    {"visual: press inside the cell", "abc", {keys("cv"), press_at(2)}, {"T:abc"}, NORMAL, 2},
    {"insert (cell): drag", "abc", {keys("i"), press_at(0), drag(1), drag(2)}, {"T:abc"}, VISUAL, 2},
    {"insert (normal): drag", "abc", {keys("ci"), press_at(0), drag(1), drag(2)}, {"T:abc"}, VISUAL, 2},
    {"normal: press outside the cell", "abc", {keys("c"), press_cell(3, 3)}, {"T:abc"}, CELL, -1, {3, 3}},
    {"insert (cell): press outside the cell", "abc", {keys("iX"), press_cell(3, 3)}, {"T:Xabc"}, CELL, -1, {3, 3}},
    {"visual: press outside the cell", "abc", {keys("cv"), press_cell(3, 3)}, {"T:abc"}, CELL, -1, {3, 3}},
    {"insert (cell): left empty by a press outside", nullptr, {keys("tt"), press_cell(3, 3)}, {}, CELL, -1, {3, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextStage stage;
    if (c.start)
      stage.kit.put_text(1, 1, c.start);
    stage.kit.go(1, 1);
    for (const TextStep& step : c.steps)
      step.run(stage);
    EXPECT_EQ(names_at(*stage.kit.ws, 1, 1), c.chain);
    EXPECT_EQ(stage.kit.mode_name(), c.mode);
    EXPECT_EQ(stage.kit.ctx->get_now_cell(), c.cell);
    if (c.cursor >= 0) {
      const auto text = std::dynamic_pointer_cast<ModelTextElement>(stage.kit.ws->elm_at({1, 1}));
      ASSERT_TRUE(text);
      EXPECT_EQ(text->get_cursor_index(), c.cursor);
    }
  }
}

TEST(TextModesOnTheCanvas, TypingIntoANewTextIsOneUndoStepWithItsInsertion)
{
  VELKARO_REQUIRE_GTK();
  TextStage stage;
  auto& kit = stage.kit;
  kit.put_text(3, 3, "other");
  kit.go(1, 1);
  const std::string before = document_of(*kit.ws);
  stage.keys("ttabc");
  ASSERT_EQ(kit.mode_name(), INSERT_CELL);
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:abc"});
  EXPECT_EQ(kit.undo_depth(), 1u);
  stage.keys("<Esc>");
  ASSERT_EQ(kit.mode_name(), CELL);
  const std::string after = document_of(*kit.ws);

  stage.keys("u");
  EXPECT_EQ(document_of(*kit.ws), before);
  EXPECT_EQ(kit.undo_depth(), 0u);
  kit.ctx->get_action_proc()->redo();
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:abc"});
  EXPECT_EQ(document_of(*kit.ws), after);
}

} // namespace
} // namespace velkaro::test
