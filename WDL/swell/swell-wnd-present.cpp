// How a top-level window looks and behaves, modal sessions the caller drives, and the
// questions asked of a dialog's controls.

#include "swell-dlg.h"
#include "swell-misc.h"
#include "swell-wnd-internal.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"

#include "platform/appkit/application.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

using namespace cocoa;

namespace
{
constexpr auto kStopPollInterval = std::chrono::milliseconds(10);
constexpr int kFirstVersionWithPresentationOptions = 0x1060;

// The window of a view, or the handle itself when it is a window.
NSWindow* windowOf(HWND hwnd)
{
  if (NSWindow* window = swell::asWindow(hwnd)) return window;
  NSView* view = swell::asView(hwnd);
  return view ? view->window() : nullptr;
}

Swell_vVorna_modelesswindow* modelessWindowOf(HWND hwnd)
{
  return dynamic_cast<Swell_vVorna_modelesswindow*>(windowOf(hwnd));
}

// A caller-driven session remembers whether its last turn ended it.
struct ModalSession
{
  NSModalSession session;
  NSWindow* window;
  bool running;
};

// Sessions started and not yet ended. A procedure that a run reaches may end the session it
// runs in (its OK button does); the run, and a second end, then find it gone.
std::vector<ModalSession*>& liveSessions()
{
  static std::vector<ModalSession*> sessions;
  return sessions;
}

bool isLive(const ModalSession* modal)
{
  const std::vector<ModalSession*>& live = liveSessions();
  return modal && std::find(live.begin(), live.end(), modal) != live.end();
}

NSView* findDefaultButton(NSView* view)
{
  for (NSView* child : view->subviews())
  {
    if (auto* button = respondsTo<SWELL_DefaultButton>(child); button && button->swellIsDefaultButton()) return child;
    if (NSView* found = findDefaultButton(child)) return found;
  }
  return nullptr;
}
}  // namespace

int SWELL_SetWindowLevel(HWND hwnd, int level)
{
  NSWindow* window = windowOf(hwnd);
  if (!window) return 0;
  const int previous = window->level();
  window->setLevel(level);
  return previous;
}

int SWELL_GetWindowWantRaiseAmt(HWND hwnd)
{
  Swell_vVorna_modelesswindow* window = modelessWindowOf(hwnd);
  return window ? window->m_wantraiseamt : 0;
}

void SWELL_SetWindowWantRaiseAmt(HWND hwnd, int amount)
{
  Swell_vVorna_modelesswindow* window = modelessWindowOf(hwnd);
  if (!window) return;
  const int previous = window->m_wantraiseamt;
  window->m_wantraiseamt = amount;
  if (amount != previous && NSApp()->isActive()) window->setLevel(window->level() + amount - previous);
}

void SetOpaque(HWND hwnd, bool opaque)
{
  if (auto* view = dynamic_cast<Swell_vVorna_hwnd*>(swellObjectOf(hwnd))) view->setOpaque(opaque);
}

void SetTransparent(HWND hwnd)
{
  NSWindow* window = windowOf(hwnd);
  if (!window) return;
  window->setBackgroundColor(NSColor::clearColor());
  window->setOpaque(false);
}

void SWELL_SetWindowShadow(HWND hwnd, bool shadow)
{
  if (NSWindow* window = windowOf(hwnd)) window->setHasShadow(shadow);
}

void SWELL_SetWindowRepre(HWND hwnd, const char* path, bool edited)
{
  NSWindow* window = windowOf(hwnd);
  if (!window) return;
  if (auto* props = respondsTo<SWELL_PropertyHolder>(window->contentView());
      props && props->swellGetProp("SWELL_DisableWindowRepre", false))
    return;
  window->setDocumentEdited(edited);
  window->setRepresentedFilename(path && *path ? SWELL_CStringToCFString(path) : NSString());
}

void SWELL_CloseWindow(HWND hwnd)
{
  if (NSWindow* window = windowOf(hwnd)) window->close();
}

void SWELL_HideApp()
{
  NSApp()->hide(nullptr);
}

bool SWELL_SetAppAutoHideMenuAndDock(int mode)
{
  enum class Support
  {
    unknown,
    absent,
    present
  };
  static Support support = Support::unknown;
  static unsigned defaultOptions = NSApplicationPresentationDefault;
  NSApplication* app = NSApp();
  if (support == Support::unknown)
  {
    support = SWELL_GetOSXVersion() >= kFirstVersionWithPresentationOptions ? Support::present : Support::absent;
    if (support == Support::present) defaultOptions = app->presentationOptions();
  }
  if (support == Support::absent) return false;
  if (mode < 1)
    app->setPresentationOptions(defaultOptions);
  else if (mode == 1)
    app->setPresentationOptions(NSApplicationPresentationAutoHideDock | NSApplicationPresentationAutoHideMenuBar);
  else
    app->setPresentationOptions(NSApplicationPresentationHideDock | NSApplicationPresentationAutoHideMenuBar);
  return true;
}

void* SWELL_ModalWindowStart(HWND hwnd)
{
  NSWindow* window = windowOf(hwnd);
  if (!window) return nullptr;
  NSModalSession session = NSApp()->beginModalSessionForWindow(window);
  if (!session) return nullptr;
  liveSessions().push_back(new ModalSession{session, window, true});
  return liveSessions().back();
}

bool SWELL_ModalWindowRun(void* session, int* result)
{
  auto* modal = static_cast<ModalSession*>(session);
  if (!isLive(modal)) return false;
  const NSInteger response = NSApp()->runModalSession(modal->session);
  if (response == NSModalResponseContinue && isLive(modal)) return true;
  if (isLive(modal)) modal->running = false;
  if (result) *result = static_cast<int>(response);
  return false;
}

void SWELL_ModalWindowEnd(void* session)
{
  auto* modal = static_cast<ModalSession*>(session);
  if (!isLive(modal)) return;
  NSApplication* app = NSApp();
  // Only the innermost run can be stopped; any other simply leaves the stack.
  if (modal->running && app->modalWindow() == modal->window)
  {
    app->stopModal();
    while (isLive(modal) && app->runModalSession(modal->session) == NSModalResponseContinue)
      std::this_thread::sleep_for(kStopPollInterval);
    if (!isLive(modal)) return;
  }
  app->endModalSession(modal->session);
  std::vector<ModalSession*>& live = liveSessions();
  live.erase(std::find(live.begin(), live.end(), modal));
  delete modal;
}

int SWELL_GetDefaultButtonID(HWND hwnd, bool onlyIfEnabled)
{
  NSWindow* window = windowOf(hwnd);
  NSView* content = window ? window->contentView() : nullptr;
  NSView* button = content ? findDefaultButton(content) : nullptr;
  if (!button) return 0;
  const int id = static_cast<int>(button->tag());
  auto* enablable = respondsTo<SWELL_Enablable>(button);
  if (onlyIfEnabled && id && enablable && !enablable->isEnabled()) return 0;
  return id;
}
