#include "platform/backend/backend.h"

#include "platform/appkit/application.h"
#include "platform/appkit/cursor.h"
#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/window.h"
#include "platform/backend/x11_errors.h"
#include "platform/backend/x11_shm_presenter.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace cocoa
{
namespace
{
// The longest the backend sleeps at once, so that a quit signal is noticed quickly.
constexpr int kLongestWaitMs = 100;

class SdlBackend : public Backend
{
public:
  ~SdlBackend() override;
  bool start();
  bool startVideo();

  const char* name() const override { return "sdl"; }
  const Clock& clock() const override { return m_clock; }
  bool waitForInput(double seconds) override;

  void windowShown(NSWindow* window) override;
  void windowHidden(NSWindow* window) override;
  void windowClosed(NSWindow* window) override;
  void windowFrameChanged(NSWindow* window) override;
  void windowTitleChanged(NSWindow* window) override;
  void windowRaised(NSWindow* window) override;
  void windowBecameKey(NSWindow* window) override;
  void windowMiniaturized(NSWindow* window) override;
  void windowHintsChanged(NSWindow* window) override;
  void present(NSWindow* window, const std::vector<NSRect>& pixelRects) override;

  std::vector<NSRect> screenFrames() const override;
  std::vector<NSRect> screenVisibleFrames() const override;
  void setClipboardText(const std::string& text) override { SDL_SetClipboardText(text.c_str()); }
  std::optional<std::string> clipboardText() const override;
  void setCursor(const NSCursor* cursor) override;
  void setCursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }
  void warpPointer(NSPoint point) override;
  void setPointerDetached(bool detached) override { SDL_SetRelativeMouseMode(detached ? SDL_TRUE : SDL_FALSE); }
  NSPoint mouseLocation() const override;
  unsigned long pressedMouseButtons() const override;
  unsigned modifierFlags() const override { return modifiersFrom(SDL_GetModState()); }
  char32_t layoutCharacter(int hidUsage) const override;

private:
  struct Native
  {
    SDL_Window* window = nullptr;
    unsigned long x11Window = 0;  // when the window lives on an X server
    SDL_Surface* source = nullptr;  // wraps the backing bitmap, no copy
    const void* sourcePixels = nullptr;
  };

  static unsigned modifiersFrom(Uint16 mod);
  double mainScreenHeight() const;
  Native* nativeFor(NSWindow* window, bool create);
  NSWindow* windowFor(Uint32 id) const;
  NSPoint sdlPositionFor(const NSWindow* window) const;
  void handle(const SDL_Event& event);
  void postMouse(NSWindow* window, NSEventType type, int x, int y, int clicks, unsigned buttonNumber, int dx = 0,
                 int dy = 0);
  void postGesture(const SDL_MultiGestureEvent& gesture);
  void postKey(const SDL_KeyboardEvent& key);
  void postText(const SDL_TextInputEvent& text);
  void handleWindowEvent(const SDL_WindowEvent& event);

  MonotonicClock m_clock;
  std::map<NSWindow*, Native> m_natives;
  std::map<NSWindow*, std::vector<NSString>> m_drops;
  SDL_Cursor* m_systemCursors[SDL_NUM_SYSTEM_CURSORS] = {};
  SDL_Cursor* m_customCursor = nullptr;
  std::unique_ptr<X11ShmPresenter> m_presenter;
  Uint32 m_focusedWindowId = 0;  // the native window holding the keyboard, 0 for none
  Uint32 m_pointerWindowId = 0;  // the native window the pointer last moved in, and where
  int m_pointerX = 0;
  int m_pointerY = 0;
  bool m_focusLost = false;
};

SdlBackend::~SdlBackend()
{
  for (auto& [window, native] : m_natives)
  {
    if (m_presenter && native.x11Window) m_presenter->forget(native.x11Window);
    if (native.source) SDL_FreeSurface(native.source);
    SDL_DestroyWindow(native.window);
  }
  for (SDL_Cursor* cursor : m_systemCursors)
    if (cursor) SDL_FreeCursor(cursor);
  if (m_customCursor) SDL_FreeCursor(m_customCursor);
  SDL_Quit();
}

bool SdlBackend::start()
{
  if (!startVideo()) return false;
  SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
  SDL_StartTextInput();
  // On X11 windows are presented through shared memory without waiting for the server;
  // elsewhere (or when that is not possible) through SDL's window surface.
  if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0)
  {
    tolerateVanishedWindows();
    m_presenter = X11ShmPresenter::create();
  }
  return true;
}

namespace
{
// Set before every start: a failed start's SDL_Quit clears them.
void setHints(const char* driver)
{
  // The platform turns SIGINT and SIGTERM into a normal quit itself, and decides what
  // closing the last window means.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
}
}  // namespace

bool SdlBackend::startVideo()
{
  // Only the desktop's own drivers, unless the user names one: left to itself SDL falls back
  // to its offscreen driver when the display refuses it, and the program would run with
  // windows nobody sees.
  std::vector<const char*> drivers;
  if (!std::getenv("SDL_VIDEODRIVER"))
  {
    if (std::getenv("DISPLAY")) drivers.push_back("x11");
    if (std::getenv("WAYLAND_DISPLAY")) drivers.push_back("wayland");
  }
  if (drivers.empty())
  {
    setHints(nullptr);
    return SDL_Init(SDL_INIT_VIDEO) == 0;
  }
  // A display server that has just started, or is very busy, may refuse a first connection.
  constexpr int kTries = 3;
  constexpr Uint32 kPauseMs = 300;
  for (int attempt = 1; attempt <= kTries; ++attempt)
  {
    for (const char* driver : drivers)
    {
      setHints(driver);
      if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
      const char* name = std::getenv(std::strcmp(driver, "x11") == 0 ? "DISPLAY" : "WAYLAND_DISPLAY");
      std::fprintf(stderr, "platform: the display %s (%s) did not open: %s\n", name, driver, SDL_GetError());
      SDL_Quit();
    }
    if (attempt < kTries) SDL_Delay(kPauseMs);
  }
  return false;
}

double SdlBackend::mainScreenHeight() const
{
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(0, &bounds) != 0) return 0;
  return bounds.h;
}

NSPoint SdlBackend::sdlPositionFor(const NSWindow* window) const
{
  const NSRect frame = window->frame();
  return NSMakePoint(frame.origin.x, mainScreenHeight() - NSMaxY(frame));
}

SdlBackend::Native* SdlBackend::nativeFor(NSWindow* window, bool create)
{
  auto found = m_natives.find(window);
  if (found != m_natives.end()) return &found->second;
  if (!create) return nullptr;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (!(window->styleMask() & NSWindowStyleMaskTitled)) flags |= SDL_WINDOW_BORDERLESS;
  if (window->styleMask() & NSWindowStyleMaskResizable) flags |= SDL_WINDOW_RESIZABLE;
  const NSPoint position = sdlPositionFor(window);
  const NSRect frame = window->frame();
  // Borderless windows above the normal level are menus and lists: the window manager
  // leaves them where they are put and gives them no taskbar entry.
  if (!(window->styleMask() & NSWindowStyleMaskTitled) && window->level() > NSNormalWindowLevel)
    flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
  SDL_Window* native = SDL_CreateWindow(window->title().UTF8String(), static_cast<int>(position.x),
                                        static_cast<int>(position.y), static_cast<int>(frame.size.width),
                                        static_cast<int>(frame.size.height), flags);
  if (!native) return nullptr;
  Native& entry = m_natives[window];
  entry.window = native;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(native, &info) && info.subsystem == SDL_SYSWM_X11) entry.x11Window = info.info.x11.window;
  windowHintsChanged(window);
  return &entry;
}

void SdlBackend::windowHintsChanged(NSWindow* window)
{
  Native* native = nativeFor(window, false);
  if (!native) return;
  if (window->styleMask() & NSWindowStyleMaskResizable)
  {
    const NSSize minimum = window->minSize();
    const NSSize maximum = window->maxSize();
    SDL_SetWindowMinimumSize(native->window, std::max(1, static_cast<int>(minimum.width)),
                             std::max(1, static_cast<int>(minimum.height)));
    SDL_SetWindowMaximumSize(native->window, static_cast<int>(std::clamp(maximum.width, 1.0, 16384.0)),
                             static_cast<int>(std::clamp(maximum.height, 1.0, 16384.0)));
  }
  SDL_SetWindowAlwaysOnTop(native->window, window->level() > NSNormalWindowLevel ? SDL_TRUE : SDL_FALSE);
  // Transient for its parent: the window manager keeps it in front of the parent and
  // treats the two as one application window. SDL cannot take the hint back.
  if (NSWindow* parent = window->transientParent())
    if (Native* parentNative = nativeFor(parent, false)) SDL_SetWindowModalFor(native->window, parentNative->window);
}

NSWindow* SdlBackend::windowFor(Uint32 id) const
{
  SDL_Window* native = SDL_GetWindowFromID(id);
  for (const auto& [window, entry] : m_natives)
    if (entry.window == native) return window;
  return nullptr;
}

void SdlBackend::windowShown(NSWindow* window)
{
  if (Native* native = nativeFor(window, true)) SDL_ShowWindow(native->window);
}

void SdlBackend::windowHidden(NSWindow* window)
{
  if (Native* native = nativeFor(window, false)) SDL_HideWindow(native->window);
}

void SdlBackend::windowClosed(NSWindow* window)
{
  auto found = m_natives.find(window);
  if (found == m_natives.end()) return;
  if (m_presenter && found->second.x11Window) m_presenter->forget(found->second.x11Window);
  if (found->second.source) SDL_FreeSurface(found->second.source);
  SDL_DestroyWindow(found->second.window);
  m_natives.erase(found);
  m_drops.erase(window);
}

void SdlBackend::windowFrameChanged(NSWindow* window)
{
  Native* native = nativeFor(window, false);
  if (!native) return;
  const NSPoint position = sdlPositionFor(window);
  SDL_SetWindowPosition(native->window, static_cast<int>(position.x), static_cast<int>(position.y));
  SDL_SetWindowSize(native->window, static_cast<int>(window->frame().size.width),
                    static_cast<int>(window->frame().size.height));
}

void SdlBackend::windowTitleChanged(NSWindow* window)
{
  if (Native* native = nativeFor(window, false)) SDL_SetWindowTitle(native->window, window->title().UTF8String());
}

void SdlBackend::windowRaised(NSWindow* window)
{
  if (Native* native = nativeFor(window, false); native && window->isVisible()) SDL_RaiseWindow(native->window);
}

void SdlBackend::windowBecameKey(NSWindow* window)
{
  if (Native* native = nativeFor(window, false); native && window->isVisible()) SDL_SetWindowInputFocus(native->window);
}

void SdlBackend::windowMiniaturized(NSWindow* window)
{
  if (Native* native = nativeFor(window, false)) SDL_MinimizeWindow(native->window);
}

void SdlBackend::present(NSWindow* window, const std::vector<NSRect>& pixelRects)
{
  Native* native = nativeFor(window, false);
  const BackingBitmap& backing = window->backing();
  if (!native || !backing.pixels()) return;
  if (m_presenter && native->x11Window &&
      m_presenter->present(native->x11Window, backing.pixels(), backing.width(), backing.height(),
                           backing.bytesPerRow(), pixelRects))
    return;
  if (!native->source || native->sourcePixels != backing.pixels() || native->source->w != backing.width() ||
      native->source->h != backing.height())
  {
    if (native->source) SDL_FreeSurface(native->source);
    // XRGB little-endian words are SDL's RGB888.
    native->source = SDL_CreateRGBSurfaceWithFormatFrom(backing.pixels(), backing.width(), backing.height(), 32,
                                                        static_cast<int>(backing.bytesPerRow()), SDL_PIXELFORMAT_RGB888);
    native->sourcePixels = backing.pixels();
    if (!native->source) return;
  }
  SDL_Surface* target = SDL_GetWindowSurface(native->window);
  if (!target) return;
  std::vector<SDL_Rect> rects;
  for (const NSRect& r : pixelRects)
  {
    SDL_Rect rect{static_cast<int>(r.origin.x), static_cast<int>(r.origin.y), static_cast<int>(r.size.width),
                  static_cast<int>(r.size.height)};
    SDL_Rect destination = rect;
    if (SDL_BlitSurface(native->source, &rect, target, &destination) == 0) rects.push_back(destination);
  }
  if (!rects.empty()) SDL_UpdateWindowSurfaceRects(native->window, rects.data(), static_cast<int>(rects.size()));
}

std::vector<NSRect> SdlBackend::screenFrames() const
{
  std::vector<NSRect> frames;
  const double mainHeight = mainScreenHeight();
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i)
  {
    SDL_Rect b;
    if (SDL_GetDisplayBounds(i, &b) == 0) frames.push_back(NSMakeRect(b.x, mainHeight - (b.y + b.h), b.w, b.h));
  }
  return frames;
}

std::vector<NSRect> SdlBackend::screenVisibleFrames() const
{
  std::vector<NSRect> frames;
  const double mainHeight = mainScreenHeight();
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i)
  {
    SDL_Rect b;
    if (SDL_GetDisplayUsableBounds(i, &b) == 0) frames.push_back(NSMakeRect(b.x, mainHeight - (b.y + b.h), b.w, b.h));
  }
  return frames;
}

std::optional<std::string> SdlBackend::clipboardText() const
{
  if (!SDL_HasClipboardText()) return std::nullopt;
  char* text = SDL_GetClipboardText();
  if (!text) return std::nullopt;
  std::string result(text);
  SDL_free(text);
  return result;
}

void SdlBackend::setCursor(const NSCursor* cursor)
{
  if (!cursor) return;
  if (cursor->shape() == NSCursor::Shape::custom)
  {
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(cursor->pixels().data()),
                                                           cursor->width(), cursor->height(), 32, cursor->width() * 4,
                                                           SDL_PIXELFORMAT_ARGB8888);
    if (!image) return;
    SDL_Cursor* created = SDL_CreateColorCursor(image, static_cast<int>(cursor->hotSpot().x),
                                                static_cast<int>(cursor->hotSpot().y));
    SDL_FreeSurface(image);
    if (!created) return;
    SDL_SetCursor(created);
    if (m_customCursor) SDL_FreeCursor(m_customCursor);
    m_customCursor = created;
    return;
  }
  SDL_SystemCursor system = SDL_SYSTEM_CURSOR_ARROW;
  switch (cursor->shape())
  {
  case NSCursor::Shape::iBeam: system = SDL_SYSTEM_CURSOR_IBEAM; break;
  case NSCursor::Shape::resizeUp:
  case NSCursor::Shape::resizeUpDown: system = SDL_SYSTEM_CURSOR_SIZENS; break;
  case NSCursor::Shape::resizeLeftRight: system = SDL_SYSTEM_CURSOR_SIZEWE; break;
  case NSCursor::Shape::openHand: system = SDL_SYSTEM_CURSOR_HAND; break;
  default: break;
  }
  if (!m_systemCursors[system]) m_systemCursors[system] = SDL_CreateSystemCursor(system);
  if (m_systemCursors[system]) SDL_SetCursor(m_systemCursors[system]);
}

void SdlBackend::warpPointer(NSPoint point)
{
  SDL_WarpMouseGlobal(static_cast<int>(point.x), static_cast<int>(mainScreenHeight() - point.y));
}

NSPoint SdlBackend::mouseLocation() const
{
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return NSMakePoint(x, mainScreenHeight() - y);
}

unsigned long SdlBackend::pressedMouseButtons() const
{
  const Uint32 state = SDL_GetGlobalMouseState(nullptr, nullptr);
  unsigned long buttons = 0;
  if (state & SDL_BUTTON_LMASK) buttons |= 1;
  if (state & SDL_BUTTON_RMASK) buttons |= 2;
  if (state & SDL_BUTTON_MMASK) buttons |= 4;
  return buttons;
}

char32_t SdlBackend::layoutCharacter(int hidUsage) const
{
  const SDL_Keycode key = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(hidUsage));
  // Keys that type nothing have codes with the scancode bit set.
  if (key <= 0 || (key & SDLK_SCANCODE_MASK) || key < 32 || key == 127) return 0;
  return static_cast<char32_t>(key);
}

unsigned SdlBackend::modifiersFrom(Uint16 mod)
{
  return modifierFlagsFromLinux(mod & KMOD_SHIFT, mod & KMOD_CTRL, mod & KMOD_ALT, mod & KMOD_GUI, mod & KMOD_CAPS);
}

bool SdlBackend::waitForInput(double seconds)
{
  int timeout = kLongestWaitMs;
  if (seconds < kLongestWaitMs / 1000.0) timeout = std::max(0, static_cast<int>(std::ceil(seconds * 1000)));
  SDL_Event event;
  if (!SDL_WaitEventTimeout(&event, timeout)) return false;
  handle(event);
  while (SDL_PollEvent(&event)) handle(event);
  // The keyboard left one of our windows and no other took it: another program has it.
  if (std::exchange(m_focusLost, false) && !m_focusedWindowId) NSApp()->setActive(false);
  return true;
}

void SdlBackend::postMouse(NSWindow* window, NSEventType type, int x, int y, int clicks, unsigned buttonNumber,
                           int dx, int dy)
{
  NSEventFields fields;
  fields.type = type;
  fields.window = window;
  fields.locationInWindow = window->baseFromPixel(NSMakePoint(x, y));
  fields.modifierFlags = modifiersFrom(SDL_GetModState());
  fields.timestamp = m_clock.now();
  fields.clickCount = clicks;
  fields.buttonNumber = buttonNumber;
  fields.pressure = (type == NSEventTypeLeftMouseDown || type == NSEventTypeLeftMouseDragged) ? 1.0f : 0.0f;
  fields.deltaX = dx;
  fields.deltaY = dy;
  NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
}

// Two-finger gestures on a touch device: the spread becomes a magnify event (a change by
// the device's full width counts as doubling) and the turn a rotate event, both for the
// window and the point the pointer last moved to.
void SdlBackend::postGesture(const SDL_MultiGestureEvent& gesture)
{
  NSWindow* window = windowFor(m_pointerWindowId);
  if (!window) return;
  NSEventFields fields;
  fields.window = window;
  fields.locationInWindow = window->baseFromPixel(NSMakePoint(m_pointerX, m_pointerY));
  fields.modifierFlags = modifiersFrom(SDL_GetModState());
  fields.timestamp = m_clock.now();
  if (gesture.dDist != 0)
  {
    fields.type = NSEventTypeMagnify;
    fields.deltaZ = gesture.dDist;
    NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
    fields.deltaZ = 0;
  }
  if (gesture.dTheta != 0)
  {
    fields.type = NSEventTypeRotate;
    fields.rotation = static_cast<float>(gesture.dTheta * 180.0 / M_PI);
    NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
  }
}

void SdlBackend::postKey(const SDL_KeyboardEvent& key)
{
  NSWindow* window = windowFor(key.windowID);
  const std::optional<KeyInfo> info = keyForHidUsage(key.keysym.scancode);
  NSEventFields fields;
  fields.window = window;
  fields.modifierFlags = modifiersFrom(key.keysym.mod);
  fields.timestamp = m_clock.now();
  fields.keyCode = info ? info->macKeyCode : 0xFFFF;
  fields.isARepeat = key.repeat != 0;
  if (info && info->unshifted == 0)
  {
    fields.type = NSEventTypeFlagsChanged;
    NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
    return;
  }
  fields.type = key.type == SDL_KEYDOWN ? NSEventTypeKeyDown : NSEventTypeKeyUp;
  // The layout decides what a printable key means; the table covers the rest.
  char32_t plain = info ? info->unshifted : 0;
  if (key.keysym.sym >= 32 && key.keysym.sym < 127) plain = static_cast<char32_t>(key.keysym.sym);
  fields.charactersIgnoringModifiers = keyCharacterString(plain);
  fields.characters = keyCharacterString((key.keysym.mod & KMOD_SHIFT) && info ? info->shifted : plain);
  if (key.type == SDL_KEYDOWN)
  {
    // The text a key typed arrives separately, as the very next event. Text further on
    // belongs to a later key or came without one.
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 && next.type == SDL_TEXTINPUT &&
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT) == 1)
      fields.characters = NSString(next.text.text);
  }
  NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
}

void SdlBackend::postText(const SDL_TextInputEvent& text)
{
  NSEventFields fields;
  fields.type = NSEventTypeTextInput;
  fields.window = windowFor(text.windowID);
  fields.modifierFlags = modifiersFrom(SDL_GetModState());
  fields.timestamp = m_clock.now();
  fields.characters = NSString(text.text);
  if (fields.window && !fields.characters.empty()) NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
}

void SdlBackend::handleWindowEvent(const SDL_WindowEvent& event)
{
  NSWindow* window = windowFor(event.windowID);
  if (!window) return;
  StrongRef<NSWindow> keep(window);
  switch (event.event)
  {
  case SDL_WINDOWEVENT_EXPOSED: window->backendExposed(); break;
  case SDL_WINDOWEVENT_MOVED:
    window->backendMovedTo(NSMakePoint(event.data1, mainScreenHeight() - event.data2 - window->frame().size.height));
    break;
  case SDL_WINDOWEVENT_SIZE_CHANGED:
    window->backendResizedTo(NSMakeSize(event.data1, event.data2));
    window->displayIfNeeded();
    break;
  case SDL_WINDOWEVENT_CLOSE: window->backendCloseRequested(); break;
  case SDL_WINDOWEVENT_LEAVE: postMouse(window, NSEventTypeMouseExited, m_pointerX, m_pointerY, 0, 0); break;
  case SDL_WINDOWEVENT_FOCUS_GAINED:
    m_focusedWindowId = event.windowID;
    window->backendFocused();
    break;
  case SDL_WINDOWEVENT_FOCUS_LOST:
    if (m_focusedWindowId == event.windowID) m_focusedWindowId = 0;
    m_focusLost = true;
    break;
  default: break;
  }
}

void SdlBackend::handle(const SDL_Event& event)
{
  switch (event.type)
  {
  case SDL_MOUSEMOTION:
    if (NSWindow* window = windowFor(event.motion.windowID))
    {
      m_pointerWindowId = event.motion.windowID;
      m_pointerX = event.motion.x;
      m_pointerY = event.motion.y;
      NSEventType type = NSEventTypeMouseMoved;
      if (event.motion.state & SDL_BUTTON_LMASK) type = NSEventTypeLeftMouseDragged;
      else if (event.motion.state & SDL_BUTTON_RMASK) type = NSEventTypeRightMouseDragged;
      else if (event.motion.state & SDL_BUTTON_MMASK) type = NSEventTypeOtherMouseDragged;
      // In relative mode the pointer stays put and only the motion tells what the mouse did.
      postMouse(window, type, event.motion.x, event.motion.y, 0, 0, event.motion.xrel, event.motion.yrel);
    }
    break;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP:
    if (NSWindow* window = windowFor(event.button.windowID))
    {
      const bool down = event.type == SDL_MOUSEBUTTONDOWN;
      NSEventType type = down ? NSEventTypeLeftMouseDown : NSEventTypeLeftMouseUp;
      unsigned number = 0;
      if (event.button.button == SDL_BUTTON_RIGHT)
      {
        type = down ? NSEventTypeRightMouseDown : NSEventTypeRightMouseUp;
        number = 1;
      }
      else if (event.button.button != SDL_BUTTON_LEFT)
      {
        type = down ? NSEventTypeOtherMouseDown : NSEventTypeOtherMouseUp;
        number = event.button.button == SDL_BUTTON_MIDDLE ? 2 : event.button.button - 1;
      }
      postMouse(window, type, event.button.x, event.button.y, event.button.clicks, number);
    }
    break;
  case SDL_MOUSEWHEEL:
    if (NSWindow* window = windowFor(event.wheel.windowID))
    {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      NSEventFields fields;
      fields.type = NSEventTypeScrollWheel;
      fields.window = window;
      fields.locationInWindow = window->baseFromPixel(NSMakePoint(x, y));
      fields.modifierFlags = modifiersFrom(SDL_GetModState());
      fields.timestamp = m_clock.now();
      const bool flipped = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED;
      // Cocoa: positive y scrolls up, positive x scrolls left.
      fields.deltaY = (flipped ? -1 : 1) * event.wheel.preciseY;
      fields.deltaX = (flipped ? 1 : -1) * event.wheel.preciseX;
      NSApp()->postEvent(NSEvent::eventWithFields(fields), false);
    }
    break;
  case SDL_MULTIGESTURE: postGesture(event.mgesture); break;
  case SDL_KEYDOWN:
  case SDL_KEYUP: postKey(event.key); break;
  case SDL_TEXTINPUT: postText(event.text); break;
  case SDL_WINDOWEVENT: handleWindowEvent(event.window); break;
  case SDL_DROPFILE:
    if (NSWindow* window = windowFor(event.drop.windowID))
      m_drops[window].push_back(NSString(event.drop.file ? event.drop.file : ""));
    SDL_free(event.drop.file);
    break;
  case SDL_DROPCOMPLETE:
    if (NSWindow* window = windowFor(event.drop.windowID))
    {
      StrongRef<NSWindow> keep(window);
      std::vector<NSString> paths;
      paths.swap(m_drops[window]);
      window->backendFilesDropped(paths, window->convertScreenToBase(mouseLocation()));
    }
    break;
  default: break;
  }
}
}  // namespace

std::unique_ptr<Backend> makeSdlBackend()
{
  auto backend = std::make_unique<SdlBackend>();
  if (!backend->start()) return nullptr;
  return backend;
}
}  // namespace cocoa
