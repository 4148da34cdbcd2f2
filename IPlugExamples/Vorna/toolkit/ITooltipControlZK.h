#pragma once

// The one tooltip bubble of the editor: every toolkit control's show and hide
// signals lead here; the bubble shows the hovered control's parameter name and its
// tooltip text beside the mouse, and moves to the other side of the mouse near the
// editor's edges. It is never hit by the mouse itself.

#include "CZK.h"
#include "IControlZK.h"

#include <string>

class ITooltipControlZK : public IControlZK
{
public:
  ITooltipControlZK(IPlugBase* plug, int paramIdx, int textSize);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseOver(int, int, IMouseMod*) override {}
  void OnMouseOut() override {}
  bool Draw(IGraphics* graphics) override;

  // Slots of the controls' signals. Nothing happens while tips are off.
  virtual void OnShowTooltip(int param, const std::string* source, int x, int y);
  virtual void OnHideTooltip(int param);

  // The parameter's name (none for an index outside the plug-in's parameters), then
  // the source text on a line of its own.
  void RecreateTooltip(int param, const std::string* source);
  // The bubble's size for the text, a quarter of the text size round it.
  void CalcRect();
  // The bubble 10 pixels right of and below (x, y), or left of and above it where it
  // would come within 10 pixels of the editor's right or bottom edge; then moved back
  // inside the editor where that puts it past an edge.
  void PositionRect(int x, int y);
  // The width estimate is tuned for mExpectedFont; with another font it counts wide and
  // narrow characters and allows more per character.
  void CheckFontCorrectness();

  bool IsTipShown() const { return mTipShown; }
  bool IsTipNameOnly() const { return mTipNameOnly; }
  const std::string& GetTipText() const { return mTipText; }
  const IRECT& GetTextRECT() const { return mTextRECT; }

  bool mTipsEnabled = false;
  char mExpectedFont[IText::kFontNameSize] = "Geneva";
  bool mPlainCount = true;
  std::string mNarrowChars = CZK::kNarrowChars;
  double mWidthFactor = 0.45;

protected:
  bool mTipShown = false;
  bool mTipNameOnly = true;
  std::string mTipText = ";)";
  int mTipParamIdx = -1;
  const std::string* mTipSource = nullptr;
  int mShadowSize = 10;
  IRECT mTextRECT;
};
