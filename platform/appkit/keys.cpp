#include "platform/appkit/keys.h"

#include "platform/appkit/event.h"
#include "platform/backend/backend.h"

namespace cocoa
{
namespace
{
struct HidKey
{
  int usage;
  KeyInfo key;
};

// The one table of keys: HID usage, Mac code, US characters.
constexpr HidKey kKeys[] = {
    {4, {kVK_ANSI_A, 'a', 'A'}}, {5, {kVK_ANSI_B, 'b', 'B'}}, {6, {kVK_ANSI_C, 'c', 'C'}},
    {7, {kVK_ANSI_D, 'd', 'D'}}, {8, {kVK_ANSI_E, 'e', 'E'}}, {9, {kVK_ANSI_F, 'f', 'F'}},
    {10, {kVK_ANSI_G, 'g', 'G'}}, {11, {kVK_ANSI_H, 'h', 'H'}}, {12, {kVK_ANSI_I, 'i', 'I'}},
    {13, {kVK_ANSI_J, 'j', 'J'}}, {14, {kVK_ANSI_K, 'k', 'K'}}, {15, {kVK_ANSI_L, 'l', 'L'}},
    {16, {kVK_ANSI_M, 'm', 'M'}}, {17, {kVK_ANSI_N, 'n', 'N'}}, {18, {kVK_ANSI_O, 'o', 'O'}},
    {19, {kVK_ANSI_P, 'p', 'P'}}, {20, {kVK_ANSI_Q, 'q', 'Q'}}, {21, {kVK_ANSI_R, 'r', 'R'}},
    {22, {kVK_ANSI_S, 's', 'S'}}, {23, {kVK_ANSI_T, 't', 'T'}}, {24, {kVK_ANSI_U, 'u', 'U'}},
    {25, {kVK_ANSI_V, 'v', 'V'}}, {26, {kVK_ANSI_W, 'w', 'W'}}, {27, {kVK_ANSI_X, 'x', 'X'}},
    {28, {kVK_ANSI_Y, 'y', 'Y'}}, {29, {kVK_ANSI_Z, 'z', 'Z'}},
    {30, {kVK_ANSI_1, '1', '!'}}, {31, {kVK_ANSI_2, '2', '@'}}, {32, {kVK_ANSI_3, '3', '#'}},
    {33, {kVK_ANSI_4, '4', '$'}}, {34, {kVK_ANSI_5, '5', '%'}}, {35, {kVK_ANSI_6, '6', '^'}},
    {36, {kVK_ANSI_7, '7', '&'}}, {37, {kVK_ANSI_8, '8', '*'}}, {38, {kVK_ANSI_9, '9', '('}},
    {39, {kVK_ANSI_0, '0', ')'}},
    {40, {kVK_Return, '\r', '\r'}}, {41, {kVK_Escape, 0x1B, 0x1B}},
    {42, {kVK_Delete, kBackspaceCharacter, kBackspaceCharacter}},
    {43, {kVK_Tab, '\t', 0x19}}, {44, {kVK_Space, ' ', ' '}}, {45, {kVK_ANSI_Minus, '-', '_'}},
    {46, {kVK_ANSI_Equal, '=', '+'}}, {47, {kVK_ANSI_LeftBracket, '[', '{'}},
    {48, {kVK_ANSI_RightBracket, ']', '}'}}, {49, {kVK_ANSI_Backslash, '\\', '|'}},
    {51, {kVK_ANSI_Semicolon, ';', ':'}}, {52, {kVK_ANSI_Quote, '\'', '"'}}, {53, {kVK_ANSI_Grave, '`', '~'}},
    {54, {kVK_ANSI_Comma, ',', '<'}}, {55, {kVK_ANSI_Period, '.', '>'}}, {56, {kVK_ANSI_Slash, '/', '?'}},
    {57, {kVK_CapsLock, 0, 0}},
    {58, {kVK_F1, NSF1FunctionKey, NSF1FunctionKey}}, {59, {kVK_F2, NSF1FunctionKey + 1, NSF1FunctionKey + 1}},
    {60, {kVK_F3, NSF1FunctionKey + 2, NSF1FunctionKey + 2}}, {61, {kVK_F4, NSF1FunctionKey + 3, NSF1FunctionKey + 3}},
    {62, {kVK_F5, NSF1FunctionKey + 4, NSF1FunctionKey + 4}}, {63, {kVK_F6, NSF1FunctionKey + 5, NSF1FunctionKey + 5}},
    {64, {kVK_F7, NSF1FunctionKey + 6, NSF1FunctionKey + 6}}, {65, {kVK_F8, NSF1FunctionKey + 7, NSF1FunctionKey + 7}},
    {66, {kVK_F9, NSF1FunctionKey + 8, NSF1FunctionKey + 8}}, {67, {kVK_F10, NSF1FunctionKey + 9, NSF1FunctionKey + 9}},
    {68, {kVK_F11, NSF1FunctionKey + 10, NSF1FunctionKey + 10}}, {69, {kVK_F12, NSF1FunctionKey + 11, NSF1FunctionKey + 11}},
    {73, {kVK_Help, NSInsertFunctionKey, NSInsertFunctionKey}}, {74, {kVK_Home, NSHomeFunctionKey, NSHomeFunctionKey}},
    {75, {kVK_PageUp, NSPageUpFunctionKey, NSPageUpFunctionKey}},
    {76, {kVK_ForwardDelete, kDeleteCharacter, kDeleteCharacter}},
    {77, {kVK_End, NSEndFunctionKey, NSEndFunctionKey}}, {78, {kVK_PageDown, NSPageDownFunctionKey, NSPageDownFunctionKey}},
    {79, {kVK_RightArrow, NSRightArrowFunctionKey, NSRightArrowFunctionKey}},
    {80, {kVK_LeftArrow, NSLeftArrowFunctionKey, NSLeftArrowFunctionKey}},
    {81, {kVK_DownArrow, NSDownArrowFunctionKey, NSDownArrowFunctionKey}},
    {82, {kVK_UpArrow, NSUpArrowFunctionKey, NSUpArrowFunctionKey}},
    {83, {kVK_ANSI_KeypadClear, 0xF739, 0xF739}}, {84, {kVK_ANSI_KeypadDivide, '/', '/'}},
    {85, {kVK_ANSI_KeypadMultiply, '*', '*'}}, {86, {kVK_ANSI_KeypadMinus, '-', '-'}},
    {87, {kVK_ANSI_KeypadPlus, '+', '+'}}, {88, {kVK_ANSI_KeypadEnter, 0x03, 0x03}},
    {89, {kVK_ANSI_Keypad1, '1', '1'}}, {90, {kVK_ANSI_Keypad2, '2', '2'}}, {91, {kVK_ANSI_Keypad3, '3', '3'}},
    {92, {kVK_ANSI_Keypad4, '4', '4'}}, {93, {kVK_ANSI_Keypad5, '5', '5'}}, {94, {kVK_ANSI_Keypad6, '6', '6'}},
    {95, {kVK_ANSI_Keypad7, '7', '7'}}, {96, {kVK_ANSI_Keypad8, '8', '8'}}, {97, {kVK_ANSI_Keypad9, '9', '9'}},
    {98, {kVK_ANSI_Keypad0, '0', '0'}}, {99, {kVK_ANSI_KeypadDecimal, '.', '.'}},
    {103, {kVK_ANSI_KeypadEquals, '=', '='}},
    {104, {kVK_F13, NSF1FunctionKey + 12, NSF1FunctionKey + 12}}, {105, {kVK_F14, NSF1FunctionKey + 13, NSF1FunctionKey + 13}},
    {106, {kVK_F15, NSF1FunctionKey + 14, NSF1FunctionKey + 14}}, {107, {kVK_F16, NSF1FunctionKey + 15, NSF1FunctionKey + 15}},
    {108, {kVK_F17, NSF1FunctionKey + 16, NSF1FunctionKey + 16}}, {109, {kVK_F18, NSF1FunctionKey + 17, NSF1FunctionKey + 17}},
    {110, {kVK_F19, NSF1FunctionKey + 18, NSF1FunctionKey + 18}}, {111, {kVK_F20, NSF1FunctionKey + 19, NSF1FunctionKey + 19}},
    {224, {kVK_Command, 0, 0}}, {225, {kVK_Shift, 0, 0}}, {226, {kVK_Option, 0, 0}}, {227, {kVK_Control, 0, 0}},
    {228, {kVK_Command, 0, 0}}, {229, {kVK_RightShift, 0, 0}}, {230, {kVK_RightOption, 0, 0}},
    {231, {kVK_RightControl, 0, 0}},
};

bool isKeypad(uint16_t code)
{
  return code == kVK_ANSI_KeypadDecimal || code == kVK_ANSI_KeypadMultiply || code == kVK_ANSI_KeypadPlus ||
         code == kVK_ANSI_KeypadClear || code == kVK_ANSI_KeypadDivide || code == kVK_ANSI_KeypadEnter ||
         code == kVK_ANSI_KeypadMinus || code == kVK_ANSI_KeypadEquals ||
         (code >= kVK_ANSI_Keypad0 && code <= kVK_ANSI_Keypad9);
}
}  // namespace

std::optional<KeyInfo> keyForHidUsage(int usage)
{
  for (const HidKey& entry : kKeys)
    if (entry.usage == usage) return entry.key;
  return std::nullopt;
}

std::optional<int> hidUsageForMacKeyCode(uint16_t macKeyCode)
{
  for (const HidKey& entry : kKeys)
    if (entry.key.macKeyCode == macKeyCode) return entry.usage;
  return std::nullopt;
}

char32_t layoutCharacterForKeyCode(uint16_t macKeyCode)
{
  const std::optional<int> usage = hidUsageForMacKeyCode(macKeyCode);
  return usage ? platformBackend().layoutCharacter(*usage) : 0;
}

std::optional<KeyInfo> keyForCharacter(char32_t character, bool* needsShift)
{
  // Main-block keys first, so that '1' is the digit row and not the keypad.
  for (int pass = 0; pass < 2; ++pass)
    for (const HidKey& entry : kKeys)
    {
      if ((pass == 0) == isKeypad(entry.key.macKeyCode)) continue;
      if (entry.key.unshifted == character)
      {
        if (needsShift) *needsShift = false;
        return entry.key;
      }
      if (entry.key.shifted == character && entry.key.shifted != entry.key.unshifted)
      {
        if (needsShift) *needsShift = true;
        return entry.key;
      }
    }
  return std::nullopt;
}

unsigned modifierFlagsFromLinux(bool shift, bool ctrl, bool alt, bool super, bool capsLock)
{
  unsigned flags = 0;
  if (shift) flags |= NSEventModifierFlagShift;
  if (ctrl) flags |= NSEventModifierFlagCommand;
  if (alt) flags |= NSEventModifierFlagOption;
  if (super) flags |= NSEventModifierFlagControl;
  if (capsLock) flags |= NSEventModifierFlagCapsLock;
  return flags;
}

NSString keyCharacterString(char32_t character)
{
  std::string text;
  if (character) appendUtf8(character, &text);
  return NSString(text);
}
char32_t singleCharacterOf(const NSString& text)
{
  std::u32string characters;
  return decodeUtf8(text.str(), &characters) && characters.size() == 1 ? characters[0] : 0;
}
}  // namespace cocoa
