#pragma once

#include "swell-kb.h"  // the modifiers of key equivalents: FVIRTKEY, FSHIFT, FCONTROL, FALT, FLWIN
#include "swell-types.h"
#include "swell-wnd-capabilities.h"

#include "platform/appkit/menu.h"

// Menus (HMENU) over the platform's menus: items found by command id or by position, item
// records, menus built from compiled-in lists and menu resources, key equivalents, context
// menus and the application's main menu bar. Main thread only. A null menu, or an item that
// cannot be found, makes each call change nothing and answer 0 (AddMenuItem -1).

// The class of every menu made here. It behaves as the platform menu does; its copies keep
// the class. Items are never enabled automatically: only these calls enable and disable them.
class Swell_vVorna_menu : public cocoa::NSMenu
{
public:
  using NSMenu::NSMenu;

protected:
  cocoa::NSMenu* emptyCopy() const override;
};

// What fMask selects (this layer's values, not Win32's).
#define MIIM_ID 0x1
#define MIIM_STATE 0x2
#define MIIM_TYPE 0x4
#define MIIM_SUBMENU 0x8
#define MIIM_DATA 0x10

#define MFT_STRING 0
#define MFT_BITMAP 0x4
#define MFT_SEPARATOR 0x800
#define MFS_ENABLED 0
#define MFS_GRAYED 0x3  // either bit disables
#define MFS_CHECKED 0x8

// Flags of the classic calls.
#define MF_STRING 0
#define MF_ENABLED 0
#define MF_UNCHECKED 0
#define MF_BYCOMMAND 0
#define MF_GRAYED 0x1
#define MF_DISABLED 0x2
#define MF_BITMAP 0x4
#define MF_CHECKED 0x8
#define MF_POPUP 0x10
#define MF_BYPOSITION 0x400
#define MF_SEPARATOR 0x800

#define TPM_NONOTIFY 0x80
#define TPM_RETURNCMD 0x100

struct MENUITEMINFO
{
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;    // not used
  HBITMAP hbmpUnchecked;  // not used
  UINT_PTR dwItemData;
  char* dwTypeData;  // the text, or for MFT_BITMAP the image object (HBITMAP or HICON)
  UINT cch;          // size of the caller's text buffer
};

// One entry of a compiled-in menu list. An entry whose text starts with
// SWELL_MENU_LIST_SUBMENU opens a submenu titled with the rest of the text; one of
// SWELL_MENU_LIST_END closes it; a null text is a separator.
struct SWELL_MenuListEntry
{
  const char* text;
  unsigned short id;
  short grayed;  // nonzero: disabled
};
static_assert(sizeof(SWELL_MenuListEntry) == 16);
#define SWELL_MENU_LIST_SUBMENU "/.BO^O:"
#define SWELL_MENU_LIST_END "EN%%%^:"

// A registered menu resource; the application prepends its records to the list whose head
// is SWELL_curmodule_menuresource_head.
struct SWELL_MenuResourceIndex
{
  const char* resid;
  void (*createFunc)(HMENU menu);
  SWELL_MenuResourceIndex* next;
};
extern SWELL_MenuResourceIndex* SWELL_curmodule_menuresource_head;

// ---- creation and resources

HMENU CreatePopupMenu();
// Titled by the title rule (below); untitled for null.
HMENU CreatePopupMenuEx(const char* title);
// Clears every command target in the menu and its submenus, then lets the menu go.
void DestroyMenu(HMENU menu);
// A new menu filled by the creation function of the first record whose identifier is the
// same pointer as resid; null when none is.
HMENU SWELL_LoadMenu(SWELL_MenuResourceIndex* head, const char* resid);
HMENU SWELL_DuplicateMenu(HMENU menu);
// Appends the entries to the menu, reading at most count of them; returns the number read
// plus one.
int SWELL_GenerateMenuFromList(HMENU menu, const SWELL_MenuListEntry* list, int count);

// ---- items
//
// An item is found by position when the flags hold MF_BYPOSITION (or byPosition is true),
// else by command id: in the menu, then depth first in each submenu in order.
//
// The title rule, wherever a title is set from text: the text up to its first TAB (what
// follows is an accelerator's description), at most 1023 bytes; an ampersand is dropped
// and the character after it is kept as it is, so "&&" gives "&".

// Inserts before the item (by id: before the item of that id at this level; an unknown id
// or an index out of range appends). A submenu given passes into the menu's ownership.
void InsertMenuItem(HMENU menu, int item, bool byPosition, MENUITEMINFO* info);
// A submenu replaced (or detached with a null one) is not destroyed: whoever holds its
// handle destroys it.
int SetMenuItemInfo(HMENU menu, int item, bool byPosition, MENUITEMINFO* info);
// Copies the title into at most cch - 1 bytes plus the terminator.
int GetMenuItemInfo(HMENU menu, int item, bool byPosition, MENUITEMINFO* info);
// A classic insertion: MF_POPUP takes idOrSubmenu as the submenu, MF_SEPARATOR inserts a
// separator, MF_BITMAP takes text as the image object; MF_GRAYED and MF_CHECKED set the state.
void SWELL_InsertMenu(HMENU menu, int item, unsigned flags, UINT_PTR idOrSubmenu, const char* text);
// Appends an item, or a separator for a null text.
void SWELL_Menu_AddMenuItem(HMENU menu, const char* text, int id, unsigned grayed);
// Inserts an enabled item with the text as it is (no title rule). 0, or -1 for a null menu.
int AddMenuItem(HMENU menu, int position, const char* text, int id);
// Removes the item; a submenu of it is let go.
int DeleteMenu(HMENU menu, int item, int flags);
int SetMenuItemText(HMENU menu, int item, int flags, const char* text);
// Enabled unless flags hold MF_GRAYED; checked when they hold MF_CHECKED.
int EnableMenuItem(HMENU menu, int item, int flags);
int CheckMenuItem(HMENU menu, int item, int flags);
// The key equivalent: a letter or digit key, one of ! " ' , . / ? [ \ ] | (unless FVIRTKEY),
// or a virtual key (F1-F24, arrows, Home, End, Page Up and Down, Insert, Delete,
// Backspace, keypad minus); any other key removes it.
int SetMenuItemModifier(HMENU menu, int item, int flags, int key, unsigned modifiers);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
// The command id; -1 for an item with a submenu, 0 for a position out of range.
int GetMenuItemID(HMENU menu, int position);

// ---- windows and the menu bar

// The window keeps the menu: it takes over the caller's reference and destroys the menu
// when the window is destroyed. A menu it held before is only detached; whoever holds that
// handle destroys it. While the window is key, the menu becomes the application's main menu
// bar and the window hears WM_INITMENUPOPUP. 1 when the window keeps menus, 0 otherwise or
// while the application quits.
int SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
void DrawMenuBar(HWND hwnd);
// Where the menu's commands go: every item with a nonzero id, in the menu and its submenus,
// gets the window as its target (and with one, onSwellCommand as its action; actions stay
// when the target is cleared with null), and the menus report to the window before they
// open. Nothing happens when the window does not take commands.
void SWELL_SetMenuDestination(HMENU menu, HWND hwnd);
// Ignored for null, for anything that is not a menu and while the application quits.
void SWELL_SetCurrentMenu(HMENU menu);
HMENU SWELL_GetCurrentMenu();
// Shows the menu as a context menu at the screen point (y up) in hwnd's window, or else the
// main window's, and waits until it closes. With TPM_RETURNCMD the chosen id is returned
// (0 for none); otherwise hwnd gets WM_COMMAND with it, and the result is 1 when an item was
// chosen. Unless TPM_NONOTIFY, hwnd hears WM_INITMENUPOPUP for the menu and for each
// submenu before it opens.
int TrackPopupMenu(HMENU menu, int flags, int x, int y, int reserved, HWND hwnd, const RECT* ignored);

