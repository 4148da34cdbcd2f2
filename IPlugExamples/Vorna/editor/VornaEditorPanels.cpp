#include "EditorLayout.h"
#include "IGraphics.h"
#include "Vorna.h"
#include "ZKControls.h"
#include "globals.h"

#include <string>

// The two pop-up panels: the info panel behind "i", and the channel configuration
// behind "R", which picks the input pairs of FM and AM and "Mask input".

namespace
{
constexpr const char* kMailAddress = "vorna@ostrelin.example";
constexpr const char* kMembershipPage = "https://ostrelin.example/membership";
constexpr const char* kDonationPage = "https://ostrelin.example/donate";
constexpr int kInfoMargin = 50;
constexpr int kChanConfigMargin = 20;
constexpr int kTextSize = 16;
constexpr int kSelectorTextSize = 20;
constexpr double kSelectorWidthPerSize = 1.4;
constexpr double kSelectorGearing = 0.6;

struct PanelText
{
  const char* text;
  int x, y;
};
constexpr PanelText kChanConfigColumnTitles[] = {{"FM", 95, 30}, {"AM 1", 130, 30}, {"AM 2", 170, 30}, {"Mask input", 210, 30}};

struct SelectorPlace
{
  int id, x;
};
constexpr SelectorPlace kSelectors[] = {{kFMInputSelectorId, 90}, {kAM1InputSelectorId, 130}, {kAM2InputSelectorId, 170}};
constexpr int kSelectorY = 55;
const IRECT kMaskInputRECT(242, 57, 257, 72);

std::shared_ptr<ITextControlZK> MakeText(IPlugBase* plug, const PanelText& t)
{
  auto text = std::make_shared<ITextControlZK>(plug, t.x, t.y, kTextSize, "Geneva");
  text->SetAlignment(IText::kAlignCenter);
  text->SetText(t.text);
  return text;
}

void TogglePanel(IPanelControlZK* panel)
{
  if (!panel) return;
  if (panel->IsPanelShown()) panel->ClosePanel();
  else panel->OpenPanel();
}
}  // namespace

void Vorna::CreateAndAttachInfoPanel(IGraphics* graphics)
{
  mInfoTitleText = std::make_shared<ITextControlZK>(this, 0, 80);
  mInfoDynamicText = std::make_shared<ITextControlZK>(this, 32, 137);
  char version[32] = "";
  GetEffectVersionStr(version);
  mInfoTitleText->SetText(std::string("VORNA ") + GetAPIString() + " " + GetArchString() + " " + version +
                          " pre-alpha" + "\nby " + kMfrName + "\n");
  UpdateDynamicInfoText();
  mMailLink = std::make_shared<IURLControlZK>(this, 40, 112, (std::string("mailto:") + kMailAddress).c_str(),
                                              kMailAddress, kTextSize, "Geneva");
  mMembershipLink = std::make_shared<IURLControlZK>(this, 4, 180, kMembershipPage, kMembershipPage, kTextSize, "Geneva");
  mDonationLink = std::make_shared<IURLControlZK>(this, 12, 200, kDonationPage, kDonationPage, kTextSize, "Geneva");

  mInfoPanel = new IPanelControlZK(this);
  mInfoPanel->AddChild(mInfoTitleText);
  mInfoPanel->AddChild(mInfoDynamicText);
  mInfoPanel->AddChild(mMailLink);
  mInfoPanel->AddChild(mMembershipLink);
  mInfoPanel->AddChild(mDonationLink);
  mInfoPanel->StretchRectToContainAll(kInfoMargin);
  mInfoPanel->PositionControlAround(graphics->Width() / 2, graphics->Height() / 2);
  mInfoPanel->AlignAllHorisontalCenter();
  static_cast<IContactTextControlWSignalZK*>(mInfoButton)->mSignal.Connect(this, &Vorna::OnInfoBtnClick);
  graphics->AttachControl(mInfoPanel);
}

void Vorna::UpdateDynamicInfoText()
{
  if (!mInfoDynamicText) return;
  mInfoDynamicText->SetText("block size: " + std::to_string(GetBlockSize()) +
                            "\nsample rate: " + std::to_string(static_cast<long long>(GetSampleRate())));
}

void Vorna::CreateAndAttachChanConfigPanel(IGraphics* graphics)
{
  mChanConfigPanel = new IPanelControlZK(this);
  mChanConfigCaption = MakeText(this, {"select inputs for FM and AM:", 77, 0});
  mChanConfigPanel->AddChild(mChanConfigCaption);
  for (const PanelText& t : kChanConfigColumnTitles)
  {
    mChanConfigTexts.push_back(MakeText(this, t));
    mChanConfigPanel->AddChild(mChanConfigTexts.back());
  }
  for (int which = 0; which < 3; ++which)
  {
    const SelectorPlace& place = kSelectors[which];
    auto selector = std::make_shared<IIntValTextControlZK>(this, place.x, kSelectorY, place.id, kSelectorTextSize,
                                                           kTextBGFill, IIntValTextControlZK::RLine(0), kVertical);
    selector->SetRange(1, kInputPairs);
    selector->SetGearing(kSelectorGearing);
    // Room for one digit at its size: the pairs go from 1 to 4.
    const IRECT body = selector->GetBodyRECT();
    selector->SetBodyRects(
        IRECT(body.L, body.T, body.L + static_cast<int>(kSelectorWidthPerSize * kSelectorTextSize), body.B));
    selector->SetQuantized(which == 0 ? 2 : 1);
    selector->mSignal.Connect(this, &Vorna::OnChannelConfigChange);
    mChanConfigPanel->AddChild(selector);
    mInputSelectors[which] = selector;
  }
  auto mask = std::make_shared<ICheckBoxControlWSignal>(this, kMaskInputRECT, kMaskInputBox);
  mask->SetValueFromPlug(0.0);
  mask->mSignal.Connect(this, &Vorna::SetMaskInput);
  mChanConfigPanel->AddChild(mask);
  mMaskInputCheckBox = mask;
  mChanConfigPanel->StretchRectToContainAll(kChanConfigMargin);
  mChanConfigPanel->PositionControlAround(graphics->Width() / 2, graphics->Height() / 2);
  graphics->AttachControl(mChanConfigPanel);
}

void Vorna::OnInfoBtnClick(int, double)
{
  UpdateDynamicInfoText();
  TogglePanel(mInfoPanel);
}

void Vorna::OnButtonClickChannelConfig(int, double) { TogglePanel(mChanConfigPanel); }

void Vorna::ShowInputPair(int which)
{
  if (which < 0 || which > 2 || !mInputSelectors[which] || std::this_thread::get_id() != mMainThread) return;
  static_cast<IIntValTextControlZK*>(mInputSelectors[which].get())->SetQuantized(mInputPairSel[which] + 1);
}

void Vorna::ShowInternalValues()
{
  if (!GetGUI() || std::this_thread::get_id() != mMainThread) return;
  IControlZK* switches[2] = {mAMViewSwitch1, mAMViewSwitch2};
  for (int osc = 0; osc < 2; ++osc)
  {
    switches[osc]->SetValueFromPlug(mAMView[osc]);
    ManageAMVisibility(osc == 0 ? kAMViewSwitch1Id : kAMViewSwitch2Id, mAMView[osc]);
  }
  for (int which = 0; which < 3; ++which) ShowInputPair(which);
  if (mMaskInputCheckBox) mMaskInputCheckBox->SetValueFromPlug(mMaskInput ? 1.0 : 0.0);
  static_cast<IFloatValTextCtrlWSignalZK*>(mTempoEntry)->SetNonnormFromPlug(PlugG::HOST_BPM);
}
