#include "lice.h"
#include "lice_polygon.h"
#include "lice_scratch.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace
{
using lice::PolygonPoint;
using std::int64_t;

// Polygons up to this many vertices need no heap.
constexpr int kInlineVertices = 512;
}  // namespace

// Vertex order: by y, then by x.
int _ysort(const void* a, const void* b)
{
  const PolygonPoint& p = *static_cast<const PolygonPoint*>(a);
  const PolygonPoint& q = *static_cast<const PolygonPoint*>(b);
  if (p.y != q.y) return p.y < q.y ? -1 : 1;
  if (p.x != q.x) return p.x < q.x ? -1 : 1;
  return 0;
}

// The next vertex of a chain after from (in sorted order): among the later vertices
// on other rows, the one with the least slope for the left chain (dir < 0) or the
// greatest for the right chain; ties go to the later vertex. from itself when none.
int FindNextEdgeVertex(const PolygonPoint* pts, int from, int n, int dir)
{
  int best = from;
  float bestSlope = 0.0f;
  for (int i = from + 1; i < n; ++i)
  {
    if (pts[i].y == pts[from].y) continue;
    const float slope = (float)(pts[i].x - pts[from].x) / (float)(pts[i].y - pts[from].y);
    if (best == from || (dir < 0 ? slope <= bestSlope : slope >= bestSlope))
    {
      best = i;
      bestSlope = slope;
    }
  }
  return best;
}

namespace
{
// Where the edge from a to b crosses row y: held at its ends above and below, and
// truncated in between.
int64_t EdgeX(const PolygonPoint& a, const PolygonPoint& b, int64_t y)
{
  const PolygonPoint& upper = b.y < a.y ? b : a;
  const PolygonPoint& lower = b.y < a.y ? a : b;
  if (y <= upper.y) return upper.x;
  if (y >= lower.y) return lower.x;
  const float slope = (float)(lower.x - upper.x) / (float)(lower.y - upper.y);
  return upper.x + (int64_t)((float)(y - upper.y) * slope);
}

// Fills a polygon whose sorted vertices are in pts: band by band between the left
// and right chains, each band one trapezoid.
void FillSorted(LICE_IBitmap* dest, const PolygonPoint* pts, int n, unsigned int color, float alpha, int mode)
{
  const int64_t top = pts[0].y;
  int right = 0, left = 0;
  for (int i = 0; i < n && pts[i].y == top; ++i)
  {
    right = i;
    if (pts[i].x == pts[0].x) left = i;
  }
  int leftNext = FindNextEdgeVertex(pts, left, n, -1);
  int rightNext = FindNextEdgeVertex(pts, right, n, 1);
  int64_t row = top;
  // Each pass moves at least one chain to a later vertex, so the loop ends.
  while (left != leftNext || right != rightNext)
  {
    const int64_t leftY = pts[leftNext].y, rightY = pts[rightNext].y;
    const int64_t last = std::min(leftY, rightY);
    lice::FillTrapezoid(dest, EdgeX(pts[left], pts[leftNext], row), EdgeX(pts[right], pts[rightNext], row), row,
                        EdgeX(pts[left], pts[leftNext], last), EdgeX(pts[right], pts[rightNext], last), last, color,
                        alpha, mode);
    if (leftY <= rightY)
    {
      left = leftNext;
      leftNext = FindNextEdgeVertex(pts, left, n, -1);
    }
    if (rightY <= leftY)
    {
      right = rightNext;
      rightNext = FindNextEdgeVertex(pts, right, n, 1);
    }
    row = last + 1;
  }
}

template <class PointAt>
void FillPolygon(LICE_IBitmap* dest, int n, PointAt pointAt, unsigned int color, float alpha, int mode)
{
  if (!dest || n < 3) return;
  const int width = dest->getWidth(), height = dest->getHeight();
  const bool flipped = dest->isFlipped();
  lice::ScratchBuffer<PolygonPoint, kInlineVertices> pts((size_t)n);
  if (!pts.ok()) return;
  int64_t least = width, greatest = 0;
  for (int i = 0; i < n; ++i)
  {
    PolygonPoint p = pointAt(i);
    if (flipped) p.y = height - 1 - p.y;
    least = std::min(least, p.x);
    greatest = std::max(greatest, p.x);
    pts[(size_t)i] = p;
  }
  std::qsort(pts.data(), (size_t)n, sizeof(PolygonPoint), _ysort);

  if (pts[0].y == pts[(size_t)n - 1].y)
  {
    const int64_t y = pts[0].y;
    if (y >= 0 && y < height) lice::FillTrapezoid(dest, least, greatest, y, least, greatest, y, color, alpha, mode);
    return;
  }
  FillSorted(dest, pts.data(), n, color, alpha, mode);
}
}  // namespace

void lice::FillConvexPolygon(LICE_IBitmap* dest, const PolygonPoint* points, int npoints, unsigned int color,
                             float alpha, int mode)
{
  if (!points) return;
  FillPolygon(dest, npoints, [points](int i) { return points[i]; }, color, alpha, mode);
}

void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints, unsigned int color,
                            float alpha, int mode)
{
  if (!x || !y) return;
  FillPolygon(dest, npoints, [x, y](int i) { return PolygonPoint{x[i], y[i]}; }, color, alpha, mode);
}

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, unsigned int color,
                       float alpha, int mode)
{
  const int x[3] = {x1, x2, x3}, y[3] = {y1, y2, y3};
  LICE_FillConvexPolygon(dest, x, y, 3, color, alpha, mode);
}
