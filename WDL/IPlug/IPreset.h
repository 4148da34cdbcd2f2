#pragma once

#include "ByteChunk.h"

#include <cstdio>

// A preset slot: a name and the plug-in state saved in it. A slot that was
// never filled is not initialized and its chunk is empty.
struct IPreset
{
  // Name field size, NUL included: names are cut to 255 characters.
  static constexpr int kNameSize = 256;

  bool mInitialized = false;
  char mName[kNameSize] = "empty";
  ByteChunk mChunk;

  void SetName(const char* name) { std::snprintf(mName, sizeof(mName), "%s", name ? name : ""); }
};
