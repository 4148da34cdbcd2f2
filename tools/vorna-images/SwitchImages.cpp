#include "SwitchImages.h"

#include "Palette.h"
#include "Pieces.h"

#include <vector>

namespace
{
// A raised round button: dark rim, a cap lit from above and a lamp in its middle.
void RoundButton(Canvas& canvas, double size, bool on)
{
  const double c = size / 2 - 0.3, r = size / 2 - 1.4;
  DiscShadow(canvas, c, c, r, 1.6);
  canvas.Fill(Circle(c, c, r), palette::kKnobRim);
  canvas.Fill(Circle(c, c, r - 0.9), LinearGradient(c, c - r, palette::kKnobTop, c, c + r, palette::kKnobBottom));
  Lamp(canvas, c, c, r * 0.46, on);
}
}  // namespace

void DrawButton(Canvas& canvas, bool on) { RoundButton(canvas, kButtonSize, on); }

void DrawSmallButton(Canvas& canvas, bool on) { RoundButton(canvas, kSmallButtonSize, on); }

void DrawPanicButton(Canvas& canvas, bool pressed)
{
  const double c = kPanicSize / 2.0 - 0.5, r = kPanicSize / 2.0 - 2.0;
  const double sink = pressed ? 0.8 : 0.0;
  std::vector<Point> outline;
  for (int i = 0; i < 8; ++i) outline.push_back(OnCircle(c, c + sink, r, 22.5 + 45.0 * i));
  if (!pressed) DiscShadow(canvas, c, c, r - 1, 2.0);
  canvas.Fill(Polygon(outline), palette::kKnobRim);
  std::vector<Point> face;
  for (int i = 0; i < 8; ++i) face.push_back(OnCircle(c, c + sink, r - 1.3, 22.5 + 45.0 * i));
  const Rgba body = pressed ? palette::kPanicLit : palette::kPanicDark;
  canvas.Fill(Polygon(face), LinearGradient(c, c - r, Mix(body, palette::kPointer, 0.25f), c, c + r, body));
  const Rgba mark = pressed ? palette::kPointer : WithAlpha(palette::kPointer, 0.75f);
  canvas.Fill(Capsule({c, c + sink - 6.2}, {c, c + sink + 1.6}, 3.0), mark);
  canvas.Fill(Circle(c, c + sink + 5.6, 1.7), mark);
}

void DrawViewSwitch(Canvas& canvas, int position)
{
  const double w = kViewSwitchWidth, h = kViewSwitchHeight;
  const Box slot{0.5, 0.5, w - 0.5, h - 0.5};
  Screen(canvas, slot, (h - 1) / 2);
  const double lampY = h / 2, leftX = 4.6, rightX = w - 4.6;
  Lamp(canvas, leftX, lampY, 2.2, position == 0);
  Lamp(canvas, rightX, lampY, 2.2, position == 2);
  const double thumbX = position == 0 ? leftX + 5.4 : position == 2 ? rightX - 5.4 : w / 2;
  canvas.Fill(Circle(thumbX, lampY, 3.6), palette::kKnobRim);
  canvas.Fill(Circle(thumbX, lampY, 2.9),
              LinearGradient(thumbX, lampY - 3, palette::kPointer, thumbX, lampY + 3, palette::kTrack));
}

void DrawPrePostSwitch(Canvas& canvas, bool post)
{
  const double w = kPrePostWidth, h = kPrePostHeight, mid = h / 2;
  Screen(canvas, {0.5, 0.5, w - 0.5, h - 0.5}, 3.0);
  // The signal runs left to right through the filter (a box with a falling curve);
  // the lamp marks where it is taken.
  canvas.Fill(Capsule({3.5, mid}, {w - 3.5, mid}, 1.0), palette::kGlyphDim);
  const Box filter{9.0, 3.5, 17.0, h - 3.5};
  canvas.Fill(RoundRect(filter, 1.5), palette::kGlyph);
  canvas.Fill(RoundRect({filter.x0 + 1, filter.y0 + 1, filter.x1 - 1, filter.y1 - 1}, 1), palette::kScreen);
  canvas.Fill(Polyline({{10.6, 6.4}, {13.0, 6.4}, {15.4, 10.0}}, 1.0), palette::kGlyph);
  Lamp(canvas, post ? w - 4.6 : 4.6, mid, 2.3, true);
}
