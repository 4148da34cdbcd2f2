#include "platform/backend/backend.h"

#include "platform/foundation/run_loop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cocoa
{
namespace
{
std::unique_ptr<Backend>& installed()
{
  static auto* backend = new std::unique_ptr<Backend>;
  return *backend;
}

std::unique_ptr<Backend> chooseBackend()
{
  const char* forced = std::getenv("VORNA_BACKEND");
  if (forced && std::strcmp(forced, "headless") == 0) return makeHeadlessBackend();
  const bool wantSdl = (forced && std::strcmp(forced, "sdl") == 0) || std::getenv("DISPLAY") ||
                       std::getenv("WAYLAND_DISPLAY");
  if (wantSdl)
  {
    if (auto sdl = makeSdlBackend()) return sdl;
    std::fprintf(stderr, "platform: no display could be opened; running headless\n");
  }
  return makeHeadlessBackend();
}
}  // namespace

Backend& platformBackend()
{
  if (!installed()) setPlatformBackend(chooseBackend());
  return *installed();
}

void setPlatformBackend(std::unique_ptr<Backend> backend)
{
  installed() = std::move(backend);
  NSRunLoop::currentRunLoop()->setInput(installed().get());
}
}  // namespace cocoa
