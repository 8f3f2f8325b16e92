// Connectors of the class workspace and the floating connector: started at
// a class, moved cell by cell with its extra terminal, fixed or dropped;
// connectors removed with the segments beside them spread again.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/workspace_diff.h"
#include "cls/route/router.h"
#include "cls/route/segment_layouter.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

using test::cls_draw;
using test::cls_record;
using test::cls_put_class;
using test::cls_ws_shot;
using test::new_cls_ws;

// Positions of each segment of each connector.
std::vector<double> connector_positions(const ClsWorkspace& ws)
{
  std::vector<double> out;
  for (const auto& c : *ws.get_connectors())
    for (const auto& s : c->get_segments())
      out.push_back(s->get_pos());
  return out;
}

TEST(ClsWorkspaceConnectors, AFloatingConnectorStartsOnlyAtAnElement)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 2, 2);
  EXPECT_FALSE(ws->new_floating_connector({5, 5}, "association"));
  EXPECT_EQ(ws->get_floating_connector(), nullptr);
  ASSERT_TRUE(ws->new_floating_connector({2, 2}, "composition"));
  const auto f = ws->get_floating_connector();
  ASSERT_NE(f, nullptr);
  EXPECT_STREQ(f->get_serializing_type_name(), "composition");
  EXPECT_EQ(f->get_grid(), ws->grid);
  EXPECT_EQ(f->start_elem, ws->elm_at({2, 2}));
  EXPECT_TRUE(f->get_segments().empty());
  EXPECT_EQ(ws->get_floating_start(), (CellPos{2, 2}));
  EXPECT_EQ(ws->get_floating_end(), (CellPos{2, 2}));
  // The start cell is registered once more while it floats.
  EXPECT_EQ(ws->get_router()->get_term_count({2, 2}), 2);
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");

  EXPECT_FALSE(ws->new_floating_connector({5, 5}, "association"));
  EXPECT_EQ(ws->get_floating_connector(), f);
  {
    test::LogCapture log;
    EXPECT_FALSE(ws->new_floating_connector({2, 2}, "realization"));
    EXPECT_EQ(log.criticals.size(), 1u);
  }
  EXPECT_EQ(ws->get_floating_connector(), f);
  EXPECT_TRUE(ws->get_connectors()->empty());
}

TEST(ClsWorkspaceConnectors, TheFloatingEndIsATerminalOnlyWhileItIsThere)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 2, 2);
  cls_put_class(*ws, 8, 6);
  const auto before = cls_ws_shot(*ws);
  // Drawing is no step of the undo history.
  const auto d = cls_record(*ws, [&] {
    ASSERT_TRUE(ws->new_floating_connector({2, 2}, "dependency"));
    ASSERT_TRUE(ws->update_floating_connector({6, 2}));
  });
  EXPECT_TRUE(d->get_is_empty());
  const auto f = ws->get_floating_connector();
  EXPECT_EQ(f->end, (CellPos{6, 2}));
  EXPECT_EQ(f->end_elem, nullptr);
  ASSERT_FALSE(f->get_segments().empty());
  EXPECT_EQ(f->get_segments().back()->end, (CellPos{6, 2}));
  EXPECT_EQ(ws->get_router()->get_term_count({6, 2}), 1);
  EXPECT_EQ(ws->get_router()->get_term_count({2, 2}), 1);
  for (const auto& s : f->get_segments())
    EXPECT_TRUE(ws->get_layouter()->contains(s));
  EXPECT_EQ(test::cls_route_problems(*f, [](const CellPos&) { return false; }), "");

  ASSERT_TRUE(ws->update_floating_connector({8, 6}));
  EXPECT_EQ(ws->get_router()->get_term_count({6, 2}), 0);
  EXPECT_EQ(ws->get_router()->get_term_count({8, 6}), 2);
  EXPECT_EQ(f->end_elem, ws->elm_at({8, 6}));
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");

  // Outside the grid it stays where it was.
  EXPECT_FALSE(ws->update_floating_connector({-1, 3}));
  EXPECT_EQ(ws->get_floating_end(), (CellPos{8, 6}));

  // Dropped: the segments leave the layouter and the extra terminal goes.
  const auto segs = f->get_segments();
  EXPECT_TRUE(ws->rm_floating_connector());
  EXPECT_EQ(ws->get_floating_connector(), nullptr);
  for (const auto& s : segs)
    EXPECT_FALSE(ws->get_layouter()->contains(s));
  EXPECT_EQ(ws->get_router()->get_term_count({8, 6}), 1);
  EXPECT_TRUE(ws->rm_floating_connector());
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
  // Without a floating connector nothing moves.
  EXPECT_FALSE(ws->update_floating_connector({3, 3}));
  EXPECT_FALSE(ws->fix_floating_connector());
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
}

TEST(ClsWorkspaceConnectors, FixingNeedsAnotherElement)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 2, 2);
  cls_put_class(*ws, 8, 6);
  ASSERT_TRUE(ws->new_floating_connector({2, 2}, "generalization"));
  const auto f = ws->get_floating_connector();
  EXPECT_FALSE(ws->fix_floating_connector());
  ws->update_floating_connector({5, 5});
  EXPECT_FALSE(ws->fix_floating_connector());
  ws->update_floating_connector({2, 2});
  EXPECT_FALSE(ws->fix_floating_connector());
  EXPECT_EQ(ws->get_floating_connector(), f);
  ws->update_floating_connector({8, 6});

  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->fix_floating_connector()); });
  EXPECT_EQ(ws->get_floating_connector(), nullptr);
  EXPECT_EQ(ws->get_connectors()->get_members(), (ClsConnectors::Members{f}));
  ASSERT_NE(d->added_connectors, nullptr);
  EXPECT_EQ(d->added_connectors->get_members(), (ClsConnectors::Members{f}));
  EXPECT_EQ(ws->get_router()->get_term_count({8, 6}), 1);
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  for (const auto& s : f->get_segments())
    EXPECT_TRUE(ws->get_layouter()->contains(s));
  EXPECT_FALSE(d->get_is_empty());
  // Undo takes the connector away; redo brings it back as it was.
  const auto after = cls_ws_shot(*ws);
  ws->patch(*d->reverse());
  EXPECT_TRUE(ws->get_connectors()->empty());
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  ws->patch(*d);
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), after);
}

TEST(ClsWorkspaceConnectors, RemovingOneOfThreeParallelConnectorsSpreadsTheOthers)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  cls_put_class(*ws, 7, 1);
  const auto a = cls_draw(*ws, "association", {1, 1}, {7, 1});
  const auto b = cls_draw(*ws, "dependency", {1, 1}, {7, 1});
  const auto c = cls_draw(*ws, "aggregation", {7, 1}, {1, 1});
  EXPECT_EQ(ws->enum_related_connectors({a}), (ClsWorkspace::Members{b, c}));
  EXPECT_EQ(ws->enum_related_connectors({a, c}), (ClsWorkspace::Members{b}));
  EXPECT_TRUE(ws->enum_related_connectors({a, b, c}).empty());
  const auto spread3 = connector_positions(*ws);
  ASSERT_EQ(spread3.size(), 3u);
  EXPECT_LT(spread3[0], spread3[1]);

  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->remove_connector(b)); });
  EXPECT_EQ(d->removed_connectors->get_members(), (ClsConnectors::Members{b}));
  for (const auto& s : b->get_segments())
    EXPECT_FALSE(ws->get_layouter()->contains(s));
  // The two left take the places of two drawn alone (which one lies lower
  // depends on which one the layout started from).
  const auto alone = new_cls_ws();
  cls_put_class(*alone, 1, 1);
  cls_put_class(*alone, 7, 1);
  cls_draw(*alone, "association", {1, 1}, {7, 1});
  cls_draw(*alone, "aggregation", {7, 1}, {1, 1});
  auto spread2 = connector_positions(*ws);
  auto want = connector_positions(*alone);
  std::sort(spread2.begin(), spread2.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(spread2, want);
  EXPECT_NE(spread2[0], spread3[0]);

  // Removing a connector the set does not hold records it all the same.
  const auto e = cls_record(*ws, [&] { EXPECT_TRUE(ws->remove_connector(b)); });
  EXPECT_EQ(e->removed_connectors->get_members(), (ClsConnectors::Members{b}));
}

TEST(ClsWorkspaceConnectors, AConnectorWithoutARouteStaysInTheSet)
{
  // A connector fixed on a text made while editing: the text is no
  // terminal, so once the floating end's registration is gone no route
  // reaches it.
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 2, 2);
  ws->add_text({9, 9});
  const auto c = cls_draw(*ws, "association", {2, 2}, {9, 9});
  EXPECT_FALSE(c->get_segments().empty());
  ASSERT_TRUE(ws->update_connector_route(c));
  EXPECT_TRUE(c->get_segments().empty());
  EXPECT_EQ(c->end, (CellPos{9, 9}));
  ws->update_layout({2, 2});
  ws->update_layout_all();
  EXPECT_EQ(ws->get_connectors()->size(), 1u);
  EXPECT_EQ(test::cls_route_problems(*c, [](const CellPos&) { return false; }), "");
}

TEST(ClsWorkspaceConnectors, ConnectorsLeavingTheDocumentReleaseTheirSegments)
{
  auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  cls_put_class(*ws, 6, 4);
  cls_put_class(*ws, 9, 1);
  auto c = cls_draw(*ws, "composition", {1, 1}, {6, 4});
  auto other = cls_draw(*ws, "association", {9, 1}, {6, 4});
  std::vector<std::weak_ptr<ClsSegment>> segs(c->get_segments().begin(), c->get_segments().end());
  ASSERT_FALSE(segs.empty());
  std::weak_ptr<ClsAbstractConnectorElement> gone = c;
  c.reset();
  EXPECT_TRUE(ws->rm_pos({1, 1}));
  EXPECT_TRUE(gone.expired());
  for (const auto& s : segs)
    EXPECT_TRUE(s.expired());

  // Routed again, the old segments go too; nothing keeps itself alive once
  // the workspace and the last connector are let go.
  std::vector<std::weak_ptr<ClsSegment>> old(other->get_segments().begin(), other->get_segments().end());
  ws->insert_row(0);
  for (const auto& s : old)
    EXPECT_TRUE(s.expired());
  std::weak_ptr<ClsSegment> last = other->get_segments().front();
  std::weak_ptr<ModelElement> klass = ws->elm_at({6, 5});
  ws.reset();
  EXPECT_FALSE(last.expired());
  other.reset();
  EXPECT_TRUE(last.expired());
  EXPECT_TRUE(klass.expired());
}

TEST(ClsWorkspaceConnectors, TheYankBufferKeepsNothingOfAClosedDiagram)
{
  auto ws1 = new_cls_ws();
  cls_put_class(*ws1, 1, 1, "A");
  cls_put_class(*ws1, 3, 1, "B");
  cls_put_class(*ws1, 8, 1, "C");
  cls_draw(*ws1, "association", {1, 1}, {3, 1});
  cls_draw(*ws1, "dependency", {1, 1}, {8, 1});
  ASSERT_TRUE(ws1->yank({{1, 1}, {3, 1}}));
  std::vector<std::weak_ptr<ModelElement>> elements;
  ws1->get_cells()->foreach([&](int32_t, int32_t, const ModelElement::ElementPtr& e) {
    elements.push_back(e);
    return true;
  });
  std::vector<std::weak_ptr<ClsSegment>> segs;
  for (const auto& c : *ws1->get_connectors())
    for (const auto& s : c->get_segments())
      segs.push_back(s);
  ws1.reset();
  for (const auto& e : elements)
    EXPECT_TRUE(e.expired());
  for (const auto& s : segs)
    EXPECT_TRUE(s.expired());

  const auto ws2 = new_cls_ws();
  ASSERT_TRUE(ws2->paste_to({0, 0}));
  EXPECT_NE(ws2->elm_at({0, 0}), nullptr);
  EXPECT_NE(ws2->elm_at({2, 0}), nullptr);
  EXPECT_EQ(ws2->get_connectors()->size(), 1u);
}

} // namespace
} // namespace velkaro
