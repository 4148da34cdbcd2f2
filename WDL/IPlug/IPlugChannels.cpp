// The audio channel model of IPlugBase: legal configurations, connections,
// scratch buffers, labels and the road of host buffers through processing.
#include "IPlugBase.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace
{
// Reads a decimal integer as "%d" would (leading blanks skipped), saturating
// instead of overflowing; 0, with *end == text, when there is none.
int ReadInt(const char* text, const char** end)
{
  char* stop = nullptr;
  errno = 0;
  const long value = std::strtol(text, &stop, 10);
  *end = stop;
  return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// [first, first + n) clipped to [0, count).
void ClipRange(int first, int n, int count, int* begin, int* end)
{
  const long long last = std::min<long long>(static_cast<long long>(first) + n, count);
  *begin = std::max(first, 0);
  *end = static_cast<int>(std::max<long long>(last, *begin));
}

void CopyOrSilence(const double* in, double* out, int nFrames)
{
  if (!out || nFrames <= 0) return;
  if (!in)
    std::memset(out, 0, sizeof(double) * static_cast<size_t>(nFrames));
  else if (in != out)
    std::memmove(out, in, sizeof(double) * static_cast<size_t>(nFrames));
}

// Replaces label i of the list, or inserts it at the list's end when there is none.
void ReplaceLabel(WDL_PtrList<WDL_String>* labels, int i, const char* text)
{
  labels->Delete(i, true);
  labels->Insert(i, new WDL_String(text ? text : ""));
}
}  // namespace

void IPlugBase::ParseChannelIO(const char* channelIOStr, int* nInputs, int* nOutputs)
{
  *nInputs = *nOutputs = 0;
  for (const char* token = channelIOStr; token;)
  {
    const char* end = token;
    const int in = ReadInt(token, &end);
    int out = 0;
    if (end != token && *end == '-') out = ReadInt(end + 1, &end);
    mChannelIO.Add(new ChannelIO{in, out});
    *nInputs = std::max(*nInputs, in);
    *nOutputs = std::max(*nOutputs, out);

    token = std::strchr(token, ' ');
    if (token) ++token;
  }
}

bool IPlugBase::GetChannelIO(int idx, int* nIn, int* nOut) const
{
  const ChannelIO* io = mChannelIO.Get(idx);
  if (!io) return false;
  if (nIn) *nIn = io->mIn;
  if (nOut) *nOut = io->mOut;
  return true;
}

bool IPlugBase::LegalIO(int nIn, int nOut) const
{
  for (int i = 0; i < mChannelIO.GetSize(); ++i)
  {
    const ChannelIO* io = mChannelIO.Get(i);
    if ((nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut)) return true;
  }
  return false;
}

void IPlugBase::LimitToStereoIO()
{
  if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

bool IPlugBase::IsInChannelConnected(int chIdx) const
{
  const InChannel* ch = mInChannels.Get(chIdx);
  return ch && ch->mConnected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const
{
  const OutChannel* ch = mOutChannels.Get(chIdx);
  return ch && ch->mConnected;
}

void IPlugBase::SetInputChannelConnections(int first, int n, bool connected)
{
  int begin, end;
  ClipRange(first, n, NInChannels(), &begin, &end);
  for (int i = begin; i < end; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    ch->mConnected = connected;
    if (!connected) *ch->mSrc = ch->mScratchBuf.Get();
  }
}

void IPlugBase::SetOutputChannelConnections(int first, int n, bool connected)
{
  int begin, end;
  ClipRange(first, n, NOutChannels(), &begin, &end);
  for (int i = begin; i < end; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    ch->mConnected = connected;
    if (!connected) *ch->mDest = ch->mScratchBuf.Get();
  }
}

void IPlugBase::RouteUnconnectedToScratch()
{
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (!ch->mConnected) *ch->mSrc = ch->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) *ch->mDest = ch->mScratchBuf.Get();
  }
}

void IPlugBase::SetBlockSize(int blockSize)
{
  if (blockSize == mBlockSize) return;
  const int n = std::max(blockSize, 0);
  for (int i = 0; i < NInChannels(); ++i)
  {
    WDL_TypedBuf<double>& buf = mInChannels.Get(i)->mScratchBuf;
    if (double* p = buf.Resize(n)) std::fill(p, p + buf.GetSize(), 0.0);
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    WDL_TypedBuf<double>& buf = mOutChannels.Get(i)->mScratchBuf;
    if (double* p = buf.Resize(n)) std::fill(p, p + buf.GetSize(), 0.0);
  }
  // Resizing may move the scratch buffers that unconnected channels point at.
  RouteUnconnectedToScratch();
  mBlockSize = blockSize;
}

void IPlugBase::ZeroScratchBuffers()
{
  for (int i = 0; i < NInChannels(); ++i)
  {
    WDL_TypedBuf<double>& buf = mInChannels.Get(i)->mScratchBuf;
    if (buf.Get()) std::fill(buf.Get(), buf.Get() + std::min(mBlockSize, buf.GetSize()), 0.0);
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    WDL_TypedBuf<double>& buf = mOutChannels.Get(i)->mScratchBuf;
    if (buf.Get()) std::fill(buf.Get(), buf.Get() + std::min(mBlockSize, buf.GetSize()), 0.0);
  }
}

void IPlugBase::SetInputLabel(int chIdx, const char* label)
{
  if (InChannel* ch = mInChannels.Get(chIdx)) ch->mLabel.Set(label ? label : "");
}

void IPlugBase::SetOutputLabel(int chIdx, const char* label)
{
  if (OutChannel* ch = mOutChannels.Get(chIdx)) ch->mLabel.Set(label ? label : "");
}

const char* IPlugBase::GetInputLabel(int chIdx) const
{
  const InChannel* ch = mInChannels.Get(chIdx);
  return ch ? ch->mLabel.Get() : "";
}

const char* IPlugBase::GetOutputLabel(int chIdx) const
{
  const OutChannel* ch = mOutChannels.Get(chIdx);
  return ch ? ch->mLabel.Get() : "";
}

void IPlugBase::SetInputBusLabel(int busIdx, const char* label)
{
  if (busIdx == 0 || busIdx == 1) ReplaceLabel(&mInputBusLabels, busIdx, label);
}

void IPlugBase::SetOutputBusLabel(int busIdx, const char* label)
{
  if (busIdx >= 0) ReplaceLabel(&mOutputBusLabels, busIdx, label);
}

const char* IPlugBase::GetInputBusLabel(int busIdx) const
{
  const WDL_String* label = mInputBusLabels.Get(busIdx);
  return label ? label->Get() : "";
}

const char* IPlugBase::GetOutputBusLabel(int busIdx) const
{
  const WDL_String* label = mOutputBusLabels.Get(busIdx);
  return label ? label->Get() : "";
}

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  if (!outputs) return;
  const int nIn = NInChannels();
  for (int i = 0; i < NOutChannels(); ++i)
    CopyOrSilence((inputs && i < nIn) ? inputs[i] : nullptr, outputs[i], nFrames);
}

void IPlugBase::AttachInputBuffers(int first, int n, double** buffers)
{
  if (!buffers) return;
  int begin, end;
  ClipRange(first, n, NInChannels(), &begin, &end);
  for (int i = begin; i < end; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (ch->mConnected) *ch->mSrc = *buffers++;
  }
}

void IPlugBase::AttachInputBuffers(int first, int n, float** buffers, int nFrames)
{
  if (!buffers) return;
  int begin, end;
  ClipRange(first, n, NInChannels(), &begin, &end);
  for (int i = begin; i < end; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (!ch->mConnected) continue;
    const float* src = *buffers++;
    double* scratch = ch->mScratchBuf.Get();
    const int frames = std::min(nFrames, ch->mScratchBuf.GetSize());
    for (int s = 0; src && s < frames; ++s) scratch[s] = src[s];
    *ch->mSrc = scratch;
  }
}

void IPlugBase::AttachOutputBuffers(int first, int n, double** buffers)
{
  if (!buffers) return;
  int begin, end;
  ClipRange(first, n, NOutChannels(), &begin, &end);
  for (int i = begin; i < end; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (ch->mConnected) *ch->mDest = *buffers++;
  }
}

void IPlugBase::AttachOutputBuffers(int first, int n, float** buffers)
{
  if (!buffers) return;
  int begin, end;
  ClipRange(first, n, NOutChannels(), &begin, &end);
  for (int i = begin; i < end; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    *ch->mDest = ch->mScratchBuf.Get();
    ch->mFDest = *buffers++;
  }
}

void IPlugBase::PassThroughBuffers(double, int nFrames)
{
  IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

// Hands each connected output's double scratch to the host's float buffer.
void IPlugBase::CopyOutputsToFloat(int nFrames, bool accumulate)
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    const double* src = *ch->mDest;
    if (!ch->mConnected || !ch->mFDest || !src) continue;
    if (accumulate)
      for (int s = 0; s < nFrames; ++s) ch->mFDest[s] += static_cast<float>(src[s]);
    else
      for (int s = 0; s < nFrames; ++s) ch->mFDest[s] = static_cast<float>(src[s]);
  }
}

void IPlugBase::PassThroughBuffers(float, int nFrames)
{
  nFrames = std::min(nFrames, mBlockSize);
  IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  CopyOutputsToFloat(nFrames, false);
}

void IPlugBase::ProcessBuffers(double, int nFrames)
{
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::ProcessBuffers(float, int nFrames)
{
  nFrames = std::min(nFrames, mBlockSize);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  CopyOutputsToFloat(nFrames, false);
}

void IPlugBase::ProcessBuffersAccumulating(float, int nFrames)
{
  nFrames = std::min(nFrames, mBlockSize);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  CopyOutputsToFloat(nFrames, true);
}
