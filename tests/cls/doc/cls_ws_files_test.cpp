// The class-diagram document: saved and loaded with its classes, texts and
// connectors in order and the same routes; terminals, links, routes and
// layout rebuilt on load; broken documents refused with the diagram kept.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls/route/router.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::cls_draw;
using test::cls_put_class;
using test::cls_ws_shot;
using test::new_cls_ws;

std::vector<std::vector<CellPos>> all_routes(const ClsWorkspace& ws)
{
  std::vector<std::vector<CellPos>> routes;
  for (const auto& c : *ws.get_connectors())
    routes.push_back(test::cls_route_cells(*c));
  return routes;
}

// Every connector's route joins its ends, avoids the classes and is finite.
void expect_sound_routes(ClsWorkspace& ws)
{
  const auto classes = test::cls_class_cells(ws);
  for (const auto& c : *ws.get_connectors())
    EXPECT_EQ(test::cls_route_problems(*c,
                                       [&](const CellPos& p) {
                                         return std::find(classes.begin(), classes.end(), p) !=
                                                classes.end();
                                       }),
              "");
}

TEST(ClsWorkspaceFiles, SavedAndLoadedWithTheSameConnectorsAndRoutes)
{
  const auto ws = new_cls_ws();
  const auto order = cls_put_class(*ws, 1, 1, "Order");
  order->insert_block(1);
  order->block1_elem->set_text("id: int");
  order->insert_block(2);
  order->block2_elem->set_text("total()");
  cls_put_class(*ws, 8, 1, "Customer");
  cls_put_class(*ws, 1, 7, "Line");
  cls_put_class(*ws, 8, 7, "Product");
  ws->update_layout_all();
  const char* kinds[] = {"association", "dependency", "aggregation", "composition", "generalization"};
  const CellPos ends[][2] = {{{1, 1}, {8, 1}}, {{1, 7}, {8, 7}}, {{1, 1}, {1, 7}},
                             {{8, 1}, {8, 7}}, {{1, 7}, {8, 1}}};
  for (int i = 0; i < 5; ++i)
    cls_draw(*ws, kinds[i], ends[i][0], ends[i][1]);
  ws->get_connectors()->get_members()[2]->start_multiplicity->set_text("1");
  ws->get_connectors()->get_members()[2]->end_multiplicity->set_text("0..*");
  // Routed once more with every class in place, as a load routes them.
  for (const auto& c : *ws->get_connectors())
    ws->update_connector_route(c);
  ws->update_layout_all();
  test::TempDir dir;
  const std::string path = dir.file("diagram.xml");
  ASSERT_TRUE(ws->save(path));
  EXPECT_FALSE(ws->modified);
  const std::string text = test::saved_text(*ws);

  const auto back = new_cls_ws();
  ASSERT_TRUE(back->load(path)) << back->get_last_error();
  EXPECT_EQ(test::saved_text(*back), text);
  EXPECT_EQ(test::document_of(*back), test::document_of(*ws));
  EXPECT_EQ(all_routes(*back), all_routes(*ws));
  EXPECT_EQ(back->get_terminals(), ws->get_terminals());
  EXPECT_EQ(test::cls_router_vs_fresh(*back), "");
  for (const auto& c : *back->get_connectors()) {
    EXPECT_EQ(c->get_grid(), nullptr);
    EXPECT_EQ(c->start_elem, back->elm_at(c->start));
    EXPECT_EQ(c->end_elem, back->elm_at(c->end));
    EXPECT_TRUE(c->get_is_laid_out());
  }
  expect_sound_routes(*back);
  // Laid out as the workspace lays out, so loading twice gives the same.
  const auto again = new_cls_ws();
  ASSERT_TRUE(again->load(path));
  EXPECT_CLS_SHOT_EQ(cls_ws_shot(*again), cls_ws_shot(*back));
}

TEST(ClsWorkspaceFiles, LoadedTextsAreTerminalsAndEndsMayBeEmpty)
{
  const auto ws = new_cls_ws();
  std::string error;
  ASSERT_TRUE(test::load_text(*ws,
                            "<workspace><element_cells>"
                            "<cell h=\"1\" v=\"1\"><class><name>A</name></class></cell>"
                            "<cell h=\"4\" v=\"1\"><text>note</text></cell>"
                            "<cell h=\"7\" v=\"1\"><klass>odd</klass></cell>"
                            // The attributes a class has, given as it has them.
                            "<cell h=\"1\" v=\"5\"><class role=\"0\" width=\"0\" height=\"0\"/></cell>"
                            "</element_cells>"
                            "<other><connector_set>"
                            "<connector type=\"association\"><start h=\"1\" v=\"1\"/><end h=\"7\" v=\"1\"/></connector>"
                            "<connector type=\"dependency\"><start h=\"1\" v=\"5\"/><end h=\"9\" v=\"9\"/></connector>"
                            "<connector type=\"generalization\"/>"
                            "</connector_set></other></workspace>",
                            &error))
      << error;
  EXPECT_NE(std::dynamic_pointer_cast<ModelTextElement>(ws->elm_at({7, 1})), nullptr);
  EXPECT_EQ(ws->get_terminals(), (ClsWorkspace::Terminals{{1, 1}, {4, 1}, {7, 1}, {1, 5}}));
  const auto& cons = ws->get_connectors()->get_members();
  ASSERT_EQ(cons.size(), 3u);
  // The text at (4, 1) is a terminal: the route goes round it.
  const auto route = test::cls_route_cells(*cons[0]);
  ASSERT_FALSE(route.empty());
  EXPECT_EQ(std::count(route.begin(), route.end(), CellPos{4, 1}), 0);
  // An end at an empty cell links nothing.
  EXPECT_EQ(cons[1]->end_elem, nullptr);
  EXPECT_EQ(cons[1]->start_elem, ws->elm_at({1, 5}));
  // Ends nowhere: no route, and they stay nowhere.
  EXPECT_EQ(cons[2]->start, (CellPos{-1, -1}));
  EXPECT_EQ(cons[2]->end, (CellPos{-1, -1}));
  EXPECT_TRUE(cons[2]->get_segments().empty());
  EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  expect_sound_routes(*ws);
  const std::string text = test::saved_text(*ws);
  EXPECT_NE(text.find("<connector type=\"generalization\">\n   <start h=\"-1\" v=\"-1\"/>\n"
                      "   <end h=\"-1\" v=\"-1\"/>"),
            std::string::npos)
      << text;
}

TEST(ClsWorkspaceFiles, ARefusedDocumentLeavesTheDiagramAsItWas)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  cls_put_class(*ws, 6, 3);
  cls_draw(*ws, "aggregation", {1, 1}, {6, 3});
  const auto before = cls_ws_shot(*ws);
  const auto connectors = ws->get_connectors();
  struct Case {
    const char* text;
    const char* why;
  };
  const Case cases[] = {
      {"<workspace><element_cells><cell h=\"2\" v=\"2\"><class/></cell></element_cells>\n"
       "<connector_set><connector type=\"association\">\n<start h=\"70000\" v=\"1\"/>"
       "</connector></connector_set></workspace>",
       "line 3: <start> of a connector lies at (70000, 1), outside the grid"},
      {"<workspace><element_cells><cell h=\"65536\" v=\"0\"><class/></cell></element_cells></workspace>",
       "outside the grid"},
      {"<diagram/>", "the file is not a Velkaro document (its root element is <diagram>, not <workspace>)"},
      // A class is written with no attributes, so it covers one cell, has
      // the role 0 and no parent: anything else would be lost by the next
      // save.
      {"<workspace><element_cells>\n<cell h=\"1\" v=\"1\"><class width=\"3\" height=\"2\"/></cell>"
       "</element_cells></workspace>",
       "line 2: <class> covers 4 by 3 cells; a class covers one cell"},
      {"<workspace><element_cells><cell h=\"1\" v=\"1\"><class height=\"-1\"/></cell></element_cells></workspace>",
       "a class covers one cell"},
      {"<workspace><element_cells><cell h=\"1\" v=\"1\"><class role=\"4\"/></cell></element_cells></workspace>",
       "<class> has the role 4; a class has the role 0"},
      {"<workspace><element_cells><cell h=\"1\" v=\"1\"><text>t</text>\n\n<class pi=\"0\"/></cell>"
       "</element_cells></workspace>",
       "line 3: <class> names a parent; a class has none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_FALSE(test::load_text(*ws, c.text, &error));
    EXPECT_NE(error.find(c.why), std::string::npos) << error;
    EXPECT_CLS_SHOT_EQ(cls_ws_shot(*ws), before);
    EXPECT_EQ(ws->get_connectors(), connectors);
    EXPECT_EQ(test::cls_router_vs_fresh(*ws), "");
  }
  // It goes on working with what it kept.
  EXPECT_TRUE(ws->rm_pos({6, 3}));
  EXPECT_TRUE(ws->get_connectors()->empty());
}

TEST(ClsWorkspaceFiles, AMissingFileGivesAnEmptyDiagram)
{
  const auto ws = new_cls_ws();
  cls_put_class(*ws, 1, 1);
  test::TempDir dir;
  ASSERT_TRUE(ws->load(dir.file("none.xml")));
  EXPECT_EQ(ws->elm_at({1, 1}), nullptr);
  EXPECT_TRUE(ws->get_connectors()->empty());
  EXPECT_TRUE(ws->get_terminals().empty());
  EXPECT_EQ(test::route_graph_shot(*ws->get_router()).size(), 0u);
}

} // namespace
} // namespace velkaro
