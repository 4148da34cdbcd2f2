#pragma once

// Where every control of the editor stands, of which kind, drawn from which image, in
// the order the editor creates them. The editor builds its controls from this table
// and the image generator designs the background around it; nothing else repeats a
// position. Oscillator 2's controls stand 280 pixels below their oscillator-1 twins.

#include "EditorImages.h"
#include "../VornaControlIds.h"

enum class ControlKind
{
  kKnob,                    // a knob drawn from a strip of frames
  kMappedKnob,              // a knob whose value follows a curve (the FM amounts)
  kSwitch,                  // steps through its image's frames on each click
  kContact,                 // pressed while held
  kViewSwitch,              // a switch that reports its value (the AM views)
  kList,                    // a choice of names that opens as a grid
  kTextButton,              // a switch that writes its name
  kTextButtonWithSignal,
  kTextContactWithSignal,
  kIntField,                // a whole number, dragged or typed
  kFloatField,              // a number with decimals, dragged or typed
  kText,                    // a line of text
};

// The editor's own controls, bound to no parameter.
enum EditorControlId
{
  kNoControlId = -1,
  kAMViewSwitch1Id = -139,
  kAMViewSwitch2Id = -140,
  // -141 .. -145: the controls of the values the plug-in keeps (VornaControlIds.h).
  kInfoButtonId = -148,
  // The tooltip button and the channel-configuration button share this id; right
  // clicks with it open the text-size menu.
  kTooltipButtonId = -149,
  kChanConfigButtonId = -149,
};

struct ControlRow
{
  int id;         // parameter index, or an EditorControlId
  ControlKind kind;
  int x, y;       // top left
  int imageId;    // 0 for the controls that write text
  const char* names;  // lists and text buttons: the names, '|' between them
  int rows;       // lists: rows per column
  int style;      // lists, text buttons and fields: the background style (2 brackets)
  int valueTextLength;  // knobs: characters of the value text
};

constexpr int kOsc2Offset = 280;

inline constexpr ControlRow kControlRows[] = {
    {128, ControlKind::kKnob, 407, 553, kKnobImageId, nullptr, 0, 0, 5},  // master amp
    {127, ControlKind::kKnob, 365, 567, kKnobSmallerImageId, nullptr, 0, 0, 5},  // master lim softness
    {84, ControlKind::kSwitch, 165, 560, kButtonOnOffImageId, nullptr, 0, 0, 5},  // poly/mono
    {85, ControlKind::kIntField, 165, 580, 0, nullptr, 0, 0, 5},  // max voice count
    {129, ControlKind::kContact, 305, 563, kMidiPanicImageId, nullptr, 0, 0, 5},  // MIDI Panic
    {86, ControlKind::kKnob, 205, 553, kKnobImageId, nullptr, 0, 0, 5},  // glide
    {87, ControlKind::kSwitch, 260, 563, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // glide head
    {89, ControlKind::kSwitch, 260, 583, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // rearticulate glides forward
    {88, ControlKind::kSwitch, 280, 563, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // glide tail
    {90, ControlKind::kSwitch, 280, 583, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // rearticulate glides back
    {0, ControlKind::kSwitch, 5, 15, kButtonOnOffImageId, nullptr, 0, 0, 5},  // osc 1 on/off
    {30, ControlKind::kSwitch, 5, 295, kButtonOnOffImageId, nullptr, 0, 0, 5},  // osc 2 on/off
    {130, ControlKind::kList, 4, 85, 0, "0|4|8|16", 5, 0, 5},  // osc1 oversampling
    {135, ControlKind::kList, 4, 365, 0, "0|4|8|16", 5, 0, 5},  // osc2 oversampling
    {1, ControlKind::kSwitch, 49, 120, kWaveformImageId, nullptr, 0, 0, 5},  // waveform 1
    {31, ControlKind::kSwitch, 49, 400, kWaveformImageId, nullptr, 0, 0, 5},  // waveform 2
    {2, ControlKind::kKnob, 77, 118, kKnobMiniImageId, nullptr, 0, 0, 5},  // wf 1 sync width
    {32, ControlKind::kKnob, 77, 398, kKnobMiniImageId, nullptr, 0, 0, 5},  // wf 2 sync width
    {131, ControlKind::kKnob, 77, 118, kKnobMiniImageId, nullptr, 0, 0, 5},  // wf 1 polysaw type
    {132, ControlKind::kKnob, 77, 398, kKnobMiniImageId, nullptr, 0, 0, 5},  // wf 2 polysaw type
    {4, ControlKind::kKnob, 28, 26, kKnobBig16ImageId, nullptr, 0, 0, 5},  // denom 1
    {34, ControlKind::kKnob, 28, 306, kKnobBig16ImageId, nullptr, 0, 0, 5},  // denom 2
    {3, ControlKind::kKnob, 49, 45, kKnobSmall16ImageId, nullptr, 0, 0, 5},  // num 1
    {33, ControlKind::kKnob, 49, 325, kKnobSmall16ImageId, nullptr, 0, 0, 5},  // num 2
    {19, ControlKind::kMappedKnob, 49, 151, kKnobSymImageId, nullptr, 0, 0, 5},  // fm 1 amnt
    {49, ControlKind::kMappedKnob, 49, 431, kKnobSymImageId, nullptr, 0, 0, 5},  // fm 2 amnt
    {20, ControlKind::kList, 43, 208, 0, "osc 2|flt 2|o2 env|in L|in env", 3, 0, 5},  // fm 1 source
    {50, ControlKind::kList, 43, 488, 0, "osc 1|flt 1|o1 env|in R|in env", 3, 0, 5},  // fm 2 source
    {64, ControlKind::kSwitch, 120, 250, kShiverSyncImageId, nullptr, 0, 0, 5},  // tune shiver sync
    {65, ControlKind::kKnob, 133, 88, kKnobSmallerImageId, nullptr, 0, 0, 5},  // tune 1 shiver amount
    {67, ControlKind::kKnob, 133, 368, kKnobSmallerImageId, nullptr, 0, 0, 5},  // tune 2 shiver amount
    {66, ControlKind::kKnob, 133, 133, kKnobSmallerImageId, nullptr, 0, 0, 5},  // tune 1 shiver speed
    {68, ControlKind::kKnob, 133, 413, kKnobSmallerImageId, nullptr, 0, 0, 5},  // tune 2 shiver speed
    {5, ControlKind::kKnob, 128, 26, kKnobSymImageId, nullptr, 0, 0, 5},  // tune 1
    {35, ControlKind::kKnob, 128, 306, kKnobSymImageId, nullptr, 0, 0, 5},  // tune 2
    {6, ControlKind::kIntField, 161, 21, 0, nullptr, 0, 0, 5},  // tune 1 width
    {36, ControlKind::kIntField, 161, 301, 0, nullptr, 0, 0, 5},  // tune 2 width
    {11, ControlKind::kKnob, 133, 178, kKnobSmallerImageId, nullptr, 0, 0, 5},  // phase offset 1
    {41, ControlKind::kKnob, 133, 458, kKnobSmallerImageId, nullptr, 0, 0, 5},  // phase offset 2
    {69, ControlKind::kSwitch, 183, 250, kShiverSyncImageId, nullptr, 0, 0, 5},  // bend shiver sync
    {70, ControlKind::kKnob, 195, 88, kKnobSmallerImageId, nullptr, 0, 0, 5},  // bend 1 shiver amount
    {72, ControlKind::kKnob, 195, 368, kKnobSmallerImageId, nullptr, 0, 0, 5},  // bend 2 shiver amount
    {71, ControlKind::kKnob, 195, 133, kKnobSmallerImageId, nullptr, 0, 0, 5},  // bend 1 shiver speed
    {73, ControlKind::kKnob, 195, 413, kKnobSmallerImageId, nullptr, 0, 0, 5},  // bend 2 shiver speed
    {7, ControlKind::kKnob, 190, 26, kKnobSymImageId, nullptr, 0, 0, 5},  // bend 1
    {37, ControlKind::kKnob, 190, 306, kKnobSymImageId, nullptr, 0, 0, 5},  // bend 2
    {9, ControlKind::kKnob, 233, 18, kBendWindowSizeImageId, nullptr, 0, 0, 5},  // bend 1 window size
    {39, ControlKind::kKnob, 233, 298, kBendWindowSizeImageId, nullptr, 0, 0, 5},  // bend 2 window size
    {8, ControlKind::kList, 232, 40, 0, "L|T", 5, 0, 5},  // bend 1 window origin
    {38, ControlKind::kList, 232, 320, 0, "L|T", 5, 0, 5},  // bend 2 window origin
    {10, ControlKind::kList, 232, 57, 0, "a|s", 5, 0, 5},  // bend 1 type
    {40, ControlKind::kList, 232, 337, 0, "a|s", 5, 0, 5},  // bend 2 type
    {-139, ControlKind::kViewSwitch, 307, 15, kAMViewSwitchImageId, nullptr, 0, 0, 5},  // osc-1 AM view switch
    {-140, ControlKind::kViewSwitch, 307, 295, kAMViewSwitchImageId, nullptr, 0, 0, 5},  // osc-2 AM view switch
    {12, ControlKind::kKnob, 285, 26, kKnobImageId, nullptr, 0, 0, 5},  // noise 1 amnt
    {42, ControlKind::kKnob, 285, 306, kKnobImageId, nullptr, 0, 0, 5},  // noise 2 amnt
    {13, ControlKind::kKnob, 286, 190, kKnobNoiseColorImageId, nullptr, 0, 0, 5},  // noise 1 color
    {43, ControlKind::kKnob, 286, 470, kKnobNoiseColorImageId, nullptr, 0, 0, 5},  // noise 2 color
    {15, ControlKind::kKnob, 285, 80, kKnobImageId, nullptr, 0, 0, 5},  // osc 1 vol
    {45, ControlKind::kKnob, 285, 360, kKnobImageId, nullptr, 0, 0, 5},  // osc 2 vol
    {16, ControlKind::kKnob, 285, 135, kKnobImageId, nullptr, 0, 0, 5},  // in 1 amnt
    {46, ControlKind::kKnob, 285, 415, kKnobImageId, nullptr, 0, 0, 5},  // in 2 amnt
    {125, ControlKind::kSwitch, 350, 208, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // filter aux 1
    {126, ControlKind::kSwitch, 350, 488, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // filter aux 2
    {18, ControlKind::kKnob, 340, 134, kKnobSmallerImageId, nullptr, 0, 0, 5},  // am 1 depth
    {48, ControlKind::kKnob, 340, 414, kKnobSmallerImageId, nullptr, 0, 0, 5},  // am 2 depth
    {121, ControlKind::kKnob, 340, 88, kKnobSmallerImageId, nullptr, 0, 0, 5},  // oam 1 thresh
    {122, ControlKind::kKnob, 340, 368, kKnobSmallerImageId, nullptr, 0, 0, 5},  // oam 2 thresh
    {14, ControlKind::kKnob, 340, 88, kKnobSmallerImageId, nullptr, 0, 0, 5},  // am 1 thresh
    {44, ControlKind::kKnob, 340, 368, kKnobSmallerImageId, nullptr, 0, 0, 5},  // am 2 thresh
    {17, ControlKind::kKnob, 334, 26, kKnobImageId, nullptr, 0, 0, 5},  // oam 1
    {47, ControlKind::kKnob, 334, 306, kKnobImageId, nullptr, 0, 0, 5},  // oam 2
    {113, ControlKind::kSwitch, 337, 184, kPrePostFilterImageId, nullptr, 0, 0, 5},  // am 1 pre flt modulator
    {114, ControlKind::kSwitch, 337, 464, kPrePostFilterImageId, nullptr, 0, 0, 5},  // am 2 pre flt modulator
    {115, ControlKind::kSwitch, 337, 138, kPrePostFilterImageId, nullptr, 0, 0, 5},  // oam 1 pre flt carr
    {116, ControlKind::kSwitch, 337, 418, kPrePostFilterImageId, nullptr, 0, 0, 5},  // oam 2 pre flt carr
    {117, ControlKind::kSwitch, 337, 158, kPrePostFilterImageId, nullptr, 0, 0, 5},  // oam 1 pre flt modulator
    {118, ControlKind::kSwitch, 337, 438, kPrePostFilterImageId, nullptr, 0, 0, 5},  // oam 2 pre flt modulator
    {123, ControlKind::kSwitch, 300, 170, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // add ext2 to oam 1
    {124, ControlKind::kSwitch, 300, 450, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // add ext1 to oam 2
    {119, ControlKind::kSwitch, 300, 140, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // carr 1 flt
    {120, ControlKind::kSwitch, 300, 420, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // carr 2 flt
    {91, ControlKind::kSwitch, 420, 18, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // flt 1 on/off
    {102, ControlKind::kSwitch, 420, 298, kButtonOnOffSmallImageId, nullptr, 0, 0, 5},  // flt 2 on/off
    {95, ControlKind::kTextButton, 454, 20, 0, "f", 0, 0, 5},  // flt 1 follow note
    {106, ControlKind::kTextButton, 454, 300, 0, "f", 0, 0, 5},  // flt 2 follow note
    {94, ControlKind::kKnob, 420, 26, kKnobImageId, nullptr, 0, 0, 5},  // flt 1 f
    {105, ControlKind::kKnob, 420, 306, kKnobImageId, nullptr, 0, 0, 5},  // flt 2 f
    {96, ControlKind::kKnob, 420, 75, kKnobImageId, nullptr, 0, 0, 5},  // flt 1 q
    {107, ControlKind::kKnob, 420, 355, kKnobImageId, nullptr, 0, 0, 5},  // flt 2 q
    {93, ControlKind::kSwitch, 473, 30, kFilterPassImageId, nullptr, 0, 0, 5},  // flt 1 pass type
    {104, ControlKind::kSwitch, 473, 310, kFilterPassImageId, nullptr, 0, 0, 5},  // flt 2 pass type
    {92, ControlKind::kList, 460, 60, 0, "reson|simple|frmnt|t lad|d lad", 5, 2, 5},  // flt 1 model
    {103, ControlKind::kList, 460, 340, 0, "reson|simple|frmnt|t lad|d lad", 5, 2, 5},  // flt 2 model
    {136, ControlKind::kKnob, 473, 178, kKnobSmallerSymImageId, nullptr, 0, 0, 5},  // flt 1 add param
    {137, ControlKind::kKnob, 473, 458, kKnobSmallerSymImageId, nullptr, 0, 0, 5},  // flt 2 add param
    {97, ControlKind::kKnob, 473, 85, kKnobSmallerSymImageId, nullptr, 0, 0, 5},  // flt 1 env
    {108, ControlKind::kKnob, 473, 365, kKnobSmallerSymImageId, nullptr, 0, 0, 5},  // flt 2 env
    {133, ControlKind::kKnob, 473, 132, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 1 drive
    {134, ControlKind::kKnob, 473, 412, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 2 drive
    {74, ControlKind::kSwitch, 414, 250, kShiverSyncImageId, nullptr, 0, 0, 5},  // cutoff shiver sync
    {75, ControlKind::kKnob, 426, 132, kKnobSmallerImageId, nullptr, 0, 0, 5},  // cutoff 1 shiver amount
    {77, ControlKind::kKnob, 426, 412, kKnobSmallerImageId, nullptr, 0, 0, 5},  // cutoff 2 shiver amount
    {76, ControlKind::kKnob, 426, 178, kKnobSmallerImageId, nullptr, 0, 0, 5},  // cutoff 1 shiver speed
    {78, ControlKind::kKnob, 426, 458, kKnobSmallerImageId, nullptr, 0, 0, 5},  // cutoff 2 shiver speed
    {98, ControlKind::kKnob, 520, 36, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 1 A
    {109, ControlKind::kKnob, 520, 316, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 2 A
    {99, ControlKind::kKnob, 520, 85, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 1 D
    {110, ControlKind::kKnob, 520, 365, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 2 D
    {100, ControlKind::kKnob, 520, 132, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 1 S
    {111, ControlKind::kKnob, 520, 412, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 2 S
    {101, ControlKind::kKnob, 520, 178, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 1 R
    {112, ControlKind::kKnob, 520, 458, kKnobSmallerImageId, nullptr, 0, 0, 5},  // flt 2 R
    {21, ControlKind::kKnob, 595, 36, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 1 A
    {51, ControlKind::kKnob, 595, 316, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 2 A
    {22, ControlKind::kKnob, 595, 84, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 1 D
    {52, ControlKind::kKnob, 595, 364, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 2 D
    {23, ControlKind::kKnob, 595, 132, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 1 S
    {53, ControlKind::kKnob, 595, 412, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 2 S
    {24, ControlKind::kKnob, 595, 178, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 1 R
    {54, ControlKind::kKnob, 595, 458, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc 2 R
    {27, ControlKind::kTextButton, 644, 85, 0, "DC", 0, 0, 5},  // dcr 1
    {57, ControlKind::kTextButton, 644, 365, 0, "DC", 0, 0, 5},  // dcr 2
    {29, ControlKind::kKnob, 640, 105, kKnobSmallerImageId, nullptr, 0, 0, 5},  // sl 1 softness
    {59, ControlKind::kKnob, 640, 385, kKnobSmallerImageId, nullptr, 0, 0, 5},  // sl 2 softness
    {25, ControlKind::kKnob, 685, 25, kKnobSymImageId, nullptr, 0, 0, 5},  // pan 1
    {55, ControlKind::kKnob, 685, 305, kKnobSymImageId, nullptr, 0, 0, 5},  // pan 2
    {26, ControlKind::kKnob, 635, 25, kKnobImageId, nullptr, 0, 0, 5},  // mix 1
    {56, ControlKind::kKnob, 635, 305, kKnobImageId, nullptr, 0, 0, 5},  // mix 2
    {79, ControlKind::kSwitch, 677, 250, kShiverSyncImageId, nullptr, 0, 0, 5},  // pan shiver sync
    {80, ControlKind::kKnob, 690, 87, kKnobSmallerImageId, nullptr, 0, 0, 5},  // pan 1 shiver amount
    {82, ControlKind::kKnob, 690, 367, kKnobSmallerImageId, nullptr, 0, 0, 5},  // pan 2 shiver amount
    {81, ControlKind::kKnob, 690, 132, kKnobSmallerImageId, nullptr, 0, 0, 5},  // pan 1 shiver speed
    {83, ControlKind::kKnob, 690, 412, kKnobSmallerImageId, nullptr, 0, 0, 5},  // pan 2 shiver speed
    {28, ControlKind::kKnob, 715, 95, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc fb 1
    {58, ControlKind::kKnob, 715, 375, kKnobSmallerImageId, nullptr, 0, 0, 5},  // osc fb 2
    {61, ControlKind::kSwitch, 35, 552, kHardSyncImageId, nullptr, 0, 0, 5},  // hardsync master
    {62, ControlKind::kKnob, 110, 567, kKnobSmallerImageId, nullptr, 0, 0, 3},  // hs soft
    {63, ControlKind::kIntField, 72, 580, 0, nullptr, 0, 0, 5},  // hardsync period
    {60, ControlKind::kSwitch, 65, 560, kPrePostFilterImageId, nullptr, 0, 0, 5},  // hs master pre-post flt
    {-149, ControlKind::kTextButtonWithSignal, 470, 550, 0, "?", 0, 0, 5},  // tooltip on/off button
    {-148, ControlKind::kTextContactWithSignal, 490, 550, 0, "i", 0, 1, 5},  // info button
    {-149, ControlKind::kTextContactWithSignal, 510, 550, 0, "R", 0, 0, 5},  // channel-configuration button
    {-144, ControlKind::kFloatField, 500, 580, 0, nullptr, 0, 1, 5},  // tempo entry
    {-1, ControlKind::kText, 20, 610, 0, nullptr, 0, 0, 5},  // empty text line
    {-1, ControlKind::kText, 20, 630, 0, nullptr, 0, 0, 5},  // empty text line
};

constexpr int kControlRowCount = sizeof(kControlRows) / sizeof(kControlRows[0]);

// The row of a parameter's control; null for an index without one.
constexpr const ControlRow* FindParamRow(int paramIdx)
{
  if (paramIdx < 0) return nullptr;
  for (const ControlRow& row : kControlRows)
    if (row.id == paramIdx) return &row;
  return nullptr;
}

// The parameters each AM view shows: oscillator 1's AM and oscillator 2's AM group,
// then their OAM groups. The oscillator volumes stand in both groups of their oscillator.
inline constexpr int kAMGroupSize = 7;
inline constexpr int kOAMGroupSize = 6;
inline constexpr int kAMGroup1[kAMGroupSize] = {13, 15, 16, 14, 18, 113, 125};
inline constexpr int kAMGroup2[kAMGroupSize] = {43, 45, 46, 44, 48, 114, 126};
inline constexpr int kOAMGroup1[kOAMGroupSize] = {15, 115, 117, 119, 121, 123};
inline constexpr int kOAMGroup2[kOAMGroupSize] = {45, 116, 118, 120, 122, 124};

// The parameters whose controls depend on the sound: the waveforms' extra knobs, the
// hard-sync controls, the filter controls only some models use, and the feedback knobs
// the editor never shows.
inline constexpr int kSyncWidthParams[2] = {2, 32};
inline constexpr int kPolysawTypeParams[2] = {131, 132};
inline constexpr int kHardSyncParams[3] = {62, 63, 60};
inline constexpr int kFilterPassTypeParams[2] = {93, 104};
inline constexpr int kFilterAddParams[2] = {136, 137};
inline constexpr int kNeverShownParams[2] = {28, 58};

// Where a label sits below its control: beside a large knob 4 pixels left and 1 down,
// below small knobs, switches and fields 7 down, below the poly/mono switch 22 down.
struct LabelOffset
{
  int x, y;
};
inline constexpr LabelOffset kLargeKnobLabel = {-4, 1};
inline constexpr LabelOffset kSmallLabel = {0, 7};
inline constexpr LabelOffset kPolySwitchLabel = {0, 22};

inline constexpr int kMaxLabelled = 8;

// The labels, each drawn below every control of its row (parameter indices, and the
// tempo entry by its id); the rows end at the first 0 after their first control.
struct LabelRow
{
  const char* text;
  LabelOffset offset;
  int controls[kMaxLabelled];
};

inline constexpr LabelRow kLabelRows[] = {
    {"tune", kLargeKnobLabel, {5, 35}},
    {"phase", kSmallLabel, {11, 41}},
    {"fm", kLargeKnobLabel, {19, 49}},
    {"bend", kLargeKnobLabel, {7, 37}},
    {"shvr", kSmallLabel, {65, 70, 80, 67, 72, 82, 75, 77}},
    {"s spd", kSmallLabel, {66, 71, 81, 68, 73, 83, 76, 78}},
    {"hs", kSmallLabel, {61}},
    {"period", kSmallLabel, {63}},
    {"soft", kSmallLabel, {62}},
    {"poly", kPolySwitchLabel, {84}},
    {"glide", kLargeKnobLabel, {86}},
    {"os", kSmallLabel, {130, 135}},
    {"amp", kLargeKnobLabel, {128}},
    {"noise", kLargeKnobLabel, {12, 42}},
    {"n col", kSmallLabel, {13, 43}},
    {"osc v", kLargeKnobLabel, {15, 45}},
    {"aux", kLargeKnobLabel, {16, 46}},
    {"thresh", kSmallLabel, {14, 121, 44, 122}},
    {"depth", kSmallLabel, {18, 48}},
    {"flt aux", kSmallLabel, {125, 126}},
    {"osc 2 am", kLargeKnobLabel, {17}},
    {"flt carr", kSmallLabel, {119, 120}},
    {"+ aux 2", kSmallLabel, {123}},
    {"osc 1 am", kLargeKnobLabel, {47}},
    {"+ aux 1", kSmallLabel, {124}},
    {"fb", kSmallLabel, {28, 58}},
    {"sl soft", kSmallLabel, {29, 59, 127}},
    {"pan", kLargeKnobLabel, {25, 55}},
    {"vol", kLargeKnobLabel, {26, 56}},
    {"f", kLargeKnobLabel, {94, 105}},
    {"q", kLargeKnobLabel, {96, 107}},
    {"env", kSmallLabel, {97, 108}},
    {"drive", kSmallLabel, {133, 134}},
    {"undefined", kSmallLabel, {136, 137}},
    {"A", kSmallLabel, {21, 51, 98, 109}},
    {"D", kSmallLabel, {22, 52, 99, 110}},
    {"S", kSmallLabel, {23, 53, 100, 111}},
    {"R", kSmallLabel, {24, 54, 101, 112}},
    {"bpm", kSmallLabel, {-144}},
};

// The label of a control (null without one) and where it sits.
constexpr const LabelRow* FindLabelRow(int id)
{
  for (const LabelRow& row : kLabelRows)
    for (int i = 0; i < kMaxLabelled; ++i)
    {
      if (i > 0 && row.controls[i] == 0) break;
      if (row.controls[i] == id) return &row;
    }
  return nullptr;
}

// With the formant filter its frequency picks a vowel, its resonance a timbre, and its
// extra knob sets the size; the other models use "f" and "q" and no extra knob.
inline constexpr const char* kFormantFreqLabel = "vowel";
inline constexpr const char* kFormantQLabel = "timbre";
inline constexpr const char* kFormantAddParamLabel = "size";
inline constexpr const char* kFreqLabel = "f";
inline constexpr const char* kQLabel = "q";
inline constexpr const char* kHiddenAddParamLabel = " ";
