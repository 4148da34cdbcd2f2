#pragma once

#include <cstdint>

// One short MIDI message, due at a sample offset inside the current block.
struct IMidiMsg
{
  // The high nibble of a channel message's status byte.
  enum EStatusMsg : int
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // A controller number 0..127; only the controllers the synthesizer treats
  // specially are named, any other number is used through a cast.
  enum EControlChangeMsg : int
  {
    kSustainOnOff = 64,
    kPortamentoOnOff = 65,
    kSostenutoOnOff = 66,
    kLegatoOnOff = 68,
    kAllNotesOff = 123
  };

  int mOffset;
  uint8_t mStatus;
  uint8_t mData1;
  uint8_t mData2;

  IMidiMsg(int offset = 0, uint8_t status = 0, uint8_t data1 = 0, uint8_t data2 = 0)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
  {
  }

  // The channel (0..15) is masked to four bits, so a wrong channel can never turn
  // the message into another kind (a note-off on "channel 16" would be a note-on).
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value -1..1 (clamped; NaN centres the wheel), sent at offset 0.
  void MakePitchWheelMsg(double value, int channel = 0);
  // value 0..1 (clamped; NaN sends 0), sent at offset 0.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  void Clear();

  int Channel() const { return mStatus & 0x0F; }
  // kNone for system messages (status 0xF0 and above) and for data bytes.
  EStatusMsg StatusMsg() const;

  // Each gives -1 when the message is not of a kind that carries the field.
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  // -1..1 (8191/8192 at the top); 0 for any other message.
  double PitchWheel() const;
  EControlChangeMsg ControlChangeIdx() const { return static_cast<EControlChangeMsg>(mData1); }
  // 0..1 when this is a change of controller idx; -1 otherwise.
  double ControlChange(EControlChangeMsg idx) const;

  void LogMsg() const {}
};

static_assert(sizeof(IMidiMsg) == 8, "the MIDI queue stores messages as 8-byte records");

// A system-exclusive message; the bytes belong to the sender.
struct ISysEx
{
  int mOffset;
  int mSize;
  const uint8_t* mData;

  ISysEx(int offset = 0, const uint8_t* data = nullptr, int size = 0) : mOffset(offset), mSize(size), mData(data) {}

  void Clear();
  void LogMsg() const {}
};

// "noteon", "controlchange", ...; "unknown" for values that are no channel message.
const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// Writes as many bytes as fit, each as two upper-case hex digits, separated by
// blanks and NUL-terminated (three characters of out per byte). Returns out.
char* SysExStr(char* out, int outSize, const uint8_t* data, int size);
