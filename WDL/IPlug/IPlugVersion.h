#pragma once

// Versions are packed as major << 16 | minor << 8 | fix; their decimal form is
// 10000 * major + 100 * minor + fix and their text "v<major>.<minor>.<fix>".

// The size GetVersionStr needs for its output; every version text is shorter.
constexpr int kVersionStrSize = 32;

void GetVersionParts(int version, int* major, int* minor, int* fix);
int GetDecimalVersion(int version);
// Writes "v%d.%d.%d" into out, which holds at least kVersionStrSize bytes.
void GetVersionStr(int version, char* out);
