#pragma once

// Dialog controls under test: the shell's application object (so dialogs get their keys as
// in the application), finding controls of the running modal dialog by title, clicking them,
// and snapshots of what a dialog shows.

#include "dialog_test_support.h"
#include "swell-app.h"
#include "swell-ctl-classes.h"
#include "swell-ctl.h"

#include "platform/appkit/keys.h"

#include <cstdlib>
#include <string>

// The view of a window whose title or text is `text`, searched depth first; null when none.
inline cocoa::NSView* findByText(cocoa::NSView* root, const std::string& text)
{
  for (cocoa::NSView* child : root->subviews())
  {
    char buf[512];
    if (GetDlgItemText(swellHandleOf(child), 0, buf, sizeof buf) && text == buf) return child;
    if (cocoa::NSView* inside = findByText(child, text)) return inside;
  }
  return nullptr;
}

// The centre of a view in its window's pixels (dialogs' content views are flipped).
inline cocoa::NSPoint centreInWindow(cocoa::NSView* view)
{
  const cocoa::NSRect frame = view->convertRectToView(view->bounds(), nullptr);
  const cocoa::NSRect content = view->window()->contentView()->frame();
  return cocoa::NSMakePoint(frame.origin.x + frame.size.width / 2,
                            content.size.height - (frame.origin.y + frame.size.height / 2));
}

inline cocoa::NSWindow* modalWindow()
{
  return cocoa::NSApp()->modalWindow();
}

// Clicks the control of the running modal dialog that shows `text`; false when there is none.
inline bool clickInModal(cocoa::TestDriver& driver, const std::string& text)
{
  cocoa::NSWindow* window = modalWindow();
  cocoa::NSView* view = window ? findByText(window->contentView(), text) : nullptr;
  if (!view) return false;
  driver.click(window, centreInWindow(view));
  return true;
}

// Writes a PNG of the window when VORNA_SWELL_SNAPSHOTS names a folder, for looking at.
inline void snapshotForLooking(cocoa::TestDriver& driver, cocoa::NSWindow* window, const std::string& name)
{
  if (const char* folder = std::getenv("VORNA_SWELL_SNAPSHOTS"); folder && window)
    driver.snapshot(window, std::string(folder) + "/" + name + ".png");
}
