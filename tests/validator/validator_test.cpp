// The checks a host's plug-in validator makes, at every common sample rate and
// block size: random notes and the pitch wheel, every parameter automated to
// random values, noise on every input. The output must stay finite, normal
// and bounded, also when the inputs carry NaN, infinities, the largest doubles
// and subnormals; after all-notes-off it must fall silent within the release
// time; and a saved state must come back byte for byte after every parameter
// was moved.
#include "BoundedInputs.h"
#include "ByteChunk.h"
#include "Vorna.h"
#include "VornaParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace
{
constexpr int kSampleRates[] = {22050, 32000, 44100, 48000, 96000, 192000};
constexpr int kBlockSizes[] = {1, 16, 64, 512, 4096};

constexpr int kInputChannels = 8;
// A host automating every parameter sends a new value this often.
constexpr long kAutomationInterval = 32;
// Random playing per combination, kept short: thirty combinations run it, and
// the other checks only need a random state to start from.
constexpr double kPlayingSeconds = 1.0;
constexpr double kLeadInSeconds = 0.25;
// The random playing must sound for at least this share of its frames.
constexpr double kLeastSoundingShare = 0.15;
constexpr int kMaxHeldNotes = 6;
// How often an automation step switches an oscillator off, or panics.
constexpr double kSwitchOffChance = 0.1;
constexpr double kPanicChance = 0.02;
// The longest gap between two random MIDI events.
constexpr double kMaxEventGapSeconds = 0.03;
// Releases are drawn from their full range while playing; the release that is
// waited for is drawn up to this, so that the silence check stays short.
constexpr double kLongestAwaitedRelease = 0.25;
// The master limiter bends every sample below its ceiling, 8 at most, and the
// master gain multiplies by at most the top of "master amp".
constexpr double kLimiterCeiling = 8.0;
// A voice ends a sample or two after its release stage; blocks round it up.
constexpr long kReleaseSlackFrames = 8;
// Frames rendered after the release time in which nothing may sound.
constexpr long kSilenceFrames = 2048;

// With hostile inputs, this share of the input samples is one of kHostile, and
// now and then a whole block holds one of them.
constexpr double kHostileShare = 0.125;
// Played once with "Mask input" off and once with it on.
constexpr double kHostilePlayingSeconds = 0.5;
constexpr double kHostileBlockChance = 0.05;
const double kHostile[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           1e308,
                           -1e308,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::denorm_min(),
                           -2.5e-310};
// After the hostile inputs, a steady clean input that both followers hear for
// kRecoverySeconds: rising they settle within 1 % in half of that time;
// falling from a level left by the hostile inputs they cover 90 % of the way
// (85 % allowed).
constexpr double kCleanInput = 0.5;
constexpr double kRecoverySeconds = 0.5;
constexpr double kRecoveredShareLeft = 0.15;

std::string ParamDump(Vorna& plug)
{
  std::string text;
  for (int i = 0; i < kNumParams; ++i)
  {
    char line[96];
    std::snprintf(line, sizeof(line), "  --set \"%s=%.17g\"\n", GetVornaParamRow(i).name, plug.GetParam(i)->Value());
    text += line;
  }
  return text;
}

std::vector<uint8_t> StateBytes(Vorna& plug)
{
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeState(&chunk));
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}

// Plays the plug-in as a host would, with a seeded generator for everything
// random, and checks every sample it renders.
class ValidatorHost
{
public:
  enum class Inputs
  {
    kNoise,    // uniform in [-1, 1]
    kHostile,  // noise mixed with kHostile
    kSteady    // kCleanInput on every channel
  };

  ValidatorHost(int sampleRate, int blockSize, uint64_t seed)
      : mSampleRate(sampleRate), mBlockSize(blockSize), mRandom(seed), mPlug(MakePlug(nullptr, &mMidiOutChannel))
  {
    mPlug->SetSampleRate(sampleRate);
    mPlug->SetBlockSize(blockSize);
    mPlug->Reset();
    mPlug->SeedRandom(seed);
    for (auto& channel : mInputs) channel.resize(size_t(blockSize));
    mLeft.resize(size_t(blockSize));
    mRight.resize(size_t(blockSize));
  }

  Vorna& Plug() { return *mPlug; }
  std::mt19937_64& Random() { return mRandom; }
  long Now() const { return mNow; }
  long SoundingFrames() const { return mSoundingFrames; }
  long FirstFault() const { return mFirstFault; }
  const std::string& FaultText() const { return mFaultText; }
  void SetInputs(Inputs inputs) { mInputKind = inputs; }

  // Every parameter to a random normalised value, as automation sends it.
  // The switches that silence every voice at once lean towards sound, or no
  // voice would live longer than a few automation steps.
  void AutomateEveryParam()
  {
    std::uniform_real_distribution<double> normalised(0.0, 1.0);
    for (int i = 0; i < kNumParams; ++i)
    {
      double value = normalised(mRandom);
      if (i == kOsc1OnOff || i == kOsc2OnOff) value = value < kSwitchOffChance ? 0.0 : 1.0;
      if (i == kMidiPanic) value = value < kPanicChance ? 1.0 : 0.0;
      // Hostile inputs reach the followers only through the "aux env" FM source.
      if ((i == kFm1Source || i == kFm2Source) && mInputKind == Inputs::kHostile && value < 0.5)
        value = mPlug->GetParam(i)->GetNormalized(VoiceDataSingleton::kFmAuxEnv);
      mPlug->SetParameterFromGUI(i, value);
    }
  }

  // Renders frames with random notes, pitch-wheel moves and automation.
  void PlayRandomly(long frames)
  {
    const long end = mNow + frames;
    while (mNow < end)
    {
      const int n = int(std::min<long>(mBlockSize, end - mNow));
      while (mNextAutomation < mNow + n)
      {
        AutomateEveryParam();
        mNextAutomation += kAutomationInterval;
      }
      while (mNextEvent < mNow + n)
      {
        SendRandomEvent(int(mNextEvent - mNow));
        std::uniform_int_distribution<long> gap(1, long(kMaxEventGapSeconds * mSampleRate));
        mNextEvent += gap(mRandom);
      }
      RenderBlock(n);
    }
  }

  // Renders frames with nothing sent; returns the largest |sample| from
  // `quietFrom` (absolute frame) on.
  double Render(long frames, long quietFrom = -1)
  {
    double loudest = 0.0;
    const long end = mNow + frames;
    while (mNow < end)
    {
      const int n = int(std::min<long>(mBlockSize, end - mNow));
      const long start = mNow;
      RenderBlock(n);
      for (int i = 0; i < n; ++i)
        if (quietFrom >= 0 && start + i >= quietFrom)
          loudest = std::max({loudest, std::fabs(mLeft[size_t(i)]), std::fabs(mRight[size_t(i)])});
    }
    return loudest;
  }

  void SendAtNextBlock(IMidiMsg msg)
  {
    msg.mOffset = 0;
    mPlug->ProcessMidiMsg(&msg);
  }

private:
  void SendRandomEvent(int offset)
  {
    std::uniform_int_distribution<int> coin(0, 9);
    const int kind = coin(mRandom);
    if (kind == 0)
    {
      std::uniform_int_distribution<int> wheel(0, 16383);
      const int value = wheel(mRandom);
      IMidiMsg msg(offset, 0xE0, uint8_t(value & 0x7F), uint8_t(value >> 7));
      mPlug->ProcessMidiMsg(&msg);
      return;
    }
    if (!mHeld.empty() && (kind < 5 || int(mHeld.size()) >= kMaxHeldNotes))
    {
      std::uniform_int_distribution<size_t> which(0, mHeld.size() - 1);
      const size_t k = which(mRandom);
      IMidiMsg off(offset, 0x80, uint8_t(mHeld[k]), 0);
      mPlug->ProcessMidiMsg(&off);
      mHeld.erase(mHeld.begin() + long(k));
      return;
    }
    std::uniform_int_distribution<int> key(0, 127), velocity(1, 127);
    const int note = key(mRandom);
    IMidiMsg on(offset, 0x90, uint8_t(note), uint8_t(velocity(mRandom)));
    mPlug->ProcessMidiMsg(&on);
    if (std::find(mHeld.begin(), mHeld.end(), note) == mHeld.end()) mHeld.push_back(note);
  }

  void FillInputs(int n)
  {
    std::uniform_real_distribution<double> noise(-1.0, 1.0), chance(0.0, 1.0);
    std::uniform_int_distribution<size_t> hostile(0, std::size(kHostile) - 1);
    for (auto& channel : mInputs)
    {
      const bool wholeBlock = mInputKind == Inputs::kHostile && chance(mRandom) < kHostileBlockChance;
      const double blockValue = kHostile[hostile(mRandom)];
      for (int i = 0; i < n; ++i)
      {
        double x = mInputKind == Inputs::kSteady ? kCleanInput : noise(mRandom);
        if (mInputKind == Inputs::kHostile && (wholeBlock || chance(mRandom) < kHostileShare))
          x = wholeBlock ? blockValue : kHostile[hostile(mRandom)];
        channel[size_t(i)] = x;
      }
    }
  }

  void RenderBlock(int n)
  {
    FillInputs(n);
    double* inputs[kInputChannels];
    for (int c = 0; c < kInputChannels; ++c) inputs[c] = mInputs[c].data();
    double* outputs[2] = {mLeft.data(), mRight.data()};
    mPlug->LockMutexAndProcessDoubleReplacing(inputs, outputs, n);

    // "Mask input" subtracts the first input pair, bounded as every input is.
    const double bound = kLimiterCeiling * mPlug->GetParam(kMasterAmp)->GetMax() +
                         (mPlug->GetMaskInput() ? BoundedInputs::kLimit : 0.0);
    for (int k = 0; k < 2 && mFirstFault < 0; ++k)
    {
      const double level = mPlug->GetAuxFollower(k).GetLevel();
      if (std::isfinite(level) && level <= BoundedInputs::kLimit) continue;
      mFirstFault = mNow + n;
      mFaultText = "envelope follower " + std::to_string(k + 1) + " is at " + std::to_string(level);
    }
    for (int i = 0; i < n; ++i)
      if (mLeft[size_t(i)] != 0.0 || mRight[size_t(i)] != 0.0) ++mSoundingFrames;
    for (int i = 0; i < n && mFirstFault < 0; ++i)
    {
      for (double x : {mLeft[size_t(i)], mRight[size_t(i)]})
      {
        const char* fault = !std::isfinite(x)                       ? "not finite"
                            : std::fpclassify(x) == FP_SUBNORMAL    ? "subnormal"
                            : std::fabs(x) >= bound                 ? "out of bounds"
                                                                    : nullptr;
        if (!fault) continue;
        mFirstFault = mNow + i;
        char line[128];
        std::snprintf(line, sizeof(line), "sample %ld is %s: %.17g; the parameters then:\n", mFirstFault, fault, x);
        mFaultText = line + ParamDump(*mPlug);
        break;
      }
    }
    mNow += n;
  }

  int mSampleRate;
  int mBlockSize;
  std::mt19937_64 mRandom;
  unsigned short mMidiOutChannel = 0;
  std::unique_ptr<Vorna> mPlug;
  std::vector<double> mInputs[kInputChannels];
  std::vector<double> mLeft, mRight;
  std::vector<int> mHeld;
  Inputs mInputKind = Inputs::kNoise;
  long mNow = 0;
  long mNextAutomation = 0;
  long mNextEvent = 0;
  long mSoundingFrames = 0;
  long mFirstFault = -1;
  std::string mFaultText;
};

class Validator : public testing::TestWithParam<std::tuple<int, int>>
{
protected:
  int SampleRate() const { return std::get<0>(GetParam()); }
  int BlockSize() const { return std::get<1>(GetParam()); }
  uint64_t Seed() const { return uint64_t(SampleRate()) * 7919u + uint64_t(BlockSize()); }
};

TEST_P(Validator, RandomPlayingAndAutomationStayFiniteAndBounded)
{
  ValidatorHost host(SampleRate(), BlockSize(), Seed());
  host.PlayRandomly(long(kPlayingSeconds * SampleRate()));
  EXPECT_LT(host.FirstFault(), 0) << host.FaultText();
  // Checks of silence would prove nothing.
  EXPECT_GT(host.SoundingFrames(), long(kLeastSoundingShare * double(host.Now())));
}

TEST_P(Validator, AllNotesOffFallsSilentWithinTheReleaseTime)
{
  ValidatorHost host(SampleRate(), BlockSize(), Seed() + 1);
  host.PlayRandomly(long(kLeadInSeconds * SampleRate()));
  Vorna& plug = host.Plug();

  // A last automated patch whose releases are short enough to wait for, with
  // oscillator 1 on and a few more keys down so that something sounds; its
  // ramps end within a block, long before the notes are let go.
  host.AutomateEveryParam();
  std::uniform_real_distribution<double> release(plug.GetParam(kOsc1R)->GetMin(), kLongestAwaitedRelease);
  for (int p : {kOsc1R, kOsc2R})
    plug.SetParameterFromGUI(p, plug.GetParam(p)->GetNormalized(release(host.Random())));
  plug.SetParameterFromGUI(kOsc1OnOff, 1.0);
  for (int key : {40, 52, 64, 76}) host.SendAtNextBlock(IMidiMsg(0, 0x90, uint8_t(key), 100));
  host.Render(std::max<long>(BlockSize(), Vorna::kMaxRampLength) + BlockSize());
  ASSERT_GT(plug.GetVoiceManager().GetVoiceTables().GetActiveCount(), 0);

  const double longest = std::max(plug.GetParam(kOsc1R)->Value(), plug.GetParam(kOsc2R)->Value());
  const long allOff = host.Now();
  host.SendAtNextBlock(IMidiMsg(0, 0xB0, 123, 0));
  const long silentFrom = allOff + long(std::ceil(longest * SampleRate())) + kReleaseSlackFrames;
  const double loudest = host.Render(silentFrom - allOff + kSilenceFrames, silentFrom);

  EXPECT_EQ(loudest, 0.0) << "still sounding " << longest << " s after all-notes-off";
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceTables().GetActiveCount(), 0);
  EXPECT_LT(host.FirstFault(), 0) << host.FaultText();
}

TEST_P(Validator, RestoredStateGivesTheSameBytes)
{
  ValidatorHost host(SampleRate(), BlockSize(), Seed() + 2);
  Vorna& plug = host.Plug();
  host.PlayRandomly(long(kLeadInSeconds * SampleRate()));
  // Learned controllers and the editor-side values travel in the state too.
  std::uniform_int_distribution<int> param(0, kNumParams - 1), controller(0, 127), pair(1, Vorna::kInputPairs);
  for (int k = 0; k < 4; ++k)
  {
    plug.OnMenuClickMidiLearn(param(host.Random()));
    int cc = controller(host.Random());
    while (cc == 64 || cc == 65 || cc == 66 || cc == 68 || cc == 123) cc = controller(host.Random());
    host.SendAtNextBlock(IMidiMsg(0, 0xB0, uint8_t(cc), 0));
    host.Render(BlockSize());
  }
  plug.OnChannelConfigChange(Vorna::kAM1InputPair, pair(host.Random()));
  plug.SetAMView(1, 1.0);

  const std::vector<uint8_t> saved = StateBytes(plug);
  host.AutomateEveryParam();
  plug.OnMenuClickEraseMidiMap();
  plug.OnChannelConfigChange(Vorna::kAM1InputPair, 1);
  plug.SetAMView(1, 0.0);
  host.Render(BlockSize());
  ASSERT_NE(StateBytes(plug), saved);

  ByteChunk chunk;
  chunk.PutBytes(saved.data(), int(saved.size()));
  EXPECT_EQ(plug.UnserializeState(&chunk, 0), int(saved.size()));
  EXPECT_EQ(StateBytes(plug), saved);
  host.Render(BlockSize());
  EXPECT_EQ(StateBytes(plug), saved) << "processing after a restore changed the state";
  EXPECT_LT(host.FirstFault(), 0) << host.FaultText();
}

TEST_P(Validator, HostileInputsKeepTheOutputBoundedAndTheFollowersRecover)
{
  for (const bool mask : {false, true})
  {
    ValidatorHost host(SampleRate(), BlockSize(), Seed() + (mask ? 4 : 3));
    Vorna& plug = host.Plug();
    plug.SetMaskInput(Vorna::kMaskInputBox, mask ? 1.0 : 0.0);
    host.SetInputs(ValidatorHost::Inputs::kHostile);
    host.PlayRandomly(long(kHostilePlayingSeconds * SampleRate()));
    EXPECT_LT(host.FirstFault(), 0) << "Mask input " << mask << ": " << host.FaultText();
    EXPECT_GT(host.SoundingFrames(), long(kLeastSoundingShare * double(host.Now()))) << "Mask input " << mask;

    host.SetInputs(ValidatorHost::Inputs::kSteady);
    for (int p : {kFm1Source, kFm2Source})
      plug.SetParameterFromGUI(p, plug.GetParam(p)->GetNormalized(VoiceDataSingleton::kFmAuxEnv));
    // The source parameters ramp over a block, as every continuous one does.
    host.Render(std::max<long>(BlockSize(), Vorna::kMaxRampLength) + BlockSize());
    const double before[2] = {plug.GetAuxFollower(0).GetLevel(), plug.GetAuxFollower(1).GetLevel()};
    host.Render(long(kRecoverySeconds * SampleRate()));
    for (int k = 0; k < 2; ++k)
    {
      const double allowed = std::max(0.01 * kCleanInput, kRecoveredShareLeft * std::fabs(before[k] - kCleanInput));
      EXPECT_NEAR(plug.GetAuxFollower(k).GetLevel(), kCleanInput, allowed)
          << "follower " << k + 1 << " from " << before[k] << ", Mask input " << mask;
    }
    EXPECT_LT(host.FirstFault(), 0) << "Mask input " << mask << ": " << host.FaultText();
  }
}

std::string CombinationName(const testing::TestParamInfo<std::tuple<int, int>>& info)
{
  return std::to_string(std::get<0>(info.param)) + "Hz_block" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(EveryRateAndBlockSize, Validator,
                         testing::Combine(testing::ValuesIn(kSampleRates), testing::ValuesIn(kBlockSizes)),
                         CombinationName);
}  // namespace
