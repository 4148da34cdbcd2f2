// The editor's view: frame timer, drawing, mouse, keys and the wheel, text fields and
// tooltips.

#include "IGraphicsCocoa.h"

#include "IControl.h"
#include "IGraphicsMac.h"

#include "platform/appkit/color.h"
#include "platform/appkit/event.h"
#include "platform/text/core_text.h"

#include <utility>

using namespace cocoa;

namespace
{
// Virtual key codes of the keys IGraphics knows by position rather than by character.
constexpr uint16_t kVirtualKeySpace = 49;
constexpr uint16_t kVirtualKeyUp = 126;
constexpr uint16_t kVirtualKeyDown = 125;
constexpr uint16_t kVirtualKeyLeft = 123;
constexpr uint16_t kVirtualKeyRight = 124;

constexpr int kKeySpace = 0, kKeyUp = 1, kKeyDown = 2, kKeyLeft = 3, kKeyRight = 4;
constexpr int kKeyDigit0 = 5, kKeyLetterA = 15;

NSColor ToNSColor(const IColor& c)
{
  return NSColor::colorWithCalibratedRed(c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0);
}

NSTextAlignment ToAlignment(IText::EAlign align)
{
  switch (align)
  {
  case IText::kAlignFar: return NSTextAlignmentRight;
  case IText::kAlignCenter: return NSTextAlignmentCenter;
  default: return NSTextAlignmentLeft;
  }
}
}  // namespace

IGraphicsCocoa_vVorna_sa::IGraphicsCocoa_vVorna_sa() = default;

IGraphicsCocoa_vVorna_sa* IGraphicsCocoa_vVorna_sa::initWithIGraphics(IGraphicsMac* graphics)
{
  mGraphics = graphics;
  setFrame(NSMakeRect(0, 0, graphics->Width(), graphics->Height()));
  // The timer owns the view until it is killed.
  mTimer = NSTimer::scheduledTimerWithTimeInterval(1.0 / graphics->FPS(), this, nullptr, true);
  mTimer->retain();
  return this;
}

void IGraphicsCocoa_vVorna_sa::dealloc()
{
  killTimer();
  if (mTextFieldView) std::exchange(mTextFieldView, nullptr)->release();
  NSView::dealloc();
}

void IGraphicsCocoa_vVorna_sa::viewDidMoveToWindow()
{
  NSWindow* w = window();
  if (!w) return;
  w->makeFirstResponder(this);
  w->setAcceptsMouseMovedEvents(true);
}

void IGraphicsCocoa_vVorna_sa::onTimer(NSTimer* timer)
{
  if (timer != mTimer || !mGraphics) return;
  // Values learned controllers set since the last frame reach their controls first.
  mGraphics->DrainParamMailbox();
  IRECT r;
  if (mGraphics->IsDirty(&r)) setNeedsDisplayInRect(mGraphics->ToViewRect(r));
}

void IGraphicsCocoa_vVorna_sa::drawRect(NSRect rect)
{
  if (!mGraphics) return;
  IRECT r = mGraphics->FromViewRect(rect);
  mGraphics->Draw(&r);
}

void IGraphicsCocoa_vVorna_sa::getMouseXY(NSEvent* event, int* x, int* y)
{
  mGraphics->ToGUIPoint(convertPointFromView(event->locationInWindow(), nullptr), x, y);
  mPrevX = *x;
  mPrevY = *y;
}

IMouseMod IGraphicsCocoa_vVorna_sa::MouseMod(NSEvent* event, bool rightButton)
{
  const unsigned flags = event->modifierFlags();
  IMouseMod mod(!rightButton, rightButton || (flags & NSEventModifierFlagCommand), flags & NSEventModifierFlagShift,
                flags & NSEventModifierFlagControl, flags & NSEventModifierFlagOption);
  return mod;
}

template <class Handler>
void IGraphicsCocoa_vVorna_sa::sendMouse(NSEvent* event, bool rightButton, Handler handler)
{
  if (!mGraphics) return;
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(this);
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MouseMod(event, rightButton);
  handler(x, y, &mod);
}

void IGraphicsCocoa_vVorna_sa::mouseDown(NSEvent* event)
{
  sendMouse(event, false, [&](int x, int y, IMouseMod* mod) {
    if (event->clickCount() > 1) mGraphics->OnMouseDblClick(x, y, mod);
    else mGraphics->OnMouseDown(x, y, mod);
  });
}

void IGraphicsCocoa_vVorna_sa::mouseUp(NSEvent* event)
{
  sendMouse(event, false, [&](int x, int y, IMouseMod* mod) {
    mGraphics->OnMouseUp(x, y, mod);
    hoverAfterRelease(event, x, y);
  });
}

void IGraphicsCocoa_vVorna_sa::mouseDragged(NSEvent* event)
{
  if (mTextFieldView) return;
  sendMouse(event, false, [&](int x, int y, IMouseMod* mod) { mGraphics->OnMouseDrag(x, y, mod); });
}

void IGraphicsCocoa_vVorna_sa::rightMouseDown(NSEvent* event)
{
  sendMouse(event, true, [&](int x, int y, IMouseMod* mod) { mGraphics->OnMouseDown(x, y, mod); });
}

void IGraphicsCocoa_vVorna_sa::rightMouseUp(NSEvent* event)
{
  sendMouse(event, true, [&](int x, int y, IMouseMod* mod) {
    mGraphics->OnMouseUp(x, y, mod);
    hoverAfterRelease(event, x, y);
  });
}

void IGraphicsCocoa_vVorna_sa::rightMouseDragged(NSEvent* event)
{
  if (mTextFieldView) return;
  sendMouse(event, true, [&](int x, int y, IMouseMod* mod) { mGraphics->OnMouseDrag(x, y, mod); });
}

void IGraphicsCocoa_vVorna_sa::mouseMoved(NSEvent* event)
{
  sendMouse(event, false, [&](int x, int y, IMouseMod* mod) { mGraphics->OnMouseOver(x, y, mod); });
}

void IGraphicsCocoa_vVorna_sa::mouseExited(NSEvent*)
{
  if (!mGraphics) return;
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(this);
  mGraphics->OnMouseOut();
}

// While a button is held the pointer belongs to the pressed control and no hover is
// reported, and a press may have put something new under a still pointer (a menu, a
// panel) or ended outside the window. So once the button is up, the control under the
// pointer becomes the hovered one, as if the pointer had just moved there; a release
// outside the editor counts as the pointer leaving it.
void IGraphicsCocoa_vVorna_sa::hoverAfterRelease(NSEvent* event, int x, int y)
{
  if (!mGraphics) return;
  const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
  IMouseMod hover = MouseMod(event, false);
  if (NSPointInRect(p, bounds())) mGraphics->OnMouseOver(x, y, &hover);
  else mGraphics->OnMouseOut();
}

int IGraphicsCocoa_vVorna_sa::KeyCode(uint16_t virtualKey, char32_t character)
{
  switch (virtualKey)
  {
  case kVirtualKeySpace: return kKeySpace;
  case kVirtualKeyUp: return kKeyUp;
  case kVirtualKeyDown: return kKeyDown;
  case kVirtualKeyLeft: return kKeyLeft;
  case kVirtualKeyRight: return kKeyRight;
  default: break;
  }
  if (character >= U'0' && character <= U'9') return kKeyDigit0 + static_cast<int>(character - U'0');
  if (character >= U'A' && character <= U'Z') return kKeyLetterA + static_cast<int>(character - U'A');
  if (character >= U'a' && character <= U'z') return kKeyLetterA + static_cast<int>(character - U'a');
  return -1;
}

void IGraphicsCocoa_vVorna_sa::keyDown(NSEvent* event)
{
  if (!mGraphics) return;
  std::u32string characters;
  if (!decodeUtf8(event->charactersIgnoringModifiers().str(), &characters) || characters.size() != 1) return;
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(this);
  const int code = KeyCode(event->keyCode(), characters[0]);
  if (code >= 0 && mGraphics->OnKeyDown(mPrevX, mPrevY, code)) return;
  if (NSResponder* next = nextResponder()) next->keyDown(event);
}

void IGraphicsCocoa_vVorna_sa::scrollWheel(NSEvent* event)
{
  if (mGraphics && mTextFieldView) endUserInput();
  sendMouse(event, false,
            [&](int x, int y, IMouseMod* mod) { mGraphics->OnMouseWheel(x, y, mod, static_cast<int>(event->deltaY())); });
}

void IGraphicsCocoa_vVorna_sa::killTimer()
{
  if (!mTimer) return;
  NSTimer* timer = std::exchange(mTimer, nullptr);
  timer->invalidate();
  timer->release();
}

void IGraphicsCocoa_vVorna_sa::removeFromSuperview()
{
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(this);
  if (mTextFieldView) endUserInput();
  if (IGraphicsMac* graphics = std::exchange(mGraphics, nullptr)) graphics->CloseWindow();
  NSView::removeFromSuperview();
}

void IGraphicsCocoa_vVorna_sa::createTextEntry(IControl* control, IParam* param, const IText* text, const char* str,
                                                NSRect rect)
{
  if (!control || mTextFieldView) return;
  auto* field = new NSTextField(rect);
  CTFontRef font = CTFontCreateWithName(text->mFontName, static_cast<float>(static_cast<int>(text->mSize * 0.9)), nullptr);
  field->setFont(font);
  CTFontRelease(font);
  field->setAlignment(ToAlignment(text->mAlign));
  if (param)
  {
    auto* formatter = new CocoaFormatter_vVorna_sa;
    const NSCharacterSet characters = NSCharacterSet::characterSetWithCharactersInString(IGraphics::TextEntryCharacters(param));
    formatter->setAcceptableCharacterSet(&characters);
    formatter->setMaximumLength(control->GetTextEntryLength());
    formatter->setMaximumValue(0);
    field->setFormatter(formatter);
    formatter->release();
  }
  field->cell()->setLineBreakMode(NSLineBreakByTruncatingTail);
  field->setTextColor(ToNSColor(text->mEntryTextColor));
  field->setBackgroundColor(ToNSColor(text->mEntryBackColor));
  field->setDrawsBackground(true);
  field->setStringValue(str ? str : "");
  field->setBordered(false);
  field->setBezeled(false);
  field->setFocusRingType(NSFocusRingTypeNone);
  field->setDelegate(this);

  mTextFieldView = field;
  mEdControl = control;
  mEdParam = param;
  addSubview(field);
  if (NSWindow* w = window())
  {
    w->makeKeyAndOrderFront(nullptr);
    w->makeFirstResponder(field);
  }
}

void IGraphicsCocoa_vVorna_sa::controlTextDidEndEditing(NSControl* control)
{
  if (!mTextFieldView || control != mTextFieldView) return;
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(this);
  const NSString text = mTextFieldView->stringValue();
  if (mGraphics) mGraphics->EndTextEntry(mEdControl, mEdParam, text.UTF8String());
  endUserInput();
  setNeedsDisplay(true);
}

void IGraphicsCocoa_vVorna_sa::endUserInput()
{
  if (!mTextFieldView) return;
  StrongRef<IGraphicsCocoa_vVorna_sa> keep(this);
  NSTextField* field = std::exchange(mTextFieldView, nullptr);
  field->setDelegate(nullptr);
  field->removeFromSuperview();
  if (NSWindow* w = window()) w->makeFirstResponder(this);
  field->release();
  mEdControl = nullptr;
  mEdParam = nullptr;
}

NSString IGraphicsCocoa_vVorna_sa::stringForToolTip(NSView*, NSInteger, NSPoint, void*)
{
  if (!mGraphics) return NSString();
  const int idx = mGraphics->GetMouseOverIdx();
  if (idx < 0 || idx >= mGraphics->GetNControls()) return NSString();
  const char* tip = mGraphics->GetControl(idx)->GetTooltip();
  return NSString(tip ? tip : "");
}

void IGraphicsCocoa_vVorna_sa::registerToolTip(const IRECT* rect)
{
  if (mGraphics && rect) addToolTipRect(mGraphics->ToViewRect(*rect), this, nullptr);
}
