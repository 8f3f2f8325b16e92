#include "common/directions.h"

#include <glib.h>

namespace velkaro {

CellDir cell_dir_inv(CellDir dir)
{
  return dir == CellDir::h ? CellDir::v : CellDir::h;
}

std::string cell_dir_to_string(CellDir dir)
{
  switch (dir) {
  case CellDir::h: return "H";
  case CellDir::v: return "V";
  default: return "(unknown)";
  }
}

MovingDir moving_dir_inv(MovingDir dir)
{
  switch (dir) {
  case MovingDir::up: return MovingDir::down;
  case MovingDir::down: return MovingDir::up;
  case MovingDir::left: return MovingDir::right;
  case MovingDir::right: return MovingDir::left;
  default: return MovingDir::up;
  }
}

bool moving_dir_is_vertical(MovingDir dir)
{
  return dir != MovingDir::left && dir != MovingDir::right;
}

bool moving_dir_foreach(const std::function<bool(MovingDir)>& fn)
{
  for (MovingDir d : {MovingDir::up, MovingDir::down, MovingDir::left, MovingDir::right})
    if (!fn(d))
      return false;
  return true;
}

std::string moving_dir_to_string(MovingDir dir)
{
  switch (dir) {
  case MovingDir::up: return "UP";
  case MovingDir::down: return "DOWN";
  case MovingDir::left: return "LEFT";
  case MovingDir::right: return "RIGHT";
  default: return "(invalid)";
  }
}

StartOrEnd start_or_end_inv(StartOrEnd v)
{
  switch (v) {
  case StartOrEnd::start: return StartOrEnd::end;
  case StartOrEnd::end: return StartOrEnd::start;
  default:
    g_warning("common:103: The value 0x%x is unknown value in StartOrEnd.inv()", static_cast<unsigned>(v));
    return v;
  }
}

std::string start_or_end_to_string(StartOrEnd v)
{
  switch (v) {
  case StartOrEnd::start: return "START";
  case StartOrEnd::end: return "END";
  default: return "(unknown)";
  }
}

} // namespace velkaro
