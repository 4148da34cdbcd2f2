// What other programs hand the window layer: text on the system clipboard, and lists of
// files dragged over a window and dropped on it (any bytes: invalid UTF-8, NULs, huge lines,
// many files), on their way to the text views. Besides not crashing:
// - the clipboard's text reaches the layer's clipboard as its bytes up to the first NUL, with
//   a NUL after them;
// - pasted into a multi-line text view it replaces the selection with no control byte but
//   line feeds and tabs, the text around it kept and the caret after it (on a character
//   boundary); pasted into a one-line field, with no control byte at all;
// - every file dropped (a path ends at its first NUL; one with nothing left names no file)
//   reaches the window's WM_DROPFILES in order, each as one name of at most 4095 bytes, read
//   whole or cut to any buffer; a drag that only passes over shows the same list;
// - the names put into a field read back NUL-terminated inside the buffer, and every text
//   keeps its selection on character boundaries.
#include "swell-clipboard.h"
#include "swell-ctl.h"
#include "swell-dragdrop.h"
#include "swell-misc.h"
#include "swell-timer.h"
#include "swell-wnd-toplevel.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/font.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/text_layout.h"
#include "platform/appkit/text_view.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/testing/test_driver.h"

#include <sanitizer/lsan_interface.h>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace cocoa;


namespace
{
// A broken invariant: the line that found it, then the crash libFuzzer keeps the input of.
[[noreturn]] void Fail(int line)
{
  std::fprintf(stderr, "%s:%d: invariant broken\n", __FILE__, line);
  __builtin_trap();
}
}  // namespace

namespace
{
constexpr int kFieldId = 10;
constexpr int kTextId = 11;
constexpr size_t kLongestName = 4095;
constexpr size_t kMaxFiles = 300;
// Long enough to wrap and scroll every view many times over; longer lines only cost layout time.
constexpr size_t kMaxHugeBytes = 1 << 13;
// What all of an input's huge texts may add up to: two names longer than any a drop keeps.
// Every paste lays out and draws all that the views hold, so without a bound a few stacked
// pastes cost a second where one costs a hundredth, and the run goes nowhere new meanwhile.
constexpr size_t kHugeBytesPerInput = 2 * (kLongestName + 1);
// Steps per input: enough to stack pastes and drops on what earlier ones left.
constexpr int kMaxSteps = 16;

struct Reader
{
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  size_t hugeLeft = kHugeBytesPerInput;
  bool more() const { return at < size; }
  uint8_t byte() { return at < size ? data[at++] : 0; }
  std::string bytes(size_t count)
  {
    count = std::min(count, size - at);
    std::string out(reinterpret_cast<const char*>(data + at), count);
    at += count;
    return out;
  }
  // Short text, or a few bytes repeated into a huge line.
  std::string text()
  {
    const uint8_t head = byte();
    if (head < 0xF0) return bytes(head);
    const std::string piece = bytes(1 + byte() % 8);
    std::string huge;
    const size_t total = std::min({kMaxHugeBytes, size_t(head - 0xEF) << 12, hugeLeft});
    while (!piece.empty() && huge.size() < total) huge += piece;
    hugeLeft -= std::min(hugeLeft, huge.size());
    return huge.empty() ? piece : huge;
  }
};

class QueueController : public NSApplicationDelegate, public SWELL_PostMessageController
{
};

struct Scene
{
  TestDriver driver;
  QueueController controller;
  HWND top = nullptr;
  HWND taker = nullptr;
  NSWindow* window = nullptr;
  NSTextField* field = nullptr;
  NSTextView* text = nullptr;
};
Scene* g_scene = nullptr;

// What the taker's procedure read from its last WM_DROPFILES.
std::vector<std::string> g_dropped;
int g_drops = 0;
std::vector<std::string> g_previewed;

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

void checkBoundaries(NSText* text)
{
  const std::string& s = text->string().str();
  const NSRange selection = text->selectedRange();
  if (NSMaxRange(selection) > s.size()) Fail(__LINE__);
  if (characterBoundaryAtOrBefore(s, selection.location) != selection.location) Fail(__LINE__);
  if (characterBoundaryAtOrBefore(s, NSMaxRange(selection)) != NSMaxRange(selection)) Fail(__LINE__);
}

std::vector<std::string> namesOf(HDROP drop)
{
  std::vector<std::string> names;
  const UINT count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i)
  {
    const UINT length = DragQueryFile(drop, i, nullptr, 0);
    std::vector<char> whole(length + 1, 'x');
    if (DragQueryFile(drop, i, whole.data(), UINT(whole.size())) != length || whole[length] != 0) Fail(__LINE__);
    const std::string name(whole.data(), length);
    if (name.size() != std::strlen(name.c_str())) Fail(__LINE__);
    // Cut to a smaller buffer: its start, and a NUL.
    char cut[7];
    const UINT copied = DragQueryFile(drop, i, cut, sizeof cut);
    if (copied != std::min<UINT>(length, sizeof cut - 1) || cut[copied] != 0 || name.compare(0, copied, cut) != 0)
      Fail(__LINE__);
    names.push_back(name);
  }
  if (DragQueryFile(drop, count, nullptr, 0) != 0) Fail(__LINE__);
  return names;
}

LRESULT takerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg != WM_DROPFILES) return DefWindowProc(hwnd, msg, wParam, lParam);
  ++g_drops;
  g_dropped = namesOf(reinterpret_cast<HDROP>(wParam));
  // Each name goes into the field, as a window that shows the file it was given.
  for (const std::string& name : g_dropped)
  {
    SetDlgItemText(g_scene->top, kFieldId, name.c_str());
    char back[64];
    std::memset(back, 'x', sizeof back);
    GetDlgItemText(g_scene->top, kFieldId, back, sizeof back);
    if (strnlen(back, sizeof back) == sizeof back) Fail(__LINE__);
  }
  return 0;
}

LRESULT topProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

Scene* makeScene()
{
  auto* scene = new Scene;
  NSApp()->setDelegate(&scene->controller);
  SWELL_Internal_PostMessage_Init();

  auto* content = new Swell_vVorna_hwnd;
  content->initChild(nullptr, nullptr, topProc, 0);
  content->NSView::setFrame(NSMakeRect(0, 0, 400, 300));
  HWND frame = SWELL_CreateModelessFrameForWindow(content->handle(), nullptr,
                                                  NSWindowStyleMaskTitled | NSWindowStyleMaskResizable);
  content->release();
  scene->window = dynamic_cast<NSWindow*>(swellObjectOf(frame));
  scene->window->setFrame(scene->window->frameRectForContentRect(NSMakeRect(100, 100, 400, 300)), false);
  scene->top = content->handle();
  ShowWindow(scene->top, SW_SHOW);

  // The left half takes files; the fields are on the right.
  auto* taker = new Swell_vVorna_hwnd;
  taker->initChild(nullptr, swellObjectOf(scene->top), takerProc, 0);
  scene->taker = taker->handle();
  taker->release();
  taker->setFrame(NSMakeRect(0, 0, 200, 300));
  ShowWindow(scene->taker, SW_SHOWNA);
  SetWindowLong(scene->taker, GWL_EXSTYLE, WS_EX_ACCEPTFILES);

  SWELL_MakeSetCurParms(1, 1, 0, 0, scene->top, false, false);
  SWELL_MakeEditField(kFieldId, 210, 10, 150, 18, 0);
  SWELL_MakeEditField(kTextId, 210, 40, 150, 200, WS_VSCROLL);
  scene->field = dynamic_cast<NSTextField*>(swellObjectOf(GetDlgItem(scene->top, kFieldId)));
  scene->text = dynamic_cast<NSTextView*>(swellObjectOf(GetDlgItem(scene->top, kTextId)));
  if (!scene->field || !scene->text) Fail(__LINE__);

  SWELL_DDrop_onDragEnter = [](HANDLE preview, POINT) { g_previewed = preview ? namesOf(preview) : std::vector<std::string>{}; };
  return scene;
}

// Another program puts the text on the system clipboard.
void clipboardText(Reader& in)
{
  const std::string text = in.text();
  g_scene->driver.backend().setClipboardText(text);

  OpenClipboard(nullptr);
  HANDLE handle = GetClipboardData(RegisterClipboardFormat("SWELL__CF_TEXT"));
  const std::string upToNul(text.c_str());
  if (!handle || GlobalSize(handle) != int(upToNul.size() + 1)) Fail(__LINE__);
  const auto* bytes = static_cast<const char*>(GlobalLock(handle));
  if (!bytes || std::memcmp(bytes, upToNul.c_str(), upToNul.size() + 1) != 0) Fail(__LINE__);
  GlobalUnlock(handle);
  CloseClipboard();

  // Into the multi-line view, over a selection.
  NSTextView* view = g_scene->text;
  const std::string before = view->string().str();
  const size_t location = characterBoundaryAtOrBefore(before, std::min<size_t>(in.byte() * 7, before.size()));
  const size_t end = characterBoundaryAtOrBefore(before, std::min(before.size(), location + in.byte()));
  view->setSelectedRange(NSMakeRange(location, end - location));
  const NSRange selected = view->selectedRange();
  view->paste();
  const std::string& after = view->string().str();
  const size_t keptAfter = before.size() - NSMaxRange(selected);
  if (after.size() < selected.location + keptAfter) Fail(__LINE__);
  if (after.compare(0, selected.location, before, 0, selected.location) != 0) Fail(__LINE__);
  if (after.compare(after.size() - keptAfter, keptAfter, before, NSMaxRange(selected), keptAfter) != 0)
    Fail(__LINE__);
  const size_t insertedEnd = after.size() - keptAfter;
  if (insertedEnd - selected.location > text.size()) Fail(__LINE__);
  for (size_t i = selected.location; i < insertedEnd; ++i)
    if (isControl(static_cast<unsigned char>(after[i])) && after[i] != '\n' && after[i] != '\t') Fail(__LINE__);
  // The caret after it: where bytes that are no UTF-8 end the pasted text and the kept text
  // after it goes on with continuation bytes, the two make one character, before which it
  // stands.
  if (view->selectedRange().location != characterBoundaryAtOrBefore(after, insertedEnd) ||
      view->selectedRange().length != 0)
    Fail(__LINE__);
  checkBoundaries(view);

  // Into the one-line field, all of its text selected.
  NSTextField* field = g_scene->field;
  field->selectText(nullptr);
  NSText* editor = field->currentEditor();
  if (!editor) Fail(__LINE__);
  editor->paste();
  for (char c : editor->string().str())
    if (isControl(static_cast<unsigned char>(c))) Fail(__LINE__);
  checkBoundaries(editor);
}

// The names a list of files should arrive as.
std::vector<std::string> expectedNames(const std::vector<std::string>& paths)
{
  std::vector<std::string> names;
  for (const std::string& path : paths)
  {
    std::string name(path.c_str());
    if (name.size() > kLongestName) name.resize(kLongestName);
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

void files(Reader& in, bool drop)
{
  // One to four files, or (one time in eight) up to kMaxFiles.
  const size_t few = 1 + in.byte() % 4;
  const bool many = in.byte() % 8 == 7;
  std::vector<std::string> paths(many ? few * (kMaxFiles / 4) : few);
  for (std::string& path : paths) path = in.more() ? in.text() : std::string("/tmp/a.wav");
  const std::vector<std::string> expected = expectedNames(paths);
  g_dropped.clear();
  g_previewed.clear();
  g_drops = 0;
  const NSPoint from = NSMakePoint(in.byte() % 200, in.byte() % 300);
  const NSPoint to = NSMakePoint(10 + in.byte() % 180, 10 + in.byte() % 280);
  g_scene->driver.dragFiles(g_scene->window, paths, from, to, in.byte() % 4, drop);
  if (!expected.empty() && g_previewed != expected) Fail(__LINE__);
  if (expected.empty() && !g_previewed.empty()) Fail(__LINE__);
  if (g_drops != (drop && !expected.empty() ? 1 : 0)) Fail(__LINE__);
  if (drop && g_dropped != expected) Fail(__LINE__);
  checkBoundaries(g_scene->field->currentEditor() ? g_scene->field->currentEditor() : g_scene->text);
}

// Empty texts and pasteboards, after each input as well as before the first, so that an input
// frees all it took: libFuzzer runs an input a second time, and scans the heap, whenever it
// allocated more than it freed.
void clearScene()
{
  g_scene->field->abortEditing();
  g_scene->field->setStringValue(NSString(""));
  g_scene->text->setString(NSString(""));
  NSPasteboard::resetAllForTesting();
  g_scene->driver.backend().setClipboardText("");
  g_dropped.clear();
  g_dropped.shrink_to_fit();
  g_previewed.clear();
  g_previewed.shrink_to_fit();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  // Fontconfig reads its configuration at the first font asked for, and this system's loses
  // a few hundred bytes of it doing so: the leak checks are told of none of that reading.
  __lsan_disable();
  NSFont::systemFontOfSize(NSFont::systemFontSize());
  __lsan_enable();
  g_scene = makeScene();
  NSAutoreleasePool pool;
  g_scene->driver.backend().setClipboardText("warm up");
  g_scene->text->paste();
  g_scene->field->selectText(nullptr);
  if (NSText* editor = g_scene->field->currentEditor()) editor->paste();
  g_scene->driver.runUntilIdle();
  clearScene();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  NSAutoreleasePool pool;
  Reader in{data, size};
  for (int step = 0; step < kMaxSteps && in.more(); ++step)
  {
    const uint8_t op = in.byte();
    switch (op % 3)
    {
    case 0: clipboardText(in); break;
    case 1: files(in, true); break;
    default: files(in, false); break;
    }
  }
  clearScene();
  return 0;
}
