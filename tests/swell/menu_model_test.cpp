#include "menu_command_log.h"
#include "swell-gdi.h"
#include "swell-menu.h"

#include "platform/foundation/object_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace cocoa;

namespace
{
UINT stateOf(HMENU menu, int item, bool byPosition = false)
{
  MENUITEMINFO info = {};
  info.fMask = MIIM_STATE;
  return GetMenuItemInfo(menu, item, byPosition, &info) ? info.fState : 0xFFFF;
}

HMENU appendSubmenu(HMENU menu, const char* title, std::initializer_list<std::pair<const char*, int>> items)
{
  HMENU submenu = CreatePopupMenu();
  for (const auto& [text, id] : items) SWELL_Menu_AddMenuItem(submenu, text, id, 0);
  SWELL_InsertMenu(menu, GetMenuItemCount(menu), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), title);
  return submenu;
}
}  // namespace

TEST(MenuItems, AreFoundByPositionOrByIdInTheMenuFirstThenDepthFirst)
{
  HMENU menu = CreatePopupMenu();
  SWELL_Menu_AddMenuItem(menu, "Open", 101, 0);
  HMENU first = appendSubmenu(menu, "First", {{"Deep", 300}, {"Shared", 201}});
  HMENU second = appendSubmenu(menu, "Second", {{"Deeper", 300}});
  SWELL_Menu_AddMenuItem(menu, "Shared at the top", 201, 0);
  EXPECT_EQ(GetMenuItemID(menu, 0), 101);
  EXPECT_EQ(GetMenuItemID(menu, 1), -1);  // a submenu
  EXPECT_EQ(GetMenuItemID(menu, 4), 0);
  EXPECT_EQ(GetSubMenu(menu, 1), first);

  EXPECT_EQ(CheckMenuItem(menu, 300, MF_CHECKED), 1);
  EXPECT_EQ(stateOf(first, 0, true), static_cast<UINT>(MFS_CHECKED));  // the first submenu's
  EXPECT_EQ(stateOf(second, 0, true), 0u);
  EXPECT_EQ(EnableMenuItem(menu, 201, MF_GRAYED), 1);
  EXPECT_EQ(stateOf(menu, 3, true), static_cast<UINT>(MFS_GRAYED));  // the menu's own, before any submenu's
  EXPECT_EQ(stateOf(first, 1, true), 0u);
  EXPECT_EQ(CheckMenuItem(menu, 999, MF_CHECKED), 0);

  // Inserting before an id of this level; an id found only in a submenu appends.
  MENUITEMINFO info = {};
  info.fMask = MIIM_ID | MIIM_TYPE;
  info.dwTypeData = const_cast<char*>("Last");
  info.wID = 400;
  InsertMenuItem(menu, 300, false, &info);
  info.wID = 100;
  InsertMenuItem(menu, 101, false, &info);
  EXPECT_EQ(GetMenuItemID(menu, 0), 100);
  EXPECT_EQ(GetMenuItemID(menu, 5), 400);

  // Deleting by id reaches into submenus; deleting a submenu's item lets the submenu go.
  EXPECT_EQ(DeleteMenu(menu, 201, MF_BYCOMMAND), 1);
  EXPECT_EQ(DeleteMenu(menu, 2, MF_BYPOSITION), 1);
  EXPECT_FALSE(isLiveObject(first));
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  DestroyMenu(menu);
  // A handle kept past its menu's end finds nothing, as a null one does.
  EXPECT_EQ(GetMenuItemCount(menu), 0);
  EXPECT_EQ(CheckMenuItem(menu, 101, MF_CHECKED), 0);
  EXPECT_EQ(AddMenuItem(nullptr, 0, "x", 1), -1);
}

TEST(MenuTitles, StopAtATabDropAmpersandsAndKeepWholeCharactersWithinTheLimit)
{
  const std::string longTitle(1022, 'x');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"&File", "File"},
      {"Save\tCtrl+S", "Save"},
      {"R&&D", "R&D"},
      {"a&\tb\tc", "a\tb"},  // an escaped TAB is kept
      {"end&", "end"},
      {std::string(2000, 'y'), std::string(1023, 'y')},
      {longTitle + "\xC3\xA9", longTitle},  // the two-byte character does not fit
  };
  HMENU menu = CreatePopupMenu();
  HMENU submenu = appendSubmenu(menu, "Sub", {});
  for (const auto& [text, title] : cases)
  {
    SetMenuItemText(menu, 0, MF_BYPOSITION, text.c_str());
    EXPECT_EQ(swellMenuOf(menu)->itemAtIndex(0)->title().str(), title) << text.substr(0, 20);
    EXPECT_EQ(swellMenuOf(submenu)->title().str(), title) << text.substr(0, 20);
  }
  // AddMenuItem keeps the text as it is; an item record without text is "(null)".
  AddMenuItem(menu, 0, "&Raw\ttext", 5);
  MENUITEMINFO info = {};
  info.fMask = MIIM_TYPE;
  InsertMenuItem(menu, -1, true, &info);
  EXPECT_EQ(swellMenuOf(menu)->itemAtIndex(0)->title().str(), "&Raw\ttext");
  EXPECT_EQ(swellMenuOf(menu)->itemAtIndex(2)->title().str(), "(null)");
  DestroyMenu(menu);
}

TEST(MenuItemInfo, RecordsRoundTripTitlesStayInTheBufferAndSwappedSubmenusLiveOn)
{
  HMENU menu = CreatePopupMenu();
  MENUITEMINFO info = {};
  info.fMask = MIIM_ID | MIIM_STATE | MIIM_TYPE | MIIM_DATA;
  info.fState = MFS_CHECKED | 0x2;
  info.wID = 42;
  info.dwItemData = static_cast<UINT_PTR>(0xDEADBEEFCAFEull);
  info.dwTypeData = const_cast<char*>("Preferences...");
  InsertMenuItem(menu, 0, true, &info);
  SWELL_Menu_AddMenuItem(menu, nullptr, 0, 0);

  MENUITEMINFO out = {};
  char text[8];
  std::memset(text, '#', sizeof(text));
  out.fMask = MIIM_ID | MIIM_STATE | MIIM_TYPE | MIIM_DATA;
  out.dwTypeData = text;
  out.cch = 5;
  ASSERT_EQ(GetMenuItemInfo(menu, 42, false, &out), 1);
  EXPECT_EQ(out.fState, static_cast<UINT>(MFS_CHECKED | MFS_GRAYED));
  EXPECT_EQ(out.dwItemData, static_cast<UINT_PTR>(0xDEADBEEFCAFEull));
  EXPECT_EQ(std::string(text, 8), std::string("Pref\0###", 8));
  GetMenuItemInfo(menu, 1, true, &out);
  EXPECT_EQ(out.fType, static_cast<UINT>(MFT_SEPARATOR));
  EXPECT_EQ(out.dwItemData, 0u);

  // A submenu swapped out (here for none) lives on with whoever holds its handle.
  HMENU submenu = CreatePopupMenu();
  info = {};
  info.fMask = MIIM_SUBMENU | MIIM_STATE;
  info.hSubMenu = submenu;
  ASSERT_EQ(SetMenuItemInfo(menu, 42, false, &info), 1);
  EXPECT_EQ(swellMenuOf(submenu)->title().str(), "Preferences...");
  EXPECT_EQ(stateOf(menu, 0, true), 0u);
  info.hSubMenu = nullptr;
  SetMenuItemInfo(menu, 0, true, &info);
  EXPECT_EQ(GetSubMenu(menu, 0), nullptr);
  ASSERT_TRUE(isLiveObject(submenu));
  DestroyMenu(submenu);
  EXPECT_FALSE(isLiveObject(submenu));
  DestroyMenu(menu);
}

TEST(MenuItems, ClassicFlagsMakeSubmenusSeparatorsStatesAndPictures)
{
  HMENU menu = CreatePopupMenu();
  HMENU submenu = CreatePopupMenu();
  SWELL_InsertMenu(menu, 0, MF_BYPOSITION | MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(submenu), "&View");
  SWELL_InsertMenu(menu, 0, MF_BYPOSITION | MF_CHECKED, 12, "Checked");
  SWELL_InsertMenu(menu, 12, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
  SWELL_InsertMenu(menu, -1, MF_BYPOSITION | MF_BITMAP, 0, nullptr);
  const unsigned pixel = 0xFF336699;
  HBITMAP bitmap = CreateBitmap(1, 1, 1, 32, reinterpret_cast<const unsigned char*>(&pixel));
  SWELL_InsertMenu(menu, -1, MF_BYPOSITION | MF_BITMAP, 13, reinterpret_cast<const char*>(bitmap));
  DeleteObject(bitmap);  // the item keeps its own copy

  NSMenu* platform = swellMenuOf(menu);
  ASSERT_EQ(platform->numberOfItems(), 5);
  EXPECT_TRUE(platform->itemAtIndex(0)->isSeparatorItem());
  EXPECT_EQ(stateOf(menu, 12), static_cast<UINT>(MFS_CHECKED));
  EXPECT_EQ(GetSubMenu(menu, 2), submenu);
  EXPECT_EQ(swellMenuOf(submenu)->title().str(), "View");
  EXPECT_EQ(stateOf(menu, 2, true), static_cast<UINT>(MFS_GRAYED));
  EXPECT_EQ(platform->itemAtIndex(3)->title().str(), "(no image)");
  EXPECT_EQ(platform->itemAtIndex(4)->title().str(), "");
  EXPECT_NE(platform->itemAtIndex(4)->image(), nullptr);
  EXPECT_EQ(GetMenuItemID(menu, 4), 13);
  DestroyMenu(menu);
}

TEST(MenuItems, NewItemsSendTheirCommandsWhereTheirMenusOtherItemsDo)
{
  StrongRef<MenuCommandLog> window = StrongRef<MenuCommandLog>::adopt(new MenuCommandLog);
  HMENU small = CreatePopupMenu();
  for (int id = 1; id <= 3; ++id) SWELL_Menu_AddMenuItem(small, "item", id, 0);
  SWELL_SetMenuDestination(small, window->handle());
  SWELL_Menu_AddMenuItem(small, "added", 4, 0);
  EXPECT_EQ(swellMenuOf(small)->itemAtIndex(3)->target(), window.get());
  EXPECT_EQ(swellMenuOf(small)->itemAtIndex(3)->action(), Action::onSwellCommand);

  // In a big menu only the first six and the last five items are looked at.
  for (const int withTarget : {8, 16})
  {
    HMENU big = CreatePopupMenu();
    for (int i = 0; i < 19; ++i) AddMenuItem(big, i, "item", 0);
    swellMenuOf(big)->itemAtIndex(withTarget)->setTarget(window.get());
    SWELL_Menu_AddMenuItem(big, "added", 99, 0);
    EXPECT_EQ(swellMenuOf(big)->itemAtIndex(19)->target(), withTarget == 16 ? window.get() : nullptr);
    DestroyMenu(big);
  }

  // Destroying clears the targets while the menu lives on elsewhere; a duplicate keeps the
  // class, the ids and the targets.
  StrongRef<NSMenu> kept(swellMenuOf(small));
  HMENU copy = SWELL_DuplicateMenu(small);
  DestroyMenu(small);
  EXPECT_EQ(kept->itemAtIndex(3)->target(), nullptr);
  EXPECT_TRUE(isKindOfClass<Swell_vVorna_menu>(swellMenuOf(copy)));
  EXPECT_EQ(GetMenuItemID(copy, 3), 4);
  EXPECT_EQ(swellMenuOf(copy)->itemAtIndex(3)->target(), window.get());
  DestroyMenu(copy);

  // An item that opens a submenu takes the target as well when it has an id.
  HMENU holder = CreatePopupMenu();
  MENUITEMINFO info = {};
  info.fMask = MIIM_SUBMENU | MIIM_ID;
  info.wID = 9;
  info.hSubMenu = CreatePopupMenu();
  InsertMenuItem(holder, 0, true, &info);
  SWELL_SetMenuDestination(holder, window->handle());
  EXPECT_EQ(swellMenuOf(holder)->itemAtIndex(0)->target(), window.get());
  DestroyMenu(holder);
}
