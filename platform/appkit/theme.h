#pragma once

#include "platform/appkit/color.h"
#include "platform/foundation/geometry.h"

namespace cocoa
{
// The one table every native control, menu and tooltip draws from: a calm, light desktop
// look with one accent colour. Nothing else in the platform names a control colour or face.
struct ControlTheme
{
  struct Colors
  {
    NSColor windowBackground;
    NSColor text;
    NSColor disabledText;
    NSColor accent;           // default buttons, checked boxes, filled slider track
    NSColor accentPressed;
    NSColor accentDisabled;   // checked marks and slider tracks of disabled controls
    NSColor accentText;       // text and marks on the accent
    NSColor focusRing;
    NSColor face;             // buttons, pop-up buttons, check boxes
    NSColor facePressed;
    NSColor faceDisabled;
    NSColor border;
    NSColor borderDisabled;
    NSColor shade;            // the soft line under raised faces
    NSColor fieldBackground;
    NSColor fieldBackgroundDisabled;
    NSColor fieldBorder;
    NSColor selection;        // selected text in the focused view of the key window
    NSColor selectionInactive;
    NSColor caret;
    NSColor mark;             // arrows and chevrons on faces
    NSColor boxFill;
    NSColor boxBorder;
    NSColor sliderTrack;
    NSColor scrollerKnob;
    NSColor menuBackground;   // menus, pop-up and combo lists
    NSColor menuBorder;
    NSColor menuSeparator;
    NSColor menuBarBackground;  // the strip above a main window's content
    NSColor menuBarEdge;
    NSColor toolTipBackground;
    NSColor toolTipBorder;
  } colors;

  struct Metrics
  {
    CGFloat buttonRadius;       // rounded push buttons and pop-up buttons
    CGFloat squareButtonRadius; // shadowless square push buttons
    CGFloat fieldRadius;
    CGFloat buttonPaddingX;     // from the bezel to the title
    CGFloat minimumButtonWidth;
    CGFloat fieldInsetX;        // from the field's edge to its text
    CGFloat fieldInsetY;
    CGFloat labelInsetX;        // borderless text fields
    CGFloat checkBoxSize;
    CGFloat checkBoxRadius;
    CGFloat checkMarkWidth;
    CGFloat radioDotDiameter;
    CGFloat markGap;            // between a check box or radio mark and its title
    CGFloat popUpTitleInset;
    CGFloat popUpArrowWidth;    // the part of a pop-up or combo box that holds the arrow
    CGFloat chevronSize;
    CGFloat focusRingWidth;
    CGFloat sliderTrackThickness;
    CGFloat sliderKnobDiameter[3];  // by control size: regular, small, mini
    CGFloat boxRadius;
    CGFloat boxTitleGap;        // between the title and the box below it
    CGFloat scrollerWidth;
    CGFloat scrollerKnobWidth;
    CGFloat scrollerMinimumKnob;
    CGFloat caretWidth;
    CGFloat lineScroll;         // one wheel step
    CGFloat tableRowHeight;     // list, tree and list-box rows
    CGFloat tableHeaderHeight;  // the column titles above them
    CGFloat tableCellInsetX;    // from a column's edge to its text
    CGFloat outlineIndent;      // one level of a tree
    CGFloat tabHeight;          // the row of tabs
    CGFloat tabPaddingX;        // from a tab's edge to its label
    CGFloat progressThickness;  // the bar inside a progress indicator
  } metrics;

  struct Fonts
  {
    const char* face;
    CGFloat regular;  // by control size
    CGFloat small;
    CGFloat mini;
    CGFloat boxTitle;
    CGFloat menu;
  } fonts;
};

const ControlTheme& controlTheme();
}  // namespace cocoa
