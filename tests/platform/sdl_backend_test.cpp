// The SDL backend's own translation, without a display: SDL's dummy video driver gives
// real native windows with no screen, and the tests push the events a display would.
#include "platform/appkit/application.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/run_loop.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
// Notes the keys and text that reach it.
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
};

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
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  void TearDown() override
  {
    NSAutoreleasePool pool;
    NSApp()->resetForTesting();
  }

  // A shown window with a typing view that has the keyboard; `id` is its native window.
  NSWindow* makeWindow(const std::string& title, TypingView** view, Uint32* id)
  {
    NSWindow* window = new NSWindow(NSMakeRect(100, 100, 200, 100), NSWindowStyleMaskTitled);
    window->setTitle(title);
    *view = new TypingView(NSMakeRect(0, 0, 200, 100));
    window->contentView()->addSubview(*view);
    (*view)->release();
    window->makeKeyAndOrderFront(nullptr);
    window->makeFirstResponder(*view);
    SDL_Window* native = nativeWindowTitled(title);
    *id = native ? SDL_GetWindowID(native) : 0;
    EXPECT_NE(*id, 0u) << "no native window titled " << title;
    return window;
  }

  static SDL_Window* nativeWindowTitled(const std::string& title)
  {
    for (Uint32 id = 1; id < 1024; ++id)
      if (SDL_Window* native = SDL_GetWindowFromID(id); native && title == SDL_GetWindowTitle(native)) return native;
    return nullptr;
  }

  // What a display would have queued, taken and dispatched as one pass of the loop does.
  void deliver()
  {
    NSAutoreleasePool pool;
    NSRunLoop* loop = NSRunLoop::currentRunLoop();
    loop->runOnce(loop->now());
    while (NSEvent* event = NSApp()->nextEventMatchingMask(NSEventMaskAny, loop->now(), true)) NSApp()->sendEvent(event);
  }

  static void pushKey(Uint32 window, SDL_Scancode scancode)
  {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.windowID = window;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    SDL_PushEvent(&event);
  }

  static void pushText(Uint32 window, const char* text)
  {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = window;
    std::strncpy(event.text.text, text, sizeof event.text.text - 1);
    SDL_PushEvent(&event);
  }

  static void pushWindowEvent(Uint32 window, Uint8 what, int data1 = 0, int data2 = 0)
  {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
  }

  static void pushClick(Uint32 window)
  {
    SDL_Event event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = window;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.clicks = 1;
    event.button.x = 50;
    event.button.y = 50;
    SDL_PushEvent(&event);
  }
};
}  // namespace

TEST_F(SdlBackend, KeysTakeOnlyTheTextRightBehindThemAndOtherTextArrivesAsText)
{
  TypingView* view = nullptr;
  Uint32 id = 0;
  NSWindow* window = makeWindow("keys", &view, &id);

  pushKey(id, SDL_SCANCODE_A);
  pushText(id, "a");
  deliver();
  EXPECT_EQ(view->seen, std::vector<std::string>{"key a"});

  // Queued up: a key that types nothing must not take the next key's text.
  view->seen.clear();
  pushKey(id, SDL_SCANCODE_F5);
  pushKey(id, SDL_SCANCODE_B);
  pushText(id, "b");
  deliver();
  const std::string f5 = keyCharacterString(NSF1FunctionKey + 4).str();
  EXPECT_EQ(view->seen, (std::vector<std::string>{"key " + f5, "key b"}));

  // Text with no key in front of it: a compose key's or input method's commit.
  view->seen.clear();
  pushText(id, "é€中Ж");
  pushClick(id);
  pushText(id, "ü");
  deliver();
  EXPECT_EQ(view->seen, (std::vector<std::string>{"text é€中Ж", "click", "text ü"}));
  window->close();
}

TEST_F(SdlBackend, DuringAModalRunRequestsForOtherWindowsAreRefused)
{
  TypingView* behindView = nullptr;
  Uint32 behindId = 0;
  NSWindow* behind = makeWindow("behind", &behindView, &behindId);
  TypingView* dialogView = nullptr;
  Uint32 dialogId = 0;
  NSWindow* dialog = makeWindow("dialog", &dialogView, &dialogId);
  StrongRef<NSWindow> keepBehind(behind);
  const NSRect behindFrame = behind->frame();

  NSModalSession session = NSApp()->beginModalSessionForWindow(dialog);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_CLOSE);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_MOVED, 300, 300);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_SIZE_CHANGED, 400, 300);
  pushWindowEvent(behindId, SDL_WINDOWEVENT_FOCUS_GAINED);
  pushClick(behindId);
  pushKey(behindId, SDL_SCANCODE_X);
  pushText(behindId, "x");
  pushClick(dialogId);
  EXPECT_EQ(NSApp()->runModalSession(session), NSModalResponseContinue);
  EXPECT_TRUE(behind->isVisible());
  EXPECT_EQ(behind->frame(), behindFrame);
  EXPECT_TRUE(behindView->seen.empty());
  EXPECT_TRUE(dialog->isKeyWindow());
  EXPECT_EQ(dialogView->seen, std::vector<std::string>{"click"});

  // The modal window itself may be closed by the window manager.
  pushWindowEvent(dialogId, SDL_WINDOWEVENT_CLOSE);
  NSApp()->runModalSession(session);
  EXPECT_FALSE(dialog->isVisible());
  NSApp()->endModalSession(session);

  // With the run over, the same request closes the window behind.
  pushWindowEvent(behindId, SDL_WINDOWEVENT_CLOSE);
  deliver();
  EXPECT_FALSE(behind->isVisible());
}

TEST_F(SdlBackend, SizeLimitsReachTheWindowManagerWhenTheyChange)
{
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, 300, 200), NSWindowStyleMaskTitled | NSWindowStyleMaskResizable);
  window->setTitle("limits");
  window->orderFront(nullptr);
  SDL_Window* native = nativeWindowTitled("limits");
  ASSERT_NE(native, nullptr);
  window->setMinSize(NSMakeSize(120, 80));
  window->setMaxSize(NSMakeSize(640, 480));
  int w = 0, h = 0;
  SDL_GetWindowMinimumSize(native, &w, &h);
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 80);
  SDL_GetWindowMaximumSize(native, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  window->close();
}
