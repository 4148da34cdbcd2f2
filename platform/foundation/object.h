#pragma once

#include <atomic>
#include <utility>

namespace cocoa
{
// The root of every platform object. Ownership is counted as in Cocoa: a new object
// starts owned once by its creator; retain and release add and drop ownership, and
// autorelease hands one ownership to the innermost autorelease pool.
class NSObject
{
public:
  NSObject();
  NSObject(const NSObject&) = delete;
  NSObject& operator=(const NSObject&) = delete;

  NSObject* retain();
  // Drops one ownership; the last one runs dealloc on the complete object, then frees it.
  void release();
  NSObject* autorelease();
  int retainCount() const { return m_count.load(std::memory_order_relaxed); }

protected:
  virtual ~NSObject();
  // Runs while the object is still complete, so an override may still send messages
  // (a window tells its views it is going away). Retains and releases made during it
  // never free the object a second time; an ownership taken during it and not given back
  // by its end would dangle, and stops the process with the class named.
  virtual void dealloc() {}

private:
  std::atomic<int> m_count{1};
  std::atomic<bool> m_deallocating{false};
};

// isKindOfClass: for the platform's C++ classes.
template <class T>
bool isKindOfClass(const NSObject* object)
{
  return dynamic_cast<const T*>(object) != nullptr;
}

// "Responds to selector": the capability is an interface; the answer is the object
// seen through it, or null.
template <class Capability>
Capability* respondsTo(NSObject* object)
{
  return dynamic_cast<Capability*>(object);
}

// Holds one ownership of an object for as long as it lives; every dispatch keeps its
// receiver in one of these so that a handler may close or release it safely.
template <class T>
class StrongRef
{
public:
  StrongRef() = default;
  StrongRef(T* object) : m_object(object)
  {
    if (m_object) m_object->retain();
  }
  StrongRef(const StrongRef& other) : StrongRef(other.m_object) {}
  StrongRef(StrongRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  ~StrongRef() { reset(); }

  StrongRef& operator=(StrongRef other) noexcept
  {
    std::swap(m_object, other.m_object);
    return *this;
  }

  // Takes over an ownership the caller already has (a freshly created object).
  static StrongRef adopt(T* object)
  {
    StrongRef ref;
    ref.m_object = object;
    return ref;
  }

  void reset()
  {
    if (T* object = std::exchange(m_object, nullptr)) object->release();
  }

  T* get() const { return m_object; }
  T* operator->() const { return m_object; }
  T& operator*() const { return *m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  bool operator==(const StrongRef& other) const { return m_object == other.m_object; }
  bool operator==(const T* other) const { return m_object == other; }

private:
  T* m_object = nullptr;
};

}  // namespace cocoa
