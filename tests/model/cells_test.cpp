#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/cells.h"

namespace velkaro {
namespace {

using Cells = ModelCells<std::string>;
using Value = Cells::Value;

// Counts the change hook, the way a subclass drops its caches in it.
class CountingCells : public Cells {
public:
  void updated() override { ++updates; }
  int updates = 0;
};

Value val(const std::string& s) { return std::make_shared<std::string>(s); }

// Records what a visitor or callback sees as "value@x,y".
struct Recorder {
  std::vector<std::string> seen;
  // Answers false from the call with this number on (1-based); 0 never.
  size_t stop_at = 0;

  Cells::CellFunc fn()
  {
    return [this](int32_t x, int32_t y, const Value& v) {
      seen.push_back(*v + "@" + std::to_string(x) + "," + std::to_string(y));
      return stop_at == 0 || seen.size() < stop_at;
    };
  }
};

std::vector<std::string> contents(const Cells& cells)
{
  Recorder r;
  EXPECT_TRUE(cells.foreach(r.fn()));
  return r.seen;
}

std::vector<int32_t> row_indices(const Cells& cells)
{
  std::vector<int32_t> rows;
  cells.foreach_row_index([&](int32_t y) {
    rows.push_back(y);
    return true;
  });
  return rows;
}

// Fills a map with one value per (x, y) given, named after its position, in
// the order given (not sorted).
void fill(Cells& cells, const std::vector<CellPos>& positions)
{
  for (const auto& p : positions)
    cells.set(p.x, p.y, val(std::to_string(p.x) + ":" + std::to_string(p.y)));
}

using Seen = std::vector<std::string>;

TEST(ModelCells, EmptyMapVisitsNothingAndHasNeutralResults)
{
  CountingCells cells;
  int calls = 0;
  auto count = [&](int32_t, int32_t, const Value&) { return ++calls, true; };
  auto count_index = [&](int32_t) { return ++calls, true; };
  EXPECT_TRUE(cells.foreach(count));
  EXPECT_TRUE(cells.foreach_row_index(count_index));
  EXPECT_TRUE(cells.foreach_col_index(count_index));
  EXPECT_TRUE(cells.foreach_col(0, count));
  EXPECT_TRUE(cells.foreach_row_part(0, {-1, -1}, count));
  EXPECT_TRUE(cells.foreach_range(CellRange{{0, 0}, {100, 100}}, count));
  EXPECT_EQ(calls, 0);

  EXPECT_EQ(cells.get_exists_range()->to_string(), "(0, 0)-(0, 0)");
  EXPECT_EQ(cells.get_pos(val("x")), (CellPos{-1, -1}));
  EXPECT_EQ(cells.get(0, 0), nullptr);
  EXPECT_EQ(cells.remove(0, 0), nullptr);
  EXPECT_EQ(cells.updates, 0);
}

TEST(ModelCells, SetGetRemoveShareValuesAndCallTheHookOncePerChange)
{
  CountingCells cells;
  Value a = val("a");
  cells.set(3, 2, a);
  EXPECT_EQ(cells.updates, 1);
  EXPECT_EQ(cells.get(3, 2), a); // the same object, shared
  EXPECT_EQ(a.use_count(), 2);

  std::weak_ptr<std::string> replaced = a;
  a.reset();
  cells.set(3, 2, val("b"));
  EXPECT_TRUE(replaced.expired()) << "the replaced value is released";
  EXPECT_EQ(cells.updates, 2);

  cells.set(5, 2, val("c"));
  Value removed = cells.remove(3, 2);
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(*removed, "b");
  EXPECT_EQ(removed.use_count(), 1) << "the caller owns the removed value";
  EXPECT_EQ(cells.updates, 4);

  // Removing the last cell of a row drops the row.
  cells.set(1, 9, val("d"));
  EXPECT_NE(cells.remove(1, 9), nullptr);
  EXPECT_EQ(row_indices(cells), (std::vector<int32_t>{2}));
  EXPECT_EQ(cells.get_exists_range()->to_string(), "(5, 2)-(5, 2)");

  // An absent cell: nothing removed, no hook.
  const int before = cells.updates;
  EXPECT_EQ(cells.remove(4, 2), nullptr);
  EXPECT_EQ(cells.remove(4, 7), nullptr);
  EXPECT_EQ(cells.updates, before);
}

TEST(ModelCells, ClearAndDuplicateDoNotCallTheHook)
{
  CountingCells cells;
  fill(cells, {{1, 1}, {2, 3}});
  const int before = cells.updates;
  auto copy = cells.duplicate();
  EXPECT_EQ(contents(*copy), contents(cells));
  EXPECT_EQ(copy->get(2, 3), cells.get(2, 3)) << "a duplicate shares the values";
  cells.clear();
  EXPECT_EQ(cells.updates, before);
  EXPECT_TRUE(contents(cells).empty());
  EXPECT_EQ(contents(*copy).size(), 2u);
}

struct VisitCase {
  const char* name;
  std::function<bool(const Cells&, const Cells::CellFunc&)> visit;
  Seen expected;
};

TEST(ModelCells, VisitsWalkRowsThenColumnsAscending)
{
  Cells cells;
  // Stored out of order on purpose.
  fill(cells, {{7, 4}, {2, 1}, {5, 4}, {0, 9}, {5, 1}, {9, 1}, {5, 9}});
  const std::vector<VisitCase> cases = {
      {"all", [](const Cells& c, const Cells::CellFunc& f) { return c.foreach(f); },
       {"2:1@2,1", "5:1@5,1", "9:1@9,1", "5:4@5,4", "7:4@7,4", "0:9@0,9", "5:9@5,9"}},
      {"column 5", [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_col(5, f); },
       {"5:1@5,1", "5:4@5,4", "5:9@5,9"}},
      {"row 1", [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_row(1, f); },
       {"2:1@2,1", "5:1@5,1", "9:1@9,1"}},
      {"line h 5",
       [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_line(CellDir::h, 5, f); },
       {"5:1@5,1", "5:4@5,4", "5:9@5,9"}},
      {"line v 4",
       [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_line(CellDir::v, 4, f); },
       {"5:4@5,4", "7:4@7,4"}},
      {"column 5, rows 2..9",
       [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_col_part(5, {2, 9}, f); },
       {"5:4@5,4", "5:9@5,9"}},
      {"row 1, columns 3..",
       [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_row_part(1, {3, -1}, f); },
       {"5:1@5,1", "9:1@9,1"}},
      {"line part v 1, columns ..5",
       [](const Cells& c, const Cells::CellFunc& f) {
         return c.foreach_line_part(CellDir::v, 1, {-1, 5}, f);
       },
       {"2:1@2,1", "5:1@5,1"}},
      {"columns 5..7",
       [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_col_range({5, 7}, f); },
       {"5:1@5,1", "5:4@5,4", "7:4@7,4", "5:9@5,9"}},
      {"rows 4.. (negative end is open)",
       [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_row_range({4, -1}, f); },
       {"5:4@5,4", "7:4@7,4", "0:9@0,9", "5:9@5,9"}},
      {"line range h ..2",
       [](const Cells& c, const Cells::CellFunc& f) {
         return c.foreach_line_range(CellDir::h, {-1, 2}, f);
       },
       {"2:1@2,1", "0:9@0,9"}},
      {"range (2,1)-(5,4)",
       [](const Cells& c, const Cells::CellFunc& f) {
         return c.foreach_range(CellRange{{2, 1}, {5, 4}}, f);
       },
       {"2:1@2,1", "5:1@5,1", "5:4@5,4"}},
      {"range with start right of end",
       [](const Cells& c, const Cells::CellFunc& f) {
         return c.foreach_range(CellRange{{5, 1}, {2, 4}}, f);
       },
       {}},
      {"range with start below end",
       [](const Cells& c, const Cells::CellFunc& f) {
         return c.foreach_range(CellRange{{2, 4}, {5, 1}}, f);
       },
       {}},
      {"line hv", [](const Cells& c, const Cells::CellFunc& f) { return c.foreach_line(CellDir::hv, 5, f); },
       {}},
  };
  for (const auto& c : cases) {
    Recorder r;
    EXPECT_TRUE(c.visit(cells, r.fn())) << c.name;
    EXPECT_EQ(r.seen, c.expected) << c.name;

    // A false from the visitor ends the whole visit at once.
    if (c.expected.size() >= 2) {
      Recorder stop;
      stop.stop_at = 2;
      EXPECT_FALSE(c.visit(cells, stop.fn())) << c.name;
      EXPECT_EQ(stop.seen, Seen(c.expected.begin(), c.expected.begin() + 2)) << c.name;
    }
  }
}

TEST(ModelCells, LineIndicesAreReportedOnceEach)
{
  Cells cells;
  fill(cells, {{4, 8}, {1, 2}, {4, 2}, {9, 8}});
  std::vector<int32_t> cols;
  EXPECT_TRUE(cells.foreach_line_index(CellDir::h, [&](int32_t x) {
    cols.push_back(x);
    return true;
  }));
  std::sort(cols.begin(), cols.end());
  EXPECT_EQ(cols, (std::vector<int32_t>{1, 4, 9}));
  EXPECT_EQ(row_indices(cells), (std::vector<int32_t>{2, 8}));

  int calls = 0;
  EXPECT_FALSE(cells.foreach_row_index([&](int32_t) { return ++calls, false; }));
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(cells.foreach_line_index(CellDir::hv, [&](int32_t) { return ++calls, false; }));
  EXPECT_EQ(calls, 1);
}

TEST(ModelCells, InsertingARowMovesTheRowAtTheIndexAndBeyond)
{
  CountingCells cells;
  fill(cells, {{1, 2}, {1, 3}, {4, 3}, {0, 7}});
  cells.updates = 0;
  Recorder moved;
  cells.insert_line(CellDir::v, 3, 1, moved.fn());
  EXPECT_EQ(contents(cells), (Seen{"1:2@1,2", "1:3@1,4", "4:3@4,4", "0:7@0,8"}));
  EXPECT_EQ(moved.seen, (Seen{"1:3@1,4", "4:3@4,4", "0:7@0,8"}));
  EXPECT_EQ(cells.updates, 1);

  // A false from the moved callback ends the reports of that row only.
  Recorder first_of_row;
  cells.insert_row(0, 2, [&](int32_t x, int32_t y, const Value& v) {
    first_of_row.seen.push_back(*v + "@" + std::to_string(x) + "," + std::to_string(y));
    return false;
  });
  EXPECT_EQ(first_of_row.seen, (Seen{"1:2@1,4", "1:3@1,6", "0:7@0,10"}));
  EXPECT_EQ(contents(cells), (Seen{"1:2@1,4", "1:3@1,6", "4:3@4,6", "0:7@0,10"}));
}

TEST(ModelCells, InsertingAColumnReportsEveryMovedCell)
{
  CountingCells cells;
  fill(cells, {{2, 0}, {5, 0}, {8, 0}, {5, 3}, {65535, 4}});
  cells.updates = 0;
  Recorder moved;
  moved.stop_at = 1; // ignored by the column shift
  cells.insert_line(CellDir::h, 5, 2, moved.fn());
  EXPECT_EQ(moved.seen, (Seen{"5:0@7,0", "8:0@10,0", "5:3@7,3", "65535:4@65537,4"}));
  EXPECT_EQ(contents(cells), (Seen{"2:0@2,0", "5:0@7,0", "8:0@10,0", "5:3@7,3", "65535:4@65537,4"}));
  EXPECT_EQ(cells.updates, 1);
  // Positions past the grid stay stored as they are.
  EXPECT_EQ(*cells.get(65537, 4), "65535:4");
}

TEST(ModelCells, RemovingAColumnKeepsTheRowsItEmpties)
{
  CountingCells cells;
  fill(cells, {{5, 1}, {2, 3}, {5, 3}, {8, 3}});
  cells.updates = 0;
  Recorder removed;
  Recorder moved;
  cells.remove_line(CellDir::h, 5, 1, removed.fn(), moved.fn());
  EXPECT_EQ(removed.seen, (Seen{"5:1@5,1", "5:3@5,3"}));
  EXPECT_EQ(moved.seen, (Seen{"8:3@7,3"}));
  EXPECT_EQ(contents(cells), (Seen{"2:3@2,3", "8:3@7,3"}));
  EXPECT_EQ(cells.updates, 2);

  // Row 1 is empty but still counts.
  EXPECT_EQ(row_indices(cells), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(cells.get_exists_range()->to_string(), "(2, 1)-(7, 3)");

  // Once every row is empty the columns come out inverted.
  cells.remove_col(0, 10, {}, {});
  EXPECT_TRUE(contents(cells).empty());
  EXPECT_EQ(row_indices(cells), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(cells.get_exists_range()->to_string(), "(65535, 1)-(0, 3)");

  // Storing in an emptied row uses it again; remove() drops it once empty.
  cells.set(4, 1, val("again"));
  EXPECT_NE(cells.remove(4, 1), nullptr);
  EXPECT_EQ(row_indices(cells), (std::vector<int32_t>{3}));
}

TEST(ModelCells, RemovingRowsReportsThemFirstThenMovesTheRest)
{
  CountingCells cells;
  fill(cells, {{1, 2}, {3, 4}, {1, 4}, {2, 5}, {6, 9}, {0, 9}});
  cells.updates = 0;
  std::vector<std::string> log;
  cells.remove_line(
      CellDir::v, 4, 2,
      [&](int32_t x, int32_t y, const Value& v) {
        log.push_back("removed " + *v + "@" + std::to_string(x) + "," + std::to_string(y));
        return true;
      },
      [&](int32_t x, int32_t y, const Value& v) {
        log.push_back("moved " + *v + "@" + std::to_string(x) + "," + std::to_string(y));
        return true;
      });
  EXPECT_EQ(log, (Seen{"removed 1:4@1,4", "removed 3:4@3,4", "removed 2:5@2,5",
                       "moved 0:9@0,7", "moved 6:9@6,7"}));
  EXPECT_EQ(contents(cells), (Seen{"1:2@1,2", "0:9@0,7", "6:9@6,7"}));
  EXPECT_EQ(cells.updates, 2);

  // A false from the removed callback ends the reports, not the removal.
  cells.set(5, 2, val("5:2"));
  Recorder removed;
  removed.stop_at = 1;
  cells.remove_row(2, 1, removed.fn(), {});
  EXPECT_EQ(removed.seen, (Seen{"1:2@1,2"}));
  EXPECT_EQ(contents(cells), (Seen{"0:9@0,6", "6:9@6,6"}));
}

TEST(ModelCells, RemovalReportsOnlyTheCellsThatGo)
{
  // Row -1 and a count of 0: an interval with negative bounds would be open
  // and name cells that are not removed.
  Cells cells;
  fill(cells, {{1, -1}, {1, 0}, {1, 3}});
  Recorder removed;
  cells.remove_row(-1, 1, removed.fn(), {});
  EXPECT_EQ(removed.seen, (Seen{"1:-1@1,-1"}));
  EXPECT_EQ(contents(cells), (Seen{"1:0@1,-1", "1:3@1,2"}));

  Recorder none;
  cells.remove_row(0, 0, none.fn(), {});
  cells.remove_col(1, 0, none.fn(), {});
  EXPECT_TRUE(none.seen.empty());
  EXPECT_EQ(contents(cells), (Seen{"1:0@1,-1", "1:3@1,2"}));
}

TEST(ModelCells, LineOperationsWithBothAxesDoNothing)
{
  CountingCells cells;
  fill(cells, {{1, 1}, {2, 2}});
  cells.updates = 0;
  Recorder r;
  cells.insert_line(CellDir::hv, 0, 1, r.fn());
  cells.remove_line(CellDir::hv, 0, 5, r.fn(), r.fn());
  EXPECT_TRUE(r.seen.empty());
  EXPECT_EQ(cells.updates, 0);
  EXPECT_EQ(contents(cells), (Seen{"1:1@1,1", "2:2@2,2"}));
}

TEST(ModelCells, GetPosFindsTheVeryObjectFirstInVisitingOrder)
{
  Cells cells;
  Value shared = val("s");
  cells.set(7, 5, shared);
  cells.set(9, 3, shared);
  cells.set(4, 3, shared);
  cells.set(0, 1, val("s")); // equal, but another object
  EXPECT_EQ(cells.get_pos(shared), (CellPos{4, 3}));
  EXPECT_EQ(cells.get_pos(val("s")), (CellPos{-1, -1}));
  EXPECT_EQ(cells.get_pos(nullptr), (CellPos{-1, -1}));
}

TEST(ModelCells, ExistsRangeBoundsEveryStoredCell)
{
  Cells cells;
  fill(cells, {{9, 4}, {3, 6}, {5, 2}});
  EXPECT_EQ(cells.get_exists_range()->to_string(), "(3, 2)-(9, 6)");
  fill(cells, {{0, 0}});
  EXPECT_EQ(cells.get_exists_range()->to_string(), "(0, 0)-(9, 6)");
}

// A map that replaces a line operation: the dispatchers reach it.
class OwnRowInsertion : public CountingCells {
public:
  void insert_row(int32_t index, int32_t count, const CellFunc&) override
  {
    calls.push_back(std::to_string(index) + "+" + std::to_string(count));
  }
  std::vector<std::string> calls;
};

TEST(ModelCells, DispatchersGoThroughTheVirtualLineOperations)
{
  OwnRowInsertion cells;
  fill(cells, {{1, 3}});
  cells.insert_line(CellDir::v, 2, 4);
  EXPECT_EQ(cells.calls, (std::vector<std::string>{"2+4"}));
  EXPECT_EQ(contents(cells), (Seen{"1:3@1,3"}));
}

} // namespace
} // namespace velkaro
