// Runs of frames: the sounding voices rendered side by side in RunLanes.
#include "VoiceManager.h"

#include "DCremove.h"
#include "FilterContainer.h"
#include "FilterMath.h"
#include "FormantFltZK.h"

#include <algorithm>
#include <bit>

static_assert(int(RunLanes::kSine) == int(kOscSine) && int(RunLanes::kSaw) == int(kOscSaw) &&
                int(RunLanes::kSquare) == int(kOscSquare) && int(RunLanes::kTriangle) == int(kOscTri) &&
                int(RunLanes::kSinc) == int(kOscSinc) && int(RunLanes::kPolysaw) == int(kOscPolysaw),
              "the lanes number the waveforms as the oscillator does");
static_assert(RunLanes::kBesselOrder == WDL_BesselFilterCoeffs::kOrder &&
                RunLanes::kBesselHistory == Oscillator::kBesselHistoryLength,
              "the lanes keep the oscillators' lowpass history");
static_assert(int(RunLanes::kFmPre) == int(VoiceDataSingleton::kFmOsc) &&
                int(RunLanes::kFmPost) == int(VoiceDataSingleton::kFmFilter) &&
                int(RunLanes::kFmPreTimesEnvelope) == int(VoiceDataSingleton::kFmEnvelope),
              "the lanes number the FM sources as the engine does");
static_assert(int(RunLanes::kReson) == int(kFltReson) && int(RunLanes::kSimple) == int(kFltSimple) &&
                int(RunLanes::kFormant) == int(kFltFormant) && int(RunLanes::kTLadder) == int(kFltTLadder) &&
                int(RunLanes::kMoog) == int(kFltMoog),
              "the lanes number the filter models as the engine does");

static_assert(RunLanes::kFormantBands == FormantFltZK::kNumFormants && FormantFltZK::kNumVowels == 5 &&
                sizeof(FormantFltZK::VowelTable) == 5 * 5 * 3 * sizeof(double),
              "the lanes read the formant filter's vowel tables as it lays them out");

int VoiceManager::CollectSounding(Voice** active)
{
  int count = 0;
  for (std::uint32_t sounding = mData.soundingVoices; sounding != 0; sounding &= sounding - 1)
    active[count++] = &mVoices[std::countr_zero(sounding)];
  return count;
}

int VoiceManager::RenderFrames(double* left, double* right, int maxFrames, double* const* extIn,
                               const double* fmAuxEnv)
{
  const int frames = FramesToRun(std::min(maxFrames, RunLanes::kMaxFrames));
  if (frames > 0)
  {
    Voice* active[kNumVoices];
    const int count = CollectSounding(active);
    RenderRun(left, right, active, count, frames);
    return frames;
  }
  // Frames that cannot run go one by one, a few before the next look for a run,
  // so that a patch the lanes never take pays little for the looking. They stop
  // where the last voice falls silent: the caller renders no frame then.
  double* in[kNumInputStreams];
  std::copy_n(extIn, kNumInputStreams, in);
  const int single = std::min(maxFrames, kFramesBetweenLooks);
  int k = 0;
  do
  {
    double out[2];
    RenderFrame(out, in, fmAuxEnv);
    left[k] = out[0];
    right[k] = out[1];
    for (double*& p : in) ++p;
  } while (++k < single && mTables.GetActiveCount() > 0);
  return k;
}

int VoiceManager::FramesToRun(int maxFrames) const
{
  const VoiceDataSingleton& d = mData;
  // A shiver that walks moves the voices every frame.
  if (!mTuneShiver.IsIdle() || !mBendShiver.IsIdle() || !mCutoffShiver.IsIdle() || !mPanShiver.IsIdle()) return 0;
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    // Noise and inputs reach the voices sample by sample.
    if (d.noiseAmount[osc] != 0.0 || d.inputAmount[osc] != 0.0) return 0;
  }
  // FM runs where one slot modulates the other from what that one computes.
  const int fmIn = FmReceiver();
  if (fmIn == kFmNotRunnable) return 0;
  const int amCarrier = AmCarrier();
  if (amCarrier == kAmNotRunnable) return 0;
  // Each slot reads the other one way at most: the one read from runs first.
  if (fmIn >= 0 && SyncSlave() >= 0 && SyncSlave() != fmIn) return 0;
  if (amCarrier >= 0 && ((fmIn >= 0 && fmIn != amCarrier) || (SyncSlave() >= 0 && SyncSlave() != amCarrier))) return 0;
  int frames = maxFrames;
  if (d.soundingVoices == 0) return frames;
  // Where one voice cannot run, or computes its slots otherwise than the
  // first, the frame goes the usual way: stop looking.
  const Voice::RunShape shape = mVoices[std::countr_zero(d.soundingVoices)].GetRunShape();
  for (std::uint32_t sounding = d.soundingVoices; sounding != 0 && frames > 0; sounding &= sounding - 1)
  {
    const Voice& v = mVoices[std::countr_zero(sounding)];
    frames = v.GetRunShape() == shape ? v.FramesItCanRun(frames) : 0;
  }
  return frames;
}

int VoiceManager::FmReceiver() const
{
  const VoiceDataSingleton& d = mData;
  const bool fm[kNumOscs] = {d.fmAmount[0] != 0.0, d.fmAmount[1] != 0.0};
  if (!fm[0] && !fm[1]) return -1;
  // Both ways, the slots would need each other's every frame.
  if (fm[0] && fm[1]) return kFmNotRunnable;
  const int receiver = fm[0] ? 0 : 1;
  const int source = d.fmSource[receiver];
  const bool fromTheOtherSlot = source == VoiceDataSingleton::kFmOsc || source == VoiceDataSingleton::kFmFilter ||
                                source == VoiceDataSingleton::kFmEnvelope;
  if (!fromTheOtherSlot || !d.oscOn[0] || !d.oscOn[1]) return kFmNotRunnable;
  return receiver;
}

int VoiceManager::AmCarrier() const
{
  const VoiceDataSingleton& d = mData;
  if (!d.oscOn[0] || !d.oscOn[1]) return -1;
  const bool am[kNumOscs] = {d.oscAmAmount[0] != 0.0, d.oscAmAmount[1] != 0.0};
  if (am[0] && am[1]) return kAmNotRunnable;
  return am[0] ? 0 : am[1] ? 1 : -1;
}

int VoiceManager::SyncSlave() const
{
  const VoiceDataSingleton& d = mData;
  const int master = d.hardSyncMaster - 1;
  if (!d.oscOn[0] || !d.oscOn[1] || master < 0 || master >= kNumOscs) return -1;
  return 1 - master;
}

void VoiceManager::RenderRun(double* left, double* right, Voice* const* active, int count, int frames)
{
  // Every frame clears these first; nothing in a run sets them again.
  mData.ClearSampleValues();
  const Voice::RunShape shape = count > 0 ? active[0]->GetRunShape() : Voice::RunShape{};
  // Lanes past the last voice up to the widest lane group repeat its state.
  constexpr int kWidestLanes = 4;
  const int lanes = count == 0 ? 0 : (count + kWidestLanes - 1) / kWidestLanes * kWidestLanes;
  // As every frame starts; the slots then fill in what their oscillators made.
  for (int i = 0; i < count; ++i) active[i]->Zero();
  // A slot that modulates the other's frequency runs first and records what that one reads.
  const int fmIn = FmReceiver();
  const int syncSlave = SyncSlave();
  const int amCarrier = AmCarrier();
  const int second = amCarrier >= 0 ? amCarrier : fmIn >= 0 ? fmIn : syncSlave >= 0 ? syncSlave : 1;
  const int order[kNumOscs] = {1 - second, second};
  for (int osc : order)
  {
    double* busLeft = mRunBuses[osc][0];
    double* busRight = mRunBuses[osc][1];
    std::fill_n(busLeft, frames, 0.0);
    std::fill_n(busRight, frames, 0.0);
    if (!mData.oscOn[osc] || count == 0) continue;

    RunLanes::Slot& slot = mRunSlots[osc];
    slot.dcRemoverOn = mData.dcRemoverOn[osc];
    slot.filterOn = mData.filterOn[osc];
    slot.carrierFilter = mData.carrierFilter[osc];
    slot.feedback = mData.feedback[osc];
    const double N = mData.oversampling[osc];
    slot.subSamples = N >= 2.0 ? static_cast<int>(N) - 1 : 0;
    slot.subStep = mData.oversamplingSubStep[osc];
    std::copy_n(mData.bessel[osc].coeffs, RunLanes::kBesselOrder, slot.besselCoeffs);
    slot.besselGain = mData.bessel[osc].gain;
    slot.volume = mData.volume[osc];
    slot.period = PlugC::twoPi;
    slot.snap = Oscillator::kZeroSnap;
    slot.sincOffset = Oscillator::kSincOffset;
    slot.dcSilence = DCremove::kSilence;
    slot.dcFadeOut = DCremove::kFadeOutFactor;
    slot.waveform = shape.wave[osc];
    slot.model = shape.model[osc];
    slot.cutoffMoves = shape.cutoffMoves[osc];
    slot.passType = shape.passType[osc];
    slot.minCutoff = FilterContainer::kMinCutoff;
    slot.maxCutoff = PlugG::FLT_F_MAX;
    slot.cutoffCeiling = std::max(FilterMath::kMinCutoffHz, PlugG::NYQUIST);
    slot.inverseRate = PlugG::INV_SR;
    slot.maxWarpFraction = FilterMath::kMaxWarpFraction;
    slot.minWarpHz = FilterMath::kMinCutoffHz;
    slot.maxWarpHz = FilterMath::MaxWarpHz();
    slot.piOverRate = PlugG::piDivSR;
    slot.maxStageGain = DiodeLadderZDF::kMaxStageGain;
    slot.formantTables[0] = &FormantFltZK::soprano[0][0][0];
    slot.formantTables[1] = &FormantFltZK::bass[0][0][0];
    slot.formantMirrorHz = std::min(FormantFltZK::kMirrorHz, FilterMath::MaxWarpHz());
    slot.formantMinHz = FormantFltZK::kMinFormantHz;
    slot.syncIn = osc == syncSlave;
    slot.syncOut = syncSlave >= 0 && osc != syncSlave;
    slot.syncPreFilter = mData.hardSyncPreFilter;
    slot.syncPeriod = mData.hardSyncPeriod;
    slot.syncSoftLength = osc == syncSlave ? std::max(mData.hardSyncSoftLength, 0) : 0;
    slot.syncSourceRecord = mRunSlots[1 - osc].syncRecord;
    slot.fmIn = osc == fmIn;
    slot.fmOut = fmIn >= 0 && osc != fmIn;
    if (fmIn >= 0)
    {
      slot.fmSource = mData.fmSource[fmIn];
      slot.fmAmount = mData.fmAmount[fmIn];
      slot.fmLimit = Voice::kFmLimit;
      slot.fmSourceRecord = mRunSlots[1 - fmIn].fmRecord;
    }
    slot.amIn = osc == amCarrier;
    slot.amOut = amCarrier >= 0 && osc != amCarrier;
    if (amCarrier >= 0)
    {
      const VoiceDataSingleton::AmThreshold& threshold = mData.oscAmThreshold[amCarrier];
      slot.amAmount = mData.oscAmAmount[amCarrier];
      slot.amThreshold = threshold.threshold;
      slot.amSlope = *threshold.slope;
      slot.amAddsExternal = mData.addExtToOscAm[amCarrier];
      slot.amSourceRecord = mRunSlots[1 - amCarrier].amRecord;
      slot.amEnvelopeRecord = mRunSlots[1 - amCarrier].amEnvelopes;
    }
    slot.biquadDriven = false;  // until a voice's biquad has drive
    slot.sampleRate = PlugG::SR;
    for (int lane = 0; lane < lanes; ++lane) active[std::min(lane, count - 1)]->GatherRun(osc, slot, lane);
    RunLanes::Render(slot, count, frames, mRunLeft, mRunRight);

    // The voices add into the bus in their order, as frame by frame.
    for (int k = 0; k < frames; ++k)
    {
      const double* l = mRunLeft + k * RunLanes::kMaxVoices;
      const double* r = mRunRight + k * RunLanes::kMaxVoices;
      double sumLeft = busLeft[k], sumRight = busRight[k];
      for (int i = 0; i < count; ++i)
      {
        sumLeft += l[i];
        sumRight += r[i];
      }
      busLeft[k] = sumLeft;
      busRight[k] = sumRight;
    }
  }
  // Only now: a slot that reads the other's values from before the run (FM)
  // gathers them untouched by that slot's run.
  for (int osc = 0; osc < kNumOscs; ++osc)
    if (mData.oscOn[osc])
      for (int i = 0; i < count; ++i) active[i]->FinishRunSlot(osc, mRunSlots[osc], i, frames);
  for (int i = 0; i < count; ++i) active[i]->FinishRun();

  for (int k = 0; k < frames; ++k)
  {
    for (int osc = 0; osc < kNumOscs; ++osc)
      for (int ch = 0; ch < 2; ++ch) mData.buses[osc][ch] = mRunBuses[osc][ch][k];
    double out[2];
    MixMaster(out);
    left[k] = out[0];
    right[k] = out[1];
  }
}
