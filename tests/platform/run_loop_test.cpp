#include "platform/appkit/application.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/run_loop.h"
#include "platform/foundation/timer.h"
#include "platform/foundation/object_registry.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
struct Firing
{
  std::string name;
  double time;
};

class Recorder : public NSObject, public TimerTarget
{
public:
  explicit Recorder(std::vector<Firing>* log) : m_log(log) {}
  void timerFired(NSTimer* timer) override
  {
    m_log->push_back({"target", NSRunLoop::currentRunLoop()->now()});
    seenInfo = timer->userInfo();
  }
  NSObject* seenInfo = nullptr;

private:
  std::vector<Firing>* m_log;
};

NSTimer* every(double interval, std::vector<Firing>* log, const std::string& name)
{
  return NSTimer::scheduledTimerWithTimeInterval(interval, true, [log, name](NSTimer*) {
    log->push_back({name, NSRunLoop::currentRunLoop()->now()});
  });
}

// A window with a view that runs a handler when clicked and notes when it is drawn.
class ClickView : public NSView
{
public:
  using NSView::NSView;
  std::function<void()> onClick;
  std::vector<double> drawnAt;
  void drawRect(NSRect) override { drawnAt.push_back(NSRunLoop::currentRunLoop()->now()); }
  bool acceptsFirstMouse(NSEvent*) override { return true; }
  void mouseDown(NSEvent*) override
  {
    if (onClick) onClick();
  }
};

NSWindow* windowWithClickView(ClickView** view)
{
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, 200, 100), NSWindowStyleMaskTitled);
  *view = new ClickView(NSMakeRect(0, 0, 200, 100));
  window->contentView()->addSubview(*view);
  (*view)->release();
  window->makeKeyAndOrderFront(nullptr);
  return window;
}
}  // namespace

TEST(Timers, FireInTimeOrderAtTheirScheduledTimes)
{
  TestDriver driver;
  std::vector<Firing> log;
  // Binary fractions, so that equal times are exactly equal: then the first scheduled fires first.
  every(0.25, &log, "a");
  every(0.375, &log, "b");
  NSTimer::scheduledTimerWithTimeInterval(0.625, false, [&](NSTimer*) { log.push_back({"once", driver.now()}); });
  driver.runFor(1.0);
  const std::vector<std::pair<std::string, double>> expected = {
      {"a", 0.25}, {"b", 0.375}, {"a", 0.5}, {"once", 0.625}, {"a", 0.75}, {"b", 0.75}, {"a", 1.0}};
  ASSERT_EQ(log.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
  {
    EXPECT_EQ(log[i].name, expected[i].first) << i;
    EXPECT_NEAR(log[i].time, expected[i].second, 1e-9) << i;
  }
}

TEST(Timers, RepeatingTimersKeepTheirBeatWhenCallbacksTakeTime)
{
  TestDriver driver;
  std::vector<double> times;
  NSTimer::scheduledTimerWithTimeInterval(0.04, true, [&](NSTimer*) {
    times.push_back(driver.now());
    // Each callback costs 15 ms; the next firing still comes on the 40 ms grid.
    driver.backend().virtualClock().advanceBy(0.015);
  });
  driver.runFor(10.0);
  ASSERT_EQ(times.size(), 250u);
  for (size_t i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i], 0.04 * static_cast<double>(i + 1), 1e-9) << i;
}

TEST(Timers, ACallbackLongerThanTheIntervalFiresOnceLateThenRejoinsItsBeat)
{
  TestDriver driver;
  std::vector<double> times;
  NSTimer::scheduledTimerWithTimeInterval(0.1, true, [&](NSTimer*) {
    times.push_back(driver.now());
    if (times.size() == 1) driver.backend().virtualClock().advanceBy(0.25);
  });
  driver.runFor(0.5);
  // The beats at 0.2 and 0.3 passed during the slow callback: they come as one late firing.
  ASSERT_EQ(times.size(), 4u);
  EXPECT_NEAR(times[0], 0.1, 1e-9);
  EXPECT_NEAR(times[1], 0.35, 1e-9);
  EXPECT_NEAR(times[2], 0.4, 1e-9);
  EXPECT_NEAR(times[3], 0.5, 1e-9);
}

TEST(Timers, ATimerScheduledTwiceFiresOnOneSchedule)
{
  TestDriver driver;
  std::vector<Firing> log;
  NSTimer* timer = every(0.125, &log, "t");
  NSRunLoop::currentRunLoop()->addTimer(timer);
  driver.runFor(0.3);
  // Scheduled again while scheduled, between two firings.
  NSRunLoop::currentRunLoop()->addTimer(timer);
  driver.runFor(0.25);
  const std::vector<double> expected = {0.125, 0.25, 0.375, 0.5};
  ASSERT_EQ(log.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(log[i].time, expected[i]) << i;
}

TEST(Timers, InvalidatingAnotherTimerDuringAFiringStopsIt)
{
  TestDriver driver;
  std::vector<Firing> log;
  NSTimer* victim = every(0.1, &log, "victim");
  NSTimer::scheduledTimerWithTimeInterval(0.1, false, [&](NSTimer*) { victim->invalidate(); });
  // Scheduled after the victim, so it would fire first only if order were ignored.
  driver.runFor(0.35);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NEAR(log[0].time, 0.1, 1e-9);
}

TEST(Timers, TargetTimersOwnTheirTargetAndUserInfoUntilInvalidated)
{
  TestDriver driver;
  std::vector<Firing> log;
  auto* target = new Recorder(&log);
  auto* info = new NSObject;
  NSTimer* timer = NSTimer::scheduledTimerWithTimeInterval(0.05, target, info, true);
  target->release();
  info->release();
  driver.runFor(0.1);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(target->seenInfo, info);
  EXPECT_TRUE(isLiveObject(target));
  timer->invalidate();
  driver.runFor(0.1);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_FALSE(isLiveObject(target));
  EXPECT_FALSE(isLiveObject(info));
}

TEST(RunLoop, ATimerThatIsAlwaysDueStillLetsInputAndDrawingThrough)
{
  TestDriver driver;
  ClickView* view = nullptr;
  NSWindow* window = windowWithClickView(&view);
  double clickedAt = -1;
  view->onClick = [&] {
    clickedAt = driver.now();
    view->setNeedsDisplay(true);
  };
  // Every 1 ms, and each firing takes 2 ms: whenever the loop looks, the timer is due.
  NSTimer::scheduledTimerWithTimeInterval(0.001, true, [&](NSTimer*) { driver.backend().virtualClock().advanceBy(0.002); });
  driver.at(0.05, [&] {
    view->drawnAt.clear();
    driver.click(window, NSMakePoint(50, 50));
  });
  driver.runFor(0.2);
  EXPECT_NEAR(clickedAt, 0.05, 0.01);
  ASSERT_FALSE(view->drawnAt.empty());
  EXPECT_LT(view->drawnAt.front(), clickedAt + 0.01);  // long before the run ended
  window->close();
}

// An observer's pass may remove another observer, whose owner may then free it: a removed
// observer is not called.
TEST(RunLoop, AnObserverRemovedDuringAPassIsNotCalled)
{
  struct Counting : RunLoopObserver
  {
    int passes = 0;
    std::function<void()> onPass;
    void runLoopPassEnding() override
    {
      ++passes;
      if (onPass) std::exchange(onPass, nullptr)();
    }
  };
  TestDriver driver;
  NSRunLoop* loop = NSRunLoop::currentRunLoop();
  Counting first;
  auto second = std::make_unique<Counting>();
  loop->addObserver(&first);
  loop->addObserver(second.get());
  first.onPass = [&] {
    loop->removeObserver(second.get());
    second.reset();
  };
  loop->runOnce(loop->now());
  EXPECT_EQ(first.passes, 1);
  EXPECT_EQ(second, nullptr);
  loop->removeObserver(&first);
}

TEST(ModalRuns, ACallerDrivenSessionFiresTimersDeliversInputAndDraws)
{
  TestDriver driver;
  ClickView* view = nullptr;
  NSWindow* window = windowWithClickView(&view);
  std::vector<Firing> log;
  every(0.03, &log, "tick");
  NSModalSession session = NSApp()->beginModalSessionForWindow(window);
  view->drawnAt.clear();
  view->onClick = [&] { NSApp()->stopModalWithCode(5); };
  driver.at(0.1, [&] { driver.click(window, NSMakePoint(50, 50)); });
  NSInteger result = NSModalResponseContinue;
  // The caller sleeps 10 ms between calls; the virtual clock stands in for it.
  for (int calls = 0; calls < 100 && (result = NSApp()->runModalSession(session)) == NSModalResponseContinue; ++calls)
    driver.backend().virtualClock().advanceBy(0.01);
  NSApp()->endModalSession(session);
  EXPECT_EQ(result, 5);
  EXPECT_NEAR(driver.now(), 0.1, 1e-9);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_NEAR(log[2].time, 0.09, 1e-9);
  ASSERT_FALSE(view->drawnAt.empty());
  EXPECT_EQ(view->drawnAt.front(), 0);  // drawn by the first call itself
  window->close();
}

TEST(ModalRuns, TimersFireInsideAModalRunAndATimerCanEndIt)
{
  TestDriver driver;
  std::vector<Firing> log;
  every(0.1, &log, "tick");
  NSWindow* dialog = new NSPanel(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSTimer::scheduledTimerWithTimeInterval(0.55, false, [&](NSTimer*) { NSApp()->stopModalWithCode(7); });
  const NSInteger result = NSApp()->runModalForWindow(dialog);
  EXPECT_EQ(result, 7);
  EXPECT_NEAR(driver.now(), 0.55, 1e-9);
  EXPECT_EQ(log.size(), 5u);
  EXPECT_EQ(NSApp()->modalWindow(), nullptr);
  dialog->close();
}

TEST(ModalRuns, AScriptedClickEndsTheRunAndOtherWindowsGetNoInput)
{
  TestDriver driver;
  ClickView* behindView = nullptr;
  NSWindow* behind = windowWithClickView(&behindView);
  int behindClicks = 0;
  behindView->onClick = [&] { ++behindClicks; };
  ClickView* dialogView = nullptr;
  NSWindow* dialog = windowWithClickView(&dialogView);
  dialogView->onClick = [&] { NSApp()->stopModal(); };
  driver.at(0.2, [&] { driver.click(behind, NSMakePoint(50, 50)); });
  driver.at(0.3, [&] { driver.click(dialog, NSMakePoint(50, 50)); });
  EXPECT_EQ(NSApp()->runModalForWindow(dialog), NSModalResponseStop);
  EXPECT_NEAR(driver.now(), 0.3, 1e-9);
  EXPECT_EQ(behindClicks, 0);
  driver.click(behind, NSMakePoint(50, 50));
  EXPECT_EQ(behindClicks, 1);
  dialog->close();
  behind->close();
}

TEST(ModalRuns, NestedRunsEndInnermostFirstAndSessionsPollWithoutBlocking)
{
  TestDriver driver;
  NSWindow* outer = new NSPanel(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSWindow* inner = new NSPanel(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  NSInteger innerResult = 0;
  NSTimer::scheduledTimerWithTimeInterval(0.1, false, [&](NSTimer*) {
    NSTimer::scheduledTimerWithTimeInterval(0.1, false, [&](NSTimer*) { NSApp()->abortModal(); });
    innerResult = NSApp()->runModalForWindow(inner);
    NSApp()->stopModalWithCode(3);
  });
  EXPECT_EQ(NSApp()->runModalForWindow(outer), 3);
  EXPECT_EQ(innerResult, NSModalResponseAbort);

  NSModalSession session = NSApp()->beginModalSessionForWindow(outer);
  EXPECT_EQ(NSApp()->modalWindow(), outer);
  const double before = driver.now();
  EXPECT_EQ(NSApp()->runModalSession(session), NSModalResponseContinue);
  EXPECT_EQ(driver.now(), before);
  NSApp()->stopModalWithCode(9);
  EXPECT_EQ(NSApp()->runModalSession(session), 9);
  NSApp()->endModalSession(session);
  EXPECT_EQ(NSApp()->modalWindow(), nullptr);
  inner->close();
  outer->close();
}

TEST(Application, TerminateAsksTheDelegateAndRunReturnsAfterWillTerminate)
{
  TestDriver driver;
  struct Delegate : NSApplicationDelegate
  {
    std::vector<std::string> calls;
    NSApplicationTerminateReply reply = NSTerminateLater;
    NSApplicationTerminateReply applicationShouldTerminate(NSApplication*) override
    {
      calls.push_back("should");
      return reply;
    }
    void applicationWillTerminate() override { calls.push_back("will"); }
  } delegate;
  NSApp()->setDelegate(&delegate);
  NSTimer::scheduledTimerWithTimeInterval(0.1, false, [&](NSTimer*) { NSApp()->terminate(nullptr); });
  NSTimer::scheduledTimerWithTimeInterval(0.2, false, [&](NSTimer*) { NSApp()->replyToApplicationShouldTerminate(false); });
  NSTimer::scheduledTimerWithTimeInterval(0.3, false, [&](NSTimer*) {
    delegate.reply = NSTerminateNow;
    NSApp()->terminate(nullptr);
  });
  NSApp()->run();
  EXPECT_EQ(delegate.calls, (std::vector<std::string>{"should", "should", "will"}));
  EXPECT_NEAR(driver.now(), 0.3, 1e-9);
  NSApp()->setDelegate(nullptr);
}

TEST(Application, TerminateWhileTerminatingIsIgnored)
{
  TestDriver driver;
  struct Delegate : NSApplicationDelegate
  {
    int should = 0;
    int will = 0;
    NSApplicationTerminateReply applicationShouldTerminate(NSApplication*) override { return ++should, NSTerminateNow; }
    // The shut-down destroys the main window, which asks to quit again (bounded so that a
    // failing run does not recurse without end).
    void applicationWillTerminate() override
    {
      if (++will < 3) NSApp()->terminate(nullptr);
    }
  } delegate;
  NSApp()->setDelegate(&delegate);
  NSTimer::scheduledTimerWithTimeInterval(0.1, false, [&](NSTimer*) { NSApp()->terminate(nullptr); });
  NSApp()->run();
  EXPECT_EQ(delegate.should + delegate.will, 2);
  NSApp()->setDelegate(nullptr);
}
