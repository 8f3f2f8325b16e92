// Putting copies back into the document: consuming and keeping pastes,
// what stands in the way, and what a paste must refuse.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/element_cells.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::Box;
using test::chain_at;
using test::document_of;
using test::put;
using test::TestWorkspace;
using ElementPtr = std::shared_ptr<ModelElement>;
using Names = std::vector<std::string>;

std::shared_ptr<Box> child_of(const ElementPtr& parent, const std::string& name, bool fixed = false)
{
  auto b = Box::create(name, 0, fixed);
  b->set_parent(parent);
  return b;
}

std::string box_name(const ElementPtr& e)
{
  const auto b = std::dynamic_pointer_cast<Box>(e);
  return b ? b->name : "";
}

Names recorded(const ModelWorkspaceDiff& d, bool added)
{
  Names names;
  const auto take = [&](int32_t x, int32_t y, const ElementPtr& e) {
    names.push_back(box_name(e) + CellPos{x, y}.to_string());
  };
  if (added)
    d.each_add(take);
  else
    d.each_rm(take);
  return names;
}

// A family copied from a document: P at (2, 3) with its child c at (2, 4)
// and grandchild g at (3, 4).
struct Family {
  std::shared_ptr<TestWorkspace> ws = ModelWorkspace::create<TestWorkspace>();
  ElementPtr copy;

  Family()
  {
    const auto p = Box::create("P");
    put(*ws, p, 2, 3);
    const auto c = child_of(p, "c");
    put(*ws, c, 2, 4);
    put(*ws, child_of(c, "g"), 3, 4);
    copy = p->copy_all(*ws->get_cells(), false);
    ws->remove_all(p, false);
    ws->modified = false;
  }
};

TEST(ModelWorkspacePaste, AConsumingPasteStoresTheCopyAndWhatItCarries)
{
  Family f;
  ASSERT_EQ(f.copy->origpos, (CellPos{2, 3}));
  const ElementPtr copy = f.copy;
  int updates = 0;
  f.ws->signal_updated().connect([&] { ++updates; });
  ASSERT_TRUE(f.ws->paste(f.copy, {5, 3}, true));
  EXPECT_EQ(f.copy, nullptr);
  EXPECT_EQ(f.ws->elm_at({5, 3}), copy);
  EXPECT_EQ(chain_at(*f.ws, 5, 4), Names{"c"});
  EXPECT_EQ(chain_at(*f.ws, 6, 4), Names{"g"});
  const auto c = f.ws->elm_at({5, 4});
  EXPECT_EQ(c->get_parent(), copy);
  EXPECT_EQ(f.ws->elm_at({6, 4})->get_parent(), c);
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(copy->in_process);
  EXPECT_FALSE(c->in_process);
}

TEST(ModelWorkspacePaste, KeepingPastesGiveIndependentElementsAndLeaveTheScratchCellsEmpty)
{
  Family f;
  const ElementPtr first_copy = f.copy;
  ASSERT_TRUE(f.ws->paste(f.copy, {5, 3}, false));
  EXPECT_FALSE(f.ws->is_tmp);
  EXPECT_TRUE(f.ws->tmp_cells->get_rows().empty());
  ASSERT_NE(f.copy, nullptr);
  EXPECT_NE(f.copy, first_copy);
  EXPECT_EQ(f.copy->origpos, (CellPos{5, 3}));
  EXPECT_EQ(f.copy->subs.size(), 1u);

  ASSERT_TRUE(f.ws->paste(f.copy, {5, 6}, false));
  EXPECT_FALSE(f.ws->is_tmp);
  EXPECT_TRUE(f.ws->tmp_cells->get_rows().empty());
  EXPECT_EQ(f.copy->origpos, (CellPos{5, 6}));

  const ElementPtr p1 = f.ws->elm_at({5, 3});
  const ElementPtr p2 = f.ws->elm_at({5, 6});
  ASSERT_NE(p1, nullptr);
  ASSERT_NE(p2, nullptr);
  EXPECT_NE(p1, p2);
  for (const auto& e : {first_copy, f.copy}) {
    EXPECT_NE(e, p1);
    EXPECT_NE(e, p2);
  }
  EXPECT_EQ(chain_at(*f.ws, 5, 4), Names{"c"});
  EXPECT_EQ(chain_at(*f.ws, 6, 4), Names{"g"});
  EXPECT_EQ(chain_at(*f.ws, 5, 7), Names{"c"});
  EXPECT_EQ(chain_at(*f.ws, 6, 7), Names{"g"});
  EXPECT_EQ(f.ws->elm_at({5, 4})->get_parent(), p1);
  EXPECT_EQ(f.ws->elm_at({5, 7})->get_parent(), p2);
  // Nothing is shared: a change to one paste shows nowhere else.
  std::static_pointer_cast<Box>(p1)->name = "changed";
  EXPECT_EQ(box_name(p2), "P");
  EXPECT_EQ(box_name(f.copy), "P");
  // What the caller keeps is in no cell map.
  EXPECT_EQ(f.ws->anchor_of(f.copy), (CellPos{-1, -1}));
  EXPECT_EQ(f.ws->elm_at({5, 9}), nullptr);
}

TEST(ModelWorkspacePaste, WhatStandsInTheWayIsCutAndRecorded)
{
  struct Case {
    const char* name;
    bool occupant_fixed;
    Names removed;
  };
  // The occupant X of (5, 3) blocks the copy. Cut, it takes its lower
  // sibling r at (9, 9) along; a fixed one takes its parent's family (Q at
  // (8, 8) with both its children).
  const std::vector<Case> cases = {
    {"a part that may go alone", false, {"X(5, 3)", "r(9, 9)"}},
    {"a part that takes its family", true, {"X(5, 3)", "Q(8, 8)", "r(9, 9)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Family f;
    const auto q = Box::create("Q");
    put(*f.ws, q, 8, 8);
    put(*f.ws, child_of(q, "X", c.occupant_fixed), 5, 3);
    put(*f.ws, child_of(q, "r"), 9, 9);
    const auto d = f.ws->new_diff();
    f.ws->set_diff(d);
    ASSERT_TRUE(f.ws->paste(f.copy, {5, 3}, true));
    f.ws->set_diff(nullptr);
    EXPECT_EQ(chain_at(*f.ws, 5, 3), Names{"P"});
    Names removed = recorded(*d, false);
    std::sort(removed.begin(), removed.end());
    Names expected = c.removed;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(removed, expected);
    EXPECT_EQ(recorded(*d, true), (Names{"P(5, 3)", "c(5, 4)", "g(6, 4)"}));
  }
}

TEST(ModelWorkspacePaste, APasteThatCannotMakeRoomChangesNothing)
{
  struct Case {
    const char* name;
    CellPos target;
    // What stands at (5, 4), where the child copy would land.
    bool fixed_orphan;
  };
  const std::vector<Case> cases = {
    {"a part in the way that may not go alone and has no parent", {5, 3}, true},
    {"a copy reaching outside the grid", {CellPos::MAX, 3}, false},
    {"a copy carrying a child below the last row", {5, CellPos::MAX}, false},
  };
  for (bool consume : {true, false}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (consume ? ", consuming" : ", keeping"));
      Family f;
      put(*f.ws, Box::create("X"), 5, 3);
      if (c.fixed_orphan)
        put(*f.ws, Box::create("F", 0, true), 5, 4);
      const std::string before = document_of(*f.ws);
      const ElementPtr copy = f.copy;
      const auto d = f.ws->new_diff();
      f.ws->set_diff(d);
      int updates = 0;
      f.ws->signal_updated().connect([&] { ++updates; });
      EXPECT_FALSE(f.ws->paste(f.copy, c.target, consume));
      EXPECT_EQ(f.copy, copy);
      EXPECT_EQ(document_of(*f.ws), before);
      EXPECT_TRUE(d->add->get_rows().empty());
      EXPECT_TRUE(d->rm->get_rows().empty());
      EXPECT_EQ(updates, 0);
      EXPECT_FALSE(f.ws->is_tmp);
      // Once the way is clear, the same copy pastes.
      if (c.fixed_orphan) {
        f.ws->remove(f.ws->elm_at({5, 4}));
        EXPECT_TRUE(f.ws->paste(f.copy, c.target, consume));
        EXPECT_EQ(chain_at(*f.ws, 5, 3), Names{"P"});
      }
    }
  }
}

TEST(ModelWorkspacePaste, PastingManyKeepsTheirOffsetsFromTheYankPosition)
{
  Family f;
  const auto lone = Box::create("L");
  put(*f.ws, lone, 4, 1);
  std::vector<ElementPtr> copies = {f.copy, lone->copy_all(*f.ws->get_cells(), false)};
  f.ws->remove(lone);
  CellPos yank{2, 1};
  ASSERT_TRUE(f.ws->paste_elms(copies, yank, {10, 10}, false));
  EXPECT_EQ(yank, (CellPos{10, 10}));
  EXPECT_EQ(chain_at(*f.ws, 10, 12), Names{"P"});
  EXPECT_EQ(chain_at(*f.ws, 12, 10), Names{"L"});
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(copies[0]->origpos, (CellPos{10, 12}));
  EXPECT_EQ(copies[1]->origpos, (CellPos{12, 10}));

  // Again, consuming: the variables end empty, except for a refused copy.
  put(*f.ws, Box::create("F", 0, true), 22, 20);
  ASSERT_FALSE(f.ws->paste_elms(copies, yank, {20, 20}, true));
  EXPECT_EQ(chain_at(*f.ws, 20, 22), Names{"P"});
  EXPECT_EQ(chain_at(*f.ws, 22, 20), Names{"F"});
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(copies[0], nullptr);
  ASSERT_NE(copies[1], nullptr);
  EXPECT_EQ(box_name(copies[1]), "L");
}

TEST(ModelWorkspacePaste, AKeepingPasteDuringATrialStaysInTheTrial)
{
  Family f;
  put(*f.ws, Box::create("kept"), 0, 0);
  const std::string before = document_of(*f.ws);
  // A dry run: the document copied into the scratch cells, temp mode on.
  ASSERT_TRUE(f.ws->tmp_cells->copy(*f.ws->get_cells()));
  f.ws->is_tmp = true;
  ASSERT_TRUE(f.ws->paste(f.copy, {5, 3}, false));
  EXPECT_TRUE(f.ws->is_tmp);
  EXPECT_EQ(chain_at(*f.ws, 0, 0), Names{"kept"});
  EXPECT_EQ(chain_at(*f.ws, 5, 3), Names{"P"});
  EXPECT_EQ(chain_at(*f.ws, 6, 4), Names{"g"});
  EXPECT_EQ(f.copy->origpos, (CellPos{5, 3}));
  EXPECT_EQ(f.ws->anchor_of(f.copy), (CellPos{-1, -1}));
  f.ws->is_tmp = false;
  EXPECT_EQ(document_of(*f.ws), before);
}

TEST(ModelWorkspacePaste, AnElementStoredBehindItsOwnLatestCopyIsReleasedWithTheDocument)
{
  std::weak_ptr<ModelElement> weak_x;
  std::weak_ptr<ModelElement> weak_copy;
  std::weak_ptr<ModelWorkspace> weak_ws;
  {
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    const auto x = Box::create("X");
    put(*ws, x, 1, 1);
    ElementPtr copy = x->copy_all(*ws->get_cells(), false);
    weak_copy = copy;
    ASSERT_TRUE(ws->paste(copy, {5, 5}, true));
    ws->remove(x);
    put(*ws, x, 5, 5);
    // The copy heads the chain and owns x behind it; x names the copy as
    // its latest copy.
    ASSERT_EQ(chain_at(*ws, 5, 5), (Names{"X", "X"}));
    ASSERT_EQ(x->get_latest_copy(), weak_copy.lock());
    weak_x = x;
    weak_ws = ws;
  }
  EXPECT_TRUE(weak_ws.expired());
  EXPECT_TRUE(weak_copy.expired()) << "the copy outlives its document";
  EXPECT_TRUE(weak_x.expired()) << "the element outlives its document";
}

} // namespace
} // namespace velkaro
