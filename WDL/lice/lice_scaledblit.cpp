#include "lice.h"
#include "lice_dispatch.h"
#include "lice_fastpaths.h"
#include "lice_limits.h"
#include "lice_sample.h"
#include "lice_template_blit2.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
using lice::ScaledWalk;
using lice::SourceBox;
using std::int64_t;

// Nearest neighbour at full weight: plain stores.
void ScaleCopy(const ScaledWalk& walk, const SourceBox& box)
{
  unsigned int* dest = walk.dest;
  int64_t t = walk.sy;
  for (int y = 0; y < walk.height; ++y, t += walk.dy, dest += walk.destStep)
  {
    const int64_t cy = t >> 16;
    if ((uint64_t)cy >= (uint64_t)box.height) continue;
    const unsigned int* row = box.origin + cy * box.step;
    int64_t s = walk.sx;
    for (int x = 0; x < walk.width; ++x, s += walk.dx)
    {
      const int64_t cx = s >> 16;
      if ((uint64_t)cx < (uint64_t)box.width) dest[x] = row[cx];
    }
  }
}

// Bilinear at full weight with the source walked left to right: the columns and
// fractions are the same on every row, so they are worked out once; the pixels
// whose right neighbour exists go through the row kernel, the last column alone.
void BilinearCopy(const ScaledWalk& walk, const SourceBox& box)
{
  std::vector<int> columns((size_t)walk.width);
  std::vector<unsigned short> fractions((size_t)walk.width * 4);
  int interiorEnd = 0, lastColumnEnd = 0;
  for (int x = 0; x < walk.width; ++x)
  {
    const int64_t s = walk.sx + x * walk.dx;
    columns[(size_t)x] = (int)(s >> 16);
    std::fill_n(&fractions[(size_t)x * 4], 4, (unsigned short)(s & 0xFFFF));
    // Clipping started the walk inside the box, so the run with a right
    // neighbour starts at 0; only its leading run goes to the kernel.
    if (interiorEnd == x && s >= 0 && (s >> 16) < box.width - 1) interiorEnd = x + 1;
    if (s >= 0 && (s >> 16) < box.width) lastColumnEnd = x + 1;
  }
  unsigned int* dest = walk.dest;
  int64_t t = walk.sy;
  for (int y = 0; y < walk.height; ++y, t += walk.dy, dest += walk.destStep)
  {
    const int64_t cy = t >> 16;
    if ((uint64_t)cy >= (uint64_t)box.height) continue;
    const unsigned int* top = box.origin + cy * box.step;
    const bool lastRow = cy == box.height - 1;
    const unsigned int* below = lastRow ? top : top + box.step;
    const int fy = lastRow ? 0 : (int)(t & 0xFFFF);
    lice::BilinearCopyRow(dest, top, below, fy, columns.data(), fractions.data(), interiorEnd);
    for (int x = interiorEnd; x < lastColumnEnd; ++x)
    {
      lice::Rgba c;
      if (lice::SampleBilinear(box, walk.sx + x * walk.dx, t, c)) dest[x] = lice::Pack(c.r, c.g, c.b, c.a);
    }
  }
}
}  // namespace

// Nearest neighbour at half weight: a packed half mix per pixel.
template <class Op>
struct _LICE_Template_Blit0
{
  static void scaleBlitFAST(const ScaledWalk& walk, const SourceBox& box)
  {
    unsigned int* dest = walk.dest;
    int64_t t = walk.sy;
    for (int y = 0; y < walk.height; ++y, t += walk.dy, dest += walk.destStep)
    {
      const int64_t cy = t >> 16;
      if ((uint64_t)cy >= (uint64_t)box.height) continue;
      const unsigned int* row = box.origin + cy * box.step;
      int64_t s = walk.sx;
      for (int x = 0; x < walk.width; ++x, s += walk.dx)
      {
        const int64_t cx = s >> 16;
        if ((uint64_t)cx < (uint64_t)box.width) Op::doPix(dest + x, row[cx]);
      }
    }
  }
};

void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!dest || !src || dstw == 0 || dsth == 0 || alpha == 0.0f || !std::isfinite(alpha)) return;
  for (double v : {(double)dstx, (double)dsty, (double)dstw, (double)dsth, (double)srcx, (double)srcy, (double)srcw,
                   (double)srch})
    if (!lice::IsSaneCoordinate(v)) return;
  // An empty source rectangle has nothing to scale.
  if (srcw == 0.0f || srch == 0.0f) return;

  const bool bilinear = (mode & BLEND_FILTER_MASK) == BLEND_FILTER_BILINEAR;
  // Same size and (for filtering) whole-pixel positions: a plain blit. Mirroring
  // requests take the general path, which handles them.
  if (dstw > 0 && dsth > 0 && std::fabs(srcw - dstw) < 0.001f && std::fabs(srch - dsth) < 0.001f &&
      (!bilinear || (srcx - std::floor(srcx) < 0.03f && srcy - std::floor(srcy) < 0.03f)))
  {
    const int sx = (int)(srcx + 0.5f), sy = (int)(srcy + 0.5f);
    const RECT r{sx, sy, sx + dstw, sy + dsth};
    LICE_Blit(dest, src, dstx, dsty, &r, alpha, mode);
    return;
  }

  if (dstw < 0)
  {
    dstx += dstw, dstw = -dstw, srcx += srcw, srcw = -srcw;
  }
  if (dsth < 0)
  {
    dsty += dsth, dsth = -dsth, srcy += srch, srch = -srch;
  }

  const float xadvance = srcw / dstw, yadvance = srch / dsth;
  if (dstx < 0)
  {
    srcx -= dstx * xadvance;
    dstw += dstx;
    dstx = 0;
  }
  if (dsty < 0)
  {
    srcy -= dsty * yadvance;
    dsth += dsty;
    dsty = 0;
  }

  lice::Surface d, s;
  if (!lice::SurfaceOf(dest, d) || !lice::SurfaceOf(src, s)) return;
  if (dstw <= 0 || dsth <= 0 || dstx >= d.width || dsty >= d.height) return;
  dstw = std::min(dstw, d.width - dstx);
  dsth = std::min(dsth, d.height - dsty);

  const int64_t dx = (int64_t)std::floor((double)xadvance * 65536.0);
  const int64_t dy = (int64_t)std::floor((double)yadvance * 65536.0);
  int64_t sx = (int64_t)std::floor((double)srcx * 65536.0);
  int64_t sy = (int64_t)std::floor((double)srcy * 65536.0);

  // Cut the destination columns and rows whose samples fall outside the source, so
  // the loops only meet the box test at the far edges.
  const auto trim = [](int& dpos, int& dlen, int64_t& spos, int64_t step, int sourceSize) {
    if (step <= 0) return;
    if (spos < 0)
    {
      const int64_t n = std::min<int64_t>((step - 1 - spos) / step, dlen);
      dpos += (int)n;
      dlen -= (int)n;
      spos += n * step;
    }
    const int64_t end = (int64_t)sourceSize << 16;
    if ((int64_t)(dlen - 1) * step + spos >= end)
      dlen = (int)std::clamp<int64_t>((end - spos + step - 1) / step, 0, dlen);
  };
  trim(dstx, dstw, sx, dx, s.width);
  trim(dsty, dsth, sy, dy, s.height);
  if (dstw <= 0 || dsth <= 0) return;

  // The source box, held inside the source bitmap on both sides whatever the
  // direction of the walk.
  const auto box = [](int64_t spos, int64_t step, int dlen, float from, float size, int sourceSize, int& lo, int& hi) {
    const int64_t low = (spos + (step < 0 ? dlen * step : 0)) / 65536;
    const int64_t high = (int64_t)((double)from + std::max(size, 0.0f) + 0.999999);
    lo = (int)std::clamp<int64_t>(low, 0, sourceSize);
    hi = (int)std::clamp<int64_t>(std::min<int64_t>(high, sourceSize), 0, sourceSize);
  };
  int left, right, top, bottom;
  box(sx, dx, dstw, srcx, srcw, s.width, left, right);
  box(sy, dy, dsth, srcy, srch, s.height, top, bottom);
  if (right <= left || bottom <= top) return;
  sx -= (int64_t)left << 16;
  sy -= (int64_t)top << 16;

  const SourceBox sourceBox{s.at(left, top), s.step, right - left, bottom - top};
  const ScaledWalk walk{d.at(dstx, dsty), d.step, dstw, dsth, sx, sy, dx, dy};
  const int w = lice::WeightFromAlpha(alpha);

  if ((mode & (BLEND_SOURCE_ALPHA | BLEND_FILTER_MASK | BLEND_OP_MASK)) == BLEND_COPY)
  {
    if (w == 256)
    {
      ScaleCopy(walk, sourceBox);
      return;
    }
    if (w == 128)
    {
      _LICE_Template_Blit0<_LICE_CombinePixelsHalfMixFAST>::scaleBlitFAST(walk, sourceBox);
      return;
    }
  }

  const bool filterDown = bilinear && xadvance >= 1.7f && yadvance >= 1.7f;
  if (bilinear && !filterDown && w == 256 && dx > 0 && (mode & (BLEND_SOURCE_ALPHA | BLEND_OP_MASK)) == BLEND_COPY)
  {
    BilinearCopy(walk, sourceBox);
    return;
  }
  const int kernel = std::max(dx, dy) > 0x30000 ? 5 : 3;
  lice::DispatchBlit(mode, w, [&](auto op) {
    using Loops = _LICE_Template_Blit2<decltype(op)>;
    if (filterDown) Loops::scaleBlitFilterDown(walk, sourceBox, w, kernel);
    else Loops::scaleBlit(walk, sourceBox, w, bilinear);
  });
}
