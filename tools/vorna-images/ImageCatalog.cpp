#include "ImageCatalog.h"

#include "DisplayImages.h"
#include "KnobImages.h"
#include "SwitchImages.h"

namespace
{
// The value frame k of n stands for, as a bitmap control picks it.
double ValueOf(int frame, int frames) { return frames > 1 ? double(frame) / (frames - 1) : 0.0; }

StripDesign Knob(EditorImageId id, const KnobGeometry& g, KnobKind kind)
{
  return {id, g.width, g.height,
          [&g, kind](Canvas& c, int k, int n) { DrawKnob(c, g, kind, ValueOf(k, n)); }};
}

std::vector<StripDesign> MakeDesigns()
{
  return {
      Knob(kKnobImageId, kLargeKnob, KnobKind::Unipolar),
      Knob(kKnobSmallerImageId, kSmallKnob, KnobKind::Unipolar),
      Knob(kKnobMiniImageId, kMiniKnob, KnobKind::Unipolar),
      Knob(kKnobSymImageId, kLargeKnob, KnobKind::Bipolar),
      Knob(kKnobSmallerSymImageId, kSmallKnob, KnobKind::Bipolar),
      {kKnobBig16ImageId, kDenominatorSize, kDenominatorSize, [](Canvas& c, int k, int) { DrawDenominatorDial(c, k); }},
      {kKnobSmall16ImageId, kNumeratorSize, kNumeratorSize, [](Canvas& c, int k, int) { DrawNumeratorKnob(c, k); }},
      {kButtonOnOffImageId, kButtonSize, kButtonSize, [](Canvas& c, int k, int) { DrawButton(c, k == 1); }},
      {kWaveformImageId, kWaveformWidth, kWaveformHeight, [](Canvas& c, int k, int) { DrawWaveform(c, k); }},
      {kHardSyncImageId, kHardSyncWidth, kHardSyncHeight, [](Canvas& c, int k, int) { DrawHardSync(c, k); }},
      {kMidiPanicImageId, kPanicSize, kPanicSize, [](Canvas& c, int k, int) { DrawPanicButton(c, k == 1); }},
      {kShiverSyncImageId, kShiverSyncWidth, kShiverSyncHeight, [](Canvas& c, int k, int) { DrawShiverSync(c, k); }},
      {kFilterPassImageId, kFilterPassWidth, kFilterPassHeight, [](Canvas& c, int k, int) { DrawFilterPass(c, k); }},
      {kPrePostFilterImageId, kPrePostWidth, kPrePostHeight, [](Canvas& c, int k, int) { DrawPrePostSwitch(c, k == 1); }},
      {kKnobNoiseColorImageId, kSmallKnob.width, kSmallKnob.height,
       [](Canvas& c, int k, int n) { DrawNoiseColourKnob(c, ValueOf(k, n)); }},
      {kButtonOnOffSmallImageId, kSmallButtonSize, kSmallButtonSize, [](Canvas& c, int k, int) { DrawSmallButton(c, k == 1); }},
      {kBendWindowSizeImageId, kBendWindowWidth, kBendWindowHeight, [](Canvas& c, int k, int) { DrawBendWindow(c, k); }},
      {kAMViewSwitchImageId, kViewSwitchWidth, kViewSwitchHeight, [](Canvas& c, int k, int) { DrawViewSwitch(c, k); }},
  };
}
}  // namespace

const std::vector<StripDesign>& StripDesigns()
{
  static const std::vector<StripDesign> designs = MakeDesigns();
  return designs;
}

const StripDesign* FindStripDesign(int id)
{
  for (const StripDesign& design : StripDesigns())
    if (design.id == id) return &design;
  return nullptr;
}

Canvas DrawFrame(const StripDesign& design, int frame, int frames)
{
  Canvas canvas(design.frameWidth, design.frameHeight);
  design.drawFrame(canvas, frame, frames);
  return canvas;
}

Canvas DrawStrip(const StripDesign& design, int frames)
{
  Canvas strip(design.frameWidth, design.frameHeight * frames);
  for (int k = 0; k < frames; ++k) strip.Place(DrawFrame(design, k, frames), 0, k * design.frameHeight);
  return strip;
}
