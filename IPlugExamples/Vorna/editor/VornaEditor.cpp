#include "EditorLayout.h"
#include "IGraphics.h"
#include "Vorna.h"
#include "ZKControls.h"
#include "ZKMenu.h"

#include <atomic>

// The editor's construction: the controls attached in their drawing order, the tooltip
// and menu controls over them, the colours, what starts hidden and the knobs' narrowed
// mouse areas.

namespace
{
std::atomic<Vorna::GraphicsMaker> gGraphicsMaker{nullptr};

constexpr int kFrameRate = 0;  // the framework's default
constexpr int kTooltipTextSize = 16;
constexpr double kTooltipWidthFactor = 0.45;

// Drawn after the others, over the neighbours they reach into: the waveform's extra
// knob, the frequency numerators, the FM source lists and the filter-model lists.
constexpr int kLateParams[] = {2, 3, 20, 32, 33, 50, 92, 103};

// Knobs whose mouse area ends 10 pixels short of their value text on the right.
constexpr int kNarrowedKnobs[] = {128, 86, 12, 42, 15, 45, 16, 46, 17, 47, 94, 105,
                                  96,  107, 26, 56, 19, 49, 5, 35, 7, 37, 25, 55};
constexpr int kNarrowedBy = 10;
// The frequency numerators sit inside their denominators' ring: only their middle takes the mouse.
constexpr int kNumeratorKnobs[] = {3, 33};

const IColor kCream(255, 255, 252, 232);
const IColor kVeil(25, 60, 60, 60);
const IColor kDark(255, 60, 60, 60);
const IColor kLight(255, 220, 220, 220);
const IColor kGrey(240, 80, 80, 80);

struct Colours
{
  const IColor* line;
  const IColor* fill;
  const IColor* hiLine;
  const IColor* hiFill;
};

void Paint(IControlZK* control, const Colours& c)
{
  if (!control) return;
  if (c.line) control->SetColorLine(*c.line);
  if (c.fill) control->SetColorFill(*c.fill);
  if (c.hiLine) control->SetColorHiLine(*c.hiLine);
  if (c.hiFill) control->SetColorHiFill(*c.hiFill);
}

bool IsLate(int paramIdx)
{
  for (int p : kLateParams)
    if (p == paramIdx) return true;
  return false;
}
}  // namespace

void Vorna::SetGraphicsMaker(GraphicsMaker maker) { gGraphicsMaker.store(maker); }

void Vorna::BuildEditor()
{
  const GraphicsMaker make = gGraphicsMaker.load();
  if (!make) return;
  IGraphics* graphics = make(this, kEditorWidth, kEditorHeight, kFrameRate);
  if (!graphics) return;
  graphics->AttachBackground(kBackgroundImage.id, (std::string(kEditorImageFolder) + kBackgroundImage.file).c_str());
  graphics->HandleMouseOver(true);

  CreateControls(graphics);
  CreateTooltips();
  SetControlLabels();
  AttachGraphics(graphics);
  AttachControls(graphics);
  CreateAndAttachTooltipCtrl(graphics);
  CreateAndAttachInfoPanel(graphics);
  CreateAndAttachChanConfigPanel(graphics);
  graphics->AssignParamNameToolTips();
  CreateControlMenus();
  CreateAndAttachMenuControl(graphics);
  SetColors();
  HideControls(graphics);
  AdjustTargetRects();
}

void Vorna::AttachControls(IGraphics* graphics)
{
  for (int p = 0; p < kNumParams; ++p)
    if (!IsLate(p)) graphics->AttachControl(mParamControls[p]);
  for (int p : kLateParams) graphics->AttachControl(mParamControls[p]);
  for (IControl* c : std::initializer_list<IControl*>{mAMViewSwitch1, mAMViewSwitch2, mInfoButton, mTooltipButton,
                                                       mChanConfigButton, mTempoEntry, mTextLine2, mTextLine1})
    graphics->AttachControl(c);
}

void Vorna::CreateAndAttachTooltipCtrl(IGraphics* graphics)
{
  mTooltipControl = new ITooltipControlZK(this, kNoControlId, kTooltipTextSize);
  IText style = *mTooltipControl->GetText();
  strcpy(style.mFontName, "Geneva");
  mTooltipControl->SetTextStyle(style);
  strcpy(mTooltipControl->mExpectedFont, "Geneva");
  mTooltipControl->mPlainCount = true;
  mTooltipControl->mWidthFactor = kTooltipWidthFactor;
  mTooltipControl->CheckFontCorrectness();
  graphics->AttachControl(mTooltipControl);
  static_cast<IButtonTextWithSignal*>(mTooltipButton)->mSignal.Connect(this, &Vorna::ShowHideTooltips);
}

void Vorna::CreateAndAttachMenuControl(IGraphics* graphics)
{
  mMenuControl = new IMenuControlZK(this, IRECT());
  mMenuControl->GetDrawData().mAreaW = graphics->Width();
  mMenuControl->GetDrawData().mAreaH = graphics->Height();
  mParamControls[kNumParams] = mMenuControl;
  graphics->AttachControl(mMenuControl);
}

void Vorna::SetColors()
{
  const Colours params{&kCream, &kVeil, &kDark, &kCream};
  for (int p = 0; p < kNumParams; ++p) Paint(mParamControls[p], params);
  Paint(mTooltipControl, {&kDark, &kLight, nullptr, nullptr});
  Paint(mTooltipButton, params);
  Paint(mChanConfigButton, params);
  const Colours panel{&kDark, &kLight, &kLight, &kDark};
  Paint(mChanConfigPanel, panel);
  Paint(mChanConfigCaption.get(), panel);
  for (auto& text : mChanConfigTexts) Paint(text.get(), panel);
  for (auto& selector : mInputSelectors) Paint(selector.get(), panel);
  Paint(mMaskInputCheckBox.get(), panel);
  Paint(mInfoButton, {&kCream, &kGrey, nullptr, &kCream});
  Paint(mTempoEntry, {&kCream, &kGrey, nullptr, &kCream});
  Paint(mInfoPanel, {&kDark, &kLight, nullptr, &kDark});
  for (IControlZK* c : std::initializer_list<IControlZK*>{mMailLink.get(), mMembershipLink.get(), mDonationLink.get(),
                                                          mInfoTitleText.get(), mInfoDynamicText.get()})
    Paint(c, {&kDark, nullptr, nullptr, nullptr});
  Paint(mMenuControl, {&kDark, &kLight, &kLight, &kGrey});
  Paint(mTextLine2, {&COLOR_GREEN, nullptr, nullptr, nullptr});
  Paint(mTextLine1, {&COLOR_ORANGE, nullptr, nullptr, nullptr});
}

void Vorna::HideControls(IGraphics* graphics)
{
  for (int p : kNeverShownParams) graphics->HideControl(p, true);
  for (const std::vector<int>& group : mAMControlGroups)
    for (int p : group) graphics->HideControl(p, true);
  const bool standalone = GetAPI() == kAPIStandalone;
  mTempoEntry->Hide(!standalone);
  // Through its own pointer: its id is the tooltip button's too.
  mChanConfigButton->Hide(standalone);
}

void Vorna::AdjustTargetRects()
{
  for (int p : kNarrowedKnobs)
  {
    IControlZK* knob = mParamControls[p];
    const IRECT r = *knob->GetTargetRECT();
    knob->SetTargetRect(IRECT(r.L, r.T, r.R - kNarrowedBy, r.B));
  }
  for (int p : kNumeratorKnobs)
  {
    IControlZK* knob = mParamControls[p];
    const IRECT r = *knob->GetTargetRECT();
    knob->SetTargetRect(IRECT(r.L + 8, r.T + 8, r.R - 12, r.B - 8));
  }
}
