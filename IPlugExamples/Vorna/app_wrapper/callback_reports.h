#pragma once

#include <cstddef>

// The audio and MIDI threads never print: they leave a note here, and the main
// thread prints it on its next look.

// Audio thread: the device reported an underflow or overflow.
void NoteStreamStatus();
// MIDI thread: a message too long to be a channel message arrived.
void NoteLongMidiMessage(size_t length);
// Main thread: prints what was noted since the last look; returns the lines printed.
int ReportCallbackEvents();
