// The select-cell mode: its key table, key scripts from the cell mode
// through a selection and back, and the pointer.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/modes/select_cell_mode.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

std::optional<std::string> selection(KindKit& kit)
{
  const auto& range = kit.ctx->selected_range;
  return range ? std::optional(range->to_string()) : std::nullopt;
}

CtrlSelectCellMode& select_cell_mode(KindKit& kit)
{
  return dynamic_cast<CtrlSelectCellMode&>(*kit.ctx->get_mode(typeid(CtrlSelectCellMode)));
}

TEST(SelectCellMode, EveryActionHasItsNameKeysAndDescription)
{
  KindKit kit = cell_kit();
  auto& select = select_cell_mode(kit);
  EXPECT_EQ(select.get_name(), "SELECT CELL MODE");
  expect_key_table(select, {
                             {"copy", {"y", "<C-c>"}, "Yank element", false, true},
                             {"cut", {"x", "<C-x>", "<Del>"}, "Delete current cell element and copy", true, true},
                             {"range-insert", {"i"}, "Insert", true, false},
                             {"range-append", {"a"}, "Append", true, false},
                             {"range-delete", {"dd"}, "Delete selected lines", true, false},
                           });
  // Replacements keep the keys of the base set's names; undo and redo can
  // never run here.
  std::vector<std::string> replaced;
  for (const auto& [name, wrapper] : select.get_replacement()) {
    replaced.push_back(name);
    EXPECT_TRUE(wrapper->get_app_keys().empty()) << name;
    EXPECT_EQ(wrapper->has_is_actionable_func(), name == "undo" || name == "redo") << name;
  }
  EXPECT_EQ(replaced, (std::vector<std::string>{"cancel", "down", "left", "next-element", "prev-element", "redo",
                                                "right", "undo", "up"}));
  const auto& included = select.get_included_modes();
  ASSERT_EQ(included.size(), 2u);
  EXPECT_EQ(included[0]->get_name(), "2D MODE");
  EXPECT_EQ(included[1]->get_name(), "BASE MODE");
}

// A key script and the selection it leaves.
struct SelectScript {
  KeyScript script;
  std::optional<std::string> selection;
};

TEST(SelectCellMode, KeyScripts)
{
  const Layout ab = {"a@1,1", "b@2,1", "c@1,2"};
  const char* cell = "CELL MODE";
  const char* select = "SELECT CELL MODE";
  const SelectScript scripts[] = {
    {{"v selects the cursor cell", ab, {1, 1}, "v", ab, {1, 1}, select, 0}, "(1, 1)-(1, 1)"},
    {{"three l make it four wide", ab, {1, 1}, "vlll", ab, {4, 1}, select, 0}, "(1, 1)-(4, 1)"},
    {{"k and h stretch it up and left", ab, {1, 1}, "vkh", ab, {0, 0}, select, 0}, "(0, 0)-(1, 1)"},
    {{"w stretches it to the next element", ab, {0, 0}, "vw", ab, {1, 1}, select, 0}, "(0, 0)-(1, 1)"},
    {{"Esc: back to the anchor", ab, {1, 1}, "vjl<Esc>", ab, {1, 1}, cell, 0}, std::nullopt},
    {{"u does nothing here", ab, {0, 0}, "Ovlu", {"a@1,2", "b@2,2", "c@1,3"}, {1, 0}, select, 1}, "(0, 0)-(1, 0)"},
    {{"y copies and leaves", ab, {1, 1}, "vlyjp", {"a@1,1", "b@2,1", "c@1,2", "a@2,2", "b@3,2"}, {2, 2}, cell, 1},
     std::nullopt},
    {{"x cuts the block", ab, {1, 1}, "vlx", {"c@1,2"}, {2, 1}, cell, 1}, std::nullopt},
    {{"i opens cells at the block", ab, {1, 1}, "vli", {"a@1,2", "b@2,2", "c@1,3"}, {2, 1}, cell, 1}, std::nullopt},
    {{"a opens cells after the block", ab, {1, 1}, "vla", {"a@1,1", "b@2,1", "c@1,3"}, {2, 1}, cell, 1}, std::nullopt},
    {{"dd removes the block and closes the gap", ab, {1, 1}, "vldd", {"c@1,1"}, {2, 1}, cell, 1}, std::nullopt},
    {{"dd along the axis v", ab, {1, 1}, "<space>vjdd", {"b@1,1"}, {1, 2}, cell, 1}, std::nullopt},
    {{"v l l dd then u in the cell mode", {"a@0,0", "b@1,0", "c@2,0", "d@0,1"}, {0, 0}, "vlldd", {"d@0,0"}, {2, 0},
      cell, 1},
     std::nullopt},
  };
  for (const SelectScript& s : scripts) {
    run_key_script(
      cell_kit(), s.script, ScriptDocument::texts,
      [&s](KindKit& kit) { EXPECT_EQ(selection(kit), s.selection); },
      [](KindKit& kit) { EXPECT_EQ(selection(kit), std::nullopt) << "leaving drops the selection"; });
  }
}

TEST(SelectCellMode, CopyIsActionableOnlyWhenTheSelectionHoldsSomething)
{
  KindKit kit = cell_kit();
  auto& ctx = *kit.ctx;
  put_layout(*kit.ws, {"a@3,3"});
  press_keys(ctx, "vl");
  auto names = ctx.enum_actionable_name();
  EXPECT_FALSE(names.count("copy"));
  EXPECT_FALSE(names.count("cut"));
  EXPECT_FALSE(names.count("undo"));
  EXPECT_FALSE(names.count("redo"));
  EXPECT_TRUE(names.count("range-delete"));
  EXPECT_TRUE(names.count("cancel"));
  press_keys(ctx, "jjjll");
  names = ctx.enum_actionable_name();
  EXPECT_TRUE(names.count("copy"));
  EXPECT_TRUE(names.count("cut"));
}

TEST(SelectCellMode, DeleteResolvedHereLeavesNoPendingKeyInTheIncludedSets)
{
  KindKit kit = cell_kit();
  auto& ctx = *kit.ctx;
  put_layout(*kit.ws, {"a@0,0", "b@0,1", "c@0,2", "d@0,3"});
  press_keys(ctx, "vdd");
  ASSERT_EQ(layout_of(*kit.ws), (Layout{"b@0,0", "c@0,1", "d@0,2"}));
  ASSERT_EQ(mode_name(kit), "CELL MODE");

  // A "d" left pending in the select-cell mode's 2D set would now complete
  // "delete-line" and take a whole row.
  press_keys(ctx, "v");
  press_keys(ctx, "d");
  EXPECT_EQ(layout_of(*kit.ws), (Layout{"b@0,0", "c@0,1", "d@0,2"}));
  EXPECT_EQ(mode_name(kit), "SELECT CELL MODE");
  press_keys(ctx, "d");
  EXPECT_EQ(layout_of(*kit.ws), (Layout{"c@0,0", "d@0,1"})) << "the own range-delete";

  // Nor in the cell mode: a single "d" there waits for the second.
  press_keys(ctx, "d");
  EXPECT_EQ(layout_of(*kit.ws), (Layout{"c@0,0", "d@0,1"}));
  EXPECT_EQ(undo_steps(kit), 2u);
}

TEST(SelectCellMode, ClicksStretchUntilTheButtonIsReleasedThenLeave)
{
  KindKit kit = cell_kit();
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  ctx.set_pos({1, 1});
  press_keys(ctx, "v");
  auto& select = select_cell_mode(kit);
  ASSERT_TRUE(select.get_pressing()) << "entered with v, the button was never released here";

  EXPECT_TRUE(select.on_press_left_button(centre_of(ws, {3, 2})));
  EXPECT_EQ(selection(kit), "(1, 1)-(3, 2)");
  EXPECT_EQ(mode_name(kit), "SELECT CELL MODE");
  EXPECT_TRUE(select.on_release_left_button(centre_of(ws, {3, 2})));
  EXPECT_FALSE(select.on_drag_with_left_button(centre_of(ws, {3, 2}), centre_of(ws, {5, 5})))
    << "no stretching once released";
  EXPECT_EQ(selection(kit), "(1, 1)-(3, 2)");

  EXPECT_TRUE(select.on_press_left_button(centre_of(ws, {4, 4})));
  EXPECT_EQ(mode_name(kit), "CELL MODE");
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{4, 4}));
  EXPECT_EQ(selection(kit), std::nullopt);
}

TEST(SelectCellMode, DragOntoTheSelectionsOnlyCellIsNotHandled)
{
  KindKit kit = cell_kit();
  auto& ctx = *kit.ctx;
  ctx.set_pos({2, 2});
  press_keys(ctx, "v");
  auto& select = select_cell_mode(kit);
  const auto at = centre_of(*kit.ws, {2, 2});
  EXPECT_FALSE(select.on_drag_with_left_button(at, at));
  EXPECT_TRUE(select.on_drag_with_left_button(at, centre_of(*kit.ws, {2, 4})));
  EXPECT_EQ(selection(kit), "(2, 2)-(2, 4)");
  EXPECT_TRUE(select.on_drag_with_left_button(at, at)) << "one of two cells";
  EXPECT_EQ(selection(kit), "(2, 2)-(2, 2)");
}

} // namespace
} // namespace velkaro::test
