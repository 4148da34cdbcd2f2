#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/nsstring.h"
#include "platform/foundation/object.h"

#include <memory>

namespace cocoa
{
class NSView;
class NSWindow;
class NSEvent;
class NSTimer;

// Supplies the text of a tooltip rectangle when it is about to show.
class NSToolTipOwner
{
public:
  virtual ~NSToolTipOwner() = default;
  virtual NSString stringForToolTip(NSView* view, NSInteger tag, NSPoint point, void* userData) = 0;
};

// One window's tooltips: when the pointer rests over a tooltip rectangle of a view, the
// owner's text appears near it as an overlay; moving off, pressing or typing hides it.
class ToolTipTracker
{
public:
  static constexpr double kDelay = 1.0;

  explicit ToolTipTracker(NSWindow* window);
  ~ToolTipTracker();

  void eventArrived(NSEvent* event);
  // Hides the tip; the same tip comes back only after the pointer has left it.
  void hide();
  // Hides the tip and forgets the view it belongs to (the view is going away).
  void reset();
  // The text shown now (empty when none), for tests.
  const NSString& shownText() const;

private:
  struct Overlay;
  void pointerAt(NSPoint base);
  void show();

  NSWindow* m_window;
  StrongRef<NSView> m_view;
  NSInteger m_tag = 0;
  NSPoint m_point;
  StrongRef<NSTimer> m_timer;
  std::unique_ptr<Overlay> m_overlay;
};
}  // namespace cocoa
