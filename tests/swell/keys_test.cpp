#include "swell-kb.h"
#include "swell-misc.h"

#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace cocoa;

namespace
{
NSEvent* keyEvent(uint16_t code, unsigned modifiers, const std::string& chars, const std::string& plain)
{
  return NSEvent::keyEventWithType(NSEventTypeKeyDown, NSPoint{}, modifiers, 0, nullptr, chars, plain, false, code);
}

using Translated = std::pair<int, int>;  // code, flags

Translated translate(NSEvent* event, int mode = 0)
{
  int flags = -1;
  const int code = SWELL_MacKeyToWindowsKeyEx(event, &flags, mode);
  return {code, flags};
}
}  // namespace

TEST(SwellKeys, FixedTableRowByRow)
{
  NSAutoreleasePool pool;
  const int rows[][2] = {
      {51, 8},    {65, 110},  {67, 106},  {69, 107},  {71, 144},  {75, 111},  {76, 0x800D}, {78, 109},
      {81, 108},  {82, 96},   {83, 97},   {84, 98},   {85, 99},   {86, 100},  {87, 101},    {88, 102},
      {89, 103},  {91, 104},  {92, 105},  {96, 116},  {97, 117},  {98, 118},  {99, 114},    {100, 119},
      {101, 120}, {103, 122}, {105, 124}, {106, 127}, {107, 125}, {109, 121}, {111, 123},   {113, 126},
      {114, 45},  {115, 36},  {116, 33},  {117, 46},  {118, 115}, {119, 35},  {120, 113},   {121, 34},
      {122, 112}, {123, 37},  {124, 39},  {125, 40},  {126, 38},
  };
  for (const auto& row : rows)
  {
    // The table wins over whatever the key types (the keypad's "1" is keypad 1, not '1').
    EXPECT_EQ(translate(keyEvent(uint16_t(row[0]), 0, "1", "1")), (Translated{row[1], FVIRTKEY})) << row[0];
  }
}

TEST(SwellKeys, CharactersModifiersAndKeysThatTypeNothing)
{
  TestDriver driver;  // the layout in use is the headless backend's US layout
  NSAutoreleasePool pool;
  SWELL_EnableRightClickEmulate(false);
  EXPECT_EQ(translate(keyEvent(kVK_ANSI_S, NSEventModifierFlagCommand, "s", "s")), (Translated{'S', 9}));
  EXPECT_EQ(translate(keyEvent(kVK_Tab, NSEventModifierFlagShift, "\x19", "\x19")), (Translated{9, 5}));
  EXPECT_EQ(translate(keyEvent(kVK_ANSI_Comma, 0, ",", ",")), (Translated{',', 0}));
  EXPECT_EQ(translate(keyEvent(kVK_ANSI_1, NSEventModifierFlagShift, "!", "1")), (Translated{'1', 5}));
  EXPECT_EQ(translate(keyEvent(kVK_Escape, NSEventModifierFlagOption, "\x1B", "\x1B")), (Translated{27, 0x11}));
  EXPECT_EQ(translate(keyEvent(kVK_ANSI_E, 0, "\xC3\xA9", "\xC3\xA9")), (Translated{0xE9, 0}));
  // Function-key characters beyond the table: F12's character on some other key.
  EXPECT_EQ(translate(keyEvent(kVK_F17, 0, "\xEF\x9C\x8F", "\xEF\x9C\x8F")), (Translated{123, FVIRTKEY}));
  EXPECT_EQ(translate(keyEvent(kVK_F17, 0, "", "")), (Translated{kVK_F17 + 1024, FVIRTKEY}));

  // Mode 1 takes the typed characters, and asks the layout for a key that typed none.
  EXPECT_EQ(translate(keyEvent(kVK_ANSI_1, NSEventModifierFlagShift, "!", "1"), 1), (Translated{'!', 4}));
  EXPECT_EQ(translate(keyEvent(kVK_ANSI_A, 0, "", ""), 1), (Translated{'a', 0}));
  EXPECT_EQ(translate(keyEvent(kVK_F17, 0, "", ""), 1), (Translated{kVK_F17 + 1024, FVIRTKEY}));

  NSEvent* control = keyEvent(kVK_ANSI_A, NSEventModifierFlagControl, "\x01", "a");
  EXPECT_EQ(translate(control).second, FVIRTKEY | FLWIN);
  SWELL_EnableRightClickEmulate(true);  // Control is taken for right clicks then
  EXPECT_EQ(translate(control).second, FVIRTKEY);
  SWELL_EnableRightClickEmulate(false);

  int flags = -1;
  EXPECT_EQ(SWELL_MacKeyToWindowsKey(nullptr, &flags), 0);
}

TEST(SwellKeys, ShiftedDigitsGiveUsSymbols)
{
  const char symbols[] = ")!@#$%^&*(";
  for (int digit = 0; digit < 10; ++digit)
  {
    int newFlags = -1;
    EXPECT_EQ(SWELL_KeyToASCII('0' + digit, FVIRTKEY | FSHIFT, &newFlags), symbols[digit]);
    EXPECT_EQ(newFlags, 0);
  }
  int newFlags = -1;
  EXPECT_EQ(SWELL_KeyToASCII('2', FVIRTKEY, &newFlags), 0);
  EXPECT_EQ(SWELL_KeyToASCII('2', FVIRTKEY | FSHIFT | FCONTROL, &newFlags), 0);
  EXPECT_EQ(SWELL_KeyToASCII('A', FVIRTKEY | FSHIFT, &newFlags), 0);
  EXPECT_EQ(newFlags, -1);
}

TEST(SwellKeys, AsyncStateOfButtonsAndModifiers)
{
  TestDriver driver;
  driver.backend().setPointerState(NSPoint{}, 1 | 4, NSEventModifierFlagCommand | NSEventModifierFlagControl);
  const int down[] = {1, 4, 17, 91};  // left, middle, the Command key (not Control), the Control key
  const int up[] = {2, 16, 18, 65};
  for (int vk : down) EXPECT_EQ(GetAsyncKeyState(vk), 0x8000) << vk;
  for (int vk : up) EXPECT_EQ(GetAsyncKeyState(vk), 0) << vk;
  SWELL_EnableRightClickEmulate(true);
  EXPECT_EQ(GetAsyncKeyState(91), 0);
  SWELL_EnableRightClickEmulate(false);
  driver.backend().setPointerState(NSPoint{}, 2, NSEventModifierFlagShift | NSEventModifierFlagOption);
  EXPECT_EQ(GetAsyncKeyState(2) + GetAsyncKeyState(16) + GetAsyncKeyState(18), 3 * 0x8000);
}

TEST(SwellKeys, TheLayoutGivesEachKeyItsUnshiftedCharacterAndNothingForKeysThatTypeNone)
{
  TestDriver driver;  // the headless backend's US layout
  EXPECT_EQ(charFromVcode(kVK_ANSI_A), 'a');
  EXPECT_EQ(charFromVcode(kVK_ANSI_1), '1');
  EXPECT_EQ(charFromVcode(kVK_ANSI_Comma), ',');
  EXPECT_EQ(charFromVcode(kVK_Space), ' ');
  EXPECT_EQ(charFromVcode(kVK_ANSI_Slash), '/');
  for (int none : {int(kVK_F5), int(kVK_LeftArrow), int(kVK_Shift), 0x7F, 0xFFFF, -1, 0x10000})
    EXPECT_EQ(charFromVcode(none), 0) << none;
}
