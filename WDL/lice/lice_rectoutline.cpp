#include "lice.h"
#include "lice_saturate.h"

#include <cstdint>

void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, unsigned int color, float alpha, int mode)
{
  // The far edges of a rectangle reaching past the int range are held at its end;
  // all four sides are axis-parallel, so what is visible does not change.
  const int right = lice::SaturateInt((std::int64_t)x + w), bottom = lice::SaturateInt((std::int64_t)y + h);
  LICE_Line(dest, x, y, right, y, color, alpha, mode, false);
  LICE_Line(dest, right, y, right, bottom, color, alpha, mode, false);
  LICE_Line(dest, right, bottom, x, bottom, color, alpha, mode, false);
  LICE_Line(dest, x, bottom, x, y, color, alpha, mode, false);
}

void LICE_BorderedRect(LICE_IBitmap* dest, int x, int y, int w, int h, unsigned int bgcolor, unsigned int fgcolor,
                       float alpha, int mode)
{
  LICE_FillRect(dest, lice::SaturateInt((std::int64_t)x + 1), lice::SaturateInt((std::int64_t)y + 1),
                lice::SaturateInt((std::int64_t)w - 1), lice::SaturateInt((std::int64_t)h - 1), bgcolor, alpha, mode);
  LICE_DrawRect(dest, x, y, w, h, fgcolor, alpha, mode);
}
