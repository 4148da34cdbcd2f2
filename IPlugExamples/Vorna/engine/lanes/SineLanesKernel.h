#pragma once

// FastMath::SinOfPhase and the oscillators' snap to 0, written once over lanes
// of doubles: L supplies the vector type and its operations (LanesSse2.h,
// LanesAvx2.h).
// Each lane takes both polynomials and keeps the one its quadrant asks for, so
// it repeats the scalar operations exactly. Internal to each file that
// includes it, so that no AVX2 code can stand in for the SSE2 copy.
#include "SinOfPhaseConstants.h"

namespace
{
// The sine of the phases in x, one per lane.
template <class L>
[[gnu::always_inline]] inline typename L::V RawSinesOfLanes(typename L::V x)
{
  using namespace SinOfPhaseConstants;
  using V = typename L::V;
  const V shifted = L::Add(L::Mul(x, L::Set(kTwoOverPi)), L::Set(kRoundingShift));
  const V kd = L::Sub(shifted, L::Set(kRoundingShift));
  const V r = L::Sub(L::Sub(x, L::Mul(kd, L::Set(kHalfPiHi))), L::Mul(kd, L::Set(kHalfPiLo)));
  const V z = L::Mul(r, r);
  const V z2 = L::Mul(z, z);
  // a + z b, the polynomials' pairs.
  const V c12 = L::Add(L::Set(C1), L::Mul(z, L::Set(C2)));
  const V c34 = L::Add(L::Set(C3), L::Mul(z, L::Set(C4)));
  const V c56 = L::Add(L::Set(C5), L::Mul(z, L::Set(C6)));
  const V s12 = L::Add(L::Set(S1), L::Mul(z, L::Set(S2)));
  const V s34 = L::Add(L::Set(S3), L::Mul(z, L::Set(S4)));
  const V s56 = L::Add(L::Set(S5), L::Mul(z, L::Set(S6)));
  // Odd quadrants: the cosine of r.
  const V c = L::Mul(z, L::Add(c12, L::Mul(z2, L::Add(c34, L::Mul(z2, c56)))));
  const V halfZ = L::Mul(L::Set(0.5), z);
  const V w = L::Sub(L::Set(1.0), halfZ);
  const V cosine = L::Add(w, L::Add(L::Sub(L::Sub(L::Set(1.0), w), halfZ), L::Mul(z, c)));
  // Even quadrants: the sine of r.
  const V sine = L::Add(r, L::Mul(L::Mul(z, r), L::Add(s12, L::Mul(z2, L::Add(s34, L::Mul(z2, s56))))));
  return L::Xor(L::Select(L::OddQuadrant(shifted), cosine, sine), L::SignOfQuadrant(shifted));
}

// The same snapped to 0 near it, as the oscillators snap their waveforms.
template <class L>
[[gnu::always_inline]] inline typename L::V SinesOfLanes(typename L::V x, double snap)
{
  using V = typename L::V;
  const V y = RawSinesOfLanes<L>(x);
  const V tiny = L::And(L::Greater(y, L::Set(-snap)), L::Less(y, L::Set(snap)));
  return L::AndNot(tiny, y);
}

// Whole groups of L::kLanes only; returns how many phases it did.
template <class L>
int SinesInLanes(const double* phases, double* out, int n, double snap)
{
  int i = 0;
  for (; i + L::kLanes <= n; i += L::kLanes) L::Store(out + i, SinesOfLanes<L>(L::Load(phases + i), snap));
  return i;
}
}  // namespace
