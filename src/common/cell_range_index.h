#pragma once
// An interval of line indices on one axis, both ends included. A negative
// bound means "open on that side" for contains() and excludes() only; every
// other operation compares the bounds as plain integers.

#include <cstdint>
#include <optional>
#include <string>

#include "common/directions.h"

namespace velkaro {

struct CellRangeIndex {
  int32_t start = 0;
  int32_t end = 0;

  static CellRangeIndex init(int32_t start, int32_t end) { return {start, end}; }

  // The hull of self and r (plain integers: a negative start wins, a negative end loses).
  CellRangeIndex or_(const CellRangeIndex& r) const;
  // Shared index, edges included.
  bool is_overlap(const CellRangeIndex& r) const { return start <= r.end && r.start <= end; }
  bool contains(int32_t n) const { return (start < 0 || start <= n) && (end < 0 || n <= end); }
  bool excludes(int32_t n) const { return !contains(n); }
  // Removes s from self in place; returns the piece after s when s lies
  // strictly inside, otherwise nothing.
  std::optional<CellRangeIndex> cut(const CellRangeIndex& s);
  // Swaps the bounds when both are >= 0 and start > end.
  void ensure_consistency();
  bool get_is_enable() const { return end >= start; }
  int32_t get_size() const;
  bool is_eq(const CellRangeIndex& r) const { return start == r.start && end == r.end; }
  bool operator==(const CellRangeIndex&) const = default;
  // Self lies within r.
  bool is_subset(const CellRangeIndex& r) const { return r.start <= start && end <= r.end; }
  void debug_print(const std::string& prefix) const;
  // (start - before, end + after), negative bounds raised to 0, then made consistent.
  CellRangeIndex widen(int32_t before, int32_t after) const;
  // Widens toward the direction: up and left lower start, others raise end.
  CellRangeIndex extend(MovingDir dir, int32_t n) const;
};

} // namespace velkaro
