// Reads what an X display shows: prints the colour at a screen position as RRGGBB and,
// when a file is named, writes the whole screen there as a PNG. The display check of the
// demo uses it to see what reached the screen, not what the program believes it drew.
//
//   x11-screen-probe X Y [screenshot.png]

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
  if (argc < 3)
  {
    std::fprintf(stderr, "usage: x11-screen-probe X Y [screenshot.png]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display)
  {
    std::fprintf(stderr, "x11-screen-probe: cannot open the display\n");
    return 1;
  }
  const int x = std::atoi(argv[1]);
  const int y = std::atoi(argv[2]);
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  if (x < 0 || y < 0 || x >= attributes.width || y >= attributes.height)
  {
    std::fprintf(stderr, "x11-screen-probe: %d,%d is off the screen\n", x, y);
    XCloseDisplay(display);
    return 1;
  }
  XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image)
  {
    XCloseDisplay(display);
    return 1;
  }
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  std::printf("%06lX\n", pixel & 0xFFFFFF);

  if (argc > 3)
  {
    cairo_surface_t* screen = cairo_xlib_surface_create(display, root, attributes.visual, attributes.width,
                                                        attributes.height);
    if (cairo_surface_write_to_png(screen, argv[3]) != CAIRO_STATUS_SUCCESS)
      std::fprintf(stderr, "x11-screen-probe: cannot write %s\n", argv[3]);
    cairo_surface_destroy(screen);
  }
  XCloseDisplay(display);
  return 0;
}
