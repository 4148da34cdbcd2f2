#include "VoiceDataSingleton.h"

void VoiceDataSingleton::PrepareExtMixedSamplesForOsc(int osc, double* const* extInputs)
{
  double* pair = directMix[osc];
  bool filterable = false;
  if (noiseAmount[osc] != 0.0)
  {
    pair[0] += noiseAmount[osc] * noise[0];
    pair[1] += noiseAmount[osc] * noise[1];
    filterable = true;
  }
  const bool inputAmountSet = inputAmount[osc] != 0.0;
  if (inputAmountSet && filterAux[osc])
  {
    pair[0] += inputAmount[osc] * *extInputs[0];
    pair[1] += inputAmount[osc] * *extInputs[1];
    filterable = true;
  }
  if (filterable && noiseFilter[osc].GetColor() != 0.0) noiseFilter[osc].Process(pair);
  if (inputAmountSet && !filterAux[osc])
  {
    pair[0] += inputAmount[osc] * *extInputs[0];
    pair[1] += inputAmount[osc] * *extInputs[1];
  }

  const double d = amDepth[osc];
  double* modulated = modulatedMix[osc];
  if (d == 1.0)
  {
    modulated[0] = pair[0];
    modulated[1] = pair[1];
  }
  else if (d != 0.0)
  {
    modulated[0] = d * pair[0];
    modulated[1] = d * pair[1];
    pair[0] *= 1.0 - d;
    pair[1] *= 1.0 - d;
  }
}

void VoiceDataSingleton::ClearSampleValues()
{
  noise[0] = noise[1] = 0.0;
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    directMix[osc][0] = directMix[osc][1] = 0.0;
    modulatedMix[osc][0] = modulatedMix[osc][1] = 0.0;
    buses[osc][0] = buses[osc][1] = 0.0;
  }
}
