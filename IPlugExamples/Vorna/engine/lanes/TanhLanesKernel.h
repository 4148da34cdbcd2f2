#pragma once

// FastMath::Exp and FastMath::Tanh written once over lanes of doubles
// (LanesSse2.h, LanesAvx2.h): each lane computes every branch and keeps the one
// its argument asks for, so it repeats the scalar operations exactly; where
// the scalar code calls the library, so does the lane. Internal to each file
// that includes it.
#include "TanhConstants.h"

#include <cmath>

namespace
{
template <class L>
inline typename L::V ExpOfLanes(typename L::V x)
{
  using namespace ExpConstants;
  using V = typename L::V;
  const V zero = L::Set(0.0);
  const V half = L::Select(L::Less(x, zero), L::Set(-0.5), L::Set(0.5));
  const V k = L::Truncate(L::Add(L::Mul(x, L::Set(kInvLn2)), half));
  const V hi = L::Sub(x, L::Mul(k, L::Set(kLn2Hi)));
  const V lo = L::Mul(k, L::Set(kLn2Lo));
  const V r = L::Sub(hi, lo);
  const V t = L::Mul(r, r);
  const V t2 = L::Mul(t, t);
  const V c = L::Sub(r, L::Mul(t, L::Add(L::Add(L::Set(P1), L::Mul(t, L::Set(P2))),
                                         L::Mul(t2, L::Add(L::Add(L::Set(P3), L::Mul(t, L::Set(P4))),
                                                           L::Mul(t2, L::Set(P5)))))));
  const V er = L::Sub(L::Set(1.0), L::Sub(L::Sub(lo, L::Div(L::Mul(r, c), L::Sub(L::Set(2.0), c))), hi));
  // 2^k: k + bias in the low bits of 2^52 + k + bias, moved up into the exponent.
  const V scale = L::ShiftLeft52(L::Add(k, L::Set(4503599627370496.0 + kExponentBias)));
  V e = L::Mul(er, scale);
  const V inside = L::And(L::Greater(x, L::Set(-kFastRange)), L::Less(x, L::Set(kFastRange)));
  if (L::Any(L::AndNot(inside, L::GreaterEqual(zero, zero))))
  {
    double xs[L::kLanes], es[L::kLanes];
    L::Store(xs, x);
    L::Store(es, e);
    for (int i = 0; i < L::kLanes; ++i)
      if (!(xs[i] > -kFastRange && xs[i] < kFastRange)) es[i] = std::exp(xs[i]);
    e = L::Load(es);
  }
  return e;
}

template <class L>
inline typename L::V TanhOfLanes(typename L::V x)
{
  using namespace TanhConstants;
  using V = typename L::V;
  const V a = L::Abs(x);
  const V negative = L::Less(x, L::Set(0.0));
  const V s = L::Mul(x, x);
  const V ratio = L::Div(L::Add(L::Mul(L::Add(L::Mul(L::Set(P0), s), L::Set(P1)), s), L::Set(P2)),
                         L::Add(L::Mul(L::Add(L::Mul(L::Add(s, L::Set(Q0)), s), L::Set(Q1)), s), L::Set(Q2)));
  const V rational = L::Select(L::Less(a, L::Set(kLinear)), x, L::Add(x, L::Mul(L::Mul(x, s), ratio)));
  const V one = L::Set(1.0);
  const V saturated = L::Select(negative, L::Set(-1.0), one);
  V result = saturated;
  const V small = L::Less(a, L::Set(kRationalLimit));
  const V large = L::GreaterEqual(a, L::Set(kSaturated));
  // The lanes between (NaN among them) take the exponential; when there are
  // none, none is computed.
  const V zero = L::Set(0.0);
  if (L::Any(L::AndNot(L::Or(small, large), L::GreaterEqual(zero, zero))))
  {
    // Lanes of the fit or saturated read a harmless argument, so that only a lane
    // whose exponential counts can reach the library.
    const V argument = L::Mul(L::Set(2.0), L::Select(L::Or(small, large), one, a));
    const V t = L::Sub(one, L::Div(L::Set(2.0), L::Add(ExpOfLanes<L>(argument), one)));
    result = L::Select(negative, L::Xor(t, L::Set(-0.0)), t);
  }
  return L::Select(small, rational, L::Select(large, saturated, result));
}
}  // namespace
