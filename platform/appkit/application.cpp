#include "platform/appkit/application.h"

#include "platform/appkit/keys.h"
#include "platform/appkit/menu.h"
#include "platform/appkit/view.h"
#include "platform/appkit/walk.h"
#include "platform/appkit/window.h"
#include "platform/appkit/workspace.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/object_registry.h"
#include "platform/foundation/timer.h"

#include <algorithm>
#include <atomic>
#include <csignal>

namespace cocoa
{
struct NSModalSessionRecord
{
  StrongRef<NSWindow> window;
  NSInteger code = NSModalResponseContinue;
};

namespace
{
NSApplication* g_shared = nullptr;
std::atomic<bool> g_terminationSignalled{false};

void onTerminationSignal(int)
{
  g_terminationSignalled.store(true);
}

// Keys with Command or Control are commands; function keys and arrows may be menu
// shortcuts on their own. Other keys type.
bool offeredToMenus(NSEvent* event)
{
  if (event->modifierFlags() & (NSEventModifierFlagCommand | NSEventModifierFlagControl)) return true;
  return isFunctionKeyCharacter(singleCharacterOf(event->charactersIgnoringModifiers()));
}

bool isAncestorWindow(const NSWindow* ancestor, const NSWindow* window)
{
  for (const NSWindow* w = window; w; w = w->parentWindow())
    if (w == ancestor) return true;
  return false;
}
}  // namespace

void installTerminationSignalHandlers()
{
  struct sigaction action = {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

NSApplication::NSApplication()
{
  if (!g_shared) g_shared = this;
  NSRunLoop::currentRunLoop()->addObserver(this);
}

void NSApplication::dealloc()
{
  NSRunLoop::currentRunLoop()->removeObserver(this);
  releaseQueuedEvents();
  if (m_mainMenu) m_mainMenu->release();
  if (g_shared == this) g_shared = nullptr;
}

void NSApplication::releaseQueuedEvents()
{
  // An event may hold the last reference to a closed window, whose teardown may post more.
  while (!m_queue.empty())
  {
    std::vector<NSEvent*> queued;
    queued.swap(m_queue);
    for (NSEvent* event : queued) event->release();
  }
}

NSApplication* NSApplication::sharedApplication()
{
  if (!g_shared) new NSApplication;
  return g_shared;
}

void NSApplication::postEvent(NSEvent* event, bool atStart)
{
  if (!event) return;
  event->retain();
  if (atStart) m_queue.insert(m_queue.begin(), event);
  else m_queue.push_back(event);
}

NSEvent* NSApplication::nextEventMatchingMask(NSEventMask mask, double untilDate, bool dequeue)
{
  NSRunLoop* loop = NSRunLoop::currentRunLoop();
  loop->setInput(&platformBackend());
  for (;;)
  {
    if (g_terminationSignalled.exchange(false)) terminate(nullptr);
    if (m_wake)
    {
      m_wake = false;
      return nullptr;
    }
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it)
    {
      NSEvent* event = *it;
      if (!(mask & NSEventMaskFromType(event->type()))) continue;
      event->autorelease();
      if (dequeue) m_queue.erase(it);
      else event->retain();
      return event;
    }
    if (loop->now() >= untilDate) return nullptr;
    loop->runOnce(untilDate);
  }
}

void NSApplication::sendEvent(NSEvent* event)
{
  if (!event) return;
  if (event->type() != NSEventTypeApplicationDefined && !windowAcceptsInput(event->window())) return;
  StrongRef<NSEvent> keep(event);
  NSEvent* previous = std::exchange(m_currentEvent, event);
  if (event->type() == NSEventTypeKeyDown && !modalWindow() && m_mainMenu && offeredToMenus(event) &&
      StrongRef<NSMenu>(m_mainMenu)->performKeyEquivalent(event))
  {
    m_currentEvent = previous;
    return;
  }
  if (NSWindow* window = event->window()) window->sendEvent(event);
  m_currentEvent = previous;
}

void NSApplication::finishLaunching()
{
  if (m_launched) return;
  m_launched = true;
  NSRunLoop::currentRunLoop()->setInput(&platformBackend());
  if (m_delegate) m_delegate->applicationDidFinishLaunching();
  // The delegate may have ended the application while it was being launched.
  if (m_terminated) return;
  if (m_delegate && m_delegate->applicationShouldOpenUntitledFile(this)) m_delegate->applicationOpenUntitledFile(this);
  setActive(true);
}

void NSApplication::run()
{
  StrongRef<NSApplication> keep(this);
  finishLaunching();
  m_running = !m_terminated;
  while (m_running)
  {
    NSAutoreleasePool pool;
    if (NSEvent* event = nextEventMatchingMask(NSEventMaskAny, kDistantFuture, true)) sendEvent(event);
  }
}

void NSApplication::stop(NSObject*)
{
  m_running = false;
  m_wake = true;
}

void NSApplication::terminate(NSObject*)
{
  // The host's shut-down (told in applicationWillTerminate) may ask to quit again, as a
  // main window's destruction does: termination is already under way.
  if (m_terminating) return;
  const NSApplicationTerminateReply reply = m_delegate ? m_delegate->applicationShouldTerminate(this) : NSTerminateNow;
  if (reply == NSTerminateNow) doTerminate();
  else if (reply == NSTerminateLater) m_terminationPending = true;
}

void NSApplication::replyToApplicationShouldTerminate(bool shouldTerminate)
{
  if (!m_terminationPending) return;
  m_terminationPending = false;
  if (shouldTerminate) doTerminate();
}

void NSApplication::doTerminate()
{
  if (m_terminating) return;
  m_terminating = true;
  if (m_delegate) m_delegate->applicationWillTerminate();
  m_terminated = true;
  m_running = false;
  for (NSModalSessionRecord* session : m_modalSessions)
    if (session->code == NSModalResponseContinue) session->code = NSModalResponseAbort;
  m_wake = true;
}

bool NSApplication::windowAcceptsInput(const NSWindow* window) const
{
  NSWindow* modal = modalWindow();
  if (!modal || !window) return true;
  return isAncestorWindow(modal, window) || window->level() > modal->level();
}

NSModalSession NSApplication::beginModalSessionForWindow(NSWindow* window)
{
  if (!window) return nullptr;
  auto* session = new NSModalSessionRecord;
  session->window = window;
  // On the desktop the modal window stays in front of the window it was opened over.
  NSWindow* over = modalWindow() ? modalWindow() : m_keyWindow ? m_keyWindow : m_mainWindow;
  if (!window->parentWindow()) window->setModalOwner(over);
  m_modalSessions.push_back(session);
  window->makeKeyAndOrderFront(nullptr);
  return session;
}

NSInteger NSApplication::runModalSession(NSModalSession session)
{
  if (!session || !isRunning(session)) return NSModalResponseAbort;
  StrongRef<NSApplication> keep(this);
  NSRunLoop* loop = NSRunLoop::currentRunLoop();
  loop->setInput(&platformBackend());
  if (session->code != NSModalResponseContinue) return session->code;
  {
    NSAutoreleasePool pool;
    // The caller drives the loop: one pass that never sleeps (timers, waiting input,
    // drawing), then the events it brought.
    loop->runOnce(loop->now());
  }
  // What runs here may end this very session (a window's OK ends the run it is shown by).
  while (isRunning(session) && session->code == NSModalResponseContinue)
  {
    NSAutoreleasePool pool;
    NSEvent* event = nextEventMatchingMask(NSEventMaskAny, loop->now(), true);
    if (!event) break;
    sendEvent(event);
  }
  return isRunning(session) ? session->code : NSModalResponseStop;
}

bool NSApplication::isRunning(NSModalSession session) const
{
  return std::find(m_modalSessions.begin(), m_modalSessions.end(), session) != m_modalSessions.end();
}

void NSApplication::endModalSession(NSModalSession session)
{
  auto found = std::find(m_modalSessions.begin(), m_modalSessions.end(), session);
  if (found == m_modalSessions.end()) return;
  m_modalSessions.erase(found);
  session->window->setModalOwner(nullptr);
  delete session;
}

NSInteger NSApplication::runModalForWindow(NSWindow* window)
{
  StrongRef<NSApplication> keep(this);
  StrongRef<NSWindow> keepWindow(window);
  NSModalSession session = beginModalSessionForWindow(window);
  if (!session) return NSModalResponseAbort;
  if (m_terminated) session->code = NSModalResponseAbort;
  while (session->code == NSModalResponseContinue)
  {
    NSAutoreleasePool pool;
    NSEvent* event = nextEventMatchingMask(NSEventMaskAny, kDistantFuture, true);
    if (event) sendEvent(event);
  }
  const NSInteger code = session->code;
  endModalSession(session);
  return code;
}

void NSApplication::stopModalWithCode(NSInteger code)
{
  if (m_modalSessions.empty()) return;
  m_modalSessions.back()->code = code;
  m_wake = true;
}

void NSApplication::stopModal()
{
  stopModalWithCode(NSModalResponseStop);
}

void NSApplication::abortModal()
{
  stopModalWithCode(NSModalResponseAbort);
}

NSWindow* NSApplication::modalWindow() const
{
  return m_modalSessions.empty() ? nullptr : m_modalSessions.back()->window.get();
}

std::vector<NSWindow*> NSApplication::windows() const
{
  return m_windows;
}

std::vector<NSWindow*> NSApplication::orderedWindows() const
{
  std::vector<NSWindow*> ordered = m_order;
  std::stable_sort(ordered.begin(), ordered.end(), [](NSWindow* a, NSWindow* b) { return a->level() > b->level(); });
  return ordered;
}

NSWindow* NSApplication::windowWithWindowNumber(NSInteger number) const
{
  for (NSWindow* window : m_windows)
    if (window->windowNumber() == number) return window;
  return nullptr;
}

void NSApplication::updateWindows()
{
  // Drawing runs window procedures, which may close any window.
  forEachWindow(m_windows, [](NSWindow* window) { window->displayIfNeeded(); });
}

void NSApplication::runLoopPassEnding()
{
  updateWindows();
  reapLaunchedPrograms();
}

void NSApplication::setMainMenu(NSMenu* menu)
{
  if (menu == m_mainMenu) return;
  if (menu) menu->retain();
  if (m_mainMenu) m_mainMenu->release();
  m_mainMenu = menu;
  for (NSWindow* window : m_windows)
    if (window->showsMenuBar())
      window->invalidateBaseRect(NSMakeRect(0, window->frame().size.height - kTitleStripHeight,
                                            window->frame().size.width, kTitleStripHeight));
}

bool NSApplication::sendAction(Action action, NSObject* target, NSObject* sender)
{
  if (action == Action::none) return false;
  if (target)
  {
    if (!isLiveObject(target)) return false;
    StrongRef<NSObject> keep(target);
    auto* receiver = dynamic_cast<ActionTarget*>(target);
    return receiver && receiver->performAction(action, sender);
  }
  std::vector<StrongRef<NSObject>> chain;
  if (NSWindow* key = m_keyWindow)
  {
    for (NSResponder* r = key->firstResponder(); r; r = r->nextResponder()) chain.emplace_back(r);
    if (auto* delegate = dynamic_cast<NSObject*>(key->delegate())) chain.emplace_back(delegate);
  }
  chain.emplace_back(this);
  if (auto* delegate = dynamic_cast<NSObject*>(m_delegate)) chain.emplace_back(delegate);
  // The chain is built first and held: a receiver that declines may still change it.
  for (auto& object : chain)
    if (auto* receiver = dynamic_cast<ActionTarget*>(object.get()))
      if (receiver->performAction(action, sender)) return true;
  if (action == Action::terminate)
  {
    terminate(sender);
    return true;
  }
  return false;
}

void NSApplication::windowCreated(NSWindow* window)
{
  m_windows.push_back(window);
}

void NSApplication::windowGone(NSWindow* window)
{
  m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
  m_order.erase(std::remove(m_order.begin(), m_order.end(), window), m_order.end());
  if (m_mainWindow == window) m_mainWindow = nullptr;
  if (m_keyWindow == window) m_keyWindow = nullptr;
  if (m_keyWindowBeforeDeactivation == window) m_keyWindowBeforeDeactivation.reset();
}

void NSApplication::windowOrderedFront(NSWindow* window)
{
  m_order.erase(std::remove(m_order.begin(), m_order.end(), window), m_order.end());
  m_order.insert(m_order.begin(), window);
}

void NSApplication::windowOrderedOut(NSWindow* window)
{
  m_order.erase(std::remove(m_order.begin(), m_order.end(), window), m_order.end());
  if (window != m_keyWindow) return;
  // The next window in line takes over the keyboard, as it does when Cocoa hides one.
  NSWindow* next = nullptr;
  // Asking whether a window can be key reaches no procedure: a flag of the window's.
  for (NSWindow* candidate : orderedWindows())
    if (candidate->canBecomeKeyWindow() && !candidate->isMiniaturized())
    {
      next = candidate;
      break;
    }
  setKeyWindow(next);
}

void NSApplication::setKeyWindow(NSWindow* window)
{
  if (window == m_keyWindow) return;
  StrongRef<NSWindow> oldKey(m_keyWindow);
  StrongRef<NSWindow> newKey(window);
  m_keyWindow = window;
  if (oldKey)
  {
    oldKey->resignKeyWindow();
    if (oldKey->delegate()) oldKey->delegate()->windowDidResignKey(oldKey.get());
  }
  if (newKey)
  {
    newKey->becomeKeyWindow();
    if (newKey->delegate()) newKey->delegate()->windowDidBecomeKey(newKey.get());
    platformBackend().windowRaised(newKey.get());
    platformBackend().windowBecameKey(newKey.get());
  }
  if (window && window->canBecomeMainWindow() && window != m_mainWindow)
  {
    StrongRef<NSWindow> oldMain(m_mainWindow);
    m_mainWindow = window;
    if (oldMain) oldMain->resignMainWindow();
    newKey->becomeMainWindow();
  }
  else if (!window && m_mainWindow && !m_mainWindow->isVisible())
  {
    StrongRef<NSWindow> oldMain(m_mainWindow);
    m_mainWindow = nullptr;
    oldMain->resignMainWindow();
  }
}

void NSApplication::setActive(bool active)
{
  if (active == m_active) return;
  m_active = active;
  // Another program has the keyboard: the key window resigns, and takes it back when the
  // application is active again.
  if (!active && m_keyWindow)
  {
    m_keyWindowBeforeDeactivation = m_keyWindow;
    setKeyWindow(nullptr);
  }
  else if (active)
  {
    StrongRef<NSWindow> previous = std::move(m_keyWindowBeforeDeactivation);
    if (!m_keyWindow && previous && previous->isVisible()) previous->makeKeyWindow();
  }
  if (!m_delegate) return;
  active ? m_delegate->applicationDidBecomeActive() : m_delegate->applicationDidResignActive();
}

void NSApplication::hide(NSObject*)
{
  forEachWindow(orderedWindows(), [](NSWindow* window) { window->miniaturize(nullptr); });
  setActive(false);
}

void NSApplication::resetForTesting()
{
  for (NSModalSessionRecord* session : m_modalSessions) delete session;
  m_modalSessions.clear();
  forEachWindow(m_windows, [](NSWindow* window) {
    window->setDelegate(nullptr);
    window->close();
  });
  m_windows.clear();
  m_order.clear();
  m_keyWindow = nullptr;
  m_mainWindow = nullptr;
  m_keyWindowBeforeDeactivation.reset();
  releaseQueuedEvents();
  setMainMenu(nullptr);
  m_delegate = nullptr;
  m_presentationOptions = NSApplicationPresentationDefault;
  m_running = m_launched = m_active = m_terminating = m_terminated = m_terminationPending = m_wake = false;
  m_currentEvent = nullptr;
  g_terminationSignalled.store(false);
  NSRunLoop::currentRunLoop()->invalidateAllTimers();
}
}  // namespace cocoa
