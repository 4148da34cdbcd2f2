#pragma once

// The application's menus: the main menu (what an application's interface file supplies,
// built here from the menu resource) and the main window's copy of it.

#include "swell-types.h"

namespace cocoa
{
class NSObject;
}

// Makes the application's main menu from the menu resource: its items keep their command
// ids as tags and send them to the controller (the shell's menu-command road), and
// Preferences... and Quit take Ctrl+, and Ctrl+Q. Call once, before the application launches.
void InstallApplicationMainMenu(cocoa::NSObject* controller);

// The main window's menu: a duplicate of the application's main menu, null when there is
// none. Following the menu resource's own layout, every submenu of the resource but the last
// is laid into the copy and taken out again with the items it names, so what remains is the
// main menu itself.
HMENU MakeWindowMenu();
