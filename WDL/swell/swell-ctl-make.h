#pragma once

// What the control creators share inside the layer.

#include "platform/foundation/geometry.h"

#include <string>

namespace cocoa
{
class NSView;
}

namespace swell
{
// A caption without its mnemonic marks: "&&" gives one '&', a lone '&' goes. Texts of 1024
// bytes or more, or without '&' in their first 1024 bytes, stay as they are.
std::string withoutMnemonics(const char* text);
// The frame of a control designed at (x, y, w, h) in the current creation context. w and h
// both negative place it at (-x, -y, -w, -h) as given. fixedHeight keeps h unscaled.
cocoa::NSRect makeCoords(int x, int y, int w, int h, bool autoRight, bool fixedHeight);
// The view the creators add controls to.
cocoa::NSView* creationParent();
}  // namespace swell
