#include "app_resources.h"

#include "swell-menu.h"

#include <iterator>

SWELL_DialogResourceIndex* SWELL_curmodule_dialogresource_head = nullptr;

namespace
{
// Flipped, and the controls keep their designed sizes.
constexpr int kDialogFlags = 12;

// The main dialog has no controls: the editor's view fills it.
void CreateMainDialogControls(HWND, int) {}

const SWELL_MenuListEntry kMainMenuList[] = {
  {SWELL_MENU_LIST_SUBMENU "&File", 0, 0},
  {"Preferences...", ID_PREFERENCES, 0},
  {"&Quit", ID_QUIT, 0},
  {SWELL_MENU_LIST_END, 0, 0},
  {SWELL_MENU_LIST_SUBMENU "&Help", 0, 0},
  {"&About", ID_ABOUT, 0},
  {SWELL_MENU_LIST_END, 0, 0},
};

void CreateMainMenu(HMENU menu)
{
  SWELL_GenerateMenuFromList(menu, kMainMenuList, int(std::size(kMainMenuList)));
}

SWELL_DialogResourceIndex sMainDialog = {ResourceId(IDD_DIALOG_MAIN), "Vorna", kDialogFlags, CreateMainDialogControls,
                                         kMainWindowWidth, kMainWindowHeight, nullptr};
SWELL_DialogResourceIndex sPreferencesDialog = {
  ResourceId(IDD_DIALOG_PREF), "Preferences", kDialogFlags, CreatePreferencesControls, 320, 420, nullptr};
SWELL_MenuResourceIndex sMainMenu = {ResourceId(IDR_MENU1), CreateMainMenu, nullptr};

// Before main runs, as resource files register theirs; the preferences dialog ends up first.
struct Registration
{
  Registration()
  {
    for (SWELL_DialogResourceIndex* record : {&sMainDialog, &sPreferencesDialog})
    {
      record->_next = SWELL_curmodule_dialogresource_head;
      SWELL_curmodule_dialogresource_head = record;
    }
    sMainMenu.next = SWELL_curmodule_menuresource_head;
    SWELL_curmodule_menuresource_head = &sMainMenu;
  }
} sRegistration;
}  // namespace
