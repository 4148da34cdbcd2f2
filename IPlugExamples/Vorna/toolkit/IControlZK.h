#pragma once

// The base of every control of the synthesizer's toolkit: the framework's control
// with labels laid out around a body rectangle, four colours, a gray-out that fades
// labels and blend, and signals through which the editor learns of right clicks and
// of the mouse entering and leaving (so that one tooltip control can follow it).
// Main thread only.

#include "GallantSignal.h"
#include "IControl.h"

#include <string>
#include <vector>

class IControlZK : public IControl
{
public:
  // Where a label sits beside the body; any other value centres it on the body.
  enum LabelPosition
  {
    kLabelBelow,
    kLabelAbove,
    kLabelLeft,
    kLabelRight
  };
  // How a value text lines up with the side of the control it sits on.
  enum LabelAlignment
  {
    kLabelAlignStart,
    kLabelAlignCenter,
    kLabelAlignEnd
  };

  struct Label
  {
    std::string mText;
    IText mStyle;
  };

  // rect is the drawing rectangle and the body; paramIdx -1 for none.
  IControlZK(IPlugBase* plug, IRECT rect, int paramIdx = -1);

  // ---- mouse and gray-out ----
  void OnMouseOver(int x, int y, IMouseMod* mod) override;
  void OnMouseOut() override;
  // Fades the labels and the blend; the control keeps receiving the mouse.
  void GrayOut(bool gray) override;

  virtual void DrawValue(IGraphics* graphics) { (void)graphics; }

  // ---- geometry: the drawing rectangle's size and edges ----
  virtual double W() const { return mRect.W(); }
  virtual double H() const { return mRect.H(); }
  virtual double T() const { return mRect.T; }
  virtual double B() const { return mRect.B; }
  virtual double R() const { return mRect.R; }
  virtual double L() const { return mRect.L; }
  // Moves the control so that its body's top left lands on (x, y).
  virtual void PositionControlAt(int x, int y);
  // Moves the body, the drawing and target rectangles and every label.
  virtual void ShiftControlBy(int dx, int dy);
  // The drawing and the target rectangle (not the body).
  virtual void SetRects(IRECT r);
  virtual void SetTargetRect(IRECT r) { mTargetRect = r; }

  // ---- colours and text ----
  // The line colour is also the text colour.
  virtual void SetColorLine(IColor color);
  virtual void SetColorFill(IColor color) { mColorFill = color; }
  virtual void SetColorHiLine(IColor color) { mColorHiLine = color; }
  virtual void SetColorHiFill(IColor color) { mColorHiFill = color; }
  virtual void SetTextSize(int size);
  virtual int GetTextSize() const { return mText.mSize; }
  // Out-of-range label indices are ignored (read as size 0); nothing is laid out again.
  virtual void SetLabelTextSize(int n, int size);
  virtual int GetLabelTextSize(int n) const;
  // A null font is "Geneva".
  virtual void SetTextStyle(int size, IColor color, const char* font, IText::EStyle style, IText::EAlign align);
  virtual void SetTextStyle(IText text);
  virtual void ShowTooltip(int x, int y);
  // At most 31 bytes of the name are kept.
  virtual void SetFont(const char* name);
  // The labels, faded when grayed out, each over a faint light copy one pixel right and
  // down; nothing while mShowLabels is off.
  virtual void DrawLabels(IGraphics* graphics);

  // ---- labels ----
  // The style's size is replaced by 14. The drawing rectangle grows to hold the label.
  void AddLabel(std::string text, IText style, int x, int y, LabelPosition position);
  // Replaces label n (its given size kept); the drawing rectangle only ever grows.
  void SetLabel(int n, std::string text, IText style, int x, int y, LabelPosition position);
  // The label's box: its estimated text box centred on the body, then moved out by half
  // the body's height (below, above) or width (left, right) and by the offsets.
  IRECT CalcRectForLabel(const std::string& text, const IText& style, int x, int y, LabelPosition position) const;

  int NLabels() const { return static_cast<int>(mLabels.size()); }
  const Label& GetLabel(int n) const { return mLabels[n]; }
  const IRECT& GetLabelRECT(int n) const { return mLabelRECTs[n]; }
  const IRECT& GetBodyRECT() const { return mBodyRECT; }
  bool IsGrayedOut() const { return mGrayedOut; }
  IColor GetColorLine() const { return mColorLine; }
  IColor GetColorFill() const { return mColorFill; }
  IColor GetColorHiLine() const { return mColorHiLine; }
  IColor GetColorHiFill() const { return mColorHiFill; }

  // (parameter index, x, y) on a right click.
  Gallant::Signal3<int, int, int> mSignalRightClick;
  // (parameter index, this control's tooltip text, x, y) while the mouse is over it.
  Gallant::Signal4<int, const std::string*, int, int> mSignalShowTooltip;
  // (parameter index) when the mouse leaves it.
  Gallant::Signal1<int> mSignalHideTooltip;
  std::string mTooltipText;
  bool mShowLabels = false;
  // The knobs' value box: shown now, and whether clicks may show it at all.
  bool mValueShown = false;
  bool mShowValue = true;

protected:
  void MarkDirty() { mDirty = true; }
  // A right click goes to the editor (for its menus) and nowhere else: true when this
  // was one.
  bool ReportRightClick(int x, int y, const IMouseMod* mod)
  {
    if (!mod || !mod->R) return false;
    mSignalRightClick.Emit(mParamIdx, x, y);
    return true;
  }
  // The whole editor, (0, 0, width, height); empty while the control has no editor.
  IRECT EditorRECT() const;

  IColor mColorLine{255, 255, 255, 255};
  IColor mColorFill{255, 0, 0, 0};
  IColor mColorHiLine{255, 0, 0, 0};
  IColor mColorHiFill{255, 255, 255, 255};
  IRECT mBodyRECT;
  std::vector<Label> mLabels;
  std::vector<IRECT> mLabelRECTs;
  bool mGrayedOut = false;
};
