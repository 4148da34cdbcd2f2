#include "StandardMidiFile.h"
#include "smf_builder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using smf::Bytes;

namespace
{
struct Read
{
  bool ok;
  SmfSequence seq;
  std::string error;
};

Read ReadBytes(const Bytes& bytes)
{
  Read r;
  r.ok = ReadStandardMidiFile(bytes.data(), bytes.size(), &r.seq, &r.error);
  return r;
}

Bytes WithEnd(Bytes events)
{
  smf::Append(events, smf::EndOfTrack());
  return smf::Track(events);
}

// A tempo meta event after its time delta: microseconds per quarter note, three bytes.
Bytes Tempo(Bytes delta, uint32_t micros)
{
  smf::Append(delta, {0xFF, 0x51, 0x03, uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)});
  return delta;
}

void ExpectEvent(const SmfEvent& e, double seconds, uint8_t status, uint8_t data1, uint8_t data2)
{
  EXPECT_NEAR(e.seconds, seconds, 1e-12);
  EXPECT_EQ(e.status, status);
  EXPECT_EQ(e.data1, data1);
  EXPECT_EQ(e.data2, data2);
}
}  // namespace

TEST(SmfReader, FormatZeroWithRunningStatusAtTheDefaultTempo)
{
  // 96 ticks per quarter at 120 bpm: a tick lasts 0.5 / 96 s.
  const Bytes file = smf::File(0, 96,
                               {WithEnd({0x00, 0x90, 60, 100,  // note on at tick 0
                                         96, 60, 0,            // running status: note on, velocity 0, tick 96
                                         48, 64, 90,           // running status again, tick 144
                                         0x00, 0xC1, 5,        // program change: one data byte
                                         24, 7,                // running status with one data byte, tick 168
                                         0x00, 0xE0, 0x00, 0x40})});  // pitch wheel centre
  const Read r = ReadBytes(file);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.seq.format, 0);
  EXPECT_EQ(r.seq.numTracks, 1);
  ASSERT_EQ(r.seq.events.size(), 6u);
  ExpectEvent(r.seq.events[0], 0.0, 0x90, 60, 100);
  ExpectEvent(r.seq.events[1], 0.5, 0x90, 60, 0);
  ExpectEvent(r.seq.events[2], 0.75, 0x90, 64, 90);
  ExpectEvent(r.seq.events[3], 0.75, 0xC1, 5, 0);
  ExpectEvent(r.seq.events[4], 0.875, 0xC1, 7, 0);
  ExpectEvent(r.seq.events[5], 0.875, 0xE0, 0x00, 0x40);
}

TEST(SmfReader, FormatOneMergesTracksAlongTheTempoMap)
{
  // Track 1: 120 bpm, then from tick 192 (1 s) 240 bpm. Track 2 plays on every
  // quarter; track 3 plays at tick 192 too, and must come after track 2 there.
  const Bytes conductor = WithEnd({0x00, 0xFF, 0x03, 0x04, 'c', 'o', 'n', 'd'});  // a track name is skipped
  Bytes tempoTrack = Tempo({0x00}, 500000);
  smf::Append(tempoTrack, Tempo({0x81, 0x40}, 250000));  // delta 192
  const Bytes notes = WithEnd({0x00, 0x91, 60, 100,    // tick 0
                               0x81, 0x40, 0x81, 62, 100,  // tick 192
                               0x60, 0x81, 64, 100,    // tick 288
                               0x60, 0x91, 72, 1});    // tick 384
  const Bytes late = WithEnd({0x81, 0x40, 0xB0, 74, 127});  // tick 192
  const Read r = ReadBytes(smf::File(1, 96, {WithEnd(tempoTrack), notes, late, conductor}));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.seq.format, 1);
  EXPECT_EQ(r.seq.numTracks, 4);
  ASSERT_EQ(r.seq.events.size(), 5u);
  ExpectEvent(r.seq.events[0], 0.0, 0x91, 60, 100);
  ExpectEvent(r.seq.events[1], 1.0, 0x81, 62, 100);
  ExpectEvent(r.seq.events[2], 1.0, 0xB0, 74, 127);
  ExpectEvent(r.seq.events[3], 1.25, 0x81, 64, 100);
  ExpectEvent(r.seq.events[4], 1.5, 0x91, 72, 1);
}

TEST(SmfReader, AtOneTickNoteOffsGoBeforeOtherTracksAndEachTrackKeepsItsOrder)
{
  // At tick 96: track 1 begins key 60 that track 2 ends (velocity-0 note-on);
  // track 3 sends a controller, then ends key 64; track 4 plays a note of no
  // length; track 5 ends key 67 and then begins it again.
  const Bytes begins = WithEnd({0x00, 0xB0, 1, 0, 0x60, 0x90, 60, 100});
  const Bytes ends = WithEnd({0x00, 0x90, 60, 90, 0x60, 0x90, 60, 0});
  const Bytes controllerThenEnd = WithEnd({0x00, 0x90, 64, 80, 0x60, 0xB0, 7, 99, 0x00, 0x80, 64, 0});
  const Bytes noLength = WithEnd({0x60, 0x90, 70, 50, 0x00, 0x80, 70, 0});
  const Bytes again = WithEnd({0x00, 0x90, 67, 80, 0x60, 0x80, 67, 0, 0x00, 0x90, 67, 81});
  const Read r = ReadBytes(smf::File(1, 96, {begins, ends, controllerThenEnd, noLength, again}));
  ASSERT_TRUE(r.ok) << r.error;
  // Tick 0 keeps track order. At tick 96: the leading note-offs of every
  // track, then each track up to its last note-off, then the rest in track order.
  const SmfEvent expected[] = {
      {0.0, 0xB0, 1, 0},   {0.0, 0x90, 60, 90}, {0.0, 0x90, 64, 80}, {0.0, 0x90, 67, 80},
      {0.5, 0x90, 60, 0},  {0.5, 0x80, 67, 0},  {0.5, 0xB0, 7, 99},  {0.5, 0x80, 64, 0},
      {0.5, 0x90, 70, 50}, {0.5, 0x80, 70, 0},  {0.5, 0x90, 60, 100}, {0.5, 0x90, 67, 81},
  };
  ASSERT_EQ(r.seq.events.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i)
  {
    SCOPED_TRACE(i);
    ExpectEvent(r.seq.events[i], expected[i].seconds, expected[i].status, expected[i].data1, expected[i].data2);
  }

  // One track alone keeps its file order: a note of no length stays on, then off.
  const Read single = ReadBytes(smf::File(0, 96, {noLength}));
  ASSERT_TRUE(single.ok) << single.error;
  ASSERT_EQ(single.seq.events.size(), 2u);
  EXPECT_EQ(single.seq.events[0].status, 0x90);
  EXPECT_EQ(single.seq.events[1].status, 0x80);
}

TEST(SmfReader, TempoChangesInAnyTrackAndAtTheSameTickApply)
{
  // A tempo change at tick 96 in track 2 applies to track 1's note at tick 96 and after.
  const Bytes notes = WithEnd({0x60, 0x90, 60, 1, 0x60, 0x80, 60, 0});
  const Bytes tempo = WithEnd(Tempo({0x60}, 1000000));  // 60 bpm from tick 96
  const Read r = ReadBytes(smf::File(1, 96, {notes, tempo}));
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.seq.events.size(), 2u);
  EXPECT_NEAR(r.seq.events[0].seconds, 0.5, 1e-12);
  EXPECT_NEAR(r.seq.events[1].seconds, 1.5, 1e-12);
}

TEST(SmfReader, SmpteDivisionsCountRealTime)
{
  // 25 frames per second, 40 ticks per frame: one tick is a millisecond.
  const uint16_t smpte25 = uint16_t((uint8_t(-25) << 8) | 40);
  Read r = ReadBytes(smf::File(0, smpte25, {WithEnd({0x87, 0x68, 0x90, 60, 100})}));  // delta 1000
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.seq.events.size(), 1u);
  EXPECT_NEAR(r.seq.events[0].seconds, 1.0, 1e-12);

  // "29" is drop-frame 29.97 frames per second; a tempo event does not change SMPTE time.
  const uint16_t smpte29 = uint16_t((uint8_t(-29) << 8) | 100);
  Bytes events = Tempo({0x00}, 250000);
  smf::Append(events, {0x97, 0x38, 0x90, 60, 100});  // delta 3000
  r = ReadBytes(smf::File(0, smpte29, {WithEnd(events)}));
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.seq.events.size(), 1u);
  EXPECT_NEAR(r.seq.events[0].seconds, 3000.0 * 1001.0 / (30000.0 * 100.0), 1e-12);
}

TEST(SmfReader, SkipsSysExUnknownChunksAndWhatFollowsTheEndOfTrack)
{
  Bytes track = {0x00, 0xF0, 0x03, 0x43, 0x12, 0xF7,  // system exclusive
                 0x00, 0x90, 60, 100,
                 0x00, 0xF7, 0x01, 0x00};  // an escaped packet
  smf::Append(track, smf::EndOfTrack());
  smf::Append(track, {0x00, 0x90, 61, 100});  // after the end: not part of the track
  Bytes file = smf::Header(0, 1, 96);
  smf::Append(file, smf::Chunk("XFIH", {1, 2, 3}));
  smf::Append(file, smf::Track(track));
  smf::Append(file, {'j', 'u', 'n', 'k'});  // bytes after the last announced track
  const Read r = ReadBytes(file);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.seq.events.size(), 1u);
  EXPECT_EQ(r.seq.events[0].data1, 60);

  // A header longer than six bytes is read past; a track without an end event ends with its chunk.
  Bytes longHeader = smf::Chunk("MThd", {0, 0, 0, 1, 0, 96, 0xAA, 0xBB});
  smf::Append(longHeader, smf::Track({0x00, 0x90, 62, 100}));
  const Read r2 = ReadBytes(longHeader);
  ASSERT_TRUE(r2.ok) << r2.error;
  ASSERT_EQ(r2.seq.events.size(), 1u);
}

TEST(SmfReader, MetaAndSysExEventsCancelRunningStatusUntilTheNextStatusByte)
{
  // Every kind of event that is not a channel message, each between channel
  // messages: after each one the next message states its status again and running
  // status then carries on from that status; their time deltas still count.
  // 96 ticks per quarter at 120 bpm: a tick lasts 0.5 / 96 s.
  const Bytes file = smf::File(0, 96,
                               {WithEnd({0x00, 0x90, 60, 100,                    // tick 0
                                         0x00, 62, 101,                          // running note on
                                         24, 0xFF, 0x01, 0x02, 'h', 'i',         // text meta, tick 24
                                         0x00, 0x80, 60, 0,                      // tick 24
                                         24, 62, 0,                              // running note off, tick 48
                                         24, 0xF0, 0x03, 0x43, 0x10, 0xF7,       // sysex, tick 72
                                         0x00, 0xB1, 7, 100,                     // tick 72
                                         24, 10, 64,                             // running controller, tick 96
                                         48, 0xF7, 0x02, 0xF8, 0xFA,             // escaped packet, tick 144
                                         0x00, 0xC2, 3,                          // tick 144
                                         48, 4})});                              // running program, tick 192
  const Read r = ReadBytes(file);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.seq.events.size(), 8u);
  const double tick = 0.5 / 96;
  ExpectEvent(r.seq.events[0], 0.0, 0x90, 60, 100);
  ExpectEvent(r.seq.events[1], 0.0, 0x90, 62, 101);
  ExpectEvent(r.seq.events[2], 24 * tick, 0x80, 60, 0);
  ExpectEvent(r.seq.events[3], 48 * tick, 0x80, 62, 0);
  ExpectEvent(r.seq.events[4], 72 * tick, 0xB1, 7, 100);
  ExpectEvent(r.seq.events[5], 96 * tick, 0xB1, 10, 64);
  ExpectEvent(r.seq.events[6], 144 * tick, 0xC2, 3, 0);
  ExpectEvent(r.seq.events[7], 192 * tick, 0xC2, 4, 0);

  // A data byte straight after any of the three has no status to run on: the
  // reader refuses the file rather than guess one.
  const Bytes between[] = {{0x00, 0xFF, 0x01, 0x00}, {0x00, 0xF0, 0x01, 0xF7}, {0x00, 0xF7, 0x01, 0x00}};
  for (const Bytes& event : between)
  {
    Bytes events = {0x00, 0x90, 60, 100};
    smf::Append(events, event);
    smf::Append(events, {0x00, 61, 100});
    const Read refused = ReadBytes(smf::File(0, 96, {WithEnd(events)}));
    SCOPED_TRACE(int(event[1]));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("the data byte 0x3D without a status"), std::string::npos) << refused.error;
    EXPECT_TRUE(refused.seq.events.empty());
  }
}

TEST(SmfReader, MalformedFilesAreRefusedWithAReason)
{
  const Bytes note = {0x00, 0x90, 60, 100};
  struct Case
  {
    const char* what;
    Bytes file;
    const char* reasonPart;
  };
  Bytes twoTracksAnnounced = smf::Header(1, 2, 96);
  smf::Append(twoTracksAnnounced, WithEnd(note));
  Bytes cutChunk = smf::Header(0, 1, 96);
  smf::Append(cutChunk, {'M', 'T', 'r', 'k', 0, 0, 0, 10, 0x00, 0x90});
  Bytes unprintableChunk = smf::Header(0, 1, 96);
  smf::Append(unprintableChunk, {0x00, 'T', 0x1B, 0xFF, 0, 0, 0, 10, 0x00});
  const Case cases[] = {
      {"no header", {'R', 'I', 'F', 'F', 0, 0, 0, 6}, "MThd"},
      {"empty", {}, "MThd"},
      {"short header", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}, "header is cut short"},
      {"format 2", smf::File(2, 96, {WithEnd(note)}), "format 2"},
      {"format 7", smf::File(7, 96, {WithEnd(note)}), "format 7"},
      {"format 0, two tracks", smf::File(0, 96, {WithEnd(note), WithEnd(note)}), "one track"},
      {"no tracks", smf::Header(1, 0, 96), "no tracks"},
      {"zero ticks", smf::File(0, 0, {WithEnd(note)}), "0 ticks per quarter"},
      {"23 fps", smf::File(0, uint16_t((uint8_t(-23) << 8) | 4), {WithEnd(note)}), "23 SMPTE frames"},
      {"zero ticks per frame", smf::File(0, uint16_t(uint8_t(-24) << 8), {WithEnd(note)}), "0 ticks per SMPTE"},
      {"track missing", twoTracksAnnounced, "announces 2 tracks, the file holds 1"},
      {"chunk cut short", cutChunk, "chunk MTrk after track 0 needs 10 bytes"},
      {"unprintable chunk type", unprintableChunk, "chunk \\x00T\\x1B\\xFF after track 0 needs"},
      {"five-byte delta", smf::File(0, 96, {smf::Track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1})}), "time delta"},
      {"no running status", smf::File(0, 96, {WithEnd({0x00, 60, 100})}), "without a status"},
      {"meta cancels running status",
       smf::File(0, 96, {WithEnd({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 61, 100})}), "without a status"},
      {"system common byte", smf::File(0, 96, {WithEnd({0x00, 0xF4, 1})}), "0xF4"},
      {"status inside a message", smf::File(0, 96, {WithEnd({0x00, 0x90, 60, 0x80})}), "0x80 where a data byte"},
      {"message cut short", smf::File(0, 96, {smf::Track({0x00, 0x90, 60})}), "channel message that is cut short"},
      {"event missing", smf::File(0, 96, {smf::Track({0x00, 0x90, 60, 1, 0x10})}), "event missing"},
      {"sysex cut short", smf::File(0, 96, {smf::Track({0x00, 0xF0, 0x05, 1, 2})}), "system-exclusive"},
      {"meta cut short", smf::File(0, 96, {smf::Track({0x00, 0xFF, 0x51, 0x03, 1})}), "meta event"},
      {"tempo of two bytes", smf::File(0, 96, {WithEnd({0x00, 0xFF, 0x51, 0x02, 1, 2})}), "tempo event of 2 bytes"},
      {"tempo of zero", smf::File(0, 96, {WithEnd(Tempo({0x00}, 0))}), "tempo of 0"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    const Read r = ReadBytes(c.file);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(c.reasonPart), std::string::npos) << r.error;
    EXPECT_TRUE(r.seq.events.empty());
  }
}

TEST(SmfReader, EveryTruncationOfAFileIsRefused)
{
  // With the end-of-track event placed in the chunk, any shorter prefix cuts a
  // chunk short; the reader must refuse each without reading past the end.
  Bytes events = Tempo({0x00}, 400000);
  smf::Append(events, {0x00, 0xF0, 0x02, 0x01, 0xF7, 0x10, 0x90, 60, 100, 0x83, 0x00, 60, 0});
  const Bytes file = smf::File(1, 480, {WithEnd(events), WithEnd({0x00, 0xB0, 7, 100})});
  ASSERT_TRUE(ReadBytes(file).ok);
  for (size_t n = 0; n < file.size(); ++n)
  {
    const Bytes prefix(file.begin(), file.begin() + long(n));
    EXPECT_FALSE(ReadBytes(prefix).ok) << n;
  }
}

TEST(SmfReader, LoadsFilesButNotFolders)
{
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("vorna_smf_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  SmfSequence seq;
  std::string error;

  EXPECT_FALSE(LoadStandardMidiFile(dir.string(), &seq, &error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;

  const Bytes good = smf::File(0, 96, {WithEnd({0x00, 0x90, 60, 100})});
  const std::filesystem::path goodPath = dir / "good.mid";
  std::ofstream(goodPath, std::ios::binary).write(reinterpret_cast<const char*>(good.data()), long(good.size()));
  ASSERT_TRUE(LoadStandardMidiFile(goodPath.string(), &seq, &error)) << error;
  EXPECT_EQ(seq.events.size(), 1u);
  std::filesystem::remove_all(dir);
}
