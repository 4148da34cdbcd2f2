#pragma once

#include <cmath>

// The blend-mode integer passed beside every colour and alpha.
constexpr int BLEND_OP_MASK = 0xFF;
constexpr int BLEND_COPY = 0;
constexpr int BLEND_ADD = 1;
constexpr int BLEND_DODGE = 2;
constexpr int BLEND_MULTIPLY = 3;
constexpr int BLEND_OVERLAY = 4;
constexpr int BLEND_HSV_ADJUST = 5;
constexpr int BLEND_SOURCE_ALPHA = 0x10000;
constexpr int BLEND_FILTER_MASK = 0xFF00;
constexpr int BLEND_FILTER_BILINEAR = 0x100;
constexpr int BLEND_CHANNEL_COPY = 0xF0;  // low-byte pattern, plain blit only

// Byte offsets of the channels inside a pixel in memory.
constexpr int LICE_PIXEL_B = 0;
constexpr int LICE_PIXEL_G = 1;
constexpr int LICE_PIXEL_R = 2;
constexpr int LICE_PIXEL_A = 3;

namespace lice
{
// Alpha beyond this many times full strength saturates every rule anyway; the bound
// keeps the combine arithmetic inside 32 bits. Negative alpha stays meaningful
// (subtracting in add mode).
constexpr float kMaxAlpha = 16.0f;
constexpr int kMaxWeight = 4096;

// The integer weight of a float alpha: 256 is full strength, truncated toward
// zero. Non-finite alpha gives 0 (nothing is drawn).
inline int WeightFromAlpha(float alpha)
{
  if (!std::isfinite(alpha)) return 0;
  if (alpha > kMaxAlpha) alpha = kMaxAlpha;
  if (alpha < -kMaxAlpha) alpha = -kMaxAlpha;
  return (int)(alpha * 256.0f);
}

inline int ClampWeight(long long w)
{
  return w > kMaxWeight ? kMaxWeight : w < -kMaxWeight ? -kMaxWeight : (int)w;
}
}  // namespace lice
