#!/usr/bin/env python3
"""Writes demo.mid next to this script: eight bars in A minor for the default
sound, a melody over chords and a bass line, slowing down into the last chord.

Run it again after changing the notes below; the .mid file is committed so that
building and rendering need no Python.
"""
import os
import struct

TICKS_PER_QUARTER = 480
TEMPO_BPM = 104

# (start in beats, length in beats, MIDI note, velocity); bars are four beats.
CHORDS = [  # one chord per bar, the last one held
    (0, [57, 60, 64], 4), (4, [57, 60, 65], 4), (8, [55, 60, 64], 4), (12, [55, 59, 62], 4),
    (16, [57, 60, 64], 4), (20, [57, 60, 65], 4), (24, [55, 59, 62], 2), (26, [56, 59, 64], 2),
    (28, [57, 60, 64], 6),
]
BASS = [  # roots on beats one and three
    (0, 45), (2, 45), (4, 41), (6, 41), (8, 48), (10, 43), (12, 43), (14, 43),
    (16, 45), (18, 45), (20, 41), (22, 41), (24, 43), (26, 40), (28, 45),
]
MELODY = [  # (start, length, note)
    (0, 1.5, 69), (1.5, 0.5, 71), (2, 1, 72), (3, 1, 76),
    (4, 2, 77), (6, 1, 76), (7, 1, 72),
    (8, 1.5, 76), (9.5, 0.5, 74), (10, 1, 72), (11, 1, 67),
    (12, 3, 71), (15, 1, 74),
    (16, 1, 72), (17, 0.5, 71), (17.5, 0.5, 69), (18, 1, 72), (19, 1, 76),
    (20, 2, 81), (22, 1, 79), (23, 1, 77),
    (24, 1, 74), (25, 1, 76), (26, 2, 71),
    (28, 6, 69),
]
# Tempo changes (beat, bpm): a ritardando into the final chord.
TEMPI = [(0, TEMPO_BPM), (28, 92), (29, 80), (30, 68)]

ARTICULATION = 0.92  # notes end a little before their full length


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def track(events):
    """events: (tick, order, bytes); order puts note-offs before note-ons at a tick."""
    body = b""
    now = 0
    for tick, _, data in sorted(events, key=lambda e: (e[0], e[1])):
        body += vlq(tick - now) + data
        now = tick
    body += vlq(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def ticks(beats):
    return int(round(beats * TICKS_PER_QUARTER))


def note(start, length, key, velocity, channel=0):
    end = start + length * ARTICULATION
    return [(ticks(start), 1, bytes([0x90 | channel, key, velocity])),
            (ticks(end), 0, bytes([0x80 | channel, key, 0]))]


def main():
    conductor = [(0, 0, b"\xff\x03" + vlq(4) + b"Demo"), (0, 0, b"\xff\x58\x04\x04\x02\x18\x08")]
    for beat, bpm in TEMPI:
        micros = int(round(60_000_000 / bpm))
        conductor.append((ticks(beat), 0, b"\xff\x51\x03" + micros.to_bytes(3, "big")))

    harmony = []
    for start, keys, length in CHORDS:
        for key in keys:
            harmony += note(start, length, key, 64)
    for start, key in BASS:
        harmony += note(start, 6 if start == 28 else 2, key, 84)

    melody = []
    for start, length, key in MELODY:
        melody += note(start, length, key, 100)

    header = b"MThd" + struct.pack(">IHHH", 6, 1, 3, TICKS_PER_QUARTER)
    data = header + track(conductor) + track(harmony) + track(melody)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo.mid")
    with open(path, "wb") as f:
        f.write(data)
    print(f"wrote {path} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
