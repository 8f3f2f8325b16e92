// The class-diagram cell modes driven by keys and pointer events on a real
// canvas: the key table of "CELL MODE", classes added and cut, the focused
// connector picked by its band and cut, double clicks, drags into the
// select-cell mode and the select-cell mode's copy, cut and paste.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "cls/cell_mode.h"
#include "cls/cls_ctrl_kit_for_test.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/connectors.h"
#include "cls/route/segment.h"
#include "common/cell_range.h"
#include "common/rectangle.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/undo/action_processor.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::ClsKit;

// Two classes at (1, 1) and (5, 1) and an association between them, drawn
// outside the history.
std::shared_ptr<ClsAbstractConnectorElement> two_classes_joined(ClsKit& kit)
{
  test::cls_put_class(*kit.ws, 1, 1, "A");
  test::cls_put_class(*kit.ws, 5, 1, "B");
  return test::cls_draw(*kit.ws, "association", {1, 1}, {5, 1});
}

// A point 4 units beside the middle of the connector's first segment,
// across its line.
Point beside(ClsKit& kit, const ClsAbstractConnectorElement& con, double by = 4.0)
{
  const Rectangle r = con.get_segments().front()->get_rect(*kit.ws->grid);
  const double cx = r.x + r.width / 2;
  const double cy = r.y + r.height / 2;
  return r.width >= r.height ? Point(cx, cy + by) : Point(cx + by, cy);
}

TEST(ClsCellMode, KeyTable)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  using test::ExpectedAction;
  const std::optional<std::string> none;
  test::expect_key_table(kit.mode<ClsCellMode>(),
                         {
                           {"insert-class", {"c"}, "Add a Class Element", false, true},
                           {"insert-element", {"i"}, none, false, false},
                           {"append-text", {"a"}, none, true, false},
                           {"insert-text-to-start", {"I"}, none, false, false},
                           {"change-to-normalmode", {"<CR>"}, none, false, false},
                           {"connect-association", {"R"}, none, false, true},
                           {"connect-dependency", {"D"}, none, false, true},
                           {"connect-aggregation", {"A"}, none, false, true},
                           {"connect-composition", {"C"}, none, false, true},
                           {"connect-generalization", {"G"}, none, false, true},
                           {"change-to-selectcellmode", {"v"}, none, false, false},
                           {"change-to-selectconnectormode", {"r"}, none, false, false},
                           {"copy", {"y", "<C-c>"}, "Yank elemenet", false, true},
                           {"cut", {"x", "<C-x>", "<Del>"}, "Remove elemenet", false, true},
                           {"paste", {"p", "<C-v>"}, "Paste elemenet", true, true},
                           {"show-all", {"<Tab>"}, "Show all element", false, false},
                         });
}

TEST(ClsCellMode, ActionableNamesFollowTheCursorCell)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 2, 2);
  auto names = kit.ctx->enum_actionable_name();
  EXPECT_TRUE(names.count("insert-class"));
  EXPECT_FALSE(names.count("connect-association"));
  EXPECT_FALSE(names.count("cut"));
  EXPECT_FALSE(names.count("paste"));
  kit.go(2, 2);
  names = kit.ctx->enum_actionable_name();
  EXPECT_FALSE(names.count("insert-class"));
  EXPECT_TRUE(names.count("connect-generalization"));
  EXPECT_TRUE(names.count("copy"));
  kit.keys("y");
  EXPECT_TRUE(kit.ctx->enum_actionable_name().count("paste"));
}

TEST(ClsCellMode, ClassAddedAsOneStepAndUndone)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const std::string empty = kit.doc();
  kit.go(2, 3);
  kit.keys("c");
  EXPECT_TRUE(std::dynamic_pointer_cast<ClsClassElement>(kit.ws->elm_at({2, 3})));
  EXPECT_EQ(kit.undo_steps(), 1u);
  const std::string one = kit.doc();
  // An occupied cell refuses a second class and records nothing.
  kit.keys("c");
  EXPECT_EQ(kit.undo_steps(), 1u);
  EXPECT_EQ(kit.doc(), one);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), empty);
  EXPECT_EQ(kit.undo_steps(), 0u);
  kit.keys("<C-r>");
  EXPECT_EQ(kit.doc(), one);
  // "i" on an empty cell adds a class too, on a class it types into it.
  kit.go(4, 3);
  kit.keys("i");
  EXPECT_TRUE(std::dynamic_pointer_cast<ClsClassElement>(kit.ws->elm_at({4, 3})));
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  kit.keys("i");
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (DIRECT)");
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
}

TEST(ClsCellMode, CutOfAClassYanksItAndPasteBringsItElsewhere)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1, "Shape");
  kit.go(1, 1);
  kit.keys("x");
  EXPECT_EQ(kit.ws->elm_at({1, 1}), nullptr);
  EXPECT_EQ(kit.undo_steps(), 1u);
  EXPECT_TRUE(kit.ws->get_has_yanked());
  kit.go(3, 2);
  kit.keys("p");
  const auto pasted = std::dynamic_pointer_cast<ClsClassElement>(kit.ws->elm_at({3, 2}));
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->name_elem->get_text(), "Shape");
  EXPECT_EQ(kit.undo_steps(), 2u);
  kit.keys("uu");
  EXPECT_TRUE(kit.ws->elm_at({1, 1}));
  EXPECT_EQ(kit.ws->elm_at({3, 2}), nullptr);
}

TEST(ClsCellMode, CutOfAnEmptyCellRecordsNothingAndEmptiesTheYankBuffer)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  kit.go(1, 1);
  kit.keys("y");
  EXPECT_TRUE(kit.ws->get_has_yanked());
  EXPECT_EQ(kit.undo_steps(), 0u);
  kit.go(4, 4);
  kit.keys("x");
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_FALSE(kit.ws->get_has_yanked());
  EXPECT_FALSE(kit.ctx->enum_actionable_name().count("paste"));
  // A paste with nothing yanked adds nothing and records nothing.
  const std::string before = kit.doc();
  kit.keys("p");
  EXPECT_EQ(kit.doc(), before);
  EXPECT_EQ(kit.undo_steps(), 0u);
}

TEST(ClsCellMode, GStartsAGeneralizationAndNeverScrolls)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  test::cls_put_class(*kit.ws, 1, 9);
  // On an empty cell "G" is refused and the cursor stays where it is (the
  // 2D set's scroll to the bottom would move it to the last used row).
  kit.go(3, 2);
  kit.keys("G");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.cursor(), (CellPos{3, 2}));
  kit.go(1, 1);
  kit.keys("G");
  EXPECT_EQ(kit.mode_name(), "CONNECT MODE");
  EXPECT_EQ(kit.cursor(), (CellPos{1, 1}));
  EXPECT_EQ(kit.ws->get_floating_connector()->get_serializing_type_name(), std::string("generalization"));
}

TEST(ClsCellMode, PressBesideAConnectorFocusesItAndXRemovesIt)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto con = two_classes_joined(kit);
  ASSERT_FALSE(con->get_segments().empty());
  const std::string joined = kit.doc();

  const Point pt = beside(kit, *con);
  kit.press_pt(pt);
  kit.release_pt(pt);
  EXPECT_EQ(kit.ctx->get_focused_connector(), con);
  EXPECT_TRUE(con->focus);
  EXPECT_EQ(kit.cursor(), kit.ctx->point_to_cell_pos(pt));
  kit.keys("x");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 0u);
  EXPECT_TRUE(kit.ws->elm_at({1, 1}));
  EXPECT_TRUE(kit.ws->elm_at({5, 1}));
  EXPECT_EQ(kit.undo_steps(), 1u);
  // The removed connector is no longer the focused one: a second cut takes
  // nothing, and undo puts the connector back once.
  EXPECT_EQ(kit.ctx->get_focused_connector(), nullptr);
  kit.keys("x");
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 1u);
  EXPECT_EQ(kit.doc(), joined);
  EXPECT_FALSE(con->focus);
  kit.keys("<C-r>");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 0u);
  kit.keys("u");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 1u);
}

TEST(ClsCellMode, FocusOutlivesACursorMoveAndACutTakesTheConnector)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto con = two_classes_joined(kit);
  kit.press_pt(beside(kit, *con, -3.0));
  EXPECT_EQ(kit.ctx->get_focused_connector(), con);
  kit.go(8, 8);
  EXPECT_TRUE(kit.ctx->get_check_copy());
  kit.keys("x");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 0u);
  EXPECT_FALSE(kit.ctx->get_check_copy());
}

TEST(ClsCellMode, PressAwayFromConnectorsClearsTheFocus)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto con = two_classes_joined(kit);
  kit.press_pt(beside(kit, *con));
  ASSERT_TRUE(con->focus);
  // Six units beside the line is outside its band.
  kit.press_pt(beside(kit, *con, 6.0 + 0.01));
  EXPECT_FALSE(con->focus);
  EXPECT_EQ(kit.ctx->get_focused_connector(), nullptr);
  kit.press({8, 8});
  EXPECT_EQ(kit.ctx->get_focused_connector(), nullptr);
}

TEST(ClsCellMode, OverlappingBandsPickTheFirstConnectorOfTheSet)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const auto first = two_classes_joined(kit);
  const auto second = test::cls_draw(*kit.ws, "dependency", {5, 1}, {1, 1});
  ASSERT_EQ(kit.ws->get_connectors()->size(), 2u);
  // A point inside the bands of both: the midpoint between their lines.
  const Rectangle a = first->get_segments().front()->get_rect(*kit.ws->grid);
  const Rectangle b = second->get_segments().front()->get_rect(*kit.ws->grid);
  ASSERT_LT(std::abs(a.y - b.y), 10.0);
  kit.press_pt(Point(a.x + a.width / 2, (a.y + b.y) / 2));
  EXPECT_EQ(kit.ctx->get_focused_connector(), first);
  EXPECT_TRUE(first->focus);
  EXPECT_FALSE(second->focus);
}

TEST(ClsCellMode, DoubleClicks)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  kit.double_press({2, 2});
  EXPECT_TRUE(std::dynamic_pointer_cast<ClsClassElement>(kit.ws->elm_at({2, 2})));
  EXPECT_EQ(kit.undo_steps(), 1u);
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  kit.release({2, 2});
  kit.double_press({2, 2});
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (DIRECT)");
  EXPECT_EQ(kit.undo_steps(), 1u);
}

TEST(ClsCellMode, AppendTextOnAnEmptyCellUndoesWithItsTyping)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  const std::string empty = kit.doc();
  kit.go(3, 3);
  kit.keys("a");
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (DIRECT)");
  EXPECT_TRUE(std::dynamic_pointer_cast<ModelTextElement>(kit.ws->elm_at({3, 3})));
  kit.keys("xy<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.ctx->get_now_text(), "xy");
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), empty);
  // On a class "a" types at the end of the active text; nothing recorded.
  test::cls_put_class(*kit.ws, 5, 5, "Name");
  kit.go(5, 5);
  kit.keys("a");
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (DIRECT)");
  kit.keys("<Esc>");
  EXPECT_EQ(kit.undo_steps(), 0u);
}

TEST(ClsCellMode, DragIntoTheNextCellEntersTheSelectCellMode)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  kit.press({2, 2});
  {
    const Point c = kit.centre({2, 2});
    kit.drag_pt(Point(c.get_x() + 3, c.get_y() + 3));
  }
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  kit.drag_to({3, 2});
  EXPECT_EQ(kit.mode_name(), "SELECT CELL MODE");
  EXPECT_EQ(kit.cursor(), (CellPos{3, 2}));
  ASSERT_TRUE(kit.ctx->selected_range);
  EXPECT_EQ(kit.ctx->selected_range->start, (CellPos{2, 2}));
  EXPECT_EQ(kit.ctx->selected_range->end, (CellPos{3, 2}));
}

TEST(ClsSelectCellMode, CopyCutAndPasteThroughTheClassWorkspace)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1, "A");
  test::cls_put_class(*kit.ws, 2, 1, "B");
  test::cls_draw(*kit.ws, "aggregation", {1, 1}, {2, 1});
  const std::string start = kit.doc();

  kit.go(1, 1);
  kit.keys("vly");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(kit.ws->get_has_yanked());
  EXPECT_EQ(kit.undo_steps(), 0u);

  // "p" pastes at the cursor and keeps the mode.
  kit.go(1, 4);
  kit.keys("vp");
  EXPECT_EQ(kit.mode_name(), "SELECT CELL MODE");
  EXPECT_TRUE(kit.ws->elm_at({1, 4}));
  EXPECT_TRUE(kit.ws->elm_at({2, 4}));
  EXPECT_EQ(kit.ws->get_connectors()->size(), 2u);
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("<Esc>");

  // "x" cuts the range with its connector as one step.
  kit.go(1, 4);
  kit.keys("vlx");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.ws->elm_at({1, 4}), nullptr);
  EXPECT_EQ(kit.ws->get_connectors()->size(), 1u);
  EXPECT_EQ(kit.undo_steps(), 2u);
  kit.keys("uu");
  EXPECT_EQ(kit.doc(), start);
}

TEST(ClsSelectCellMode, DWaitsForASecondKey)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  test::cls_put_class(*kit.ws, 1, 3);
  kit.go(1, 1);
  kit.keys("vd");
  EXPECT_EQ(kit.mode_name(), "SELECT CELL MODE");
  EXPECT_TRUE(kit.ws->elm_at({1, 1}));
  // "dd" removes the selected row (the axis is h: rows).
  kit.keys("d");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(kit.ws->elm_at({1, 2}));
  EXPECT_EQ(kit.ws->elm_at({1, 1}), nullptr);
  EXPECT_EQ(kit.undo_steps(), 1u);
  EXPECT_EQ(test::cls_router_vs_fresh(*kit.ws), "");
}

TEST(ClsSelectCellMode, LineKeysMoveClassesWithTheirConnectors)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 1, 1);
  test::cls_put_class(*kit.ws, 4, 3);
  test::cls_draw(*kit.ws, "composition", {1, 1}, {4, 3});
  const std::string start = kit.doc();
  // Two rows opened at rows 2 and 3: the lower class and the connector's
  // end move down by two.
  kit.go(0, 2);
  kit.keys("vji");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(kit.ws->elm_at({4, 5}));
  EXPECT_EQ(kit.ws->get_connectors()->get_members().front()->end, (CellPos{4, 5}));
  EXPECT_EQ(test::cls_router_vs_fresh(*kit.ws), "");
  EXPECT_EQ(kit.undo_steps(), 1u);
  // With the axis v, "a" opens columns after the selection.
  kit.ctx->set_now_dir(CellDir::v);
  kit.go(2, 0);
  kit.keys("va");
  EXPECT_TRUE(kit.ws->elm_at({5, 5}));
  EXPECT_TRUE(kit.ws->elm_at({1, 1}));
  EXPECT_EQ(test::cls_router_vs_fresh(*kit.ws), "");
  kit.keys("uu");
  EXPECT_EQ(kit.doc(), start);
}

} // namespace
} // namespace velkaro
