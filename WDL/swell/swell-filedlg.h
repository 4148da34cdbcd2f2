#pragma once

// Open, save and directory dialogs: modal dialogs of this layer with the folder's entries in
// a list view, a name field when saving, a file-type chooser for filter lists of several
// types, and an optional accessory dialog. Filter lists are Win32's: pairs of NUL-terminated
// description and pattern list ("*.wav;*.aif"), ended by an empty string.

#include "swell-types.h"

#include <string>
#include <vector>

// Nonzero when a non-empty path was stored in buf (at most bufSize bytes).
int BrowseForSaveFile(const char* title, const char* initialDir, const char* initialFile, const char* filterList,
                      char* buf, int bufSize);
// 1 when a folder was chosen and stored in buf.
int BrowseForDirectory(const char* title, const char* initialDir, char* buf, int bufSize);
// A result to free(): one path followed by two NULs, or (several files chosen with
// allowMultiple) an empty string, each path NUL-terminated, and a final NUL. Null when
// cancelled.
char* BrowseForFiles(const char* title, const char* initialDir, const char* initialFile, bool allowMultiple,
                     const char* filterList);
// An accessory dialog for the next file dialog only: its resource, procedure and list.
void BrowseFile_SetTemplate(const char* resid, DLGPROC proc, SWELL_DialogResourceIndex* list);

// The extensions a filter list names, in order (the text after a pattern's first '.', up to
// 31 characters; "*" and empty ones left out). With a preferred pattern list, the extensions
// it begins with come first.
std::vector<std::string> swellExtensionsFromList(const char* filterList, const char* preferred);

// Controls of the file dialogs, for whoever drives them (tests, accessory procedures).
enum
{
  kFileDialogFolderLabel = 100,
  kFileDialogList = 101,
  kFileDialogNameLabel = 102,
  kFileDialogName = 103,
  kFileTypeCombo = 1000,
  kFileTypeLabel = 1001,
};
