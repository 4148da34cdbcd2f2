#include "host_fakes.h"

#include <atomic>
#include <thread>

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
  std::thread midiService([&] {
    for (int k = 0; !done; ++k)
    {
      const unsigned char key = static_cast<unsigned char>(48 + k % 24);
      midi->Send({static_cast<unsigned char>(0x90 | (k % 2)), key, 100});
      midi->Send({0x80, key, 0});
      std::this_thread::yield();
    }
  });
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
