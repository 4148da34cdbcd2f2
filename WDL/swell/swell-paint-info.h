#pragma once

#include "swell-types.h"

// A view that paints through a window-layer context answers while its paint is in
// progress: it fills the record with that context and the rectangle being painted and
// returns true; outside a paint it leaves the record alone and returns false. GetDC during
// the paint draws into the same context, BeginPaint hands out the record.
class SWELL_PaintInfoSource
{
public:
  virtual bool getSwellPaintInfo(PAINTSTRUCT* ps) = 0;

protected:
  ~SWELL_PaintInfoSource() = default;
};
