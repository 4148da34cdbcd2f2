#pragma once

#include "swell-types.h"

// Text on a drawing context, in its selected font (else the 10-point label font), text
// colour, background colour and background mode.

// Draws UTF-8 text (len < 0: up to the terminating zero) placed in the rectangle by the DT_
// flags, clipped to it unless DT_NOCLIP; with DT_CALCRECT only writes the rectangle's right
// and bottom. Carriage returns are dropped; a line feed breaks the line, or is a space
// under DT_SINGLELINE; unless DT_NOPREFIX an ampersand is dropped and the byte after it
// kept. At most 4095 bytes are used, cut between characters. Returns the height, or 0 when
// nothing was drawn or measured (null context, empty or invalid text, no font).
int SWELL_DrawText(HDC context, const char* text, int len, RECT* rect, int flags);
// Height, ascent, descent, leading and average width of the font; 1, or 0 for a null
// context or record (the record then holds 16, 12, 4, 3, 10).
int GetTextMetrics(HDC context, TEXTMETRIC* metrics);
// The font's display name in at most size - 1 bytes and a zero; its length.
int GetTextFace(HDC context, int size, char* buffer);
// Glyphs of the selected font for the characters; count when every one has a glyph, else
// 0 with every entry 0xFFFF (flags GGI_MARK_NONEXISTING_GLYPHS) or 0.
int GetGlyphIndicesW(HDC context, const wchar_t* characters, int count, unsigned short* glyphs, int flags);
