#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"

#include <gtest/gtest.h>

using namespace cocoa;

TEST(Keys, UsbUsagesGiveTheMacCodesTheWindowLayerExpects)
{
  struct Case
  {
    int usage;
    uint16_t mac;
  };
  // Mac codes of the ANSI keyboard, by the USB usage of the same key.
  const Case cases[] = {
      {4, 0x00},   // A
      {22, 0x01},  // S
      {29, 0x06},  // Z
      {30, 0x12},  // 1
      {39, 0x1D},  // 0
      {40, 0x24},  // Return
      {41, 0x35},  // Escape
      {42, 51},    // Backspace is the Mac Delete key
      {76, 117},   // Delete forward
      {88, 76},    // keypad Enter
      {58, 122},   // F1
      {69, 111},   // F12
      {104, 105},  // F13
      {73, 114},   // Insert is the Help key
      {74, 115},   // Home
      {80, 123},   // Left
      {82, 126},   // Up
      {98, 82},    // keypad 0
  };
  for (const Case& c : cases)
  {
    const auto key = keyForHidUsage(c.usage);
    ASSERT_TRUE(key.has_value()) << c.usage;
    EXPECT_EQ(key->macKeyCode, c.mac) << c.usage;
  }
  EXPECT_FALSE(keyForHidUsage(0).has_value());
  EXPECT_FALSE(keyForHidUsage(70).has_value());  // Print Screen: the Mac has no such key
}

TEST(Keys, CharactersFollowTheUsLayoutAndCocoasFunctionKeyCharacters)
{
  EXPECT_EQ(keyForHidUsage(4)->shifted, U'A');
  EXPECT_EQ(keyForHidUsage(31)->shifted, U'@');
  EXPECT_EQ(keyForHidUsage(43)->shifted, char32_t(0x19));  // Shift+Tab types back-tab
  EXPECT_EQ(keyForHidUsage(82)->unshifted, char32_t(0xF700));
  EXPECT_EQ(keyForHidUsage(58)->unshifted, char32_t(0xF704));
  // The editing keys type what they type on Linux: Backspace 8, Delete 127.
  EXPECT_EQ(keyForHidUsage(42)->unshifted, kBackspaceCharacter);
  EXPECT_EQ(keyForHidUsage(76)->unshifted, kDeleteCharacter);

  bool shift = true;
  EXPECT_EQ(keyForCharacter(U'1', &shift)->macKeyCode, kVK_ANSI_1);  // the digit row, not the keypad
  EXPECT_FALSE(shift);
  EXPECT_EQ(keyForCharacter(U'?', &shift)->macKeyCode, kVK_ANSI_Slash);
  EXPECT_TRUE(shift);
  EXPECT_FALSE(keyForCharacter(0xE9, &shift).has_value());
  EXPECT_EQ(keyCharacterString(0xE9).str(), "\xC3\xA9");
  EXPECT_TRUE(keyCharacterString(0).empty());
}

TEST(Keys, LinuxCtrlIsCommandAndSuperIsControl)
{
  EXPECT_EQ(modifierFlagsFromLinux(false, true, false, false, false), unsigned(NSEventModifierFlagCommand));
  EXPECT_EQ(modifierFlagsFromLinux(false, false, false, true, false), unsigned(NSEventModifierFlagControl));
  EXPECT_EQ(modifierFlagsFromLinux(true, false, true, false, true),
            unsigned(NSEventModifierFlagShift | NSEventModifierFlagOption | NSEventModifierFlagCapsLock));
  EXPECT_EQ(modifierFlagsFromLinux(false, false, false, false, false), 0u);
}

#include "platform/testing/test_driver.h"

TEST(Keys, TheLayoutCharacterOfAKeyComesFromTheBackendsLayout)
{
  TestDriver driver;  // headless: the US layout
  EXPECT_EQ(layoutCharacterForKeyCode(kVK_ANSI_Q), U'q');
  EXPECT_EQ(layoutCharacterForKeyCode(kVK_ANSI_Slash), U'/');
  EXPECT_EQ(layoutCharacterForKeyCode(kVK_UpArrow), char32_t(0));  // types nothing
  EXPECT_EQ(layoutCharacterForKeyCode(0x0A), char32_t(0));         // a code no key has here
  EXPECT_EQ(hidUsageForMacKeyCode(kVK_ANSI_A), 4);
}
