#include "raster_bench_operations.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace raster_bench
{
namespace
{
Image SourceImage(Source source)
{
  switch (source)
  {
  case Source::OpaquePattern: return Pattern(kWidth, kHeight, false);
  case Source::AlphaPattern: return Pattern(kWidth, kHeight, true);
  case Source::ScaledPattern: return Pattern(kScaledSourceWidth, kScaledSourceHeight, false);
  case Source::KnobStrip: return KnobStrip();
  case Source::None: break;
  }
  return {};
}

void CopyInto(LICE_IBitmap& bmp, const Image& image)
{
  bmp.resize(image.width, image.height);
  for (int y = 0; y < image.height; ++y)
    std::memcpy(bmp.getBits() + (size_t)y * bmp.getRowSpan(), image.pixels.data() + (size_t)y * image.width,
                (size_t)image.width * 4);
}
}  // namespace

OurScene::OurScene(Source source)
{
  CopyInto(dest, Background());
  if (source != Source::None) CopyInto(src, SourceImage(source));
}

PeerScene::PeerScene(Source source) : destImage(Premultiplied(Background()))
{
  dest = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destImage.pixels.data(), kWidth * 4);
  if (source != Source::None)
  {
    srcImage = Premultiplied(SourceImage(source));
    src = pixman_image_create_bits(PIXMAN_a8r8g8b8, srcImage.width, srcImage.height, srcImage.pixels.data(),
                                   srcImage.width * 4);
  }
  surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(destImage.pixels.data()),
                                                CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
  cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);  // kShapeColour
}

PeerScene::~PeerScene()
{
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  if (src) pixman_image_unref(src);
  pixman_image_unref(dest);
}

namespace
{
// ---- Blits and fills, beside pixman ----

void OursOpaqueBlit(OurScene& s) { LICE_Blit(&s.dest, &s.src, 0, 0, nullptr, 1.0f, BLEND_COPY); }
void PeerOpaqueBlit(PeerScene& s)
{
  pixman_image_composite32(PIXMAN_OP_SRC, s.src, nullptr, s.dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
}

void OursSourceAlphaBlit(OurScene& s)
{
  LICE_Blit(&s.dest, &s.src, 0, 0, nullptr, 1.0f, BLEND_SOURCE_ALPHA | BLEND_COPY);
}
void PeerSourceAlphaBlit(PeerScene& s)
{
  pixman_image_composite32(PIXMAN_OP_OVER, s.src, nullptr, s.dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
}

// The editor's use of a knob strip: one frame per knob, a window full of knobs.
template <class F>
void ForEachKnob(F&& f)
{
  constexpr int kColumns = kWidth / kKnobSize, kRows = kHeight / kKnobSize;
  for (int row = 0; row < kRows; ++row)
    for (int column = 0; column < kColumns; ++column)
      f(1 + column * kKnobSize, 2 + row * kKnobSize, (row * kColumns + column) % kKnobFrames);
}
void OursKnobStripBlit(OurScene& s)
{
  ForEachKnob([&](int x, int y, int frame) {
    LICE_Blit(&s.dest, &s.src, x, y, 0, frame * kKnobSize, kKnobSize, kKnobSize, 1.0f, BLEND_SOURCE_ALPHA | BLEND_COPY);
  });
}
void PeerKnobStripBlit(PeerScene& s)
{
  ForEachKnob([&](int x, int y, int frame) {
    pixman_image_composite32(PIXMAN_OP_OVER, s.src, nullptr, s.dest, 0, frame * kKnobSize, 0, 0, x, y, kKnobSize,
                             kKnobSize);
  });
}

void OursScaledBilinearBlit(OurScene& s)
{
  LICE_ScaledBlit(&s.dest, &s.src, 0, 0, kWidth, kHeight, 0.0f, 0.0f, (float)kScaledSourceWidth,
                  (float)kScaledSourceHeight, 1.0f, BLEND_FILTER_BILINEAR);
}
// Our scaled blit samples destination pixel x at source x * step (16.16, rounded
// down) and keeps the last column and row to themselves; pixman samples pixel
// centres and mixes in what lies beyond the edge. The same step, half a pixel of
// offset and padding make pixman sample the same points.
void PreparePeerScaledBilinearBlit(PeerScene& s)
{
  const pixman_fixed_t dx = (pixman_fixed_t)std::floor((double)kScaledSourceWidth / kWidth * 65536.0);
  const pixman_fixed_t dy = (pixman_fixed_t)std::floor((double)kScaledSourceHeight / kHeight * 65536.0);
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  t.matrix[0][0] = dx, t.matrix[0][2] = pixman_fixed_1 / 2 - dx / 2;
  t.matrix[1][1] = dy, t.matrix[1][2] = pixman_fixed_1 / 2 - dy / 2;
  pixman_image_set_transform(s.src, &t);
  pixman_image_set_filter(s.src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(s.src, PIXMAN_REPEAT_PAD);
}
void PeerScaledBilinearBlit(PeerScene& s)
{
  pixman_image_composite32(PIXMAN_OP_SRC, s.src, nullptr, s.dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
}

void OursFillRect(OurScene& s) { LICE_FillRect(&s.dest, 0, 0, kWidth, kHeight, kShapeColour, 1.0f, BLEND_COPY); }
void PeerFillRect(PeerScene& s)
{
  const pixman_color_t color{0x3333, 0x6666, 0x9999, 0xFFFF};
  const pixman_rectangle16_t rect{0, 0, (unsigned short)kWidth, (unsigned short)kHeight};
  pixman_image_fill_rectangles(PIXMAN_OP_SRC, s.dest, &color, 1, &rect);
}

// ---- Vector shapes, beside cairo: one call per shape, as the editor draws ----

constexpr int kLines = 200, kCircles = 16, kPolygonSides = 24;
constexpr double kTwoPi = 6.283185307179586;

// Spokes from the window's centre to a ring around it.
void SpokeEnd(int i, int& x, int& y)
{
  const double a = kTwoPi * i / kLines;
  x = kWidth / 2 + (int)std::lround(std::sin(a) * 300.0);
  y = kHeight / 2 - (int)std::lround(std::cos(a) * 300.0);
}

void OursAntiAliasedLine(OurScene& s)
{
  for (int i = 0; i < kLines; ++i)
  {
    int x, y;
    SpokeEnd(i, x, y);
    LICE_Line(&s.dest, kWidth / 2, kHeight / 2, x, y, kShapeColour, 1.0f, BLEND_COPY, true);
  }
}
// Our anti-aliased line spreads one pixel of coverage across each step of its major
// axis, end pixels included (an exact diagonal 3/4 + 1/4 + 1/4); cairo is given that
// band: one pixel thick across the major axis (5/4 for an exact diagonal), from the
// outer edge of one end pixel to that of the other.
void PeerAntiAliasedLine(PeerScene& s)
{
  const double x1 = kWidth / 2 + 0.5, y1 = kHeight / 2 + 0.5;
  for (int i = 0; i < kLines; ++i)
  {
    int ex, ey;
    SpokeEnd(i, ex, ey);
    const double dx = ex + 0.5 - x1, dy = ey + 0.5 - y1;
    const bool xMajor = std::fabs(dx) > std::fabs(dy);
    const double extend = 0.5 / std::max(std::fabs(dx), std::fabs(dy));
    const double ax = x1 - dx * extend, ay = y1 - dy * extend, bx = x1 + dx * (1 + extend), by = y1 + dy * (1 + extend);
    const double half = std::fabs(dx) == std::fabs(dy) ? 0.625 : 0.5;
    const double ox = xMajor ? 0 : half, oy = xMajor ? half : 0;
    cairo_move_to(s.cr, ax - ox, ay - oy);
    cairo_line_to(s.cr, bx - ox, by - oy);
    cairo_line_to(s.cr, bx + ox, by + oy);
    cairo_line_to(s.cr, ax + ox, ay + oy);
    cairo_close_path(s.cr);
    cairo_fill(s.cr);
  }
  cairo_surface_flush(s.surface);
}

float CircleRadius(int i) { return 12.0f + 10.0f * (float)i; }

void OursFilledCircle(OurScene& s)
{
  for (int i = 0; i < kCircles; ++i)
    LICE_FillCircle(&s.dest, kWidth / 2.0f, kHeight / 2.0f, CircleRadius(i), kShapeColour, 1.0f, BLEND_COPY, true);
}
void PeerFilledCircle(PeerScene& s)
{
  for (int i = 0; i < kCircles; ++i)
  {
    cairo_arc(s.cr, kWidth / 2.0 + 0.5, kHeight / 2.0 + 0.5, CircleRadius(i), 0.0, kTwoPi);
    cairo_fill(s.cr);
  }
  cairo_surface_flush(s.surface);
}

struct Polygon
{
  int xs[kPolygonSides], ys[kPolygonSides];
};
const Polygon& Corners()
{
  static const Polygon p = [] {
    Polygon out;
    for (int i = 0; i < kPolygonSides; ++i)
    {
      const double a = kTwoPi * i / kPolygonSides;
      out.xs[i] = kWidth / 2 + (int)std::lround(std::sin(a) * 310.0);
      out.ys[i] = kHeight / 2 - (int)std::lround(std::cos(a) * 310.0);
    }
    return out;
  }();
  return p;
}
void OursPolygonFill(OurScene& s)
{
  LICE_FillConvexPolygon(&s.dest, Corners().xs, Corners().ys, kPolygonSides, kShapeColour, 1.0f, BLEND_COPY);
}
// Our polygon fill does not anti-alias; cairo is asked for the same.
void PreparePeerPolygonFill(PeerScene& s) { cairo_set_antialias(s.cr, CAIRO_ANTIALIAS_NONE); }
void PeerPolygonFill(PeerScene& s)
{
  const Polygon& p = Corners();
  cairo_move_to(s.cr, p.xs[0] + 0.5, p.ys[0] + 0.5);
  for (int i = 1; i < kPolygonSides; ++i) cairo_line_to(s.cr, p.xs[i] + 0.5, p.ys[i] + 0.5);
  cairo_close_path(s.cr);
  cairo_fill(s.cr);
  cairo_surface_flush(s.surface);
}
}  // namespace

std::span<const Operation> Operations()
{
  static const Operation kOperations[] = {
      {"OpaqueBlit", "pixman", Source::OpaquePattern, {0, false, 0, "exact: both copy the bytes"}, OursOpaqueBlit,
       PeerOpaqueBlit, nullptr},
      {"SourceAlphaBlit", "pixman", Source::AlphaPattern,
       {2, false, -1,
        "2: ours weighs a straight colour by (a + 1) / 256 and truncates toward the destination, pixman a colour "
        "premultiplied (rounded) by a / 255 and rounds"},
       OursSourceAlphaBlit, PeerSourceAlphaBlit, nullptr},
      {"KnobStripBlit", "pixman", Source::KnobStrip, {2, false, -1, "2: as SourceAlphaBlit"}, OursKnobStripBlit,
       PeerKnobStripBlit, nullptr},
      {"ScaledBilinearBlit", "pixman", Source::ScaledPattern,
       {4, false, -1,
        "4: the same sample points; ours weighs the four neighbours in 1/65536 and truncates, pixman in 1/128 and "
        "rounds (up to 2 for each axis where neighbours differ by 255)"},
       OursScaledBilinearBlit, PeerScaledBilinearBlit, PreparePeerScaledBilinearBlit},
      {"FillRect", "pixman", Source::None, {0, false, 0, "exact: both store the colour"}, OursFillRect, PeerFillRect,
       nullptr},
      {"AntiAliasedLine", "cairo", Source::None,
       {70, false, 0.02,
        "70, total change 2 %: ours takes each step's coverage at the pixel centre, cairo over the whole pixel on a "
        "grid of 1/15 (apart by up to a quarter of the colour step where slopes reach 1)"},
       OursAntiAliasedLine, PeerAntiAliasedLine, nullptr},
      {"FilledCircle", "cairo", Source::None,
       {0, true, 0.01,
        "exact inside and outside, total change 1 %: edge coverage by ours from one square root per step, by cairo "
        "from the area"},
       OursFilledCircle, PeerFilledCircle, nullptr},
      {"PolygonFill", "cairo", Source::None,
       {0, true, 0.01, "exact inside and outside, total change 1 %: each library's own rule for pixels on an edge"},
       OursPolygonFill, PeerPolygonFill, PreparePeerPolygonFill},
  };
  return kOperations;
}
}  // namespace raster_bench
