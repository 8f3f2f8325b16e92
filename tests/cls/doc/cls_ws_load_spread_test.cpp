// Opening a class diagram lays each group of parallel segments out once
// (from its member last in the layouter) and grows groups over their own
// line: the document it gives must be the one that laying out the group of
// every segment in turn, each grown over the whole set, gives. Generated
// diagrams of both placements and random ones whose connectors crowd a few
// lines (the same pair joined several times, classes side by side).

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls/route/related_segments.h"
#include "cls/route/segment_layouter.h"
#include "cls_diagram.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

// What the plain walk over the loaded document leaves: the group of every
// segment grown over the whole set and laid out, in the set's order, then
// every connector's labels.
void spread_plainly(ClsWorkspace& ws)
{
  const auto order = ws.get_layouter()->get_segments();
  for (const auto& s : order)
    ClsRelatedSegments::create(order, s, ws.grid)->layout();
  for (const auto& c : *ws.get_connectors())
    c->layout({});
}

void expect_load_as_plain(const ClsDiagramPlan& plan, const std::string& path)
{
  std::string error;
  ASSERT_TRUE(cls_write_diagram(plan, path, error)) << error;
  const auto ws = test::new_cls_ws();
  ASSERT_TRUE(ws->load(path)) << ws->get_last_error();
  const auto loaded = test::cls_ws_shot(*ws);
  spread_plainly(*ws);
  EXPECT_CLS_SHOT_EQ(test::cls_ws_shot(*ws), loaded);
}

// n classes at random cells of a side by side area (neighbours touch) and
// connectors of every kind between random classes, pairs repeated.
ClsDiagramPlan random_plan(unsigned seed)
{
  std::mt19937 rng(seed);
  const auto pick = [&rng](int n) { return static_cast<int32_t>(rng() % static_cast<unsigned>(n)); };
  ClsDiagramPlan plan = cls_plan_diagram(4 + pick(8), ClsPlacement::grid);
  const int side = 3 + pick(5);
  std::vector<CellPos> free;
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x)
      free.push_back({x, y});
  std::shuffle(free.begin(), free.end(), rng);
  if (plan.classes.size() > free.size())
    plan.classes.resize(free.size());
  for (size_t i = 0; i < plan.classes.size(); ++i)
    plan.classes[i].cell = free[i];
  const auto& kinds = ClsAbstractConnectorElement::type_names();
  plan.connectors.clear();
  const int connectors = pick(4 * static_cast<int>(plan.classes.size()));
  for (int k = 0; k < connectors; ++k) {
    const auto a = static_cast<size_t>(pick(static_cast<int>(plan.classes.size())));
    const auto b = static_cast<size_t>(pick(static_cast<int>(plan.classes.size())));
    if (a != b)
      plan.connectors.push_back({a, b, kinds[static_cast<size_t>(pick(static_cast<int>(kinds.size())))], "1", "0..*"});
  }
  return plan;
}

TEST(ClsWorkspaceLoadSpread, GeneratedDiagramsOpenAsThePlainWalkLeavesThem)
{
  test::TempDir dir;
  for (const auto& [n, placement] : {std::pair{25, ClsPlacement::grid}, std::pair{100, ClsPlacement::grid},
                                     std::pair{25, ClsPlacement::staggered}}) {
    SCOPED_TRACE(std::string(cls_placement_name(placement)) + " " + std::to_string(n));
    expect_load_as_plain(cls_plan_diagram(n, placement), dir.file("generated.xml"));
  }
}

TEST(ClsWorkspaceLoadSpread, CrowdedRandomDiagramsOpenAsThePlainWalkLeavesThem)
{
  test::TempDir dir;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    expect_load_as_plain(random_plan(seed), dir.file("random.xml"));
  }
}

} // namespace
} // namespace velkaro
