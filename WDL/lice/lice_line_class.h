#pragma once

#include "lice_pixel.h"
#include "lice_sample.h"

#include <cstddef>

// The pixel loops of the line routines, one instance per combine operation. Steps
// are counted in pixels: 1 to the next column, the row span to the next row.

template <class Op>
struct __LICE_LineClassSimple
{
  static void LICE_HorizLine(unsigned int* p, int n, const lice::Rgba& c, int w)
  {
    for (int i = 0; i < n; ++i) lice::Combine<Op>(p + i, c, w);
  }

  static void LICE_VertLine(unsigned int* p, std::ptrdiff_t span, int n, const lice::Rgba& c, int w)
  {
    for (int i = 0; i < n; ++i, p += span) lice::Combine<Op>(p, c, w);
  }

  // n + 1 pixels on an exact diagonal.
  static void LICE_DiagLine(unsigned int* p, std::ptrdiff_t span, int n, int xstep, std::ptrdiff_t ystep,
                            const lice::Rgba& c, int w)
  {
    (void)span;
    for (int i = 0; i <= n; ++i, p += xstep + ystep) lice::Combine<Op>(p, c, w);
  }

  // The main pixels at three quarters; the two pixels that complete each 2 x 2
  // square between neighbouring main pixels at a quarter.
  static void LICE_DiagLineAA(unsigned int* p, std::ptrdiff_t span, int n, int xstep, std::ptrdiff_t ystep,
                              const lice::Rgba& c, int w)
  {
    (void)span;
    const int main = (w * 3) / 4, side = w / 4;
    lice::Combine<Op>(p, c, main);
    for (int i = 0; i < n; ++i)
    {
      lice::Combine<Op>(p + xstep, c, side);
      lice::Combine<Op>(p + ystep, c, side);
      p += xstep + ystep;
      lice::Combine<Op>(p, c, main);
    }
  }
};

template <class Op>
struct __LICE_LineClass
{
  // A line of any slope, walked from both ends toward the middle so that its pixels
  // do not depend on the order of the ends. n is the length along the major axis;
  // slope the minor advance per major step in 16.16 (below 1.0).
  static void LICE_LineImpl(unsigned int* start, unsigned int* end, int slope, std::ptrdiff_t majorStep, int n,
                            std::ptrdiff_t minorStep, const lice::Rgba& c, int w, bool aa)
  {
    const int count = (n + 1) / 2;
    if (!aa)
    {
      int err = 0;
      if (n > 0)
      {
        for (int i = 0; i < count; ++i)
        {
          lice::Combine<Op>(start, c, w);
          lice::Combine<Op>(end, c, w);
          // Each walker steps across as soon as its offset reaches one half.
          if (err + slope >= 0x8000)
          {
            start += minorStep;
            end -= minorStep;
            err += slope - 0x10000;
          }
          else
            err += slope;
          start += majorStep;
          end -= majorStep;
        }
      }
      if ((n & 1) == 0) lice::Combine<Op>(start, c, w);
      return;
    }

    // Anti-aliased: the end pixels at full weight, every other position shared
    // between the pixel at the walker and its minor neighbour by the fraction.
    lice::Combine<Op>(start, c, w);
    lice::Combine<Op>(end, c, w);
    start += majorStep;
    end -= majorStep;
    int err = slope;
    for (int i = 1; i < count; ++i)
    {
      const int f = err >> 8;
      const int wMain = ((255 - f) * w) >> 8, wSide = (f * w) >> 8;
      lice::Combine<Op>(start, c, wMain);
      lice::Combine<Op>(start + minorStep, c, wSide);
      lice::Combine<Op>(end, c, wMain);
      lice::Combine<Op>(end - minorStep, c, wSide);
      if (err + slope > 0xFFFF)
      {
        start += minorStep;
        end -= minorStep;
        err += slope - 0x10000;
      }
      else
        err += slope;
      start += majorStep;
      end -= majorStep;
    }
    if ((n & 1) == 0)
    {
      const int f = err >> 8;
      lice::Combine<Op>(start, c, ((255 - f) * w) >> 8);
      lice::Combine<Op>(start + minorStep, c, (f * w) >> 8);
    }
  }

  // A float line: n + 1 samples at whole major positions, each shared between the
  // pixel at minor index m and the one at m + direction by the 16-bit fraction.
  // line points at minor index 0 of the first sample, minorStride is the (positive)
  // step from one minor index to the next. A pixel that float rounding at the
  // bitmap's edge would put outside [0, minorSize) is skipped.
  static void LICE_FLineImpl(unsigned int* line, int n, int frac, int slope, std::ptrdiff_t majorStep,
                             std::ptrdiff_t minorStride, int direction, int minor, int minorSize, const lice::Rgba& c,
                             int w)
  {
    const auto inside = [minorSize](int i) { return (unsigned)i < (unsigned)minorSize; };
    for (int i = 0; i <= n; ++i, line += majorStep)
    {
      const int f = frac >> 8;
      if (inside(minor)) lice::Combine<Op>(line + minor * minorStride, c, ((255 - f) * w) >> 8);
      const int side = minor + direction;
      if (inside(side)) lice::Combine<Op>(line + side * minorStride, c, (f * w) >> 8);
      frac += slope;
      if (frac >= 0x10000)
      {
        minor += direction;
        frac -= 0x10000;
      }
    }
  }

  // Dashes along a vertical (x1 == x2) or horizontal (y1 == y2) line with x1 <= x2
  // and y1 <= y2, covering [y1, y2) or [x1, x2): onPixels drawn, offPixels skipped.
  // Both lengths are positive in sum and onPixels is positive, so the walk advances.
  static void DashedLine(unsigned int* origin, std::ptrdiff_t span, int x1, int y1, int x2, int y2, int onPixels,
                         int offPixels, const lice::Rgba& c, int w)
  {
    std::ptrdiff_t along;
    long long pos, stop;
    if (x1 == x2)
      along = span, pos = y1, stop = y2;
    else if (y1 == y2)
      along = 1, pos = x1, stop = x2;
    else
      return;
    // Positions are counted from the line's first pixel, so no pointer is formed
    // past the far end.
    unsigned int* const first = origin + y1 * span + x1;
    const long long from = pos;
    const auto dash = [&](long long at, long long count) {
      if (count <= 0) return;
      unsigned int* p = first + (at - from) * along;
      for (long long i = 0; i < count; ++i) lice::Combine<Op>(p + i * along, c, w);
    };
    const long long period = (long long)onPixels + offPixels;
    for (; pos < stop - onPixels; pos += period) dash(pos, onPixels);
    dash(pos, stop - pos < onPixels ? stop - pos : onPixels);
  }
};
