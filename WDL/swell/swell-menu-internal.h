#pragma once

// Shared by the menu files only.

#include "swell-menu.h"

namespace swell
{
// The title rule (see swell-menu.h).
cocoa::NSString menuTitle(const char* text);
cocoa::NSMenuItem* findMenuItem(cocoa::NSMenu* menu, int item, bool byPosition);

// Runs the change on the item found and answers 1, or answers 0.
template <class Change>
int changeItem(HMENU handle, int item, bool byPosition, Change change)
{
  cocoa::NSMenu* menu = swellMenuOf(handle);
  cocoa::NSMenuItem* found = menu ? findMenuItem(menu, item, byPosition) : nullptr;
  if (!found) return 0;
  change(found);
  return 1;
}
}  // namespace swell
