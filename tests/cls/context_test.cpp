// The class-diagram context: its ten modes in order, the focused connector
// and what it decides, "now-text-elm", and the class-box navigation.

#include <typeindex>
#include <vector>

#include <gtest/gtest.h>

#include "cls/cell_mode.h"
#include "cls/cls_ctrl_kit_for_test.h"
#include "cls/connect_mode.h"
#include "cls/context.h"
#include "cls/doc/class_element.h"
#include "cls/edit_connector_mode.h"
#include "cls/mode_text.h"
#include "cls/select_cell_mode.h"
#include "cls/select_connector_mode.h"
#include "ctrl/modes/move_view_mode.h"
#include "model/text_element.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

TEST(ClsContext, TenModesInOrderTheCellModeFirst)
{
  VELKARO_REQUIRE_GTK();
  test::ClsKit kit;
  const std::vector<std::type_index> want = {
    typeid(ClsCellMode),          typeid(ClsSelectCellMode),   typeid(ClsSelectConnectorMode),
    typeid(ClsConnectMode),       typeid(ClsNormalModeInClass), typeid(ClsVisualModeInClass),
    typeid(ClsInsertModeNormal),  typeid(ClsInsertModeDirect), typeid(ClsEditConnectorMode),
    typeid(CtrlMoveViewMode),
  };
  std::vector<std::type_index> got;
  for (const auto& m : kit.ctx->get_mode_list())
    got.emplace_back(typeid(*m));
  EXPECT_EQ(got, want);
  const std::vector<std::string> names = {"CELL MODE", "SELECT CELL MODE", "SELECT CONNECTOR MODE", "CONNECT MODE",
                                          "NORMAL MODE (CLASS)", "VISUAL MODE (CLASS)", "INSERT MODE (NORMAL)",
                                          "INSERT MODE (DIRECT)", "EDIT CONNECTOR MODE", "MOVE VIEW MODE"};
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(kit.ctx->get_mode_list()[i]->get_name(), names[i]);
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.ctx->get_default_mode(), kit.ctx->get_mode_list().front());
  EXPECT_EQ(kit.ctx->get_focused_connector(), nullptr);
  EXPECT_FALSE(kit.ctx->get_check_copy());
  EXPECT_EQ(kit.ctx->get_name(), "ClsContext");
}

TEST(ClsContext, NullWorkspaceBuildsNothing)
{
  test::LogCapture capture;
  EXPECT_EQ(ClsContext::create(nullptr), nullptr);
}

TEST(ClsContext, NowTextElmAndClassNavigation)
{
  VELKARO_REQUIRE_GTK();
  test::ClsKit kit;
  auto& ws = *kit.ws;
  ASSERT_TRUE(ws.add_class({1, 1}));
  ASSERT_TRUE(ws.add_text({3, 1}));
  ASSERT_TRUE(ws.add_text({4, 1}));
  ASSERT_TRUE(ws.add_class({6, 1}));
  const auto klass = std::dynamic_pointer_cast<ClsClassElement>(ws.elm_at({1, 1}));
  ASSERT_TRUE(klass);
  klass->active_text_elem = klass->name_elem;

  kit.go(1, 1);
  EXPECT_EQ(kit.ctx->get_now_text_elm(), klass->name_elem);
  EXPECT_TRUE(kit.ctx->get_check_copy());
  kit.go(3, 1);
  EXPECT_EQ(kit.ctx->get_now_text_elm(), ws.elm_at({3, 1}));
  kit.go(2, 1);
  EXPECT_EQ(kit.ctx->get_now_text_elm(), nullptr);

  // From a free text "w" passes the other free text and stops at the next
  // class box; from the last class box it stays.
  kit.go(3, 1);
  kit.keys("w");
  EXPECT_EQ(kit.cursor(), (CellPos{6, 1}));
  kit.keys("w");
  EXPECT_EQ(kit.cursor(), (CellPos{6, 1}));
  kit.keys("b");
  EXPECT_EQ(kit.cursor(), (CellPos{1, 1}));
}

} // namespace
} // namespace velkaro
