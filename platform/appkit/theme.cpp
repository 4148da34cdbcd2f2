#include "platform/appkit/theme.h"

namespace cocoa
{
namespace
{
constexpr NSColor rgb(unsigned value, CGFloat alpha = 1)
{
  return NSColor::fromRGB(value, alpha);
}

constexpr ControlTheme kTheme{
    .colors =
        {
            .windowBackground = rgb(0xECECEC),
            .text = rgb(0x1D1D1F),
            .disabledText = rgb(0xA3A3A8),
            .accent = rgb(0x3875D7),
            .accentPressed = rgb(0x2A5FB5),
            .accentDisabled = rgb(0x3875D7, 0.45),
            .accentText = rgb(0xFFFFFF),
            .focusRing = rgb(0x3875D7, 0.45),
            .face = rgb(0xFDFDFD),
            .facePressed = rgb(0xDEDEE3),
            .faceDisabled = rgb(0xF5F5F6),
            .border = rgb(0xBABABF),
            .borderDisabled = rgb(0xD5D5D9),
            .shade = rgb(0x000000, 0.08),
            .fieldBackground = rgb(0xFFFFFF),
            .fieldBackgroundDisabled = rgb(0xF6F6F7),
            .fieldBorder = rgb(0xB4B4B9),
            .selection = rgb(0xB3D1F8),
            .selectionInactive = rgb(0xDCDCDF),
            .caret = rgb(0x1D1D1F),
            .mark = rgb(0x4A4A4F),
            .boxFill = rgb(0x000000, 0.035),
            .boxBorder = rgb(0x000000, 0.13),
            .sliderTrack = rgb(0xC8C8CD),
            .scrollerKnob = rgb(0x000000, 0.32),
            .menuBackground = rgb(0xFBFBFB),
            .menuBorder = rgb(0xB4B4B9),
            .menuSeparator = rgb(0xDCDCDF),
            .menuBarBackground = rgb(0xE4E4E6),
            .menuBarEdge = rgb(0xBDBDC2),
            .toolTipBackground = rgb(0xFBFBF3),
            .toolTipBorder = rgb(0xA4A4A8),
        },
    .metrics =
        {
            .buttonRadius = 5,
            .squareButtonRadius = 3,
            .fieldRadius = 3,
            .buttonPaddingX = 6,
            .minimumButtonWidth = 32,
            .fieldInsetX = 4,
            .fieldInsetY = 2,
            .labelInsetX = 0,
            .checkBoxSize = 14,
            .checkBoxRadius = 3.5,
            .checkMarkWidth = 1.8,
            .radioDotDiameter = 6,
            .markGap = 5,
            .popUpTitleInset = 8,
            .popUpArrowWidth = 18,
            .chevronSize = 3.5,
            .focusRingWidth = 3,
            .sliderTrackThickness = 4,
            .sliderKnobDiameter = {16, 13, 10},
            .boxRadius = 6,
            .boxTitleGap = 3,
            .scrollerWidth = 11,
            .scrollerKnobWidth = 7,
            .scrollerMinimumKnob = 18,
            .caretWidth = 1,
            .lineScroll = 40,
            .tableRowHeight = 18,
            .tableHeaderHeight = 20,
            .tableCellInsetX = 4,
            .outlineIndent = 16,
            .tabHeight = 24,
            .tabPaddingX = 12,
            .progressThickness = 6,
        },
    .fonts =
        {
            .face = "Lucida Grande",
            .regular = 13,
            .small = 11,
            .mini = 9,
            .boxTitle = 11,
            .menu = 13,
        },
};
}  // namespace

const ControlTheme& controlTheme()
{
  return kTheme;
}

NSColor NSColor::controlTextColor() { return kTheme.colors.text; }
NSColor NSColor::disabledControlTextColor() { return kTheme.colors.disabledText; }
NSColor NSColor::textColor() { return kTheme.colors.text; }
NSColor NSColor::textBackgroundColor() { return kTheme.colors.fieldBackground; }
NSColor NSColor::windowBackgroundColor() { return kTheme.colors.windowBackground; }
NSColor NSColor::selectedTextBackgroundColor() { return kTheme.colors.selection; }
}  // namespace cocoa
