#include "platform/appkit/running_application.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace cocoa
{
namespace
{
// Window managers put a program's window inside a frame, sometimes inside two.
constexpr int kFrameDepth = 2;

int ignoreError(Display*, XErrorEvent*)
{
  return 0;
}

// Windows may vanish while we look at them: their errors are expected, not fatal.
class ConnectionIgnoringErrors
{
public:
  ConnectionIgnoringErrors() : m_display(XOpenDisplay(nullptr))
  {
    if (m_display) m_previous = XSetErrorHandler(ignoreError);
  }
  ~ConnectionIgnoringErrors()
  {
    if (!m_display) return;
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
    XCloseDisplay(m_display);
  }
  ConnectionIgnoringErrors(const ConnectionIgnoringErrors&) = delete;
  ConnectionIgnoringErrors& operator=(const ConnectionIgnoringErrors&) = delete;

  Display* display() const { return m_display; }

private:
  Display* m_display;
  XErrorHandler m_previous = nullptr;
};

bool belongsTo(Display* display, Window window, Atom pidAtom, pid_t pid)
{
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) !=
      Success)
    return false;
  const bool matches = data && format == 32 && count == 1 && *reinterpret_cast<unsigned long*>(data) == (unsigned long)pid;
  if (data) XFree(data);
  return matches;
}

// The window of the process at or below `window`, or None.
Window findClient(Display* display, Window window, Atom pidAtom, pid_t pid, int depth)
{
  if (belongsTo(display, window, pidAtom, pid)) return window;
  if (depth == kFrameDepth) return None;
  Window root = None, parent = None;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return None;
  Window found = None;
  for (unsigned i = 0; i < count && found == None; ++i) found = findClient(display, children[i], pidAtom, pid, depth + 1);
  if (children) XFree(children);
  return found;
}
}  // namespace

NSRunningApplication* NSRunningApplication::runningApplicationWithProcessIdentifier(pid_t pid)
{
  if (pid <= 0) return nullptr;
  ConnectionIgnoringErrors connection;
  Display* display = connection.display();
  if (!display) return nullptr;
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  if (pidAtom == None) return nullptr;  // no program has ever said whose its window is

  Window root = None, parent = None;
  Window* topLevels = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &topLevels, &count)) return nullptr;
  std::vector<ShownWindow> shown;
  for (unsigned i = 0; i < count; ++i)
  {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, topLevels[i], &attributes) || attributes.map_state != IsViewable) continue;
    const Window client = findClient(display, topLevels[i], pidAtom, pid, 0);
    if (client != None) shown.push_back({topLevels[i], client});
  }
  if (topLevels) XFree(topLevels);
  if (shown.empty()) return nullptr;
  auto* application = new NSRunningApplication(pid, std::move(shown));
  application->autorelease();
  return application;
}

bool NSRunningApplication::activate()
{
  ConnectionIgnoringErrors connection;
  Display* display = connection.display();
  if (!display) return false;
  const Window root = DefaultRootWindow(display);
  const Atom activeWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  for (const ShownWindow& window : m_windows)
  {
    // Without a window manager raising is all there is; with one, it is asked to focus
    // the window as a pager would (source 2), which it honours.
    XRaiseWindow(display, window.topLevel);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window.client;
    request.xclient.message_type = activeWindow;
    request.xclient.format = 32;
    request.xclient.data.l[0] = 2;
    request.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  }
  return true;
}
}  // namespace cocoa
