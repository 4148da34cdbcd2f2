// IGraphics: value prompts by pop-up menu or text field, and what their answers set.

#include "IControl.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IPopupMenu.h"

#include <cstdlib>
#include <cstring>

namespace
{
const char* const kWholeNumberCharacters = "0123456789-+";
const char* const kDecimalCharacters = "0123456789.-+";

bool PromptsWithMenu(const IParam& param)
{
  return param.Type() == IParam::kTypeEnum || (param.Type() == IParam::kTypeBool && param.GetNDisplayTexts() > 0);
}
}  // namespace

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* textRect)
{
  if (!control || !param || !textRect) return;
  if (PromptsWithMenu(*param))
  {
    PromptWithMenu(control, param, textRect);
    return;
  }
  char current[IParam::kDisplaySize];
  param->GetDisplayForHost(param->Value(), false, current, false);
  CreateTextEntry(control, control->GetText(), textRect, current, param);
}

void IGraphics::PromptWithMenu(IControl* control, IParam* param, IRECT* textRect)
{
  char current[IParam::kDisplaySize];
  param->GetDisplayForHost(param->Value(), false, current, true);
  IPopupMenu menu;
  for (int v = 0; v < param->GetNDisplayTexts(); ++v)
  {
    const char* text = param->GetDisplayText(v);
    menu.AddItem(text, -1, std::strcmp(text, current) == 0 ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
  }
  if (const IPopupMenu* chosen = CreateIPopupMenu(&menu, textRect))
    control->SetValueFromUserInput(param->GetNormalized(chosen->GetChosenItemIdx()));
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* txt)
{
  if (!control || !param) return;
  if (!txt) txt = "";
  double value;
  if (param->Type() == IParam::kTypeBool || param->Type() == IParam::kTypeEnum)
  {
    int mapped = 0;
    param->MapDisplayText(txt, &mapped);
    value = mapped;
  }
  else
  {
    value = std::atof(txt);
    if (param->GetNegateDisplay()) value = -value;
  }
  control->SetValueFromUserInput(param->GetNormalized(value));
}

void IGraphics::EndTextEntry(IControl* control, IParam* param, const char* txt)
{
  if (param) SetFromStringAfterPrompt(control, param, txt);
  else if (control) control->TextFromTextEntry(txt ? txt : "");
}

const char* IGraphics::TextEntryCharacters(const IParam* param)
{
  if (!param) return nullptr;
  return param->Type() == IParam::kTypeDouble ? kDecimalCharacters : kWholeNumberCharacters;
}

bool IGraphics::TextEntryAccepts(const IParam* param, int maxLength, const char* text)
{
  if (!text) return true;
  const char* allowed = TextEntryCharacters(param);
  int characters = 0;
  for (const char* p = text; *p; ++p)
  {
    if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) ++characters;
    if (allowed && !std::strchr(allowed, *p)) return false;
  }
  return maxLength == 0 || characters <= maxLength;
}
