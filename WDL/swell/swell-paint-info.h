#pragma once

#include "swell-types.h"

// A view that paints through a window-layer context answers with that context while its
// paint is in progress (null otherwise), so GetDC during the paint draws into it.
class SWELL_PaintInfoSource
{
public:
  virtual HDC getSwellPaintInfo() = 0;

protected:
  ~SWELL_PaintInfoSource() = default;
};
