#pragma once
// Hands out random 32-bit identifiers that are not in use.

#include <cstdint>
#include <memory>
#include <unordered_set>

namespace velkaro {

class UniqueIdGenerator {
public:
  // Every construction reseeds the random source that all generators share.
  UniqueIdGenerator();
  static std::shared_ptr<UniqueIdGenerator> create() { return std::make_shared<UniqueIdGenerator>(); }

  // Draws until an identifier not in use comes up, marks it used and returns it.
  uint32_t new_uid();
  // Frees the identifier so that it can be drawn again.
  void delete_uid(uint32_t id);
  // Marks the identifier used without drawing it.
  void invalidate_uid(uint32_t id);

private:
  std::unordered_set<uint32_t> m_used;
};

} // namespace velkaro
