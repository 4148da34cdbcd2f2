#pragma once

#include "GallantDelegate.h"

#include <iterator>
#include <set>

// A signal holds an ordered set of delegates and calls each of them once when it
// is emitted. The call order is the delegates' own order (see GallantDelegate.h),
// not the order of connection; connecting a delegate that is already held does
// nothing. There is no disconnect: a signal drops its delegates when destroyed.
//
// No lock is taken. Connect while nothing emits (the engine connects before audio
// runs); emitting neither allocates nor fails.
namespace Gallant
{
namespace detail
{
template <class... Params>
class Signal
{
public:
  using DelegateType = Delegate<Params...>;

  void Connect(const DelegateType& delegate) { mDelegates.insert(delegate); }

  template <class X, class Y>
  void Connect(X* object, void (Y::*function)(Params...))
  {
    Connect(DelegateType(object, function));
  }

  void Connect(typename DelegateType::FreeFunction function) { Connect(DelegateType(function)); }

  void Emit(Params... params) const
  {
    // Step on before the call, so a slot that connects to this signal while it
    // is being emitted cannot disturb the walk.
    for (auto it = mDelegates.begin(); it != mDelegates.end();)
    {
      const auto current = it++;
      (*current)(params...);
    }
  }

private:
  std::set<DelegateType> mDelegates;
};
}  // namespace detail

using Signal0 = detail::Signal<>;
template <class Param1>
using Signal1 = detail::Signal<Param1>;
template <class Param1, class Param2>
using Signal2 = detail::Signal<Param1, Param2>;
template <class Param1, class Param2, class Param3>
using Signal3 = detail::Signal<Param1, Param2, Param3>;
template <class Param1, class Param2, class Param3, class Param4>
using Signal4 = detail::Signal<Param1, Param2, Param3, Param4>;
}  // namespace Gallant
