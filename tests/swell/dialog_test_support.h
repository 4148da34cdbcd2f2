#pragma once

// Dialogs for the tests: a dialog procedure that follows a script and records what it saw,
// and controls made of plain window views.

#include "swell-dlg.h"
#include "wnd_test_support.h"

#include "platform/foundation/object_registry.h"

#include <cstdio>
#include <unistd.h>

struct DialogScript
{
  // WM_INITDIALOG's answer (1 when not given).
  std::function<LRESULT(HWND)> onInit;
  // Any later message; its answer goes back to the dialog.
  std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> onMessage;
  std::vector<UINT> seen;
  HWND dialog = nullptr;

  int count(UINT msg) const { return static_cast<int>(std::count(seen.begin(), seen.end(), msg)); }
};

inline LRESULT scriptedDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_INITDIALOG) SetWindowLong(hwnd, GWL_USERDATA, lParam);
  auto* script = reinterpret_cast<DialogScript*>(GetWindowLong(hwnd, GWL_USERDATA));
  if (!script) return 0;
  script->seen.push_back(msg);
  if (msg == WM_INITDIALOG)
  {
    script->dialog = hwnd;
    return script->onInit ? script->onInit(hwnd) : 1;
  }
  return script->onMessage ? script->onMessage(hwnd, msg, wParam, lParam) : 0;
}

// Ends a modal run still going 30 virtual seconds from now, so that a run the code under
// test fails to end fails the test instead of hanging it.
inline void giveUpAfterAWhile(cocoa::TestDriver& driver, bool* gaveUp)
{
  driver.at(driver.now() + 30, [gaveUp] {
    if (!cocoa::NSApp()->modalWindow()) return;
    *gaveUp = true;
    cocoa::NSApp()->abortModal();
  });
}

inline LPARAM scriptParam(DialogScript& script)
{
  return reinterpret_cast<LPARAM>(&script);
}

// Two controls with the ids 11 and 12 in the top-left corner: plain window views that can
// take the focus.
inline void makeTwoControls(HWND dialog, int)
{
  for (int id : {11, 12})
  {
    auto* control = new Swell_vVorna_hwnd;
    control->initChild(nullptr, swellObjectOf(dialog), nullptr, 0);
    control->setTag(id);
    control->cocoa::NSView::setFrame(cocoa::NSMakeRect(10, 10 + 30 * (id - 11), 60, 20));
    control->setHidden(false);
    control->release();
  }
}

// A stand-in for a dialog's push buttons: a window view that may be the default one.
class PushButton : public Swell_vVorna_hwnd, public SWELL_DefaultButton
{
public:
  explicit PushButton(bool isDefault) : m_default(isDefault) {}
  bool swellIsDefaultButton() override { return m_default; }

private:
  bool m_default;
};

inline HWND addButton(HWND parent, int id, bool isDefault)
{
  auto* button = new PushButton(isDefault);
  button->initChild(nullptr, swellObjectOf(parent), nullptr, 0);
  button->setTag(id);
  button->cocoa::NSView::setFrame(cocoa::NSMakeRect(100, 60, 60, 20));
  button->setHidden(false);
  button->release();
  return button->handle();
}

// The process's resident size in bytes, for checks that many cycles leave it flat.
inline long residentBytes()
{
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r"))
  {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

// A thousand cycles after twenty to warm up leave no platform object behind and the resident
// size within `slackBytes`.
inline void expectNothingLeftAfterAThousand(const std::function<void()>& cycle, long slackBytes)
{
  for (int i = 0; i < 20; ++i) cycle();
  const size_t objects = cocoa::liveObjectCount();
  const long resident = residentBytes();
  for (int i = 0; i < 1000; ++i) cycle();
  EXPECT_EQ(cocoa::liveObjectCount(), objects);
#if !defined(__SANITIZE_ADDRESS__)
  // The address sanitizer holds freed memory back on purpose; without it the size stays put.
  EXPECT_LT(residentBytes() - resident, slackBytes);
#else
  (void)resident;
  (void)slackBytes;
#endif
}
