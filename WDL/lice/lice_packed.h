#pragma once

// Copy-mode mixes at fixed weights on whole pixels: every byte is shifted and masked
// separately, so the sums never carry from one channel into the next. The alpha
// byte mixes like the colour bytes.

namespace lice
{
inline unsigned int Half(unsigned int p) { return (p >> 1) & 0x7F7F7F7Fu; }
inline unsigned int Quarter(unsigned int p) { return (p >> 2) & 0x3F3F3F3Fu; }
inline unsigned int Eighth(unsigned int p) { return (p >> 3) & 0x1F1F1F1Fu; }
}  // namespace lice

struct _LICE_CombinePixelsClobberFAST
{
  static inline void doPix(unsigned int* dest, unsigned int c) { *dest = c; }
};

struct _LICE_CombinePixelsHalfMix2FAST
{
  static inline void doPix(unsigned int* dest, unsigned int c) { *dest = lice::Half(c) + lice::Half(*dest); }
};

struct _LICE_CombinePixelsHalfMixFAST
{
  static inline void doPix(unsigned int* dest, unsigned int c) { *dest = lice::Half(c) + lice::Half(*dest); }
};

struct _LICE_CombinePixelsQuarterMix2FAST
{
  static inline void doPix(unsigned int* dest, unsigned int c)
  {
    const unsigned int d = *dest;
    *dest = lice::Quarter(c) + lice::Half(d) + lice::Quarter(d);
  }
};

struct _LICE_CombinePixelsThreeQuarterMix2FAST
{
  static inline void doPix(unsigned int* dest, unsigned int c)
  {
    *dest = lice::Half(c) + lice::Quarter(c) + lice::Quarter(*dest);
  }
};
