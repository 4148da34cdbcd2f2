#include "lice.h"
#include "lice_surface.h"

void LICE_SetAlphaFromColorMask(LICE_IBitmap* bmp, unsigned int color)
{
  lice::Surface s;
  if (!lice::SurfaceOf(bmp, s)) return;
  // The key is compared with a whole 32-bit value, so a key with a top byte set
  // matches nothing and the bitmap just turns opaque.
  for (int y = 0; y < s.height; ++y)
  {
    unsigned int* p = s.row(y);
    for (int x = 0; x < s.width; ++x)
    {
      const unsigned int rgb = p[x] & 0xFFFFFFu;
      p[x] = rgb == color ? rgb : rgb | 0xFF000000u;
    }
  }
}
