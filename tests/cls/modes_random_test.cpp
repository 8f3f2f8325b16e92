// Seeded random scripts of keys and pointer events over the class-diagram
// modes, on a real context and canvas. After every input the class
// workspace holds together: the route graph equals one built afresh from
// its registrations, every class is a terminal and every terminal holds an
// element, every route joins its ends in straight runs with finite
// coordinates, a floating connector exists exactly while "CONNECT MODE" is
// current, and the focused connector is one of the connector set; the
// select-connector mode lists only members of the set and its focused
// connector carries the flag; the edit-connector mode edits a label of a member with a route;
// a class's edited compartment is one of its shown ones. At the
// end the whole history is undone back to the first document, byte for
// byte, and redone to the last. A failure names its seed and step.

#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/cls_ctrl_kit_for_test.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/doc/class_element.h"
#include "cls/doc/connectors.h"
#include "cls/edit_connector_mode.h"
#include "cls/mode_text.h"
#include "cls/select_connector_mode.h"
#include "cls/route/segment.h"
#include "common/rectangle.h"
#include "ctrl/gdk_events_for_test.h"
#include "model/grid.h"
#include "support/test_env.h"
#include "view/random_scripts_for_test.h"

namespace velkaro {
namespace {

constexpr int32_t RANDOM_SPAN = 8;

// Keys of every mode the scripts reach; letters also type in the text modes.
const std::vector<std::string>& random_keys()
{
  static const std::vector<std::string> keys = {
    "h", "j", "k", "l", "h", "j", "k", "l", "w", "b", "c", "c", "i", "a", "I", "<CR>", "R", "D", "A", "C", "G",
    "R", "v", "r", "y", "x", "x", "p", "<Esc>", "<Esc>", "u", "u", "<C-r>", "o", "O", "dd", "d", "<Tab>",
    "<Del>", "<BS>", "q", "<S-Enter>", "<S-Del>",
    // The select-connector and edit-connector modes, the text modes'
    // motions across compartments, selection, the clipboard.
    "r", "r", "i", "<Tab>", "1", "0", "$", "e", "gg", "v", "v", "y", "p", "P", "<C-v>", "j", "k", "<S-Enter>",
  };
  return keys;
}

class RandomClsInput {
public:
  RandomClsInput(unsigned seed, test::ClsKit& kit) : m_rng(seed), m_kit(kit) {}

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
  CellPos any_cell() { return {pick(RANDOM_SPAN), pick(RANDOM_SPAN)}; }

  void start_diagram()
  {
    auto& ws = *m_kit.ws;
    for (int i = 0; i < 5; ++i)
      ws.add_class(any_cell());
    ws.add_text(any_cell());
    const auto cells = test::cls_class_cells(ws);
    for (size_t i = 0; i + 1 < cells.size() && i < 3; ++i) {
      ws.new_floating_connector(cells[i], ClsAbstractConnectorElement::type_names()[i]);
      ws.update_floating_connector(cells[i + 1]);
      if (!ws.fix_floating_connector())
        ws.rm_floating_connector();
    }
  }

  // One input; what it was.
  std::string input()
  {
    const int what = pick(10);
    if (what < 7) {
      const auto& keys = random_keys();
      const std::string& key = keys[static_cast<size_t>(pick(static_cast<int>(keys.size())))];
      m_kit.keys(key);
      return "key " + key;
    }
    if (what == 9 && pick(2))
      return pick_connector_end();
    const Point pt = any_point();
    if (what == 7) {
      m_kit.press_pt(pt);
      m_kit.release_pt(pt);
      return "click " + test::cls_point_text(pt);
    }
    if (what == 8) {
      m_kit.double_press_pt(pt);
      m_kit.release_pt(pt);
      return "double click " + test::cls_point_text(pt);
    }
    const Point to = m_kit.centre(any_cell());
    m_kit.press_pt(pt);
    m_kit.drag_pt(to);
    m_kit.release_pt(to);
    return "drag " + test::cls_point_text(pt) + " to " + test::cls_point_text(to);
  }

private:
  // A click on the end cell of a connector, then "r" (towards the
  // select-connector mode) and maybe "i" (the edit-connector mode).
  std::string pick_connector_end()
  {
    const auto& cons = m_kit.ws->get_connectors()->get_members();
    if (cons.empty())
      return "no connector to pick";
    const auto& con = cons[static_cast<size_t>(pick(static_cast<int>(cons.size())))];
    const CellPos cell = pick(2) ? con->start : con->end;
    m_kit.click(cell);
    const std::string keys = pick(2) ? "r" : "ri";
    m_kit.keys(keys);
    return "click " + cell.to_string() + ", " + keys;
  }

  // A cell centre, or a point beside a connector's segment.
  Point any_point()
  {
    const auto& cons = m_kit.ws->get_connectors()->get_members();
    if (!cons.empty() && pick(2)) {
      const auto& con = cons[static_cast<size_t>(pick(static_cast<int>(cons.size())))];
      if (!con->get_segments().empty()) {
        const auto& segs = con->get_segments();
        const Rectangle r = segs[static_cast<size_t>(pick(static_cast<int>(segs.size())))]->get_rect(*m_kit.ws->grid);
        return Point(r.x + r.width / 2 + pick(9) - 4, r.y + r.height / 2 + pick(9) - 4);
      }
    }
    return m_kit.centre(any_cell());
  }

  std::mt19937 m_rng;
  test::ClsKit& m_kit;
};

void expect_sound(test::ClsKit& kit, const std::string& where)
{
  SCOPED_TRACE(where);
  auto& ws = *kit.ws;
  EXPECT_EQ(test::cls_router_vs_fresh(ws), "");
  for (const CellPos& p : test::cls_class_cells(ws))
    EXPECT_TRUE(ws.get_terminals().count(p)) << p.to_string();
  for (const CellPos& p : ws.get_terminals())
    EXPECT_NE(ws.elm_at(p), nullptr) << p.to_string();
  for (const auto& c : *ws.get_connectors())
    EXPECT_EQ(test::cls_route_problems(*c, [](const CellPos&) { return false; }), "");
  EXPECT_EQ(ws.get_floating_connector() != nullptr, kit.mode_name() == "CONNECT MODE");
  if (const auto con = kit.ctx->get_focused_connector()) {
    EXPECT_TRUE(ws.get_connectors()->contains(*con));
  }
  const auto& now = kit.ctx->get_now_mode();
  if (const auto select = std::dynamic_pointer_cast<ClsSelectConnectorMode>(now)) {
    for (int d = 0; d < 4; ++d)
      for (const auto& con : select->get_side_list(static_cast<MovingDir>(d)).get_connectors())
        EXPECT_TRUE(ws.get_connectors()->contains(*con));
    const auto focused = select->get_focused_connector();
    EXPECT_EQ(focused, kit.ctx->get_focused_connector());
    if (focused) {
      EXPECT_TRUE(focused->focus);
    }
  }
  if (const auto edit = std::dynamic_pointer_cast<ClsEditConnectorMode>(now); edit && edit->get_is_editing()) {
    const auto con = kit.ctx->get_focused_connector();
    ASSERT_TRUE(con);
    EXPECT_FALSE(con->get_segments().empty());
  }
  if (std::dynamic_pointer_cast<ClsAInClassMode>(now)) {
    if (const auto klass = std::dynamic_pointer_cast<ClsClassElement>(kit.ctx->get_now_elm())) {
      EXPECT_TRUE(klass->check_shown(*klass->active_text_elem));
    }
  }
}

// The names of the modes the scripts were in after an input.
using VisitedModes = std::set<std::string>;

void run_random_modes_script(unsigned seed, int steps, VisitedModes& visited)
{
  test::ClsKit kit;
  RandomClsInput input(seed, kit);
  input.start_diagram();
  const std::string first = kit.doc();
  for (int step = 0; step < steps; ++step) {
    const std::string what = input.input();
    test::settle();
    visited.insert(kit.mode_name());
    expect_sound(kit, "seed " + std::to_string(seed) + ", step " + std::to_string(step) + " (" + what + ")");
    if (::testing::Test::HasFailure())
      return;
  }
  SCOPED_TRACE("seed " + std::to_string(seed));
  test::expect_history_round_trip(kit, first, [&kit](const std::string& where) { expect_sound(kit, where); });
}

TEST(ClsModesRandom, ScriptsUndoneAndRedoneBackToTheStart)
{
  VELKARO_REQUIRE_GTK();
  VisitedModes visited;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    run_random_modes_script(seed, 150, visited);
    if (HasFailure())
      return;
  }
  // The scripts reach the modes they are meant to cover.
  for (const char* name : {"CELL MODE", "SELECT CELL MODE", "SELECT CONNECTOR MODE", "CONNECT MODE",
                           "NORMAL MODE (CLASS)", "INSERT MODE (DIRECT)", "INSERT MODE (NORMAL)", "VISUAL MODE (CLASS)",
                           "EDIT CONNECTOR MODE", "MOVE VIEW MODE"})
    EXPECT_TRUE(visited.count(name)) << name;
}

} // namespace
} // namespace velkaro
