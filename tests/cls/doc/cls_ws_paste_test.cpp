// A paste routes every connector again and lays every group of segments out
// afresh; the workspace keeps the segments of a connector whose route a new
// search would find again (ClsRouter::shortest_route()) and lays out only
// the groups whose layout would move something. What it leaves must be what
// the plain steps leave: every connector routed by a new search into new
// segments, every group laid out from its member first in the layouter,
// every label placed. Blocks of generated diagrams pasted over classes,
// into empty space and half over the edge, between other edits and undos;
// and small random diagrams with their connectors crowding a few lines.
// After every step, every group whose members keep their last layout is
// where laying it out again puts it (what a paste relies on to keep it).

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls/route/route.h"
#include "cls/route/segment_layouter.h"
#include "cls_diagram.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

// What the steps of a paste leave when each connector gets a new search
// and new segments: every group is new, so each is laid out from its first
// member, then the labels follow the routes.
void route_and_spread_plainly(ClsWorkspace& ws)
{
  for (const auto& c : ws.get_connectors()->get_members()) {
    // No segments and no route kept: the search is made and its segments
    // are new.
    ClsRoute none;
    none.start = c->start;
    none.goal = c->end;
    c->update_route(none);
    c->searched_route = nullptr;
    ws.update_connector_route(c);
  }
  ws.get_layouter()->layout_not_laid_out_segs();
  for (const auto& c : *ws.get_connectors())
    c->layout({});
}

class PasteScript {
public:
  PasteScript(unsigned seed, ClsWorkspace& ws) : m_rng(seed), m_ws(ws) {}

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

  // A block yanked somewhere in span and pasted somewhere in span, in a
  // record of its own; its state checked against the plain steps. The
  // record, for undoing it later.
  std::shared_ptr<ModelWorkspaceDiff> paste(int32_t span, const std::string& where)
  {
    const CellPos a{pick(0, span), pick(0, span)};
    const CellRange block{a, {a.x + pick(0, 4), a.y + pick(0, 4)}};
    m_ws.yank(block);
    const CellPos to{pick(0, span + 2), pick(0, span + 2)};
    bool done = false;
    const auto d = test::record_edit(m_ws, [&] { done = m_ws.paste_to(to); });
    // A paste of nothing changes nothing (and routes nothing).
    if (!done)
      return d;
    const auto pasted = test::cls_ws_shot(m_ws);
    route_and_spread_plainly(m_ws);
    EXPECT_TRUE(test::cls_ws_shot(m_ws) == pasted)
        << where << ": " << block.to_string() << " pasted at " << to.to_string() << "\n"
        << test::cls_ws_shot_diff(pasted, test::cls_ws_shot(m_ws));
    return d;
  }

  // Another edit between the pastes: a class added or removed, a class's
  // name made longer (its column wider), a row or column opened.
  void other_edit(int32_t span)
  {
    const CellPos p{pick(0, span), pick(0, span)};
    const auto d = test::record_edit(m_ws, [&] {
      switch (pick(0, 4)) {
      case 0: m_ws.add_class(p); break;
      case 1: m_ws.rm_pos(p); break;
      case 2:
        if (const auto k = std::dynamic_pointer_cast<ClsClassElement>(m_ws.elm_at(p))) {
          k->name_elem->set_text(k->name_elem->get_text() + "Longer");
          m_ws.update_layout(p);
        }
        break;
      case 3: m_ws.insert_line(pick(0, 1) ? CellDir::h : CellDir::v, pick(0, span)); break;
      default: break;
      }
    });
    (void)d;
  }

private:
  std::mt19937 m_rng;
  ClsWorkspace& m_ws;
};

void run_paste_script(ClsWorkspace& ws, unsigned seed, int32_t span, int steps)
{
  PasteScript script(seed, ws);
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> undoable;
  for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
    const std::string where = "seed " + std::to_string(seed) + ", step " + std::to_string(step);
    switch (script.pick(0, 5)) {
    case 0:
      // The last paste undone: its connectors' points come back from the
      // record, no layout's output.
      if (!undoable.empty()) {
        ws.patch(*undoable.back()->reverse());
        undoable.pop_back();
      }
      break;
    case 1:
      // Undo goes back over the latest actions only.
      script.other_edit(span);
      undoable.clear();
      break;
    default: undoable.push_back(script.paste(span, where)); break;
    }
    // Whatever a later paste keeps must be where a layout would put it.
    EXPECT_EQ(test::cls_layouts_out_of_date(ws), "") << where;
  }
}

TEST(ClsWorkspacePaste, PastesIntoGeneratedDiagramsLeaveWhatThePlainStepsLeave)
{
  test::TempDir dir;
  unsigned seed = 0;
  for (const auto& [n, placement] : {std::pair{25, ClsPlacement::grid}, std::pair{100, ClsPlacement::grid},
                                     std::pair{25, ClsPlacement::staggered}}) {
    SCOPED_TRACE(std::string(cls_placement_name(placement)) + " " + std::to_string(n));
    std::string error;
    const ClsDiagramPlan plan = cls_plan_diagram(n, placement);
    ASSERT_TRUE(cls_write_diagram(plan, dir.file("generated.xml"), error)) << error;
    const auto ws = test::new_cls_ws();
    ASSERT_TRUE(ws->load(dir.file("generated.xml"))) << ws->get_last_error();
    run_paste_script(*ws, ++seed, std::max(plan.used.end.x, plan.used.end.y), 24);
  }
}

TEST(ClsWorkspacePaste, PastesIntoCrowdedRandomDiagramsLeaveWhatThePlainStepsLeave)
{
  for (unsigned seed = 1; seed <= 30 && !HasFailure(); ++seed) {
    std::mt19937 rng(seed);
    const auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto ws = test::new_cls_ws();
    // Classes side by side, and connectors between them, pairs repeated.
    std::vector<CellPos> classes;
    for (int i = pick(4, 12); i > 0; --i) {
      const CellPos p{pick(0, 7), pick(0, 7)};
      if (ws->add_class(p))
        classes.push_back(p);
    }
    const auto& kinds = ClsAbstractConnectorElement::type_names();
    for (int i = pick(0, 20); i > 0 && classes.size() > 1; --i) {
      const CellPos a = classes[static_cast<size_t>(pick(0, static_cast<int>(classes.size()) - 1))];
      const CellPos b = classes[static_cast<size_t>(pick(0, static_cast<int>(classes.size()) - 1))];
      if (!(a == b))
        test::cls_draw(*ws, kinds[static_cast<size_t>(pick(0, static_cast<int>(kinds.size()) - 1))], a, b);
    }
    run_paste_script(*ws, seed, 8, 16);
  }
}

} // namespace
} // namespace velkaro
