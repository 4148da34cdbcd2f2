#pragma once

#include "OutputFile.h"

#include <cstdio>

// The exit statuses of vorna-render.
inline constexpr int kRenderExitDone = 0;
inline constexpr int kRenderExitFailed = 1;    // anything else that went wrong
inline constexpr int kRenderExitBadInput = 2;  // an option, file or output refused before anything is written
inline constexpr int kRenderExitCouldNotWrite = 3;  // writing, syncing or renaming the output failed

// vorna-render from its arguments to its exit status, its lines printed to out and err
// (the report to err when the WAV file is standard output), its bytes written through calls.
int RunRenderTool(int argc, const char* const* argv, FILE* out, FILE* err,
                  const OutputCalls& calls = OutputCalls::System());
