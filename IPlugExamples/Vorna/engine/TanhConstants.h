#pragma once

// The constants of FastMath::Exp and FastMath::Tanh, shared with the roads that
// compute them for several filters at once (RunLanes), which must repeat them
// exactly.
namespace ExpConstants
{
// Beyond +-700 the result over- or underflows, or nearly so: the library knows best.
constexpr double kFastRange = 700.0;
constexpr double kInvLn2 = 1.44269504088896338700e+00;
// ln 2 in two parts: k * kLn2Hi is exact for every k the fast range produces.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double P1 = 1.66666666666666019037e-01;
constexpr double P2 = -2.77777777770155933842e-03;
constexpr double P3 = 6.61375632143793436117e-05;
constexpr double P4 = -1.65339022054652515390e-06;
constexpr double P5 = 4.13813679705723846039e-08;
constexpr int kExponentBias = 1023;
constexpr int kMantissaBits = 52;
}  // namespace ExpConstants

namespace TanhConstants
{
// Below this a rational fit in x^2; above it 1 - 2 / (e^2x + 1) loses nothing.
constexpr double kRationalLimit = 0.625;
// Beyond this tanh is 1 to double precision. (NaN goes on to Exp, which returns it.)
constexpr double kSaturated = 22.0;
// Below this tanh(x) is x to double precision (and keeps the sign of zero).
constexpr double kLinear = 1e-9;
constexpr double P0 = -9.64399179425052238628e-1;
constexpr double P1 = -9.92877231001918586564e1;
constexpr double P2 = -1.61468768441708447952e3;
constexpr double Q0 = 1.12811678491632931402e2;
constexpr double Q1 = 2.23548839060100448583e3;
constexpr double Q2 = 4.84406305325125486048e3;
}  // namespace TanhConstants
