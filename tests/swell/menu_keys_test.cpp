#include "menu_command_log.h"
#include "swell-menu.h"
#include "swell-misc.h"

#include "platform/appkit/application.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocoa;

namespace
{
constexpr unsigned kCommand = NSEventModifierFlagCommand;
constexpr unsigned kShift = NSEventModifierFlagShift;

std::string utf8(char32_t c)
{
  return keyCharacterString(c).str();
}
}  // namespace

TEST(MenuKeys, KeysAndModifiersBecomeKeyEquivalents)
{
  struct Case
  {
    int key;
    unsigned modifiers;
    std::string equivalent;
    unsigned mask;
  };
  const Case cases[] = {
      {'S', FCONTROL, "s", kCommand},
      {'S', FCONTROL | FSHIFT, "S", kCommand},  // the capital carries the Shift
      {'1', FSHIFT | FALT, "1", NSEventModifierFlagOption | kShift},
      {'/', FCONTROL, "/", kCommand},
      {'/', FVIRTKEY, "", 0},  // as a virtual key it is none of the table's
      {'a', FCONTROL, "", kCommand},
      {112 + 4, FVIRTKEY, utf8(NSF1FunctionKey + 4), 0},
      {37, FVIRTKEY | FLWIN, utf8(NSLeftArrowFunctionKey), NSEventModifierFlagControl},
      {46, FVIRTKEY, "\x7F", 0},
      {109, FVIRTKEY, "-", 0},
  };
  HMENU menu = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(menu, "Save", 7, 0);
  NSMenuItem* item = swellMenuOf(menu)->itemAtIndex(0);
  for (const Case& c : cases)
  {
    ASSERT_EQ(SetMenuItemModifier(menu, 7, MF_BYCOMMAND, c.key, c.modifiers), 1);
    EXPECT_EQ(item->keyEquivalent().str(), c.equivalent) << c.key;
    EXPECT_EQ(item->keyEquivalentModifierMask(), c.mask) << c.key;
  }
  EXPECT_EQ(SetMenuItemModifier(menu, 8, MF_BYCOMMAND, 'S', FCONTROL), 0);
  DestroyMenu(menu);
}

TEST(MenuKeys, TheMainMenuBarTakesKeyEquivalentsAndOnlyMenus)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, 300, 200), NSWindowStyleMaskTitled);
  window->makeKeyAndOrderFront(nullptr);
  StrongRef<MenuCommandLog> log = StrongRef<MenuCommandLog>::adopt(new MenuCommandLog);
  HMENU bar = CreatePopupMenu();
  HMENU file = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(file, "Save", 7, 0);
  SWELL_Menu_AddMenuItem(file, "Save as", 8, 0);
  SWELL_Menu_AddMenuItem(file, "Help", 9, 0);
  SWELL_Menu_AddMenuItem(file, "Disabled", 10, 1);
  SWELL_Menu_AddMenuItem(file, "Erase back", 11, 0);
  SWELL_Menu_AddMenuItem(file, "Erase", 12, 0);
  SWELL_InsertMenu(bar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  SetMenuItemModifier(bar, 7, MF_BYCOMMAND, 'S', FCONTROL);
  SetMenuItemModifier(bar, 8, MF_BYCOMMAND, 'S', FCONTROL | FSHIFT);
  SetMenuItemModifier(bar, 9, MF_BYCOMMAND, 112 + 4, FVIRTKEY);
  SetMenuItemModifier(bar, 10, MF_BYCOMMAND, 'D', FCONTROL);
  SetMenuItemModifier(bar, 11, MF_BYCOMMAND, 8, FVIRTKEY | FCONTROL);
  SetMenuItemModifier(bar, 12, MF_BYCOMMAND, 46, FVIRTKEY | FCONTROL);
  SWELL_SetMenuDestination(bar, log->handle());

  SWELL_SetCurrentMenu(bar);
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  driver.key(window, kVK_ANSI_S);  // typing, not a command
  driver.key(window, kVK_ANSI_S, kCommand);
  driver.key(window, kVK_ANSI_S, kCommand | kShift);
  driver.key(window, kVK_F5);
  driver.key(window, kVK_ANSI_D, kCommand);
  // Backspace and Delete each reach their own item.
  driver.key(window, kVK_Delete, kCommand);
  driver.key(window, kVK_ForwardDelete, kCommand);
  EXPECT_EQ(log->ids, (std::vector<int>{7, 8, 9, 11, 12}));

  HMENU other = CreatePopupMenu();
  SWELL_SetCurrentMenu(nullptr);
  SWELL_SetCurrentMenu(reinterpret_cast<HMENU>(window));  // not a menu
  g_swell_terminating = true;
  SWELL_SetCurrentMenu(other);
  g_swell_terminating = false;
  EXPECT_EQ(SWELL_GetCurrentMenu(), bar);
  DestroyMenu(other);
  DestroyMenu(bar);
  window->close();
}
