#pragma once

#include "lice_bitmap.h"
#include "lice_clipbox.h"
#include "lice_combine.h"
#include "lice_fastpaths.h"
#include "lice_sample.h"
#include "lice_surface.h"

#include <cmath>
#include <type_traits>

// The circle drawers, one instance per combine operation. They address memory rows:
// the entry points mirror the centre of a bottom-up bitmap first. Every pixel goes
// through the clip (a ClipBox, or Unclipped when the caller has shown that the circle
// with a margin lies inside the bitmap).
template <class Op>
struct _LICE_CircleDrawer
{
  // The copy rule at full weight and the plain store give the same bytes; the inside
  // runs of filled circles are then stored whole.
  static constexpr bool StoresColour(int w)
  {
    return std::is_same_v<Op, _LICE_CombinePixelsClobberNoClamp> ||
           (std::is_same_v<Op, _LICE_CombinePixelsCopyNoClamp> && w == 256);
  }

  template <class Clip>
  static void DrawClippedPt(const lice::Surface& s, int x, int y, const Clip& clip, const lice::Rgba& c, int w)
  {
    if (clip.contains(x, y)) lice::Combine<Op>(s.at(x, y), c, w);
  }

  template <class Clip>
  static void DrawClippedVertLine(const lice::Surface& s, int x, int y1, int y2, const Clip& clip, const lice::Rgba& c,
                                  int w)
  {
    if (!clip.clipColumn(x, y1, y2)) return;
    unsigned int* p = s.at(x, y1);
    if (StoresColour(w))
    {
      const unsigned int packed = lice::Pack(c.r, c.g, c.b, c.a);
      for (int y = y1; y <= y2; ++y, p += s.step) *p = packed;
      return;
    }
    for (int y = y1; y <= y2; ++y, p += s.step) lice::Combine<Op>(p, c, w);
  }

  template <class Clip>
  static void DrawClippedHorzLine(const lice::Surface& s, int y, int x1, int x2, const Clip& clip, const lice::Rgba& c,
                                  int w)
  {
    if (!clip.clipRow(y, x1, x2)) return;
    unsigned int* p = s.at(x1, y);
    if (StoresColour(w))
    {
      lice::FillRow(p, x2 - x1 + 1, lice::Pack(c.r, c.g, c.b, c.a));
      return;
    }
    for (int x = x1; x <= x2; ++x, ++p) lice::Combine<Op>(p, c, w);
  }

  // Anti-aliased, eight-way symmetric: for each row offset k the exact half-chord
  // F = sqrt(r^2 - k^2) is split into whole pixels I and a fraction that weights
  // the pixel just outside. Each step draws its pixels and their mirror images in
  // the diagonals; where a pixel lies on a diagonal its mirror image is itself and
  // is not combined a second time.
  template <class Clip>
  static void DrawClippedCircleAA(const lice::Surface& s, float cx, float cy, float r, const Clip& clip,
                                  const lice::Rgba& c, int w, bool filled)
  {
    const int X = (int)(cx + 0.5f), Y = (int)(cy + 0.5f), R = (int)r;
    const int wf = (int)((double)(r - std::floor(r)) * w);
    const auto pt = [&](int x, int y, int weight) { DrawClippedPt(s, x, y, clip, c, weight); };
    const auto column = [&](int x, int y1, int y2) { DrawClippedVertLine(s, x, y1, y2, clip, c, w); };
    const auto row = [&](int y, int x1, int x2) { DrawClippedHorzLine(s, y, x1, x2, clip, c, w); };

    pt(X, Y - R - 1, wf);
    pt(X, Y + R + 1, wf);
    pt(X - R - 1, Y, wf);
    pt(X + R + 1, Y, wf);
    if (filled)
    {
      column(X, Y - R, Y - 1);
      column(X, Y + 1, Y + R);
      row(Y, X - R, X + R);
    }
    else
    {
      pt(X, Y - R, w - wf);
      pt(X + R, Y, w - wf);
      pt(X, Y + R, w - wf);
      pt(X - R, Y, w - wf);
    }

    const double r2 = (double)(r * r);
    for (int k = 1;; ++k)
    {
      const double rest = r2 - (double)k * k;
      if (rest < 0) break;
      const double F = std::sqrt(rest);
      const int count = (int)(F + 0.5);
      if (k > count) break;
      const int I = (int)F;
      const int wk = (int)((F - std::floor(F)) * w);

      pt(X - k, Y - I - 1, wk);
      pt(X - k, Y + I + 1, wk);
      pt(X + k, Y - I - 1, wk);
      pt(X + k, Y + I + 1, wk);
      if (I + 1 != k)
      {
        pt(X - I - 1, Y - k, wk);
        pt(X + I + 1, Y - k, wk);
        pt(X - I - 1, Y + k, wk);
        pt(X + I + 1, Y + k, wk);
      }
      if (filled)
      {
        column(X - k, Y - I, Y - k - 1);
        column(X - k, Y + k + 1, Y + I);
        column(X + k, Y - I, Y - k - 1);
        column(X + k, Y + k + 1, Y + I);
        row(Y - k, X - I, X - k);
        row(Y - k, X + k, X + I);
        row(Y + k, X - I, X - k);
        row(Y + k, X + k, X + I);
      }
      else
      {
        pt(X - I, Y - k, w - wk);
        pt(X + I, Y - k, w - wk);
        pt(X - k, Y + I, w - wk);
        pt(X + k, Y + I, w - wk);
        if (I != k)
        {
          pt(X - k, Y - I, w - wk);
          pt(X + k, Y - I, w - wk);
          pt(X - I, Y + k, w - wk);
          pt(X + I, Y + k, w - wk);
        }
      }
    }
  }

  // The midpoint circle in integer steps.
  template <class Clip>
  static void DrawClippedCircle(const lice::Surface& s, float cx, float cy, float r, const Clip& clip,
                                const lice::Rgba& c, int w, bool filled)
  {
    const int X = (int)(cx + 0.5f), Y = (int)(cy + 0.5f), R = (int)(r + 0.5f);
    const auto pt = [&](int x, int y) { DrawClippedPt(s, x, y, clip, c, w); };
    const auto column = [&](int x, int y1, int y2) { DrawClippedVertLine(s, x, y1, y2, clip, c, w); };
    const auto row = [&](int y, int x1, int x2) { DrawClippedHorzLine(s, y, x1, x2, clip, c, w); };

    if (filled)
    {
      column(X, Y - R, Y - 1);
      column(X, Y + 1, Y + R);
      row(Y, X - R, X + R);
    }
    else
    {
      pt(X, Y - R);
      pt(X + R, Y);
      pt(X, Y + R);
      pt(X - R, Y);
    }
    if (R <= 1) return;

    int e = -R, y = R, x = 1, inc = 3;
    do
    {
      int s2 = 0;
      if (e >= 0) s2 = --y;
      if (filled)
      {
        column(X - x, Y - y, Y - x - 1);
        column(X - x, Y + x + 1, Y + y);
        column(X + x, Y - y, Y - x - 1);
        column(X + x, Y + x + 1, Y + y);
        row(Y - x, X - y, X - x);
        row(Y - x, X + x, X + y);
        row(Y + x, X - y, X - x);
        row(Y + x, X + x, X + y);
      }
      else
      {
        pt(X - x, Y - y);
        pt(X - x, Y + y);
        pt(X + x, Y - y);
        pt(X + x, Y + y);
        if (x != y)
        {
          pt(X - y, Y - x);
          pt(X - y, Y + x);
          pt(X + y, Y - x);
          pt(X + y, Y + x);
        }
      }
      e += inc - 2 * s2;
      ++x;
      inc += 2;
    } while (x < y);
  }
};

// Chooses the drawer for a circle of any radius: anti-aliased or plain, outline or
// filled, by the mode and weight. clipNeeded false promises that the circle with a
// two-pixel margin lies inside the bitmap.
void __DrawCircleClipped(LICE_IBitmap* dest, float cx, float cy, float r, unsigned int color, int weight, bool aa,
                         bool filled, int mode, const lice::ClipBox& clip, bool clipNeeded);
