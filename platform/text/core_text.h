#pragma once

#include "platform/foundation/nsstring.h"
#include "platform/graphics/cg_types.h"

#include <cstdint>

namespace cocoa
{
struct CTFont;
struct CTLine;
using CTFontRef = CTFont*;
using CTLineRef = CTLine*;
using CGGlyph = uint16_t;

enum CTFontUIFontType
{
  kCTFontUIFontSystem = 2,
  kCTFontUIFontLabel = 10,
};

// Fonts by Mac face name ("Lucida Grande", "Helvetica Bold", ...) at a size in units;
// unknown names fall back to the default sans face. Null only when no font file exists.
CTFontRef CTFontCreateWithName(const NSString& name, CGFloat size, const CGAffineTransform* matrix);
CTFontRef CTFontCreateUIFontForLanguage(CTFontUIFontType type, CGFloat size, const char* language);
CTFontRef CTFontRetain(CTFontRef font);
void CTFontRelease(CTFontRef font);

CGFloat CTFontGetSize(CTFontRef font);
// The face's own line metrics at this size, unrounded.
CGFloat CTFontGetAscent(CTFontRef font);
CGFloat CTFontGetDescent(CTFontRef font);
CGFloat CTFontGetLeading(CTFontRef font);
NSString CTFontCopyFamilyName(CTFontRef font);
NSString CTFontCopyDisplayName(CTFontRef font);
NSString CTFontCopyPostScriptName(CTFontRef font);
// True when every character has a glyph; missing ones are written as 0.
bool CTFontGetGlyphsForCharacters(CTFontRef font, const char32_t* characters, CGGlyph* glyphs, long count);
// Writes each glyph's advance (when advances is not null) and returns their sum.
double CTFontGetAdvancesForGlyphs(CTFontRef font, const CGGlyph* glyphs, CGSize* advances, long count);

// Font files added at run time. Both scopes last for this process only: nothing is
// installed for the user.
enum CTFontManagerScope
{
  kCTFontManagerScopeNone = 0,
  kCTFontManagerScopeProcess = 1,
  kCTFontManagerScopeUser = 2,
};
bool CTFontManagerRegisterFontsForURL(const NSString& path, CTFontManagerScope scope);

// One line of text in one font and colour (null colour: black).
CTLineRef CTLineCreateWithText(CTFontRef font, const NSString& text, CGColorRef foreground);
void CTLineRelease(CTLineRef line);
// The line's width; ascent, descent and leading of its font through the pointers.
double CTLineGetTypographicBounds(CTLineRef line, CGFloat* ascent, CGFloat* descent, CGFloat* leading);
// Draws the line with its baseline starting at the context's text position, through the
// text matrix; the text position moves to the end of the line.
void CTLineDraw(CTLineRef line, CGContextRef context);
// Anti-aliased glyphs unless switched off here or by CGContextSetShouldAntialias.
void CTFontSetAntialiased(CTFontRef font, bool antialiased);
}  // namespace cocoa
