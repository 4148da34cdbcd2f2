#pragma once

#include "platform/appkit/text_field.h"

#include <vector>

namespace cocoa
{
class NSComboBox;

// A combo box's delegate hears of its list besides its text (Cocoa's combo box
// notifications); a text field delegate set on a combo box is asked whether it is one.
class NSComboBoxDelegate : public NSTextFieldDelegate
{
public:
  virtual void comboBoxWillPopUp(NSComboBox*) {}
  virtual void comboBoxSelectionDidChange(NSComboBox*) {}
  virtual void comboBoxWillDismiss(NSComboBox*) {}
};

class NSComboBoxCell : public NSTextFieldCell
{
public:
  using NSTextFieldCell::NSTextFieldCell;

  // The part at the right edge that opens the list.
  NSRect buttonRectForBounds(NSRect bounds) const;
  NSRect titleRectForBounds(NSRect bounds) const override;
  NSSize cellSize() const override;

protected:
  void drawFrame(NSRect frame, NSView* view) override;
};

// An editable text field with a list of texts to choose from. A press on its arrow opens
// the list below it (as an overlay inside the window, or a popup window where it does not
// fit); choosing an entry puts its text in the field, selects it, tells the delegate and
// sends the action. Selecting an entry from code tells nobody.
class NSComboBox : public NSTextField
{
public:
  explicit NSComboBox(NSRect frame = NSRect{});

  NSComboBoxCell* comboBoxCell() const;
  NSComboBoxDelegate* comboBoxDelegate() const;

  NSInteger numberOfItems() const { return static_cast<NSInteger>(m_items.size()); }
  void addItemWithObjectValue(const NSString& value);
  // An index past the end appends; a negative one does nothing.
  void insertItemWithObjectValueAtIndex(const NSString& value, NSInteger index);
  void removeItemAtIndex(NSInteger index);
  void removeAllItems();
  // "" outside the list.
  NSString itemObjectValueAtIndex(NSInteger index) const;
  const std::vector<NSString>& objectValues() const { return m_items; }
  NSInteger indexOfSelectedItem() const { return m_selected; }
  // Selects the entry and shows its text; an index outside the list selects nothing.
  void selectItemAtIndex(NSInteger index);
  void deselectItemAtIndex(NSInteger index);

  // Opens the list as a press on the arrow does.
  void popUp();

  void mouseDown(NSEvent* event) override;

private:
  std::vector<NSString> m_items;
  NSInteger m_selected = -1;
};
}  // namespace cocoa
