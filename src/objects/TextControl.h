#pragma once

#include "document/Control.h"

// Base of the control objects that carry text (headline, rich text, grid). Under a mirrored
// mapping (printing turned panels) they draw upright into an offscreen picture, which the
// mapping then turns as a whole; 0xF7F7F7 in that picture is transparent.
class TTextControlObject : public TControlObject {
public:
    void DrawMirrored(TCanvas& canvas, int dx, int dy, bool printing) override;

protected:
    using TControlObject::TControlObject;
};
