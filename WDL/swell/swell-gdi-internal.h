#pragma once

// The records behind HDC and HGDIOBJ, shared by the files of the drawing layer only.

#include "swell-types.h"

#include "platform/graphics/cg_types.h"
#include "platform/text/core_text.h"

#include <cstdint>
#include <mutex>

class SwellImage;

enum GdiObjectType
{
  kGdiPen = 1,
  kGdiBrush = 2,
  kGdiFont = 3,
  kGdiImage = 4,  // bitmaps and icons alike
};

// Font quality as stored: 0 leaves the context's anti-aliasing alone.
enum GdiFontQuality : unsigned char
{
  kFontQualityDefault = 0,
  kFontQualityAliased = 3,
  kFontQualityAntialiased = 4,
};

struct HGDIOBJ__
{
  int type;
  int additionalReferences;  // clones still to be deleted before the record goes
  cocoa::CGColorRef color;   // pens and brushes
  int wid;                   // pen width; 0 for brushes; -1 in the stock objects; 1 for an owned image
  SwellImage* image;
  bool inPool;
  HGDIOBJ__* poolNext;
  cocoa::CTFontRef font;
  unsigned char quality;
  // A record selected in a context is never recycled: deleting it then only marks it,
  // and the last context to let go of it hands it back to the pool.
  int selections;
  bool deletedWhileSelected;
};

struct HDC__
{
  cocoa::CGContextRef ctx;
  void* ownedBuffer;  // memory contexts: the raw allocation; null when the context is borrowed
  HGDIOBJ curpen;
  HGDIOBJ curbrush;
  HGDIOBJ curfont;
  int curtextcol;
  int curbkcol;
  int curbkmode;
  float lastpos_x;
  float lastpos_y;
  bool inPool;
  HDC__* poolNext;
  cocoa::CGColorRef curtextcolor;  // null until a text colour is set
  unsigned char* pixels;           // memory contexts: the first, aligned pixel
  int width;
  int height;
};

// Values below this are pseudo-handles or nothing, never records.
constexpr uintptr_t kFirstRealHandle = 5;

inline bool isRecordHandle(const void* handle)
{
  return reinterpret_cast<uintptr_t>(handle) >= kFirstRealHandle;
}

inline bool isLiveContext(HDC dc)
{
  return dc && !dc->inPool;
}

inline bool isLiveGdiObject(HGDIOBJ obj)
{
  return isRecordHandle(obj) && !obj->inPool && !obj->deletedWhileSelected;
}

inline bool isLiveGdiObjectOfType(HGDIOBJ obj, int type)
{
  return isLiveGdiObject(obj) && obj->type == type;
}

// The pen or brush of a context that draws: live, of its type and not a stock null object.
inline HGDIOBJ usablePen(HDC dc)
{
  return isLiveGdiObjectOfType(dc->curpen, kGdiPen) && dc->curpen->wid >= 0 ? dc->curpen : nullptr;
}

inline HGDIOBJ usableBrush(HGDIOBJ brush)
{
  return isLiveGdiObjectOfType(brush, kGdiBrush) && brush->wid >= 0 ? brush : nullptr;
}

// The longest prefix of at most `limit` bytes of a text of `length` bytes that does not end
// inside a UTF-8 sequence.
inline size_t utf8PrefixLength(const char* text, size_t length, size_t limit)
{
  if (length <= limit) return length;
  while (limit > 0 && (static_cast<unsigned char>(text[limit]) & 0xC0) == 0x80) --limit;
  return limit;
}

inline double colourComponent(int colour, int shift)
{
  return ((colour >> shift) & 0xFF) / 255.0;
}

// 0x00RRGGBB to a platform colour.
cocoa::CGColorRef createGdiColour(int colour, double alpha);

// Record pools (swell-gdi-pool.cpp). Taken records are zeroed; given-back records are
// recycled or freed when the pool is full.
// Guards both pools and the reference and selection counts of object records.
std::recursive_mutex& gdiPoolMutex();
HDC__* takeContextRecord();
void giveBackContextRecord(HDC__* dc);
HGDIOBJ__* takeObjectRecord();
// Releases what the record holds and recycles it, unless a context still selects it.
void deleteObjectRecord(HGDIOBJ__* obj);
// Selection bookkeeping: a context starts or stops holding the object in a slot.
void noteSelected(HGDIOBJ obj);
void noteDeselected(HGDIOBJ obj);
bool isStockObject(HGDIOBJ obj);

// What the pools hold and how many records exist, for the tests of their bounds.
struct GdiPoolCounts
{
  int pooledContexts;
  int pooledObjects;
  long contextRecords;
  long objectRecords;
};
GdiPoolCounts gdiPoolCounts();

// The 10-point label font every context falls back to (swell-text.cpp).
cocoa::CTFontRef GetCoreTextDefaultFont();

// The font of a context for text: its live selected font, else the default font.
cocoa::CTFontRef contextFont(HDC dc);

// Entry n of an image list (a bitmap or icon), null when there is none.
HGDIOBJ swellImageListEntry(HIMAGELIST list, int index);
