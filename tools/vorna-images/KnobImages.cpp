#include "KnobImages.h"

#include "Palette.h"
#include "Pieces.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kMinAngle = -135.0, kMaxAngle = 135.0;

double AngleOf(double value) { return kMinAngle + (kMaxAngle - kMinAngle) * std::clamp(value, 0.0, 1.0); }

double StepAngle(int step) { return AngleOf(double(step) / (kRatioSteps - 1)); }

void Pointer(Canvas& canvas, double cx, double cy, double from, double to, double width, double angle)
{
  canvas.Fill(Capsule(OnCircle(cx, cy, from, angle), OnCircle(cx, cy, to, angle), width), palette::kPointer);
}

// Angle of a point round (cx, cy), as the knob counts it.
double AngleAt(double cx, double cy, double x, double y)
{
  return std::atan2(x - cx, cy - y) * 180.0 / 3.14159265358979323846;
}

// The noise colour for a place on the dial: 0 the darkest, 1 the brightest noise.
Rgba NoiseColour(double t)
{
  constexpr Rgba kDark = Rgb8(176, 74, 46), kWhite = Rgb8(244, 242, 232), kBright = Rgb8(70, 136, 232);
  return t < 0.5 ? Mix(kDark, kWhite, float(t * 2)) : Mix(kWhite, kBright, float(t * 2 - 1));
}
}  // namespace

void DrawKnob(Canvas& canvas, const KnobGeometry& g, KnobKind kind, double value)
{
  const double angle = AngleOf(value);
  canvas.Fill(ArcBand(g.cx, g.cy, g.trackInner, g.trackOuter, kMinAngle, kMaxAngle, true), palette::kTrack);
  if (kind == KnobKind::Unipolar)
    canvas.Fill(ArcBand(g.cx, g.cy, g.trackInner, g.trackOuter, kMinAngle, angle, true), palette::kUnipolar);
  else
    canvas.Fill(ArcBand(g.cx, g.cy, g.trackInner, g.trackOuter, std::min(0.0, angle), std::max(0.0, angle), true),
                palette::kBipolar);
  DiscShadow(canvas, g.cx, g.cy, g.capRadius, 2.0);
  KnobCap(canvas, g.cx, g.cy, g.capRadius);
  Pointer(canvas, g.cx, g.cy, g.pointerFrom, g.pointerTo, g.pointerWidth, angle);
}

void DrawNoiseColourKnob(Canvas& canvas, double value)
{
  const KnobGeometry& g = kSmallKnob;
  const double angle = AngleOf(value);
  const double cx = g.cx, cy = g.cy;
  const PaintFunction dial([=](double x, double y) {
    return NoiseColour((AngleAt(cx, cy, x, y) - kMinAngle) / (kMaxAngle - kMinAngle));
  });
  const PaintFunction faded([=](double x, double y) {
    return Mix(palette::kTrack, dial.At(x, y), 0.3f);
  });
  canvas.Fill(ArcBand(cx, cy, g.trackInner, g.trackOuter, kMinAngle, kMaxAngle, true), faded);
  canvas.Fill(ArcBand(cx, cy, g.trackInner, g.trackOuter, std::min(0.0, angle), std::max(0.0, angle), true), dial);
  DiscShadow(canvas, cx, cy, g.capRadius, 2.0);
  KnobCap(canvas, cx, cy, g.capRadius);
  Pointer(canvas, cx, cy, g.pointerFrom, g.pointerTo, g.pointerWidth, angle);
}

void DrawDenominatorDial(Canvas& canvas, int step)
{
  const double c = kDenominatorCentre;
  const double bezel = 25.0, dots = 30.5;
  for (int i = 0; i < kRatioSteps; ++i)
  {
    const Point p = OnCircle(c, c, dots, StepAngle(i));
    if (i < step) canvas.Fill(Circle(p.x, p.y, 1.5), palette::kUnipolar);
    else if (i > step) canvas.Fill(Circle(p.x, p.y, 1.3), palette::kTrack);
  }
  const Point chosen = OnCircle(c, c, dots, StepAngle(step));
  canvas.Fill(Circle(chosen.x, chosen.y, 2.6), palette::kUnipolar);
  DiscShadow(canvas, c, c, bezel, 2.5);
  canvas.Fill(Circle(c, c, bezel), palette::kKnobRim);
  canvas.Fill(Circle(c, c, bezel - 1.2), LinearGradient(c - 12, c - 24, Rgb8(104, 108, 116), c + 10, c + 24, Rgb8(50, 53, 58)));
  // Grip: shallow flutes round the edge of the bezel.
  for (int i = 0; i < 36; ++i)
    canvas.Fill(Capsule(OnCircle(c, c, bezel - 3.6, i * 10.0), OnCircle(c, c, bezel - 1.6, i * 10.0), 1.1),
                Rgb8(0, 0, 0, 0.22f));
  canvas.Fill(Capsule(OnCircle(c, c, 16.5, StepAngle(step)), OnCircle(c, c, bezel - 1.8, StepAngle(step)), 2.6),
              palette::kUnipolar);
}

void DrawNumeratorKnob(Canvas& canvas, int step)
{
  const double cx = kNumeratorCx, cy = kNumeratorCy;
  const double cap = 10.5, marks = 13.6;
  for (int i = 0; i < kRatioSteps; ++i)
  {
    const Point p = OnCircle(cx, cy, marks, StepAngle(i));
    canvas.Fill(Circle(p.x, p.y, i == step ? 1.5 : 0.8), i == step ? palette::kPointer : WithAlpha(palette::kPointer, 0.4f));
  }
  DiscShadow(canvas, cx, cy, cap, 2.0);
  KnobCap(canvas, cx, cy, cap);
  Pointer(canvas, cx, cy, 3.0, 9.4, 2.0, StepAngle(step));
}
