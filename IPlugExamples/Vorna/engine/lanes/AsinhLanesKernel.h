#pragma once

// FastMath::Log, FastMath::Asinh and FilterMath::SoftSaturate written once over
// lanes of doubles (LanesSse2.h, LanesAvx2.h): each lane computes every branch
// and keeps the one its argument asks for, so it repeats the scalar operations
// exactly; where the scalar code calls the library, so does the lane. Internal
// to each file that includes it.
#include "AsinhConstants.h"
#include "lanes/TanhLanesKernel.h"

#include <bit>
#include <cmath>

namespace
{
// Log of normal positive finite lanes; the others read the library's log.
template <class L>
inline typename L::V LogOfLanes(typename L::V x)
{
  using namespace LogConstants;
  using V = typename L::V;
  const V one = L::Set(1.0);
  // The biased exponent in the low bits, read as a double through 2^52.
  const V twoTo52 = L::Set(4503599627370496.0);
  const V biased = L::Sub(L::Or(L::ShiftRight52(x), twoTo52), twoTo52);
  const V kRaw = L::Sub(biased, L::Set(double(kExponentBias)));
  const V mRaw = L::Or(L::And(x, L::Set(std::bit_cast<double>(kMantissaMask))), one);
  const V high = L::Greater(mRaw, L::Set(kSqrt2));
  const V m = L::Select(high, L::Mul(mRaw, L::Set(0.5)), mRaw);
  const V k = L::Select(high, L::Add(kRaw, one), kRaw);
  const V f = L::Sub(m, one);
  const V s = L::Div(f, L::Add(L::Set(2.0), f));
  const V z = L::Mul(s, s);
  const V w = L::Mul(z, z);
  const V odd = L::Mul(w, L::Add(L::Set(Lg2), L::Mul(w, L::Add(L::Set(Lg4), L::Mul(w, L::Set(Lg6))))));
  const V even = L::Mul(
    z, L::Add(L::Set(Lg1), L::Mul(w, L::Add(L::Set(Lg3), L::Mul(w, L::Add(L::Set(Lg5), L::Mul(w, L::Set(Lg7))))))));
  const V halfSquare = L::Mul(L::Mul(L::Set(0.5), f), f);
  V y = L::Sub(L::Mul(k, L::Set(kLn2Hi)),
               L::Sub(L::Sub(halfSquare, L::Add(L::Mul(s, L::Add(halfSquare, L::Add(even, odd))),
                                                L::Mul(k, L::Set(kLn2Lo)))),
                      f));
  const V zero = L::Set(0.0);
  const V inside = L::And(L::GreaterEqual(x, L::Set(kSmallestNormal)), L::LessEqual(x, L::Set(kLargest)));
  if (L::Any(L::AndNot(inside, L::GreaterEqual(zero, zero))))
  {
    double xs[L::kLanes], ys[L::kLanes];
    L::Store(xs, x);
    L::Store(ys, y);
    for (int i = 0; i < L::kLanes; ++i)
      if (!(xs[i] >= kSmallestNormal && xs[i] <= kLargest)) ys[i] = std::log(xs[i]);
    y = L::Load(ys);
  }
  return y;
}

template <class L>
inline typename L::V AsinhOfLanes(typename L::V x)
{
  using namespace AsinhConstants;
  using V = typename L::V;
  const V a = L::Abs(x);
  const V z = L::Mul(x, x);
  const V z2 = L::Mul(z, z);
  const V p = L::Add(L::Mul(L::Add(L::Mul(L::Set(P0), z2), L::Add(L::Mul(L::Set(P1), z), L::Set(P2))), z2),
                     L::Add(L::Mul(L::Set(P3), z), L::Set(P4)));
  const V q = L::Add(L::Mul(L::Add(z2, L::Add(L::Mul(L::Set(Q0), z), L::Set(Q1))), z2),
                     L::Add(L::Mul(L::Set(Q2), z), L::Set(Q3)));
  const V rational = L::Select(L::Less(a, L::Set(kLinear)), x, L::Add(x, L::Mul(x, L::Mul(L::Div(p, q), z))));
  const V small = L::Less(a, L::Set(kRationalLimit));
  const V zero = L::Set(0.0);
  const V all = L::GreaterEqual(zero, zero);
  const V notSmall = L::AndNot(small, all);
  if (!L::Any(notSmall)) return rational;
  const V inRange = L::Less(a, L::Set(kLogLimit));
  // Lanes of the fit read a harmless argument, so that only a lane whose
  // logarithm counts can reach the library.
  const V b = L::Select(L::And(notSmall, inRange), a, L::Set(1.0));
  const V logged = LogOfLanes<L>(L::Add(b, L::Sqrt(L::Add(L::Mul(b, b), L::Set(1.0)))));
  V large = L::Select(L::Less(x, zero), L::Xor(logged, L::Set(-0.0)), logged);
  const V beyond = L::AndNot(inRange, notSmall);
  if (L::Any(beyond))
  {
    double xs[L::kLanes], ys[L::kLanes], masks[L::kLanes];
    L::Store(xs, x);
    L::Store(ys, large);
    L::Store(masks, beyond);
    for (int i = 0; i < L::kLanes; ++i)
      if (std::bit_cast<std::uint64_t>(masks[i]) != 0) ys[i] = std::asinh(xs[i]);
    large = L::Load(ys);
  }
  return L::Select(small, rational, large);
}

// FilterMath::SoftSaturate: asinh above 0, tanh otherwise. Each side reads a
// harmless 0 on the other side's lanes.
template <class L>
inline typename L::V SoftSaturateOfLanes(typename L::V v)
{
  const typename L::V zero = L::Set(0.0);
  const typename L::V positive = L::Greater(v, zero);
  // A side no lane takes is not computed.
  const typename L::V notPositive = L::AndNot(positive, L::GreaterEqual(zero, zero));
  if (!L::Any(notPositive)) return AsinhOfLanes<L>(v);
  if (!L::Any(positive)) return TanhOfLanes<L>(v);
  const typename L::V up = AsinhOfLanes<L>(L::Select(positive, v, zero));
  const typename L::V down = TanhOfLanes<L>(L::Select(positive, zero, v));
  return L::Select(positive, up, down);
}

// SoftSaturateOfLanes of N independent groups of lanes. Mixed signs are the
// rule in audio, and a group holding both computes both functions in full; here
// the positive values are gathered into as few groups as hold them and the
// others likewise, each side is computed on its own groups only, and every
// value is put back in its lane. The lanes of a group are computed apart, so a
// value gives the same bits in whatever lane it is computed.
template <class L, int N>
[[gnu::noinline, gnu::flatten]] void SoftSaturateEachOfLanes(typename L::V (&v)[N])
{
  using V = typename L::V;
  constexpr int kLanes = L::kLanes;
  static constexpr unsigned char kCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
  // Room for a whole group read or written from the last value on.
  alignas(32) double up[N * kLanes + kLanes];
  alignas(32) double down[N * kLanes + kLanes];
  V positive[N];
  int bits[N], upAt[N];
  int ups = 0;
  const V zero = L::Set(0.0);
#pragma GCC unroll 8
  for (int i = 0; i < N; ++i)
  {
    positive[i] = L::Greater(v[i], zero);
    bits[i] = L::Bits(positive[i]);
    upAt[i] = ups;
    L::Partition(up + ups, down + (i * kLanes - ups), v[i], bits[i]);
    ups += kCount[bits[i]];
  }
  const int downs = N * kLanes - ups;
  // The lanes past the last value read a harmless 0.
  L::Store(up + ups, zero);
  L::Store(down + downs, zero);
  for (int j = 0; j < ups; j += kLanes) L::Store(up + j, AsinhOfLanes<L>(L::Load(up + j)));
  for (int j = 0; j < downs; j += kLanes) L::Store(down + j, TanhOfLanes<L>(L::Load(down + j)));
#pragma GCC unroll 8
  for (int i = 0; i < N; ++i) v[i] = L::Merge(up + upAt[i], down + (i * kLanes - upAt[i]), bits[i], positive[i]);
}
}  // namespace
