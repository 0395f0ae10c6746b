#pragma once

#include "editor/Ruler.h"

#include <vector>

// One mark of a ruler scale; kept apart from the painting so the scale rules can be checked
// without probing pixels.
struct TRulerMark {
    int Position; // thousandths of the unit
    int Length;   // tick length in pixels
    bool Label;   // the whole unit is written beside the tick
};

// The marks from about `first` to `last` (thousandths of the unit, inclusive) at a zoom in
// percent: millimetres or eighths of an inch. Negative positions carry no mark.
std::vector<TRulerMark> RulerMarks(TRuler::TMeasurement measurement, int zoom, int first, int last);
