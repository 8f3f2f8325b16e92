#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/abstract_connector_term.h"
#include "cls/doc/black_diamond_connector_term.h"
#include "cls/doc/open_arrow_connector_term.h"
#include "cls/doc/white_arrow_connector_term.h"
#include "cls/doc/white_diamond_connector_term.h"
#include "cls/route/related_segments.h"
#include "cls/route/route_kit_for_test.h"
#include "cls/route/segment.h"
#include "model/grid.h"

namespace velkaro {
namespace {

struct TermKindForTest {
  const char* name;
  std::shared_ptr<ClsAbstractConnectorTerm> (*make)();
  int32_t setback;
};

template <class Kind>
std::shared_ptr<ClsAbstractConnectorTerm> term_of_kind()
{
  return Kind::create();
}

const TermKindForTest term_kinds[] = {
    {"ClsWhiteArrowConnectorTerm", term_of_kind<ClsWhiteArrowConnectorTerm>, 16},
    {"ClsOpenArrowConnectorTerm", term_of_kind<ClsOpenArrowConnectorTerm>, 0},
    {"ClsWhiteDiamondConnectorTerm", term_of_kind<ClsWhiteDiamondConnectorTerm>, 16},
    {"ClsBlackDiamondConnectorTerm", term_of_kind<ClsBlackDiamondConnectorTerm>, 16},
};

TEST(ClsConnectorTerm, NewTermsOfEveryKind)
{
  for (const TermKindForTest& k : term_kinds) {
    SCOPED_TRACE(k.name);
    const auto term = k.make();
    EXPECT_STREQ(term->get_type_name(), k.name);
    EXPECT_EQ(term->get_term_point(), Point(0, 0));
    EXPECT_EQ(term->get_udlr(), MovingDir::up);
    EXPECT_EQ(term->get_rect(), Rectangle{});
    EXPECT_EQ(term->get_width_at_upper(), 8);
    EXPECT_EQ(term->get_height_at_upper(), 16);
    EXPECT_EQ(term->get_seg_term_setback(), k.setback);
  }
}

TEST(ClsConnectorTerm, LaidOutOnASegmentEnd)
{
  struct Case {
    const char* name;
    CellPos start, end;
    bool is_end;
    Point point;
    MovingDir udlr;
    Rectangle rect;
  };
  const Case cases[] = {
      {"end of a segment running down", {2, 1}, {2, 6}, true, {100, 50}, MovingDir::down,
       {96, 34, 8, 16}},
      {"start of a segment running right", {1, 3}, {6, 3}, false, {20, 30}, MovingDir::left,
       {20, 26, 16, 8}},
      {"end of a segment running up", {2, 6}, {2, 1}, true, {10, 0}, MovingDir::up,
       {6, 0, 8, 16}},
      {"start of a segment running up", {2, 6}, {2, 1}, false, {10, 40}, MovingDir::down,
       {6, 24, 8, 16}},
      {"end of a segment running left", {6, 3}, {1, 3}, true, {0, 12}, MovingDir::left,
       {0, 8, 16, 8}},
      {"end of a segment running right", {1, 3}, {6, 3}, true, {20, 12}, MovingDir::right,
       {4, 8, 16, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto seg = ClsSegment::create(c.start, c.end, nullptr, nullptr);
    (c.is_end ? seg->end_point : seg->start_point) = c.point;
    const auto term = ClsWhiteArrowConnectorTerm::create();
    term->layout_by_segment(*seg, c.is_end);
    EXPECT_EQ(term->get_udlr(), c.udlr);
    EXPECT_EQ(term->get_rect(), c.rect);
    EXPECT_EQ(term->get_term_point(), c.point);
    // The term keeps its own point.
    (c.is_end ? seg->end_point : seg->start_point).set_x(-7);
    EXPECT_EQ(term->get_term_point(), c.point);
  }
}

TEST(ClsConnectorTerm, RectangleOfAShape)
{
  const auto term = ClsOpenArrowConnectorTerm::create();
  const Point p(50, 60);
  EXPECT_EQ(term->calc_rect(p, MovingDir::up), (Rectangle{46, 44, 8, 16}));
  EXPECT_EQ(term->calc_rect(p, MovingDir::down), (Rectangle{46, 60, 8, 16}));
  EXPECT_EQ(term->calc_rect(p, MovingDir::left), (Rectangle{34, 56, 16, 8}));
  EXPECT_EQ(term->calc_rect(p, MovingDir::right), (Rectangle{50, 56, 16, 8}));
  EXPECT_EQ(term->calc_rect(p, static_cast<MovingDir>(9)), Rectangle{});
}

TEST(ClsConnectorTerm, DuplicatesKeepTheLayoutWithAPointOfTheirOwn)
{
  for (const TermKindForTest& k : term_kinds) {
    SCOPED_TRACE(k.name);
    const auto term = k.make();
    const auto seg = ClsSegment::create({1, 3}, {6, 3}, nullptr, nullptr);
    seg->end_point = Point(30, 12);
    term->layout_by_segment(*seg, true);
    const auto copy = term->dup();
    EXPECT_STREQ(copy->get_type_name(), k.name);
    EXPECT_EQ(copy->get_udlr(), MovingDir::right);
    EXPECT_EQ(copy->get_rect(), term->get_rect());
    EXPECT_EQ(copy->get_term_point(), Point(30, 12));
    EXPECT_NE(&copy->get_term_point(), &term->get_term_point());
    // Laying the copy out elsewhere leaves the source where it was.
    seg->start_point = Point(5, 5);
    copy->layout_by_segment(*seg, false);
    EXPECT_EQ(copy->get_term_point(), Point(5, 5));
    EXPECT_EQ(term->get_term_point(), Point(30, 12));
    EXPECT_EQ(term->get_udlr(), MovingDir::right);
  }
}

// The segment layout lays the start term out on the element's edge, then
// pulls the line back by the setback.
TEST(ClsConnectorTerm, TheLineStopsShortOfTheElementByTheSetback)
{
  for (const TermKindForTest& k : term_kinds) {
    SCOPED_TRACE(k.name);
    const auto grid = ModelGrid::create();
    grid->h->set_size(3, 100);
    grid->v->set_size(2, 60);
    const auto box = test::RouteBoxForTest::create({10, 8, 80, 44});
    const auto seg = ClsSegment::create({3, 2}, {3, 7}, nullptr, nullptr);
    seg->start_elem = box;
    seg->start_term = k.make();
    seg->end_term = k.make();
    ClsRelatedSegments::create({seg}, seg, grid)->layout();
    // Leaving the box downwards: the tip on its bottom edge, pointing up
    // into it.
    EXPECT_EQ(seg->start_term->get_term_point(), Point(seg->get_pos(), 52));
    EXPECT_EQ(seg->start_term->get_udlr(), MovingDir::up);
    EXPECT_EQ(seg->start_point.get_y(), 52 + k.setback);
    // The free end: the middle of its cell, pulled back upwards.
    EXPECT_EQ(seg->end_term->get_term_point(), Point(seg->get_pos(), 10));
    EXPECT_EQ(seg->end_term->get_udlr(), MovingDir::down);
    EXPECT_EQ(seg->end_point.get_y(), 10 - k.setback);
  }
}

} // namespace
} // namespace velkaro
