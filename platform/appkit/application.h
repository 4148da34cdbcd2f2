#pragma once

#include "platform/appkit/action.h"
#include "platform/appkit/event.h"
#include "platform/appkit/responder.h"
#include "platform/foundation/run_loop.h"

#include <vector>

namespace cocoa
{
class NSWindow;
class NSMenu;
class NSApplication;

enum NSApplicationTerminateReply
{
  NSTerminateCancel = 0,
  NSTerminateNow = 1,
  NSTerminateLater = 2,
};

enum : NSInteger
{
  NSModalResponseStop = -1000,
  NSModalResponseAbort = -1001,
  NSModalResponseContinue = -1002,
};

// What the application asks of the desktop's Dock and menu bar while it is active.
enum NSApplicationPresentationOptions : unsigned
{
  NSApplicationPresentationDefault = 0,
  NSApplicationPresentationAutoHideDock = 1,
  NSApplicationPresentationHideDock = 2,
  NSApplicationPresentationAutoHideMenuBar = 4,
};

struct NSModalSessionRecord;
using NSModalSession = NSModalSessionRecord*;

class NSApplicationDelegate
{
public:
  virtual ~NSApplicationDelegate() = default;
  virtual void applicationDidFinishLaunching() {}
  virtual NSApplicationTerminateReply applicationShouldTerminate(NSApplication*) { return NSTerminateNow; }
  virtual void applicationWillTerminate() {}
  virtual void applicationDidBecomeActive() {}
  virtual void applicationDidResignActive() {}
  virtual bool applicationShouldOpenUntitledFile(NSApplication*) { return false; }
  virtual bool applicationOpenUntitledFile(NSApplication*) { return false; }
};

// The application: its windows, the event loop and modal runs, the main menu. One exists
// per process; the first one constructed (a subclass may filter events in sendEvent)
// becomes the shared one.
class NSApplication : public NSResponder, public RunLoopObserver
{
public:
  NSApplication();
  static NSApplication* sharedApplication();

  // Events.
  virtual void sendEvent(NSEvent* event);
  // The first queued event matching the mask, turning the run loop (timers fire) until
  // one arrives or the date passes. Autoreleased; null when the date passed or a stop,
  // an abort or termination was asked for meanwhile.
  NSEvent* nextEventMatchingMask(NSEventMask mask, double untilDate, bool dequeue);
  void postEvent(NSEvent* event, bool atStart);
  NSEvent* currentEvent() const { return m_currentEvent; }
  size_t queuedEventCount() const { return m_queue.size(); }

  // Life cycle. terminate asks the delegate; when it agrees the delegate hears
  // applicationWillTerminate and run returns, so that main can shut down in order.
  void finishLaunching();
  void run();
  void stop(NSObject* sender);
  bool isRunning() const { return m_running; }
  void terminate(NSObject* sender);
  void replyToApplicationShouldTerminate(bool shouldTerminate);
  bool hasTerminated() const { return m_terminated; }

  // Modal runs: only the modal window (with its child windows and windows above its
  // level) gets input; timers keep firing. Each runModalSession call turns the loop once
  // without sleeping and answers NSModalResponseContinue until the session is stopped.
  NSInteger runModalForWindow(NSWindow* window);
  void stopModal();
  void stopModalWithCode(NSInteger code);
  void abortModal();
  NSModalSession beginModalSessionForWindow(NSWindow* window);
  NSInteger runModalSession(NSModalSession session);
  void endModalSession(NSModalSession session);
  // Begun and not yet ended.
  bool isRunning(NSModalSession session) const;
  NSWindow* modalWindow() const;
  // The modal rule: while a window runs modally, only it, its child windows and windows
  // above its level take input and window-manager requests. Events for other windows
  // are dropped when sent.
  bool windowAcceptsInput(const NSWindow* window) const;

  // Windows.
  std::vector<NSWindow*> windows() const;
  // Visible windows, front to back.
  std::vector<NSWindow*> orderedWindows() const;
  NSWindow* keyWindow() const { return m_keyWindow; }
  NSWindow* mainWindow() const { return m_mainWindow; }
  NSWindow* windowWithWindowNumber(NSInteger number) const;
  void updateWindows();

  NSMenu* mainMenu() const { return m_mainMenu; }
  void setMainMenu(NSMenu* menu);
  NSApplicationDelegate* delegate() const { return m_delegate; }
  void setDelegate(NSApplicationDelegate* delegate) { m_delegate = delegate; }
  bool isActive() const { return m_active; }
  // Hides the application: its windows go to the desktop's icons and it gives up the
  // keyboard, until the user brings one back.
  void hide(NSObject* sender);
  // A Linux desktop has no Dock and no global menu bar to hide, so the options are kept
  // for the code that asks and change nothing on screen.
  unsigned presentationOptions() const { return m_presentationOptions; }
  void setPresentationOptions(unsigned options) { m_presentationOptions = options; }

  // Sends an action to the target, or up the responder chain of the key window, then to
  // the application and its delegate. True when someone handled it.
  bool sendAction(Action action, NSObject* target, NSObject* sender);

  void runLoopPassEnding() override;

  // For windows and backends.
  void windowCreated(NSWindow* window);
  void windowGone(NSWindow* window);
  void windowOrderedFront(NSWindow* window);
  void windowOrderedOut(NSWindow* window);
  void setKeyWindow(NSWindow* window);
  void setActive(bool active);
  // Between tests: closes every window and forgets all state.
  void resetForTesting();

protected:
  void dealloc() override;

private:
  void doTerminate();

  std::vector<NSEvent*> m_queue;
  void releaseQueuedEvents();
  NSEvent* m_currentEvent = nullptr;
  std::vector<NSWindow*> m_windows;
  std::vector<NSWindow*> m_order;  // visible windows, front first
  std::vector<NSModalSessionRecord*> m_modalSessions;
  NSWindow* m_keyWindow = nullptr;
  NSWindow* m_mainWindow = nullptr;
  StrongRef<NSWindow> m_keyWindowBeforeDeactivation;
  NSMenu* m_mainMenu = nullptr;
  NSApplicationDelegate* m_delegate = nullptr;
  unsigned m_presentationOptions = NSApplicationPresentationDefault;
  bool m_running = false;
  bool m_launched = false;
  bool m_active = false;
  bool m_terminating = false;
  bool m_terminated = false;
  bool m_terminationPending = false;
  bool m_wake = false;
};

inline NSApplication* NSApp()
{
  return NSApplication::sharedApplication();
}

// SIGINT and SIGTERM ask the application to terminate through its normal path.
void installTerminationSignalHandlers();
}  // namespace cocoa
