// Class operations of the class workspace: classes and texts added and
// removed with their terminals and connectors, yank and paste through the
// process's one buffer, each undone and redone exactly.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/workspace_diff.h"
#include "cls/route/router.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::cls_draw;
using test::cls_record;
using test::cls_put_class;
using test::cls_ws_shot;
using test::new_cls_ws;

std::vector<std::string> removed_at(const ModelWorkspaceDiff& d)
{
  std::vector<std::string> out;
  d.each_rm([&out](int32_t x, int32_t y, const ModelElement::ElementPtr& e) {
    out.push_back(CellPos{x, y}.to_string() + " " + e->get_type_name());
  });
  return out;
}

std::vector<std::string> added_at(const ModelWorkspaceDiff& d)
{
  std::vector<std::string> out;
  d.each_add([&out](int32_t x, int32_t y, const ModelElement::ElementPtr& e) {
    out.push_back(CellPos{x, y}.to_string() + " " + e->get_type_name());
  });
  return out;
}

// "type start-end" of each connector, in set order.
std::vector<std::string> ws_connector_lines(const ClsWorkspace& ws)
{
  std::vector<std::string> out;
  for (const auto& c : *ws.get_connectors())
    out.push_back(std::string(c->get_serializing_type_name()) + " " + c->start.to_string() + "-" +
                  c->end.to_string());
  return out;
}

TEST(ClsWorkspaceClasses, AddingAClassRegistersItsCellAndLaysItOut)
{
  const auto ws = new_cls_ws();
  EXPECT_NE(ws->get_cls_cells(), nullptr);
  EXPECT_EQ(ws->get_cls_diff(), nullptr);
  const auto k = cls_put_class(*ws, 2, 3, "Order");
  EXPECT_EQ(ws->elm_at({2, 3}), k);
  EXPECT_TRUE(k->stored);
  EXPECT_EQ(k->pos, (CellPos{2, 3}));
  EXPECT_EQ(ws->get_router()->get_term_count({2, 3}), 1);
  // The column and row fit the box, which is centred in its cell.
  const Rectangle r = k->get_rect();
  EXPECT_EQ(ws->grid->h->get_size(2), r.width + 10);
  EXPECT_EQ(ws->grid->v->get_size(3), r.height + 10);
  EXPECT_DOUBLE_EQ(r.x, 5);
  EXPECT_DOUBLE_EQ(r.y, 5);
  EXPECT_TRUE(ws->modified);
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");

  // An occupied cell or one outside the grid changes nothing.
  ws->modified = false;
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] {
    EXPECT_FALSE(ws->add_class({2, 3}));
    EXPECT_FALSE(ws->add_class({-1, 3}));
    EXPECT_FALSE(ws->add_class({CellPos::MAX + 1, 0}));
  });
  EXPECT_TRUE(d->get_is_empty());
  EXPECT_FALSE(ws->modified);
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
}

TEST(ClsWorkspaceClasses, AddingAClassOnARouteKeepsTheRoute)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 2);
  cls_put_class(*ws, 7, 2);
  const auto c = cls_draw(*ws, "association", {1, 2}, {7, 2});
  const auto cells = test::cls_route_cells(*c);
  ASSERT_EQ(cells.size(), 7u);
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { cls_put_class(*ws, 4, 2); });
  EXPECT_EQ(test::cls_route_cells(*c), cells);
  EXPECT_EQ(added_at(*d), (std::vector<std::string>{"(4, 2) ClsClassElement"}));
  EXPECT_EQ(d->added_connectors, nullptr);
  EXPECT_EQ(d->removed_connectors, nullptr);
  test::expect_cls_undo_redo(*ws, *d, before, cls_ws_shot(*ws));
}

TEST(ClsWorkspaceClasses, RemovingAClassTakesItsConnectorsAndReroutesTheRelated)
{
  const auto ws = new_cls_ws();
  for (const CellPos& p : {CellPos{0, 4}, {8, 4}, {2, 0}, {2, 8}, {6, 0}})
    cls_put_class(*ws, p.x, p.y);
  const auto row = cls_draw(*ws, "association", {0, 4}, {8, 4});
  const auto c2 = cls_draw(*ws, "dependency", {2, 0}, {8, 4});
  const auto c3 = cls_draw(*ws, "aggregation", {2, 0}, {2, 8});
  const auto c4 = cls_draw(*ws, "composition", {6, 0}, {2, 0});
  // The connector along row 4 is spread together with the one coming down
  // to row 4 from (2, 0).
  EXPECT_EQ(ws->enum_related_connectors({c2, c3, c4}), (ClsWorkspace::Members{row}));
  const auto row_segments = row->get_segments();
  const auto before = cls_ws_shot(*ws);

  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->rm_pos({2, 0})); });
  EXPECT_EQ(ws->elm_at({2, 0}), nullptr);
  EXPECT_EQ(ws->get_router()->get_term_count({2, 0}), 0);
  EXPECT_EQ(ws_connector_lines(*ws), (std::vector<std::string>{"association (0, 4)-(8, 4)"}));
  EXPECT_EQ(removed_at(*d), (std::vector<std::string>{"(2, 0) ClsClassElement"}));
  ASSERT_NE(d->removed_connectors, nullptr);
  EXPECT_EQ(d->removed_connectors->get_members(), (ClsConnectors::Members{c2, c3, c4}));
  // Routed again: new segments, alone on its row now.
  EXPECT_NE(row->get_segments(), row_segments);
  EXPECT_TRUE(row->get_is_laid_out());
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  test::expect_cls_undo_redo(*ws, *d, before, cls_ws_shot(*ws));

  EXPECT_FALSE(ws->rm_pos({2, 0}));
  EXPECT_FALSE(ws->rm_pos({5, 5}));
}

TEST(ClsWorkspaceClasses, TextsAreCentredAndNoTerminals)
{
  const auto ws = new_cls_ws();
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->add_text({3, 3})); });
  const auto text = std::dynamic_pointer_cast<ModelTextElement>(ws->elm_at({3, 3}));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->align, ModelAlign::CENTER);
  EXPECT_EQ(ws->get_router()->get_term_count({3, 3}), 0);
  EXPECT_TRUE(ws->get_terminals().empty());
  test::expect_cls_undo_redo(*ws, *d, before, cls_ws_shot(*ws));

  // A given text is appended to the chain at the cell.
  cls_put_class(*ws, 5, 5);
  const auto note = ModelTextElement::create();
  EXPECT_TRUE(ws->add_text({5, 5}, note));
  EXPECT_EQ(ws->elm_at({5, 5})->get_next(), note);
  EXPECT_EQ(note->align, ModelAlign::LEFT);
  EXPECT_FALSE(ws->add_text({-1, 0}));
}

TEST(ClsWorkspaceClasses, ALeavingElementTakesItsTerminalWithIt)
{
  // A text read from a file is a terminal; leaving a text mode removes an
  // emptied text through the base operations.
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  ws->add_text({4, 4});
  test::TempDir dir;
  ASSERT_TRUE(ws->save(dir.file("d.xml")));
  ASSERT_TRUE(ws->load(dir.file("d.xml")));
  EXPECT_EQ(ws->get_router()->get_term_count({4, 4}), 1);
  const auto before = cls_ws_shot(*ws);
  const auto text = ws->elm_at({4, 4});
  const auto d = cls_record(*ws, [&] { ws->remove_all(text, false); });
  EXPECT_EQ(ws->get_router()->get_term_count({4, 4}), 0);
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  // A class added there is registered once, and goes with its one
  // registration.
  const auto after = cls_ws_shot(*ws);
  cls_put_class(*ws, 4, 4);
  EXPECT_EQ(ws->get_router()->get_term_count({4, 4}), 1);
  ws->rm_pos({4, 4});
  EXPECT_EQ(ws->get_router()->get_term_count({4, 4}), 0);
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), after);
  // Undo gives the text its registration back.
  test::expect_cls_undo_redo(*ws, *d, before, after);
}

TEST(ClsWorkspaceClasses, YankingAnEmptyRangeEmptiesTheBufferAndPasteThenChangesNothing)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1, "A");
  ASSERT_TRUE(ws->yank({{1, 1}, {1, 1}}));
  EXPECT_TRUE(ws->get_has_yanked());
  // An invalid range keeps the buffer.
  EXPECT_FALSE(ws->yank({{3, 3}, {2, 2}}));
  EXPECT_FALSE(ws->yank({{-1, 0}, {2, 2}}));
  EXPECT_TRUE(ws->get_has_yanked());

  EXPECT_TRUE(ws->yank({{5, 5}, {7, 7}}));
  EXPECT_FALSE(ws->get_has_yanked());
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_FALSE(ws->paste_to({1, 1})); });
  EXPECT_TRUE(d->get_is_empty());
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
}

TEST(ClsWorkspaceClasses, OnlyConnectorsStartingInTheRangeAreYanked)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1, "A");
  cls_put_class(*ws, 6, 1, "B");
  cls_draw(*ws, "dependency", {6, 1}, {1, 1});
  ASSERT_TRUE(ws->yank({{0, 0}, {2, 2}}));
  ASSERT_TRUE(ws->paste_to({1, 5}));
  EXPECT_EQ(ws_connector_lines(*ws), (std::vector<std::string>{"dependency (6, 1)-(1, 1)"}));

  ASSERT_TRUE(ws->yank({{6, 1}, {6, 1}}));
  ASSERT_TRUE(ws->paste_to({6, 5}));
  // Its far end stays at A, which lay outside the block.
  EXPECT_EQ(ws_connector_lines(*ws), (std::vector<std::string>{"dependency (6, 1)-(1, 1)",
                                                               "dependency (6, 5)-(1, 1)"}));
  EXPECT_EQ(ws->get_connectors()->get_members()[1]->start_elem, ws->elm_at({6, 5}));
  EXPECT_EQ(ws->get_connectors()->get_members()[1]->end_elem, ws->elm_at({1, 1}));
}

TEST(ClsWorkspaceClasses, PastedConnectorsFollowTheBlockOrKeepTheirFarClass)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1, "A");
  cls_put_class(*ws, 3, 1, "B");
  cls_put_class(*ws, 8, 1, "C");
  cls_draw(*ws, "association", {1, 1}, {3, 1});
  cls_draw(*ws, "generalization", {1, 1}, {8, 1});
  ASSERT_TRUE(ws->yank({{0, 0}, {4, 2}}));

  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->paste_to({2, 6})); });
  EXPECT_EQ(ws_connector_lines(*ws),
            (std::vector<std::string>{"association (1, 1)-(3, 1)", "generalization (1, 1)-(8, 1)",
                                      "association (2, 6)-(4, 6)", "generalization (2, 6)-(8, 1)"}));
  EXPECT_EQ(added_at(*d), (std::vector<std::string>{"(2, 6) ClsClassElement", "(4, 6) ClsClassElement"}));
  ASSERT_NE(d->added_connectors, nullptr);
  EXPECT_EQ(d->added_connectors->size(), 2u);
  EXPECT_NE(ws->elm_at({2, 6}), ws->elm_at({1, 1}));
  EXPECT_EQ(ws->get_router()->get_term_count({4, 6}), 1);
  for (const auto& c : *ws->get_connectors())
    EXPECT_EQ(test::cls_route_problems(*c, [](const CellPos&) { return false; }), "");
  test::expect_cls_undo_redo(*ws, *d, before, cls_ws_shot(*ws));

  // Once the far class is gone, the connector to it is not pasted.
  ws->rm_pos({8, 1});
  ASSERT_TRUE(ws->paste_to({2, 9}));
  EXPECT_EQ(ws_connector_lines(*ws),
            (std::vector<std::string>{"association (1, 1)-(3, 1)", "association (2, 6)-(4, 6)",
                                      "association (2, 9)-(4, 9)"}));
}

TEST(ClsWorkspaceClasses, PasteIntoAnotherWorkspace)
{
  const auto ws1 = new_cls_ws();
  cls_put_class(*ws1, 1, 1, "A");
  cls_put_class(*ws1, 3, 1, "B");
  cls_put_class(*ws1, 8, 1, "C");
  cls_draw(*ws1, "association", {1, 1}, {3, 1});
  cls_draw(*ws1, "generalization", {1, 1}, {8, 1});
  ASSERT_TRUE(ws1->yank({{1, 1}, {3, 1}}));

  const auto ws2 = new_cls_ws();
  EXPECT_TRUE(ws2->get_has_yanked());
  ASSERT_TRUE(ws2->paste_to({5, 5}));
  const auto a = std::dynamic_pointer_cast<ClsClassElement>(ws2->elm_at({5, 5}));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name_elem->get_text(), "A");
  EXPECT_NE(ws2->elm_at({7, 5}), nullptr);
  EXPECT_EQ(ws_connector_lines(*ws2), (std::vector<std::string>{"association (5, 5)-(7, 5)"}));
  EXPECT_EQ(ws2->get_connectors()->get_members()[0]->get_grid(), ws2->grid);
  EXPECT_EQ(test::cls_router_vs_fresh(*ws2), "");
}

TEST(ClsWorkspaceClasses, UndoingAPasteBringsBackWhatItReplaced)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1, "A");
  cls_put_class(*ws, 6, 1, "B");
  cls_put_class(*ws, 1, 5, "K");
  cls_draw(*ws, "association", {1, 1}, {6, 1});
  cls_draw(*ws, "dependency", {1, 5}, {6, 1});
  cls_draw(*ws, "aggregation", {6, 1}, {1, 5});
  ASSERT_TRUE(ws->yank({{1, 1}, {1, 1}}));
  const auto k = ws->elm_at({1, 5});
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->paste_to({1, 5})); });
  EXPECT_NE(ws->elm_at({1, 5}), k);
  EXPECT_EQ(ws_connector_lines(*ws),
            (std::vector<std::string>{"association (1, 1)-(6, 1)", "association (1, 5)-(6, 1)"}));
  EXPECT_EQ(removed_at(*d), (std::vector<std::string>{"(1, 5) ClsClassElement"}));
  EXPECT_EQ(d->removed_connectors->size(), 2u);
  const auto after = cls_ws_shot(*ws);
  ws->patch(*d->reverse());
  EXPECT_EQ(ws->elm_at({1, 5}), k);
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
  test::expect_cls_undo_redo(*ws, *d, before, after);
}

TEST(ClsWorkspaceClasses, APasteLeavingTheGridIsRefused)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  cls_put_class(*ws, 3, 2);
  ASSERT_TRUE(ws->yank({{0, 0}, {4, 4}}));
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] {
    EXPECT_FALSE(ws->paste_to({CellPos::MAX - 1, 0}));
    EXPECT_FALSE(ws->paste_to({0, CellPos::MAX}));
    EXPECT_FALSE(ws->paste_to({-1, 0}));
  });
  EXPECT_TRUE(d->get_is_empty());
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
  EXPECT_TRUE(ws->paste_to({CellPos::MAX - 2, CellPos::MAX - 1}));
  EXPECT_NE(ws->elm_at({CellPos::MAX, CellPos::MAX}), nullptr);
}

TEST(ClsWorkspaceClasses, RemovingARangeTakesItsClassesAndConnectors)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  cls_put_class(*ws, 2, 2);
  cls_put_class(*ws, 8, 8);
  ws->add_text({1, 2});
  cls_draw(*ws, "association", {1, 1}, {8, 8});
  cls_draw(*ws, "dependency", {8, 8}, {2, 2});
  const auto before = cls_ws_shot(*ws);
  const auto d = cls_record(*ws, [&] { EXPECT_TRUE(ws->rm_class_range({{0, 0}, {3, 3}})); });
  EXPECT_EQ(removed_at(*d), (std::vector<std::string>{"(1, 1) ClsClassElement", "(1, 2) ModelTextElement",
                                                      "(2, 2) ClsClassElement"}));
  EXPECT_TRUE(ws->get_connectors()->empty());
  EXPECT_EQ(d->removed_connectors->size(), 2u);
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  test::expect_cls_undo_redo(*ws, *d, before, cls_ws_shot(*ws));
  // An empty range removes nothing and still succeeds.
  EXPECT_TRUE(ws->rm_class_range({{20, 20}, {22, 22}}));
}

TEST(ClsWorkspaceClasses, TheClassOfACompartment)
{
  const auto ws = new_cls_ws();
  ws->add_text({0, 0});
  cls_put_class(*ws, 2, 1);
  const auto k = cls_put_class(*ws, 4, 3);
  std::shared_ptr<ClsClassElement> found;
  CellPos at{9, 9};
  EXPECT_TRUE(ws->get_klass_has_text_elem(*k->block2_elem, found, at));
  EXPECT_EQ(found, k);
  EXPECT_EQ(at, (CellPos{4, 3}));
  const auto stranger = ModelTextElement::create();
  EXPECT_FALSE(ws->get_klass_has_text_elem(*stranger, found, at));
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(at, (CellPos{0, 0}));
}

} // namespace
} // namespace velkaro
