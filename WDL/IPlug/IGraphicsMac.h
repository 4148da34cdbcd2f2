#pragma once

#include "IGraphics.h"
#include "wdlstring.h"

#include "platform/graphics/cg_types.h"

namespace cocoa
{
class NSWindow;
class NSView;
}  // namespace cocoa
class IGraphicsCocoa_vVorna_sa;

// The editor's surface in a window of the platform layer: a view in the host's parent
// view (a cocoa::NSView*) that runs the frame timer, turns the platform's events into
// IGraphics calls, shows pop-up menus and text fields, and copies the back buffer into
// the window. Main thread only.
class IGraphicsMac : public IGraphics
{
public:
  IGraphicsMac(IPlugBase* plug, int w, int h, int fps = 0);
  ~IGraphicsMac() override;

  void SetBundleID(const char* bundleID) { mBundleIdent.Set(bundleID ? bundleID : ""); }

  bool DrawScreen(IRECT* r) override;
  bool MeasureIText(IText* text, const char* str, IRECT* destRect) override;
  void ForceEndUserEdit() override;
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "Cocoa GUI"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect) override;
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override;
  void HostPath(WDL_String* path) override;
  void PluginPath(WDL_String* path) override;
  void DesktopPath(WDL_String* path) override;
  void AppSupportPath(WDL_String* path, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(WDL_String* path) override;
  // Not available yet: leaves the file name empty.
  void PromptForFile(WDL_String* file, EFileAction action = kFileOpen, WDL_String* dir = nullptr,
                     char* extensions = nullptr) override;
  bool PromptForColor(IColor* color, char* prompt = nullptr) override;
  // A text with "http" in it is a URL, anything else a file path; both go to the
  // desktop's opener. True when it started.
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  // Puts a fresh view (and frame timer) into the parent view, closing the one open before.
  void* OpenWindow(void* parentView) override;
  void* OpenCocoaWindow(void* parentView) { return OpenWindow(parentView); }
  void AttachSubWindow(void* hostWindow) override;
  void RemoveSubWindow() override;
  void CloseWindow() override;
  bool WindowIsOpen() override { return mView != nullptr; }
  void* GetWindow() override;
  bool GetTextFromClipboard(WDL_String* str) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  void UpdateTooltips() override;
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

  int GetUserOSVersion();

  // The view as the platform layer sees it (null while closed).
  IGraphicsCocoa_vVorna_sa* GetView() const { return mView; }
  // GUI rectangles (y down) to view rectangles (y up) and back; mouse locations in the
  // view to GUI points.
  cocoa::NSRect ToViewRect(const IRECT& r) const;
  IRECT FromViewRect(cocoa::NSRect r) const;
  void ToGUIPoint(cocoa::NSPoint p, int* x, int* y) const;

private:
  IGraphicsCocoa_vVorna_sa* mView = nullptr;  // retained while open
  WDL_String mBundleIdent;
  cocoa::CGColorSpaceRef mScreenColorSpace = nullptr;
  cocoa::NSWindow* mHostWindow = nullptr;
};

// The operating system's version as one hexadecimal number (10.8 gives 0x1080), 0 when
// it cannot be read; read once per process.
int GetSystemVersion();
// The version read from the text of a system version property list, as above.
int ParseSystemVersion(const char* plistText);
// A PNG image of the application's resources by file name; folders in the name are
// ignored, and any other extension than "png" (in any case) gives null.
LICE_IBitmap* LoadImgFromResourceOSX(const char* bundleIdent, const char* name);
// Where LoadImgFromResourceOSX finds a resource of that bare name and type; empty when
// there is none.
WDL_String ResourcePath(const char* name, const char* type);
