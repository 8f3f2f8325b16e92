// "SELECT CONNECTOR MODE": the four sides of a box and the focus walking
// along them and round their corners without wrapping, the focus passed on
// by a removal, the order along a side, and a connector that leaves the set
// behind the mode's back never listed again.

#include <array>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/cls_ctrl_kit_for_test.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/connectors.h"
#include "cls/select_connector_mode.h"
#include "common/text_join.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::ClsKit;
using SideList = ClsSelectConnectorModeSideConnectorList;
using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;

// Four wired sides holding connectors named by their side letter and index
// ("T0", "R1").
struct Box {
  explicit Box(const std::map<MovingDir, int>& counts)
  {
    ClsSelectConnectorMode::wire(lists);
    for (const auto& [dir, n] : counts)
      for (int i = 0; i < n; ++i) {
        auto con = ClsAbstractConnectorElement::make("association");
        names[con.get()] = text_join({std::string_view("TBLR").substr(static_cast<size_t>(dir), 1), std::to_string(i)});
        lists[static_cast<size_t>(dir)].get_connectors().push_back(con);
      }
  }
  SideList& side(MovingDir d) { return lists[static_cast<size_t>(d)]; }
  std::string name(const SideList* list) const
  {
    if (!list)
      return "none";
    const auto con = list->get_focused_connector();
    return con ? names.at(con.get()) : "no focus";
  }
  // Connectors carrying the focus flag, over all sides.
  int flagged() const
  {
    int n = 0;
    for (const auto& list : lists)
      for (const auto& con : list.get_connectors())
        n += con->focus ? 1 : 0;
    return n;
  }

  std::array<SideList, 4> lists;
  std::map<const ClsAbstractConnectorElement*, std::string> names;
};

MovingDir dir_of(char key)
{
  switch (key) {
  case 'h':
    return MovingDir::left;
  case 'j':
    return MovingDir::down;
  case 'k':
    return MovingDir::up;
  default:
    return MovingDir::right;
  }
}

TEST(ClsSelectConnectorSides, FocusTurnsTheCornersWithoutWrapping)
{
  struct Step {
    char key;
    const char* focused;
  };
  const Step steps[] = {
    {'l', "T1"}, {'l', "T2"},
    {'l', "R0"}, // past the right-most top connector: the top of the right side
    {'j', "R1"},
    {'j', "B1"}, // past the bottom of the right side: the right-most bottom one
    {'h', "B0"},
    {'h', "L0"}, // past the left-most bottom one: the bottom of the left side
    {'l', "R0"}, // across
    {'l', "R0"}, // outward: nothing
    {'h', "L0"}, // across, entered at the last
    {'k', "T0"}, // past the top of the left side: the left-most top one
    {'k', "T0"}, // outward
    {'j', "B0"}, // across from the top: the first
    {'k', "T2"}, // across from the bottom: the right-most top one
  };
  Box box({{MovingDir::up, 3}, {MovingDir::down, 2}, {MovingDir::left, 1}, {MovingDir::right, 2}});
  SideList* current = &box.side(MovingDir::up);
  current->focus(0);
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(1, s.key) + " to " + s.focused);
    current = current->move(dir_of(s.key));
    EXPECT_EQ(box.name(current), s.focused);
    EXPECT_EQ(box.flagged(), 1);
  }
}

TEST(ClsSelectConnectorSides, AnEmptyNeighbourKeepsTheFocus)
{
  Box box({{MovingDir::down, 2}, {MovingDir::right, 1}});
  SideList* current = &box.side(MovingDir::down);
  current->focus(0);
  EXPECT_EQ(box.name(current = current->move(MovingDir::left)), "B0");
  EXPECT_EQ(box.name(current = current->move(MovingDir::down)), "B0");
  EXPECT_EQ(box.name(current = current->move(MovingDir::up)), "B0");
  EXPECT_EQ(box.name(current = current->move(MovingDir::right)), "B1");
  EXPECT_EQ(box.name(current = current->move(MovingDir::right)), "R0");
}

TEST(ClsSelectConnectorSides, RemovalPassesTheFocusOn)
{
  struct Case {
    const char* what;
    std::map<MovingDir, int> counts;
    MovingDir from;
    int index;
    const char* focused;
  };
  const Case cases[] = {
    {"middle: the one that took its index", {{MovingDir::up, 3}}, MovingDir::up, 1, "T2"},
    {"last: the one before", {{MovingDir::up, 3}}, MovingDir::up, 2, "T1"},
    {"only one of the top: the next side's first",
     {{MovingDir::up, 1}, {MovingDir::right, 2}, {MovingDir::left, 2}},
     MovingDir::up,
     0,
     "R0"},
    {"next side empty: the previous side's first", {{MovingDir::up, 1}, {MovingDir::left, 2}, {MovingDir::down, 2}},
     MovingDir::up, 0, "L0"},
    {"only the opposite side left", {{MovingDir::up, 1}, {MovingDir::down, 2}}, MovingDir::up, 0, "B0"},
    {"only one of the bottom: the next side's last", {{MovingDir::down, 1}, {MovingDir::right, 2}},
     MovingDir::down, 0, "R1"},
    {"only one of the right: the bottom's last", {{MovingDir::right, 1}, {MovingDir::down, 3}}, MovingDir::right,
     0, "B2"},
    {"only one of the left: the bottom's first", {{MovingDir::left, 1}, {MovingDir::down, 3}}, MovingDir::left, 0,
     "B0"},
    {"the last of all", {{MovingDir::left, 1}}, MovingDir::left, 0, "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Box box(c.counts);
    box.side(c.from).focus(c.index);
    SideList* next = box.side(c.from).remove_focused_connector();
    EXPECT_EQ(box.name(next), c.focused);
    EXPECT_EQ(box.flagged(), next ? 1 : 0);
  }
  Box unfocused({{MovingDir::up, 2}});
  EXPECT_EQ(unfocused.side(MovingDir::up).remove_focused_connector(), nullptr);
  EXPECT_EQ(unfocused.side(MovingDir::up).get_connectors().size(), 2u);
}

// A class at (4, 4) joined to classes straight above, below, left and
// right of it, in that order.
struct Star {
  explicit Star(ClsKit& kit)
  {
    test::cls_put_class(*kit.ws, 4, 4, "C");
    const std::array<CellPos, 4> ends = {CellPos{4, 1}, CellPos{4, 7}, CellPos{1, 4}, CellPos{7, 4}};
    for (const CellPos& e : ends) {
      test::cls_put_class(*kit.ws, e.x, e.y);
      cons.push_back(test::cls_draw(*kit.ws, "association", {4, 4}, e));
    }
    kit.go(4, 4);
  }
  // up, down, left, right
  std::vector<ConnectorPtr> cons;
};

TEST(ClsSelectConnectorMode, KeysWalkTheSidesAndRemovalPassesTheFocus)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  Star star(kit);
  const std::string start = kit.doc();
  kit.keys("r");
  ASSERT_EQ(kit.mode_name(), "SELECT CONNECTOR MODE");
  auto& mode = kit.mode<ClsSelectConnectorMode>();
  for (size_t i = 0; i < 4; ++i)
    ASSERT_EQ(mode.get_side_list(static_cast<MovingDir>(i)).get_connectors(), std::vector<ConnectorPtr>{star.cons[i]});
  EXPECT_EQ(mode.get_focused_connector(), star.cons[0]);
  EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[0]);
  EXPECT_TRUE(star.cons[0]->focus);

  struct Step {
    const char* keys;
    int focused;
  };
  // Top, then right (past the only top one), bottom, left, top again;
  // w, b, u and <C-r> do nothing.
  for (const Step& s : {Step{"l", 3}, Step{"j", 1}, Step{"h", 2}, Step{"k", 0}, Step{"k", 0}, Step{"wbu<C-r>", 0}}) {
    SCOPED_TRACE(s.keys);
    kit.keys(s.keys);
    EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[static_cast<size_t>(s.focused)]);
    for (size_t i = 0; i < 4; ++i)
      EXPECT_EQ(star.cons[i]->focus, static_cast<int>(i) == s.focused);
  }
  EXPECT_EQ(kit.undo_steps(), 0u);

  // The top one goes; its side is empty: the right side's first.
  kit.keys("x");
  EXPECT_EQ(kit.ws->get_connectors()->size(), 3u);
  EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[3]);
  EXPECT_EQ(kit.mode_name(), "SELECT CONNECTOR MODE");
  // The right one: its next (bottom) takes it at the last.
  kit.keys("d");
  EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[1]);
  kit.keys("x");
  EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[2]);
  kit.keys("x");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.ctx->get_focused_connector(), nullptr);
  EXPECT_EQ(kit.ws->get_connectors()->size(), 0u);
  EXPECT_EQ(kit.undo_steps(), 4u);
  kit.keys("uuuu");
  EXPECT_EQ(kit.doc(), start);
  EXPECT_EQ(test::cls_router_vs_fresh(*kit.ws), "");
}

TEST(ClsSelectConnectorMode, EntryCancelAndPresses)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  Star star(kit);
  test::cls_put_class(*kit.ws, 9, 9);
  kit.go(9, 9);
  kit.keys("r");
  EXPECT_EQ(kit.mode_name(), "CELL MODE") << "no connector ends at the cursor";
  kit.go(5, 5);
  kit.keys("r");
  EXPECT_EQ(kit.mode_name(), "CELL MODE") << "no element at the cursor";
  kit.go(4, 4);
  kit.keys("r");
  ASSERT_EQ(kit.mode_name(), "SELECT CONNECTOR MODE");
  kit.click({4, 4});
  EXPECT_EQ(kit.mode_name(), "SELECT CONNECTOR MODE");
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_FALSE(star.cons[0]->focus);
  EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[0]) << "kept for the edit-connector mode";
  kit.keys("r");
  kit.click({9, 9});
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.cursor(), (CellPos{9, 9}));
}

TEST(ClsSelectConnectorMode, ASideIsOrderedAlongIt)
{
  VELKARO_REQUIRE_GTK();
  ClsKit kit;
  test::cls_put_class(*kit.ws, 4, 4);
  test::cls_put_class(*kit.ws, 4, 1);
  // Three parallel connectors out of the top, one of them ending there.
  test::cls_draw(*kit.ws, "association", {4, 4}, {4, 1});
  test::cls_draw(*kit.ws, "dependency", {4, 1}, {4, 4});
  test::cls_draw(*kit.ws, "composition", {4, 4}, {4, 1});
  kit.go(4, 4);
  kit.keys("r");
  auto& mode = kit.mode<ClsSelectConnectorMode>();
  const auto& top = mode.get_side_list(MovingDir::up).get_connectors();
  ASSERT_EQ(top.size(), 3u);
  for (size_t i = 1; i < top.size(); ++i)
    EXPECT_LE(mode.cmp_connector_pos(*top[i - 1], *top[i]), 0);
  EXPECT_EQ(kit.ctx->get_focused_connector(), top[0]);
  kit.keys("ll");
  EXPECT_EQ(kit.ctx->get_focused_connector(), top[2]);
  // The last one goes: the focus stays at the last index of the side, sorted
  // again (the removal lays the others out anew).
  kit.keys("x");
  const auto& after = mode.get_side_list(MovingDir::up);
  ASSERT_EQ(after.get_connectors().size(), 2u);
  EXPECT_EQ(after.get_focus_index(), 1);
  EXPECT_EQ(kit.ctx->get_focused_connector(), after.get_connectors()[1]);
  EXPECT_LE(mode.cmp_connector_pos(*after.get_connectors()[0], *after.get_connectors()[1]), 0);
}

TEST(ClsSelectConnectorMode, AConnectorGoneFromTheSetIsNeverListed)
{
  VELKARO_REQUIRE_GTK();
  for (const bool announced : {true, false}) {
    SCOPED_TRACE(announced ? "the workspace reports the change" : "only the next key finds it");
    ClsKit kit;
    Star star(kit);
    kit.keys("r");
    auto& mode = kit.mode<ClsSelectConnectorMode>();
    ASSERT_EQ(mode.get_focused_connector(), star.cons[0]);
    // Taken out of the set by other means (as a file read would).
    ASSERT_TRUE(kit.ws->remove_connector(star.cons[0]));
    ASSERT_TRUE(kit.ws->remove_connector(star.cons[1]));
    if (announced) {
      kit.ws->signal_update();
      EXPECT_EQ(mode.get_focused_connector(), star.cons[3]) << "passed on as after a removal";
    }
    kit.keys("l");
    for (size_t i = 0; i < 4; ++i)
      for (const auto& con : mode.get_side_list(static_cast<MovingDir>(i)).get_connectors())
        EXPECT_TRUE(kit.ws->get_connectors()->contains(*con));
    EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[3]);
    const size_t steps = kit.undo_steps();
    kit.keys("x");
    EXPECT_EQ(kit.undo_steps(), steps + 1);
    EXPECT_EQ(kit.ctx->get_focused_connector(), star.cons[2]);
    // The last one goes behind the mode's back: the next key leaves.
    ASSERT_TRUE(kit.ws->remove_connector(star.cons[2]));
    kit.keys("x");
    EXPECT_EQ(kit.mode_name(), "CELL MODE");
    EXPECT_EQ(kit.undo_steps(), steps + 1);
  }
}

} // namespace
} // namespace velkaro
