#include "synth_test_support.h"

#include "globals.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace synthtest;

namespace
{
// Byte offsets in a chunk without MIDI bindings.
constexpr int kValuesAt = 8;
constexpr int kMapAt = kValuesAt + 138 * 8;
constexpr int kInternalAt = kMapAt + 128 * 4;
constexpr int kPairsAt = kInternalAt + 4 + 2 * 8;
constexpr int kTempoAt = kPairsAt + 3 * 8;
constexpr int kMaskAt = kTempoAt + 8;

void PokeDouble(std::vector<uint8_t>& bytes, int at, double value) { std::memcpy(&bytes[size_t(at)], &value, 8); }
void PokeInt(std::vector<uint8_t>& bytes, int at, int32_t value) { std::memcpy(&bytes[size_t(at)], &value, 4); }

int Load(Vorna& plug, const std::vector<uint8_t>& bytes)
{
  ByteChunk chunk;
  chunk.PutBytes(bytes.data(), int(bytes.size()));
  return plug.UnserializeState(&chunk, 0);
}

// A plug-in whose state differs from the default in every section.
void MakeEverythingDifferent(Player& player)
{
  Vorna& plug = player.Plug();
  player.SetNow({{kFlt1F, 440.0}, {kWaveform2, 3}, {kMaxVoiceCount, 5}, {kFm1Amnt, -3.5}, {kGlideTail, 1}});
  plug.OnMenuClickMidiLearn(kFlt1F);
  plug.OnMenuClickMidiLearn(kOsc1Vol);
  player.Run(64, {Controller(0, 74, 10)});
  plug.OnMenuClickMidiLearn(kPan2);
  player.Run(64, {Controller(player.Now(), 1, 10)});
  plug.SetAMView(1, 1.0);
  plug.OnChannelConfigChange(Vorna::kAM1InputPair, 3);
  plug.OnGuiBpmChange(Vorna::kTempoField, 97.5);
  plug.SetMaskInput(Vorna::kMaskInputBox, 1.0);
}
}  // namespace

TEST(MidiLearn, AControllerLearnsThenMovesItsParameter)
{
  Player player;
  player.OneBareOscillator();
  Vorna& plug = player.Plug();
  plug.OnMenuClickMidiLearn(kOsc1Vol);
  // The first controller binds; its own value is not applied.
  player.Run(512, {NoteOn(0, 69), Controller(10, 20, 0)});
  EXPECT_EQ(plug.GetLearnedCC(kOsc1Vol), 20);
  EXPECT_EQ(plug.GetMidiForgetText(kOsc1Vol), "MIDI forget CC#20");
  EXPECT_TRUE(plug.IsMidiForgetEnabled(kOsc1Vol));
  EXPECT_EQ(plug.GetParam(kOsc1Vol)->Value(), 1.0);
  // Pedal controllers and all-notes-off never bind: the next other controller does.
  plug.OnMenuClickMidiLearn(kPan1);
  player.Run(512, {Controller(player.Now(), 64, 127), Controller(player.Now() + 1, 123, 0)});
  EXPECT_EQ(plug.GetLearnedCC(kPan1), -1);
  player.Run(512, {Controller(player.Now(), 64, 0), Controller(player.Now() + 1, 21, 0)});
  EXPECT_EQ(plug.GetLearnedCC(kPan1), 21);
  EXPECT_EQ(plug.GetParam(kPan1)->Value(), 0.5);
  plug.OnMenuClickMidiForget(kPan1);

  player.Run(4800, {NoteOn(player.Now(), 69)});
  // Controller 20 at 0 takes the volume to 0 over one block, as a knob would.
  const Stereo out = player.Run(2048, {Controller(player.Now() + 3, 20, 0)});
  EXPECT_EQ(plug.GetParam(kOsc1Vol)->Value(), 0.0);
  EXPECT_GT(Peak(out.left, 0, 256), 0.1);
  EXPECT_EQ(Peak(out.left, 1024, 2048), 0.0);
  // 64 is 64/127 of the way; the same value again changes nothing.
  player.Run(512, {Controller(player.Now(), 20, 64)});
  EXPECT_DOUBLE_EQ(plug.GetParam(kOsc1Vol)->GetNormalized(), 64.0 / 127.0);
  player.Run(512, {Controller(player.Now(), 20, 64)});
  EXPECT_FALSE(plug.IsRamping(kOsc1Vol));

  plug.OnMenuClickMidiForget(kOsc1Vol);
  EXPECT_EQ(plug.GetMidiForgetText(kOsc1Vol), "MIDI forget (none)");
  EXPECT_FALSE(plug.IsMidiForgetEnabled(kOsc1Vol));
  player.Run(512, {Controller(player.Now(), 20, 127)});
  EXPECT_DOUBLE_EQ(plug.GetParam(kOsc1Vol)->GetNormalized(), 64.0 / 127.0);
}

TEST(MidiLearn, FmAmountFollowsItsKnobsCurveAboutTheCentre)
{
  Player player;
  Vorna& plug = player.Plug();
  plug.OnMenuClickMidiLearn(kFm1Amnt);
  plug.OnMenuClickMidiLearn(kFm2Amnt);
  player.Run(16, {Controller(0, 21, 0)});
  auto sent = [&](int value) {
    player.Run(16, {Controller(player.Now(), 21, value)});
    return plug.GetParam(kFm1Amnt)->GetNormalized();
  };
  EXPECT_DOUBLE_EQ(sent(0), 0.0);
  EXPECT_DOUBLE_EQ(sent(127), 1.0);
  const double e = 95.0 / 127.0;
  EXPECT_NEAR(sent(95), 0.5 + 0.5 * std::pow((e - 0.5) * 2.0, 3.0), 1e-12);
  EXPECT_NEAR(plug.GetParam(kFm1Amnt)->Value(), -20.0 + 40.0 * (0.5 + 0.5 * std::pow((e - 0.5) * 2.0, 3.0)), 1e-9);
  const double low = 20.0 / 127.0;
  EXPECT_NEAR(sent(20), 0.5 - 0.5 * std::pow((0.5 - low) * 2.0, 3.0), 1e-12);
  // Both parameters ride the same controller; a plain one maps linearly.
  EXPECT_EQ(plug.GetParam(kFm2Amnt)->GetNormalized(), plug.GetParam(kFm1Amnt)->GetNormalized());
}

TEST(MidiLearn, EraseForgetsEveryBinding)
{
  Player player;
  Vorna& plug = player.Plug();
  plug.OnMenuClickMidiLearn(kFlt1F);
  player.Run(16, {Controller(0, 74, 1)});
  plug.OnMenuClickMidiLearn(kFlt2F);
  player.Run(16, {Controller(player.Now(), 71, 1)});
  plug.OnMenuClickEraseMidiMap();
  for (int p = 0; p < kNumParams; ++p) EXPECT_EQ(plug.GetLearnedCC(p), -1) << p;
  for (int cc = 0; cc < 128; ++cc) EXPECT_EQ(plug.GetMIDIReceiver().GetLearnList(cc).GetSize(), 0) << cc;
}

TEST(State, RoundTripIsByteIdentical)
{
  Player source;
  MakeEverythingDifferent(source);
  const std::vector<uint8_t> saved = StateBytes(source.Plug());
  // Three bindings add three indices to the map.
  EXPECT_EQ(saved.size(), 1677u + 3u * 4u);

  PlugG::SetHostBPM(120.0);
  Player target;
  EXPECT_NE(StateBytes(target.Plug()), saved);
  EXPECT_EQ(Load(target.Plug(), saved), int(saved.size()));
  EXPECT_EQ(StateBytes(target.Plug()), saved);

  Vorna& plug = target.Plug();
  EXPECT_EQ(plug.GetParam(kFlt1F)->Value(), 440.0);
  EXPECT_EQ(plug.GetLearnedCC(kFlt1F), 74);
  EXPECT_EQ(plug.GetLearnedCC(kOsc1Vol), 74);
  EXPECT_EQ(plug.GetLearnedCC(kPan2), 1);
  EXPECT_EQ(plug.GetAMView(1), 1.0);
  EXPECT_EQ(plug.GetInputPairSel(1), 2);
  EXPECT_EQ(PlugG::HOST_BPM, 97.5);
  EXPECT_TRUE(plug.GetMaskInput());
  // The loaded values reached the engine without a ramp.
  EXPECT_EQ(plug.GetVoiceManager().GetVoiceTables().GetMaxVoices(), 5);
  EXPECT_FALSE(plug.IsRamping(kFlt1F));
  // The restored binding works.
  target.Run(64, {Controller(0, 1, 127)});
  EXPECT_EQ(plug.GetParam(kPan2)->Value(), 1.0);
  PlugG::SetHostBPM(120.0);
}

TEST(State, AChunkOfVersionSevenHundredTwoHasNoMaskByte)
{
  Player source;
  source.SetNow({{kFlt2F, 1234.0}});
  std::vector<uint8_t> old = StateBytes(source.Plug());
  PokeInt(old, 0, 0x702);
  old.pop_back();

  Player target;
  target.Plug().SetMaskInput(Vorna::kMaskInputBox, 1.0);
  EXPECT_EQ(Load(target.Plug(), old), int(old.size()));
  EXPECT_EQ(target.Plug().GetParam(kFlt2F)->Value(), 1234.0);
  EXPECT_TRUE(target.Plug().GetMaskInput());  // kept: the chunk has no say
}

TEST(State, ReadingStopsAtTheFirstValueItCannotRead)
{
  Player source;
  source.SetNow({{kFlt1F, 500.0}, {kFlt2F, 600.0}});
  std::vector<uint8_t> bytes = StateBytes(source.Plug());

  // Current version without its mask byte: -1, "Mask input" left as it was.
  Player target;
  target.Plug().SetMaskInput(Vorna::kMaskInputBox, 1.0);
  std::vector<uint8_t> noMask(bytes.begin(), bytes.end() - 1);
  EXPECT_EQ(Load(target.Plug(), noMask), -1);
  EXPECT_TRUE(target.Plug().GetMaskInput());
  EXPECT_EQ(target.Plug().GetParam(kFlt1F)->Value(), 500.0);

  // Cut inside the value of "flt 2 f": the parameters before it are loaded,
  // it and those after it keep their values.
  Player cut;
  cut.SetNow({{kFlt2F, 9000.0}, {kFlt2Q, 0.5}});
  std::vector<uint8_t> shortChunk(bytes.begin(), bytes.begin() + kValuesAt + kFlt2F * 8 + 3);
  EXPECT_EQ(Load(cut.Plug(), shortChunk), -1);
  EXPECT_EQ(cut.Plug().GetParam(kFlt1F)->Value(), 500.0);
  EXPECT_EQ(cut.Plug().GetParam(kFlt2F)->Value(), 9000.0);
  EXPECT_EQ(cut.Plug().GetParam(kFlt2Q)->Value(), 0.5);
}

TEST(State, StoredValuesAreKeptInTheirRanges)
{
  Player source;
  std::vector<uint8_t> bytes = StateBytes(source.Plug());
  PokeDouble(bytes, kValuesAt + kFlt1F * 8, 25000.0);
  PokeDouble(bytes, kValuesAt + kGlide * 8, std::numeric_limits<double>::quiet_NaN());
  PokeDouble(bytes, kValuesAt + kMaxVoiceCount * 8, -5.0);
  PokeDouble(bytes, kInternalAt + 4, std::numeric_limits<double>::quiet_NaN());
  PokeDouble(bytes, kInternalAt + 12, -3.0);
  PokeDouble(bytes, kPairsAt, 7.0);
  PokeDouble(bytes, kPairsAt + 8, 0.0);
  PokeDouble(bytes, kPairsAt + 16, std::numeric_limits<double>::quiet_NaN());
  PokeDouble(bytes, kTempoAt, 0.0);

  Player target;
  target.Plug().SetParameterFromGUI(kGlide, 0.9);
  target.Plug().SetAMView(0, 1.0);
  ASSERT_EQ(Load(target.Plug(), bytes), int(bytes.size()));
  Vorna& plug = target.Plug();
  EXPECT_EQ(plug.GetParam(kFlt1F)->Value(), 20000.0);
  EXPECT_EQ(plug.GetParam(kGlide)->Value(), 0.1);  // NaN gives the default
  EXPECT_EQ(plug.GetParam(kMaxVoiceCount)->Value(), 2.0);
  EXPECT_EQ(plug.GetAMView(0), 0.5);  // NaN: the switch's starting middle
  EXPECT_EQ(plug.GetAMView(1), 0.0);
  EXPECT_EQ(plug.GetInputPairSel(0), 3);
  EXPECT_EQ(plug.GetInputPairSel(1), 0);
  EXPECT_EQ(plug.GetInputPairSel(2), 0);
  EXPECT_EQ(PlugG::HOST_BPM, 1.0);

  PokeDouble(bytes, kTempoAt, 1e9);
  ASSERT_EQ(Load(target.Plug(), bytes), int(bytes.size()));
  EXPECT_EQ(PlugG::HOST_BPM, 360.0);
  PlugG::SetHostBPM(120.0);
}

TEST(State, BindingsToUnknownParametersAreDropped)
{
  Player source;
  std::vector<uint8_t> bytes = StateBytes(source.Plug());
  // Controller 7: three indices, the middle one past the parameter list.
  std::vector<uint8_t> map;
  auto put = [&](int32_t v) {
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&v);
    map.insert(map.end(), b, b + 4);
  };
  put(3);
  put(kFlt1F);
  put(140);
  put(kFlt2F);
  bytes.erase(bytes.begin() + kMapAt + 7 * 4, bytes.begin() + kMapAt + 8 * 4);
  bytes.insert(bytes.begin() + kMapAt + 7 * 4, map.begin(), map.end());

  Player target;
  ASSERT_EQ(Load(target.Plug(), bytes), int(bytes.size()));
  EXPECT_EQ(target.Plug().GetLearnedCC(kFlt1F), 7);
  EXPECT_EQ(target.Plug().GetLearnedCC(kFlt2F), 7);
  EXPECT_EQ(target.Plug().GetMIDIReceiver().GetLearnList(7).GetSize(), 2);
}

namespace
{
// Counts how often the plug-in tells its host that the state changed.
class CountingVorna : public Vorna
{
public:
  CountingVorna() : Vorna(IPlugInstanceInfo{}) {}
  void InformHostOfParamChange(int paramIdx, double) override
  {
    if (paramIdx == 0) ++informs;
  }
  int informs = 0;
};
}  // namespace

TEST(State, LoadingDoesNotMarkTheStateChangedButEditsDo)
{
  CountingVorna plug;
  Player source;
  MakeEverythingDifferent(source);
  EXPECT_GT(Load(plug, StateBytes(source.Plug())), 0);
  EXPECT_EQ(plug.informs, 0);
  plug.OnChannelConfigChange(Vorna::kFMInputPair, 2);
  plug.SetMaskInput(Vorna::kMaskInputBox, 0.0);
  plug.OnMenuClickMidiForget(kPan2);
  EXPECT_EQ(plug.informs, 3);
  PlugG::SetHostBPM(120.0);
}
