#pragma once

#include <array>
#include <cstdint>
#include <cstring>

// A delegate names one member function of one object, or one free function, and
// calls it with the arguments it is given. Delegates are plain values: copyable,
// comparable and strictly ordered, so that a signal can keep them in a set.
//
// The order (and so the order in which a signal calls them):
//  1. if either delegate is bound to a free function, by that function's address
//     (member-function delegates count as 0 and come first);
//  2. else by the object's address;
//  3. else by the bytes of the member-function pointer, compared like memcmp.
// Two delegates are the same when neither comes before the other.
//
// Each delegate also carries a call thunk typed for its object's class, so a call
// never goes through a member-function pointer cast to an unrelated class. The
// thunk does not take part in the order: two delegates with the same object and
// the same pointer bytes call the same function.
namespace Gallant
{
namespace detail
{
// The platform's two-word member-function pointer (function or vtable offset, and
// the adjustment applied to the object), kept as raw bytes for ordering.
using MemberFunctionBytes = std::array<unsigned char, 2 * sizeof(std::uintptr_t)>;

template <class... Params>
class Delegate
{
public:
  using FreeFunction = void (*)(Params...);

  // An empty delegate; calling it does nothing.
  Delegate() = default;

  // Binds a member function of X or of one of X's bases to an object.
  template <class X, class Y>
  Delegate(X* object, void (Y::*function)(Params...))
  {
    void (X::*bound)(Params...) = function;
    static_assert(sizeof(bound) == sizeof(MemberFunctionBytes), "unexpected member-function pointer size");
    mObject = object;
    std::memcpy(mMemberFunction.data(), &bound, sizeof(bound));
    mThunk = &CallMember<X>;
  }

  explicit Delegate(FreeFunction function) : mFreeFunction(function), mThunk(&CallFree) {}

  void operator()(Params... params) const
  {
    if (mThunk) mThunk(*this, params...);
  }

  friend bool operator<(const Delegate& a, const Delegate& b)
  {
    const std::uintptr_t freeA = a.FreeFunctionWord();
    const std::uintptr_t freeB = b.FreeFunctionWord();
    if (freeA != 0 || freeB != 0) return freeA < freeB;
    const auto objectA = reinterpret_cast<std::uintptr_t>(a.mObject);
    const auto objectB = reinterpret_cast<std::uintptr_t>(b.mObject);
    if (objectA != objectB) return objectA < objectB;
    return std::memcmp(a.mMemberFunction.data(), b.mMemberFunction.data(), a.mMemberFunction.size()) < 0;
  }

  friend bool operator==(const Delegate& a, const Delegate& b) { return !(a < b) && !(b < a); }

private:
  using Thunk = void (*)(const Delegate&, Params...);

  template <class X>
  static void CallMember(const Delegate& self, Params... params)
  {
    void (X::*function)(Params...);
    std::memcpy(&function, self.mMemberFunction.data(), sizeof(function));
    (static_cast<X*>(self.mObject)->*function)(params...);
  }

  static void CallFree(const Delegate& self, Params... params) { self.mFreeFunction(params...); }

  std::uintptr_t FreeFunctionWord() const { return reinterpret_cast<std::uintptr_t>(mFreeFunction); }

  void* mObject = nullptr;
  MemberFunctionBytes mMemberFunction{};
  FreeFunction mFreeFunction = nullptr;
  Thunk mThunk = nullptr;
};
}  // namespace detail

using Delegate0 = detail::Delegate<>;
template <class Param1>
using Delegate1 = detail::Delegate<Param1>;
template <class Param1, class Param2>
using Delegate2 = detail::Delegate<Param1, Param2>;
template <class Param1, class Param2, class Param3>
using Delegate3 = detail::Delegate<Param1, Param2, Param3>;
template <class Param1, class Param2, class Param3, class Param4>
using Delegate4 = detail::Delegate<Param1, Param2, Param3, Param4>;
}  // namespace Gallant
