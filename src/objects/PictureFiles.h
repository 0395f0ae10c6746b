#pragma once

#include "storage/Exception.h"
#include "storage/Graphic.h"
#include "storage/PictureReduction.h"

#include <QImage>
#include <QSize>
#include <QString>

// A picture as the picture object keeps it: a bitmap (the bytes of a BMP file) or a metafile.
struct TPictureData {
    bool IsMetafile = false;
    TBitmapData Bitmap;
    TMetafileData Metafile;
    // A bitmap file too large to hold whole (EPictureTooLarge) is shown from a small reading;
    // whoever takes the picture reads the file again at the size it needs (the picture
    // dialog's reduction).
    QString SourceFile;
    QSize SourcePixels;

    bool IsEmpty() const { return IsMetafile ? Metafile.IsEmpty() : Bitmap.IsEmpty(); }
    bool IsOversized() const { return !SourceFile.isEmpty() && !SourcePixels.isEmpty(); }
    // The bitmap's pixels (the file's for an oversized one); a metafile's frame at screen
    // resolution. Empty without a picture.
    QSize PixelSize() const;
};

// A picture file that none of the readers can decode.
class EPictureError : public Exception {
public:
    explicit EPictureError(const QString& fileName)
        : Exception(QStringLiteral("Cannot read the picture file \"%1\"").arg(fileName)) {}
    // With the reason on a line of its own.
    EPictureError(const QString& fileName, const QString& reason)
        : Exception(QStringLiteral("Cannot read the picture file \"%1\"\n%2").arg(fileName, reason)) {}

protected:
    EPictureError(const QString& message, bool) : Exception(message) {}
};

// A picture file with more pixels than a picture is read at (LargestPicturePixels); it can be
// read reduced.
class EPictureTooLarge : public EPictureError {
public:
    EPictureTooLarge(const QString& fileName, QSize pixels)
        : EPictureError(QStringLiteral("The picture \"%1\" is too large (%2 \u00d7 %3 pixels).")
                            .arg(fileName)
                            .arg(pixels.width())
                            .arg(pixels.height()),
                        true),
          Pixels(pixels) {}
    QSize Pixels;
};

// Decodes a picture file by its contents: EMF and WMF are kept as metafiles (their bytes are
// what documents store); PCX goes through the PCX reader first, Targa through the Targa reader;
// BMP, GIF, JPEG, PNG and TIFF through Qt's readers. Raises EPictureError when nothing reads it
// and EPictureTooLarge for a bitmap past LargestPicturePixels. A bitmap larger than `reduced`
// is read shrunk to it (within the limit), never decoded at its full size first where the
// format allows (BMP, PCX, JPEG).
TPictureData LoadPictureFile(const QString& fileName, QSize reduced = QSize());
// A picture file as an image, through the same readers: a metafile is rendered at its frame's
// size on the screen, at most 2048 pixels on its longer side. Null when nothing reads the file.
QImage LoadPictureImage(const QString& fileName);
// The bytes of a BMP file for an image: 8 bits with a colour table for indexed images, 24 bits
// for opaque ones, 32 bits with an alpha mask when the image has transparent pixels.
TBitmapData BitmapFromImage(const QImage& image);
// The image of BMP bytes; null when they do not decode or pass LargestPicturePixels.
QImage ImageFromBitmap(const TBitmapData& bitmap);
// The image of BMP bytes at a size of at most `most` on each side (and within the limit):
// uncompressed bitmaps larger than that are read row by row and shrunk, never held whole.
QImage ImageFromBitmap(const TBitmapData& bitmap, QSize most);
