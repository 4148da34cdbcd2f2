#include "lice.h"
#include "lice_limits.h"

#include <cmath>
#include <initializer_list>

namespace
{
// Grids finer than this cannot have cells of a pixel inside any accepted bitmap.
constexpr int kMaxGridDivisions = 1 << 16;

// Where grid point (i, j) samples the source: x, y and, for the alpha form, a.
template <class T, int Stride>
struct GridPoints
{
  const T* points;
  int columns;
  const T* at(int i, int j) const { return points + ((long long)j * columns + i) * Stride; }
};

// Walks the cells of a div_w x div_h grid spread over the destination rectangle and
// hands each cell's corners and pixel bounds to draw. Rounded edges advance even
// past cells that come out empty.
template <class DrawCell>
void ForEachCell(int dstx, int dsty, int dstw, int dsth, int div_w, int div_h, DrawCell draw)
{
  const float xstep = (float)dstw / (float)(div_w - 1);
  const float ystep = (float)dsth / (float)(div_h - 1);
  double ypos = dsty;
  int y0 = dsty;
  for (int j = 0; j < div_h - 1; ++j)
  {
    ypos += ystep;
    const int y1 = (int)(ypos + 0.5);
    if (y1 != y0)
    {
      double xpos = dstx;
      int x0 = dstx;
      for (int i = 0; i < div_w - 1; ++i)
      {
        xpos += xstep;
        const int x1 = (int)(xpos + 0.5);
        if (x1 != x0) draw(i, j, x0, y0, x1 - x0, y1 - y0);
        x0 = x1;
      }
    }
    y0 = y1;
  }
}

bool SaneGrid(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, int div_w, int div_h,
              const void* points)
{
  if (!dest || !src || !points || dstw <= 0 || dsth <= 0 || div_w <= 1 || div_h <= 1) return false;
  if (div_w > kMaxGridDivisions || div_h > kMaxGridDivisions) return false;
  for (double v : {(double)dstx, (double)dsty, (double)dstw, (double)dsth})
    if (!lice::IsSaneCoordinate(v)) return false;
  return true;
}

template <class T>
void TransformBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, const T* srcpoints,
                   int div_w, int div_h, float alpha, int mode)
{
  if (!SaneGrid(dest, src, dstx, dsty, dstw, dsth, div_w, div_h, srcpoints)) return;
  const GridPoints<T, 2> grid{srcpoints, div_w};
  ForEachCell(dstx, dsty, dstw, dsth, div_w, div_h, [&](int i, int j, int x, int y, int cw, int ch) {
    const T* p00 = grid.at(i, j);
    const T* p10 = grid.at(i + 1, j);
    const T* p01 = grid.at(i, j + 1);
    const T* p11 = grid.at(i + 1, j + 1);
    const double dsdx = (p10[0] - p00[0]) / (double)cw, dtdx = (p10[1] - p00[1]) / (double)cw;
    const double dsdy = (p01[0] - p00[0]) / (double)ch, dtdy = (p01[1] - p00[1]) / (double)ch;
    const double dsdxdy = ((p11[0] - p01[0]) / (double)cw - dsdx) / ch;
    const double dtdxdy = ((p11[1] - p01[1]) / (double)cw - dtdx) / ch;
    LICE_DeltaBlit(dest, src, x, y, cw, ch, (float)p00[0], (float)p00[1], (float)(p10[0] - p00[0]),
                   (float)(p10[1] - p00[1]), dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, false, alpha, mode);
  });
}
}  // namespace

void LICE_TransformBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        const float* srcpoints, int div_w, int div_h, float alpha, int mode)
{
  TransformBlit(dest, src, dstx, dsty, dstw, dsth, srcpoints, div_w, div_h, alpha, mode);
}

void LICE_TransformBlit2(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                         const double* srcpoints, int div_w, int div_h, float alpha, int mode)
{
  TransformBlit(dest, src, dstx, dsty, dstw, dsth, srcpoints, div_w, div_h, alpha, mode);
}

void LICE_TransformBlit2Alpha(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                              const double* srcpoints, int div_w, int div_h, int mode)
{
  if (!SaneGrid(dest, src, dstx, dsty, dstw, dsth, div_w, div_h, srcpoints)) return;
  const GridPoints<double, 3> grid{srcpoints, div_w};
  ForEachCell(dstx, dsty, dstw, dsth, div_w, div_h, [&](int i, int j, int x, int y, int cw, int ch) {
    const double* p00 = grid.at(i, j);
    const double* p10 = grid.at(i + 1, j);
    const double* p01 = grid.at(i, j + 1);
    const double* p11 = grid.at(i + 1, j + 1);
    const auto across = [&](int k) { return (p10[k] - p00[k]) / cw; };
    const auto down = [&](int k) { return (p01[k] - p00[k]) / ch; };
    const auto bend = [&](int k) { return ((p11[k] - p01[k]) / cw - across(k)) / ch; };
    LICE_DeltaBlitAlpha(dest, src, x, y, cw, ch, (float)p00[0], (float)p00[1], (float)(p10[0] - p00[0]),
                        (float)(p10[1] - p00[1]), across(0), across(1), down(0), down(1), bend(0), bend(1), false,
                        (float)p00[2], mode, across(2), down(2), bend(2));
  });
}
