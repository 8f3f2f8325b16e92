#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "common/point.h"
#include "model/grid.h"

namespace velkaro {
namespace {

using Entries = std::vector<ModelGridGridData>;

std::shared_ptr<ModelGridGridList> list_with(double min_size, const Entries& entries)
{
  auto list = ModelGridGridList::create(min_size);
  // Setting far edges in ascending order lists each line as given.
  for (const auto& e : entries)
    list->set(e.index, e.edge);
  EXPECT_EQ(list->get_entries(), entries);
  return list;
}

TEST(ModelGridGridList, EmptyListCountsEveryLineAtTheMinimumSize)
{
  const auto list = ModelGridGridList::create(35.0);
  struct EdgeCase {
    int32_t line;
    double edge;
  };
  for (const auto& c : std::vector<EdgeCase>{{0, 35}, {4, 175}, {-1, 0}, {-100, 0}}) {
    SCOPED_TRACE(c.line);
    EXPECT_DOUBLE_EQ(list->get(c.line), c.edge);
  }
  struct IndexCase {
    double pos;
    int32_t line;
  };
  const std::vector<IndexCase> index_cases = {
    {0, 0}, {34.9, 0}, {35, 1}, {-10, 0}, {-34.9, 0}, {-35, -1}, {-71, -2},
  };
  for (const auto& c : index_cases) {
    SCOPED_TRACE(c.pos);
    EXPECT_EQ(list->get_index(c.pos), c.line);
  }
  EXPECT_DOUBLE_EQ(list->get_min_size(), 35.0);
  EXPECT_DOUBLE_EQ(ModelGridGridList::create()->get_min_size(), 20.0);
  EXPECT_DOUBLE_EQ(list->get_last(), 0);
}

TEST(ModelGridGridList, SetSizeListsAnEnlargedLineAndKeepsItWhenItShrinksBack)
{
  const auto list = ModelGridGridList::create(35.0);
  list->set_size(2, 50.0);
  EXPECT_EQ(list->get_entries(), (Entries{{2, 120.0}}));
  EXPECT_DOUBLE_EQ(list->get(1), 70);
  EXPECT_DOUBLE_EQ(list->get(2), 120);
  EXPECT_DOUBLE_EQ(list->get(3), 155);
  EXPECT_DOUBLE_EQ(list->get_size(2), 50);
  EXPECT_DOUBLE_EQ(list->get_size(3), 35);
  EXPECT_EQ(list->get_index(69.9), 1);
  EXPECT_EQ(list->get_index(70), 2);
  EXPECT_EQ(list->get_index(100), 2);
  EXPECT_EQ(list->get_index(120), 3);
  EXPECT_DOUBLE_EQ(list->get_last(), 120);

  // A size below the minimum is raised to it; the line stays listed.
  list->set_size(2, 10.0);
  EXPECT_EQ(list->get_entries(), (Entries{{2, 105.0}}));
  EXPECT_DOUBLE_EQ(list->get(3), 140);
}

TEST(ModelGridGridList, SettingAListedLineMovesEveryLaterListedLine)
{
  const auto list = list_with(35.0, {{2, 120.0}, {6, 300.0}});
  list->set_size(2, 10.0);
  EXPECT_EQ(list->get_entries(), (Entries{{2, 105.0}, {6, 285.0}}));

  // An unlisted line moved beyond the tolerance is listed in its sorted
  // place and pushes the listed lines above it.
  list->set_size(4, 60.0);
  EXPECT_EQ(list->get_entries(), (Entries{{2, 105.0}, {4, 200.0}, {6, 310.0}}));
  list->set_size(0, 40.0);
  EXPECT_EQ(list->get_entries(), (Entries{{0, 40.0}, {2, 110.0}, {4, 205.0}, {6, 315.0}}));
}

// The 0.01 tolerance applies to unlisted lines only: never to the first entry
// of an empty list and never to a line that is listed already.
TEST(ModelGridGridList, ToleranceCases)
{
  struct Case {
    const char* name;
    Entries before;
    int32_t line;
    double edge;
    Entries after;
  };
  const std::vector<Case> cases = {
    {"first entry of an empty list, 0.004 off", {}, 5, 210.004, {{5, 210.004}}},
    {"first entry of an empty list, exactly in place", {}, 5, 210.0, {{5, 210.0}}},
    {"unlisted line 0.004 out", {{2, 120.0}}, 5, 225.004, {{2, 120.0}}},
    {"unlisted line 0.004 in", {{2, 120.0}}, 5, 224.996, {{2, 120.0}}},
    {"unlisted line 0.0099 out", {{2, 120.0}}, 5, 225.0099, {{2, 120.0}}},
    {"unlisted line 0.02 out", {{2, 120.0}}, 5, 225.02, {{2, 120.0}, {5, 225.02}}},
    {"unlisted line 0.02 in", {{2, 120.0}}, 5, 224.98, {{2, 120.0}, {5, 224.98}}},
    {"unlisted line below a listed one, 0.004 out", {{6, 300.0}}, 2, 105.004, {{6, 300.0}}},
    {"unlisted line below a listed one, 0.5 out", {{6, 300.0}}, 2, 105.5, {{2, 105.5}, {6, 300.5}}},
    {"listed line moved by 0.004", {{2, 120.0}, {6, 300.0}}, 2, 120.004, {{2, 120.004}, {6, 300.004}}},
    {"negative line", {{2, 120.0}}, -1, 50.0, {{2, 120.0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto list = list_with(35.0, c.before);
    list->set(c.line, c.edge);
    ASSERT_EQ(list->get_entries().size(), c.after.size());
    for (size_t k = 0; k < c.after.size(); ++k) {
      EXPECT_EQ(list->get_entries()[k].index, c.after[k].index);
      EXPECT_NEAR(list->get_entries()[k].edge, c.after[k].edge, 1e-9);
    }
  }

  // The same through set_size: 35.004 lists line 5 of an empty list, but
  // not of a list that already holds another line.
  const auto empty = ModelGridGridList::create(35.0);
  empty->set_size(5, 35.004);
  ASSERT_EQ(empty->get_entries().size(), 1u);
  EXPECT_NEAR(empty->get(5), 210.004, 1e-9);
  const auto other = list_with(35.0, {{2, 120.0}});
  other->set_size(5, 35.004);
  EXPECT_EQ(other->get_entries(), (Entries{{2, 120.0}}));
  EXPECT_DOUBLE_EQ(other->get(5), 225.0);
}

TEST(ModelGridGridList, InsertAndRemoveLines)
{
  struct Step {
    bool insert;
    int32_t line;
    Entries after;
  };
  struct Case {
    const char* name;
    Entries start;
    std::vector<Step> steps;
  };
  const std::vector<Case> cases = {
    {"insert between, then remove a listed and an unlisted line",
     {{2, 120.0}, {6, 300.0}},
     {{true, 4, {{2, 120.0}, {7, 335.0}}}, {false, 2, {{6, 285.0}}}, {false, 3, {{5, 250.0}}}}},
    {"insert at a listed line moves it", {{2, 120.0}, {6, 300.0}}, {{true, 2, {{3, 155.0}, {7, 335.0}}}}},
    {"insert above every listed line changes nothing", {{2, 120.0}}, {{true, 3, {{2, 120.0}}}}},
    {"insert below every listed line", {{2, 120.0}}, {{true, 0, {{3, 155.0}}}}},
    {"remove the last listed line", {{2, 120.0}, {6, 300.0}}, {{false, 6, {{2, 120.0}}}}},
    {"remove a line above every listed line", {{2, 120.0}}, {{false, 9, {{2, 120.0}}}}},
    {"remove the only listed line empties the list", {{2, 120.0}}, {{false, 2, {}}}},
    {"insert into an empty list", {}, {{true, 0, {}}}},
    {"remove from an empty list", {}, {{false, 0, {}}}},
    {"negative lines", {{2, 120.0}}, {{true, -1, {{2, 120.0}}}, {false, -1, {{2, 120.0}}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto list = list_with(35.0, c.start);
    for (const auto& s : c.steps) {
      if (s.insert)
        list->ins(s.line);
      else
        list->rm(s.line);
      EXPECT_EQ(list->get_entries(), s.after) << (s.insert ? "ins " : "rm ") << s.line;
    }
  }
}

TEST(ModelGridGridList, IndexUnderPositionsAroundListedLines)
{
  // Lines: 0 [0, 35), 1 [35, 70), 2 [70, 120), 3..5 by 35 up to 225,
  // 6 [225, 300), then by 35.
  const auto list = list_with(35.0, {{2, 120.0}, {6, 300.0}});
  struct Case {
    double pos;
    int32_t line;
  };
  const std::vector<Case> cases = {
    {-70.5, -2}, {-35.5, -1}, {-1, 0}, {0, 0}, {34.99, 0}, {35, 1}, {69.9, 1}, {70, 2}, {119.9, 2}, {120, 3},
    {154.9, 3}, {155, 4}, {224.9, 5}, {225, 6}, {299.9, 6}, {300, 7}, {334.9, 7}, {335, 8}, {3800, 107},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pos);
    EXPECT_EQ(list->get_index(c.pos), c.line);
  }
  for (int32_t line = 0; line < 12; ++line) {
    SCOPED_TRACE(line);
    EXPECT_EQ(list->get_index(list->get(line - 1)), line);
  }
}

TEST(ModelGridGridList, IndexOfFarAwayPositionsSaturates)
{
  const auto empty = ModelGridGridList::create();
  const auto listed = list_with(20.0, {{3, 100.0}});
  for (const auto& list : {empty, listed}) {
    EXPECT_EQ(list->get_index(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(list->get_index(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(list->get_index(std::nan("")), 0);
  }
}

// Compares the sparse list with a plain array of line sizes under random
// set_size, ins and rm, with the same listing and tolerance rules.
class DenseLines {
public:
  explicit DenseLines(double min_size) : m_min(min_size), m_size(kLines, min_size), m_listed(kLines, false) {}
  static constexpr int32_t kLines = 400;

  double edge(int32_t i) const
  {
    double e = 0;
    for (int32_t k = 0; k <= i; ++k)
      e += m_size[k];
    return i < 0 ? 0 : e;
  }
  void set_size(int32_t i, double size)
  {
    size = std::max(size, m_min);
    const bool any = std::find(m_listed.begin(), m_listed.end(), true) != m_listed.end();
    if (any && !m_listed[i] && std::abs(size - m_size[i]) <= ModelGridGridList::TOLERANCE)
      return;
    m_size[i] = size;
    m_listed[i] = true;
  }
  void ins(int32_t i)
  {
    m_size.insert(m_size.begin() + i, m_min);
    m_listed.insert(m_listed.begin() + i, false);
  }
  void rm(int32_t i)
  {
    m_size.erase(m_size.begin() + i);
    m_listed.erase(m_listed.begin() + i);
  }

private:
  double m_min;
  std::vector<double> m_size;
  std::vector<bool> m_listed;
};

TEST(ModelGridGridList, RandomEditsAgreeWithPlainLineSizes)
{
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const double min = seed % 2 ? 35.0 : 20.0;
    auto list = ModelGridGridList::create(min);
    DenseLines dense(min);
    std::uniform_int_distribution<int32_t> line(0, 30);
    std::uniform_int_distribution<int> op(0, 9);
    std::uniform_real_distribution<double> extra(-5.0, 40.0);
    std::uniform_real_distribution<double> tiny(-0.009, 0.009);
    for (int step = 0; step < 300; ++step) {
      const int32_t i = line(rng);
      const int o = op(rng);
      if (o < 5) {
        const double size = min + extra(rng);
        list->set_size(i, size);
        dense.set_size(i, size);
      } else if (o < 7) {
        const double size = list->get_size(i) + tiny(rng);
        list->set_size(i, size);
        dense.set_size(i, size);
      } else if (o == 7) {
        list->ins(i);
        dense.ins(i);
      } else {
        list->rm(i);
        dense.rm(i);
      }
      for (int32_t k = -1; k < 40; ++k) {
        ASSERT_NEAR(list->get(k), dense.edge(k), 1e-6) << "step " << step << " line " << k;
        const double mid = (dense.edge(k - 1) + dense.edge(k)) / 2;
        ASSERT_EQ(list->get_index(mid), k < 0 ? 0 : k) << "step " << step << " line " << k;
      }
      const auto& entries = list->get_entries();
      for (size_t k = 1; k < entries.size(); ++k)
        ASSERT_LT(entries[k - 1].index, entries[k].index);
    }
  }
}

// A list read many times in a row answers from its table of edges: exactly
// what it answers when read once after a change (by halving), beyond its
// last listed line too; a change drops the table.
TEST(ModelGridGridList, EdgesReadOftenAreTheEdgesReadOnce)
{
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> line(0, 60);
  std::uniform_real_distribution<double> size(20.0, 90.0);
  auto list = ModelGridGridList::create(20.0);
  for (int step = 0; step < 200; ++step) {
    switch (step % 4) {
    case 0: list->ins(line(rng)); break;
    case 1: list->rm(line(rng)); break;
    default: list->set_size(line(rng), size(rng)); break;
    }
    // Each line read once, on a copy made while the change has dropped the
    // table: the edge the halving gives.
    std::vector<double> once;
    for (int32_t k = 0; k < 80; ++k)
      once.push_back(ModelGridGridList(*list).get(k));
    for (int round = 0; round < 3; ++round)
      for (int32_t k = 0; k < 80; ++k)
        ASSERT_EQ(list->get(k), once[static_cast<size_t>(k)]) << "step " << step << " line " << k;
  }
}

TEST(ModelGrid, CellRectanglesAndLookups)
{
  const auto grid = ModelGrid::create();
  EXPECT_EQ(grid->get_rect(0, 0), (Rectangle{0, 0, 20, 20}));
  EXPECT_EQ(grid->get_full(), (Rectangle{0, 0, 0, 0}));

  grid->h->set_size(1, 50);
  grid->v->set_size(2, 30);
  EXPECT_EQ(grid->get_rect(1, 2), (Rectangle{20, 40, 50, 30}));
  EXPECT_EQ(grid->get_rect(2, 3), (Rectangle{70, 70, 20, 20}));
  EXPECT_EQ(grid->get_size(1, 2), (Rectangle{0, 0, 50, 30}));
  EXPECT_EQ(grid->get_full(), (Rectangle{0, 0, 70, 70}));
  const auto corner = grid->get_top_left_point({1, 2});
  EXPECT_DOUBLE_EQ(corner.get_x(), 20);
  EXPECT_DOUBLE_EQ(corner.get_y(), 40);

  for (const CellPos& p : {CellPos{0, 0}, CellPos{1, 2}, CellPos{4, 1}}) {
    SCOPED_TRACE(p.to_string());
    EXPECT_EQ(grid->get_range_rect(*CellRange::create(p, p)), grid->get_rect(p.x, p.y));
  }
  EXPECT_EQ(grid->get_range_rect(*CellRange::create({0, 1}, {2, 2})), (Rectangle{0, 20, 90, 50}));
  // Corners are used as stored.
  EXPECT_EQ(grid->get_range_rect(*CellRange::create({2, 2}, {0, 1})), (Rectangle{70, 40, -50, 0}));

  EXPECT_EQ(grid->get(CellDir::h), grid->h);
  EXPECT_EQ(grid->get(CellDir::v), grid->v);
  EXPECT_DOUBLE_EQ(ModelGrid::create(35.0)->get_rect(1, 1).x, 35.0);
}

TEST(ModelGrid, CellUnderAPointStaysInsideTheGrid)
{
  const auto grid = ModelGrid::create();
  grid->h->set_size(1, 50);
  struct Case {
    double x, y;
    CellPos cell;
  };
  const std::vector<Case> cases = {
    {0, 0, {0, 0}},
    {69.9, 39.9, {1, 1}},
    {70, 40, {2, 2}},
    {-5, -5, {0, 0}},
    {-500, 10, {0, 0}},
    {20.0 * 65536 + 30 + 1, 20.0 * 65536 + 1, {65535, 65535}},
    {1e12, -1e12, {65535, 0}},
    {std::nan(""), 1e300, {0, 65535}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell.to_string());
    EXPECT_EQ(grid->get_cell_pos_at_xy(Point(c.x, c.y)), c.cell);
  }
}

TEST(ModelGridDeathTest, BothAxesAtOnceStopTheProgram)
{
  const auto grid = ModelGrid::create();
  EXPECT_DEATH(grid->get(CellDir::hv), "hv");
}

} // namespace
} // namespace velkaro
