#pragma once

#include "Canvas.h"

#include <string>

// Writes the canvas as an 8-bit RGBA PNG with straight alpha. Nothing in the file
// depends on the time or the machine, so the same canvas always gives the same bytes.
bool WritePng(const std::string& path, const Canvas& canvas, std::string* error);
