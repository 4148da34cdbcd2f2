#pragma once

// A command destination for menus that is not a window: it keeps the ids of the items that
// sent it their commands, in order.

#include "swell-wnd-capabilities.h"

#include "platform/appkit/menu.h"

#include <vector>

class MenuCommandLog : public cocoa::NSObject, public SWELL_CommandTarget
{
public:
  void onSwellCommand(cocoa::NSObject* sender) override
  {
    if (auto* item = dynamic_cast<cocoa::NSMenuItem*>(sender)) ids.push_back(static_cast<int>(item->tag()));
  }
  HWND handle() const { return swellHandleOf(this); }

  std::vector<int> ids;
};
