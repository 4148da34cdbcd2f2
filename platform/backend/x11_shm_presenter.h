#pragma once

#include "platform/foundation/geometry.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace cocoa
{
// Copies window pixels to X11 windows through shared memory without waiting for the X
// server: the next presentation to the same window waits for the previous one instead,
// which by then has long finished. It talks to the server on a connection of its own so
// that its completion events never mix with SDL's. Only for servers whose visual holds
// XRGB words as the backing bitmaps do; otherwise create() answers null.
class X11ShmPresenter
{
public:
  static std::unique_ptr<X11ShmPresenter> create();
  ~X11ShmPresenter();

  // False when this window cannot be presented here (the caller presents another way).
  bool present(unsigned long xWindow, const uint32_t* pixels, int width, int height, size_t bytesPerRow,
               const std::vector<NSRect>& pixelRects);
  // Before the window goes: waits for what is still being copied and frees its memory.
  void forget(unsigned long xWindow);

private:
  struct Target;
  X11ShmPresenter() = default;
  Target* targetFor(unsigned long xWindow, int width, int height);
  void release(Target& target);
  void waitForCompletion(Target& target);

  void* m_display = nullptr;
  int m_completionType = 0;
  std::map<unsigned long, std::unique_ptr<Target>> m_targets;
};
}  // namespace cocoa
