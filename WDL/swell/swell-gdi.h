#pragma once

#include "swell-types.h"

// Memory drawing contexts: a context over a zeroed block of 32-bit XRGB pixels
// (bytes blue, green, red, then one ignored byte), rows top-down, stride width * 4
// bytes, the first pixel on a 64-byte boundary. The pixels stay at one address
// for the context's life.

// Null when the size is not positive, exceeds the pixel-memory cap, or memory
// cannot be had. The template context is ignored.
HDC SWELL_CreateMemContext(HDC templateContext, int width, int height);

// The top-left pixel of a memory context; null for a null context.
void* SWELL_GetCtxFrameBuffer(HDC context);

// Releases a context and its pixel memory; null is ignored.
void SWELL_DeleteGfxContext(HDC context);
