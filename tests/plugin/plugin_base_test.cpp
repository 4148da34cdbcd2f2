#include "IPlugVersion.h"
#include "test_plugs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using testplug::BarePlug;
using testplug::RecordingGraphics;

TEST(IPlugBaseChannels, TheSynthConfigurationGivesEightInputsAndTwoOutputs)
{
  BarePlug plug("2-2 4-2 6-2 8-2");
  EXPECT_EQ(plug.NChannelIO(), 4);
  EXPECT_EQ(plug.NInChannels(), 8);
  EXPECT_EQ(plug.NOutChannels(), 2);
  int in = -9, out = -9;
  ASSERT_TRUE(plug.GetChannelIO(2, &in, &out));
  EXPECT_EQ(in, 6);
  EXPECT_EQ(out, 2);
  EXPECT_FALSE(plug.GetChannelIO(4, &in, &out));

  EXPECT_TRUE(plug.LegalIO(6, 2));
  EXPECT_FALSE(plug.LegalIO(3, 2));
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(8, -1));
  EXPECT_FALSE(plug.LegalIO(8, 1));
  EXPECT_FALSE(plug.IsInChannelConnected(0));  // nothing is connected at first
  EXPECT_FALSE(plug.IsOutChannelConnected(8));
}

TEST(IPlugBaseChannels, OddConfigurationStringsParseLikeScanf)
{
  BarePlug none(nullptr);
  EXPECT_EQ(none.NChannelIO(), 0);
  EXPECT_EQ(none.NInChannels(), 0);
  EXPECT_FALSE(none.LegalIO(-1, -1));  // no configurations, nothing is legal

  // A token that does not start with a number is 0-0; a missing output is 0.
  BarePlug odd("x-3 1 2-x 99999999999-1");
  ASSERT_EQ(odd.NChannelIO(), 4);
  int in, out;
  odd.GetChannelIO(0, &in, &out);
  EXPECT_EQ(in, 0);
  EXPECT_EQ(out, 0);
  odd.GetChannelIO(1, &in, &out);
  EXPECT_EQ(in, 1);
  EXPECT_EQ(out, 0);
  odd.GetChannelIO(2, &in, &out);
  EXPECT_EQ(in, 2);
  EXPECT_EQ(out, 0);
  odd.GetChannelIO(3, &in, &out);
  EXPECT_EQ(out, 1);
  EXPECT_TRUE(odd.LegalIO(0, 0));
}

TEST(IPlugBaseChannels, UnconnectedChannelsUseTheirScratchEvenAfterTheBlockSizeChanges)
{
  BarePlug plug("2-2 4-4");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 4, true);
  plug.SetOutputChannelConnections(0, 4, true);
  plug.LimitToStereoIO();
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));

  // Growing the block moves the scratch buffers; the unconnected inputs must
  // follow them, or processing would read freed memory.
  plug.SetBlockSize(5000);
  std::vector<double> in0(5000, 1.0), in1(5000, 2.0);
  std::vector<double> out[4] = {std::vector<double>(5000, 9.0), std::vector<double>(5000, 9.0),
                                std::vector<double>(5000, 9.0), std::vector<double>(5000, 9.0)};
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[4] = {out[0].data(), out[1].data(), out[2].data(), out[3].data()};
  plug.AttachInputBuffers(0, 4, ins);
  plug.AttachOutputBuffers(0, 4, outs);
  plug.PassThroughBuffers(0.0, 5000);
  EXPECT_EQ(out[0][4999], 1.0);
  EXPECT_EQ(out[1][4999], 2.0);
  EXPECT_EQ(out[2][4999], 0.0);  // from the zeroed scratch of input 2
  EXPECT_EQ(out[3][0], 0.0);

  // Ranges past either end are clipped.
  plug.SetInputChannelConnections(-5, 100, true);
  EXPECT_TRUE(plug.IsInChannelConnected(3));
  EXPECT_FALSE(plug.IsInChannelConnected(-1));
}

TEST(IPlugBaseChannels, BlockSizeChangesZeroScratchOnlyWhenTheSizeChanges)
{
  BarePlug plug("1-1");
  plug.SetBlockSize(8);
  EXPECT_EQ(plug.GetBlockSize(), 8);
  // Fill the output scratch through the float road, where outputs render into it.
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  float in[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  float out[8] = {};
  float* ins[1] = {in};
  float* outs[1] = {out};
  plug.AttachInputBuffers(0, 1, ins, 8);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(out[7], 8.0f);

  // Same size: the scratch keeps its samples, as disconnecting the input shows.
  plug.SetBlockSize(8);
  plug.SetInputChannelConnections(0, 1, false);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(out[7], 8.0f);
  // A new size zeroes it.
  plug.SetBlockSize(9);
  plug.SetBlockSize(8);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(out[7], 0.0f);
}

TEST(IPlugBaseChannels, FloatRoadConvertsAccumulatesAndNeverPassesTheBlock)
{
  BarePlug plug("2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  float inL[8] = {0.5f, -0.5f, 1.0f, 0.25f, 7, 7, 7, 7};
  float inR[8] = {1, 2, 3, 4, 7, 7, 7, 7};
  float outL[8] = {1, 1, 1, 1, -3, -3, -3, -3};
  float outR[8] = {};
  float* ins[2] = {inL, inR};
  float* outs[2] = {outL, outR};
  // Asked for 8 frames with a block of 4: the scratch buffers hold 4.
  plug.AttachInputBuffers(0, 2, ins, 8);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffersAccumulating(0.0f, 8);
  EXPECT_EQ(outL[0], 1.5f);
  EXPECT_EQ(outL[1], 0.5f);
  EXPECT_EQ(outL[3], 1.25f);
  EXPECT_EQ(outL[4], -3.0f);  // untouched past the block
  plug.PassThroughBuffers(0.0f, 4);
  EXPECT_EQ(outR[3], 4.0f);
}

TEST(IPlugBaseChannels, DefaultProcessingCopiesInputsAndSilencesTheRest)
{
  BarePlug plug("1-3");
  double in0[3] = {1, 2, 3};
  double out0[3] = {}, out1[3] = {5, 5, 5}, out2[3] = {5, 5, 5};
  double* ins[1] = {in0};
  double* outs[3] = {out0, out1, out2};
  plug.ProcessDoubleReplacing(ins, outs, 3);
  EXPECT_EQ(out0[2], 3.0);
  EXPECT_EQ(out1[0], 0.0);
  EXPECT_EQ(out2[2], 0.0);
}

TEST(IPlugBaseChannels, LabelsAndBusLabels)
{
  BarePlug plug("2-2");
  plug.SetInputLabel(1, "right in");
  plug.SetInputLabel(2, "ignored");
  plug.SetOutputLabel(0, "left out");
  EXPECT_STREQ(plug.GetInputLabel(1), "right in");
  EXPECT_STREQ(plug.GetOutputLabel(0), "left out");
  EXPECT_STREQ(plug.GetInputLabel(2), "");

  plug.SetInputBusLabel(2, "no third input bus");
  EXPECT_STREQ(plug.GetInputBusLabel(2), "");
  plug.SetInputBusLabel(1, "side");  // inserted at the end: index 0
  EXPECT_STREQ(plug.GetInputBusLabel(0), "side");
  plug.SetInputBusLabel(0, "main");  // replaces it
  EXPECT_STREQ(plug.GetInputBusLabel(0), "main");
  EXPECT_STREQ(plug.GetInputBusLabel(1), "");
  plug.SetOutputBusLabel(5, "out");
  plug.SetOutputBusLabel(-1, "never");
  EXPECT_STREQ(plug.GetOutputBusLabel(0), "out");
}

TEST(IPlugBaseIdentity, VersionsApiAndNames)
{
  BarePlug plug("2-2");
  EXPECT_EQ(plug.GetEffectVersion(false), 0x010203);
  EXPECT_EQ(plug.GetEffectVersion(true), 10203);
  char text[kVersionStrSize];
  plug.GetEffectVersionStr(text);
  EXPECT_STREQ(text, "v1.2.3");
  GetVersionStr(0x708, text);
  EXPECT_STREQ(text, "v0.7.8");
  EXPECT_EQ(GetDecimalVersion(0x708), 708);
  EXPECT_STREQ(plug.GetAPIString(), "VST2");
  EXPECT_STREQ(plug.GetArchString(), "x64");
  EXPECT_EQ(plug.GetHost(), kHostUninit);

  plug.SetHost("REAPER v7", 0x070000);
  EXPECT_EQ(plug.GetHost(), kHostReaper);
  EXPECT_EQ(plug.GetHostVersion(true), 70000);

  EXPECT_STREQ(plug.GetEffectName(), "Bare");
  EXPECT_STREQ(plug.GetMfrName(), "Maker");
  // Names longer than their field are cut, not overrun.
  const std::string longName(300, 'n');
  BarePlug named("1-1", 3, 2, true, longName.c_str());
  EXPECT_EQ(std::strlen(named.GetEffectName()), static_cast<size_t>(IPlugBase::kMaxNameSize - 1));

  char noteName[8] = "x";
  EXPECT_FALSE(plug.MidiNoteName(60, noteName));
  EXPECT_STREQ(noteName, "");
}

TEST(IPlugBaseParams, ChangesFromTheEditorSetInformAndAnnounce)
{
  BarePlug plug("2-2");
  testplug::DefineParams(&plug);
  plug.SetParameterFromGUI(1, 0.5);  // mode 0..4: 2
  EXPECT_EQ(plug.GetParam(1)->Value(), 2.0);
  ASSERT_EQ(plug.calls.hostInforms.size(), 1u);
  EXPECT_EQ(plug.calls.hostInforms[0].first, 1);
  EXPECT_EQ(plug.calls.hostInforms[0].second, 0.5);
  EXPECT_EQ(plug.calls.paramChanges, std::vector<int>{1});

  plug.SetParameterFromGUI(3, 0.5);
  plug.SetParameterFromGUI(-1, 0.5);
  EXPECT_EQ(plug.calls.hostInforms.size(), 1u);  // nothing called for a missing parameter
  EXPECT_EQ(plug.calls.paramChanges.size(), 1u);

  plug.OnParamReset();
  EXPECT_EQ(plug.calls.paramChanges, (std::vector<int>{1, 0, 1, 2}));
  plug.DirtyParameters();
  ASSERT_EQ(plug.calls.hostInforms.size(), 4u);
  EXPECT_EQ(plug.calls.hostInforms[3].second, 0.25);
}

TEST(IPlugBaseGraphics, AttachingShowsEveryNormalisedValueThenPreparesAndOwnsTheEditor)
{
  bool deleted = false;
  {
    BarePlug plug("2-2");
    testplug::DefineParams(&plug);
    plug.RedrawParamControls();  // no editor yet: nothing to do, nothing to crash
    plug.AttachGraphics(nullptr);
    EXPECT_EQ(plug.GetGUI(), nullptr);

    auto* gui = new RecordingGraphics(&plug, 100, 50, &deleted);
    plug.AttachGraphics(gui);
    EXPECT_EQ(plug.GetGUI(), gui);
    ASSERT_EQ(gui->shown.size(), 3u);
    EXPECT_EQ(gui->prepDrawAfter, 3);
    EXPECT_EQ(gui->shown[1].value, 0.75);
    EXPECT_TRUE(gui->shown[1].normalized);

    gui->shown.clear();
    plug.RedrawParamControls();  // plain values this time
    ASSERT_EQ(gui->shown.size(), 3u);
    EXPECT_EQ(gui->shown[1].value, 3.0);
    EXPECT_FALSE(gui->shown[1].normalized);
    EXPECT_FALSE(deleted);
  }
  EXPECT_TRUE(deleted);
}

TEST(IPlugBaseMidi, SendingAListReportsWhetherEveryMessageWent)
{
  BarePlug plug("2-2");
  WDL_TypedBuf<IMidiMsg> msgs;
  msgs.Add(IMidiMsg(0, 0x90, 60, 100));
  msgs.Add(IMidiMsg(0, 0xFF, 0, 0));
  msgs.Add(IMidiMsg(0, 0x80, 60, 0));
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  EXPECT_EQ(plug.sent.size(), 3u);  // a failure does not stop the rest
  msgs.Delete(1);
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));

  IMidiMsg forwarded(0, 0xB0, 7, 64);
  plug.ProcessMidiMsg(&forwarded);
  EXPECT_EQ(plug.sent.back().mData2, 64);
}
