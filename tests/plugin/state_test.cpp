#include "test_plugs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using testplug::BytesOf;
using testplug::TakeSnapshot;
using testplug::TestPlug;

namespace
{
// Worked out by hand: 1.0 = 0x3FF0..., 3.0 = 0x4008..., 0.25 = 0x3FD0..., little-endian.
const std::vector<uint8_t> kDefaultParamChunk = {
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // on = 1.0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,  // mode = 3.0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,  // gain = 0.25
};

ByteChunk ChunkOf(const std::vector<uint8_t>& bytes)
{
  ByteChunk chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

ByteChunk ChunkOfDoubles(std::initializer_list<double> values)
{
  ByteChunk chunk;
  for (double v : values) chunk.Put(&v);
  return chunk;
}

std::string ReadText(const std::string& path)
{
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TempPath(const char* name) { return testing::TempDir() + "vorna_state_" + name; }
}  // namespace

TEST(ParamChunk, HoldsOneLittleEndianDoublePerParameterAndNothingElse)
{
  TestPlug plug;
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeParams(&chunk));
  EXPECT_EQ(BytesOf(chunk), kDefaultParamChunk);
  ASSERT_TRUE(plug.SerializeState(&chunk));  // appends, it does not replace
  EXPECT_EQ(chunk.Size(), 48);
}

TEST(ParamChunk, TheVersionHeaderIsTffpThenOnePointZero)
{
  ByteChunk chunk = ChunkOf({9, 9, 9});
  ASSERT_TRUE(IPlugBase::InitChunkWithIPlugVer(&chunk));
  EXPECT_EQ(BytesOf(chunk), (std::vector<uint8_t>{'t', 'f', 'f', 'p', 0x00, 0x00, 0x01, 0x00}));
  int pos = 0;
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&chunk, &pos), 0x10000);
  EXPECT_EQ(pos, 8);

  ByteChunk plain = ChunkOf(kDefaultParamChunk);
  pos = 0;
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&plain, &pos), 0);
  EXPECT_EQ(pos, 0);  // no header: the position stays

  ByteChunk cut = ChunkOf({'t', 'f', 'f', 'p', 0x00, 0x00});
  pos = 0;
  IPlugBase::GetIPlugVerFromChunk(&cut, &pos);
  EXPECT_EQ(pos, -1);
}

TEST(ParamChunk, ReadingClampsAndAnnouncesEveryParameter)
{
  TestPlug plug;
  ByteChunk chunk = ChunkOfDoubles({0.0, 25000.0, -3.0});
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 24);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 4.0);   // clamped to the maximum
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.0);   // clamped to the minimum
  EXPECT_EQ(plug.calls.paramChanges, (std::vector<int>{0, 1, 2}));

  // Values off the step are kept as they are; NaN gives the default.
  chunk = ChunkOfDoubles({1.0, 2.5, std::nan("")});
  plug.UnserializeParams(&chunk, 0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 2.5);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.25);
}

TEST(ParamChunk, AShortChunkSetsTheFirstMissingValueToItsClampedZero)
{
  TestPlug plug;
  plug.GetParam(1)->Set(2.0);
  plug.GetParam(2)->Set(0.75);
  // One double short: mode is the first parameter without data.
  ByteChunk chunk = ChunkOfDoubles({0.0});
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.75);  // later ones untouched
  EXPECT_EQ(plug.calls.paramChanges, (std::vector<int>{0, 1, 2}));

  // A double cut in the middle reads nothing of it; a read from a failed
  // position reads nothing at all.
  for (int cut = 0; cut < 24; ++cut)
  {
    ByteChunk part = ChunkOf(std::vector<uint8_t>(kDefaultParamChunk.begin(), kDefaultParamChunk.begin() + cut));
    EXPECT_EQ(plug.UnserializeParams(&part, 0), -1) << cut;
  }
  EXPECT_EQ(plug.UnserializeParams(&chunk, -1), -1);
  EXPECT_EQ(plug.UnserializeParams(nullptr, 0), -1);
}

TEST(ParamChunk, CompareStateIgnoresDifferencesBeyondFloatPrecision)
{
  TestPlug plug;
  plug.GetParam(2)->Set(0.3);
  ByteChunk same = ChunkOfDoubles({99.0, 1.0, 3.0, 0.3 + 1e-12});
  EXPECT_TRUE(plug.CompareState(same.GetData(), 1));  // start counts doubles
  ByteChunk different = ChunkOfDoubles({1.0, 3.0, 0.31});
  EXPECT_FALSE(plug.CompareState(different.GetData(), 0));
  ByteChunk nan = ChunkOfDoubles({1.0, 3.0, std::nan("")});
  EXPECT_FALSE(plug.CompareState(nan.GetData(), 0));
  EXPECT_FALSE(plug.CompareState(nullptr, 0));
}

TEST(Presets, DefaultPresetsFillFreeSlotsWithTheCurrentState)
{
  TestPlug plug(true, 3);
  EXPECT_STREQ(plug.GetPresetName(0), "empty");
  EXPECT_STREQ(plug.GetPresetName(3), "");
  EXPECT_TRUE(plug.MakeDefaultPreset(nullptr, 2));
  EXPECT_STREQ(plug.GetPresetName(0), "Empty");
  EXPECT_STREQ(plug.GetPresetName(1), "Empty");
  EXPECT_FALSE(plug.GetPreset(2)->mInitialized);
  EXPECT_EQ(BytesOf(plug.GetPreset(1)->mChunk), kDefaultParamChunk);
  EXPECT_FALSE(plug.MakeDefaultPreset("more", 2));  // only one slot was free
  EXPECT_STREQ(plug.GetPresetName(2), "more");
  EXPECT_FALSE(plug.MakeDefaultPreset("none", 1));
}

TEST(Presets, RestoringAFreeSlotCapturesTheStateAsAUserPreset)
{
  TestPlug plug(true, 5);
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "user preset 1");
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);
  EXPECT_EQ(BytesOf(plug.GetPreset(0)->mChunk), kDefaultParamChunk);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 2");
  EXPECT_EQ(plug.calls.presetsChanged, 2);

  const testplug::Snapshot before = TakeSnapshot(plug);
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_FALSE(plug.RestorePreset(5));
  EXPECT_EQ(TakeSnapshot(plug), before);
}

TEST(Presets, RestoringAnInitializedSlotAppliesItsStateAndRedraws)
{
  TestPlug plug;
  auto* gui = new testplug::RecordingGraphics(&plug, 10, 10);
  plug.AttachGraphics(gui);
  ASSERT_TRUE(plug.MakePreset("quiet", 0, 1, 0.0));
  ASSERT_TRUE(plug.MakePresetFromNamedParams("loud", 1, 2, 1.0));
  gui->shown.clear();
  plug.calls.paramChanges.clear();

  EXPECT_TRUE(plug.RestorePreset("quiet"));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.0);
  EXPECT_EQ(plug.calls.paramChanges, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(gui->shown.size(), 3u);

  // The named preset kept the values current when it was made for the others.
  EXPECT_TRUE(plug.RestorePreset("loud"));
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 3.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 1.0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);

  EXPECT_FALSE(plug.RestorePreset("Loud"));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
}

TEST(Presets, NamedParamsTakeEveryValueExactlyAndStopAtAnUnknownIndex)
{
  TestPlug plug(true, 3);
  // The value 9.999e-08 is a value like any other.
  ASSERT_TRUE(plug.MakePresetFromNamedParams("tiny", 1, 2, 9.999e-08));
  plug.RestorePreset(0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 9.999e-08);

  plug.GetParam(1)->Set(1.0);
  // Index 7 does not exist: its value's type is unknown, so the list ends there.
  ASSERT_TRUE(plug.MakePresetFromNamedParams("cut", 3, 0, 0, 7, 2.0, 1, 4));
  plug.RestorePreset(1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
}

TEST(Presets, ChunksBlobsAndHousekeeping)
{
  TestPlug plug(true, 4);
  ByteChunk chunk = ChunkOfDoubles({0.0, 2.0, 0.5});
  ASSERT_TRUE(plug.MakePresetFromChunk("from chunk", &chunk));
  EXPECT_EQ(BytesOf(plug.GetPreset(0)->mChunk), BytesOf(chunk));

  // The 24 default bytes in Base64, cut after 16 bytes' worth: the rest is zero.
  ASSERT_TRUE(plug.MakePresetFromBlob("blob", "AAAAAAAA8D8AAAAAAAAIQA==", 24));
  std::vector<uint8_t> expected(kDefaultParamChunk.begin(), kDefaultParamChunk.begin() + 16);
  expected.resize(24, 0);
  EXPECT_EQ(BytesOf(plug.GetPreset(1)->mChunk), expected);
  // A text longer than the size stops at the size.
  ASSERT_TRUE(plug.MakePresetFromBlob("short", "AAAAAAAA8D8AAAAAAAAIQA==", 3));
  EXPECT_EQ(plug.GetPreset(2)->mChunk.Size(), 3);
  EXPECT_FALSE(plug.MakePresetFromBlob("none", "AAAA", 0));
  EXPECT_FALSE(plug.GetPreset(3)->mInitialized);

  plug.PruneUninitializedPresets();
  EXPECT_EQ(plug.NPresets(), 3);
  EXPECT_STREQ(plug.GetPresetName(2), "short");

  TestPlug fresh(true, 3);
  fresh.MakeDefaultPreset("first", 1);
  fresh.EnsureDefaultPreset();
  EXPECT_STREQ(fresh.GetPresetName(0), "first");
  EXPECT_STREQ(fresh.GetPresetName(2), "Empty");
  EXPECT_TRUE(fresh.GetPreset(2)->mInitialized);

  fresh.GetParam(1)->Set(0.0);
  fresh.ModifyCurrentPreset("renamed");
  EXPECT_STREQ(fresh.GetPresetName(0), "renamed");
  EXPECT_EQ(fresh.GetPreset(0)->mChunk.Size(), 24);
  fresh.ModifyCurrentPreset("");
  EXPECT_STREQ(fresh.GetPresetName(0), "renamed");
}

TEST(Presets, PresetNamesAreCutToTheirField)
{
  TestPlug plug;
  const std::string longName(400, 'p');
  ASSERT_TRUE(plug.MakeDefaultPreset(longName.c_str(), 1));
  EXPECT_EQ(std::string(plug.GetPresetName(0)), longName.substr(0, 255));
}

TEST(PresetBank, LayoutIsNameFlagAndStatePerSlot)
{
  TestPlug plug;
  plug.MakeDefaultPreset("Warm pad", 1);
  ByteChunk bank;
  ASSERT_TRUE(plug.SerializePresets(&bank));

  std::vector<uint8_t> expected = {0x08, 0x00, 0x00, 0x00, 'W', 'a', 'r', 'm', ' ', 'p', 'a', 'd', 0x01};
  expected.insert(expected.end(), kDefaultParamChunk.begin(), kDefaultParamChunk.end());
  const std::vector<uint8_t> second = {0x05, 0x00, 0x00, 0x00, 'e', 'm', 'p', 't', 'y', 0x00};
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(BytesOf(bank), expected);
}

TEST(PresetBank, ReadingAppliesResavesAndRestoresTheCurrentSlot)
{
  TestPlug source;
  source.GetParam(2)->Set(0.5);
  source.MakeDefaultPreset("half", 1);
  source.GetParam(2)->Set(1.0);
  source.MakeDefaultPreset("full", 1);
  ByteChunk bank;
  source.SerializePresets(&bank);

  TestPlug plug;
  plug.calls.paramChanges.clear();
  EXPECT_EQ(plug.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(plug.GetPresetName(0), "half");
  EXPECT_STREQ(plug.GetPresetName(1), "full");
  EXPECT_TRUE(plug.GetPreset(1)->mInitialized);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.5);  // slot 0 is current
  EXPECT_EQ(BytesOf(plug.GetPreset(1)->mChunk), BytesOf(source.GetPreset(1)->mChunk));
}

TEST(PresetBank, EveryTruncationStopsWithMinusOneAndLeavesTheCutSlotAlone)
{
  TestPlug source;
  source.MakeDefaultPreset("one", 2);
  ByteChunk bank;
  source.SerializePresets(&bank);
  const std::vector<uint8_t> bytes = BytesOf(bank);

  for (size_t cut = 0; cut < bytes.size(); ++cut)
  {
    SCOPED_TRACE(cut);
    TestPlug plug;
    ByteChunk part = ChunkOf(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    EXPECT_EQ(plug.UnserializePresets(&part, 0), -1);
    // Cut inside the first name: no slot is renamed to a half-read name.
    if (cut < 7)
    {
      EXPECT_STRNE(plug.GetPresetName(0), "");
      EXPECT_STREQ(plug.GetPresetName(1), "empty");
    }
  }
}

TEST(PresetBank, RandomBytesNeverReadOutsideTheChunk)
{
  std::mt19937 rng(20260707);
  for (int round = 0; round < 500; ++round)
  {
    std::vector<uint8_t> bytes(rng() % 80);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    // Small name lengths now and then, so that reading gets past the names.
    if (bytes.size() > 4 && round % 2)
    {
      bytes[0] = static_cast<uint8_t>(rng() % 8);
      bytes[1] = bytes[2] = bytes[3] = 0;
    }
    TestPlug plug;
    ByteChunk chunk = ChunkOf(bytes);
    const int pos = plug.UnserializePresets(&chunk, 0);
    EXPECT_LE(pos, chunk.Size());
    for (int i = 0; i < plug.NParams(); ++i)
    {
      const IParam* p = plug.GetParam(i);
      EXPECT_TRUE(p->Value() >= p->GetMin() && p->Value() <= p->GetMax());
    }
  }
}

TEST(Dumps, SourceCodeListsEveryParameterByKind)
{
  TestPlug plug;
  plug.GetParam(2)->Set(0.5);
  const char* names[] = {"kOn", "kMode", "kGain"};
  const std::string path = TempPath("src.txt");
  ASSERT_TRUE(plug.DumpPresetSrcCode(path.c_str(), names));
  EXPECT_EQ(ReadText(path),
            "  MakePresetFromNamedParams(\"name\", 3,\n"
            "    kOn, true,\n"
            "    kMode, 3,\n"
            "    kGain, 0.500000);\n");
  EXPECT_FALSE(plug.DumpPresetSrcCode("/nonexistent-dir/x.txt", names));
  std::remove(path.c_str());
}

TEST(Dumps, BlobsOfAnySizeRoundTripThroughMakePresetFromBlob)
{
  // 400 parameters: a 3200-byte chunk, whose text is far longer than 2048 bytes.
  testplug::BarePlug big("1-1", 400, 2, true);
  for (int i = 0; i < big.NParams(); ++i) big.GetParam(i)->InitDouble("p", i / 400.0, 0.0, 1.0, 0.001, "", "", 1.0);
  big.MakeDefaultPreset("big", 1);
  const std::string path = TempPath("blob.txt");
  ASSERT_TRUE(big.DumpPresetBlob(path.c_str()));
  const std::string text = ReadText(path);
  const std::string prefix = "  MakePresetFromBlob(\"name\", \"";
  ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0);
  const size_t end = text.find('"', prefix.size());
  const std::string blob = text.substr(prefix.size(), end - prefix.size());
  EXPECT_EQ(blob.size(), 3200u / 3 * 4 + 4);
  EXPECT_EQ(text.substr(end), "\", 3200);\n");

  ASSERT_TRUE(big.MakePresetFromBlob("again", blob.c_str(), 3200));
  EXPECT_EQ(BytesOf(big.GetPreset(1)->mChunk), BytesOf(big.GetPreset(0)->mChunk));

  ASSERT_TRUE(big.DumpBankBlob(path.c_str()));
  const std::string bankText = ReadText(path);
  EXPECT_NE(bankText.find("MakePresetFromBlob(\"big\""), std::string::npos);
  EXPECT_NE(bankText.find("MakePresetFromBlob(\"again\""), std::string::npos);
  std::remove(path.c_str());
}
