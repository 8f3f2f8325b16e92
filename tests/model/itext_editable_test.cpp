#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pango/pangocairo.h>
#include <pangomm/context.h>
#include <pangomm/layout.h>

#include "common/point.h"
#include "common/text_range.h"
#include "model/itext_editable.h"

namespace velkaro {
namespace {

// Lays text out on PangoCairo's font map, which needs no display.
Glib::RefPtr<Pango::Layout> make_layout()
{
  auto context = Glib::wrap(pango_font_map_create_context(pango_cairo_font_map_get_default()));
  context->set_font_description(Pango::FontDescription("Sans 16px"));
  return Pango::Layout::create(context);
}

class TestHolder : public CtrlITextEditable {
public:
  explicit TestHolder(bool makes_layouts = true) : m_makes_layouts(makes_layouts) {}

  Glib::RefPtr<Pango::Layout> new_pango_layout() override
  {
    ++layouts_made;
    return m_makes_layouts ? make_layout() : Glib::RefPtr<Pango::Layout>();
  }
  CtrlDataForITextEditable& get_data_ite() override { return *data; }

  std::shared_ptr<CtrlDataForITextEditable> data = CtrlDataForITextEditable::create();
  int layouts_made = 0;

private:
  bool m_makes_layouts;
};

// "a", e-acute, euro sign, G clef, "x": characters of 1, 2, 3, 4 and 1 bytes
// starting at 0, 1, 3, 6 and 10; 11 bytes in all.
const std::string kMixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9Ex";

TEST(CtrlITextEditable, FreshRecordMakesItsPartsOnFirstUse)
{
  TestHolder t;
  EXPECT_EQ(t.get_cursor_index(), 0);
  EXPECT_FALSE(t.get_is_editing());
  EXPECT_FALSE(t.get_has_range());
  EXPECT_EQ(t.layouts_made, 0);
  EXPECT_EQ(t.get_data_ite().get_cursor_point_x(), 0);
  const cairo_rectangle_int_t loc = t.get_cursor_location();
  EXPECT_EQ(std::vector<int>({loc.x, loc.y, loc.width, loc.height}), std::vector<int>({0, 0, 0, 0}));

  const auto range = t.get_text_range();
  EXPECT_EQ(range->start, 0);
  EXPECT_EQ(range->end, 0);
  EXPECT_EQ(t.get_text_range(), range);
  EXPECT_FALSE(t.get_has_range());
  range->set_range(1, 3);
  EXPECT_TRUE(t.get_has_range());

  EXPECT_EQ(t.get_pango_layout_offset(), Point(0, 0));

  EXPECT_EQ(t.get_text(), "");
  const auto layout = t.get_pango_layout();
  EXPECT_EQ(t.get_pango_layout(), layout);
  EXPECT_EQ(t.layouts_made, 1);
}

TEST(CtrlITextEditable, SettersKeepTheGivenObjects)
{
  TestHolder t;
  auto other = make_layout();
  t.set_pango_layout(other);
  t.set_text("abc");
  EXPECT_EQ(other->get_text(), "abc");
  EXPECT_EQ(t.layouts_made, 0);
  t.set_pango_layout({});
  EXPECT_EQ(t.get_text(), "");
  EXPECT_EQ(t.layouts_made, 1);

  // The offset is a value: the record keeps its own copy.
  Point p(5, 6);
  t.set_pango_layout_offset(p);
  p.set_x(9);
  EXPECT_EQ(t.get_pango_layout_offset(), Point(5, 6));
  EXPECT_DOUBLE_EQ(t.get_pango_layout_rect().x, 5);
  t.set_pango_layout_offset(p);
  EXPECT_DOUBLE_EQ(t.get_pango_layout_rect().x, 9);
  t.set_pango_layout_offset({});
  EXPECT_EQ(t.get_pango_layout_offset(), Point(0, 0));

  auto r = TextRange::create(1, 2);
  t.set_text_range(r);
  EXPECT_EQ(t.get_text_range(), r);
  t.set_text_range(nullptr);
  EXPECT_FALSE(t.get_has_range());
  EXPECT_NE(t.get_text_range(), r);
  EXPECT_EQ(t.get_text_range()->get_size(), 0);

  t.set_is_editing(true);
  EXPECT_TRUE(t.get_is_editing());
}

TEST(CtrlITextEditable, SetTextPullsTheCursorBack)
{
  struct Case {
    const char* name;
    std::string before;
    int32_t cursor;
    std::string text;
    int32_t expected;
  };
  const std::vector<Case> cases = {
    {"empty text", "abcdef", 4, "", 0},
    {"shorter text", "abcdef", 5, "ab", 2},
    {"longer text", "ab", 2, "abcdef", 2},
    {"cursor at the new end", "abc", 3, "a\xC3\xA9", 3},
    {"cursor inside a character of the new text", "abc", 1, "\xC3\xA9x", 0},
    {"cursor inside a character at the new end", "abcdef", 5, "\xE2\x82\xAC\xF0\x9D\x84\x9E", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestHolder t;
    t.set_text(c.before);
    t.set_cursor_index(c.cursor);
    ASSERT_EQ(t.get_cursor_index(), c.cursor);
    t.set_text(c.text);
    EXPECT_EQ(t.get_text(), c.text);
    EXPECT_EQ(t.get_cursor_index(), c.expected);
  }

  // The text range is left as it was.
  TestHolder t;
  t.set_text("hello");
  t.get_text_range()->set_range(1, 4);
  t.set_text("h");
  EXPECT_EQ(t.get_text_range()->end, 4);
}

TEST(CtrlITextEditable, TextStopsAtTheFirstNul)
{
  TestHolder t;
  t.set_text(std::string("ab\0cd", 5));
  EXPECT_EQ(t.get_text(), "ab");
  t.set_cursor_index(4);
  EXPECT_EQ(t.get_cursor_index(), 2);
}

TEST(CtrlITextEditable, SteppingOverMultiByteCharacters)
{
  struct Case {
    std::string text;
    int32_t index;
    bool forward;
    int32_t expected;
  };
  const std::string ae = "a\xC3\xA9";
  const std::vector<Case> cases = {
    {ae, 0, true, 1},
    {ae, 1, true, 3},
    {ae, 3, true, 3},
    {ae, 3, false, 1},
    {ae, 1, false, 0},
    {ae, 0, false, -1},
    {ae, 2, false, 1}, // from inside e-acute back to its lead byte
    {kMixed, 1, true, 3},
    {kMixed, 3, true, 6},
    {kMixed, 6, true, 10},
    {kMixed, 10, true, 11},
    {kMixed, 11, true, 11},
    {kMixed, 11, false, 10},
    {kMixed, 10, false, 6},
    {kMixed, 6, false, 3},
    {kMixed, 3, false, 1},
    {kMixed, 9, false, 6},
    // Indexes outside the text never read outside it.
    {kMixed, 500, true, 11},
    {kMixed, 500, false, 10},
    {kMixed, -7, false, -1},
    {kMixed, -7, true, 1},
    {"", 0, true, 0},
    {"", 5, true, 0},
    {"", 5, false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " at " + std::to_string(c.index) + (c.forward ? " forward" : " back"));
    TestHolder t;
    t.set_text(c.text);
    EXPECT_EQ(t.get_next_or_prev_char(c.index, c.forward), c.expected);
  }
}

TEST(CtrlITextEditable, NextAndPrevCharWorkAtTheCursorWithoutMovingIt)
{
  TestHolder t;
  t.set_text(kMixed);
  t.set_cursor_index(6);
  EXPECT_EQ(t.get_next_char(), 10);
  EXPECT_EQ(t.get_prev_char(), 3);
  EXPECT_EQ(t.get_cursor_index(), 6);

  // Walking the whole text character by character, both ways.
  std::vector<int32_t> forward{0};
  t.set_cursor_index(0);
  while (t.get_next_char() != t.get_cursor_index()) {
    t.set_cursor_index(t.get_next_char());
    forward.push_back(t.get_cursor_index());
  }
  EXPECT_EQ(forward, (std::vector<int32_t>{0, 1, 3, 6, 10, 11}));
  std::vector<int32_t> back{11};
  while (t.get_prev_char() >= 0) {
    t.set_cursor_index(t.get_prev_char());
    back.push_back(t.get_cursor_index());
  }
  EXPECT_EQ(back, (std::vector<int32_t>{11, 10, 6, 3, 1, 0}));
}

// A cursor set past the end or into the middle of a character would make the
// next step read outside the text or split a character.
TEST(CtrlITextEditable, SetCursorIndexClampsAndAlignsToACharacter)
{
  struct Case {
    int32_t requested;
    int32_t stored;
    int32_t next;
  };
  const std::vector<Case> cases = {
    {-3, 0, 1}, {0, 0, 1}, {2, 1, 3}, {4, 3, 6}, {5, 3, 6}, {9, 6, 10}, {10, 10, 11}, {11, 11, 11}, {12, 11, 11},
    {1000000, 11, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requested);
    TestHolder t;
    t.set_text(kMixed);
    t.set_cursor_index(c.requested);
    EXPECT_EQ(t.get_cursor_index(), c.stored);
    EXPECT_EQ(t.get_next_char(), c.next);
  }

  // A shorter layout put in place under the cursor is still read inside its text.
  TestHolder t;
  t.set_text("abcdef");
  t.set_cursor_index(6);
  auto shorter = make_layout();
  shorter->set_text("ab");
  t.set_pango_layout(shorter);
  EXPECT_EQ(t.get_next_char(), 2);
  EXPECT_EQ(t.get_prev_char(), 1);
}

TEST(CtrlITextEditable, SelectedTextIsClampedToTheText)
{
  struct Case {
    int32_t start, end;
    std::optional<std::string> expected;
  };
  const std::vector<Case> cases = {
    {1, 10, "ello"}, {7, 9, ""}, {0, 5, "hello"}, {2, 2, ""}, {-3, 2, "he"}, {4, 2, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + ".." + std::to_string(c.end));
    TestHolder t;
    t.set_text("hello");
    // Straight into the fields: TextRange's own setter would order them.
    auto range = t.get_text_range();
    range->start = c.start;
    range->end = c.end;
    EXPECT_EQ(t.get_selected_text(), c.expected);
  }
}

TEST(CtrlITextEditable, CursorLocationIsScaledAndTruncatedTowardZero)
{
  TestHolder t;
  cairo_rectangle_int_t rect{10, 20, 3, 15};
  t.set_cursor_location(rect, 0.5);
  EXPECT_EQ(std::vector<int>({rect.x, rect.y, rect.width, rect.height}), std::vector<int>({5, 10, 1, 7}));
  cairo_rectangle_int_t stored = t.get_cursor_location();
  EXPECT_EQ(std::vector<int>({stored.x, stored.y, stored.width, stored.height}), std::vector<int>({5, 10, 1, 7}));

  cairo_rectangle_int_t negative{-3, -1, 7, 0};
  t.set_cursor_location(negative, 1.5);
  stored = t.get_cursor_location();
  EXPECT_EQ(std::vector<int>({stored.x, stored.y, stored.width, stored.height}), std::vector<int>({-4, -1, 10, 0}));
}

Rectangle ink_based(const Glib::RefPtr<Pango::Layout>& layout, double x, double y)
{
  const Pango::Rectangle ink = layout->get_pixel_ink_extents();
  return {x, y, static_cast<double>(ink.get_x() + ink.get_width()),
          static_cast<double>(ink.get_y() + ink.get_height())};
}

TEST(CtrlITextEditable, LayoutRectangleReachesTheInkEdgesFromTheOffset)
{
  TestHolder t;
  t.set_text("Hello, world");
  const Rectangle plain = t.get_pango_layout_rect();
  EXPECT_EQ(plain, ink_based(t.get_pango_layout(), 0, 0));
  EXPECT_GT(plain.width, 0);
  EXPECT_GT(plain.height, 0);

  t.set_pango_layout_offset(Point(5, 6));
  EXPECT_EQ(t.get_pango_layout_rect(), ink_based(t.get_pango_layout(), 5, 6));

  // A full stop's ink ends above the bottom of its line's logical box.
  t.set_text(".");
  const Rectangle dot = t.get_pango_layout_rect();
  EXPECT_EQ(dot, ink_based(t.get_pango_layout(), 5, 6));
  Pango::Rectangle ink, logical;
  t.get_pango_layout()->get_pixel_extents(ink, logical);
  EXPECT_LT(dot.height, logical.get_y() + logical.get_height());

  t.set_text("");
  const Rectangle empty = t.get_pango_layout_rect();
  EXPECT_EQ(empty, ink_based(t.get_pango_layout(), 5, 6));
  EXPECT_EQ(empty.width, 0);
}

TEST(CtrlITextEditable, HolderWithoutALayoutHasAnEmptyText)
{
  TestHolder t(false);
  t.set_text("abc");
  EXPECT_EQ(t.get_text(), "");
  t.set_cursor_index(2);
  EXPECT_EQ(t.get_cursor_index(), 0);
  EXPECT_EQ(t.get_next_char(), 0);
  EXPECT_EQ(t.get_prev_char(), -1);
  EXPECT_EQ(t.get_selected_text(), "");
  EXPECT_EQ(t.get_pango_layout_rect(), (Rectangle{0, 0, 0, 0}));
}

TEST(CtrlDataForITextEditable, CopyIsIndependentOfItsSource)
{
  TestHolder source;
  source.set_text("hello");
  source.set_cursor_index(3);
  source.set_is_editing(true);
  source.get_text_range()->set_range(2, 4);
  source.get_pango_layout()->set_font_description(Pango::FontDescription("Serif 30px"));
  source.set_pango_layout_offset(Point(7, 8));
  source.get_data_ite().set_cursor_point_x(42);
  cairo_rectangle_int_t loc{1, 2, 3, 4};
  source.set_cursor_location(loc, 1.0);

  TestHolder copy;
  copy.data = source.get_data_ite().copy();
  EXPECT_EQ(copy.get_text(), "hello");
  EXPECT_EQ(copy.get_cursor_index(), 3);
  EXPECT_TRUE(copy.get_is_editing());
  EXPECT_EQ(copy.get_text_range()->start, 2);
  EXPECT_EQ(copy.get_text_range()->end, 4);
  EXPECT_DOUBLE_EQ(copy.get_pango_layout_offset().get_x(), 7);
  EXPECT_DOUBLE_EQ(copy.get_pango_layout_offset().get_y(), 8);
  EXPECT_EQ(copy.get_data_ite().get_cursor_point_x(), 0);
  EXPECT_EQ(copy.get_cursor_location().width, 0);
  EXPECT_EQ(copy.layouts_made, 0);

  copy.set_text("bye");
  copy.get_text_range()->set_range(0, 1);
  copy.set_pango_layout_offset(Point(0, 8));
  EXPECT_EQ(source.get_text(), "hello");
  EXPECT_EQ(source.get_text_range()->start, 2);
  EXPECT_EQ(source.get_text_range()->end, 4);
  EXPECT_DOUBLE_EQ(source.get_pango_layout_offset().get_x(), 7);
  EXPECT_EQ(copy.get_pango_layout()->get_font_description().to_string(), "Serif 30px");

  // What the source never made, the copy does not have either.
  TestHolder bare;
  TestHolder bare_copy;
  bare_copy.data = bare.get_data_ite().copy();
  EXPECT_FALSE(bare_copy.get_has_range());
  EXPECT_EQ(bare_copy.get_text(), "");
  EXPECT_EQ(bare_copy.layouts_made, 1);
}

} // namespace
} // namespace velkaro
