#include "platform/appkit/event.h"
#include "platform/appkit/font.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/text_layout.h"
#include "platform/appkit/text_view.h"
#include "platform/backend/backend.h"
#include "platform/foundation/autorelease_pool.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Text from outside (pasted, typed, committed by an input method: any bytes) edited every
// way a text view is. Besides not crashing: the selection always lies inside the text on
// character boundaries, and every laid-out line stays in order within the text.
namespace
{
using namespace cocoa;

constexpr uint16_t kKeys[] = {kVK_LeftArrow, kVK_RightArrow, kVK_UpArrow, kVK_DownArrow, kVK_Home,   kVK_End,
                              kVK_PageUp,    kVK_PageDown,   kVK_Delete,  kVK_ForwardDelete, kVK_Return, kVK_Tab};
constexpr unsigned kModifiers[] = {0, NSEventModifierFlagShift, NSEventModifierFlagCommand,
                                   NSEventModifierFlagCommand | NSEventModifierFlagShift, NSEventModifierFlagOption};

struct Reader
{
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool more() const { return at < size; }
  uint8_t byte() { return at < size ? data[at++] : 0; }
  std::string bytes(size_t count)
  {
    count = std::min(count, size - at);
    std::string out(reinterpret_cast<const char*>(data + at), count);
    at += count;
    return out;
  }
};

void check(NSText* text)
{
  const std::string& s = text->string().str();
  const NSRange selection = text->selectedRange();
  if (NSMaxRange(selection) > s.size()) __builtin_trap();
  if (characterBoundaryAtOrBefore(s, selection.location) != selection.location) __builtin_trap();
  if (characterBoundaryAtOrBefore(s, NSMaxRange(selection)) != NSMaxRange(selection)) __builtin_trap();
  TextLayout layout;
  TextLayout::Options options;
  options.wrapWidth = 37;
  layout.layout(text->font(), s, options);
  // Each line starts where the one before it ended, and the last ends with the text.
  size_t expected = 0;
  for (const TextLayout::Line& line : layout.lines())
  {
    if (line.start != expected || line.end < line.start || line.next < line.end || line.next > s.size()) __builtin_trap();
    expected = line.next;
  }
  if (expected != s.size()) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  setPlatformBackend(makeHeadlessBackend());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  NSAutoreleasePool pool;
  Reader in{data, size};
  StrongRef<NSTextView> text = StrongRef<NSTextView>::adopt(new NSTextView(NSMakeRect(0, 0, 120, 40)));
  text->setFont(NSFont::systemFontOfSize(10));
  text->setString(NSString(in.bytes(in.byte())));
  while (in.more())
  {
    const uint8_t op = in.byte();
    switch (op % 8)
    {
    case 0:
      NSPasteboard::generalPasteboard()->clearContents();
      NSPasteboard::generalPasteboard()->setString(NSString(in.bytes(in.byte() % 64)), NSPasteboardTypeString);
      text->paste();
      break;
    case 1:
    {
      const uint8_t key = in.byte();
      NSEvent* event = NSEvent::keyEventWithType(NSEventTypeKeyDown, NSPoint{}, kModifiers[(key >> 4) % 5], 0, nullptr,
                                                 "", "", false, kKeys[(key & 15) % 12]);
      text->keyDown(event);
      break;
    }
    case 2:
    {
      const NSUInteger location = in.byte();
      text->setSelectedRange(NSMakeRange(location, in.byte()));
      break;
    }
    case 3: text->insertText(NSString(in.bytes(in.byte() % 16))); break;
    case 4:
    {
      const size_t offset = text->characterIndexForPoint(NSMakePoint(in.byte() - 20.0, in.byte() - 20.0));
      if (characterBoundaryAtOrBefore(text->string().str(), offset) != offset) __builtin_trap();
      break;
    }
    case 5:
      text->setFieldEditor((op & 8) != 0);
      text->setSecureTextEntry((op & 16) != 0);
      text->setFrameSize(NSMakeSize(1 + in.byte(), 1 + in.byte()));
      break;
    case 6:
      if (op & 8) text->cut();
      else if (op & 16) text->deleteBackward();
      else if (op & 32) text->deleteForward();
      else text->selectAll();
      break;
    default: text->setAlignment(static_cast<NSTextAlignment>(op % 3)); break;
    }
    check(text.get());
  }
  return 0;
}
