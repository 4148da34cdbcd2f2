#pragma once

// MIDI key numbers outside 0..127 (a malformed data byte, a note shifted out of
// range) are moved by whole octaves into it, so they still sound as that pitch class.
inline int FoldKey(int key)
{
  constexpr int kOctave = 12;
  constexpr int kMaxKey = 127;
  while (key > kMaxKey) key -= kOctave;
  while (key < 0) key += kOctave;
  return key;
}
