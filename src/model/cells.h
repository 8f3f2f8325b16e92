#pragma once
// ModelCells<T>: a sparse map from a cell (column x, row y) to a shared value.
// Only occupied cells are stored: rows in ascending order, and within a row
// columns in ascending order; every visit walks them in that order. Whole
// rows and columns can be opened and closed, moving the cells beyond them.
//
// Ownership: the map holds one std::shared_ptr to each stored value; get()
// hands out another one, and visitors and callbacks receive the stored
// pointer by reference, valid for the duration of the call only.
//
// Positions are not checked: any 32-bit index can be stored, and the line
// operations move cells past 65535 or below 0. Keeping positions inside the
// valid grid is the caller's task.
//
// Change hook: updated() is called after each change, a fixed number of times
// per operation (see each operation), so that a subclass can drop caches
// built from the map. clear() does not call it.
//
// A visitor or callback must not store or remove cells of the map it is
// visiting or shifting.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "common/cell_pos.h"
#include "common/cell_range.h"
#include "common/cell_range_index.h"
#include "common/check.h"
#include "common/directions.h"

namespace velkaro {

template <class T>
class ModelCells {
public:
  using Value = std::shared_ptr<T>;
  // Column -> value.
  using Row = std::map<int32_t, Value>;
  // Row index -> row map. A row map can be empty after a column removal.
  using Rows = std::map<int32_t, Row>;
  // Receives (x, y, value); returns true to go on.
  using CellFunc = std::function<bool(int32_t x, int32_t y, const Value& value)>;
  // Receives one line index; returns true to go on.
  using IndexFunc = std::function<bool(int32_t index)>;

  static std::shared_ptr<ModelCells> create() { return std::make_shared<ModelCells>(); }

  ModelCells() = default;
  virtual ~ModelCells() = default;
  ModelCells(const ModelCells&) = delete;
  ModelCells& operator=(const ModelCells&) = delete;

  // The change hook. Does nothing here.
  virtual void updated() {}

  // The value at (x, y), or null when the cell is empty.
  Value get(int32_t x, int32_t y) const;
  // Stores value at (x, y), replacing any value there and creating the row on
  // demand; then calls updated() once. A null value is refused.
  virtual void set(int32_t x, int32_t y, Value value);
  // Takes the value out of (x, y) and hands it to the caller; drops the row
  // when it becomes empty and calls updated() once. An empty cell gives null,
  // changes nothing and does not call updated().
  virtual Value remove(int32_t x, int32_t y);
  // Drops every row (and with them the map's references to the values).
  // Does not call updated(); a subclass with caches overrides it to drop them.
  virtual void clear() { m_rows.clear(); }
  // A new plain map sharing every value of this one.
  std::shared_ptr<ModelCells> duplicate() const;

  // Visits. Each returns false when a visitor returned false (which ends the
  // whole visit at once) and true otherwise, also when nothing was visited.
  // Intervals are inclusive; a negative bound leaves that side open
  // (CellRangeIndex::contains). The line variants take h for the column
  // variant and v for the row variant; any other direction visits nothing
  // and returns true.

  // Every cell.
  bool foreach(const CellFunc& fn) const;
  // Every row index that has a row map, including emptied rows, ascending.
  bool foreach_row_index(const IndexFunc& fn) const;
  // Every column index used in any row, once each, ascending.
  bool foreach_col_index(const IndexFunc& fn) const;
  bool foreach_line_index(CellDir dir, const IndexFunc& fn) const;
  // The cells of column x / row y.
  bool foreach_col(int32_t x, const CellFunc& fn) const;
  bool foreach_row(int32_t y, const CellFunc& fn) const;
  bool foreach_line(CellDir dir, int32_t index, const CellFunc& fn) const;
  // The cells of column x whose row lies in v_range / of row y whose column
  // lies in h_range.
  bool foreach_col_part(int32_t x, const CellRangeIndex& v_range, const CellFunc& fn) const;
  bool foreach_row_part(int32_t y, const CellRangeIndex& h_range, const CellFunc& fn) const;
  bool foreach_line_part(CellDir dir, int32_t index, const CellRangeIndex& range,
                         const CellFunc& fn) const;
  // Every cell whose column (row) lies in the interval.
  bool foreach_col_range(const CellRangeIndex& h_range, const CellFunc& fn) const;
  bool foreach_row_range(const CellRangeIndex& v_range, const CellFunc& fn) const;
  bool foreach_line_range(CellDir dir, const CellRangeIndex& range, const CellFunc& fn) const;
  // Every cell inside range, taken as it stands: a range whose start lies
  // below or right of its end visits nothing.
  bool foreach_range(const CellRange& range, const CellFunc& fn) const;

  // Opens count lines at index: h inserts columns, v rows; any other
  // direction does nothing. The moved callback (may be empty) sees each
  // moved cell at its new position.
  void insert_line(CellDir dir, int32_t index, int32_t count, const CellFunc& moved = {});
  // Defaults: shift_row / shift_col with the same arguments.
  virtual void insert_row(int32_t index, int32_t count, const CellFunc& moved);
  virtual void insert_col(int32_t index, int32_t count, const CellFunc& moved);

  // Moves every row (column) at or beyond index by count, which may be
  // negative; the line at index moves too. Lines moved onto occupied ones
  // replace them. Then calls updated() once. The moved callback runs right
  // after each row (cell) moves, in ascending order, with the new position;
  // in shift_row a false from it ends the reports for the rest of that row
  // only, in shift_col its result is ignored.
  void shift_row(int32_t index, int32_t count, const CellFunc& moved);
  void shift_col(int32_t index, int32_t count, const CellFunc& moved);

  // Removes the lines index .. index + count - 1 and moves the lines beyond
  // them back by count: h removes columns, v rows; any other direction does
  // nothing. The removed callback sees each removed cell before it goes; the
  // moved callback sees the moved cells at their new positions. Either may
  // be empty.
  void remove_line(CellDir dir, int32_t index, int32_t count, const CellFunc& removed = {},
                   const CellFunc& moved = {});
  // Default: reports the cells of the removed rows (rows ascending, columns
  // ascending; a false ends the reports), drops those rows, shifts the rows
  // beyond back, then calls updated(): twice in all with the shift's.
  virtual void remove_row(int32_t index, int32_t count, const CellFunc& removed,
                          const CellFunc& moved);
  // Default: row by row, reports each removed cell (result ignored) and takes
  // it out; rows left empty stay (they still count for foreach_row_index and
  // get_exists_range). Then shifts the columns beyond back and calls
  // updated(): twice in all with the shift's.
  virtual void remove_col(int32_t index, int32_t count, const CellFunc& removed,
                          const CellFunc& moved);

  // Where this very object (identity, not equality) is stored: the first cell
  // in visiting order; (-1, -1) when it is not stored.
  virtual CellPos get_pos(const Value& value) const;

  // The bounding range of the stored cells, (0, 0)-(0, 0) for an empty map.
  // Emptied rows count for the rows but have no columns: when every row is
  // empty the columns come out as 65535 .. 0.
  std::shared_ptr<CellRange> get_exists_range() const;

  const Rows& get_rows() const
  {
    touch_all();
    return m_rows;
  }

protected:
  // Called before every read or change of the map with the cells it is
  // about to look at (columns x0..x1, rows y0..y1, inclusive), so that a
  // subclass that fills itself on demand fills those cells first. Does
  // nothing here.
  virtual void touch(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const
  {
    (void)x0, (void)y0, (void)x1, (void)y1;
  }
  static constexpr int64_t OPEN_LOW = INT64_MIN;
  static constexpr int64_t OPEN_HIGH = INT64_MAX;
  void touch_all() const { touch(OPEN_LOW, OPEN_LOW, OPEN_HIGH, OPEN_HIGH); }
  // An interval bound as touch() takes it: a negative bound is open.
  static int64_t low(int32_t bound) { return bound < 0 ? OPEN_LOW : bound; }
  static int64_t high(int32_t bound) { return bound < 0 ? OPEN_HIGH : bound; }

  Rows m_rows;

private:
  // Inclusive end of the lines index .. index + count - 1, without overflow.
  static int64_t last_of(int32_t index, int32_t count) { return int64_t{index} + count - 1; }
};

// ---------------------------------------------------------------------------

template <class T>
typename ModelCells<T>::Value ModelCells<T>::get(int32_t x, int32_t y) const
{
  touch(x, y, x, y);
  auto row = m_rows.find(y);
  if (row == m_rows.end())
    return nullptr;
  auto cell = row->second.find(x);
  return cell == row->second.end() ? nullptr : cell->second;
}

template <class T>
void ModelCells<T>::set(int32_t x, int32_t y, Value value)
{
  VK_CHECK(value != nullptr);
  touch(x, y, x, y);
  m_rows[y][x] = std::move(value);
  updated();
}

template <class T>
typename ModelCells<T>::Value ModelCells<T>::remove(int32_t x, int32_t y)
{
  touch(x, y, x, y);
  auto row = m_rows.find(y);
  if (row == m_rows.end())
    return nullptr;
  auto cell = row->second.find(x);
  if (cell == row->second.end())
    return nullptr;
  Value value = std::move(cell->second);
  row->second.erase(cell);
  if (row->second.empty())
    m_rows.erase(row);
  updated();
  return value;
}

template <class T>
std::shared_ptr<ModelCells<T>> ModelCells<T>::duplicate() const
{
  auto copy = ModelCells<T>::create();
  foreach([&copy](int32_t x, int32_t y, const Value& value) {
    copy->set(x, y, value);
    return true;
  });
  return copy;
}

// --- visits ----------------------------------------------------------------

template <class T>
bool ModelCells<T>::foreach(const CellFunc& fn) const
{
  touch_all();
  for (const auto& [y, row] : m_rows)
    for (const auto& [x, value] : row)
      if (!fn(x, y, value))
        return false;
  return true;
}

template <class T>
bool ModelCells<T>::foreach_row_index(const IndexFunc& fn) const
{
  touch_all();
  for (const auto& entry : m_rows)
    if (!fn(entry.first))
      return false;
  return true;
}

template <class T>
bool ModelCells<T>::foreach_col_index(const IndexFunc& fn) const
{
  touch_all();
  std::set<int32_t> columns;
  for (const auto& entry : m_rows)
    for (const auto& cell : entry.second)
      columns.insert(cell.first);
  for (int32_t x : columns)
    if (!fn(x))
      return false;
  return true;
}

template <class T>
bool ModelCells<T>::foreach_line_index(CellDir dir, const IndexFunc& fn) const
{
  switch (dir) {
  case CellDir::h: return foreach_col_index(fn);
  case CellDir::v: return foreach_row_index(fn);
  default: return true;
  }
}

template <class T>
bool ModelCells<T>::foreach_col(int32_t x, const CellFunc& fn) const
{
  touch(x, OPEN_LOW, x, OPEN_HIGH);
  for (const auto& [y, row] : m_rows) {
    auto cell = row.find(x);
    if (cell != row.end() && !fn(x, y, cell->second))
      return false;
  }
  return true;
}

template <class T>
bool ModelCells<T>::foreach_row(int32_t y, const CellFunc& fn) const
{
  touch(OPEN_LOW, y, OPEN_HIGH, y);
  auto row = m_rows.find(y);
  if (row == m_rows.end())
    return true;
  for (const auto& [x, value] : row->second)
    if (!fn(x, y, value))
      return false;
  return true;
}

template <class T>
bool ModelCells<T>::foreach_line(CellDir dir, int32_t index, const CellFunc& fn) const
{
  switch (dir) {
  case CellDir::h: return foreach_col(index, fn);
  case CellDir::v: return foreach_row(index, fn);
  default: return true;
  }
}

template <class T>
bool ModelCells<T>::foreach_col_part(int32_t x, const CellRangeIndex& v_range,
                                     const CellFunc& fn) const
{
  return foreach_col(x, [&](int32_t cx, int32_t y, const Value& value) {
    return v_range.excludes(y) || fn(cx, y, value);
  });
}

template <class T>
bool ModelCells<T>::foreach_row_part(int32_t y, const CellRangeIndex& h_range,
                                     const CellFunc& fn) const
{
  return foreach_row(y, [&](int32_t x, int32_t cy, const Value& value) {
    return h_range.excludes(x) || fn(x, cy, value);
  });
}

template <class T>
bool ModelCells<T>::foreach_line_part(CellDir dir, int32_t index, const CellRangeIndex& range,
                                      const CellFunc& fn) const
{
  switch (dir) {
  case CellDir::h: return foreach_col_part(index, range, fn);
  case CellDir::v: return foreach_row_part(index, range, fn);
  default: return true;
  }
}

template <class T>
bool ModelCells<T>::foreach_col_range(const CellRangeIndex& h_range, const CellFunc& fn) const
{
  return foreach_range(CellRange{{h_range.start, -1}, {h_range.end, -1}}, fn);
}

template <class T>
bool ModelCells<T>::foreach_row_range(const CellRangeIndex& v_range, const CellFunc& fn) const
{
  return foreach_range(CellRange{{-1, v_range.start}, {-1, v_range.end}}, fn);
}

template <class T>
bool ModelCells<T>::foreach_line_range(CellDir dir, const CellRangeIndex& range,
                                       const CellFunc& fn) const
{
  switch (dir) {
  case CellDir::h: return foreach_col_range(range, fn);
  case CellDir::v: return foreach_row_range(range, fn);
  default: return true;
  }
}

template <class T>
bool ModelCells<T>::foreach_range(const CellRange& range, const CellFunc& fn) const
{
  const CellRangeIndex h = range.get_h();
  const CellRangeIndex v = range.get_v();
  touch(low(h.start), low(v.start), high(h.end), high(v.end));
  // A non-negative start bounds the walk; a negative one leaves it open.
  auto row = v.start >= 0 ? m_rows.lower_bound(v.start) : m_rows.begin();
  for (; row != m_rows.end() && v.contains(row->first); ++row) {
    const Row& cells = row->second;
    auto cell = h.start >= 0 ? cells.lower_bound(h.start) : cells.begin();
    for (; cell != cells.end() && h.contains(cell->first); ++cell)
      if (!fn(cell->first, row->first, cell->second))
        return false;
  }
  return true;
}

// --- lines -----------------------------------------------------------------

template <class T>
void ModelCells<T>::insert_line(CellDir dir, int32_t index, int32_t count, const CellFunc& moved)
{
  if (dir == CellDir::h)
    insert_col(index, count, moved);
  else if (dir == CellDir::v)
    insert_row(index, count, moved);
}

template <class T>
void ModelCells<T>::insert_row(int32_t index, int32_t count, const CellFunc& moved)
{
  shift_row(index, count, moved);
}

template <class T>
void ModelCells<T>::insert_col(int32_t index, int32_t count, const CellFunc& moved)
{
  shift_col(index, count, moved);
}

template <class T>
void ModelCells<T>::shift_row(int32_t index, int32_t count, const CellFunc& moved)
{
  touch_all();
  Rows shifted;
  for (auto it = m_rows.lower_bound(index); it != m_rows.end();) {
    const int32_t y = it->first + count;
    Row& row = shifted.emplace(y, std::move(it->second)).first->second;
    it = m_rows.erase(it);
    if (moved) {
      for (const auto& [x, value] : row)
        if (!moved(x, y, value))
          break;
    }
  }
  for (auto& [y, row] : shifted)
    m_rows.insert_or_assign(y, std::move(row));
  updated();
}

template <class T>
void ModelCells<T>::shift_col(int32_t index, int32_t count, const CellFunc& moved)
{
  touch_all();
  for (auto& [y, row] : m_rows) {
    Row shifted;
    for (auto it = row.lower_bound(index); it != row.end();) {
      const int32_t x = it->first + count;
      const Value& value = shifted.emplace(x, std::move(it->second)).first->second;
      it = row.erase(it);
      if (moved)
        moved(x, y, value);
    }
    for (auto& [x, value] : shifted)
      row.insert_or_assign(x, std::move(value));
  }
  updated();
}

template <class T>
void ModelCells<T>::remove_line(CellDir dir, int32_t index, int32_t count, const CellFunc& removed,
                                const CellFunc& moved)
{
  if (dir == CellDir::h)
    remove_col(index, count, removed, moved);
  else if (dir == CellDir::v)
    remove_row(index, count, removed, moved);
}

template <class T>
void ModelCells<T>::remove_row(int32_t index, int32_t count, const CellFunc& removed,
                               const CellFunc& moved)
{
  touch_all();
  const int64_t last = last_of(index, count);
  // The report covers exactly the rows that go (an open interval here would
  // report cells that stay when index or last is negative).
  auto first = m_rows.lower_bound(index);
  auto end = first;
  while (end != m_rows.end() && end->first <= last)
    ++end;
  if (removed) {
    bool go_on = true;
    for (auto row = first; go_on && row != end; ++row)
      for (auto cell = row->second.begin(); go_on && cell != row->second.end(); ++cell)
        go_on = removed(cell->first, row->first, cell->second);
  }
  m_rows.erase(first, end);
  shift_row(index + count, -count, moved);
  updated();
}

template <class T>
void ModelCells<T>::remove_col(int32_t index, int32_t count, const CellFunc& removed,
                               const CellFunc& moved)
{
  touch_all();
  const int64_t last = last_of(index, count);
  for (auto& [y, row] : m_rows) {
    auto first = row.lower_bound(index);
    auto end = first;
    for (; end != row.end() && end->first <= last; ++end)
      if (removed)
        removed(end->first, y, end->second);
    row.erase(first, end);
  }
  shift_col(index + count, -count, moved);
  updated();
}

// --- lookups ---------------------------------------------------------------

template <class T>
CellPos ModelCells<T>::get_pos(const Value& value) const
{
  CellPos pos{-1, -1};
  foreach([&](int32_t x, int32_t y, const Value& stored) {
    if (stored != value)
      return true;
    pos = {x, y};
    return false;
  });
  return pos;
}

template <class T>
std::shared_ptr<CellRange> ModelCells<T>::get_exists_range() const
{
  touch_all();
  if (m_rows.empty())
    return CellRange::create({0, 0}, {0, 0});
  CellPos start{CellPos::MAX, CellPos::MAX};
  CellPos end{0, 0};
  // Each row is ordered by column: its first and last cells bound it.
  for (const auto& [y, row] : m_rows) {
    start.y = std::min(start.y, y);
    end.y = std::max(end.y, y);
    if (row.empty())
      continue;
    start.x = std::min(start.x, row.begin()->first);
    end.x = std::max(end.x, row.rbegin()->first);
  }
  return CellRange::create(start, end);
}

} // namespace velkaro
