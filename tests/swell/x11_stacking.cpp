#include "x11_stacking.h"

#include <X11/Xlib.h>

namespace x11_stacking
{
struct Connection
{
  Display* display;
};

Connection* open(const std::string& displayName)
{
  Display* display = XOpenDisplay(displayName.c_str());
  return display ? new Connection{display} : nullptr;
}

void close(Connection* connection)
{
  XCloseDisplay(connection->display);
  delete connection;
}

unsigned long topmostShown(Connection* connection)
{
  Display* display = connection->display;
  XSync(display, False);
  Window root = None, parent = None, top = None;
  Window* children = nullptr;
  unsigned count = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned i = 0; i < count; ++i)  // bottom to top
  {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) top = children[i];
  }
  if (children) XFree(children);
  return top;
}

unsigned long showCover(Connection* connection)
{
  Display* display = connection->display;
  const Window cover = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 600, 0, 0, 0);
  XMapRaised(display, cover);
  return cover;
}
}  // namespace x11_stacking
