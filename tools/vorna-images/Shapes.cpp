#include "Shapes.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;

double DistanceToSegment(Point a, Point b, double x, double y)
{
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double lengthSquared = dx * dx + dy * dy;
  double t = lengthSquared > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / lengthSquared : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double px = a.x + t * dx - x, py = a.y + t * dy - y;
  return std::sqrt(px * px + py * py);
}

Box BoundsOf(const std::vector<Point>& points, double grow)
{
  Box box{1e300, 1e300, -1e300, -1e300};
  for (const Point& p : points)
  {
    box.x0 = std::min(box.x0, p.x - grow);
    box.y0 = std::min(box.y0, p.y - grow);
    box.x1 = std::max(box.x1, p.x + grow);
    box.y1 = std::max(box.y1, p.y + grow);
  }
  return box;
}
}  // namespace

Point OnCircle(double cx, double cy, double r, double degrees)
{
  const double a = degrees * kPi / 180.0;
  return {cx + r * std::sin(a), cy - r * std::cos(a)};
}

bool Circle::Contains(double x, double y) const
{
  const double dx = x - mCx, dy = y - mCy;
  return dx * dx + dy * dy <= mR * mR;
}

Box Circle::Bounds() const { return {mCx - mR, mCy - mR, mCx + mR, mCy + mR}; }

ArcBand::ArcBand(double cx, double cy, double innerR, double outerR, double from, double to, bool roundEnds)
    : mCx(cx), mCy(cy), mInner(innerR), mOuter(outerR), mFrom(from), mTo(to), mRound(roundEnds)
{
}

bool ArcBand::InsideSweep(double x, double y) const
{
  if (mTo - mFrom >= 360.0) return true;
  const double angle = std::atan2(x - mCx, mCy - y) * 180.0 / kPi;
  const double past = std::fmod(std::fmod(angle - mFrom, 360.0) + 360.0, 360.0);
  return past <= mTo - mFrom;
}

bool ArcBand::Contains(double x, double y) const
{
  const double dx = x - mCx, dy = y - mCy;
  const double d2 = dx * dx + dy * dy;
  if (d2 >= mInner * mInner && d2 <= mOuter * mOuter && InsideSweep(x, y)) return true;
  if (!mRound) return false;
  const double mid = (mInner + mOuter) / 2, capR = (mOuter - mInner) / 2;
  for (double end : {mFrom, mTo})
  {
    const Point c = OnCircle(mCx, mCy, mid, end);
    if ((x - c.x) * (x - c.x) + (y - c.y) * (y - c.y) <= capR * capR) return true;
  }
  return false;
}

Box ArcBand::Bounds() const { return {mCx - mOuter, mCy - mOuter, mCx + mOuter, mCy + mOuter}; }

bool Capsule::Contains(double x, double y) const { return DistanceToSegment(mA, mB, x, y) <= mHalf; }

Box Capsule::Bounds() const { return BoundsOf({mA, mB}, mHalf); }

double RoundRectDistance(const Box& box, double radius, double x, double y)
{
  const double cx = (box.x0 + box.x1) / 2, cy = (box.y0 + box.y1) / 2;
  const double hx = (box.x1 - box.x0) / 2 - radius, hy = (box.y1 - box.y0) / 2 - radius;
  const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
  const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

bool RoundRect::Contains(double x, double y) const { return RoundRectDistance(mBox, mRadius, x, y) <= 0; }

Polygon::Polygon(std::vector<Point> points) : mPoints(std::move(points)), mBounds(BoundsOf(mPoints, 0)) {}

bool Polygon::Contains(double x, double y) const
{
  int winding = 0;
  const size_t n = mPoints.size();
  for (size_t i = 0; i < n; ++i)
  {
    const Point a = mPoints[i], b = mPoints[(i + 1) % n];
    const double side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
    if (a.y <= y && b.y > y && side > 0) ++winding;
    else if (a.y > y && b.y <= y && side < 0) --winding;
  }
  return winding != 0;
}

Polyline::Polyline(std::vector<Point> points, double width)
    : mPoints(std::move(points)), mHalf(width / 2), mBounds(BoundsOf(mPoints, width / 2))
{
}

bool Polyline::Contains(double x, double y) const
{
  if (mPoints.size() == 1) return DistanceToSegment(mPoints[0], mPoints[0], x, y) <= mHalf;
  for (size_t i = 0; i + 1 < mPoints.size(); ++i)
    if (DistanceToSegment(mPoints[i], mPoints[i + 1], x, y) <= mHalf) return true;
  return false;
}
