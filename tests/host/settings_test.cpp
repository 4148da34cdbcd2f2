#include "host_fakes.h"

#include "StandaloneMainWindow.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <utility>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{
constexpr const char* kDefaults =
    "[audio]\ndriver=0\nin1=1\nin2=2\nindev=default\niovs=512\nmonoinput=0\nout1=1\nout2=2\noutdev=default\n"
    "sigvs=32\nsr=44100\n\n[midi]\ninchan=0\nindev=off\noutchan=0\noutdev=off\n\n";
}

TEST_F(HostTest, FirstStartCreatesTheFolderAsTheUmaskAllowsAndWritesTheDefaults)
{
  const mode_t previous = umask(027);
  const bool loaded = LoadSettings();
  umask(previous);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(std::string(gINIPath), SettingsPath());
  EXPECT_EQ(ReadSettings(), kDefaults);
  EXPECT_EQ(fs::status(mConfigHome + "/Vorna").permissions() & fs::perms::all, fs::perms(0750));

  // Parents are made as well, and a relative XDG_CONFIG_HOME is ignored for HOME's .config.
  const std::string deep = mConfigHome + "/a/b";
  setenv("XDG_CONFIG_HOME", deep.c_str(), 1);
  ASSERT_TRUE(LoadSettings());
  EXPECT_TRUE(fs::exists(deep + "/Vorna/settings.ini"));
  const char* home = getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("XDG_CONFIG_HOME", "relative", 1);
  setenv("HOME", mConfigHome.c_str(), 1);
  ASSERT_TRUE(LoadSettings());
  EXPECT_EQ(std::string(gINIPath), mConfigHome + "/.config/Vorna/settings.ini");
  if (home) setenv("HOME", savedHome.c_str(), 1);
  setenv("XDG_CONFIG_HOME", mConfigHome.c_str(), 1);
}

TEST_F(HostTest, EveryKeyIsReadBackAndWrittenAgain)
{
  const std::string stored =
      "[audio]\ndriver=2\nin1=3\nin2=4\nindev=Desk\niovs=64\nmonoinput=1\nout1=5\nout2=6\noutdev=Desk\n"
      "sigvs=16\nsr=48000\n\n[midi]\ninchan=7\nindev=Keys:0\noutchan=16\noutdev=virtual output\n";
  WriteSettings(stored);
  ASSERT_TRUE(LoadSettings());
  // Written back from the record, so the file coming back unchanged means every key went in and out.
  EXPECT_EQ(gState.driver, 2);
  EXPECT_EQ(gState.inChanR, 4);
  EXPECT_STREQ(gState.sigvs, "16");
  EXPECT_STREQ(gState.midiOutDev, "virtual output");
  EXPECT_EQ(gState.midiOutChan, 16);
  EXPECT_EQ(ReadSettings(), stored);
  // The other records start from the defaults.
  EXPECT_TRUE(AudioSettingsInStateAreEqual(&gActiveState, &gTempState));
  EXPECT_STREQ(gActiveState.inDev, "default");
}

TEST_F(HostTest, BadValuesAreMendedOnLoadAndMissingKeysTakeTheReadersDefaults)
{
  WriteSettings("[audio]\ndriver=9\nin1=0\nin2=-4\nout1=70000\niovs=0\nsigvs=8193\nsr=fast\n"
                "[midi]\ninchan=17\noutchan=-1\n");
  ASSERT_TRUE(LoadSettings());
  EXPECT_EQ(gState.driver, 0);
  EXPECT_EQ(gState.inChanL, 1);
  EXPECT_EQ(gState.inChanR, 1);
  EXPECT_EQ(gState.outChanL, 65535);
  EXPECT_EQ(gState.outChanR, 2);
  EXPECT_STREQ(gState.iovs, "512");
  EXPECT_STREQ(gState.sigvs, "32");
  EXPECT_STREQ(gState.sr, "44100");
  EXPECT_EQ(gState.midiInChan, 16);
  EXPECT_EQ(gState.midiOutChan, 0);
  EXPECT_STREQ(gState.inDev, "default");
  EXPECT_STREQ(gState.midiInDev, "no input");
  EXPECT_STREQ(gState.midiOutDev, "no output");
  EXPECT_NE(ReadSettings().find("driver=0\n"), std::string::npos);

  // Sizes are whole numbers: a fraction, a sign or a space is none; a size not offered stays.
  for (const char* bad : {"32.5", "+64", "-1", "6 4", "99999"})
  {
    WriteSettings(std::string("[audio]\niovs=") + bad + "\nsigvs=100\n");
    ASSERT_TRUE(LoadSettings());
    EXPECT_STREQ(gState.iovs, "512") << bad;
    EXPECT_STREQ(gState.sigvs, "100");
  }
  WriteSettings("[audio]\niovs=8192\nsigvs=0001\ndriver=2\n");
  ASSERT_TRUE(LoadSettings());
  EXPECT_STREQ(gState.iovs, "8192");
  EXPECT_STREQ(gState.sigvs, "1");
  EXPECT_STREQ(gState.inDev, "system");  // JACK's own device stands in for a missing name

  // A name longer than its field is cut, and the cut name still finds its device.
  const std::string longName(150, 'x');
  WriteSettings("[audio]\nindev=" + longName + "\n");
  ASSERT_TRUE(LoadSettings());
  EXPECT_EQ(std::string(gState.inDev), longName.substr(0, kNameSize - 1));
  EXPECT_TRUE(StoredNameMatches(gState.inDev, longName));
  EXPECT_FALSE(StoredNameMatches("xx", longName));
  EXPECT_FALSE(StoredNameMatches(gState.inDev, longName.substr(0, kNameSize - 2)));
}

// A name is read as the file will give it back: what the reader takes off the ends of a value
// (blanks, tabs, a pair of quotes) is taken off what it read too, and off what a cut at 99
// bytes leaves at the end, so that the next start reads the very record this one wrote.
TEST_F(HostTest, NamesAreReadAsTheFileGivesThemBackSoTheNextStartReadsTheSameRecord)
{
  const std::string k98(98, 'a');
  const struct
  {
    const char* what;
    std::string value;
    std::string read;
  } cases[] = {
      {"quotes inside quotes", "\"'inner'\"", "inner"},
      {"blanks inside quotes", "\"  spaced  \"", "spaced"},
      {"a blank where the cut falls", k98 + " b", k98},
      {"a tab where the cut falls", k98 + "\tb", k98},
      {"a character the cut splits", k98 + "\xC3\xA9", k98},
      {"a plain name", "Desk", "Desk"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    WriteSettings("[audio]\nindev=" + c.value + "\n[midi]\noutdev=" + c.value + "\n");
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(std::string(gState.inDev), c.read);
    EXPECT_EQ(std::string(gState.midiOutDev), c.read);
    const AppState first = gState;
    ASSERT_TRUE(LoadSettings());
    const std::string written = ReadSettings();
    // Read again from disk, not from what the reader holds of the file.
    fs::remove(SettingsPath());
    WriteSettings(written);
    ASSERT_TRUE(LoadSettings());
    EXPECT_STREQ(gState.inDev, first.inDev);
    EXPECT_STREQ(gState.midiOutDev, first.midiOutDev);
    EXPECT_EQ(ReadSettings(), written);
  }
}

TEST_F(HostTest, ASampleRateNoDeviceOffersStartsAtTheDefaultAndIsWrittenBack)
{
  // A rate is a whole number of hertz from 8000 to 384000; the stream opens at what the file then holds.
  const std::pair<const char*, unsigned> cases[] = {
      {"fast", 44100},    {"-48000", 44100}, {"1e10", 44100},   {"99999999999999999999999", 44100},
      {"48000.5", 44100}, {"7999", 44100},   {"384001", 44100}, {"2000000000", 44100},
      {"", 44100},        {"8000", 8000},    {"96000", 96000},  {"384000", 384000}};
  for (const auto& [stored, rate] : cases)
  {
    WriteSettings(std::string("[audio]\nsr=") + stored + "\n");
    Launch();
    ASSERT_NE(gWorld.audio, nullptr) << stored;
    EXPECT_EQ(gWorld.audio->sampleRate, rate) << stored;
    EXPECT_NE(ReadSettings().find("\nsr=" + std::to_string(rate) + "\n"), std::string::npos) << stored;
    Quit();
  }
}

TEST_F(HostTest, SettingsThatCannotBeWrittenLeaveTheApplicationRunning)
{
  // A folder that cannot be made: code 1 answers 1, nothing is written, start-up goes on.
  const std::string blocked = mConfigHome + "/file";
  std::ofstream(blocked) << "x";
  setenv("XDG_CONFIG_HOME", blocked.c_str(), 1);
  EXPECT_EQ(SWELLAppMain(SWELLAPP_ONLOAD, 0, 0), 1);
  EXPECT_FALSE(UpdateINI());
  SWELLAppMain(SWELLAPP_LAUNCHED, 0, 0);
  EXPECT_TRUE(gDAC && gDAC->isStreamRunning());
  Quit();

  // A path that would not fit its buffer is refused the same way.
  const std::string tooLong = mConfigHome + "/" + std::string(kINIPathSize, 'd');
  setenv("XDG_CONFIG_HOME", tooLong.c_str(), 1);
  EXPECT_FALSE(LoadSettings());
  EXPECT_FALSE(UpdateINI());
  EXPECT_FALSE(fs::exists(tooLong));
}

TEST_F(HostTest, TheFileIsOnlyEverReplacedWhole)
{
  ASSERT_TRUE(LoadSettings());
  const std::string first = ReadSettings();
  std::ifstream held(SettingsPath());
  CopyName(gState.inDev, "Desk");
  gState.midiInChan = 3;
  ASSERT_TRUE(UpdateINI());
  // A new file took the old one's place: a reader that opened the old one reads it whole.
  std::stringstream heldText;
  heldText << held.rdbuf();
  EXPECT_EQ(heldText.str(), first);
  const std::string text = ReadSettings();
  EXPECT_NE(text.find("indev=Desk\n"), std::string::npos);
  EXPECT_NE(text.find("inchan=3\n"), std::string::npos);
  // Nothing half-written is left beside it.
  for (const fs::directory_entry& entry : fs::directory_iterator(mConfigHome + "/Vorna"))
    EXPECT_EQ(entry.path().filename().string().find(".settings.ini.new"), std::string::npos) << entry.path();
}

TEST_F(HostTest, ASettingsFileThatIsNoSettingsTextIsKeptAndReplacedByTheDefaults)
{
  // What the reader makes of a file holding no settings at all.
  WriteSettings("");
  ASSERT_TRUE(LoadSettings());
  const std::string defaults = ReadSettings();
  EXPECT_NE(defaults.find("[midi]\ninchan=0\nindev=no input\n"), std::string::npos);

  std::string binary;
  for (int b = 255; b >= 0; --b) binary += char(b);
  WriteSettings(binary);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(LoadSettings());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadSettings(), defaults);
  const std::string kept = SettingsPath() + ".unreadable";
  std::ifstream in(kept, std::ios::binary);
  std::stringstream keptBytes;
  keptBytes << in.rdbuf();
  EXPECT_EQ(keptBytes.str(), binary);
  // One line naming where the bytes went; nothing more at the next start.
  EXPECT_NE(said.find(": settings.ini is not a settings file; its content is kept as " + kept + "\n"),
            std::string::npos)
      << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(LoadSettings());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(ReadSettings(), defaults);

  // Settings with notes: read, and kept aside under the next name before the rewrite drops the notes.
  const std::string notes = "# My notes\n[audio]\nsr=48000\nSee the manual.\n[link]: https://example.org\n";
  WriteSettings(notes);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(LoadSettings());
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_STREQ(gState.sr, "48000");
  std::ifstream keptNotes(kept + ".1");
  std::stringstream keptText;
  keptText << keptNotes.rdbuf();
  EXPECT_EQ(keptText.str(), notes);
  const std::string line =
      ": settings.ini holds more than settings, which writing it drops; its content is kept as " + kept + ".1\n";
  EXPECT_NE(told.find(line), std::string::npos)
      << told;
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1);
}

TEST_F(HostTest, ASettingsFileThatCannotBeReadOrWrittenIsToldInOneLineEachTime)
{
  ASSERT_TRUE(LoadSettings());
  const std::string folder = mConfigHome + "/Vorna";
  const auto said = [](const std::function<void()>& action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
  };
  // Not read: it runs on the defaults and says why, once, whatever the start writes.
  const std::pair<std::function<void()>, std::string> unreadable[] = {
      {[&] { fs::create_directory(SettingsPath()); }, "Is a directory"},
      {[&] { fs::create_symlink("settings.ini", SettingsPath()); }, "Too many levels of symbolic links"},
      {[&] { ASSERT_EQ(mkfifo(SettingsPath().c_str(), 0600), 0); }, "not a regular file"},
  };
  for (const auto& [make, reason] : unreadable)
  {
    fs::remove(SettingsPath());
    make();
    const std::string line = said([&] { Launch(); });
    EXPECT_EQ(line.substr(line.find(": ")), ": " + SettingsPath() + " cannot be read (" + reason +
                                                "); running on the defaults without saving them\n");
    EXPECT_STREQ(gState.sr, "44100");
    Quit();
  }
  fs::remove(SettingsPath());

  // Not written: a write of the settings that the file refuses says why, with the path that
  // failed; the same trouble is told once until a write succeeds. The settings in force stay.
  WriteSettings("[audio]\nsr=48000\n");
  const auto refused = [&](const char* obstacle) {
    return ": the settings could not be saved to " + SettingsPath() + " (" + folder + "/" + obstacle +
           ": Is a directory)\n";
  };
  fs::create_directory(folder + "/.settings.ini.new");
  std::string line = said([&] { Launch(); });
  EXPECT_EQ(line.substr(line.find(": ")), refused(".settings.ini.new"));
  EXPECT_STREQ(gState.sr, "48000");
  CopyName(gState.sr, "96000");
  EXPECT_EQ(said([&] { EXPECT_FALSE(UpdateINI()); }), "");
  EXPECT_EQ(ReadSettings(), "[audio]\nsr=48000\n");
  // Once it can, the next write saves what the refused ones could not.
  fs::remove(folder + "/.settings.ini.new");
  EXPECT_EQ(said([&] { EXPECT_TRUE(UpdateINI()); }), "");
  EXPECT_NE(ReadSettings().find("sr=96000\n"), std::string::npos);
  fs::remove(folder + "/.settings.ini.lock");
  fs::create_directory(folder + "/.settings.ini.lock");
  CopyName(gState.sr, "44100");
  line = said([&] { EXPECT_FALSE(UpdateINI()); });
  EXPECT_EQ(line.substr(line.find(": ")), refused(".settings.ini.lock"));
  fs::remove(folder + "/.settings.ini.lock");
}

TEST_F(HostTest, EachCopyOfTheSettingsFileAndEachRefusedValueIsSaidInOneLine)
{
  const std::string folder = mConfigHome + "/Vorna", me = std::string(program_invocation_short_name) + ": ";
  const auto said = [](const std::function<void()>& action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
  };
  const auto copies = [&] {
    return std::count_if(fs::directory_iterator(folder), {}, [](const fs::directory_entry& entry) {
      return entry.path().filename().string().rfind("settings.ini.unreadable", 0) == 0;
    });
  };
  const std::string moreThanSettings = "settings.ini holds more than settings, which writing it drops";

  // Starts that cannot write keep no copy and say only why they did not write.
  const std::string notes = "# My notes\n[audio]\nsr=48000\n";
  WriteSettings(notes);
  fs::create_directory(folder + "/.settings.ini.new");
  for (int start = 0; start < 3; ++start)
  {
    EXPECT_EQ(said([&] { Launch(); }), me + "the settings could not be saved to " + SettingsPath() + " (" + folder +
                                           "/.settings.ini.new: Is a directory)\n");
    Quit();
  }
  EXPECT_EQ(copies(), 0);
  EXPECT_EQ(ReadSettings(), notes);
  // The start that can keeps one copy and names it.
  fs::remove(folder + "/.settings.ini.new");
  EXPECT_EQ(said([&] { Launch(); }), me + moreThanSettings + "; its content is kept as " + SettingsPath() +
                                         ".unreadable\n");
  Quit();
  EXPECT_EQ(copies(), 1);
  EXPECT_STREQ(gState.sr, "48000");

  // With every name taken by other copies, the settings are still saved, and the line says
  // where the copies are.
  for (int n = 1; n <= 99; ++n)
  {
    WriteSettings("# copy " + std::to_string(n) + "\n[audio]\n");
    fs::rename(SettingsPath(), SettingsPath() + ".unreadable." + std::to_string(n));
  }
  WriteSettings("# other notes\n[audio]\nsr=96000\n");
  EXPECT_EQ(said([&] { Launch(); }),
            me + moreThanSettings +
                "; no copy of it is kept, since the 100 names settings.ini.unreadable to settings.ini.unreadable.99 "
                "beside it are taken by earlier copies, which can be removed\n");
  Quit();
  EXPECT_EQ(ReadSettings().rfind("[audio]\ndriver=0\n", 0), 0u);
  EXPECT_EQ(copies(), 100);

  // A port name the file cannot hold is said once, though a key after it is written.
  ASSERT_TRUE(LoadSettings());
  CopyName(gState.midiInDev, "Keys\x01:0");
  CopyName(gState.midiOutDev, "Synth:1");
  EXPECT_EQ(said([&] { EXPECT_FALSE(UpdateINI()); }),
            me + "the settings could not be saved to " + SettingsPath() +
                " (the value of \"indev\" in [midi] holds a line break or control byte, which the file cannot "
                "hold)\n");
  EXPECT_EQ(said([&] { EXPECT_FALSE(UpdateINI()); }), "");
  EXPECT_NE(ReadSettings().find("outdev=Synth:1\n"), std::string::npos);
}

TEST_F(HostTest, TheEntryAnswersEveryCodeAndShutsDownInOrder)
{
  Launch();
  EXPECT_EQ(gWorld.log.front(), "driver 0");
  ASSERT_NE(gPluginInstance, nullptr);
  EXPECT_TRUE(gDAC->isStreamRunning());
  // Quitting is never delayed, files are not opened, keys not taken, a menu command of id 0 does nothing.
  for (int code : {SWELLAPP_SHOULDTERMINATE, 80, 81, 82, SWELLAPP_MENUCOMMAND, 256, 4096})
    EXPECT_EQ(SWELLAppMain(code, 0x10000, 0), 0) << code;
  EXPECT_NE(gHWND, nullptr);
  gWorld.log.clear();
  EXPECT_EQ(SWELLAppMain(SWELLAPP_WILLTERMINATE, 0, 0), 0);
  EXPECT_EQ(gWorld.log, (std::vector<std::string>{"stop", "in close", "out close", "close", "in deleted",
                                                  "out deleted", "audio deleted"}));
  EXPECT_EQ(gHWND, nullptr);
  EXPECT_EQ(gPluginInstance, nullptr);
  EXPECT_EQ(gDAC, nullptr);
  EXPECT_EQ(gMidiIn, nullptr);
  // A second shut-down finds nothing to do.
  Quit();
}
