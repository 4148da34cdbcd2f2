#include "DisplayImages.h"

#include "Palette.h"
#include "Pieces.h"

#include "EditorImages.h"
#include "OscWaves.h"

#include <cmath>
#include <functional>

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kTrace = 1.4;  // width of a glyph's line

Box FrameBox(int width, int height) { return {0.5, 0.5, width - 0.5, height - 0.5}; }

// y = f(t) for t from 0 to 1 across [x0, x1], f giving -1 (bottom) to 1 (top) in [yTop, yBottom].
std::vector<Point> Trace(double x0, double x1, double yTop, double yBottom, const std::function<double(double)>& f)
{
  std::vector<Point> points;
  constexpr int kSteps = 96;
  for (int i = 0; i <= kSteps; ++i)
  {
    const double t = double(i) / kSteps;
    const double v = f(t);
    points.push_back({x0 + (x1 - x0) * t, (yTop + yBottom) / 2 - v * (yBottom - yTop) / 2});
  }
  return points;
}

double Sawtooth(double phase) { return 2 * (phase - std::floor(phase)) - 1; }

static_assert(FindEditorImage(kWaveformImageId)->frames == kNumOscWaves, "the waveform strip shows every waveform");

// No default: a new waveform must be given its picture here.
std::function<double(double)> WaveShape(OscWave wave)
{
  constexpr double kCycles = 1.5;
  switch (wave)
  {
  case kOscSine:
    return [](double t) { return std::sin(2 * kPi * kCycles * t); };
  case kOscSaw:
    return [](double t) { return Sawtooth(kCycles * t + 0.5); };
  case kOscSquare:
    return [](double t) { return std::fmod(kCycles * t, 1.0) < 0.5 ? 0.9 : -0.9; };
  case kOscTri:
    return [](double t) { return 1 - 4 * std::abs(std::fmod(kCycles * t + 0.25, 1.0) - 0.5); };
  case kOscSinc:
    return [](double t) {
      const double x = (t - 0.5) * 7 * kPi;
      return std::abs(x) < 1e-9 ? 1.0 : 1.25 * std::sin(x) / x - 0.25;
    };
  case kOscPolysaw:
    // Each ramp bends like a polynomial segment instead of running straight.
    return [](double t) {
      const double p = std::fmod(2 * t + 0.5, 1.0);
      return 2 * p * p * (1.5 - 0.5 * p) - 1;
    };
  case kNumOscWaves: break;
  }
  return [](double) { return 0.0; };
}
}  // namespace

void DrawWaveform(Canvas& canvas, int wave)
{
  const double w = kWaveformWidth, h = kWaveformHeight;
  Screen(canvas, FrameBox(kWaveformWidth, kWaveformHeight), 3.0);
  canvas.Fill(Capsule({3.5, h / 2}, {w - 3.5, h / 2}, 0.6), palette::kGlyphDim);
  canvas.Fill(Polyline(Trace(4.0, w - 4.0, 4.5, h - 4.5, WaveShape(static_cast<OscWave>(wave))), kTrace), palette::kGlyph);
}

void DrawHardSync(Canvas& canvas, int mode)
{
  const double w = kHardSyncWidth, h = kHardSyncHeight;
  Screen(canvas, FrameBox(kHardSyncWidth, kHardSyncHeight), 3.5);
  const bool active = mode != 1;
  const Rgba strip = active ? palette::kGlyph : palette::kGlyphDim;
  // Oscillator 1 above, oscillator 2 below, as the two bands stand.
  canvas.Fill(RoundRect({5.0, 4.0, w - 5.0, 7.0}, 1.5), strip);
  canvas.Fill(RoundRect({5.0, h - 7.0, w - 5.0, h - 4.0}, 1.5), strip);
  const double cx = w / 2;
  if (!active)
  {
    canvas.Fill(Capsule({cx - 4, h / 2}, {cx + 4, h / 2}, 1.4), palette::kGlyphDim);
    return;
  }
  const bool up = mode == 0;
  const double tip = up ? 9.0 : h - 9.0, tail = up ? h - 9.0 : 9.0;
  const double back = up ? tip + 4.5 : tip - 4.5;
  canvas.Fill(Capsule({cx, tail}, {cx, back}, 1.8), palette::kUnipolar);
  canvas.Fill(Polygon({{cx, tip}, {cx + 4.2, back}, {cx - 4.2, back}}), palette::kUnipolar);
}

void DrawShiverSync(Canvas& canvas, int mode)
{
  Screen(canvas, FrameBox(kShiverSyncWidth, kShiverSyncHeight), 3.0);
  const double left = 9.0, right = kShiverSyncWidth - 9.0, top = 5.5, bottom = kShiverSyncHeight - 5.5;
  const bool voices = mode == 1 || mode == 3, oscillators = mode == 2 || mode == 3;
  if (voices)
  {
    canvas.Fill(Capsule({left, top}, {left, bottom}, 1.5), palette::kGlyph);
    canvas.Fill(Capsule({right, top}, {right, bottom}, 1.5), palette::kGlyph);
  }
  if (oscillators)
  {
    canvas.Fill(Capsule({left, top}, {right, top}, 1.5), palette::kGlyph);
    canvas.Fill(Capsule({left, bottom}, {right, bottom}, 1.5), palette::kGlyph);
  }
  for (Point p : {Point{left, top}, Point{right, top}, Point{left, bottom}, Point{right, bottom}})
    canvas.Fill(Circle(p.x, p.y, 2.3), palette::kGlyph);
}

void DrawFilterPass(Canvas& canvas, int type)
{
  const double w = kFilterPassWidth, h = kFilterPassHeight;
  Screen(canvas, FrameBox(kFilterPassWidth, kFilterPassHeight), 3.5);
  // Level from -1 (floor) to 1 (top) against frequency t from 0 to 1; the cutoff is the middle.
  auto bump = [](double t, double width) { return std::exp(-(t - 0.5) * (t - 0.5) / (2 * width * width)); };
  auto edge = [](double t) { return 1 / (1 + std::exp(-(t - 0.5) * 16)); };
  std::function<double(double)> level;
  switch (type)
  {
  case 0: level = [&](double t) { return 0.35 - 1.3 * edge(t) + 0.45 * bump(t, 0.05); }; break;
  case 1: level = [&](double t) { return -0.95 + 1.75 * bump(t, 0.11); }; break;
  case 2: level = [&](double t) { return -0.95 + 1.3 * edge(t) + 0.45 * bump(t, 0.05); }; break;
  case 3: level = [&](double t) { return -0.3 + 1.15 * bump(t, 0.07); }; break;
  default: level = [&](double t) { return 0.35 - 1.3 * bump(t, 0.07); }; break;
  }
  canvas.Fill(Capsule({w / 2, 4.0}, {w / 2, h - 4.0}, 0.6), palette::kGlyphDim);
  canvas.Fill(Polyline(Trace(4.0, w - 4.0, 5.0, h - 5.0, level), kTrace), palette::kGlyph);
}

void DrawBendWindow(Canvas& canvas, int step)
{
  const double w = kBendWindowWidth, h = kBendWindowHeight, mid = h / 2;
  Screen(canvas, FrameBox(kBendWindowWidth, kBendWindowHeight), 3.5);
  const double x0 = 5.0, full = w - 10.0;
  canvas.Fill(Capsule({x0, mid}, {x0 + full, mid}, 1.0), palette::kGlyphDim);
  const double span = 2.0 + (full - 2.0) * step / (kBendWindowSteps - 1);
  const double x1 = x0 + span;
  canvas.Fill(RoundRect({x0, mid - 2.5, x1, mid + 2.5}, 1.0), palette::kUnipolar);
  for (double x : {x0, x1}) canvas.Fill(Capsule({x, mid - 5.0}, {x, mid + 5.0}, 1.2), palette::kGlyph);
}
