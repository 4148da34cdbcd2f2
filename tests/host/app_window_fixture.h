#pragma once

// The application as the `vorna` program starts it, on the headless platform with the fake
// drivers, and what its windows show.

#include "host_fakes.h"

#include "StandaloneMainWindow.h"
#include "app_menu.h"
#include "app_preferences.h"
#include "app_resources.h"
#include "swell-app.h"
#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-menu.h"
#include "swell-wnd-capabilities.h"
#include "swell-wnd.h"

#include "platform/appkit/menu.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The application as the `vorna` program starts it: the main menu of its interface, the
// controller as the application's delegate, then load and launch.
class AppWindowTest : public HostTest
{
protected:
  static SWELLAppController* Controller()
  {
    static auto* controller = new SWELLAppController;
    return controller;
  }

  void StartApplication()
  {
    InstallApplicationMainMenu(Controller());
    mMainMenu = cocoa::NSApp()->mainMenu();
    mMainMenu->retain();
    Controller()->awakeFromNib();
    SWELLAppMain(SWELLAPP_LAUNCHED, 0, 0);
  }

  void TearDown() override
  {
    if (mMainMenu) mMainMenu->release();
    HostTest::TearDown();
  }

  static cocoa::NSMenuItem* ItemWithTag(cocoa::NSMenu* menu, int tag)
  {
    for (cocoa::NSMenuItem* item : menu->itemArray())
    {
      if (item->tag() == tag && !item->submenu()) return item;
      if (item->submenu())
        if (cocoa::NSMenuItem* found = ItemWithTag(item->submenu(), tag)) return found;
    }
    return nullptr;
  }

  static std::string ItemTitle(HMENU menu, int position)
  {
    char title[64] = "";
    MENUITEMINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.dwTypeData = title;
    info.cch = sizeof(title);
    GetMenuItemInfo(menu, position, true, &info);
    return title;
  }

  static cocoa::NSView* MainView() { return dynamic_cast<cocoa::NSView*>(swellObjectOf(gHWND)); }

  // ---- dialogs

  // The preferences dialog made without a modal run, for looking at its lists and driving it
  // by messages.
  static HWND OpenPreferences()
  {
    HWND dialog = SWELL_CreateDialog(SWELL_curmodule_dialogresource_head, ResourceId(IDD_DIALOG_PREF), gHWND,
                                     PreferencesDlgProc, 0);
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }

  static cocoa::NSWindow* ModalWindow() { return cocoa::NSApp()->modalWindow(); }
  // The procedure's handle of the running modal dialog: its content view.
  static HWND ModalDialog()
  {
    cocoa::NSWindow* window = ModalWindow();
    return window ? swellHandleOf(window->contentView()) : nullptr;
  }

  // Runs the command on the main window and, half a second apart, the steps in whatever
  // modal run is up then (input a step gives is handled before the next step). A run still
  // going a second after the last step is ended and fails the test.
  using Step = std::function<void(HWND dialog)>;
  void RunCommandWithModal(int command, std::vector<Step> steps)
  {
    RunWithModal([command] { SendMessage(gHWND, WM_COMMAND, WPARAM(command), 0); },
                 "command " + std::to_string(command), std::move(steps));
  }

  // The same with any start: a key, a click.
  void RunWithModal(const std::function<void()>& begin, const std::string& what, std::vector<Step> steps)
  {
    // What the scheduled actions share; they outlive this run and do nothing after it.
    struct Run
    {
      std::vector<Step> steps;
      bool over = false;
      int ran = 0;
      bool leftOpen = false;
    };
    auto run = std::make_shared<Run>();
    run->steps = std::move(steps);
    const double start = mDriver.now();
    for (size_t i = 0; i < run->steps.size(); ++i)
      mDriver.at(start + 0.5 * double(i + 1), [run, i] {
        if (run->over || !ModalWindow()) return;
        ++run->ran;
        run->steps[i](ModalDialog());
      });
    mDriver.at(start + 0.5 * double(run->steps.size() + 2), [run] {
      if (run->over || !ModalWindow()) return;
      run->leftOpen = true;
      cocoa::NSApp()->abortModal();
    });
    begin();
    run->over = true;
    EXPECT_EQ(run->ran, int(run->steps.size())) << "steps without a dialog for " << what;
    EXPECT_FALSE(run->leftOpen) << "the dialog of " << what << " was left open";
  }

  // Picks the entry by its text as the user would: the selection, then its notification.
  static void Pick(HWND dialog, int id, const std::string& text)
  {
    HWND combo = GetDlgItem(dialog, id);
    const int entry = int(SendMessage(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text.c_str())));
    ASSERT_GE(entry, 0) << text << " is not offered by " << id;
    SendMessage(combo, CB_SETCURSEL, WPARAM(entry), 0);
    SendMessage(dialog, WM_COMMAND, WPARAM(id | (CBN_SELCHANGE << 16)), LPARAM(combo));
  }

  static std::vector<std::string> Entries(HWND dialog, int id)
  {
    std::vector<std::string> entries;
    const int count = SWELL_CB_GetNumItems(dialog, id);
    for (int i = 0; i < count; ++i)
    {
      char text[512];
      SWELL_CB_GetItemText(dialog, id, i, text, int(sizeof(text)));
      entries.push_back(text);
    }
    return entries;
  }

  // The selected entry's text, "" for none.
  static std::string Selected(HWND dialog, int id)
  {
    const int entry = SWELL_CB_GetCurSel(dialog, id);
    if (entry < 0) return "";
    char text[512];
    SWELL_CB_GetItemText(dialog, id, entry, text, int(sizeof(text)));
    return text;
  }

  // The control of the running modal dialog that shows the text (depth first), or null.
  static cocoa::NSView* FindByText(cocoa::NSView* root, const std::string& text)
  {
    for (cocoa::NSView* child : root->subviews())
    {
      char buf[512];
      if (GetDlgItemText(swellHandleOf(child), 0, buf, sizeof buf) && text == buf) return child;
      if (cocoa::NSView* inside = FindByText(child, text)) return inside;
    }
    return nullptr;
  }

  // Clicks what shows the text in the running modal dialog; false when nothing does.
  bool ClickInModal(const std::string& text)
  {
    cocoa::NSWindow* window = ModalWindow();
    cocoa::NSView* view = window ? FindByText(window->contentView(), text) : nullptr;
    if (!view) return false;
    const cocoa::NSRect frame = view->convertRectToView(view->bounds(), nullptr);
    const cocoa::NSRect content = window->contentView()->frame();
    mDriver.click(window, cocoa::NSMakePoint(frame.origin.x + frame.size.width / 2,
                                             content.size.height - (frame.origin.y + frame.size.height / 2)));
    return true;
  }

  cocoa::NSMenu* mMainMenu = nullptr;
};
