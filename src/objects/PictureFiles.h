#pragma once

#include "storage/Exception.h"
#include "storage/Graphic.h"

#include <QImage>
#include <QSize>
#include <QString>

// A picture as the picture object keeps it: a bitmap (the bytes of a BMP file) or a metafile.
struct TPictureData {
    bool IsMetafile = false;
    TBitmapData Bitmap;
    TMetafileData Metafile;

    bool IsEmpty() const { return IsMetafile ? Metafile.IsEmpty() : Bitmap.IsEmpty(); }
    // The bitmap's pixels; a metafile's frame at screen resolution. Empty without a picture.
    QSize PixelSize() const;
};

// A picture file that none of the readers can decode.
class EPictureError : public Exception {
public:
    explicit EPictureError(const QString& fileName)
        : Exception(QStringLiteral("Cannot read the picture file \"%1\"").arg(fileName)) {}
};

// Decodes a picture file by its contents: EMF and WMF are kept as metafiles (their bytes are
// what documents store); PCX goes through the PCX reader first, Targa through the Targa reader;
// BMP, GIF, JPEG, PNG and TIFF through Qt's readers. Raises EPictureError when nothing reads it.
TPictureData LoadPictureFile(const QString& fileName);
// A picture file as an image, through the same readers: a metafile is rendered at its frame's
// size on the screen, at most 2048 pixels on its longer side. Null when nothing reads the file.
QImage LoadPictureImage(const QString& fileName);
// The bytes of a BMP file for an image: 8 bits with a colour table for indexed images, 24 bits
// for opaque ones, 32 bits with an alpha mask when the image has transparent pixels.
TBitmapData BitmapFromImage(const QImage& image);
// The image of BMP bytes; null when they do not decode.
QImage ImageFromBitmap(const TBitmapData& bitmap);
