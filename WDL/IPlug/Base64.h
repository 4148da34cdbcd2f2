#pragma once

#include "wdlstring.h"

#include <cstdint>

// Standard Base64 (A-Z a-z 0-9 + /), padded with "=".

// Replaces out with the encoding of size bytes.
void Base64Encode(const uint8_t* data, int size, WDL_String* out);

// Decodes text up to its first character outside the alphabet (the padding
// "=" and the terminating NUL among them) into dest, writing at most destSize
// bytes. Returns the number of bytes written.
int Base64Decode(const char* text, uint8_t* dest, int destSize);
