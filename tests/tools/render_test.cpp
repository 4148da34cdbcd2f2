#include "OfflineRenderer.h"
#include "VornaParams.h"
#include "smf_builder.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

fs::path TestDir()
{
  const fs::path dir = fs::temp_directory_path() / ("vorna_render_test_" + std::to_string(getpid()));
  fs::create_directories(dir);
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

// One note of a second at 120 bpm, 96 ticks per quarter: on at 0, off at 1 s.
smf::Bytes OneNoteFile()
{
  return smf::File(0, 96, {smf::Track({0x00, 0x90, 69, 100, 0x81, 0x40, 0x80, 69, 0, 0x00, 0xFF, 0x2F, 0x00})});
}

SmfSequence OneNote()
{
  const smf::Bytes bytes = OneNoteFile();
  SmfSequence seq;
  std::string error;
  EXPECT_TRUE(ReadStandardMidiFile(bytes.data(), bytes.size(), &seq, &error)) << error;
  return seq;
}

RenderOptions Options(const fs::path& wav, std::vector<ParamSetting> settings = {})
{
  RenderOptions o;
  o.wavPath = wav.string();
  o.seed = 11;
  o.tailSeconds = 0.25;
  o.settings = std::move(settings);
  return o;
}

std::vector<char> FileBytes(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<float> ReadWav(const fs::path& path, SF_INFO* info)
{
  SNDFILE* f = sf_open(path.string().c_str(), SFM_READ, info);
  EXPECT_NE(f, nullptr);
  if (!f) return {};
  std::vector<float> samples(size_t(info->frames) * size_t(info->channels));
  sf_readf_float(f, samples.data(), info->frames);
  sf_close(f);
  return samples;
}

struct ToolRun
{
  int status;
  std::string out, err;
};

ToolRun RunRenderer(const std::string& args)
{
  const fs::path out = TestDir() / "stdout.txt";
  const fs::path err = TestDir() / "stderr.txt";
  const std::string command =
      std::string(VORNA_RENDER_PATH) + " " + args + " >" + out.string() + " 2>" + err.string();
  const int raw = std::system(command.c_str());
  const std::vector<char> o = FileBytes(out), e = FileBytes(err);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(o.begin(), o.end()), std::string(e.begin(), e.end())};
}
}  // namespace

TEST(Render, WritesTheWholePieceAndReportsItsLevels)
{
  const fs::path wav = TestDir() / "one.wav";
  RenderReport report;
  std::string error;
  RenderOptions options = Options(wav);
  options.blockSize = 100;  // the piece's length is no multiple of the block
  ASSERT_TRUE(RenderToWav(options, OneNote(), &report, &error)) << error;
  SF_INFO info{};
  const std::vector<float> samples = ReadWav(wav, &info);
  EXPECT_EQ(info.frames, 48000 + 1 + 12000);
  EXPECT_EQ(report.frames, info.frames);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.samplerate, 48000);
  double peak = 0.0, squares = 0.0;
  for (float s : samples)
  {
    peak = std::max(peak, double(std::fabs(s)));
    squares += double(s) * s;
  }
  EXPECT_EQ(report.peak, peak);
  EXPECT_NEAR(report.rms, std::sqrt(squares / double(samples.size())), 1e-9);
  // The note sounds from the start and has ended well before the tail's end.
  EXPECT_GT(peak, 0.05);
  EXPECT_LT(peak, 1.0);
  for (size_t i = samples.size() - 2000; i < samples.size(); ++i) ASSERT_EQ(samples[i], 0.0f) << i;
}

TEST(Render, TheSameSeedWritesTheSameBytes)
{
  const std::vector<ParamSetting> noisy = {{kNoise1Amnt, 0.4}, {kTune1ShiverAmount, 1.0}};
  RenderReport report;
  std::string error;
  const fs::path a = TestDir() / "a.wav", b = TestDir() / "b.wav", c = TestDir() / "c.wav";
  ASSERT_TRUE(RenderToWav(Options(a, noisy), OneNote(), &report, &error)) << error;
  ASSERT_TRUE(RenderToWav(Options(b, noisy), OneNote(), &report, &error)) << error;
  RenderOptions other = Options(c, noisy);
  other.seed = 12;
  ASSERT_TRUE(RenderToWav(other, OneNote(), &report, &error)) << error;
  EXPECT_EQ(FileBytes(a), FileBytes(b));
  EXPECT_NE(FileBytes(a), FileBytes(c));
}

TEST(Render, SettingsAreInForceFromTheFirstSample)
{
  // Volume 0 from the start: a ramp from the default 1 would be heard in the first block.
  const fs::path wav = TestDir() / "silent.wav";
  RenderReport report;
  std::string error;
  ASSERT_TRUE(RenderToWav(Options(wav, {{kOsc1Vol, 0.0}, {kOsc2Vol, 0.0}}), OneNote(), &report, &error)) << error;
  EXPECT_EQ(report.peak, 0.0);
}

TEST(Render, APieceTooLongForAWavFileIsRefused)
{
  SmfSequence seq;
  seq.events.push_back({4.0 * 3600.0, 0x90, 60, 100});
  RenderReport report;
  std::string error;
  EXPECT_FALSE(RenderToWav(Options(TestDir() / "long.wav"), seq, &report, &error));
  EXPECT_NE(error.find("WAV file"), std::string::npos) << error;
}

TEST(RenderTool, RendersAndPrintsOneLine)
{
  const fs::path mid = TestDir() / "tool.mid";
  const fs::path wav = TestDir() / "tool.wav";
  const smf::Bytes bytes = OneNoteFile();
  std::ofstream(mid, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  const ToolRun run = RunRenderer("--seed 3 --tail 0.5 --set \"flt 1 f=2000\" " + mid.string() + " " + wav.string());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
  EXPECT_NE(run.out.find("72001 frames"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("peak"), std::string::npos);
  EXPECT_NE(run.out.find("RMS"), std::string::npos);
  EXPECT_NE(run.out.find("real-time factor"), std::string::npos);
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(RenderTool, BadInputExitsWithStatusTwoAndSaysWhy)
{
  const fs::path garbage = TestDir() / "garbage.mid";
  std::ofstream(garbage) << "not midi at all";
  const fs::path good = TestDir() / "good.mid";
  const smf::Bytes bytes = OneNoteFile();
  std::ofstream(good, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  const std::string out = (TestDir() / "bad.wav").string();
  struct Case
  {
    std::string args;
    const char* says;
  };
  const Case cases[] = {
      {"", "give the MIDI file"},
      {"--speed 2 " + good.string() + " " + out, "unknown option \"--speed\""},
      {(TestDir() / "absent.mid").string() + " " + out, "cannot open the MIDI file"},
      {garbage.string() + " " + out, "not a Standard MIDI File"},
      {"--set \"no such=1\" " + good.string() + " " + out, "no parameter is named \"no such\""},
      {"--set \"glide=11\" " + good.string() + " " + out, "\"glide\" takes values from 0.0005 to 10"},
      {"--block-size 0 " + good.string() + " " + out, "--block-size"},
      {good.string() + " " + (TestDir() / "no_folder" / "x.wav").string(), "cannot write the WAV file"},
  };
  for (const Case& c : cases)
  {
    const ToolRun run = RunRenderer(c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << " -> " << run.err;
    EXPECT_EQ(run.err.rfind("vorna-render: ", 0), 0u) << run.err;
  }
}
