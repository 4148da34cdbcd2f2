#pragma once

#include "lice_bitmap.h"

// Shared by the Bezier routines: how many segments a curve is cut into, and the
// cubic's set-up.
namespace lice
{
// More segments than this cannot be told apart on any bitmap the library accepts;
// the bound also keeps a tiny tolerance from running for minutes.
constexpr int kMaxCurveSegments = 1 << 16;

// (int)(scaled length / tol), at most kMaxCurveSegments; a tolerance that is not
// positive counts as 1. -1 when the length is not a number (nothing to draw).
int CurveSegments(double scaledLength, float tol);

// A cubic in power form on one axis: v(t) = a t^3 + b t^2 + c t + d.
struct CubicAxis
{
  double a, b, c, d;
  double at(double t) const { return ((a * t + b) * t + c) * t + d; }
};

// A cubic curve with its end points kept for exact values at t = 0 and t = 1.
struct CubicCurve
{
  float x0, y0, x3, y3;
  CubicAxis x, y;
  double xAt(double t) const { return t == 0.0 ? x0 : t == 1.0 ? x3 : x.at(t); }
  double yAt(double t) const { return t == 0.0 ? y0 : t == 1.0 ? y3 : y.at(t); }
};

// The cubic reduced to the part between the bitmap's left edge (x = 0) and its width:
// the visible ends (xlo, ylo) and (xhi, yhi) at parameters tlo and thi, and the
// segment count.
struct CubicPrep
{
  CubicCurve curve;
  float xlo, ylo, xhi, yhi;
  double tlo, thi;
  int segments;
};

// Orients the curve (by x with xbasis, else by y) so that it runs toward larger
// values, clips it in x and counts its segments. False when nothing is to be drawn.
bool CBezPrep(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2, float yctl2,
              float xend, float yend, float tol, bool xbasis, CubicPrep& out);
}  // namespace lice
