// The file dialogs: one modal dialog of this layer for saving, opening files and choosing a
// folder. The folder's entries fill a list view (".." first, then folders, then the files of
// the allowed types); OK on a folder goes into it. A filter list of several types adds the
// file-type chooser, and BrowseFile_SetTemplate an accessory dialog, below the list.

#include "swell-filedlg.h"

#include "swell-ctl.h"
#include "swell-dlg.h"
#include "swell-listview.h"
#include "swell-misc.h"
#include "swell-wnd-view.h"
#include "swell-wnd.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
enum class Mode
{
  save,
  open,
  directory,
};

struct Template
{
  const char* resid = nullptr;
  DLGPROC proc = nullptr;
  SWELL_DialogResourceIndex* list = nullptr;
};

struct FileDialog
{
  Mode mode = Mode::open;
  std::string folder;
  std::string name;
  std::vector<std::string> allowed;
  bool multiple = false;
  const char* filterList = nullptr;
  std::string initialFile;
  bool chooser = false;
  Template accessory;
  int accessoryWidth = 0;
  int accessoryHeight = 0;
  // The rows: "..", folders (ending in '/'), then files.
  std::vector<std::string> entries;
  std::vector<std::string> chosen;
};

constexpr size_t kLongestExtension = 31;
constexpr size_t kLongestInitialFile = 2047;
constexpr int kWidth = 520;
constexpr int kListTop = 34;
constexpr int kListHeight = 230;
constexpr int kChooserWidth = 338;
constexpr int kChooserHeight = 22;
constexpr int kButtonHeight = 24;

Template s_template;
// The dialog running now: the file-type chooser's procedure configures it.
FileDialog* s_running = nullptr;

void createFileTypeChooser(HWND view, int);
LRESULT fileTypeChooserProc(HWND view, UINT msg, WPARAM wParam, LPARAM);
SWELL_DialogResourceIndex s_chooserResource = {"swell-file-type", "", 0x1 | 0x4, createFileTypeChooser, kChooserWidth,
                                               kChooserHeight, nullptr};

// The extensions of one pattern list ("*.wav;*.aif"): the text after each pattern's first
// '.', at most 31 characters, "*" and empty ones left out; those the preferred list begins
// with go to the front.
void addExtensions(const char* patterns, const char* preferred, std::vector<std::string>* out)
{
  for (const char* pattern = patterns; *pattern;)
  {
    const char* end = std::strchr(pattern, ';');
    const size_t length = end ? static_cast<size_t>(end - pattern) : std::strlen(pattern);
    const std::string one(pattern, length);
    pattern += length + (end ? 1 : 0);
    const size_t dot = one.find('.');
    if (dot == std::string::npos) continue;
    const std::string extension = one.substr(dot + 1, kLongestExtension);
    if (extension.empty() || extension[0] == '*') continue;
    const bool first = preferred && *preferred && !strncasecmp(preferred, extension.c_str(), extension.size()) &&
                       (preferred[extension.size()] == ';' || preferred[extension.size()] == 0);
    out->insert(first ? out->begin() : out->end(), extension);
  }
}

bool isFolderEntry(const std::string& entry)
{
  return entry == ".." || (!entry.empty() && entry.back() == '/');
}

std::string extensionOf(const std::string& name)
{
  const size_t dot = name.rfind('.');
  const size_t slash = name.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return std::string();
  return name.substr(dot + 1);
}

bool allowedFile(const FileDialog& d, const std::string& name)
{
  if (d.allowed.empty()) return true;
  const std::string extension = extensionOf(name);
  return std::any_of(d.allowed.begin(), d.allowed.end(),
                     [&](const std::string& a) { return !strcasecmp(a.c_str(), extension.c_str()); });
}

std::string joined(const std::string& folder, const std::string& name)
{
  return folder == "/" ? "/" + name : folder + "/" + name;
}

void fillList(HWND dialog, FileDialog& d)
{
  d.entries.clear();
  if (d.folder != "/") d.entries.emplace_back("..");
  std::vector<std::string> folders, files;
  std::error_code error;
  for (fs::directory_iterator it(d.folder, fs::directory_options::skip_permission_denied, error), end;
       !error && it != end; it.increment(error))
  {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code kindError;
    if (it->is_directory(kindError))
      folders.push_back(name + "/");
    else if (d.mode != Mode::directory && allowedFile(d, name))
      files.push_back(name);
  }
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  d.entries.insert(d.entries.end(), folders.begin(), folders.end());
  d.entries.insert(d.entries.end(), files.begin(), files.end());

  HWND list = GetDlgItem(dialog, kFileDialogList);
  ListView_DeleteAllItems(list);
  for (size_t i = 0; i < d.entries.size(); ++i)
  {
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(d.entries[i].c_str());
    item.lParam = static_cast<LPARAM>(i);
    ListView_InsertItem(list, &item);
  }
  SetDlgItemText(dialog, kFileDialogFolderLabel, d.folder.c_str());
}

void goInto(HWND dialog, FileDialog& d, const std::string& entry)
{
  if (entry == "..")
  {
    const fs::path parent = fs::path(d.folder).parent_path();
    d.folder = parent.empty() ? "/" : parent.string();
  }
  else
    d.folder = joined(d.folder, entry.substr(0, entry.size() - 1));
  fillList(dialog, d);
}

std::vector<int> selectedRows(HWND list)
{
  std::vector<int> rows;
  for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED))
    rows.push_back(i);
  return rows;
}

// OK (or a double click on an entry): into a chosen folder, or the dialog's answer.
void accept(HWND dialog, FileDialog& d, bool doubleClicked)
{
  const std::vector<int> rows = selectedRows(GetDlgItem(dialog, kFileDialogList));
  std::vector<std::string> files;
  std::string folder;
  for (int row : rows)
  {
    if (row < 0 || static_cast<size_t>(row) >= d.entries.size()) continue;
    const std::string& entry = d.entries[static_cast<size_t>(row)];
    if (isFolderEntry(entry))
    {
      if (folder.empty()) folder = entry;
    }
    else
      files.push_back(joined(d.folder, entry));
  }
  if (d.mode == Mode::directory && doubleClicked && !folder.empty())
  {
    goInto(dialog, d, folder);
    return;
  }
  if (d.mode == Mode::directory)
  {
    d.chosen = {folder.empty() || folder == ".." ? d.folder : joined(d.folder, folder.substr(0, folder.size() - 1))};
    EndDialog(dialog, 1);
    return;
  }
  if (d.mode == Mode::open)
  {
    if (!files.empty())
    {
      d.chosen = files;
      EndDialog(dialog, 1);
    }
    else if (!folder.empty())
      goInto(dialog, d, folder);
    return;
  }
  char name[2048];
  GetDlgItemText(dialog, kFileDialogName, name, sizeof name);
  if (!folder.empty() && rows.size() == 1 && (doubleClicked || !*name))
  {
    goInto(dialog, d, folder);
    return;
  }
  if (!*name) return;
  std::string path = name[0] == '/' ? std::string(name) : joined(d.folder, name);
  // A name without one of the allowed types gets the first of them.
  if (!d.allowed.empty() && !allowedFile(d, path)) path += "." + d.allowed.front();
  d.chosen = {path};
  EndDialog(dialog, 1);
}

void createFileDialogControls(HWND view, int)
{
  FileDialog& d = *s_running;
  SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, false);
  SWELL_MakeLabel(-1, "", kFileDialogFolderLabel, 10, 10, kWidth - 20, 20, 0);
  SWELL_MakeControl("", kFileDialogList, "SysListView32",
                    LVS_REPORT | LVS_NOCOLUMNHEADER | (d.multiple ? 0 : LVS_SINGLESEL), 10, kListTop, kWidth - 20,
                    kListHeight, 0);
  int y = kListTop + kListHeight + 8;
  if (d.mode == Mode::save)
  {
    SWELL_MakeLabel(-1, "Name:", kFileDialogNameLabel, 10, y + 3, 50, 20, 0);
    SWELL_MakeEditField(kFileDialogName, 64, y, kWidth - 74, 22, 0);
    y += 30;
  }
  if (d.accessoryHeight > 0) y += d.accessoryHeight + 8;
  SWELL_MakeButton(0, "Cancel", IDCANCEL, kWidth - 200, y, 90, kButtonHeight, 0);
  SWELL_MakeButton(1, d.mode == Mode::save ? "Save" : d.mode == Mode::open ? "Open" : "Choose", IDOK, kWidth - 100, y, 90,
                   kButtonHeight, 0);
  SWELL_MakeSetCurParms(1, 1, 0, 0, nullptr, false, false);
}

// Where the accessory goes: below the list (and the name field), centred.
int accessoryTop(const FileDialog& d)
{
  return kListTop + kListHeight + 8 + (d.mode == Mode::save ? 30 : 0);
}

const SWELL_DialogResourceIndex* findResource(const Template& t)
{
  for (const SWELL_DialogResourceIndex* r = t.list; r; r = r->_next)
    if (r->resid == t.resid) return r;
  return nullptr;
}

void placeAccessory(HWND dialog, FileDialog& d)
{
  HWND chooser = nullptr;
  if (d.chooser) chooser = SWELL_CreateDialog(&s_chooserResource, s_chooserResource.resid, dialog, fileTypeChooserProc, 0);
  HWND accessory = nullptr;
  if (d.accessory.resid)
    accessory = SWELL_CreateDialog(d.accessory.list, d.accessory.resid, chooser ? chooser : dialog, d.accessory.proc, 0);
  HWND outer = chooser ? chooser : accessory;
  if (!outer) return;
  if (chooser && accessory)
  {
    swellWindowView(accessory)->setFrameOrigin(cocoa::NSMakePoint(0, kChooserHeight));
    swellWindowView(chooser)->setFrameSize(cocoa::NSMakeSize(d.accessoryWidth, d.accessoryHeight));
    ShowWindow(accessory, SW_SHOWNA);
  }
  swellWindowView(outer)->setFrameOrigin(cocoa::NSMakePoint((kWidth - d.accessoryWidth) / 2, accessoryTop(d)));
  ShowWindow(outer, SW_SHOWNA);
  // The first filter applies at once.
  if (chooser) SendMessage(chooser, WM_COMMAND, (CBN_SELCHANGE << 16) | kFileTypeCombo, 0);
}

LRESULT fileDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  FileDialog* d = s_running;
  if (!d) return 0;
  switch (msg)
  {
  case WM_INITDIALOG:
  {
    LVCOLUMN column{};
    column.mask = LVCF_WIDTH;
    column.cx = kWidth - 40;
    ListView_InsertColumn(GetDlgItem(dialog, kFileDialogList), 0, &column);
    fillList(dialog, *d);
    if (d->mode == Mode::save) SetDlgItemText(dialog, kFileDialogName, d->name.c_str());
    placeAccessory(dialog, *d);
    return 1;
  }
  case WM_NOTIFY:
  {
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!hdr || static_cast<int>(hdr->idFrom) != kFileDialogList) return 0;
    // A double click on an entry is OK on it: into a folder, or the file chosen.
    if (hdr->code == static_cast<UINT>(NM_DBLCLK))
    {
      if (reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem >= 0) accept(dialog, *d, true);
      return 0;
    }
    if (hdr->code != static_cast<UINT>(LVN_ITEMCHANGED)) return 0;
    // Choosing a file while saving takes its name.
    const int row = ListView_GetNextItem(hdr->hwndFrom, -1, LVNI_SELECTED);
    if (d->mode == Mode::save && row >= 0 && static_cast<size_t>(row) < d->entries.size() &&
        !isFolderEntry(d->entries[static_cast<size_t>(row)]))
      SetDlgItemText(dialog, kFileDialogName, d->entries[static_cast<size_t>(row)].c_str());
    return 0;
  }
  case WM_COMMAND:
    if ((wParam & 0xFFFF) == IDOK) accept(dialog, *d, false);
    if ((wParam & 0xFFFF) == IDCANCEL) EndDialog(dialog, 0);
    return 0;
  default:
    return 0;
  }
}

// The file-type chooser: a label and a drop-down list of the filters; choosing one puts its
// types first among the allowed ones.
LRESULT fileTypeChooserProc(HWND view, UINT msg, WPARAM wParam, LPARAM)
{
  FileDialog* d = s_running;
  if (!d) return 0;
  switch (msg)
  {
  case WM_INITDIALOG:
  {
    SetWindowLong(view, GWL_USERDATA, reinterpret_cast<LONG_PTR>(d->filterList));
    const std::string initialExtension = extensionOf(d->initialFile);
    int pick = -1;
    for (const char* p = d->filterList; p && *p;)
    {
      const char* description = p;
      const char* patterns = p + std::strlen(p) + 1;
      if (!*patterns) break;
      p = patterns + std::strlen(patterns) + 1;
      if (!std::strcmp(patterns, "*.*")) continue;
      const char* dot = std::strchr(patterns, '.');
      const int index = SWELL_CB_AddString(view, kFileTypeCombo, description);
      SWELL_CB_SetItemData(view, kFileTypeCombo, index, reinterpret_cast<LONG_PTR>(dot ? dot + 1 : patterns));
      if (pick < 0 && !initialExtension.empty())
      {
        std::vector<std::string> own;
        addExtensions(patterns, nullptr, &own);
        for (const std::string& e : own)
          if (!strcasecmp(e.c_str(), initialExtension.c_str())) pick = index;
      }
    }
    SWELL_CB_SetCurSel(view, kFileTypeCombo, pick < 0 ? 0 : pick);
    return 1;
  }
  case WM_COMMAND:
    if ((wParam & 0xFFFF) == kFileTypeCombo && (wParam >> 16) == CBN_SELCHANGE)
    {
      const int index = SWELL_CB_GetCurSel(view, kFileTypeCombo);
      const auto* preferred = reinterpret_cast<const char*>(SWELL_CB_GetItemData(view, kFileTypeCombo, index));
      std::vector<std::string> allowed = swellExtensionsFromList(d->filterList, preferred);
      if (!allowed.empty())
      {
        d->allowed = std::move(allowed);
        if (HWND dialog = GetParent(view)) fillList(dialog, *d);
      }
    }
    return 0;
  case WM_SIZE:
  {
    RECT r{};
    GetClientRect(view, &r);
    const int width = r.right - r.left;
    SetWindowPos(GetDlgItem(view, kFileTypeLabel), nullptr, width / 2 - 169, 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(GetDlgItem(view, kFileTypeCombo), nullptr, width / 2 - 85, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return 0;
  }
  default:
    return 0;
  }
}

void createFileTypeChooser(HWND view, int)
{
  SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, false);
  SWELL_MakeLabel(-1, "File type:", kFileTypeLabel, 0, 2, 80, 22, 0);
  SWELL_MakeCombo(kFileTypeCombo, 84, 0, 250, 0, CBS_DROPDOWNLIST);
  SWELL_MakeSetCurParms(1, 1, 0, 0, nullptr, false, false);
}

// Splits the initial file into its folder and name; without a folder of its own the
// initial folder is used, and without either the home folder.
void setInitialLocation(FileDialog& d, const char* initialDir, const char* initialFile)
{
  std::string file = initialFile ? std::string(initialFile).substr(0, kLongestInitialFile) : std::string();
  const size_t slash = file.rfind('/');
  if (slash != std::string::npos)
  {
    d.folder = slash == 0 ? "/" : file.substr(0, slash);
    d.name = file.substr(slash + 1);
  }
  else
    d.name = file;
  d.initialFile = d.name;
  if (d.folder.empty() && initialDir && *initialDir) d.folder = initialDir;
  if (d.folder.empty()) d.folder = getenv("HOME") && *getenv("HOME") ? getenv("HOME") : "/";
  while (d.folder.size() > 1 && d.folder.back() == '/') d.folder.pop_back();
}

// Runs the dialog; the chosen paths, empty when cancelled.
std::vector<std::string> runFileDialog(FileDialog& d, const char* title)
{
  d.accessory = std::exchange(s_template, Template{});
  if (d.chooser)
  {
    d.accessoryWidth = kChooserWidth;
    d.accessoryHeight = kChooserHeight;
  }
  if (const SWELL_DialogResourceIndex* r = d.accessory.resid ? findResource(d.accessory) : nullptr)
  {
    d.accessoryWidth = std::max(d.accessoryWidth, r->width);
    d.accessoryHeight += r->height;
  }
  const int height = accessoryTop(d) + (d.accessoryHeight > 0 ? d.accessoryHeight + 8 : 0) + kButtonHeight + 12;
  static const char kResid[] = "swell-file-dialog";
  SWELL_DialogResourceIndex resource = {kResid, title ? title : "", 0x4 | 0x10, createFileDialogControls, kWidth, height,
                                        nullptr};
  FileDialog* outer = std::exchange(s_running, &d);
  const int answer = SWELL_DialogBox(&resource, kResid, nullptr, fileDialogProc, 0);
  s_running = outer;
  return answer == 1 ? d.chosen : std::vector<std::string>();
}
}  // namespace

std::vector<std::string> swellExtensionsFromList(const char* filterList, const char* preferred)
{
  std::vector<std::string> out;
  for (const char* p = filterList; p && *p;)
  {
    const char* patterns = p + std::strlen(p) + 1;
    if (!*patterns) break;
    p = patterns + std::strlen(patterns) + 1;
    addExtensions(patterns, preferred, &out);
  }
  return out;
}

void BrowseFile_SetTemplate(const char* resid, DLGPROC proc, SWELL_DialogResourceIndex* list)
{
  s_template = Template{resid, proc, list};
}

int BrowseForSaveFile(const char* title, const char* initialDir, const char* initialFile, const char* filterList,
                      char* buf, int bufSize)
{
  FileDialog d;
  d.mode = Mode::save;
  d.filterList = filterList;
  d.allowed = swellExtensionsFromList(filterList, nullptr);
  d.chooser = d.allowed.size() >= 2;
  setInitialLocation(d, initialDir, initialFile);
  const std::vector<std::string> chosen = runFileDialog(d, title);
  if (chosen.empty() || !buf || bufSize < 1) return 0;
  lstrcpyn(buf, chosen.front().c_str(), bufSize);
  return buf[0] != 0;
}

int BrowseForDirectory(const char* title, const char* initialDir, char* buf, int bufSize)
{
  FileDialog d;
  d.mode = Mode::directory;
  setInitialLocation(d, initialDir, nullptr);
  const std::vector<std::string> chosen = runFileDialog(d, title);
  if (chosen.empty() || !buf || bufSize < 1) return 0;
  lstrcpyn(buf, chosen.front().c_str(), bufSize);
  return 1;
}

char* BrowseForFiles(const char* title, const char* initialDir, const char* initialFile, bool allowMultiple,
                     const char* filterList)
{
  FileDialog d;
  d.mode = Mode::open;
  d.multiple = allowMultiple;
  d.filterList = filterList;
  d.allowed = swellExtensionsFromList(filterList, nullptr);
  setInitialLocation(d, initialDir, initialFile);
  const std::vector<std::string> chosen = runFileDialog(d, title);
  if (chosen.empty()) return nullptr;
  std::string result;
  if (chosen.size() == 1 || !allowMultiple)
    result = chosen.front().substr(0, kLongestInitialFile) + '\0';
  else
  {
    result.push_back('\0');
    for (const std::string& path : chosen) result += path + '\0';
  }
  auto* out = static_cast<char*>(std::malloc(result.size() + 1));
  if (!out) return nullptr;
  std::memcpy(out, result.data(), result.size());
  out[result.size()] = 0;
  return out;
}
