#include "Canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height) : mWidth(width), mHeight(height), mPixels(size_t(width) * height) {}

void Canvas::Over(Premultiplied& under, const Premultiplied& top) const
{
  const float keep = 1.0f - top.a;
  under.r = top.r + under.r * keep;
  under.g = top.g + under.g * keep;
  under.b = top.b + under.b * keep;
  under.a = top.a + under.a * keep;
}

void Canvas::Fill(const Shape& shape, const Paint& paint)
{
  const Box box = shape.Bounds();
  const int x0 = std::max(0, int(std::floor(box.x0))), y0 = std::max(0, int(std::floor(box.y0)));
  const int x1 = std::min(mWidth, int(std::ceil(box.x1)) + 1), y1 = std::min(mHeight, int(std::ceil(box.y1)) + 1);
  const bool uniform = paint.IsUniform();
  const Rgba flat = uniform ? paint.At(0, 0) : Rgba{};
  constexpr int n = kSamplesPerSide;
  constexpr float share = 1.0f / (n * n);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
    {
      Premultiplied sum;
      int inside = 0;
      for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
        {
          const double sx = x + (i + 0.5) / n, sy = y + (j + 0.5) / n;
          if (!shape.Contains(sx, sy)) continue;
          ++inside;
          if (uniform) continue;
          const Rgba c = paint.At(sx, sy);
          sum.r += c.r * c.a;
          sum.g += c.g * c.a;
          sum.b += c.b * c.a;
          sum.a += c.a;
        }
      if (inside == 0) continue;
      if (uniform)
      {
        const float a = flat.a * inside;
        sum = {flat.r * a, flat.g * a, flat.b * a, a};
      }
      const Premultiplied top{sum.r * share, sum.g * share, sum.b * share, sum.a * share};
      Over(mPixels[size_t(y) * mWidth + x], top);
    }
}

void Canvas::Place(const Canvas& other, int x, int y)
{
  for (int j = 0; j < other.mHeight; ++j)
    for (int i = 0; i < other.mWidth; ++i)
    {
      const int tx = x + i, ty = y + j;
      if (tx < 0 || ty < 0 || tx >= mWidth || ty >= mHeight) continue;
      Over(mPixels[size_t(ty) * mWidth + tx], other.mPixels[size_t(j) * other.mWidth + i]);
    }
}

Rgba Canvas::PixelAt(int x, int y) const
{
  const Premultiplied& p = mPixels[size_t(y) * mWidth + x];
  if (p.a <= 0) return {};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}
