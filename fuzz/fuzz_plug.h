#pragma once

#include "IPlugStandalone.h"

#include <cstdlib>

// The plug-in the state fuzzers feed: a few parameters of every kind and
// three preset slots, so that readers get past their counts.
class FuzzPlug : public IPlugStandalone
{
public:
  static constexpr int kNParams = 4;

  explicit FuzzPlug(bool doesChunks)
      : IPlugStandalone(IPlugInstanceInfo{}, kNParams, "2-2", 3, "Fuzz", "", "Maker", 0x010000, 0x46757A7A, 0, 0, true,
                        doesChunks, true, 0)
  {
    GetParam(0)->InitBool("on", true, "", "");
    GetParam(1)->InitInt("mode", 2, 0, 4, "", "");
    GetParam(2)->InitEnum("shape", 1, 3, "", "");
    GetParam(3)->InitDouble("gain", 0.5, -1.0, 1.0, 0.001, "", "", 2.0);
    MakeDefaultPreset("start", 1);
  }

  using IPlugBase::LoadBankFromBytes;
  using IPlugBase::LoadProgramFromBytes;

  // Whatever was read, every value must lie in its parameter's range.
  void CheckValues() const
  {
    for (int i = 0; i < NParams(); ++i)
    {
      const IParam* p = GetParam(i);
      if (!(p->Value() >= p->GetMin() && p->Value() <= p->GetMax())) std::abort();
    }
  }
};
