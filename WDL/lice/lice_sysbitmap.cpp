#include "lice_bitmap.h"
#include "lice_limits.h"
#include "swell-gdi.h"

LICE_SysBitmap::LICE_SysBitmap(int w, int h)
{
  __resize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
  SWELL_DeleteGfxContext(m_dc);
}

void LICE_SysBitmap::releaseContext()
{
  SWELL_DeleteGfxContext(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
}

bool LICE_SysBitmap::__resize(int w, int h)
{
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;

  // A size that fits the current context keeps it, pixels and all.
  if (w > 0 && h > 0 && m_dc && m_allocw >= w && m_alloch >= h)
  {
    if (isFlipped())
      m_bits = static_cast<unsigned int*>(SWELL_GetCtxFrameBuffer(m_dc)) + (m_alloch - h) * m_allocw;
    return true;
  }

  const long long span = ((long long)w + 3) & ~3ll;
  releaseContext();
  if (w <= 0 || h <= 0)
  {
    m_allocw = (int)(span > 0 ? span : 0);
    m_alloch = h;
    return false;
  }
  if (w > lice::kMaxBitmapSide || lice::BitmapBytes((int)span, w, h) < 0)
  {
    // Beyond the caps: refused, the bitmap is left empty.
    m_allocw = m_alloch = 0;
    m_width = m_height = 0;
    return true;
  }

  m_allocw = (int)span;
  m_alloch = h;
  m_dc = SWELL_CreateMemContext(nullptr, m_allocw, h);
  if (m_dc) m_bits = static_cast<unsigned int*>(SWELL_GetCtxFrameBuffer(m_dc));
  else m_width = m_height = 0;
  return true;
}
