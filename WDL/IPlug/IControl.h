#pragma once

#include "IGraphicsStructs.h"
#include "heapbuf.h"
#include "wdlstring.h"

class IGraphics;
class IParam;
class IPlugBase;

// The base of every element of the editor: a rectangle, the parameter it is bound to
// (-1 for none), a normalised value 0..1, a text style and blend, and whether it must
// be redrawn. User changes go to the plug-in through SetDirty(true); values from the
// plug-in come in through SetValueFromPlug. Main thread only.
class IControl
{
public:
  // A further parameter the control shows beside its own.
  struct AuxParam
  {
    double mValue = 0.0;
    int mParamIdx = -1;
  };

  IControl(IPlugBase* plug, IRECT rect, int paramIdx = -1, IChannelBlend blend = IChannelBlend());
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual ~IControl() = default;
  // The right button prompts for a value.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int x, int y, IMouseMod* mod) { (void)x, (void)y, (void)mod; }
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod)
  {
    (void)x, (void)y, (void)dX, (void)dY, (void)mod;
  }
  // Back to the default value, once the plug-in has given one.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  virtual void OnMouseWheel(int x, int y, IMouseMod* mod, int d) { (void)x, (void)y, (void)mod, (void)d; }
  virtual bool OnKeyDown(int x, int y, int key)
  {
    (void)x, (void)y, (void)key;
    return false;
  }
  virtual void OnMouseOver(int x, int y, IMouseMod* mod) { (void)x, (void)y, (void)mod; }
  virtual void OnMouseOut() {}
  virtual bool Draw(IGraphics* graphics) = 0;
  // The first value ever pushed becomes the default too.
  virtual void SetValueFromPlug(double value);
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char* txt) { (void)txt; }
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  // Inside the target rectangle, which must not be empty.
  virtual bool IsHit(int x, int y) { return mTargetRect.Contains(x, y); }
  // Clamps the value and marks the control for redraw; with pushParamToPlug the value
  // also goes to the plug-in and the display controls follow it.
  virtual void SetDirty(bool pushParamToPlug = true);
  // Stays dirty one more frame when a value change asked for it.
  virtual void SetClean();
  virtual bool IsDirty() { return mDirty; }
  virtual void OnGUIIdle() {}
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);

  // ---- value prompts ----
  // Nothing unless bound to a parameter with prompting enabled.
  void PromptUserInput();
  void PromptUserInput(IRECT* textRect);

  // ---- auxiliary parameters ----
  AuxParam* GetAuxParam(int idx);
  int AuxParamIdx(int paramIdx) const;
  void AddAuxParam(int paramIdx);
  int NAuxParams() const { return mAuxParams.GetSize(); }
  void SetAllAuxParamsFromGUI();

  // ---- display controls (not owned): the parameter's value with its label, its name ----
  void SetValDisplayControl(IControl* valueDisplay) { mValueDisplayControl = valueDisplay; }
  void SetNameDisplayControl(IControl* nameDisplay) { mNameDisplayControl = nameDisplay; }
  // Shows a plain value of the parameter, with its unit, and the parameter's name on
  // the display controls.
  void UpdateDisplayControls(double plainValue);

  // ---- fields ----
  int ParamIdx() const { return mParamIdx; }
  IParam* GetParam() const;
  IPlugBase* GetPlug() const { return mPlug; }
  IGraphics* GetGUI() const;
  const IRECT* GetRECT() const { return &mRect; }
  const IRECT* GetTargetRECT() const { return &mTargetRect; }
  void SetTargetArea(IRECT r) { mTargetRect = r; }
  double GetValue() const { return mValue; }
  void SetValue(double value) { mValue = value; }
  double GetDefaultValue() const { return mDefaultValue; }
  void Clamp(double lo, double hi)
  {
    mClampLo = lo;
    mClampHi = hi;
  }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool GetMOWhenGrayed() const { return mMouseOverWhenGrayed; }
  void SetMOWhenGrayed(bool allow) { mMouseOverWhenGrayed = allow; }
  bool GetDblAsSingleClick() const { return mDblClickAsSingle; }
  void SetDblAsSingleClick(bool single) { mDblClickAsSingle = single; }
  void DisablePrompt(bool disable) { mPromptDisabled = disable; }
  bool IsPromptDisabled() const { return mPromptDisabled; }
  int GetTextEntryLength() const { return mEntryMaxLength; }
  void SetTextEntryLength(int len) { mEntryMaxLength = len; }
  IText* GetText() { return &mText; }
  void SetText(const IText& text) { mText = text; }
  const IChannelBlend* GetBlend() const { return &mBlend; }
  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* tooltip) { mTooltip.Set(tooltip ? tooltip : ""); }

protected:
  int mEntryMaxLength = 7;
  IText mText;
  IPlugBase* mPlug;
  IRECT mRect;
  IRECT mTargetRect;
  int mParamIdx;
  WDL_TypedBuf<AuxParam> mAuxParams;
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mClampLo = 0.0, mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  bool mRedraw = false;
  bool mPromptDisabled = true;
  bool mDblClickAsSingle = false;
  bool mMouseOverWhenGrayed = false;
  IChannelBlend mBlend;
  IControl* mValueDisplayControl = nullptr;
  IControl* mNameDisplayControl = nullptr;
  WDL_String mTooltip;
};
