#include "host_fakes.h"

#include "app_preferences.h"
#include "StandaloneMainWindow.h"
#include "app_resources.h"
#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-wnd.h"

#include <atomic>
#include <thread>

namespace
{
// The MIDI service's thread: notes on and off, their channels taking turns, until `stop`.
std::thread PlayNotesUntil(FakeMidiIn* midi, const std::atomic<bool>& stop, int channels)
{
  return std::thread([midi, &stop, channels] {
    for (int k = 0; !stop; ++k)
    {
      const unsigned char key = static_cast<unsigned char>(48 + k % 24);
      midi->Send({static_cast<unsigned char>(0x90 | (k % channels)), key, 100});
      midi->Send({0x80, key, 0});
      std::this_thread::yield();
    }
  });
}
}  // namespace

// The application's three threads at once: the device's thread runs the audio
// callback, the MIDI service's thread delivers notes, and the main thread
// changes the two settings both callbacks read, then stops the stream.
TEST_F(HostTest, AudioMidiAndMainThreadsShareTheSettingsAndThePlugin)
{
  WriteSettings("[audio]\nsr=48000\n[midi]\nindev=virtual input\n");
  gWorld.grantedFrames = 64;
  Launch();
  ASSERT_TRUE(gDAC->isStreamRunning());
  FakeAudioDriver* audio = gWorld.audio;
  FakeMidiIn* midi = gWorld.midiIn;

  std::atomic<bool> done{false};
  std::thread device([&] {
    for (int k = 0; k < 400; ++k) audio->Pump();
    done = true;
  });
  std::thread midiService = PlayNotesUntil(midi, done, 2);
  for (int k = 0; !done; ++k)
  {
    WriteSharedField(gState.monoInput, uint16_t(k % 2));
    WriteSharedField(gState.midiInChan, uint16_t(k % 3));
    std::this_thread::yield();
  }
  device.join();
  StopAudioStream(false);
  midiService.join();
  EXPECT_FALSE(gAudioProcessing.load());
}

// Cancel puts back the settings the dialog opened with while the device's thread and the
// MIDI service's thread go on reading the two they share with it.
TEST_F(HostTest, CancelRestoresTheSharedSettingsWhileTheCallbacksReadThem)
{
  WriteSettings("[audio]\nmonoinput=0\n[midi]\nindev=virtual input\ninchan=2\n");
  gWorld.grantedFrames = 64;
  Launch();
  ASSERT_TRUE(gDAC->isStreamRunning());
  FakeMidiIn* midi = gWorld.midiIn;

  std::atomic<bool> finished{false};
  std::thread midiService = PlayNotesUntil(midi, finished, 16);

  // Each Cancel reopens the stream: the device's thread stops as the old stream ends, and
  // the next round pumps the new one.
  std::thread device;
  std::atomic<bool> stopPumping{false};
  std::atomic<unsigned> pumped{0};
  gWorld.streamEnding = [&] {
    stopPumping = true;
    if (device.joinable()) device.join();
  };
  for (int round = 0; round < 4; ++round)
  {
    FakeAudioDriver* audio = gWorld.audio;
    if (!audio || !audio->isStreamRunning()) break;
    stopPumping = false;
    pumped.store(0, std::memory_order_relaxed);
    device = std::thread([&, audio] {
      while (!stopPumping)
      {
        audio->Pump();
        pumped.fetch_add(1, std::memory_order_relaxed);
      }
    });
    // Past the silent start, where both callbacks read their fields.
    while (pumped.load(std::memory_order_relaxed) < kSilentCallbacks + 20) std::this_thread::yield();

    HWND dialog = SWELL_CreateDialog(SWELL_curmodule_dialogresource_head, ResourceId(IDD_DIALOG_PREF), gHWND,
                                     PreferencesDlgProc, 0);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) break;
    SendMessage(GetDlgItem(dialog, IDC_CB_MONO_INPUT), BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(dialog, WM_COMMAND, WPARAM(IDC_CB_MONO_INPUT | (BN_CLICKED << 16)), 0);
    SendMessage(GetDlgItem(dialog, IDC_COMBO_MIDI_IN_CHAN), CB_SETCURSEL, 9, 0);
    SendMessage(dialog, WM_COMMAND, WPARAM(IDC_COMBO_MIDI_IN_CHAN | (CBN_SELCHANGE << 16)), 0);
    EXPECT_EQ(ReadSharedField(gState.monoInput), 1);
    EXPECT_EQ(ReadSharedField(gState.midiInChan), 9);

    SendMessage(dialog, WM_COMMAND, WPARAM(IDCANCEL), 0);
    DestroyWindow(dialog);
    EXPECT_FALSE(device.joinable()) << "the stream was not reopened";
    EXPECT_EQ(gState.monoInput, 0);
    EXPECT_EQ(gState.midiInChan, 2);
  }
  gWorld.streamEnding = nullptr;
  stopPumping = true;
  if (device.joinable()) device.join();
  finished = true;
  midiService.join();
  EXPECT_TRUE(gDAC->isStreamRunning());
}
