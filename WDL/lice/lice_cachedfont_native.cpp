// The native way of LICE_CachedFont: the window layer draws the text itself, straight
// into the bitmap's drawing context (a view's into its nearest ancestor's), or for a
// bitmap without one into a scratch copy of the text's box that is then blitted back
// with the font's alpha.

#include "lice.h"
#include "lice_text.h"
#include "lice_subbitmap.h"
#include "lice_text_scratch.h"
#include "swell-gdi.h"
#include "swell-text.h"

#include <algorithm>

namespace
{
constexpr unsigned int kAlignmentBits = 0xF;
constexpr unsigned int kFontOwnBit = 0x80000000u;
constexpr int kMinNativeScratchSide = 4;

// Selects a font into a context for the length of a call.
class FontSelection
{
public:
  FontSelection(HDC dc, HFONT font) : m_dc(dc), m_previous(font ? SelectObject(dc, font) : nullptr) {}
  ~FontSelection()
  {
    if (m_previous) SelectObject(m_dc, m_previous);
  }
  FontSelection(const FontSelection&) = delete;
  FontSelection& operator=(const FontSelection&) = delete;

private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

// The context text for the bitmap is drawn with: its own, or for a view into a parent
// bitmap that of the first ancestor that has one, with the view's summed offsets in it.
struct NativeTarget
{
  HDC dc = nullptr;
  int x = 0;
  int y = 0;
  bool isView = false;
};

NativeTarget FindNativeTarget(LICE_IBitmap* bm)
{
  NativeTarget target;
  for (LICE_IBitmap* b = bm; b; )
  {
    if ((target.dc = b->getDC())) return target;
    auto* view = b->Extended(LICE_SubBitmap::kViewQuery, nullptr) == LICE_SubBitmap::kIsView
                     ? dynamic_cast<LICE_SubBitmap*>(b)
                     : nullptr;
    if (!view) break;
    target.x += view->x();
    target.y += view->y();
    target.isView = true;
    b = view->parent();
  }
  return NativeTarget{};
}

int placed(int start, int end, int size, bool far, bool middle)
{
  if (far) return end - size;
  if (middle) return (start + end - size) / 2;
  return start;
}
}  // namespace

int LICE_CachedFont::DrawTextNative(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags)
{
  const auto setColours = [this](HDC dc) {
    ::SetTextColor(dc, static_cast<int>(m_fg & 0xFFFFFF));
    ::SetBkMode(dc, m_bgmode);
    if (m_bgmode == OPAQUE) ::SetBkColor(dc, static_cast<int>(m_bg & 0xFFFFFF));
  };

  if (const NativeTarget target = FindNativeTarget(bm); target.dc)
  {
    HDC dc = target.dc;
    FontSelection selection(dc, m_font);
    setColours(dc);
    const unsigned int flags = (dtFlags & ~kFontOwnBit) | DT_NOPREFIX;
    if (!target.isView || (dtFlags & DT_CALCRECT)) return SWELL_DrawText(dc, str, strcnt, rect, flags);
    // The ancestor's context knows nothing of the view: the text moves to the view's place
    // and is held inside the view's area, whatever DT_NOCLIP lets it reach.
    const RECT clip = {target.x, target.y, target.x + bm->getWidth(), target.y + bm->getHeight()};
    RECT moved = {rect->left + target.x, rect->top + target.y, rect->right + target.x, rect->bottom + target.y};
    SWELL_PushClipRegion(dc);
    SWELL_SetClipRegion(dc, &clip);
    const int result = SWELL_DrawText(dc, str, strcnt, &moved, flags);
    SWELL_PopClipRegion(dc);
    return result;
  }

  // No context of its own nor in its ancestors (or measuring only): through the scratch bitmap.
  LICE_SysBitmap* scratch = lice_text::NativeScratch(kMinNativeScratchSide, kMinNativeScratchSide);
  if (!scratch) return 0;
  RECT measured = {0, 0, 0, 0};
  int result;
  {
    FontSelection selection(scratch->getDC(), m_font);
    result = SWELL_DrawText(scratch->getDC(), str, strcnt, &measured,
                            (dtFlags & 0x7FFFFFF0u) | DT_CALCRECT | DT_NOPREFIX);
  }
  const int textW = measured.right, textH = measured.bottom;
  if (dtFlags & DT_CALCRECT)
  {
    rect->right = rect->left + textW;
    rect->bottom = rect->top + textH;
    return result;
  }
  if (!bm) return result;

  // The text's box within the caller's rectangle, cut to the bitmap (and to the
  // rectangle unless DT_NOCLIP); what is cut at the left and top shifts the text.
  const int x = placed(rect->left, rect->right, textW, dtFlags & DT_RIGHT, dtFlags & DT_CENTER);
  const int y = placed(rect->top, rect->bottom, textH, dtFlags & DT_BOTTOM, dtFlags & DT_VCENTER);
  int left = std::max(x, 0), top = std::max(y, 0);
  int right = std::min(x + textW, bm->getWidth()), bottom = std::min(y + textH, bm->getHeight());
  if (!(dtFlags & DT_NOCLIP))
  {
    left = std::max(left, rect->left);
    top = std::max(top, rect->top);
    right = std::min(right, rect->right);
    bottom = std::min(bottom, rect->bottom);
  }
  if (right <= left || bottom <= top) return result;
  const int offsetX = x - left, offsetY = y - top;
  // Room left of the text for glyphs that reach before their pen position, and right of
  // it for those that reach past their advance (a condensed "W").
  const int margin = std::min(lice_text::Margin(m_line_height), left);
  left -= margin;
  right += std::min(lice_text::Margin(m_line_height), bm->getWidth() - right);
  const int boxW = right - left, boxH = bottom - top;
  // Growing may give the scratch a new context: the font is selected only now.
  if (!lice_text::NativeScratch(boxW, boxH)) return result;
  HDC sdc = scratch->getDC();
  FontSelection selection(sdc, m_font);

  LICE_Blit(scratch, bm, 0, 0, left, top, boxW, boxH, 1.0f, BLEND_COPY);
  setColours(sdc);
  RECT at = {offsetX + margin, offsetY, offsetX + margin + textW, offsetY + textH};
  SWELL_DrawText(sdc, str, strcnt, &at, (dtFlags & ~(kFontOwnBit | kAlignmentBits)) | DT_NOPREFIX);
  LICE_Blit(bm, scratch, left, top, 0, 0, boxW, boxH, m_alpha, BLEND_COPY);
  return result;
}
