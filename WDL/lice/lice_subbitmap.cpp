#include "lice_subbitmap.h"

#include <algorithm>

LICE_SubBitmap::LICE_SubBitmap(LICE_IBitmap* parent, int x, int y, int w, int h)
    : m_parent(parent), m_x(std::max(x, 0)), m_y(std::max(y, 0))
{
  // What lies left of or above the parent is cut off the rectangle, not moved into it.
  resize(w + std::min(x, 0), h + std::min(y, 0));
}

unsigned int* LICE_SubBitmap::getBits()
{
  unsigned int* bits = m_parent->getBits();
  if (!bits) return nullptr;
  // A flipped parent stores its rows bottom-up: the view's first stored row is the
  // parent's row just above the view's lower edge.
  const int row = isFlipped() ? m_parent->getHeight() - m_y - m_h : m_y;
  return bits + static_cast<std::ptrdiff_t>(row) * getRowSpan() + m_x;
}

bool LICE_SubBitmap::resize(int w, int h)
{
  w = std::clamp(w, 0, std::max(m_parent->getWidth() - m_x, 0));
  h = std::clamp(h, 0, std::max(m_parent->getHeight() - m_y, 0));
  if (w == m_w && h == m_h) return false;
  m_w = w;
  m_h = h;
  return true;
}

std::intptr_t LICE_SubBitmap::Extended(int id, void*)
{
  return id == kViewQuery ? kIsView : 0;
}
