#pragma once

#include "lice_bitmap.h"

// A rectangle of a parent bitmap seen as a bitmap of its own. Its pixels are the
// parent's, so every raster routine drawing into it draws into the parent at the
// rectangle's place and never outside it; it has no drawing context of its own.
class LICE_SubBitmap : public LICE_IBitmap
{
public:
  // Code that holds only the interface asks this to learn that a bitmap is a view and
  // may walk up to its parent; a view answers kIsView.
  static constexpr int kViewQuery = 0x51B7000;
  static constexpr std::intptr_t kIsView = 0x1000;

  // The rectangle (x, y, w, h) is cut to the parent.
  LICE_SubBitmap(LICE_IBitmap* parent, int x, int y, int w, int h);

  unsigned int* getBits() override;
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_parent->getRowSpan(); }
  bool isFlipped() override { return m_parent->isFlipped(); }
  // Changes the rectangle's size, cut to the parent; the place stays.
  bool resize(int w, int h) override;
  std::intptr_t Extended(int id, void* data) override;

  LICE_IBitmap* parent() const { return m_parent; }
  int x() const { return m_x; }
  int y() const { return m_y; }

private:
  LICE_IBitmap* m_parent;
  int m_x;
  int m_y;
  int m_w = 0;
  int m_h = 0;
};
