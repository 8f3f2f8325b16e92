#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/element_cells.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::Box;
using test::chain_at;
using test::document_of;
using test::HookCall;
using test::put;
using test::TestWorkspace;
using Calls = std::vector<HookCall>;
using Names = std::vector<std::string>;

std::shared_ptr<Box> box(const std::string& name, int32_t dh = 0, int32_t dv = 0)
{
  auto b = Box::create(name);
  b->dh = dh;
  b->dv = dv;
  return b;
}

std::shared_ptr<Box> child_box_in_role(const std::string& name, const std::shared_ptr<ModelElement>& parent,
                               int32_t role, bool fixed)
{
  auto b = Box::create(name, role, fixed);
  b->set_parent(parent);
  return b;
}

Names names_recorded(const ModelWorkspaceDiff& d, bool added)
{
  Names names;
  const auto take = [&](int32_t, int32_t, const std::shared_ptr<ModelElement>& e) {
    const auto b = std::dynamic_pointer_cast<Box>(e);
    names.push_back(b ? b->name : e->get_type_name());
  };
  if (added)
    d.each_add(take);
  else
    d.each_rm(take);
  return names;
}

TEST(ModelWorkspaceLines, InsertionCallsTheFillHooksForWhatCoversTheNeighbouringLines)
{
  struct Case {
    const char* name;
    CellDir dir;
    int32_t index;
    Calls calls;
  };
  // a (1, 0); b (3, 2)-(4, 2); tall (6, 0)-(6, 3); far (0, 5); x (0, 7);
  // wide (5, 7)-(7, 7).
  const std::vector<Case> cases = {
    {"row 0: everything in row 0 moves to row 1", CellDir::v, 0,
     {{"upper", "a", {1, 0}}, {"upper", "tall", {6, 0}}}},
    {"row 2: b below, tall reaching across", CellDir::v, 2,
     {{"upper", "b", {3, 2}}, {"upper", "tall", {6, 2}}}},
    {"row 4: nothing in row 5 but far, moved away", CellDir::v, 4, {}},
    {"column 0: no right fill, column -1 holding nothing", CellDir::h, 0,
     {{"left", "far", {0, 5}}, {"left", "x", {0, 7}}}},
    {"column 4: b reaching into it from the left", CellDir::h, 4, {{"right", "b", {4, 2}}}},
    {"column 6: tall right of it, wide on both sides, met once on each", CellDir::h, 6,
     {{"left", "tall", {6, 0}}, {"left", "wide", {6, 7}}, {"right", "wide", {6, 7}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    put(*ws, box("a"), 1, 0);
    put(*ws, box("b", 1, 0), 3, 2);
    put(*ws, box("tall", 0, 3), 6, 0);
    put(*ws, box("far"), 0, 5);
    put(*ws, box("x"), 0, 7);
    put(*ws, box("wide", 2, 0), 5, 7);
    int updates = 0;
    ws->signal_updated().connect([&] { ++updates; });
    EXPECT_TRUE(ws->insert_line(c.dir, c.index));
    EXPECT_EQ(ws->calls, c.calls);
    EXPECT_EQ(updates, 1);
  }
}

TEST(ModelWorkspaceLines, InsertionMovesCellsGridAndPositions)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto a = box("a");
  const auto b = box("b");
  put(*ws, a, 2, 1);
  put(*ws, b, 2, 3);
  ws->grid->v->set_size(1, 50);
  ws->grid->v->set_size(3, 60);
  const auto d = ws->new_diff();
  ws->set_diff(d);
  ASSERT_TRUE(ws->insert_row(2));
  EXPECT_EQ(chain_at(*ws, 2, 4), Names{"b"});
  EXPECT_EQ(b->pos, (CellPos{2, 4}));
  EXPECT_EQ(a->pos, (CellPos{2, 1}));
  EXPECT_EQ(ws->grid->v->get_entries(), (std::vector<ModelGridGridData>{{1, 70}, {4, 170}}));
  ASSERT_NE(d->inserted_line, nullptr);
  EXPECT_EQ(d->inserted_line->dir, CellDir::v);
  EXPECT_EQ(d->inserted_line->index, 2);
  EXPECT_FALSE(a->in_process);
  EXPECT_FALSE(b->in_process);

  ASSERT_TRUE(ws->remove_col(0));
  EXPECT_EQ(chain_at(*ws, 1, 4), Names{"b"});
  EXPECT_EQ(b->pos, (CellPos{1, 4}));
  ASSERT_NE(d->removed_line, nullptr);
  EXPECT_EQ(d->removed_line->dir, CellDir::h);
  EXPECT_EQ(d->removed_line->index, 0);
}

TEST(ModelWorkspaceLines, RemovingARowWithAChainOfTwoTextsRecordsBothAndTheRow)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto t1 = ModelTextElement::create();
  const auto t2 = ModelTextElement::create();
  put(*ws, t1, 3, 2);
  put(*ws, t2, 3, 2);
  put(*ws, box("below"), 3, 3);
  const std::string before = document_of(*ws);
  const auto d = ws->new_diff();
  ws->set_diff(d);
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  ASSERT_TRUE(ws->remove_row(2));
  ws->set_diff(nullptr);
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(chain_at(*ws, 3, 2), Names{"below"});
  EXPECT_EQ(names_recorded(*d, false), (Names{"ModelTextElement", "ModelTextElement"}));
  ASSERT_NE(d->removed_line, nullptr);
  EXPECT_EQ(d->removed_line->dir, CellDir::v);
  EXPECT_EQ(d->removed_line->index, 2);
  EXPECT_FALSE(t1->stored);
  EXPECT_FALSE(t2->stored);
  ws->patch(*d->reverse());
  EXPECT_EQ(document_of(*ws), before);
  EXPECT_EQ(ws->elm_at({3, 2}), t1);
}

TEST(ModelWorkspaceLines, RemovalTakesTheFamilyOfAPartWithTheLinesRole)
{
  struct Case {
    const char* name;
    CellDir dir;
    int32_t role;
    bool family_goes;
  };
  const std::vector<Case> cases = {
    {"row, role 0: the family goes", CellDir::v, 0, true},
    {"row, role 1: the part goes alone", CellDir::v, 1, false},
    {"column, role 1: the family goes", CellDir::h, 1, true},
    {"column, role 0: the part goes alone", CellDir::h, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    const auto parent = box("parent");
    put(*ws, parent, 0, 0);
    const auto part = child_box_in_role("part", parent, c.role, true);
    put(*ws, part, 4, 4);
    put(*ws, child_box_in_role("sibling", parent, 0, false), 1, 1);
    put(*ws, child_box_in_role("grandchild", part, 0, false), 6, 6);
    ASSERT_TRUE(ws->remove_line(c.dir, 4));
    EXPECT_EQ(parent->stored, !c.family_goes);
    EXPECT_EQ(ws->elm_at({1, 1}) != nullptr, !c.family_goes);
    EXPECT_FALSE(part->stored);
    // The part's descendants go in either case (the line shifted them).
    EXPECT_EQ(ws->elm_at({c.dir == CellDir::h ? 5 : 6, c.dir == CellDir::v ? 5 : 6}), nullptr);
  }
}

TEST(ModelWorkspaceLines, WhatOnlyCoversARemovedLineStaysAsItWas)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto tall = box("tall", 0, 4);
  put(*ws, tall, 2, 1);
  ASSERT_TRUE(ws->remove_row(3));
  EXPECT_EQ(ws->elm_at({2, 1}), tall);
  EXPECT_EQ(tall->dv, 4);
}

TEST(ModelWorkspaceLines, BareOperationsRunNoHookAndRemoveWhatIsLeftOnTheLine)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto orphan = Box::create("orphan", 0, true);
  put(*ws, box("x"), 1, 2);
  put(*ws, orphan, 1, 2);
  put(*ws, box("y"), 1, 2);
  put(*ws, box("z"), 1, 3);
  const std::string before = document_of(*ws);
  const auto d = ws->new_diff();
  ws->set_diff(d);
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });

  // The full removal cannot cut the orphan (it may not go alone and has no
  // parent); the bare removal then takes it.
  ASSERT_TRUE(ws->remove_row(2));
  EXPECT_FALSE(orphan->stored);
  EXPECT_EQ(names_recorded(*d, false), (Names{"x", "y", "orphan"}));
  EXPECT_EQ(updates, 1);
  ws->set_diff(nullptr);
  ws->patch(*d->reverse());
  EXPECT_EQ(document_of(*ws), before);
  EXPECT_EQ(chain_at(*ws, 1, 2), (Names{"x", "orphan", "y"}));

  ASSERT_TRUE(ws->insert_line_(CellDir::v, 0));
  EXPECT_TRUE(ws->calls.empty());
  ASSERT_TRUE(ws->remove_line_(CellDir::v, 3));
  EXPECT_EQ(chain_at(*ws, 1, 3), Names{"z"});
  // The removal, the undo's line and its end, and the two bare operations.
  EXPECT_EQ(updates, 5);
}

// A document for undoing line operations: a family across rows and
// columns, a chain, boxes reaching across lines, a text and orphans that
// may not go alone. The hooks let boxes grow and fill new cells.
std::shared_ptr<TestWorkspace> line_document()
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  ws->grow = true;
  const auto p = box("P");
  put(*ws, p, 1, 1);
  put(*ws, child_box_in_role("c", p, 0, true), 1, 3);
  put(*ws, child_box_in_role("d", p, 1, true), 3, 1);
  put(*ws, box("A"), 2, 2);
  put(*ws, box("B"), 2, 2);
  put(*ws, box("T", 0, 3), 4, 0);
  put(*ws, box("W", 3, 0), 0, 5);
  put(*ws, ModelTextElement::create(), 5, 4);
  put(*ws, Box::create("O", 0, true), 2, 4);
  put(*ws, box("X"), 3, 4);
  put(*ws, Box::create("O2", 0, true), 3, 4);
  put(*ws, box("Y"), 3, 4);
  put(*ws, box("L"), 6, 6);
  ws->grid->h->set_size(2, 45);
  ws->grid->v->set_size(4, 33);
  return ws;
}

TEST(ModelWorkspaceLines, EveryLineOperationIsUndoneAndRedoneByItsRecord)
{
  for (CellDir dir : {CellDir::h, CellDir::v}) {
    for (bool insert : {true, false}) {
      for (int32_t index = 0; index <= 7; ++index) {
        SCOPED_TRACE(std::string(insert ? "insert " : "remove ") + (dir == CellDir::h ? "column " : "row ") +
                     std::to_string(index));
        const auto ws = line_document();
        const std::string before = document_of(*ws);
        const auto d =
            record_edit(*ws, [&] { ASSERT_TRUE(insert ? ws->insert_line(dir, index) : ws->remove_line(dir, index)); });
        const std::string after = document_of(*ws);
        expect_undo_redo(*ws, *d, before, after);
      }
    }
  }
}

TEST(ModelWorkspaceLines, UndoingAnInsertedRowRemovesWhatTheHooksStoredOnIt)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  ws->grow = true;
  put(*ws, box("below"), 2, 3);
  const std::string before = document_of(*ws);
  const auto d = ws->new_diff();
  ws->set_diff(d);
  ASSERT_TRUE(ws->insert_row(3));
  ws->set_diff(nullptr);
  EXPECT_EQ(chain_at(*ws, 2, 3), Names{"fill"});
  ws->patch(*d->reverse());
  EXPECT_EQ(document_of(*ws), before);
}

// A kind whose line-like boxes, met just below a new row or just right of a
// new column, move into the new cell and grow so that they still reach
// their old one: the hooks remove an element after the new line and store
// its replacement on the line.
class GrowBackWorkspace : public TestWorkspace {
public:
  using TestWorkspace::TestWorkspace;

  void fill_upper(const ElementPtr& elm) override { grow_back(elm, 0, 1); }
  void fill_left(const ElementPtr& elm) override { grow_back(elm, 1, 0); }

private:
  void grow_back(const ElementPtr& elm, int32_t dh, int32_t dv)
  {
    const CellPos at = cursor;
    const auto grown = elm->copy_all(*get_cells(), false);
    grown->dh = elm->dh + dh;
    grown->dv = elm->dv + dv;
    remove(elm);
    cursor = at;
    ASSERT_TRUE(store(grown));
  }
};

TEST(ModelWorkspaceLines, UndoPutsBackWhatTheHooksTookFromBeyondTheNewLine)
{
  for (CellDir dir : {CellDir::h, CellDir::v}) {
    SCOPED_TRACE(dir == CellDir::h ? "column" : "row");
    const auto ws = ModelWorkspace::create<GrowBackWorkspace>();
    put(*ws, box("B"), 3, 3);
    put(*ws, box("far"), 6, 6);
    const std::string before = document_of(*ws);
    const auto d = record_edit(*ws, [&] { ASSERT_TRUE(ws->insert_line(dir, 3)); });
    const auto grown = ws->elm_at({3, 3});
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(grown->dh, dir == CellDir::h ? 1 : 0);
    EXPECT_EQ(grown->dv, dir == CellDir::v ? 1 : 0);
    const std::string after = document_of(*ws);
    expect_undo_redo(*ws, *d, before, after);
  }
}

TEST(ModelWorkspaceLines, NoLineOperationMovesAnElementOutOfTheGrid)
{
  const int32_t max = CellPos::MAX;
  struct Case {
    const char* name;
    std::function<void(TestWorkspace&)> setup;
    bool insert;
    CellDir dir;
    int32_t index;
    bool accepted;
  };
  const std::vector<Case> cases = {
    {"insert a row before an element on the last row", [&](TestWorkspace& ws) { put(ws, box("e"), 0, max); },
     true, CellDir::v, 5, false},
    {"insert the last row under an element on it", [&](TestWorkspace& ws) { put(ws, box("e"), 0, max); },
     true, CellDir::v, max, false},
    {"insert a column before an element reaching the last one",
     [&](TestWorkspace& ws) { put(ws, box("e", 1, 0), max - 1, 0); }, true, CellDir::h, 0, false},
    {"insert a column before an element reaching back from the last one",
     [&](TestWorkspace& ws) { put(ws, box("e", -2, 0), max, 0); }, true, CellDir::h, max - 1, false},
    {"insert a row after an element reaching the last one",
     [&](TestWorkspace& ws) { put(ws, box("e", 0, 3), 0, max - 3); }, true, CellDir::v, max - 1, true},
    {"insert a column before the last but one", [&](TestWorkspace& ws) { put(ws, box("e"), max - 1, 0); },
     true, CellDir::h, 3, true},
    {"insert at a negative index", [](TestWorkspace& ws) { put(ws, box("e"), 0, 0); }, true, CellDir::v, -1,
     false},
    {"insert past the last row", [](TestWorkspace&) {}, true, CellDir::v, max + 1, false},
    {"remove a negative row", [](TestWorkspace& ws) { put(ws, box("e"), 0, 0); }, false, CellDir::v, -1,
     false},
    {"remove a row over an element reaching up to row 0",
     [](TestWorkspace& ws) { put(ws, box("e", 0, -3), 2, 3); }, false, CellDir::v, 1, false},
    {"remove the row such an element is anchored on",
     [](TestWorkspace& ws) { put(ws, box("e", 0, -3), 2, 3); }, false, CellDir::v, 3, true},
    {"remove a column over an element reaching left to column 1",
     [](TestWorkspace& ws) { put(ws, box("e", -2, 0), 3, 2); }, false, CellDir::h, 0, true},
    {"remove past the last column", [](TestWorkspace&) {}, false, CellDir::h, max + 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    c.setup(*ws);
    ws->grid->get(c.dir)->set_size(0, 40);
    const std::string before = document_of(*ws);
    const auto grid_before = ws->grid->get(c.dir)->get_entries();
    const auto d = ws->new_diff();
    ws->set_diff(d);
    int updates = 0;
    ws->signal_updated().connect([&] { ++updates; });
    const bool done = c.insert ? ws->insert_line(c.dir, c.index) : ws->remove_line(c.dir, c.index);
    const bool bare = c.insert ? ws->insert_line_(c.dir, c.index) : ws->remove_line_(c.dir, c.index);
    EXPECT_EQ(done, c.accepted);
    if (c.accepted)
      continue;
    EXPECT_FALSE(bare);
    EXPECT_EQ(document_of(*ws), before);
    EXPECT_EQ(ws->grid->get(c.dir)->get_entries(), grid_before);
    EXPECT_EQ(d->inserted_line, nullptr);
    EXPECT_EQ(d->removed_line, nullptr);
    EXPECT_TRUE(d->rm->get_rows().empty());
    EXPECT_EQ(updates, 0);
    EXPECT_TRUE(ws->calls.empty());
  }
}

} // namespace
} // namespace velkaro
