#include "swell-kb.h"

#include "swell-misc.h"

#include "platform/appkit/application.h"
#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"

#include <cstdint>
#include <string>

namespace
{
struct FixedKey
{
  uint16_t macKeyCode;
  int virtualKey;
};

// Keys whose virtual key does not follow from what they type: the keypad, the function and
// the editing keys.
constexpr FixedKey kFixedKeys[] = {
    {51, 8},       // backspace
    {65, 110},     // keypad decimal point
    {67, 106},     // keypad multiply
    {69, 107},     // keypad add
    {71, 144},     // the keypad clear key, as num lock
    {75, 111},     // keypad divide
    {76, 0x800D},  // keypad enter: return with bit 15 set
    {78, 109},     // keypad subtract
    {81, 108},     // keypad equals, as separator
    {82, 96},  {83, 97},  {84, 98},  {85, 99},  {86, 100},  // keypad 0 to 4
    {87, 101}, {88, 102}, {89, 103}, {91, 104}, {92, 105},  // keypad 5 to 9
    {96, 116},     // F5
    {97, 117},     // F6
    {98, 118},     // F7
    {99, 114},     // F3
    {100, 119},    // F8
    {101, 120},    // F9
    {103, 122},    // F11
    {105, 124},    // F13
    {106, 127},    // F16
    {107, 125},    // F14
    {109, 121},    // F10
    {111, 123},    // F12
    {113, 126},    // F15
    {114, 45},     // the help key, as insert
    {115, 36},     // home
    {116, 33},     // page up
    {117, 46},     // delete forward
    {118, 115},    // F4
    {119, 35},     // end
    {120, 113},    // F2
    {121, 34},     // page down
    {122, 112},    // F1
    {123, 37},     // left
    {124, 39},     // right
    {125, 40},     // down
    {126, 38},     // up
};

// The platform's characters for F1 to F24.
constexpr char32_t kFirstFunctionKey = 0xF704;
constexpr char32_t kLastFunctionKey = 0xF71B;
constexpr int kVirtualF1 = 112;
// Keys that type nothing are told apart by their code past this offset.
constexpr int kUntypedKeyOffset = 1024;

constexpr int kKeyDown = 0x8000;

int fixedVirtualKey(uint16_t keyCode)
{
  for (const FixedKey& key : kFixedKeys)
    if (key.macKeyCode == keyCode) return key.virtualKey;
  return 0;
}

char32_t firstCharacter(const cocoa::NSString& text)
{
  std::u32string decoded;
  if (text.empty() || !cocoa::decodeUtf8(text.str(), &decoded) || decoded.empty()) return 0;
  return decoded[0];
}

bool keepsVirtualFlag(char32_t c)
{
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '\t' || c == '\n' ||
         c == '\r' || c == 0x1B || c == ' ';
}
}  // namespace

int SWELL_MacKeyToWindowsKeyEx(cocoa::NSEvent* event, int* flags, int mode)
{
  if (!event) event = cocoa::NSApp()->currentEvent();
  if (!event)
  {
    if (flags) *flags = 0;
    return 0;
  }

  const unsigned modifiers = event->modifierFlags();
  int f = FVIRTKEY;
  if (modifiers & cocoa::NSEventModifierFlagShift) f |= FSHIFT;
  if (modifiers & cocoa::NSEventModifierFlagCommand) f |= FCONTROL;
  if (modifiers & cocoa::NSEventModifierFlagOption) f |= FALT;
  if ((modifiers & cocoa::NSEventModifierFlagControl) && !IsRightClickEmulateEnabled()) f |= FLWIN;

  const uint16_t keyCode = event->keyCode();
  int code = fixedVirtualKey(keyCode);
  if (!code)
  {
    const cocoa::NSString& text =
        mode == 1 && !event->characters().empty() ? event->characters() : event->charactersIgnoringModifiers();
    char32_t c = firstCharacter(text);
    if (c >= kFirstFunctionKey && c <= kLastFunctionKey)
      code = kVirtualF1 + static_cast<int>(c - kFirstFunctionKey);
    else if (c)
    {
      if (c >= 'a' && c <= 'z') c += 'A' - 'a';
      if ((f & FSHIFT) && c == 0x19) c = '\t';
      if (!keepsVirtualFlag(c)) f &= ~FVIRTKEY;
      code = static_cast<int>(c);
    }
    else if (const int typed = mode == 1 ? charFromVcode(keyCode) : 0)
    {
      code = typed;
      f &= ~FVIRTKEY;
    }
    else
      code = keyCode + kUntypedKeyOffset;
  }
  if (flags) *flags = f;
  return code;
}

int SWELL_MacKeyToWindowsKey(cocoa::NSEvent* event, int* flags)
{
  if (!event) return 0;
  return SWELL_MacKeyToWindowsKeyEx(event, flags, 0);
}

int SWELL_KeyToASCII(int code, int flags, int* newFlags)
{
  // The US symbols over the digits 0 to 9.
  static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
  if (code < '0' || code > '9' || flags != (FVIRTKEY | FSHIFT)) return 0;
  if (newFlags) *newFlags = 0;
  return kShiftedDigits[code - '0'];
}

int GetAsyncKeyState(int vk)
{
  const auto down = [](bool isDown) { return isDown ? kKeyDown : 0; };
  switch (vk)
  {
    case 1: return down(cocoa::NSEvent::pressedMouseButtons() & 1);
    case 2: return down(cocoa::NSEvent::pressedMouseButtons() & 2);
    case 4: return down(cocoa::NSEvent::pressedMouseButtons() & 4);
  }
  const unsigned modifiers = cocoa::NSEvent::currentModifierFlags();
  switch (vk)
  {
    case 16: return down(modifiers & cocoa::NSEventModifierFlagShift);
    case 17: return down(modifiers & cocoa::NSEventModifierFlagCommand);
    case 18: return down(modifiers & cocoa::NSEventModifierFlagOption);
    case 91: return down((modifiers & cocoa::NSEventModifierFlagControl) && !IsRightClickEmulateEnabled());
  }
  return 0;
}

int charFromVcode(int keyCode)
{
  if (keyCode < 0 || keyCode > 0xFFFF) return 0;
  return static_cast<int>(cocoa::layoutCharacterForKeyCode(static_cast<uint16_t>(keyCode)));
}
