// The text drawer on an off-screen image: the cursor's shape and colour by
// the role of the current mode, the cursor rectangle reported for the
// input method, which holders show a cursor, the selection on a copy of the
// layout, the clip region, and the text of an element drawn by the walk.

#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <pango/pango.h>
#include <pangomm/layout.h>

#include "common/text_range.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/mode_text_kit.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"
#include "view/text_drawer.h"
#include "view/ws_drawer.h"

namespace velkaro {
namespace {

using test::Pixel;

constexpr int WIDTH = 200;
constexpr int HEIGHT = 60;
constexpr double OFFSET_X = 20.2;
constexpr double OFFSET_Y = 10.7;

// The pixels in which two images differ: their bounding box and count.
struct Diff {
  int x0 = WIDTH, y0 = HEIGHT, x1 = -1, y1 = -1;
  int count = 0;
  int width() const { return x1 - x0 + 1; }
  int height() const { return y1 - y0 + 1; }
};

Diff diff(const Cairo::RefPtr<Cairo::ImageSurface>& a, const Cairo::RefPtr<Cairo::ImageSurface>& b)
{
  Diff d;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x)
      if (test::pixel_at(a, x, y) != test::pixel_at(b, x, y)) {
        d.x0 = std::min(d.x0, x);
        d.y0 = std::min(d.y0, y);
        d.x1 = std::max(d.x1, x);
        d.y1 = std::max(d.y1, y);
        ++d.count;
      }
  return d;
}

// How many pixel centres lie in [start, start + size).
int pixels_in(double start, double size) { return int(std::ceil(start + size - 0.5) - std::ceil(start - 0.5)); }

struct TextDrawKit {
  explicit TextDrawKit(const std::string& s = "ab") : text(kit.put_text(0, 0, s)) { kit.go(0, 0); }

  // Draws the holders on black, without antialiasing, offset by
  // (OFFSET_X, OFFSET_Y), bound to the controller when with_ctrl, on a
  // context that shows the editor's marks or not.
  Cairo::RefPtr<Cairo::ImageSurface> render(std::initializer_list<std::shared_ptr<CtrlITextEditable>> ites,
                                            bool with_ctrl = true, bool shows_editor = true)
  {
    const auto dc = ViewDrawerContext::create_make_surface({0, 0, WIDTH, HEIGHT});
    dc->color_map = ViewColorMap::create_dark();
    dc->shows_editor = shows_editor;
    dc->set_antialias_off(true);
    dc->cr->set_source_rgb(0, 0, 0);
    dc->cr->paint();
    ViewTextDrawer drawer;
    drawer.offset.set_x(OFFSET_X);
    drawer.offset.set_y(OFFSET_Y);
    for (const auto& ite : ites)
      drawer.add_ite(ite);
    drawer.draw_for(dc, with_ctrl ? kit.ctx : nullptr);
    now_ite = drawer.get_now_ite();
    return dc->surface;
  }
  // The text as drawn without any cursor.
  Cairo::RefPtr<Cairo::ImageSurface> plain()
  {
    const bool editing = text->get_is_editing();
    text->set_is_editing(false);
    auto image = render({text}, false);
    text->set_is_editing(editing);
    return image;
  }
  // The cursor rectangle the drawer computes for the cursor at index,
  // before the shape's own width and height.
  Rectangle cursor_at(int32_t index)
  {
    const Rectangle rect = text->get_pango_layout_rect();
    const Pango::Rectangle pos = text->get_pango_layout()->index_to_pos(index);
    return {rect.x + OFFSET_X + 0.5 + pos.get_x() / double(PANGO_SCALE),
            rect.y + OFFSET_Y - 0.5 + pos.get_y() / double(PANGO_SCALE), pos.get_width() / double(PANGO_SCALE),
            pos.get_height() / double(PANGO_SCALE)};
  }
  void enter(const std::string& keys, const std::string& mode)
  {
    test::press_keys(*kit.ctx, keys);
    ASSERT_EQ(kit.mode_name(), mode);
  }

  test::TextKit kit;
  std::shared_ptr<ModelTextElement> text;
  std::shared_ptr<CtrlITextEditable> now_ite;
};

TEST(TextDrawerTest, TheCursorsShapeFollowsTheRoleOfTheTextMode)
{
  struct Case {
    const char* keys;
    const char* mode;
    int32_t index;
    // Expected width (0: the character's) and whether it is the underline.
    double width;
    bool underline;
  };
  const Case cases[] = {
    {"i", "INSERT MODE (CELL)", 1, 2, false},  {"i", "INSERT MODE (CELL)", 2, 2, false},
    {"c", "NORMAL MODE (TEXT)", 0, 0, false},  {"c", "NORMAL MODE (TEXT)", 2, 6, false},
    {"cv", "VISUAL MODE (TEXT)", 0, 0, true},  {"cv", "VISUAL MODE (TEXT)", 2, 10, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " at " + std::to_string(c.index));
    TextDrawKit k;
    k.enter(c.keys, c.mode);
    k.text->set_cursor_index(c.index);
    const Rectangle at = k.cursor_at(c.index);
    const double width = c.width != 0 ? c.width : at.width;
    const double top = c.underline ? at.y + at.height - 3 : at.y;
    const double height = c.underline ? 3 : at.height;
    const Diff d = diff(k.render({k.text}), k.plain());
    EXPECT_EQ(d.width(), pixels_in(at.x, width));
    EXPECT_EQ(d.height(), pixels_in(top, height));
    EXPECT_EQ(d.x0, int(std::ceil(at.x - 0.5)));
    EXPECT_EQ(d.y0, int(std::ceil(top - 0.5)));
    EXPECT_EQ(d.count, d.width() * d.height());
    EXPECT_EQ(k.now_ite, k.text);
  }
}

TEST(TextDrawerTest, TheNormalCursorInvertsAndTheOthersAreWhite)
{
  TextDrawKit k;
  k.enter("c", "NORMAL MODE (TEXT)");
  k.text->set_cursor_index(2);
  const Rectangle at = k.cursor_at(2);
  // At the end of the text the block lies over black: inverted, white.
  EXPECT_EQ(test::pixel_at(k.render({k.text}), int(at.x) + 2, int(at.get_ymid())), test::rgb(255, 255, 255));
  // On a character it inverts the glyph: what was lit turns dark.
  k.text->set_cursor_index(0);
  const Rectangle on = k.cursor_at(0);
  const auto plain = k.plain();
  const auto image = k.render({k.text});
  int inverted = 0;
  for (int y = int(on.y) + 1; y < int(on.get_bottom()); ++y)
    for (int x = int(on.x) + 1; x < int(on.get_right()); ++x) {
      const Pixel before = test::pixel_at(plain, x, y);
      const Pixel after = test::pixel_at(image, x, y);
      EXPECT_EQ(after, test::rgb(255 - before.r, 255 - before.g, 255 - before.b)) << x << ", " << y;
      inverted += before != test::rgb(0, 0, 0) ? 1 : 0;
    }
  EXPECT_GT(inverted, 0);
}

TEST(TextDrawerTest, OutsideTheTextModesTheCursorIsAnInactiveBar)
{
  TextDrawKit k;
  ASSERT_EQ(k.kit.mode_name(), "KIND CELL MODE");
  k.text->set_cursor_index(1);
  const Rectangle at = k.cursor_at(1);
  const auto image = k.render({k.text});
  const auto plain = k.plain();
  const Diff d = diff(image, plain);
  EXPECT_EQ(d.width(), 2);
  EXPECT_EQ(d.height(), pixels_in(at.y, at.height));
  // Where the bar lies over black, it shows its colour at its alpha.
  const GdkRGBA inactive = ViewColorMap::create_dark()->get(ViewColor::inactive_text_cursor);
  int over_black = 0;
  for (int y = d.y0; y <= d.y1; ++y) {
    if (test::pixel_at(plain, d.x0, y) != test::rgb(0, 0, 0))
      continue;
    ++over_black;
    EXPECT_TRUE(test::near(test::pixel_at(image, d.x0, y), test::blend(inactive, test::rgb(0, 0, 0))))
      << test::pixel_at(image, d.x0, y);
  }
  EXPECT_GT(over_black, 0);
}

TEST(TextDrawerTest, TheCursorRectangleIsReportedTruncatedThenZoomed)
{
  TextDrawKit k;
  k.enter("i", "INSERT MODE (CELL)");
  k.kit.canvas->zoom = 2.0;
  k.text->set_cursor_index(1);
  const Rectangle at = k.cursor_at(1);
  k.render({k.text});
  const cairo_rectangle_int_t location = k.text->get_cursor_location();
  EXPECT_EQ(location.x, int(at.x) * 2);
  EXPECT_EQ(location.y, int(at.y) * 2);
  EXPECT_EQ(location.width, 4);
  EXPECT_EQ(location.height, int(at.height) * 2);
}

TEST(TextDrawerTest, OnlyTheTextUnderTheCursorShowsACursorWithAController)
{
  TextDrawKit k;
  const auto other = k.kit.put_text(3, 0, "cd");
  k.enter("i", "INSERT MODE (CELL)");
  other->set_is_editing(true);
  other->set_cursor_index(1);
  const cairo_rectangle_int_t before = other->get_cursor_location();
  // other drawn alone, where the text under the cursor would be.
  const auto with = k.render({other});
  other->set_is_editing(false);
  const auto without = k.render({other}, false);
  EXPECT_EQ(diff(with, without).count, 0);
  const cairo_rectangle_int_t after = other->get_cursor_location();
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(k.now_ite, std::shared_ptr<CtrlITextEditable>(other));
}

TEST(TextDrawerTest, WithoutAControllerTheEditingFlagDecides)
{
  TextDrawKit k;
  k.text->set_cursor_index(1);
  k.text->set_is_editing(false);
  EXPECT_EQ(diff(k.render({k.text}, false), k.plain()).count, 0);
  k.text->set_is_editing(true);
  EXPECT_EQ(diff(k.render({k.text}, false), k.plain()).width(), 2);
}

TEST(TextDrawerTest, BareLayoutsShowACursorOnlyForAnIndexOfZeroOrMore)
{
  TextDrawKit k;
  const auto layout = k.text->get_pango_layout()->copy();
  const auto draw = [&](int32_t index) {
    const auto dc = ViewDrawerContext::create_make_surface({0, 0, WIDTH, HEIGHT});
    dc->color_map = ViewColorMap::create_dark();
    dc->set_antialias_off(true);
    ViewTextDrawer drawer(dc);
    EXPECT_TRUE(drawer.add_layout(layout, index, nullptr));
    drawer.draw();
    return dc->surface;
  };
  EXPECT_EQ(diff(draw(1), draw(-1)).width(), 2);
  EXPECT_EQ(diff(draw(-5), draw(-1)).count, 0);
}

TEST(TextDrawerTest, AHolderIsAddedOnceAndALayoutEveryTime)
{
  TextDrawKit k;
  ViewTextDrawer drawer;
  EXPECT_TRUE(drawer.add_ite(k.text));
  EXPECT_FALSE(drawer.add_ite(k.text));
  const auto layout = k.text->get_pango_layout();
  EXPECT_TRUE(drawer.add_layout(layout, -1, nullptr));
  EXPECT_TRUE(drawer.add_layout(layout, -1, nullptr));
}

TEST(TextDrawerTest, TheSelectionIsMarkedOnACopyOfTheLayout)
{
  TextDrawKit k("abc");
  k.text->set_text_range(TextRange::create(0, 1));
  PangoAttrList* own_before = pango_layout_get_attributes(k.text->get_pango_layout()->gobj());
  const auto image = k.render({k.text}, false);
  EXPECT_EQ(pango_layout_get_attributes(k.text->get_pango_layout()->gobj()), own_before);
  // The first character stands on the selection's colour, the last not.
  const Rectangle first = k.cursor_at(0);
  const Rectangle last = k.cursor_at(2);
  const auto marked = [&](const Rectangle& box) {
    int count = 0;
    for (int y = int(box.y) + 1; y < int(box.get_bottom()); ++y)
      for (int x = int(box.x) + 1; x < int(box.get_right()); ++x)
        count += test::pixel_at(image, x, y) == test::rgb(136, 136, 0) ? 1 : 0;
    return count;
  };
  EXPECT_GT(marked(first), 0);
  EXPECT_EQ(marked(last), 0);
}

// An export draws text as it reads: no caret of any role, no selection.
TEST(TextDrawerTest, AContextThatShowsNoEditorMarksDrawsNeitherCursorNorSelection)
{
  TextDrawKit k("abc");
  const auto plain = k.plain();
  k.text->set_cursor_index(1);
  // The inactive bar outside the text modes.
  EXPECT_GT(diff(k.render({k.text}), plain).count, 0);
  EXPECT_EQ(diff(k.render({k.text}, true, false), plain).count, 0);
  // The bar of an insert mode, and the cursor location is not reported.
  k.enter("i", "INSERT MODE (CELL)");
  EXPECT_GT(diff(k.render({k.text}), plain).count, 0);
  const cairo_rectangle_int_t reported = k.text->get_cursor_location();
  k.kit.canvas->zoom = 3.0;
  EXPECT_EQ(diff(k.render({k.text}, true, false), plain).count, 0);
  EXPECT_EQ(k.text->get_cursor_location().width, reported.width);
  k.kit.canvas->zoom = 1.0;
  // An editing holder without a controller, and a selected range.
  k.text->set_is_editing(true);
  EXPECT_EQ(diff(k.render({k.text}, false, false), plain).count, 0);
  k.text->set_text_range(TextRange::create(0, 2));
  EXPECT_GT(diff(k.render({k.text}, false), plain).count, 0);
  EXPECT_EQ(diff(k.render({k.text}, false, false), plain).count, 0);
}

TEST(TextDrawerTest, AHolderOutsideTheClipRegionIsNeitherDrawnNorReported)
{
  TextDrawKit k;
  k.enter("i", "INSERT MODE (CELL)");
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, WIDTH, HEIGHT});
  dc->color_map = ViewColorMap::create_dark();
  ViewTextDrawer drawer;
  drawer.offset.set_x(WIDTH + 50);
  drawer.add_ite(k.text);
  drawer.draw_for(dc, k.kit.ctx);
  EXPECT_EQ(drawer.get_now_ite(), nullptr);
  EXPECT_EQ(test::count_unlike(dc->surface, 0, 0, WIDTH, HEIGHT, Pixel{0, 0, 0, 0}), 0);
}

// Draws the text of every element the walk visits.
class TextOfElements : public ViewWsDrawer {
public:
  void draw() override
  {
    each_target(nullptr, get_clip_region(), [this] { draw_text_elm(Point(0, 0)); });
  }
};

TEST(TextDrawerTest, TheWalkDrawsTheTextOfAnElementInItsCell)
{
  test::TextKit kit;
  kit.put_text(1, 0, "Hi");
  ASSERT_TRUE(test::place(*kit.ws, test::KindMark::create("m"), 4, 0));
  kit.ws->clear_in_process();
  const Rectangle area = kit.ws->grid->get_range_rect(CellRange{{0, 0}, {5, 1}});
  const auto dc = ViewDrawerContext::create_make_surface(area);
  dc->color_map = ViewColorMap::create_dark();
  TextOfElements drawer;
  drawer.draw_for(dc, kit.ctx);
  const Rectangle text_cell = kit.ws->grid->get_rect(1, 0);
  const Rectangle mark_cell = kit.ws->grid->get_rect(4, 0);
  const Pixel clear{0, 0, 0, 0};
  EXPECT_GT(test::count_unlike(dc->surface, int(text_cell.x), int(text_cell.y), int(text_cell.width),
                               int(text_cell.height), clear),
            0);
  EXPECT_EQ(test::count_unlike(dc->surface, int(mark_cell.x), int(mark_cell.y), int(mark_cell.width),
                               int(mark_cell.height), clear),
            0);
  EXPECT_EQ(test::count_unlike(dc->surface, 0, 0, int(text_cell.x), int(area.height), clear), 0);
}

} // namespace
} // namespace velkaro
