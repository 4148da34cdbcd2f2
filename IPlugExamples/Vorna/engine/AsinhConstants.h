#pragma once

// The constants of FastMath::Log and FastMath::Asinh, shared with the roads that
// compute them for several filters at once (RunLanes), which must repeat them
// exactly.
#include <cstdint>

namespace LogConstants
{
constexpr double kSmallestNormal = 2.2250738585072014e-308;
constexpr double kLargest = 1.7976931348623157e308;
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kSqrt2 = 1.4142135623730951;
constexpr double Lg1 = 6.666666666666735130e-01;
constexpr double Lg2 = 3.999999999940941908e-01;
constexpr double Lg3 = 2.857142874366239149e-01;
constexpr double Lg4 = 2.222219843214978396e-01;
constexpr double Lg5 = 1.818357216161805012e-01;
constexpr double Lg6 = 1.531383769920937332e-01;
constexpr double Lg7 = 1.479819860511658591e-01;
constexpr std::uint64_t kMantissaMask = 0x000FFFFFFFFFFFFFull;
constexpr std::uint64_t kExponentOfOne = 0x3FF0000000000000ull;
constexpr int kExponentBias = 1023;
constexpr int kMantissaBits = 52;
}  // namespace LogConstants

namespace AsinhConstants
{
// Below this a rational fit in x^2; above it log(x + sqrt(x^2 + 1)).
constexpr double kRationalLimit = 0.5;
// Beyond this x^2 + 1 loses the 1 (and later overflows): the library.
constexpr double kLogLimit = 1e8;
// Below this asinh(x) is x to double precision (and keeps the sign of zero).
constexpr double kLinear = 1e-9;
constexpr double P0 = -4.33231683752342103572e-3;
constexpr double P1 = -5.91750212056387121207e-1;
constexpr double P2 = -4.37390226194356683570e0;
constexpr double P3 = -9.09030533308377316566e0;
constexpr double P4 = -5.56682227230859640450e0;
constexpr double Q0 = 1.28757002067426453537e1;
constexpr double Q1 = 4.86042483805291788324e1;
constexpr double Q2 = 6.95722521337257608734e1;
constexpr double Q3 = 3.34009336338516356383e1;
}  // namespace AsinhConstants
