#include "lice.h"
#include "lice_dispatch.h"

#include <algorithm>

namespace
{
template <class I>
I Ramp(I k, I saturation, I value)
{
  return (0x4000 - k * saturation) * value / 0x4000;
}
}  // namespace

template <class I>
void lice::HSVAdjust(unsigned char* dest, I r, I g, I b, I a, I w)
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
  I hue = base + h * (_LICE_RGB2HSV_invtab[delta] + 1) / 1024;
  I saturation = delta * _LICE_RGB2HSV_invtab[maximum] / 256;
  I value = maximum;

  // A source red of 128 keeps the hue; green and blue of 128 keep saturation and value.
  hue += w * (r + r / 2 - 192) / 256;
  if (hue < 0) hue += 384;
  else if (hue > 383) hue -= 384;
  saturation = Clamp255<I>(saturation + w * (g - 128) / 128);
  value = Clamp255<I>(value + w * (b - 128) / 128);

  const I p = (256 - saturation) * value / 256;
  I nr, ng, nb;
  if (hue < 64)
  {
    nr = value;
    ng = Ramp<I>(64 - hue, saturation, value);
    nb = p;
  }
  else if (hue < 128)
  {
    nr = Ramp<I>(hue - 64, saturation, value);
    ng = value;
    nb = p;
  }
  else if (hue < 192)
  {
    nr = p;
    ng = value;
    nb = Ramp<I>(192 - hue, saturation, value);
  }
  else if (hue < 256)
  {
    nr = p;
    ng = Ramp<I>(hue - 192, saturation, value);
    nb = value;
  }
  else if (hue < 320)
  {
    nr = Ramp<I>(320 - hue, saturation, value);
    ng = p;
    nb = value;
  }
  else
  {
    nr = value;
    ng = p;
    nb = Ramp<I>(hue - 320, saturation, value);
  }
  Store<I>(dest, nr, ng, nb, a);
}

template void lice::HSVAdjust<int>(unsigned char*, int, int, int, int, int);
template void lice::HSVAdjust<lice::Wide>(unsigned char*, Wide, Wide, Wide, Wide, Wide);

unsigned int LICE_CombinePixels(unsigned int dest, unsigned int src, float alpha, int mode)
{
  const int w = lice::WeightFromAlpha(alpha);
  unsigned int out = dest;
  lice::DispatchBlit(mode, w, [&](auto op) {
    op.doPix(lice::Bytes(&out), lice::ChannelR(src), lice::ChannelG(src), lice::ChannelB(src), lice::ChannelA(src), w);
  });
  return out;
}

// The component forms take whatever a caller computed: their rules run wide, so
// components and weights far outside 0..255 and 0..256 meet the rules' own clamping.
void LICE_CombinePixels2(unsigned int* dest, int r, int g, int b, int a, int weight, int mode)
{
  if (!dest) return;
  lice::DispatchBlit(mode, weight, [&](auto op) {
    lice::Widened<decltype(op)>::doPix(lice::Bytes(dest), r, g, b, a, weight);
  });
}

void LICE_CombinePixels2Clamp(unsigned int* dest, int r, int g, int b, int a, int weight, int mode)
{
  if (!dest) return;
  lice::DispatchBlitClamped(mode, weight, [&](auto op) {
    lice::Widened<decltype(op)>::doPix(lice::Bytes(dest), r, g, b, a, weight);
  });
}
