#include "lice_bitmap.h"
#include "lice_limits.h"

#include <cstdint>
#include <cstdlib>

namespace
{
constexpr std::uintptr_t kPixelAlignment = 64;

// Spans are rounded to the lowest set bit of linealign; the mask stops at 16 (not
// 15), so very coarse alignments give the width or the width + 16.
int AlignmentMask(unsigned int linealign)
{
  if (linealign < 2) return 0;
  const unsigned int lowest = linealign & (0u - linealign);
  return lowest - 1 > 16 ? 16 : (int)(lowest - 1);
}
}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int w, int h, unsigned int linealign) : m_linealign(AlignmentMask(linealign))
{
  if (w > 0 && h > 0) __resize(w, h);
}

LICE_MemBitmap::~LICE_MemBitmap()
{
  std::free(m_fb);
}

unsigned int* LICE_MemBitmap::getBits()
{
  if (!m_fb) return nullptr;
  const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(m_fb) + kPixelAlignment - 1) & ~(kPixelAlignment - 1);
  return reinterpret_cast<unsigned int*>(aligned);
}

void LICE_MemBitmap::release()
{
  std::free(m_fb);
  m_fb = nullptr;
  m_allocsize = 0;
  m_width = m_height = 0;
}

bool LICE_MemBitmap::__resize(int w, int h)
{
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;

  const bool plausible = w > 0 && h > 0 && w <= lice::kMaxBitmapSide && h <= lice::kMaxBitmapSide;
  const long long bytes = plausible ? lice::BitmapBytes(getRowSpan(), w, h) : -1;
  if (bytes <= 0)
  {
    release();
    return true;
  }

  if (m_fb)
  {
    if (bytes <= m_allocsize) return true;  // the block never shrinks
    const long long withHeadroom = bytes + bytes / 4;
    void* grown = std::realloc(m_fb, (size_t)withHeadroom + kPixelAlignment - 1);
    if (grown)
    {
      m_fb = grown;
      m_allocsize = (int)withHeadroom;
    }
    else
    {
      std::free(m_fb);
      m_allocsize = (int)bytes;
      m_fb = std::malloc((size_t)bytes + kPixelAlignment - 1);
    }
  }
  else
  {
    m_allocsize = (int)bytes;
    m_fb = std::malloc((size_t)bytes + kPixelAlignment - 1);
  }

  if (!m_fb) m_width = m_height = 0;
  return true;
}
