#include "menu_test_window.h"

#include "platform/appkit/window.h"

using namespace cocoa;

namespace
{
int g_releaseCaptureCount = 0;
}  // namespace

std::vector<SentMessage>& sentMessages()
{
  static std::vector<SentMessage> messages;
  return messages;
}

int releaseCaptureCount()
{
  return g_releaseCaptureCount;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  sentMessages().push_back({hwnd, msg, wParam, lParam});
  auto* object = reinterpret_cast<NSObject*>(hwnd);
  if (auto* window = dynamic_cast<NSWindow*>(object)) object = window->contentView();
  auto* view = dynamic_cast<MenuTestView*>(object);
  return view && view->handler ? view->handler(msg, wParam, lParam) : 0;
}

void ReleaseCapture()
{
  ++g_releaseCaptureCount;
}
