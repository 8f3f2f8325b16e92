// Fragments and free text in an exported image (light palette, zoom 1): the
// label box with its cut corner, the frame drawn cell by cell from its
// flags, the dashed separator phased from the frame's left side; free text
// alone in its cell, and texts that belong to the element beside them.

#include <memory>

#include <gtest/gtest.h>

#include "seq/seq_draw_for_test.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/single_text_drawer.h"

namespace velkaro::test {
namespace {

constexpr double SEP_DOWN = 35.0 / 22.0;

// A fragment "loop i < n" over (1, 1) .. (5, 5) with a separator in row 3
// (its text "[else]" in column 4); a life line under a head at (3, 0)
// crossing the frame's top and bottom; a life line at column 0 that a
// message from column 3 in row 2 reaches across the frame's left side,
// its text "back" on the line cell of the left side; a free text at (7, 2).
struct Fragments : ::testing::Test {
  void SetUp() override
  {
    VELKARO_REQUIRE_GTK();
    auto& ws = *k.ws;
    test::named_life_line(ws, 0, 0, 6, "left");
    test::named_life_line(ws, 3, 0, 6, "middle");
    test::fragment(ws, 1, 1, 5, 5, "loop i < n");
    test::separator(ws, 1, 3, 5, "[else]", 4);
    test::message(ws, 3, 0, 2, SeqMsgTypeTypes::SYNCHRONOUS, {"", "back"});
    free_text = SeqTextElement::create_with_text(nullptr, "note");
    test::put(ws, free_text, 7, 2);
    k.finish();
    image = k.export_png(k.up_to(8, 7), dir, "fragment.png");
  }

  Rectangle cell(int32_t x, int32_t y) const { return k.cell(x, y); }

  test::SeqDrawKit k;
  test::TempDir dir;
  std::shared_ptr<SeqTextElement> free_text;
  Cairo::RefPtr<Cairo::ImageSurface> image;
};

TEST_F(Fragments, TheLabelBoxHasItsBottomRightCornerCut)
{
  const Rectangle r = cell(1, 1);
  EXPECT_TRUE(drawn(vline(image, r.x, r.get_ymid())));
  EXPECT_TRUE(drawn(hline(image, r.get_xmid(), r.y)));
  EXPECT_TRUE(drawn(vline(image, r.get_right(), r.get_bottom() - 12)));
  EXPECT_TRUE(drawn(hline(image, r.get_right() - 12, r.get_bottom())));
  // The cut: the sides stop 8.75 short of the corner, the diagonal joins
  // them, the corner itself stays empty.
  EXPECT_TRUE(blank(vline(image, r.get_right(), r.get_bottom() - 3)));
  EXPECT_TRUE(blank(hline(image, r.get_right() - 3, r.get_bottom())));
  EXPECT_GE(spot(image, r.get_right() - 4.375, r.get_bottom() - 4.375), 0.5);
  EXPECT_LE(spot(image, r.get_right() - 1.5, r.get_bottom() - 1.5), 0.1);
  // The operator's text is inside.
  Rectangle text = test::at<SeqFragment>(*k.ws, 1, 1)->get_text_elm()->get_rect();
  text.x += r.x;
  text.y += r.y;
  EXPECT_GT(test::inked(image, text), 0);
}

TEST_F(Fragments, TheFrameRunsAlongTheTopAndLeftEdgesAndTheMiddlesOfTheRightAndBottom)
{
  // Top side on the top edge of its row, through the life line's column.
  EXPECT_EQ(check_run(image, false, cell(2, 1).y, cell(2, 1).x, cell(4, 1).get_right(), Stretch{}), "");
  EXPECT_TRUE(blank(hline(image, cell(2, 1).get_xmid(), cell(2, 1).get_ymid())));
  // Top-right corner: along the top to the middle, then down.
  const Rectangle tr = cell(5, 1);
  EXPECT_TRUE(drawn(hline(image, tr.x + 3, tr.y)));
  EXPECT_TRUE(blank(hline(image, tr.get_xmid() + 3, tr.y)));
  EXPECT_EQ(check_run(image, true, tr.get_xmid(), tr.y + 0.5, tr.get_bottom(), Stretch{}), "");
  // Right side down the middle of its column; nothing on its left edge.
  for (int32_t y = 2; y <= 4; ++y) {
    EXPECT_TRUE(drawn(vline(image, cell(5, y).get_xmid(), cell(5, y).get_ymid() + 5))) << y;
    EXPECT_TRUE(blank(vline(image, cell(5, y).get_right(), cell(5, y).get_ymid() + 5))) << y;
  }
  // Bottom-right corner: down to the middle, then left.
  const Rectangle br = cell(5, 5);
  EXPECT_TRUE(drawn(vline(image, br.get_xmid(), br.y + 3)));
  EXPECT_TRUE(blank(vline(image, br.get_xmid(), br.get_bottom() - 3)));
  EXPECT_TRUE(drawn(hline(image, br.x + 3, br.get_ymid())));
  EXPECT_TRUE(blank(hline(image, br.get_xmid() + 3, br.get_ymid())));
  // Bottom side along the middle of its row.
  EXPECT_EQ(check_run(image, false, cell(2, 5).get_ymid(), cell(2, 5).x, cell(4, 5).get_right(), Stretch{}), "");
  EXPECT_TRUE(blank(hline(image, cell(2, 5).get_xmid(), cell(2, 5).get_bottom())));
  // Left side on the left edge of its column; its last cell turns right.
  for (int32_t y = 2; y <= 4; ++y)
    EXPECT_TRUE(drawn(vline(image, cell(1, y).x, cell(1, y).get_ymid() + 5))) << y;
  const Rectangle bl = cell(1, 5);
  EXPECT_TRUE(drawn(vline(image, bl.x, bl.y + 3)));
  EXPECT_TRUE(blank(vline(image, bl.x, bl.get_bottom() - 3)));
  EXPECT_EQ(check_run(image, false, bl.get_ymid(), bl.x + 0.5, bl.get_right(), Stretch{}), "");
}

TEST_F(Fragments, ASeparatorIsDashedFromTheLeftSideToTheMiddleOfTheRightColumn)
{
  const Rectangle r1 = cell(1, 3);
  const double y = r1.y + SEP_DOWN;
  const Stretch dashes = Stretch::dashes(r1.x, 2, 4);
  // Across the first cell edge, and on after the life line's column.
  EXPECT_EQ(check_run(image, false, y, r1.x + 1.5, cell(3, 3).get_xmid() - 2, dashes), "");
  EXPECT_EQ(check_run(image, false, y, cell(3, 3).get_xmid() + 2, cell(3, 3).get_right(), dashes), "");
  // It ends on the right side.
  const Rectangle r5 = cell(5, 3);
  EXPECT_EQ(check_run(image, false, y, r5.x, r5.get_xmid() - 0.5, dashes), "");
  EXPECT_EQ(check_run(image, false, y, r5.get_xmid() + 1.5, r5.get_right(), Stretch{Stretch::blank}), "");
  // Its text is drawn.
  Rectangle text = test::at<SeqTextElement>(*k.ws, 4, 3)->get_rect();
  text.x += cell(4, 3).x;
  text.y += cell(4, 3).y;
  EXPECT_GT(test::inked(image, text), 0);
}

TEST_F(Fragments, AMessageTextOnTheFrameIsDrawnOnceAboveItsLine)
{
  const auto text = test::at<SeqTextElement>(*k.ws, 1, 2);
  ASSERT_TRUE(text);
  const Rectangle r = cell(1, 2);
  Rectangle above = text->get_rect();
  above.x += r.x;
  above.y += r.y - 12.25;
  EXPECT_GT(test::inked(image, above), 0);
  // Where the text would stand without the shift: only the line.
  const double line_y = r.get_bottom() - 8.75;
  const double x0 = std::max(above.x, r.x + 2);
  EXPECT_EQ(test::inked(image, {x0, above.get_bottom() + 0.5, above.get_right() - x0, line_y - 1.5 - above.get_bottom() - 0.5}), 0);
  EXPECT_EQ(test::inked(image, {x0, line_y + 1.5, above.get_right() - x0, r.get_bottom() - 1 - line_y - 1.5}), 0);
}

TEST_F(Fragments, OnlyTextAloneInItsCellIsFreeText)
{
  const Rectangle all = k.up_to(8, 7);
  const auto dc = ViewDrawerContext::create_make_surface(all);
  dc->color_map = ViewColorMap::create_light();
  dc->cr->set_source_rgb(1, 1, 1);
  dc->cr->paint();
  SeqSingleTextDrawer drawer;
  drawer.draw_for(dc, k.ctx);
  Rectangle own = free_text->get_rect();
  own.x += cell(7, 2).x;
  own.y += cell(7, 2).y;
  EXPECT_GT(test::inked(dc->surface, own), 0);
  // Everything else it drew is nothing: the names, the operator, the
  // separator's and the message's texts belong to their elements.
  EXPECT_EQ(test::inked(dc->surface, {0, 0, all.width, all.height}), test::inked(dc->surface, own));
}

} // namespace
} // namespace velkaro::test
