#pragma once
// text_join(): one string made of pieces of text, sized once and appended
// in order. Messages that put a literal before a temporary string
// ("<" + reader.get_name() + ">") inline the standard library's copies in
// an optimised build, where GCC 12 takes them for copies of unbounded size
// that may overlap and warns (-Wrestrict, -Wstringop-overflow); built with
// text_join() they say the same and the release build stays clean.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace velkaro {

inline std::string text_join(std::initializer_list<std::string_view> pieces)
{
  std::size_t size = 0;
  for (const std::string_view piece : pieces)
    size += piece.size();
  std::string text;
  text.reserve(size);
  for (const std::string_view piece : pieces)
    text.append(piece);
  return text;
}

} // namespace velkaro
