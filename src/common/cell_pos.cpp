#include "common/cell_pos.h"

#include <algorithm>

#include <glib.h>

#include "common/text_join.h"

namespace velkaro {

std::string CellPos::to_string() const
{
  return text_join({"(", std::to_string(x), ", ", std::to_string(y), ")"});
}

int32_t CellPos::get(CellDir dir) const
{
  switch (dir) {
  case CellDir::h: return x;
  case CellDir::v: return y;
  default: g_error("CellPos::get: hv names no single coordinate");
  }
}

void CellPos::set(CellDir dir, int32_t value)
{
  if (dir == CellDir::h)
    x = value;
  else if (dir == CellDir::v)
    y = value;
}

void CellPos::add_across(CellDir dir, int32_t n)
{
  if (dir == CellDir::h)
    y += n;
  else if (dir == CellDir::v)
    x += n;
}

CellPos CellPos::move(MovingDir dir, int32_t n)
{
  // 64-bit so that a long move from near the edge cannot wrap before clamping.
  int64_t nx = x;
  int64_t ny = y;
  switch (dir) {
  case MovingDir::up: ny -= n; break;
  case MovingDir::down: ny += n; break;
  case MovingDir::left: nx -= n; break;
  case MovingDir::right: nx += n; break;
  default: break;
  }
  x = static_cast<int32_t>(std::clamp<int64_t>(nx, INT32_MIN, INT32_MAX));
  y = static_cast<int32_t>(std::clamp<int64_t>(ny, INT32_MIN, INT32_MAX));
  return clamp();
}

CellPos CellPos::clamp()
{
  x = std::clamp(x, 0, MAX);
  y = std::clamp(y, 0, MAX);
  return *this;
}

bool CellPos::is_located_than(MovingDir dir, const CellPos& other) const
{
  switch (dir) {
  case MovingDir::up: return y < other.y;
  case MovingDir::down: return y > other.y;
  case MovingDir::left: return x < other.x;
  case MovingDir::right: return x > other.x;
  default: return false;
  }
}

} // namespace velkaro
