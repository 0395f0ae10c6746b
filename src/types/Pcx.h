#pragma once

#include "storage/Exception.h"
#include "storage/Graphic.h"

#include <QByteArray>
#include <QString>

// A PCX file that is unreadable or of a variant the reader does not take.
class EPcxError : public Exception {
public:
    EPcxError() : Exception(QStringLiteral("Cannot read the PCX file")) {}
};

// Reads a run-length encoded PCX picture (1 bit, 4 planes of 1 bit, 8 bits with the trailing
// 256-colour palette, or 3 planes of 8 bits) into the bytes of a BMP file: a 40-byte
// information header, the colour table and bottom-up rows padded to 4 bytes. Raises
// EPcxError for anything else.
TBitmapData ReadPcx(const QString& fileName);
TBitmapData ReadPcxBytes(const QByteArray& bytes);
