#pragma once

#include <QByteArray>
#include <QImage>

// Reads a Truevision Targa picture: colour-mapped, true-colour and grey images, uncompressed
// or run-length encoded, 8, 15, 16, 24 or 32 bits per pixel, with either origin, with or
// without the version 2 footer. Returns a null image for anything it cannot read; sizes are
// checked against the data before anything is allocated.
QImage ReadTga(const QByteArray& bytes);
// Whether bytes look like a Targa file (the header's fields are all in range).
bool LooksLikeTga(const QByteArray& bytes);
