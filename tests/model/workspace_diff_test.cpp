#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::Box;
using test::chain_at;
using test::document_of;
using test::put;
using test::TestWorkspace;
using Names = std::vector<std::string>;

struct SeenDiff {
  int32_t x, y;
  std::string name;
  bool operator==(const SeenDiff&) const = default;
};

std::vector<SeenDiff> walk(const ModelWorkspaceDiff& d, bool added)
{
  std::vector<SeenDiff> seen;
  const auto take = [&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& e) {
    seen.push_back({x, y, static_cast<Box&>(*e).name});
  };
  if (added)
    d.each_add(take);
  else
    d.each_rm(take);
  return seen;
}

TEST(ModelWorkspaceDiff, WalksGoByCellsInMapOrderThenByRecordingOrder)
{
  const auto d = ModelWorkspaceDiff::create();
  d->add_element({5, 1}, Box::create("a"));
  d->add_element({0, 2}, Box::create("b"));
  d->add_element({5, 1}, Box::create("c"));
  d->add_element({1, 1}, Box::create("d"));
  EXPECT_EQ(walk(*d, true), (std::vector<SeenDiff>{{1, 1, "d"}, {5, 1, "a"}, {5, 1, "c"}, {0, 2, "b"}}));
  EXPECT_TRUE(walk(*d, false).empty());
}

TEST(ModelWorkspaceDiff, ASecondLineOfAKindReplacesTheFirst)
{
  const auto d = ModelWorkspaceDiff::create();
  d->insert_line(CellDir::v, 3);
  d->insert_line(CellDir::h, 7);
  d->rm_line(CellDir::v, 1);
  ASSERT_NE(d->inserted_line, nullptr);
  EXPECT_EQ(d->inserted_line->dir, CellDir::h);
  EXPECT_EQ(d->inserted_line->index, 7);
  EXPECT_EQ(d->removed_line->dir, CellDir::v);
  EXPECT_EQ(d->removed_line->index, 1);
}

TEST(ModelWorkspaceDiff, ReverseSharesTheMapsAndLinesSwapped)
{
  class KindDiff : public ModelWorkspaceDiff {
  protected:
    std::shared_ptr<ModelWorkspaceDiff> new_instance() const override { return std::make_shared<KindDiff>(); }
  };
  const auto d = std::make_shared<KindDiff>();
  d->add_element({1, 1}, Box::create("a"));
  d->insert_line(CellDir::v, 2);
  const auto r = d->reverse();
  EXPECT_NE(std::dynamic_pointer_cast<KindDiff>(r), nullptr);
  EXPECT_EQ(r->rm, d->add);
  EXPECT_EQ(r->add, d->rm);
  EXPECT_EQ(r->removed_line, d->inserted_line);
  EXPECT_EQ(r->inserted_line, nullptr);
  const auto rr = r->reverse();
  EXPECT_EQ(rr->add, d->add);
  EXPECT_EQ(rr->rm, d->rm);
  EXPECT_EQ(rr->inserted_line, d->inserted_line);
  EXPECT_EQ(rr->removed_line, d->removed_line);
}

TEST(ModelWorkspaceDiff, AnEmptyRecordPatchesToOneUpdateAndNothingElse)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  put(*ws, Box::create("a"), 2, 2);
  ws->move_hv(7, 7);
  const std::string before = document_of(*ws);
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  ws->patch(*ws->new_diff());
  EXPECT_EQ(updates, 1);
  EXPECT_TRUE(ws->modified);
  EXPECT_EQ(document_of(*ws), before);
  EXPECT_EQ(ws->cursor, (CellPos{7, 7}));
}

// Removing elements of the chain [A, B, C, D] in different orders: each is
// recorded with its place before the action, and undo puts every one back.
TEST(ModelWorkspaceDiff, RemovedElementsKeepTheirPlacesFromBeforeTheAction)
{
  struct Case {
    std::string order;
    std::vector<int32_t> places;
  };
  const std::vector<Case> cases = {
    {"B", {1}}, {"BD", {1, 3}}, {"DB", {3, 1}}, {"AC", {0, 2}}, {"CA", {2, 0}},
    {"BCDA", {1, 2, 3, 0}}, {"DCBA", {3, 2, 1, 0}}, {"ABCD", {0, 1, 2, 3}}, {"CADB", {2, 0, 3, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.order);
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    for (const char* name : {"A", "B", "C", "D"})
      put(*ws, Box::create(name), 3, 3);
    const auto elms = std::vector<std::shared_ptr<ModelElement>>{
      ws->elm_at({3, 3}), ws->elm_at({3, 3})->nth(1), ws->elm_at({3, 3})->nth(2), ws->elm_at({3, 3})->nth(3)};
    const std::string before = document_of(*ws);
    const auto d = ws->new_diff();
    ws->set_diff(d);
    for (char name : c.order)
      ws->remove(elms[name - 'A']);
    // Something stored meanwhile goes behind them all.
    put(*ws, Box::create("N"), 3, 3);
    ws->set_diff(nullptr);
    const auto entries = d->rm->get(3, 3);
    ASSERT_NE(entries, nullptr);
    std::vector<int32_t> places;
    for (const auto& e : *entries)
      places.push_back(e.index);
    EXPECT_EQ(places, c.places);
    ws->patch(*d->reverse());
    EXPECT_EQ(chain_at(*ws, 3, 3), (Names{"A", "B", "C", "D"}));
    EXPECT_EQ(document_of(*ws), before);
  }
}

TEST(ModelWorkspaceDiff, RemovingAnElementStoredByTheSameActionCancelsBoth)
{
  const auto d = ModelWorkspaceDiff::create();
  const auto a = Box::create("a");
  const auto b = Box::create("b");
  d->add_element({1, 1}, a);
  d->add_element({1, 1}, b);
  d->rm_element({1, 1}, a);
  EXPECT_EQ(walk(*d, true), (std::vector<SeenDiff>{{1, 1, "b"}}));
  EXPECT_TRUE(walk(*d, false).empty());
  // Even when a line moved it meanwhile.
  d->rm_element({1, 2}, b);
  EXPECT_TRUE(d->add->get_rows().empty());
  EXPECT_TRUE(d->rm->get_rows().empty());
  // Removed and then stored again, an element keeps both entries.
  d->rm_element({4, 4}, a);
  d->add_element({5, 5}, a);
  EXPECT_EQ(walk(*d, false), (std::vector<SeenDiff>{{4, 4, "a"}}));
  EXPECT_EQ(walk(*d, true), (std::vector<SeenDiff>{{5, 5, "a"}}));
}

TEST(ModelWorkspaceDiff, PatchRecordsIntoARecordThatIsOpen)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto a = Box::create("a");
  put(*ws, a, 1, 1);
  const auto d = ws->new_diff();
  ws->set_diff(d);
  ws->remove(a);
  ws->set_diff(nullptr);
  const auto open = ws->new_diff();
  ws->set_diff(open);
  ws->patch(*d->reverse());
  EXPECT_EQ(walk(*open, true), (std::vector<SeenDiff>{{1, 1, "a"}}));
}

} // namespace
} // namespace velkaro
