#pragma once

#include "heapbuf.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <type_traits>

// Key/value pairs kept contiguous and sorted by key, so lookups are bisection
// searches without allocation. Keys may be duplicated on insert and disposed of
// on removal; values may be disposed of on removal or replacement.
template <class KEY, class VAL>
class WDL_AssocArrayImpl
{
public:
  using CompareFunc = int (*)(KEY* a, KEY* b);
  using KeyDupFunc = KEY (*)(KEY);
  using KeyDisposeFunc = void (*)(KEY);
  using ValDisposeFunc = void (*)(VAL);

  explicit WDL_AssocArrayImpl(CompareFunc compare, KeyDupFunc keyDup = nullptr, KeyDisposeFunc keyDispose = nullptr,
                              ValDisposeFunc valDispose = nullptr)
      : m_compare(compare), m_keyDup(keyDup), m_keyDispose(keyDispose), m_valDispose(valDispose)
  {
  }
  ~WDL_AssocArrayImpl() { DeleteAll(); }

  WDL_AssocArrayImpl(const WDL_AssocArrayImpl&) = delete;
  WDL_AssocArrayImpl& operator=(const WDL_AssocArrayImpl&) = delete;

  int GetSize() const { return m_data.GetSize(); }
  // Growth step of the pair storage in bytes; small for the many small arrays of a
  // parsed file, whose storage then stays near the size of what it holds.
  void SetGranularity(int bytes) { m_data.GetHeapBuf()->SetGranul(bytes); }

  VAL* GetPtr(KEY key, KEY* storedKey = nullptr) const
  {
    const int i = GetIdx(key);
    if (i < 0) return nullptr;
    KeyVal* kv = m_data.Get() + i;
    if (storedKey) *storedKey = kv->key;
    return &kv->val;
  }
  bool Exists(KEY key) const { return GetIdx(key) >= 0; }
  VAL Get(KEY key, VAL notFound = VAL()) const
  {
    VAL* p = GetPtr(key);
    return p ? *p : notFound;
  }

  // Returns the pair's index, or -1 when the array could not grow (then nothing changed).
  int Insert(KEY key, VAL value, KEY* storedKey = nullptr)
  {
    bool match = false;
    const int i = LowerBound(key, &match);
    if (match)
    {
      KeyVal* kv = m_data.Get() + i;
      if (m_valDispose) m_valDispose(kv->val);
      kv->val = value;
      if (storedKey) *storedKey = kv->key;
      return i;
    }
    KeyVal kv{key, value};
    if (!DuplicateKey(&kv.key)) return -1;
    if (!m_data.Insert(kv, i))
    {
      if (m_keyDup && m_keyDispose) m_keyDispose(kv.key);
      return -1;
    }
    if (storedKey) *storedKey = kv.key;
    return i;
  }

  void Delete(KEY key)
  {
    const int i = GetIdx(key);
    if (i >= 0) DeleteByIndex(i);
  }
  void DeleteByIndex(int index)
  {
    if (index < 0 || index >= GetSize()) return;
    KeyVal* kv = m_data.Get() + index;
    if (m_keyDispose) m_keyDispose(kv->key);
    if (m_valDispose) m_valDispose(kv->val);
    m_data.Delete(index);
  }
  void DeleteAll(bool resizeDown = true)
  {
    KeyVal* kv = m_data.Get();
    for (int i = 0; i < GetSize(); ++i)
    {
      if (m_keyDispose) m_keyDispose(kv[i].key);
      if (m_valDispose) m_valDispose(kv[i].val);
    }
    m_data.Resize(0, resizeDown);
  }

  VAL* EnumeratePtr(int index, KEY* key = nullptr) const
  {
    if (index < 0 || index >= GetSize()) return nullptr;
    KeyVal* kv = m_data.Get() + index;
    if (key) *key = kv->key;
    return &kv->val;
  }
  VAL Enumerate(int index, KEY* key = nullptr, VAL notFound = VAL()) const
  {
    VAL* p = EnumeratePtr(index, key);
    return p ? *p : notFound;
  }

  // Appends without keeping the order; Resort() restores it.
  void AddUnsorted(KEY key, VAL value)
  {
    KeyVal kv{key, value};
    if (!DuplicateKey(&kv.key)) return;
    if (!m_data.Add(kv) && m_keyDup && m_keyDispose) m_keyDispose(kv.key);
  }

  // Sorts by key and keeps each key once: of equal keys the one added last survives, the
  // others are disposed of.
  void Resort()
  {
    const int n = GetSize();
    if (n < 2 || !m_compare) return;
    KeyVal* kv = m_data.Get();
    const CompareFunc compare = m_compare;
    std::stable_sort(kv, kv + n, [compare](const KeyVal& a, const KeyVal& b) {
      return compare(const_cast<KEY*>(&a.key), const_cast<KEY*>(&b.key)) < 0;
    });
    // One pass, so that a run of many equal keys costs no more than distinct ones.
    int kept = 0;
    for (int i = 0; i < n; ++i)
    {
      if (i + 1 < n && m_compare(&kv[i].key, &kv[i + 1].key) == 0)
      {
        if (m_keyDispose) m_keyDispose(kv[i].key);
        if (m_valDispose) m_valDispose(kv[i].val);
        continue;
      }
      kv[kept++] = kv[i];
    }
    m_data.Resize(kept, false);
  }

  // Index of the first pair whose key is not below key; *match tells whether it is equal.
  int LowerBound(KEY key, bool* match) const
  {
    int lo = 0, hi = GetSize();
    const KeyVal* kv = m_data.Get();
    while (lo < hi)
    {
      const int mid = (lo + hi) / 2;
      const int c = m_compare(&key, const_cast<KEY*>(&kv[mid].key));
      if (c > 0)
        lo = mid + 1;
      else if (c < 0)
        hi = mid;
      else
      {
        *match = true;
        return mid;
      }
    }
    *match = false;
    return lo;
  }
  int GetIdx(KEY key) const
  {
    bool match = false;
    const int i = LowerBound(key, &match);
    return match ? i : -1;
  }

private:
  // Applies the key duplicate function; false when it could not make a copy.
  bool DuplicateKey(KEY* key) const
  {
    if (!m_keyDup) return true;
    const KEY original = *key;
    *key = m_keyDup(original);
    if constexpr (std::is_pointer_v<KEY>)
      return *key != nullptr || original == nullptr;
    return true;
  }

  struct KeyVal
  {
    KEY key;
    VAL val;
  };

  WDL_TypedBuf<KeyVal> m_data;
  CompareFunc m_compare;
  KeyDupFunc m_keyDup;
  KeyDisposeFunc m_keyDispose;
  ValDisposeFunc m_valDispose;
};

// Keys compared as plain values.
template <class KEY, class VAL>
class WDL_AssocArray : public WDL_AssocArrayImpl<KEY, VAL>
{
public:
  explicit WDL_AssocArray(void (*valDispose)(VAL) = nullptr)
      : WDL_AssocArrayImpl<KEY, VAL>(&Compare, nullptr, nullptr, valDispose)
  {
  }

private:
  static int Compare(KEY* a, KEY* b) { return *a < *b ? -1 : (*b < *a ? 1 : 0); }
};

// C-string keys, copied on insert and freed on removal.
template <class VAL>
class WDL_StringKeyedArray : public WDL_AssocArrayImpl<const char*, VAL>
{
public:
  explicit WDL_StringKeyedArray(bool caseSensitive = true, void (*valDispose)(VAL) = nullptr)
      : WDL_AssocArrayImpl<const char*, VAL>(caseSensitive ? &cmpstr : &cmpistr, &dupstr, &freestr, valDispose)
  {
  }

  static int cmpstr(const char** a, const char** b) { return std::strcmp(*a, *b); }
  static int cmpistr(const char** a, const char** b) { return strcasecmp(*a, *b); }
  static const char* dupstr(const char* s) { return strdup(s); }
  static void freestr(const char* s) { std::free(const_cast<char*>(s)); }
  static void freecharptr(char* p) { std::free(p); }
};
