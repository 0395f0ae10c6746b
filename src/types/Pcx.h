#pragma once

#include "storage/Exception.h"
#include "storage/Graphic.h"

#include <QByteArray>
#include <QSize>
#include <QString>

// A PCX file that is unreadable or of a variant the reader does not take.
class EPcxError : public Exception {
public:
    EPcxError() : Exception(QStringLiteral("Cannot read the PCX file")) {}

protected:
    explicit EPcxError(const QString& message) : Exception(message) {}
};

// A sound PCX file with more pixels than a picture may be read at (LargestPicturePixels); it
// can still be read reduced.
class EPcxTooLarge : public EPcxError {
public:
    explicit EPcxTooLarge(QSize pixels)
        : EPcxError(QStringLiteral("The PCX picture is too large (%1 x %2 pixels)")
                        .arg(pixels.width())
                        .arg(pixels.height())),
          Pixels(pixels) {}
    QSize Pixels;
};

// Reads a run-length encoded PCX picture (1 bit, 4 planes of 1 bit, 8 bits with the trailing
// 256-colour palette, or 3 planes of 8 bits) into the bytes of a BMP file: a 40-byte
// information header, the colour table and bottom-up rows padded to 4 bytes. Raises
// EPcxError for anything else, EPcxTooLarge past LargestPicturePixels. With a reduced size
// (smaller than the picture) the picture is read shrunk to it instead, into a 24-bit BMP, and
// never held at its full size.
TBitmapData ReadPcx(const QString& fileName);
TBitmapData ReadPcxBytes(const QByteArray& bytes, QSize reduced = QSize());
