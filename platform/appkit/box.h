#pragma once

#include "platform/appkit/text_field.h"
#include "platform/appkit/view.h"

namespace cocoa
{
enum NSTitlePosition
{
  NSNoTitle = 0,
  NSAboveTop = 1,
  NSAtTop = 2,
};

// A group box: a soft rounded panel with its title above it. Its title cell sets how the
// title is aligned and coloured.
class NSBox : public NSView
{
public:
  explicit NSBox(NSRect frame = NSRect{});

  NSString title() const { return m_titleCell->stringValue(); }
  void setTitle(const NSString& title) { m_titleCell->setStringValue(title); }
  NSTextFieldCell* titleCell() const { return m_titleCell; }
  CTFontRef titleFont() const { return m_titleCell->font(); }
  void setTitleFont(CTFontRef font) { m_titleCell->setFont(font); }
  NSTitlePosition titlePosition() const { return m_titlePosition; }
  void setTitlePosition(NSTitlePosition position);
  // The panel under the title, in the box's coordinates.
  NSRect borderRect() const;
  NSRect titleRect() const;

  bool isFlipped() const override { return true; }
  void drawRect(NSRect dirty) override;

protected:
  void dealloc() override;

private:
  NSTextFieldCell* m_titleCell;
  NSTitlePosition m_titlePosition = NSAtTop;
};
}  // namespace cocoa
