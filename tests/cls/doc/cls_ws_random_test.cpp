// Seeded random scripts over a class workspace of a few classes, texts and
// connectors: classes and texts added and removed, connectors drawn and
// fixed or dropped, rows and columns opened and removed, blocks yanked and
// pasted. Each action runs in a record of its own and is undone and redone
// at once. After every step the route graph equals one built afresh from
// the workspace's registrations, every route that the step made joins its
// ends without running through a class that was there before the step and
// is still there, and every coordinate is finite; undo and redo give back
// exactly the state before and after; undoing every action gives back the
// first document byte for byte and redoing them all the last; every group
// of segments that keeps its last layout is where a layout puts it. A
// failure names its seed and step.

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/cls_ws_for_test.h"
#include "cls/route/router.h"

namespace velkaro {
namespace {

constexpr int32_t RANDOM_CLS_SPAN = 9;

class RandomClsEditor {
public:
  RandomClsEditor(unsigned seed, ClsWorkspace& ws) : m_rng(seed), m_ws(ws) {}

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
  CellPos any_pos() { return {pick(RANDOM_CLS_SPAN + 2), pick(RANDOM_CLS_SPAN + 2)}; }

  // A cell that holds something, or any cell.
  CellPos occupied_pos()
  {
    std::vector<CellPos> cells;
    m_ws.get_cells()->foreach([&cells](int32_t x, int32_t y, const ModelElement::ElementPtr&) {
      cells.push_back({x, y});
      return true;
    });
    return cells.empty() ? any_pos() : cells[pick(static_cast<int>(cells.size()))];
  }

  // One action, run while the record is open; what it was.
  std::string action()
  {
    switch (pick(17)) {
    case 0:
    case 1:
    case 2: {
      const CellPos p = any_pos();
      m_ws.add_class(p);
      return "add_class " + p.to_string();
    }
    case 3: {
      const CellPos p = occupied_pos();
      m_ws.rm_pos(p);
      return "rm_pos " + p.to_string();
    }
    case 4: {
      const CellPos p = pick(3) ? any_pos() : occupied_pos();
      m_ws.add_text(p);
      return "add_text " + p.to_string();
    }
    case 5: return remove_a_text();
    case 6:
    case 7:
    case 14:
    case 15:
    case 16: return fix_a_drawing();
    case 8: {
      const CellDir dir = pick(2) ? CellDir::h : CellDir::v;
      const int32_t i = pick(RANDOM_CLS_SPAN + 1);
      m_ws.insert_line(dir, i);
      return "insert_line " + cell_dir_to_string(dir) + " " + std::to_string(i);
    }
    case 9: {
      const CellDir dir = pick(2) ? CellDir::h : CellDir::v;
      const int32_t i = pick(RANDOM_CLS_SPAN + 1);
      m_ws.remove_line(dir, i);
      return "remove_line " + cell_dir_to_string(dir) + " " + std::to_string(i);
    }
    case 10: {
      const CellPos p = any_pos();
      m_ws.paste_to(p);
      return "paste_to " + p.to_string();
    }
    case 11: {
      const CellRange r = any_range();
      // As the remove-range action does: yank, then remove.
      if (m_ws.yank(r))
        m_ws.rm_class_range(r);
      return "rm_class_range " + r.to_string();
    }
    case 12: {
      const auto& cons = m_ws.get_connectors()->get_members();
      if (cons.empty())
        return "remove_connector (none)";
      const auto c = cons[pick(static_cast<int>(cons.size()))];
      m_ws.remove_connector(c);
      m_ws.signal_update();
      return "remove_connector";
    }
    default: {
      const CellPos p = occupied_pos();
      if (m_ws.yank({p, p}))
        m_ws.rm_pos(p);
      return "cut " + p.to_string();
    }
    }
  }

  // A few classes, a text and connectors between the classes.
  void start_diagram()
  {
    for (int i = 0; i < 6; ++i)
      m_ws.add_class(any_pos());
    m_ws.add_text(any_pos());
    for (int i = 0; i < 3; ++i)
      fix_a_drawing();
  }

  // A step outside the undo history: a yank, or a drawing dropped.
  std::string side_step()
  {
    if (pick(2)) {
      const CellRange r = any_range();
      m_ws.yank(r);
      return "yank " + r.to_string();
    }
    draw();
    m_ws.rm_floating_connector();
    return "drawing dropped";
  }

private:
  CellRange any_range()
  {
    const CellPos a = any_pos();
    return {a, {a.x + pick(4), a.y + pick(4)}};
  }

  // Starts a floating connector and moves it a few times; false when it
  // could not start.
  bool draw()
  {
    const auto& types = ClsAbstractConnectorElement::type_names();
    if (!m_ws.new_floating_connector(occupied_pos(), types[pick(static_cast<int>(types.size()))]))
      return false;
    for (int n = 1 + pick(3); n > 0; --n)
      m_ws.update_floating_connector(n == 1 && pick(6) ? occupied_pos() : any_pos());
    return true;
  }

  std::string fix_a_drawing()
  {
    if (!draw())
      return "draw (no start)";
    const bool fixed = m_ws.fix_floating_connector();
    if (!fixed)
      m_ws.rm_floating_connector();
    return fixed ? "connector fixed" : "drawing dropped in an action";
  }

  // As leaving a text mode removes an emptied text.
  std::string remove_a_text()
  {
    std::vector<ModelElement::ElementPtr> texts;
    m_ws.get_cells()->foreach([&texts](int32_t, int32_t, const ModelElement::ElementPtr& head) {
      for (auto e = head; e; e = e->get_next())
        if (std::dynamic_pointer_cast<ModelTextElement>(e))
          texts.push_back(e);
      return true;
    });
    if (texts.empty())
      return "remove_all (no text)";
    m_ws.remove_all(texts[pick(static_cast<int>(texts.size()))], false);
    return "remove_all of a text";
  }

  std::mt19937 m_rng;
  ClsWorkspace& m_ws;
};

// The checks of one step: where names it.
void expect_sound_cls_step(ClsWorkspace& ws, const std::vector<CellPos>& classes_before,
                           const std::vector<std::vector<CellPos>>& routes_before,
                           const ClsWorkspace::Members& connectors_before, const std::string& where)
{
  SCOPED_TRACE(where);
  EXPECT_EQ(test::cls_router_vs_fresh(ws), "");
  const auto classes_now = test::cls_class_cells(ws);
  const auto kept = [&](const CellPos& p) {
    return std::find(classes_before.begin(), classes_before.end(), p) != classes_before.end() &&
           std::find(classes_now.begin(), classes_now.end(), p) != classes_now.end();
  };
  for (const auto& c : *ws.get_connectors()) {
    const auto it = std::find(connectors_before.begin(), connectors_before.end(), c);
    const bool rerouted =
        it == connectors_before.end() ||
        routes_before[static_cast<size_t>(it - connectors_before.begin())] != test::cls_route_cells(*c);
    // A route kept from before the step was checked when it was made.
    EXPECT_EQ(test::cls_route_problems(*c, [&](const CellPos& p) { return rerouted && kept(p); }), "");
  }
  // Every class is a terminal, and every terminal holds something.
  for (const CellPos& p : classes_now)
    EXPECT_TRUE(ws.get_terminals().count(p)) << p.to_string();
  for (const CellPos& p : ws.get_terminals())
    EXPECT_NE(ws.elm_at(p), nullptr) << p.to_string();
}

std::vector<std::vector<CellPos>> random_cls_routes(const ClsWorkspace& ws)
{
  std::vector<std::vector<CellPos>> routes;
  for (const auto& c : *ws.get_connectors())
    routes.push_back(test::cls_route_cells(*c));
  return routes;
}

void run_random_cls_script(unsigned seed, int steps)
{
  const auto ws = test::new_cls_ws();
  RandomClsEditor editor(seed, *ws);
  editor.start_diagram();
  const std::string first = test::document_of(*ws);
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> records;
  std::vector<std::string> docs{first};
  for (int step = 0; step < steps; ++step) {
    const auto classes = test::cls_class_cells(*ws);
    const auto routes = random_cls_routes(*ws);
    const auto connectors = ws->get_connectors()->get_members();
    const auto before = test::cls_ws_shot(*ws);
    std::string what;
    const bool recorded = editor.pick(5) != 0;
    std::shared_ptr<ModelWorkspaceDiff> d;
    if (recorded)
      d = test::record_edit(*ws, [&] { what = editor.action(); });
    else
      what = editor.side_step();
    const std::string where =
        "seed " + std::to_string(seed) + ", step " + std::to_string(step) + " (" + what + ")";
    expect_sound_cls_step(*ws, classes, routes, connectors, where);
    // A later paste keeps what keeps its last layout.
    EXPECT_EQ(test::cls_layouts_out_of_date(*ws), "") << where;
    if (!d || d->get_is_empty())
      continue;
    const auto after = test::cls_ws_shot(*ws);
    ws->patch(*d->reverse());
    EXPECT_TRUE(test::cls_ws_shot(*ws) == before)
        << where << ": undo\n" << test::cls_ws_shot_diff(test::cls_ws_shot(*ws), before);
    ws->patch(*d);
    EXPECT_TRUE(test::cls_ws_shot(*ws) == after)
        << where << ": redo\n" << test::cls_ws_shot_diff(test::cls_ws_shot(*ws), after);
    if (::testing::Test::HasFailure())
      return;
    records.push_back(d);
    docs.push_back(after.document);
  }
  for (size_t i = records.size(); i-- > 0;) {
    ws->patch(*records[i]->reverse());
    ASSERT_EQ(test::document_of(*ws), docs[i]) << "seed " << seed << ": undo of record " << i;
    EXPECT_EQ(test::cls_router_vs_fresh(*ws), "") << "seed " << seed << ": undo of record " << i;
  }
  EXPECT_EQ(test::document_of(*ws), first);
  for (size_t i = 0; i < records.size(); ++i) {
    ws->patch(*records[i]);
    ASSERT_EQ(test::document_of(*ws), docs[i + 1]) << "seed " << seed << ": redo of record " << i;
  }
}

TEST(ClsWorkspaceRandom, ScriptsUndoneAndRedone)
{
  for (unsigned seed = 1; seed <= 20; ++seed) {
    run_random_cls_script(seed, 80);
    if (HasFailure())
      return;
  }
}

} // namespace
} // namespace velkaro
