#include "IGraphicsFilePrompt.h"

#include "wdlstring.h"

#include "swell-filedlg.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
constexpr const char* kDesktop = "~/Desktop";

// "~" stands for the home folder.
std::string expandedFolder(const char* folder)
{
  const char* home = std::getenv("HOME");
  if (folder[0] == '~' && (folder[1] == '/' || !folder[1]) && home && *home) return std::string(home) + (folder + 1);
  return folder;
}

// One filter whose pattern list names every allowed type: "*.wav;*.aif".
std::string filterListOf(const char* extensions)
{
  std::string patterns;
  const std::string all = extensions ? extensions : "";
  for (size_t at = 0; at < all.size();)
  {
    const size_t blank = all.find(' ', at);
    const std::string one = all.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
    at = blank == std::string::npos ? all.size() : blank + 1;
    if (one.empty()) continue;
    if (!patterns.empty()) patterns += ';';
    patterns += "*." + one;
  }
  if (patterns.empty()) return std::string();
  return std::string("Files") + '\0' + patterns + '\0' + '\0';
}
}  // namespace

void PromptForFileWithWindowLayer(WDL_String* file, EFileAction action, WDL_String* dir, const char* extensions)
{
  if (!file) return;
  const std::string suggested = file->Get();
  std::string start = dir && dir->GetLength() ? dir->Get() : kDesktop;
  if (dir && !dir->GetLength()) dir->Set(kDesktop);
  file->Set("");
  const std::string folder = expandedFolder(start.c_str());
  const std::string filters = filterListOf(extensions);
  const char* filterList = filters.empty() ? nullptr : filters.c_str();
  std::string chosen;
  if (action == kFileSave)
  {
    char path[4096];
    if (BrowseForSaveFile(nullptr, folder.c_str(), suggested.empty() ? nullptr : suggested.c_str(), filterList, path,
                          sizeof path))
      chosen = path;
  }
  else if (char* result = BrowseForFiles(nullptr, folder.c_str(), nullptr, false, filterList))
  {
    chosen = result;
    std::free(result);
  }
  if (chosen.empty()) return;
  file->Set(chosen.c_str());
  if (dir) dir->Set((chosen.substr(0, chosen.rfind('/')) + "/").c_str());
}
