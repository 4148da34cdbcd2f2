#pragma once

// Coverage masks of the small outline circles, radius 1.5 to 4 in steps of a half,
// each (2r + 1) pixels square (rounded down), rows top to bottom.
namespace lice
{
struct CircleMask
{
  float radius;
  int size;
  const unsigned char* plain;
  const unsigned char* antialiased;
};

// The mask for exactly this radius, or null.
const CircleMask* SmallCircleMask(float r);
}  // namespace lice
