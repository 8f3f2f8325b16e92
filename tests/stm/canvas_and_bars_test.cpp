// The state-machine canvas, exporter, menu bar and tool bar: the drawers in
// drawing order, the range fills switched by the exact mode, an exported
// small state machine with every kind of element and no editor marks, the
// "_Edit" menu's rows and the tool bar's buttons with their sensitivity.
//
// With VELKARO_STM_DOC_IMAGE naming a file, the exported picture is also
// copied there: scripts/doc-images draws docs/images/state-export.png this
// way.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "common/any.h"
#include "common/cell_range.h"
#include "ctrl/gdk_events_for_test.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "stm/canvas.h"
#include "stm/change_range_drawer.h"
#include "stm/composite_drawer.h"
#include "stm/exporting_cnavas.h"
#include "stm/lines_drawer.h"
#include "stm/main_menu.h"
#include "stm/points_drawer.h"
#include "stm/stm_draw_for_test.h"
#include "stm/stm_modes_for_test.h"
#include "stm/tool_bar.h"
#include "view/bars_for_test.h"
#include "view/cell_cursor_drawer.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/filling_drawer.h"
#include "view/kind_bars_for_test.h"
#include "view/grid_drawer.h"
#include "view/pixels_for_test.h"
#include "view/single_text_drawer.h"
#include "view/tool_button.h"
#include "view/viewport_drawer.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;

TEST(StmCanvas, TheCanvasDrawsItsNineDrawersInOrder)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  StmCanvas canvas(*k.ctx);
  const std::vector<std::type_index> want{
    typeid(ViewHVGridDrawer),   typeid(StmChangeRangeDrawer), typeid(ViewCellCursorDrawer),
    typeid(StmCompositeDrawer), typeid(StmPointsDrawer),      typeid(StmLinesDrawer),
    typeid(SeqSingleTextDrawer), typeid(StmSelectedRangeDrawerS), typeid(ViewViewportDrawer),
  };
  EXPECT_EQ(types_of(canvas.get_drawers()), want);
}

TEST(StmCanvas, TheExporterDrawsTheBackgroundAndTheFourElementDrawers)
{
  StmDrawKit k;
  const auto exporter = ViewExportingCnavas::create<StmExportingCnavas>(k.ctx, {0, 0, 10, 10});
  const std::vector<std::type_index> want{
    typeid(ViewFillingBackgroundDrawer), typeid(StmCompositeDrawer), typeid(StmPointsDrawer),
    typeid(StmLinesDrawer),              typeid(SeqSingleTextDrawer),
  };
  EXPECT_EQ(types_of(exporter->new_drawers()), want);
}

// A small state machine: a begin state with a path of two transitions to a
// junction inside a composite, the other point kinds in a row below with a
// transition between two of them, a concurrency line splitting the
// composite and a free text.
void build_sample(StmDrawKit& k)
{
  k.add("composite", 3, 0, 4, 4);
  k.add("beginstate", 1, 1);
  auto first = k.add("transaction", 1, 1, 3, 0);
  k.add("junction", 5, 3);
  auto second = k.add("transaction", 4, 1, 0, 2);
  second->set_parent(first);
  auto third = k.add("transaction", 4, 3, 1, 0);
  third->set_parent(second);
  k.add("concurrent", 6, 0, 0, 4);
  k.add("sinkstate", 1, 6);
  k.add("entry", 3, 6);
  k.add("exit", 5, 6);
  k.add("transaction", 3, 6, 2, 0);
  k.add("terminate", 7, 6);
  k.add("history", 9, 6);
  k.add("conditional", 11, 6);
  k.ws->move_hv(9, 2);
  ASSERT_TRUE(k.ws->add_text({9, 2}));
  k.ws->elm_at({9, 2})->seek<ModelTextElement>(ANY_ROLE)->set_text("idle");
  k.finish();
}

TEST(StmCanvas, AnExportedStateMachineShowsEveryElementAndNoEditorMarks)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  build_sample(k);
  k.ctx->set_pos({1, 3});
  k.ctx->selected_range = std::make_shared<CellRange>(CellRange{{0, 3}, {1, 4}});
  // A margin around the diagram, so that the figures at its edges stand
  // clear of the picture's border.
  constexpr double M = 12;
  const Rectangle all{-M, -M, k.cell(11, 6).get_right() + 2 * M, k.cell(11, 6).get_bottom() + 2 * M};
  TempDir dir;
  const std::string path = dir.file("state-export.png");
  const auto exporter = ViewExportingCnavas::create<StmExportingCnavas>(k.ctx, all);
  ASSERT_TRUE(exporter->export_png(path)) << exporter->get_last_error();
  if (const char* keep = std::getenv("VELKARO_STM_DOC_IMAGE"); keep && *keep)
    std::filesystem::copy_file(path, keep, std::filesystem::copy_options::overwrite_existing);
  const auto image = Cairo::ImageSurface::create_from_png(path);
  const StmProbe probe{image, -M, -M};

  // Every point figure is centred 15 from its cell's left and bottom edges.
  for (const CellPos cell : {CellPos{1, 1}, CellPos{5, 3}, CellPos{1, 6}}) {
    const Point c = StmPointsDrawer::center(k.cell(cell.x, cell.y));
    EXPECT_GT(probe.ink(c.get_x(), c.get_y()), 0.5) << cell.to_string();
  }
  for (const CellPos cell : {CellPos{3, 6}, CellPos{5, 6}, CellPos{7, 6}, CellPos{9, 6}, CellPos{11, 6}}) {
    EXPECT_GT(probe.inked(k.cell(cell.x, cell.y)), 10) << cell.to_string();
  }
  // The first transition runs along row 1 between the begin state and the
  // turn; the concurrency line is thick.
  const Point mid = StmPointsDrawer::center(k.cell(2, 1));
  EXPECT_GT(probe.spot(mid.get_x(), mid.get_y()), 0.5);
  const Point bar = StmPointsDrawer::center(k.cell(6, 2));
  EXPECT_GT(probe.width_v(bar.get_x(), bar.get_y()), 2.0);
  // The composite's left side and the free text.
  const Rectangle compo = k.cell(3, 2);
  EXPECT_GT(probe.vline(compo.x + 0.5, compo.get_ymid()), 0.3);
  EXPECT_GT(probe.inked(k.cell(9, 2)), 5);

  // No grid, cursor frame or selection: the empty cells under the cursor
  // and the selection, and an empty cell far from everything, are white.
  for (const CellPos cell : {CellPos{0, 3}, CellPos{1, 3}, CellPos{0, 4}, CellPos{11, 1}}) {
    const Rectangle r = k.cell(cell.x, cell.y);
    EXPECT_EQ(probe.inked({r.x - 1, r.y - 1, r.width + 2, r.height + 2}), 0) << cell.to_string();
  }
}

TEST(StmCanvas, TheRangeFillsFollowTheExactMode)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  ASSERT_TRUE(kit.ws->insert_elm({1, 1}, "beginstate"));
  const auto palette = ViewColorMap::create_dark();
  // The selection's cells, with the two range drawers alone.
  const auto fills = [&]() {
    const Rectangle cell = kit.ws->grid->get_rect(2, 2);
    const auto dc = ViewDrawerContext::create_make_surface({0, 0, 200, 200});
    dc->color_map = palette;
    dc->cr->set_source_rgb(0, 0, 0);
    dc->cr->paint();
    StmChangeRangeDrawer change;
    StmSelectedRangeDrawerS selected;
    change.draw_for(dc, kit.ctx);
    const Pixel after_change = pixel_at(dc->surface, int(cell.get_xmid()), int(cell.get_ymid()));
    selected.draw_for(dc, kit.ctx);
    dc->surface->flush();
    return std::pair{after_change, pixel_at(dc->surface, int(cell.get_xmid()), int(cell.get_ymid()))};
  };
  const Pixel clear = rgb(0, 0, 0);
  const Pixel range_fill = blend(palette->get(ViewColor::range_cell_fill), clear);
  const Pixel selected_fill = blend(palette->get(ViewColor::selected_cell_fill), clear);
  ASSERT_NE(range_fill, selected_fill);

  kit.go(2, 2);
  kit.keys("vj");
  ASSERT_EQ(kit.mode_name(), "SELECT CELL MODE");
  auto [change, both] = fills();
  EXPECT_EQ(change, clear);
  EXPECT_TRUE(near(both, selected_fill)) << both;
  kit.keys("<Esc>");

  kit.go(1, 1);
  kit.keys("illjj");
  ASSERT_EQ(kit.mode_name(), "RANGE MODE");
  std::tie(change, both) = fills();
  EXPECT_TRUE(near(change, range_fill)) << change;
  EXPECT_EQ(both, change);
}

using BarsKit = KindBars<StmKit, StmMainMenu, StmToolBar>;

TEST(StmBars, TheEditMenuHasItsNineteenRowsBetweenFileAndView)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  expect_menu_bar_holds(b.bars, {"_File", "_Edit", "_View", "_Help"},
                        {{"_Edit", joined_lines({EDIT_MENU_HEAD_LINES,
                                                 {
                                                   "Append _Text -> append-text",
                                                   "---",
                                                   "_Edit -> change",
                                                   "---",
                                                   "Insert r_ow -> insert-row",
                                                   "Insert co_lumn -> insert-col",
                                                   "_Delete row -> delete-row",
                                                   "Delete co_lumn -> delete-col",
                                                 },
                                                 EDIT_MENU_TAIL_LINES})}});
}

TEST(StmBars, TheToolBarHasSixteenButtonsAndSixSeparatorsEnabledByWhatCanRun)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  expect_tool_bar_holds(b.bars, joined_lines({TOOL_BAR_HEAD_LINES, {"Insert element -> insert-element", "|"},
                                              TOOL_BAR_LINE_LINES, TOOL_BAR_HELP_LINES}));
  // Right after construction, on an empty cell: nothing to copy, cut,
  // paste or change; inserting always can run; help always.
  const auto names = b.kit.ctx->enum_actionable_name();
  EXPECT_EQ(expect_buttons_follow(b.bars, names), 16);
  EXPECT_EQ(names.count("copy"), 0u);
  EXPECT_EQ(names.count("paste"), 0u);
  EXPECT_EQ(names.count("insert-element"), 1u);
  EXPECT_EQ(names.count("append-text"), 1u);
  EXPECT_EQ(names.count("change"), 0u);
  // A text at the cursor: change is offered, append-text is not; copy and
  // cut never are, since they take nothing from a state machine.
  ASSERT_TRUE(b.kit.ws->add_text({0, 0}));
  const auto on_text = b.kit.ctx->enum_actionable_name();
  EXPECT_EQ(on_text.count("copy"), 0u);
  EXPECT_EQ(on_text.count("cut"), 0u);
  EXPECT_EQ(on_text.count("change"), 1u);
  EXPECT_EQ(on_text.count("append-text"), 0u);
  EXPECT_EQ(on_text.count("paste"), 0u);
}

} // namespace
} // namespace velkaro::test
