// vorna-images: draws the editor's background and control strips and writes them
// as PNG files into a folder; with --preview, also pictures of the whole editor.
#include "Background.h"
#include "EditorImages.h"
#include "ImageCatalog.h"
#include "PngFile.h"
#include "Preview.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
constexpr int kExitBadUsage = 2;
constexpr int kExitFailed = 1;

const char* kUsage = "usage: vorna-images OUT_FOLDER [--preview PREVIEW_FOLDER]";

bool Write(const std::string& folder, const std::string& file, const Canvas& canvas)
{
  std::string error;
  if (WritePng(folder + "/" + file, canvas, &error)) return true;
  std::fprintf(stderr, "vorna-images: %s\n", error.c_str());
  return false;
}
}  // namespace

int main(int argc, char** argv)
{
  std::string out, preview;
  for (int i = 1; i < argc; ++i)
  {
    if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) preview = argv[++i];
    else if (argv[i][0] != '-' && out.empty()) out = argv[i];
    else
    {
      std::fprintf(stderr, "vorna-images: unexpected argument \"%s\"\n%s\n", argv[i], kUsage);
      return kExitBadUsage;
    }
  }
  if (out.empty())
  {
    std::fprintf(stderr, "%s\n", kUsage);
    return kExitBadUsage;
  }

  const Canvas background = DrawBackground();
  if (!Write(out, kBackgroundImage.file, background)) return kExitFailed;
  for (const EditorImage& image : kControlImages)
  {
    const StripDesign* design = FindStripDesign(image.id);
    if (!design || !Write(out, image.file, DrawStrip(*design, image.frames))) return kExitFailed;
  }
  if (!preview.empty())
    for (const PreviewScene& scene : PreviewScenes())
      if (!Write(preview, "preview-" + scene.name + ".png", DrawPreview(background, scene))) return kExitFailed;
  return 0;
}
