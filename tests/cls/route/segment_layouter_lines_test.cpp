// The layouter's lines against the plain walk over the whole set: a group
// grown over the segments of its line gives the members, the order and the
// end elements that growing it over the whole set gives; laying out each
// group once, from its member last in the set, leaves every point where
// laying out the group of every segment in turn leaves it. Random sets of
// routes on few lines (so that groups are large and overlap), with elements
// at their ends, segments added and removed in any order.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/route/related_segments.h"
#include "cls/route/route_kit_for_test.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "model/grid.h"

namespace velkaro {
namespace {

using SegPtr = std::shared_ptr<ClsSegment>;

// Random routes of one to three segments on columns and rows 0..5, along
// 0..24, each end at one of a few elements or at none.
class RandomRoutes {
public:
  explicit RandomRoutes(unsigned seed) : m_rng(seed)
  {
    for (int i = 0; i < 4; ++i)
      m_elems.push_back(test::RouteBoxForTest::create(
          {double(pick(20)), double(pick(20)), double(20 + pick(60)), double(20 + pick(60))}));
  }

  // A route's segments, chained.
  std::vector<SegPtr> route()
  {
    CellPos at{pick(6), pick(25)};
    bool vertical = pick(2) == 0;
    if (!vertical)
      at = {pick(25), pick(6)};
    std::vector<SegPtr> segs;
    const int count = 1 + pick(3);
    for (int i = 0; i < count; ++i) {
      CellPos to = at;
      int32_t& c = vertical ? to.y : to.x;
      do
        c = pick(25);
      while (c == (vertical ? at.y : at.x));
      const SegPtr prev = segs.empty() ? nullptr : segs.back();
      const SegPtr s = ClsSegment::create(at, to, prev, nullptr);
      if (prev)
        prev->next = s;
      segs.push_back(s);
      at = to;
      vertical = !vertical;
    }
    segs.front()->start_elem = elem_or_none();
    segs.back()->end_elem = elem_or_none();
    return segs;
  }

  int32_t pick(int n) { return static_cast<int32_t>(m_rng() % static_cast<unsigned>(n)); }

private:
  ModelElement::ElementPtr elem_or_none()
  {
    const int32_t k = pick(static_cast<int>(m_elems.size()) + 1);
    return k == 0 ? nullptr : m_elems[static_cast<size_t>(k - 1)];
  }

  std::mt19937 m_rng;
  std::vector<ModelElement::ElementPtr> m_elems;
};

std::string members_text(const ClsRelatedSegments& g)
{
  std::string out;
  char buf[64];
  for (const SegPtr& m : g.get_segments()) {
    std::snprintf(buf, sizeof buf, "%p ", static_cast<const void*>(m.get()));
    out += buf;
  }
  std::snprintf(buf, sizeof buf, "| e1 %p x%d %.17g e2 %p x%d %.17g", static_cast<const void*>(g.get_e1().get()),
                g.get_count_e1(), g.get_e1_length(), static_cast<const void*>(g.get_e2().get()),
                g.get_count_e2(), g.get_e2_length());
  return out + buf;
}

std::string points_text(const std::vector<SegPtr>& segs)
{
  std::string out;
  char buf[160];
  for (const SegPtr& s : segs) {
    std::snprintf(buf, sizeof buf, "(%.17g %.17g)-(%.17g %.17g) %d %d\n", s->start_point.get_x(),
                  s->start_point.get_y(), s->end_point.get_x(), s->end_point.get_y(), s->is_laid_out ? 1 : 0,
                  s->get_springs_count());
    out += buf;
  }
  return out;
}

TEST(ClsSegmentLayouterLines, GroupsGrowOverTheirLineAsOverTheWholeSet)
{
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomRoutes random(seed);
    const auto grid = ModelGrid::create();
    const auto layouter = ClsSegmentLayouter::create(grid);
    std::vector<std::vector<SegPtr>> held;
    std::vector<SegPtr> gone;
    for (int step = 0; step < 60; ++step) {
      // Mostly routes added; now and then one removed (the last segment
      // moves into its place in the set's order) and added again later.
      if (!held.empty() && random.pick(4) == 0) {
        const auto k = held.begin() + random.pick(static_cast<int>(held.size()));
        const std::vector<SegPtr> route = *k;
        held.erase(k);
        layouter->remove_all(route);
        if (random.pick(2) == 0) {
          gone.insert(gone.end(), route.begin(), route.end());
        } else {
          layouter->add_all(route);
          held.push_back(route);
        }
      } else {
        held.push_back(random.route());
        layouter->add_all(held.back());
      }
      // Every held segment, and some that left the set.
      std::vector<SegPtr> targets = layouter->get_segments();
      targets.insert(targets.end(), gone.begin(), gone.end());
      for (const SegPtr& t : targets) {
        std::vector<SegPtr> line;
        for (const SegPtr& s : layouter->get_segments())
          if (s->is_seg_collinear(*t))
            line.push_back(s);
        ASSERT_EQ(layouter->segments_on_line_of(*t), line);
        const auto fast = layouter->new_related_segments(t);
        const auto plain = ClsRelatedSegments::create(layouter->get_segments(), t, grid);
        ASSERT_EQ(members_text(*fast), members_text(*plain)) << "step " << step;
      }
    }
  }
}

TEST(ClsSegmentLayouterLines, EveryGroupOnceLeavesWhatEveryMemberInTurnLeaves)
{
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomRoutes random(seed);
    const auto grid = ModelGrid::create();
    const auto layouter = ClsSegmentLayouter::create(grid);
    std::vector<std::vector<SegPtr>> routes;
    for (int r = 0; r < 25; ++r) {
      routes.push_back(random.route());
      layouter->add_all(routes.back());
    }
    // A few routes removed, so that the set's order is not the order of
    // adding.
    for (int k = 0; k < 5; ++k) {
      const auto at = routes.begin() + random.pick(static_cast<int>(routes.size()));
      layouter->remove_all(*at);
      routes.erase(at);
    }
    std::vector<SegPtr> all;
    for (const auto& r : routes)
      all.insert(all.end(), r.begin(), r.end());

    // The plain walk: the group of every segment over the whole set, in turn.
    const std::vector<SegPtr> order = layouter->get_segments();
    for (const SegPtr& s : order)
      ClsRelatedSegments::create(order, s, grid)->layout();
    const std::string plain = points_text(all);

    // Scrambled, then each group once.
    for (const SegPtr& s : all) {
      s->set_pos(double(random.pick(500)));
      s->is_laid_out = false;
    }
    layouter->layout_every_group();
    EXPECT_EQ(points_text(all), plain);
  }
}

} // namespace
} // namespace velkaro
