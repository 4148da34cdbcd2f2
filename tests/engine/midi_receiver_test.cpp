#include "ByteChunk.h"
#include "MIDIReceiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Records every signal with the sample at which it arrived.
struct Recorder
{
  explicit Recorder(MIDIReceiver& r) : receiver(r)
  {
    r.mNoteOn.Connect(this, &Recorder::NoteOn);
    r.mNoteOff.Connect(this, &Recorder::NoteOff);
    r.mAllNotesOff.Connect(this, &Recorder::AllOff);
    r.mPitchWheel.Connect(this, &Recorder::Wheel);
    r.mTextureModifier.Connect(this, &Recorder::Pedal);
    r.mLearned.Connect(this, &Recorder::Learned);
    r.mControllerValue.Connect(this, &Recorder::Value);
  }
  int Now() const { return receiver.GetSampleCounter(); }
  void NoteOn(int key, int vel) { log.push_back("on " + std::to_string(key) + " " + std::to_string(vel) + " @" + std::to_string(Now())); }
  void NoteOff(int key) { log.push_back("off " + std::to_string(key) + " @" + std::to_string(Now())); }
  void AllOff() { log.push_back("all off"); }
  void Wheel(double v)
  {
    wheel.push_back(v);
    delivered.fetch_add(1, std::memory_order_release);
  }
  void Pedal(int kind, int down) { log.push_back("pedal " + std::to_string(kind) + " " + std::to_string(down)); }
  void Learned(int param, int cc) { log.push_back("learned " + std::to_string(param) + " cc" + std::to_string(cc)); }
  void Value(int param, int value) { log.push_back("value " + std::to_string(param) + " " + std::to_string(value)); }

  MIDIReceiver& receiver;
  std::vector<std::string> log;
  std::vector<double> wheel;
  std::atomic<int> delivered{0};
};

void Send(MIDIReceiver& r, uint8_t status, uint8_t d1, uint8_t d2, int offset = 0)
{
  const IMidiMsg m(offset, status, d1, d2);
  r.OnMessageReceived(&m);
}

// One block as the block processor runs it.
void RunBlock(MIDIReceiver& r, int frames)
{
  r.ResetNoteOnCount();
  for (int i = 0; i < frames; ++i) r.Advance();
  r.Flush(frames);
  r.ResetSampleCounter();
}

using Log = std::vector<std::string>;
}  // namespace

TEST(MidiReceiver, DeliversEachMessageAtItsSampleInOrder)
{
  MIDIReceiver r;
  Recorder rec(r);
  Send(r, 0x90, 60, 100, 3);
  Send(r, 0x92, 62, 90, 0);  // any channel
  Send(r, 0x80, 60, 0, 3);
  Send(r, 0x90, 64, 80, 700);
  RunBlock(r, 512);
  RunBlock(r, 512);
  // Offset 700 in a 512-frame block arrives at sample 188 of the next block.
  EXPECT_EQ(rec.log, (Log{"on 62 90 @0", "on 60 100 @3", "off 60 @3", "on 64 80 @188"}));
}

TEST(MidiReceiver, RunsUpToTheNextMessageDeliverEverythingAtItsFrame)
{
  // The block processor may pass the frames before the next message in one run.
  auto send = [](MIDIReceiver& r) {
    for (int offset : {0, 3, 3, 4, 10, 300, 700}) Send(r, 0x90, 40 + offset % 50, 100, offset);
    Send(r, 0x80, 40, 0, 511);
  };
  MIDIReceiver single, runs;
  Recorder expected(single), got(runs);
  send(single);
  send(runs);
  std::vector<int> lengths;
  for (int block = 0; block < 2; ++block)
  {
    RunBlock(single, 512);
    runs.ResetNoteOnCount();
    for (int i = 0; i < 512;)
    {
      runs.Advance();
      const int n = std::min({512 - i, runs.FramesBeforeNextMessage(), 64});
      ASSERT_GE(n, 1);
      runs.SkipRunRest(n);
      lengths.push_back(n);
      i += n;
    }
    runs.Flush(512);
    runs.ResetSampleCounter();
  }
  EXPECT_EQ(got.log, expected.log);
  EXPECT_EQ(got.log.size(), 8u);
  // Runs end just before each message's frame and are longer where none waits.
  EXPECT_EQ(std::vector<int>(lengths.begin(), lengths.begin() + 5), (std::vector<int>{3, 1, 6, 64, 64}));
}

TEST(MidiReceiver, IntakeFilterFoldsKeysAndPassesOneNoteOffPerNoteOn)
{
  MIDIReceiver r;
  Recorder rec(r);
  Send(r, 0x90, 130, 100);  // a malformed key byte: 130 is 118 an octave down
  Send(r, 0x80, 60, 0);     // no note-on for 60 yet: dropped
  Send(r, 0x90, 60, 10);
  Send(r, 0x90, 60, 0);     // velocity 0 is a note-off
  Send(r, 0x80, 60, 0);     // second note-off of the key: dropped
  Send(r, 0xC0, 5, 0);      // program change: dropped
  Send(r, 0xA0, 60, 30);    // key pressure: queued, consumed silently
  RunBlock(r, 4);
  EXPECT_EQ(rec.log, (Log{"on 118 100 @0", "on 60 10 @0", "off 60 @0"}));
  EXPECT_TRUE(r.IsKeyOff(60));
  EXPECT_FALSE(r.IsKeyOff(118));
}

TEST(MidiReceiver, NoteOnsBeyondTheBlockCapAreDroppedWithTheirNoteOffs)
{
  MIDIReceiver r;
  Recorder rec(r);
  r.SetNoteOnCap(8);
  for (int k = 0; k < 9; ++k) Send(r, 0x90, static_cast<uint8_t>(40 + k), 100);
  for (int k = 0; k < 9; ++k) Send(r, 0x80, static_cast<uint8_t>(40 + k), 0);
  RunBlock(r, 1);
  ASSERT_EQ(rec.log.size(), 16u);
  for (const std::string& line : rec.log) EXPECT_EQ(line.find(" 48 "), std::string::npos) << line;

  // The count starts again with the next block.
  rec.log.clear();
  Send(r, 0x90, 48, 1);
  RunBlock(r, 1);
  EXPECT_EQ(rec.log, (Log{"on 48 1 @0"}));
}

TEST(MidiReceiver, PedalsSwitchAbove64AndAllNotesOffRearmsEveryKey)
{
  MIDIReceiver r;
  Recorder rec(r);
  Send(r, 0xB0, 64, 65);
  Send(r, 0xB0, 64, 64);
  Send(r, 0xB0, 66, 127);
  Send(r, 0xB0, 65, 100);
  Send(r, 0xB0, 68, 0);
  Send(r, 0x90, 50, 100);
  RunBlock(r, 1);
  Send(r, 0xB0, 123, 0);
  RunBlock(r, 1);
  Send(r, 0x80, 50, 0);  // all-notes-off set every key-off flag again: dropped
  RunBlock(r, 1);
  EXPECT_EQ(rec.log, (Log{"pedal 0 1", "pedal 0 0", "pedal 1 1", "pedal 2 1", "pedal 3 0", "on 50 100 @0",
                          "all off"}));
}

TEST(MidiReceiver, PitchWheelArrivesInMinusOneToOne)
{
  MIDIReceiver r;
  Recorder rec(r);
  Send(r, 0xE0, 0, 0x40);
  Send(r, 0xE0, 0, 0);
  Send(r, 0xE0, 0x7F, 0x7F);
  RunBlock(r, 1);
  EXPECT_EQ(rec.wheel, (std::vector<double>{0.0, -1.0, 8191.0 / 8192.0}));
}

TEST(MidiReceiver, LearnBindsEveryPendingParameterToTheNextPlainController)
{
  MIDIReceiver r;
  Recorder rec(r);
  r.ArmLearn(17);
  r.ArmLearn(5);
  Send(r, 0xB0, 64, 127);  // pedals are never learned
  Send(r, 0xB0, 20, 99);   // binds; its value is not applied
  Send(r, 0xB0, 20, 42);
  RunBlock(r, 1);
  EXPECT_EQ(rec.log, (Log{"pedal 0 1", "learned 17 cc20", "learned 5 cc20", "value 17 42", "value 5 42"}));
  EXPECT_FALSE(r.IsLearnPending());

  // Re-arming moves a parameter: it leaves controller 20 for the next one.
  r.ArmLearn(17);
  Send(r, 0xB0, 21, 1);
  Send(r, 0xB0, 20, 2);
  rec.log.clear();
  RunBlock(r, 1);
  EXPECT_EQ(rec.log, (Log{"learned 17 cc21", "value 5 2"}));
  EXPECT_EQ(r.Forget(5), 20);
  EXPECT_EQ(r.Forget(5), -1);
}

TEST(MidiReceiver, LearnMapReaderSkipsForeignAndRepeatedIndices)
{
  MIDIReceiver r;
  Recorder rec(r);
  r.GetLearnList(90).Add(3);  // an old binding that the load replaces
  ByteChunk chunk;
  auto put = [&chunk](int32_t v) { chunk.Put(&v); };
  put(3);  // controller 0: 5, 7, 5 again
  put(5);
  put(7);
  put(5);
  put(2);  // controller 1: 7 is bound already, 138 is no parameter
  put(7);
  put(138);
  put(1);  // controller 2: -1 is no parameter
  put(-1);
  for (int cc = 3; cc < 128; ++cc)
  {
    put(cc == 40 ? 1 : 0);
    if (cc == 40) put(137);
  }
  const int end = chunk.Size();

  EXPECT_EQ(r.UnserializeState(&chunk, 0, 138), end);
  EXPECT_EQ(rec.log, (Log{"learned 5 cc0", "learned 7 cc0", "learned 137 cc40"}));
  EXPECT_EQ(r.GetLearnList(0).GetSize(), 2);
  EXPECT_EQ(r.GetLearnList(1).GetSize(), 0);
  EXPECT_EQ(r.GetLearnList(90).GetSize(), 0);
}

TEST(MidiReceiver, LearnMapReaderStopsAtAnImpossibleCountOrTheChunkEnd)
{
  ByteChunk chunk;
  auto put = [&chunk](int32_t v) { chunk.Put(&v); };
  put(1);
  put(9);
  put(139);  // controller 1 claims more bindings than there are parameters
  for (int i = 0; i < 139; ++i) put(10 + i % 100);
  for (int cc = 2; cc < 128; ++cc) put(0);

  MIDIReceiver r;
  Recorder rec(r);
  EXPECT_EQ(r.UnserializeState(&chunk, 0, 138), -1);
  EXPECT_EQ(rec.log, (Log{"learned 9 cc0"}));
  for (int cc = 1; cc < 128; ++cc) EXPECT_EQ(r.GetLearnList(cc).GetSize(), 0) << cc;

  // A chunk that ends inside the map.
  ByteChunk cut;
  int32_t v = 2;
  cut.Put(&v);
  v = 4;
  cut.Put(&v);
  MIDIReceiver r2;
  Recorder rec2(r2);
  EXPECT_EQ(r2.UnserializeState(&cut, 0, 138), -1);
  EXPECT_EQ(rec2.log, (Log{"learned 4 cc0"}));
}

TEST(MidiReceiver, AFullQueueLeavesMessagesWaitingInsteadOfGrowing)
{
  MIDIReceiver r;
  Recorder rec(r);
  r.Resize(64);  // one page: 512 entries
  ASSERT_EQ(r.GetCapacity(), 512);
  for (int i = 0; i < 700; ++i) Send(r, 0xE0, static_cast<uint8_t>(i & 0x7F), static_cast<uint8_t>(i >> 7));
  RunBlock(r, 1);
  EXPECT_EQ(r.GetCapacity(), 512);
  EXPECT_EQ(rec.wheel.size(), 512u);
  RunBlock(r, 1);
  EXPECT_EQ(r.GetCapacity(), 512);
  ASSERT_EQ(rec.wheel.size(), 700u);
  for (int i = 0; i < 700; ++i) EXPECT_EQ(rec.wheel[i], (i - 8192) / 8192.0) << i;
}

TEST(MidiReceiver, AFullHandOverRingDropsTheNewestMessages)
{
  MIDIReceiver r;
  Recorder rec(r);
  const int ring = static_cast<int>(MidiIntakeRing::kCapacity);
  for (int i = 0; i < ring + 100; ++i) Send(r, 0xE0, static_cast<uint8_t>(i & 0x7F), static_cast<uint8_t>(i >> 7));
  for (int block = 0; block < 4; ++block) RunBlock(r, 1);
  ASSERT_EQ(rec.wheel.size(), static_cast<size_t>(ring));
  EXPECT_EQ(rec.wheel.back(), (ring - 1 - 8192) / 8192.0);
}

TEST(MidiReceiver, MidiThreadAndAudioThreadHandOverEveryMessageInOrder)
{
  MIDIReceiver r;
  Recorder rec(r);
  constexpr int kMessages = 20000;
  // A lost message would leave both threads waiting for it: they give up here
  // instead, and the test says how far the hand-over came.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  std::atomic<bool> gaveUp{false};
  std::thread producer([&] {
    for (int i = 0; i < kMessages; ++i)
    {
      const int code = i % 16384;
      const IMidiMsg m(0, 0xE0, static_cast<uint8_t>(code & 0x7F), static_cast<uint8_t>(code >> 7));
      // The ring drops when full; a real MIDI port is far slower than this loop.
      while (i - rec.delivered.load(std::memory_order_acquire) >= 512)
      {
        if (gaveUp.load(std::memory_order_relaxed)) return;
        std::this_thread::yield();
      }
      r.OnMessageReceived(&m);
    }
  });
  while (rec.delivered.load(std::memory_order_relaxed) < kMessages)
  {
    if (std::chrono::steady_clock::now() > deadline)
    {
      gaveUp = true;
      break;
    }
    RunBlock(r, 64);
  }
  producer.join();
  ASSERT_EQ(rec.delivered.load(), kMessages) << "messages lost: the audio side had not received them all after 5 s";
  for (int i = 0; i < kMessages; ++i) ASSERT_EQ(rec.wheel[i], (i % 16384 - 8192) / 8192.0) << i;
}
