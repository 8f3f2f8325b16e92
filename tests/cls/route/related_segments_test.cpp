#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/route/fixed_layoutable_node.h"
#include "cls/route/related_segments.h"
#include "cls/route/route_kit_for_test.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "cls/route/spring_edge.h"
#include "model/grid.h"
#include "model/grid_list.h"

namespace velkaro {
namespace {

using test::RouteBoxForTest;
using RsSeg = std::shared_ptr<ClsSegment>;

// A grid whose column 3 is width pixels wide (other lines 20).
std::shared_ptr<ModelGrid> rs_grid(double width = 100)
{
  auto grid = ModelGrid::create();
  grid->h->set_size(3, width);
  return grid;
}

RsSeg rs_seg(CellPos a, CellPos b)
{
  return ClsSegment::create(a, b, nullptr, nullptr);
}

// The positions of the nodes at the other ends of a member's springs.
std::vector<double> rs_left_ends(const ClsSegment& s)
{
  std::vector<double> ends;
  for (const auto& spring : s.get_left_springs())
    ends.push_back(spring->get_left_term_pos());
  return ends;
}

std::vector<double> rs_right_ends(const ClsSegment& s)
{
  std::vector<double> ends;
  for (const auto& spring : s.get_right_springs())
    ends.push_back(spring->get_right_term_pos());
  return ends;
}

// The segment at the other end of each high-side spring.
std::vector<ClsILayoutableNode*> rs_right_nodes(const ClsSegment& s)
{
  std::vector<ClsILayoutableNode*> nodes;
  for (const auto& spring : s.get_right_springs())
    nodes.push_back(spring->get_right_node().get());
  return nodes;
}

// Every coordinate of a member's points and of its neighbours' is finite.
void rs_expect_finite(const ClsRelatedSegments& group)
{
  for (const RsSeg& m : group.get_segments()) {
    std::vector<const Point*> points = {&m->start_point, &m->end_point};
    if (const auto p = m->prev.lock())
      points.push_back(&p->end_point);
    if (const auto n = m->next.lock())
      points.push_back(&n->start_point);
    for (const Point* p : points) {
      EXPECT_TRUE(std::isfinite(p->get_x())) << p->to_string();
      EXPECT_TRUE(std::isfinite(p->get_y())) << p->to_string();
    }
    EXPECT_TRUE(std::isfinite(m->get_pos()));
    EXPECT_TRUE(std::isfinite(m->get_energy()));
    EXPECT_TRUE(std::isfinite(m->get_velocity()));
  }
}

// --- one free segment ----------------------------------------------------------

TEST(ClsRelatedSegments, OneFreeSegmentSitsInTheMiddleOfItsColumn)
{
  const auto seg = rs_seg({3, 1}, {3, 5});
  const auto group = ClsRelatedSegments::create({seg}, seg, rs_grid(100));
  group->layout();
  EXPECT_EQ(rs_left_ends(*seg), std::vector<double>{0.0});
  EXPECT_EQ(rs_right_ends(*seg), std::vector<double>{100.0});
  EXPECT_EQ(seg->get_left_springs()[0]->get_length(), 0.0);
  EXPECT_EQ(group->get_spread_width(), 100.0);
  EXPECT_EQ(group->get_spread_origin(), 0.0);
  EXPECT_EQ(seg->get_pos(), 50.0);
  EXPECT_EQ(seg->get_energy(), 0.0);
  EXPECT_EQ(group->get_sim_iterations(), 1);
  EXPECT_TRUE(seg->is_laid_out);
  EXPECT_TRUE(group->get_is_laid_out());
}

TEST(ClsRelatedSegments, RelaxationMovesEachSweepUntilTheEnergyIsSmall)
{
  const auto seg = rs_seg({3, 1}, {3, 5});
  const auto group = ClsRelatedSegments::create({seg}, seg, rs_grid(100));
  group->link();
  seg->set_pos(20);
  std::vector<double> moves;
  seg->signal_notify().connect([&](const char* name) {
    if (std::string(name) == "pos")
      moves.push_back(seg->get_pos());
  });
  group->sim();
  ASSERT_GE(moves.size(), 3u);
  EXPECT_NEAR(moves[0], 29.0, 1e-9);
  EXPECT_NEAR(moves[1], 35.3, 1e-9);
  EXPECT_NEAR(moves[2], 39.71, 1e-9);
  // One move a sweep (the clamp never acts here); the energy of a sweep is
  // the one seen before its move: 30, 21, 14.7, ... The last sweep is the
  // first below 5.
  EXPECT_EQ(static_cast<int>(moves.size()), group->get_sim_iterations());
  double before = 20;
  for (size_t k = 0; k < moves.size(); ++k) {
    const double energy = (100 - 2 * before) / 2;
    EXPECT_NEAR(moves[k] - before, 0.3 * energy, 1e-9);
    if (k + 1 < moves.size())
      EXPECT_GE(std::abs(energy), 5.0) << k;
    else
      EXPECT_LT(std::abs(energy), 5.0);
    before = moves[k];
  }
  EXPECT_EQ(moves.size(), 7u);
}

TEST(ClsRelatedSegments, RelaxationStopsAfterTwentySweeps)
{
  const auto seg = rs_seg({3, 1}, {3, 5});
  const auto group = ClsRelatedSegments::create({seg}, seg, rs_grid(100000));
  group->link();
  seg->set_pos(20);
  group->sim();
  EXPECT_EQ(group->get_sim_iterations(), ClsRelatedSegments::MAX_ITERATIONS);
  EXPECT_GT(std::abs(seg->get_energy()), 5.0);
}

// The stop test sums signed energies: two members pressed in opposite ways
// stop the relaxation at once.
TEST(ClsRelatedSegments, OppositeEnergiesCancelInTheStopTest)
{
  const auto a = rs_seg({3, 1}, {3, 5});
  const auto b = rs_seg({3, 1}, {3, 5});
  const auto group = ClsRelatedSegments::create({a, b}, a, rs_grid(100));
  group->link();
  a->set_pos(20);
  b->set_pos(80);
  group->sim();
  EXPECT_EQ(group->get_sim_iterations(), 1);
  EXPECT_NEAR(a->get_pos(), 26.0, 1e-9);
  // b moved from where a stands now, not from where it stood.
  EXPECT_NEAR(b->get_pos(), 80 + 0.3 * ((-(80 - 26.0)) - -20.0) / 2, 1e-9);
}

// --- several members ----------------------------------------------------------

TEST(ClsRelatedSegments, ThreeFreeSegmentsFormAChainSpreadEvenly)
{
  const auto a = rs_seg({3, 1}, {3, 5});
  const auto b = rs_seg({3, 1}, {3, 5});
  const auto c = rs_seg({3, 1}, {3, 5});
  const auto group = ClsRelatedSegments::create({a, b, c}, a, rs_grid(120));
  group->layout();
  const auto& m = group->get_segments();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(rs_left_ends(*m[0]), std::vector<double>{0.0});
  EXPECT_EQ(rs_right_nodes(*m[0]), std::vector<ClsILayoutableNode*>{m[1].get()});
  EXPECT_EQ(rs_right_nodes(*m[1]), std::vector<ClsILayoutableNode*>{m[2].get()});
  EXPECT_EQ(rs_right_ends(*m[2]), std::vector<double>{120.0});
  EXPECT_EQ(m[0]->get_pos(), 30.0);
  EXPECT_EQ(m[1]->get_pos(), 60.0);
  EXPECT_EQ(m[2]->get_pos(), 90.0);
  EXPECT_EQ(group->get_sim_iterations(), 1);
}

TEST(ClsRelatedSegments, SegmentsLeavingOneElementSpreadOverItsSide)
{
  const auto box = RouteBoxForTest::create({10, 5, 90, 40});
  const auto shorter = rs_seg({3, 1}, {3, 5});
  const auto longer = rs_seg({3, 1}, {3, 7});
  shorter->start_elem = box;
  longer->start_elem = box;
  const auto group = ClsRelatedSegments::create({shorter, longer}, shorter, rs_grid(120));
  EXPECT_EQ(group->get_count_e1(), 2);
  EXPECT_EQ(group->get_count_e2(), 0);
  EXPECT_EQ(group->get_e1(), box);
  EXPECT_EQ(group->get_e1_length(), 30.0);
  group->layout();
  // Same shape and elements: the longer one first.
  const auto& m = group->get_segments();
  ASSERT_EQ(m, (std::vector<RsSeg>{longer, shorter}));
  EXPECT_EQ(rs_left_ends(*longer), std::vector<double>{10.0});
  EXPECT_EQ(rs_right_nodes(*longer), std::vector<ClsILayoutableNode*>{shorter.get()});
  EXPECT_EQ(rs_right_ends(*shorter), std::vector<double>{100.0});
  for (const auto& s : longer->get_right_springs())
    EXPECT_EQ(s->get_length(), 30.0);
  EXPECT_EQ(longer->get_pos(), 40.0);
  EXPECT_EQ(shorter->get_pos(), 70.0);
  const double spring = 30 / (std::exp(15.0) + 1);
  EXPECT_NEAR(longer->get_left_springs()[0]->get_energy(), spring, 1e-15);
  EXPECT_NEAR(spring, 9.18e-06, 1e-8);
  EXPECT_EQ(longer->get_energy(), 0.0);
  EXPECT_EQ(shorter->get_energy(), 0.0);
  EXPECT_EQ(group->get_sim_iterations(), 1);
  // The route ends leave the element's bottom edge.
  EXPECT_EQ(longer->start_point.get_y(), 45.0);
  EXPECT_EQ(shorter->start_point.get_y(), 45.0);
}

TEST(ClsRelatedSegments, AFreeMemberJoinsAnAttachedOneOnlyWhenSortedFirst)
{
  const auto box = RouteBoxForTest::create({0, 0, 80, 40});
  // In list order (link() alone does not sort): free, then attached.
  {
    const auto free_seg = rs_seg({3, 2}, {3, 6});
    const auto attached = rs_seg({3, 1}, {3, 6});
    attached->start_elem = box;
    const auto group = ClsRelatedSegments::create({attached}, free_seg, rs_grid());
    group->link();
    ASSERT_EQ(group->get_segments(), (std::vector<RsSeg>{free_seg, attached}));
    ASSERT_EQ(free_seg->get_right_springs().size(), 2u);
    EXPECT_EQ(free_seg->get_right_springs()[0]->get_right_node(), attached);
    EXPECT_EQ(free_seg->get_right_springs()[0]->get_length(), 0.0);
  }
  // Attached, free, attached: no spring between the attached ones, whose
  // whole range the free member covers.
  {
    const auto first = rs_seg({3, 1}, {3, 6});
    const auto free_seg = rs_seg({3, 1}, {3, 6});
    const auto last = rs_seg({3, 1}, {3, 6});
    first->start_elem = box;
    last->start_elem = box;
    const auto group = ClsRelatedSegments::create({free_seg, last}, first, rs_grid());
    group->link();
    ASSERT_EQ(group->get_segments(), (std::vector<RsSeg>{first, free_seg, last}));
    for (const auto& s : first->get_right_springs())
      EXPECT_NE(s->get_right_node(), last);
    // The free member is the first and the last free one: its other spring
    // goes to the line's high edge.
    EXPECT_EQ(rs_right_nodes(*free_seg),
              (std::vector<ClsILayoutableNode*>{last.get(), group->get_node_g_r().get()}));
  }
}

TEST(ClsRelatedSegments, ShadowedMembersLinkToTheNearestOnly)
{
  const auto whole = rs_seg({3, 1}, {3, 10});
  const auto upper = rs_seg({3, 1}, {3, 5});
  const auto lower = rs_seg({3, 6}, {3, 10});
  const auto again = rs_seg({3, 1}, {3, 10});
  const auto group = ClsRelatedSegments::create({upper, lower, again}, whole, rs_grid());
  group->link();
  ASSERT_EQ(group->get_segments(), (std::vector<RsSeg>{whole, upper, lower, again}));
  EXPECT_EQ(rs_right_nodes(*whole), (std::vector<ClsILayoutableNode*>{upper.get(), lower.get()}));
  EXPECT_EQ(rs_right_nodes(*upper), std::vector<ClsILayoutableNode*>{again.get()});
  EXPECT_EQ(rs_right_nodes(*lower), std::vector<ClsILayoutableNode*>{again.get()});
  EXPECT_EQ(again->get_left_springs().size(), 2u);
}

TEST(ClsRelatedSegments, WithoutFreeMembersTheWiderElementSideIsSpread)
{
  struct Case {
    const char* name;
    Rectangle near, far;
    double width, origin;
  };
  const Case cases[] = {
      {"far wider", {20, 0, 60, 30}, {0, 0, 100, 30}, 100, 0},
      {"near wider", {5, 0, 110, 30}, {0, 0, 100, 30}, 110, 5},
      {"equal: the far one", {20, 0, 60, 30}, {30, 0, 60, 30}, 60, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto s = rs_seg({3, 1}, {3, 6});
    s->start_elem = RouteBoxForTest::create(c.near);
    s->end_elem = RouteBoxForTest::create(c.far);
    const auto group = ClsRelatedSegments::create({s}, s, rs_grid(120));
    group->link();
    EXPECT_EQ(group->get_spread_width(), c.width);
    EXPECT_EQ(group->get_spread_origin(), c.origin);
  }
}

// --- growing the group ----------------------------------------------------------

TEST(ClsRelatedSegments, GroupsGrowThroughOverlapsPassAfterPass)
{
  const auto a = rs_seg({3, 1}, {3, 3});
  const auto b = rs_seg({3, 3}, {3, 6});
  const auto c = rs_seg({3, 6}, {3, 9});
  const auto elsewhere = rs_seg({4, 1}, {4, 9});
  const auto across = rs_seg({1, 2}, {6, 2});
  const auto beyond = rs_seg({3, 11}, {3, 14});
  // c comes before b in the set: it joins in a second pass.
  const auto group =
      ClsRelatedSegments::create({c, elsewhere, across, beyond, b}, a, rs_grid());
  EXPECT_EQ(group->get_segments(), (std::vector<RsSeg>{a, b, c}));
  EXPECT_EQ(group->get_hv(), CellDir::v);
  EXPECT_EQ(group->get_orth_pos(), 3);
}

TEST(ClsRelatedSegments, SegmentsMeetingOnlyInAnElementCellAreNotGrouped)
{
  const auto box = RouteBoxForTest::create({0, 0, 60, 30});
  const auto up = rs_seg({3, 5}, {3, 1});
  const auto down = rs_seg({3, 5}, {3, 9});
  up->start_elem = box;
  down->start_elem = box;
  EXPECT_EQ(ClsRelatedSegments::create({down}, up, rs_grid())->get_segments().size(), 1u);
  // Without the element they share its cell and join.
  up->start_elem = nullptr;
  down->start_elem = nullptr;
  EXPECT_EQ(ClsRelatedSegments::create({down}, up, rs_grid())->get_segments().size(), 2u);
}

TEST(ClsRelatedSegments, BuildingAGroupDropsTheMembersSprings)
{
  const auto a = rs_seg({3, 1}, {3, 5});
  const auto b = rs_seg({3, 2}, {3, 6});
  ClsRelatedSegments::create({a, b}, a, rs_grid())->layout();
  EXPECT_GT(a->get_springs_count(), 0);
  EXPECT_GT(b->get_springs_count(), 0);
  ClsRelatedSegments::create({a, b}, b, rs_grid());
  EXPECT_EQ(a->get_springs_count(), 0);
  EXPECT_EQ(b->get_springs_count(), 0);
}

// --- route ends ----------------------------------------------------------------

TEST(ClsRelatedSegments, RouteEndsGoToElementEdgesOrCellMiddles)
{
  auto grid = rs_grid(100);
  grid->v->set_size(1, 60);
  grid->v->set_size(6, 60);
  // A route of three segments: down column 3, right along row 6, down column 8.
  const auto first = ClsSegment::create({3, 1}, {3, 6}, nullptr, nullptr);
  const auto middle = ClsSegment::create({3, 6}, {8, 6}, first, nullptr);
  const auto last = ClsSegment::create({8, 6}, {8, 9}, middle, nullptr);
  first->next = middle;
  middle->next = last;
  last->end_elem = RouteBoxForTest::create({2, 4, 16, 12});
  const auto group = ClsRelatedSegments::create({first}, first, grid);
  group->layout();
  // No element, no neighbour: the middle of the start cell, 60 high.
  EXPECT_EQ(first->start_point.get_y(), 30.0);
  EXPECT_EQ(first->start_point.get_x(), first->get_pos());
  // The joint stays where the route put it along the segment.
  EXPECT_EQ(first->end_point.get_y(), 0.0);
  ClsRelatedSegments::create({middle}, middle, grid)->layout();
  EXPECT_EQ(middle->start_point.get_x(), first->get_pos());
  EXPECT_EQ(middle->end_point.get_x(), 0.0);
  EXPECT_EQ(middle->start_point.get_y(), middle->get_pos());
  ClsRelatedSegments::create({last}, last, grid)->layout();
  // Into the element from above: its top edge.
  EXPECT_EQ(last->end_point.get_y(), 4.0);
  EXPECT_EQ(last->end_point.get_x(), last->get_pos());
}

TEST(ClsRelatedSegments, PointOperations)
{
  const Rectangle r{10, 20, 30, 40};
  struct Case {
    MovingDir d;
    Point linked, setback;
  };
  const Case cases[] = {
      {MovingDir::up, {1, 20}, {1, -1}},
      {MovingDir::down, {1, 60}, {1, 7}},
      {MovingDir::left, {10, 3}, {-3, 3}},
      {MovingDir::right, {40, 3}, {5, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(moving_dir_to_string(c.d));
    Point p(1, 3);
    ClsRelatedSegments::adjust_pos_linked_rect(p, r, c.d);
    EXPECT_EQ(p, c.linked);
    Point q(1, 3);
    ClsRelatedSegments::adjust_pos_setback(q, 4, c.d);
    EXPECT_EQ(q, c.setback);
  }
  const auto v = rs_seg({3, 1}, {3, 5});
  const auto h = rs_seg({1, 3}, {5, 3});
  Point p(1, 3);
  ClsRelatedSegments::create({}, v, rs_grid())->adjust_pos_center_rect(p, r);
  EXPECT_EQ(p, Point(1, 20));
  ClsRelatedSegments::create({}, h, rs_grid())->adjust_pos_center_rect(p, r);
  EXPECT_EQ(p, Point(15, 20));
}

// --- queries -------------------------------------------------------------------------

TEST(ClsRelatedSegments, SmallestElementAndLaidOutFlag)
{
  const auto wide = RouteBoxForTest::create({0, 0, 90, 10});
  const auto narrow = RouteBoxForTest::create({0, 0, 40, 10});
  const auto a = rs_seg({3, 1}, {3, 5});
  const auto b = rs_seg({3, 2}, {3, 6});
  const auto c = rs_seg({3, 2}, {3, 6});
  a->end_elem = wide;
  b->start_elem = narrow;
  const auto group = ClsRelatedSegments::create({b, c}, a, rs_grid());
  EXPECT_EQ(group->get_linked_min_side_size_elem(), narrow);
  EXPECT_FALSE(group->get_is_laid_out());
  a->is_laid_out = b->is_laid_out = true;
  EXPECT_FALSE(group->get_is_laid_out());
  c->is_laid_out = true;
  EXPECT_TRUE(group->get_is_laid_out());
}

// --- degenerate groups ------------------------------------------------------------------

TEST(ClsRelatedSegments, DegenerateGroupsKeepEveryCoordinateFinite)
{
  const auto grid = rs_grid(100);
  // A member attached to an element that is neither e1 nor e2 and joined to
  // nobody: no spring at all.
  {
    const auto a = rs_seg({3, 1}, {3, 5});
    const auto b = rs_seg({3, 2}, {3, 6});
    a->start_elem = RouteBoxForTest::create({0, 0, 60, 20});
    b->start_elem = RouteBoxForTest::create({10, 0, 50, 20});
    const auto group = ClsRelatedSegments::create({b}, a, grid);
    group->layout();
    const auto lonely = a->get_springs_count() == 0 ? a : b;
    EXPECT_EQ(lonely->get_springs_count(), 0);
    EXPECT_EQ(lonely->get_energy(), 0.0);
    rs_expect_finite(*group);
  }
  // Elements without width: their two edges coincide.
  {
    const auto first = ClsSegment::create({3, 1}, {3, 5}, nullptr, nullptr);
    const auto next = ClsSegment::create({3, 5}, {7, 5}, first, nullptr);
    first->next = next;
    first->start_elem = RouteBoxForTest::create({40, 0, 0, 0});
    const auto other = rs_seg({3, 1}, {3, 7});
    other->start_elem = first->start_elem;
    other->end_elem = RouteBoxForTest::create({40, 0, 0, 0});
    const auto group = ClsRelatedSegments::create({other}, first, grid);
    group->layout();
    EXPECT_EQ(group->get_e1_length(), 0.0);
    rs_expect_finite(*group);
    EXPECT_EQ(first->get_pos(), 40.0);
  }
  // A group of one attached at both ends, and one of one free segment of a
  // single cell.
  for (const bool attached : {true, false}) {
    const auto s = attached ? rs_seg({3, 1}, {3, 2}) : rs_seg({3, 4}, {3, 4});
    if (attached) {
      s->start_elem = RouteBoxForTest::create({0, 0, 100, 20});
      s->end_elem = RouteBoxForTest::create({0, 0, 100, 20});
    }
    const auto group = ClsRelatedSegments::create({s}, s, grid);
    group->layout();
    rs_expect_finite(*group);
  }
}

// --- order of the members ------------------------------------------------------------------

// Members whose comparisons form a consistent order end at the same
// positions whatever order they are given in; members that compare equal
// share out the same positions.
TEST(ClsRelatedSegments, MemberOrderDoesNotChangeTheLayout)
{
  struct Made {
    std::vector<RsSeg> keep; // neighbours
    std::vector<RsSeg> members;
  };
  const auto make = []() {
    Made m;
    const auto add_with = [&m](CellPos before, CellPos a, CellPos b, CellPos after) {
      const auto seg = ClsSegment::create(a, b, nullptr, nullptr);
      if (before.x >= 0) {
        const auto p = ClsSegment::create(before, a, nullptr, seg);
        seg->prev = p;
        m.keep.push_back(p);
      }
      if (after.x >= 0) {
        const auto n = ClsSegment::create(b, after, seg, nullptr);
        seg->next = n;
        m.keep.push_back(n);
      }
      m.members.push_back(seg);
    };
    const CellPos no{-1, -1};
    add_with({1, 2}, {3, 2}, {3, 7}, no);        // l-dec-none
    add_with(no, {3, 1}, {3, 9}, no);            // b-none-none, 9 cells
    add_with(no, {3, 3}, {3, 6}, no);            // b-none-none, 4 cells
    add_with({6, 1}, {3, 1}, {3, 8}, {6, 8});    // u-inc-inc
    add_with({1, 4}, {3, 4}, {3, 10}, {6, 10});  // c-dec-inc
    add_with(no, {3, 2}, {3, 8}, {7, 8});        // l-none-inc
    return m;
  };
  const Made base = make();
  const auto grid = rs_grid(140);
  std::vector<double> want;
  {
    const auto layouter = ClsSegmentLayouter::create(grid);
    layouter->add_all(base.members);
    layouter->layout_not_laid_out_segs();
    for (const auto& s : base.members)
      want.push_back(s->get_pos());
  }
  std::vector<size_t> order(base.members.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::mt19937 rng(35);
  for (int round = 0; round < 12; ++round) {
    std::shuffle(order.begin(), order.end(), rng);
    const Made made = make();
    const auto layouter = ClsSegmentLayouter::create(grid);
    for (size_t i : order)
      layouter->add(made.members[i]);
    layouter->layout_not_laid_out_segs();
    for (size_t i = 0; i < made.members.size(); ++i)
      EXPECT_DOUBLE_EQ(made.members[i]->get_pos(), want[i]) << "member " << i << " round " << round;
  }

  // Three equal free segments: the same three positions in any order.
  std::vector<double> spread;
  for (int round = 0; round < 3; ++round) {
    std::vector<RsSeg> same = {rs_seg({3, 1}, {3, 5}), rs_seg({3, 1}, {3, 5}),
                               rs_seg({3, 1}, {3, 5})};
    std::rotate(same.begin(), same.begin() + round, same.end());
    ClsRelatedSegments::create(same, same[0], grid)->layout();
    std::vector<double> got;
    for (const auto& s : same)
      got.push_back(s->get_pos());
    std::sort(got.begin(), got.end());
    if (spread.empty())
      spread = got;
    EXPECT_EQ(got, spread);
  }
}

} // namespace
} // namespace velkaro
