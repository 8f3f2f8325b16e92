#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/route/related_segments.h"
#include "cls/route/route_kit_for_test.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "model/grid.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

using SlSeg = std::shared_ptr<ClsSegment>;

SlSeg sl_seg(CellPos a, CellPos b)
{
  return ClsSegment::create(a, b, nullptr, nullptr);
}

TEST(ClsSegmentLayouter, CrossingARangeClearsTheFlagsOfTheSegmentsItTouches)
{
  struct Case {
    const char* name;
    CellPos start, end;
    CellPos at;
    bool cleared;
  };
  const Case cases[] = {
      {"vertical, same column far below", {3, 2}, {3, 8}, {3, 20}, true},
      {"vertical, row of its start", {3, 2}, {3, 8}, {7, 2}, true},
      {"vertical, row of its end", {3, 2}, {3, 8}, {0, 8}, true},
      {"vertical, a row between its ends", {3, 2}, {3, 8}, {7, 5}, false},
      {"horizontal, same row", {1, 4}, {6, 4}, {9, 4}, true},
      {"horizontal, column of its start", {1, 4}, {6, 4}, {1, 0}, true},
      {"horizontal, elsewhere", {1, 4}, {6, 4}, {3, 9}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto layouter = ClsSegmentLayouter::create(ModelGrid::create());
    const auto s = sl_seg(c.start, c.end);
    s->is_laid_out = true;
    layouter->add(s);
    layouter->set_seg_laid_out_on_cross_line(c.at, false);
    EXPECT_EQ(s->is_laid_out, !c.cleared);
  }
  // A range: its rows cross the vertical segment's end, its columns the
  // horizontal one's line.
  const auto layouter = ClsSegmentLayouter::create(ModelGrid::create());
  const auto v = sl_seg({3, 2}, {3, 8});
  const auto h = sl_seg({10, 4}, {16, 4});
  const auto far = sl_seg({20, 20}, {20, 30});
  for (const auto& s : {v, h, far}) {
    s->is_laid_out = true;
    layouter->add(s);
  }
  layouter->set_seg_laid_out_on_cross_area(CellRange{{5, 7}, {6, 9}}, false);
  EXPECT_FALSE(v->is_laid_out);
  EXPECT_TRUE(h->is_laid_out);
  EXPECT_TRUE(far->is_laid_out);
  layouter->set_seg_laid_out_on_cross_area(CellRange{{0, 3}, {1, 5}}, false);
  EXPECT_FALSE(h->is_laid_out);
  EXPECT_TRUE(far->is_laid_out);
}

// Three groups: two segments sharing column 3, one alone in column 3 far
// below, two sharing row 12.
struct SlDiagram {
  std::shared_ptr<ClsSegmentLayouter> layouter;
  std::vector<SlSeg> segs;
};

SlDiagram sl_diagram()
{
  SlDiagram d;
  d.layouter = ClsSegmentLayouter::create(ModelGrid::create(30));
  d.segs = {sl_seg({3, 1}, {3, 5}),   sl_seg({3, 4}, {3, 8}),   sl_seg({3, 20}, {3, 24}),
            sl_seg({1, 12}, {6, 12}), sl_seg({4, 12}, {9, 12}), sl_seg({12, 1}, {12, 1})};
  d.layouter->add_all(d.segs);
  return d;
}

std::vector<double> sl_positions(const SlDiagram& d)
{
  std::vector<double> pos;
  for (const auto& s : d.segs)
    pos.push_back(s->get_pos());
  return pos;
}

TEST(ClsSegmentLayouter, LayingOutTwiceChangesNothing)
{
  const SlDiagram d = sl_diagram();
  d.layouter->layout_not_laid_out_segs();
  for (const auto& s : d.segs)
    EXPECT_TRUE(s->is_laid_out);
  const std::vector<double> first = sl_positions(d);
  // Two members of a line of 30 pixels: 10 and 20, each side.
  EXPECT_EQ(first[0] + first[1], 30.0);
  EXPECT_EQ(first[2], 15.0);
  int moves = 0;
  for (const auto& s : d.segs)
    s->signal_notify().connect([&moves](const char*) { ++moves; });
  d.layouter->layout_not_laid_out_segs();
  EXPECT_EQ(moves, 0);
  EXPECT_EQ(sl_positions(d), first);
}

TEST(ClsSegmentLayouter, OnlyGroupsWithAStaleMemberAreLaidOutAgain)
{
  const SlDiagram d = sl_diagram();
  d.layouter->layout_not_laid_out_segs();
  std::map<const ClsSegment*, int> moved;
  for (const auto& s : d.segs)
    s->signal_notify().connect([&moved, p = s.get()](const char* name) {
      if (std::string(name) == "pos")
        ++moved[p];
    });
  d.segs[1]->is_laid_out = false;
  d.layouter->layout_not_laid_out_segs();
  EXPECT_GT(moved[d.segs[0].get()], 0);
  EXPECT_GT(moved[d.segs[1].get()], 0);
  for (size_t i = 2; i < d.segs.size(); ++i)
    EXPECT_EQ(moved[d.segs[i].get()], 0) << i;
}

TEST(ClsSegmentLayouter, LayingOutALaidOutGroupOnlyDropsItsSprings)
{
  const SlDiagram d = sl_diagram();
  d.layouter->layout_not_laid_out_segs();
  const std::vector<double> before = sl_positions(d);
  EXPECT_GT(d.segs[0]->get_springs_count(), 0);
  d.layouter->layout(d.segs[0]);
  EXPECT_EQ(sl_positions(d), before);
  EXPECT_EQ(d.segs[0]->get_springs_count(), 0);
  EXPECT_EQ(d.segs[1]->get_springs_count(), 0);
  EXPECT_GT(d.segs[3]->get_springs_count(), 0);
  // A stale group is laid out.
  d.segs[3]->is_laid_out = false;
  d.layouter->layout(d.segs[4]);
  EXPECT_TRUE(d.segs[3]->is_laid_out);
  EXPECT_GT(d.segs[3]->get_springs_count(), 0);
}

TEST(ClsSegmentLayouter, ClearingAGroupClearsItsMembersOnly)
{
  const SlDiagram d = sl_diagram();
  d.layouter->layout_not_laid_out_segs();
  d.layouter->set_related_seg_laid_out(d.segs[1], false);
  const std::vector<bool> want = {false, false, true, true, true, true};
  for (size_t i = 0; i < d.segs.size(); ++i)
    EXPECT_EQ(d.segs[i]->is_laid_out, want[i]) << i;
  // A segment no longer in the set: its group grown over the rest.
  d.layouter->layout_not_laid_out_segs();
  EXPECT_TRUE(d.layouter->remove(d.segs[4]));
  d.layouter->set_related_seg_laid_out(d.segs[4], false);
  EXPECT_FALSE(d.segs[3]->is_laid_out);
  EXPECT_TRUE(d.segs[0]->is_laid_out);
  d.layouter->layout_not_laid_out_segs();
  // Alone on its row now: in the middle.
  EXPECT_EQ(d.segs[3]->get_pos(), 15.0);
}

TEST(ClsSegmentLayouter, TheSetHoldsEachSegmentOnce)
{
  const auto layouter = ClsSegmentLayouter::create(ModelGrid::create());
  const auto a = sl_seg({1, 1}, {1, 2});
  const auto b = sl_seg({2, 1}, {2, 2});
  const auto c = sl_seg({3, 1}, {3, 2});
  EXPECT_TRUE(layouter->add(a));
  EXPECT_FALSE(layouter->add(a));
  EXPECT_FALSE(layouter->add(nullptr));
  layouter->add_all({b, c});
  EXPECT_EQ(layouter->size(), 3u);
  EXPECT_TRUE(layouter->remove(a));
  EXPECT_FALSE(layouter->remove(a));
  EXPECT_FALSE(layouter->contains(a));
  EXPECT_TRUE(layouter->contains(b));
  EXPECT_TRUE(layouter->contains(c));
  layouter->remove_all({b, c});
  EXPECT_EQ(layouter->size(), 0u);
  test::LogCapture log;
  EXPECT_EQ(ClsSegmentLayouter::create(nullptr), nullptr);
  EXPECT_EQ(log.criticals.size(), 1u);
}

} // namespace
} // namespace velkaro
