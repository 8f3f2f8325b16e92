#pragma once
// A cell position on the grid: column x and row y. The type holds any 32-bit
// values; a position is valid when both lie in 0..MAX. Arithmetic never
// clamps; only move() and clamp() force a position into the valid range.

#include <cstdint>
#include <string>

#include "common/directions.h"

namespace velkaro {

struct CellPos {
  static constexpr int32_t MAX = 65535;

  int32_t x = 0;
  int32_t y = 0;

  static CellPos init(int32_t x, int32_t y) { return CellPos{x, y}; }

  // "(x, y)".
  std::string to_string() const;
  bool is_eq(const CellPos& other) const { return x == other.x && y == other.y; }
  bool operator==(const CellPos&) const = default;

  // x for h, y for v; hv stops the program.
  int32_t get(CellDir dir) const;
  // Sets x for h, y for v; hv changes nothing.
  void set(CellDir dir, int32_t value);
  // Adds n to the coordinate across the axis: y for h, x for v; hv changes nothing.
  void add_across(CellDir dir, int32_t n);

  CellPos add(const CellPos& other) const { return {x + other.x, y + other.y}; }
  CellPos substract(const CellPos& other) const { return {x - other.x, y - other.y}; }
  // other - self.
  CellPos delta(const CellPos& other) const { return {other.x - x, other.y - y}; }
  CellPos neg() const { return {-x, -y}; }

  // Shifts n cells in the direction, then clamps both coordinates; returns the new value.
  CellPos move(MovingDir dir, int32_t n);
  // Clamps x and y into 0..MAX; returns the new value.
  CellPos clamp();

  // True when v is a valid coordinate, 0..MAX.
  static constexpr bool in_range(int64_t v) { return 0 <= v && v <= MAX; }
  bool get_is_valid() const { return in_range(x) && in_range(y); }
  // True when self lies in the direction from other.
  bool is_located_than(MovingDir dir, const CellPos& other) const;
};

} // namespace velkaro
