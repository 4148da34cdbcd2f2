// Every native control in every state in one window, written as controls_gallery.png (and
// with a pop-up button's menu and a combo box's list open, controls_gallery_menu.png and
// controls_gallery_list.png) for people to look at; the checks catch states that stop showing.

#include "control_test_support.h"

#include "platform/appkit/box.h"
#include "platform/appkit/button.h"
#include "platform/appkit/combo_box.h"
#include "platform/appkit/font.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/pop_up_button.h"
#include "platform/appkit/scroll_view.h"
#include "platform/appkit/slider.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/text_view.h"
#include "platform/appkit/theme.h"

#include <algorithm>
#include <cstdlib>

using namespace cocoa;
using controls_test::ControlWindow;

namespace
{
uint32_t rgbOf(const NSColor& c)
{
  return static_cast<uint32_t>(std::lround(c.redComponent() * 255)) << 16 |
         static_cast<uint32_t>(std::lround(c.greenComponent() * 255)) << 8 |
         static_cast<uint32_t>(std::lround(c.blueComponent() * 255));
}

int brightness(uint32_t rgb)
{
  return static_cast<int>(((rgb >> 16) & 255) + ((rgb >> 8) & 255) + (rgb & 255));
}
}  // namespace

class ControlsGallery : public ControlWindow
{
protected:
  void SetUp() override
  {
    ControlWindow::SetUp();
    window->setContentSize(NSMakeSize(kWidth, kHeight));
    font = NSFont::systemFontOfSize(10);
    auto* box = add(new NSBox(NSMakeRect(10, 8, 250, 170)));
    box->setTitle("Audio Settings");
    const char* titles[] = {"Off", "On", "Mixed", "Disabled"};
    const int states[] = {NSControlStateValueOff, NSControlStateValueOn, NSControlStateValueMixed, NSControlStateValueOn};
    for (int i = 0; i < 4; ++i)
    {
      checks[i] = mark(NSMakeRect(20, 32 + 22 * i, 100, 18), NSButtonTypeSwitch, titles[i], states[i], i < 3);
      radios[i] = mark(NSMakeRect(140, 32 + 22 * i, 100, 18), NSButtonTypeRadio, titles[i], states[i], i < 3);
    }
    normal = push(NSMakeRect(20, 124, 70, 20), "Apply");
    defaultButton = push(NSMakeRect(96, 124, 70, 20), "OK");
    window->setDefaultButtonCell(defaultButton->buttonCell());
    pressed = push(NSMakeRect(172, 124, 78, 20), "Pressed");
    pressed->cell()->setHighlighted(true);
    disabled = push(NSMakeRect(20, 150, 70, 20), "Disabled");
    disabled->setEnabled(false);
    NSButton* rounded = push(NSMakeRect(96, 148, 154, 24), "Audio Midi Setup...");
    rounded->setBezelStyle(NSBezelStyleRounded);

    label = add(new NSTextField(NSMakeRect(10, 186, 200, 20)));
    label->setEditable(false);
    label->setSelectable(false);
    label->setBezeled(false);
    label->setDrawsBackground(false);
    label->setFont(font);
    label->setStringValue("Signal Vector Size");

    list = add(new NSPopUpButton(NSMakeRect(280, 20, 150, 18)));
    list->setFont(font);
    list->setBezelStyle(NSBezelStyleShadowlessSquare);
    list->popUpCell()->setArrowPosition(NSPopUpArrowAtBottom);
    for (const char* title : {"ALSA", "PulseAudio", "JACK"})
    {
      auto* item = new NSMenuItem(title, Action::none, "");
      list->menu()->addItem(item);
      item->release();
    }
    list->selectItemAtIndex(1);
    auto* empty = add(new NSPopUpButton(NSMakeRect(280, 44, 150, 18)));
    empty->setFont(font);
    auto* off = add(new NSPopUpButton(NSMakeRect(440, 44, 80, 18)));
    off->setFont(font);
    off->setEnabled(false);

    combo = add(new NSComboBox(NSMakeRect(280, 70, 150, 22)));
    combo->setFont(font);
    combo->setFocusRingType(NSFocusRingTypeNone);
    for (const char* rate : {"44100", "48000", "96000"}) combo->addItemWithObjectValue(rate);
    combo->selectItemAtIndex(1);

    plain = field(NSMakeRect(280, 100, 150, 20), "Some text here");
    focused = field(NSMakeRect(280, 126, 150, 20), "Focused");
    auto* secret = add(new NSSecureTextField(NSMakeRect(280, 152, 150, 20)));
    secret->setFont(font);
    secret->setStringValue("secret");
    field(NSMakeRect(440, 126, 80, 20), "Off")->setEnabled(false);

    slider = add(new NSSlider(NSMakeRect(280, 180, 150, 20)));
    slider->setMaxValue(1000);
    slider->setDoubleValue(300);
    auto* mini = add(new NSSlider(NSMakeRect(280, 204, 150, 16)));
    mini->setControlSize(NSControlSizeMini);
    mini->setMaxValue(1000);
    mini->setDoubleValue(700);
    mini->setEnabled(false);
    auto* vertical = add(new NSSlider(NSMakeRect(450, 170, 20, 100)));
    vertical->setDoubleValue(0.7);

    auto* scroll = add(new NSScrollView(NSMakeRect(10, 214, 250, 70)));
    scroll->setHasVerticalScroller(true);
    auto* text = new NSTextView(NSMakeRect(0, 0, 250, 70));
    text->setFont(font);
    scroll->setDocumentView(text);
    text->release();
    text->setString("A multi-line text view: its lines wrap at the edge of the view.\nSecond line\nThird\nFourth\nFifth");
    text->setSelectedRange(NSMakeRange(2, 10));

    driver.click(window, centreOf(focused));
    driver.key(window, kVK_End);
    window->display();
  }

  NSButton* mark(NSRect frame, NSButtonType type, const char* title, int state, bool enabled)
  {
    auto* b = add(new NSButton(frame));
    b->setButtonType(type);
    b->setAllowsMixedState(true);
    b->setFont(font);
    b->setTitle(title);
    b->setState(state);
    b->setEnabled(enabled);
    return b;
  }
  NSButton* push(NSRect frame, const char* title)
  {
    auto* b = add(new NSButton(frame));
    b->setFont(font);
    b->setTitle(title);
    b->setBezelStyle(NSBezelStyleShadowlessSquare);
    return b;
  }
  NSTextField* field(NSRect frame, const char* text)
  {
    auto* f = add(new NSTextField(frame));
    f->setFont(font);
    f->cell()->setWraps(false);
    f->setStringValue(text);
    return f;
  }

  // The window's pixels over a view's rectangle (in the view's coordinates).
  std::vector<uint32_t> pixels(NSView* view, NSRect rect) const
  {
    const NSRect base = view->convertRectToView(rect, nullptr);
    const int x0 = static_cast<int>(base.origin.x);
    const int y0 = static_cast<int>(window->frame().size.height - NSMaxY(base));
    std::vector<uint32_t> out;
    for (int y = y0; y < y0 + static_cast<int>(rect.size.height); ++y)
      for (int x = x0; x < x0 + static_cast<int>(rect.size.width); ++x) out.push_back(window->backing().pixel(x, y) & 0xFFFFFF);
    return out;
  }
  std::vector<uint32_t> markPixels(NSButton* b) const { return pixels(b, b->buttonCell()->markRectForBounds(b->bounds())); }
  bool shows(NSView* view, NSRect rect, const NSColor& colour) const
  {
    const std::vector<uint32_t> seen = pixels(view, rect);
    return std::find(seen.begin(), seen.end(), rgbOf(colour)) != seen.end();
  }
  int darkest(NSView* view) const
  {
    int least = 3 * 255;
    for (uint32_t p : pixels(view, view->bounds())) least = std::min(least, brightness(p));
    return least;
  }

  static constexpr double kWidth = 540;
  static constexpr double kHeight = 300;
  CTFontRef font = nullptr;
  NSButton* checks[4] = {};
  NSButton* radios[4] = {};
  NSButton* normal = nullptr;
  NSButton* defaultButton = nullptr;
  NSButton* pressed = nullptr;
  NSButton* disabled = nullptr;
  NSTextField* label = nullptr;
  NSPopUpButton* list = nullptr;
  NSComboBox* combo = nullptr;
  NSTextField* plain = nullptr;
  NSTextField* focused = nullptr;
  NSSlider* slider = nullptr;
};

TEST_F(ControlsGallery, EveryStateShowsDifferently)
{
  ASSERT_TRUE(driver.snapshot(window, "controls_gallery.png"));
  const ControlTheme& theme = controlTheme();
  for (int i = 0; i < 3; ++i)
    for (int k = i + 1; k < 4; ++k)
    {
      EXPECT_NE(markPixels(checks[i]), markPixels(checks[k])) << i << " " << k;
      // A radio button has no mixed look of its own.
      if (k != 2 && i != 2)
      {
        EXPECT_NE(markPixels(radios[i]), markPixels(radios[k])) << i << " " << k;
      }
    }
  EXPECT_TRUE(shows(checks[1], checks[1]->bounds(), theme.colors.accent));
  EXPECT_TRUE(shows(defaultButton, defaultButton->bounds(), theme.colors.accent));
  EXPECT_FALSE(shows(normal, normal->bounds(), theme.colors.accent));
  EXPECT_TRUE(shows(pressed, pressed->bounds(), theme.colors.facePressed));
  EXPECT_LT(darkest(normal), darkest(disabled));  // disabled titles are pale
  EXPECT_LT(darkest(label), 200);                 // its text is there

  // The focused field shows its ring and, after End, a caret at its text's end.
  EXPECT_TRUE(shows(focused, focused->bounds(), theme.colors.accent));
  EXPECT_FALSE(shows(plain, plain->bounds(), theme.colors.accent));
  NSText* editor = focused->currentEditor();
  ASSERT_NE(editor, nullptr);
  const NSRect caret = editor->firstRectForCharacterRange(editor->selectedRange());
  EXPECT_TRUE(shows(editor, NSMakeRect(std::round(caret.origin.x), caret.origin.y, 1, caret.size.height), theme.colors.caret));

  // The slider's track is accent up to the knob and plain after it.
  const NSRect knob = slider->sliderCell()->knobRect();
  const CGFloat middle = std::round(NSMidY(slider->bounds()));
  EXPECT_TRUE(shows(slider, NSMakeRect(10, middle, NSMinX(knob) - 12, 1), theme.colors.accent));
  EXPECT_TRUE(shows(slider, NSMakeRect(NSMaxX(knob) + 4, middle, 20, 1), theme.colors.sliderTrack));
}

TEST_F(ControlsGallery, OpenListsAreDrawnOverTheWindow)
{
  bool written = false;
  driver.at(1, [&] {
    window->display();
    written = driver.snapshot(window, "controls_gallery_menu.png");
    driver.key(window, kVK_Escape);
  });
  driver.mouseDown(window, centreOf(list));
  driver.mouseUp(window, centreOf(list));
  driver.at(driver.now() + 1, [&] {
    window->display();
    written = written && driver.snapshot(window, "controls_gallery_list.png");
    driver.key(window, kVK_Escape);
  });
  const NSRect arrow = combo->comboBoxCell()->buttonRectForBounds(combo->bounds());
  click(combo, NSMakePoint(NSMidX(arrow), NSMidY(arrow)));
  EXPECT_TRUE(written);
}
