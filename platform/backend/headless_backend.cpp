#include "platform/backend/headless_backend.h"

#include "platform/appkit/keys.h"
#include "platform/appkit/window.h"

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace cocoa
{
namespace
{
constexpr NSRect kScreen{{0, 0}, {1920, 1080}};
// The visible frame leaves room for a desktop panel at the top.
constexpr double kPanelHeight = 28;
// How long an idle headless program sleeps between looks at its quit flag.
constexpr useconds_t kIdleSleepMicroseconds = 100000;
}  // namespace

bool HeadlessBackend::waitForInput(double seconds)
{
  if (!m_pendingInput.empty())
  {
    std::vector<std::function<void()>> deliveries;
    deliveries.swap(m_pendingInput);
    for (auto& deliver : deliveries) deliver();
    return true;
  }
  if (seconds <= 0) return false;
  if (seconds >= kDistantFuture)
  {
    if (m_endlessWaitIsFault)
    {
      std::fprintf(stderr, "headless: the run loop waits for input with nothing scheduled; it would never return\n");
      std::abort();
    }
    usleep(kIdleSleepMicroseconds);
    return false;
  }
  m_clock.advanceBy(seconds);
  return false;
}

char32_t HeadlessBackend::layoutCharacter(int hidUsage) const
{
  const std::optional<KeyInfo> key = keyForHidUsage(hidUsage);
  return key && key->unshifted < 0xF700 ? key->unshifted : 0;
}

std::vector<NSRect> HeadlessBackend::screenFrames() const
{
  return {kScreen};
}

std::vector<NSRect> HeadlessBackend::screenVisibleFrames() const
{
  return {NSMakeRect(0, 0, kScreen.size.width, kScreen.size.height - kPanelHeight)};
}

std::unique_ptr<Backend> makeHeadlessBackend()
{
  return std::make_unique<HeadlessBackend>();
}

bool writeWindowSnapshot(const NSWindow* window, const std::string& path)
{
  if (!window) return false;
  const BackingBitmap& backing = window->backing();
  if (!backing.pixels()) return false;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(backing.pixels()), CAIRO_FORMAT_RGB24, backing.width(), backing.height(),
      static_cast<int>(backing.bytesPerRow()));
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}
}  // namespace cocoa
