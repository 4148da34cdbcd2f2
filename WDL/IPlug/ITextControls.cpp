// Texts, captions, links and bitmap-font texts.

#include "IControls.h"
#include "IGraphics.h"
#include "IParam.h"

#include <algorithm>
#include <cstring>

ITextControl::ITextControl(IPlugBase* plug, IRECT rect, IText* text, const char* str)
    : IControl(plug, rect), mStr(str ? str : "")
{
  if (text) mText = *text;
}

namespace
{
// Stores a new text; false when it is the text already.
bool ChangeText(WDL_String* text, const char* str)
{
  if (!str) str = "";
  if (std::strcmp(text->Get(), str) == 0) return false;
  text->Set(str);
  return true;
}
}  // namespace

void ITextControl::SetTextFromPlug(const char* str)
{
  if (ChangeText(&mStr, str)) SetDirty(false);
}

bool ITextControl::Draw(IGraphics* graphics)
{
  if (!mStr.GetLength()) return true;
  IRECT r = mRect;
  return graphics->DrawIText(&mText, mStr.Get(), &r);
}

ICaptionControl::ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, IText* text, bool showParamLabel)
    : ITextControl(plug, rect, text), mShowParamLabel(showParamLabel)
{
  mParamIdx = paramIdx;
  mBlend = IChannelBlend(IChannelBlend::kBlendNone);
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && (mod->L || mod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*)
{
  PromptUserInput();
}

bool ICaptionControl::Draw(IGraphics* graphics)
{
  if (const IParam* param = GetParam())
  {
    char display[IParam::kDisplaySize];
    param->GetDisplayForHost(param->Value(), false, display, true);
    mStr.Set(display);
    if (mShowParamLabel)
    {
      mStr.Append(" ");
      mStr.Append(param->GetLabelForHost());
    }
  }
  return ITextControl::Draw(graphics);
}

IURLControl::IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(plug, rect)
{
  CopyTextBounded(mURL, kURLSize, url);
  CopyTextBounded(mBackupURL, kURLSize, backupURL);
  CopyTextBounded(mErrMsg, kMessageSize, errMsgOnFailure);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  if (!gui || !mURL[0]) return;
  if (!gui->OpenURL(mURL, mErrMsg) && mBackupURL[0]) gui->OpenURL(mBackupURL, mErrMsg);
}

IBitmapTextControl::IBitmapTextControl(IPlugBase* plug, IRECT rect, IBitmap* font, const char* str, IText* text,
                                       int charWidth, int charHeight, int charOffset, bool multiLine, bool vCentre)
    : IControl(plug, rect),
      mStr(str ? str : ""),
      mCharWidth(charWidth),
      mCharHeight(charHeight),
      mCharOffset(charOffset),
      mTextBitmap(font ? *font : IBitmap()),
      mMultiLine(multiLine),
      mVCentre(vCentre)
{
  if (text) mText = *text;
}

void IBitmapTextControl::SetTextFromPlug(const char* str)
{
  if (ChangeText(&mStr, str)) SetDirty(false);
}

bool IBitmapTextControl::Draw(IGraphics* graphics)
{
  if (!mStr.GetLength()) return true;
  IRECT r = mRect;
  DrawBitmapedText(graphics, &mTextBitmap, &r, &mText, &mBlend, mStr.Get(), mVCentre, mMultiLine, mCharWidth,
                   mCharHeight, mCharOffset);
  return true;
}

void DrawBitmapedText(IGraphics* graphics, IBitmap* font, IRECT* r, IText* text, const IChannelBlend* blend,
                      const char* str, bool vCentre, bool multiLine, int charWidth, int charHeight, int charOffset)
{
  if (!graphics || !font || !r || !text || !str || !*str || charWidth <= 0) return;
  const int length = static_cast<int>(std::strlen(str));
  const int y = vCentre ? r->T + (r->B - charHeight - r->T) / 2 : r->T;
  const int width = charWidth * length;
  const int x = text->mAlign == IText::kAlignNear  ? r->L
                : text->mAlign == IText::kAlignFar ? r->R - width
                                                    : r->L + (r->W() - width) / 2;
  const int perLine = r->W() / charWidth;
  if (perLine <= 0) return;
  int lines = 1, lineLength = std::min(length, perLine);
  if (multiLine && width > r->W())
  {
    lines = width / r->W() + 1;
    lineLength = perLine;
  }

  int drawn = 0;
  for (int line = 0; line < lines && drawn < length; ++line)
  {
    const int lineY = y + line * charHeight;
    for (int i = 0; i < lineLength && drawn < length; ++i, ++drawn)
    {
      const int charX = x + i * (charWidth + charOffset);
      IRECT dest(charX, lineY, charX + charWidth, lineY + charHeight);
      const int frame = static_cast<unsigned char>(str[drawn]) - 31;
      graphics->DrawBitmap(font, &dest, frame, blend);
    }
    if (!multiLine) break;
  }
}
