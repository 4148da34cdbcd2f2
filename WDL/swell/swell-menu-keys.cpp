#include "swell-menu-internal.h"

#include "platform/appkit/event.h"
#include "platform/appkit/keys.h"

#include <cctype>
#include <cstring>

using namespace cocoa;

namespace
{
constexpr int kVirtualF1 = 112;
constexpr int kVirtualF24 = 135;
// Keys typed as themselves unless the key is given as a virtual key.
constexpr const char* kPunctuationKeys = "!\"',./?[\\]|";

struct VirtualKeyEquivalent
{
  int key;
  char32_t character;
};

constexpr VirtualKeyEquivalent kVirtualKeys[] = {
    {8, 8},                          // backspace
    {33, NSPageUpFunctionKey},       // page up
    {34, NSPageDownFunctionKey},     // page down
    {35, NSEndFunctionKey},          // end
    {36, NSHomeFunctionKey},         // home
    {37, NSLeftArrowFunctionKey},    // left
    {38, NSUpArrowFunctionKey},      // up
    {39, NSRightArrowFunctionKey},   // right
    {40, NSDownArrowFunctionKey},    // down
    {45, NSInsertFunctionKey},       // insert
    {46, 127},                       // delete
    {109, '-'},                      // keypad minus
};

bool isLetter(int key)
{
  return key >= 'A' && key <= 'Z';
}

// The character of the key equivalent, or 0 for a key that has none.
char32_t equivalentCharacter(int key, unsigned modifiers)
{
  const bool shift = (modifiers & FSHIFT) != 0;
  if (isLetter(key) || (key >= '0' && key <= '9')) return static_cast<char32_t>(shift ? key : std::tolower(key));
  if (!(modifiers & FVIRTKEY) && key > 0 && key < 128 && std::strchr(kPunctuationKeys, key))
    return static_cast<char32_t>(key);
  if (key >= kVirtualF1 && key <= kVirtualF24) return NSF1FunctionKey + static_cast<char32_t>(key - kVirtualF1);
  for (const VirtualKeyEquivalent& entry : kVirtualKeys)
    if (entry.key == key) return entry.character;
  return 0;
}

unsigned equivalentModifierMask(int key, unsigned modifiers)
{
  unsigned mask = 0;
  if (modifiers & FCONTROL) mask |= NSEventModifierFlagCommand;
  if (modifiers & FALT) mask |= NSEventModifierFlagOption;
  if (modifiers & FLWIN) mask |= NSEventModifierFlagControl;
  // An upper-case letter carries the Shift itself.
  if ((modifiers & FSHIFT) && !isLetter(key)) mask |= NSEventModifierFlagShift;
  return mask;
}
}  // namespace

int SetMenuItemModifier(HMENU handle, int position, int flags, int key, unsigned modifiers)
{
  return swell::changeItem(handle, position, (flags & MF_BYPOSITION) != 0, [key, modifiers](NSMenuItem* item) {
    const char32_t character = equivalentCharacter(key, modifiers);
    item->setKeyEquivalent(character ? keyCharacterString(character) : NSString());
    item->setKeyEquivalentModifierMask(equivalentModifierMask(key, modifiers));
  });
}
