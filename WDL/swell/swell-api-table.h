#pragma once

// For the layer's own checks: the names of its interface that have no function yet.

#include <span>

namespace swell
{
std::span<const char* const> apiNamesNotYetBuilt();
}  // namespace swell
