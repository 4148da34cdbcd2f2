#include "lice.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

// Random shapes, coordinates, radii, angles, alphas and modes for every vector
// drawing call, into small bitmaps whose rows carry a guard band: a pixel written
// past a row's end shows even where the address sanitizer cannot see it.
namespace
{
constexpr int kMaxSide = 48;
constexpr int kGuard = 3;
constexpr unsigned int kSentinel = 0xA5C3E1F0;

class GuardedBitmap : public LICE_IBitmap
{
public:
  GuardedBitmap(int w, int h, bool flipped)
      : m_w(w), m_h(h), m_flipped(flipped), m_pixels((size_t)(w + kGuard) * h, kSentinel)
  {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) m_pixels[(size_t)y * (w + kGuard) + x] = (unsigned)(x * 131 + y * 17);
  }
  unsigned int* getBits() override { return m_pixels.data(); }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_w + kGuard; }
  bool isFlipped() override { return m_flipped; }
  bool resize(int, int) override { return false; }

  void checkGuards() const
  {
    for (int y = 0; y < m_h; ++y)
      for (int g = 0; g < kGuard; ++g)
        if (m_pixels[(size_t)y * (m_w + kGuard) + m_w + g] != kSentinel) __builtin_trap();
  }

private:
  int m_w, m_h;
  bool m_flipped;
  std::vector<unsigned int> m_pixels;
};

class Inputs
{
public:
  Inputs(const uint8_t* data, size_t size) : m_in(data, size) {}
  bool more() { return m_in.remaining_bytes() > 0; }
  int op(int count) { return m_in.ConsumeIntegralInRange(0, count - 1); }
  bool flag() { return m_in.ConsumeBool(); }
  FuzzedDataProvider& raw() { return m_in; }

  // Mostly near the bitmap, sometimes at the edges of what is accepted or beyond.
  float coordinate()
  {
    switch (m_in.ConsumeIntegralInRange(0, 11))
    {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return m_in.ConsumeBool() ? INFINITY : -INFINITY;
    case 2: return m_in.ConsumeBool() ? 1e30f : -1e30f;
    case 3: return (m_in.ConsumeBool() ? 1.0f : -1.0f) * (float)(1 << 20) + m_in.ConsumeFloatingPointInRange(-4.0f, 4.0f);
    case 4: return m_in.ConsumeFloatingPoint<float>();
    case 5: return (float)m_in.ConsumeIntegralInRange(-3 * kMaxSide, 3 * kMaxSide);
    case 6: return (float)m_in.ConsumeIntegralInRange(-4, 4) * 0.5f;
    default: return m_in.ConsumeFloatingPointInRange(-1.5f * kMaxSide, 2.5f * kMaxSide);
    }
  }
  int integer()
  {
    switch (m_in.ConsumeIntegralInRange(0, 9))
    {
    case 0: return INT_MIN;
    case 1: return INT_MAX;
    case 2: return m_in.ConsumeIntegral<int>();
    case 3: return m_in.ConsumeIntegralInRange(-(1 << 24), 1 << 24);
    default: return m_in.ConsumeIntegralInRange(-2 * kMaxSide, 3 * kMaxSide);
    }
  }
  float angle()
  {
    switch (m_in.ConsumeIntegralInRange(0, 5))
    {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return m_in.ConsumeFloatingPoint<float>();
    case 2: return m_in.ConsumeFloatingPointInRange(-1100.0f, 1100.0f);
    default: return m_in.ConsumeFloatingPointInRange(-13.0f, 13.0f);
    }
  }
  float alpha()
  {
    switch (m_in.ConsumeIntegralInRange(0, 9))
    {
    case 0: return 1.0f;
    case 1: return 0.5f;
    case 2: return 0.25f;
    case 3: return 0.75f;
    case 4: return std::numeric_limits<float>::quiet_NaN();
    case 5: return m_in.ConsumeFloatingPoint<float>();
    default: return m_in.ConsumeFloatingPointInRange(-1.5f, 1.5f);
    }
  }
  int mode()
  {
    int m = m_in.ConsumeIntegralInRange(0, 7);
    if (m_in.ConsumeBool()) m |= BLEND_SOURCE_ALPHA;
    if (m_in.ConsumeBool()) m |= BLEND_FILTER_BILINEAR;
    return m;
  }
  unsigned int color() { return m_in.ConsumeIntegral<unsigned int>(); }
  float tolerance() { return m_in.ConsumeBool() ? m_in.ConsumeFloatingPointInRange(-1.0f, 8.0f) : coordinate(); }

private:
  FuzzedDataProvider m_in;
};

// A mask of w x h with a row span of at least what a row needs, either sign.
struct Mask
{
  std::vector<unsigned char> bytes;
  int w, h, span;
};

Mask MakeMask(Inputs& in, bool mono)
{
  Mask m;
  m.w = in.raw().ConsumeIntegralInRange(0, 40);
  m.h = in.raw().ConsumeIntegralInRange(0, 40);
  const int rowBytes = (mono ? (m.w + 7) / 8 : m.w) + in.raw().ConsumeIntegralInRange(0, 3);
  m.span = in.flag() ? -rowBytes : rowBytes;
  m.bytes.resize((size_t)rowBytes * m.h + 1);
  for (unsigned char& b : m.bytes) b = in.raw().ConsumeIntegral<unsigned char>();
  return m;
}

void DrawOne(Inputs& in, LICE_IBitmap* bmp)
{
  switch (in.op(22))
  {
  case 0:
    LICE_Line(bmp, in.integer(), in.integer(), in.integer(), in.integer(), in.color(), in.alpha(), in.mode(), in.flag());
    break;
  case 1:
  {
    int x1 = in.integer(), y1 = in.integer(), x2 = in.integer(), y2 = in.integer();
    const int xLo = in.integer(), yLo = in.integer(), xHi = in.integer(), yHi = in.integer();
    if (LICE_ClipLine(&x1, &y1, &x2, &y2, xLo, yLo, xHi, yHi))
      if (x1 < xLo || x1 >= xHi || x2 < xLo || x2 >= xHi || y1 < yLo || y1 >= yHi || y2 < yLo || y2 >= yHi)
        __builtin_trap();
    break;
  }
  case 2:
    LICE_FLine(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(), in.color(), in.alpha(),
               in.mode(), in.flag());
    break;
  case 3:
    LICE_DashedLine(bmp, in.integer(), in.integer(), in.integer(), in.integer(), in.integer(), in.integer(), in.color(),
                    in.alpha(), in.mode(), in.flag());
    break;
  case 4:
  {
    float x1 = in.coordinate(), y1 = in.coordinate(), x2 = in.coordinate(), y2 = in.coordinate();
    LICE_ClipFLine(&x1, &y1, &x2, &y2, in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate());
    break;
  }
  case 5:
    LICE_DrawRect(bmp, in.integer(), in.integer(), in.integer(), in.integer(), in.color(), in.alpha(), in.mode());
    break;
  case 6:
    LICE_BorderedRect(bmp, in.integer(), in.integer(), in.integer(), in.integer(), in.color(), in.color(), in.alpha(),
                      in.mode());
    break;
  case 7:
    LICE_FillTrapezoid(bmp, in.integer(), in.integer(), in.integer(), in.integer(), in.integer(), in.integer(),
                       in.color(), in.alpha(), in.mode());
    break;
  case 8:
  {
    // Sometimes past the vertex count that needs the heap.
    const int n = in.flag() ? in.raw().ConsumeIntegralInRange(0, 12) : in.raw().ConsumeIntegralInRange(500, 600);
    std::vector<int> xs((size_t)n), ys((size_t)n);
    for (int i = 0; i < n; ++i) xs[(size_t)i] = in.integer(), ys[(size_t)i] = in.integer();
    LICE_FillConvexPolygon(bmp, xs.data(), ys.data(), n, in.color(), in.alpha(), in.mode());
    break;
  }
  case 9:
    LICE_FillTriangle(bmp, in.integer(), in.integer(), in.integer(), in.integer(), in.integer(), in.integer(),
                      in.color(), in.alpha(), in.mode());
    break;
  case 10:
  {
    const Mask m = MakeMask(in, false);
    LICE_DrawGlyphEx(bmp, in.integer(), in.integer(), in.color(), m.bytes.data(), m.w, m.span, m.h, in.alpha(),
                     in.mode());
    break;
  }
  case 11:
  {
    Mask m = MakeMask(in, false);
    if (m.span < m.w) break;
    LICE_DrawGlyph(bmp, in.integer(), in.integer(), in.color(), m.bytes.data(), m.w, m.h, in.alpha(), in.mode());
    break;
  }
  case 12:
  {
    const Mask m = MakeMask(in, true);
    LICE_DrawMonoGlyph(bmp, in.integer(), in.integer(), in.color(), m.bytes.data(), m.w, m.span, m.h, in.alpha(),
                       in.mode());
    break;
  }
  case 13:
    LICE_Circle(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.color(), in.alpha(), in.mode(), in.flag());
    break;
  case 14:
    LICE_FillCircle(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.color(), in.alpha(), in.mode(),
                    in.flag());
    break;
  case 15:
    LICE_Arc(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.angle(), in.angle(), in.color(), in.alpha(),
             in.mode(), in.flag());
    break;
  case 16:
    LICE_RoundRect(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(), in.integer(), in.color(),
                   in.alpha(), in.mode(), in.flag());
    break;
  case 17:
    LICE_DrawQBezier(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(),
                     in.coordinate(), in.color(), in.alpha(), in.mode(), in.flag(), in.tolerance());
    break;
  case 18:
    LICE_DrawCBezier(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(),
                     in.coordinate(), in.coordinate(), in.coordinate(), in.color(), in.alpha(), in.mode(), in.flag(),
                     in.tolerance());
    break;
  case 19:
    LICE_FillCBezier(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(),
                     in.coordinate(), in.coordinate(), in.coordinate(), in.integer(), in.color(), in.alpha(),
                     in.mode(), in.tolerance());
    break;
  case 20:
    LICE_FillCBezierX(bmp, in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(),
                      in.coordinate(), in.coordinate(), in.coordinate(), in.integer(), in.color(), in.alpha(),
                      in.mode(), in.tolerance());
    break;
  default:
    // Blurs use working memory too.
    LICE_Blur(bmp, bmp, in.integer(), in.integer(), in.integer(), in.integer(), in.integer(), in.integer());
    break;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Inputs in(data, size);
  const int w = in.raw().ConsumeIntegralInRange(1, kMaxSide);
  const int h = in.raw().ConsumeIntegralInRange(1, kMaxSide);
  GuardedBitmap bmp(w, h, in.flag());
  for (int calls = 0; calls < 16 && in.more(); ++calls)
  {
    DrawOne(in, in.op(8) == 0 ? nullptr : &bmp);
    bmp.checkGuards();
  }
  return 0;
}
