#pragma once

#include "lice_bitmap.h"

// The walk shared by the delta, alpha-delta and rotated blits: destination pixel
// (x, y) of the rectangle samples the source at
//   s = s0 + y * dsdy + x * (dsdx + y * dsdxdy)   (and t likewise)
// and, for the alpha walk, takes the weight a = a0 + y * dady + x * (dadx + y * dadxdy).
namespace lice
{
struct DeltaMapping
{
  double s, t;
  double dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
};

struct AlphaMapping
{
  double a, dadx, dady, dadxdy;
};

// The part of the source that may be sampled, in source pixels.
struct SourceClip
{
  float left, top, right, bottom;
};

// The whole source, or the source rectangle cut to the source's bounds.
SourceClip DeltaSourceClip(LICE_IBitmap* src, bool cliptosourcerect, float srcx, float srcy, float srcw, float srch);

// Clips the destination rectangle (dstw, dsth > 0), moving the mapping along, and
// draws. With an alpha mapping the weight is walked per pixel and the clamped
// rules are used; otherwise the blit rules at the weight of alpha.
void DeltaWalk(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, DeltaMapping m,
               const SourceClip& clip, float alpha, int mode, const AlphaMapping* alphaWalk);
}  // namespace lice
