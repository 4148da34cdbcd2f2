#include "WavWriter.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
std::filesystem::path TestDir()
{
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("vorna_wav_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

// This process's files go when its tests are done.
class RemoveTestDir : public ::testing::Environment
{
public:
  void TearDown() override { std::filesystem::remove_all(TestDir()); }
};
[[maybe_unused]] ::testing::Environment* const gRemoveTestDir =
    ::testing::AddGlobalTestEnvironment(new RemoveTestDir);

std::vector<char> FileBytes(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::vector<float>& interleaved, int sampleRate)
{
  WavWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path.string(), sampleRate, &error)) << error;
  // In two calls, as the renderer writes block by block.
  const int64_t frames = int64_t(interleaved.size() / 2);
  ASSERT_TRUE(writer.WriteInterleaved(interleaved.data(), frames / 2, &error)) << error;
  ASSERT_TRUE(writer.WriteInterleaved(interleaved.data() + (frames / 2) * 2, frames - frames / 2, &error)) << error;
  EXPECT_EQ(writer.FramesWritten(), frames);
  ASSERT_TRUE(writer.Close(&error)) << error;
}
}  // namespace

TEST(WavWriter, WritesStereoFloatSamplesThatReadBackExactly)
{
  const std::filesystem::path path = TestDir() / "exact.wav";
  // Values a 16-bit or clipping writer would change: tiny, negative and above 1.
  const std::vector<float> samples = {0.0f, -0.0f, 1e-30f, -1e-30f, 0.5f, -0.25f, 1.75f, -3.5f, 0.123456789f, 1.0f};
  WriteFile(path, samples, 44100);

  SF_INFO info{};
  SNDFILE* in = sf_open(path.string().c_str(), SFM_READ, &info);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(info.samplerate, 44100);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.frames, 5);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  std::vector<float> back(samples.size());
  EXPECT_EQ(sf_readf_float(in, back.data(), 5), 5);
  sf_close(in);
  for (size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(back[i], samples[i]) << i;
}

TEST(WavWriter, TheSameSamplesGiveTheSameBytes)
{
  const std::vector<float> samples(2 * 1000, 0.25f);
  const std::filesystem::path a = TestDir() / "a.wav";
  const std::filesystem::path b = TestDir() / "b.wav";
  WriteFile(a, samples, 48000);
  WriteFile(b, samples, 48000);
  const std::vector<char> bytesA = FileBytes(a);
  EXPECT_EQ(bytesA, FileBytes(b));
  // No chunk with a time stamp in it.
  EXPECT_EQ(std::string(bytesA.begin(), bytesA.end()).find("PEAK"), std::string::npos);
  // The header plus exactly the samples: 8 bytes per frame.
  EXPECT_GE(bytesA.size(), 1000u * 8u);
  EXPECT_LT(bytesA.size(), 1000u * 8u + 100u);
}
