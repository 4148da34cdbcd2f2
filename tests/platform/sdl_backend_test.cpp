// The SDL backend's own translation without a display: SDL's dummy video driver gives
// native windows with no screen, and the tests push the events a display would.
#include "platform/appkit/application.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
class TypingView : public NSView
{
public:
  using NSView::NSView;
  std::vector<std::string> seen;
  bool acceptsFirstResponder() override { return true; }
  bool acceptsFirstMouse(NSEvent*) override { return true; }
  void keyDown(NSEvent* event) override { seen.push_back("key " + event->characters().str()); }
  void insertText(const NSString& text) override { seen.push_back("text " + text.str()); }
  void mouseDown(NSEvent*) override { seen.push_back("click"); }
  void mouseMoved(NSEvent* event) override
  {
    seen.push_back("moved " + std::to_string(int(event->deltaX())) + " " + std::to_string(int(event->deltaY())));
  }
  void magnifyWithEvent(NSEvent* event) override
  {
    seen.push_back("magnify " + std::to_string(int(std::lround(event->magnification() * 100))) + "%");
  }
  void rotateWithEvent(NSEvent* event) override { seen.push_back("rotate " + std::to_string(std::lround(event->rotation()))); }
  void mouseExited(NSEvent*) override { seen.push_back("exited"); }
};

SDL_Window* nativeTitled(const std::string& title)
{
  for (Uint32 id = 1; id < 1024; ++id)
    if (SDL_Window* native = SDL_GetWindowFromID(id); native && title == SDL_GetWindowTitle(native)) return native;
  return nullptr;
}

// A shown window whose typing view has the keyboard; `id` is its native window's.
NSWindow* makeWindow(const std::string& title, TypingView** view, Uint32* id, unsigned style = NSWindowStyleMaskTitled)
{
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, 200, 100), style);
  window->setTitle(title);
  *view = new TypingView(NSMakeRect(0, 0, 200, 100));
  window->contentView()->addSubview(*view);
  (*view)->release();
  window->makeKeyAndOrderFront(nullptr);
  window->makeFirstResponder(*view);
  *id = SDL_GetWindowID(nativeTitled(title));
  return window;
}

void pushKey(Uint32 window, SDL_Scancode scancode)
{
  SDL_Event e = {};
  e.key = {SDL_KEYDOWN, 0, window, SDL_PRESSED, 0, 0, 0, {scancode, SDL_GetKeyFromScancode(scancode), 0, 0}};
  SDL_PushEvent(&e);
}

void pushText(Uint32 window, const char* text)
{
  SDL_Event e = {};
  e.text.type = SDL_TEXTINPUT;
  e.text.windowID = window;
  std::strncpy(e.text.text, text, sizeof e.text.text - 1);
  SDL_PushEvent(&e);
}

void pushWindowEvent(Uint32 window, Uint8 what, int data1 = 0, int data2 = 0)
{
  SDL_Event e = {};
  e.window = {SDL_WINDOWEVENT, 0, window, what, 0, 0, 0, data1, data2};
  SDL_PushEvent(&e);
}

void pushClick(Uint32 window)
{
  SDL_Event e = {};
  e.button = {SDL_MOUSEBUTTONDOWN, 0, window, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, 50, 50};
  SDL_PushEvent(&e);
}

// Takes what the display queued and dispatches it, as one pass of the loop does.
void deliver()
{
  NSAutoreleasePool pool;
  NSRunLoop* loop = NSRunLoop::currentRunLoop();
  loop->runOnce(loop->now());
  while (NSEvent* event = NSApp()->nextEventMatchingMask(NSEventMaskAny, loop->now(), true)) NSApp()->sendEvent(event);
}

class SdlBackend : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::unique_ptr<Backend> backend = makeSdlBackend();
    ASSERT_NE(backend, nullptr) << SDL_GetError();
    setPlatformBackend(std::move(backend));
  }
  void SetUp() override
  {
    NSApp()->resetForTesting();
    NSApp()->finishLaunching();
  }
  void TearDown() override
  {
    NSAutoreleasePool pool;
    NSApp()->resetForTesting();
  }
};
}  // namespace

TEST_F(SdlBackend, KeysTakeOnlyTheTextRightBehindThemAndOtherTextArrivesAsText)
{
  TypingView* view = nullptr;
  Uint32 id = 0;
  NSWindow* window = makeWindow("keys", &view, &id);
  // Queued up: a key that types nothing must not take the next key's text.
  pushKey(id, SDL_SCANCODE_F5);
  pushKey(id, SDL_SCANCODE_B);
  pushText(id, "b");
  // Text with no key right in front of it: an input method's or compose key's commit.
  pushText(id, "é€中Ж");
  pushClick(id);
  pushText(id, "ü");
  deliver();
  const std::string f5 = keyCharacterString(NSF1FunctionKey + 4).str();
  EXPECT_EQ(view->seen, (std::vector<std::string>{"key " + f5, "key b", "text é€中Ж", "click", "text ü"}));
  window->close();
}

TEST_F(SdlBackend, DuringAModalRunRequestsForOtherWindowsAreRefused)
{
  TypingView *behindView = nullptr, *dialogView = nullptr;
  Uint32 behindId = 0, dialogId = 0;
  StrongRef<NSWindow> behind(makeWindow("behind", &behindView, &behindId));
  NSWindow* dialog = makeWindow("dialog", &dialogView, &dialogId);
  const NSRect behindFrame = behind->frame();
  NSModalSession session = NSApp()->beginModalSessionForWindow(dialog);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_CLOSE);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_MOVED, 300, 300);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_SIZE_CHANGED, 400, 300);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_FOCUS_GAINED);
  pushClick(behindId);
  pushKey(behindId, SDL_SCANCODE_X);
  pushClick(dialogId);
  EXPECT_EQ(NSApp()->runModalSession(session), NSModalResponseContinue);
  EXPECT_TRUE(behind->isVisible());
  EXPECT_EQ(behind->frame(), behindFrame);
  EXPECT_TRUE(behindView->seen.empty());
  EXPECT_TRUE(dialog->isKeyWindow());
  EXPECT_EQ(dialogView->seen, std::vector<std::string>{"click"});
  pushWindowEvent(dialogId, SDL_WINDOWEVENT_CLOSE);
  NSApp()->runModalSession(session);
  EXPECT_FALSE(dialog->isVisible());
  NSApp()->endModalSession(session);
  // With the run over, the same request closes the window behind.
  pushWindowEvent(behindId, SDL_WINDOWEVENT_CLOSE);
  deliver();
  EXPECT_FALSE(behind->isVisible());
}

TEST_F(SdlBackend, MotionCarriesItsDeltasGesturesReachTheViewUnderThePointerAndLeavingIsReported)
{
  TypingView* view = nullptr;
  Uint32 id = 0;
  NSWindow* window = makeWindow("gestures", &view, &id);
  window->setAcceptsMouseMovedEvents(true);
  SDL_Event e = {};
  e.motion = {SDL_MOUSEMOTION, 0, id, 0, 0, 40, 30, 3, -2};  // relative mode reports motion as well
  SDL_PushEvent(&e);
  e = {};
  e.mgesture = {SDL_MULTIGESTURE, 0, 1, float(M_PI / 6), 0.25f, 0.5f, 0.5f, 2, 0};
  SDL_PushEvent(&e);
  pushWindowEvent(id, SDL_WINDOWEVENT_LEAVE);
  deliver();
  EXPECT_EQ(view->seen, (std::vector<std::string>{"moved 3 -2", "magnify 25%", "rotate 30", "exited"}));
  window->close();
}

TEST_F(SdlBackend, SizeLimitsReachTheWindowManagerWhenTheyChange)
{
  TypingView* view = nullptr;
  Uint32 id = 0;
  NSWindow* window = makeWindow("limits", &view, &id, NSWindowStyleMaskTitled | NSWindowStyleMaskResizable);
  window->setMinSize(NSMakeSize(120, 80));
  window->setMaxSize(NSMakeSize(640, 480));
  int minW = 0, minH = 0, maxW = 0, maxH = 0;
  SDL_GetWindowMinimumSize(SDL_GetWindowFromID(id), &minW, &minH);
  SDL_GetWindowMaximumSize(SDL_GetWindowFromID(id), &maxW, &maxH);
  EXPECT_EQ((std::vector<int>{minW, minH, maxW, maxH}), (std::vector<int>{120, 80, 640, 480}));
  window->close();
}
