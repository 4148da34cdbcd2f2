// The audio and MIDI service in trouble at each call the application makes of it: a call that
// never returns, one that fails, one during which the server goes away. Whatever the call, the
// window goes on answering, the player is told, nothing is asked of a client whose server went,
// and Preferences brings sound and MIDI back once the service answers again.
#include "app_window_fixture.h"

#include "service_calls.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace
{
using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

constexpr const char* kJackSettings =
    "[audio]\ndriver=2\nindev=default\noutdev=default\nsr=48000\n[midi]\nindev=virtual input\n"
    "outdev=virtual output\n";

// The application's own lines on stderr during the action, without the program's name.
Texts Said(const std::function<void()>& action)
{
  testing::internal::CaptureStderr();
  action();
  const std::string text = testing::internal::GetCapturedStderr();
  Texts lines;
  const std::string program = std::string(program_invocation_short_name) + ": ";
  for (size_t at = 0; at < text.size();)
  {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    if (line.compare(0, program.size(), program) == 0) lines.push_back(line.substr(program.size()));
    at = end + 1;
  }
  return lines;
}

// Lines that begin and end so.
size_t CountSaid(const Texts& lines, const std::string& begin, const std::string& end)
{
  return size_t(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.size() >= begin.size() + end.size() && line.compare(0, begin.size(), begin) == 0 &&
           line.compare(line.size() - end.size(), end.size(), end) == 0;
  }));
}

class ServiceTroubleTest : public AppWindowTest
{
protected:
  void SetUp() override
  {
    AppWindowTest::SetUp();
    // A main thread that waits on a service for good fails the test here, not at ctest's limit
    // (set again for each case of the long tests).
    alarm(60);
  }
  void TearDown() override
  {
    AppWindowTest::TearDown();
    alarm(0);
    EXPECT_EQ(TakeCallsAfterDeath(), Texts{}) << "called on a client whose server went away";
  }

  static void Command(HWND dialog, int id) { SendMessage(dialog, WM_COMMAND, WPARAM(id), 0); }
  static bool ShowsText(HWND dialog, const std::string& text)
  {
    return FindByText(dynamic_cast<cocoa::NSView*>(swellObjectOf(dialog)), text) != nullptr;
  }

  // Whatever trouble came before: once the service answers, Preferences and OK bring back the
  // stream and the ports the settings name.
  void ExpectPreferencesBringEverythingBack()
  {
    HWND dialog = OpenPreferences();
    Command(dialog, IDOK);
    DestroyWindow(dialog);
    ASSERT_NE(gWorld.audio, nullptr);
    EXPECT_TRUE(gWorld.audio->isStreamRunning());
    ASSERT_NE(gWorld.midiIn, nullptr);
    EXPECT_EQ(gWorld.midiIn->openName, "To Vorna");
    ASSERT_NE(gWorld.midiOut, nullptr);
    EXPECT_EQ(gWorld.midiOut->openName, "From Vorna");
  }
};

struct Moment
{
  const char* name;
  // Runs with the Preferences dialog open (null for the moment that opens it).
  std::function<void(HWND* dialog)> act;
};
}  // namespace

// Each moment of the player's is first run untroubled to learn the calls it makes; then, from a
// fresh start each time, every one of those calls hangs, fails and loses the server in turn.
TEST_F(ServiceTroubleTest, TroubleAtAnyCallOfAnyMomentLeavesTheWindowAnsweringAndIsMendedByPreferences)
{
  std::vector<Moment> moments = {
    {"opening Preferences", [&](HWND* dialog) { *dialog = OpenPreferences(); }},
    {"Apply", [](HWND* dialog) { Command(*dialog, IDAPPLY); }},
    {"OK after a change",
     [](HWND* dialog) {
       Pick(*dialog, IDC_COMBO_AUDIO_SR, "44100");
       Command(*dialog, IDOK);
     }},
    {"Cancel after a change",
     [](HWND* dialog) {
       Pick(*dialog, IDC_COMBO_AUDIO_SR, "44100");
       Pick(*dialog, IDC_COMBO_MIDI_IN_DEV, "Keys:0");
       Command(*dialog, IDCANCEL);
     }},
    {"MIDI ports picked",
     [](HWND* dialog) {
       Pick(*dialog, IDC_COMBO_MIDI_OUT_DEV, "Synth:0");
       Pick(*dialog, IDC_COMBO_MIDI_OUT_DEV, "virtual output");
     }},
  };
  if (IsAudioDriverCompiled(0))
    moments.push_back({"a driver picked", [](HWND* dialog) { Pick(*dialog, IDC_COMBO_AUDIO_DRIVER, "ALSA"); }});
  const Trouble troubles[] = {Trouble::hang, Trouble::fail, Trouble::die};
  const char* troubleNames[] = {"", "fail", "hang", "die"};

  const auto start = [&](const Moment& moment, HWND* dialog) {
    WriteSettings(kJackSettings);
    StartApplication();
    ASSERT_TRUE(gWorld.audio && gWorld.audio->isStreamRunning());
    if (moment.name != moments[0].name) *dialog = OpenPreferences();
    TakeFakeCalls();
  };
  int cases = 0;
  for (const Moment& moment : moments)
  {
    HWND dialog = nullptr;
    start(moment, &dialog);
    moment.act(&dialog);
    const Texts made = TakeFakeCalls();
    const std::set<std::string> calls(made.begin(), made.end());
    if (dialog && IsWindow(dialog)) DestroyWindow(dialog);
    Quit();
    EXPECT_FALSE(calls.empty()) << moment.name << " asked nothing of the service";

    for (const std::string& call : calls)
      for (const Trouble trouble : troubles)
      {
        SCOPED_TRACE(std::string(moment.name) + ", " + troubleNames[int(trouble)] + " at " + call);
        ++cases;
        dialog = nullptr;
        start(moment, &dialog);
        alarm(60);
        SetTrouble(call, trouble);
        const Texts said = Said([&] {
          moment.act(&dialog);
          // The next look of the main window's timer.
          LookAtServices();
        });
        EXPECT_TRUE(TroubleMet()) << "the call was not made";
        const bool midi = call.rfind("in ", 0) == 0 || call.rfind("out ", 0) == 0 || call.rfind("midi ", 0) == 0;
        if (trouble == Trouble::hang)
        {
          EXPECT_EQ(CountSaid(said, midi ? "the MIDI service" : "the audio service (",
                              " did not answer within 60.0 s; it is not asked again until it does"),
                    1u)
              << testing::PrintToString(said);
          // The window answers, and the dialog that was opening shows.
          if (moment.name == moments[0].name) EXPECT_TRUE(IsWindow(dialog));
        }
        // The server's going takes every client with it, and each kind is said once.
        if (trouble == Trouble::die)
        {
          EXPECT_EQ(std::count(said.begin(), said.end(), "no MIDI input or output: the JACK server went away"), 1)
              << testing::PrintToString(said);
          EXPECT_LE(CountSaid(said, "no audio stream: the ", " server went away"), 1u);
        }
        if (dialog && IsWindow(dialog)) DestroyWindow(dialog);

        ReleaseHeldCalls();
        for (Service* service : {&gAudioService, &gMidiService})
          ASSERT_TRUE(service->thread.WaitUntilAnswering(ServiceThread::Clock::now() + 30s));
        gWorld.StartServer();
        const Texts back = Said([] { LookAtServices(); });
        if (trouble == Trouble::hang) EXPECT_EQ(back.size(), 1u) << testing::PrintToString(back);
        ExpectPreferencesBringEverythingBack();
        Quit();
        EXPECT_EQ(TakeCallsAfterDeath(), Texts{}) << "called after the server went away";
      }
  }
  EXPECT_GT(cases, 60);
}

// The start and the quit with any of their calls failing or losing the server: the start goes
// on without what failed and says so, the quit ends in order, and nothing is asked of a client
// whose server went. A start or a quit held at any call ends within its limit with its line,
// and the status the start or the quit would have had.
TEST_F(ServiceTroubleTest, TroubleAtAnyCallOfTheStartOrTheQuitEndsInOrderAndIsSaid)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  WriteSettings(kJackSettings);
  TakeFakeCalls();
  StartApplication();
  const Texts started = TakeFakeCalls();
  Quit();
  const Texts quitted = TakeFakeCalls();
  const std::set<std::string> startCalls(started.begin(), started.end());
  const std::set<std::string> quitCalls(quitted.begin(), quitted.end());
  EXPECT_GE(startCalls.size(), 8u) << testing::PrintToString(startCalls);

  for (const Trouble trouble : {Trouble::fail, Trouble::die})
  {
    for (const std::string& call : startCalls)
    {
      SCOPED_TRACE((trouble == Trouble::die ? "die at the start's " : "fail at the start's ") + call);
      alarm(60);
      SetTrouble(call, trouble);
      const Texts said = Said([&] {
        StartApplication();
        LookAtServices();
      });
      EXPECT_TRUE(TroubleMet());
      EXPECT_NE(gHWND, nullptr);
      // Each loss is said once: the sound's, and the MIDI clients' when the server took them.
      EXPECT_LE(CountSaid(said, "no audio stream: ", ""), 1u) << testing::PrintToString(said);
      if (trouble == Trouble::die)
        EXPECT_EQ(CountSaid(said, "no MIDI ", ""), 1u) << testing::PrintToString(said);
      gWorld.StartServer();
      ExpectPreferencesBringEverythingBack();
      Quit();
      EXPECT_EQ(TakeCallsAfterDeath(), Texts{});
    }
    for (const std::string& call : quitCalls)
    {
      SCOPED_TRACE((trouble == Trouble::die ? "die at the quit's " : "fail at the quit's ") + call);
      alarm(60);
      StartApplication();
      SetTrouble(call, trouble);
      Quit();
      EXPECT_TRUE(TroubleMet());
      EXPECT_EQ(gPluginInstance, nullptr);
      EXPECT_EQ(TakeCallsAfterDeath(), Texts{});
      gWorld.StartServer();
    }
  }

  // The held calls end the program: what is judged is its line and status, which the thread
  // sanitizer's build has no more to say of than the others, in many times the time.
#if !defined(__SANITIZE_THREAD__)
  for (const std::string& call : startCalls)
  {
    SCOPED_TRACE("hang at the start's " + call);
    alarm(60);
    EXPECT_EXIT(
        {
          gStartWaitLimit = 30s;
          gStartStatus = 1;
          SetTrouble(call, Trouble::hang);
          StartApplication();
          std::exit(4);
        },
        testing::ExitedWithCode(1),
        ": no audio stream: the audio or MIDI service did not answer within 30.0 s of the start; ending now");
  }
  // The quit's status is that of the quit it cuts short.
  for (const std::string& call : quitCalls)
  {
    SCOPED_TRACE("hang at the quit's " + call);
    alarm(60);
    EXPECT_EXIT(
        {
          gQuitWaitLimit = 30s;
          gQuitStatus = 0;
          StartApplication();
          SetTrouble(call, Trouble::hang);
          SWELLAppMain(SWELLAPP_WILLTERMINATE, 0, 0);
          std::exit(4);
        },
        testing::ExitedWithCode(0),
        ": the shut-down waited [0-9.]+ s for the audio or MIDI service, which no longer answers; ending now "
        "\\(the settings are saved\\)");
  }
#endif
}

// The server killed while the application plays and started again: the player hears of it at
// the next look, the dead clients are never called again (not by a port pick, not by the quit),
// and Preferences, once the server is back, makes the clients again and lists what it has now.
// A stream the library stopped after an error is told and reopened the same way.
TEST_F(ServiceTroubleTest, AServerKilledWhilePlayingIsSaidAndPreferencesBringsItBackOnceItRuns)
{
  WriteSettings(kJackSettings);
  StartApplication();
  gWorld.KillServer();
  EXPECT_EQ(Said([] { LookAtServices(); }),
            (Texts{"no audio stream: the JACK server went away", "no MIDI input or output: the JACK server went away"}));
  EXPECT_EQ(gDAC, nullptr);
  EXPECT_EQ(gMidiIn, nullptr);
  EXPECT_FALSE(AudioStreamRuns());

  // Still down: the dialog says so of the MIDI clients, lists no port, and a pick asks nothing
  // of the dead ones.
  HWND dialog = nullptr;
  EXPECT_EQ(Said([&] { dialog = OpenPreferences(); }), Texts{"no MIDI input or output: no server answers"});
  EXPECT_EQ(Entries(dialog, IDC_COMBO_MIDI_IN_DEV), Texts{});
  Command(dialog, IDCANCEL);
  DestroyWindow(dialog);

  // Back, with another device and port: Preferences lists them and brings the clients.
  gWorld.StartServer();
  gWorld.devices.push_back(Device("Late card", 2, 2));
  gWorld.inPorts.push_back("Late keys:0");
  dialog = OpenPreferences();
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_OUT_DEV), (Texts{"default", "Desk", "Late card"}));
  EXPECT_EQ(Entries(dialog, IDC_COMBO_MIDI_IN_DEV), (Texts{"off", "virtual input", "Keys:0", "Pads:0", "Late keys:0"}));
  EXPECT_EQ(gWorld.midiIn->openName, "To Vorna");
  Pick(dialog, IDC_COMBO_MIDI_IN_DEV, "off");
  EXPECT_EQ(gWorld.midiIn->openName, "");
  Pick(dialog, IDC_COMBO_MIDI_IN_DEV, "virtual input");
  Command(dialog, IDOK);
  DestroyWindow(dialog);
  EXPECT_TRUE(gWorld.audio->isStreamRunning());
  EXPECT_TRUE(AudioStreamRuns());

  // The library stopping the stream on its own thread after an error is said the same way.
  gWorld.audio->failure = "the device went away";
  EXPECT_EQ(Said([] { LookAtServices(); }), Texts{"no audio stream: JACK stopped the stream: the device went away"});
  EXPECT_FALSE(AudioStreamRuns());
  ExpectPreferencesBringEverythingBack();
}

// A server that stops answering (SIGSTOP) while Preferences opens and while Apply runs: each
// waits no longer than its deadline, says so in one line, shows what is known and marks the
// lists of the service that is silent; nothing more is asked of it until it answers, and then
// the marks go.
TEST_F(ServiceTroubleTest, ASilentServiceLeavesTheDialogWithWhatIsKnownMarkedAndAsksItNothingMore)
{
  WriteSettings(kJackSettings);
  StartApplication();
  SetTrouble("count", Trouble::hang);
  HWND dialog = nullptr;
  EXPECT_EQ(Said([&] { dialog = OpenPreferences(); }),
            Texts{"the audio service (JACK) did not answer within 60.0 s; it is not asked again until it does"});
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_OUT_DEV), (Texts{"default", "Desk"}));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_OUT_DEV), "default");
  EXPECT_TRUE(ShowsText(dialog, "Audio Settings (not answering)"));
  EXPECT_TRUE(ShowsText(dialog, "MIDI Settings"));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_IN_DEV), "virtual input");

  TakeFakeCalls();
  EXPECT_EQ(Said([&] { Command(dialog, IDAPPLY); }), Texts{"no audio stream: the audio service (JACK) does not answer"});
  if (IsAudioDriverCompiled(0))
  {
    EXPECT_EQ(Said([&] { Pick(dialog, IDC_COMBO_AUDIO_DRIVER, "ALSA"); }),
              Texts{"the audio service (JACK) does not answer; the driver stays JACK"});
    EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_DRIVER), "JACK");
  }
  // The MIDI service answers all the while.
  Pick(dialog, IDC_COMBO_MIDI_IN_DEV, "Keys:0");
  EXPECT_EQ(gWorld.midiIn->openName, "Keys:0");
  const Texts asked = TakeFakeCalls();
  EXPECT_EQ(std::count_if(asked.begin(), asked.end(), [](const std::string& c) { return c.rfind("in", 0) != 0; }), 0)
      << testing::PrintToString(asked);

  ReleaseHeldCalls();
  ASSERT_TRUE(gAudioService.thread.WaitUntilAnswering(ServiceThread::Clock::now() + 30s));
  EXPECT_EQ(Said([] { LookAtServices(); }), Texts{"the audio service (JACK) answers again"});
  Command(dialog, IDAPPLY);
  EXPECT_TRUE(ShowsText(dialog, "Audio Settings"));
  EXPECT_TRUE(gWorld.audio->isStreamRunning());
  Command(dialog, IDOK);
}
