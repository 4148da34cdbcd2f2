#pragma once

namespace cocoa
{
class NSEvent;
}

// Key events as Win32 virtual-key codes with accelerator flags, from the platform's Mac key
// codes and characters.

enum
{
  FVIRTKEY = 0x01,  // the code is a virtual key, not a character
  FSHIFT = 0x04,
  FCONTROL = 0x08,  // the Command key (Linux Ctrl)
  FALT = 0x10,      // the Option key
  FLWIN = 0x20,     // the Control key (Linux Super), while Control-click is no right click
};

// The code of a key event (the application's current event for null) and its flags. Mode 1
// prefers the characters the event typed, and for keys that type none what the layout
// gives them; mode 0 looks at the characters without modifiers.
int SWELL_MacKeyToWindowsKeyEx(cocoa::NSEvent* event, int* flags, int mode);
// Mode 0; 0 for a null event.
int SWELL_MacKeyToWindowsKey(cocoa::NSEvent* event, int* flags);
// The US symbol of a shifted digit key (flags exactly FVIRTKEY | FSHIFT), with the new flags
// 0; otherwise 0.
int SWELL_KeyToASCII(int code, int flags, int* newFlags);
// 0x8000 while the mouse button (1 left, 2 right, 4 middle) or modifier (16 shift, 17 the
// Command key, 18 the Option key, 91 the Control key) is down, else 0.
int GetAsyncKeyState(int vk);
// What the key types on the keyboard layout in use without modifiers, or 0.
int charFromVcode(int keyCode);
