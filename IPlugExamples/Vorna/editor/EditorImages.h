#pragma once

// The editor's images: the background and the eighteen control strips, each a PNG
// file in resources/img/ with its frames stacked top to bottom. The editor loads
// them by these ids and names; the image generator (tools/vorna-images) draws every
// one of them with exactly this many frames.

constexpr int kEditorWidth = 770;
constexpr int kEditorHeight = 650;

constexpr const char* kEditorImageFolder = "resources/img/";

enum EditorImageId
{
  kBackgroundImageId = 101,
  kKnobImageId = 105,
  kKnobBig16ImageId = 106,
  kWaveformImageId = 107,
  kButtonOnOffImageId = 108,
  kHardSyncImageId = 110,
  kMidiPanicImageId = 111,
  kKnobSmall16ImageId = 112,
  kShiverSyncImageId = 113,
  kFilterPassImageId = 114,
  kPrePostFilterImageId = 115,
  kKnobSymImageId = 117,
  kKnobNoiseColorImageId = 118,
  kButtonOnOffSmallImageId = 119,
  kKnobMiniImageId = 120,
  kBendWindowSizeImageId = 122,
  kKnobSmallerImageId = 124,
  kAMViewSwitchImageId = 130,
  kKnobSmallerSymImageId = 131,
};

struct EditorImage
{
  EditorImageId id;
  const char* file;  // inside kEditorImageFolder
  int frames;        // stacked vertically: one frame is width x height / frames
};

constexpr EditorImage kBackgroundImage = {kBackgroundImageId, "bg.png", 1};

// The control strips, in the order the editor loads them.
constexpr EditorImage kControlImages[] = {
    {kKnobImageId, "knob.png", 121},
    {kKnobSmallerImageId, "knob_smaller.png", 121},
    {kKnobMiniImageId, "knob_mini.png", 121},
    {kKnobSymImageId, "knob_sym.png", 121},
    {kKnobSmallerSymImageId, "knob_smaller_sym.png", 121},
    {kKnobBig16ImageId, "knob_big_16.png", 16},
    {kKnobSmall16ImageId, "knob_small_16.png", 16},
    {kButtonOnOffImageId, "button_on_off.png", 2},
    {kWaveformImageId, "waveform.png", 6},
    {kHardSyncImageId, "hardsync.png", 3},
    {kMidiPanicImageId, "MIDIpanic.png", 2},
    {kShiverSyncImageId, "shiver_sync.png", 4},
    {kFilterPassImageId, "filter_pass.png", 5},
    {kPrePostFilterImageId, "pre_post_flt.png", 2},
    {kKnobNoiseColorImageId, "knob_noise_color.png", 81},
    {kButtonOnOffSmallImageId, "button_on_off_small.png", 2},
    {kBendWindowSizeImageId, "bendWindowSize.png", 31},
    {kAMViewSwitchImageId, "am_vis_switch.png", 3},
};

constexpr int kControlImageCount = sizeof(kControlImages) / sizeof(kControlImages[0]);

// The background or the control strip with this id; null for any other id.
constexpr const EditorImage* FindEditorImage(int id)
{
  if (id == kBackgroundImage.id) return &kBackgroundImage;
  for (const EditorImage& image : kControlImages)
    if (image.id == id) return &image;
  return nullptr;
}
