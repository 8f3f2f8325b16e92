// The connectors on real images: lines segment by segment, the end shapes
// of each kind where the terms lie, a focused connector twice as wide in
// its own colour, a connector without segments, the floating connector, and
// connectors drawn exactly when what they paint meets the update rectangle.

#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <utility>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/abstract_connector_end_drawer.h"
#include "cls/cls_draw_for_test.h"
#include "cls/connector_drawer_base.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/route/segment.h"
#include "cls/single_text_drawer.h"
#include "model/text_element.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

Rectangle whole_image(ClsDrawKit& kit) { return {0, 0, kit.cell(9, 9).get_right(), kit.cell(9, 9).get_bottom()}; }

Point canvas_point(ClsDrawKit& kit, const Point& p, const CellPos& cell)
{
  const Point c = kit.ws->grid->get_top_left_point(cell);
  return Point(p.get_x() + c.get_x(), p.get_y() + c.get_y());
}

// The middle of con's first segment, in canvas units.
Point middle_of_first(ClsDrawKit& kit, const ClsAbstractConnectorElement& con)
{
  const auto& s = *con.get_segments().front();
  const Point a = canvas_point(kit, s.start_point, s.start);
  const Point b = canvas_point(kit, s.end_point, s.end);
  return Point((a.get_x() + b.get_x()) / 2, (a.get_y() + b.get_y()) / 2);
}

// Where unit point (u, v) of a term's shape lies on the canvas.
Point on_term(ClsDrawKit& kit, const ClsIConnectorTerm& term, const CellPos& cell, double u, double v)
{
  return ClsAbstractConnectorEndDrawer::place({{u, v}}, term.get_width_at_upper(), term.get_height_at_upper(),
                                              canvas_point(kit, term.get_term_point(), cell), term.get_udlr())[0];
}

// The shape a term draws, read from the image: "open", "triangle",
// "hollow diamond", "filled diamond" or "none".
std::string shape_at(ClsDrawKit& kit, const ClsProbe& p, const ClsIConnectorTerm* term, const CellPos& cell)
{
  if (!term)
    return "none";
  const auto inked = [&](double u, double v) {
    const Point q = on_term(kit, *term, cell, u, v);
    return p.spot(q.get_x(), q.get_y()) >= 0.4;
  };
  const auto clear = [&](double u, double v) {
    const Point q = on_term(kit, *term, cell, u, v);
    return p.ink(q.get_x(), q.get_y()) <= 0.05;
  };
  if (inked(-0.5, 0.5) && inked(0.5, 0.5) && inked(0, 1)) {
    // The side corners of a diamond; its inside tells the kind.
    if (clear(0.25, 0.5) && clear(-0.25, 0.5))
      return "hollow diamond";
    if (!clear(0.25, 0.5) && !clear(-0.25, 0.5))
      return "filled diamond";
    return "diamond?";
  }
  if (inked(-0.25, 0.5) && inked(0.25, 0.5)) {
    // The wings of an arrow; its base tells the kind.
    if (inked(-0.3, 1) && inked(0.3, 1))
      return "triangle";
    if (clear(-0.3, 1) && clear(0.3, 1))
      return "open";
    return "arrow?";
  }
  return "unknown";
}

TEST(ClsConnectorDrawer, EachKindShowsItsEndShapesWhereItsTermsLie)
{
  struct Case {
    const char* type;
    const char* start;
    const char* end;
  };
  const Case cases[] = {
    {"association", "none", "none"},
    {"dependency", "none", "open"},
    {"aggregation", "hollow diamond", "open"},
    {"composition", "filled diamond", "open"},
    {"generalization", "none", "triangle"},
  };
  for (const bool vertical : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.type) + (vertical ? " down" : " across"));
      ClsDrawKit kit;
      cls_put_class(*kit.ws, 1, 1, "A");
      const CellPos b = vertical ? CellPos{1, 5} : CellPos{5, 1};
      cls_put_class(*kit.ws, b.x, b.y, "B");
      const auto con = cls_draw(*kit.ws, c.type, {1, 1}, b);
      ASSERT_TRUE(con);
      ASSERT_FALSE(con->get_segments().empty());
      const ClsProbe p{kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(kit))};
      const Point m = middle_of_first(kit, *con);
      EXPECT_GE(p.spot(m.get_x(), m.get_y()), 0.4) << "the line";
      EXPECT_EQ(shape_at(kit, p, con->start_term.get(), con->start), c.start);
      EXPECT_EQ(shape_at(kit, p, con->end_term.get(), con->end), c.end);
      if (!con->end_term) {
        // Nothing beside the line at its ends.
        const auto& last = *con->get_segments().back();
        const Point e = canvas_point(kit, last.end_point, last.end);
        const double dx = vertical ? 4 : 0, dy = vertical ? 0 : 4;
        EXPECT_LE(p.ink(e.get_x() + dx, e.get_y() + dy), 0.05);
        EXPECT_LE(p.ink(e.get_x() - dx, e.get_y() - dy), 0.05);
      }
    }
  }
}

TEST(ClsConnectorDrawer, AFocusedConnectorIsTwiceAsWideInTheActiveConnectorColourEndShapesToo)
{
  ClsDrawKit kit;
  for (const int32_t y : {1, 4}) {
    cls_put_class(*kit.ws, 1, y, "A");
    cls_put_class(*kit.ws, 5, y, "B");
  }
  const auto plain = cls_draw(*kit.ws, "composition", {1, 1}, {5, 1});
  const auto focused = cls_draw(*kit.ws, "composition", {1, 4}, {5, 4});
  focused->focus = true;
  const auto image = kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(kit));
  const ClsProbe p{image};
  const Point mp = middle_of_first(kit, *plain);
  const Point mf = middle_of_first(kit, *focused);
  ASSERT_EQ(plain->get_segments().front()->get_hv(), CellDir::h);
  ASSERT_EQ(focused->get_segments().front()->get_hv(), CellDir::h);
  EXPECT_NEAR(p.width_h(mp.get_x(), mp.get_y()), 1.0, 0.15);
  EXPECT_NEAR(p.width_h(mf.get_x(), mf.get_y()), 2.0, 0.2);
  // #880 is yellow; element_line is black.
  const auto colour = [&](const Point& q) {
    Pixel most{255, 255, 255, 255};
    for (int j = -2; j <= 2; ++j) {
      const Pixel px = pixel_at(image, int(q.get_x()), int(std::floor(q.get_y())) + j);
      if (px.b < most.b)
        most = px;
    }
    return most;
  };
  const Pixel line_f = colour(mf), line_p = colour(mp);
  EXPECT_GT(line_f.r - line_f.b, 60) << line_f;
  EXPECT_LE(std::abs(line_p.r - line_p.b), 2) << line_p;
  // The filled diamond at the focused connector's start, in its colour.
  const Point inside = on_term(kit, *focused->start_term, focused->start, 0, 0.5);
  const Pixel d = pixel_at(image, int(inside.get_x()), int(inside.get_y()));
  EXPECT_TRUE(near(d, rgb(136, 136, 0), 3)) << d;
  // Its wing, 2.0 wide.
  const Point wing_a = on_term(kit, *focused->end_term, focused->end, -0.25, 0.5);
  const Point wing_b = on_term(kit, *plain->end_term, plain->end, -0.25, 0.5);
  EXPECT_GT(p.width_h(wing_a.get_x(), wing_a.get_y()), p.width_h(wing_b.get_x(), wing_b.get_y()) * 1.5);
}

TEST(ClsConnectorDrawer, AnExportDrawsAFocusedConnectorAsAnyOther)
{
  ClsDrawKit kit;
  cls_put_class(*kit.ws, 1, 1, "A");
  cls_put_class(*kit.ws, 5, 1, "B");
  const auto con = cls_draw(*kit.ws, "dependency", {1, 1}, {5, 1});
  const auto before = kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(kit));
  con->focus = true;
  const auto exported = kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(kit),
                                 ViewColorMap::create_light(), std::nullopt, false);
  const Rectangle all = whole_image(kit);
  for (int y = 0; y < int(all.height); ++y)
    for (int x = 0; x < int(all.width); ++x)
      ASSERT_EQ(pixel_at(exported, x, y), pixel_at(before, x, y)) << x << ", " << y;
}

TEST(ClsConnectorDrawer, AConnectorWithoutSegmentsDrawsOnlyItsTermsAtItsCells)
{
  ClsDrawKit kit;
  const auto con = ClsAbstractConnectorElement::make("generalization");
  con->start = {1, 1};
  con->end = {4, 2};
  con->end_multiplicity->set_text("0..*");
  kit.ws->get_connectors()->add(con);
  const auto image = kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(kit));
  const ClsProbe p{image};
  // A new term points up with its tip at its cell's corner.
  EXPECT_EQ(shape_at(kit, p, con->end_term.get(), con->end), "triangle");
  const Rectangle shape = {kit.cell(4, 2).x - 6, kit.cell(4, 2).y - 2, 12, 20};
  EXPECT_EQ(p.inked(whole_image(kit)), p.inked(shape)) << "nothing but the shape";
}

TEST(ClsConnectorDrawer, TheFloatingDrawerDrawsTheConnectorBeingDrawnAndTheFixedOneDoesNot)
{
  ClsDrawKit kit;
  cls_put_class(*kit.ws, 1, 1, "A");
  cls_put_class(*kit.ws, 5, 1, "B");
  const ClsProbe none{kit.draw({std::make_shared<ClsFloatingConnectorDrawer>()}, whole_image(kit))};
  EXPECT_EQ(none.inked(whole_image(kit)), 0);
  ASSERT_TRUE(kit.ws->new_floating_connector({1, 1}, "dependency"));
  ASSERT_TRUE(kit.ws->update_floating_connector({5, 1}));
  const auto floating = kit.ws->get_floating_connector();
  ASSERT_FALSE(floating->get_segments().empty());
  const Point m = middle_of_first(kit, *floating);
  const ClsProbe f{kit.draw({std::make_shared<ClsFloatingConnectorDrawer>()}, whole_image(kit))};
  EXPECT_GE(f.spot(m.get_x(), m.get_y()), 0.4);
  EXPECT_EQ(shape_at(kit, f, floating->end_term.get(), floating->end), "open");
  const ClsProbe fixed{kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(kit))};
  EXPECT_EQ(fixed.inked(whole_image(kit)), 0);
}

TEST(ClsConnectorDrawer, EveryConnectorDrawerSharesTheTableTheLatestConstructionMade)
{
  const auto first = std::make_shared<ClsFixedConnectorDrawer>();
  const auto table = ClsConnectorDrawerBase::get_end_drawers();
  EXPECT_EQ(table->size(), 4u);
  const auto second = std::make_shared<ClsFloatingConnectorDrawer>();
  EXPECT_NE(ClsConnectorDrawerBase::get_end_drawers(), table);
  EXPECT_EQ(ClsConnectorDrawerBase::get_end_drawers()->size(), 4u);
  // Both draw the same shapes afterwards.
  ClsDrawKit kit;
  cls_put_class(*kit.ws, 1, 1, "A");
  cls_put_class(*kit.ws, 5, 1, "B");
  const auto con = cls_draw(*kit.ws, "aggregation", {1, 1}, {5, 1});
  const ClsProbe p{kit.draw({first}, whole_image(kit))};
  EXPECT_EQ(shape_at(kit, p, con->start_term.get(), con->start), "hollow diamond");
  EXPECT_EQ(shape_at(kit, p, con->end_term.get(), con->end), "open");
}

// --- Drawing stays local ------------------------------------------------------

// Two connectors far apart; the update rectangle meets the first one's line
// only.
struct TwoConnectors {
  TwoConnectors()
  {
    for (const int32_t y : {1, 7}) {
      cls_put_class(*kit.ws, 1, y, "A");
      cls_put_class(*kit.ws, 6, y, "B");
    }
    near_one = cls_draw(*kit.ws, "composition", {1, 1}, {6, 1});
    far_one = cls_draw(*kit.ws, "generalization", {1, 7}, {6, 7});
  }

  ClsDrawKit kit;
  std::shared_ptr<ClsAbstractConnectorElement> near_one;
  std::shared_ptr<ClsAbstractConnectorElement> far_one;
};

TEST(ClsConnectorDrawerRegion, OnlyConnectorsMeetingTheUpdateRectangleAreDrawnAndThoseWhole)
{
  TwoConnectors t;
  const Point m = middle_of_first(t.kit, *t.near_one);
  const Rectangle update{std::floor(m.get_x()) - 2, std::floor(m.get_y()) - 2, 4, 4};
  const ClsProbe p{t.kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(t.kit),
                              ViewColorMap::create_light(), update)};
  // The near one whole: its diamond and arrow far outside the rectangle.
  EXPECT_EQ(shape_at(t.kit, p, t.near_one->start_term.get(), t.near_one->start), "filled diamond");
  EXPECT_EQ(shape_at(t.kit, p, t.near_one->end_term.get(), t.near_one->end), "open");
  // The far one not at all.
  const Rectangle far_rows{0, t.kit.cell(0, 5).y, whole_image(t.kit).width, whole_image(t.kit).get_bottom()};
  EXPECT_EQ(p.inked(far_rows), 0);
}

TEST(ClsConnectorDrawerRegion, AnEndShapeOrALabelAloneMeetingTheRectangleDrawsItsConnector)
{
  TwoConnectors t;
  t.near_one->end_multiplicity->set_text("0..*");
  t.kit.ws->update_layout_all();
  const Point m = middle_of_first(t.kit, *t.near_one);
  // The tip of the end arrow, beyond the line's end: the arrow is drawn
  // over the line's last pixels, so the rectangle sits at the tip.
  const auto& term = *t.near_one->end_term;
  const Point tip = canvas_point(t.kit, term.get_term_point(), t.near_one->end);
  const Rectangle at_tip{std::floor(tip.get_x()), std::floor(tip.get_y()), 1, 1};
  // The label's far corner.
  const auto& last = *t.near_one->get_segments().back();
  Rectangle label = t.near_one->end_multiplicity->get_pango_layout_rect();
  const Point corner = t.kit.ws->grid->get_top_left_point(last.end);
  label.x += corner.get_x();
  label.y += corner.get_y();
  Rectangle line_box;
  {
    // The box of the line alone, widened as the drawer widens it.
    const Point a = canvas_point(t.kit, t.near_one->get_segments().front()->start_point,
                                 t.near_one->get_segments().front()->start);
    const Point b = canvas_point(t.kit, last.end_point, last.end);
    line_box = Rectangle{std::min(a.get_x(), b.get_x()) - 2, std::min(a.get_y(), b.get_y()) - 2,
                         std::abs(a.get_x() - b.get_x()) + 4, std::abs(a.get_y() - b.get_y()) + 4};
  }
  const double lx = label.x < line_box.x ? label.x : label.get_right() - 1;
  const double ly = label.get_bottom() > line_box.get_bottom() ? label.get_bottom() - 1 : label.y;
  const Rectangle at_label{std::floor(lx), std::floor(ly), 1, 1};
  ASSERT_FALSE(at_label.is_intersect(line_box)) << "the label lies beside the line";
  for (const Rectangle& update : {at_tip, at_label}) {
    SCOPED_TRACE(cls_rect_text(update));
    const ClsProbe p{t.kit.draw({std::make_shared<ClsFixedConnectorDrawer>()}, whole_image(t.kit),
                                ViewColorMap::create_light(), update)};
    EXPECT_GE(p.spot(m.get_x(), m.get_y()), 0.4) << "the line, far from the rectangle";
    EXPECT_GT(p.inked(label), 5) << "the label";
  }
}

// The box of everything a connector paints, made plainly: one rectangle per
// point, end shape corner and label, combined one by one.
std::optional<Rectangle> plain_drawn_box(const ClsAbstractConnectorElement& con, const ModelGrid& grid)
{
  std::optional<Rectangle> box;
  const auto grow = [&box](const Rectangle& r) { box = box ? box->combine(r) : r; };
  const auto at = [&grid](const Point& p, const CellPos& cell) {
    const Point c = grid.get_top_left_point(cell);
    return Rectangle{p.get_x() + c.get_x(), p.get_y() + c.get_y(), 0, 0};
  };
  const auto& segments = con.get_segments();
  for (const auto& s : segments) {
    grow(at(s->start_point, s->start));
    grow(at(s->end_point, s->end));
  }
  for (const auto& [term, cell] : {std::pair{con.start_term.get(), con.start}, std::pair{con.end_term.get(), con.end}}) {
    if (!term)
      continue;
    const Rectangle t = at(term->get_term_point(), cell);
    const Point tip(t.x, t.y);
    for (const Point& q : ClsAbstractConnectorEndDrawer::place({{-0.5, 0}, {0.5, 0}, {-0.5, 1}, {0.5, 1}},
                                                              term->get_width_at_upper(),
                                                              term->get_height_at_upper(), tip, term->get_udlr()))
      grow({q.get_x(), q.get_y(), 0, 0});
  }
  if (!box)
    return box;
  box = box->expand(4);
  if (!segments.empty())
    for (const auto& [text, cell] : {std::pair{con.start_multiplicity, segments.front()->start},
                                     std::pair{con.end_multiplicity, segments.back()->end}}) {
      Rectangle r = text->get_pango_layout_rect();
      const Point c = grid.get_top_left_point(cell);
      r.x += c.get_x();
      r.y += c.get_y();
      grow(r);
    }
  return box;
}

// The box a draw tests every connector by is the plain one, on random
// diagrams: connectors of every kind, with and without labels, between
// classes of random names, one connector left without segments.
TEST(ClsConnectorDrawerRegion, TheBoxOfWhatAConnectorPaintsIsThePlainOne)
{
  const char* kinds[] = {"association", "dependency", "aggregation", "composition", "generalization"};
  const char* labels[] = {"", "1", "0..*", "many more than one"};
  size_t checked = 0;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ClsDrawKit kit;
    std::vector<CellPos> classes;
    for (int i = 0; i < 8; ++i) {
      const CellPos c{pick(0, 4) * 2 + 1, pick(0, 4) * 2 + 1};
      if (kit.ws->elm_at(c))
        continue;
      cls_put_class(*kit.ws, c.x, c.y, std::string(static_cast<size_t>(pick(1, 12)), 'K'));
      classes.push_back(c);
    }
    for (int i = 0; i < 10 && classes.size() > 1; ++i) {
      const CellPos a = classes[static_cast<size_t>(pick(0, static_cast<int>(classes.size()) - 1))];
      const CellPos b = classes[static_cast<size_t>(pick(0, static_cast<int>(classes.size()) - 1))];
      if (a == b)
        continue;
      const auto con = cls_draw(*kit.ws, kinds[pick(0, 4)], a, b);
      con->start_multiplicity->set_text(labels[pick(0, 3)]);
      con->end_multiplicity->set_text(labels[pick(0, 3)]);
    }
    kit.ws->update_layout_all();
    auto bare = ClsAbstractConnectorElement::make("association");
    bare->start = {1, 1};
    bare->end = {3, 3};
    std::vector<ClsWorkspace::ConnectorPtr> connectors = kit.ws->get_connectors()->get_members();
    connectors.push_back(bare);
    for (const auto& con : connectors) {
      Rectangle bounds;
      const bool paints = ClsConnectorDrawerBase::get_drawn_bounds(*con, *kit.ws->grid, bounds);
      const std::optional<Rectangle> plain = plain_drawn_box(*con, *kit.ws->grid);
      ASSERT_EQ(paints, plain.has_value());
      if (!plain)
        continue;
      EXPECT_NEAR(bounds.x, plain->x, 1e-9);
      EXPECT_NEAR(bounds.y, plain->y, 1e-9);
      EXPECT_NEAR(bounds.get_right(), plain->get_right(), 1e-9);
      EXPECT_NEAR(bounds.get_bottom(), plain->get_bottom(), 1e-9);
      ++checked;
    }
  }
  EXPECT_GT(checked, 60u);
}

TEST(ClsSingleTextDrawer, DrawsTextsAloneInTheirCellAndNotTextsBesideAClass)
{
  ClsDrawKit kit;
  cls_put_class(*kit.ws, 1, 1, "A");
  auto alone = ModelTextElement::create();
  alone->set_text("note");
  ASSERT_TRUE(kit.ws->add_text({4, 1}, alone));
  auto beside = ModelTextElement::create();
  beside->set_text("hidden");
  ASSERT_TRUE(kit.ws->add_text({1, 1}, beside));
  kit.ws->update_layout_all();
  const ClsProbe p{kit.draw({std::make_shared<ClsSingleTextDrawer>()}, whole_image(kit))};
  EXPECT_GT(p.inked(kit.cell(4, 1)), 10);
  EXPECT_EQ(p.inked(kit.cell(1, 1)), 0);
  EXPECT_TRUE(ClsSingleTextDrawer().get_for_working());
}

} // namespace
} // namespace velkaro::test
