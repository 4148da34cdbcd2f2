#include "EditorLayout.h"
#include "IGraphics.h"
#include "Vorna.h"
#include "ZKControls.h"
#include "ZKMenu.h"

#include <algorithm>

// The right-click menus: every parameter's "MIDI learn" and "MIDI forget", the panic
// button's "erase MIDI map", and the tooltip button's text sizes.

namespace
{
constexpr int kLearnItem = 1;
constexpr int kForgetItem = 2;
constexpr int kLearnGroup = 0;
constexpr int kPanicParam = 129;
// The "pan 2" knob's label starts from this size at every enlargement.
constexpr int kPan2LabelSize = 30;
constexpr int kMinTextSize = 4;
}  // namespace

void Vorna::CreateControlMenus()
{
  for (int p = 0; p < kNumParams; ++p)
  {
    if (mParamsWithoutMenu.count(p)) continue;
    IControlZK* control = mParamControls[p];
    control->mSignalRightClick.Connect(this, &Vorna::ShowControlMenu);
    control->mSignalShowTooltip.Connect(mTooltipControl, &ITooltipControlZK::OnShowTooltip);
    control->mSignalHideTooltip.Connect(mTooltipControl, &ITooltipControlZK::OnHideTooltip);

    auto menu = std::make_shared<IMenuZK>(p);
    menu->AddItem(IMenuItemZK(GetParam(p)->GetNameForHost(), IMenuItemZK::kItemTitle));
    menu->AddItem(IMenuItemZK("MIDI learn", IMenuItemZK::kItemUnchecked), -1, kLearnGroup);
    menu->GetItemSignal(kLearnItem)->Connect(this, &Vorna::OnMenuClickMidiLearn);
    menu->AddItem(IMenuItemZK("MIDI forget (none)", IMenuItemZK::kItemDisabled), -1, kLearnGroup);
    menu->GetItemSignal(kForgetItem)->Connect(this, &Vorna::OnMenuClickMidiForget);
    if (p == kPanicParam)
    {
      menu->AddItem(IMenuItemZK("erase MIDI map", IMenuItemZK::kItemAction));
      menu->GetItemSignal(3)->Connect(this, &Vorna::OnMenuClickEraseMidiMap);
    }
    mParamMenus[p] = std::move(menu);
    mMenuShowsCC[p] = -1;
  }

  for (IControlZK* control : {mAMViewSwitch1, mAMViewSwitch2, mChanConfigButton})
  {
    control->mSignalShowTooltip.Connect(mTooltipControl, &ITooltipControlZK::OnShowTooltip);
    control->mSignalHideTooltip.Connect(mTooltipControl, &ITooltipControlZK::OnHideTooltip);
  }

  mTextSizeMenu = std::make_shared<IMenuZK>(kTooltipButtonId);
  mTextSizeMenu->AddItem(IMenuItemZK("increase text size", IMenuItemZK::kItemAction));
  mTextSizeMenu->GetItemSignal(0)->Connect(this, &Vorna::IncreaseLabelsSize);
  mTextSizeMenu->AddItem(IMenuItemZK("decrease text size", IMenuItemZK::kItemAction));
  mTextSizeMenu->GetItemSignal(1)->Connect(this, &Vorna::DecreaseLabelsSize);
  mTooltipButton->mSignalRightClick.Connect(this, &Vorna::ShowControlMenu);
}

void Vorna::ShowControlMenu(int id, int x, int y)
{
  if (!mMenuControl) return;
  if (id == kTooltipButtonId)
  {
    mMenuControl->ShowMenu(mTextSizeMenu.get(), x, y);
    return;
  }
  if (id < 0 || id >= kNumParams || !mParamMenus[id]) return;
  RefreshLearnMenu(id);
  mMenuControl->ShowMenu(mParamMenus[id].get(), x, y);
}

IMenuZK* Vorna::GetParamMenu(int paramIdx) const
{
  return paramIdx >= 0 && paramIdx < kNumParams ? mParamMenus[paramIdx].get() : nullptr;
}

void Vorna::RefreshLearnMenu(int paramIdx)
{
  IMenuZK* menu = GetParamMenu(paramIdx);
  const int cc = GetLearnedCC(paramIdx);
  if (!menu || cc == mMenuShowsCC[paramIdx]) return;
  mMenuShowsCC[paramIdx] = cc;
  if (cc >= 0)
  {
    // Bound: learning is over, and the item names the controller.
    menu->SilentCheckItem(kForgetItem, false);
    menu->SetState(kForgetItem, IMenuItemZK::kItemUnchecked);
  }
  else
  {
    menu->SetState(kForgetItem, IMenuItemZK::kItemDisabled);
  }
  menu->SetItemText(kForgetItem, GetMidiForgetText(paramIdx).c_str());
}

void Vorna::IncreaseLabelsSize(int, int)
{
  if (IControlZK* pan2 = mParamControls[kPan2]) pan2->SetLabelTextSize(0, kPan2LabelSize);
  for (int p = 0; p < kNumParams; ++p)
    if (IControlZK* c = mParamControls[p]; c && c->NLabels() > 0) c->SetLabelTextSize(0, c->GetLabelTextSize(0) + 1);
  for (IControlZK* c : {static_cast<IControlZK*>(mMenuControl), static_cast<IControlZK*>(mTooltipControl)})
    if (c) c->SetTextSize(c->GetTextSize() + 1);
  if (IGraphics* gui = GetGUI()) gui->SetAllControlsDirty();
}

void Vorna::DecreaseLabelsSize(int, int)
{
  for (int p = 0; p < kNumParams; ++p)
    if (IControlZK* c = mParamControls[p]; c && c->NLabels() > 0)
      c->SetLabelTextSize(0, std::max(c->GetLabelTextSize(0) - 1, kMinTextSize));
  for (IControlZK* c : {static_cast<IControlZK*>(mMenuControl), static_cast<IControlZK*>(mTooltipControl)})
    if (c) c->SetTextSize(std::max(c->GetTextSize() - 1, kMinTextSize));
  if (IGraphics* gui = GetGUI()) gui->SetAllControlsDirty();
}

void Vorna::ShowHideTooltips(int, double value)
{
  if (mTooltipControl) mTooltipControl->mTipsEnabled = value != 0.0;
}
