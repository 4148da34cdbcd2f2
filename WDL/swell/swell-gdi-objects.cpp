#include "swell-gdi.h"
#include "swell-gdi-internal.h"

#include <algorithm>

namespace
{
HGDIOBJ* slotOf(HDC dc, int type)
{
  switch (type)
  {
  case kGdiPen: return &dc->curpen;
  case kGdiBrush: return &dc->curbrush;
  case kGdiFont: return &dc->curfont;
  default: return nullptr;
  }
}

HGDIOBJ pseudoHandle(int type)
{
  return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(type));
}

// What SelectObject reports for a slot: the object when it is a live one of the slot's
// kind, else the pseudo-handle that empties the slot.
HGDIOBJ reportedPrevious(HGDIOBJ previous, int type)
{
  return isLiveGdiObjectOfType(previous, type) ? previous : pseudoHandle(type);
}

HGDIOBJ newColouredObject(int type, int width, int colour, float alpha)
{
  HGDIOBJ__* obj = takeObjectRecord();
  if (!obj) return nullptr;
  obj->type = type;
  obj->wid = width;
  obj->color = createGdiColour(colour, alpha);
  return obj;
}
}  // namespace

HPEN CreatePen(int style, int width, int colour)
{
  return CreatePenAlpha(style, width, colour, 1.0f);
}

HPEN CreatePenAlpha(int, int width, int colour, float alpha)
{
  return newColouredObject(kGdiPen, std::max(width, 0), colour, alpha);
}

HBRUSH CreateSolidBrush(int colour)
{
  return CreateSolidBrushAlpha(colour, 1.0f);
}

HBRUSH CreateSolidBrushAlpha(int colour, float alpha)
{
  return newColouredObject(kGdiBrush, 0, colour, alpha);
}

BOOL DeleteObject(HGDIOBJ obj)
{
  if (!isLiveGdiObject(obj) || isStockObject(obj)) return 0;
  {
    std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
    if (obj->additionalReferences > 0)
    {
      --obj->additionalReferences;
      return 1;
    }
  }
  if (obj->type < kGdiPen || obj->type > kGdiImage) return 0;
  if ((obj->type == kGdiPen || obj->type == kGdiBrush) && obj->wid < 0) return 0;
  deleteObjectRecord(obj);
  return 1;
}

HGDIOBJ SWELL_CloneGDIObject(HGDIOBJ obj)
{
  if (!isLiveGdiObject(obj)) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(gdiPoolMutex());
  ++obj->additionalReferences;
  return obj;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj)
{
  if (!isLiveContext(dc)) return nullptr;

  const uintptr_t value = reinterpret_cast<uintptr_t>(obj);
  if (value >= kGdiPen && value <= kGdiFont)
  {
    const int type = static_cast<int>(value);
    HGDIOBJ* slot = slotOf(dc, type);
    const HGDIOBJ previous = *slot;
    const HGDIOBJ result = reportedPrevious(previous, type);
    *slot = nullptr;
    noteDeselected(previous);
    return result;
  }

  if (!isLiveGdiObject(obj)) return nullptr;
  HGDIOBJ* slot = slotOf(dc, obj->type);
  if (!slot) return nullptr;  // bitmaps and icons are not selected
  const HGDIOBJ previous = *slot;
  if (previous == obj) return obj;
  const HGDIOBJ result = reportedPrevious(previous, obj->type);
  *slot = obj;
  noteSelected(obj);
  noteDeselected(previous);
  return result;
}
