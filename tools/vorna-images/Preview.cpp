#include "Preview.h"

#include "ControlLayout.h"
#include "EditorImages.h"
#include "ImageCatalog.h"
#include "Palette.h"

#include <algorithm>
#include <cmath>

namespace
{
bool IsShown(Shown shown, const PreviewScene& scene)
{
  switch (shown)
  {
  case Shown::Always: return true;
  case Shown::AmView: return scene.amView == 0;
  case Shown::OamView: return scene.amView == 2;
  case Shown::AmOrOamView: return scene.amView != 1;
  case Shown::SincWave: return scene.sinc;
  case Shown::PolySawWave: return scene.polySaw;
  case Shown::HardSync: return scene.hardSync;
  case Shown::Formant: return scene.formant;
  case Shown::NotFormant: return !scene.formant;
  default: return false;
  }
}

// Later controls are drawn over earlier ones, in the editor's order: parameters
// by index, eight of them last so they lie over their neighbours, then its own.
int DrawingRank(int id)
{
  static const int kLate[] = {2, 3, 20, 32, 33, 50, 92, 103};
  if (id < 0) return 1000 - id;
  for (int late : kLate)
    if (id == late) return 500 + id;
  return id;
}

void Bar(Canvas& canvas, double cx, double y0, double width, double height, Rgba colour)
{
  canvas.Fill(RoundRect({cx - width / 2, y0, cx + width / 2, y0 + height}, height / 2), colour);
}

void TextStandIn(Canvas& canvas, const ControlPlace& place, double value)
{
  const Box box = ControlBox(place);
  const double w = box.x1 - box.x0;
  Bar(canvas, (box.x0 + box.x1) / 2, box.y0 + 5, std::max(5.0, w * (0.4 + 0.3 * value)), 8, palette::kPointer);
}

void LabelStandIn(Canvas& canvas, const ControlPlace& place)
{
  const Box ink = LabelInkBox(place);
  if (ink.x1 <= ink.x0) return;
  const double width = ink.x1 - ink.x0;
  const double cx = (ink.x0 + ink.x1) / 2;
  Bar(canvas, cx + 1, ink.y0 + 4, width, 7, Rgb8(255, 255, 255, 0.2f));
  Bar(canvas, cx, ink.y0 + 3, width, 7, Rgb8(50, 50, 50));
}
}  // namespace

std::vector<PreviewScene> PreviewScenes()
{
  return {
      {"start", 1, false, false, false, false, 0.5},
      {"first", 0, true, false, true, false, 0.0},
      {"last", 2, false, true, true, true, 1.0},
  };
}

Canvas DrawPreview(const Canvas& background, const PreviewScene& scene)
{
  Canvas canvas(background.Width(), background.Height());
  canvas.Place(background, 0, 0);
  std::vector<const ControlPlace*> shown;
  for (const ControlPlace& place : ControlPlaces())
    if (IsShown(place.shown, scene)) shown.push_back(&place);
  std::stable_sort(shown.begin(), shown.end(),
                   [](const ControlPlace* a, const ControlPlace* b) { return DrawingRank(a->id) < DrawingRank(b->id); });
  for (const ControlPlace* place : shown)
  {
    if (IsTextControl(*place)) TextStandIn(canvas, *place, scene.value);
    else
    {
      const StripDesign* design = FindStripDesign(place->imageId);
      const int frames = FindEditorImage(place->imageId)->frames;
      const bool viewSwitch = place->imageId == kAMViewSwitchImageId;
      const int frame = viewSwitch ? scene.amView : int(std::lround(scene.value * (frames - 1)));
      canvas.Place(DrawFrame(*design, frame, frames), place->x, place->y);
    }
    if (place->label) LabelStandIn(canvas, *place);
  }
  return canvas;
}
