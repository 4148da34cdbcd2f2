#pragma once

#include "platform/appkit/cursor.h"

#include <vector>

enum class BuiltinCursor
{
  diagonal,          // resize from top-left to bottom-right
  diagonalMirrored,  // resize from top-right to bottom-left
  allDirections,
  notAllowed,
};

// 16 x 16 bytes, rows top-down: grey level in the high four bits, opacity in the low four.
std::vector<unsigned char> builtinCursorBytes(BuiltinCursor which);
// A new cursor (owned by the caller) with each nibble scaled by 17, hot spot (8, 8).
cocoa::NSCursor* makeBuiltinCursor(BuiltinCursor which);
