// Combo boxes by dialog and id: items, selection, item data and finding. A drop-down list
// keeps its items as menu items of its pop-up, an editable combo box as object values with
// a data slot each.

#include "swell-ctl-classes.h"
#include "swell-misc.h"
#include "swell-sdh.h"
#include "swell-wnd.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

using namespace cocoa;

namespace
{
constexpr int kAppend = -1000;
constexpr int kFindBufferBytes = 4096;
constexpr int kTextLengthSlack = 64;

struct Combo
{
  Swell_vVorna_cbox* editable = nullptr;
  NSPopUpButton* list = nullptr;
  explicit operator bool() const { return editable || list; }
  int count() const
  {
    return editable ? static_cast<int>(editable->numberOfItems()) : list ? static_cast<int>(list->numberOfItems()) : 0;
  }
  NSString text(int index) const
  {
    return editable ? editable->itemObjectValueAtIndex(index) : list->itemTitleAtIndex(index);
  }
  int style() const
  {
    if (editable) return editable->getSwellStyle();
    auto* pub = dynamic_cast<Swell_vVorna_pub*>(list);
    return pub ? pub->getSwellStyle() : 0;
  }
};

Combo comboAt(HWND hwnd, int id)
{
  NSObject* object = swellObjectOf(id ? GetDlgItem(hwnd, id) : hwnd);
  Combo combo;
  combo.editable = dynamic_cast<Swell_vVorna_cbox*>(object);
  if (!combo.editable) combo.list = dynamic_cast<NSPopUpButton*>(object);
  return combo;
}

bool inRange(const Combo& combo, int index)
{
  return index >= 0 && index < combo.count();
}

int compareTexts(const NSString& a, const NSString& b)
{
  return std::strcmp(a.UTF8String(), b.UTF8String());
}

// The place a new text takes among sorted items: in front of an equal one.
int sortedPosition(const Combo& combo, const NSString& text)
{
  const int n = combo.count();
  int lo = 0;
  int len = n;
  while (len > 0)
  {
    const int mid = lo + len / 2;
    const int c = compareTexts(text, combo.text(mid));
    if (c == 0) return mid;
    if (c < 0)
    {
      len /= 2;
      continue;
    }
    if (mid + 1 == n) return n;
    if (compareTexts(text, combo.text(mid + 1)) <= 0) return mid + 1;
    lo = mid + 1;
    len = (len - 1) / 2;
  }
  return 0;
}
}  // namespace

int SWELL_CB_InsertString(HWND hwnd, int id, int pos, const char* text)
{
  const Combo combo = comboAt(hwnd, id);
  if (!combo) return 0;
  const NSString value(text ? text : "");
  const int n = combo.count();
  if (pos == kAppend) pos = (combo.style() & CBS_SORT) ? sortedPosition(combo, value) : n;
  pos = std::clamp(pos, 0, n);
  if (combo.editable)
  {
    combo.editable->insertItemWithObjectValueAtIndex(value, pos);
    combo.editable->m_ids.insert(combo.editable->m_ids.begin() + pos, 0);
    combo.editable->setNeedsDisplay(true);
    return pos;
  }
  const bool hadSelection = combo.list->indexOfSelectedItem() >= 0;
  auto* item = new NSMenuItem(value, Action::none, NSString());
  item->setEnabled(true);
  combo.list->menu()->insertItem(item, pos);
  item->release();
  // An insert never selects.
  if (!hadSelection) combo.list->selectItemAtIndex(-1);
  combo.list->setNeedsDisplay(true);
  return pos;
}

int SWELL_CB_AddString(HWND hwnd, int id, const char* text)
{
  return SWELL_CB_InsertString(hwnd, id, kAppend, text);
}

void SWELL_CB_DeleteString(HWND hwnd, int id, int index)
{
  const Combo combo = comboAt(hwnd, id);
  if (!inRange(combo, index)) return;
  if (combo.list)
  {
    combo.list->removeItemAtIndex(index);
    return;
  }
  combo.editable->removeItemAtIndex(index);
  auto& ids = combo.editable->m_ids;
  if (index < static_cast<int>(ids.size())) ids.erase(ids.begin() + index);
  combo.editable->setNeedsDisplay(true);
}

int SWELL_CB_GetNumItems(HWND hwnd, int id)
{
  return comboAt(hwnd, id).count();
}

int SWELL_CB_GetCurSel(HWND hwnd, int id)
{
  const Combo combo = comboAt(hwnd, id);
  if (!combo) return -1;
  return static_cast<int>(combo.editable ? combo.editable->indexOfSelectedItem() : combo.list->indexOfSelectedItem());
}

int SWELL_CB_GetItemText(HWND hwnd, int id, int index, char* buf, int size)
{
  if (buf && size > 0) buf[0] = 0;
  const Combo combo = comboAt(hwnd, id);
  if (!inRange(combo, index)) return -1;
  const NSString text = combo.text(index);
  if (!buf) return static_cast<int>(text.str().size()) + kTextLengthSlack;
  SWELL_CFStringToCString(&text, buf, size);
  return 1;
}

void SWELL_CB_Empty(HWND hwnd, int id)
{
  const Combo combo = comboAt(hwnd, id);
  if (combo.list) combo.list->removeAllItems();
  if (!combo.editable) return;
  combo.editable->removeAllItems();
  combo.editable->m_ids.clear();
  combo.editable->setNeedsDisplay(true);
}

void SWELL_CB_SetCurSel(HWND hwnd, int id, int index)
{
  const Combo combo = comboAt(hwnd, id);
  if (!combo) return;
  const bool valid = inRange(combo, index);
  if (combo.list)
  {
    combo.list->selectItemAtIndex(valid ? index : -1);
    return;
  }
  if (valid) combo.editable->selectItemAtIndex(index);
  else if (combo.editable->indexOfSelectedItem() >= 0)
    combo.editable->deselectItemAtIndex(combo.editable->indexOfSelectedItem());
  combo.editable->setNeedsDisplay(true);
}

LONG_PTR SWELL_CB_GetItemData(HWND hwnd, int id, int index)
{
  const Combo combo = comboAt(hwnd, id);
  if (!inRange(combo, index)) return 0;
  if (combo.list)
  {
    auto* holder = dynamic_cast<Swell_vVorna_sdh*>(combo.list->itemAtIndex(index)->representedObject());
    return holder ? holder->getValue() : 0;
  }
  const auto& ids = combo.editable->m_ids;
  return index < static_cast<int>(ids.size()) ? ids[static_cast<size_t>(index)] : 0;
}

void SWELL_CB_SetItemData(HWND hwnd, int id, int index, LONG_PTR value)
{
  const Combo combo = comboAt(hwnd, id);
  if (!inRange(combo, index)) return;
  if (combo.list)
  {
    auto* holder = new Swell_vVorna_sdh(value);
    combo.list->itemAtIndex(index)->setRepresentedObject(holder);
    holder->release();
    return;
  }
  auto& ids = combo.editable->m_ids;
  if (index < static_cast<int>(ids.size())) ids[static_cast<size_t>(index)] = value;
}

int SWELL_CB_FindString(HWND hwnd, int id, int start, const char* text, bool exact)
{
  const Combo combo = comboAt(hwnd, id);
  if (!combo || !text) return -1;
  const size_t length = std::strlen(text);
  char item[kFindBufferBytes];
  for (int i = start < 0 ? 0 : start + 1; i < combo.count(); ++i)
  {
    const NSString value = combo.text(i);
    SWELL_CFStringToCString(&value, item, sizeof item);
    if (exact ? !strcasecmp(item, text) : !strncasecmp(item, text, length)) return i;
  }
  return -1;
}
