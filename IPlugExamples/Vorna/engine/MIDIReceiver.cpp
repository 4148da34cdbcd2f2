#include "MIDIReceiver.h"

#include "KeyFolding.h"

#include <algorithm>
#include <climits>

namespace
{
// Small lists: grow in steps of a few entries, not in pages.
constexpr int kLearnListGranularity = 64;
}  // namespace

MIDIReceiver::MIDIReceiver()
{
  for (auto& flag : mKeyOff) flag.store(true, std::memory_order_relaxed);
  for (auto& list : mLearnMap)
  {
    list.GetHeapBuf()->SetGranul(kLearnListGranularity);
    list.Resize(kLearnListReserve, false);
    list.Resize(0, false);
  }
}

void MIDIReceiver::OnMessageReceived(const IMidiMsg* msg)
{
  switch (msg->StatusMsg())
  {
    case IMidiMsg::kNoteOn:
      if (msg->mData2 > 0)
      {
        const int key = FoldKey(msg->mData1);
        if (mNoteOnCount.load(std::memory_order_relaxed) < mNoteOnCap.load(std::memory_order_relaxed) &&
            mIntake.Push(*msg))
        {
          mNoteOnCount.fetch_add(1, std::memory_order_relaxed);
          mKeyOff[key].store(false, std::memory_order_relaxed);
        }
        return;
      }
      [[fallthrough]];  // a note-on of velocity 0 is a note-off
    case IMidiMsg::kNoteOff:
    {
      const int key = FoldKey(msg->mData1);
      if (!mKeyOff[key].load(std::memory_order_relaxed) && mIntake.Push(*msg))
        mKeyOff[key].store(true, std::memory_order_relaxed);
      return;
    }
    case IMidiMsg::kPolyAftertouch:
    case IMidiMsg::kControlChange:
    case IMidiMsg::kPitchWheel:
      mIntake.Push(*msg);
      return;
    default:
      return;
  }
}

void MIDIReceiver::TakeOverIntake()
{
  IMidiMsg msg;
  // Messages that find the queue full wait in the ring: the queue never grows here.
  while (mIntake.HasWaiting() && HasRoomWithoutGrowing() && mIntake.Pop(&msg)) Add(&msg);
}

void MIDIReceiver::Advance()
{
  TakeOverIntake();
  while (!Empty() && Peek().mOffset <= mSampleCounter)
  {
    const IMidiMsg msg = Peek();
    Remove();
    Dispatch(msg);
  }
  ++mSampleCounter;
}

int MIDIReceiver::FramesBeforeNextMessage() const
{
  if (Empty()) return INT_MAX;
  // Advance has moved the counter past the frame it delivered.
  return std::max(1, Peek().mOffset - mSampleCounter + 1);
}

void MIDIReceiver::Dispatch(const IMidiMsg& msg)
{
  switch (msg.StatusMsg())
  {
    case IMidiMsg::kNoteOn:
      if (msg.mData2 > 0)
      {
        mNoteOn.Emit(FoldKey(msg.mData1), msg.mData2);
        return;
      }
      [[fallthrough]];
    case IMidiMsg::kNoteOff:
      mNoteOff.Emit(FoldKey(msg.mData1));
      return;
    case IMidiMsg::kControlChange:
      ProcessCC(&msg);
      return;
    case IMidiMsg::kPitchWheel:
      mPitchWheel.Emit(msg.PitchWheel());
      return;
    default:
      return;  // key pressure: consumed without effect
  }
}

void MIDIReceiver::ProcessCC(const IMidiMsg* msg)
{
  const int controller = msg->mData1 & 0x7F;
  const int value = msg->mData2;
  const int down = value > kPedalSwitchThreshold ? 1 : 0;
  switch (controller)
  {
    case IMidiMsg::kSustainOnOff:
      mTextureModifier.Emit(kSustain, down);
      return;
    case IMidiMsg::kPortamentoOnOff:
      mTextureModifier.Emit(kPortamento, down);
      return;
    case IMidiMsg::kSostenutoOnOff:
      mTextureModifier.Emit(kSostenuto, down);
      return;
    case IMidiMsg::kLegatoOnOff:
      mTextureModifier.Emit(kLegato, down);
      return;
    case IMidiMsg::kAllNotesOff:
      mAllNotesOff.Emit();
      for (auto& flag : mKeyOff) flag.store(true, std::memory_order_relaxed);
      return;
    default:
      break;
  }

  WDL_TypedBuf<int>& list = mLearnMap[controller];
  if (mLearnPending)
  {
    const int pending = mPendingLearn.GetSize();
    for (int i = 0; i < pending; ++i)
    {
      const int param = mPendingLearn.Get()[i];
      list.Add(param);
      mLearned.Emit(param, controller);
    }
    mPendingLearn.Resize(0, false);
    mLearnPending = false;
    return;
  }
  const int count = list.GetSize();
  for (int i = 0; i < count; ++i) mControllerValue.Emit(list.Get()[i], value);
}

int MIDIReceiver::Forget(int param)
{
  for (int cc = 0; cc < kNumControllers; ++cc)
  {
    WDL_TypedBuf<int>& list = mLearnMap[cc];
    for (int i = 0; i < list.GetSize(); ++i)
    {
      if (list.Get()[i] == param)
      {
        list.Delete(i);
        return cc;
      }
    }
  }
  return -1;
}

void MIDIReceiver::ArmLearn(int param)
{
  Forget(param);
  // Armed twice, the parameter still waits once: the next controller binds it once.
  bool waiting = false;
  for (int i = 0; i < mPendingLearn.GetSize(); ++i) waiting = waiting || mPendingLearn.Get()[i] == param;
  if (!waiting) mPendingLearn.Add(param);
  mLearnPending = true;
}

int MIDIReceiver::BoundController(int param) const
{
  for (int cc = 0; cc < kNumControllers; ++cc)
  {
    const WDL_TypedBuf<int>& list = mLearnMap[cc];
    for (int i = 0; i < list.GetSize(); ++i)
      if (list.Get()[i] == param) return cc;
  }
  return -1;
}

bool MIDIReceiver::IsBound(int param) const { return BoundController(param) >= 0; }
