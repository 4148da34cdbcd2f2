#include "control_test_support.h"

#include "platform/appkit/application.h"
#include "platform/appkit/box.h"
#include "platform/appkit/button.h"
#include "platform/appkit/combo_box.h"
#include "platform/appkit/font.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/menu_tracker.h"
#include "platform/appkit/pop_up_button.h"
#include "platform/appkit/scroll_view.h"
#include "platform/appkit/slider.h"
#include "platform/appkit/text_view.h"
#include "platform/appkit/theme.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/object_registry.h"

#include <cmath>
#include <string>
#include <vector>

using namespace cocoa;
using controls_test::ControlWindow;

namespace
{
NSPoint centre(NSRect r)
{
  return NSMakePoint(NSMidX(r), NSMidY(r));
}

// A menu tracker's item, as the driver points at it (the tracker counts the title strip).
NSPoint trackedItem(NSInteger index)
{
  return centre(NSOffsetRect(MenuTracker::active()->itemRect(0, index), 0, -kTitleStripHeight));
}

struct ComboEvents : NSComboBoxDelegate
{
  std::vector<std::string> calls;
  void comboBoxWillPopUp(NSComboBox*) override { calls.push_back("pop up"); }
  void comboBoxSelectionDidChange(NSComboBox* c) override { calls.push_back("selected " + c->stringValue().str()); }
  void comboBoxWillDismiss(NSComboBox*) override { calls.push_back("dismiss"); }
};
}  // namespace

class Controls : public ControlWindow
{
protected:
  NSButton* button(NSRect frame, NSButtonType type, Action action = Action::onSwellCommand)
  {
    auto* b = add(new NSButton(frame));
    b->setButtonType(type);
    b->setTarget(log.get());
    b->setAction(action);
    return b;
  }
  NSPopUpButton* popUp(NSRect frame, std::vector<const char*> titles)
  {
    auto* p = add(new NSPopUpButton(frame));
    for (const char* title : titles)
    {
      auto* item = new NSMenuItem(title, Action::none, "");
      p->menu()->addItem(item);
      item->release();
    }
    p->setTarget(log.get());
    p->setAction(Action::onSwellCommand);
    return p;
  }
};

TEST_F(Controls, ButtonsStepThroughTheirStatesOnClicksInsideThemOnly)
{
  NSButton* box = button(NSMakeRect(20, 20, 100, 18), NSButtonTypeSwitch);
  click(box, NSMakePoint(5, 9));
  EXPECT_EQ(box->state(), NSControlStateValueOn);
  click(box, NSMakePoint(5, 9));
  EXPECT_EQ(box->state(), NSControlStateValueOff);
  EXPECT_EQ(log->actions.size(), 2u);
  box->setState(NSControlStateValueMixed);  // without mixed state it shows as on
  EXPECT_EQ(box->state(), NSControlStateValueOn);

  // With mixed state the cycle is off, mixed, on.
  box->setAllowsMixedState(true);
  box->setState(NSControlStateValueOff);
  std::vector<int> seen;
  for (int i = 0; i < 3; ++i)
  {
    click(box, NSMakePoint(5, 9));
    seen.push_back(box->state());
  }
  EXPECT_EQ(seen, (std::vector<int>{NSControlStateValueMixed, NSControlStateValueOn, NSControlStateValueOff}));

  // A push button keeps no state; it lights while pressed, and a release outside it does
  // nothing.
  NSButton* push = button(NSMakeRect(20, 50, 80, 20), NSButtonTypeMomentaryPushIn);
  log->actions.clear();
  driver.mouseDown(window, centreOf(push));
  EXPECT_TRUE(push->cell()->isHighlighted());
  driver.mouseMove(window, NSMakePoint(300, 250));
  EXPECT_FALSE(push->cell()->isHighlighted());
  driver.mouseUp(window, NSMakePoint(300, 250));
  EXPECT_TRUE(log->actions.empty());
  driver.click(window, centreOf(push));
  EXPECT_EQ(log->actions.size(), 1u);
  EXPECT_EQ(push->state(), NSControlStateValueOff);

  push->setEnabled(false);
  box->setEnabled(false);
  driver.click(window, centreOf(push));
  click(box, NSMakePoint(5, 9));
  EXPECT_EQ(log->actions.size(), 1u);
  EXPECT_EQ(box->state(), NSControlStateValueOff);
}

TEST_F(Controls, RadioButtonsSendingOneActionAreOneGroup)
{
  NSButton* a = button(NSMakeRect(20, 20, 80, 18), NSButtonTypeRadio, Action::onSwellCommand);
  NSButton* b = button(NSMakeRect(20, 40, 80, 18), NSButtonTypeRadio, Action::onSwellCommand);
  NSButton* other = button(NSMakeRect(20, 60, 80, 18), NSButtonTypeRadio, Action::onSwellCommand2);
  click(other, NSMakePoint(5, 9));
  click(a, NSMakePoint(5, 9));
  EXPECT_EQ(a->state(), NSControlStateValueOn);
  click(b, NSMakePoint(5, 9));
  EXPECT_EQ(a->state(), NSControlStateValueOff);
  EXPECT_EQ(b->state(), NSControlStateValueOn);
  EXPECT_EQ(other->state(), NSControlStateValueOn);
  click(b, NSMakePoint(5, 9));  // a radio button is never clicked off
  EXPECT_EQ(b->state(), NSControlStateValueOn);
  EXPECT_EQ(log->actions.size(), 4u);
}

TEST_F(Controls, ReturnPressesTheWindowsDefaultButtonWhileItIsEnabled)
{
  NSButton* ok = button(NSMakeRect(20, 20, 80, 20), NSButtonTypeMomentaryPushIn);
  window->setDefaultButtonCell(ok->buttonCell());
  EXPECT_EQ(ok->keyEquivalent().str(), "\r");
  driver.key(window, kVK_Return);
  driver.key(window, kVK_ANSI_KeypadEnter);
  driver.key(window, kVK_Return, NSEventModifierFlagShift);
  EXPECT_EQ(log->actions.size(), 2u);
  ok->setEnabled(false);
  driver.key(window, kVK_Return);
  EXPECT_EQ(log->actions.size(), 2u);
  window->setDefaultButtonCell(nullptr);
  EXPECT_TRUE(ok->keyEquivalent().empty());
}

TEST_F(Controls, APopUpShowsItsMenuWithTheSelectedItemOverItselfAndChoosingSelects)
{
  NSPopUpButton* p = popUp(NSMakeRect(40, 100, 150, 18), {"ALSA", "PulseAudio", "JACK"});
  p->selectItemAtIndex(1);
  EXPECT_EQ(p->titleOfSelectedItem().str(), "PulseAudio");
  driver.at(1, [&] {
    MenuTracker* tracker = MenuTracker::active();
    ASSERT_NE(tracker, nullptr);
    EXPECT_EQ(tracker->levelWindow(0), nullptr);  // an overlay inside the window
    EXPECT_EQ(tracker->highlightedItem(0), 1);
    EXPECT_EQ(tracker->itemRect(0, 1).origin.y, 100 + kTitleStripHeight);
    EXPECT_GE(tracker->menuFrame(0).size.width, 150);
    EXPECT_EQ(p->itemAtIndex(1)->state(), NSControlStateValueOn);
    driver.click(window, trackedItem(2));
  });
  driver.mouseDown(window, centreOf(p));
  driver.mouseUp(window, centreOf(p));
  EXPECT_EQ(MenuTracker::active(), nullptr);
  EXPECT_EQ(p->indexOfSelectedItem(), 2);
  EXPECT_EQ(p->titleOfSelectedItem().str(), "JACK");
  EXPECT_EQ(log->actions.size(), 1u);

  // Dismissed with Escape, the menu changes nothing.
  driver.at(driver.now() + 1, [&] { driver.key(window, kVK_Escape); });
  driver.mouseDown(window, centreOf(p));
  driver.mouseUp(window, centreOf(p));
  EXPECT_EQ(p->indexOfSelectedItem(), 2);
  EXPECT_EQ(log->actions.size(), 1u);

  // The selection follows its item and ends with it.
  auto* first = new NSMenuItem("none", Action::none, "");
  p->menu()->insertItem(first, 0);
  first->release();
  EXPECT_EQ(p->indexOfSelectedItem(), 3);
  p->removeItemAtIndex(3);
  EXPECT_EQ(p->indexOfSelectedItem(), -1);
  EXPECT_TRUE(p->titleOfSelectedItem().empty());
  p->selectItemAtIndex(0);
  p->selectItemAtIndex(7);
  EXPECT_EQ(p->indexOfSelectedItem(), -1);
}

TEST_F(Controls, AComboListOpensBelowItAsAnOverlayOrInAWindowOfItsOwnWhereItDoesNotFit)
{
  auto* combo = add(new NSComboBox(NSMakeRect(40, 50, 150, 22)));
  ComboEvents events;
  combo->setDelegate(&events);
  combo->setTarget(log.get());
  combo->setAction(Action::onSwellCommand);
  for (const char* rate : {"44100", "48000", "96000"}) combo->addItemWithObjectValue(rate);
  const NSRect arrow = combo->comboBoxCell()->buttonRectForBounds(combo->bounds());
  driver.at(1, [&] {
    MenuTracker* tracker = MenuTracker::active();
    ASSERT_NE(tracker, nullptr);
    EXPECT_EQ(tracker->levelWindow(0), nullptr);
    EXPECT_EQ(tracker->menuFrame(0).origin, NSMakePoint(40, 72 + kTitleStripHeight));
    EXPECT_GE(tracker->menuFrame(0).size.width, 150);
    driver.click(window, trackedItem(1));
  });
  click(combo, centre(arrow));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"pop up", "selected 48000", "dismiss"}));
  EXPECT_EQ(combo->indexOfSelectedItem(), 1);
  EXPECT_EQ(combo->stringValue().str(), "48000");
  EXPECT_EQ(log->actions.size(), 1u);
  // The press also put the combo box in editing, the chosen text selected.
  ASSERT_NE(combo->currentEditor(), nullptr);
  EXPECT_EQ(combo->currentEditor()->selectedRange(), NSMakeRange(0, 5));

  // Entries shift around the selection; selecting from code tells nobody.
  combo->insertItemWithObjectValueAtIndex("22050", 0);
  EXPECT_EQ(combo->indexOfSelectedItem(), 2);
  combo->insertItemWithObjectValueAtIndex("192000", 99);
  EXPECT_EQ(combo->itemObjectValueAtIndex(4).str(), "192000");
  combo->removeItemAtIndex(2);
  EXPECT_EQ(combo->indexOfSelectedItem(), -1);
  EXPECT_EQ(combo->stringValue().str(), "48000");
  combo->selectItemAtIndex(0);
  EXPECT_EQ(combo->stringValue().str(), "22050");
  EXPECT_EQ(events.calls.size(), 3u);
  EXPECT_TRUE(combo->itemObjectValueAtIndex(9).empty());

  // A list taller than the window below gets a borderless window of its own.
  for (int i = 0; i < 20; ++i) combo->addItemWithObjectValue(std::to_string(i));
  NSWindow* popup = nullptr;
  driver.at(driver.now() + 1, [&] {
    popup = MenuTracker::active()->levelWindow(0);
    driver.key(window, kVK_Escape);
  });
  click(combo, centre(arrow));
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(combo->indexOfSelectedItem(), 0);
}

TEST_F(Controls, ASliderFollowsPressesAndDragsWithinItsRange)
{
  auto* slider = add(new NSSlider(NSMakeRect(20, 20, 216, 20)));  // a 16-unit knob travels 200
  slider->setMaxValue(1000);
  slider->setTarget(log.get());
  slider->setAction(Action::onSwellCommand);
  click(slider, NSMakePoint(8 + 50, 10));  // a press on the track brings the knob's centre there
  EXPECT_NEAR(slider->doubleValue(), 250, 1);
  EXPECT_EQ(log->actions.size(), 1u);

  // Taken off-centre, the knob keeps where it was taken while it moves.
  const NSRect knob = slider->sliderCell()->knobRect();
  driver.drag(window, pixelOf(slider, NSMakePoint(NSMidX(knob) + 3, 10)), pixelOf(slider, NSMakePoint(NSMidX(knob) + 103, 10)));
  EXPECT_NEAR(slider->doubleValue(), 750, 1);
  EXPECT_GT(log->actions.size(), 2u);
  driver.drag(window, pixelOf(slider, centre(slider->sliderCell()->knobRect())), NSMakePoint(390, 30));
  EXPECT_EQ(slider->doubleValue(), 1000);
  slider->setDoubleValue(-5);
  EXPECT_EQ(slider->doubleValue(), 0);

  auto* vertical = add(new NSSlider(NSMakeRect(300, 20, 20, 116)));
  vertical->setMaxValue(10);
  click(vertical, NSMakePoint(10, 8));  // the top is the maximum
  EXPECT_NEAR(vertical->doubleValue(), 10, 0.01);
  vertical->setEnabled(false);
  click(vertical, NSMakePoint(10, 108));
  EXPECT_NEAR(vertical->doubleValue(), 10, 0.01);
}

TEST_F(Controls, ScrollersShowWhatIsThereToScrollAndMoveTheDocument)
{
  auto* scroll = add(new NSScrollView(NSMakeRect(20, 20, 200, 100)));
  scroll->setHasVerticalScroller(true);
  auto* document = new controls_test::FlippedView(NSMakeRect(0, 0, 200, 80));
  scroll->setDocumentView(document);
  document->release();
  EXPECT_TRUE(scroll->verticalScroller()->isHidden());  // it all fits
  document->setFrameSize(NSMakeSize(200, 400));
  NSScroller* bar = scroll->verticalScroller();
  ASSERT_FALSE(bar->isHidden());
  EXPECT_DOUBLE_EQ(bar->knobProportion(), 0.25);

  // A press below the knob turns a page; dragging the knob moves the document with it.
  click(bar, NSMakePoint(5, 90));
  EXPECT_EQ(scroll->documentVisibleRect().origin.y, 100);
  const NSRect knob = bar->knobRect();
  driver.drag(window, pixelOf(bar, centre(knob)), pixelOf(bar, NSMakePoint(NSMidX(knob), NSMidY(knob) + 25)));
  EXPECT_NEAR(scroll->documentVisibleRect().origin.y, 100 + 25 * 300 / (100 - knob.size.height), 1);

  // A view inside asking to be shown scrolls it into view.
  auto* deep = new controls_test::FlippedView(NSMakeRect(10, 380, 20, 20));
  document->addSubview(deep);
  deep->release();
  deep->scrollRectToVisible(deep->bounds());
  EXPECT_EQ(NSMaxY(scroll->documentVisibleRect()), 400);
  EXPECT_EQ(bar->doubleValue(), 1);
}

TEST_F(Controls, SizeToFitTakesTheTitleAndABoxKeepsItsTitleAboveItsPanel)
{
  NSButton* push = button(NSMakeRect(20, 20, 10, 10), NSButtonTypeMomentaryPushIn);
  push->setTitle("Audio Midi Setup...");
  push->sizeToFit();
  const ControlTheme::Metrics& m = controlTheme().metrics;
  EXPECT_EQ(push->frame().size.width, std::ceil(textWidth(push->font(), "Audio Midi Setup...")) + 2 * m.buttonPaddingX);
  EXPECT_EQ(push->frame().origin, NSMakePoint(20, 20));
  NSButton* check = button(NSMakeRect(20, 50, 10, 10), NSButtonTypeSwitch);
  check->setTitle("Mono");
  check->sizeToFit();
  EXPECT_EQ(check->frame().size.width, m.checkBoxSize + m.markGap + std::ceil(textWidth(check->font(), "Mono")) + 1);

  auto* box = add(new NSBox(NSMakeRect(5, 9, 300, 233)));
  box->setTitle("Audio Settings");
  EXPECT_GT(box->borderRect().origin.y, NSMaxY(box->titleRect()));
  EXPECT_EQ(NSMaxY(box->borderRect()), 233);
  box->setTitle("");
  EXPECT_EQ(box->borderRect(), box->bounds());
}

TEST_F(Controls, WindowsFullOfControlsLeaveNoObjectBehindWhenClosed)
{
  // The first round makes the fonts the theme hands out, which stay for the process.
  size_t before = 0;
  for (int cycle = 0; cycle <= 200; ++cycle)
  {
    if (cycle == 1) before = liveObjectCount();
    NSAutoreleasePool pool;
    auto* dialog = new NSWindow(NSMakeRect(50, 50, 320, 200), NSWindowStyleMaskTitled);
    auto* content = new controls_test::FlippedView(NSMakeRect(0, 0, 320, 200));
    dialog->setContentView(content);
    content->release();
    auto* ok = new NSButton(NSMakeRect(10, 10, 60, 20));
    content->addSubview(ok);
    ok->release();
    dialog->setDefaultButtonCell(ok->buttonCell());
    auto* list = new NSPopUpButton(NSMakeRect(10, 40, 100, 18));
    auto* item = new NSMenuItem("one", Action::none, "");
    list->menu()->addItem(item);
    item->release();
    list->selectItemAtIndex(0);
    content->addSubview(list);
    list->release();
    auto* combo = new NSComboBox(NSMakeRect(10, 70, 100, 22));
    combo->addItemWithObjectValue("two");
    content->addSubview(combo);
    combo->release();
    auto* scroll = new NSScrollView(NSMakeRect(120, 10, 150, 80));
    auto* text = new NSTextView(NSMakeRect(0, 0, 150, 80));
    scroll->setDocumentView(text);
    text->release();
    content->addSubview(scroll);
    scroll->release();
    auto* box = new NSBox(NSMakeRect(5, 100, 300, 90));
    content->addSubview(box, NSWindowBelow, nullptr);
    box->release();
    auto* slider = new NSSlider(NSMakeRect(10, 120, 100, 20));
    content->addSubview(slider);
    slider->release();
    dialog->makeKeyAndOrderFront(nullptr);
    dialog->makeFirstResponder(combo);  // closed while its field editor is in it
    dialog->display();
    dialog->close();
  }
  EXPECT_EQ(liveObjectCount(), before);
}
