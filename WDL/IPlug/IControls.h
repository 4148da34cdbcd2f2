#pragma once

// The stock controls of the framework: panels, bitmaps and switches, radio buttons,
// faders, knobs, texts, links and file selectors.

#include "IControl.h"
#include "ptrlist.h"

#include <numbers>

// The 1-based frame a value shows in a strip of nFrames frames.
int FrameFromValue(int nFrames, double value);

// Draws text from a font bitmap holding one frame per character (frame c - 31 for code
// c, the space first).
void DrawBitmapedText(IGraphics* graphics, IBitmap* font, IRECT* r, IText* text, const IChannelBlend* blend,
                      const char* str, bool vCentre = true, bool multiLine = false, int charWidth = 6,
                      int charHeight = 12, int charOffset = 0);

class IPanelControl : public IControl
{
public:
  IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color);
  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
};

// One frame of a strip, chosen by the value.
class IBitmapControl : public IControl
{
public:
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  IBitmapControl(IPlugBase* plug, int x, int y, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone)
      : IBitmapControl(plug, x, y, -1, bitmap, blendMethod)
  {
  }
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
};

// Steps through its frames on every press, back to the first after the last.
class ISwitchControl : public IBitmapControl
{
public:
  using IBitmapControl::IBitmapControl;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override { OnMouseDown(x, y, mod); }
};

// Prompts for its value on a press.
class ISwitchPopUpControl : public ISwitchControl
{
public:
  ISwitchPopUpControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
};

// A press on part i of the control (cut into one part per frame) chooses frame i.
class ISwitchFramesControl : public ISwitchControl
{
public:
  ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, bool imagesAreHorizontal = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

protected:
  WDL_TypedBuf<IRECT> mRECTs;
};

// Toggles between 0 and 1; draws nothing.
class IInvisibleSwitchControl : public IControl
{
public:
  IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
};

// n buttons from a two-frame (off, on) bitmap, one of them active.
class IRadioButtonsControl : public IControl
{
public:
  IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons, IBitmap* bitmap,
                       EDirection direction = kVertical, bool reverse = false);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

protected:
  WDL_TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};

// A switch that falls back to 0 on release.
class IContactControl : public ISwitchControl
{
public:
  using ISwitchControl::ISwitchControl;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};

// A handle bitmap sliding along len pixels.
class IFaderControl : public IControl
{
public:
  IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, IBitmap* bitmap, EDirection direction = kVertical,
                bool onlyHandle = false);
  int GetLength() const { return mLen; }
  int GetHandleHeadroom() const { return mHandleHeadroom; }
  // The handle's rectangle at value v (the current value when v < 0).
  IRECT GetHandleRECT(double value = -1.0) const;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  bool Draw(IGraphics* graphics) override;
  bool IsHit(int x, int y) override;
  virtual void SnapToMouse(int x, int y);

protected:
  int mLen, mHandleHeadroom;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};

constexpr double DEFAULT_GEARING = 4.0;

// Dragged along its direction (up increases a vertical knob) and turned by the wheel.
class IKnobControl : public IControl
{
public:
  IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING);
  void SetGearing(double gearing) { mGearing = gearing; }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;

protected:
  EDirection mDirection;
  double mGearing;
};

// A line from the centre at an angle between minAngle and maxAngle (radians, 0 up).
class IKnobLineControl : public IKnobControl
{
public:
  IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color, double innerRadius = 0.0,
                   double outerRadius = 0.0, double minAngle = -0.75 * std::numbers::pi,
                   double maxAngle = 0.75 * std::numbers::pi, EDirection direction = kVertical,
                   double gearing = DEFAULT_GEARING);
  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// A bitmap turned about the control's centre.
class IKnobRotaterControl : public IKnobControl
{
public:
  IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                      double minAngle = -0.75 * std::numbers::pi, double maxAngle = 0.75 * std::numbers::pi,
                      int yOffsetZeroDeg = 0, EDirection direction = kVertical, double gearing = DEFAULT_GEARING);
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// One frame of a strip per value.
class IKnobMultiControl : public IKnobControl
{
public:
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, EDirection direction = kVertical,
                    double gearing = DEFAULT_GEARING);
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
};

// A fixed base with a rotating mask and top layer; angles in degrees.
class IKnobRotatingMaskControl : public IKnobControl
{
public:
  IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* base, IBitmap* mask, IBitmap* top,
                           double minAngle = -151.0, double maxAngle = 151.0, EDirection direction = kVertical,
                           double gearing = DEFAULT_GEARING);
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};

// Below 0.5 draws nothing and answers the mouse in its target area; above, shows its
// frame and answers over its own rectangle.
class IBitmapOverlayControl : public ISwitchControl
{
public:
  IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, IRECT targetArea);
  bool Draw(IGraphics* graphics) override;

protected:
  IRECT mTargetArea;
};

// A text in a style.
class ITextControl : public IControl
{
public:
  ITextControl(IPlugBase* plug, IRECT rect, IText* text, const char* str = "");
  // Marks the control for redraw when the text changes.
  void SetTextFromPlug(const char* str);
  const char* GetTextString() const { return mStr.Get(); }
  bool Draw(IGraphics* graphics) override;

protected:
  WDL_String mStr;
};

// Shows its parameter's value (and unit label); a press prompts for a new one.
class ICaptionControl : public ITextControl
{
public:
  ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, IText* text, bool showParamLabel = true);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

protected:
  bool mShowParamLabel;
};

// Opens a link on a press, the backup link when the first cannot be opened.
class IURLControl : public IControl
{
public:
  static constexpr int kURLSize = 256;
  static constexpr int kMessageSize = 1024;

  // Texts longer than their fields are cut (never inside a character) and terminated.
  IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
  const char* GetURL() const { return mURL; }
  const char* GetBackupURL() const { return mBackupURL; }
  const char* GetErrorMessage() const { return mErrMsg; }

protected:
  char mURL[kURLSize];
  char mBackupURL[kURLSize];
  char mErrMsg[kMessageSize];
};

// Asks for a file on a press and shows its bitmap while asking.
class IFileSelectorControl : public IControl
{
public:
  enum EFileSelectorState
  {
    kFSNone,
    kFSSelecting,
    kFSDone
  };

  IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, IBitmap* bitmap, EFileAction action,
                       const char* dir = "", const char* extensions = "");
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  // A finished selection counts as one more change.
  bool IsDirty() override;
  void GetLastSelectedFileForPlug(WDL_String* file) const { file->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file ? file : ""); }

protected:
  IBitmap mBitmap;
  WDL_String mDir, mFile, mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};

// A text drawn from a font bitmap.
class IBitmapTextControl : public IControl
{
public:
  IBitmapTextControl(IPlugBase* plug, IRECT rect, IBitmap* font, const char* str = "", IText* text = nullptr,
                     int charWidth = 6, int charHeight = 12, int charOffset = 0, bool multiLine = false,
                     bool vCentre = true);
  void SetTextFromPlug(const char* str);
  void ClearTextFromPlug() { SetTextFromPlug(""); }
  bool Draw(IGraphics* graphics) override;

protected:
  WDL_String mStr;
  int mCharWidth, mCharHeight, mCharOffset;
  IBitmap mTextBitmap;
  bool mMultiLine, mVCentre;
};
