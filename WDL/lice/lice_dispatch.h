#pragma once

#include "lice_combine.h"

// One place for each selection of a combine operation from a blend mode. Each
// calls back with a value of the chosen type, so the caller's loop is instantiated
// per operation; false when the mode or weight draws nothing.
namespace lice
{
// Blits: (mode & 0x100FF); full-weight copy stores, full-weight source alpha trusts
// the pixel's own alpha.
template <class F>
bool DispatchBlit(int mode, int w, F&& f)
{
  if (w == 0) return false;
  switch (mode & (BLEND_SOURCE_ALPHA | BLEND_OP_MASK))
  {
  case BLEND_COPY:
    if (w < 1) return false;
    if (w == 256) f(_LICE_CombinePixelsClobberNoClamp{});
    else f(_LICE_CombinePixelsCopyNoClamp{});
    return true;
  case BLEND_ADD: f(_LICE_CombinePixelsAdd{}); return true;
  case BLEND_DODGE: f(_LICE_CombinePixelsColorDodge{}); return true;
  case BLEND_MULTIPLY: f(_LICE_CombinePixelsMulNoClamp{}); return true;
  case BLEND_OVERLAY: f(_LICE_CombinePixelsOverlay{}); return true;
  case BLEND_HSV_ADJUST: f(_LICE_CombinePixelsHSVAdjust{}); return true;
  case BLEND_SOURCE_ALPHA | BLEND_COPY:
    if (w == 256) f(_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp{});
    else f(_LICE_CombinePixelsCopySourceAlphaNoClamp{});
    return true;
  case BLEND_SOURCE_ALPHA | BLEND_ADD: f(_LICE_CombinePixelsAddSourceAlpha{}); return true;
  case BLEND_SOURCE_ALPHA | BLEND_DODGE: f(_LICE_CombinePixelsColorDodgeSourceAlpha{}); return true;
  case BLEND_SOURCE_ALPHA | BLEND_MULTIPLY: f(_LICE_CombinePixelsMulSourceAlphaNoClamp{}); return true;
  case BLEND_SOURCE_ALPHA | BLEND_OVERLAY: f(_LICE_CombinePixelsOverlaySourceAlpha{}); return true;
  case BLEND_SOURCE_ALPHA | BLEND_HSV_ADJUST: f(_LICE_CombinePixelsHSVAdjustSourceAlpha{}); return true;
  default: return false;
  }
}

// The clamped component form: as DispatchBlit, with the clamping copy and multiply
// rules in place of the plain ones.
template <class F>
bool DispatchBlitClamped(int mode, int w, F&& f)
{
  if (w == 0) return false;
  switch (mode & (BLEND_SOURCE_ALPHA | BLEND_OP_MASK))
  {
  case BLEND_COPY:
    if (w < 1) return false;
    if (w == 256) f(_LICE_CombinePixelsClobberClamp{});
    else f(_LICE_CombinePixelsCopyClamp{});
    return true;
  case BLEND_MULTIPLY: f(_LICE_CombinePixelsMulClamp{}); return true;
  case BLEND_SOURCE_ALPHA | BLEND_COPY:
    if (w == 256) f(_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp{});
    else f(_LICE_CombinePixelsCopySourceAlphaClamp{});
    return true;
  case BLEND_SOURCE_ALPHA | BLEND_MULTIPLY: f(_LICE_CombinePixelsMulSourceAlphaClamp{}); return true;
  default: return DispatchBlit(mode, w, f);
  }
}

// Routines whose components may leave 0..255 (gradients, walked alpha): the clamped
// rules by (mode & 0xFF), the source-alpha flag ignored.
template <class F>
bool DispatchClamped(int mode, F&& f)
{
  switch (mode & BLEND_OP_MASK)
  {
  case BLEND_COPY: f(_LICE_CombinePixelsCopyClamp{}); return true;
  case BLEND_ADD: f(_LICE_CombinePixelsAdd{}); return true;
  case BLEND_DODGE: f(_LICE_CombinePixelsColorDodge{}); return true;
  case BLEND_MULTIPLY: f(_LICE_CombinePixelsMulClamp{}); return true;
  case BLEND_OVERLAY: f(_LICE_CombinePixelsOverlay{}); return true;
  case BLEND_HSV_ADJUST: f(_LICE_CombinePixelsHSVAdjust{}); return true;
  default: return false;
  }
}

// Shapes and fills: (mode & 0xFF) only; copy at other weights than the caller's
// packed ones uses the copy rule.
template <class F>
bool DispatchShape(int mode, int w, F&& f)
{
  if (w == 0) return false;
  switch (mode & BLEND_OP_MASK)
  {
  case BLEND_COPY:
    if (w < 1) return false;
    f(_LICE_CombinePixelsCopyNoClamp{});
    return true;
  case BLEND_ADD: f(_LICE_CombinePixelsAdd{}); return true;
  case BLEND_DODGE: f(_LICE_CombinePixelsColorDodge{}); return true;
  case BLEND_MULTIPLY: f(_LICE_CombinePixelsMulNoClamp{}); return true;
  case BLEND_OVERLAY: f(_LICE_CombinePixelsOverlay{}); return true;
  case BLEND_HSV_ADJUST: f(_LICE_CombinePixelsHSVAdjust{}); return true;
  default: return false;
  }
}

// Lines, dashes and plain circles: as DispatchShape, except that copy mode stores
// the colour at full weight and mixes it half and half at weight 128.
template <class F>
bool DispatchShapeStore(int mode, int w, F&& f)
{
  if ((mode & BLEND_OP_MASK) == BLEND_COPY)
  {
    if (w == 256)
    {
      f(_LICE_CombinePixelsClobberNoClamp{});
      return true;
    }
    if (w == 128)
    {
      f(_LICE_CombinePixelsHalfMixNoClamp{});
      return true;
    }
  }
  return DispatchShape(mode, w, f);
}

// Copy mode at the weights with a packed rule; false for every other weight.
inline bool PackedCopy(unsigned int* dest, unsigned int color, int w);
}  // namespace lice

#include "lice_packed.h"

inline bool lice::PackedCopy(unsigned int* dest, unsigned int color, int w)
{
  switch (w)
  {
  case 64: _LICE_CombinePixelsQuarterMix2FAST::doPix(dest, color); return true;
  case 128: _LICE_CombinePixelsHalfMix2FAST::doPix(dest, color); return true;
  case 192: _LICE_CombinePixelsThreeQuarterMix2FAST::doPix(dest, color); return true;
  case 256: _LICE_CombinePixelsClobberFAST::doPix(dest, color); return true;
  default: return false;
  }
}
