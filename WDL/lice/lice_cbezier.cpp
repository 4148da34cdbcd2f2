#include "lice.h"
#include "lice_curve.h"
#include "lice_limits.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace
{
constexpr int kBisections = 8;

lice::CubicAxis Coefficients(float p0, float p1, float p2, float p3)
{
  const double c = 3.0 * ((double)p1 - p0);
  const double b = 3.0 * ((double)p2 - p1) - c;
  const double a = ((double)p3 - p0) - c - b;
  return lice::CubicAxis{a, b, c, p0};
}

// The parameters bracketing the place where the curve's x (taken as increasing
// from its start to its end) equals x, and the y there by straight interpolation
// inside the bracket.
struct CubicSample
{
  float y;
  double tLow, tHigh;
};

CubicSample LICE_CBezier_GetY(const lice::CubicCurve& curve, double x)
{
  if (curve.x0 > x) return CubicSample{curve.y0, 0.0, 0.0};
  if (curve.x3 <= x) return CubicSample{curve.y3, 1.0, 1.0};
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < kBisections; ++i)
  {
    const double mid = (lo + hi) * 0.5;
    const double xm = curve.xAt(mid);
    if (x > xm) lo = mid;
    else if (x < xm) hi = mid;
    else
    {
      lo = mid;
      hi = std::fmin(1.0, mid + 1.0 / 256.0);
      break;
    }
  }
  const double xl = curve.xAt(lo), xh = curve.xAt(hi);
  const double yl = curve.yAt(lo), yh = curve.yAt(hi);
  const double slope = xh != xl ? (yh - yl) / (xh - xl) : 0.0;
  return CubicSample{(float)(yl + (x - xl) * slope), lo, hi};
}
}  // namespace

bool lice::CBezPrep(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2, float yctl2,
                    float xend, float yend, float tol, bool xbasis, CubicPrep& out)
{
  if (!dest) return false;
  for (float v : {xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend})
    if (!IsSaneCoordinate(v)) return false;
  if (xbasis ? xend < xstart : yend < ystart)
  {
    std::swap(xstart, xend);
    std::swap(ystart, yend);
    std::swap(xctl1, xctl2);
    std::swap(yctl1, yctl2);
  }
  CubicCurve& curve = out.curve;
  curve = CubicCurve{xstart, ystart, xend, yend, Coefficients(xstart, xctl1, xctl2, xend),
                     Coefficients(ystart, yctl1, yctl2, yend)};

  // Clipped in x whichever way the curve runs.
  out.xlo = xstart, out.ylo = ystart, out.xhi = xend, out.yhi = yend;
  out.tlo = 0.0, out.thi = 1.0;
  if (out.xlo < 0)
  {
    const CubicSample s = LICE_CBezier_GetY(curve, 0.0);
    out.xlo = 0.0f;
    out.ylo = s.y;
    out.tlo = s.tHigh;
  }
  const float W = (float)dest->getWidth();
  if (out.xhi > W)
  {
    const CubicSample s = LICE_CBezier_GetY(curve, W);
    out.xhi = W;
    out.yhi = s.y;
    out.thi = s.tLow;
  }
  if (xbasis ? out.xlo > out.xhi : out.ylo > out.yhi) return false;

  const double length = std::hypot((double)xend - xctl2, (double)yend - yctl2) +
                        std::hypot((double)xctl2 - xctl1, (double)yctl2 - yctl1) +
                        std::hypot((double)xctl1 - xstart, (double)yctl1 - ystart);
  const int n = CurveSegments((out.thi - out.tlo) * length, tol);
  if (n < 0) return false;
  out.segments = n > 1 ? n : 1;
  return true;
}

void LICE_DrawCBezier(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2,
                      float yctl2, float xend, float yend, unsigned int color, float alpha, int mode, bool aa,
                      float tol)
{
  lice::CubicPrep prep;
  if (!lice::CBezPrep(dest, xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, tol, true, prep)) return;
  const int n = prep.segments;
  float px = prep.xlo, py = prep.ylo;
  // The last line reaches the visible end from the point before it, two steps back.
  for (int k = 1; k <= n - 2; ++k)
  {
    const double t = prep.tlo + k * (prep.thi - prep.tlo) / n;
    const float qx = (float)prep.curve.x.at(t), qy = (float)prep.curve.y.at(t);
    LICE_FLine(dest, px, py, qx, qy, color, alpha, mode, aa);
    px = qx, py = qy;
  }
  LICE_FLine(dest, px, py, prep.xhi, prep.yhi, color, alpha, mode, aa);
}
