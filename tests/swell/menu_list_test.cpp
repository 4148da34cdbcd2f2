#include "swell-menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// "title id" per item, "-" per separator, "(grayed)" after disabled ones, "{...}" for submenus.
std::string describe(HMENU menu)
{
  std::string text;
  for (int i = 0; i < GetMenuItemCount(menu); ++i)
  {
    cocoa::NSMenuItem* item = swellMenuOf(menu)->itemAtIndex(i);
    text += i ? ", " : "";
    if (item->isSeparatorItem()) text += "-";
    else if (HMENU submenu = GetSubMenu(menu, i)) text += item->title().str() + " {" + describe(submenu) + "}";
    else text += item->title().str() + (item->isEnabled() ? " " : " (grayed) ") + std::to_string(GetMenuItemID(menu, i));
  }
  return text;
}

const SWELL_MenuListEntry kFileMenu[] = {
    {SWELL_MENU_LIST_SUBMENU "&File", 0, 0}, {"Preferences...", 40006, 0}, {SWELL_MENU_LIST_END, 0, 0}};
HMENU g_created = nullptr;

void fillFileMenu(HMENU menu)
{
  g_created = menu;
  SWELL_GenerateMenuFromList(menu, kFileMenu, 3);
}
}  // namespace

TEST(MenuLists, BuildNestedSubmenusAndStopAtTheirCountOrTheirEnd)
{
  HMENU menu = CreatePopupMenu();
  EXPECT_EQ(SWELL_GenerateMenuFromList(menu, kFileMenu, 3), 4);
  EXPECT_EQ(describe(menu), "File {Preferences... 40006}");
  EXPECT_EQ(swellMenuOf(GetSubMenu(menu, 0))->title().str(), "File");
  DestroyMenu(menu);

  const SWELL_MenuListEntry nested[] = {
      {SWELL_MENU_LIST_SUBMENU "&Edit", 0, 0}, {"Undo", 1, 0}, {nullptr, 0, 0}, {SWELL_MENU_LIST_SUBMENU "More", 0, 0},
      {"Deep", 2, 1}, {SWELL_MENU_LIST_END, 0, 0}, {"Redo", 3, 0}, {SWELL_MENU_LIST_END, 0, 0},
      {"After", 4, 0}, {SWELL_MENU_LIST_END, 0, 0}, {"Never read", 5, 0},
  };
  menu = CreatePopupMenu();
  EXPECT_EQ(SWELL_GenerateMenuFromList(menu, nested, 11), 11);
  EXPECT_EQ(describe(menu), "Edit {Undo 1, -, More {Deep (grayed) 2}, Redo 3}, After 4");
  DestroyMenu(menu);

  // A submenu left open ends with the list; nothing past the count is read (the list lives
  // in a block of exactly that size, so a read past it is caught).
  const std::vector<SWELL_MenuListEntry> open = {{SWELL_MENU_LIST_SUBMENU "Sub", 0, 0}, {"Inner", 5, 0}};
  menu = CreatePopupMenu();
  EXPECT_EQ(SWELL_GenerateMenuFromList(menu, open.data(), 2), 3);
  EXPECT_EQ(SWELL_GenerateMenuFromList(menu, open.data(), 1), 2);
  EXPECT_EQ(describe(menu), "Sub {Inner 5}, Sub {}");
  DestroyMenu(menu);
}

TEST(MenuResources, LoadTheRecordWithTheSameIdentifierPointer)
{
  static const char* const kMain = "40004";
  const std::string sameText = kMain;
  SWELL_MenuResourceIndex other = {"other", fillFileMenu, nullptr};
  SWELL_MenuResourceIndex main = {kMain, fillFileMenu, &other};
  EXPECT_EQ(SWELL_LoadMenu(&main, sameText.c_str()), nullptr);
  HMENU menu = SWELL_LoadMenu(&main, kMain);
  EXPECT_EQ(menu, g_created);
  EXPECT_EQ(describe(menu), "File {Preferences... 40006}");
  DestroyMenu(menu);
}
