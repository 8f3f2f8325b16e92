// What a class workspace keeps to skip work must never change what it
// gives: the route each connector's search found (handed back while the
// graph it read stands, ClsRouter::shortest_route()), the layout that placed
// each group of segments last (a group whose layout would be the same is not
// laid out again, ClsRelatedSegments::layout_if_changed()), and segments
// kept for a route found again or crossing lines laid out again at the
// same sizes (ClsSegment::renewed). Two workspaces are given the same
// edits, typing, undos and redos; one of them forgets all it keeps
// before each, so that it searches every route and lays out every group it
// is asked to, as if every segment were new. After every step both must be
// in the same state. A generated diagram and small random ones.

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls_diagram.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

// The twin that keeps nothing: every connector's route search and every
// segment's last layout forgotten.
void forget_kept_work(ClsWorkspace& ws)
{
  std::vector<ClsWorkspace::ConnectorPtr> connectors = ws.get_connectors()->get_members();
  if (ws.get_floating_connector())
    connectors.push_back(ws.get_floating_connector());
  for (const auto& c : connectors) {
    c->searched_route = nullptr;
    for (const auto& s : c->get_segments())
      s->last_layout = nullptr;
  }
}

class Twins {
public:
  Twins(unsigned seed, std::shared_ptr<ClsWorkspace> keeping, std::shared_ptr<ClsWorkspace> forgetting,
        int32_t span)
    : m_rng(seed), m_seed(seed), m_span(span), m_ws{std::move(keeping), std::move(forgetting)}
  {
  }

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
  CellPos any_pos() { return {pick(0, m_span), pick(0, m_span)}; }

  // One step, the same on both; then their states compared.
  void step(int n)
  {
    std::string what;
    std::function<void(ClsWorkspace&)> edit;
    const CellPos p = any_pos();
    const CellPos q = any_pos();
    const CellRange block{p, {p.x + pick(0, 3), p.y + pick(0, 3)}};
    const auto dir = pick(0, 1) ? CellDir::h : CellDir::v;
    const int32_t line = pick(0, m_span);
    const auto& types = ClsAbstractConnectorElement::type_names();
    const std::string type = types[static_cast<size_t>(pick(0, static_cast<int>(types.size()) - 1))];
    switch (pick(0, 13)) {
    case 0:
    case 1:
      what = "add_class " + p.to_string();
      edit = [p](ClsWorkspace& ws) { ws.add_class(p); };
      break;
    case 2:
    case 3:
      what = "rm_pos " + p.to_string();
      edit = [p](ClsWorkspace& ws) { ws.rm_pos(p); };
      break;
    case 4:
      what = "cut " + block.to_string();
      edit = [block](ClsWorkspace& ws) {
        if (ws.yank(block))
          ws.rm_class_range(block);
      };
      break;
    case 5:
    case 6:
      what = "paste " + block.to_string() + " at " + q.to_string();
      edit = [block, q](ClsWorkspace& ws) {
        ws.yank(block);
        ws.paste_to(q);
      };
      break;
    case 7:
      what = "insert_line " + cell_dir_to_string(dir) + " " + std::to_string(line);
      edit = [dir, line](ClsWorkspace& ws) { ws.insert_line(dir, line); };
      break;
    case 8:
      what = "remove_line " + cell_dir_to_string(dir) + " " + std::to_string(line);
      edit = [dir, line](ClsWorkspace& ws) { ws.remove_line(dir, line); };
      break;
    case 9:
      what = type + " drawn " + p.to_string() + " -> " + q.to_string();
      edit = [p, q, type](ClsWorkspace& ws) {
        if (!ws.new_floating_connector(p, type))
          return;
        ws.update_floating_connector({q.x, p.y});
        ws.update_floating_connector(q);
        if (!ws.fix_floating_connector())
          ws.rm_floating_connector();
      };
      break;
    case 10: {
      const int k = pick(0, 1000);
      what = "remove_connector " + std::to_string(k);
      edit = [k](ClsWorkspace& ws) {
        const auto& cons = ws.get_connectors()->get_members();
        if (!cons.empty())
          ws.remove_connector(cons[static_cast<size_t>(k) % cons.size()]);
      };
      break;
    }
    case 11: {
      // Typing in a class's name, as the text modes do it: the text
      // changed, then the element's lines laid out (no undo record).
      const int grow = pick(0, 2);
      what = "typing at " + p.to_string();
      for (const auto& ws : m_ws) {
        if (ws == m_ws[1])
          forget_kept_work(*ws);
        const auto klass = std::dynamic_pointer_cast<ClsClassElement>(ws->elm_at(p));
        if (!klass)
          continue;
        const std::string name = klass->name_elem->get_text();
        klass->name_elem->set_text(grow == 0 && !name.empty() ? name.substr(0, name.size() - 1)
                                                             : name + std::string(static_cast<size_t>(grow) * 3, 'W'));
        ws->may_updated(klass);
      }
      for (int t = 0; t < 2; ++t) {
        m_done[t].clear();
        m_undone[t].clear();
      }
      compare(n, what);
      return;
    }
    default: undo_or_redo(n); return;
    }
    for (int t = 0; t < 2; ++t) {
      if (t == 1)
        forget_kept_work(*m_ws[1]);
      auto d = test::record_edit(*m_ws[t], [&] { edit(*m_ws[t]); });
      m_done[t].push_back(d);
      m_undone[t].clear();
    }
    compare(n, what);
  }

private:
  void undo_or_redo(int n)
  {
    const bool undo = pick(0, 2) != 0;
    for (int t = 0; t < 2; ++t) {
      auto& from = undo ? m_done[t] : m_undone[t];
      auto& to = undo ? m_undone[t] : m_done[t];
      if (from.empty())
        return;
      if (t == 1)
        forget_kept_work(*m_ws[1]);
      m_ws[t]->patch(undo ? *from.back()->reverse() : *from.back());
      to.push_back(from.back());
      from.pop_back();
    }
    compare(n, undo ? "undo" : "redo");
  }

  void compare(int n, const std::string& what)
  {
    const auto keeping = test::cls_ws_shot(*m_ws[0]);
    const auto forgetting = test::cls_ws_shot(*m_ws[1]);
    EXPECT_TRUE(keeping == forgetting) << "seed " << m_seed << ", step " << n << " (" << what << ")\n"
                                       << test::cls_ws_shot_diff(keeping, forgetting);
  }

  std::mt19937 m_rng;
  unsigned m_seed;
  int32_t m_span;
  std::shared_ptr<ClsWorkspace> m_ws[2];
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> m_done[2];
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> m_undone[2];
};

TEST(ClsWorkspaceKeptWork, AGeneratedDiagramEditedAsIfNothingWereKept)
{
  test::TempDir dir;
  std::string error;
  const ClsDiagramPlan plan = cls_plan_diagram(36, ClsPlacement::grid);
  ASSERT_TRUE(cls_write_diagram(plan, dir.file("generated.xml"), error)) << error;
  for (unsigned seed = 1; seed <= 3 && !HasFailure(); ++seed) {
    auto keeping = test::new_cls_ws();
    auto forgetting = test::new_cls_ws();
    ASSERT_TRUE(keeping->load(dir.file("generated.xml")));
    ASSERT_TRUE(forgetting->load(dir.file("generated.xml")));
    Twins twins(seed, keeping, forgetting, plan.used.end.x);
    for (int n = 0; n < 40 && !HasFailure(); ++n)
      twins.step(n);
  }
}

TEST(ClsWorkspaceKeptWork, SmallRandomDiagramsEditedAsIfNothingWereKept)
{
  for (unsigned seed = 1; seed <= 40 && !HasFailure(); ++seed) {
    auto keeping = test::new_cls_ws();
    auto forgetting = test::new_cls_ws();
    Twins twins(seed, keeping, forgetting, 8);
    // A start of classes side by side and connectors crowding their lines.
    for (int n = 0; n < 12; ++n) {
      const CellPos p = twins.any_pos();
      keeping->add_class(p);
      forgetting->add_class(p);
    }
    for (int n = 0; n < 60 && !HasFailure(); ++n)
      twins.step(n);
  }
}

} // namespace
} // namespace velkaro
