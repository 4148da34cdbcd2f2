#pragma once

#include "platform/foundation/geometry.h"
#include "platform/foundation/run_loop.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cocoa
{
class NSWindow;
class NSCursor;

// What the platform needs from the system it runs on: native windows to show backing
// bitmaps in, input turned into events, the clipboard, the pointer and the screens.
class Backend : public RunLoopInput
{
public:
  virtual const char* name() const = 0;

  // Native windows follow the platform window they stand for.
  virtual void windowShown(NSWindow* window) = 0;
  virtual void windowHidden(NSWindow* window) = 0;
  virtual void windowClosed(NSWindow* window) = 0;
  virtual void windowFrameChanged(NSWindow* window) = 0;
  virtual void windowTitleChanged(NSWindow* window) = 0;
  virtual void windowRaised(NSWindow* window) = 0;
  // The window took the keyboard: where no window manager hands out the input focus (or
  // hands it back when a dialog goes), the display has to be told.
  virtual void windowBecameKey(NSWindow*) {}
  virtual void windowMiniaturized(NSWindow* window) = 0;
  // What the window manager is told about a window changed: the window it stays in front
  // of (transientParent), whether it stays on top (a level above normal), its size limits.
  virtual void windowHintsChanged(NSWindow* window) = 0;
  // Copies these parts of the window's backing bitmap (window pixels, y down) to the screen.
  virtual void present(NSWindow* window, const std::vector<NSRect>& pixelRects) = 0;

  // Screens in Cocoa coordinates; the first is the main screen.
  virtual std::vector<NSRect> screenFrames() const = 0;
  virtual std::vector<NSRect> screenVisibleFrames() const = 0;

  virtual void setClipboardText(const std::string& text) = 0;
  virtual std::optional<std::string> clipboardText() const = 0;

  virtual void setCursor(const NSCursor* cursor) = 0;
  virtual void setCursorVisible(bool visible) = 0;
  // Screen coordinates.
  virtual void warpPointer(NSPoint screenPoint) = 0;
  virtual void setPointerDetached(bool detached) = 0;
  virtual NSPoint mouseLocation() const = 0;
  virtual unsigned long pressedMouseButtons() const = 0;
  virtual unsigned modifierFlags() const = 0;
  // What the key with this USB usage types without modifiers on the layout in use, or 0.
  virtual char32_t layoutCharacter(int hidUsage) const = 0;
};

// The backend in use: the one installed, else `sdl` when a display is there and `headless`
// otherwise; VORNA_BACKEND=headless|sdl forces one.
Backend& platformBackend();
// Installs a backend (replacing the current one) and makes it the run loop's input.
void setPlatformBackend(std::unique_ptr<Backend> backend);
std::unique_ptr<Backend> makeHeadlessBackend();
// Null when the platform was built without SDL or SDL cannot start.
std::unique_ptr<Backend> makeSdlBackend();
}  // namespace cocoa
