#include "OfflineRenderer.h"
#include "RenderTool.h"
#include "VornaParams.h"
#include "smf_builder.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <set>
#include <thread>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
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

// A format 0 file at one tick per quarter and the slowest tempo whose last
// message lies at least seconds from the start, reached by the longest deltas.
smf::Bytes FileLasting(double seconds)
{
  const double secondsPerTick = 0xFFFFFF * 1e-6;
  const uint32_t kLongestDelta = 0x0FFFFFFF;
  smf::Bytes events = {0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF};
  for (double at = 0.0; at < seconds; at += kLongestDelta * secondsPerTick)
    smf::Append(events, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00});  // an empty text event
  smf::Append(events, {0x00, 0x90, 60, 100});
  smf::Append(events, smf::EndOfTrack());
  return smf::File(0, 1, {smf::Track(events)});
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

void WriteFile(const fs::path& path, const smf::Bytes& bytes)
{
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
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

std::string TextOf(FILE* f)
{
  std::string text;
  std::rewind(f);
  for (int c; (c = std::fgetc(f)) != EOF;) text += char(c);
  std::fclose(f);
  return text;
}

// The tool run in this process, its bytes going to the disk through the calls given.
ToolRun RunInProcess(const std::vector<std::string>& args, const OutputCalls& calls)
{
  std::vector<const char*> argv = {"vorna-render"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  const int status = RunRenderTool(int(argv.size()), argv.data(), out, err, calls);
  return {status, TextOf(out), TextOf(err)};
}

std::set<std::string> NamesIn(const fs::path& dir)
{
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
  return names;
}

// A disk that takes room bytes in all and then refuses each write with writeError, and
// whose fsync fails with syncError (0: it does not).
OutputCalls FailingDisk(int64_t room, int writeError, int syncError = 0)
{
  auto taken = std::make_shared<int64_t>(0);
  OutputCalls calls = OutputCalls::System();
  calls.write = [taken, room, writeError](int fd, const void* data, size_t size) -> ssize_t {
    const int64_t left = room - *taken;
    if (left <= 0)
    {
      errno = writeError;
      return -1;
    }
    const ssize_t n = ::write(fd, data, size_t(std::min<int64_t>(left, int64_t(size))));
    if (n > 0) *taken += n;
    return n;
  };
  calls.fsync = [syncError](int fd) {
    if (syncError == 0) return ::fsync(fd);
    errno = syncError;
    return -1;
  };
  return calls;
}

constexpr int64_t kUnlimited = int64_t(1) << 62;
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

TEST(Render, APieceTooLongForAWavFileIsRefusedBeforeAnythingIsWritten)
{
  const auto lastAt = [](double seconds) {
    SmfSequence seq;
    seq.events.push_back({seconds, 0x90, 60, 100});
    return seq;
  };
  int64_t frames = 0;
  std::string error;
  // The last frame a file holds, reached exactly; one frame more is too many.
  const double lastFitting = double(kMaxWavFrames - 1) / 48000.0;
  ASSERT_TRUE(RenderLength(lastAt(lastFitting), 48000, 0.0, &frames, &error)) << error;
  EXPECT_EQ(frames, kMaxWavFrames);
  EXPECT_FALSE(RenderLength(lastAt(lastFitting), 48000, 1.0 / 48000.0, &frames, &error));
  EXPECT_TRUE(RenderLength(SmfSequence{}, 48000, 2.0, &frames, &error));
  EXPECT_EQ(frames, 96000);
  // Far beyond: frames times bytes per frame, and the frame count itself, would overflow.
  for (const double seconds : {4.0 * 3600.0, 8e13, 2e14, 1e300})
  {
    error.clear();
    EXPECT_FALSE(RenderLength(lastAt(seconds), 384000, 2.0, &frames, &error)) << seconds;
    EXPECT_NE(error.find("a WAV file at 384000 Hz holds at most 1398 s"), std::string::npos) << error;
  }

  const fs::path wav = TestDir() / "long.wav";
  RenderReport report;
  EXPECT_FALSE(RenderToWav(Options(wav), lastAt(8e13), &report, &error));
  EXPECT_NE(error.find("the piece lasts 80000000000000 s"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(wav));
}

TEST(RenderTool, RendersAndPrintsOneLine)
{
  const fs::path mid = TestDir() / "tool.mid";
  const fs::path wav = TestDir() / "tool.wav";
  WriteFile(mid, OneNoteFile());
  const ToolRun run = RunRenderer("--seed 3 --tail 0.5 --set \"flt 1 f=2000\" " + mid.string() + " " + wav.string());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
  EXPECT_NE(run.out.find("72001 frames"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("peak"), std::string::npos);
  EXPECT_NE(run.out.find("RMS"), std::string::npos);
  EXPECT_NE(run.out.find("real-time factor"), std::string::npos);
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(RenderTool, AnOutputThatIsStandardOutputHoldsOnlyTheWavAndTheReportGoesToStandardError)
{
  const fs::path mid = TestDir() / "piped.mid";
  const fs::path named = TestDir() / "named.wav";
  WriteFile(mid, OneNoteFile());
  const std::string args = "--seed 5 --tail 0.5 " + mid.string() + " ";
  ASSERT_EQ(RunRenderer(args + named.string()).status, 0);
  const std::vector<char> expected = FileBytes(named);
  // RunRenderer sends standard output to this file, so it is one more name for it.
  const fs::path redirected = TestDir() / "stdout.txt";
  for (const std::string& out : {std::string("/dev/stdout"), std::string("/proc/self/fd/1"), std::string("/dev/fd/1"),
                                 redirected.string()})
  {
    const ToolRun run = RunRenderer(args + out);
    EXPECT_EQ(run.status, 0) << out << ": " << run.err;
    EXPECT_TRUE(std::vector<char>(run.out.begin(), run.out.end()) == expected) << out;
    SF_INFO info = {};
    EXPECT_EQ(ReadWav(redirected, &info).size(), 2u * 72001u) << out;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << out << ": " << run.err;
    EXPECT_EQ(run.err.rfind(out + ": 72001 frames", 0), 0u) << run.err;
  }
}

TEST(RenderTool, RefusesWhatItCannotWriteAndNeverOverwritesItsInput)
{
  // A file whose last message lies where the frame count itself overflowed.
  const fs::path endless = TestDir() / "endless.mid";
  const fs::path endlessWav = TestDir() / "endless.wav";
  WriteFile(endless, FileLasting(2e14));
  const ToolRun run = RunRenderer(endless.string() + " " + endlessWav.string());
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_NE(run.err.find("a WAV file at 48000 Hz holds at most"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(endlessWav));

  const fs::path dir = TestDir() / "same";
  fs::create_directories(dir);
  const fs::path mid = dir / "in.mid";
  WriteFile(mid, OneNoteFile());
  fs::create_symlink(mid, dir / "symlink.wav");
  fs::create_hard_link(mid, dir / "hardlink.wav");
  const std::string spellings[] = {mid.string(), fs::relative(mid).string(), (dir / ".." / "same" / "in.mid").string(),
                                   (dir / "symlink.wav").string(), (dir / "hardlink.wav").string()};
  for (const std::string& out : spellings)
  {
    const ToolRun run = RunRenderer(mid.string() + " " + out);
    EXPECT_EQ(run.status, 2) << out;
    EXPECT_NE(run.err.find("is the MIDI file"), std::string::npos) << out << " -> " << run.err;
  }
  const smf::Bytes original = OneNoteFile();
  EXPECT_EQ(FileBytes(mid), std::vector<char>(original.begin(), original.end()));
}

TEST(RenderTool, BadInputExitsWithStatusTwoAndSaysWhy)
{
  const fs::path garbage = TestDir() / "garbage.mid";
  std::ofstream(garbage) << "not midi at all";
  const fs::path good = TestDir() / "good.mid";
  WriteFile(good, OneNoteFile());
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

TEST(RenderTool, AWriteThatFailsLeavesWhatWasAtThePathAndNoTemporary)
{
  const fs::path dir = TestDir() / "failing";
  fs::create_directories(dir);
  const fs::path mid = dir / "in.mid", wav = dir / "out.wav";
  WriteFile(mid, OneNoteFile());
  const std::vector<std::string> args = {"--seed", "4", "--tail", "0.5", mid.string(), wav.string()};
  // The whole file's size, for a disk that takes all of it but for the header finished at the end.
  ASSERT_EQ(RunInProcess(args, OutputCalls::System()).status, 0);
  const int64_t whole = int64_t(fs::file_size(wav));
  ASSERT_GT(whole, 72001 * 8);
  fs::remove(wav);

  const std::string precious = "an earlier render, not to be lost";
  struct Case
  {
    const char* name;
    bool existing;  // a file at the path before the render
    OutputCalls disk;
    const char* reason;
  };
  const Case cases[] = {
      {"full at once", true, FailingDisk(0, ENOSPC), "No space left on device"},
      {"full half-way", true, FailingDisk(300000, ENOSPC), "No space left on device"},
      {"full when the header is finished", true, FailingDisk(whole, ENOSPC), "No space left on device"},
      {"over the quota", true, FailingDisk(4096, EDQUOT), "Disk quota exceeded"},
      {"the device fails", true, FailingDisk(65536, EIO), "Input/output error"},
      {"the sync fails", true, FailingDisk(kUnlimited, 0, EIO), "Input/output error"},
      {"full, no file there before", false, FailingDisk(300000, ENOSPC), "No space left on device"},
      {"the sync fails, no file there before", false, FailingDisk(kUnlimited, 0, EIO), "Input/output error"},
  };
  for (const Case& c : cases)
  {
    if (c.existing) std::ofstream(wav, std::ios::binary) << precious;
    const ToolRun run = RunInProcess(args, c.disk);
    EXPECT_EQ(run.status, 3) << c.name;
    EXPECT_EQ(run.err, "vorna-render: could not write " + wav.string() + ": " + c.reason + "\n") << c.name;
    EXPECT_EQ(run.out, "") << c.name;
    if (c.existing)
    {
      const std::vector<char> bytes = FileBytes(wav);
      EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == precious) << c.name << ": " << bytes.size() << " bytes";
      EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"in.mid", "out.wav"})) << c.name;
    }
    else
      EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"in.mid"})) << c.name;
    fs::remove(wav);
  }
}

TEST(RenderTool, AnOutputWrittenStraightThroughThatFailsExitsWithTheWriteStatus)
{
  const fs::path mid = TestDir() / "straight.mid";
  WriteFile(mid, OneNoteFile());
  const fs::path err = TestDir() / "straight.err";
  // /dev/full refuses every write as a full disk does; standard output can be it.
  struct Case
  {
    std::string output, redirect;
  };
  const Case cases[] = {{"/dev/full", ">/dev/null"}, {"/dev/stdout", ">/dev/full"}, {"/proc/self/fd/1", ">/dev/full"}};
  for (const Case& c : cases)
  {
    const std::string command = std::string(VORNA_RENDER_PATH) + " --seed 1 --tail 0.5 " + mid.string() + " " +
                                c.output + " " + c.redirect + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 3) << c.output << ": " << raw;
    const std::vector<char> e = FileBytes(err);
    EXPECT_EQ(std::string(e.begin(), e.end()), "vorna-render: could not write " + c.output +
                                                   ": No space left on device\n")
        << c.output;
  }
}

TEST(RenderTool, TheNewFileTakesThePathWhole)
{
  const fs::path dir = TestDir() / "replacing";
  fs::create_directories(dir);
  const fs::path mid = dir / "in.mid";
  WriteFile(mid, OneNoteFile());
  const mode_t saved = umask(027);
  struct Case
  {
    const char* name;
    std::function<void(const fs::path& wav)> before;
    const char* link;  // the symbolic link at the path, which stays, and the file it names is replaced
  };
  const Case cases[] = {
      {"new.wav", [](const fs::path&) {}, nullptr},
      {"private.wav", [](const fs::path& wav) {
         std::ofstream(wav) << "old";
         fs::permissions(wav, fs::perms::owner_read | fs::perms::owner_write);
       }, nullptr},
      {"linked.wav", [&](const fs::path& wav) {
         std::ofstream(dir / "target.wav") << "old";
         fs::create_symlink("target.wav", wav);
       }, "target.wav"},
  };
  for (const Case& c : cases)
  {
    const fs::path wav = dir / c.name;
    c.before(wav);
    const ToolRun run =
        RunInProcess({"--seed", "2", "--tail", "0.5", mid.string(), wav.string()}, OutputCalls::System());
    EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
    SF_INFO info{};
    EXPECT_EQ(ReadWav(wav, &info).size(), 2u * 72001u) << c.name;
    const fs::path file = c.link ? dir / c.link : wav;
    EXPECT_EQ(fs::is_symlink(wav), c.link != nullptr) << c.name;
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0) << c.name;
    EXPECT_EQ(st.st_mode & 0777, 0640u) << c.name;  // 0666 less the umask, as a new file
  }
  umask(saved);
  EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"in.mid", "new.wav", "private.wav", "linked.wav", "target.wav"}));
}

TEST(RenderTool, StoppedBySignalItLeavesWhatWasAtThePathAndNoTemporary)
{
  const fs::path dir = TestDir() / "stopped";
  fs::create_directories(dir);
  const fs::path mid = dir / "in.mid", wav = dir / "out.wav";
  WriteFile(mid, OneNoteFile());
  const std::string precious = "an earlier render, not to be lost";
  for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP})
  {
    std::ofstream(wav, std::ios::binary) << precious;
    // Ten minutes of tail: far longer than the wait below.
    const pid_t child = fork();
    if (child == 0)
    {
      for (int s : {SIGTERM, SIGINT, SIGHUP}) signal(s, SIG_DFL);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execl(VORNA_RENDER_PATH, VORNA_RENDER_PATH, "--tail", "600", mid.c_str(), wav.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_GT(child, 0);
    // Mid-render: the temporary beside the output holds a megabyte of it.
    bool writing = false;
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
         !writing && std::chrono::steady_clock::now() < deadline;)
    {
      for (const std::string& name : NamesIn(dir))
      {
        std::error_code code;
        if (name != "in.mid" && name != "out.wav" && fs::file_size(dir / name, code) > (1u << 20) && !code)
          writing = name[0] == '.';
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(writing) << "no hidden temporary beside the output grew; signal " << signalNumber;
    kill(child, signalNumber);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
    const std::vector<char> bytes = FileBytes(wav);
    EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == precious)
        << signalNumber << ": " << bytes.size() << " bytes";
    EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"in.mid", "out.wav"})) << signalNumber;
  }
}
