#include "lice.h"
#include "lice_limits.h"

#include <cmath>
#include <initializer_list>

void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerRadius, unsigned int color,
                    float alpha, int mode, bool aa)
{
  if (!dest) return;
  for (float v : {x, y, w, h})
    if (!lice::IsSaneCoordinate(v)) return;
  float cr = 0.0f;
  if (cornerRadius > 0)
  {
    // No corner wider than half the rectangle.
    cr = (float)cornerRadius;
    if (cr > w * 0.5) cr = (float)(w * 0.5);
    if (cr > h * 0.5) cr = (float)(h * 0.5);
    cr = std::floor(cr);
  }
  if (cornerRadius <= 0 || cr < 2)
  {
    LICE_DrawRect(dest, (int)x, (int)y, (int)w, (int)h, color, alpha, mode);
    return;
  }

  LICE_Line(dest, (int)(x + cr), (int)y, (int)(x + w - cr), (int)y, color, alpha, mode, aa);
  LICE_Line(dest, (int)(x + cr - 1), (int)(y + h), (int)(x + w - cr), (int)(y + h), color, alpha, mode, aa);
  LICE_Line(dest, (int)(x + w), (int)(y + cr), (int)(x + w), (int)(y + h - cr), color, alpha, mode, aa);
  LICE_Line(dest, (int)x, (int)(y + cr - 1), (int)x, (int)(y + h - cr), color, alpha, mode, aa);

  constexpr float kQuarter = 1.5707964f, kHalf = 3.1415927f, kThreeQuarters = 4.712389f;
  LICE_Arc(dest, x + cr, y + cr, cr, -kQuarter, 0.0f, color, alpha, mode, aa);
  LICE_Arc(dest, x + w - cr, y + cr, cr, 0.0f, kQuarter, color, alpha, mode, aa);
  LICE_Arc(dest, x + w - cr, y + h - cr, cr, kQuarter, kHalf, color, alpha, mode, aa);
  LICE_Arc(dest, x + cr, y + h - cr, cr, kHalf, kThreeQuarters, color, alpha, mode, aa);
}
