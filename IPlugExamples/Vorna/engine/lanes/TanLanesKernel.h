#pragma once

// FastMath::Tan written once over lanes of doubles (LanesSse2.h, LanesAvx2.h):
// each lane computes both the direct and the reciprocal fit and keeps the one
// its argument asks for, so it repeats the scalar operations exactly. Internal
// to each file that includes it.
#include "TanConstants.h"

#include <cmath>

namespace
{
// Of arguments known to lie in [0, pi/2).
template <class L>
inline typename L::V TanOfLanesInQuadrant(typename L::V x)
{
  using namespace TanConstants;
  using V = typename L::V;
  const V upper = L::Greater(x, L::Set(kQuarterPi));
  const V reduced = L::Sub(L::Sub(L::Sub(x, L::Set(kHalfPiHi)), L::Set(kHalfPiMid)), L::Set(kHalfPiLo));
  const V z = L::Select(upper, reduced, x);
  const V zz = L::Mul(z, z);
  const V p = L::Mul(L::Add(L::Mul(L::Add(L::Mul(L::Set(P0), zz), L::Set(P1)), zz), L::Set(P2)), zz);
  const V q = L::Add(
    L::Mul(L::Add(L::Mul(L::Add(L::Mul(L::Add(zz, L::Set(Q0)), zz), L::Set(Q1)), zz), L::Set(Q2)), zz),
    L::Set(Q3));
  const V zSum = L::Mul(z, L::Add(q, p));
  return L::Select(upper, L::Div(L::Xor(q, L::Set(-0.0)), zSum), L::Div(zSum, q));
}

template <class L>
inline typename L::V TanOfLanes(typename L::V x)
{
  using namespace TanConstants;
  using V = typename L::V;
  V t = TanOfLanesInQuadrant<L>(x);
  // Arguments outside [0, pi/2) go to the library, lane by lane, as the scalar
  // code sends them (NaN included: both comparisons fail).
  const V zero = L::Set(0.0);
  const V inside = L::And(L::GreaterEqual(x, zero), L::Less(x, L::Set(kHalfPi)));
  if (L::Any(L::AndNot(inside, L::GreaterEqual(zero, zero))))
  {
    double xs[L::kLanes], ts[L::kLanes];
    L::Store(xs, x);
    L::Store(ts, t);
    for (int i = 0; i < L::kLanes; ++i)
      if (!(xs[i] >= 0.0 && xs[i] < kHalfPi)) ts[i] = std::tan(xs[i]);
    t = L::Load(ts);
  }
  return t;
}
}  // namespace
