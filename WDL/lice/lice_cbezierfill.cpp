#include "lice.h"
#include "lice_curve.h"
#include "lice_polygon.h"
#include "lice_saturate.h"

#include <algorithm>
#include <cstdint>

namespace
{
using lice::PolygonPoint;
using std::int64_t;

void Fill(LICE_IBitmap* dest, std::initializer_list<PolygonPoint> points, unsigned int color, float alpha, int mode)
{
  lice::FillConvexPolygon(dest, points.begin(), (int)points.size(), color, alpha, mode);
}

// One strip of a fill toward a row: the columns x1..x2 between the segment
// (x1, y1)-(x2, y2) and row yfill. An area above the fill row reaches one row past
// it. A strip one column wide is the same polygon standing on end, so it covers
// the same rows as a wider strip would in that column.
void DoBezierFillSegment(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int yfill, unsigned int color,
                         float alpha, int mode)
{
  if (x2 < x1) return;
  const int64_t below = (int64_t)yfill + 1;
  if ((yfill > y1) == (yfill > y2))
  {
    const int64_t yf = yfill > y1 ? below : yfill;
    Fill(dest, {{x1, y1}, {x1, yf}, {x2, y2}, {x2, yf}}, color, alpha, mode);
    return;
  }
  // The segment crosses the fill row at column xc: a triangle on each side.
  const int64_t xc = x1 + (int64_t)((double)((int64_t)x2 - x1) * ((double)yfill - y1) / ((double)y2 - y1));
  const int64_t yf1 = yfill > y1 ? below : yfill;
  Fill(dest, {{x1, y1}, {x1, yf1}, {xc, yf1}}, color, alpha, mode);
  const int64_t yf2 = y2 < yfill ? below : yfill;
  Fill(dest, {{xc, yf2}, {x2, yf2}, {x2, y2}}, color, alpha, mode);
}

// The same toward a column, rows y1..y2. Its same-side strip reaches one row below
// y2, so two such strips overlap on the row where they meet; one row high, it is a
// polygon like any other.
void DoBezierFillSegmentX(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int xfill, unsigned int color,
                          float alpha, int mode)
{
  if (y2 < y1) return;
  const int64_t right = (int64_t)xfill + 1;
  if ((xfill > x1) == (xfill > x2))
  {
    const int64_t xf = xfill > x1 ? right : xfill;
    const int64_t past = (int64_t)y2 + 1;
    Fill(dest, {{x1, y1}, {xf, y1}, {x2, past}, {xf, past}}, color, alpha, mode);
    return;
  }
  const int64_t yc = y1 + (int64_t)((double)((int64_t)y2 - y1) * ((double)xfill - x1) / ((double)x2 - x1));
  const int64_t xf1 = xfill > x1 ? right : xfill;
  Fill(dest, {{x1, y1}, {xf1, y1}, {xf1, yc}}, color, alpha, mode);
  const int64_t xf2 = x2 < xfill ? right : xfill;
  Fill(dest, {{xf2, yc}, {xf2, y2}, {x2, y2}}, color, alpha, mode);
}
}  // namespace

void LICE_FillCBezier(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2,
                      float yctl2, float xend, float yend, int yfill, unsigned int color, float alpha, int mode,
                      float tol)
{
  lice::CubicPrep prep;
  if (!lice::CBezPrep(dest, xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, tol, true, prep)) return;
  const int n = prep.segments;
  int x0 = lice::TruncateInt(prep.xlo), y0 = lice::TruncateInt(prep.ylo + 0.5);
  // Column strips from point to point; a point that does not move right is skipped.
  for (int k = 1; k <= n - 2; ++k)
  {
    const double t = prep.tlo + k * (prep.thi - prep.tlo) / n;
    const int x = lice::TruncateInt(prep.curve.x.at(t));
    if (x < x0) continue;
    const int y = lice::TruncateInt((float)prep.curve.y.at(t) + 0.5);
    DoBezierFillSegment(dest, x0, y0, x, y, yfill, color, alpha, mode);
    x0 = lice::SaturateInt((int64_t)x + 1);
    y0 = y;
  }
  const int lastColumn = lice::TruncateInt(prep.xhi - 1);
  if (x0 <= lastColumn)
    DoBezierFillSegment(dest, x0, y0, lastColumn, lice::TruncateInt(prep.yhi + 0.5), yfill, color, alpha, mode);
}

void LICE_FillCBezierX(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2,
                       float yctl2, float xend, float yend, int xfill, unsigned int color, float alpha, int mode,
                       float tol)
{
  lice::CubicPrep prep;
  if (!lice::CBezPrep(dest, xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, tol, false, prep)) return;
  const int n = prep.segments;
  int y0 = lice::TruncateInt(prep.ylo), x0 = lice::TruncateInt(prep.xlo + 0.5);
  for (int k = 1; k <= n - 2; ++k)
  {
    const double t = prep.tlo + k * (prep.thi - prep.tlo) / n;
    const int y = lice::TruncateInt(prep.curve.y.at(t));
    if (y < y0) continue;
    const int x = lice::TruncateInt((float)prep.curve.x.at(t) + 0.5);
    DoBezierFillSegmentX(dest, x0, y0, x, y, xfill, color, alpha, mode);
    y0 = lice::SaturateInt((int64_t)y + 1);
    x0 = x;
  }
  const int lastRow = lice::TruncateInt(prep.yhi - 1);
  if (y0 <= lastRow)
    DoBezierFillSegmentX(dest, x0, y0, lice::TruncateInt(prep.xhi + 0.5), lastRow, xfill, color, alpha, mode);
}
