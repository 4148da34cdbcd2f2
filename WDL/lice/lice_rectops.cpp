#include "lice.h"
#include "lice_limits.h"
#include "lice_pixelrect.h"
#include "lice_surface.h"

#include <cstdint>
#include <initializer_list>

void LICE_ClearRect(LICE_IBitmap* bmp, int x, int y, int w, int h, unsigned int mask, unsigned int orbits)
{
  lice::Surface s;
  lice::PixelRect r;
  if (!lice::SurfaceOf(bmp, s) || !lice::ClipToBitmap(x, y, w, h, s.width, s.height, r)) return;
  for (int row = 0; row < r.h; ++row)
  {
    unsigned int* p = s.at(r.x, r.y + row);
    for (int i = 0; i < r.w; ++i) p[i] = (p[i] & mask) | orbits;
  }
}

void LICE_Clear(LICE_IBitmap* bmp, unsigned int color)
{
  lice::Surface s;
  if (!lice::SurfaceOf(bmp, s)) return;
  for (int row = 0; row < s.height; ++row)
  {
    unsigned int* p = s.row(row);
    for (int i = 0; i < s.width; ++i) p[i] = color;
  }
}

namespace
{
// Scale and offset of one channel in 8.8 fixed point; the offset is in channel units.
// The sum of a large scale and a large offset can leave 32 bits.
struct ChannelMap
{
  std::int64_t scale, add;
  int apply(int v) const
  {
    const std::int64_t t = add + scale * v;
    return t < 0 ? 0 : t >= 0x10000 ? 255 : (int)(t >> 8);
  }
};

// Scales and offsets up to this size can still cancel each other (scale -200 with
// offset 300 keeps dark channels); anything larger is a caller's mistake.
constexpr double kMaxFactor = 65536.0;
}  // namespace

void LICE_MultiplyAddRect(LICE_IBitmap* bmp, int x, int y, int w, int h, float rsc, float gsc, float bsc, float asc,
                          float radd, float gadd, float badd, float aadd)
{
  for (float f : {rsc, gsc, bsc, asc, radd, gadd, badd, aadd})
    if (!lice::IsSane(f, kMaxFactor)) return;
  lice::Surface s;
  lice::PixelRect r;
  if (!lice::SurfaceOf(bmp, s) || !lice::ClipToBitmap(x, y, w, h, s.width, s.height, r)) return;

  const auto map = [](float scale, float add) { return ChannelMap{(int)(scale * 256), (int)(add * 256)}; };
  const ChannelMap mr = map(rsc, radd), mg = map(gsc, gadd), mb = map(bsc, badd), ma = map(asc, aadd);
  for (int row = 0; row < r.h; ++row)
  {
    unsigned char* p = lice::Bytes(s.at(r.x, r.y + row));
    for (int i = 0; i < r.w; ++i, p += 4)
    {
      p[LICE_PIXEL_B] = (unsigned char)mb.apply(p[LICE_PIXEL_B]);
      p[LICE_PIXEL_G] = (unsigned char)mg.apply(p[LICE_PIXEL_G]);
      p[LICE_PIXEL_R] = (unsigned char)mr.apply(p[LICE_PIXEL_R]);
      p[LICE_PIXEL_A] = (unsigned char)ma.apply(p[LICE_PIXEL_A]);
    }
  }
}

void LICE_ProcessRect(LICE_IBitmap* bmp, int x, int y, int w, int h, void (*procFunc)(unsigned int* p, void* parm),
                      void* parm)
{
  if (!procFunc) return;
  lice::Surface s;
  lice::PixelRect r;
  if (!lice::SurfaceOf(bmp, s) || !lice::ClipToBitmap(x, y, w, h, s.width, s.height, r)) return;
  // Memory order: a bottom-up bitmap hands out its lowest logical row first.
  const bool upward = s.step < 0;
  for (int i = 0; i < r.h; ++i)
  {
    unsigned int* p = s.at(r.x, upward ? r.y + r.h - 1 - i : r.y + i);
    for (int c = 0; c < r.w; ++c) procFunc(p + c, parm);
  }
}
