// vorna-render: plays a Standard MIDI File through the synthesizer offline and
// writes what it hears to a stereo 32-bit float WAV file.
#include "OutputFile.h"
#include "RenderTool.h"

#include <cstdio>

int main(int argc, char** argv)
{
  // Stopped half-way, the render leaves no temporary file behind.
  RemoveTemporaryOnSignals();
  return RunRenderTool(argc, argv, stdout, stderr);
}
