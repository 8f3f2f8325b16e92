#pragma once

namespace velkaro {

// Stands for any role (or for none) wherever an element role, a depth or a
// line point is looked up or stored.
inline constexpr int ANY_ROLE = 999999;

} // namespace velkaro
