// The placement test against a workspace (the cells visited, where the
// cursor is left, the copies carried along) and the box an element is laid
// out in.

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "model/element_cells.h"
#include "model/element_kinds_for_test.h"
#include "model/grid.h"
#include "model/workspace.h"

namespace velkaro {
namespace {

using test::TestElement;

// Logs each cell it is tested at together with the workspace cursor there,
// finds an obstacle at each cell listed in blocked, and keeps the box of
// its latest layout.
class Probe : public ModelElement {
public:
  static std::shared_ptr<Probe> create(int32_t dh = 0, int32_t dv = 0)
  {
    auto p = std::make_shared<Probe>();
    p->dh = dh;
    p->dv = dv;
    return p;
  }

  const char* get_type_name() const override { return "Probe"; }
  ElementPtr new_instance() const override { return std::make_shared<Probe>(); }
  void each_pos_obstacles(std::vector<ElementPtr>& obstacles, const CellPos& pos) override
  {
    const auto ws = get_ws();
    visits.push_back({pos, ws ? ws->cursor : CellPos{-9, -9}});
    if (blocked.count({pos.x, pos.y}))
      obstacles.push_back(blocker);
  }
  void layout(const Rectangle& box) override { laid_out = box; }

  std::vector<std::pair<CellPos, CellPos>> visits;
  std::set<std::pair<int32_t, int32_t>> blocked;
  ElementPtr blocker = TestElement::create("in the way");
  Rectangle laid_out{-1, -1, -1, -1};
};

TEST(ModelElementPlacement, TheWalkMovesTheWorkspaceCursorAndLeavesItBelowTheLastRow)
{
  const auto ws = ModelWorkspace::create();
  const auto p = Probe::create(2, -1);
  ws->move_hv(0, 0);
  EXPECT_TRUE(p->get_obstacles(*ws, {5, 5}).empty());
  const std::vector<CellPos> cells = {{5, 5}, {6, 5}, {7, 5}, {5, 4}, {6, 4}, {7, 4}};
  ASSERT_EQ(p->visits.size(), cells.size());
  for (size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(p->visits[i].first, cells[i]) << i;
    EXPECT_EQ(p->visits[i].second, cells[i]) << "the cursor stands on the cell tested, " << i;
  }
  EXPECT_EQ(ws->cursor, (CellPos{5, 3}));
  EXPECT_EQ(p->get_ws(), ws);
  EXPECT_EQ(p->get_cells(), ws->get_cells());
  EXPECT_EQ(p->wpos, (CellPos{5, 5}));

  // The workspace's own tests put the cursor back.
  p->visits.clear();
  ws->move_hv(1, 1);
  EXPECT_TRUE(ws->obstacles(p).empty());
  EXPECT_TRUE(ws->could_store(p));
  EXPECT_EQ(p->visits.front().first, (CellPos{1, 1}));
  EXPECT_EQ(ws->cursor, (CellPos{1, 1}));
}

TEST(ModelElementPlacement, ACopyTestsTheCopiesItCarriesShiftedLikeItself)
{
  const auto ws = ModelWorkspace::create();
  const auto copy = Probe::create();
  copy->origpos = {1, 1};
  const auto child = Probe::create();
  child->origpos = {1, 2};
  copy->subs.push_back(child);

  EXPECT_TRUE(copy->could_store(*ws, {4, 6}));
  ASSERT_EQ(child->visits.size(), 1u);
  EXPECT_EQ(child->visits[0].first, (CellPos{4, 7}));

  child->blocked = {{4, 7}};
  EXPECT_FALSE(copy->could_store(*ws, {4, 6}));
  EXPECT_TRUE(copy->could_store(*ws, {5, 6}));
  ws->move_hv(4, 6);
  EXPECT_FALSE(ws->could_store(copy));
  EXPECT_FALSE(ws->could_store_ary({copy}));
  const auto other = Probe::create();
  EXPECT_TRUE(ws->could_store_ary({copy, other}));

  // The obstacles of the carried copies come first, then the copy's own;
  // one may be listed more than once.
  copy->blocked = {{4, 6}};
  copy->blocker = child->blocker;
  EXPECT_EQ(ws->obstacles(copy), (std::vector<std::shared_ptr<ModelElement>>{child->blocker,
                                                                             child->blocker}));
  EXPECT_EQ(ws->cursor, (CellPos{4, 6}));
}

TEST(ModelElementPlacement, TheChainAtTheTestedCell)
{
  const auto ws = ModelWorkspace::create();
  const auto stored = TestElement::create();
  ws->move_hv(3, 3);
  ASSERT_TRUE(ws->store(stored));
  const auto p = Probe::create();
  EXPECT_EQ(p->get_c_elm(), nullptr);
  (void)p->could_store(*ws, {3, 3});
  EXPECT_EQ(p->get_c_elm(), stored);
  (void)p->could_store(*ws, {3, 4});
  EXPECT_EQ(p->get_c_elm(), nullptr);
}

TEST(ModelElementPlacement, LayoutBoxesCoverTheCellsInTheFrameOfTheAnchorCell)
{
  const auto ws = ModelWorkspace::create();
  auto& grid = *ws->grid;
  // Set after each store, whose own layout sizes the lines it touches.
  const auto size_lines = [&grid] {
    for (int32_t x = 0; x < 8; ++x)
      grid.h->set_size(x, 30 + 10 * x);
    for (int32_t y = 0; y < 8; ++y)
      grid.v->set_size(y, 25 + y);
  };
  struct Case {
    const char* name;
    int32_t dh, dv;
    Rectangle box;
  };
  // Anchored at (4, 2), laid out where a pass meets it at (5, 3).
  const std::vector<Case> cases = {
    {"one cell: the size of the cell it is met at", 0, 0, {0, 0, 80, 28}},
    {"two by one", 1, 0, {0, 0, 70 + 80, 27}},
    {"one by three", 0, 2, {0, 0, 70, 27 + 28 + 29}},
    {"reaching left", -2, 0, {-(50 + 60), 0, 50 + 60 + 70, 27}},
    {"reaching up and right", 1, -2, {0, -(25 + 26), 70 + 80, 25 + 26 + 27}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto p = Probe::create(c.dh, c.dv);
    ws->move_hv(4, 2);
    ASSERT_TRUE(ws->store(p));
    size_lines();
    p->layout_for(*ws, 5, 3);
    EXPECT_EQ(p->laid_out, c.box);
    ws->remove(p);
  }
}

} // namespace
} // namespace velkaro
