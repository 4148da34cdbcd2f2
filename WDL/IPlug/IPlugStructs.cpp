#include "IPlugStructs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
uint8_t ChannelStatus(int statusNibble, int channel)
{
  return static_cast<uint8_t>((statusNibble << 4) | (channel & 0x0F));
}

int HighNibble(uint8_t status) { return status >> 4; }
}  // namespace

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel)
{
  Clear();
  mStatus = ChannelStatus(kNoteOn, channel);
  mData1 = static_cast<uint8_t>(noteNumber);
  mData2 = static_cast<uint8_t>(velocity);
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel)
{
  Clear();
  mStatus = ChannelStatus(kNoteOff, channel);
  mData1 = static_cast<uint8_t>(noteNumber);
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel)
{
  Clear();
  mStatus = ChannelStatus(kPitchWheel, channel);
  // Clamp before converting: a huge or NaN value must not reach the integer cast.
  const double scaled = std::isnan(value) ? 0.0 : std::clamp(value * 8192.0, -8192.0, 8191.0);
  const int wheel = static_cast<int>(scaled) + 8192;
  mData1 = static_cast<uint8_t>(wheel & 0x7F);
  mData2 = static_cast<uint8_t>((wheel >> 7) & 0x7F);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel)
{
  Clear();
  mStatus = ChannelStatus(kControlChange, channel);
  mData1 = static_cast<uint8_t>(idx);
  const double unit = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
  mData2 = static_cast<uint8_t>(unit * 127.0);
}

void IMidiMsg::Clear()
{
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  if (mStatus >= 0x80 && mStatus <= 0xEF) return static_cast<EStatusMsg>(HighNibble(mStatus));
  return kNone;
}

int IMidiMsg::NoteNumber() const
{
  const int s = HighNibble(mStatus);
  return (s == kNoteOff || s == kNoteOn || s == kPolyAftertouch) ? mData1 : -1;
}

int IMidiMsg::Velocity() const
{
  const int s = HighNibble(mStatus);
  return (s == kNoteOff || s == kNoteOn) ? mData2 : -1;
}

int IMidiMsg::PolyAfterTouch() const { return HighNibble(mStatus) == kPolyAftertouch ? mData2 : -1; }

int IMidiMsg::ChannelAfterTouch() const { return HighNibble(mStatus) == kChannelAftertouch ? mData1 : -1; }

int IMidiMsg::Program() const { return HighNibble(mStatus) == kProgramChange ? mData1 : -1; }

double IMidiMsg::PitchWheel() const
{
  if (HighNibble(mStatus) != kPitchWheel) return 0.0;
  const int wheel = mData1 + 128 * mData2 - 8192;
  // Data bytes above 127 (a malformed message) must not bend past the full range.
  return std::clamp(static_cast<double>(wheel) / 8192.0, -1.0, 1.0);
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const
{
  if (HighNibble(mStatus) == kControlChange && mData1 == static_cast<int>(idx)) return mData2 / 127.0;
  return -1.0;
}

void ISysEx::Clear()
{
  mOffset = 0;
  mSize = 0;
  mData = nullptr;
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg)
{
  switch (msg)
  {
    case IMidiMsg::kNone: return "none";
    case IMidiMsg::kNoteOff: return "noteoff";
    case IMidiMsg::kNoteOn: return "noteon";
    case IMidiMsg::kPolyAftertouch: return "aftertouch";
    case IMidiMsg::kControlChange: return "controlchange";
    case IMidiMsg::kProgramChange: return "programchange";
    case IMidiMsg::kChannelAftertouch: return "channelaftertouch";
    case IMidiMsg::kPitchWheel: return "pitchwheel";
  }
  return "unknown";
}

char* SysExStr(char* out, int outSize, const uint8_t* data, int size)
{
  if (!out || outSize <= 0) return out;
  out[0] = 0;
  if (!data || size <= 0) return out;

  // "XX " per byte, the last byte's blank giving way to the NUL.
  const int n = std::min(size, outSize / 3);
  for (int i = 0; i < n; ++i)
    std::snprintf(out + 3 * i, static_cast<size_t>(outSize - 3 * i), i + 1 < n ? "%02X " : "%02X", data[i]);
  return out;
}
