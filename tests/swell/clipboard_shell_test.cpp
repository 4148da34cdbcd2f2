// The clipboard and its formats, drop handles and files dropped on windows, promised files
// kept beside existing ones, and the shell services: metrics, scrolling, window search,
// opening documents and the focus-rectangle overlay.
#include "ctl_test_support.h"

#include "swell-clipboard.h"
#include "swell-dragdrop.h"
#include "swell-hosted.h"
#include "swell-misc.h"
#include "swell-shell.h"

#include "platform/appkit/pasteboard.h"
#include "platform/appkit/screen.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/workspace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

using namespace cocoa;

namespace
{
HANDLE textHandle(const std::string& text, bool terminated = true)
{
  HANDLE h = GlobalAlloc(0, static_cast<int>(text.size() + (terminated ? 1 : 0)));
  std::memcpy(GlobalLock(h), text.c_str(), text.size() + (terminated ? 1 : 0));
  GlobalUnlock(h);
  return h;
}

std::string handleBytes(HANDLE h)
{
  const auto* data = static_cast<const char*>(GlobalLock(h));
  std::string bytes(data, static_cast<size_t>(GlobalSize(h)));
  GlobalUnlock(h);
  return bytes;
}

std::string makeTempDir()
{
  char pattern[] = "/tmp/vorna-shell-XXXXXX";
  return mkdtemp(pattern);
}

void touch(const std::string& path)
{
  std::ofstream(path) << "x";
}

class ClipboardShellTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    NSPasteboard::resetAllForTesting();
  }
};
}  // namespace

TEST_F(ClipboardShellTest, TextIsTheFirstFormatAndTravelsThroughTheDesktopClipboard)
{
  EXPECT_TRUE(OpenClipboard(nullptr));
  const UINT text = RegisterClipboardFormat("SWELL__CF_TEXT");
  EXPECT_EQ(text, 1u);
  const UINT patch = RegisterClipboardFormat("vorna/patch");
  EXPECT_EQ(patch, 2u);
  EXPECT_EQ(RegisterClipboardFormat("vorna/patch"), patch);
  EXPECT_EQ(EnumClipboardFormats(0), 0u);  // nothing on the application's pasteboard yet

  // Text with another format: both go to the general pasteboard, and the text to the desktop.
  SetClipboardData(text, textHandle("hello"));
  SetClipboardData(patch, textHandle("p1"));
  CloseClipboard();
  EXPECT_EQ(driver.backend().clipboardText(), std::optional<std::string>("hello"));
  EXPECT_EQ(NSPasteboard::generalPasteboard()->dataForType(NSString("vorna/patch")), std::vector<uint8_t>({'p', '1', 0}));
  OpenClipboard(nullptr);
  HANDLE got = GetClipboardData(text);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(handleBytes(got), std::string("hello", 6));
  EXPECT_EQ(GetClipboardData(patch), nullptr);  // not on the application's pasteboard
  EXPECT_EQ(GetClipboardData(99), nullptr);
  CloseClipboard();

  // Another program's text is what is pasted.
  driver.backend().setClipboardText("from xclip");
  OpenClipboard(nullptr);
  EXPECT_EQ(handleBytes(GetClipboardData(text)), std::string("from xclip", 11));
  // The application's own formats alone stay on its own pasteboard, bytes exact; emptying
  // drops what was set and not yet written.
  SetClipboardData(patch, textHandle("raw", false));
  CloseClipboard();
  OpenClipboard(nullptr);
  SetClipboardData(text, textHandle("dropped"));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(driver.backend().clipboardText(), std::optional<std::string>("from xclip"));
  OpenClipboard(nullptr);
  EXPECT_EQ(EnumClipboardFormats(0), patch);
  EXPECT_EQ(EnumClipboardFormats(patch), 0u);
  EXPECT_EQ(handleBytes(GetClipboardData(patch)), "raw");
  CloseClipboard();
}

TEST_F(ClipboardShellTest, DropHandlesAreReadWithinTheirBuffersAndReachTheViewThatTakesDrops)
{
  const std::vector<std::string> names = {"/a/kick.wav", "/b/longname.wav", "/c"};
  HANDLE drop = swellMakeDropHandle(names, POINT{12, 34});
  EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0), 3u);
  char buf[64];
  std::strcpy(buf, "untouched");
  EXPECT_EQ(DragQueryFile(drop, 1, buf, 4), 3u);
  EXPECT_STREQ(buf, "/b/");
  std::strcpy(buf, "untouched");
  EXPECT_EQ(DragQueryFile(drop, 1, buf, 0), 0u);
  EXPECT_STREQ(buf, "untouched");
  EXPECT_EQ(DragQueryFile(drop, 1, nullptr, 0), 15u);
  EXPECT_EQ(DragQueryFile(drop, 2, buf, sizeof buf), 2u);
  EXPECT_STREQ(buf, "/c");
  EXPECT_EQ(DragQueryFile(drop, 3, buf, sizeof buf), 0u);
  EXPECT_EQ(DragQueryFile(nullptr, 0xFFFFFFFF, nullptr, 0), 0u);
  POINT p{};
  EXPECT_TRUE(DragQueryPoint(drop, &p));
  EXPECT_EQ(p.x, 12);
  EXPECT_EQ(p.y, 34);
  EXPECT_EQ(GlobalSize(drop), static_cast<int>(16 + 12 + 16 + 3 + 1));
  GlobalFree(drop);

  // A child that takes drops inside a window that does not: the files reach the child, in
  // order, with the point in its own coordinates.
  Recorder* top = recorder("top");
  Recorder* taker = recorder("taker");
  HWND window = topLevel(top);
  HWND child = WindowTest::child(window, taker, NSMakeRect(50, 40, 100, 80));
  SetWindowLong(child, GWL_EXSTYLE, WS_EX_ACCEPTFILES);
  std::vector<std::string> seen;
  POINT where{};
  taker->answer = [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_DROPFILES) return std::nullopt;
    auto h = reinterpret_cast<HDROP>(wParam);
    for (UINT i = 0; i < DragQueryFile(h, 0xFFFFFFFF, nullptr, 0); ++i)
    {
      char name[256];
      DragQueryFile(h, i, name, sizeof name);
      seen.emplace_back(name);
    }
    DragQueryPoint(h, &where);
    return 0;
  };
  NSWindow* platformWindow = windowOf(window);
  const NSPoint base = viewOf(child)->convertPointToView(NSMakePoint(10, 20), nullptr);
  platformWindow->backendFilesDropped({NSString("/x/one.wav"), NSString("/y/two.wav")}, base);
  EXPECT_EQ(seen, (std::vector<std::string>{"/x/one.wav", "/y/two.wav"}));
  EXPECT_EQ(where.x, 10);
  EXPECT_EQ(where.y, 20);
  EXPECT_EQ(taker->count(WM_DROPFILES), 1);
  // Outside the child nothing takes them.
  platformWindow->backendFilesDropped({NSString("/z")}, viewOf(window)->convertPointToView(NSMakePoint(5, 5), nullptr));
  EXPECT_EQ(top->count(WM_DROPFILES), 0);
  EXPECT_EQ(taker->count(WM_DROPFILES), 1);
  SetWindowLong(child, GWL_EXSTYLE, 0);
  platformWindow->backendFilesDropped({NSString("/x/one.wav")}, base);
  EXPECT_EQ(taker->count(WM_DROPFILES), 1);
}

TEST_F(ClipboardShellTest, EveryFileOfADroppedListArrivesWhateverTheOtherPathsHold)
{
  Recorder* top = recorder("top");
  Recorder* taker = recorder("taker");
  HWND window = topLevel(top);
  HWND child = WindowTest::child(window, taker, NSMakeRect(50, 40, 100, 80));
  SetWindowLong(child, GWL_EXSTYLE, WS_EX_ACCEPTFILES);
  std::vector<std::string> seen;
  taker->answer = [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_DROPFILES) return std::nullopt;
    auto h = reinterpret_cast<HDROP>(wParam);
    for (UINT i = 0; i < DragQueryFile(h, 0xFFFFFFFF, nullptr, 0); ++i)
    {
      char name[256];
      DragQueryFile(h, i, name, sizeof name);
      seen.emplace_back(name);
    }
    return 0;
  };
  NSWindow* platformWindow = windowOf(window);
  const NSPoint base = viewOf(child)->convertPointToView(NSMakePoint(10, 20), nullptr);

  // A path ends at its first NUL, as the desktop's C strings do; one with nothing left names
  // no file and takes none of the others with it.
  const struct
  {
    const char* what;
    std::vector<std::string> paths;
    std::vector<std::string> arrive;
  } cases[] = {
      {"an empty path first", {"", "/x/one.wav", "/y/two.wav"}, {"/x/one.wav", "/y/two.wav"}},
      {"an empty path between", {"/x/one.wav", "", "/y/two.wav"}, {"/x/one.wav", "/y/two.wav"}},
      {"a NUL inside a path", {std::string("/x/a\0b.wav", 11), "/y/two.wav"}, {"/x/a", "/y/two.wav"}},
      {"a path that is only a NUL", {std::string("\0/z", 3), "/y/two.wav"}, {"/y/two.wav"}},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    seen.clear();
    platformWindow->backendFilesDropped(std::vector<NSString>(c.paths.begin(), c.paths.end()), base);
    EXPECT_EQ(seen, c.arrive);
  }
  // Nothing but empty paths is no drop at all.
  const int drops = taker->count(WM_DROPFILES);
  platformWindow->backendFilesDropped({NSString(""), NSString(std::string("\0", 1))}, base);
  EXPECT_EQ(taker->count(WM_DROPFILES), drops);
}

namespace
{
// What the application's drag hooks heard: "enter N x,y" (N files in the preview), "over x,y", "leave".
std::vector<std::string> g_dragHooks;

std::string screenText(POINT p)
{
  return std::to_string(p.x) + "," + std::to_string(p.y);
}

void setDragHooks(bool set)
{
  g_dragHooks.clear();
  SWELL_DDrop_onDragEnter = set ? +[](HANDLE preview, POINT p) {
    g_dragHooks.push_back("enter " + std::to_string(DragQueryFile(preview, 0xFFFFFFFF, nullptr, 0)) + " " + screenText(p));
  } : nullptr;
  SWELL_DDrop_onDragOver = set ? +[](POINT p) { g_dragHooks.push_back("over " + screenText(p)); } : nullptr;
  SWELL_DDrop_onDragLeave = set ? +[] { g_dragHooks.push_back("leave"); } : nullptr;
}
}  // namespace

TEST_F(ClipboardShellTest, ADragOverAViewThatTakesFilesCallsTheHooksAndAPressForgetsAPromise)
{
  Recorder* top = recorder("top");
  Recorder* taker = recorder("taker");
  HWND window = topLevel(top);  // content at screen (100, 100), 300 x 200
  HWND child = WindowTest::child(window, taker, NSMakeRect(50, 40, 100, 80));
  SetWindowLong(child, GWL_EXSTYLE, WS_EX_ACCEPTFILES);
  NSWindow* platformWindow = windowOf(window);
  setDragHooks(true);

  // In from outside the child: entered at x 70, then two moves over it, then the drop.
  driver.dragFiles(platformWindow, {"/x/a.wav", "/x/b.wav"}, NSMakePoint(20, 50), NSMakePoint(120, 90), 4);
  EXPECT_EQ(g_dragHooks, (std::vector<std::string>{"enter 2 170,230", "over 195,220", "over 220,210", "leave"}));
  EXPECT_EQ(taker->count(WM_DROPFILES), 1);

  // The answer to a move: the general operation where files are taken, none elsewhere.
  NSPasteboard* pasteboard = NSPasteboard::pasteboardWithName(NSDragPboard);
  NSDraggingInfo over(pasteboard, NSMakePoint(100, 100));
  g_dragHooks.clear();
  EXPECT_EQ(viewOf(child)->draggingUpdated(&over), 4u);
  EXPECT_EQ(viewOf(window)->draggingUpdated(&over), 0u);
  EXPECT_EQ(g_dragHooks.size(), 1u);
  setDragHooks(false);
  EXPECT_EQ(viewOf(child)->draggingUpdated(&over), 4u);

  // A press anywhere forgets a promised file, even on a disabled view.
  static std::vector<std::string> written;
  written.clear();
  auto writeIt = +[](const char* path) { written.emplace_back(path); };
  SWELL_InitiateDragDrop(child, nullptr, "/r/late.wav", writeIt);
  driver.click(platformWindow, NSMakePoint(10, 10));
  EXPECT_TRUE(SWELL_DoDragDrop("/tmp").empty());
  EnableWindow(window, false);
  SWELL_InitiateDragDrop(child, nullptr, "/r/later.wav", writeIt);
  driver.click(platformWindow, NSMakePoint(10, 10));
  EXPECT_TRUE(SWELL_DoDragDrop("/tmp").empty());
  EXPECT_TRUE(written.empty());
}

TEST_F(ClipboardShellTest, APromisedFileBesideAnExistingOneTakesTheNextFreeNumber)
{
  const std::string dir = makeTempDir();
  HWND view = topLevel(recorder("source"));
  static std::vector<std::string> written;
  written.clear();
  auto writeIt = +[](const char* path) {
    written.emplace_back(path);
    touch(path);
  };
  touch(dir + "/take 2.wav");
  touch(dir + "/take 003.wav");
  touch(dir + "/take.wav");
  // A file of the name is there: the question decides, keeping both by default.
  auto answer = [this](const char* button) {
    driver.at(driver.now() + 0.2, [this, button] { EXPECT_TRUE(clickInModal(driver, button)); });
  };
  std::string asked;
  driver.at(driver.now() + 0.1, [&asked] {
    if (NSWindow* w = modalWindow()) asked = w->title().str();
  });
  answer("Keep Both Files");
  SWELL_InitiateDragDrop(view, nullptr, "/renders/take 2.wav", writeIt);
  EXPECT_EQ(SWELL_DoDragDrop(dir.c_str()), std::vector<std::string>{"take 004.wav"});
  EXPECT_EQ(asked, "Copy");
  answer("Keep Both Files");
  SWELL_InitiateDragDrop(view, nullptr, "/renders/take.wav", writeIt);
  EXPECT_EQ(SWELL_DoDragDrop(dir.c_str()), std::vector<std::string>{"take 001.wav"});
  answer("Stop");
  SWELL_InitiateDragDrop(view, nullptr, "/renders/take.wav", writeIt);
  EXPECT_TRUE(SWELL_DoDragDrop(dir.c_str()).empty());
  answer("Replace");
  SWELL_InitiateDragDrop(view, nullptr, "/renders/take.wav", writeIt);
  EXPECT_EQ(SWELL_DoDragDrop(dir.c_str()), std::vector<std::string>{"take.wav"});
  SWELL_InitiateDragDrop(view, nullptr, "fresh.wav", writeIt);  // no folder in the path, nothing there
  EXPECT_EQ(SWELL_DoDragDrop(dir.c_str()), std::vector<std::string>{"fresh.wav"});
  EXPECT_EQ(written, (std::vector<std::string>{dir + "/take 004.wav", dir + "/take 001.wav", dir + "/take.wav",
                                               dir + "/fresh.wav"}));
  // Nothing pending after a fulfilment, or once forgotten.
  EXPECT_TRUE(SWELL_DoDragDrop(dir.c_str()).empty());
  SWELL_InitiateDragDrop(view, nullptr, "/r/late.wav", writeIt);
  SWELL_FinishDragDrop();
  EXPECT_TRUE(SWELL_DoDragDrop(dir.c_str()).empty());
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST_F(ClipboardShellTest, MetricsScrollingAndWindowSearch)
{
  EXPECT_EQ(GetSystemMetrics(SM_CYVSCROLL), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_EQ(GetSystemMetrics(22), 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), static_cast<int>(NSScreen::mainScreen()->frame().size.width));

  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  HWND first = child(top, recorder("first"), NSMakeRect(0, 0, 20, 20));
  auto* label = new NSTextField(NSMakeRect(30, 30, 50, 20));
  label->setStringValue(NSString("Gain"));
  viewOf(top)->addSubview(label);
  label->release();
  HWND second = child(top, recorder("second"), NSMakeRect(60, 5, 20, 20));
  SetDlgItemText(second, 0, "Gain");

  EXPECT_EQ(ScrollWindow(top, 0, 0, nullptr, nullptr), 0);
  EXPECT_EQ(ScrollWindow(top, 5, 7, nullptr, nullptr), 1);
  EXPECT_EQ(viewOf(first)->frame().origin.x, 5);
  EXPECT_EQ(label->frame().origin.y, 37);

  EXPECT_EQ(FindWindowEx(top, nullptr, "Static", nullptr), swellHandleOf(label));
  EXPECT_EQ(FindWindowEx(top, nullptr, nullptr, nullptr), first);
  EXPECT_EQ(FindWindowEx(top, nullptr, nullptr, "Gain"), swellHandleOf(label));
  EXPECT_EQ(FindWindowEx(top, swellHandleOf(label), nullptr, "Gain"), second);
  EXPECT_EQ(FindWindowEx(top, swellHandleOf(label), "Static", "Gain"), nullptr);
  EXPECT_EQ(FindWindowEx(top, nullptr, "static", "Nope"), nullptr);
  windowOf(top)->setTitle(NSString("Vorna Settings"));
  EXPECT_EQ(FindWindowEx(nullptr, nullptr, nullptr, "Vorna Settings"), top);
  EXPECT_EQ(FindWindowEx(nullptr, top, nullptr, "Vorna Settings"), nullptr);
  EXPECT_EQ(FindWindowEx(nullptr, nullptr, nullptr, nullptr), nullptr);

  // The overlay: one window for one host, moved; gone with a null rectangle.
  void* slot = nullptr;
  RECT rect{10, 10, 60, 40};
  SWELL_DrawFocusRect(top, &rect, &slot);
  ASSERT_NE(slot, nullptr);
  void* made = slot;
  rect = RECT{20, 20, 90, 50};
  SWELL_DrawFocusRect(top, &rect, &slot);
  EXPECT_EQ(slot, made);
  EXPECT_EQ(static_cast<NSWindow*>(slot)->frame().size.width, 70);
  EXPECT_EQ(static_cast<NSWindow*>(slot)->parentWindow(), windowOf(top));
  SWELL_DrawFocusRect(top, nullptr, &slot);
  EXPECT_EQ(slot, nullptr);
}

TEST_F(ClipboardShellTest, ShellExecuteOpensAddressesAndDocumentsWithoutAShell)
{
  // Stand-ins for the desktop's opener and a program, on a PATH of their own, writing down
  // what they were given.
  const std::string dir = makeTempDir();
  const std::string log = dir + "/log";
  for (const char* name : {"xdg-open", "player"})
  {
    const std::string path = dir + "/" + name;
    std::ofstream(path) << "#!/bin/sh\necho \"" << name << " $*\" >> '" << log << "'\n";
    chmod(path.c_str(), 0755);
  }
  const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (dir + ":" + oldPath).c_str(), 1);

  EXPECT_EQ(ShellExecute(nullptr, "open", "https://example.org/a b", nullptr, nullptr, 0), 1);
  EXPECT_EQ(ShellExecute(nullptr, "open", "HTTP://example.org", nullptr, nullptr, 0), 1);
  EXPECT_EQ(ShellExecute(nullptr, "open", "notepad", "/tmp/notes.txt", nullptr, 0), 1);
  EXPECT_EQ(ShellExecute(nullptr, "open", "player", "/tmp/song; rm -rf x.mid", nullptr, 0), 1);
  EXPECT_EQ(ShellExecute(nullptr, "open", "/select,\"/tmp/dir/file.txt\"", nullptr, nullptr, 0), 1);
  EXPECT_EQ(ShellExecute(nullptr, "open", "explorer.exe", "/tmp/dir", nullptr, 0), 1);
  EXPECT_EQ(ShellExecute(nullptr, "open", nullptr, nullptr, nullptr, 0), 0);
  EXPECT_EQ(ShellExecute(nullptr, "open", "", "explorer.exe", nullptr, 0), 0);
  EXPECT_EQ(ShellExecute(nullptr, "open", "/select,\"nofolder\"", nullptr, nullptr, 0), 0);

  std::vector<std::string> lines;
  for (int tries = 0; tries < 500 && lines.size() < 6; ++tries)
  {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    reapLaunchedPrograms();
    lines.clear();
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  setenv("PATH", oldPath.c_str(), 1);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"player /tmp/song; rm -rf x.mid", "xdg-open /tmp/dir", "xdg-open /tmp/dir",
                                             "xdg-open /tmp/notes.txt", "xdg-open HTTP://example.org",
                                             "xdg-open https://example.org/a b"}));
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST_F(ClipboardShellTest, AHostViewIsAPlainChildAndNoAudioUnitViewExists)
{
  Recorder* r = recorder("top");
  HWND top = topLevel(r);
  void* hosted = reinterpret_cast<void*>(1);
  RECT rect{10, 10, 110, 60};
  HWND host = SWELL_CreateCarbonWindowView(top, &hosted, &rect, true);
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(hosted, nullptr);
  EXPECT_EQ(GetParent(host), top);
  EXPECT_EQ(SWELL_GetWindowFromCarbonWindowView(host), nullptr);
  EXPECT_EQ(SWELL_GetWindowFromCarbonWindowView(nullptr), nullptr);
  EXPECT_TRUE(dynamic_cast<Swell_vVorna_hwndcarbonhost*>(swellObjectOf(host))->swellIsCarbonHostingView());
  // Its timer goes with it; it is destroyed as any window view is.
  SetTimer(host, 1, 10, nullptr);
  DestroyWindow(host);
  EXPECT_FALSE(IsWindow(host));
  EXPECT_EQ(SWELL_GetAudioUnitCocoaView(top, nullptr, nullptr, &rect), nullptr);
  EXPECT_EQ(viewOf(top)->subviews().size(), 0u);
}
