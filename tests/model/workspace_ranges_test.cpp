// Blocks of cells: end ranges, the range cut, and moving, opening and
// closing blocks, each undone by its record.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "model/element_cells.h"
#include "model/structures_for_test.h"
#include "model/text_element.h"
#include "model/workspace_for_test.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

using test::Box;
using test::chain_at;
using test::document_of;
using test::HookCall;
using test::put;
using test::TestWorkspace;
using Calls = std::vector<HookCall>;
using ElementPtr = std::shared_ptr<ModelElement>;
using Labels = std::vector<std::string>;

std::shared_ptr<ModelTextElement> text_elm(const std::string& s, const ElementPtr& parent = nullptr)
{
  auto t = parent ? ModelTextElement::create_with_parent(parent) : ModelTextElement::create();
  t->set_text(s);
  return t;
}

// The chain at (x, y): a text by its text, a box by its name.
Labels at(ModelWorkspace& ws, int32_t x, int32_t y)
{
  Labels labels;
  if (const auto head = ws.elm_at({x, y}))
    head->foreach([&](const ElementPtr& e) {
      if (const auto t = std::dynamic_pointer_cast<ModelTextElement>(e))
        labels.push_back(t->get_text());
      else if (const auto b = std::dynamic_pointer_cast<Box>(e))
        labels.push_back(b->name);
    });
  return labels;
}

std::string range_text(const std::shared_ptr<CellRange>& r)
{
  return r ? r->to_string() : "none";
}

TEST(ModelWorkspaceRanges, EndRangesReachTheLastUsedLine)
{
  struct Case {
    const char* name;
    bool empty_document;
    CellRange range;
    CellDir axis;
    bool include;
    std::string expected;
  };
  // Anchors at (1, 1), (3, 4) and (6, 2): used (1, 1)-(6, 4).
  const std::vector<Case> cases = {
    {"columns from the range", false, {{2, 2}, {3, 3}}, CellDir::h, true, "(2, 2)-(3, 4)"},
    {"columns after the range", false, {{2, 2}, {3, 3}}, CellDir::h, false, "(2, 4)-(3, 4)"},
    {"corners the wrong way round", false, {{3, 3}, {2, 2}}, CellDir::h, false, "(2, 4)-(3, 4)"},
    {"nothing used below", false, {{2, 4}, {3, 4}}, CellDir::h, false, "none"},
    {"rows from the range", false, {{2, 2}, {3, 3}}, CellDir::v, true, "(2, 2)-(6, 3)"},
    {"rows after the range", false, {{1, 1}, {1, 1}}, CellDir::v, false, "(2, 1)-(6, 1)"},
    {"nothing used to the right", false, {{5, 2}, {6, 3}}, CellDir::v, false, "none"},
    {"empty document, from row 0", true, {{0, 0}, {2, 0}}, CellDir::h, true, "(0, 0)-(2, 0)"},
    {"empty document, past row 0", true, {{0, 0}, {2, 0}}, CellDir::h, false, "none"},
    {"empty document, from column 0", true, {{0, 0}, {0, 3}}, CellDir::v, true, "(0, 0)-(0, 3)"},
    {"empty document, past column 0", true, {{0, 0}, {0, 3}}, CellDir::v, false, "none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    if (!c.empty_document) {
      put(*ws, text_elm("a"), 1, 1);
      put(*ws, text_elm("b"), 3, 4);
      put(*ws, text_elm("c"), 6, 2);
    }
    CellRange range = c.range;
    EXPECT_EQ(range_text(ws->make_end_range(range, c.axis, c.include)), c.expected);
    CellRange normalised = c.range;
    normalised.ensure_consistency();
    EXPECT_EQ(range.to_string(), normalised.to_string()) << "normalised in place";
  }
}

TEST(ModelWorkspaceRanges, ARangeCutTakesAFamilyOnceWhateverOrderItIsMetIn)
{
  for (bool parent_first : {true, false}) {
    SCOPED_TRACE(parent_first ? "parent met first" : "child met first");
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    const auto parent = text_elm("parent");
    const CellPos parent_at = parent_first ? CellPos{1, 1} : CellPos{3, 4};
    const CellPos child_at = parent_first ? CellPos{3, 4} : CellPos{1, 1};
    put(*ws, parent, parent_at.x, parent_at.y);
    const auto child = text_elm("child", parent);
    put(*ws, child, child_at.x, child_at.y);
    put(*ws, text_elm("grandchild", child), child_at.x, child_at.y);
    put(*ws, Box::create("not a target"), 2, 2);
    put(*ws, text_elm("outside"), 7, 7);

    CellPos yank{9, 9};
    const auto copies = ws->range_cut(yank, CellRange{{0, 0}, {4, 4}}, true, false, CellDir::h);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(std::static_pointer_cast<ModelTextElement>(copies[0])->get_text(), "parent");
    EXPECT_EQ(copies[0]->origpos, parent_at);
    ASSERT_EQ(copies[0]->subs.size(), 1u);
    EXPECT_EQ(copies[0]->subs[0]->subs.size(), 1u);
    EXPECT_EQ(yank, (CellPos{1, 1}));
    EXPECT_FALSE(parent->stored);
    EXPECT_FALSE(child->stored);
    EXPECT_EQ(at(*ws, 2, 2), Labels{"not a target"});
    EXPECT_EQ(at(*ws, 7, 7), Labels{"outside"});
  }
}

TEST(ModelWorkspaceRanges, ACopyOnlyWithoutRemoveAndTheParentKeptWhenSliding)
{
  for (bool slide : {false, true}) {
    SCOPED_TRACE(slide ? "slide" : "no slide");
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    const auto owner = Box::create("owner");
    put(*ws, owner, 0, 0);
    const auto label = text_elm("label", owner);
    put(*ws, label, 4, 3);
    put(*ws, text_elm("other"), 5, 2);
    const std::string before = document_of(*ws);
    CellPos yank{9, 9};
    const auto copies = ws->range_cut(yank, CellRange{{3, 2}, {6, 6}}, false, slide, CellDir::h);
    EXPECT_EQ(document_of(*ws), before);
    EXPECT_EQ(yank, (CellPos{4, 2}));
    // Row by row: "other" comes first.
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0]->get_parent(), nullptr);
    EXPECT_EQ(copies[1]->get_parent(), slide ? owner : nullptr);
  }
}

TEST(ModelWorkspaceRanges, AppendingRowsMovesWhatFollowsAndFillsFromTheRowBelow)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  put(*ws, text_elm("a"), 1, 5);
  put(*ws, text_elm("b"), 2, 6);
  put(*ws, text_elm("out"), 3, 5);
  put(*ws, text_elm("above"), 1, 2);
  put(*ws, Box::create("B"), 2, 7);
  put(*ws, Box::create("far"), 4, 7);
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  CellRange rows{{2, 4}, {1, 3}};
  ws->insert_range(rows, CellDir::h, false);
  EXPECT_EQ(rows.to_string(), "(1, 3)-(2, 4)");
  EXPECT_EQ(at(*ws, 1, 7), Labels{"a"});
  EXPECT_EQ(at(*ws, 2, 8), Labels{"b"});
  EXPECT_EQ(at(*ws, 3, 5), Labels{"out"});
  EXPECT_EQ(at(*ws, 1, 2), Labels{"above"});
  EXPECT_EQ(at(*ws, 2, 7), Labels{"B"});
  EXPECT_TRUE(at(*ws, 1, 5).empty());
  EXPECT_EQ(ws->calls, (Calls{{"upper", "ModelTextElement", {1, 6}},
                              {"upper", "ModelTextElement", {1, 5}},
                              {"upper", "B", {2, 6}},
                              {"upper", "B", {2, 5}}}));
  // One update for the whole block.
  EXPECT_EQ(updates, 1);
}

TEST(ModelWorkspaceRanges, InsertingColumnsFillsFromBothSides)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  put(*ws, text_elm("m"), 3, 1);
  put(*ws, text_elm("n"), 5, 1);
  put(*ws, text_elm("row 2"), 3, 2);
  put(*ws, Box::create("L"), 2, 1);
  CellRange cols{{3, 1}, {4, 1}};
  ws->insert_range(cols, CellDir::v, true);
  EXPECT_EQ(at(*ws, 5, 1), Labels{"m"});
  EXPECT_EQ(at(*ws, 7, 1), Labels{"n"});
  EXPECT_EQ(at(*ws, 3, 2), Labels{"row 2"});
  EXPECT_EQ(ws->calls, (Calls{{"left", "ModelTextElement", {4, 1}},
                              {"left", "ModelTextElement", {3, 1}},
                              {"right", "L", {3, 1}},
                              {"right", "L", {4, 1}}}));

  // At column 0 there is no left neighbour to fill from.
  ws->calls.clear();
  put(*ws, Box::create("next"), 1, 1);
  CellRange first{{0, 1}, {0, 1}};
  ws->insert_range(first, CellDir::v, true);
  EXPECT_EQ(ws->calls, (Calls{{"left", "next", {0, 1}}}));
}

TEST(ModelWorkspaceRanges, NothingAtOrAfterTheBlockChangesNothing)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  put(*ws, text_elm("a"), 1, 1);
  const std::string before = document_of(*ws);
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  CellRange below{{0, 2}, {3, 3}};
  ws->insert_range(below, CellDir::h, true);
  CellRange gone{{0, 5}, {3, 6}};
  ws->remove_range(gone, CellDir::h);
  EXPECT_EQ(document_of(*ws), before);
  EXPECT_TRUE(ws->calls.empty());
  EXPECT_EQ(updates, 0);
}

TEST(ModelWorkspaceRanges, RemovingABlockClosesTheGapEvenWhenNothingInItIsTaken)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  put(*ws, Box::create("stays"), 1, 2);
  put(*ws, text_elm("goes"), 2, 3);
  put(*ws, text_elm("t5"), 1, 5);
  put(*ws, text_elm("t6"), 4, 6);
  put(*ws, text_elm("beside"), 7, 5);
  CellRange block{{5, 3}, {0, 2}};
  ws->remove_range(block, CellDir::h);
  EXPECT_EQ(at(*ws, 1, 2), Labels{"stays"});
  EXPECT_TRUE(at(*ws, 2, 3).empty());
  EXPECT_EQ(at(*ws, 1, 3), Labels{"t5"});
  EXPECT_EQ(at(*ws, 4, 4), Labels{"t6"});
  EXPECT_EQ(at(*ws, 7, 5), Labels{"beside"});

  // Only boxes in the block: nothing is taken, the texts below still move.
  const auto boxes = ModelWorkspace::create<TestWorkspace>();
  put(*boxes, Box::create("x"), 1, 1);
  put(*boxes, text_elm("below"), 1, 4);
  CellRange only_boxes{{0, 1}, {3, 1}};
  boxes->remove_range(only_boxes, CellDir::h);
  EXPECT_EQ(at(*boxes, 1, 1), Labels{"x"});
  EXPECT_EQ(at(*boxes, 1, 3), Labels{"below"});
}

// Boxes move with blocks too, so that they can be blocked.
class MovingBoxes : public TestWorkspace {
public:
  explicit MovingBoxes(Key key) : TestWorkspace(key) {}
  bool range_cut_target(const ModelElement& elm, bool slide, CellDir axis) override
  {
    return dynamic_cast<const Box*>(&elm) || TestWorkspace::range_cut_target(elm, slide, axis);
  }
};

// A block that cannot place every element it takes is refused whole:
// nothing moves, nothing is lost, the open record holds what it held (here
// a text stored before in the same action), the structures kept edit by
// edit are those of the document, and nothing is announced.
TEST(ModelWorkspaceRanges, ABlockThatCannotPlaceAnElementChangesNothing)
{
  struct Case {
    const char* name;
    // "F" and "W" may not be cut and have no parent: nothing moves onto
    // them, and nothing cuts them out of the way.
    std::function<void(ModelWorkspace&)> build;
    std::function<bool(ModelWorkspace&)> op;
  };
  const std::vector<Case> cases = {
    {"moved onto a fixed box",
     [](ModelWorkspace& ws) {
       put(ws, Box::create("M"), 1, 1);
       put(ws, Box::create("N"), 2, 1);
       put(ws, Box::create("F", 0, true), 1, 3);
     },
     [](ModelWorkspace& ws) { return ws.move_range(CellRange{{1, 1}, {2, 1}}, CellDir::h, 2); }},
    {"its own place taken by the element moved before it",
     [](ModelWorkspace& ws) {
       put(ws, Box::create("L"), 1, 0);
       put(ws, Box::create("M"), 1, 1);
       put(ws, Box::create("F", 0, true), 1, 2);
       put(ws, text_elm("t"), 1, 2);
     },
     [](ModelWorkspace& ws) { return ws.move_range(CellRange{{1, 0}, {1, 1}}, CellDir::h, 1); }},
    {"rows opened above a wide fixed box",
     [](ModelWorkspace& ws) {
       put(ws, Box::create("L"), 1, 0);
       put(ws, text_elm("a"), 1, 1);
       put(ws, Box::create("G"), 1, 2);
       const auto wall = Box::create("W", 0, true);
       wall->dh = 1;
       put(ws, wall, 0, 3);
     },
     [](ModelWorkspace& ws) {
       CellRange rows{{1, 0}, {1, 0}};
       return ws.insert_range(rows, CellDir::h, true);
     }},
    {"columns closed onto a tall fixed box, after the cut",
     [](ModelWorkspace& ws) {
       put(ws, Box::create("M"), 1, 1);
       put(ws, text_elm("goes"), 2, 1);
       put(ws, Box::create("G"), 3, 1);
       const auto wall = Box::create("W", 0, true);
       wall->dv = 1;
       put(ws, wall, 2, 0);
     },
     [](ModelWorkspace& ws) {
       CellRange cols{{2, 1}, {2, 1}};
       return ws.remove_range(cols, CellDir::v);
     }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = ModelWorkspace::create<MovingBoxes>();
    c.build(*ws);
    ws->clear_in_process();
    ws->modified = false;
    const std::string start = document_of(*ws);
    int updates = 0;
    ws->signal_updated().connect([&] { ++updates; });
    test::LogCapture log;
    const auto d = ws->new_diff();
    ws->set_diff(d);
    ws->move_hv(8, 8);
    ASSERT_TRUE(ws->store(text_elm("before")));
    const std::string before = document_of(*ws);
    ws->move_hv(5, 5);
    ws->begin_step();
    EXPECT_FALSE(c.op(*ws));
    ws->end_step(false);
    ws->set_diff(nullptr);
    EXPECT_EQ(document_of(*ws), before);
    EXPECT_EQ(ws->cursor, (CellPos{5, 5}));
    test::expect_structures(*ws, c.name);
    // The step changed nothing: only the record tells of the text.
    EXPECT_EQ(updates, 0);
    EXPECT_FALSE(ws->modified);
    EXPECT_EQ(log.warnings, test::LogCapture::Lines{});
    EXPECT_EQ(log.criticals, test::LogCapture::Lines{});
    ws->patch(*d->reverse());
    EXPECT_EQ(document_of(*ws), start);
    ws->patch(*d);
    EXPECT_EQ(document_of(*ws), before);
  }
}

// The same blocks refused outside any record and any step, and one whose
// element finds room: it moves and the workspace announces it once.
TEST(ModelWorkspaceRanges, ARefusedBlockOutsideARecordIsTakenBackToo)
{
  const auto ws = ModelWorkspace::create<MovingBoxes>();
  put(*ws, Box::create("L"), 1, 0);
  put(*ws, Box::create("M"), 1, 1);
  put(*ws, Box::create("F", 0, true), 1, 2);
  ws->clear_in_process();
  ws->modified = false;
  const std::string before = document_of(*ws);
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  EXPECT_FALSE(ws->move_range(CellRange{{1, 0}, {1, 1}}, CellDir::h, 1));
  EXPECT_EQ(document_of(*ws), before);
  test::expect_structures(*ws, "refused");
  EXPECT_EQ(updates, 0);
  EXPECT_FALSE(ws->modified);

  EXPECT_TRUE(ws->move_range(CellRange{{1, 0}, {1, 1}}, CellDir::v, 1));
  EXPECT_EQ(chain_at(*ws, 2, 0), (std::vector<std::string>{"L"}));
  EXPECT_EQ(chain_at(*ws, 2, 1), (std::vector<std::string>{"M"}));
  EXPECT_EQ(chain_at(*ws, 1, 2), (std::vector<std::string>{"F"}));
  test::expect_structures(*ws, "moved");
  EXPECT_EQ(updates, 1);
  EXPECT_TRUE(ws->modified);
}

// Texts with parents, texts in chains, boxes that are not moved, and the
// hooks letting boxes grow and fill new cells.
std::shared_ptr<TestWorkspace> block_document()
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  ws->grow = true;
  const auto p = text_elm("p");
  put(*ws, p, 1, 1);
  put(*ws, text_elm("p.a", p), 1, 1);
  const auto c = text_elm("c", p);
  put(*ws, c, 2, 3);
  put(*ws, text_elm("c.a", c), 4, 4);
  put(*ws, text_elm("loose"), 3, 2);
  put(*ws, text_elm("far"), 6, 6);
  const auto owner = Box::create("owner");
  put(*ws, owner, 5, 1);
  put(*ws, text_elm("owned", owner), 2, 5);
  const auto wall = Box::create("wall");
  wall->dv = 3;
  put(*ws, wall, 0, 2);
  put(*ws, Box::create("B"), 3, 3);
  put(*ws, text_elm("on B"), 3, 3);
  return ws;
}

TEST(ModelWorkspaceRanges, EveryBlockOperationIsUndoneAndRedoneByItsRecord)
{
  struct Case {
    const char* name;
    std::function<void(ModelWorkspace&)> op;
  };
  const auto block = [](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return CellRange{{x0, y0}, {x1, y1}};
  };
  const std::vector<Case> cases = {
    {"move down", [&](ModelWorkspace& ws) { ws.move_range(block(1, 1, 4, 3), CellDir::h, 2); }},
    {"move up", [&](ModelWorkspace& ws) { ws.move_range(block(1, 3, 4, 6), CellDir::h, -1); }},
    {"move right", [&](ModelWorkspace& ws) { ws.move_range(block(1, 1, 3, 5), CellDir::v, 3); }},
    {"move left onto others", [&](ModelWorkspace& ws) { ws.move_range(block(2, 0, 6, 6), CellDir::v, -1); }},
    {"open rows", [&](ModelWorkspace& ws) { auto r = block(1, 2, 3, 3); ws.insert_range(r, CellDir::h, true); }},
    {"append rows", [&](ModelWorkspace& ws) { auto r = block(1, 2, 3, 3); ws.insert_range(r, CellDir::h, false); }},
    {"open columns", [&](ModelWorkspace& ws) { auto r = block(2, 1, 3, 5); ws.insert_range(r, CellDir::v, true); }},
    {"append columns", [&](ModelWorkspace& ws) { auto r = block(2, 1, 3, 5); ws.insert_range(r, CellDir::v, false); }},
    {"remove rows", [&](ModelWorkspace& ws) { auto r = block(0, 2, 4, 3); ws.remove_range(r, CellDir::h); }},
    {"remove columns", [&](ModelWorkspace& ws) { auto r = block(1, 0, 2, 6); ws.remove_range(r, CellDir::v); }},
    {"cut", [&](ModelWorkspace& ws) {
       CellPos yank{-1, -1};
       (void)ws.range_cut(yank, block(0, 0, 3, 3), true, false, CellDir::h);
     }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = block_document();
    const std::string before = document_of(*ws);
    const auto d = record_edit(*ws, [&] { c.op(*ws); });
    const std::string after = document_of(*ws);
    EXPECT_NE(after, before);
    expect_undo_redo(*ws, *d, before, after);
  }
}

} // namespace
} // namespace velkaro
