#include "swell-gdi-internal.h"
#include "swell-image.h"

#include "platform/graphics/cg_context.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

// Contexts come and go with every paint and objects with every font or pen a caller
// makes, so released records wait in bounded free lists instead of going back to the heap.

namespace
{
constexpr int kMaxPooledContexts = 100;
constexpr int kMaxPooledObjects = 200;

HDC__* s_contextPool = nullptr;
int s_contextPoolSize = 0;
HGDIOBJ__* s_objectPool = nullptr;
int s_objectPoolSize = 0;
long s_contextRecords = 0;
long s_objectRecords = 0;

HGDIOBJ__ s_nullPen = {kGdiPen, 0, nullptr, -1, nullptr, false, nullptr, nullptr, 0, 0, false};
HGDIOBJ__ s_nullBrush = {kGdiBrush, 0, nullptr, -1, nullptr, false, nullptr, nullptr, 0, 0, false};

void recycleObjectRecord(HGDIOBJ__* obj)
{
  cocoa::CGColorRelease(obj->color);
  cocoa::CTFontRelease(obj->font);
  if (obj->image && obj->wid) obj->image->release();
  std::memset(obj, 0, sizeof(*obj));

  std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
  if (s_objectPoolSize >= kMaxPooledObjects)
  {
    --s_objectRecords;
    std::free(obj);
    return;
  }
  obj->inPool = true;
  obj->poolNext = s_objectPool;
  s_objectPool = obj;
  ++s_objectPoolSize;
}
}  // namespace

std::recursive_mutex& gdiPoolMutex()
{
  static auto* mutex = new std::recursive_mutex;
  return *mutex;
}

HDC__* takeContextRecord()
{
  HDC__* dc = nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    if (s_contextPool)
    {
      dc = s_contextPool;
      s_contextPool = dc->poolNext;
      --s_contextPoolSize;
    }
  }
  if (dc)
  {
    std::memset(dc, 0, sizeof(*dc));
    return dc;
  }
  dc = static_cast<HDC__*>(std::calloc(1, sizeof(HDC__)));
  if (dc)
  {
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    ++s_contextRecords;
  }
  return dc;
}

void giveBackContextRecord(HDC__* dc)
{
  std::memset(dc, 0, sizeof(*dc));
  std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
  if (s_contextPoolSize >= kMaxPooledContexts)
  {
    --s_contextRecords;
    std::free(dc);
    return;
  }
  dc->inPool = true;
  dc->poolNext = s_contextPool;
  s_contextPool = dc;
  ++s_contextPoolSize;
}

HGDIOBJ__* takeObjectRecord()
{
  HGDIOBJ__* obj = nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    if (s_objectPool)
    {
      obj = s_objectPool;
      s_objectPool = obj->poolNext;
      --s_objectPoolSize;
    }
  }
  if (obj)
  {
    std::memset(obj, 0, sizeof(*obj));
    return obj;
  }
  obj = static_cast<HGDIOBJ__*>(std::calloc(1, sizeof(HGDIOBJ__)));
  if (obj)
  {
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    ++s_objectRecords;
  }
  return obj;
}

void deleteObjectRecord(HGDIOBJ__* obj)
{
  {
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    if (obj->selections > 0)
    {
      obj->deletedWhileSelected = true;
      return;
    }
  }
  recycleObjectRecord(obj);
}

void noteSelected(HGDIOBJ obj)
{
  if (!isRecordHandle(obj) || isStockObject(obj)) return;
  std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
  ++obj->selections;
}

void noteDeselected(HGDIOBJ obj)
{
  if (!isRecordHandle(obj) || isStockObject(obj)) return;
  bool recycle = false;
  {
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    if (obj->selections > 0) --obj->selections;
    recycle = obj->selections == 0 && obj->deletedWhileSelected;
  }
  if (recycle) recycleObjectRecord(obj);
}

bool isStockObject(HGDIOBJ obj)
{
  return obj == &s_nullPen || obj == &s_nullBrush;
}

HGDIOBJ GetStockObject(int index)
{
  if (index == NULL_PEN) return &s_nullPen;
  if (index == NULL_BRUSH) return &s_nullBrush;
  return nullptr;
}

GdiPoolCounts gdiPoolCounts()
{
  std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
  return {s_contextPoolSize, s_objectPoolSize, s_contextRecords, s_objectRecords};
}

cocoa::CGColorRef createGdiColour(int colour, double alpha)
{
  return cocoa::CGColorCreateGenericRGB(colourComponent(colour, 16), colourComponent(colour, 8),
                                        colourComponent(colour, 0), alpha);
}
