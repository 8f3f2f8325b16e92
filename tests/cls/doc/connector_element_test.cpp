// Connector elements: the five kinds, routes cut into segments, the labels
// beside the ends, duplication and the document form with its limits.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/abstract_connector_term.h"
#include "cls/doc/aggregation_connector_element.h"
#include "cls/doc/association_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_doc_for_test.h"
#include "cls/doc/composition_connector_element.h"
#include "cls/doc/dependency_connector_element.h"
#include "cls/doc/generalization_connector_element.h"
#include "cls/route/route.h"
#include "cls/route/segment.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

using ConnectorPtr = ClsAbstractConnectorElement::ConnectorPtr;

// A route through the cells, asked from the first to the last.
std::shared_ptr<ClsRoute> connector_route_of(const std::vector<CellPos>& cells)
{
  auto route = ClsRoute::create();
  route->cells = cells;
  if (!cells.empty()) {
    route->start = cells.front();
    route->goal = cells.back();
  }
  return route;
}

// The cells from a to b along a row or a column, both included.
std::vector<CellPos> connector_run(const CellPos& a, const CellPos& b)
{
  std::vector<CellPos> cells{a};
  CellPos p = a;
  while (!(p == b)) {
    p.x += (b.x > p.x) - (b.x < p.x);
    p.y += (b.y > p.y) - (b.y < p.y);
    cells.push_back(p);
  }
  return cells;
}

const char* term_name(const ClsAbstractConnectorElement::TermPtr& t)
{
  return t ? t->get_type_name() : "none";
}

TEST(ClsConnectorElement, NewConnectorsOfEveryKind)
{
  struct Kind {
    const char* type;
    const char* class_name;
    const char* start_term;
    const char* end_term;
  };
  const Kind kinds[] = {
      {"association", "ClsAssociationConnectorElement", "none", "none"},
      {"dependency", "ClsDependencyConnectorElement", "none", "ClsOpenArrowConnectorTerm"},
      {"aggregation", "ClsAggregationConnectorElement", "ClsWhiteDiamondConnectorTerm",
       "ClsOpenArrowConnectorTerm"},
      {"composition", "ClsCompositionConnectorElement", "ClsBlackDiamondConnectorTerm",
       "ClsOpenArrowConnectorTerm"},
      {"generalization", "ClsGeneralizationConnectorElement", "none", "ClsWhiteArrowConnectorTerm"},
  };
  std::vector<std::string> names;
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.type);
    names.emplace_back(k.type);
    const ConnectorPtr c = ClsAbstractConnectorElement::make(k.type);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->get_type_name(), k.class_name);
    EXPECT_STREQ(c->get_serializing_type_name(), k.type);
    EXPECT_STREQ(term_name(c->start_term), k.start_term);
    EXPECT_STREQ(term_name(c->end_term), k.end_term);
    EXPECT_EQ(c->start, (CellPos{-1, -1}));
    EXPECT_EQ(c->end, (CellPos{-1, -1}));
    EXPECT_EQ(c->start_elem, nullptr);
    EXPECT_EQ(c->end_elem, nullptr);
    EXPECT_EQ(c->start_multiplicity->get_text(), "");
    EXPECT_EQ(c->end_multiplicity->get_text(), "");
    EXPECT_TRUE(c->get_segments().empty());
    EXPECT_TRUE(c->get_is_laid_out());
    EXPECT_EQ(c->get_rect(), Rectangle{});
    EXPECT_EQ(c->get_grid(), nullptr);
    EXPECT_FALSE(c->focus);
    // Each connector has terms of its own.
    const ConnectorPtr other = ClsAbstractConnectorElement::make(k.type);
    if (c->end_term) {
      EXPECT_NE(c->end_term, other->end_term);
    }
  }
  EXPECT_EQ(ClsAbstractConnectorElement::type_names(), names);
  EXPECT_EQ(ClsAbstractConnectorElement::make("Association"), nullptr);
  EXPECT_EQ(ClsAbstractConnectorElement::make(""), nullptr);
}

TEST(ClsConnectorElement, OneStraightRunCarriesBothEnds)
{
  const auto c = ClsAggregationConnectorElement::create();
  const auto a = ClsClassElement::create();
  const auto b = ClsClassElement::create();
  c->start_elem = a;
  c->end_elem = b;
  c->update_route(*connector_route_of(connector_run({2, 3}, {6, 3})));
  EXPECT_EQ(c->start, (CellPos{2, 3}));
  EXPECT_EQ(c->end, (CellPos{6, 3}));
  ASSERT_EQ(c->get_segments().size(), 1u);
  const auto& s = c->get_segments().front();
  EXPECT_EQ(s->start_elem, a);
  EXPECT_EQ(s->end_elem, b);
  EXPECT_EQ(s->start_term, c->start_term);
  EXPECT_EQ(s->end_term, c->end_term);
  EXPECT_EQ(s->connector.lock(), c);
  EXPECT_FALSE(c->get_is_laid_out());
  c->set_is_laid_out(true);
  EXPECT_TRUE(s->is_laid_out);
}

TEST(ClsConnectorElement, TurningRouteHandsEndsToFirstAndLastSegment)
{
  const auto c = ClsGeneralizationConnectorElement::create();
  const auto a = ClsClassElement::create();
  c->start_elem = a;
  std::vector<CellPos> cells = connector_run({1, 1}, {1, 4});
  for (const CellPos& p : connector_run({2, 4}, {5, 4}))
    cells.push_back(p);
  for (const CellPos& p : connector_run({5, 5}, {5, 7}))
    cells.push_back(p);
  c->update_route(*connector_route_of(cells));
  const auto& segs = c->get_segments();
  ASSERT_EQ(segs.size(), 3u);
  EXPECT_EQ(segs[0]->start_elem, a);
  EXPECT_EQ(segs[0]->start_term, nullptr);
  EXPECT_EQ(segs[0]->end_term, nullptr);
  EXPECT_EQ(segs[1]->start_elem, nullptr);
  EXPECT_EQ(segs[1]->end_elem, nullptr);
  EXPECT_EQ(segs[2]->end_elem, nullptr);
  EXPECT_EQ(segs[2]->end_term, c->end_term);
  for (const auto& s : segs)
    EXPECT_EQ(s->connector.lock(), c);
  EXPECT_EQ(c->get_udlr_from_term(StartOrEnd::start), MovingDir::down);
  EXPECT_EQ(c->get_udlr_from_term(StartOrEnd::end), MovingDir::up);

  // A route of one cell (the goal alone) leaves no segments; the cells
  // asked for are still taken.
  auto single = ClsRoute::create();
  single->start = {1, 1};
  single->goal = {8, 8};
  single->cells = {{8, 8}};
  c->update_route(*single);
  EXPECT_TRUE(c->get_segments().empty());
  EXPECT_EQ(c->start, (CellPos{1, 1}));
  EXPECT_EQ(c->end, (CellPos{8, 8}));
}

TEST(ClsConnectorElement, EndsAtACell)
{
  const auto c = ClsAssociationConnectorElement::create();
  c->start = {2, 2};
  c->end = {5, 2};
  StartOrEnd se = StartOrEnd::end;
  EXPECT_TRUE(c->get_start_or_end_at({2, 2}, &se));
  EXPECT_EQ(se, StartOrEnd::start);
  EXPECT_TRUE(c->get_start_or_end_at({5, 2}, &se));
  EXPECT_EQ(se, StartOrEnd::end);
  EXPECT_FALSE(c->get_start_or_end_at({3, 2}, &se));
  EXPECT_EQ(se, StartOrEnd::start);
  c->end = c->start;
  EXPECT_TRUE(c->get_start_or_end_at({2, 2}, &se));
  EXPECT_EQ(se, StartOrEnd::start);
}

TEST(ClsConnectorElement, DirectionsAndPositionsAtTheEnds)
{
  const auto c = ClsDependencyConnectorElement::create();
  c->update_route(*connector_route_of(connector_run({2, 3}, {6, 3})));
  EXPECT_EQ(c->get_udlr_from_term(StartOrEnd::start), MovingDir::right);
  EXPECT_EQ(c->get_udlr_from_term(StartOrEnd::end), MovingDir::left);
  c->get_segments().front()->set_pos(12.5);
  EXPECT_EQ(c->get_pos_at_term(StartOrEnd::start), 12.5);
  EXPECT_EQ(c->get_pos_at_term(StartOrEnd::end), 12.5);

  const auto bare = ClsDependencyConnectorElement::create();
  test::LogCapture log;
  EXPECT_EQ(bare->get_udlr_from_term(StartOrEnd::end), MovingDir::up);
  EXPECT_EQ(bare->get_pos_at_term(StartOrEnd::start), 0.0);
  EXPECT_EQ(log.warnings,
            (test::LogCapture::Lines{
                "element:591: The argument 'se' is invalid or the property 'segs' is empty",
                "element:612: The argument 'se' is invalid or the property 'segs' is empty"}));
}

TEST(ClsConnectorElement, LabelCornersBesideTheEnds)
{
  struct Case {
    StartOrEnd se;
    MovingDir d;
    Point corner;
  };
  // A label 20 wide and 18 high at (50, 40).
  const Case cases[] = {
      {StartOrEnd::start, MovingDir::right, {60, 23}}, {StartOrEnd::start, MovingDir::up, {20, 7}},
      {StartOrEnd::start, MovingDir::down, {20, 37}},  {StartOrEnd::start, MovingDir::left, {20, 37}},
      {StartOrEnd::end, MovingDir::left, {60, 40}},    {StartOrEnd::end, MovingDir::right, {15, 22}},
      {StartOrEnd::end, MovingDir::up, {20, 37}},      {StartOrEnd::end, MovingDir::down, {20, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(start_or_end_to_string(c.se) + " " + moving_dir_to_string(c.d));
    EXPECT_EQ(ClsAbstractConnectorElement::label_corner(c.se, Point(50, 40), c.d, 20, 18),
              c.corner);
  }
}

TEST(ClsConnectorElement, LayoutPlacesBothLabels)
{
  const auto c = ClsAssociationConnectorElement::create();
  c->start_multiplicity->set_text("0..*");
  c->end_multiplicity->set_text("1");
  c->layout({});
  EXPECT_EQ(c->get_label_box(StartOrEnd::start), Rectangle{});

  std::vector<CellPos> cells = connector_run({2, 2}, {6, 2});
  for (const CellPos& p : connector_run({6, 3}, {6, 5}))
    cells.push_back(p);
  c->update_route(*connector_route_of(cells));
  const auto& segs = c->get_segments();
  ASSERT_EQ(segs.size(), 2u);
  segs[0]->start_point = Point(30, 12);
  segs[1]->end_point = Point(14, 4);
  c->layout({});
  const Rectangle s = c->start_multiplicity->get_rect();
  const Rectangle e = c->end_multiplicity->get_rect();
  ASSERT_GT(s.width, 0.0);
  EXPECT_EQ(c->get_label_box(StartOrEnd::start),
            (Rectangle{30 + 10, 12 - 17, s.width, s.height}));
  EXPECT_EQ(c->get_label_box(StartOrEnd::end),
            (Rectangle{14 - e.width - 10, 4 - e.height - 15, e.width, e.height}));
  // The label's text lies in its box.
  EXPECT_DOUBLE_EQ(c->start_multiplicity->get_pango_layout_offset().get_x(), 40);

  // Without segments the labels stay where they were.
  c->update_route(*ClsRoute::create());
  c->layout({});
  EXPECT_EQ(c->get_label_box(StartOrEnd::start),
            (Rectangle{30 + 10, 12 - 17, s.width, s.height}));
}

TEST(ClsConnectorElement, DuplicateSharesSegmentsAndOwnsTermsAndLabels)
{
  auto c = ClsCompositionConnectorElement::create();
  const auto a = ClsClassElement::create();
  const auto grid = ModelGrid::create();
  c->start_elem = a;
  c->set_grid(grid);
  c->end_multiplicity->set_text("*");
  c->update_route(*connector_route_of(connector_run({2, 3}, {2, 6})));
  const auto d = std::dynamic_pointer_cast<ClsCompositionConnectorElement>(c->dup());
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->start, c->start);
  EXPECT_EQ(d->end, c->end);
  EXPECT_EQ(d->start_elem, a);
  EXPECT_EQ(d->get_grid(), grid);
  EXPECT_EQ(d->get_segments(), c->get_segments());
  ASSERT_NE(d->start_term, nullptr);
  EXPECT_NE(d->start_term, c->start_term);
  EXPECT_STREQ(d->start_term->get_type_name(), "ClsBlackDiamondConnectorTerm");
  EXPECT_NE(d->end_multiplicity, c->end_multiplicity);
  d->end_multiplicity->set_text("0..1");
  EXPECT_EQ(c->end_multiplicity->get_text(), "*");

  // The shared segments live while either connector holds them, and go
  // with the last one.
  std::vector<std::weak_ptr<ClsSegment>> segs(c->get_segments().begin(), c->get_segments().end());
  std::weak_ptr<ClsAbstractConnectorElement> gone = c;
  c.reset();
  EXPECT_TRUE(gone.expired());
  for (const auto& s : segs)
    EXPECT_FALSE(s.expired());
  EXPECT_EQ(d->get_segments().front()->start_elem, a);
  d->update_route(*ClsRoute::create());
  for (const auto& s : segs)
    EXPECT_TRUE(s.expired());
}

// --- document form -------------------------------------------------------------------

std::string connector_file_text(ClsAbstractConnectorElement& c)
{
  return test::cls_written_file_text([&](SerializingWriter& w) { (void)c.write(w); });
}

// Reads the first connector of text into a new association; null when the
// read fails (error then holds why).
ConnectorPtr connector_read_from(const std::string& text, std::string* error = nullptr)
{
  test::ClsFileReaderForTest file(text);
  const ConnectorPtr c = ClsAssociationConnectorElement::create();
  const bool ok = c->read(*file.reader);
  if (error)
    *error = file.reader->get_error();
  return ok ? c : nullptr;
}

TEST(ClsConnectorElement, WrittenWithItsTypeCellsAndLabels)
{
  const auto c = ClsAssociationConnectorElement::create();
  c->start = {2, 3};
  c->end = {6, 3};
  const std::string plain = connector_file_text(*c);
  EXPECT_EQ(plain, test::cls_xml_head() +
                       "<connector type=\"association\">\n <start h=\"2\" v=\"3\"/>\n"
                       " <end h=\"6\" v=\"3\"/>\n</connector>\n");
  const auto back = connector_read_from(plain);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->start, (CellPos{2, 3}));
  EXPECT_EQ(back->end, (CellPos{6, 3}));
  EXPECT_EQ(back->end_multiplicity->get_text(), "");

  const auto g = ClsGeneralizationConnectorElement::create();
  g->start = {-1, -1};
  g->end = {65535, 0};
  g->start_multiplicity->set_text("0..* \"many\"");
  const std::string labelled = connector_file_text(*g);
  EXPECT_EQ(labelled, test::cls_xml_head() +
                          "<connector type=\"generalization\">\n"
                          " <start h=\"-1\" v=\"-1\" multiplicity=\"0..* &quot;many&quot;\"/>\n"
                          " <end h=\"65535\" v=\"0\"/>\n</connector>\n");
  const auto g_back = connector_read_from(labelled);
  ASSERT_NE(g_back, nullptr);
  EXPECT_EQ(g_back->start, (CellPos{-1, -1}));
  EXPECT_EQ(g_back->end, (CellPos{65535, 0}));
  EXPECT_EQ(g_back->start_multiplicity->get_text(), "0..* \"many\"");
}

TEST(ClsConnectorElement, ReadingTakesLeadingIntegersAndDefaults)
{
  struct Case {
    const char* what;
    const char* text;
    CellPos start;
    CellPos end;
    const char* end_label;
  };
  const Case cases[] = {
      {"no h reads as column 0", "<connector><start v=\"4\"/><end h=\"1\" v=\"2\"/></connector>",
       {0, 4}, {1, 2}, ""},
      {"no children: both ends nowhere", "<connector type=\"association\"/>", {-1, -1}, {-1, -1}, ""},
      {"leading integers", "<connector><start h=\"7px\" v=\" 3\"/><end h=\"x\" v=\"+2\" "
                           "multiplicity=\"1\"/></connector>",
       {7, 3}, {0, 2}, "1"},
      {"other children are passed over",
       "<doc><connector><note/><start h=\"1\" v=\"1\"/><end h=\"2\" v=\"1\"/></connector></doc>",
       {1, 1}, {2, 1}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string error;
    const auto r = connector_read_from(c.text, &error);
    ASSERT_NE(r, nullptr) << error;
    EXPECT_EQ(r->start, c.start);
    EXPECT_EQ(r->end, c.end);
    EXPECT_EQ(r->start_multiplicity->get_text(), "");
    EXPECT_EQ(r->end_multiplicity->get_text(), c.end_label);
  }
}

TEST(ClsConnectorElement, ReadingRefusesEndsOutsideTheGrid)
{
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"<connector>\n<start h=\"65536\" v=\"0\"/></connector>",
       "line 2: <start> of a connector lies at (65536, 0), outside the grid"},
      {"<connector>\n<start h=\"1\" v=\"1\"/>\n<end h=\"3\" v=\"-2\"/></connector>",
       "line 3: <end> of a connector lies at (3, -2), outside the grid"},
      {"<connector>\n<end h=\"99999999999\" v=\"1\"/></connector>",
       "line 2: \"h\" of <end> does not fit in 32 bits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_EQ(connector_read_from(c.text, &error), nullptr);
    EXPECT_EQ(error, c.message);
  }
  std::string huge(ModelTextElement::MAX_BYTES + 1, 'x');
  std::string error;
  EXPECT_EQ(connector_read_from("<connector><start multiplicity=\"" + huge + "\"/></connector>", &error),
            nullptr);
  EXPECT_NE(error.find("a multiplicity holds more than"), std::string::npos) << error;
}

} // namespace
} // namespace velkaro
