// Outside MIDI bytes into the plug-in, cut into messages as the host's MIDI
// callback hands them over, between processing blocks. Whatever arrives, the
// output stays finite, normal and below the master limiter's ceiling.
//
// Input: byte 0 picks the block size, byte 1 a parameter armed for MIDI learn
// (none from kNumParams on); then records, each an op byte: op & 3 == 3 renders
// a block; otherwise (op & 3) + 1 message bytes follow, queued at sample
// offset op >> 2.
#include "Vorna.h"
#include "VornaParams.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace
{
constexpr int kBlockSizes[] = {1, 7, 64, 256, 512};
constexpr int kMaxBlockSize = 512;
// Keeps one input quick however many render ops it holds.
constexpr int kMaxFrames = 4096;
// Blocks rendered after the stream ends, so that what it queued plays out.
constexpr int kTailBlocks = 4;
constexpr uint8_t kRenderOp = 3;
// The master limiter's ceiling at its loosest, times the top of "master amp".
constexpr double kOutputBound = 8.0 * 2.0;

class Renderer
{
public:
  Renderer(Vorna& plug, int blockSize) : mPlug(plug), mBlockSize(blockSize)
  {
    for (double*& in : mInputs) in = mSilence;
  }

  bool HasBudget() const { return mFrames + mBlockSize <= kMaxFrames; }

  void Block()
  {
    double* outputs[2] = {mLeft, mRight};
    mPlug.LockMutexAndProcessDoubleReplacing(mInputs, outputs, mBlockSize);
    mFrames += mBlockSize;
    for (int i = 0; i < mBlockSize; ++i)
      for (double x : {mLeft[i], mRight[i]})
        if (!std::isfinite(x) || std::fpclassify(x) == FP_SUBNORMAL || std::fabs(x) >= kOutputBound) __builtin_trap();
  }

private:
  Vorna& mPlug;
  int mBlockSize;
  int mFrames = 0;
  double mSilence[kMaxBlockSize] = {};
  double mLeft[kMaxBlockSize];
  double mRight[kMaxBlockSize];
  double* mInputs[8];
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 2) return 0;
  const int blockSize = kBlockSizes[data[0] % (sizeof(kBlockSizes) / sizeof(kBlockSizes[0]))];
  auto plug = std::make_unique<Vorna>(IPlugInstanceInfo{});
  plug->SetSampleRate(48000.0);
  plug->SetBlockSize(blockSize);
  plug->Reset();
  plug->SeedRandom(1);
  if (data[1] < kNumParams) plug->OnMenuClickMidiLearn(data[1]);

  Renderer render(*plug, blockSize);
  size_t pos = 2;
  while (pos < size)
  {
    const uint8_t op = data[pos++];
    if ((op & 3) == kRenderOp)
    {
      if (!render.HasBudget()) break;
      render.Block();
      continue;
    }
    const size_t length = size_t(op & 3) + 1;
    if (pos + length > size) break;
    const uint8_t* bytes = data + pos;
    pos += length;
    // The host's callback fills what a short message lacks with 0.
    IMidiMsg msg(op >> 2, bytes[0], length > 1 ? bytes[1] : 0, length > 2 ? bytes[2] : 0);
    plug->ProcessMidiMsg(&msg);
  }
  for (int k = 0; k < kTailBlocks && render.HasBudget(); ++k) render.Block();
  return 0;
}
