#include "platform/appkit/box.h"

#include "platform/appkit/control_drawing.h"
#include "platform/appkit/theme.h"

#include <cmath>

namespace cocoa
{
namespace
{
// The title starts this far in from the panel's left edge.
constexpr CGFloat kTitleIndent = 6;
}  // namespace

NSBox::NSBox(NSRect frame) : NSView(frame), m_titleCell(new NSTextFieldCell)
{
  m_titleCell->setFont(NSFont::systemFontOfSize(controlTheme().fonts.boxTitle));
  m_titleCell->setWraps(false);
  m_titleCell->setLineBreakMode(NSLineBreakByTruncatingTail);
  m_titleCell->setControlView(this);
}

void NSBox::dealloc()
{
  m_titleCell->setControlView(nullptr);
  m_titleCell->release();
  NSView::dealloc();
}

void NSBox::setTitlePosition(NSTitlePosition position)
{
  m_titlePosition = position;
  setNeedsDisplay(true);
}

NSRect NSBox::titleRect() const
{
  if (m_titlePosition == NSNoTitle || title().empty()) return NSRect{};
  const CGFloat height = fontLineMetrics(titleFont()).lineHeight;
  return NSMakeRect(kTitleIndent, 0, std::max(0.0, bounds().size.width - 2 * kTitleIndent), height);
}

NSRect NSBox::borderRect() const
{
  const NSRect title = titleRect();
  const CGFloat top = NSIsEmptyRect(title) ? 0 : NSMaxY(title) + controlTheme().metrics.boxTitleGap;
  return NSMakeRect(0, top, bounds().size.width, std::max(0.0, bounds().size.height - top));
}

void NSBox::drawRect(NSRect)
{
  CGContextRef context = currentCGContext();
  if (!context) return;
  const ControlTheme& theme = controlTheme();
  const NSRect panel = borderRect();
  fillRoundedRect(context, panel, theme.metrics.boxRadius, theme.colors.boxFill);
  strokeRoundedRect(context, panel, theme.metrics.boxRadius, theme.colors.boxBorder, 1);
  const NSRect title = titleRect();
  if (!NSIsEmptyRect(title)) m_titleCell->drawInteriorWithFrame(title, nullptr);
}
}  // namespace cocoa
