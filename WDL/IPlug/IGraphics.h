#pragma once

#include "IGraphicsStructs.h"
#include "IParamMailbox.h"
#include "ptrlist.h"
#include "wdlstring.h"

class IControl;
class IGraphicsDrawArea;
class IParam;
class IPlugBase;
class IPopupMenu;
class LICE_IBitmap;
class LICE_IFont;
class LICE_MemBitmap;
class LICE_SysBitmap;

// The editor's drawing surface and event dispatcher: an ordered list of controls
// (index 0 the background, later ones on top), a back buffer they draw into, the
// mouse state, and the parameter values carried both ways between the controls and
// the plug-in. The platform class (a view in a window) supplies the operations that
// need a window and feeds the event and redraw entry points; everything here runs on
// the main thread, except PostParamFromAudioThread.
class IGraphics
{
public:
  IGraphics(IPlugBase* plug, int w, int h, int fps = 0);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- what the platform supplies (defaults where there is one) ----
  // Copies the back buffer to the window.
  virtual bool DrawScreen(IRECT* r) = 0;
  virtual bool MeasureIText(IText* text, const char* str, IRECT* destRect);
  virtual void ForceEndUserEdit() = 0;
  // Deletes every control and remakes the bitmaps; the plug-in rebuilds the controls.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Shows the menu; returns the menu that holds the chosen item (its chosen index
  // set), or null when nothing was chosen.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect) = 0;
  virtual void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                               IParam* param) = 0;
  virtual void HostPath(WDL_String* path) = 0;
  virtual void PluginPath(WDL_String* path) = 0;
  virtual void DesktopPath(WDL_String* path) = 0;
  virtual void AppSupportPath(WDL_String* path, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(WDL_String* path) = 0;
  virtual void PromptForFile(WDL_String* file, EFileAction action = kFileOpen, WDL_String* dir = nullptr,
                             char* extensions = nullptr) = 0;
  virtual bool PromptForColor(IColor* color, char* prompt = nullptr) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual void* OpenWindow(void* parentView) = 0;
  virtual void* OpenWindow(void* parentWindow, void* parentControl, short x = 0, short y = 0)
  {
    (void)parentWindow, (void)parentControl, (void)x, (void)y;
    return nullptr;
  }
  virtual void AttachSubWindow(void* hostWindow) { (void)hostWindow; }
  virtual void RemoveSubWindow() {}
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool GetTextFromClipboard(WDL_String* str) = 0;
  // Deletes the key catcher, every control (last first) and both bitmaps.
  virtual ~IGraphics();
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual void UpdateTooltips() = 0;
  // Loads an image of the application; null when there is none by that name.
  virtual LICE_IBitmap* OSLoadBitmap(int id, const char* name) = 0;

  // The plug-in framework reaches its editor only through these two (and the
  // destructor), so that it need not link the GUI layer above it.
  // Creates the back buffer (width x height) and the empty scratch bitmap.
  virtual void PrepDraw();
  // Shows a value of the plug-in on every control bound to paramIdx (and on every
  // control showing it as an auxiliary parameter); a plain value is normalised first.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized);

  // ---- the plug-in and the size ----
  IPlugBase* GetPlug() const { return mPlug; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFrameRate; }

  // ---- the control list ----
  // Appends; returns the control's index. The control is owned from now on.
  int AttachControl(IControl* control);
  // The image as control 0, covering it whole, blended as clobber.
  void AttachBackground(int id, const char* name);
  // A panel of that colour as control 0, covering the editor.
  void AttachPanelBackground(const IColor* color);
  // Receives the keys no control takes; owned, not in the list.
  void AttachKeyCatcher(IControl* control);
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  int GetNControls() const { return mControls.GetSize(); }

  // ---- parameter traffic ----
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  // As if the user had set the value on every control bound to paramIdx.
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  // Marks every control for redraw, sending nothing to the plug-in.
  void SetAllControlsDirty();
  void SetStrictDrawing(bool strict);
  void AssignParamNameToolTips();
  void ReleaseMouseCapture();

  // Audio thread, wait-free: the plain value a parameter took from a learned
  // controller, for the controls to show at the next drain.
  void PostParamFromAudioThread(int paramIdx, double value) { mAudioParamMailbox.Post(paramIdx, value); }
  // Main thread, before every frame: shows the values posted since the last drain on
  // the controls bound to them (values, value and name displays), sending nothing back.
  void DrainParamMailbox();

  // ---- value prompts ----
  // A menu of the parameter's display texts for enum parameters (and bool ones that
  // have display texts), else a text field with its current value.
  void PromptUserInput(IControl* control, IParam* param, IRECT* textRect);
  // The end of a text entry bound to a parameter: the text read by the parameter's
  // kind and set on the control as user input.
  void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* txt);
  // The end of a text field: the parameter's prompt when it has one, else the control's own.
  void EndTextEntry(IControl* control, IParam* param, const char* txt);
  // What a text field for that parameter accepts while typing: digits and signs for
  // whole-number parameters, a decimal point too for double ones, and at most
  // maxLength characters (0: no limit).
  static bool TextEntryAccepts(const IParam* param, int maxLength, const char* text);
  // The characters a text field for that parameter takes; null (any) without one.
  static const char* TextEntryCharacters(const IParam* param);

  // ---- redraw ----
  // Unites r with the rectangle of every dirty control; true when one was dirty.
  bool IsDirty(IRECT* r);
  // Draws what r (and, without strict drawing, the dirty controls) need, then copies
  // the back buffer to the window.
  bool Draw(IRECT* r);

  // ---- mouse and keys ----
  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  // True when the control took the double click as a press.
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  // Returns whether mouse-over events are on.
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();
  void OnGUIIdle();
  void HandleMouseOver(bool canHandle) { mMouseOverEnabled = canHandle; }
  bool CanHandleMouseOver() const { return mMouseOverEnabled; }
  int GetMouseOverIdx() const { return mMouseOverIdx; }
  int GetCaptureIdx() const { return mCaptureIdx; }
  void EnableTooltips(bool enable) { mTooltipsEnabled = enable; }
  bool TooltipsEnabled() const { return mTooltipsEnabled; }

  // ---- bitmaps (process-wide cache) ----
  // The image with this id, loaded on first use. A failed load gives a null image of
  // size 0, which is not cached (and reported once on stderr).
  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  void RetainBitmap(IBitmap* bitmap);
  void ReleaseBitmap(IBitmap* bitmap);
  IBitmap ScaleBitmap(IBitmap* bitmap, int destW, int destH);
  IBitmap CropBitmap(IBitmap* bitmap, IRECT* r);
  unsigned int* GetBits();
  LICE_SysBitmap* GetDrawBitmap() const { return mBackBuffer; }
  const IRECT& GetDrawArea() const { return mDrawArea; }

  // ---- drawing into the back buffer (every one returns true) ----
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend = nullptr);
  // Frame counts from 1.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame = 1, const IChannelBlend* blend = nullptr);
  bool DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg = 0,
                         const IChannelBlend* blend = nullptr);
  // A knob from a fixed base, a rotating mask and a rotating top layer; degrees.
  bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                       const IChannelBlend* blend = nullptr);
  bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr, bool aa = false);
  // Stores the colour unblended; outside the back buffer nothing happens.
  bool ForcePixel(const IColor* color, int x, int y);
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend = nullptr,
                bool aa = false);
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* blend = nullptr, bool aa = false);
  bool DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend = nullptr,
                  bool aa = false);
  bool RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa);
  bool FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa);
  bool FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend = nullptr);
  bool FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend = nullptr, bool aa = false);
  bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                    const IChannelBlend* blend = nullptr);
  bool FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend = nullptr);
  IColor GetPoint(int x, int y);
  bool DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi);
  // At a fraction 0..1 across (or up) the rectangle.
  bool DrawVerticalLine(const IColor* color, IRECT* r, float x);
  bool DrawHorizontalLine(const IColor* color, IRECT* r, float y);
  bool DrawRect(const IColor* color, IRECT* r);
  // Angle in radians, 0 pointing up, growing clockwise.
  bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* blend = nullptr, bool aa = false);
  // Draws (or with measure, only measures into rect) a string in a text style; false
  // when no font can be made for the style.
  bool DrawIText(IText* text, const char* str, IRECT* rect, bool measure = false);
  // The style's font, found in or entered into the process-wide font cache.
  LICE_IFont* CacheFont(IText* text);

protected:
  WDL_PtrList<IControl> mControls;
  IPlugBase* mPlug;
  IRECT mDrawArea;
  bool mCursorHidden = false;
  int mCursorHideX = -1, mCursorHideY = -1;
  LICE_SysBitmap* mBackBuffer = nullptr;
  LICE_MemBitmap* mScratchBitmap = nullptr;
  int mWidth, mHeight;
  int mFrameRate;
  int mCaptureIdx = -1;
  int mMouseOverIdx = -1;
  int mLastMouseX = 0, mLastMouseY = 0;
  int mLastClickedParamIdx = -1;
  bool mMouseOverEnabled = false;
  bool mStrictDrawing = true;
  bool mTooltipsEnabled = false;
  IControl* mKeyCatcher = nullptr;

private:
  // Index of the topmost control hit at (x, y), or -1. The press form skips hidden and
  // grayed controls, the mouse-over form hidden ones and grayed ones that do not ask.
  int HitTest(int x, int y, bool mouseOver);
  // The captured control's index, else the press form of the hit test.
  int CaptureOrHit(int x, int y);
  void PromptWithMenu(IControl* control, IParam* param, IRECT* textRect);
  void DeleteControls();
  void DeleteBitmaps();
  // The part of dest inside the area being redrawn (all zero when none).
  IRECT ClipToDrawArea(const IRECT& dest) const;
  // Where the primitives draw: the area being redrawn (or, outside a frame, the whole
  // back buffer), and the offset to take from GUI coordinates to reach it.
  struct DrawTarget
  {
    LICE_IBitmap* bitmap;
    int x, y;
  };
  DrawTarget Target();

  IGraphicsDrawArea* mDrawAreaView;  // owned

  IParamMailbox mAudioParamMailbox;
};
