#include "control_test_support.h"

#include "platform/appkit/application.h"
#include "platform/appkit/button.h"
#include "platform/appkit/font.h"
#include "platform/appkit/formatter.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/scroll_view.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/text_view.h"
#include "platform/appkit/theme.h"

#include <string>
#include <vector>

using namespace cocoa;
using controls_test::ControlWindow;

namespace
{
constexpr unsigned kCommand = NSEventModifierFlagCommand;
constexpr unsigned kShift = NSEventModifierFlagShift;

struct FieldEvents : NSTextFieldDelegate
{
  std::vector<std::string> calls;
  void controlTextDidBeginEditing(NSControl*) override { calls.push_back("begin"); }
  void controlTextDidChange(NSControl* c) override { calls.push_back("change " + c->stringValue().str()); }
  void controlTextDidEndEditing(NSControl* c) override { calls.push_back("end " + c->stringValue().str()); }
};

// Digits only, at most three of them; with offers on, a lower-case letter is refused and
// offered back in upper case instead.
class DigitsFormatter : public NSFormatter
{
public:
  explicit DigitsFormatter(bool offers) : m_offers(offers) {}
  bool stringForObjectValue(const NSString& value, NSString* string) override
  {
    *string = value;
    return true;
  }
  bool getObjectValue(NSString* value, const NSString& string, NSString*) override
  {
    *value = string;
    return true;
  }
  bool isPartialStringValid(const NSString& partial, NSString* newString, NSString*) override
  {
    const NSCharacterSet allowed =
        NSCharacterSet::characterSetWithCharactersInString(m_offers ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "0123456789");
    std::string upper;
    bool valid = partial.str().size() <= 3;
    for (char c : partial.str())
    {
      valid = valid && allowed.characterIsMember(static_cast<unsigned char>(c));
      upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    if (!valid && m_offers) *newString = NSString(upper);
    return valid;
  }

private:
  bool m_offers;
};

std::string pasteboardText()
{
  return NSPasteboard::generalPasteboard()->stringForType(NSPasteboardTypeString).value_or(NSString()).str();
}
}  // namespace

class TextEditing : public ControlWindow
{
protected:
  void SetUp() override
  {
    ControlWindow::SetUp();
    field = add(new NSTextField(NSMakeRect(20, 20, 200, 20)));
    field->setFont(NSFont::systemFontOfSize(10));
    field->cell()->setWraps(false);
    field->setDelegate(&events);
  }
  void focus(NSTextField* f) { driver.click(window, centreOf(f)); }
  NSText* editor() const { return field->currentEditor(); }

  NSTextField* field = nullptr;
  FieldEvents events;
};

TEST_F(TextEditing, KeysAndInputMethodTextEditInUtf8OffsetsOnCharacterBoundaries)
{
  focus(field);
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(window->firstResponder(), editor());
  // "u" and "ss" with diacritics have no key on the US layout: they arrive as committed text.
  driver.type(window, "Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(field->stringValue().str(), "Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(editor()->selectedRange(), NSMakeRange(7, 0));
  driver.key(window, kVK_LeftArrow);
  driver.key(window, kVK_LeftArrow);
  EXPECT_EQ(editor()->selectedRange(), NSMakeRange(4, 0));
  driver.key(window, kVK_LeftArrow, kShift);
  EXPECT_EQ(editor()->selectedRange(), NSMakeRange(2, 2));
  driver.key(window, kVK_RightArrow);  // collapses to the selection's end
  EXPECT_EQ(editor()->selectedRange(), NSMakeRange(4, 0));

  // A range reaching into a character starts and ends at that character's start.
  editor()->setSelectedRange(NSMakeRange(3, 2));
  EXPECT_EQ(editor()->selectedRange(), NSMakeRange(2, 2));
  driver.key(window, kVK_Delete);
  EXPECT_EQ(field->stringValue().str(), "Gr\xC3\x9F" "e");
  driver.key(window, kVK_ForwardDelete);  // deletes the whole two-byte character
  EXPECT_EQ(field->stringValue().str(), "Gre");

  driver.key(window, kVK_Home);
  driver.type(window, "x y");
  driver.key(window, kVK_End);
  driver.key(window, kVK_Delete, kCommand);  // a word at a time
  EXPECT_EQ(field->stringValue().str(), "x ");
  driver.key(window, kVK_ANSI_A, kCommand);
  EXPECT_EQ(editor()->selectedRange(), NSMakeRange(0, 2));
  driver.key(window, kVK_Escape);  // not text: passed on, nothing typed
  EXPECT_EQ(field->stringValue().str(), "x ");

  // Bytes that are not UTF-8 can join into one character when what lay between them goes:
  // the caret lands before that character, not inside it.
  field->setStringValue("a\xC3" "x\xA9");
  editor()->setSelectedRange(NSMakeRange(2, 1));
  driver.key(window, kVK_Delete);
  EXPECT_EQ(field->stringValue().str(), "a\xC3\xA9");
  EXPECT_EQ(editor()->selectedRange(), NSMakeRange(1, 0));
}

TEST_F(TextEditing, CopyCutAndPasteGoThroughTheGeneralPasteboard)
{
  field->setStringValue("hello world");
  focus(field);
  editor()->setSelectedRange(NSMakeRange(6, 5));
  driver.key(window, kVK_ANSI_C, kCommand);
  EXPECT_EQ(pasteboardText(), "world");
  driver.key(window, kVK_ANSI_X, kCommand);
  EXPECT_EQ(field->stringValue().str(), "hello ");
  driver.key(window, kVK_Home);
  driver.key(window, kVK_ANSI_V, kCommand);
  EXPECT_EQ(field->stringValue().str(), "worldhello ");

  // What a shell or a menu item sends reaches the editor through the responder chain; line
  // breaks pasted into one line become spaces.
  NSPasteboard::generalPasteboard()->clearContents();
  NSPasteboard::generalPasteboard()->setString("a\r\nb\nc", NSPasteboardTypeString);
  editor()->selectAll();
  EXPECT_TRUE(NSApp()->sendAction(Action::paste, nullptr, root));
  EXPECT_EQ(field->stringValue().str(), "a b c");

  // A secure field shows bullets and gives nothing away.
  auto* secret = add(new NSSecureTextField(NSMakeRect(20, 60, 200, 20)));
  secret->setStringValue("pin");
  focus(secret);
  secret->currentEditor()->selectAll();
  driver.key(window, kVK_ANSI_C, kCommand);
  driver.key(window, kVK_ANSI_X, kCommand);
  EXPECT_EQ(pasteboardText(), "a\r\nb\nc");
  EXPECT_EQ(secret->stringValue().str(), "pin");
}

TEST_F(TextEditing, TheDelegateHearsEachRoundOfEditingAndReturnSendsTheActionAndPressesTheDefaultButton)
{
  field->setTarget(log.get());
  field->setAction(Action::onSwellCommand);
  auto* ok = add(new NSButton(NSMakeRect(250, 20, 60, 20)));
  ok->setTarget(log.get());
  ok->setAction(Action::onSwellCommand2);
  window->setDefaultButtonCell(ok->buttonCell());
  focus(field);
  driver.type(window, "ab");
  driver.key(window, kVK_Return);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"begin", "change a", "change ab", "end ab"}));
  ASSERT_EQ(log->actions.size(), 2u);
  EXPECT_EQ(log->senders[0], field);
  EXPECT_EQ(log->senders[1], ok);
  // Still editing, all selected: typing replaces it and begins a new round.
  ASSERT_NE(editor(), nullptr);
  driver.type(window, "c");
  EXPECT_EQ(events.calls.back(), "change c");
  EXPECT_EQ(events.calls[events.calls.size() - 2], "begin");

  // Focus going elsewhere ends editing: the editor leaves, the value stays.
  auto* other = add(new NSTextField(NSMakeRect(20, 60, 200, 20)));
  focus(other);
  EXPECT_EQ(field->currentEditor(), nullptr);
  EXPECT_TRUE(field->subviews().empty());
  EXPECT_EQ(events.calls.back(), "end c");
  EXPECT_EQ(field->stringValue().str(), "c");

  // Hidden while edited, a field stops editing; shown again it takes the keyboard as before.
  focus(field);
  driver.type(window, "d");
  field->setHidden(true);
  EXPECT_EQ(field->currentEditor(), nullptr);
  EXPECT_EQ(events.calls.back(), "end cd");
  field->setHidden(false);
  focus(field);
  EXPECT_EQ(window->firstResponder(), field->currentEditor());
}

TEST_F(TextEditing, AFormatterJudgesEveryEditAndMayOfferItsOwn)
{
  auto* formatter = new DigitsFormatter(false);
  field->setFormatter(formatter);
  formatter->release();
  focus(field);
  driver.type(window, "1x2345");
  EXPECT_EQ(field->stringValue().str(), "123");
  field->setFormatter(nullptr);
  field->setStringValue("");
  auto* upper = new DigitsFormatter(true);
  field->setFormatter(upper);
  upper->release();
  driver.type(window, "q");
  EXPECT_EQ(field->stringValue().str(), "Q");
  EXPECT_EQ(events.calls.back(), "change Q");
}

TEST_F(TextEditing, PressesDragsAndDoubleClicksSelect)
{
  field->setStringValue("alpha beta");
  focus(field);
  NSText* text = editor();
  const auto atOffset = [&](size_t offset) {
    const NSRect r = text->firstRectForCharacterRange(NSMakeRange(offset, 0));
    return pixelOf(text, NSMakePoint(r.origin.x + 0.5, NSMidY(r)));
  };
  driver.click(window, atOffset(6));
  EXPECT_EQ(text->selectedRange(), NSMakeRange(6, 0));
  driver.click(window, atOffset(8), TestDriver::left, kShift);
  EXPECT_EQ(text->selectedRange(), NSMakeRange(6, 2));
  driver.drag(window, atOffset(1), atOffset(4));
  EXPECT_EQ(text->selectedRange(), NSMakeRange(1, 3));
  driver.doubleClick(window, atOffset(7));
  EXPECT_EQ(text->selectedRange(), NSMakeRange(6, 4));

  // A long text scrolls sideways inside the field to keep the caret in view.
  field->setStringValue(std::string(80, 'w'));
  driver.key(window, kVK_End);
  const NSRect caret = text->firstRectForCharacterRange(text->selectedRange());
  EXPECT_GT(caret.origin.x, 0);
  EXPECT_LT(NSMaxX(caret), text->bounds().size.width);
}

TEST_F(TextEditing, ALabelTakesNoFocusAndSendsItsActionWhenClicked)
{
  auto* label = add(new NSTextField(NSMakeRect(20, 60, 100, 20)));
  label->setEditable(false);
  label->setSelectable(false);
  label->setStringValue("Input Device");
  label->setTarget(log.get());
  label->setAction(Action::onSwellCommand);
  click(label, NSMakePoint(10, 10));
  EXPECT_EQ(label->currentEditor(), nullptr);
  EXPECT_EQ(window->firstResponder(), window);
  ASSERT_EQ(log->actions.size(), 1u);
  // A press that leaves the label before the release sends nothing.
  driver.drag(window, centreOf(label), NSMakePoint(300, 250));
  EXPECT_EQ(log->actions.size(), 1u);
}

class TextViewEditing : public ControlWindow
{
protected:
  void SetUp() override
  {
    ControlWindow::SetUp();
    scroll = add(new NSScrollView(NSMakeRect(20, 20, 200, 60)));
    scroll->setHasVerticalScroller(true);
    text = new NSTextView(NSMakeRect(0, 0, 200, 60));
    text->setFont(NSFont::systemFontOfSize(10));
    scroll->setDocumentView(text);
    text->release();
    driver.click(window, centreOf(scroll));
  }
  NSScrollView* scroll = nullptr;
  NSTextView* text = nullptr;
};

TEST_F(TextViewEditing, ReturnTypesALineUpAndDownKeepTheColumnAndTheViewGrowsAndScrollsToTheCaret)
{
  ASSERT_EQ(window->firstResponder(), text);
  auto* ok = add(new NSButton(NSMakeRect(250, 20, 60, 20)));
  ok->setTarget(log.get());
  ok->setAction(Action::onSwellCommand);
  window->setDefaultButtonCell(ok->buttonCell());
  driver.type(window, "abcdef");
  driver.key(window, kVK_Return);
  driver.type(window, "xy");
  driver.key(window, kVK_Return);
  driver.type(window, "123456");
  EXPECT_EQ(text->string().str(), "abcdef\nxy\n123456");
  EXPECT_TRUE(log->actions.empty());  // the text view keeps its Return

  text->setSelectedRange(NSMakeRange(4, 0));
  driver.key(window, kVK_DownArrow);  // the short line: its end
  EXPECT_EQ(text->selectedRange(), NSMakeRange(9, 0));
  driver.key(window, kVK_DownArrow);  // back to the column it started in
  EXPECT_EQ(text->selectedRange(), NSMakeRange(14, 0));
  driver.key(window, kVK_UpArrow, kShift);
  EXPECT_EQ(text->selectedRange(), NSMakeRange(9, 5));

  for (int i = 0; i < 10; ++i) driver.key(window, kVK_Return);
  EXPECT_GT(text->frame().size.height, 60);
  const NSRect caret = text->firstRectForCharacterRange(text->selectedRange());
  const NSRect shown = scroll->documentVisibleRect();
  EXPECT_GT(shown.origin.y, 0);
  EXPECT_GE(caret.origin.y, NSMinY(shown));
  EXPECT_LE(NSMaxY(caret), NSMaxY(shown));
  EXPECT_FALSE(scroll->verticalScroller()->isHidden());

  // The wheel scrolls back to the top and no further.
  driver.wheel(window, centreOf(scroll), 50);
  EXPECT_EQ(scroll->documentVisibleRect().origin.y, 0);
  driver.wheel(window, centreOf(scroll), -1);
  EXPECT_EQ(scroll->documentVisibleRect().origin.y, controlTheme().metrics.lineScroll);
}

TEST_F(TextViewEditing, LongLinesWrapAtTheViewsWidthUnlessTheContainerIsWider)
{
  std::string line = "one two three four five six seven eight nine ten eleven twelve";
  line += " " + line + " " + line;
  text->setString(line);
  EXPECT_GT(text->frame().size.height, 60);  // wrapped into more lines than fit
  text->textContainer()->setWidthTracksTextView(false);
  text->textContainer()->setContainerSize(NSMakeSize(1e7, 1e7));
  text->setHorizontallyResizable(true);
  scroll->setHasHorizontalScroller(true);
  EXPECT_GT(text->frame().size.width, 200);
  EXPECT_EQ(text->frame().size.height, 60);  // one line, kept at the minimum height
  EXPECT_FALSE(scroll->horizontalScroller()->isHidden());
  EXPECT_TRUE(scroll->verticalScroller()->isHidden());
}
