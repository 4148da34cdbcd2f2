#include "Base64.h"
#include "ByteChunk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{
std::vector<uint8_t> Bytes(const ByteChunk& chunk)
{
  return std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + chunk.Size());
}

// A chunk holding exactly the given bytes.
ByteChunk ChunkOf(const std::vector<uint8_t>& bytes)
{
  ByteChunk chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

std::string Decode(const char* text, int destSize)
{
  std::vector<uint8_t> dest(static_cast<size_t>(destSize));
  const int n = Base64Decode(text, dest.data(), destSize);
  return std::string(dest.begin(), dest.begin() + n);
}

std::string Encode(const std::string& data)
{
  WDL_String out;
  Base64Encode(reinterpret_cast<const uint8_t*>(data.data()), static_cast<int>(data.size()), &out);
  return out.Get();
}
}  // namespace

TEST(ByteChunk, NumbersAreStoredLittleEndianByteForByte)
{
  ByteChunk chunk;
  const int32_t minusTwo = -2;
  const uint32_t word = 0x01020304;
  const uint8_t byte = 0xAB;
  const float oneAndAHalf = 1.5f;     // 0x3FC00000
  const double minusOne = -1.0;       // 0xBFF0000000000000
  EXPECT_EQ(chunk.Put(&minusTwo), 4);
  EXPECT_EQ(chunk.Put(&word), 8);
  EXPECT_EQ(chunk.Put(&byte), 9);
  EXPECT_EQ(chunk.Put(&oneAndAHalf), 13);
  EXPECT_EQ(chunk.Put(&minusOne), 21);
  EXPECT_EQ(chunk.PutStr("ab"), 27);
  EXPECT_EQ(chunk.PutStr(nullptr), 31);

  const std::vector<uint8_t> expected = {
    0xFE, 0xFF, 0xFF, 0xFF,                          // -2
    0x04, 0x03, 0x02, 0x01,                          // 0x01020304
    0xAB,                                            // one byte
    0x00, 0x00, 0xC0, 0x3F,                          // 1.5f
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0xBF,  // -1.0
    0x02, 0x00, 0x00, 0x00, 'a', 'b',                // "ab": length without NUL, then the text
    0x00, 0x00, 0x00, 0x00,                          // null puts an empty text
  };
  EXPECT_EQ(Bytes(chunk), expected);

  int32_t i = 0;
  uint32_t u = 0;
  uint8_t b = 0;
  float f = 0;
  double d = 0;
  WDL_String s;
  int pos = chunk.Get(&i, 0);
  pos = chunk.Get(&u, pos);
  pos = chunk.Get(&b, pos);
  pos = chunk.Get(&f, pos);
  pos = chunk.Get(&d, pos);
  EXPECT_EQ(pos, 21);
  pos = chunk.GetStr(&s, pos);
  EXPECT_EQ(pos, 27);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(u, 0x01020304u);
  EXPECT_EQ(b, 0xAB);
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(d, -1.0);
  EXPECT_STREQ(s.Get(), "ab");
  EXPECT_EQ(chunk.GetStr(&s, pos), 31);
  EXPECT_STREQ(s.Get(), "");
}

TEST(ByteChunk, ShortOrNegativeReadsFailWithoutTouchingTheOutput)
{
  const ByteChunk chunk = ChunkOf({1, 2, 3, 4, 5, 6, 7});
  double d = 42.0;
  EXPECT_EQ(chunk.Get(&d, 0), -1);  // needs 8 of 7 bytes
  EXPECT_EQ(d, 42.0);
  int32_t i = 42;
  EXPECT_EQ(chunk.Get(&i, 3), 7);   // the last whole int
  EXPECT_EQ(i, 0x07060504);
  i = 42;
  EXPECT_EQ(chunk.Get(&i, 4), -1);
  EXPECT_EQ(chunk.Get(&i, -1), -1);  // a failed read earlier never reads again
  EXPECT_EQ(chunk.Get(&i, 0x7FFFFFFE), -1);  // no overflow of position + size
  EXPECT_EQ(i, 42);
  uint8_t out[4] = {9, 9, 9, 9};
  EXPECT_EQ(chunk.GetBytes(out, 4, 5), -1);
  EXPECT_EQ(out[0], 9);
  EXPECT_EQ(chunk.GetBytes(out, 0, 7), 7);  // an empty read at the end succeeds
}

TEST(ByteChunk, StringReadsAreBoundedByTheChunkAndTheirLength)
{
  WDL_String s("unchanged");
  // Length 5 but only 3 characters follow.
  EXPECT_EQ(ChunkOf({5, 0, 0, 0, 'a', 'b', 'c'}).GetStr(&s, 0), -1);
  EXPECT_STREQ(s.Get(), "unchanged");
  // Only part of the length field.
  EXPECT_EQ(ChunkOf({5, 0, 0}).GetStr(&s, 0), -1);
  // A NUL inside the text ends it, but the position skips the whole length.
  EXPECT_EQ(ChunkOf({4, 0, 0, 0, 'a', 0, 'c', 'd', 'z'}).GetStr(&s, 0), 8);
  EXPECT_STREQ(s.Get(), "a");
  // A negative length reads as empty and steps forward past the length only,
  // so a reader can never loop backwards.
  EXPECT_EQ(ChunkOf({0xFF, 0xFF, 0xFF, 0xFF, 'x'}).GetStr(&s, 0), 4);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(ChunkOf({0, 0, 0, 0}).GetStr(&s, 0), 4);
  // A length near INT_MAX must not wrap the end position around.
  EXPECT_EQ(ChunkOf({0xFF, 0xFF, 0xFF, 0x7F, 'a'}).GetStr(&s, 0), -1);
}

TEST(ByteChunk, EveryTruncationOfAMixedChunkFailsAtTheCutValue)
{
  ByteChunk full;
  const int32_t i = 7;
  const double d = 0.5;
  full.Put(&i);
  full.PutStr("name");
  full.Put(&d);
  const std::vector<uint8_t> bytes = Bytes(full);
  ASSERT_EQ(bytes.size(), 4u + 8u + 8u);

  for (size_t cut = 0; cut < bytes.size(); ++cut)
  {
    SCOPED_TRACE(cut);
    // Keep the cut chunk in a buffer of exactly its size for the sanitizer.
    const ByteChunk chunk = ChunkOf(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    int32_t ri = 0;
    double rd = 0;
    WDL_String rs;
    int pos = chunk.Get(&ri, 0);
    pos = chunk.GetStr(&rs, pos);
    pos = chunk.Get(&rd, pos);
    EXPECT_EQ(pos, -1);
  }
}

TEST(ByteChunk, AppendingChunksAndItselfCopiesTheBytes)
{
  ByteChunk a = ChunkOf({1, 2, 3});
  const ByteChunk b = ChunkOf({4, 5});
  EXPECT_EQ(a.PutChunk(&b), 5);
  EXPECT_EQ(a.PutChunk(&a), 10);  // its own bytes, read before the chunk grows
  EXPECT_EQ(Bytes(a), (std::vector<uint8_t>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
  EXPECT_EQ(a.PutBytes(nullptr, 3), -1);
  EXPECT_EQ(a.Size(), 10);
  a.Clear();
  EXPECT_EQ(a.Size(), 0);
  EXPECT_EQ(a.GetData(), nullptr);
  EXPECT_EQ(a.Resize(3), 3);
  EXPECT_EQ(Bytes(a), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(Base64, EncodesTheStandardVectorsWithPadding)
{
  EXPECT_EQ(Encode(""), "");
  EXPECT_EQ(Encode("f"), "Zg==");
  EXPECT_EQ(Encode("fo"), "Zm8=");
  EXPECT_EQ(Encode("foo"), "Zm9v");
  EXPECT_EQ(Encode("foob"), "Zm9vYg==");
  EXPECT_EQ(Encode("fooba"), "Zm9vYmE=");
  EXPECT_EQ(Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Encode(std::string("\xFB\xFF\xBF", 3)), "+/+/");
}

TEST(Base64, DecodingStopsAtPaddingOrForeignCharactersAndAtTheDestination)
{
  EXPECT_EQ(Decode("Zm9vYmFy", 16), "foobar");
  EXPECT_EQ(Decode("Zm9vYg==", 16), "foob");
  EXPECT_EQ(Decode("Zm9v YmFy", 16), "foo");  // a blank ends the text
  EXPECT_EQ(Decode("Zm9vYmFy", 4), "foob");    // never past the destination
  EXPECT_EQ(Decode("Zm9vYmFy", 1), "f");
  EXPECT_EQ(Decode("Z", 16), "");              // six bits make no byte
  EXPECT_EQ(Decode("", 16), "");
  EXPECT_EQ(Base64Decode(nullptr, nullptr, 0), 0);
}

TEST(Base64, RandomDataRoundTripsAndRandomTextStaysInsideItsBuffer)
{
  std::mt19937 rng(1234);
  for (int round = 0; round < 200; ++round)
  {
    std::string data(rng() % 300, '\0');
    for (char& c : data) c = static_cast<char>(rng());
    const std::string text = Encode(data);
    EXPECT_EQ(text.size() % 4, 0u);
    EXPECT_EQ(Decode(text.c_str(), static_cast<int>(data.size()) + 1), data);

    std::string noise(rng() % 100, '\0');
    for (char& c : noise) c = static_cast<char>(rng() % 255 + 1);
    const int destSize = static_cast<int>(rng() % 40) + 1;
    std::vector<uint8_t> dest(static_cast<size_t>(destSize));
    EXPECT_LE(Base64Decode(noise.c_str(), dest.data(), destSize), destSize);
  }
}
