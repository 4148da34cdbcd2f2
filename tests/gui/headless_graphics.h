#pragma once

#include "IControl.h"
#include "IGraphics.h"
#include "IPopupMenu.h"
#include "lice.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The platform's part of IGraphics for tests, without a window: the screen copy is
// counted, images come from generators the test registers, menus and text fields are
// answered by script, and what the framework asked of the platform is recorded.
class HeadlessGraphics : public IGraphics
{
public:
  struct ShownMenu
  {
    std::vector<std::string> texts;
    std::vector<int> flags;
    IRECT rect;
  };
  struct TextEntry
  {
    IControl* control = nullptr;
    IParam* param = nullptr;
    std::string text;
    IRECT rect;
  };

  HeadlessGraphics(IPlugBase* plug, int w, int h, int fps = 0) : IGraphics(plug, w, h, fps) {}

  bool DrawScreen(IRECT*) override
  {
    ++screenCopies;
    return true;
  }
  void ForceEndUserEdit() override { openEntry.reset(); }
  int ShowMessageBox(const char* text, const char*, int) override
  {
    messages.push_back(text ? text : "");
    return 1;
  }
  // Chooses menuChoice (nothing when it is negative) and records the items shown.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* rect) override
  {
    ReleaseMouseCapture();
    ShownMenu shown;
    for (int i = 0; i < menu->GetNItems(); ++i)
    {
      shown.texts.push_back(menu->GetItemText(i));
      shown.flags.push_back(menu->GetItem(i)->GetFlags());
    }
    shown.rect = rect ? *rect : IRECT();
    menus.push_back(shown);
    if (menuChoice < 0 || menuChoice >= menu->GetNItems()) return nullptr;
    menu->SetChosenItemIdx(menuChoice);
    return menu;
  }
  void CreateTextEntry(IControl* control, IText*, IRECT* rect, const char* str, IParam* param) override
  {
    if (!control || openEntry) return;
    openEntry = TextEntry{control, param, str ? str : "", rect ? *rect : IRECT()};
  }
  void HostPath(WDL_String* path) override { path->Set("/host"); }
  void PluginPath(WDL_String* path) override { path->Set("/plugin/"); }
  void DesktopPath(WDL_String* path) override { path->Set("/desktop"); }
  void AppSupportPath(WDL_String* path, bool) override { path->Set("/support"); }
  void SandboxSafeAppSupportPath(WDL_String* path) override { path->Set("/sandbox"); }
  void PromptForFile(WDL_String* file, EFileAction, WDL_String*, char*) override { file->Set(fileChoice.c_str()); }
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char* url, const char*, const char*, const char*) override
  {
    urls.push_back(url ? url : "");
    return urlOpens;
  }
  void* OpenWindow(void*) override { return mWindow = this; }
  void CloseWindow() override { mWindow = nullptr; }
  void* GetWindow() override { return mWindow; }
  bool GetTextFromClipboard(WDL_String* str) override
  {
    str->Set("");
    return false;
  }
  void UpdateTooltips() override {}
  LICE_IBitmap* OSLoadBitmap(int, const char* name) override
  {
    ++imageLoads;
    auto found = images.find(name ? name : "");
    return found == images.end() ? nullptr : found->second();
  }

  // ---- what a platform text field does, for the entry opened last ----
  // Typing: refused characters leave the text as it was, as the field's formatter does.
  bool Type(const std::string& more)
  {
    if (!openEntry) return false;
    const std::string next = openEntry->text + more;
    if (!TextEntryAccepts(openEntry->param, openEntry->control->GetTextEntryLength(), next.c_str())) return false;
    openEntry->text = next;
    return true;
  }
  void ClearEntry()
  {
    if (openEntry) openEntry->text.clear();
  }
  // Return (or the field losing focus) ends the entry with its text.
  void PressReturn()
  {
    if (!openEntry) return;
    TextEntry entry = *openEntry;
    openEntry.reset();
    EndTextEntry(entry.control, entry.param, entry.text.c_str());
  }
  // The wheel closes an open field without taking its text, then turns what is under it.
  void Wheel(int x, int y, IMouseMod* mod, int d)
  {
    ForceEndUserEdit();
    OnMouseWheel(x, y, mod, d);
  }

  int screenCopies = 0;
  int imageLoads = 0;
  int menuChoice = -1;
  bool urlOpens = true;
  std::string fileChoice;
  std::vector<ShownMenu> menus;
  std::vector<std::string> messages;
  std::vector<std::string> urls;
  std::optional<TextEntry> openEntry;
  std::map<std::string, std::function<LICE_IBitmap*()>> images;

private:
  void* mWindow = nullptr;
};
