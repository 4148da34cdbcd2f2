// Making controls: the creation context, placement, and one creator per kind of control.

#include "swell-ctl-classes.h"
#include "swell-ctl-make.h"
#include "swell-listview-view.h"
#include "swell-misc.h"
#include "swell-tabctrl-view.h"
#include "swell-treeview-view.h"
#include "swell-wnd-view.h"
#include "swell-wnd-internal.h"
#include "swell-wnd.h"

#include "platform/appkit/font.h"
#include "platform/appkit/scroll_view.h"
#include "platform/appkit/window.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <strings.h>

using namespace cocoa;

// Process-wide: nothing in the system changes it.
int g_swell_want_nice_style = 1;

namespace
{
struct AutoRightMemory
{
  double rightEdge = 0;
  double centre = -100.0;
  double growth = 0;
};

struct CreationContext
{
  NSView* owner = nullptr;
  double xOffset = 0, yOffset = 0, xScale = 1, yScale = 1;
  double parentHeight = 0;
  bool doAutoRight = false;
  bool sizeToFits = false;
  AutoRightMemory lastAuto;
  int radioGroupCount = 0;
};

CreationContext g_context;

struct CustomCreator
{
  SWELL_ControlCreatorProc proc;
  int count;
};
std::vector<CustomCreator> g_customCreators;

constexpr int kHidden = SWELL_NOT_WS_VISIBLE;
constexpr double kMaxSystemFontScale = 1.81;
constexpr int kMnemonicScanLimit = 1024;
constexpr int kDropDownHeight = 18;
constexpr int kEditableComboHeight = 22;
constexpr int kSliderRange = 1000;

// v + 0.5, truncated toward zero.
int t(double v)
{
  return static_cast<int>(v + 0.5);
}

// The control's font by the context's scale; null keeps the platform's default.
CTFontRef controlFont()
{
  if (g_context.xScale >= kMaxSystemFontScale) return nullptr;
  return NSFont::systemFontOfSize(g_context.xScale < 1.0 ? 8 : 10);
}

void applyFont(NSControl* control)
{
  if (CTFontRef font = controlFont()) control->setFont(font);
}

NSString titleOf(const char* text)
{
  return NSString(swell::withoutMnemonics(text));
}

// Adds the new control to the context's parent (the parent then holds the only reference)
// and hides it when the style asks.
HWND addToParent(NSView* control, int style)
{
  if (style & kHidden) control->setHidden(true);
  if (g_context.owner) g_context.owner->addSubview(control);
  control->release();
  return swellHandleOf(control);
}

void updateAutoRightGrowth(NSView* control)
{
  const NSRect frame = control->frame();
  g_context.lastAuto.growth = (frame.origin.x + frame.size.width) - g_context.lastAuto.rightEdge;
}

void makeTargetParent(NSControl* control, Action action = Action::onSwellCommand)
{
  control->setTarget(g_context.owner);
  control->setAction(action);
}

// List views and list boxes and tree views in their scroll views, tab controls and progress
// bars; null for any other class.
HWND makeTableOrTabControl(int id, const char* classname, int style, int x, int y, int w, int h)
{
  NSView* parent = g_context.owner;
  if (!parent) return nullptr;
  NSView* made = nullptr;
  HWND handle = nullptr;
  const bool listBox = !strcasecmp(classname, "SysListView32_LB");
  if (listBox || !strcasecmp(classname, "SysListView32"))
  {
    Swell_vVorna_listview* lv = swellCreateListView(parent, id, style & ~kHidden, swell::makeCoords(x, y, w, h, false, false), listBox);
    made = swell::outerViewOf(lv);
    handle = lv->handle();
  }
  else if (!strcasecmp(classname, "SysTreeView32"))
  {
    Swell_vVorna_treeview* tv = swellCreateTreeView(parent, id, style & ~kHidden, swell::makeCoords(x, y, w, h, false, false));
    made = swell::outerViewOf(tv);
    handle = tv->handle();
  }
  else if (!strcasecmp(classname, "SysTabControl32"))
  {
    Swell_vVorna_tabview* tabs = swellCreateTabControl(parent, id, swell::makeCoords(x, y - 1, w, h + 6, false, false));
    if (auto* window = dynamic_cast<Swell_vVorna_hwnd*>(parent)) window->m_allow_nomiddleman = 0;
    made = tabs;
    handle = swellHandleOf(tabs);
  }
  else if (!strcasecmp(classname, "msctls_progress32"))
  {
    Swell_vVorna_progind* bar = swellCreateProgressBar(parent, id, swell::makeCoords(x, y, w, h, false, false));
    made = bar;
    handle = swellHandleOf(bar);
  }
  if (made && (style & kHidden)) made->setHidden(true);
  return handle;
}

// The button keeps the only reference to its new cell.
void giveCell(NSButton* button, NSButtonCell* cell)
{
  button->setCell(cell);
  cell->release();
}

Swell_vVorna_button* makePlainButton(int id, NSRect frame, int style)
{
  auto* button = new Swell_vVorna_button;
  if (style & BS_BITMAP) giveCell(button, new Swell_vVorna_imgbuttoncell);
  button->setFrame(frame);
  button->setTag(id);
  applyFont(button);
  return button;
}

// A radio button begins a group with WS_GROUP, as the first control, or after anything that
// is not a button of this layer or is a radio button that began a group itself.
bool beginsRadioGroup(int style)
{
  if (style & WS_GROUP) return true;
  NSView* parent = g_context.owner;
  if (!parent || parent->subviews().empty()) return true;
  auto* last = dynamic_cast<Swell_vVorna_button*>(parent->subviews().back());
  return !last || (last->swellGetRadioFlags() & Swell_vVorna_button::kRadioGroupStart);
}

Action radioGroupAction(int group)
{
  static constexpr Action kActions[8] = {Action::onSwellCommand0, Action::onSwellCommand,  Action::onSwellCommand2,
                                         Action::onSwellCommand3, Action::onSwellCommand4, Action::onSwellCommand5,
                                         Action::onSwellCommand6, Action::onSwellCommand7};
  return kActions[group % 8];
}

HWND makeTypedButton(const char* caption, int id, int style, int x, int y, int w, int h)
{
  auto* button = makePlainButton(id, swell::makeCoords(x, y, w, h, true, false), style);
  const int kind = style & 0xF;
  Action action = Action::onSwellCommand;
  switch (kind)
  {
  case BS_AUTOCHECKBOX:
  case BS_AUTO3STATE: swell::typeButton(button, style); break;
  case BS_AUTORADIOBUTTON:
    if (beginsRadioGroup(style)) ++g_context.radioGroupCount;
    action = radioGroupAction(g_context.radioGroupCount);
    swell::typeButton(button, style);
    break;
  case BS_OWNERDRAW: giveCell(button, new Swell_vVorna_ODbuttoncell); break;
  default:
    button->setBezelStyle(g_swell_want_nice_style == 1 ? NSBezelStyleShadowlessSquare : NSBezelStyleRounded);
    if (style & BS_LEFT) button->setAlignment(NSTextAlignmentLeft);
    break;
  }
  button->setTitle(titleOf(caption));
  makeTargetParent(button, action);
  if (style & BS_LEFTTEXT) button->setImagePosition(NSImageRight);
  if (g_context.sizeToFits && kind != BS_OWNERDRAW) button->sizeToFit();
  HWND hwnd = addToParent(button, style);
  updateAutoRightGrowth(button);
  return hwnd;
}

void configureLabel(NSTextField* label, const char* text, int id, NSTextAlignment alignment, bool wraps)
{
  label->setEditable(false);
  label->setSelectable(false);
  label->setBordered(false);
  label->setBezeled(false);
  label->setDrawsBackground(false);
  applyFont(label);
  if (text) label->setStringValue(titleOf(text));
  label->setAlignment(alignment);
  label->cell()->setWraps(wraps);
  label->setTag(id);
}

HWND makeStatic(const char* caption, int id, int style, int x, int y, int w, int h)
{
  auto* label = new Swell_vVorna_textfield;
  const int kind = style & 0x1F;
  const NSTextAlignment alignment = kind == SS_CENTER  ? NSTextAlignmentCenter
                                    : kind == SS_RIGHT ? NSTextAlignmentRight
                                                       : NSTextAlignmentLeft;
  configureLabel(label, caption && *caption ? caption : nullptr, id, alignment,
                 kind != SS_LEFTNOWORDWRAP && h > 12);
  label->setFrame(swell::makeCoords(x, y, w, h, true, false));
  HWND hwnd = addToParent(label, style);
  if (kind == SS_BLACKRECT) label->setHidden(true);
  return hwnd;
}

HWND tryCustomCreators(const char* caption, int id, const char* classname, int style, int x, int y, int w, int h,
                       int exstyle)
{
  const NSRect place = swell::makeCoords(x, y, w, h, false, false);
  // A creator may register or unregister others while it runs.
  const std::vector<CustomCreator> creators = g_customCreators;
  for (const CustomCreator& creator : creators)
  {
    HWND made = creator.proc(swellHandleOf(g_context.owner), caption, id, classname, style, t(place.origin.x),
                             t(place.origin.y), t(place.size.width), t(place.size.height));
    if (!made) continue;
    if (exstyle)
    {
      if (auto* words = respondsTo<SWELL_WindowWords>(swellObjectOf(made))) words->swellSetExtendedStyle(exstyle);
      else SetWindowLong(made, GWL_EXSTYLE, exstyle);
    }
    return made;
  }
  return nullptr;
}
}  // namespace

std::string swell::withoutMnemonics(const char* text)
{
  if (!text) return std::string();
  const size_t length = strnlen(text, kMnemonicScanLimit);
  if (length >= kMnemonicScanLimit || !std::memchr(text, '&', length)) return std::string(text);
  std::string out;
  out.reserve(length);
  for (const char* p = text; *p; ++p)
  {
    if (*p == '&')
    {
      ++p;
      if (!*p) break;
    }
    out += *p;
  }
  return out;
}

NSRect swell::makeCoords(int x, int y, int w, int h, bool autoRight, bool fixedHeight)
{
  if (w < 0 && h < 0) return NSMakeRect(-x, -y, -w, -h);
  CreationContext& c = g_context;
  const double hs = fixedHeight ? 1 : c.yScale;
  double newX = t((x + c.xOffset) * c.xScale);
  const int newW = t(c.xScale * w);
  const int newH = t(std::fabs(hs) * h);
  int newY;
  if (c.yScale < 0) newY = t(-c.yScale * (y + c.yOffset));
  // An unflipped parent counts y from its top as a flipped one does: the control's top
  // lies at the designed y below the parent's top edge.
  else newY = t(c.parentHeight - (y + c.yOffset) * c.yScale - std::fabs(hs) * h);
  if (c.doAutoRight && autoRight)
  {
    const double designedX = newX;
    if (std::fabs(newX - c.lastAuto.rightEdge) < 32 && newY <= c.lastAuto.centre &&
        c.lastAuto.centre < newY + newH)
      newX += static_cast<int>(c.lastAuto.growth);
    c.lastAuto = {designedX + newW, newY + newH / 2.0, 0};
  }
  return NSMakeRect(newX, newY, newW, newH);
}

NSView* swell::creationParent()
{
  return g_context.owner;
}

void SWELL_MakeSetCurParms(float xscale, float yscale, float xtrans, float ytrans, HWND parent, bool doautoright,
                           bool dosizetofit)
{
  CreationContext& c = g_context;
  NSView* view = swell::viewOrContentView(parent);
  c.owner = view;
  c.xOffset = xtrans;
  c.yOffset = ytrans;
  c.xScale = xscale;
  c.yScale = yscale;
  if (view && view->isFlipped() && c.yScale > 0) c.yScale = -c.yScale;
  c.parentHeight = view ? view->bounds().size.height : (parent ? 100.0 : 0);
  c.doAutoRight = doautoright;
  c.sizeToFits = dosizetofit;
  c.lastAuto = AutoRightMemory{};
  c.radioGroupCount = 0;
}

HWND SWELL_MakeButton(int def, const char* label, int id, int x, int y, int w, int h, int style)
{
  // A resource number given for a label: the button shows an icon's stand-in title.
  const char* title = reinterpret_cast<uintptr_t>(label) < 0x10000 && label ? "ICONTEMP" : label;
  const bool nice = g_swell_want_nice_style == 1;
  if (!nice && h >= 18 && h < 24) h = 24;
  auto* button = makePlainButton(id, swell::makeCoords(x, y, w, h, true, false), style);
  button->setBezelStyle(nice ? NSBezelStyleShadowlessSquare : NSBezelStyleRounded);
  button->setTitle(titleOf(title));
  makeTargetParent(button);
  if (style & BS_LEFT) button->setAlignment(NSTextAlignmentLeft);
  HWND hwnd = addToParent(button, style);
  updateAutoRightGrowth(button);
  if (def)
    if (NSWindow* window = button->window()) window->setDefaultButtonCell(button->buttonCell());
  return hwnd;
}

HWND SWELL_MakeEditField(int id, int x, int y, int w, int h, int style)
{
  const NSRect frame = swell::makeCoords(x, y, w, h, true, false);
  if (style & (WS_VSCROLL | WS_HSCROLL))
  {
    auto* text = new Swell_vVorna_textview;
    text->setEditable(!(style & ES_READONLY));
    if (CTFontRef font = controlFont()) text->setFont(font);
    text->setTag(id);
    text->setDelegate(dynamic_cast<NSTextDelegate*>(g_context.owner));
    text->setHorizontallyResizable(false);
    if (!(style & WS_VSCROLL))
    {
      text->setVerticallyResizable(false);
      text->setFrame(frame);
      HWND hwnd = addToParent(text, style);
      updateAutoRightGrowth(text);
      return hwnd;
    }
    text->setVerticallyResizable(true);
    auto* scroll = new NSScrollView(frame);
    scroll->setHasVerticalScroller(true);
    if (style & WS_HSCROLL)
    {
      scroll->setHasHorizontalScroller(true);
      text->setMaxSize(NSMakeSize(FLT_MAX, FLT_MAX));
      text->setHorizontallyResizable(true);
      text->textContainer()->setWidthTracksTextView(false);
      text->textContainer()->setContainerSize(NSMakeSize(FLT_MAX, FLT_MAX));
    }
    scroll->setAutohidesScrollers(true);
    scroll->setDrawsBackground(false);
    const NSSize content = scroll->contentSize();
    text->setFrame(NSMakeRect(0, 0, content.width, content.height));
    scroll->setDocumentView(text);
    text->release();
    addToParent(scroll, style);
    updateAutoRightGrowth(scroll);
    return swellHandleOf(text);
  }
  NSTextField* field = (style & ES_PASSWORD) ? static_cast<NSTextField*>(new Swell_vVorna_securetextfield)
                                             : static_cast<NSTextField*>(new Swell_vVorna_textfield);
  field->setEditable(!(style & ES_READONLY));
  field->setSelectable(true);
  field->setBezeled(true);
  field->setDrawsBackground(true);
  applyFont(field);
  if (style & ES_CENTER) field->setAlignment(NSTextAlignmentCenter);
  else if (style & ES_RIGHT) field->setAlignment(NSTextAlignmentRight);
  if (std::abs(h) <= 19)
  {
    field->cell()->setWraps(false);
    field->cell()->setScrollable(true);
  }
  field->setTag(id);
  makeTargetParent(field);
  field->setDelegate(dynamic_cast<NSTextFieldDelegate*>(g_context.owner));
  field->setFrame(frame);
  HWND hwnd = addToParent(field, style);
  updateAutoRightGrowth(field);
  return hwnd;
}

HWND SWELL_MakeLabel(int align, const char* label, int id, int x, int y, int w, int h, int style)
{
  auto* field = new Swell_vVorna_textfield;
  const NSTextAlignment alignment = align < 0 ? NSTextAlignmentLeft : align == 0 ? NSTextAlignmentCenter
                                                                                 : NSTextAlignmentRight;
  configureLabel(field, label, id, alignment, h > 12);
  if (style & SS_NOTIFY) makeTargetParent(field);
  field->setFrame(swell::makeCoords(x, y, w, h, true, false));
  HWND hwnd = addToParent(field, style);
  if (g_context.sizeToFits && label && std::strlen(label) > 1) field->sizeToFit();
  updateAutoRightGrowth(field);
  return hwnd;
}

HWND SWELL_MakeCheckBox(const char* label, int id, int x, int y, int w, int h, int style)
{
  return SWELL_MakeControl(label, id, "Button", style | BS_AUTOCHECKBOX, x, y, w, h, 0);
}

HWND SWELL_MakeListBox(int id, int x, int y, int w, int h, int style)
{
  return SWELL_MakeControl("", id, "SysListView32_LB", style, x, y, w, h, 0);
}

HWND SWELL_MakeGroupBox(const char* name, int id, int x, int y, int w, int h, int style)
{
  auto* box = new Swell_vVorna_box;
  box->setTitle(titleOf(name));
  box->setTag(id);
  if (style & BS_CENTER) box->titleCell()->setAlignment(NSTextAlignmentCenter);
  box->setFrame(swell::makeCoords(x, y - 1, w, h + 3, false, false));
  // Behind every control made before it, so that it never covers them.
  if (g_context.owner) g_context.owner->addSubview(box, NSWindowBelow, nullptr);
  box->release();
  return swellHandleOf(box);
}

HWND SWELL_MakeCombo(int id, int x, int y, int w, int, int style)
{
  NSControl* control;
  if ((style & 3) == CBS_DROPDOWNLIST)
  {
    auto* popUp = new Swell_vVorna_pub;
    popUp->setTag(id);
    popUp->setFont(NSFont::systemFontOfSize(10));
    popUp->setFrame(swell::makeCoords(x, y, w, kDropDownHeight, true, true));
    popUp->setSwellStyle(style);
    makeTargetParent(popUp);
    if (g_swell_want_nice_style == 1)
    {
      popUp->setBezelStyle(NSBezelStyleShadowlessSquare);
      popUp->popUpCell()->setArrowPosition(NSPopUpArrowAtBottom);
    }
    control = popUp;
  }
  else
  {
    auto* combo = new Swell_vVorna_cbox;
    combo->setFocusRingType(NSFocusRingTypeNone);
    combo->setFont(NSFont::systemFontOfSize(10));
    combo->setEditable(true);
    combo->setSwellStyle(style);
    combo->setTag(id);
    combo->setFrame(swell::makeCoords(x, y - 1, w, kEditableComboHeight, true, true));
    makeTargetParent(combo);
    combo->setDelegate(dynamic_cast<NSComboBoxDelegate*>(g_context.owner));
    control = combo;
  }
  HWND hwnd = addToParent(control, style);
  updateAutoRightGrowth(control);
  return hwnd;
}

HWND SWELL_MakeControl(const char* caption, int id, const char* classname, int style, int x, int y, int w, int h,
                       int exstyle)
{
  if (!g_customCreators.empty())
    if (HWND made = tryCustomCreators(caption, id, classname, style, x, y, w, h, exstyle)) return made;
  if (!classname) return nullptr;
  if (!strcasecmp(classname, "Edit")) return SWELL_MakeEditField(id, x, y, w, h, style);
  if (!strcasecmp(classname, "static")) return makeStatic(caption, id, style, x, y, w, h);
  if (!strcasecmp(classname, "COMBOBOX")) return SWELL_MakeCombo(id, x, y, w, 0, style);
  if (!strcasecmp(classname, "Button"))
  {
    if (style & SWELL_BS_GROUPBOX) return SWELL_MakeGroupBox(caption, id, x, y, w, h, style & ~SWELL_BS_GROUPBOX);
    if (style & SWELL_BS_DEFPUSHBUTTON)
      return SWELL_MakeButton(1, caption, id, x, y, w, h, style & ~SWELL_BS_DEFPUSHBUTTON);
    if (style & SWELL_BS_PUSHBUTTON) return SWELL_MakeButton(0, caption, id, x, y, w, h, style & ~SWELL_BS_PUSHBUTTON);
    return makeTypedButton(caption, id, style, x, y, w, h);
  }
  const bool trackbar = !strcasecmp(classname, "msctls_trackbar32");
  if (trackbar || !strcasecmp(classname, "REAPERhfader"))
  {
    auto* slider = new SwellControl<NSSlider>(swell::makeCoords(x, y, w, h, false, false));
    slider->setTag(id);
    slider->setMinValue(0);
    slider->setMaxValue(kSliderRange);
    makeTargetParent(slider);
    if (trackbar) slider->setControlSize(NSControlSizeMini);
    return addToParent(slider, style);
  }
  return makeTableOrTabControl(id, classname, style, x, y, w, h);
}

void SWELL_GenerateDialogFromList(const void* list, int count)
{
  const auto* entries = static_cast<const SWELL_DialogListEntry*>(list);
  for (int i = 0; entries && i < count; ++i)
  {
    const SWELL_DialogListEntry& e = entries[i];
    const char* marker = e.str1 ? e.str1 : "";
    if (!std::strcmp(marker, "__SWELL_BUTTON")) SWELL_MakeButton(e.flag1, e.str2, e.p1, e.p2, e.p3, e.p4, e.p5, e.p6);
    else if (!std::strcmp(marker, "__SWELL_EDIT")) SWELL_MakeEditField(e.p1, e.p2, e.p3, e.p4, e.p5, e.p6);
    else if (!std::strcmp(marker, "__SWELL_COMBO")) SWELL_MakeCombo(e.p1, e.p2, e.p3, e.p4, 0, e.p6);
    else if (!std::strcmp(marker, "__SWELL_LISTBOX"))
      SWELL_MakeControl("", e.p1, "SysListView32_LB", e.p6, e.p2, e.p3, e.p4, e.p5, 0);
    else if (!std::strcmp(marker, "__SWELL_GROUP")) SWELL_MakeGroupBox(e.str2, e.p1, e.p2, e.p3, e.p4, e.p5, e.p6);
    else if (!std::strcmp(marker, "__SWELL_CHECKBOX"))
      SWELL_MakeControl(e.str2, e.p1, "Button", e.p6 | BS_AUTOCHECKBOX, e.p2, e.p3, e.p4, e.p5, 0);
    else if (!std::strcmp(marker, "__SWELL_LABEL")) SWELL_MakeLabel(e.flag1, e.str2, e.p1, e.p2, e.p3, e.p4, e.p5, e.p6);
    else if (e.str2 && *e.str2) SWELL_MakeControl(e.str1, e.flag1, e.str2, e.p1, e.p2, e.p3, e.p4, e.p5, e.p6);
  }
}

void SWELL_RegisterCustomControlCreator(SWELL_ControlCreatorProc creator)
{
  if (!creator) return;
  for (CustomCreator& entry : g_customCreators)
    if (entry.proc == creator)
    {
      ++entry.count;
      return;
    }
  g_customCreators.push_back({creator, 1});
}

void SWELL_UnregisterCustomControlCreator(SWELL_ControlCreatorProc creator)
{
  if (!creator) return;
  for (auto it = g_customCreators.begin(); it != g_customCreators.end(); ++it)
    if (it->proc == creator)
    {
      if (it->count <= 1) g_customCreators.erase(it);
      else --it->count;
      return;
    }
}
