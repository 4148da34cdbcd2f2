#pragma once

#include <vector>

// Areas in pixel coordinates (x right, y down; pixel (i, j) covers [i, i + 1) x
// [j, j + 1)), each answering whether a point lies inside. Angles are those of a
// knob: degrees, 0 pointing up, growing clockwise.

struct Box
{
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct Point
{
  double x = 0, y = 0;
};

class Shape
{
public:
  virtual ~Shape() = default;
  virtual bool Contains(double x, double y) const = 0;
  // Everything inside lies within this box.
  virtual Box Bounds() const = 0;
};

// The point at radius r and knob angle degrees from (cx, cy).
Point OnCircle(double cx, double cy, double r, double degrees);

class Circle : public Shape
{
public:
  Circle(double cx, double cy, double r) : mCx(cx), mCy(cy), mR(r) {}
  bool Contains(double x, double y) const override;
  Box Bounds() const override;

private:
  double mCx, mCy, mR;
};

// The band between two radii from angle `from` clockwise to `to` (to >= from; a
// full turn when to - from >= 360), with round ends when asked.
class ArcBand : public Shape
{
public:
  ArcBand(double cx, double cy, double innerR, double outerR, double from, double to, bool roundEnds);
  bool Contains(double x, double y) const override;
  Box Bounds() const override;

private:
  bool InsideSweep(double x, double y) const;
  double mCx, mCy, mInner, mOuter, mFrom, mTo;
  bool mRound;
};

// A line of the given width with round ends.
class Capsule : public Shape
{
public:
  Capsule(Point a, Point b, double width) : mA(a), mB(b), mHalf(width / 2) {}
  bool Contains(double x, double y) const override;
  Box Bounds() const override;

private:
  Point mA, mB;
  double mHalf;
};

// Signed distance to a rectangle with rounded corners: negative inside.
double RoundRectDistance(const Box& box, double radius, double x, double y);

class RoundRect : public Shape
{
public:
  RoundRect(Box box, double radius) : mBox(box), mRadius(radius) {}
  bool Contains(double x, double y) const override;
  Box Bounds() const override { return mBox; }

private:
  Box mBox;
  double mRadius;
};

// Any polygon; a point is inside where the outline winds round it.
class Polygon : public Shape
{
public:
  explicit Polygon(std::vector<Point> points);
  bool Contains(double x, double y) const override;
  Box Bounds() const override { return mBounds; }

private:
  std::vector<Point> mPoints;
  Box mBounds;
};

// A stroked open path of the given width (round joins and ends).
class Polyline : public Shape
{
public:
  Polyline(std::vector<Point> points, double width);
  bool Contains(double x, double y) const override;
  Box Bounds() const override { return mBounds; }

private:
  std::vector<Point> mPoints;
  double mHalf;
  Box mBounds;
};
