#pragma once

#include "Canvas.h"
#include "ControlLayout.h"

// The editor's background: a slate case holding two light oscillator bands, the
// shiver sync switches between them and the master strip below, with dark wells
// wherever a control writes its value in cream.

// The panel of a band (for Band::Between: the span between the two oscillator bands).
Box BandBox(Band band);

// Engraved lines dividing each oscillator band into sections: the oscillator, its
// pitch, noise and modulation, the filter, and the output.
constexpr double kSectionEdges[] = {119.5, 279.5, 400.5, 571.5};

// The well behind a text control.
Box WellBox(const ControlPlace& place);

Canvas DrawBackground();
