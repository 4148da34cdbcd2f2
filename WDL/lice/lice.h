#pragma once

// The raster library: free functions on LICE_IBitmap. None reports errors: a null
// bitmap, null pixels, a zero weight or an empty clipped area draw nothing. Every
// float entry point also draws nothing unless its coordinates, sizes and angles are
// finite and within the limits of lice_limits.h.

#include "lice_bitmap.h"
#include "lice_blend.h"
#include "swell-types.h"

// Single pixels combined by a blend mode.
unsigned int LICE_CombinePixels(unsigned int dest, unsigned int src, float alpha, int mode);
void LICE_CombinePixels2(unsigned int* dest, int r, int g, int b, int a, int weight, int mode);
void LICE_CombinePixels2Clamp(unsigned int* dest, int r, int g, int b, int a, int weight, int mode);

// Plain blits and rectangles.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect, float alpha, int mode);
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
               float alpha, int mode);
void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src);
void LICE_FillRect(LICE_IBitmap* bmp, int x, int y, int w, int h, unsigned int color, float alpha, int mode);
void LICE_ClearRect(LICE_IBitmap* bmp, int x, int y, int w, int h, unsigned int mask, unsigned int orbits);
void LICE_Clear(LICE_IBitmap* bmp, unsigned int color);
void LICE_MultiplyAddRect(LICE_IBitmap* bmp, int x, int y, int w, int h, float rsc, float gsc, float bsc, float asc,
                          float radd, float gadd, float badd, float aadd);
void LICE_ProcessRect(LICE_IBitmap* bmp, int x, int y, int w, int h, void (*procFunc)(unsigned int* p, void* parm),
                      void* parm);
unsigned int LICE_GetPixel(LICE_IBitmap* bmp, int x, int y);
void LICE_PutPixel(LICE_IBitmap* bmp, int x, int y, unsigned int color, float alpha, int mode);

// Scaled, warped and rotated blits; source positions are walked in 16.16 fixed point.
void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float alpha, int mode);
void LICE_DeltaBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy, double dtdy,
                    double dsdxdy, double dtdxdy, bool cliptosourcerect, float alpha, int mode);
void LICE_DeltaBlitAlpha(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                         float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy, double dtdy,
                         double dsdxdy, double dtdxdy, bool cliptosourcerect, float alpha, int mode, double dadx,
                         double dady, double dadxdy);
void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                      float srcy, float srcw, float srch, float angle, bool cliptosourcerect, float alpha, int mode,
                      float rotxcent, float rotycent);
void LICE_TransformBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        const float* srcpoints, int div_w, int div_h, float alpha, int mode);
void LICE_TransformBlit2(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                         const double* srcpoints, int div_w, int div_h, float alpha, int mode);
void LICE_TransformBlit2Alpha(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                              const double* srcpoints, int div_w, int div_h, int mode);

// Whole-rectangle utilities.
void LICE_GradRect(LICE_IBitmap* bmp, int x, int y, int w, int h, float ir, float ig, float ib, float ia, float drdx,
                   float dgdx, float dbdx, float dadx, float drdy, float dgdy, float dbdy, float dady, int mode);
void LICE_Blur(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch);
void LICE_HalveBlitAA(LICE_IBitmap* dest, LICE_IBitmap* src);
void LICE_SetAlphaFromColorMask(LICE_IBitmap* bmp, unsigned int color);
void LICE_SimpleFill(LICE_IBitmap* bmp, int x, int y, unsigned int newcolor, unsigned int comparemask,
                     unsigned int keepmask);
int LICE_BitmapCmp(LICE_IBitmap* a, LICE_IBitmap* b, int* coords);
int LICE_BitmapCmpEx(LICE_IBitmap* a, LICE_IBitmap* b, unsigned int mask, int* coords);

// Lines between integer end points, both ends included; any slope, plain or
// anti-aliased. LICE_ClipLine clips the ends to [xLo, xHi) x [yLo, yHi) in place and
// says whether anything is left to draw.
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, unsigned int color, float alpha, int mode, bool aa);
bool LICE_ClipLine(int* pX1, int* pY1, int* pX2, int* pY2, int xLo, int yLo, int xHi, int yHi);

// Lines between float end points (anti-aliased ones placed to the sub-pixel), and
// dashed horizontal or vertical lines of onPixels drawn and offPixels skipped.
void LICE_FLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, unsigned int color, float alpha, int mode,
                bool aa);
void LICE_DashedLine(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int onPixels, int offPixels,
                     unsigned int color, float alpha, int mode, bool aa);
bool LICE_ClipFLine(float* pX1, float* pY1, float* pX2, float* pY2, float xLo, float yLo, float xHi, float yHi);

// Outlines and area fills on whole pixels, without anti-aliasing.
void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, unsigned int color, float alpha, int mode);
void LICE_BorderedRect(LICE_IBitmap* dest, int x, int y, int w, int h, unsigned int bgcolor, unsigned int fgcolor,
                       float alpha, int mode);
void LICE_FillTrapezoid(LICE_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2, unsigned int color,
                        float alpha, int mode);
void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints, unsigned int color,
                            float alpha, int mode);
void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, unsigned int color,
                       float alpha, int mode);

// Coverage masks stamped in one colour: 8-bit (one byte per pixel) and 1-bit (most
// significant bit first). A negative span stores the mask's rows bottom-up.
void LICE_DrawGlyphEx(LICE_IBitmap* dest, int x, int y, unsigned int color, const unsigned char* alphas, int glyph_w,
                      int glyph_span, int glyph_h, float alpha, int mode);
void LICE_DrawGlyph(LICE_IBitmap* dest, int x, int y, unsigned int color, const unsigned char* alphas, int glyph_w,
                    int glyph_h, float alpha, int mode);
void LICE_DrawMonoGlyph(LICE_IBitmap* dest, int x, int y, unsigned int color, const unsigned char* alphas, int glyph_w,
                        int glyph_span, int glyph_h, float alpha, int mode);

// Circles, discs, arcs and rounded rectangles. Angles are radians, 0 pointing up and
// growing clockwise.
void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, unsigned int color, float alpha, int mode, bool aa);
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, unsigned int color, float alpha, int mode,
                     bool aa);
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, unsigned int color,
              float alpha, int mode, bool aa);
void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerRadius, unsigned int color,
                    float alpha, int mode, bool aa);

// Bezier curves drawn as chains of float lines (tol: pixels of control-polygon length
// per segment), and cubic fills between the curve and a row or a column.
void LICE_DrawQBezier(LICE_IBitmap* dest, float xstart, float ystart, float xctl, float yctl, float xend, float yend,
                      unsigned int color, float alpha, int mode, bool aa, float tol);
void LICE_DrawCBezier(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2,
                      float yctl2, float xend, float yend, unsigned int color, float alpha, int mode, bool aa,
                      float tol);
void LICE_FillCBezier(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2,
                      float yctl2, float xend, float yend, int yfill, unsigned int color, float alpha, int mode,
                      float tol);
void LICE_FillCBezierX(LICE_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1, float xctl2,
                       float yctl2, float xend, float yend, int xfill, unsigned int color, float alpha, int mode,
                       float tol);

// PNG images; each returns the bitmap it filled (the given one, or a new
// LICE_MemBitmap the caller owns), or null.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp = nullptr);
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp = nullptr);
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp = nullptr);
LICE_IBitmap* LICE_LoadPNGFromResource(void* instance, const char* resid, LICE_IBitmap* bmp = nullptr);

// Image loaders linked into one process-wide list at start-up.
struct _LICE_ImageLoader_rec
{
  LICE_IBitmap* (*loadfunc)(const char* filename, bool checkFileName, LICE_IBitmap* bmp);
  const char* (*get_extlist)();
  _LICE_ImageLoader_rec* _next;
};
extern _LICE_ImageLoader_rec* LICE_ImageLoader_list;
