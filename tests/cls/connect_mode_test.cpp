// "CONNECT MODE" driven by keys and pointer events: a connector drawn from
// the keyboard as one undo step, a settle the workspace refuses, cancel
// leaving no step, undo and redo doing nothing while a connector is drawn,
// and the key table.

#include <string>

#include <gtest/gtest.h>

#include "cls/cls_ctrl_kit_for_test.h"
#include "cls/connect_mode.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/connectors.h"
#include "ctrl/mode_scripts_for_test.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::ClsKit;

TEST(ClsConnectMode, KeysDrawAnAssociationAsOneStep)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1, "A");
  test::cls_put_class(*kit.ws, 4, 1, "B");
  const std::string start = kit.doc();
  kit.go(1, 1);
  kit.keys("R");
  ASSERT_EQ(kit.mode_name(), "CONNECT MODE");
  EXPECT_EQ(kit.mode<ClsConnectMode>().kind, ClsConnectModeKind::association);
  ASSERT_TRUE(kit.ws->get_floating_connector());
  // Enter without moving: the connector would end on its start; the mode
  // stays and nothing is recorded.
  kit.keys("<CR>");
  EXPECT_EQ(kit.mode_name(), "CONNECT MODE");
  EXPECT_EQ(kit.undo_steps(), 0u);
  kit.keys("lll");
  EXPECT_EQ(kit.cursor(), (CellPos{4, 1}));
  EXPECT_EQ(kit.ws->get_floating_end(), (CellPos{4, 1}));
  EXPECT_FALSE(kit.ws->get_floating_connector()->get_segments().empty());
  kit.keys("<CR>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.cursor(), (CellPos{4, 1}));
  ASSERT_EQ(kit.ws->get_connectors()->size(), 1u);
  const auto con = kit.ws->get_connectors()->get_members().front();
  EXPECT_EQ(con->get_serializing_type_name(), std::string("association"));
  EXPECT_EQ(con->start, (CellPos{1, 1}));
  EXPECT_EQ(con->end, (CellPos{4, 1}));
  EXPECT_EQ(kit.ws->get_floating_connector(), nullptr);
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 0u);
  EXPECT_EQ(kit.doc(), start);
  EXPECT_EQ(test::cls_router_vs_fresh(*kit.ws), "");
}

TEST(ClsConnectMode, EachKeyDrawsItsKind)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* key;
    ClsConnectModeKind kind;
    const char* type;
  };
  const Case cases[] = {
    {"R", ClsConnectModeKind::association, "association"},
    {"D", ClsConnectModeKind::dependency, "dependency"},
    {"A", ClsConnectModeKind::aggregation, "aggregation"},
    {"C", ClsConnectModeKind::composition, "composition"},
    {"G", ClsConnectModeKind::generalization, "generalization"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    ClsKit kit;
    test::cls_put_class(*kit.ws, 1, 1);
    test::cls_put_class(*kit.ws, 1, 4);
    kit.go(1, 1);
    kit.keys(c.key);
    ASSERT_EQ(kit.mode_name(), "CONNECT MODE");
    EXPECT_EQ(kit.mode<ClsConnectMode>().kind, c.kind);
    EXPECT_EQ(std::string(cls_connect_mode_kind_to_string(c.kind)), c.type);
    kit.keys("jjj<CR>");
    ASSERT_EQ(kit.ws->get_connectors()->size(), 1u);
    EXPECT_EQ(kit.ws->get_connectors()->get_members().front()->get_serializing_type_name(), std::string(c.type));
  }
}

TEST(ClsConnectMode, RefusedOnAnEmptyCellEnteredOnAFreeText)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  kit.go(2, 2);
  kit.keys("R");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.ws->get_floating_connector(), nullptr);
  ASSERT_TRUE(kit.ws->add_text({2, 2}));
  kit.keys("R");
  EXPECT_EQ(kit.mode_name(), "CONNECT MODE");
  EXPECT_EQ(kit.ws->get_floating_start(), (CellPos{2, 2}));
}

TEST(ClsConnectMode, SettleOnAnEmptyCellIsRefused)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  kit.go(1, 1);
  kit.keys("Rll<CR>");
  EXPECT_EQ(kit.mode_name(), "CONNECT MODE");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 0u);
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_TRUE(kit.ws->get_floating_connector());
}

TEST(ClsConnectMode, CancelLeavesNoStepAndTheRedoHistoryStays)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  kit.go(3, 3);
  kit.keys("cu");
  ASSERT_EQ(kit.redo_steps(), 1u);
  const std::string before = kit.doc();
  const auto shot = test::cls_ws_shot(*kit.ws);
  kit.go(1, 1);
  kit.keys("Gjjl");
  ASSERT_EQ(kit.mode_name(), "CONNECT MODE");
  // Undo and redo do nothing while the connector is drawn.
  kit.keys("u<C-r><C-z>");
  EXPECT_EQ(kit.mode_name(), "CONNECT MODE");
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_EQ(kit.redo_steps(), 1u);
  EXPECT_EQ(kit.ws->elm_at({3, 3}), nullptr);
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.ws->get_floating_connector(), nullptr);
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_EQ(kit.redo_steps(), 1u);
  EXPECT_EQ(kit.doc(), before);
  EXPECT_CLS_SHOT_EQ(test::cls_ws_shot(*kit.ws), shot);
  kit.keys("<C-r>");
  EXPECT_TRUE(kit.ws->elm_at({3, 3}));
}

TEST(ClsConnectMode, PointerMovesTheEndAndADoubleClickSettles)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  test::cls_put_class(*kit.ws, 6, 5);
  test::cls_put_class(*kit.ws, 3, 3);
  kit.go(1, 1);
  kit.keys("D");
  kit.press({6, 5});
  EXPECT_EQ(kit.cursor(), (CellPos{6, 5}));
  EXPECT_EQ(kit.ws->get_floating_end(), (CellPos{6, 5}));
  EXPECT_EQ(kit.mode_name(), "CONNECT MODE");
  kit.double_press({6, 5});
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  ASSERT_EQ(kit.ws->get_connectors()->size(), 1u);
  EXPECT_EQ(kit.ws->get_connectors()->get_members().front()->end, (CellPos{6, 5}));
  EXPECT_EQ(kit.undo_steps(), 1u);
}

TEST(ClsConnectMode, WJumpsTheEndToTheNextClassBox)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  ASSERT_TRUE(kit.ws->add_text({2, 1}));
  test::cls_put_class(*kit.ws, 4, 1);
  kit.go(1, 1);
  kit.keys("Aw");
  EXPECT_EQ(kit.cursor(), (CellPos{4, 1}));
  EXPECT_EQ(kit.ws->get_floating_end(), (CellPos{4, 1}));
  kit.keys("b");
  EXPECT_EQ(kit.cursor(), (CellPos{1, 1}));
  EXPECT_EQ(kit.ws->get_floating_end(), (CellPos{1, 1}));
}

} // namespace
} // namespace velkaro
