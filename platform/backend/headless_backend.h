#pragma once

#include "platform/backend/backend.h"

#include <functional>
#include <string>
#include <vector>

namespace cocoa
{
// No display: time is virtual and moves only while the run loop waits, input comes from
// scripts (see TestDriver), window contents stay in their backing bitmaps.
class HeadlessBackend : public Backend
{
public:
  const char* name() const override { return "headless"; }
  const Clock& clock() const override { return m_clock; }
  // Hands over the queued input first; with none, jumps the clock to the end of the wait.
  // Waiting without limit, with nothing scheduled, sleeps a little in real time (a quit
  // signal may come); in tests it would never end and is reported as the fault it is.
  bool waitForInput(double seconds) override;
  // Input that reaches the application the next time the run loop takes input, as a
  // display server's queue would hold it: scripted events, window-manager requests.
  void queueInput(std::function<void()> delivery) { m_pendingInput.push_back(std::move(delivery)); }
  void setEndlessWaitIsFault(bool fault) { m_endlessWaitIsFault = fault; }

  void windowShown(NSWindow*) override {}
  void windowHidden(NSWindow*) override {}
  void windowClosed(NSWindow*) override {}
  void windowFrameChanged(NSWindow*) override {}
  void windowTitleChanged(NSWindow*) override {}
  void windowRaised(NSWindow*) override {}
  void windowMiniaturized(NSWindow*) override {}
  void windowHintsChanged(NSWindow*) override {}
  void present(NSWindow*, const std::vector<NSRect>&) override {}

  std::vector<NSRect> screenFrames() const override;
  std::vector<NSRect> screenVisibleFrames() const override;

  void setClipboardText(const std::string& text) override { m_clipboard = text; }
  std::optional<std::string> clipboardText() const override { return m_clipboard; }

  void setCursor(const NSCursor* cursor) override { m_cursor = cursor; }
  void setCursorVisible(bool visible) override { m_cursorVisible = visible; }
  void warpPointer(NSPoint screenPoint) override { m_mouse = screenPoint; }
  void setPointerDetached(bool detached) override { m_pointerDetached = detached; }
  NSPoint mouseLocation() const override { return m_mouse; }
  unsigned long pressedMouseButtons() const override { return m_buttons; }
  unsigned modifierFlags() const override { return m_modifiers; }
  // The US layout.
  char32_t layoutCharacter(int hidUsage) const override;

  // What scripts and tests set and read.
  VirtualClock& virtualClock() { return m_clock; }
  void setPointerState(NSPoint screenPoint, unsigned long buttons, unsigned modifiers)
  {
    m_mouse = screenPoint;
    m_buttons = buttons;
    m_modifiers = modifiers;
  }
  const NSCursor* cursor() const { return m_cursor; }
  bool cursorVisible() const { return m_cursorVisible; }
  bool pointerDetached() const { return m_pointerDetached; }

private:
  VirtualClock m_clock;
  std::optional<std::string> m_clipboard;
  const NSCursor* m_cursor = nullptr;
  bool m_cursorVisible = true;
  bool m_pointerDetached = false;
  NSPoint m_mouse;
  unsigned long m_buttons = 0;
  unsigned m_modifiers = 0;
  bool m_endlessWaitIsFault = false;
  std::vector<std::function<void()>> m_pendingInput;
};

// Writes a window's backing bitmap (title strip included) as a PNG file.
bool writeWindowSnapshot(const NSWindow* window, const std::string& path);
}  // namespace cocoa
