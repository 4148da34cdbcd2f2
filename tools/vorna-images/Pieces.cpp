#include "Pieces.h"

#include "Palette.h"

#include <algorithm>
#include <cmath>

namespace
{
// 1 inside, 0 outside, with a smooth ramp `blur` wide centred on the edge (distance 0).
float Softly(double distance, double blur)
{
  const double t = std::clamp(0.5 - distance / blur, 0.0, 1.0);
  return float(t * t * (3 - 2 * t));
}
}  // namespace

void DiscShadow(Canvas& canvas, double cx, double cy, double r, double blur)
{
  const double sx = cx + 0.6, sy = cy + 1.2;
  const PaintFunction shade([=](double x, double y) {
    return WithAlpha(palette::kShadow, palette::kShadow.a * Softly(std::hypot(x - sx, y - sy) - r, blur));
  });
  canvas.Fill(Circle(sx, sy, r + blur), shade);
}

void BoxShadow(Canvas& canvas, Box box, double radius, double blur, Rgba colour)
{
  const PaintFunction shade([=](double x, double y) {
    return WithAlpha(colour, colour.a * Softly(RoundRectDistance(box, radius, x, y), blur));
  });
  canvas.Fill(RoundRect({box.x0 - blur, box.y0 - blur, box.x1 + blur, box.y1 + blur}, radius + blur), shade);
}

void KnobCap(Canvas& canvas, double cx, double cy, double r)
{
  canvas.Fill(Circle(cx, cy, r), palette::kKnobRim);
  const double inner = r - std::max(0.8, r * 0.08);
  canvas.Fill(Circle(cx, cy, inner),
              LinearGradient(cx - inner * 0.6, cy - inner, palette::kKnobTop, cx + inner * 0.4, cy + inner,
                             palette::kKnobBottom));
  // The turned face: a slightly lighter disc whose light falls the other way.
  const double face = inner * 0.78;
  canvas.Fill(Circle(cx, cy, face), LinearGradient(cx, cy + face, Mix(palette::kKnobTop, palette::kKnobBottom, 0.3f),
                                                   cx, cy - face, palette::kKnobBottom));
  canvas.Fill(ArcBand(cx, cy, inner - 0.9, inner, -80, 10, false), Rgb8(255, 255, 255, 0.22f));
}

void Screen(Canvas& canvas, Box box, double radius)
{
  canvas.Fill(RoundRect({box.x0, box.y0 + 0.6, box.x1, box.y1 + 0.6}, radius), Rgb8(255, 255, 255, 0.5f));
  canvas.Fill(RoundRect(box, radius), palette::kScreenRim);
  const Box face{box.x0 + 1, box.y0 + 1, box.x1 - 1, box.y1 - 1};
  canvas.Fill(RoundRect(face, std::max(0.0, radius - 1)),
              LinearGradient(0, face.y0, palette::kScreen, 0, face.y1, Mix(palette::kScreen, palette::kSlateLight, 0.5f)));
}

void Lamp(Canvas& canvas, double cx, double cy, double r, bool on)
{
  if (on)
  {
    const Rgba glow = palette::kLedOn;
    const PaintFunction halo([=](double x, double y) {
      return WithAlpha(glow, 0.55f * Softly(std::hypot(x - cx, y - cy) - r, r * 1.6));
    });
    canvas.Fill(Circle(cx, cy, r * 1.9), halo);
    canvas.Fill(Circle(cx, cy, r), RadialGradient(cx - r * 0.3, cy - r * 0.3, r * 1.2, Rgb8(236, 255, 214), glow));
  }
  else
  {
    canvas.Fill(Circle(cx, cy, r),
                RadialGradient(cx - r * 0.3, cy - r * 0.3, r * 1.2, Mix(palette::kLedOff, palette::kPointer, 0.18f),
                               palette::kLedOff));
  }
  canvas.Fill(ArcBand(cx, cy, r - std::max(0.7, r * 0.2), r, 100, 260, false), Rgb8(0, 0, 0, 0.3f));
}
