#include <algorithm>
#include <cfloat>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/route/fixed_layoutable_node.h"
#include "cls/route/route_kit_for_test.h"
#include "cls/route/segment.h"
#include "cls/route/spring_edge.h"
#include "model/grid.h"

namespace velkaro {
namespace {

using test::RouteBoxForTest;
using SegPtr = std::shared_ptr<ClsSegment>;

SegPtr seg_of(CellPos a, CellPos b)
{
  return ClsSegment::create(a, b, nullptr, nullptr);
}

// Three segments of one route: before -> middle -> after (either end may be
// left out with an invalid cell).
struct SegmentChainForTest {
  SegPtr before, middle, after;
};

SegmentChainForTest chain_through(CellPos first, CellPos a, CellPos b, CellPos last)
{
  SegmentChainForTest c;
  c.middle = seg_of(a, b);
  if (first.get_is_valid()) {
    c.before = ClsSegment::create(first, a, nullptr, c.middle);
    c.middle->prev = c.before;
  }
  if (last.get_is_valid()) {
    c.after = ClsSegment::create(b, last, c.middle, nullptr);
    c.middle->next = c.after;
  }
  return c;
}

TEST(ClsSegment, AxisDirectionAndRanges)
{
  struct Case {
    CellPos start, end;
    CellDir hv;
    MovingDir udlr;
    CellRangeIndex range;
    int32_t size;
    int32_t orth;
  };
  const Case cases[] = {
      {{3, 1}, {3, 5}, CellDir::v, MovingDir::down, {1, 5}, 5, 3},
      {{3, 5}, {3, 1}, CellDir::v, MovingDir::up, {1, 5}, 5, 3},
      {{1, 4}, {6, 4}, CellDir::h, MovingDir::right, {1, 6}, 6, 4},
      {{6, 4}, {1, 4}, CellDir::h, MovingDir::left, {1, 6}, 6, 4},
      {{2, 2}, {2, 2}, CellDir::v, MovingDir::up, {2, 2}, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start.to_string() + "-" + c.end.to_string());
    const auto s = seg_of(c.start, c.end);
    EXPECT_EQ(s->get_hv(), c.hv);
    EXPECT_EQ(s->get_udlr(), c.udlr);
    EXPECT_EQ(s->get_range(), c.range);
    EXPECT_EQ(s->get_range_without_elem(), c.range);
    EXPECT_EQ(s->get_size(), c.size);
    EXPECT_EQ(s->get_cell_pos_orth(), c.orth);
    EXPECT_EQ(s->get_form(), ClsSegmentForm::b_none_none);
  }
}

TEST(ClsSegment, RangesLeaveOutTheCellsOfLinkedElements)
{
  struct Case {
    const char* name;
    CellPos start, end;
    bool at_start, at_end;
    CellRangeIndex want;
  };
  const Case cases[] = {
      {"up, start element", {3, 5}, {3, 1}, true, false, {1, 4}},
      {"up, both elements", {3, 5}, {3, 1}, true, true, {2, 4}},
      {"down, end element", {3, 1}, {3, 5}, false, true, {1, 4}},
      {"right, both", {1, 4}, {6, 4}, true, true, {2, 5}},
      {"left, start", {6, 4}, {1, 4}, true, false, {1, 5}},
      // Two cells attached at both ends: put back in order, the full range.
      {"two cells, both", {3, 1}, {3, 2}, true, true, {1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto s = seg_of(c.start, c.end);
    if (c.at_start)
      s->start_elem = RouteBoxForTest::create();
    if (c.at_end)
      s->end_elem = RouteBoxForTest::create();
    EXPECT_EQ(s->get_range_without_elem(), c.want);
  }
}

TEST(ClsSegment, CollinearTests)
{
  const auto v = seg_of({3, 2}, {3, 8});
  EXPECT_TRUE(v->is_pos_collinear({3, 40}));
  EXPECT_FALSE(v->is_pos_collinear({4, 2}));
  EXPECT_TRUE(v->is_range_collinear(CellRange{{1, 30}, {5, 31}}));
  EXPECT_FALSE(v->is_range_collinear(CellRange{{4, 2}, {5, 8}}));
  EXPECT_TRUE(v->is_seg_collinear(*seg_of({3, 9}, {3, 12})));
  EXPECT_FALSE(v->is_seg_collinear(*seg_of({3, 3}, {4, 3})));
  EXPECT_FALSE(v->is_seg_collinear(*seg_of({4, 2}, {4, 8})));
  EXPECT_TRUE(v->is_term_pos_eq({3, 8}));
  EXPECT_FALSE(v->is_term_pos_eq({3, 5}));
}

TEST(ClsSegment, PositionMovesTheJointsOfItsNeighbours)
{
  for (const bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    const SegmentChainForTest c = vertical ? chain_through({1, 2}, {5, 2}, {5, 6}, {9, 6})
                                           : chain_through({2, 1}, {2, 5}, {6, 5}, {6, 9});
    std::vector<std::string> notes;
    c.middle->signal_notify().connect([&](const char* n) { notes.push_back(n); });
    c.middle->set_pos(12.5);
    const auto across = [vertical](const Point& p) { return vertical ? p.get_x() : p.get_y(); };
    const auto along = [vertical](const Point& p) { return vertical ? p.get_y() : p.get_x(); };
    EXPECT_EQ(across(c.middle->start_point), 12.5);
    EXPECT_EQ(across(c.middle->end_point), 12.5);
    EXPECT_EQ(across(c.before->end_point), 12.5);
    EXPECT_EQ(across(c.after->start_point), 12.5);
    EXPECT_EQ(along(c.middle->start_point), 0.0);
    EXPECT_EQ(across(c.before->start_point), 0.0);
    EXPECT_EQ(across(c.after->end_point), 0.0);
    EXPECT_EQ(c.middle->get_pos(), 12.5);
    EXPECT_TRUE(c.middle->is_laid_out);
    EXPECT_FALSE(c.before->is_laid_out);
    EXPECT_EQ(notes, std::vector<std::string>{"pos"});
  }
}

TEST(ClsSegment, ClampingKeepsItBetweenItsSpringNeighbours)
{
  struct Case {
    const char* name;
    bool springs;
    double from;
    double to;
    bool assigned;
  };
  const Case cases[] = {
      {"below", true, 5, 10, true},
      {"above", true, 40, 30, true},
      {"within", true, 20, 20, false},
      {"no springs, negative", false, -3, 2.2250738585072014e-308, true},
      {"no springs, far", false, 1e300, 1e300, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto s = seg_of({3, 1}, {3, 5});
    if (c.springs) {
      s->link_left_spring(ClsSpringEdge::create(ClsFixedLayoutableNode::create(10), s, 0));
      s->link_right_spring(ClsSpringEdge::create(s, ClsFixedLayoutableNode::create(30), 0));
    }
    s->set_pos(c.from);
    s->is_laid_out = false;
    s->clamp_pos();
    EXPECT_EQ(s->get_pos(), c.to);
    EXPECT_EQ(s->is_laid_out, c.assigned);
  }
  // Crossed bounds: the lower one wins.
  const auto s = seg_of({3, 1}, {3, 5});
  s->link_left_spring(ClsSpringEdge::create(ClsFixedLayoutableNode::create(50), s, 0));
  s->link_right_spring(ClsSpringEdge::create(s, ClsFixedLayoutableNode::create(30), 0));
  s->set_pos(40);
  s->clamp_pos();
  EXPECT_EQ(s->get_pos(), 50.0);
}

TEST(ClsSegment, EnergyAveragesItsSpringsAndIsZeroWithoutThem)
{
  const auto s = seg_of({3, 1}, {3, 5});
  EXPECT_EQ(s->get_springs_count(), 0);
  EXPECT_EQ(s->get_energy(), 0.0);
  EXPECT_FALSE(std::isnan(s->get_energy()));

  s->set_pos(20);
  const auto low = ClsSpringEdge::create(ClsFixedLayoutableNode::create(0), s, 0);    // -20
  const auto high = ClsSpringEdge::create(s, ClsFixedLayoutableNode::create(100), 0); // -80
  s->link_left_spring(low);
  s->link_right_spring(high);
  s->link_right_spring(high); // held once
  EXPECT_EQ(s->get_springs_count(), 2);
  EXPECT_DOUBLE_EQ(s->get_energy(), (-20.0 - -80.0) / 2);

  std::vector<std::string> seen;
  EXPECT_TRUE(s->foreach_spring_edge([&](ClsLinkDir d, const auto&) {
    seen.push_back(cls_link_dir_to_string(d));
    return true;
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"LEFT", "RIGHT"}));
  // A false from a low-side call ends both passes and the result.
  seen.clear();
  EXPECT_FALSE(s->foreach_spring_edge([&](ClsLinkDir d, const auto&) {
    seen.push_back(cls_link_dir_to_string(d));
    return false;
  }));
  EXPECT_EQ(seen, std::vector<std::string>{"LEFT"});

  s->init_link_spring();
  EXPECT_EQ(s->get_springs_count(), 0);
  EXPECT_EQ(s->get_energy(), 0.0);
}

TEST(ClsSegment, SegmentsAndTheirSpringsDoNotKeepEachOtherAlive)
{
  std::weak_ptr<ClsSegment> a_gone, b_gone;
  {
    const auto a = seg_of({3, 1}, {3, 5});
    const auto b = seg_of({3, 2}, {3, 6});
    const auto spring = ClsSpringEdge::create(a, b, 0);
    a->link_right_spring(spring);
    b->link_left_spring(spring);
    a_gone = a;
    b_gone = b;
  }
  EXPECT_TRUE(a_gone.expired());
  EXPECT_TRUE(b_gone.expired());

  // A neighbour that is gone neither presses nor bounds the segment.
  const auto s = seg_of({3, 1}, {3, 5});
  {
    const auto other = seg_of({3, 2}, {3, 6});
    other->set_pos(5);
    s->link_left_spring(ClsSpringEdge::create(other, s, 10));
  }
  s->set_pos(1);
  s->clamp_pos();
  EXPECT_EQ(s->get_pos(), 1.0);
  EXPECT_EQ(s->get_energy(), 0.0);
}

TEST(ClsSegment, FormsFromTheTurnsOfBothNeighbours)
{
  // A vertical segment from (5, 2) down to (5, 6): its smaller side is the
  // previous segment, coming from column xp; its bigger side the next,
  // going to column xn (0: no such neighbour).
  struct Case {
    int32_t xp, xn;
    ClsSegmentForm form;
  };
  const Case cases[] = {
      {3, 0, ClsSegmentForm::l_dec_none},  {0, 3, ClsSegmentForm::l_none_dec},
      {3, 3, ClsSegmentForm::u_dec_dec},   {3, 7, ClsSegmentForm::c_dec_inc},
      {0, 0, ClsSegmentForm::b_none_none}, {7, 3, ClsSegmentForm::c_inc_dec},
      {7, 7, ClsSegmentForm::u_inc_inc},   {0, 7, ClsSegmentForm::l_none_inc},
      {7, 0, ClsSegmentForm::l_inc_none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.xp) + "/" + std::to_string(c.xn));
    const CellPos none{-1, -1};
    const auto down = chain_through(c.xp ? CellPos{c.xp, 2} : none, {5, 2}, {5, 6},
                                    c.xn ? CellPos{c.xn, 6} : none);
    EXPECT_EQ(down.middle->get_form(), c.form);
    // Running up, the same shape: the next segment is then the smaller side.
    const auto up = chain_through(c.xn ? CellPos{c.xn, 6} : none, {5, 6}, {5, 2},
                                  c.xp ? CellPos{c.xp, 2} : none);
    EXPECT_EQ(up.middle->get_form(), c.form);
  }
}

TEST(ClsSegment, FormIsComputedOnce)
{
  const auto c = chain_through({3, 2}, {5, 2}, {5, 6}, {-1, -1});
  EXPECT_EQ(c.middle->get_form(), ClsSegmentForm::l_dec_none);
  const auto later = ClsSegment::create({5, 6}, {9, 6}, c.middle, nullptr);
  c.middle->next = later;
  EXPECT_EQ(c.middle->get_form(), ClsSegmentForm::l_dec_none);
  // The far cell of a segment that is no neighbour is invalid.
  EXPECT_EQ(c.middle->get_further_pos(later.get()), (CellPos{9, 6}));
  EXPECT_EQ(c.middle->get_further_pos(c.before.get()), (CellPos{3, 2}));
  EXPECT_EQ(c.middle->get_further_pos(seg_of({1, 1}, {1, 2}).get()), (CellPos{-1, -1}));
  EXPECT_EQ(c.middle->get_further_pos(nullptr), (CellPos{-1, -1}));
}

TEST(ClsSegment, LinkableForms)
{
  using F = ClsSegmentForm;
  const auto with_form = [](F f) {
    // A vertical segment down from (5, 2) to (5, 6) with neighbours giving f.
    static const std::map<F, std::pair<int32_t, int32_t>> turns = {
        {F::l_dec_none, {3, 0}}, {F::l_none_dec, {0, 3}}, {F::u_dec_dec, {3, 3}},
        {F::c_dec_inc, {3, 7}},  {F::b_none_none, {0, 0}}, {F::c_inc_dec, {7, 3}},
        {F::u_inc_inc, {7, 7}},  {F::l_none_inc, {0, 7}}, {F::l_inc_none, {7, 0}},
    };
    const auto [xp, xn] = turns.at(f);
    const CellPos none{-1, -1};
    return chain_through(xp ? CellPos{xp, 2} : none, {5, 2}, {5, 6}, xn ? CellPos{xn, 6} : none);
  };
  struct Case {
    F a, b;
    bool linkable;
  };
  const Case cases[] = {
      {F::b_none_none, F::u_dec_dec, true}, {F::l_dec_none, F::b_none_none, true},
      {F::l_none_dec, F::l_none_inc, true}, {F::l_none_dec, F::l_dec_none, false},
      {F::l_dec_none, F::l_inc_none, true}, {F::l_inc_none, F::c_dec_inc, false},
      {F::u_dec_dec, F::c_inc_dec, true},   {F::u_inc_inc, F::c_dec_inc, true},
      {F::c_dec_inc, F::l_none_inc, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(cls_segment_form_to_nick(c.a) + " / " + cls_segment_form_to_nick(c.b));
    const auto a = with_form(c.a);
    const auto b = with_form(c.b);
    ASSERT_EQ(a.middle->get_form(), c.a);
    ASSERT_EQ(b.middle->get_form(), c.b);
    EXPECT_EQ(a.middle->is_seg_linkable(*b.middle), c.linkable);
  }
}

TEST(ClsSegment, LinkedElementsAndTheirSizes)
{
  const auto plain = seg_of({3, 1}, {3, 5});
  EXPECT_EQ(plain->get_min_elem_size(), 0.0);
  EXPECT_EQ(plain->get_linked_min_side_size_elem(), nullptr);
  EXPECT_FALSE(plain->get_links_elem());
  EXPECT_EQ(plain->get_linked_elem(), nullptr);

  // Vertical, only an end element 90 wide and 40 high.
  const auto box = RouteBoxForTest::create({0, 0, 90, 40});
  const auto v = seg_of({3, 1}, {3, 5});
  v->end_elem = box;
  EXPECT_EQ(v->get_min_elem_size(), 40.0);
  EXPECT_EQ(v->get_linked_min_side_size_elem(), box);
  EXPECT_TRUE(v->links_the_elem(*box));
  EXPECT_EQ(v->get_linked_elem(), box);
  EXPECT_EQ(v->get_linked_elem_far_from_org(), box);
  EXPECT_EQ(v->get_linked_elem_near_to_org(), nullptr);

  // Running up, the start element is the far one.
  const auto narrow = RouteBoxForTest::create({0, 0, 60, 30});
  const auto wide = RouteBoxForTest::create({0, 0, 120, 20});
  const auto up = seg_of({3, 5}, {3, 1});
  up->start_elem = wide;
  up->end_elem = narrow;
  EXPECT_FALSE(up->get_is_start_near_to_org());
  EXPECT_EQ(up->get_linked_elem_near_to_org(), narrow);
  EXPECT_EQ(up->get_linked_elem_far_from_org(), wide);
  EXPECT_EQ(up->get_linked_min_side_size_elem(), narrow);
  EXPECT_EQ(up->get_min_elem_size(), 20.0);
  std::vector<ModelElement*> met;
  EXPECT_TRUE(up->foreach_linked_elem([&](const auto& e) {
    met.push_back(e.get());
    return true;
  }));
  EXPECT_EQ(met, (std::vector<ModelElement*>{wide.get(), narrow.get()}));
  // Sides within 0.0001 count as equal: the near one.
  wide->rect.width = 60.00005;
  EXPECT_EQ(up->get_linked_min_side_size_elem(), narrow);
}

TEST(ClsSegment, CompareOrdersParallelSegments)
{
  const auto e1 = RouteBoxForTest::create({0, 0, 80, 80});
  const auto e2 = RouteBoxForTest::create({0, 0, 80, 80});
  // Same form (b-none-none), different near elements: -1 both ways.
  const auto a = seg_of({3, 1}, {3, 5});
  const auto b = seg_of({3, 2}, {3, 6});
  a->start_elem = e1;
  b->start_elem = e2;
  EXPECT_EQ(ClsSegment::cmp(*a, *b), -1);
  EXPECT_EQ(ClsSegment::cmp(*b, *a), -1);
  // Same near, different far elements: 1 both ways.
  b->start_elem = e1;
  a->end_elem = e2;
  EXPECT_EQ(ClsSegment::cmp(*a, *b), 1);
  EXPECT_EQ(ClsSegment::cmp(*b, *a), 1);

  // Same elements, sizes 3 and 5: shorter first up to c-dec-inc, longer
  // first above.
  struct SizeCase {
    CellPos before_a, before_b;
    int want;
  };
  const SizeCase sizes[] = {
      {{1, 2}, {1, 2}, -2}, // l-dec-none
      {{8, 2}, {8, 2}, 2},  // l-inc-none
  };
  for (const SizeCase& c : sizes) {
    const auto sa = chain_through(c.before_a, {5, 2}, {5, 4}, {-1, -1});
    const auto sb = chain_through(c.before_b, {5, 2}, {5, 6}, {-1, -1});
    EXPECT_EQ(ClsSegment::cmp(*sa.middle, *sb.middle), c.want);
    EXPECT_EQ(ClsSegment::cmp(*sb.middle, *sa.middle), -c.want);
    EXPECT_EQ(ClsSegment::cmp(*sa.middle, *sa.middle), 0);
  }

  // l-dec-none with extent 80 against l-none-dec with extent 100.7: the
  // larger extent first, the difference truncated.
  const auto dec_none = chain_through({1, 2}, {5, 2}, {5, 6}, {-1, -1});
  dec_none.middle->end_elem = RouteBoxForTest::create({0, 0, 50, 80});
  const auto none_dec = chain_through({-1, -1}, {5, 2}, {5, 6}, {1, 6});
  none_dec.middle->start_elem = RouteBoxForTest::create({0, 0, 50, 100.7});
  ASSERT_EQ(dec_none.middle->get_form(), ClsSegmentForm::l_dec_none);
  ASSERT_EQ(none_dec.middle->get_form(), ClsSegmentForm::l_none_dec);
  EXPECT_EQ(ClsSegment::cmp(*dec_none.middle, *none_dec.middle), 20);
  EXPECT_EQ(ClsSegment::cmp(*none_dec.middle, *dec_none.middle), -20);

  // l-inc-none against l-none-inc: the smaller extent first.
  const auto inc_none = chain_through({9, 2}, {5, 2}, {5, 6}, {-1, -1});
  inc_none.middle->end_elem = RouteBoxForTest::create({0, 0, 50, 80});
  const auto none_inc = chain_through({-1, -1}, {5, 2}, {5, 6}, {9, 6});
  none_inc.middle->start_elem = RouteBoxForTest::create({0, 0, 50, 80.5});
  EXPECT_EQ(ClsSegment::cmp(*inc_none.middle, *none_inc.middle), 0);
  none_inc.middle->start_elem = RouteBoxForTest::create({0, 0, 50, 95});
  EXPECT_EQ(ClsSegment::cmp(*inc_none.middle, *none_inc.middle), -15);

  // Other pairs of forms: the difference of their values.
  const auto u = chain_through({1, 2}, {5, 2}, {5, 6}, {1, 6});
  const auto free_seg = seg_of({5, 1}, {5, 9});
  EXPECT_EQ(ClsSegment::cmp(*u.middle, *free_seg), 3 - 5);
  EXPECT_EQ(ClsSegment::cmp(*free_seg, *u.middle), 5 - 3);
}

TEST(ClsSegment, RectangleRunsFromTheSmallerEnd)
{
  const auto grid = ModelGrid::create(); // 20 pixels a line
  const auto h = seg_of({4, 2}, {1, 2});
  h->start_point = Point(10, 7);
  h->end_point = Point(5, 7);
  EXPECT_EQ(h->get_rect(*grid), (Rectangle{25, 47, 65, 0}));
  const auto v = seg_of({1, 1}, {1, 3});
  v->start_point = Point(6, 2);
  v->end_point = Point(6, 18);
  EXPECT_EQ(v->get_rect(*grid), (Rectangle{26, 22, 0, 56}));
}

// Segments whose comparisons contradict each other: one form, each with
// elements of its own (every pair compares -1 both ways or 1 both ways),
// mixed with segments of other forms and sizes.
std::vector<SegPtr> contradicting_segments(std::mt19937& rng, size_t n,
                                           std::vector<SegmentChainForTest>& keep)
{
  std::vector<std::shared_ptr<RouteBoxForTest>> boxes;
  for (int i = 0; i < 4; ++i)
    boxes.push_back(RouteBoxForTest::create({0, 0, 10.0 + i, 30.0 + 7 * i}));
  std::vector<SegPtr> segs;
  for (size_t i = 0; i < n; ++i) {
    const int kind = std::uniform_int_distribution<int>(0, 3)(rng);
    const int32_t len = std::uniform_int_distribution<int32_t>(1, 6)(rng);
    const CellPos none{-1, -1};
    SegmentChainForTest c =
        kind == 0   ? chain_through(none, {5, 2}, {5, 2 + len}, none)
        : kind == 1 ? chain_through({1, 2}, {5, 2}, {5, 2 + len}, none)
        : kind == 2 ? chain_through(none, {5, 2}, {5, 2 + len}, {1, 2 + len})
                    : chain_through({9, 2}, {5, 2}, {5, 2 + len}, {9, 2 + len});
    auto pick = std::uniform_int_distribution<int>(0, 4);
    if (int b = pick(rng); b < 4)
      c.middle->start_elem = boxes[b];
    if (int b = pick(rng); b < 4)
      c.middle->end_elem = boxes[b];
    segs.push_back(c.middle);
    keep.push_back(c);
  }
  return segs;
}

TEST(ClsSegment, SortToleratesContradictingComparisons)
{
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    for (size_t n : {0u, 1u, 2u, 3u, 17u, 33u, 200u, 1000u}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " n " + std::to_string(n));
      std::vector<SegmentChainForTest> keep;
      std::vector<SegPtr> segs = contradicting_segments(rng, n, keep);
      std::vector<SegPtr> sorted = segs;
      ClsSegment::sort(sorted);
      ASSERT_EQ(sorted.size(), segs.size());
      std::vector<ClsSegment*> a, b;
      for (const auto& s : segs)
        a.push_back(s.get());
      for (const auto& s : sorted) {
        ASSERT_NE(s, nullptr);
        b.push_back(s.get());
      }
      std::sort(a.begin(), a.end());
      std::sort(b.begin(), b.end());
      EXPECT_EQ(a, b);
    }
  }
}

TEST(ClsSegment, SortIsStableForAConsistentOrder)
{
  // Free segments of one form and one element: they compare by size alone.
  std::mt19937 rng(7);
  std::vector<SegPtr> segs;
  for (int i = 0; i < 300; ++i)
    segs.push_back(seg_of({5, 0}, {5, std::uniform_int_distribution<int32_t>(0, 5)(rng)}));
  std::vector<SegPtr> want = segs;
  std::stable_sort(want.begin(), want.end(),
                   [](const SegPtr& x, const SegPtr& y) { return x->get_size() > y->get_size(); });
  ClsSegment::sort(segs);
  // b-none-none: longer first, equal sizes in the order given.
  EXPECT_EQ(segs, want);
}

} // namespace
} // namespace velkaro
