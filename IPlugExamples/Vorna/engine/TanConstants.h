#pragma once

// The constants of FastMath::Tan, shared with the roads that compute it for
// several filters at once (RunLanes), which must repeat it exactly.
namespace TanConstants
{
constexpr double kQuarterPi = 0.78539816339744830962;
constexpr double kHalfPi = 1.57079632679489661923;
// pi/2 in three parts: x - pi/2 keeps its digits where tan(x) is large.
constexpr double kHalfPiHi = 2.0 * 7.853981554508209228515625e-1;
constexpr double kHalfPiMid = 2.0 * 7.94662735614792836714e-9;
constexpr double kHalfPiLo = 2.0 * 3.06161699786838294307e-17;
constexpr double P0 = -1.30936939181383777646e4;
constexpr double P1 = 1.15351664838587416140e6;
constexpr double P2 = -1.79565251976484877988e7;
constexpr double Q0 = 1.36812963470692954678e4;
constexpr double Q1 = -1.32089234440210967447e6;
constexpr double Q2 = 2.50083801823357915839e7;
constexpr double Q3 = -5.38695755929454629881e7;
}  // namespace TanConstants
