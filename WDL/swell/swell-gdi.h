#pragma once

#include "swell-types.h"

// Drawing contexts (HDC) and the objects drawn with them (HGDIOBJ). Colours are
// 0x00RRGGBB: red in bits 16-23, blue in bits 0-7. Handles below 5 are never records: in
// SelectObject 1, 2 and 3 stand for the empty pen, brush and font slot. A null or released
// context or object makes every call do nothing and answer its failure value. Contexts and
// objects may be made and released on any thread; drawing belongs to the thread that owns
// the context.

// ---- contexts

// A context over a zeroed block of 32-bit XRGB pixels (bytes blue, green, red, then one
// ignored byte), rows top-down, stride width * 4 bytes, the first pixel on a 64-byte
// boundary; y grows downward; text colour black. The pixels stay at one address for the
// context's life. Null when a side is below 1, the size exceeds the pixel-memory cap, or
// memory cannot be had. The template context is ignored.
HDC SWELL_CreateMemContext(HDC templateContext, int width, int height);
// A context drawing into the graphics port of a platform graphics context
// (cocoa::NSGraphicsContext*), which it does not own.
HDC SWELL_CreateGfxContext(void* nsGraphicsContext);
// A context with nothing to draw into, for collecting the colours a window procedure sets.
HDC SWELL_GDP_CTX_NEW();
// Releases a context (and the pixel memory of a memory context); null is ignored.
void SWELL_DeleteGfxContext(HDC context);
// The platform graphics context (cocoa::CGContextRef).
void* SWELL_GetCtxGC(HDC context);
// The top-left pixel of a memory context; null for other contexts.
void* SWELL_GetCtxFrameBuffer(HDC context);
// True when one unit of the context covers more than 1.9 device pixels.
bool SWELL_IsRetinaDC(HDC context);
bool SWELL_IsRetinaHWND(HWND hwnd);

// A window's context: its paint context while it paints, else one made over the view.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
void ReleaseDC(HWND hwnd, HDC context);

// Clipping: push saves, set narrows to the rectangle, pop restores the last push.
void SWELL_PushClipRegion(HDC context);
void SWELL_SetClipRegion(HDC context, const RECT* rect);
void SWELL_PopClipRegion(HDC context);

void SetTextColor(HDC context, int colour);
// -1 for a null or released context.
int GetTextColor(HDC context);
void SetBkColor(HDC context, int colour);
// OPAQUE (1) fills behind text; any other value leaves the background.
void SetBkMode(HDC context, int mode);

// ---- objects

HPEN CreatePen(int style, int width, int colour);
HPEN CreatePenAlpha(int style, int width, int colour, float alpha);
HBRUSH CreateSolidBrush(int colour);
HBRUSH CreateSolidBrushAlpha(int colour, float alpha);
// Size |height|, or |width| when height is 0; outside 2..8192 it is 10. Weight 700 or more
// asks for the bold face, italic for the italic one. Null only when no font can be made.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, BOOL italic, BOOL underline,
                 BOOL strikeout, int charset, int outputPrecision, int clipPrecision, int quality,
                 int pitchAndFamily, const char* face);
HFONT CreateFontIndirect(const LOGFONT* font);
// Takes one clone's reference, or releases the object. An object still selected in a
// context draws nothing there from now on and is recycled once no context selects it.
BOOL DeleteObject(HGDIOBJ obj);
// The previous object of that kind, or the pseudo-handle of its kind when none was selected.
HGDIOBJ SelectObject(HDC context, HGDIOBJ obj);
// The same handle with one more reference to delete.
HGDIOBJ SWELL_CloneGDIObject(HGDIOBJ obj);
// NULL_PEN and NULL_BRUSH, which draw nothing; null for any other index.
HGDIOBJ GetStockObject(int index);
// Bitmaps only: fills a BITMAP record of `size` bytes; 1 when it was a bitmap.
int GetObject(HGDIOBJ obj, int size, void* out);
// The image of a bitmap or icon (a SwellImage), or null.
void* GetNSImageFromHICON(HICON icon);
int AddFontResourceEx(const char* path, unsigned flags, void* reserved);
int GetSysColor(int index);
int SWELL_GDI_GetOSXVersion();

// ---- images

// A path containing '/' is read as a PNG file; other names (or a path that does not load)
// come from the application's images. With the flag, opaque 0xFF00FF pixels become
// transparent.
HICON LoadNamedImage(const char* name, bool magentaIsTransparent);
// 32 bits per pixel only: rows of width × 4 bytes, each pixel a little-endian 0xAARRGGBB.
HBITMAP CreateBitmap(int width, int height, int planes, int bitsPerPixel, const unsigned char* bits);
HICON CreateIconIndirect(const ICONINFO* info);
void DrawImageInRect(HDC context, HGDIOBJ image, const RECT* rect);

HIMAGELIST ImageList_CreateEx();
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
int ImageList_Remove(HIMAGELIST list, int index);
void ImageList_Destroy(HIMAGELIST list);

// ---- drawing

void MoveToEx(HDC context, int x, int y, POINT* previous);
void SWELL_LineTo(HDC context, int x, int y);
void PolyBezierTo(HDC context, const POINT* points, int count);
void PolyPolyline(HDC context, const POINT* points, const unsigned* counts, int polylines);
void SWELL_Polygon(HDC context, const POINT* points, int count);
void Rectangle(HDC context, int left, int top, int right, int bottom);
void RoundRect(HDC context, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
void Ellipse(HDC context, int left, int top, int right, int bottom);
// Fills with the brush given (the selected brush plays no part).
void SWELL_FillRect(HDC context, const RECT* rect, HBRUSH brush);
void SWELL_SetPixel(HDC context, int x, int y, int colour);
void SWELL_FillDialogBackground(HDC context, const RECT* rect, int ignored);

// The source must be a memory context. A source rectangle reaching outside the source
// draws only its inside part, where it would have landed.
void BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int rop);
void StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, int rop);
