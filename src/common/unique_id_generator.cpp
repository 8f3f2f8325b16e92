#include "common/unique_id_generator.h"

#include <random>

namespace velkaro {
namespace {

std::mt19937& shared_random()
{
  static std::mt19937 rng;
  return rng;
}

} // namespace

UniqueIdGenerator::UniqueIdGenerator()
{
  shared_random().seed(std::random_device{}());
}

uint32_t UniqueIdGenerator::new_uid()
{
  for (;;) {
    uint32_t id = shared_random()();
    if (m_used.insert(id).second)
      return id;
  }
}

void UniqueIdGenerator::delete_uid(uint32_t id) { m_used.erase(id); }

void UniqueIdGenerator::invalidate_uid(uint32_t id) { m_used.insert(id); }

} // namespace velkaro
