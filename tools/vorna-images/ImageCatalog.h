#pragma once

#include "Canvas.h"
#include "EditorImages.h"

#include <functional>
#include <vector>

// How each control strip is drawn: the size of one frame and what frame k of n
// shows. Names, ids and frame counts are the editor's (EditorImages.h).
struct StripDesign
{
  EditorImageId id;
  int frameWidth, frameHeight;
  std::function<void(Canvas&, int frame, int frames)> drawFrame;
};

// One design for every entry of kControlImages, in the same order.
const std::vector<StripDesign>& StripDesigns();
// The design for this id; null for an id without one.
const StripDesign* FindStripDesign(int id);

// Frame k of n drawn on its own.
Canvas DrawFrame(const StripDesign& design, int frame, int frames);
// All n frames, stacked top to bottom.
Canvas DrawStrip(const StripDesign& design, int frames);
