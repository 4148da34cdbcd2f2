#pragma once

#include "IGraphicsStructs.h"
#include "lice_bitmap.h"

// The part of the back buffer being redrawn, seen as a bitmap of its own: whatever is
// drawn through it stays inside the area, so a frame recomputes exactly the pixels it
// covers and a control drawn because it meets the area leaves nothing outside it.
class IGraphicsDrawArea : public LICE_IBitmap
{
public:
  // The area cut to the buffer; an empty cut leaves a bitmap with no pixels.
  void Set(LICE_IBitmap* buffer, const IRECT& area);
  int OffsetX() const { return mArea.L; }
  int OffsetY() const { return mArea.T; }

  unsigned int* getBits() override;
  int getWidth() override { return mArea.W(); }
  int getHeight() override { return mArea.H(); }
  int getRowSpan() override { return mBuffer ? mBuffer->getRowSpan() : 0; }
  bool isFlipped() override { return mBuffer && mBuffer->isFlipped(); }
  bool resize(int, int) override { return false; }

private:
  LICE_IBitmap* mBuffer = nullptr;
  IRECT mArea;
};
