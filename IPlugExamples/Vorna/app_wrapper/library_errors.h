#pragma once

#include <exception>

// Prints an audio or MIDI library's error the way the libraries' own message
// printers do, for any exception (RtAudioError and RtMidiError among them).
void PrintLibraryError(const std::exception& error);
