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
// A bounded free list of one kind of record, with the count of records that exist.
template <class Record, int kMaxPooled>
struct RecordPool
{
  Record* head = nullptr;
  int size = 0;
  long records = 0;

  Record* take()
  {
    Record* record = nullptr;
    {
      std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
      if (head)
      {
        record = head;
        head = record->poolNext;
        --size;
      }
    }
    if (record)
    {
      std::memset(record, 0, sizeof(*record));
      return record;
    }
    record = static_cast<Record*>(std::calloc(1, sizeof(Record)));
    if (record)
    {
      std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
      ++records;
    }
    return record;
  }

  void giveBack(Record* record)
  {
    std::memset(record, 0, sizeof(*record));
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    if (size >= kMaxPooled)
    {
      --records;
      std::free(record);
      return;
    }
    record->inPool = true;
    record->poolNext = head;
    head = record;
    ++size;
  }
};

RecordPool<HDC__, 100> m_ctxpool;
RecordPool<HGDIOBJ__, 200> m_objpool;

HGDIOBJ__ s_nullPen = {kGdiPen, 0, nullptr, -1, nullptr, false, nullptr, nullptr, 0, 0, false};
HGDIOBJ__ s_nullBrush = {kGdiBrush, 0, nullptr, -1, nullptr, false, nullptr, nullptr, 0, 0, false};

void recycleObjectRecord(HGDIOBJ__* obj)
{
  cocoa::CGColorRelease(obj->color);
  cocoa::CTFontRelease(obj->font);
  if (obj->image && obj->wid) obj->image->release();
  m_objpool.giveBack(obj);
}
}  // namespace

std::recursive_mutex& gdiPoolMutex()
{
  static auto* m_ctxpool_mutex = new std::recursive_mutex;
  return *m_ctxpool_mutex;
}

HDC__* takeContextRecord()
{
  return m_ctxpool.take();
}

void giveBackContextRecord(HDC__* dc)
{
  m_ctxpool.giveBack(dc);
}

HGDIOBJ__* takeObjectRecord()
{
  return m_objpool.take();
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
  return {m_ctxpool.size, m_objpool.size, m_ctxpool.records, m_objpool.records};
}

cocoa::CGColorRef createGdiColour(int colour, double alpha)
{
  return cocoa::CGColorCreateGenericRGB(colourComponent(colour, 16), colourComponent(colour, 8),
                                        colourComponent(colour, 0), alpha);
}
