#include "lice.h"
#include "lice_curve.h"
#include "lice_limits.h"

#include <cmath>
#include <initializer_list>
#include <utility>

int lice::CurveSegments(double scaledLength, float tol)
{
  if (!(tol > 0)) tol = 1.0f;
  const double n = scaledLength / tol;
  if (std::isnan(n)) return -1;
  return n >= kMaxCurveSegments ? kMaxCurveSegments : (int)n;
}

namespace
{
// The quadratic's y where its x (taken as increasing from x0 to x2) equals x, and the
// parameter t there.
float LICE_Bezier_GetY(float x0, float x1, float x2, float y0, float y1, float y2, float x, double* t)
{
  if (x0 >= x)
  {
    *t = 0.0;
    return y0;
  }
  if (x2 <= x)
  {
    *t = 1.0;
    return y2;
  }
  const double A = (double)x2 - 2.0 * x1 + x0;
  double tt;
  if (A != 0.0)
  {
    const double b = (double)x1 - x0;
    tt = (std::sqrt(b * b - ((double)x0 - x) * A) - b) / A;
  }
  else if (x0 != x2)
    tt = ((double)x - x0) / ((double)x2 - x0);
  else
    tt = 0.0;
  *t = tt;
  return (float)((y2 * tt + y1 * 2.0 * (1.0 - tt)) * tt + y0 * (1.0 - tt) * (1.0 - tt));
}
}  // namespace

void LICE_DrawQBezier(LICE_IBitmap* dest, float xstart, float ystart, float xctl, float yctl, float xend, float yend,
                      unsigned int color, float alpha, int mode, bool aa, float tol)
{
  if (!dest) return;
  for (float v : {xstart, ystart, xctl, yctl, xend, yend})
    if (!lice::IsSaneCoordinate(v)) return;
  if (xend < xstart)
  {
    std::swap(xstart, xend);
    std::swap(ystart, yend);
  }

  // Only the part over the bitmap's columns is drawn.
  const int W = dest->getWidth();
  double tlo = 0.0, thi = 1.0;
  float x1 = xstart, y1 = ystart, x2 = xend, y2 = yend;
  if (xstart < 0)
  {
    y1 = LICE_Bezier_GetY(xstart, xctl, xend, ystart, yctl, yend, 0.0f, &tlo);
    x1 = 0.0f;
  }
  if (xend >= W)
  {
    x2 = (float)(W - 1);
    y2 = LICE_Bezier_GetY(xstart, xctl, xend, ystart, yctl, yend, x2, &thi);
  }
  if (x1 > x2) return;

  const double length = std::hypot((double)xend - xctl, (double)yend - yctl) +
                        std::hypot((double)xctl - xstart, (double)yctl - ystart);
  const int n = lice::CurveSegments(length * (thi - tlo), tol);
  if (n < 0) return;
  const int count = n > 1 ? n : 1;
  const double dt = (thi - tlo) / count;
  float px = x1, py = y1;
  for (int k = 1; k < count; ++k)
  {
    const double t = tlo + k * dt, u = 1.0 - t;
    const float qx = (float)(u * u * xstart + 2.0 * u * t * xctl + t * t * xend);
    const float qy = (float)(u * u * ystart + 2.0 * u * t * yctl + t * t * yend);
    LICE_FLine(dest, px, py, qx, qy, color, alpha, mode, aa);
    px = qx, py = qy;
  }
  LICE_FLine(dest, px, py, x2, y2, color, alpha, mode, aa);
}
