#pragma once
// One axis of the grid: the far edge (right edge of a column, bottom edge of
// a row) of every line, in canvas units. Only lines whose far edge differs
// from where the minimum line size would put it are listed; every other line
// is min_size wide. Line i spans from the far edge of line i - 1 (included)
// to its own far edge (excluded); the far edge of line -1 is 0.
//
// A line becomes listed when a set moves its far edge by more than
// TOLERANCE from where the lines below it put it, or when it is the first
// line set in an empty list. Once listed it stays listed until it is
// removed, even when its size returns to min_size. Lists are shared
// (std::shared_ptr) between a grid and whoever asks it for an axis.
//
// Cost: get() halves the listed lines, unless the list keeps the far edge
// of every line up to the last listed one in a table: it makes the table
// once enough gets came since the last change to pay for it (as many as an
// eighth of the lines it holds), so that a drawing, which reads many edges
// of an unchanging grid, reads each at constant cost, while a layout that
// sets and reads lines in turn never makes one.

#include <cstdint>
#include <memory>
#include <vector>

namespace velkaro {

// A listed line: its index and the absolute position of its far edge.
struct ModelGridGridData {
  int32_t index = 0;
  double edge = 0;

  bool operator==(const ModelGridGridData&) const = default;
};

class ModelGridGridList {
public:
  static constexpr double DEFAULT_MIN_SIZE = 20.0;
  // How far an unlisted line's far edge may be moved without listing it.
  static constexpr double TOLERANCE = 0.01;

  explicit ModelGridGridList(double min_size = DEFAULT_MIN_SIZE) : m_min_size(min_size) {}

  static std::shared_ptr<ModelGridGridList> create(double min_size = DEFAULT_MIN_SIZE)
  {
    return std::make_shared<ModelGridGridList>(min_size);
  }

  // The far edge of line i; 0 for i < 0.
  double get(int32_t i) const;
  // The line whose far edge is the near edge of line i: i - 1, which never
  // wraps (every negative line ends at 0).
  static int32_t line_before(int32_t i) { return i == INT32_MIN ? i : i - 1; }
  // Makes edge the far edge of line i and moves every later listed line by
  // the change. Listed lines and the first entry of an empty list take the
  // edge as given; an unlisted line only when it moves by more than
  // TOLERANCE (else nothing changes). Nothing for i < 0.
  void set(int32_t i, double edge);
  // get(i) - get(i - 1).
  double get_size(int32_t i) const;
  // set(i, get(i - 1) + size), with size raised to min_size when smaller.
  void set_size(int32_t i, double size);
  // Inserts a line of min_size at i: lines from i on move one index up and
  // min_size further out. Nothing for i < 0.
  void ins(int32_t i);
  // Removes line i: later lines move one index down and back by its size.
  // Nothing for i < 0.
  void rm(int32_t i);
  // The index of the line that contains pos; a position on an edge belongs
  // to the line after it. Negative positions give line 0 down to -min_size
  // (exclusive) and negative indexes below that. Results beyond the 32-bit
  // range saturate.
  int32_t get_index(double pos) const;
  double get_min_size() const { return m_min_size; }
  // The far edge of the last listed line, 0 when nothing is listed.
  double get_last() const;

  // The listed lines, by strictly ascending index.
  const std::vector<ModelGridGridData>& get_entries() const { return m_list; }

private:
  // Halving search for line i in a non-empty list. True with the position of
  // its entry when listed; otherwise false with the position of the last
  // entry probed, which is either the last listed line below i or the first
  // listed line above it.
  bool binary_search(int32_t i, size_t& pos) const;
  // Adds delta to the edge of every entry from list position from on.
  void shift_pos(size_t from, double delta);
  // Adds delta to the index of every entry from list position from on.
  void shift_index(size_t from, int32_t delta);

  // The far edge of line i by halving the listed lines.
  double look_up(int32_t i) const;
  // Every change drops the table.
  void changed()
  {
    m_table.clear();
    m_gets = 0;
  }

  std::vector<ModelGridGridData> m_list;
  double m_min_size;
  // look_up(i) for every line i up to the last listed one, once made.
  mutable std::vector<double> m_table;
  // The gets since the last change while there is no table.
  mutable uint64_t m_gets = 0;
};

} // namespace velkaro
