#pragma once

// The editor's controls whose values the plug-in itself keeps (its state stores
// them and its processing reads them), by the ids the editor's layout
// (editor/EditorLayout.h) gives them: all the plug-in needs of the editor's
// tables outside the editor's own files.
enum VornaControlId
{
  kFMInputSelectorId = -141,
  kAM1InputSelectorId = -142,
  kAM2InputSelectorId = -143,
  kTempoEntryId = -144,
  kMaskInputCheckBoxId = -145,
};
