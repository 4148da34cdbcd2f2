#include "lice.h"
#include "lice_dispatch.h"

#include <algorithm>

namespace
{
int Ramp(int k, int saturation, int value) { return (0x4000 - k * saturation) * value / 0x4000; }
}  // namespace

void lice::HSVAdjust(unsigned char* dest, int r, int g, int b, int a, int w)
{
  const int dr = dest[LICE_PIXEL_R], dg = dest[LICE_PIXEL_G], db = dest[LICE_PIXEL_B];
  int maximum, minimum, base, h;
  if (dr < dg)
  {
    if (db < dg)
    {
      maximum = dg;
      base = 128;
      h = db - dr;
      minimum = std::min(dr, db);
    }
    else
    {
      maximum = db;
      base = 256;
      h = dr - dg;
      minimum = std::min(dr, dg);
    }
  }
  else if (db < dr)
  {
    maximum = dr;
    base = dg < db ? 383 : 0;
    h = dg - db;
    minimum = std::min(dg, db);
  }
  else
  {
    maximum = db;
    base = 256;
    h = dr - dg;
    minimum = dg;
  }

  const int delta = maximum - minimum;
  int hue = base + h * (_LICE_RGB2HSV_invtab[delta] + 1) / 1024;
  int saturation = delta * _LICE_RGB2HSV_invtab[maximum] / 256;
  int value = maximum;

  // A source red of 128 keeps the hue; green and blue of 128 keep saturation and value.
  hue += w * (r + r / 2 - 192) / 256;
  if (hue < 0) hue += 384;
  else if (hue > 383) hue -= 384;
  saturation = Clamp255(saturation + w * (g - 128) / 128);
  value = Clamp255(value + w * (b - 128) / 128);

  const int p = (256 - saturation) * value / 256;
  int nr, ng, nb;
  if (hue < 64)
  {
    nr = value;
    ng = Ramp(64 - hue, saturation, value);
    nb = p;
  }
  else if (hue < 128)
  {
    nr = Ramp(hue - 64, saturation, value);
    ng = value;
    nb = p;
  }
  else if (hue < 192)
  {
    nr = p;
    ng = value;
    nb = Ramp(192 - hue, saturation, value);
  }
  else if (hue < 256)
  {
    nr = p;
    ng = Ramp(hue - 192, saturation, value);
    nb = value;
  }
  else if (hue < 320)
  {
    nr = Ramp(320 - hue, saturation, value);
    ng = p;
    nb = value;
  }
  else
  {
    nr = value;
    ng = p;
    nb = Ramp(hue - 320, saturation, value);
  }
  Store(dest, nr, ng, nb, a);
}

unsigned int LICE_CombinePixels(unsigned int dest, unsigned int src, float alpha, int mode)
{
  const int w = lice::WeightFromAlpha(alpha);
  unsigned int out = dest;
  lice::DispatchBlit(mode, w, [&](auto op) {
    op.doPix(lice::Bytes(&out), lice::ChannelR(src), lice::ChannelG(src), lice::ChannelB(src), lice::ChannelA(src), w);
  });
  return out;
}

void LICE_CombinePixels2(unsigned int* dest, int r, int g, int b, int a, int weight, int mode)
{
  if (!dest) return;
  const int w = lice::ClampWeight(weight);
  r = lice::BoundComponent(r), g = lice::BoundComponent(g), b = lice::BoundComponent(b), a = lice::BoundComponent(a);
  lice::DispatchBlit(mode, w, [&](auto op) { op.doPix(lice::Bytes(dest), r, g, b, a, w); });
}

void LICE_CombinePixels2Clamp(unsigned int* dest, int r, int g, int b, int a, int weight, int mode)
{
  if (!dest) return;
  const int w = lice::ClampWeight(weight);
  if (w == 0) return;
  r = lice::BoundComponent(r), g = lice::BoundComponent(g), b = lice::BoundComponent(b), a = lice::BoundComponent(a);
  unsigned char* d = lice::Bytes(dest);
  switch (mode & (BLEND_SOURCE_ALPHA | BLEND_OP_MASK))
  {
  case BLEND_COPY:
    if (w < 1) return;
    if (w == 256) _LICE_CombinePixelsClobberClamp::doPix(d, r, g, b, a, w);
    else _LICE_CombinePixelsCopyClamp::doPix(d, r, g, b, a, w);
    return;
  case BLEND_MULTIPLY: _LICE_CombinePixelsMulClamp::doPix(d, r, g, b, a, w); return;
  case BLEND_SOURCE_ALPHA | BLEND_COPY:
    if (w == 256) _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp::doPix(d, r, g, b, a, w);
    else _LICE_CombinePixelsCopySourceAlphaClamp::doPix(d, r, g, b, a, w);
    return;
  case BLEND_SOURCE_ALPHA | BLEND_MULTIPLY: _LICE_CombinePixelsMulSourceAlphaClamp::doPix(d, r, g, b, a, w); return;
  default: lice::DispatchBlit(mode, w, [&](auto op) { op.doPix(d, r, g, b, a, w); }); return;
  }
}
