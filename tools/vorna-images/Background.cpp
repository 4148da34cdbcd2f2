#include "Background.h"

#include "EditorImages.h"
#include "Palette.h"
#include "Pieces.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr double kBandInset = 1;     // from the editor's left and right edges
constexpr double kBandMargin = 6;    // above and below the band's controls and labels
constexpr double kPanelRadius = 7;

bool HasArea(const Box& box) { return box.x1 > box.x0 && box.y1 > box.y0; }

Box Union(const Box& a, const Box& b)
{
  if (!HasArea(a)) return b;
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

// Everything the band's controls and labels cover.
Box ContentOf(Band band)
{
  Box content;
  for (const ControlPlace& place : ControlPlaces())
  {
    if (place.band != band) continue;
    content = Union(content, ControlBox(place));
    const Box label = LabelBox(place);
    if (HasArea(label)) content = Union(content, label);
  }
  return content;
}

void Panel(Canvas& canvas, Box box)
{
  BoxShadow(canvas, {box.x0, box.y0 + 2, box.x1, box.y1 + 3}, kPanelRadius, 7, Rgb8(0, 0, 0, 0.5f));
  canvas.Fill(RoundRect(box, kPanelRadius), palette::kPanelEdgeDark);
  canvas.Fill(RoundRect({box.x0 + 0.8, box.y0 + 0.8, box.x1 - 0.8, box.y1 - 1.6}, kPanelRadius - 1),
              palette::kPanelEdgeLight);
  const Box face{box.x0 + 1.2, box.y0 + 2, box.x1 - 1.2, box.y1 - 1.8};
  canvas.Fill(RoundRect(face, kPanelRadius - 1.5),
              LinearGradient(0, face.y0, palette::kPanel, 0, face.y1, palette::kPanelLow));
}

void SectionLines(Canvas& canvas, Box band)
{
  for (double x : kSectionEdges)
  {
    canvas.Fill(Capsule({x, band.y0 + 12}, {x, band.y1 - 12}, 1.0), palette::kGroove);
    canvas.Fill(Capsule({x + 1, band.y0 + 12}, {x + 1, band.y1 - 12}, 1.0), palette::kPanelEdgeLight);
  }
}

// The sync switches sit on small plates tied to both oscillator bands.
void SyncPlates(Canvas& canvas)
{
  const Box upper = BandBox(Band::Osc1), lower = BandBox(Band::Osc2);
  for (const ControlPlace& place : ControlPlaces())
  {
    if (place.band != Band::Between) continue;
    const Box box = ControlBox(place);
    const double mid = (box.x0 + box.x1) / 2;
    for (double x : {mid - 5, mid + 5})
    {
      canvas.Fill(Capsule({x, upper.y1 - 2}, {x, lower.y0 + 2}, 2.0), palette::kPanelEdgeDark);
      canvas.Fill(Capsule({x, upper.y1 - 2}, {x, lower.y0 + 2}, 1.0), palette::kPanelLow);
    }
    Panel(canvas, {box.x0 - 6, box.y0 - 5, box.x1 + 6, box.y1 + 5});
  }
}

// Two waves, one per oscillator, in the master strip's free right end, faded in
// and out so they trail off rather than stop.
void Emblem(Canvas& canvas)
{
  constexpr double kPi = 3.14159265358979323846;
  const Box strip = BandBox(Band::Master);
  double contentRight = 0;
  for (const ControlPlace& place : ControlPlaces())
    if (place.band == Band::Master) contentRight = std::max(contentRight, ControlBox(place).x1);
  const double x0 = contentRight + 40, x1 = strip.x1 - 24, mid = (strip.y0 + strip.y1) / 2;
  const double height = (strip.y1 - strip.y0) * 0.18;
  auto fading = [=](Rgba colour, double strength) {
    return PaintFunction([=](double x, double) {
      const double t = std::clamp((x - x0) / (x1 - x0), 0.0, 1.0);
      return WithAlpha(colour, float(strength * std::sqrt(std::sin(kPi * t))));
    });
  };
  for (int wave = 0; wave < 2; ++wave)
  {
    std::vector<Point> points, lit;
    for (int i = 0; i <= 160; ++i)
    {
      const double t = i / 160.0;
      const Point p{x0 + (x1 - x0) * t, mid - height * std::sin(2 * kPi * (2 * t + 0.25 * wave))};
      points.push_back(p);
      lit.push_back({p.x, p.y + 1});
    }
    canvas.Fill(Polyline(lit, 2.4), fading(palette::kPanelEdgeLight, 1.0));
    canvas.Fill(Polyline(points, 2.4), fading(wave == 0 ? palette::kUnipolar : palette::kBipolar, 0.6));
  }
}

void Well(Canvas& canvas, const ControlPlace& place)
{
  const Box box = WellBox(place);
  canvas.Fill(RoundRect({box.x0, box.y0 + 0.8, box.x1, box.y1 + 0.8}, 3.5), WithAlpha(palette::kPanelEdgeLight, 0.9f));
  canvas.Fill(RoundRect(box, 3.5), palette::kWellRim);
  const Box face{box.x0 + 0.8, box.y0 + 1.2, box.x1 - 0.8, box.y1 - 0.6};
  canvas.Fill(RoundRect(face, 3.0), LinearGradient(0, face.y0, palette::kWellRim, 0, face.y0 + 4, palette::kWell));
}
}  // namespace

Box BandBox(Band band)
{
  if (band == Band::Between) return {kBandInset, BandBox(Band::Osc1).y1, kEditorWidth - kBandInset, BandBox(Band::Osc2).y0};
  const Box content = ContentOf(band);
  return {kBandInset, content.y0 - kBandMargin, kEditorWidth - kBandInset, content.y1 + kBandMargin};
}

Box WellBox(const ControlPlace& place)
{
  const Box box = ControlBox(place);
  return {box.x0 - 1.5, box.y0 - 1, box.x1 + 1.5, box.y1 + 1};
}

Canvas DrawBackground()
{
  Canvas canvas(kEditorWidth, kEditorHeight);
  canvas.Fill(RoundRect({0, 0, double(kEditorWidth), double(kEditorHeight)}, 0),
              LinearGradient(0, 0, palette::kSlateLight, 0, kEditorHeight, palette::kSlate));
  SyncPlates(canvas);
  for (Band band : {Band::Osc1, Band::Osc2, Band::Master})
  {
    const Box box = BandBox(band);
    Panel(canvas, box);
    if (band != Band::Master) SectionLines(canvas, box);
  }
  Emblem(canvas);
  for (const ControlPlace& place : ControlPlaces())
    if (IsTextControl(place) && place.shown != Shown::Never && place.shown != Shown::Plugin) Well(canvas, place);
  return canvas;
}
