// Rows and columns of the class workspace, its layout, its undo records and
// their patches: everything moves together, is routed again and comes back
// exactly on undo and redo, routes and positions included.

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/workspace_diff.h"
#include "cls/route/router.h"
#include "model/workspace_diff.h"

namespace velkaro {
namespace {

using test::cls_draw;
using test::cls_record;
using test::cls_put_class;
using test::cls_ws_shot;
using test::new_cls_ws;

// The route a workspace holding only classes at a and b gives a connector
// drawn from a to b.
std::vector<CellPos> fresh_route(CellPos a, CellPos b, const std::vector<CellPos>& others = {})
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, a.x, a.y);
  cls_put_class(*ws, b.x, b.y);
  for (const CellPos& p : others)
    cls_put_class(*ws, p.x, p.y);
  return test::cls_route_cells(*cls_draw(*ws, "association", a, b));
}

// The labels of every connector stand where placing them again puts them.
void expect_labels_placed(ClsWorkspace& ws)
{
  for (const auto& c : *ws.get_connectors()) {
    const Rectangle s = c->get_label_box(StartOrEnd::start);
    const Rectangle e = c->get_label_box(StartOrEnd::end);
    c->layout({});
    EXPECT_EQ(c->get_label_box(StartOrEnd::start), s);
    EXPECT_EQ(c->get_label_box(StartOrEnd::end), e);
  }
}

TEST(ClsWorkspaceLines, InsertingAColumnMovesEverythingAndRoutesAgain)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 2, 2);
  cls_put_class(*ws, 8, 6);
  const auto c = cls_draw(*ws, "aggregation", {2, 2}, {8, 6});
  c->start_multiplicity->set_text("1..*");
  ws->update_layout({2, 2});
  const double width2 = ws->grid->h->get_size(2);
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->insert_col(1)); });
  EXPECT_NE(ws->elm_at({3, 2}), nullptr);
  EXPECT_NE(ws->elm_at({9, 6}), nullptr);
  EXPECT_EQ(ws->elm_at({3, 2})->pos, (CellPos{3, 2}));
  EXPECT_EQ(c->start, (CellPos{3, 2}));
  EXPECT_EQ(c->end, (CellPos{9, 6}));
  EXPECT_EQ(ws->get_terminals(), (ClsWorkspace::Terminals{{3, 2}, {9, 6}}));
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  EXPECT_EQ(test::cls_route_cells(*c), fresh_route({3, 2}, {9, 6}));
  EXPECT_EQ(ws->grid->h->get_size(3), width2);
  EXPECT_EQ(ws->grid->h->get_size(1), ws->grid->h->get_min_size());
  EXPECT_TRUE(c->get_is_laid_out());
  expect_labels_placed(*ws);
  ASSERT_NE(d->inserted_line, nullptr);
  EXPECT_EQ(d->inserted_line->dir, CellDir::h);
  EXPECT_EQ(d->inserted_line->index, 1);
  test::expect_cls_undo_redo(*ws, *d, before, cls_ws_shot(*ws));
}

TEST(ClsWorkspaceLines, RemovingTheRowOfAnEndAndUndoingIt)
{
  // Without the class in row 6 the connector from (2, 2) to (8, 2) is
  // routed anew; undo must give back the row's classes, the connector it
  // took and every route as it was.
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 2, 2);
  cls_put_class(*ws, 8, 2);
  cls_put_class(*ws, 5, 6);
  cls_put_class(*ws, 5, 2);
  const auto kept = cls_draw(*ws, "association", {2, 2}, {8, 2});
  const auto gone = cls_draw(*ws, "dependency", {2, 2}, {5, 6});
  kept->end_multiplicity->set_text("0..1");
  ws->update_layout({8, 2});
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->remove_row(6)); });
  EXPECT_EQ(ws->elm_at({5, 6}), nullptr);
  EXPECT_EQ(ws->get_connectors()->get_members(), (ClsConnectors::Members{kept}));
  ASSERT_NE(d->removed_connectors, nullptr);
  EXPECT_EQ(d->removed_connectors->get_members(), (ClsConnectors::Members{gone}));
  ASSERT_NE(d->removed_line, nullptr);
  EXPECT_EQ(d->removed_line->index, 6);
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  expect_labels_placed(*ws);
  const auto after = cls_ws_shot(*ws);

  ws->patch(*d->reverse());
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
  EXPECT_NE(ws->elm_at({5, 6}), nullptr);
  EXPECT_EQ(gone->start_elem, ws->elm_at({2, 2}));
  EXPECT_EQ(gone->end_elem, ws->elm_at({5, 6}));
  ws->patch(*d);
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), after);
  test::expect_cls_undo_redo(*ws, *d, before, after);
}

TEST(ClsWorkspaceLines, UndoGivesBackRoutesThatLaterRoutingWouldChange)
{
  // A class restored by undo after its row came back: a route planned
  // while it was away would run through it.
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 4);
  cls_put_class(*ws, 9, 4);
  cls_put_class(*ws, 5, 4);
  cls_put_class(*ws, 5, 8);
  const auto c = cls_draw(*ws, "association", {1, 4}, {9, 4});
  const auto route = test::cls_route_cells(*c);
  EXPECT_EQ(std::count(route.begin(), route.end(), CellPos{5, 4}), 0);
  const auto before = cls_ws_shot(*ws);
  // The record of removing the class at (5, 4), with the line edits of the
  // same action that route c again around nothing.
  const auto d = cls_record(*ws, [&] {
    EXPECT_TRUE(ws->rm_pos({5, 4}));
    EXPECT_TRUE(ws->insert_row(0));
    EXPECT_TRUE(ws->remove_row(0));
  });
  const auto through = test::cls_route_cells(*c);
  EXPECT_EQ(std::count(through.begin(), through.end(), CellPos{5, 4}), 1);
  test::expect_cls_undo_redo(*ws, *d, before, cls_ws_shot(*ws));
  ws->patch(*d->reverse());
  EXPECT_EQ(test::cls_route_cells(*c), route);
}

TEST(ClsWorkspaceLines, LinesPushingSomethingOutOfTheGridAreRefused)
{
  struct Case {
    const char* what;
    std::function<void(ClsWorkspace&)> setup;
    CellDir dir;
    int32_t index;
  };
  const Case cases[] = {
      {"a class in the last column", [](ClsWorkspace& ws) { cls_put_class(ws, CellPos::MAX, 3); },
       CellDir::h, 2},
      {"a text in the last row", [](ClsWorkspace& ws) { ws.add_text({4, CellPos::MAX}); }, CellDir::v, 0},
      {"a connector end in the last row",
       [](ClsWorkspace& ws) {
         cls_put_class(ws, 1, 1);
         auto c = ClsAbstractConnectorElement::make("association");
         c->start = {1, 1};
         c->end = {1, CellPos::MAX};
         ws.add_connector(c);
       },
       CellDir::v, 5},
      {"an index outside the grid", [](ClsWorkspace&) {}, CellDir::h, CellPos::MAX + 1},
      {"a negative index", [](ClsWorkspace&) {}, CellDir::v, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto ws = new_cls_ws();
    c.setup(*ws);
    const auto before = cls_ws_shot(*ws);
    const auto d = cls_record(*ws, [&] { EXPECT_FALSE(ws->insert_line(c.dir, c.index)); });
    EXPECT_TRUE(d->get_is_empty());
    EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
  }
  const auto ws = new_cls_ws();
  EXPECT_FALSE(ws->remove_line(CellDir::h, -1));
  EXPECT_FALSE(ws->remove_line(CellDir::v, CellPos::MAX + 1));
  // The last line itself may go, and an empty last line may be pushed out.
  cls_put_class(*ws, 3, CellPos::MAX);
  EXPECT_TRUE(ws->remove_row(CellPos::MAX));
  EXPECT_TRUE(ws->get_terminals().empty());
  EXPECT_TRUE(ws->insert_row(0));
}

TEST(ClsWorkspaceLines, LayoutSizesTheLinesAroundACell)
{
  const auto ws = new_cls_ws();
  const auto k = cls_put_class(*ws, 3, 4);
  const double w = ws->grid->h->get_size(3);
  k->name_elem->set_text("A much longer class name than before");
  ws->update_layout({3, 4});
  EXPECT_GT(ws->grid->h->get_size(3), w);
  EXPECT_EQ(ws->grid->h->get_size(3), k->get_rect().width + 10);
  EXPECT_DOUBLE_EQ(k->get_rect().x, 5);
  // A range lays out what it covers; the whole diagram all of it.
  k->name_elem->set_text("K");
  ws->update_layout_range({{2, 2}, {4, 4}});
  EXPECT_EQ(ws->grid->h->get_size(3), k->get_rect().width + 10);
  k->name_elem->set_text("Kay");
  ws->update_layout_all();
  EXPECT_EQ(ws->grid->h->get_size(3), k->get_rect().width + 10);
  // A cell of -1 stands for no line.
  ws->update_layout({-1, 4});
  ws->update_layout({3, -1});
  EXPECT_EQ(ws->grid->h->get_size(3), k->get_rect().width + 10);
}

TEST(ClsWorkspaceLines, ChainsComeBackWhole)
{
  const auto ws = new_cls_ws();
  const auto k = cls_put_class(*ws, 3, 3);
  ASSERT_TRUE(ws->add_text({3, 3}));
  const auto note = ws->elm_at({3, 3})->get_next();
  ASSERT_NE(note, nullptr);
  cls_put_class(*ws, 8, 3);
  cls_draw(*ws, "association", {8, 3}, {3, 3});

  const auto before = cls_ws_shot(*ws);
  const auto whole = cls_record(*ws, [&] { EXPECT_TRUE(ws->rm_pos({3, 3})); });
  const auto after = cls_ws_shot(*ws);
  test::expect_cls_undo_redo(*ws, *whole, before, after);
  ws->patch(*whole->reverse());
  EXPECT_EQ(ws->elm_at({3, 3}), k);
  EXPECT_EQ(k->get_next(), note);
  EXPECT_TRUE(note->stored);

  // The text alone, as leaving a text mode removes it: undo puts it back
  // behind the class, redo takes only the text.
  const auto text_only = cls_record(*ws, [&] { ws->remove_all(note, false); });
  EXPECT_EQ(ws->elm_at({3, 3}), k);
  EXPECT_EQ(k->get_next(), nullptr);
  test::expect_cls_undo_redo(*ws, *text_only, before, cls_ws_shot(*ws));
}

TEST(ClsWorkspaceLines, PatchTouchesOnlyWhatStandsWhereTheRecordSays)
{
  const auto ws = new_cls_ws();
  const auto k = cls_put_class(*ws, 2, 2);
  const auto stranger = ClsClassElement::create();
  const auto before = cls_ws_shot(*ws);
  // Removing an element that is not the one stored there, adding one where
  // a chain stands: nothing happens.
  auto d = ClsWorkspaceDiff::create();
  d->rm_element({2, 2}, stranger);
  d->add_element({2, 2}, stranger);
  ws->patch(*d);
  EXPECT_EQ(ws->elm_at({2, 2}), k);
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
}

TEST(ClsWorkspaceLines, RecordsReverseAndRecordOnlyWhenTheyAreClassRecords)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  cls_put_class(*ws, 5, 1);
  const auto d = cls_record(*ws, [&] {
    cls_draw(*ws, "association", {1, 1}, {5, 1});
    ws->insert_row(0);
  });
  const auto r = std::dynamic_pointer_cast<ClsWorkspaceDiff>(d->reverse());
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->removed_connectors, d->added_connectors);
  EXPECT_EQ(r->added_connectors, nullptr);
  EXPECT_EQ(r->removed_line, d->inserted_line);
  EXPECT_EQ(r->from, d->to);
  const auto rr = std::dynamic_pointer_cast<ClsWorkspaceDiff>(r->reverse());
  EXPECT_EQ(rr->added_connectors, d->added_connectors);
  EXPECT_EQ(rr->inserted_line, d->inserted_line);
  EXPECT_EQ(rr->to, d->to);
  EXPECT_EQ(rr->from, d->from);

  // A record of another kind gets nothing from the class operations.
  const auto plain = ModelWorkspaceDiff::create();
  ws->set_diff(plain);
  EXPECT_EQ(ws->get_cls_diff(), nullptr);
  cls_put_class(*ws, 7, 7);
  cls_draw(*ws, "dependency", {7, 7}, {1, 2});
  ws->remove_row(2);
  ws->insert_col(0);
  ws->set_diff(nullptr);
  EXPECT_TRUE(plain->get_is_empty());
}

} // namespace
} // namespace velkaro
