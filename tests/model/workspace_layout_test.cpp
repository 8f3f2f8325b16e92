// Line sizes from the elements, and the boxes the elements are laid out in.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "model/element_cells.h"
#include "model/element_kinds_for_test.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "model/workspace.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

// An element of a given size that keeps the boxes it is laid out in.
class Sized : public test::TestElement {
public:
  static std::shared_ptr<Sized> create(double width, double height, int32_t dh = 0, int32_t dv = 0)
  {
    auto e = std::make_shared<Sized>();
    e->rect = {0, 0, width, height};
    e->dh = dh;
    e->dv = dv;
    return e;
  }
  void layout(const Rectangle& box) override { boxes.push_back(box); }
  Rectangle get_rect() override
  {
    ++asked;
    return rect;
  }

  std::vector<Rectangle> boxes;
  int asked = 0;
};

using test::put;

TEST(ModelWorkspaceLayout, ACellsLinesTakeTheWidestAndHighestNeedOfWhatCoversThem)
{
  const auto ws = ModelWorkspace::create();
  const auto a = Sized::create(50, 30);
  put(*ws, a, 2, 2);
  // Two columns wide: each of them needs half of (90 + 10).
  const auto wide = Sized::create(90, 5, 1, 0);
  put(*ws, wide, 1, 3);
  const auto tall = Sized::create(5, 100, 0, 3);
  put(*ws, tall, 4, 0);
  a->boxes.clear();
  wide->boxes.clear();
  tall->boxes.clear();

  ws->update_layout({2, 2});
  EXPECT_EQ(ws->grid->h->get_size(2), 60);
  // Row 2: a needs 40, tall 110 / 4.
  EXPECT_EQ(ws->grid->v->get_size(2), 40);
  // a covers both lines and is laid out twice; wide (column 2) and tall
  // (row 2) once each, all with the sizes just set.
  EXPECT_EQ(a->boxes, (std::vector<Rectangle>{{0, 0, 60, 40}, {0, 0, 60, 40}}));
  ASSERT_EQ(wide->boxes.size(), 1u);
  EXPECT_EQ(wide->boxes[0].width, ws->grid->h->get_size(1) + 60);
  ASSERT_EQ(tall->boxes.size(), 1u);

  // A smaller need shrinks the line again, down to the minimum size.
  a->rect = {0, 0, 1, 1};
  wide->rect = {0, 0, 1, 1};
  ws->update_layout({2, 2});
  EXPECT_EQ(ws->grid->h->get_size(2), ModelGridGridList::DEFAULT_MIN_SIZE);
  EXPECT_EQ(ws->grid->v->get_size(2), 110.0 / 4);

  ws->may_updated(tall);
  EXPECT_EQ(ws->grid->h->get_size(4), ModelGridGridList::DEFAULT_MIN_SIZE);
  EXPECT_EQ(ws->grid->v->get_size(0), 110.0 / 4);
}

// Fault: each text edit measured and laid out every element of its column
// and row, and each store walked its lines for their largest need, so
// building a long diagram took a time of its length squared.
TEST(ModelWorkspaceLayout, AnEditInALongColumnLooksOnlyAtWhatItChanges)
{
  const auto ws = ModelWorkspace::create();
  std::vector<std::shared_ptr<Sized>> column;
  for (int32_t y = 0; y < 400; ++y) {
    column.push_back(Sized::create(40, 20));
    put(*ws, column.back(), 3, y);
  }
  const auto others_untouched = [&](const Sized* edited, const std::string& what) {
    for (const auto& e : column) {
      if (e.get() == edited)
        continue;
      ASSERT_EQ(e->asked, 0) << what;
      ASSERT_TRUE(e->boxes.empty()) << what;
    }
  };
  // What was laid out last is measured when its column's need is next
  // asked for: done here, so that the counts below are the edit's own.
  const auto reset = [&] {
    (void)ws->get_cells()->line_need(CellDir::h, 3, false);
    for (const auto& e : column) {
      e->asked = 0;
      e->boxes.clear();
    }
  };
  const auto edited = column[200];
  reset();
  // A text edit that keeps its lines' sizes: its own element alone.
  edited->rect = {0, 0, 30, 15};
  ws->may_updated(edited);
  EXPECT_GE(edited->asked, 1);
  EXPECT_EQ(edited->boxes.size(), 2u);
  others_untouched(edited.get(), "an edit that keeps the sizes");
  // A store at the column's end: its row is new, the column keeps its size.
  reset();
  const auto last = Sized::create(40, 20);
  put(*ws, last, 3, 400);
  others_untouched(nullptr, "a store");
  EXPECT_FALSE(last->boxes.empty());
  // A wider element: the column grows and everything on it is laid out
  // again in its new width, once.
  reset();
  edited->rect = {0, 0, 90, 15};
  ws->may_updated(edited);
  EXPECT_EQ(ws->grid->h->get_size(3), 100);
  for (const auto& e : column) {
    if (e == edited)
      continue;
    ASSERT_EQ(e->boxes, (std::vector<Rectangle>{{0, 0, 100, ws->grid->v->get_size(e->pos.y)}}));
  }
  // Back to its width: the column shrinks to what the others need.
  edited->rect = {0, 0, 30, 15};
  ws->may_updated(edited);
  EXPECT_EQ(ws->grid->h->get_size(3), 50);
}

TEST(ModelWorkspaceLayout, TempModeLeavesTheGridAlone)
{
  const auto ws = ModelWorkspace::create();
  ws->is_tmp = true;
  const auto a = Sized::create(80, 80);
  put(*ws, a, 1, 1);
  ws->update_layout({1, 1});
  EXPECT_TRUE(ws->grid->h->get_entries().empty());
  EXPECT_TRUE(ws->grid->v->get_entries().empty());
  EXPECT_TRUE(a->boxes.empty());
}

TEST(ModelWorkspaceLayout, LayingOutEverythingSizesTheLinesWhereChainsAreAnchored)
{
  const auto ws = ModelWorkspace::create();
  const auto wide = Sized::create(190, 10, 1, 0);
  put(*ws, wide, 1, 1);
  const auto b = Sized::create(30, 50);
  put(*ws, b, 4, 6);
  const auto c = Sized::create(70, 10);
  put(*ws, c, 4, 6);
  ws->grid = ModelGrid::create();
  ws->grid->h->set_size(2, 33);
  wide->boxes.clear();
  b->boxes.clear();
  c->boxes.clear();

  ws->update_layout_all();
  EXPECT_EQ(ws->grid->h->get_size(1), 100);
  // Column 2 is only covered: it keeps its size.
  EXPECT_EQ(ws->grid->h->get_size(2), 33);
  EXPECT_EQ(ws->grid->h->get_size(4), 80);
  EXPECT_EQ(ws->grid->v->get_size(1), ModelGridGridList::DEFAULT_MIN_SIZE);
  EXPECT_EQ(ws->grid->v->get_size(6), 60);
  // Each element once, at its anchor cell.
  EXPECT_EQ(wide->boxes, (std::vector<Rectangle>{{0, 0, 133, 20}}));
  EXPECT_EQ(b->boxes, (std::vector<Rectangle>{{0, 0, 80, 60}}));
  EXPECT_EQ(c->boxes, (std::vector<Rectangle>{{0, 0, 80, 60}}));
}

TEST(ModelWorkspaceLayout, ATextReachingLeftIsAlignedWithinTheCellsItCovers)
{
  const auto ws = ModelWorkspace::create();
  for (ModelAlign align : {ModelAlign::LEFT, ModelAlign::CENTER, ModelAlign::RIGHT}) {
    SCOPED_TRACE(model_align_to_string(align));
    const auto t = ModelTextElement::create();
    t->set_text("x");
    t->align = align;
    t->valign = ModelAlign::TOP;
    t->dh = -2;
    t->dv = -1;
    put(*ws, t, 5, 3);
    for (int32_t x = 0; x <= 5; ++x)
      ws->grid->h->set_size(x, 100);
    ws->update_layout({5, 3});
    const Point offset = t->get_pango_layout_offset();
    const double width = t->get_rect().width;
    // Columns 3 to 5 and rows 2 to 3, measured from the anchor cell (5, 3)
    // (whose column the layout sized again from the text).
    const double left = -200;
    const double covered = 200 + ws->grid->h->get_size(5);
    const double top = -ws->grid->v->get_size(2);
    EXPECT_EQ(offset.get_y(), top);
    switch (align) {
    case ModelAlign::LEFT: EXPECT_EQ(offset.get_x(), left); break;
    case ModelAlign::CENTER: EXPECT_DOUBLE_EQ(offset.get_x(), left + covered / 2 - width / 2); break;
    default: EXPECT_DOUBLE_EQ(offset.get_x(), left + covered - width); break;
    }
    ws->remove(t);
  }
}

// A line removal lays out what it moved from the anchors they have now,
// also when the layout runs in the middle of it (signal_update() flushes
// for the observers before the operation is done).
TEST(ModelWorkspaceLayout, ElementsMovedByALineRemovalAreLaidOutWhereTheyNowStand)
{
  for (const CellDir dir : {CellDir::v, CellDir::h}) {
    SCOPED_TRACE(cell_dir_to_string(dir));
    const auto ws = ModelWorkspace::create();
    // A centred text three cells wide and two high with a large element
    // diagonally beside it, so that the lines around the text differ in
    // size; and on line 3, in the text's column (its row), an element that
    // sizes that line: when it goes, the text is laid out again.
    const auto t = ModelTextElement::create();
    t->set_text("moved");
    t->align = ModelAlign::CENTER;
    t->valign = ModelAlign::CENTER;
    t->dh = 2;
    t->dv = 1;
    put(*ws, t, 5, 8);
    put(*ws, Sized::create(300, 120), 8, 10);
    if (dir == CellDir::v)
      put(*ws, Sized::create(400, 20), 5, 3);
    else
      put(*ws, Sized::create(20, 400), 3, 8);
    ASSERT_TRUE(ws->remove_line(dir, 3));
    ASSERT_EQ(ws->anchor_of(t), (dir == CellDir::v ? CellPos{5, 7} : CellPos{4, 8}));
    EXPECT_EQ(t->pos, ws->anchor_of(t));
    const double x = t->get_pango_layout_offset().get_x();
    const double y = t->get_pango_layout_offset().get_y();
    t->layout_for(*ws, t->pos.x, t->pos.y);
    EXPECT_DOUBLE_EQ(t->get_pango_layout_offset().get_x(), x);
    EXPECT_DOUBLE_EQ(t->get_pango_layout_offset().get_y(), y);
  }
}

} // namespace
} // namespace velkaro
