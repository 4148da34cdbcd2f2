#include "platform/testing/test_driver.h"

#include "platform/appkit/application.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/timer.h"

namespace cocoa
{
namespace
{
// Loops of the driver that are turning; input posted from inside any loop waits for it
// instead of being dispatched underneath it.
int g_loopDepth = 0;

bool insideSomeLoop()
{
  return g_loopDepth > 0 || NSApp()->modalWindow() || MenuTracker::active() || NSApp()->isRunning();
}
}  // namespace

TestDriver::TestDriver()
{
  auto backend = std::make_unique<HeadlessBackend>();
  m_backend = backend.get();
  m_backend->setEndlessWaitIsFault(true);
  setPlatformBackend(std::move(backend));
  NSApp()->resetForTesting();
  NSPasteboard::resetAllForTesting();
  NSApp()->finishLaunching();
}

TestDriver::~TestDriver()
{
  NSAutoreleasePool pool;
  NSApp()->resetForTesting();
  NSPasteboard::resetAllForTesting();
}

double TestDriver::now() const
{
  return m_backend->clock().now();
}

NSPoint TestDriver::basePoint(NSWindow* window, NSPoint pixel) const
{
  const NSRect content = window->contentRectForFrameRect(window->frame());
  return NSMakePoint(pixel.x, content.size.height - pixel.y);
}

void TestDriver::post(NSEvent* event)
{
  if (!insideSomeLoop())
  {
    NSApp()->postEvent(event, false);
    runFor(0);
    return;
  }
  // Inside a loop the input waits where a display server's would, until the loop takes it.
  StrongRef<NSEvent> queued(event);
  m_backend->queueInput([queued] { NSApp()->postEvent(queued.get(), false); });
}

void TestDriver::postMouse(NSWindow* window, NSEventType type, NSPoint point, unsigned modifiers, int clickCount,
                           unsigned long buttons)
{
  const NSPoint base = basePoint(window, point);
  const NSPoint screen = window->convertBaseToScreen(base);
  const NSPoint previous = m_backend->mouseLocation();
  m_backend->setPointerState(screen, buttons, modifiers);
  NSEventFields fields;
  // The motion since the last event, as a display reports it (y down).
  fields.deltaX = screen.x - previous.x;
  fields.deltaY = previous.y - screen.y;
  fields.type = type;
  fields.window = window;
  fields.locationInWindow = base;
  fields.modifierFlags = modifiers;
  fields.timestamp = now();
  fields.clickCount = clickCount;
  if (type == NSEventTypeRightMouseDown || type == NSEventTypeRightMouseUp || type == NSEventTypeRightMouseDragged)
    fields.buttonNumber = 1;
  if (type == NSEventTypeOtherMouseDown || type == NSEventTypeOtherMouseUp || type == NSEventTypeOtherMouseDragged)
    fields.buttonNumber = 2;
  post(NSEvent::eventWithFields(fields));
}

void TestDriver::mouseDown(NSWindow* window, NSPoint point, Button button, unsigned modifiers, int clickCount)
{
  const NSEventType type = button == left    ? NSEventTypeLeftMouseDown
                           : button == right ? NSEventTypeRightMouseDown
                                             : NSEventTypeOtherMouseDown;
  m_buttons |= 1ul << button;
  postMouse(window, type, point, modifiers, clickCount, m_buttons);
}

void TestDriver::mouseUp(NSWindow* window, NSPoint point, Button button, unsigned modifiers, int clickCount)
{
  const NSEventType type = button == left    ? NSEventTypeLeftMouseUp
                           : button == right ? NSEventTypeRightMouseUp
                                             : NSEventTypeOtherMouseUp;
  m_buttons &= ~(1ul << button);
  postMouse(window, type, point, modifiers, clickCount, m_buttons);
}

void TestDriver::mouseMove(NSWindow* window, NSPoint point, unsigned modifiers)
{
  NSEventType type = NSEventTypeMouseMoved;
  if (m_buttons & 1) type = NSEventTypeLeftMouseDragged;
  else if (m_buttons & 2) type = NSEventTypeRightMouseDragged;
  else if (m_buttons & 4) type = NSEventTypeOtherMouseDragged;
  postMouse(window, type, point, modifiers, 0, m_buttons);
}

void TestDriver::mouseExit(NSWindow* window, NSPoint point)
{
  postMouse(window, NSEventTypeMouseExited, point, 0, 0, m_buttons);
}

void TestDriver::click(NSWindow* window, NSPoint point, Button button, unsigned modifiers)
{
  mouseDown(window, point, button, modifiers, 1);
  mouseUp(window, point, button, modifiers, 1);
}

void TestDriver::doubleClick(NSWindow* window, NSPoint point, unsigned modifiers)
{
  click(window, point, left, modifiers);
  mouseDown(window, point, left, modifiers, 2);
  mouseUp(window, point, left, modifiers, 2);
}

void TestDriver::drag(NSWindow* window, NSPoint from, NSPoint to, int steps, Button button, unsigned modifiers)
{
  mouseDown(window, from, button, modifiers);
  for (int i = 1; i <= steps; ++i)
  {
    const double t = static_cast<double>(i) / steps;
    mouseMove(window, NSMakePoint(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t), modifiers);
  }
  mouseUp(window, to, button, modifiers);
}

void TestDriver::dragFiles(NSWindow* window, const std::vector<std::string>& paths, NSPoint from, NSPoint to,
                           int steps, bool drop)
{
  const std::vector<NSString> files(paths.begin(), paths.end());
  for (int i = 0; i <= steps; ++i)
  {
    const double t = steps > 0 ? static_cast<double>(i) / steps : 1;
    window->backendFilesDragged(files,
                                basePoint(window, NSMakePoint(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t)));
  }
  if (drop) window->backendFilesDropped(files, basePoint(window, to));
  else window->backendDragExited();
  runFor(0);
}

void TestDriver::wheel(NSWindow* window, NSPoint point, double dy, double dx, unsigned modifiers)
{
  NSEventFields fields;
  fields.type = NSEventTypeScrollWheel;
  fields.window = window;
  fields.locationInWindow = basePoint(window, point);
  fields.modifierFlags = modifiers;
  fields.timestamp = now();
  fields.deltaX = dx;
  fields.deltaY = dy;
  post(NSEvent::eventWithFields(fields));
}

void TestDriver::postKey(NSWindow* window, NSEventType type, uint16_t code, unsigned modifiers,
                         const std::string& characters, const std::string& plain)
{
  NSEventFields fields;
  fields.type = type;
  fields.window = window;
  fields.modifierFlags = modifiers;
  fields.timestamp = now();
  fields.keyCode = code;
  fields.characters = NSString(characters);
  fields.charactersIgnoringModifiers = NSString(plain);
  post(NSEvent::eventWithFields(fields));
}

void TestDriver::key(NSWindow* window, uint16_t macKeyCode, unsigned modifiers, const std::string& characters)
{
  std::string plain;
  std::string typed = characters;
  for (int usage = 0; usage < 256; ++usage)
  {
    const std::optional<KeyInfo> info = keyForHidUsage(usage);
    if (!info || info->macKeyCode != macKeyCode) continue;
    plain = keyCharacterString(info->unshifted).str();
    if (typed.empty())
      typed = keyCharacterString((modifiers & NSEventModifierFlagShift) ? info->shifted : info->unshifted).str();
    break;
  }
  postKey(window, NSEventTypeKeyDown, macKeyCode, modifiers, typed, plain);
  postKey(window, NSEventTypeKeyUp, macKeyCode, modifiers, typed, plain);
}

void TestDriver::type(NSWindow* window, const std::string& text)
{
  std::u32string characters;
  if (!decodeUtf8(text, &characters)) return;
  for (char32_t c : characters)
  {
    bool shift = false;
    const std::optional<KeyInfo> info = keyForCharacter(c, &shift);
    const std::string typed = keyCharacterString(c).str();
    if (!info)
    {
      NSEventFields fields;
      fields.type = NSEventTypeTextInput;
      fields.window = window;
      fields.timestamp = now();
      fields.characters = NSString(typed);
      post(NSEvent::eventWithFields(fields));
      continue;
    }
    key(window, info->macKeyCode, shift ? unsigned(NSEventModifierFlagShift) : 0u, typed);
  }
}

void TestDriver::runFor(double seconds)
{
  ++g_loopDepth;
  NSApplication* app = NSApp();
  const double until = now() + seconds;
  for (;;)
  {
    NSAutoreleasePool pool;
    NSEvent* event = app->nextEventMatchingMask(NSEventMaskAny, until, true);
    if (!event)
    {
      if (now() >= until) break;
      continue;
    }
    app->sendEvent(event);
  }
  // Whatever became due at the last moment, and the drawing the loop does before sleeping.
  NSRunLoop::currentRunLoop()->runOnce(now());
  app->updateWindows();
  --g_loopDepth;
}

void TestDriver::at(double time, std::function<void()> action)
{
  NSTimer* timer = NSTimer::timerWithTimeInterval(1, false, [action = std::move(action)](NSTimer*) { action(); });
  timer->setFireDate(time);
  NSRunLoop::currentRunLoop()->addTimer(timer);
}

bool TestDriver::snapshot(NSWindow* window, const std::string& path) const
{
  NSApp()->updateWindows();
  return writeWindowSnapshot(window, path);
}
}  // namespace cocoa
