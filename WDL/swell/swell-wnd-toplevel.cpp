#include "swell-wnd-toplevel.h"

#include "swell-misc.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/walk.h"

#include <algorithm>
#include <vector>

using namespace cocoa;

bool SWELL_owned_windows_levelincrease = false;

namespace
{
// The window that last gave up being key, while it is alive.
NSWindow* last_key_window = nullptr;
HMENU g_swell_defaultmenu = nullptr;
HMENU g_swell_defaultmenumodal = nullptr;

constexpr int kPlacementRight = 50;
constexpr int kPlacementDown = 100;
constexpr double kLargestTrackingSize = 1000000;
constexpr int kKeepPlatformLimit = 999999;

HWND contentHandleOf(const NSWindow* window)
{
  return window ? swellHandleOf(window->contentView()) : nullptr;
}

int extraRaise(NSWindow* window)
{
  auto* modeless = dynamic_cast<Swell_vVorna_modelesswindow*>(window);
  return modeless ? modeless->m_wantraiseamt : 0;
}
}  // namespace

template <class Base>
bool SwellTopLevelWindow<Base>::canBecomeKeyWindow() const
{
  return m_enabled != 0 && !g_swell_terminating;
}

template <class Base>
void SwellTopLevelWindow<Base>::setFrame(NSRect frame, bool display)
{
  StrongRef<NSWindow> keep(this);
  Base::setFrame(frame, display);
  const NSSize size = this->frame().size;
  if (static_cast<int>(size.width) == static_cast<int>(lastFrameSize.width) &&
      static_cast<int>(size.height) == static_cast<int>(lastFrameSize.height))
    return;
  lastFrameSize = NSMakeSize(static_cast<int>(size.width), static_cast<int>(size.height));
  // WM_SIZE may move the content out of the window, or destroy it.
  const StrongRef<NSView> content(this->contentView());
  if (!content) return;
  SendMessage(swellHandleOf(content.get()), WM_SIZE, 0, 0);
  if (content->window() == this && content->isOpaque()) InvalidateRect(swellHandleOf(content.get()), nullptr, FALSE);
}

template <class Base>
void SwellTopLevelWindow<Base>::windowDidMove(NSWindow*)
{
  const NSPoint origin = this->frame().origin;
  SendMessage(contentHandleOf(this), WM_MOVE, 0,
              swell::packPoint(swell::roundCoordinate(origin.x), swell::roundCoordinate(origin.y)));
}

template <class Base>
bool SwellTopLevelWindow<Base>::windowShouldClose(NSWindow*)
{
  // The procedure closes the window itself, or not at all.
  const HWND content = contentHandleOf(this);
  if (!SendMessage(content, WM_CLOSE, 0, 0)) SendMessage(content, WM_COMMAND, IDCANCEL, 0);
  return false;
}

template <class Base>
void SwellTopLevelWindow<Base>::resignKeyWindow()
{
  Base::resignKeyWindow();
  if (g_swell_terminating) return;
  SendMessage(contentHandleOf(this), WM_ACTIVATE, WA_INACTIVE, 0);
  last_key_window = this;
}

template <class Base>
void SwellTopLevelWindow<Base>::becomeKeyWindow()
{
  Base::becomeKeyWindow();
  if (g_swell_terminating) return;
  HWND previous = nullptr;
  if (last_key_window && IsWindow(swellHandleOf(last_key_window)))
  {
    auto* content = dynamic_cast<Swell_vVorna_hwnd*>(last_key_window->contentView());
    if (content && !content->swellHasBeenDestroyed()) previous = content->handle();
  }
  // WM_ACTIVATE may move the content out of the window, or destroy it: it is held, and told of
  // the mouse only while it is still this window's.
  const StrongRef<NSView> content(this->contentView());
  auto* swellContent = dynamic_cast<Swell_vVorna_hwnd*>(content.get());
  if (swellContent && swellContent->swellHasBeenDestroyed()) return;
  HMENU menu = swellContent ? swellContent->swellGetMenu() : nullptr;
  if (!menu) menu = defaultMenu();
  if (NSMenu* platformMenu = swellMenuOf(menu); platformMenu && NSApp()->mainMenu() != platformMenu)
    NSApp()->setMainMenu(platformMenu);
  SendMessage(swellHandleOf(content.get()), WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
  if (content && content->window() == this && !(swellContent && swellContent->swellHasBeenDestroyed()))
    SendMessage(swellHandleOf(content.get()), WM_MOUSEACTIVATE, 0, 0);
}

template <class Base>
bool SwellTopLevelWindow<Base>::accessibilityIsIgnored()
{
  NSView* content = this->contentView();
  if (!(this->styleMask() & NSWindowStyleMaskTitled) && (!content || content->subviews().empty())) return true;
  return Base::accessibilityIsIgnored();
}

template <class Base>
NSSize SwellTopLevelWindow<Base>::minSize() const
{
  const NSSize platform = Base::minSize();
  MINMAXINFO info = {};
  info.ptMinTrackSize = POINT{static_cast<int>(platform.width), static_cast<int>(platform.height)};
  SendMessage(contentHandleOf(this), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return NSMakeSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y);
}

template <class Base>
NSSize SwellTopLevelWindow<Base>::maxSize() const
{
  const NSSize platform = Base::maxSize();
  MINMAXINFO info = {};
  info.ptMaxTrackSize = POINT{static_cast<int>(std::clamp(platform.width, 1.0, kLargestTrackingSize)),
                              static_cast<int>(std::clamp(platform.height, 1.0, kLargestTrackingSize))};
  SendMessage(contentHandleOf(this), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  // An answer past the largest size keeps the platform's own limit.
  return NSMakeSize(info.ptMaxTrackSize.x > kKeepPlatformLimit ? platform.width : info.ptMaxTrackSize.x,
                    info.ptMaxTrackSize.y > kKeepPlatformLimit ? platform.height : info.ptMaxTrackSize.y);
}

template <class Base>
bool SwellTopLevelWindow<Base>::ownsWindow(const NSWindow* window) const
{
  for (OwnedWindowListRec* rec = m_ownedwnds; rec; rec = rec->_next)
    if (rec->hwnd == window) return true;
  return false;
}

template <class Base>
void SwellTopLevelWindow<Base>::swellAddOwnedWindow(NSWindow* window)
{
  // A window on its way out takes no owned window: one its procedures make while it goes
  // would keep a pointer to an owner that is gone, so it is left on its own.
  if (!window || ownsWindow(window) || m_tearingDown) return;
  auto* owned = respondsTo<SWELL_OwnerWindow>(window);
  // A window has one owner: the list of the one it leaves must not keep a pointer that
  // outlives it.
  if (NSWindow* previous = owned ? owned->swellGetOwner() : nullptr; previous && previous != this)
    if (auto* previousList = respondsTo<SWELL_OwnerWindow>(previous)) previousList->swellRemoveOwnedWindow(window);
  m_ownedwnds = new OwnedWindowListRec{window, m_ownedwnds};
  if (owned) owned->swellSetOwner(this);
  if (SWELL_owned_windows_levelincrease && NSApp()->isActive())
    window->setLevel(this->level() + extraRaise(window) + 1);
}

template <class Base>
void SwellTopLevelWindow<Base>::swellRemoveOwnedWindow(NSWindow* window)
{
  for (OwnedWindowListRec** link = &m_ownedwnds; *link; link = &(*link)->_next)
    if ((*link)->hwnd == window)
    {
      OwnedWindowListRec* rec = *link;
      *link = rec->_next;
      delete rec;
      // Nor does the window keep a pointer to an owner that may go before it.
      if (auto* owned = respondsTo<SWELL_OwnerWindow>(window); owned && owned->swellGetOwner() == this)
        owned->swellSetOwner(nullptr);
      return;
    }
}

template <class Base>
void SwellTopLevelWindow<Base>::swellDestroyAllOwnedWindows()
{
  std::vector<NSWindow*> owned;
  for (OwnedWindowListRec* rec = m_ownedwnds; rec; rec = rec->_next) owned.push_back(rec->hwnd);
  // Each leaves the list as its turn comes, so that one that an earlier one's procedure
  // destroyed or gave to another owner is passed over.
  walkHeld(
      static_cast<NSWindow*>(this), owned, [this](NSWindow* window) { return ownsWindow(window); },
      [this](NSWindow* window) {
        swellRemoveOwnedWindow(window);
        DestroyWindow(swellHandleOf(window));
      });
}

template <class Base>
void SwellTopLevelWindow<Base>::swellResetOwnedWindowLevels()
{
  if (!SWELL_owned_windows_levelincrease) return;
  const bool active = NSApp()->isActive();
  const int base = this->level() + (active ? 1 : 0);
  // A level orders windows and tells no procedure: the list cannot change under the walk.
  for (OwnedWindowListRec* rec = m_ownedwnds; rec; rec = rec->_next)
  {
    rec->hwnd->setLevel(base + (active ? extraRaise(rec->hwnd) : 0));
    if (auto* owned = respondsTo<SWELL_OwnerWindow>(rec->hwnd)) owned->swellResetOwnedWindowLevels();
  }
}

template <class Base>
void SwellTopLevelWindow<Base>::swellDoDestroyStuff()
{
  m_tearingDown = true;
  if (last_key_window == this) last_key_window = nullptr;
  swellDestroyAllOwnedWindows();
  if (last_key_window == this) last_key_window = nullptr;
  if (NSWindow* owner = std::exchange(m_owner, nullptr))
  {
    if (auto* ownerList = respondsTo<SWELL_OwnerWindow>(owner)) ownerList->swellRemoveOwnedWindow(this);
    if (this->isKeyWindow()) owner->makeKeyWindow();
  }
}

template <class Base>
void SwellTopLevelWindow<Base>::dealloc()
{
  swellDoDestroyStuff();
  Base::dealloc();
}

template class SwellTopLevelWindow<NSWindow>;
template class SwellTopLevelWindow<NSPanel>;

HMENU Swell_vVorna_modelesswindow::defaultMenu() const
{
  return g_swell_defaultmenu;
}

HMENU Swell_vVorna_dialogbox::defaultMenu() const
{
  return g_swell_defaultmenumodal ? g_swell_defaultmenumodal : g_swell_defaultmenu;
}

Swell_vVorna_modelesswindow* Swell_vVorna_modelesswindow::createPlaced(NSObject* owner, NSSize size,
                                                                      unsigned styleMask)
{
  RECT reference;
  if (owner) GetWindowRect(swellHandleOf(owner), &reference);
  else SWELL_GetViewPort(&reference, nullptr, false);
  const NSRect content = NSMakeRect(reference.left + kPlacementRight, reference.bottom - size.height - kPlacementDown,
                                    size.width, size.height);
  NSWindow* ownerWindow = dynamic_cast<NSWindow*>(owner);
  if (auto* ownerView = dynamic_cast<NSView*>(owner)) ownerWindow = ownerView->window();
  // Only a window that can be the application's main window shows the main menu above its content.
  const bool showsMenuBar = (styleMask & NSWindowStyleMaskTitled) && !ownerWindow;
  auto* window = new Swell_vVorna_modelesswindow(content, styleMask, showsMenuBar);
  window->setAcceptsMouseMovedEvents(true);
  if (auto* adopter = respondsTo<SWELL_OwnerWindow>(ownerWindow)) adopter->swellAddOwnedWindow(window);
  return window;
}

Swell_vVorna_modelesswindow* Swell_vVorna_modelesswindow::initModelessForChild(NSView* view, NSObject* owner,
                                                                              unsigned styleMask)
{
  if (!view) return nullptr;
  StrongRef<NSView> keep(view);
  // A view that is another window's content leaves it, and the window left without it goes, as
  // SetParent does: no window stays open that no handle reaches.
  const StrongRef<NSWindow> previous(swell::isContentView(view) ? view->window() : nullptr);
  if (previous) swell::replaceContentView(previous.get());
  auto* window = createPlaced(owner, view->bounds().size, styleMask);
  StrongRef<NSWindow> keepWindow(window);
  window->setContentView(view);
  if (previous) DestroyWindow(swellHandleOf(previous.get()));
  if (view->window() != window)
  {
    window->close();
    return nullptr;
  }
  window->display();
  return window;
}

HWND SWELL_CreateModelessFrameForWindow(HWND view, HWND owner, unsigned styleMask)
{
  return swellHandleOf(
      Swell_vVorna_modelesswindow::initModelessForChild(swell::asView(view), swellObjectOf(owner), styleMask));
}

void SWELL_SetDefaultWindowMenu(HMENU menu)
{
  g_swell_defaultmenu = menu;
}

HMENU SWELL_GetDefaultWindowMenu()
{
  return g_swell_defaultmenu;
}

void SWELL_SetDefaultModalWindowMenu(HMENU menu)
{
  g_swell_defaultmenumodal = menu;
}

HMENU SWELL_GetDefaultModalWindowMenu()
{
  return g_swell_defaultmenumodal;
}

HWND swell::ownerOf(NSWindow* window)
{
  auto* owned = respondsTo<SWELL_OwnerWindow>(window);
  return owned ? contentHandleOf(owned->swellGetOwner()) : nullptr;
}

void swell::destroyOwnedWindows(NSWindow* window)
{
  if (auto* owner = respondsTo<SWELL_OwnerWindow>(window)) owner->swellDestroyAllOwnedWindows();
}

void swell::doDestroyStuff(NSWindow* window)
{
  if (auto* owner = respondsTo<SWELL_OwnerWindow>(window)) owner->swellDoDestroyStuff();
}
