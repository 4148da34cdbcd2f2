#pragma once

// A colour with straight (not premultiplied) alpha, every channel 0 to 1.
struct Rgba
{
  float r = 0, g = 0, b = 0, a = 0;
};

// From 8-bit channels, as a person picks colours.
constexpr Rgba Rgb8(int r, int g, int b, float a = 1.0f)
{
  return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

constexpr Rgba WithAlpha(Rgba c, float a) { return {c.r, c.g, c.b, a}; }

// t = 0 gives a, t = 1 gives b; alpha mixes too.
constexpr Rgba Mix(Rgba a, Rgba b, float t)
{
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
