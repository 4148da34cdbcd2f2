// Runs of frames: the sounding voices rendered side by side in RunLanes.
#include "VoiceManager.h"

#include "DCremove.h"
#include "filters/FilterContainer.h"
#include "filters/FilterMath.h"
#include "filters/FormantFltZK.h"

#include <algorithm>
#include <bit>

static_assert(RunLanes::kBesselOrder == WDL_BesselFilterCoeffs::kOrder &&
                RunLanes::kBesselHistory == Oscillator::kBesselHistoryLength,
              "the lanes keep the oscillators' lowpass history");
static_assert(int(RunLanes::kFmPre) == int(VoiceDataSingleton::kFmOsc) &&
                int(RunLanes::kFmPost) == int(VoiceDataSingleton::kFmFilter) &&
                int(RunLanes::kFmPreTimesEnvelope) == int(VoiceDataSingleton::kFmEnvelope),
              "the lanes number the FM sources as the engine does");
static_assert(RunLanes::kCycle == PlugC::twoPi, "the lanes' cycle is the oscillators'");
static_assert(OscillatorConstants::kBesselOrder == WDL_BesselFilterCoeffs::kOrder,
              "the oscillators' maths reads the lowpass's coefficients");

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

Voice::RunWalks VoiceManager::Walks() const
{
  return {!mTuneShiver.IsIdle(), !mCutoffShiver.IsIdle(), !mPanShiver.IsIdle()};
}

int VoiceManager::FramesToRun(int maxFrames) const
{
  const VoiceDataSingleton& d = mData;
  // A walking bend moves where every frame reads the waveform; the runs take
  // the other shivers' walks ahead of them.
  if (!mBendShiver.IsIdle()) return 0;
  const int amCarriers = AmCarriers();
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    // Inputs reach the voices sample by sample; noise is drawn ahead for a run.
    if (d.inputAmount[osc] != 0.0 || !(d.noiseAmount[osc] >= 0.0)) return 0;
    // Oscillator AM that adds the modulator's external AM, which noise makes.
    if ((amCarriers >> osc & 1) != 0 && d.addExtToOscAm[osc] && d.noiseAmount[1 - osc] > 0.0) return 0;
  }
  // FM runs where a slot is modulated from what the other computes.
  if (FmReceivers() == kFmNotRunnable) return 0;
  int frames = maxFrames;
  if (d.soundingVoices == 0) return frames;
  // Where one voice cannot run, or computes its slots otherwise than the
  // first, the frame goes the usual way: stop looking.
  const Voice::RunWalks walks = Walks();
  const Voice::RunShape shape = mVoices[std::countr_zero(d.soundingVoices)].GetRunShape(walks);
  for (std::uint32_t sounding = d.soundingVoices; sounding != 0 && frames > 0; sounding &= sounding - 1)
  {
    const Voice& v = mVoices[std::countr_zero(sounding)];
    frames = v.GetRunShape(walks) == shape ? v.FramesItCanRun(frames, walks) : 0;
  }
  return frames;
}

int VoiceManager::FmReceivers() const
{
  const VoiceDataSingleton& d = mData;
  int receivers = 0;
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (d.fmAmount[osc] == 0.0) continue;
    const int source = d.fmSource[osc];
    const bool fromTheOtherSlot = source == VoiceDataSingleton::kFmOsc || source == VoiceDataSingleton::kFmFilter ||
                                  source == VoiceDataSingleton::kFmEnvelope;
    if (!fromTheOtherSlot || !d.oscOn[0] || !d.oscOn[1]) return kFmNotRunnable;
    receivers |= 1 << osc;
  }
  return receivers;
}

int VoiceManager::AmCarriers() const
{
  const VoiceDataSingleton& d = mData;
  if (!d.oscOn[0] || !d.oscOn[1]) return 0;
  return (d.oscAmAmount[0] != 0.0 ? 1 : 0) | (d.oscAmAmount[1] != 0.0 ? 2 : 0);
}

int VoiceManager::SyncSlave() const
{
  const VoiceDataSingleton& d = mData;
  const int master = d.hardSyncMaster - 1;
  if (!d.oscOn[0] || !d.oscOn[1] || master < 0 || master >= kNumOscs) return -1;
  return 1 - master;
}

void VoiceManager::GatherRunSlot(int osc, Voice* const* active, int count, int fmReceivers, int syncSlave,
                                 int amCarriers, int second)
{
  const Voice::RunWalks walks = Walks();
  const Voice::RunShape shape = active[0]->GetRunShape(walks);
  // Lanes past the last voice up to the road's lane group compute what is not
  // used, and only need numbers a voice holds: the last voice's, gathered
  // again only where the last run of this slot had other voices or shapes (a
  // lone voice gathers once, not four times).
  const int lanes = RunLanes::LanesFor(count);
  RunPadding& padding = mRunPadding[osc];
  const int gathered = padding.voices == count && padding.shape == shape ? count : lanes;
  padding = {count, shape};
  RunLanes::Slot& slot = mRunSlots[osc];
  RunLanes::Slot& other = mRunSlots[1 - osc];
  slot.firstFrame = 0;
  // The voices share the waveform, the phase period and the bend's shape.
  RunLanes::OscillatorRecord& o = slot.osc;
  o.waveform = shape.wave[osc];
  o.period = shape.phasePeriod[osc];
  const double N = mData.oversampling[osc];
  o.subSamples = N >= 2.0 ? static_cast<int>(N) - 1 : 0;
  o.subStep = mData.oversamplingSubStep[osc];
  std::copy_n(mData.bessel[osc].coeffs, RunLanes::kBesselOrder, o.besselCoeffs);
  o.besselGain = mData.bessel[osc].gain;
  o.shiverWalks = walks.tune;
  RunLanes::BendRecord& bend = slot.bend;
  bend.middle = shape.bendSymmetry[osc] == kBendMiddle;
  bend.spanNote = shape.bendSpanOrigin[osc] == kBendSpanNote;
  bend.read = o.period != PlugC::twoPi;  // until a voice is bent
  bend.repeats = false;
  bend.mostSquarings = 0;
  slot.glide.on = false;  // until a voice glides
  slot.glide.velocityScale = Voice::kVelocityScale;
  RunLanes::FmRecord& fm = slot.fm;
  fm.in = (fmReceivers >> osc & 1) != 0;
  fm.amount = mData.fmAmount[osc];
  fm.limit = Voice::kFmLimit;
  fm.sourceRecord = other.fm.record;
  fm.out = (fmReceivers >> (1 - osc) & 1) != 0;
  fm.source = mData.fmSource[1 - osc];  // what the other slot reads of this one
  RunLanes::SyncRecord& sync = slot.sync;
  sync.out = syncSlave >= 0 && osc != syncSlave;
  sync.preFilter = mData.hardSyncPreFilter;
  sync.in = osc == syncSlave;
  sync.period = mData.hardSyncPeriod;
  sync.softLength = osc == syncSlave ? std::max(mData.hardSyncSoftLength, 0) : 0;
  sync.sourceRecord = other.sync.record;
  RunLanes::AmRecord& am = slot.am;
  const VoiceDataSingleton::AmThreshold& threshold = mData.oscAmThreshold[osc];
  am.out = (amCarriers >> (1 - osc) & 1) != 0;
  am.in = (amCarriers >> osc & 1) != 0;
  am.deferred = am.in && osc != second;
  am.carrierFilter = mData.carrierFilter[osc];
  am.addsExternal = mData.addExtToOscAm[osc];
  am.amount = mData.oscAmAmount[osc];
  am.threshold = threshold.threshold;
  am.slope = *threshold.slope;
  am.sourceRecord = other.am.record;
  am.envelopeRecord = other.am.envelopes;
  slot.dc.on = mData.dcRemoverOn[osc];
  RunLanes::FilterRecord& filter = slot.filter;
  filter.on = mData.filterOn[osc];
  filter.model = shape.model[osc];
  filter.passType = shape.passType[osc];
  filter.range = FilterMath::CurrentRange();
  filter.driven = false;  // until a voice's model is driven
  filter.cutoff.moves = shape.cutoffMoves[osc];
  filter.cutoff.glides = false;  // until a voice's cutoff glides
  filter.cutoff.minCutoff = FilterContainer::kMinCutoff;
  filter.cutoff.maxCutoff = PlugG::FLT_F_MAX;
  filter.cutoff.shiverWalks = walks.cutoff;
  filter.cutoff.shivers = walks.cutoff;  // or where a voice's shiver stands away from 0
  RunLanes::OutputRecord& output = slot.output;
  output.feedback = mData.feedback[osc];
  output.volume = mData.volume[osc];
  output.panWalks = walks.pan;
  output.external = mData.noiseAmount[osc] > 0.0;
  output.amDepth = mData.amDepth[osc];
  output.amThreshold = mData.amThreshold[osc].threshold;
  output.amSlope = *mData.amThreshold[osc].slope;
  for (int lane = 0; lane < gathered; ++lane) active[std::min(lane, count - 1)]->GatherRun(osc, slot, lane);
}

void VoiceManager::RenderAhead(Voice* const* active, int count, int frames)
{
  const bool noise = mData.noiseAmount[0] > 0.0 || mData.noiseAmount[1] > 0.0;
  const Voice::RunWalks walks = Walks();
  const bool walking = walks.tune || walks.cutoff || walks.pan;
  if (!walking)
  {
    if (noise) MixNoiseAhead(0, frames);
    return;
  }
  int k = 0;
  while (k < frames)
  {
    // Frames in which no walk starts a segment go at once, a shiver at a time:
    // only a segment's start draws from the generator the noise shares, so
    // every number is still drawn in the frames' order.
    int ahead = frames - k;
    for (const ParamShiver* shiver : {static_cast<const ParamShiver*>(&mTuneShiver),
                                      static_cast<const ParamShiver*>(&mBendShiver),
                                      static_cast<const ParamShiver*>(&mCutoffShiver),
                                      static_cast<const ParamShiver*>(&mPanShiver)})
      ahead = shiver->SamplesBeforeADraw(ahead);
    if (ahead > 0)
    {
      if (noise) MixNoiseAhead(k, k + ahead);
      WalkAhead(active, count, walks, k, ahead, frames);
      k += ahead;
      continue;
    }
    if (noise) MixNoiseAhead(k, k + 1);
    mTuneShiver.Process();
    mBendShiver.Process();
    mCutoffShiver.Process();
    mPanShiver.Process();
    // What the voices take for the next frame.
    if (k + 1 < frames) RecordWalks(active, count, walks, k + 1);
    ++k;
  }
}

void VoiceManager::MixNoiseAhead(int first, int end)
{
  double* const noInputs[2] = {nullptr, nullptr};  // a run has none
  for (int k = first; k < end; ++k)
  {
    mData.ClearSampleValues();
    mData.noise[0] = NextNoise();
    mData.noise[1] = NextNoise();
    for (int osc = 0; osc < kNumOscs; ++osc)
    {
      if (!mData.oscOn[osc] || mData.noiseAmount[osc] == 0.0) continue;
      mData.PrepareExtMixedSamplesForOsc(osc, noInputs);
      RunLanes::OutputRecord& output = mRunSlots[osc].output;
      std::copy_n(mData.directMix[osc], 2, output.direct[k]);
      std::copy_n(mData.modulatedMix[osc], 2, output.modulated[k]);
    }
  }
}

void VoiceManager::WalkAhead(Voice* const* active, int count, const Voice::RunWalks& walks, int first, int samples,
                             int frames)
{
  int lanes[kNumVoices];
  std::fill_n(lanes, kNumVoices, -1);
  for (int i = 0; i < count; ++i) lanes[active[i]->GetIndex()] = i;
  ParamShiver::WalkRecord tune, bend, cutoff, pan;
  for (ParamShiver::WalkRecord* record : {&tune, &bend, &cutoff, &pan})
  {
    record->lane = lanes;
    record->stride = RunLanes::kMaxVoices;
    record->firstFrame = first;
    record->lastFrame = frames - 1;
  }
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (!mData.oscOn[osc]) continue;
    RunLanes::Slot& slot = mRunSlots[osc];
    if (walks.tune) tune.rows[osc] = slot.osc.shiverFactors;
    if (walks.cutoff && mData.filterOn[osc]) cutoff.rows[osc] = slot.filter.cutoff.shiver;
    if (walks.pan) pan.rows[osc] = mRunPanWalk[osc];
  }
  // A voice a walk does not reach holds its value through the frames.
  const int end = std::min(first + samples, frames - 1);
  const auto hold = [&](double* rows, std::uint32_t written) {
    const double* from = rows + first * RunLanes::kMaxVoices;
    for (int i = 0; i < count; ++i)
    {
      if ((written >> active[i]->GetIndex() & 1) != 0) continue;
      for (int k = first + 1; k <= end; ++k) rows[k * RunLanes::kMaxVoices + i] = from[i];
    }
  };
  std::uint32_t written[kNumOscs];
  mTuneShiver.WalkAhead(samples, tune, written);
  for (int osc = 0; osc < kNumOscs; ++osc)
    if (tune.rows[osc]) hold(tune.rows[osc], written[osc]);
  mBendShiver.WalkAhead(samples, bend, written);
  mCutoffShiver.WalkAhead(samples, cutoff, written);
  for (int osc = 0; osc < kNumOscs; ++osc)
    if (cutoff.rows[osc]) hold(cutoff.rows[osc], written[osc]);
  mPanShiver.WalkAhead(samples, pan, written);
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (!pan.rows[osc]) continue;
    // The walked positions become gains as a voice's SetPanL makes them.
    RunLanes::OutputRecord& output = mRunSlots[osc].output;
    for (int i = 0; i < count; ++i)
    {
      if ((written[osc] >> active[i]->GetIndex() & 1) == 0) continue;
      for (int k = first + 1; k <= end; ++k)
      {
        const int at = k * RunLanes::kMaxVoices + i;
        Voice::PanGains(mRunPanWalk[osc][at], output.panLefts[at], output.panRights[at]);
      }
    }
    hold(output.panLefts, written[osc]);
    hold(output.panRights, written[osc]);
  }
}

void VoiceManager::RecordWalks(Voice* const* active, int count, const Voice::RunWalks& walks, int k)
{
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    if (!mData.oscOn[osc]) continue;
    RunLanes::Slot& slot = mRunSlots[osc];
    double* tune = slot.osc.shiverFactors + k * RunLanes::kMaxVoices;
    double* cutoff = slot.filter.cutoff.shiver + k * RunLanes::kMaxVoices;
    double* panLeft = slot.output.panLefts + k * RunLanes::kMaxVoices;
    double* panRight = slot.output.panRights + k * RunLanes::kMaxVoices;
    const bool cutoffs = walks.cutoff && mData.filterOn[osc];
    for (int i = 0; i < count; ++i)
    {
      const Voice& v = *active[i];
      if (walks.tune) tune[i] = v.GetOscillator(osc).GetShiverFactor();
      if (cutoffs) cutoff[i] = v.GetFilter(osc).GetShiver();
      if (!walks.pan) continue;
      panLeft[i] = v.GetPanLeft(osc);
      panRight[i] = v.GetPanRight(osc);
    }
  }
}

void VoiceManager::RenderRun(double* left, double* right, Voice* const* active, int count, int frames)
{
  // Every frame clears these first; nothing in a run sets them again.
  mData.ClearSampleValues();
  // As every frame starts; the slots then fill in what their oscillators made.
  for (int i = 0; i < count; ++i) active[i]->Zero();
  const int fmReceivers = FmReceivers();
  const int syncSlave = SyncSlave();
  const int amCarriers = AmCarriers();
  // Sync and AM read the frame the other slot has just computed: the slave, or
  // else a carrier, runs second (a carrier running first takes its AM a call
  // later). FM reads the frame before.
  const int second = syncSlave >= 0                                    ? syncSlave
                     : amCarriers != 0                                 ? (amCarriers == 1 << 0 ? 0 : 1)
                     : fmReceivers == 1 << 0                           ? 0
                                                                       : 1;
  const int first = 1 - second;
  const int order[kNumOscs] = {first, second};
  const bool sounding[kNumOscs] = {mData.oscOn[0] && count > 0, mData.oscOn[1] && count > 0};
  // Every slot gathers before any runs: what FM reads from before the run
  // stays untouched by the other slot's run.
  for (int osc : order)
    if (sounding[osc]) GatherRunSlot(osc, active, count, fmReceivers, syncSlave, amCarriers, second);
  RenderAhead(active, count, frames);
  // Where the slot running first reads the other as well, the two take turns,
  // a frame each; otherwise each slot renders the whole run at once.
  const bool firstReads = ((fmReceivers | amCarriers) >> first & 1) != 0;
  if (sounding[0] && sounding[1] && firstReads)
  {
    for (int k = 0; k < frames; ++k)
      for (int osc : order)
      {
        mRunSlots[osc].firstFrame = k;
        RunLanes::Render(mRunSlots[osc], count, 1, mRunLeft[osc], mRunRight[osc]);
      }
    // The first slot's AM of the last frame.
    mRunSlots[first].firstFrame = frames;
    if (mRunSlots[first].am.deferred) RunLanes::Render(mRunSlots[first], count, 0, mRunLeft[first], mRunRight[first]);
  }
  else
  {
    for (int osc : order)
      if (sounding[osc]) RunLanes::Render(mRunSlots[osc], count, frames, mRunLeft[osc], mRunRight[osc]);
  }
  for (int osc = 0; osc < kNumOscs; ++osc)
  {
    double* busLeft = mRunBuses[osc][0];
    double* busRight = mRunBuses[osc][1];
    std::fill_n(busLeft, frames, 0.0);
    std::fill_n(busRight, frames, 0.0);
    if (!sounding[osc]) continue;
    // The voices add into the bus in their order, as frame by frame.
    for (int k = 0; k < frames; ++k)
    {
      const double* l = mRunLeft[osc] + k * RunLanes::kMaxVoices;
      const double* r = mRunRight[osc] + k * RunLanes::kMaxVoices;
      double sumLeft = 0.0, sumRight = 0.0;
      // Four voices a step, still added one after the other.
      int i = 0;
      for (; i + 4 <= count; i += 4)
      {
        sumLeft = sumLeft + l[i] + l[i + 1] + l[i + 2] + l[i + 3];
        sumRight = sumRight + r[i] + r[i + 1] + r[i + 2] + r[i + 3];
      }
      for (; i < count; ++i)
      {
        sumLeft += l[i];
        sumRight += r[i];
      }
      busLeft[k] = sumLeft;
      busRight[k] = sumRight;
    }
  }
  // The voices take up their slots' results only after both slots ran.
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
