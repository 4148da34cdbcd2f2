#pragma once

// The desktop's own audio and MIDI setup program.

// The programs tried, in order.
inline constexpr const char* kSystemSetupPrograms[] = {"pavucontrol", "qjackctl"};

// Starts the first of them that is installed (found on PATH), without a shell and without
// waiting for it; its name, or null when none could be started.
const char* StartSystemSetupProgram();

// What the user is told when none is installed.
constexpr const char* kNoSystemSetupText =
  "Neither pavucontrol nor qjackctl is installed: install one of them to set up the system's audio and MIDI.";
