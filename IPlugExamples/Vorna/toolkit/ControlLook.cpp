#include "ControlLook.h"

#include "CZK.h"
#include "IGraphics.h"

namespace CZK
{
void DrawSquareBrackets(IGraphics* graphics, IRECT r, IColor color)
{
  const int d = static_cast<int>((r.B - 1 - r.T) * 0.125);
  IRECT bars[] = {
      IRECT(r.L, r.T, r.L + 1, r.B),                  // left bar
      IRECT(r.R - 1, r.T, r.R, r.B),                  // right bar
      IRECT(r.L + 1, r.T, r.L + d + 1, r.T + 1),      // top left tick
      IRECT(r.L + 1, r.B - 1, r.L + d + 1, r.B),      // bottom left tick
      IRECT(r.R - 1 - d, r.T, r.R - 1, r.T + 1),      // top right tick
      IRECT(r.R - 1 - d, r.B - 1, r.R - 1, r.B),      // bottom right tick
  };
  for (IRECT& bar : bars) graphics->FillIRect(&color, &bar);
}

void DrawPressedBox(IGraphics* graphics, IRECT r, IColor fill, bool shadow)
{
  graphics->FillIRect(&fill, &r);
  if (shadow) DrawPressedShadow(graphics, r);
}

void DrawPressedShadow(IGraphics* graphics, IRECT r)
{
  IRECT left(r.L, r.T, r.L + 2, r.B), top(r.L + 2, r.T, r.R, r.T + 2);
  graphics->FillIRect(&kPressedShadow, &left);
  graphics->FillIRect(&kPressedShadow, &top);
}
}  // namespace CZK
