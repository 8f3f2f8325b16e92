#pragma once
// ClsLinkDir: which of a segment's two spring sets: the springs on its low
// side (it is their right node) or on its high side (their left node).

#include <string>

namespace velkaro {

enum class ClsLinkDir { left = 0, right = 1 };

// "LEFT" for left, "RIGHT" for any other value.
inline std::string cls_link_dir_to_string(ClsLinkDir dir)
{
  return dir == ClsLinkDir::left ? "LEFT" : "RIGHT";
}

} // namespace velkaro
