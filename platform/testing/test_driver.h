#pragma once

#include "platform/appkit/event.h"
#include "platform/backend/headless_backend.h"
#include "platform/foundation/geometry.h"

#include <functional>
#include <string>
#include <vector>

namespace cocoa
{
class NSWindow;

// Drives the platform in tests: installs the headless backend with its virtual clock,
// turns scripted input into events, runs the loop for virtual time and takes snapshots.
// Points are window pixels: from the top-left corner of the content, y down, as in a
// snapshot of the content; a negative y reaches into the title strip.
//
// Input given while no loop of the system is running is handled at once; input given
// from inside one (an action run by `at` during a modal run or menu tracking) waits in the
// backend until that loop takes input.
class TestDriver
{
public:
  enum Button
  {
    left,
    right,
    middle,
  };

  TestDriver();
  ~TestDriver();
  TestDriver(const TestDriver&) = delete;
  TestDriver& operator=(const TestDriver&) = delete;

  HeadlessBackend& backend() { return *m_backend; }
  double now() const;

  void mouseDown(NSWindow* window, NSPoint point, Button button = left, unsigned modifiers = 0, int clickCount = 1);
  void mouseUp(NSWindow* window, NSPoint point, Button button = left, unsigned modifiers = 0, int clickCount = 1);
  void mouseMove(NSWindow* window, NSPoint point, unsigned modifiers = 0);
  // The pointer leaves the window for `point` outside it, as a display server reports it.
  void mouseExit(NSWindow* window, NSPoint point);
  void click(NSWindow* window, NSPoint point, Button button = left, unsigned modifiers = 0);
  void doubleClick(NSWindow* window, NSPoint point, unsigned modifiers = 0);
  // Press at `from`, `steps` drag events along the line, release at `to`.
  void drag(NSWindow* window, NSPoint from, NSPoint to, int steps = 4, Button button = left, unsigned modifiers = 0);
  // Files dragged from the desktop: over `from`, then `steps` moves along the line to `to`,
  // where they are dropped, or (drop false) from where they leave the window.
  void dragFiles(NSWindow* window, const std::vector<std::string>& paths, NSPoint from, NSPoint to, int steps = 4,
                 bool drop = true);
  // Positive dy scrolls up.
  void wheel(NSWindow* window, NSPoint point, double dy, double dx = 0, unsigned modifiers = 0);
  // One key by Mac key code, down then up, typing `characters` (empty: what the key types
  // on a US layout).
  void key(NSWindow* window, uint16_t macKeyCode, unsigned modifiers = 0, const std::string& characters = "");
  // Types UTF-8 text key by key on a US layout; characters with no key arrive as text
  // input (insertText), as an input method's would.
  void type(NSWindow* window, const std::string& text);

  void runFor(double seconds);
  void runUntilIdle() { runFor(0); }
  // Runs the action when the virtual clock reaches the time (in any loop).
  void at(double time, std::function<void()> action);
  bool snapshot(NSWindow* window, const std::string& path) const;

private:
  void post(NSEvent* event);
  NSPoint basePoint(NSWindow* window, NSPoint pixel) const;
  void postMouse(NSWindow* window, NSEventType type, NSPoint point, unsigned modifiers, int clickCount,
                 unsigned long buttons);
  void postKey(NSWindow* window, NSEventType type, uint16_t code, unsigned modifiers, const std::string& characters,
               const std::string& plain);

  HeadlessBackend* m_backend;
  unsigned long m_buttons = 0;
};
}  // namespace cocoa
