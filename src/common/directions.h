#pragma once
// The axis of an operation and the four steps on the grid.

#include <functional>
#include <string>

namespace velkaro {

// h selects the x coordinate (columns), v the y coordinate (rows), hv both.
enum class CellDir { h = 0, v = 1, hv = 2 };

// up lowers y, down raises y, left lowers x, right raises x. Also the index
// of a route node's four links.
enum class MovingDir { up = 0, down = 1, left = 2, right = 3 };

enum class StartOrEnd { start = 0, end = 1 };

// v for h; h for v and for hv.
CellDir cell_dir_inv(CellDir dir);
// "H", "V" or "(unknown)".
std::string cell_dir_to_string(CellDir dir);

// The opposite direction; any value outside the four gives up.
MovingDir moving_dir_inv(MovingDir dir);
// False for left and right, true otherwise.
bool moving_dir_is_vertical(MovingDir dir);
// Calls fn for up, down, left, right in that order; stops with false as soon
// as fn returns false, else returns true.
bool moving_dir_foreach(const std::function<bool(MovingDir)>& fn);
// "UP", "DOWN", "LEFT", "RIGHT" or "(invalid)".
std::string moving_dir_to_string(MovingDir dir);

// start and end swap; an unknown value is logged and comes back unchanged.
StartOrEnd start_or_end_inv(StartOrEnd v);
std::string start_or_end_to_string(StartOrEnd v);

} // namespace velkaro
