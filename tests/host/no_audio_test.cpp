#include "host_fakes.h"

#include "StandaloneMainWindow.h"
#include "service_calls.h"

#include <cerrno>
#include <sstream>
#include <unistd.h>

namespace
{
struct NoStreamCase
{
  const char* what;
  std::string audioSettings;
  std::function<void()> arrangeWorld;
  std::string reason;
};

// The lines of what start-up wrote on stderr that say no stream opened.
std::vector<std::string> NoStreamLines(const std::string& printed)
{
  std::vector<std::string> lines;
  std::istringstream in(printed);
  for (std::string line; std::getline(in, line);)
    if (line.find("no audio stream") != std::string::npos) lines.push_back(line);
  return lines;
}
}  // namespace

TEST_F(HostTest, WhenNoStreamOpensOneLineSaysWhyAndStartUpGoesOn)
{
  const std::string prefix = std::string(program_invocation_short_name) + ": no audio stream: ";
  const std::vector<NoStreamCase> cases = {
    {"a stored output device that is not listed", "outdev=hw:9\n", [] {},
     "the output device \"hw:9\" is not listed by ALSA"},
    {"a stored input device that is not listed", "indev=Mic\n", [] {},
     "the input device \"Mic\" is not listed by ALSA"},
    {"no output device at all", "indev=Mic\n", [] { gWorld.devices = {Device("Mic", 2, 0)}; },
     "ALSA lists no output device (the settings ask for \"default\")"},
    {"the library refuses to open", "", [] { gWorld.failOpen = true; },
     "ALSA could not open the stream: open refused: no such card"},
    {"the library refuses to start", "", [] { gWorld.failStart = true; },
     "ALSA could not start the stream: start refused"},
    {"a driver the library lacks", "driver=2\n", [] { gWorld.noDriver = true; },
     "the audio library of this build has no JACK driver"},
    {"a driver that cannot be made", "driver=2\n", [] { gWorld.driverThrows = true; },
     "the JACK driver could not be set up: no server to talk to"},
  };
  for (const NoStreamCase& c : cases)
  {
    SCOPED_TRACE(c.what);
    gWorld = FakeWorld();
    gWorld.devices = {Device("default", 2, 2), Device("Maker: Desk", 4, 8)};
    gWorld.inPorts = {"Keys:0"};
    c.arrangeWorld();
    WriteSettings("[audio]\n" + c.audioSettings + "[midi]\nindev=Keys:0\n");
    testing::internal::CaptureStderr();
    Launch();
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(NoStreamLines(printed), std::vector<std::string>{prefix + c.reason}) << printed;
    EXPECT_FALSE(LaunchedWithSound());
    // Without sound the rest starts all the same: the MIDI port, the plug-in, the window.
    ASSERT_NE(gWorld.midiIn, nullptr);
    EXPECT_EQ(gWorld.midiIn->openName, "Keys:0");
    EXPECT_NE(gPluginInstance, nullptr);
    EXPECT_NE(gHWND, nullptr);
    Quit();
  }

  // A stream that opens says nothing of the kind.
  gWorld = FakeWorld();
  gWorld.devices = {Device("default", 2, 2)};
  WriteSettings("[audio]\n");
  testing::internal::CaptureStderr();
  Launch();
  EXPECT_EQ(NoStreamLines(testing::internal::GetCapturedStderr()), std::vector<std::string>{});
  EXPECT_TRUE(LaunchedWithSound());
}

// A service that never answers holds the start inside its library: the watch ends the program
// with one line that says why, and the status of a start without sound.
TEST_F(HostTest, AStartThatTheServiceHoldsEndsWithOneLineSayingWhy)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::vector<std::pair<const char*, std::function<void()>>> holds = {
    {"listing the audio devices", [] { gWorld.listingHangs = true; }},
    {"making the MIDI input", [] { gWorld.midiInHangs = true; }},
  };
  WriteSettings("[audio]\n");
  for (const auto& [what, arrange] : holds)
  {
    SCOPED_TRACE(what);
    EXPECT_EXIT(
        {
          gStartWaitLimit = std::chrono::milliseconds(300);
          gStartStatus = 1;
          // Without the watch, the alarm ends the hold and the test fails instead of hanging.
          alarm(10);
          arrange();
          Launch();
        },
        testing::ExitedWithCode(1),
        ": no audio stream: the audio or MIDI service did not answer within 0.3 s of the start; ending now");
  }
}
