#pragma once

// A test's own look at an X display, kept apart from GoogleTest, whose names Xlib's
// macros would break.
#include <string>

namespace x11_stacking
{
struct Connection;

// Waits up to `ms` for the display to accept connections; null if it never does.
Connection* openWithin(const std::string& displayName, int ms);
void close(Connection* connection);
// The highest mapped window directly on the screen, or 0.
unsigned long topmostShown(Connection* connection);
// A mapped window of our own, raised above the others.
unsigned long showCover(Connection* connection);
}  // namespace x11_stacking
