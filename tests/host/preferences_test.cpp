#include "app_window_fixture.h"

#include "IPlugStandalone.h"
#include "app_main_window.h"
#include "app_preferences.h"
#include "system_setup.h"

#include "swell-ctl-classes.h"
#include "swell-dlg.h"

#include "platform/appkit/box.h"
#include "platform/appkit/button.h"
#include "platform/appkit/keys.h"
#include "platform/appkit/text_field.h"
#include "platform/appkit/workspace.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
using Texts = std::vector<std::string>;

Texts Numbers(int from, int to)
{
  Texts texts;
  for (int n = from; n <= to; ++n) texts.push_back(std::to_string(n));
  return texts;
}

bool Logged(const std::string& entry)
{
  return std::find(gWorld.log.begin(), gWorld.log.end(), entry) != gWorld.log.end();
}

using PreferencesTest = AppWindowTest;

TEST_F(PreferencesTest, TheDialogListsDevicesChannelsRatesSizesAndPorts)
{
  WriteSettings("[audio]\nindev=Desk\noutdev=Desk\nin1=2\nin2=3\nsr=48000\niovs=256\nsigvs=64\n"
                "[midi]\nindev=Pads:0\noutdev=gone:0\ninchan=5\n");
  StartApplication();
  const std::string written = ReadSettings();
  HWND dialog = OpenPreferences();

  // Every control of the resource is there.
  for (int id = IDC_COMBO_AUDIO_DRIVER; id <= IDAPPLY; ++id) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << id;
  for (int id : {IDOK, IDCANCEL}) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << id;

  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_DRIVER), "ALSA");
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_IN_DEV), (Texts{"default", "Desk"}));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_IN_DEV), "Desk");
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_OUT_DEV), "Desk");
  // Four inputs: the left channel goes to 3, the right to 4; eight outputs likewise.
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_IN_L), Numbers(1, 3));
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_IN_R), Numbers(1, 4));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_IN_L), "2");
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_IN_R), "3");
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_OUT_L), Numbers(1, 7));
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_OUT_R), Numbers(1, 8));
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_SR), (Texts{"44100", "48000"}));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_SR), "48000");
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_IOVS), Texts(std::begin(kIOVSOptions), std::end(kIOVSOptions)));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_IOVS), "256");
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_SIGVS), "64");
  EXPECT_EQ(SendMessage(GetDlgItem(dialog, IDC_CB_MONO_INPUT), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  EXPECT_EQ(Entries(dialog, IDC_COMBO_MIDI_IN_DEV), (Texts{"off", "virtual input", "Keys:0", "Pads:0"}));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_IN_DEV), "Pads:0");
  // The start-up already turned the missing output into "off" and wrote it.
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_OUT_DEV), "off");
  Texts channels = {"all"};
  for (const std::string& n : Numbers(1, 16)) channels.push_back(n);
  EXPECT_EQ(Entries(dialog, IDC_COMBO_MIDI_IN_CHAN), channels);
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_IN_CHAN), "5");
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_OUT_CHAN), "all");
  EXPECT_EQ(std::memcmp(&gTempState, &gState, sizeof(AppState)), 0);
  EXPECT_EQ(ReadSettings(), written);
  DestroyWindow(dialog);

  // A rate, a size or a channel the lists do not offer: no selection, the setting stays.
  CopyName(gState.sr, "96000");
  CopyName(gState.iovs, "100");
  gState.inChanL = 9;
  dialog = OpenPreferences();
  EXPECT_EQ(SWELL_CB_GetCurSel(dialog, IDC_COMBO_AUDIO_SR), -1);
  EXPECT_EQ(SWELL_CB_GetCurSel(dialog, IDC_COMBO_AUDIO_IOVS), -1);
  EXPECT_EQ(SWELL_CB_GetCurSel(dialog, IDC_COMBO_AUDIO_IN_L), -1);
  EXPECT_STREQ(gState.sr, "96000");
  EXPECT_STREQ(gState.iovs, "100");
  DestroyWindow(dialog);

  // A port gone since the start: "off", and the file says so at once.
  CopyName(gState.midiInDev, "Gone:0");
  dialog = OpenPreferences();
  EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_IN_DEV), "off");
  const std::string rewritten = ReadSettings();
  EXPECT_NE(rewritten.find("indev=off\n", rewritten.find("[midi]")), std::string::npos);
  DestroyWindow(dialog);
}

TEST_F(PreferencesTest, EmptyDeviceListsLeaveTheirChannelsAndTheRatesEmpty)
{
  // Outputs only, then nothing at all: nothing is looked up in an empty list.
  gWorld.devices = {Device("Speakers", 0, 2)};
  StartApplication();
  for (bool anyDevice : {true, false})
  {
    SCOPED_TRACE(anyDevice ? "outputs only" : "no devices");
    if (!anyDevice)
    {
      gWorld.devices.clear();
      ProbeAudioIO();
    }
    HWND dialog = OpenPreferences();
    EXPECT_TRUE(Entries(dialog, IDC_COMBO_AUDIO_IN_DEV).empty());
    EXPECT_TRUE(Entries(dialog, IDC_COMBO_AUDIO_IN_L).empty());
    EXPECT_TRUE(Entries(dialog, IDC_COMBO_AUDIO_IN_R).empty());
    EXPECT_TRUE(Entries(dialog, IDC_COMBO_AUDIO_SR).empty());
    EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_OUT_DEV), anyDevice ? Texts{"Speakers"} : Texts{});
    EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_OUT_R), anyDevice ? Numbers(1, 2) : Texts{});
    // The sizes and ports are there all the same.
    EXPECT_EQ(SWELL_CB_GetNumItems(dialog, IDC_COMBO_AUDIO_IOVS), 9);
    EXPECT_EQ(SWELL_CB_GetNumItems(dialog, IDC_COMBO_MIDI_IN_CHAN), 17);
    DestroyWindow(dialog);
  }
}

TEST_F(PreferencesTest, PicksChangeTheSettingsByTheDialogsRules)
{
  const std::string longPort = "Keyboard with a name far longer than a settings field holds, " + std::string(120, 'k');
  gWorld.inPorts.push_back(longPort);
  StartApplication();
  HWND dialog = OpenPreferences();

  // The right channel follows the left, and a pick on the right snaps back.
  Pick(dialog, IDC_COMBO_AUDIO_IN_DEV, "Desk");
  EXPECT_STREQ(gState.inDev, "Desk");
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_IN_R), Numbers(1, 4));
  Pick(dialog, IDC_COMBO_AUDIO_IN_L, "3");
  EXPECT_EQ(gState.inChanL, 3);
  EXPECT_EQ(gState.inChanR, 4);
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_IN_R), "4");
  Pick(dialog, IDC_COMBO_AUDIO_IN_R, "1");
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_IN_R), "4");
  EXPECT_EQ(gState.inChanR, 4);
  Pick(dialog, IDC_COMBO_AUDIO_OUT_L, "1");
  Pick(dialog, IDC_COMBO_AUDIO_OUT_R, "1");
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_OUT_R), "2");
  // Another input device starts again from channels 1 and 2, and offers its own.
  Pick(dialog, IDC_COMBO_AUDIO_IN_DEV, "default");
  EXPECT_EQ(gState.inChanL, 1);
  EXPECT_EQ(gState.inChanR, 2);
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_IN_L), Numbers(1, 1));
  Pick(dialog, IDC_COMBO_AUDIO_SR, "48000");
  EXPECT_STREQ(gState.sr, "48000");

  // An I/O vector below the signal vector: the signal vector drops to 16, its list shows
  // none; a list without selection keeps the stored size when the other one changes.
  Pick(dialog, IDC_COMBO_AUDIO_SIGVS, "128");
  Pick(dialog, IDC_COMBO_AUDIO_IOVS, "64");
  EXPECT_STREQ(gState.iovs, "64");
  EXPECT_STREQ(gState.sigvs, "16");
  EXPECT_EQ(SWELL_CB_GetCurSel(dialog, IDC_COMBO_AUDIO_SIGVS), -1);
  Pick(dialog, IDC_COMBO_AUDIO_IOVS, "256");
  EXPECT_STREQ(gState.iovs, "256");
  EXPECT_STREQ(gState.sigvs, "16");
  SendMessage(GetDlgItem(dialog, IDC_COMBO_AUDIO_IOVS), CB_SETCURSEL, WPARAM(-1), 0);
  Pick(dialog, IDC_COMBO_AUDIO_SIGVS, "128");
  EXPECT_STREQ(gState.iovs, "256");
  EXPECT_STREQ(gState.sigvs, "128");
  Pick(dialog, IDC_COMBO_AUDIO_SIGVS, "1024");
  EXPECT_STREQ(gState.iovs, "256");
  EXPECT_STREQ(gState.sigvs, "16");

  // MIDI ports and channels act at once.
  gWorld.log.clear();
  Pick(dialog, IDC_COMBO_MIDI_IN_DEV, "Keys:0");
  EXPECT_STREQ(gState.midiInDev, "Keys:0");
  EXPECT_TRUE(Logged("in port Keys:0 as RtMidi Input"));
  // A name longer than the field is read with the field's size, kept cut, and still opens its port.
  Pick(dialog, IDC_COMBO_MIDI_IN_DEV, longPort);
  EXPECT_EQ(std::string(gState.midiInDev), longPort.substr(0, kNameSize - 1));
  EXPECT_EQ(gWorld.midiIn->openName, longPort);
  Pick(dialog, IDC_COMBO_MIDI_OUT_DEV, "virtual output");
  EXPECT_TRUE(Logged("out virtual From Vorna"));
  Pick(dialog, IDC_COMBO_MIDI_IN_CHAN, "7");
  Pick(dialog, IDC_COMBO_MIDI_OUT_CHAN, "all");
  EXPECT_EQ(gState.midiInChan, 7);
  EXPECT_EQ(gState.midiOutChan, 0);
  // None of the audio picks touched the running stream.
  EXPECT_FALSE(Logged("open 256"));

  // Another driver: a new interface, its first devices, channels from 1 (the old devices'
  // channels may not exist on the new ones).
  const int entries = SWELL_CB_GetNumItems(dialog, IDC_COMBO_AUDIO_DRIVER);
  if (entries > 1)
  {
    Pick(dialog, IDC_COMBO_AUDIO_IN_DEV, "Desk");
    Pick(dialog, IDC_COMBO_AUDIO_IN_L, "3");
    char name[32];
    SWELL_CB_GetItemText(dialog, IDC_COMBO_AUDIO_DRIVER, 1, name, sizeof(name));
    gWorld.devices = {Device("Maker: Card", 6, 6), Device("Other", 2, 2)};
    Pick(dialog, IDC_COMBO_AUDIO_DRIVER, name);
    EXPECT_STREQ(kAudioDrivers[gState.driver].name, name);
    EXPECT_TRUE(Logged("driver " + std::to_string(gState.driver)));
    EXPECT_STREQ(gState.inDev, "Card");
    EXPECT_STREQ(gState.outDev, "Card");
    EXPECT_EQ(gState.outChanL, 1);
    EXPECT_EQ(gState.outChanR, 2);
    EXPECT_EQ(gState.inChanL, 1);
    EXPECT_EQ(gState.inChanR, 2);
    EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_OUT_R), Numbers(1, 6));
  }
  DestroyWindow(dialog);
}

TEST_F(PreferencesTest, OkApplyAndCancelActOnTheStreamAndOnlyOkWritesTheFile)
{
  StartApplication();
  const std::string start = ReadSettings();

  // OK with nothing changed: the stream stays, the file is written all the same.
  std::filesystem::remove(SettingsPath());
  gWorld.log.clear();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND) { EXPECT_TRUE(ClickInModal("OK")); }});
  EXPECT_FALSE(Logged("open 512"));
  EXPECT_EQ(ReadSettings(), start);

  // Apply reopens at once and writes nothing; Cancel then goes back to the old settings.
  gWorld.log.clear();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         Pick(dialog, IDC_COMBO_AUDIO_IOVS, "256");
                                         EXPECT_TRUE(ClickInModal("Apply"));
                                       },
                                       [&](HWND) {
                                         EXPECT_TRUE(Logged("open 256"));
                                         EXPECT_EQ(gWorld.audio->frames, 256u);
                                         EXPECT_TRUE(ClickInModal("Cancel"));
                                       }});
  EXPECT_STREQ(gState.iovs, "512");
  EXPECT_EQ(gWorld.audio->frames, 512u);
  EXPECT_EQ(ReadSettings(), start);

  // Escape cancels; after only a MIDI channel change the channel comes back and audio restarts.
  gWorld.log.clear();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                        Pick(dialog, IDC_COMBO_MIDI_IN_CHAN, "3");
                        EXPECT_EQ(gState.midiInChan, 3);
                        mDriver.key(ModalWindow(), cocoa::kVK_Escape);
                      }});
  EXPECT_EQ(gState.midiInChan, 0);
  EXPECT_TRUE(Logged("driver 0"));
  EXPECT_TRUE(gDAC->isStreamRunning());
  EXPECT_EQ(ReadSettings(), start);

  // A port picked and cancelled is closed again: what plays follows the settings.
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         Pick(dialog, IDC_COMBO_MIDI_IN_DEV, "Keys:0");
                                         EXPECT_EQ(gWorld.midiIn->openName, "Keys:0");
                                       },
                                       [&](HWND) { EXPECT_TRUE(ClickInModal("Cancel")); }});
  EXPECT_STREQ(gState.midiInDev, "off");
  EXPECT_EQ(gWorld.midiIn->openName, "");
  EXPECT_EQ(ReadSettings(), start);

  // OK after a change reopens with it and writes it; the mono box acts at once.
  gWorld.log.clear();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         Pick(dialog, IDC_COMBO_AUDIO_SIGVS, "128");
                                         EXPECT_TRUE(ClickInModal("Mono"));
                                       },
                                       [&](HWND) {
                                         EXPECT_EQ(gState.monoInput, 1);
                                         EXPECT_TRUE(ClickInModal("OK"));
                                       }});
  EXPECT_TRUE(Logged("open 512"));
  EXPECT_EQ(gPluginInstance->GetBlockSize(), 128);
  const std::string written = ReadSettings();
  EXPECT_NE(written.find("sigvs=128\n"), std::string::npos);
  EXPECT_NE(written.find("monoinput=1\n"), std::string::npos);
  EXPECT_EQ(std::memcmp(&gActiveState, &gState, sizeof(AppState)), 0);
}

// The lines on stderr that say no stream plays.
std::vector<std::string> NoStreamLines(const std::string& printed)
{
  std::vector<std::string> lines;
  std::istringstream in(printed);
  for (std::string line; std::getline(in, line);)
    if (line.find("no audio stream") != std::string::npos) lines.push_back(line);
  return lines;
}

// The record of the stream that played last says nothing once a driver is picked or a reopen
// fails: OK opens a stream whenever none plays, and every reopen that fails says why.
TEST_F(PreferencesTest, OkLeavesAStreamPlayingWheneverTheSettingsCanOpenOne)
{
  const std::string refused =
      std::string(program_invocation_short_name) + ": no audio stream: ALSA could not open the stream: open refused: no such card";
  StartApplication();

  // Apply opens at 256; Cancel goes back to 512, which the device now refuses.
  testing::internal::CaptureStderr();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         Pick(dialog, IDC_COMBO_AUDIO_IOVS, "256");
                                         EXPECT_TRUE(ClickInModal("Apply"));
                                       },
                                       [&](HWND dialog) {
                                         EXPECT_EQ(gWorld.audio->frames, 256u);
                                         Pick(dialog, IDC_COMBO_AUDIO_SIGVS, "64");
                                         gWorld.failOpen = true;
                                         EXPECT_TRUE(ClickInModal("Cancel"));
                                       }});
  EXPECT_EQ(NoStreamLines(testing::internal::GetCapturedStderr()), std::vector<std::string>{refused});
  EXPECT_FALSE(gDAC->isStreamRunning());

  // The device takes streams again; the same choices as at Apply, then OK: it plays.
  gWorld.failOpen = false;
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         Pick(dialog, IDC_COMBO_AUDIO_IOVS, "256");
                                         EXPECT_TRUE(ClickInModal("OK"));
                                       }});
  ASSERT_TRUE(gDAC->isStreamRunning());
  EXPECT_EQ(gWorld.audio->frames, 256u);

  // Another driver picked and the first picked back: each pick closed the stream, and OK
  // with the settings of the stream that last played opens it again.
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         // Only where this audio library has more than one.
                                         const int drivers = SWELL_CB_GetNumItems(dialog, IDC_COMBO_AUDIO_DRIVER);
                                         char first[32], other[32];
                                         SWELL_CB_GetItemText(dialog, IDC_COMBO_AUDIO_DRIVER, 0, first, sizeof(first));
                                         SWELL_CB_GetItemText(dialog, IDC_COMBO_AUDIO_DRIVER, drivers - 1, other,
                                                              sizeof(other));
                                         Pick(dialog, IDC_COMBO_AUDIO_DRIVER, other);
                                         Pick(dialog, IDC_COMBO_AUDIO_DRIVER, first);
                                         EXPECT_EQ(gDAC->isStreamRunning(), drivers == 1);
                                         EXPECT_TRUE(ClickInModal("OK"));
                                       }});
  EXPECT_TRUE(gDAC->isStreamRunning());

  // Apply and OK that cannot open say so too, each once.
  gWorld.failOpen = true;
  testing::internal::CaptureStderr();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         Pick(dialog, IDC_COMBO_AUDIO_IOVS, "128");
                                         EXPECT_TRUE(ClickInModal("Apply"));
                                       },
                                       [&](HWND) { EXPECT_TRUE(ClickInModal("OK")); }});
  EXPECT_EQ(NoStreamLines(testing::internal::GetCapturedStderr()), (std::vector<std::string>{refused, refused}));
  gWorld.failOpen = false;
}

// A name longer than its field, with what lies at bytes 97 to 100 (counted from 1) where the
// cut falls; kept is how many of its first bytes the settings keep: without the blanks and
// tabs the file's reader would drop from the end, and without a character the cut split.
struct LongName
{
  const char* what;
  size_t length;
  std::string at97;  // placed from byte 97 on
  size_t kept;
};

std::string MakeLongName(const std::string& head, const LongName& c)
{
  std::string name = head;
  while (name.size() < 96) name += char('a' + name.size() % 26);
  name += c.at97;
  while (name.size() < c.length) name += char('A' + name.size() % 26);
  return name;
}

TEST_F(PreferencesTest, LongNamesWhateverTheirCutEndsInSurviveTheDialogAndARestart)
{
  const LongName cases[] = {
    {"letters", 150, "qrst", 99},
    {"a blank at 97", 100, " rst", 99},
    {"a blank at 98", 120, "q st", 99},
    {"a blank at 99", 150, "qr t", 98},
    {"a blank at 100", 200, "qrs ", 99},
    {"blanks from 97 to 100", 130, "    ", 96},
    {"a tab at 99", 110, "qr\tt", 98},
    {"a tab at 98 and a blank at 99", 160, "q\t t", 97},
    {"a two-byte character at 99", 140, "qr\xC3\xA9", 98},
    {"a three-byte character at 98", 101, "q\xE2\x82\xAC", 97},
    {"a four-byte character at 97", 180, "\xF0\x9F\x8E\xB9", 96},
    {"a blank at 98 and a two-byte character at 99", 170, "q \xC3\xA9", 97},
  };
  for (const LongName& c : cases)
  {
    SCOPED_TRACE(c.what);
    // Each listed after a name alike in its first 96 bytes, which must not be taken for it.
    const std::string device = MakeLongName("Studio interface ", c);
    const std::string input = MakeLongName("Keyboard port ", c);
    const std::string output = MakeLongName("Sound module port ", c);
    const auto decoy = [](const std::string& name) { return name.substr(0, 96) + "ZZZZ" + name.substr(100); };
    gWorld.devices = {Device("default", 2, 2), Device(decoy(device), 2, 2), Device(device, 6, 6)};
    gWorld.inPorts = {decoy(input), input};
    gWorld.outPorts = {decoy(output), output};
    ASSERT_EQ(device.size(), c.length);
    std::filesystem::remove(SettingsPath());
    StartApplication();

    RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                           Pick(dialog, IDC_COMBO_AUDIO_IN_DEV, device);
                                           Pick(dialog, IDC_COMBO_AUDIO_OUT_DEV, device);
                                           Pick(dialog, IDC_COMBO_MIDI_IN_DEV, input);
                                           Pick(dialog, IDC_COMBO_MIDI_OUT_DEV, output);
                                           EXPECT_TRUE(ClickInModal("OK"));
                                         }});
    const std::string picked = ReadSettings();
    EXPECT_NE(picked.find("indev=" + device.substr(0, c.kept) + "\n"), std::string::npos) << picked;
    EXPECT_NE(picked.find("indev=" + input.substr(0, c.kept) + "\n"), std::string::npos) << picked;
    EXPECT_NE(picked.find("outdev=" + output.substr(0, c.kept) + "\n"), std::string::npos) << picked;

    // What plays, and what the dialog shows of it.
    auto playsThePicks = [&] {
      ASSERT_NE(gWorld.audio, nullptr);
      EXPECT_TRUE(gWorld.audio->isStreamRunning());
      EXPECT_EQ(gWorld.audio->inParams.deviceId, 2u);
      EXPECT_EQ(gWorld.audio->outParams.deviceId, 2u);
      EXPECT_EQ(gWorld.midiIn->openName, input);
      EXPECT_EQ(gWorld.midiOut->openName, output);
    };
    auto showsThePicks = [&](HWND dialog) {
      EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_IN_DEV), device);
      EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_OUT_DEV), device);
      EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_IN_R), Numbers(1, 6));
      EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_IN_DEV), input);
      EXPECT_EQ(Selected(dialog, IDC_COMBO_MIDI_OUT_DEV), output);
    };
    playsThePicks();
    for (const char* button : {"Cancel", "OK"})
    {
      SCOPED_TRACE(button);
      RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                             showsThePicks(dialog);
                                             EXPECT_TRUE(ClickInModal(button));
                                           }});
      playsThePicks();
      EXPECT_EQ(ReadSettings(), picked);
    }

    // The next start finds them all by the names the file gives back.
    Quit();
    mMainMenu->release();
    mMainMenu = nullptr;
    StartApplication();
    playsThePicks();
    EXPECT_EQ(ReadSettings(), picked);
    RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                           showsThePicks(dialog);
                                           EXPECT_TRUE(ClickInModal("OK"));
                                         }});
    playsThePicks();
    EXPECT_EQ(ReadSettings(), picked);
    Quit();
    mMainMenu->release();
    mMainMenu = nullptr;
  }
}

// Two listed names the settings file keeps alike: the one that is exactly the kept name opens
// at the start, and whichever the player picks is the one that plays and shows while the
// application runs. A name with a control byte is kept as the file can hold it and found again.
TEST_F(PreferencesTest, OfNamesKeptAlikeTheExactOneOpensAtTheStartAndThePickedOneWhileItRuns)
{
  const std::string cut(kNameSize - 1, 'b');
  const struct
  {
    const char* what;
    std::string first, exact;
  } cases[] = {
    {"a blank after the first", "Desk ", "Desk"},
    {"a 99-byte name after a longer one it begins", cut + "x", cut},
    {"quotes round the first", "\"Desk\"", "Desk"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    gWorld.devices = {Device("default", 2, 2), Device(c.first, 2, 2), Device(c.exact, 2, 2)};
    gWorld.inPorts = gWorld.outPorts = {c.first, c.exact};
    const std::string kept = c.exact.substr(0, kNameSize - 1);
    WriteSettings("[audio]\nindev=" + kept + "\noutdev=" + kept + "\n[midi]\nindev=" + kept + "\noutdev=" + kept +
                  "\n");
    StartApplication();
    const auto plays = [&](unsigned device, const std::string& port) {
      ASSERT_TRUE(gWorld.audio && gWorld.audio->isStreamRunning());
      EXPECT_EQ(gWorld.audio->inParams.deviceId, device);
      EXPECT_EQ(gWorld.audio->outParams.deviceId, device);
      EXPECT_EQ(gWorld.midiIn->openName, port);
      EXPECT_EQ(gWorld.midiOut->openName, port);
    };
    const auto shows = [&](HWND dialog, const std::string& name) {
      for (int id : {IDC_COMBO_AUDIO_IN_DEV, IDC_COMBO_AUDIO_OUT_DEV, IDC_COMBO_MIDI_IN_DEV, IDC_COMBO_MIDI_OUT_DEV})
        EXPECT_EQ(Selected(dialog, id), name) << id;
    };
    plays(2, c.exact);
    RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                           shows(dialog, c.exact);
                                           for (int id : {IDC_COMBO_AUDIO_IN_DEV, IDC_COMBO_AUDIO_OUT_DEV,
                                                          IDC_COMBO_MIDI_IN_DEV, IDC_COMBO_MIDI_OUT_DEV})
                                             Pick(dialog, id, c.first);
                                           EXPECT_TRUE(ClickInModal("Apply"));
                                           EXPECT_TRUE(ClickInModal("OK"));
                                         }});
    plays(1, c.first);
    for (const char* button : {"Cancel", "OK"})
      RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                             shows(dialog, c.first);
                                             EXPECT_TRUE(ClickInModal(button));
                                           }});
    plays(1, c.first);
    // The file keeps one name for both: the next start takes the exact one again.
    Quit();
    mMainMenu->release();
    mMainMenu = nullptr;
    StartApplication();
    plays(2, c.exact);
    Quit();
    mMainMenu->release();
    mMainMenu = nullptr;
  }

  gWorld.inPorts = {"Keys:0", "Pads\r\x01:0"};
  std::filesystem::remove(SettingsPath());
  testing::internal::CaptureStderr();
  StartApplication();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND dialog) {
                                         Pick(dialog, IDC_COMBO_MIDI_IN_DEV, "Pads\r\x01:0");
                                         EXPECT_TRUE(ClickInModal("OK"));
                                       }});
  EXPECT_EQ(testing::internal::GetCapturedStderr().find("could not be saved"), std::string::npos);
  EXPECT_NE(ReadSettings().find("\nindev=Pads??:0\n"), std::string::npos) << ReadSettings();
  Quit();
  mMainMenu->release();
  mMainMenu = nullptr;
  StartApplication();
  EXPECT_EQ(gWorld.midiIn->openName, "Pads\r\x01:0");
}

TEST_F(PreferencesTest, AboutAndTheSystemSetupButtonTalkThroughMessageBoxes)
{
  StartApplication();
  std::string title, text;
  std::vector<std::string> buttons;
  auto look = [&](HWND) {
    cocoa::NSWindow* box = ModalWindow();
    title = box->title().str();
    buttons.clear();
    for (cocoa::NSView* v : box->contentView()->subviews())
    {
      if (auto* button = dynamic_cast<cocoa::NSButton*>(v)) buttons.push_back(button->title().str());
      else if (auto* field = dynamic_cast<cocoa::NSTextField*>(v)) text = field->stringValue().str();
    }
    EXPECT_TRUE(ClickInModal("OK"));
  };
  RunCommandWithModal(ID_ABOUT, {look});
  EXPECT_EQ(title, "Vorna");
  EXPECT_EQ(text, kAboutText);
  EXPECT_EQ(buttons, (Texts{"OK"}));

  // The setup button starts the first setup program on PATH, without waiting for it.
  const std::string bin = mConfigHome + "/bin";
  std::filesystem::create_directories(bin);
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath ? oldPath : "";
  setenv("PATH", bin.c_str(), 1);
  const std::string marker = mConfigHome + "/started";
  std::ofstream(bin + "/qjackctl") << "#!/bin/sh\necho started > " << marker << "\n";
  std::filesystem::permissions(bin + "/qjackctl", std::filesystem::perms::owner_all);
  bool dialogStayed = false;
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND) { EXPECT_TRUE(ClickInModal("Audio Midi Setup...")); },
                                       [&](HWND) {
                                         dialogStayed = FindByText(ModalWindow()->contentView(), "Apply");
                                         EXPECT_TRUE(ClickInModal("Cancel"));
                                       }});
  EXPECT_TRUE(dialogStayed);
  for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i) usleep(10000);
  EXPECT_TRUE(std::filesystem::exists(marker));

  // None installed: a message box says so, over the dialog.
  std::filesystem::remove(bin + "/qjackctl");
  text.clear();
  RunCommandWithModal(ID_PREFERENCES, {[&](HWND) { EXPECT_TRUE(ClickInModal("Audio Midi Setup...")); }, look,
                                       [&](HWND) { EXPECT_TRUE(ClickInModal("Cancel")); }});
  setenv("PATH", savedPath.c_str(), 1);
  EXPECT_EQ(text, kNoSystemSetupText);
  EXPECT_EQ(title, "Vorna");
}

// The dialog as the user sees it: 35 controls of the given kinds, captions and places. The
// dialog's content view is flipped and made at scale 1 with no offset, so a control's frame
// is its dialog units as pixels from the top-left corner, except where the window layer
// shapes a kind: a group box is one unit higher and three taller (its title sits on the top
// edge), and a drop-down list is always 18 high whatever height is asked. A group box goes
// behind every control made before it, so the boxes lead the subviews, the later one first.
TEST_F(PreferencesTest, TheDialogHoldsItsThirtyFiveControlsWhereTheLayoutPutsThem)
{
  enum Kind
  {
    group,
    label,
    combo,
    checkBox,
    button,
    defaultButton,
  };
  struct Row
  {
    Kind kind;
    int id;
    const char* text;
    int x, y, w, h;
  };
  const Row rows[] = {
    {group, -1, "Audio Settings", 5, 10, 300, 230},
    {label, -1, "Driver Type", 20, 32, 60, 20},
    {combo, 40008, "", 20, 50, 150, 100},
    {label, -1, "Input Device", 20, 75, 80, 20},
    {combo, 40009, "", 20, 90, 150, 100},
    {label, -1, "Output Device", 20, 115, 80, 20},
    {combo, 40010, "", 20, 130, 150, 100},
    {label, -1, "In 1 (L)", 20, 155, 90, 20},
    {combo, 40014, "", 20, 170, 46, 100},
    {label, -1, "In 2 (R)", 75, 155, 90, 20},
    {combo, 40015, "", 75, 170, 46, 100},
    {checkBox, 40023, "Mono", 125, 128, 56, 100},
    {label, -1, "Out 1 (L)", 20, 195, 60, 20},
    {combo, 40017, "", 20, 210, 46, 100},
    {label, -1, "Out 2 (R)", 75, 195, 60, 20},
    {combo, 40016, "", 75, 210, 46, 100},
    {label, -1, "IO Vector Size", 200, 32, 80, 20},
    {combo, 40011, "", 200, 50, 90, 100},
    {label, -1, "Signal Vector Size", 200, 75, 100, 20},
    {combo, 40012, "", 200, 90, 90, 100},
    {label, -1, "Sampling Rate", 200, 115, 80, 20},
    {combo, 40013, "", 200, 130, 90, 100},
    {button, 40022, "Audio Midi Setup...", 180, 170, 110, 40},
    {group, -1, "MIDI Settings", 5, 255, 300, 120},
    {label, -1, "Input Device", 20, 275, 100, 20},
    {combo, 40018, "", 20, 293, 150, 100},
    {label, -1, "Output Device", 20, 320, 100, 20},
    {combo, 40019, "", 20, 338, 150, 100},
    {label, -1, "Input Channel", 200, 275, 100, 20},
    {combo, 40020, "", 200, 293, 90, 100},
    {label, -1, "Output Channel", 200, 320, 100, 20},
    {combo, 40021, "", 200, 338, 90, 100},
    {defaultButton, 1, "OK", 192, 383, 50, 20},
    {button, 40024, "Apply", 132, 383, 50, 20},
    {button, 2, "Cancel", 252, 383, 50, 20},
  };
  constexpr int kDropDownHeight = 18;

  StartApplication();
  HWND dialog = OpenPreferences();
  auto* content = dynamic_cast<cocoa::NSView*>(swellObjectOf(dialog));
  ASSERT_NE(content, nullptr);
  ASSERT_TRUE(content->isFlipped());
  EXPECT_EQ(int(content->bounds().size.width), 320);
  EXPECT_EQ(int(content->bounds().size.height), 420);

  // Creation order as the subviews show it: the boxes, later one first, then the rest in order.
  std::vector<const Row*> expected;
  for (auto it = std::rbegin(rows); it != std::rend(rows); ++it)
    if (it->kind == group) expected.push_back(&*it);
  for (const Row& row : rows)
    if (row.kind != group) expected.push_back(&row);
  const std::vector<cocoa::NSView*> views = content->subviews();
  ASSERT_EQ(views.size(), 35u);
  ASSERT_EQ(expected.size(), 35u);

  cocoa::NSWindow* window = content->window();
  ASSERT_NE(window, nullptr);
  for (size_t i = 0; i < views.size(); ++i)
  {
    const Row& row = *expected[i];
    cocoa::NSView* view = views[i];
    SCOPED_TRACE(std::to_string(i) + ": " + row.text + " " + std::to_string(row.id));
    EXPECT_EQ(int(view->tag()), row.id);
    cocoa::NSRect place = cocoa::NSMakeRect(row.x, row.y, row.w, row.h);
    switch (row.kind)
    {
      case group:
        EXPECT_NE(dynamic_cast<cocoa::NSBox*>(view), nullptr);
        place = cocoa::NSMakeRect(row.x, row.y - 1, row.w, row.h + 3);
        break;
      case label:
      {
        auto* field = dynamic_cast<cocoa::NSTextField*>(view);
        ASSERT_NE(field, nullptr);
        EXPECT_FALSE(field->isEditable());
        EXPECT_EQ(field->alignment(), cocoa::NSTextAlignmentLeft);
        break;
      }
      case combo:
      {
        auto* popUp = dynamic_cast<Swell_vVorna_pub*>(view);
        ASSERT_NE(popUp, nullptr);
        EXPECT_EQ(popUp->getSwellStyle() & 3, 3);
        place.size.height = kDropDownHeight;
        break;
      }
      case checkBox:
      case button:
      case defaultButton:
      {
        auto* made = dynamic_cast<cocoa::NSButton*>(view);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->buttonCell()->buttonType() == cocoa::NSButtonTypeSwitch, row.kind == checkBox);
        EXPECT_EQ(window->defaultButtonCell() == made->buttonCell(), row.kind == defaultButton);
        break;
      }
    }
    // A drop-down list shows its selection, not a caption; the resource gives them none.
    if (row.kind != combo)
    {
      char text[64] = "";
      GetDlgItemText(swellHandleOf(view), 0, text, sizeof(text));
      EXPECT_STREQ(text, row.text);
    }
    const cocoa::NSRect frame = view->frame();
    EXPECT_EQ(frame.origin.x, place.origin.x);
    EXPECT_EQ(frame.origin.y, place.origin.y);
    EXPECT_EQ(frame.size.width, place.size.width);
    EXPECT_EQ(frame.size.height, place.size.height);
  }
  DestroyWindow(dialog);
}

// The rates offered are those both devices list, in the input device's order, whatever order
// the output device lists them in; the stored rate is selected when offered, else nothing is.
TEST_F(PreferencesTest, TheRatesAreThoseOfBothDevicesInTheInputsOrder)
{
  RtAudio::DeviceInfo mic = Device("Mic", 2, 0);
  mic.sampleRates = {96000, 44100, 22050, 48000};
  RtAudio::DeviceInfo speakers = Device("Speakers", 0, 2);
  speakers.sampleRates = {48000, 88200, 44100, 96000};
  RtAudio::DeviceInfo phones = Device("Phones", 0, 2);
  phones.sampleRates = {22050, 32000, 96000};
  gWorld.devices = {mic, speakers, phones};
  WriteSettings("[audio]\nindev=Mic\noutdev=Speakers\nsr=48000\n");
  StartApplication();

  HWND dialog = OpenPreferences();
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_SR), (Texts{"96000", "44100", "48000"}));
  EXPECT_EQ(Selected(dialog, IDC_COMBO_AUDIO_SR), "48000");
  // Another output device: its own common rates, still in the input's order; the stored
  // rate is not among them, so nothing is selected and the setting stays.
  Pick(dialog, IDC_COMBO_AUDIO_OUT_DEV, "Phones");
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_SR), (Texts{"96000", "22050"}));
  EXPECT_EQ(SWELL_CB_GetCurSel(dialog, IDC_COMBO_AUDIO_SR), -1);
  EXPECT_STREQ(gState.sr, "48000");
  Pick(dialog, IDC_COMBO_AUDIO_SR, "22050");
  EXPECT_STREQ(gState.sr, "22050");
  // Back to the first output: 22050 is the input's alone, so it is not offered.
  Pick(dialog, IDC_COMBO_AUDIO_OUT_DEV, "Speakers");
  EXPECT_EQ(Entries(dialog, IDC_COMBO_AUDIO_SR), (Texts{"96000", "44100", "48000"}));
  EXPECT_EQ(SWELL_CB_GetCurSel(dialog, IDC_COMBO_AUDIO_SR), -1);
  DestroyWindow(dialog);
}
}  // namespace
