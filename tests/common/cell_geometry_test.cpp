#include <vector>

#include <gtest/gtest.h>

#include "common/cell_pos.h"
#include "common/cell_range.h"
#include "common/cell_range_index.h"

namespace velkaro {
namespace {

struct MoveCase {
  CellPos from;
  MovingDir dir;
  int n;
  CellPos expected;
};

TEST(CellPos, MoveShiftsThenClampsBothAxes)
{
  const std::vector<MoveCase> cases = {
      {{0, 0}, MovingDir::up, 1, {0, 0}},
      {{65530, 4}, MovingDir::right, 70000, {65535, 4}},
      {{3, 3}, MovingDir::up, -2, {3, 5}},
      {{3, 3}, MovingDir::left, 5, {0, 3}},
      {{3, 65535}, MovingDir::down, 1, {3, 65535}},
      // Out of range on the other axis: pulled in as well.
      {{-4, 70000}, MovingDir::right, 1, {0, 65535}},
      // A move that would overflow 32 bits still ends at the edge.
      {{65535, 0}, MovingDir::right, INT32_MAX, {65535, 0}},
      {{0, 0}, MovingDir::up, INT32_MIN + 1, {0, 65535}},
  };
  for (const auto& c : cases) {
    CellPos p = c.from;
    CellPos returned = p.move(c.dir, c.n);
    EXPECT_EQ(p, c.expected) << "from " << c.from.to_string() << " by " << c.n;
    EXPECT_EQ(returned, c.expected);
  }
}

TEST(CellPos, ArithmeticNeverClamps)
{
  CellPos a{65535, 0};
  CellPos sum = a.add({1, 0});
  EXPECT_EQ(sum, (CellPos{65536, 0}));
  EXPECT_FALSE(sum.get_is_valid());
  EXPECT_EQ((CellPos{2, 3}).delta({5, 1}), (CellPos{3, -2}));
  EXPECT_EQ((CellPos{2, 3}).substract({5, 1}), (CellPos{-3, 2}));
  EXPECT_EQ((CellPos{2, -3}).neg(), (CellPos{-2, 3}));
  EXPECT_EQ((CellPos{3, 7}).to_string(), "(3, 7)");
}

TEST(CellPos, Validity)
{
  EXPECT_TRUE((CellPos{0, 0}).get_is_valid());
  EXPECT_TRUE((CellPos{65535, 65535}).get_is_valid());
  EXPECT_FALSE((CellPos{-1, 0}).get_is_valid());
  EXPECT_FALSE((CellPos{0, 65536}).get_is_valid());
}

TEST(CellPos, AxisAccess)
{
  CellPos p{4, 4};
  p.add_across(CellDir::h, 2);
  EXPECT_EQ(p, (CellPos{4, 6}));
  p = {4, 4};
  p.add_across(CellDir::v, 2);
  EXPECT_EQ(p, (CellPos{6, 4}));
  p.add_across(CellDir::hv, 2);
  EXPECT_EQ(p, (CellPos{6, 4}));
  p.set(CellDir::hv, 9);
  EXPECT_EQ(p, (CellPos{6, 4}));
  p.set(CellDir::v, 9);
  EXPECT_EQ(p.get(CellDir::v), 9);
  EXPECT_EQ(p.get(CellDir::h), 6);
}

TEST(CellPosDeathTest, GetOfBothAxesStopsTheProgram)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  CellPos p{1, 2};
  EXPECT_DEATH(p.get(CellDir::hv), "hv");
}

TEST(Directions, InversesAndWalk)
{
  EXPECT_EQ(cell_dir_inv(CellDir::h), CellDir::v);
  EXPECT_EQ(cell_dir_inv(CellDir::v), CellDir::h);
  EXPECT_EQ(cell_dir_inv(CellDir::hv), CellDir::h);
  EXPECT_EQ(moving_dir_inv(static_cast<MovingDir>(7)), MovingDir::up);
  EXPECT_EQ(moving_dir_inv(MovingDir::left), MovingDir::right);

  std::vector<MovingDir> seen;
  bool all = moving_dir_foreach([&](MovingDir d) {
    seen.push_back(d);
    return d != MovingDir::left;
  });
  EXPECT_FALSE(all);
  EXPECT_EQ(seen, (std::vector<MovingDir>{MovingDir::up, MovingDir::down, MovingDir::left}));
}

TEST(CellRange, NormalisesFromEitherCornerOrder)
{
  for (auto [s, e] : std::vector<std::pair<CellPos, CellPos>>{{{5, 1}, {2, 4}}, {{2, 4}, {5, 1}}, {{2, 1}, {5, 4}}}) {
    auto r = CellRange::create(s, e);
    r->ensure_consistency();
    EXPECT_EQ(r->start, (CellPos{2, 1}));
    EXPECT_EQ(r->end, (CellPos{5, 4}));
  }
}

TEST(CellRange, ForeachRowByRowAndNothingWhenReversed)
{
  std::vector<CellPos> seen;
  CellRange{{1, 1}, {2, 2}}.foreach([&](int x, int y) { seen.push_back({x, y}); });
  EXPECT_EQ(seen, (std::vector<CellPos>{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
  seen.clear();
  CellRange{{2, 2}, {1, 1}}.foreach([&](int x, int y) { seen.push_back({x, y}); });
  EXPECT_TRUE(seen.empty());

  // Corners on the largest index: the walk still ends.
  seen.clear();
  CellRange{{INT32_MAX - 1, INT32_MAX}, {INT32_MAX, INT32_MAX}}.foreach(
      [&](int x, int y) { seen.push_back({x, y}); });
  EXPECT_EQ(seen, (std::vector<CellPos>{{INT32_MAX - 1, INT32_MAX}, {INT32_MAX, INT32_MAX}}));
}

TEST(CellRange, OffsetChangesTheSharedRange)
{
  auto r = CellRange::create({1, 2}, {3, 4});
  auto other_holder = r;
  CellRange& same = r->offset({1, -1});
  EXPECT_EQ(&same, r.get());
  EXPECT_EQ(other_holder->start, (CellPos{2, 1}));
  EXPECT_EQ(other_holder->end, (CellPos{4, 3}));
  auto copy = r->duplicate();
  copy->offset({10, 10});
  EXPECT_EQ(r->start, (CellPos{2, 1}));
}

TEST(CellRange, InsideIntervalsAndValidity)
{
  CellRange r{{1, 2}, {3, 4}};
  for (CellPos p : {CellPos{1, 2}, CellPos{3, 2}, CellPos{1, 4}, CellPos{3, 4}})
    EXPECT_TRUE(r.is_pos_inside(p)) << p.to_string();
  for (CellPos p : {CellPos{0, 2}, CellPos{4, 3}, CellPos{2, 1}, CellPos{2, 5}})
    EXPECT_FALSE(r.is_pos_inside(p)) << p.to_string();
  EXPECT_EQ(r.get_range_index(CellDir::hv), (CellRangeIndex{2, 4}));
  EXPECT_EQ(r.get_range_index(CellDir::h), (CellRangeIndex{1, 3}));
  EXPECT_TRUE(r.get_is_valid());
  EXPECT_FALSE((CellRange{{3, 2}, {1, 4}}).get_is_valid());
  EXPECT_FALSE((CellRange{{0, 0}, {65536, 1}}).get_is_valid());
  EXPECT_EQ(r.opposite({1, 2}), (CellPos{3, 4}));
  EXPECT_EQ(r.opposite({9, 9}), (CellPos{1, 2}));
  EXPECT_EQ(r.to_string(), "(1, 2)-(3, 4)");
}

struct CutCase {
  const char* what;
  CellRangeIndex s;
  CellRangeIndex after_cut;
  std::optional<CellRangeIndex> piece;
};

// The cases in the order in which cut() decides them.
TEST(CellRangeIndex, CutCasesInDecisionOrder)
{
  const std::vector<CutCase> cases = {
      {"wholly before", {0, 1}, {2, 8}, std::nullopt},
      {"covers the head", {0, 4}, {5, 8}, std::nullopt},
      {"covers the head from its start", {2, 4}, {5, 8}, std::nullopt},
      {"covers all", {0, 9}, {10, 8}, std::nullopt},
      {"wholly after", {9, 12}, {2, 8}, std::nullopt},
      {"covers the tail", {4, 8}, {2, 3}, std::nullopt},
      {"covers the tail and beyond", {8, 10}, {2, 7}, std::nullopt},
      {"strictly inside", {4, 5}, {2, 3}, CellRangeIndex{6, 8}},
  };
  for (const auto& c : cases) {
    CellRangeIndex self{2, 8};
    auto piece = self.cut(c.s);
    EXPECT_EQ(self, c.after_cut) << c.what;
    EXPECT_EQ(piece, c.piece) << c.what;
  }
  CellRangeIndex all{2, 8};
  all.cut({0, 9});
  EXPECT_FALSE(all.get_is_enable());
}

TEST(CellRangeIndex, NegativeBoundsAreOpenOnlyForContainment)
{
  struct Case {
    CellRangeIndex r;
    int n;
    bool contains;
  };
  const std::vector<Case> cases = {
      {{-1, 5}, 0, true},    {{-1, 5}, 5, true},       {{-1, 5}, 6, false},
      {{3, -1}, 3, true},    {{3, -1}, 100000, true},  {{3, -1}, 2, false},
      {{-1, -1}, -50, true}, {{-1, -1}, 1 << 30, true}, {{2, 4}, 1, false},
      {{2, 4}, 2, true},     {{2, 4}, 4, true},        {{2, 4}, 5, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.r.contains(c.n), c.contains) << c.r.start << "," << c.r.end << " n=" << c.n;
    EXPECT_EQ(c.r.excludes(c.n), !c.contains);
  }
  // Everything else compares plain integers.
  EXPECT_FALSE((CellRangeIndex{3, -1}).is_overlap({5, 6}));
  EXPECT_FALSE((CellRangeIndex{3, -1}).get_is_enable());
  EXPECT_EQ((CellRangeIndex{4, 6}).or_({-1, 3}), (CellRangeIndex{-1, 6}));
  EXPECT_EQ((CellRangeIndex{4, 6}).or_({2, 5}), (CellRangeIndex{2, 6}));
  EXPECT_EQ((CellRangeIndex{4, 6}).or_({5, -1}), (CellRangeIndex{4, 6}));
}

TEST(CellRangeIndex, SizeConsistencyAndWidening)
{
  EXPECT_EQ((CellRangeIndex{5, 2}).get_size(), 4);
  EXPECT_EQ((CellRangeIndex{2, 5}).get_size(), 4);
  CellRangeIndex r{5, 2};
  r.ensure_consistency();
  EXPECT_EQ(r, (CellRangeIndex{2, 5}));
  CellRangeIndex open{5, -1};
  open.ensure_consistency();
  EXPECT_EQ(open, (CellRangeIndex{5, -1}));
  EXPECT_TRUE((CellRangeIndex{3, 4}).is_overlap({4, 9}));
  EXPECT_FALSE((CellRangeIndex{3, 4}).is_overlap({5, 9}));
  EXPECT_TRUE((CellRangeIndex{3, 4}).is_subset({3, 9}));
  EXPECT_EQ((CellRangeIndex{1, 3}).widen(2, 1), (CellRangeIndex{0, 4}));
  EXPECT_EQ((CellRangeIndex{1, 3}).extend(MovingDir::up, 1), (CellRangeIndex{0, 3}));
  EXPECT_EQ((CellRangeIndex{1, 3}).extend(MovingDir::right, 2), (CellRangeIndex{1, 5}));
}

} // namespace
} // namespace velkaro
