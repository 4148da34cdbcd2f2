#include "ControlLayout.h"

#include "EditorImages.h"
#include "EditorLayout.h"
#include "ImageCatalog.h"

#include <cstring>

namespace
{
constexpr int kLabelTextSize = 14;
// The master strip: everything below the two oscillators.
constexpr int kMasterStripTop = 550;
constexpr double kInkWidthShare = 0.85;

// A text line of 16-pixel text is 17 pixels high; widths follow from the longest
// text each control can show.
constexpr int kLine = 17;

struct TextWell
{
  int id, w;
};
constexpr TextWell kTextWells[] = {
    {130, 24}, {135, 24}, {20, 56}, {50, 56}, {6, 22}, {36, 22}, {8, 16}, {38, 16}, {10, 16}, {40, 16},
    {95, 16},  {106, 16}, {92, 56}, {103, 56}, {27, 24}, {57, 24}, {85, 22}, {63, 22},
    {kTooltipButtonId, 16}, {kInfoButtonId, 16}, {kTempoEntryId, 67},
};

int TextWidth(int id)
{
  for (const TextWell& well : kTextWells)
    if (well.id == id) return well.w;
  return 0;
}

template <size_t N>
bool In(const int (&ids)[N], int id)
{
  for (int i : ids)
    if (i == id) return true;
  return false;
}

Shown WhenShown(const ControlRow& row)
{
  const int id = row.id;
  const bool am = In(kAMGroup1, id) || In(kAMGroup2, id);
  const bool oam = In(kOAMGroup1, id) || In(kOAMGroup2, id);
  if (am && oam) return Shown::AmOrOamView;
  if (am) return Shown::AmView;
  if (oam) return Shown::OamView;
  if (In(kSyncWidthParams, id)) return Shown::SincWave;
  if (In(kPolysawTypeParams, id)) return Shown::PolySawWave;
  if (In(kHardSyncParams, id)) return Shown::HardSync;
  if (In(kFilterAddParams, id)) return Shown::Formant;
  if (In(kFilterPassTypeParams, id)) return Shown::NotFormant;
  if (In(kNeverShownParams, id)) return Shown::Never;
  // The channel-configuration button, which shares its id with the tooltip button.
  if (row.kind == ControlKind::kTextContactWithSignal && id == kChanConfigButtonId) return Shown::Plugin;
  return Shown::Always;
}

Band BandOf(const ControlRow& row)
{
  if (row.imageId == kShiverSyncImageId) return Band::Between;
  if (row.y >= kMasterStripTop) return Band::Master;
  return row.y >= kOsc2Offset ? Band::Osc2 : Band::Osc1;
}

LabelPlace PlaceOf(LabelOffset offset)
{
  if (offset.y == kLargeKnobLabel.y) return LabelPlace::LargeKnob;
  if (offset.y == kPolySwitchLabel.y) return LabelPlace::PolySwitch;
  return LabelPlace::Small;
}

std::vector<ControlPlace> MakePlaces()
{
  std::vector<ControlPlace> places;
  for (const ControlRow& row : kControlRows)
  {
    if (row.id == kNoControlId) continue;  // the empty text lines take no room
    ControlPlace place{row.id, row.imageId, row.x, row.y, 0, 0, nullptr, LabelPlace::None, WhenShown(row), BandOf(row)};
    if (row.imageId == 0)
    {
      place.w = TextWidth(row.id);
      place.h = kLine;
    }
    const bool buttonOfItsOwn = row.id == kTooltipButtonId || row.id == kInfoButtonId;
    if (const LabelRow* label = buttonOfItsOwn ? nullptr : FindLabelRow(row.id))
    {
      // The extra filter knob is seen only with the formant filter, under its word.
      place.label = place.shown == Shown::Formant ? kFormantAddParamLabel : label->text;
      place.labelPlace = PlaceOf(label->offset);
    }
    places.push_back(place);
  }
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
