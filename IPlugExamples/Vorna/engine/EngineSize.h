#pragma once

// How many voices the engine has and how many oscillator slots each voice has:
// every array, table and walk of the engine is sized from these two.
constexpr int kEngineVoices = 32;
constexpr int kEngineOscs = 2;
