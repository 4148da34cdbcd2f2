#pragma once

#include <cmath>

// Bounds that keep every size and 16.16 position of the library inside 64-bit
// arithmetic with room to spare. Requests outside them are refused, not clipped.
namespace lice
{
constexpr int kMaxBitmapSide = 16384;
constexpr long long kMaxBitmapBytes = 512ll << 20;

// Coordinates and sizes given to the float entry points (and their integer
// destination arguments), in pixels.
constexpr double kMaxCoordinate = 1 << 20;
// Per-pixel and per-row source steps of the delta blits, in source pixels.
constexpr double kMaxStep = 1 << 15;
// Rotation angles in radians; anything larger is a caller's mistake.
constexpr double kMaxAngle = 1024.0;

inline bool IsSane(double v, double limit) { return std::isfinite(v) && std::fabs(v) <= limit; }
inline bool IsSaneCoordinate(double v) { return IsSane(v, kMaxCoordinate); }
inline bool IsSaneStep(double v) { return IsSane(v, kMaxStep); }

// Bytes of a w x h bitmap with the given row span, or -1 when it exceeds the caps.
inline long long BitmapBytes(int span, int w, int h)
{
  if (w <= 0 || h <= 0 || span < w) return -1;
  if (w > kMaxBitmapSide || h > kMaxBitmapSide) return -1;
  const long long bytes = (long long)span * h * 4;
  return bytes > kMaxBitmapBytes ? -1 : bytes;
}
}  // namespace lice
