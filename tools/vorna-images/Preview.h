#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

// The editor as it will look: the background with each shown control's frame at
// its place. Labels and values, which the editor writes as text, appear as bars
// of their colour and size (no fonts here), enough to judge room and contrast.
struct PreviewScene
{
  std::string name;
  int amView;        // 0 AM, 1 neither, 2 OAM (both oscillators)
  bool sinc, polySaw, hardSync, formant;
  double value;      // every control's value, 0 to 1
};

// The start (views closed, middle values), the first frames and the last frames.
std::vector<PreviewScene> PreviewScenes();

Canvas DrawPreview(const Canvas& background, const PreviewScene& scene);
