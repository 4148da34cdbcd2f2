#pragma once

#include <cstdint>

// Cohen-Sutherland clipping of a line's two end points, in place. Each step moves the
// end point that lies outside onto the box edge it crosses (the edges tested in the
// order bottom, top, right, left); the answer is true when both ends lie inside,
// false when both lie beyond one edge or when 33 steps did not settle it. The
// coordinates are written back either way.
namespace lice
{
// Integer end points against [0, w) x [0, h). Wide arithmetic, so any int line and
// any box size are handled without overflow.
bool ClipLine(std::int64_t& x1, std::int64_t& y1, std::int64_t& x2, std::int64_t& y2, std::int64_t w,
              std::int64_t h);

// Float end points against [0, w - 1) x [0, h - 1): the anti-aliased float line
// also touches the pixel after each sample.
bool ClipFLine(float* pX1, float* pY1, float* pX2, float* pY2, int w, int h);
}  // namespace lice
