#include "IPlugStructs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace
{
IMidiMsg::EControlChangeMsg CC(int number) { return static_cast<IMidiMsg::EControlChangeMsg>(number); }

// The text of SysExStr with an output buffer of exactly outSize bytes.
std::string SysExText(int outSize, const std::vector<uint8_t>& bytes)
{
  std::vector<char> out(static_cast<size_t>(outSize), '#');
  const char* result = SysExStr(out.data(), outSize, bytes.data(), static_cast<int>(bytes.size()));
  EXPECT_EQ(result, out.data());
  return std::string(out.data(), strnlen(out.data(), out.size()));
}
}  // namespace

TEST(IMidiMsg, NoteMessages)
{
  IMidiMsg on;
  on.MakeNoteOnMsg(60, 100, 17, 3);
  EXPECT_EQ(on.mStatus, 0x93);
  EXPECT_EQ(on.mData1, 60);
  EXPECT_EQ(on.mData2, 100);
  EXPECT_EQ(on.mOffset, 17);

  IMidiMsg off(5, 0xFF, 0xFF, 0xFF);
  off.MakeNoteOffMsg(61, 9, 15);
  EXPECT_EQ(off.mStatus, 0x8F);
  EXPECT_EQ(off.mData1, 61);
  EXPECT_EQ(off.mData2, 0);
  EXPECT_EQ(off.mOffset, 9);
}

TEST(IMidiMsg, AWrongChannelCannotChangeTheMessageKind)
{
  // 0x80 | 16 would be 0x90: the note-off would start a note.
  IMidiMsg off;
  off.MakeNoteOffMsg(60, 0, 16);
  EXPECT_EQ(off.StatusMsg(), IMidiMsg::kNoteOff);
  EXPECT_EQ(off.Channel(), 0);

  IMidiMsg on;
  on.MakeNoteOnMsg(60, 1, 0, -1);
  EXPECT_EQ(on.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(on.Channel(), 15);

}

TEST(IMidiMsg, PitchWheelPacking)
{
  struct Case
  {
    double value;
    int data1, data2;
  };
  // 14-bit value = value * 8192 + 8192, low seven bits first.
  const Case cases[] = {
    {1.0, 0x7F, 0x7F},         // 8192 clamps to 8191 -> 16383
    {-1.0, 0x00, 0x00},        // 0
    {0.0, 0x00, 0x40},         // 8192
    {0.5, 0x00, 0x60},         // 12288 = 0x3000
    {-0.5, 0x00, 0x20},        // 4096 = 0x1000
    {1.0 / 8192, 0x01, 0x40},  // 8193
    {-1.0 / 8192, 0x7F, 0x3F}, // 8191
    {0.3, 0x19, 0x53},         // (int)2457.6 = 2457 -> 10649 = 83 * 128 + 25
    {1e12, 0x7F, 0x7F},
    {-1e12, 0x00, 0x00},
    {std::numeric_limits<double>::quiet_NaN(), 0x00, 0x40},
  };
  for (const Case& c : cases)
  {
    IMidiMsg msg(99);
    msg.MakePitchWheelMsg(c.value, 0);
    EXPECT_EQ(msg.mStatus, 0xE0) << c.value;
    EXPECT_EQ(msg.mData1, c.data1) << c.value;
    EXPECT_EQ(msg.mData2, c.data2) << c.value;
    EXPECT_EQ(msg.mOffset, 0) << c.value;
  }

  IMidiMsg ch3;
  ch3.MakePitchWheelMsg(0.0, 3);
  EXPECT_EQ(ch3.mStatus, 0xE3);
  EXPECT_EQ(ch3.mData1, 0);
  EXPECT_EQ(ch3.mData2, 0x40);
}

TEST(IMidiMsg, PitchWheelReading)
{
  EXPECT_EQ(IMidiMsg(0, 0xE0, 0x00, 0x40).PitchWheel(), 0.0);
  EXPECT_EQ(IMidiMsg(0, 0xE0, 0x7F, 0x7F).PitchWheel(), 8191.0 / 8192.0);
  EXPECT_EQ(IMidiMsg(0, 0xE5, 0x00, 0x00).PitchWheel(), -1.0);
  EXPECT_EQ(IMidiMsg(0, 0xE0, 0x00, 0x60).PitchWheel(), 0.5);
  // Malformed data bytes never bend past the full range.
  EXPECT_EQ(IMidiMsg(0, 0xE0, 0xFF, 0xFF).PitchWheel(), 1.0);
  // Not a pitch wheel message.
  EXPECT_EQ(IMidiMsg(0, 0xB0, 0x7F, 0x7F).PitchWheel(), 0.0);

  for (double v : {-1.0, -0.5, -1.0 / 8192, 0.0, 0.25, 8191.0 / 8192})
  {
    IMidiMsg msg;
    msg.MakePitchWheelMsg(v, 7);
    EXPECT_EQ(msg.PitchWheel(), v);
  }
}

TEST(IMidiMsg, ControlChange)
{
  IMidiMsg msg;
  msg.MakeControlChangeMsg(CC(7), 1.0, 2);
  EXPECT_EQ(msg.mStatus, 0xB2);
  EXPECT_EQ(msg.mData1, 7);
  EXPECT_EQ(msg.mData2, 127);
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.ControlChangeIdx(), 7);
  EXPECT_EQ(msg.ControlChange(CC(7)), 1.0);
  EXPECT_EQ(msg.ControlChange(CC(8)), -1.0);

  msg.MakeControlChangeMsg(IMidiMsg::kSustainOnOff, 0.5, 0);
  EXPECT_EQ(msg.mData1, 64);
  EXPECT_EQ(msg.mData2, 63);  // (int)63.5
  EXPECT_EQ(msg.ControlChange(IMidiMsg::kSustainOnOff), 63.0 / 127.0);

  msg.MakeControlChangeMsg(CC(1), 2.0, 0);
  EXPECT_EQ(msg.mData2, 127);
  msg.MakeControlChangeMsg(CC(1), -1.0, 0);
  EXPECT_EQ(msg.mData2, 0);
  msg.MakeControlChangeMsg(CC(1), std::numeric_limits<double>::quiet_NaN(), 0);
  EXPECT_EQ(msg.mData2, 0);

  // The controller index is read whatever the status.
  EXPECT_EQ(IMidiMsg(0, 0x90, 0x2A, 0x10).ControlChangeIdx(), 0x2A);
  EXPECT_EQ(IMidiMsg(0, 0x90, 0x07, 0x10).ControlChange(CC(7)), -1.0);
}

TEST(IMidiMsg, StatusByRange)
{
  // The first and last status byte of every range.
  const int expected[][3] = {{0x00, 0x7F, IMidiMsg::kNone},           {0x80, 0x8F, IMidiMsg::kNoteOff},
                             {0x90, 0x9F, IMidiMsg::kNoteOn},         {0xA0, 0xAF, IMidiMsg::kPolyAftertouch},
                             {0xB0, 0xBF, IMidiMsg::kControlChange},  {0xC0, 0xCF, IMidiMsg::kProgramChange},
                             {0xD0, 0xDF, IMidiMsg::kChannelAftertouch}, {0xE0, 0xEF, IMidiMsg::kPitchWheel},
                             {0xF0, 0xFF, IMidiMsg::kNone}};
  for (const auto& range : expected)
    for (int status : {range[0], range[1]})
      EXPECT_EQ(IMidiMsg(0, static_cast<uint8_t>(status)).StatusMsg(), range[2]) << std::hex << status;
  EXPECT_EQ(IMidiMsg(0, 0xF8).StatusMsg(), IMidiMsg::kNone);
}

TEST(IMidiMsg, FieldAccessorsAnswerOnlyForTheirStatus)
{
  // data1 = 0x12, data2 = 0x34 throughout; -1 where the status has no such field.
  const struct
  {
    uint8_t status;
    int note, velocity, polyAT, channelAT, program;
    double pitch, cc;
  } cases[] = {
    {0x45, -1, -1, -1, -1, -1, 0.0, -1.0},  // a data byte, no status
    {0x81, 0x12, 0x34, -1, -1, -1, 0.0, -1.0},
    {0x92, 0x12, 0x34, -1, -1, -1, 0.0, -1.0},
    {0xA3, 0x12, -1, 0x34, -1, -1, 0.0, -1.0},
    {0xB4, -1, -1, -1, -1, -1, 0.0, 0x34 / 127.0},
    {0xC5, -1, -1, -1, -1, 0x12, 0.0, -1.0},
    {0xD6, -1, -1, -1, 0x12, -1, 0.0, -1.0},
    {0xE7, -1, -1, -1, -1, -1, (0x12 + 128 * 0x34 - 8192) / 8192.0, -1.0},  // -1518 / 8192
    {0xF2, -1, -1, -1, -1, -1, 0.0, -1.0},
  };
  for (const auto& c : cases)
  {
    const IMidiMsg msg(0, c.status, 0x12, 0x34);
    SCOPED_TRACE(testing::Message() << "status 0x" << std::hex << int(c.status));
    EXPECT_EQ(msg.NoteNumber(), c.note);
    EXPECT_EQ(msg.Velocity(), c.velocity);
    EXPECT_EQ(msg.PolyAfterTouch(), c.polyAT);
    EXPECT_EQ(msg.ChannelAfterTouch(), c.channelAT);
    EXPECT_EQ(msg.Program(), c.program);
    EXPECT_EQ(msg.PitchWheel(), c.pitch);
    EXPECT_EQ(msg.ControlChange(CC(0x12)), c.cc);
    EXPECT_EQ(msg.Channel(), c.status & 0x0F);
  }
}

TEST(MidiText, StatusNames)
{
  const char* expected[] = {"none",    "unknown",       "unknown",       "unknown",           "unknown",
                            "unknown", "unknown",       "unknown",       "noteoff",           "noteon",
                            "aftertouch", "controlchange", "programchange", "channelaftertouch", "pitchwheel",
                            "unknown"};
  for (int s = 0; s <= 15; ++s) EXPECT_STREQ(StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(s)), expected[s]) << s;
  EXPECT_STREQ(StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(-1)), "unknown");
}

TEST(MidiText, SysExTextWritesOnlyWhatFits)
{
  const std::vector<uint8_t> five = {0xF0, 0x7E, 0x01, 0x02, 0xF7};
  EXPECT_EQ(SysExText(10, five), "F0 7E 01");  // 10 / 3 = 3 bytes
  EXPECT_EQ(SysExText(15, five), "F0 7E 01 02 F7");
  EXPECT_EQ(SysExText(14, five), "F0 7E 01 02");
  EXPECT_EQ(SysExText(100, five), "F0 7E 01 02 F7");
  EXPECT_EQ(SysExText(3, five), "F0");
  EXPECT_EQ(SysExText(2, five), "");
  EXPECT_EQ(SysExText(1, five), "");
  EXPECT_EQ(SysExText(16, {0xab, 0x0c}), "AB 0C");
}

TEST(MidiText, SysExTextOfNothingIsEmpty)
{
  char out[16];
  std::memset(out, '#', sizeof(out));
  const uint8_t byte = 0x42;
  EXPECT_STREQ(SysExStr(out, sizeof(out), nullptr, 4), "");
  std::memset(out, '#', sizeof(out));
  EXPECT_STREQ(SysExStr(out, sizeof(out), &byte, 0), "");
  std::memset(out, '#', sizeof(out));
  EXPECT_STREQ(SysExStr(out, sizeof(out), &byte, -3), "");

  // No room even for the terminator: nothing is written.
  std::memset(out, '#', sizeof(out));
  EXPECT_EQ(SysExStr(out, 0, &byte, 1), out);
  EXPECT_EQ(out[0], '#');
  EXPECT_EQ(SysExStr(nullptr, 16, &byte, 1), nullptr);
}
