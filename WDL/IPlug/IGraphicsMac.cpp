// IGraphicsMac: the editor's view in the host's window, its screen copy and the
// platform's services.

#include "IGraphicsMac.h"

#include "IControl.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsFilePrompt.h"
#include "lice.h"

#include "platform/appkit/application.h"
#include "platform/appkit/cursor.h"
#include "platform/appkit/event.h"
#include "platform/appkit/graphics_context.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/workspace.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/graphics/cg_context.h"
#include "platform/graphics/cg_image.h"

#include <cmath>
#include <cstring>
#include <utility>

using namespace cocoa;

IGraphicsMac::IGraphicsMac(IPlugBase* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps)
{
  // The application object the view's events and timer run under.
  NSApplication::sharedApplication();
}

IGraphicsMac::~IGraphicsMac()
{
  CloseWindow();
  if (mScreenColorSpace) CGColorSpaceRelease(mScreenColorSpace);
}

void* IGraphicsMac::OpenWindow(void* parentView)
{
  CloseWindow();
  mView = (new IGraphicsCocoa_vVorna_sa)->initWithIGraphics(this);
  if (parentView) static_cast<NSView*>(parentView)->addSubview(mView);
  UpdateTooltips();
  return mView;
}

void IGraphicsMac::CloseWindow()
{
  if (!mView) return;
  IGraphicsCocoa_vVorna_sa* view = std::exchange(mView, nullptr);
  view->removeAllToolTips();
  view->killTimer();
  if (view->graphics() == this)
  {
    view->forgetGraphics();
    view->removeFromSuperview();
  }
  view->release();
}

void* IGraphicsMac::GetWindow()
{
  return mView;
}

void IGraphicsMac::Resize(int w, int h)
{
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  if (mView) mView->setFrameSize(NSMakeSize(w, h));
}

NSRect IGraphicsMac::ToViewRect(const IRECT& r) const
{
  return NSMakeRect(r.L, mHeight - r.B - 1, r.W() + 1, r.H() + 1);
}

IRECT IGraphicsMac::FromViewRect(NSRect r) const
{
  const int x = static_cast<int>(r.origin.x), y = static_cast<int>(r.origin.y);
  const int w = static_cast<int>(r.size.width), h = static_cast<int>(r.size.height);
  return IRECT(x, mHeight - y - h, x + w, mHeight - y);
}

void IGraphicsMac::ToGUIPoint(NSPoint p, int* x, int* y) const
{
  *x = static_cast<int>(p.x) - 2;
  *y = mHeight - static_cast<int>(p.y) - 3;
}

bool IGraphicsMac::DrawScreen(IRECT*)
{
  if (!mView) return false;
  NSGraphicsContext* current = NSGraphicsContext::currentContext();
  CGContextRef port = current ? current->graphicsPort() : nullptr;
  LICE_IBitmap* buffer = GetDrawBitmap();
  if (!port || !buffer || !buffer->getBits()) return false;
  // One colour space serves every screen here.
  if (!mScreenColorSpace) mScreenColorSpace = CGColorSpaceCreateDeviceRGB();

  // The whole back buffer as one image; the window's invalid region limits the copy.
  const size_t span = static_cast<size_t>(buffer->getRowSpan());
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, buffer->getBits(), span * static_cast<size_t>(mHeight) * 4, nullptr);
  constexpr uint32_t kLittleEndianFirstByteSkipped = 0x2006;
  CGImageRef image = CGImageCreate(mWidth, mHeight, 8, 32, span * 4, mScreenColorSpace, kLittleEndianFirstByteSkipped,
                                   provider, nullptr, false, 0);
  if (image) CGContextDrawImage(port, CGRectMake(0, 0, mWidth, mHeight), image);
  CGImageRelease(image);
  CGDataProviderRelease(provider);
  return true;
}

bool IGraphicsMac::MeasureIText(IText* text, const char* str, IRECT* destRect)
{
  NSAutoreleasePool pool;
  return IGraphics::DrawIText(text, str, destRect, true);
}

LICE_IBitmap* IGraphicsMac::OSLoadBitmap(int, const char* name)
{
  return LoadImgFromResourceOSX(mBundleIdent.Get(), name);
}

void IGraphicsMac::ForceEndUserEdit()
{
  if (mView) mView->endUserInput();
}

void IGraphicsMac::UpdateTooltips()
{
  if (!mView || !TooltipsEnabled()) return;
  mView->removeAllToolTips();
  for (int i = 0; i < GetNControls(); ++i)
  {
    IControl* control = GetControl(i);
    const IRECT* target = control->GetTargetRECT();
    if (!control->IsHidden() && !target->Empty()) mView->registerToolTip(target);
  }
}

void IGraphicsMac::HideMouseCursor()
{
  if (mCursorHidden) return;
  CGDisplayHideCursor(CGMainDisplayID());
  mCursorHidden = true;
  const NSPoint p = NSEvent::mouseLocation();
  mCursorHideX = static_cast<int>(p.x);
  mCursorHideY = static_cast<int>(CGDisplayPixelsHigh(CGMainDisplayID())) - static_cast<int>(p.y);
}

void IGraphicsMac::ShowMouseCursor()
{
  if (!mCursorHidden) return;
  CGWarpMouseCursorPosition(CGPointMake(mCursorHideX, mCursorHideY));
  CGDisplayShowCursor(CGMainDisplayID());
  mCursorHidden = false;
}

IPopupMenu* IGraphicsMac::CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect)
{
  ReleaseMouseCapture();
  if (!mView || !menu || !areaRect) return nullptr;
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(mView);
  return mView->createIPopupMenu(menu, ToViewRect(*areaRect));
}

void IGraphicsMac::CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param)
{
  if (!mView || !text || !textRect) return;
  mView->createTextEntry(control, param, text, str, ToViewRect(*textRect));
}

bool IGraphicsMac::PromptForColor(IColor*, char*)
{
  return false;
}

void IGraphicsMac::PromptForFile(WDL_String* file, EFileAction action, WDL_String* dir, char* extensions)
{
  if (!mView)
  {
    if (file) file->Set("");
    return;
  }
  PromptForFileWithWindowLayer(file, action, dir, extensions);
}

bool IGraphicsMac::OpenURL(const char* url, const char*, const char*, const char*)
{
  if (!url || !*url) return true;  // nothing that could be opened
  NSWorkspace* workspace = NSWorkspace::sharedWorkspace();
  return std::strstr(url, "http") ? workspace->openURL(url) : workspace->openFile(url);
}

bool IGraphicsMac::GetTextFromClipboard(WDL_String* str)
{
  const std::optional<NSString> text = NSPasteboard::generalPasteboard()->stringForType(NSPasteboardTypeString);
  str->Set(text ? text->UTF8String() : "");
  return text.has_value();
}

int IGraphicsMac::GetUserOSVersion()
{
  return GetSystemVersion();
}

void IGraphicsMac::AttachSubWindow(void* hostWindowRef)
{
  auto* host = static_cast<NSWindow*>(hostWindowRef);
  if (!host) return;
  host->retain();
  NSRect place = host->frame();
  if (place.size.width > mWidth) place.origin.x += std::floor((place.size.width - mWidth) / 2);
  place.size = NSMakeSize(mWidth, mHeight);
  auto* child = new CustomCocoaWindow_vVorna_sa(place, NSWindowStyleMaskBorderless, NSBackingStoreBuffered, false);
  child->setReleasedWhenClosed(true);
  OpenWindow(child->contentView());
  host->addChildWindow(child, NSWindowAbove);
  host->orderFront(nullptr);
  child->display();
  NSTimer::scheduledTimerWithTimeInterval(0.1, false, [child = StrongRef<NSWindow>(child)](NSTimer*) {
    child->orderFront(nullptr);
  });
  mHostWindow = host;
}

void IGraphicsMac::RemoveSubWindow()
{
  if (!mHostWindow) return;
  NSWindow* host = std::exchange(mHostWindow, nullptr);
  const std::vector<NSWindow*> children = host->childWindows();
  NSWindow* child = children.empty() ? nullptr : children.front();
  CloseWindow();
  if (child)
  {
    StrongRef<NSWindow> keep(child);
    child->orderOut(nullptr);
    host->removeChildWindow(child);
    child->close();
  }
  host->orderOut(nullptr);
  host->close();
  host->release();
}
