#pragma once

#include "swell-types.h"

#include <string>

// Settings files in the Win32 private-profile manner. A file name containing '/' is used
// as it is; a bare name N becomes the default settings path without its extension, plus
// "_N" (and ".ini" unless N ends in it); no name at all is the default path itself. The
// default path is the one set through SWELL_ExtendedAPI("INIFILE", ...), else
// $HOME/.libSwell.ini (/tmp when HOME is unset).
//
// Each file is parsed once and kept (32 files at most, the least recently used making
// room); a read costs one stat while the file is unchanged. Every change rewrites the whole
// file through the temporary file ".<name>.new" in the same folder that then replaces the
// path (a symbolic link there is replaced, not written through), so a reader never sees
// half a file. All functions may be called from any thread.
//
// Only a missing file reads as empty. A file that is there but cannot be read gives the
// defaults to readers and 0 to writers, so that it is never replaced by a file holding
// only the change. A write that cannot be completed returns 0 and leaves the file as it
// was; the change stays in memory and goes out with the next successful write, unless the
// file changes on disk first.
//
// A file that is read but is not settings text (text running past 0x40000 bytes before
// its first "[section]" header, or text without any header: binary, another encoding)
// gives the defaults as well. Such a file, and one read as settings that holds more than
// its rewrite keeps (control bytes, lines that are neither headers nor key lines, text
// after a header, a key or section given twice), has its bytes kept beside it before a
// write replaces it: as "<file>.unreadable", or, when an earlier keep holds that name, as
// "<file>.unreadable.1" and on to ".99". One content takes one name: a name that already
// holds it (the same file, or the same bytes) is used again, and a name given to the file
// by a write that then failed is taken back. The write is refused when the bytes cannot be
// kept for any other reason than all 100 names holding other contents; then they are not
// kept, and the write goes on.

// The value, trimmed of blanks and tabs and unquoted once ("x" or 'x'), else the default
// (null: ""), cut to outSize - 1 characters. A null section lists the section names, a
// null key the section's key names: each name ends in a NUL and the list in another; the
// result then counts up to the NUL after the last name. Returns the length written, 0
// for a size below 1.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                            int outSize, const char* file);
// The value as a decimal integer clamped to int; the default when the key is missing or
// empty, or when the text gives 0 without starting with the digit 0.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file);
// Decodes a value written by WritePrivateProfileStruct into size bytes; 1 when the text
// has exactly the length, the digits and the checksum of such a record.
BOOL GetPrivateProfileStruct(const char* section, const char* key, void* out, int size, const char* file);
// The section's "key=value" texts (values as GetPrivateProfileString gives them), each
// ending in a NUL, the list in another; cut to fit. Returns the bytes written before the
// last NUL, 0 for a missing section.
int GetPrivateProfileSection(const char* section, char* out, int outSize, const char* file);

// Sets a key; a null value deletes the key and a null key the whole section. Writing the
// value a key already has leaves the file alone. Refused (0) without any change: a null
// section, an empty key, and what would break the file's lines or be read back as
// something else: an empty section name, a section with ']', a key with '=' or starting
// with '[', and a section, key or value holding a line break, a NUL or another control
// byte than tab (a line holding one is not read). The last of these is the file's write
// problem (see SWELL_GetIniProblem) until a write succeeds.
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file);
// size bytes as upper-case hexadecimal, then their sum's low byte the same way. A null key
// or null data acts as WritePrivateProfileString with a null value.
BOOL WritePrivateProfileStruct(const char* section, const char* key, const void* data, int size, const char* file);
// Replaces the section's keys with the "key=value" texts of data (each ended by a NUL, the
// list by an empty text; texts without '=' skipped, each cut to 8190 characters). An
// empty list empties the section, or creates none. Pairs are refused as in
// WritePrivateProfileString, and then nothing changes.
BOOL WritePrivateProfileSection(const char* section, const char* data, const char* file);

// Told, on the writing thread and holding the settings lock (not the file's), when a write
// replaced a file whose bytes it kept aside: the file's path, the path its bytes are kept
// at, and whether the file was read as settings (holding more besides) or not at all. It
// may call the settings functions, on that file too. Null tells nobody. Only a name not
// told of before is told: one left by a write killed before its rename is, one already
// holding the same bytes is not.
using SWELL_IniKeptHandler = void (*)(const char* file, const char* keptAs, bool readAsSettings);
void SWELL_SetIniKeptHandler(SWELL_IniKeptHandler handler);
// Told instead, in the same way, when a write replaced such a file without keeping its
// bytes because every name for them holds another content: the file's path, the first and
// the last of those names and their number, and how the file was read.
using SWELL_IniNotKeptHandler = void (*)(const char* file, const char* firstName, const char* lastName, int names,
                                         bool readAsSettings);
void SWELL_SetIniNotKeptHandler(SWELL_IniNotKeptHandler handler);

// What stopped the last read of the file (writing false; a missing file reads as empty and
// is no failure), or the last change of it that had to be written (writing true): the path
// that failed (the file itself, or the lock, temporary or kept file beside it) and the
// system's reason, or for a change refused for a control byte the file and what held it.
// False when nothing did, or when the file is no longer cached.
bool SWELL_GetIniProblem(const char* file, bool writing, std::string* failedPath, std::string* reason);
