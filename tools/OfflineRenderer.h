#pragma once

#include "RenderOptions.h"
#include "StandardMidiFile.h"

#include <cstdint>
#include <string>
#include <vector>

// What a finished render measured.
struct RenderReport
{
  int64_t frames = 0;
  double peak = 0.0;  // largest absolute sample in the file
  double rms = 0.0;   // over both channels
  double renderSeconds = 0.0;  // wall-clock time of the render
};

class Vorna;

// Puts parameter values in force at once, as if the plug-in had always had
// them: none of them ramps from its old value in the first block.
void ApplyParamSettings(Vorna& plug, const std::vector<ParamSetting>& settings);

// The level the application plays the instrument at: its audio callback scales
// the plug-in's output by this, and the file carries the same level.
inline constexpr double kApplicationOutputGain = 0.25;

// Frames rendered for a sequence: up to its last message plus the tail.
int64_t RenderLength(const SmfSequence& sequence, int sampleRate, double tailSeconds);

// Plays the sequence through a new plug-in, as a host would: the options'
// parameter settings are in force before the first block, every channel
// message is queued before the block it falls into at its exact frame, and
// the blocks are written to the options' WAV file as they are rendered.
// Returns false with the reason in error (a piece too long for a WAV file, a
// file that cannot be written).
bool RenderToWav(const RenderOptions& options, const SmfSequence& sequence, RenderReport* report,
                 std::string* error);
