#pragma once
// joined_rows(): static tables of rows (menu rows, tool-bar rows) made of
// shared groups, as one constant array of the groups' rows in order, so
// that a diagram kind's table names the groups every kind shares instead of
// repeating their rows.

#include <array>
#include <cstddef>

namespace velkaro {

template <class Row, std::size_t... N>
constexpr std::array<Row, (N + ...)> joined_rows(const Row (&... groups)[N])
{
  std::array<Row, (N + ...)> all{};
  std::size_t next = 0;
  ((void)[&] {
     for (const Row& row : groups)
       all[next++] = row;
   }(),
   ...);
  return all;
}

} // namespace velkaro
