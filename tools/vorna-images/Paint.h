#pragma once

#include "Colour.h"

#include <functional>
#include <utility>

// What colour a shape is filled with at a point.
class Paint
{
public:
  virtual ~Paint() = default;
  virtual Rgba At(double x, double y) const = 0;
  // True when At gives the same colour everywhere, so it is asked once.
  virtual bool IsUniform() const { return false; }
};

class Solid : public Paint
{
public:
  explicit Solid(Rgba colour) : mColour(colour) {}
  Rgba At(double, double) const override { return mColour; }
  bool IsUniform() const override { return true; }

private:
  Rgba mColour;
};

// From `from` at (x0, y0) to `to` at (x1, y1), held beyond both ends.
class LinearGradient : public Paint
{
public:
  LinearGradient(double x0, double y0, Rgba from, double x1, double y1, Rgba to)
      : mX0(x0), mY0(y0), mX1(x1), mY1(y1), mFrom(from), mTo(to)
  {
  }
  Rgba At(double x, double y) const override;

private:
  double mX0, mY0, mX1, mY1;
  Rgba mFrom, mTo;
};

// `inner` at (cx, cy) to `outer` at radius r and beyond.
class RadialGradient : public Paint
{
public:
  RadialGradient(double cx, double cy, double r, Rgba inner, Rgba outer)
      : mCx(cx), mCy(cy), mR(r), mInner(inner), mOuter(outer)
  {
  }
  Rgba At(double x, double y) const override;

private:
  double mCx, mCy, mR;
  Rgba mInner, mOuter;
};

// Any rule of position.
class PaintFunction : public Paint
{
public:
  explicit PaintFunction(std::function<Rgba(double, double)> rule) : mRule(std::move(rule)) {}
  Rgba At(double x, double y) const override { return mRule(x, y); }

private:
  std::function<Rgba(double, double)> mRule;
};
