#include "test_plugs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

using testplug::BytesOf;
using testplug::Snapshot;
using testplug::TakeSnapshot;
using testplug::TestPlug;

namespace
{
using Bytes = std::vector<uint8_t>;

const Bytes kDefaultParamChunk = {
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // 1.0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,  // 3.0
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,  // 0.25
};
const Bytes kVersionHeader = {'t', 'f', 'f', 'p', 0x00, 0x00, 0x01, 0x00};
// "Warm pad" in a 28-byte name field.
const Bytes kWarmPadName = {'W', 'a', 'r', 'm', ' ', 'p', 'a', 'd', 0, 0, 0, 0, 0, 0,
                            0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0, 0, 0};
const Bytes kEmptyName = {'e', 'm', 'p', 't', 'y', 0, 0, 0, 0, 0, 0, 0, 0, 0,
                          0,   0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0};

Bytes Cat(std::initializer_list<Bytes> parts)
{
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The test plug-in with slot 0 "Warm pad" holding the defaults and current.
std::unique_ptr<TestPlug> WarmPadPlug(bool doesChunks, int nPresets = 2)
{
  auto plug = std::make_unique<TestPlug>(doesChunks, nPresets);
  plug->MakeDefaultPreset("Warm pad", 1);
  return plug;
}

Bytes ProgramFile(TestPlug& plug)
{
  ByteChunk file;
  EXPECT_TRUE(plug.MakeProgramFile(&file));
  return BytesOf(file);
}

Bytes BankFile(TestPlug& plug)
{
  ByteChunk file;
  EXPECT_TRUE(plug.MakeBankFile(&file));
  return BytesOf(file);
}

// Loads from a heap copy of exactly the given size, so that the address
// sanitizer catches any read past the end.
bool LoadProgram(TestPlug& plug, const Bytes& bytes, size_t size)
{
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
  std::copy(bytes.begin(), bytes.begin() + static_cast<long>(size), copy.get());
  return plug.LoadProgramFromBytes(copy.get(), static_cast<int>(size));
}

bool LoadBank(TestPlug& plug, const Bytes& bytes, size_t size)
{
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
  std::copy(bytes.begin(), bytes.begin() + static_cast<long>(size), copy.get());
  return plug.LoadBankFromBytes(copy.get(), static_cast<int>(size));
}

void PutBE32(Bytes* bytes, size_t offset, uint32_t value)
{
  (*bytes)[offset] = static_cast<uint8_t>(value >> 24);
  (*bytes)[offset + 1] = static_cast<uint8_t>(value >> 16);
  (*bytes)[offset + 2] = static_cast<uint8_t>(value >> 8);
  (*bytes)[offset + 3] = static_cast<uint8_t>(value);
}

std::string TempPath(const char* name) { return testing::TempDir() + "vorna_files_" + name; }

Bytes ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}
}  // namespace

TEST(ProgramFileLayout, ChunkFormHoldsTheVersionedStateAfterABigEndianHeader)
{
  auto plug = WarmPadPlug(true);
  const Bytes expected = Cat({
    {'C', 'c', 'n', 'K'},
    {0x00, 0x00, 0x00, 0x5C},  // 32-byte chunk + 60
    {'F', 'P', 'C', 'h'},
    {0x00, 0x00, 0x00, 0x01},
    {'T', 's', 't', '1'},
    {0x00, 0x00, 0x27, 0xDB},  // 10203
    {0x00, 0x00, 0x00, 0x03},
    kWarmPadName,
    {0x00, 0x00, 0x00, 0x20},
    kVersionHeader,
    kDefaultParamChunk,
  });
  EXPECT_EQ(ProgramFile(*plug), expected);

  const std::string path = TempPath("chunk.fxp");
  WDL_String wpath(path.c_str());
  ASSERT_TRUE(plug->SaveProgramAsFXP(&wpath));
  EXPECT_EQ(ReadFile(path), expected);
  std::remove(path.c_str());
}

TEST(ProgramFileLayout, ParameterFormHoldsNormalisedBigEndianFloats)
{
  auto plug = WarmPadPlug(false);
  const Bytes expected = Cat({
    {'C', 'c', 'n', 'K'},
    {0x00, 0x00, 0x00, 0x00},
    {'F', 'x', 'C', 'k'},
    {0x00, 0x00, 0x00, 0x01},
    {'T', 's', 't', '1'},
    {0x00, 0x00, 0x27, 0xDB},
    {0x00, 0x00, 0x00, 0x03},
    kWarmPadName,
    {0x3F, 0x80, 0x00, 0x00},  // 1.0f
    {0x3F, 0x40, 0x00, 0x00},  // 0.75f
    {0x3E, 0x80, 0x00, 0x00},  // 0.25f
  });
  EXPECT_EQ(ProgramFile(*plug), expected);
}

TEST(ProgramFileLayout, LongNamesAreCutToTwentySevenCharacters)
{
  TestPlug plug(false, 1);
  plug.MakeDefaultPreset("abcdefghijklmnopqrstuvwxyz0123456789", 1);
  const Bytes file = ProgramFile(plug);
  EXPECT_EQ(Bytes(file.begin() + 28, file.begin() + 56),
            Cat({{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n'},
                 {'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', '0', 0}}));
}

TEST(BankFileLayout, ChunkFormHoldsTheVersionedPresetBank)
{
  auto plug = WarmPadPlug(true);
  const Bytes bank = Cat({
    {0x08, 0x00, 0x00, 0x00, 'W', 'a', 'r', 'm', ' ', 'p', 'a', 'd', 0x01},
    kDefaultParamChunk,
    {0x05, 0x00, 0x00, 0x00, 'e', 'm', 'p', 't', 'y', 0x00},
  });
  ASSERT_EQ(bank.size(), 47u);
  const Bytes expected = Cat({
    {'C', 'c', 'n', 'K'},
    {0x00, 0x00, 0x00, 0xD7},  // 55-byte chunk + 160
    {'F', 'B', 'C', 'h'},
    {0x00, 0x00, 0x00, 0x02},
    {'T', 's', 't', '1'},
    {0x00, 0x00, 0x27, 0xDB},
    {0x00, 0x00, 0x00, 0x02},  // slots
    {0x00, 0x00, 0x00, 0x00},  // current slot
    Bytes(124, 0),
    {0x00, 0x00, 0x00, 0x37},
    kVersionHeader,
    bank,
  });
  EXPECT_EQ(BankFile(*plug), expected);

  const std::string path = TempPath("chunk.fxb");
  WDL_String wpath(path.c_str());
  ASSERT_TRUE(plug->SaveBankAsFXB(&wpath));
  EXPECT_EQ(ReadFile(path), expected);
  std::remove(path.c_str());
}

TEST(BankFileLayout, ParameterFormHoldsOneProgramRecordPerSlotFromTheSlotsNotTheLiveValues)
{
  auto plug = WarmPadPlug(false);
  plug->GetParam(2)->Set(0.5);  // live only: the records show the slots
  const Bytes recordHeader = Cat({
    {'C', 'c', 'n', 'K'},
    {0x00, 0x00, 0x00, 0x00},
    {'F', 'x', 'C', 'k'},
    {0x00, 0x00, 0x00, 0x01},
    {'T', 's', 't', '1'},
    {0x00, 0x00, 0x27, 0xDB},
    {0x00, 0x00, 0x00, 0x03},
  });
  const Bytes expected = Cat({
    {'C', 'c', 'n', 'K'},
    {0x00, 0x00, 0x00, 0x00},
    {'F', 'x', 'B', 'k'},
    {0x00, 0x00, 0x00, 0x02},
    {'T', 's', 't', '1'},
    {0x00, 0x00, 0x27, 0xDB},
    {0x00, 0x00, 0x00, 0x02},
    {0x00, 0x00, 0x00, 0x00},
    Bytes(124, 0),
    recordHeader,
    kWarmPadName,
    {0x3F, 0x80, 0x00, 0x00, 0x3F, 0x40, 0x00, 0x00, 0x3E, 0x80, 0x00, 0x00},
    recordHeader,
    kEmptyName,
    Bytes(12, 0),  // a slot never filled reads as zeros
  });
  EXPECT_EQ(BankFile(*plug), expected);
}

TEST(ProgramFileLoading, BothFormsRoundTripIntoTheCurrentSlot)
{
  for (bool chunks : {true, false})
  {
    SCOPED_TRACE(chunks);
    auto source = WarmPadPlug(chunks);
    source->GetParam(0)->Set(0.0);
    source->GetParam(1)->Set(1.0);
    source->GetParam(2)->Set(0.5);
    const std::string path = TempPath("roundtrip.fxp");
    WDL_String wpath(path.c_str());
    ASSERT_TRUE(source->SaveProgramAsFXP(&wpath));

    TestPlug plug(chunks, 2);
    plug.MakeDefaultPreset("mine", 1);
    plug.calls.paramChanges.clear();
    ASSERT_TRUE(plug.LoadProgramFromFXP(&wpath));
    EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
    EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
    EXPECT_EQ(plug.GetParam(2)->Value(), 0.5);
    EXPECT_STREQ(plug.GetPresetName(0), "mine");  // the file's name is not taken
    ByteChunk live;
    plug.SerializeState(&live);
    EXPECT_EQ(BytesOf(plug.GetPreset(0)->mChunk), BytesOf(live));
    EXPECT_EQ(plug.calls.programChanges, 1);
    EXPECT_FALSE(plug.calls.paramChanges.empty());
    std::remove(path.c_str());
  }
}

TEST(ProgramFileLoading, RefusesOtherPlugInsVersionsAndForms)
{
  auto source = WarmPadPlug(true);
  const Bytes good = ProgramFile(*source);

  TestPlug plug(true, 2);
  const Snapshot before = TakeSnapshot(plug);
  Bytes bad = good;
  bad[0] = 'X';  // magic
  EXPECT_FALSE(LoadProgram(plug, bad, bad.size()));
  bad = good;
  PutBE32(&bad, 12, 2);  // version
  EXPECT_FALSE(LoadProgram(plug, bad, bad.size()));
  bad = good;
  PutBE32(&bad, 16, 0x4F746872);  // another plug-in
  EXPECT_FALSE(LoadProgram(plug, bad, bad.size()));
  bad = good;
  std::copy_n("FBCh", 4, bad.begin() + 8);  // a bank's format
  EXPECT_FALSE(LoadProgram(plug, bad, bad.size()));
  EXPECT_EQ(TakeSnapshot(plug), before);

  TestPlug noChunks(false, 2);
  const Snapshot noChunksBefore = TakeSnapshot(noChunks);
  EXPECT_FALSE(LoadProgram(noChunks, good, good.size()));
  EXPECT_EQ(TakeSnapshot(noChunks), noChunksBefore);

  WDL_String empty;
  EXPECT_FALSE(plug.LoadProgramFromFXP(&empty));
  EXPECT_FALSE(plug.LoadProgramFromFXP(nullptr));
  EXPECT_FALSE(plug.SaveProgramAsFXP(&empty));
  WDL_String missing("/nonexistent-dir/none.fxp");
  EXPECT_FALSE(plug.LoadProgramFromFXP(&missing));
  EXPECT_FALSE(plug.SaveProgramAsFXP(&missing));
}

TEST(ProgramFileLoading, ParameterCountsAreTheSmallerOfFileAndPlugIn)
{
  auto source = WarmPadPlug(false);
  source->GetParam(0)->Set(0.0);
  source->GetParam(2)->Set(1.0);
  Bytes file = ProgramFile(*source);

  // Claims two values: the third parameter keeps its own.
  Bytes two = file;
  PutBE32(&two, 24, 2);
  TestPlug plug(false, 2);
  plug.GetParam(2)->Set(0.75);
  ASSERT_TRUE(LoadProgram(plug, two, two.size()));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.75);

  // Claims a thousand values but holds three: the plug-in reads its three.
  Bytes many = file;
  PutBE32(&many, 24, 1000);
  TestPlug plug2(false, 2);
  ASSERT_TRUE(LoadProgram(plug2, many, many.size()));
  EXPECT_EQ(plug2.GetParam(2)->Value(), 1.0);

  // A negative count is no count.
  Bytes negative = file;
  PutBE32(&negative, 24, 0xFFFFFFFF);
  EXPECT_FALSE(LoadProgram(plug2, negative, negative.size()));
}

TEST(ProgramFileLoading, EveryTruncationIsRefusedAndChangesNothing)
{
  for (bool chunks : {true, false})
  {
    SCOPED_TRACE(chunks);
    auto source = WarmPadPlug(chunks);
    source->GetParam(2)->Set(0.5);
    const Bytes file = ProgramFile(*source);

    TestPlug plug(chunks, 2);
    plug.MakeDefaultPreset("mine", 1);
    const Snapshot before = TakeSnapshot(plug);
    for (size_t cut = 0; cut < file.size(); ++cut)
    {
      SCOPED_TRACE(cut);
      EXPECT_FALSE(LoadProgram(plug, file, cut));
      EXPECT_EQ(TakeSnapshot(plug), before);
    }
    EXPECT_TRUE(LoadProgram(plug, file, file.size()));
  }
}

TEST(ProgramFileLoading, AChunkCutShortButWithAMatchingLengthIsRefusedAndUndone)
{
  auto source = WarmPadPlug(true);
  source->GetParam(2)->Set(0.5);
  const Bytes file = ProgramFile(*source);
  TestPlug plug(true, 2);
  plug.MakeDefaultPreset("mine", 1);
  plug.GetParam(1)->Set(2.0);  // live, not in the slot
  const Snapshot before = TakeSnapshot(plug);

  for (uint32_t length = 0; length < 32; ++length)
  {
    SCOPED_TRACE(length);
    Bytes cut(file.begin(), file.begin() + 60 + length);
    PutBE32(&cut, 56, length);
    EXPECT_FALSE(LoadProgram(plug, cut, cut.size()));
    EXPECT_EQ(TakeSnapshot(plug), before);
  }
  // A length past the file is refused before anything is read.
  Bytes lying = file;
  PutBE32(&lying, 56, 33);
  EXPECT_FALSE(LoadProgram(plug, lying, lying.size()));
  PutBE32(&lying, 56, 0xFFFFFFF0);
  EXPECT_FALSE(LoadProgram(plug, lying, lying.size()));
  // A chunk without the version header is read from its start.
  Bytes bare = Cat({Bytes(file.begin(), file.begin() + 56), {0, 0, 0, 24}, kDefaultParamChunk});
  EXPECT_TRUE(LoadProgram(plug, bare, bare.size()));
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.25);
}

TEST(BankFileLoading, BothFormsRoundTripEverySlot)
{
  for (bool chunks : {true, false})
  {
    SCOPED_TRACE(chunks);
    TestPlug source(chunks, 3);
    source.GetParam(2)->Set(0.5);
    source.MakeDefaultPreset("half", 1);
    source.GetParam(2)->Set(1.0);
    source.GetParam(0)->Set(0.0);
    source.MakeDefaultPreset("full", 1);
    source.RestorePreset(1);
    const std::string path = TempPath("roundtrip.fxb");
    WDL_String wpath(path.c_str());
    ASSERT_TRUE(source.SaveBankAsFXB(&wpath));

    TestPlug plug(chunks, 3);
    ASSERT_TRUE(plug.LoadBankFromFXB(&wpath));
    EXPECT_STREQ(plug.GetPresetName(0), "half");
    EXPECT_STREQ(plug.GetPresetName(1), "full");
    EXPECT_EQ(BytesOf(plug.GetPreset(0)->mChunk), BytesOf(source.GetPreset(0)->mChunk));
    EXPECT_EQ(BytesOf(plug.GetPreset(1)->mChunk), BytesOf(source.GetPreset(1)->mChunk));
    EXPECT_EQ(plug.calls.programChanges, 1);
    if (!chunks)
    {
      // The parameter form restores the bank's current slot.
      EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
      EXPECT_EQ(plug.GetParam(2)->Value(), 1.0);
    }
    else
    {
      // The chunk form keeps the plug-in's own current slot.
      EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
      EXPECT_EQ(plug.GetParam(2)->Value(), 0.5);
    }
    std::remove(path.c_str());
  }
}

TEST(BankFileLoading, SlotCountsAreTheSmallerOfFileAndPlugIn)
{
  for (bool chunks : {true, false})
  {
    SCOPED_TRACE(chunks);
    TestPlug small(chunks, 1);
    small.GetParam(2)->Set(0.5);
    small.MakeDefaultPreset("only", 1);
    const Bytes fromSmall = BankFile(small);

    TestPlug big(chunks, 3);
    big.GetParam(2)->Set(1.0);
    big.MakeDefaultPreset("b", 3);
    const Bytes fromBig = BankFile(big);

    TestPlug plug(chunks, 2);
    plug.MakeDefaultPreset("keep", 2);
    ASSERT_TRUE(LoadBank(plug, fromSmall, fromSmall.size()));
    EXPECT_STREQ(plug.GetPresetName(0), "only");
    EXPECT_STREQ(plug.GetPresetName(1), "keep");
    ASSERT_TRUE(LoadBank(plug, fromBig, fromBig.size()));
    EXPECT_STREQ(plug.GetPresetName(1), "b");
  }
}

TEST(BankFileLoading, ParameterRecordsAreCheckedBeforeAnySlotChanges)
{
  TestPlug source(false, 2);
  source.MakeDefaultPreset("x", 2);
  const Bytes file = BankFile(source);
  const size_t second = 156 + 68;

  TestPlug plug(false, 2);
  plug.GetParam(2)->Set(0.5);
  plug.MakeDefaultPreset("mine", 2);
  const Snapshot before = TakeSnapshot(plug);
  for (size_t offset : {size_t{0}, size_t{8}, size_t{12}, size_t{24}})
  {
    SCOPED_TRACE(offset);
    Bytes bad = file;
    bad[second + offset + 3] ^= 0x01;  // the second record's magic, format, version or count
    EXPECT_FALSE(LoadBank(plug, bad, bad.size()));
    EXPECT_EQ(TakeSnapshot(plug), before);
  }
  Bytes wrongPlug = file;
  PutBE32(&wrongPlug, 16, 0x4F746872);
  EXPECT_FALSE(LoadBank(plug, wrongPlug, wrongPlug.size()));
  EXPECT_EQ(TakeSnapshot(plug), before);
}

TEST(BankFileLoading, RecordNamesAreBoundedAndTheCurrentSlotMustExist)
{
  TestPlug source(false, 2);
  source.MakeDefaultPreset("x", 2);
  Bytes file = BankFile(source);
  // Fill the first record's whole name field: no terminating NUL in the file.
  std::fill_n(file.begin() + 156 + 28, 28, 'n');
  PutBE32(&file, 28, 7);  // a current slot that does not exist

  TestPlug plug(false, 2);
  ASSERT_TRUE(LoadBank(plug, file, file.size()));
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(27, 'n'));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
}

TEST(BankFileLoading, EveryTruncationIsRefusedAndChangesNothing)
{
  for (bool chunks : {true, false})
  {
    SCOPED_TRACE(chunks);
    TestPlug source(chunks, 2);
    source.GetParam(2)->Set(0.5);
    source.MakeDefaultPreset("s", 2);
    const Bytes file = BankFile(source);

    TestPlug plug(chunks, 2);
    plug.MakeDefaultPreset("mine", 1);
    const Snapshot before = TakeSnapshot(plug);
    for (size_t cut = 0; cut < file.size(); ++cut)
    {
      SCOPED_TRACE(cut);
      EXPECT_FALSE(LoadBank(plug, file, cut));
      EXPECT_EQ(TakeSnapshot(plug), before);
    }
    EXPECT_TRUE(LoadBank(plug, file, file.size()));
  }
}

TEST(BankFileLoading, ABankChunkCutShortButWithAMatchingLengthIsUndone)
{
  TestPlug source(true, 2);
  source.GetParam(2)->Set(0.5);
  source.MakeDefaultPreset("s", 2);
  const Bytes file = BankFile(source);
  const uint32_t full = static_cast<uint32_t>(file.size() - 160);

  TestPlug plug(true, 2);
  plug.MakeDefaultPreset("mine", 1);  // slot 1 stays free: a failed load must not fill it
  plug.GetParam(1)->Set(1.0);
  const Snapshot before = TakeSnapshot(plug);
  for (uint32_t length = 0; length < full; ++length)
  {
    SCOPED_TRACE(length);
    Bytes cut(file.begin(), file.begin() + 160 + length);
    PutBE32(&cut, 156, length);
    EXPECT_FALSE(LoadBank(plug, cut, cut.size()));
    EXPECT_EQ(TakeSnapshot(plug), before);
  }
}

TEST(FileReaders, RandomAndMutatedBytesAreSafeAndAFailureChangesNothing)
{
  std::mt19937 rng(77);
  TestPlug chunkSource(true, 2), paramSource(false, 2);
  chunkSource.MakeDefaultPreset("s", 2);
  paramSource.MakeDefaultPreset("s", 2);
  const Bytes seeds[] = {ProgramFile(chunkSource), ProgramFile(paramSource), BankFile(chunkSource),
                         BankFile(paramSource)};

  for (int round = 0; round < 800; ++round)
  {
    Bytes bytes;
    if (round % 4 == 0)
    {
      bytes.resize(rng() % 400);
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    }
    else
    {
      // A valid file with a few bytes changed, most often in its header.
      bytes = seeds[rng() % 4];
      for (int k = 0, n = 1 + static_cast<int>(rng() % 4); k < n; ++k)
      {
        const size_t at = (rng() % 2) ? rng() % std::min<size_t>(bytes.size(), 64) : rng() % bytes.size();
        bytes[at] = static_cast<uint8_t>(rng());
      }
      bytes.resize(bytes.size() - rng() % 3);
    }
    const bool chunks = rng() % 2;
    TestPlug plug(chunks, 2);
    plug.MakeDefaultPreset("mine", 1);
    const Snapshot before = TakeSnapshot(plug);
    const bool loaded =
        (round % 2) ? LoadProgram(plug, bytes, bytes.size()) : LoadBank(plug, bytes, bytes.size());
    if (!loaded)
    {
      EXPECT_EQ(TakeSnapshot(plug), before) << round;
    }
    for (int i = 0; i < plug.NParams(); ++i)
    {
      const IParam* p = plug.GetParam(i);
      EXPECT_TRUE(p->Value() >= p->GetMin() && p->Value() <= p->GetMax()) << round;
    }
  }
}

TEST(FileReaders, ARealFileCutShortIsRefused)
{
  auto source = WarmPadPlug(true);
  const Bytes file = BankFile(*source);
  const std::string path = TempPath("cut.fxb");
  WriteFile(path, Bytes(file.begin(), file.end() - 1));
  TestPlug plug(true, 2);
  WDL_String wpath(path.c_str());
  EXPECT_FALSE(plug.LoadBankFromFXB(&wpath));
  WriteFile(path, file);
  EXPECT_TRUE(plug.LoadBankFromFXB(&wpath));
  std::remove(path.c_str());
}
