#include "lice.h"
#include "lice_template_blit2.h"
#include "lice_dispatch.h"
#include "lice_fastpaths.h"
#include "lice_surface.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace
{
using lice::Surface;

// The clipped pixel-for-pixel mapping of a blit: source (sx, sy) lands at (dx, dy).
struct BlitArea
{
  int dx, dy, sx, sy, cols, rows;
};

bool ClipBlit(const Surface& d, const Surface& s, int dstx, int dsty, const RECT* srcrect, BlitArea& out)
{
  long long sl = 0, st = 0, sr = s.width, sb = s.height;
  long long x = dstx, y = dsty;
  if (srcrect)
  {
    sl = std::max(srcrect->left, 0);
    st = std::max(srcrect->top, 0);
    sr = std::min(srcrect->right, s.width);
    sb = std::min(srcrect->bottom, s.height);
    if (srcrect->left < 0) x -= srcrect->left;
    if (srcrect->top < 0) y -= srcrect->top;
  }
  const long long dx = std::max(x, 0ll), dy = std::max(y, 0ll);
  const long long sx = sl + std::max(-x, 0ll), sy = st + std::max(-y, 0ll);
  if (dx >= d.width || dy >= d.height || sx >= sr || sy >= sb) return false;
  const long long cols = std::min(sr, sx + d.width - dx) - sx;
  const long long rows = std::min(sb, sy + d.height - dy) - sy;
  out = BlitArea{(int)dx, (int)dy, (int)sx, (int)sy, (int)cols, (int)rows};
  return true;
}

bool Overlaps(const BlitArea& a)
{
  return a.sx < a.dx + a.cols && a.dx < a.sx + a.cols && a.sy < a.dy + a.rows && a.dy < a.sy + a.rows;
}

void CopyRows(const Surface& d, const Surface& s, const BlitArea& a, bool sameBitmap)
{
  const size_t bytes = (size_t)a.cols * sizeof(unsigned int);
  // Onto itself with the destination lower down, rows go bottom-up so that no
  // source row is overwritten before it is read.
  if (sameBitmap && a.dy > a.sy)
  {
    for (int i = a.rows - 1; i >= 0; --i) std::memmove(d.at(a.dx, a.dy + i), s.at(a.sx, a.sy + i), bytes);
    return;
  }
  for (int i = 0; i < a.rows; ++i) std::memmove(d.at(a.dx, a.dy + i), s.at(a.sx, a.sy + i), bytes);
}

void HalfMixRows(const Surface& d, const Surface& s, const BlitArea& a)
{
  for (int i = 0; i < a.rows; ++i)
  {
    unsigned int* out = d.at(a.dx, a.dy + i);
    const unsigned int* in = s.at(a.sx, a.sy + i);
    for (int x = 0; x < a.cols; ++x) out[x] = lice::Half(in[x]) + lice::Half(out[x]);
  }
}

void CopyChannel(const Surface& d, const Surface& s, const BlitArea& a, int mode)
{
  const int from = mode & 3, to = (mode >> 2) & 3;
  for (int i = 0; i < a.rows; ++i)
  {
    unsigned char* out = lice::Bytes(d.at(a.dx, a.dy + i));
    const unsigned char* in = lice::Bytes(s.at(a.sx, a.sy + i));
    for (int x = 0; x < a.cols; ++x) out[x * 4 + to] = in[x * 4 + from];
  }
}
}  // namespace

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect, float alpha, int mode)
{
  if (!dest || !src || alpha == 0.0f || !std::isfinite(alpha)) return;
  Surface d, s;
  if (!lice::SurfaceOf(dest, d) || !lice::SurfaceOf(src, s)) return;
  BlitArea a;
  if (!ClipBlit(d, s, dstx, dsty, srcrect, a)) return;

  const bool sameBitmap = d.origin == s.origin;
  const bool plainCopy = (mode & (BLEND_SOURCE_ALPHA | BLEND_OP_MASK)) == BLEND_COPY;
  if ((mode & BLEND_CHANNEL_COPY) != BLEND_CHANNEL_COPY && plainCopy && alpha == 1.0f)
  {
    CopyRows(d, s, a, sameBitmap);
    return;
  }

  // Every other path reads pixels one by one: a source that the destination
  // overlaps is read from a snapshot.
  std::vector<unsigned int> snapshot;
  if (sameBitmap && Overlaps(a))
  {
    snapshot.resize((size_t)a.cols * a.rows);
    for (int i = 0; i < a.rows; ++i)
      std::memcpy(&snapshot[(size_t)i * a.cols], s.at(a.sx, a.sy + i), (size_t)a.cols * sizeof(unsigned int));
    s = Surface{snapshot.data(), a.cols, a.cols, a.rows};
    a.sx = a.sy = 0;
  }

  if ((mode & BLEND_CHANNEL_COPY) == BLEND_CHANNEL_COPY)
  {
    CopyChannel(d, s, a, mode);
    return;
  }
  if (plainCopy && alpha == 0.5f)
  {
    HalfMixRows(d, s, a);
    return;
  }
  const int w = lice::WeightFromAlpha(alpha);
  if ((mode & (BLEND_SOURCE_ALPHA | BLEND_OP_MASK)) == BLEND_SOURCE_ALPHA && w == 256)
  {
    for (int i = 0; i < a.rows; ++i) lice::SourceAlphaCopyRow(d.at(a.dx, a.dy + i), s.at(a.sx, a.sy + i), a.cols);
    return;
  }
  lice::DispatchBlit(mode, w, [&](auto op) {
    _LICE_Template_Blit2<decltype(op)>::blit(d.at(a.dx, a.dy), s.at(a.sx, a.sy), a.cols, a.rows, s.step, d.step, w);
  });
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
               float alpha, int mode)
{
  // Edges beyond the int range cannot reach a bitmap; saturate them instead of wrapping.
  const auto edge = [](long long v) { return (int)std::clamp<long long>(v, INT_MIN, INT_MAX); };
  const RECT r{srcx, srcy, edge((long long)srcx + srcw), edge((long long)srcy + srch)};
  LICE_Blit(dest, src, dstx, dsty, &r, alpha, mode);
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src)
{
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, BLEND_COPY);
}
