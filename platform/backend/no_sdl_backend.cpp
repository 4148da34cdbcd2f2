#include "platform/backend/backend.h"

namespace cocoa
{
// Built without SDL: only the headless backend exists.
std::unique_ptr<Backend> makeSdlBackend()
{
  return nullptr;
}
}  // namespace cocoa
