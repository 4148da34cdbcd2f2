#pragma once

// The value records every part of the GUI passes around: rectangles, colours, text
// styles, bitmap handles, blends and mouse modifiers. GUI coordinates are integer
// pixels, origin top left, y down.

#include <algorithm>

class LICE_IBitmap;
class LICE_IFont;

// Copies src into a field of destSize bytes: at most destSize - 1 bytes, never half a
// UTF-8 character, always terminated. A null src gives "".
void CopyTextBounded(char* dest, int destSize, const char* src);

struct IRECT
{
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  // All four values zero, whatever the area: such a rectangle meets nothing.
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * (L + R); }
  float MH() const { return 0.5f * (T + B); }

  bool operator==(const IRECT&) const = default;

  // Right and bottom exclusive.
  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  // Two rectangles meet when neither is empty and they overlap, the right and bottom
  // edges counting as inside.
  bool Intersects(const IRECT& o) const { return !Empty() && !o.Empty() && L < o.R && R >= o.L && T < o.B && B >= o.T; }
  // The smallest rectangle holding both; an empty one adds nothing.
  IRECT Union(const IRECT& o) const
  {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRECT(std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B));
  }
  // The common part; all zero when the rectangles do not meet.
  IRECT Intersect(const IRECT& o) const
  {
    if (!Intersects(o)) return IRECT();
    return IRECT(std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B));
  }
};

struct IColor
{
  int A = 255, R = 0, G = 0, B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor&) const = default;
};

// The raster pixel of a colour, 0xAARRGGBB.
inline unsigned int LiceColor(const IColor& c)
{
  return (unsigned int)(c.B & 0xFF) | (unsigned int)(c.G & 0xFF) << 8 | (unsigned int)(c.R & 0xFF) << 16 |
         (unsigned int)(c.A & 0xFF) << 24;
}

inline const IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline const IColor COLOR_BLACK(255, 0, 0, 0);
inline const IColor COLOR_GRAY(255, 127, 127, 127);
inline const IColor COLOR_WHITE(255, 255, 255, 255);
inline const IColor COLOR_RED(255, 255, 0, 0);
inline const IColor COLOR_GREEN(255, 0, 255, 0);
inline const IColor COLOR_BLUE(255, 0, 0, 255);
inline const IColor COLOR_YELLOW(255, 255, 255, 0);
inline const IColor COLOR_ORANGE(255, 255, 127, 0);
inline const IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline const IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline const IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

// A text style. The font found for it is kept in mCachedFont; the font cache owns it.
struct IText
{
  enum EStyle
  {
    kStyleNormal,
    kStyleBold,
    kStyleItalic
  };
  enum EAlign
  {
    kAlignNear,
    kAlignCenter,
    kAlignFar
  };
  enum EQuality
  {
    kQualityDefault,
    kQualityNonAntiAliased,
    kQualityAntiAliased,
    kQualityClearType
  };

  static constexpr int kFontNameSize = 32;

  char mFontName[kFontNameSize];
  int mSize;
  IColor mColor;
  IColor mEntryBackColor = DEFAULT_TEXT_ENTRY_BGCOLOR;
  IColor mEntryTextColor = DEFAULT_TEXT_ENTRY_FGCOLOR;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;  // degrees
  EQuality mQuality;
  LICE_IFont* mCachedFont = nullptr;

  // A font name longer than the field is cut (at a character boundary) and terminated.
  explicit IText(int size = 10, const IColor* color = nullptr, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault);
  explicit IText(const IColor* color);

  void SetFontName(const char* font);
};

// A loaded image: one or more frames side by side (horizontal) or stacked.
struct IBitmap
{
  LICE_IBitmap* mBitmap = nullptr;  // owned by the bitmap cache; null when loading failed
  int W = 0, H = 0, N = 1;
  bool mHorizontal = false;

  IBitmap() = default;
  IBitmap(LICE_IBitmap* bitmap, int w, int h, int n = 1, bool horizontal = false)
      : mBitmap(bitmap), W(w), H(h), N(n), mHorizontal(horizontal)
  {
  }
  int FrameWidth() const { return mHorizontal && N > 0 ? W / N : W; }
  int FrameHeight() const { return !mHorizontal && N > 0 ? H / N : H; }
};

struct IChannelBlend
{
  enum EBlendMethod
  {
    kBlendNone,
    kBlendClobber,
    kBlendAdd,
    kBlendColorDodge
  };
  EBlendMethod mMethod;
  float mWeight;

  IChannelBlend(EBlendMethod method = kBlendNone, float weight = 1.0f) : mMethod(method), mWeight(weight) {}
};

// The raster blend mode of a blend; a null blend is a source-alpha copy at weight 1.
int LiceBlendMode(const IChannelBlend* blend);
float LiceWeight(const IChannelBlend* blend);

struct IMouseMod
{
  bool L = false, R = false, S = false, C = false, A = false;

  IMouseMod() = default;
  IMouseMod(bool l, bool r = false, bool s = false, bool c = false, bool a = false) : L(l), R(r), S(s), C(c), A(a) {}
};

// Which way a control's value runs on the screen.
enum EDirection
{
  kVertical,
  kHorizontal
};

enum EFileAction
{
  kFileOpen,
  kFileSave
};
