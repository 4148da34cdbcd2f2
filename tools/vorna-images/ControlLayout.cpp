#include "ControlLayout.h"

#include "EditorImages.h"
#include "ImageCatalog.h"

#include <cstring>

namespace
{
constexpr int kOsc2Offset = 280;
constexpr int kLabelTextSize = 14;
constexpr double kInkWidthShare = 0.85;

// Oscillator 1's controls with their oscillator-2 twin (id, and label where it differs).
struct TwinPlace
{
  ControlPlace place;
  int twinId;
  const char* twinLabel;  // null: the same label
};

ControlPlace Image(int id, int image, int x, int y, const char* label = nullptr,
                   LabelPlace labelPlace = LabelPlace::None, Shown shown = Shown::Always)
{
  return {id, image, x, y, 0, 0, label, labelPlace, shown, Band::Osc1};
}

ControlPlace Text(int id, int x, int y, int w, int h, const char* label = nullptr,
                  LabelPlace labelPlace = LabelPlace::None, Shown shown = Shown::Always)
{
  return {id, 0, x, y, w, h, label, labelPlace, shown, Band::Osc1};
}

// A text line of 16-pixel text is 17 pixels high; widths follow from the longest
// text each control can show.
constexpr int kLine = 17;

const TwinPlace kOscillatorPlaces[] = {
    {Image(0, kButtonOnOffImageId, 5, 15), 30, nullptr},
    {Text(130, 4, 85, 24, kLine, "os", LabelPlace::Small), 135, nullptr},
    {Image(1, kWaveformImageId, 49, 120), 31, nullptr},
    {Image(2, kKnobMiniImageId, 77, 118, nullptr, LabelPlace::None, Shown::SincWave), 32, nullptr},
    {Image(131, kKnobMiniImageId, 77, 118, nullptr, LabelPlace::None, Shown::PolySawWave), 132, nullptr},
    {Image(4, kKnobBig16ImageId, 28, 26), 34, nullptr},
    {Image(3, kKnobSmall16ImageId, 49, 45), 33, nullptr},
    {Image(19, kKnobSymImageId, 49, 151, "fm", LabelPlace::LargeKnob), 49, nullptr},
    {Text(20, 43, 208, 56, kLine), 50, nullptr},
    {Image(65, kKnobSmallerImageId, 133, 88, "shvr", LabelPlace::Small), 67, nullptr},
    {Image(66, kKnobSmallerImageId, 133, 133, "s spd", LabelPlace::Small), 68, nullptr},
    {Image(5, kKnobSymImageId, 128, 26, "tune", LabelPlace::LargeKnob), 35, nullptr},
    {Text(6, 161, 21, 22, kLine), 36, nullptr},
    {Image(11, kKnobSmallerImageId, 133, 178, "phase", LabelPlace::Small), 41, nullptr},
    {Image(70, kKnobSmallerImageId, 195, 88, "shvr", LabelPlace::Small), 72, nullptr},
    {Image(71, kKnobSmallerImageId, 195, 133, "s spd", LabelPlace::Small), 73, nullptr},
    {Image(7, kKnobSymImageId, 190, 26, "bend", LabelPlace::LargeKnob), 37, nullptr},
    {Image(9, kBendWindowSizeImageId, 233, 18), 39, nullptr},
    {Text(8, 232, 40, 16, kLine), 38, nullptr},
    {Text(10, 232, 57, 16, kLine), 40, nullptr},
    {Image(-139, kAMViewSwitchImageId, 307, 15), -140, nullptr},
    {Image(12, kKnobImageId, 285, 26, "noise", LabelPlace::LargeKnob), 42, nullptr},
    {Image(13, kKnobNoiseColorImageId, 286, 190, "n col", LabelPlace::Small, Shown::AmView), 43, nullptr},
    {Image(15, kKnobImageId, 285, 80, "osc v", LabelPlace::LargeKnob, Shown::AmOrOamView), 45, nullptr},
    {Image(16, kKnobImageId, 285, 135, "aux", LabelPlace::LargeKnob, Shown::AmView), 46, nullptr},
    {Image(125, kButtonOnOffSmallImageId, 350, 208, "flt aux", LabelPlace::Small, Shown::AmView), 126, nullptr},
    {Image(18, kKnobSmallerImageId, 340, 134, "depth", LabelPlace::Small, Shown::AmView), 48, nullptr},
    {Image(121, kKnobSmallerImageId, 340, 88, "thresh", LabelPlace::Small, Shown::OamView), 122, nullptr},
    {Image(14, kKnobSmallerImageId, 340, 88, "thresh", LabelPlace::Small, Shown::AmView), 44, nullptr},
    {Image(17, kKnobImageId, 334, 26, "osc 2 am", LabelPlace::LargeKnob), 47, "osc 1 am"},
    {Image(113, kPrePostFilterImageId, 337, 184, nullptr, LabelPlace::None, Shown::AmView), 114, nullptr},
    {Image(115, kPrePostFilterImageId, 337, 138, nullptr, LabelPlace::None, Shown::OamView), 116, nullptr},
    {Image(117, kPrePostFilterImageId, 337, 158, nullptr, LabelPlace::None, Shown::OamView), 118, nullptr},
    {Image(123, kButtonOnOffSmallImageId, 300, 170, "+ aux 2", LabelPlace::Small, Shown::OamView), 124, "+ aux 1"},
    {Image(119, kButtonOnOffSmallImageId, 300, 140, "flt carr", LabelPlace::Small, Shown::OamView), 120, nullptr},
    {Image(91, kButtonOnOffSmallImageId, 420, 18), 102, nullptr},
    {Text(95, 454, 20, 16, kLine), 106, nullptr},
    {Image(94, kKnobImageId, 420, 26, "f", LabelPlace::LargeKnob), 105, nullptr},
    {Image(96, kKnobImageId, 420, 75, "q", LabelPlace::LargeKnob), 107, nullptr},
    {Image(93, kFilterPassImageId, 473, 30, nullptr, LabelPlace::None, Shown::NotFormant), 104, nullptr},
    {Text(92, 460, 60, 56, kLine), 103, nullptr},
    {Image(136, kKnobSmallerSymImageId, 473, 178, "size", LabelPlace::Small, Shown::Formant), 137, nullptr},
    {Image(97, kKnobSmallerSymImageId, 473, 85, "env", LabelPlace::Small), 108, nullptr},
    {Image(133, kKnobSmallerImageId, 473, 132, "drive", LabelPlace::Small), 134, nullptr},
    {Image(75, kKnobSmallerImageId, 426, 132, "shvr", LabelPlace::Small), 77, nullptr},
    {Image(76, kKnobSmallerImageId, 426, 178, "s spd", LabelPlace::Small), 78, nullptr},
    {Image(98, kKnobSmallerImageId, 520, 36, "A", LabelPlace::Small), 109, nullptr},
    {Image(99, kKnobSmallerImageId, 520, 85, "D", LabelPlace::Small), 110, nullptr},
    {Image(100, kKnobSmallerImageId, 520, 132, "S", LabelPlace::Small), 111, nullptr},
    {Image(101, kKnobSmallerImageId, 520, 178, "R", LabelPlace::Small), 112, nullptr},
    {Image(21, kKnobSmallerImageId, 595, 36, "A", LabelPlace::Small), 51, nullptr},
    {Image(22, kKnobSmallerImageId, 595, 84, "D", LabelPlace::Small), 52, nullptr},
    {Image(23, kKnobSmallerImageId, 595, 132, "S", LabelPlace::Small), 53, nullptr},
    {Image(24, kKnobSmallerImageId, 595, 178, "R", LabelPlace::Small), 54, nullptr},
    {Text(27, 644, 85, 24, kLine), 57, nullptr},
    {Image(29, kKnobSmallerImageId, 640, 105, "sl soft", LabelPlace::Small), 59, nullptr},
    {Image(25, kKnobSymImageId, 685, 25, "pan", LabelPlace::LargeKnob), 55, nullptr},
    {Image(26, kKnobImageId, 635, 25, "vol", LabelPlace::LargeKnob), 56, nullptr},
    {Image(80, kKnobSmallerImageId, 690, 87, "shvr", LabelPlace::Small), 82, nullptr},
    {Image(81, kKnobSmallerImageId, 690, 132, "s spd", LabelPlace::Small), 83, nullptr},
    {Image(28, kKnobSmallerImageId, 715, 95, "fb", LabelPlace::Small, Shown::Never), 58, nullptr},
};

ControlPlace InBand(ControlPlace place, Band band)
{
  place.band = band;
  return place;
}

std::vector<ControlPlace> MakePlaces()
{
  std::vector<ControlPlace> places;
  for (const TwinPlace& twin : kOscillatorPlaces) places.push_back(twin.place);
  for (const TwinPlace& twin : kOscillatorPlaces)
  {
    ControlPlace place = InBand(twin.place, Band::Osc2);
    place.id = twin.twinId;
    place.y += kOsc2Offset;
    if (twin.twinLabel) place.label = twin.twinLabel;
    places.push_back(place);
  }
  const ControlPlace between[] = {
      Image(64, kShiverSyncImageId, 120, 250),
      Image(69, kShiverSyncImageId, 183, 250),
      Image(74, kShiverSyncImageId, 414, 250),
      Image(79, kShiverSyncImageId, 677, 250),
  };
  for (const ControlPlace& place : between) places.push_back(InBand(place, Band::Between));
  const ControlPlace master[] = {
      Image(128, kKnobImageId, 407, 553, "amp", LabelPlace::LargeKnob),
      Image(127, kKnobSmallerImageId, 365, 567, "sl soft", LabelPlace::Small),
      Image(84, kButtonOnOffImageId, 165, 560, "poly", LabelPlace::PolySwitch),
      Text(85, 165, 580, 22, kLine),
      Image(129, kMidiPanicImageId, 305, 563),
      Image(86, kKnobImageId, 205, 553, "glide", LabelPlace::LargeKnob),
      Image(87, kButtonOnOffSmallImageId, 260, 563),
      Image(89, kButtonOnOffSmallImageId, 260, 583),
      Image(88, kButtonOnOffSmallImageId, 280, 563),
      Image(90, kButtonOnOffSmallImageId, 280, 583),
      Image(61, kHardSyncImageId, 35, 552, "hs", LabelPlace::Small),
      Image(62, kKnobSmallerImageId, 110, 567, "soft", LabelPlace::Small, Shown::HardSync),
      Text(63, 72, 580, 22, kLine, "period", LabelPlace::Small, Shown::HardSync),
      Image(60, kPrePostFilterImageId, 65, 560, nullptr, LabelPlace::None, Shown::HardSync),
      Text(-149, 470, 550, 16, kLine),
      Text(-148, 490, 550, 16, kLine),
      Text(-149, 510, 550, 16, kLine, nullptr, LabelPlace::None, Shown::Plugin),
      Text(-144, 500, 580, 67, kLine, "bpm", LabelPlace::Small),
  };
  for (const ControlPlace& place : master) places.push_back(InBand(place, Band::Master));
  return places;
}

int LabelShift(LabelPlace place)
{
  switch (place)
  {
  case LabelPlace::LargeKnob: return 1;
  case LabelPlace::Small: return 7;
  case LabelPlace::PolySwitch: return 22;
  default: return 0;
  }
}
}  // namespace

const std::vector<ControlPlace>& ControlPlaces()
{
  static const std::vector<ControlPlace> places = MakePlaces();
  return places;
}

bool IsTextControl(const ControlPlace& place) { return place.imageId == 0; }

Box ControlBox(const ControlPlace& place)
{
  if (IsTextControl(place)) return {double(place.x), double(place.y), double(place.x + place.w), double(place.y + place.h)};
  const StripDesign* design = FindStripDesign(place.imageId);
  return {double(place.x), double(place.y), double(place.x + design->frameWidth), double(place.y + design->frameHeight)};
}

Box LabelBox(const ControlPlace& place)
{
  if (!place.label || place.labelPlace == LabelPlace::None) return {};
  const Box body = ControlBox(place);
  const int bodyW = int(body.x1 - body.x0), bodyH = int(body.y1 - body.y0);
  const int w = int(0.5 * kLabelTextSize * std::strlen(place.label));
  const int h = int(1.1 * kLabelTextSize);
  const int dx = int((bodyW - w) * 0.5) + (place.labelPlace == LabelPlace::LargeKnob ? -4 : 0);
  const int dy = int((bodyH - h) * 0.5) + bodyH / 2 + LabelShift(place.labelPlace);
  return {body.x0 + dx, body.y0 + dy, body.x0 + dx + w, body.y0 + dy + h};
}

Box LabelInkBox(const ControlPlace& place)
{
  const Box box = LabelBox(place);
  if (box.x1 <= box.x0) return box;
  // The editor's estimate allows 7 pixels a letter; its face's letters average less.
  const double inset = (box.x1 - box.x0) * (1 - kInkWidthShare) / 2;
  return {box.x0 + inset, box.y0 + 2, box.x1 - inset, box.y0 + 13};
}
