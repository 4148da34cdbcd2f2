#include "IGraphicsDrawArea.h"

#include <algorithm>

void IGraphicsDrawArea::Set(LICE_IBitmap* buffer, const IRECT& area)
{
  mBuffer = buffer;
  mArea = IRECT();
  if (!buffer) return;
  const IRECT cut(std::max(area.L, 0), std::max(area.T, 0), std::min(area.R, buffer->getWidth()),
                  std::min(area.B, buffer->getHeight()));
  if (cut.R > cut.L && cut.B > cut.T) mArea = cut;
}

unsigned int* IGraphicsDrawArea::getBits()
{
  unsigned int* bits = mBuffer ? mBuffer->getBits() : nullptr;
  if (!bits || mArea.W() <= 0) return nullptr;
  const long span = mBuffer->getRowSpan();
  // A flipped buffer keeps its bottom row first: the area's bottom row is then the
  // first of the view.
  const long row = mBuffer->isFlipped() ? mBuffer->getHeight() - mArea.B : mArea.T;
  return bits + row * span + mArea.L;
}
