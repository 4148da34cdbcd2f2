#pragma once

namespace lice
{
// An x, y, width, height rectangle of whole pixels.
struct PixelRect
{
  int x = 0, y = 0, w = 0, h = 0;
};

// Clips a rectangle to a width x height bitmap: a negative origin eats into the
// size. False when nothing remains. Sizes are widened so that no sum overflows.
inline bool ClipToBitmap(int x, int y, int w, int h, int width, int height, PixelRect& out)
{
  long long cx = x, cy = y, cw = w, ch = h;
  if (cx < 0)
  {
    cw += cx;
    cx = 0;
  }
  if (cy < 0)
  {
    ch += cy;
    cy = 0;
  }
  if (cx >= width || cy >= height || cw < 1 || ch < 1) return false;
  if (cw > width - cx) cw = width - cx;
  if (ch > height - cy) ch = height - cy;
  out = PixelRect{(int)cx, (int)cy, (int)cw, (int)ch};
  return true;
}
}  // namespace lice
