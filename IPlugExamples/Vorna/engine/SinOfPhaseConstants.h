#pragma once

// The constants of FastMath::SinOfPhase, shared with the roads that compute it
// for several oscillators at once (SineLanes), which must repeat it exactly.
namespace SinOfPhaseConstants
{
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
// pi / 2 in two parts: k * kHalfPiHi is exact for k <= 4.
constexpr double kHalfPiHi = 1.57079632673412561417e+00;
constexpr double kHalfPiLo = 6.07710050650619224932e-11;
constexpr double S1 = -1.66666666666666324348e-01;
constexpr double S2 = 8.33333333332248946124e-03;
constexpr double S3 = -1.98412698298579493134e-04;
constexpr double S4 = 2.75573137070700676789e-06;
constexpr double S5 = -2.50507602534068634195e-08;
constexpr double S6 = 1.58969099521155010221e-10;
constexpr double C1 = 4.16666666666666019037e-02;
constexpr double C2 = -1.38888888888741095749e-03;
constexpr double C3 = 2.48015872894767294178e-05;
constexpr double C4 = -2.75573143513906633035e-07;
constexpr double C5 = 2.08757232129817482790e-09;
constexpr double C6 = -1.13596475577881948265e-11;

// k is rounded by the 1.5 * 2^52 shift: the sum's last bits hold it.
constexpr double kRoundingShift = 6755399441055744.0;
}  // namespace SinOfPhaseConstants
