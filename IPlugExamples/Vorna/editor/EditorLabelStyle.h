#pragma once

#include "IGraphicsStructs.h"

// Every label of the editor: dark grey on the light panels, 16 pixels (the toolkit
// draws labels at its own label size), centred.
inline IText EditorLabelStyle()
{
  static const IColor kLabelColor(255, 50, 50, 50);
  return IText(16, &kLabelColor, "Geneva", IText::kStyleNormal, IText::kAlignCenter, 0, IText::kQualityDefault);
}
