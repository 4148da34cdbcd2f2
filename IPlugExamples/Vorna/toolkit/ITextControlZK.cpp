#include "ITextControlZK.h"

#include "CZK.h"
#include "IGraphics.h"

#include <algorithm>
#include <cctype>

namespace
{
constexpr int kDefaultTextSize = 16;
const char* const kLinkFailureTitle = "couldn't open the link";

// The box a text takes at a size: half the size per byte of its longest line, 1.1 x
// the size per line.
IRECT TextBox(const std::string& text, int size)
{
  double longest = 0.0;
  int lines = 0;
  CZK::MeasureText(text, longest, lines);
  return IRECT(0, 0, static_cast<int>(0.5 * size * longest), static_cast<int>(lines * 1.1 * size));
}

bool StartsWithNoCase(const std::string& s, const char* prefix)
{
  for (size_t i = 0; prefix[i]; ++i)
    if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

// An address that names its scheme is opened as it is; a bare one as a web address.
std::string LinkTarget(const std::string& address)
{
  for (const char* scheme : {"mailto:", "http:", "https:"})
    if (StartsWithNoCase(address, scheme)) return address;
  return "http://" + address;
}
}  // namespace

ITextControlZK::ITextControlZK(IPlugBase* plug, int x, int y) : ITextControlZK(plug, x, y, kDefaultTextSize, nullptr) {}

ITextControlZK::ITextControlZK(IPlugBase* plug, int x, int y, int size, const char* font)
    : IControlZK(plug, IRECT(x, y, x, y))
{
  SetTextStyle(size, COLOR_WHITE, font, IText::kStyleNormal, IText::kAlignCenter);
}

void ITextControlZK::SetText(std::string text)
{
  mString = std::move(text);
  const int left = mRect.L, top = mRect.T;
  AdjustRects();
  ShiftControlBy(left, top);
  SetDirty(true);
}

void ITextControlZK::AdjustRects()
{
  mBodyRECT = mRect = mTargetRect = TextBox(mString, GetTextSize());
}

bool ITextControlZK::Draw(IGraphics* graphics)
{
  IRECT r = mRect;
  return graphics->DrawIText(&mText, mString.c_str(), &r);
}

IURLControlZK::IURLControlZK(IPlugBase* plug, int x, int y, const char* address, const char* text, int size,
                             const char* font)
    : IControlZK(plug, IRECT(x, y, x, y))
{
  SetTextSize(size);
  SetFont(font);
  SetURL(address ? address : "", text ? text : "");
}

void IURLControlZK::SetURL(std::string address, std::string text)
{
  mURL = std::move(address);
  mURLText = std::move(text);
  const int left = mRect.L, top = mRect.T;
  mBodyRECT = mRect = mTargetRect = TextBox(mURLText, GetTextSize());
  ShiftControlBy(left, top);
}

void IURLControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R) mSignalRightClick.Emit(mParamIdx, x, y);
  else if (!mURL.empty())
    if (IGraphics* gui = GetGUI()) gui->OpenURL(LinkTarget(mURL).c_str(), kLinkFailureTitle, nullptr, nullptr);
  SetDirty(false);
}

bool IURLControlZK::Draw(IGraphics* graphics)
{
  IRECT r = mRect;
  return graphics->DrawIText(&mText, mURLText.c_str(), &r);
}
