#pragma once

// The lanes as a policy of the engine's shared maths (docs/engine.md): a value
// of L::kLanes doubles (L is Sse2, Avx2, or several groups of either as one:
// LanesWide.h) whose operators are the lane instructions, so that a model's
// step written once as ordinary arithmetic runs on many voices at once. Each
// operator is one instruction on every lane: a + b + c adds as (a + b) + c,
// exactly as the scalar expression does, so every lane computes the bits its
// voice computes alone. Where the scalar code branches on a value, the maths
// asks Select for both sides and Any whether a side is needed at all. Internal
// to each file that includes it.
#include "lanes/AsinhLanesKernel.h"
#include "lanes/SineLanesKernel.h"
#include "lanes/TanLanesKernel.h"
#include "lanes/TanhLanesKernel.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace
{
// ScalarPolicy::FlooredMod(x, m): phases within one period either side of the
// cycle, and up to four periods above it, are wrapped in lanes, exactly as the
// scalar code wraps them; a lane further out takes the scalar code's fmod.
template <class L>
inline typename L::V FlooredModOfLanes(typename L::V x, double period)
{
  using V = typename L::V;
  const V zero = L::Set(0.0);
  const V m = L::Set(period);
  const V above = L::GreaterEqual(x, m);
  const V negative = L::Less(x, zero);
  // Below 0 but above -m the remainder is x itself, raised by m; a sum that
  // rounds up to m is 0 of the next cycle.
  const V raised = L::Add(x, m);
  const V wrappedUp = L::AndNot(L::GreaterEqual(raised, m), raised);
  // From 2m up to 4m, x - 2m is exact (half of x lies within [m, 2m]) and so is
  // the one more m taken off above 3m: the remainder fmod gives, exactly.
  const V twoM = L::Add(m, m);
  const V lowered = L::Sub(x, twoM);
  const V far = L::Select(L::GreaterEqual(lowered, m), L::Sub(lowered, m), lowered);
  V r = L::Select(L::GreaterEqual(x, twoM), far,
                  L::Select(above, L::Sub(x, m), L::Select(negative, wrappedUp, x)));
  const V inside = L::And(L::Greater(x, L::Xor(m, L::Set(-0.0))), L::Less(x, L::Add(twoM, twoM)));
  if (L::Any(L::AndNot(inside, L::GreaterEqual(zero, zero))))
  {
    double xs[L::kLanes], rs[L::kLanes];
    L::Store(xs, x);
    L::Store(rs, r);
    for (int i = 0; i < L::kLanes; ++i)
    {
      if (xs[i] > -period && xs[i] < 4.0 * period) continue;
      double q = std::fmod(xs[i], period);
      if (q < 0.0)
      {
        q += period;
        if (q >= period) q = 0.0;
      }
      rs[i] = q;
    }
    r = L::Load(rs);
  }
  return r;
}

template <class L>
struct LaneMask
{
  typename L::V m;

  friend LaneMask operator&(LaneMask a, LaneMask b) { return {L::And(a.m, b.m)}; }
  friend LaneMask operator|(LaneMask a, LaneMask b) { return {L::Or(a.m, b.m)}; }
  friend LaneMask operator!(LaneMask a) { return {L::AndNot(a.m, L::Equal(L::Set(0.0), L::Set(0.0)))}; }
  static LaneMask Load(const std::uint64_t* p) { return {L::LoadMask(p)}; }
  void Store(std::uint64_t* p) const { L::Store(reinterpret_cast<double*>(p), m); }
};

template <class L>
struct Lanes
{
  using V = typename L::V;
  V v;

  Lanes() = default;
  Lanes(V x) : v(x) {}
  // A constant on every lane.
  Lanes(double x) : v(L::Set(x)) {}

  static Lanes Load(const double* p) { return {L::Load(p)}; }
  void Store(double* p) const { L::Store(p, v); }

  friend Lanes operator+(Lanes a, Lanes b) { return {L::Add(a.v, b.v)}; }
  friend Lanes operator-(Lanes a, Lanes b) { return {L::Sub(a.v, b.v)}; }
  friend Lanes operator*(Lanes a, Lanes b) { return {L::Mul(a.v, b.v)}; }
  friend Lanes operator/(Lanes a, Lanes b) { return {L::Div(a.v, b.v)}; }
  // The sign bit flipped, as the scalar negation does.
  friend Lanes operator-(Lanes a) { return {L::Xor(a.v, L::Set(-0.0))}; }
  Lanes& operator+=(Lanes b) { return *this = *this + b; }
  Lanes& operator-=(Lanes b) { return *this = *this - b; }
  Lanes& operator*=(Lanes b) { return *this = *this * b; }

  // Ordered comparisons are false where either side is NaN, != is true there:
  // the scalar comparisons' rules.
  friend LaneMask<L> operator<(Lanes a, Lanes b) { return {L::Less(a.v, b.v)}; }
  friend LaneMask<L> operator<=(Lanes a, Lanes b) { return {L::LessEqual(a.v, b.v)}; }
  friend LaneMask<L> operator>(Lanes a, Lanes b) { return {L::Greater(a.v, b.v)}; }
  friend LaneMask<L> operator>=(Lanes a, Lanes b) { return {L::GreaterEqual(a.v, b.v)}; }
  friend LaneMask<L> operator==(Lanes a, Lanes b) { return {L::Equal(a.v, b.v)}; }
  friend LaneMask<L> operator!=(Lanes a, Lanes b) { return {L::NotEqual(a.v, b.v)}; }
};

template <class L>
struct LanePolicy
{
  using V = Lanes<L>;
  using M = LaneMask<L>;
  static constexpr int kLanes = L::kLanes;

  static M All() { return {L::Equal(L::Set(0.0), L::Set(0.0))}; }
  static V Select(M m, V a, V b) { return {L::Select(m.m, a.v, b.v)}; }
  // A mask known to hold on every lane, which selects without an instruction.
  struct Every
  {
  };
  static V Select(Every, V a, V) { return a; }
  static bool AllOf(M m) { return L::Bits(m.m) == (1 << kLanes) - 1; }
  // a() where m holds, else b(): each lane computes both and keeps its own.
  template <class A, class B>
  [[gnu::always_inline]] static V Choose(M m, A a, B b)
  {
    return Select(m, a(), b());
  }
  static bool Any(M m) { return L::Any(m.m); }
  // std::max and std::min: b where it compares past a, else a (NaN in b gives a).
  static V Max(V a, V b) { return Select(a < b, b, a); }
  static V Min(V a, V b) { return Select(b < a, b, a); }
  // std::clamp.
  static V Clamp(V x, V low, V high) { return Select(x < low, low, Select(high < x, high, x)); }
  static V Abs(V x) { return {L::Abs(x.v)}; }
  static V Sqrt(V x) { return {L::Sqrt(x.v)}; }
  static V Truncate(V x) { return {L::Truncate(x.v)}; }
  static V FlushSubnormal(V x) { return {L::AndNot(L::Less(L::Abs(x.v), L::Set(DBL_MIN)), x.v)}; }
  static V Tan(V x) { return {TanOfLanes<L>(x.v)}; }
  static V TanInQuadrant(V x) { return {TanOfLanesInQuadrant<L>(x.v)}; }
  static V Tanh(V x) { return {TanhOfLanes<L>(x.v)}; }
  static V Asinh(V x) { return {AsinhOfLanes<L>(x.v)}; }
  // A wide value's groups (LanesWide.h) saturate each on its own: a group
  // whose lanes lie on one side of 0 computes one function, where the whole
  // value would more often hold both.
  static V SoftSaturate(V x)
  {
    if constexpr (requires { typename L::Group; })
    {
#pragma GCC unroll 4
      for (int g = 0; g < L::kGroups; ++g) x.v.part[g] = SoftSaturateOfLanes<typename L::Group>(x.v.part[g]);
      return x;
    }
    else
      return {SoftSaturateOfLanes<L>(x.v)};
  }
  // SoftSaturate of each of n independent values. A wide value's groups are
  // gathered as so many values of their own, which packs the lanes of all of
  // them into as few groups as hold them; each lane computes as it would in
  // its own group.
  template <int N>
  static void SoftSaturateEach(V (&x)[N])
  {
    if constexpr (requires { typename L::Group; })
    {
      constexpr int kGroups = L::kGroups;
      typename L::Group::V raw[N * kGroups];
      for (int i = 0; i < N; ++i)
        for (int g = 0; g < kGroups; ++g) raw[i * kGroups + g] = x[i].v.part[g];
      SoftSaturateEachOfLanes<typename L::Group, N * kGroups>(raw);
      for (int i = 0; i < N; ++i)
        for (int g = 0; g < kGroups; ++g) x[i].v.part[g] = raw[i * kGroups + g];
    }
    else
    {
      typename L::V raw[N];
      for (int i = 0; i < N; ++i) raw[i] = x[i].v;
      SoftSaturateEachOfLanes<L, N>(raw);
      for (int i = 0; i < N; ++i) x[i] = raw[i];
    }
  }
  static V SinOfPhase(V x) { return {RawSinesOfLanes<L>(x.v)}; }
  static V FlooredMod(V x, double period) { return {FlooredModOfLanes<L>(x.v, period)}; }
  // The lanes as an array, and back.
  static void Spread(V x, double* out) { x.Store(out); }
  static V Gather(const double* in) { return V::Load(in); }
  // f of each lane, for the library's functions.
  template <class F>
  static V EachLane(V x, F f)
  {
    double xs[kLanes];
    x.Store(xs);
    for (double& value : xs) value = f(value);
    return V::Load(xs);
  }
};
}  // namespace
