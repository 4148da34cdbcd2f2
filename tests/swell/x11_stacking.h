#pragma once

// A test's own look at an X display, apart from GoogleTest, whose names Xlib's macros break.
#include <string>

namespace x11_stacking
{
struct Connection;

Connection* open(const std::string& displayName);  // null when it cannot connect
void close(Connection* connection);
// The highest mapped window directly on the screen, or 0.
unsigned long topmostShown(Connection* connection);
// A mapped window of our own, raised above the others.
unsigned long showCover(Connection* connection);
}  // namespace x11_stacking
