#pragma once

#include "filters/FilterKinds.h"

// One filter model. Objects of every model are preallocated per slot and the
// container only repoints, so there is no virtual destructor on purpose: they are
// never deleted through this interface.
class FilterZK
{
public:
  // Which of the engine's models an object is, so that the per-sample path can
  // call it directly (and inline) instead of through the virtual table.
  FilterModel GetKind() const { return mKind; }

  virtual void Reset() = 0;
  virtual double Process(double x) = 0;
  virtual void Process(double* /*pair*/) {}
  // Cutoff or centre in Hz.
  virtual void SetFreq(double hz) = 0;
  // Normally in [0, 1].
  virtual void SetResonance(double r) = 0;
  // Normally in [0, 1].
  virtual void SetDrive(double d) = 0;
  virtual void SetPassType(FilterPassType t) { mPassType = t; }
  FilterPassType GetPassType() const { return mPassType; }
  // Only the formant filter uses it (its formant shift).
  virtual void SetAdditionalParam(double /*p*/) {}

protected:
  explicit FilterZK(FilterModel kind = kFltOther) : mKind(kind) {}
  ~FilterZK() = default;

  FilterPassType mPassType = kLP;

private:
  FilterModel mKind;
};
