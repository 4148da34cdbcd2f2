#pragma once

#include "heapbuf.h"

// A list of object pointers. Destroying the list frees only its array; the
// objects are deleted only when Delete or Empty is asked to.
template <class T>
class WDL_PtrList
{
public:
  using DisposeFunc = void (*)(void*);

  explicit WDL_PtrList(int granularity = WDL_HeapBuf::kPageGranularity) : m_list(granularity) {}

  T** GetList() const { return m_list.Get(); }
  int GetSize() const { return m_list.GetSize(); }
  T* Get(int index) const { return (index >= 0 && index < GetSize()) ? m_list.Get()[index] : nullptr; }

  int Find(const T* item) const
  {
    for (int i = 0; i < GetSize(); ++i)
      if (m_list.Get()[i] == item) return i;
    return -1;
  }

  // Appends; on a failed growth nothing is added and null is returned.
  T* Add(T* item) { return m_list.Add(item) ? item : nullptr; }
  // Inserts before index, clamped to 0..count.
  T* Insert(int index, T* item) { return m_list.Insert(item, index) ? item : nullptr; }

  T* Set(int index, T* item)
  {
    if (index < 0 || index >= GetSize()) return nullptr;
    return m_list.Get()[index] = item;
  }

  void Delete(int index, bool deleteObject = false, DisposeFunc dispose = nullptr)
  {
    if (index < 0 || index >= GetSize()) return;
    T* item = m_list.Get()[index];
    m_list.Delete(index);
    if (deleteObject) DisposeItem(item, dispose);
  }

  // Removes every entry from the last to the first, deleting (or disposing of)
  // each object when asked.
  void Empty(bool deleteObjects = false, DisposeFunc dispose = nullptr)
  {
    for (int i = GetSize() - 1; i >= 0; --i)
    {
      T* item = m_list.Get()[i];
      m_list.Resize(i, false);
      if (deleteObjects) DisposeItem(item, dispose);
    }
  }

private:
  static void DisposeItem(T* item, DisposeFunc dispose)
  {
    if (!item) return;
    if (dispose)
      dispose(item);
    else
      delete item;
  }

  WDL_TypedBuf<T*> m_list;
};
