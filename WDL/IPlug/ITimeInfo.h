#pragma once

// The host's transport at the start of the current block.
struct ITimeInfo
{
  double mTempo = 120.0;  // beats per minute
  double mSamplePos = 0.0;
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
};
