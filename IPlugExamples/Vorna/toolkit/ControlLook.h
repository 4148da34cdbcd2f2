#pragma once

// What the value controls share beyond the toolkit base: the background styles of the
// text-drawn controls, the bracket frame, the pressed look of text buttons and list
// entries, and reading the mouse buttons of an event.

#include "CZK.h"
#include "IGraphicsStructs.h"

class IGraphics;

// What a text-drawn value control shows behind its text.
enum TextControlBGStyle
{
  kTextBGFill = 0,      // the float field fills its body; the others draw nothing
  kTextBGNone = 1,      // nothing behind the text
  kTextBGBrackets = 2,  // square brackets round the body
};

namespace CZK
{
// The faint shadow strips inside a pressed box.
inline const IColor kPressedShadow(60, 0, 0, 0);

// A bar down each side of r with short ticks along the top and bottom, their length an
// eighth of the height.
void DrawSquareBrackets(IGraphics* graphics, IRECT r, IColor color);

// r filled in fill and, with shadow, two strips of kPressedShadow along its left and
// top inside edges, so it looks pushed in.
void DrawPressedBox(IGraphics* graphics, IRECT r, IColor fill, bool shadow);
// The two strips alone, 2 pixels wide, inside r's left and top edges.
void DrawPressedShadow(IGraphics* graphics, IRECT r);

// The colour as it is drawn: faded when the control is grayed out.
inline IColor Shown(const IColor& c, bool grayed)
{
  return grayed ? Grayed(c) : c;
}

inline bool LeftButton(const IMouseMod* mod)
{
  return mod && mod->L;
}
// Shift or Control: the finer steps of drags and wheels.
inline bool FineModifier(const IMouseMod* mod)
{
  return mod && (mod->S || mod->C);
}
}  // namespace CZK
