#pragma once

// Windows for the tests: window views whose procedure records every message and may answer
// some of them, inside top-level windows or other views, on the headless platform with the
// posted-message queue running.

#include "swell-timer.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct Message
{
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// What a window's procedure saw. `answer` may reply to a message; nullopt falls through to
// DefWindowProc.
struct Recorder
{
  std::string name;
  std::vector<Message> log;
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;
  // Every recorder's messages in the order they arrived, across windows: "name:msg".
  std::vector<std::string>* journal = nullptr;

  int count(UINT msg) const
  {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [msg](const Message& m) { return m.msg == msg; }));
  }
  const Message* last(UINT msg) const
  {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
      if (it->msg == msg) return &*it;
    return nullptr;
  }
  std::vector<UINT> only(std::initializer_list<UINT> wanted) const
  {
    std::vector<UINT> seen;
    for (const Message& m : log)
      if (std::find(wanted.begin(), wanted.end(), m.msg) != wanted.end()) seen.push_back(m.msg);
    return seen;
  }
};

inline LRESULT recordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_CREATE) SetWindowLong(hwnd, GWL_USERDATA, lParam);
  auto* recorder = reinterpret_cast<Recorder*>(GetWindowLong(hwnd, GWL_USERDATA));
  if (!recorder) return DefWindowProc(hwnd, msg, wParam, lParam);
  recorder->log.push_back(Message{hwnd, msg, wParam, lParam});
  if (recorder->journal) recorder->journal->push_back(recorder->name + ":" + std::to_string(msg));
  if (recorder->answer)
    if (std::optional<LRESULT> answer = recorder->answer(hwnd, msg, wParam, lParam)) return *answer;
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

inline int packedX(LPARAM lParam)
{
  return static_cast<short>(lParam & 0xFFFF);
}

inline int packedY(LPARAM lParam)
{
  return static_cast<short>((lParam >> 16) & 0xFFFF);
}

// Answers the queue's questions as the application's controller will.
class QueueController : public cocoa::NSApplicationDelegate, public SWELL_PostMessageController
{
};

class WindowTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    cocoa::NSApp()->setDelegate(&controller);
    SWELL_Internal_PostMessage_Init();
    SWELL_Internal_PMQ_ClearAllMessages(nullptr);
  }

  // Answers may hold what the test body kept; the windows outlive it.
  void TearDown() override
  {
    for (Recorder& r : recorders) r.answer = nullptr;
  }

  Recorder* recorder(const std::string& name)
  {
    recorders.push_back(Recorder{name, {}, nullptr, &journal});
    return &recorders.back();
  }

  // A shown child window view of the given frame (in the parent's coordinates).
  HWND child(HWND parent, Recorder* r, cocoa::NSRect frame = cocoa::NSMakeRect(0, 0, 100, 80))
  {
    auto* view = new Swell_vVorna_hwnd;
    view->initChild(nullptr, swellObjectOf(parent), recordingProc, reinterpret_cast<LPARAM>(r));
    HWND hwnd = view->handle();
    view->release();
    view->setFrame(frame);
    ShowWindow(hwnd, SW_SHOWNA);
    return hwnd;
  }

  // A shown top-level window; returns its content view. The content rectangle is in screen
  // coordinates.
  HWND topLevel(Recorder* r, cocoa::NSRect content = cocoa::NSMakeRect(100, 100, 300, 200),
                unsigned style = cocoa::NSWindowStyleMaskTitled | cocoa::NSWindowStyleMaskResizable,
                HWND owner = nullptr)
  {
    auto* view = new Swell_vVorna_hwnd;
    view->initChild(nullptr, nullptr, recordingProc, reinterpret_cast<LPARAM>(r));
    view->cocoa::NSView::setFrame(cocoa::NSMakeRect(0, 0, content.size.width, content.size.height));
    HWND window = SWELL_CreateModelessFrameForWindow(view->handle(), owner, style);
    view->release();
    auto* platformWindow = dynamic_cast<cocoa::NSWindow*>(swellObjectOf(window));
    platformWindow->setFrame(platformWindow->frameRectForContentRect(content), false);
    ShowWindow(view->handle(), SW_SHOW);
    return view->handle();
  }

  static cocoa::NSWindow* windowOf(HWND view)
  {
    return dynamic_cast<cocoa::NSView*>(swellObjectOf(view))->window();
  }

  static Swell_vVorna_hwnd* viewOf(HWND hwnd) { return swellWindowView(hwnd); }

  // Recorders outlive the driver, which closes what the tests left open, and the pool, which
  // lets go of the events (and so the windows) that scripted input made.
  std::deque<Recorder> recorders;
  std::vector<std::string> journal;
  QueueController controller;
  cocoa::NSAutoreleasePool pool;
  cocoa::TestDriver driver;
};
