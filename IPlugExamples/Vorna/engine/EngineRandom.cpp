#include "EngineRandom.h"

#include <chrono>

EngineRandom::EngineRandom()
{
  // Wall clock and monotonic clock together: two engines started in the same
  // wall-clock tick still get different seeds.
  const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
  const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
  Seed(static_cast<std::uint64_t>(wall) ^ (static_cast<std::uint64_t>(steady) << 17));
}
