#include "EditorLabelStyle.h"
#include "EditorLayout.h"
#include "Vorna.h"
#include "ZKControls.h"

#include <string>

// The editor's words: the label under each control and the help text its tooltip shows.

namespace
{
constexpr int kMaxTipped = 8;

struct TooltipRow
{
  const char* text;
  int params[kMaxTipped];
};

// Every text of a parameter's control starts on a line of its own under the
// parameter's name, but the limiter softness's, which reads on from it.
constexpr TooltipRow kTooltipRows[] = {
    {"\nmore oversampling causes\nintense CPU usage.", {130, 135}},
    {"when <= 0 the limiter's threshold is set to >12dB\n(practically off for normal signals).", {29, 59, 127}},
    {"\nosc - other osc value,\nflt - other filtered osc value,\no env - enveloped clean other osc value,\nin - fm in value,\nin env - fm in average power.", {20, 50}},
    {"\nmultiply osc frequency.", {3, 33}},
    {"\ndivide osc frequency.", {4, 34}},
    {"\nsync and polysaw have additional param.", {1, 31}},
    {"\nmeasured in semitones.\naffects tune shiver too.", {6, 36}},
    {"\nbends waveform phase towards the edges or the center\nof the bend window, depending on the bend type param.", {7, 37}},
    {"\nsymmetric or asymmetric bending.", {10, 40}},
    {"\nsmall values may sound\nlike bit crushing.", {9, 39}},
    {"\nL - bend inside <window size> wave periods,\nT - bend inside <window size> beats.", {8, 38}},
    {"\nNONE - all shivers are independent,\nOSC - all osc 1 are synced and all osc 2 are synced,\nVOICE - osc 1 and osc 2 are synced inside a voice,\nALL - all shivers are synced.\nonly directions are synced, osc 1 and 2 amounts are independent.", {64, 69, 74, 79}},
    {"\nindependent of sync mode.", {65, 67, 70, 72, 75, 77, 80, 82}},
    {"\nwhen synced, osc 1 value is used,\nosc 2 shiver speed is ignored.", {66, 68, 71, 73, 76, 78, 81, 83}},
    {"\nyou can silense this osc and leave only the carrier.\nnote that when you feed OAM through the filter,\nit may result in complete silence.", {15, 45}},
    {"\nadd other osc as an AM carrier.", {17, 47}},
    {"\nsend carrier osc to this filter too.\nNB: mind the overdrive by the mutual carr filtering", {119, 120}},
    {"\ntilt filter for noise\nand, optionally, for aux", {13, 43}},
    {"\nput aux through the noise filter.", {125, 126}},
    {"\nstart AM when the modulator\nis louder than this value.", {14, 44, 121, 122}},
    {"\nmodulate with clean or filtered osc sound.", {113, 114, 117, 118}},
    {"\nmodulate clean or filtered carrier osc.", {115, 116}},
    {"\nadd other osc's modulated aux and noise.", {123, 124}},
    {"\nwhen flt follows note\nit serves as minimum freq", {94, 105}},
    {"\nremove DC. useful with very low frequencies and high feedbacks\nincluding high osc AM values and weird FM uses.", {27, 57}},
    {"\nmore voices loads CPU more.", {85}},
    {"\nin monophonic mode or in portamento\nand legato when gliding to new notes.", {89}},
    {"\nin monophonic mode or in portamento\nand legato when gliding to previous\nholding notes.", {90}},
    {"\nfrom previous note's frequency.", {87}},
    {"\nkeep gliding to the new note's\nfreq when it was released.", {88}},
    {"\nerase MIDI map available in the menu.", {129}},
    {"\nwhen formant filter is used,\nf selects vowel, q selects timbre.", {92, 103}},
};

constexpr const char* kAMViewTooltip = "show/hide additional AM params.\nthis switch does not affect the sound.";
constexpr const char* kChanConfigTooltip =
    "chanel config for FM and AM.\nFM uses one stereo input, L for osc1 and R for osc2.\nAM is done in stereo, oscs "
    "can have own stereo inputs.\nuse Mask input if you hear the sent signal\neven when no notes are being played.";

// The knobs whose value text sits 5 pixels left and 4 up, clear of their label.
constexpr int kShiftedValueTexts[] = {5,  35, 19, 49, 7,  37, 12, 42, 15, 45, 16,  46,
                                      17, 47, 94, 105, 96, 107, 25, 55, 26, 56, 127, 86};
constexpr int kValueTextShiftX = -5, kValueTextShiftY = -4;

}  // namespace

void Vorna::CreateTooltips()
{
  for (const TooltipRow& row : kTooltipRows)
    for (int i = 0; i < kMaxTipped && (i == 0 || row.params[i] != 0); ++i)
      mParamControls[row.params[i]]->mTooltipText = row.text;
  mAMViewSwitch1->mTooltipText = kAMViewTooltip;
  mAMViewSwitch2->mTooltipText = kAMViewTooltip;
  mChanConfigButton->mTooltipText = kChanConfigTooltip;
}

void Vorna::SetControlLabels()
{
  const IText style = EditorLabelStyle();
  for (const LabelRow& row : kLabelRows)
    for (int i = 0; i < kMaxLabelled && (i == 0 || row.controls[i] != 0); ++i)
    {
      const int id = row.controls[i];
      IControlZK* control = id == kTempoField ? mTempoEntry : mParamControls[id];
      control->AddLabel(row.text, style, row.offset.x, row.offset.y, IControlZK::kLabelBelow);
    }
  for (int p : kShiftedValueTexts)
    static_cast<IKnobMultiControlZK*>(mParamControls[p])->SetValueTextOffset(kValueTextShiftX, kValueTextShiftY);
  for (int p = 0; p < kNumParams; ++p)
  {
    mParamControls[p]->mShowLabels = true;
    mParamControls[p]->SetDirty(false);
  }
  mTempoEntry->mShowLabels = true;
  mTempoEntry->SetDirty(false);
}
