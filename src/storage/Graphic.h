#pragma once

#include <QByteArray>

// Pictures as a storage file carries them: the complete bytes of a Windows BMP file, or of an
// enhanced (EMF) or placeable Windows (WMF) metafile. Decoding and drawing belong to the
// layers above; here the bytes are only checked for the shape of their headers, so that a
// picture block that is not what it claims fails while the file is read.

struct TBitmapData {
    QByteArray Bytes; // empty: no picture

    bool IsEmpty() const { return Bytes.isEmpty(); }
    // Whether bytes begin like a BMP file whose sizes fit inside them.
    static bool IsValidBmp(const QByteArray& bytes);
};

enum class TMetafileFormat { None, Emf, Wmf };

struct TMetafileData {
    TMetafileFormat Format = TMetafileFormat::None;
    QByteArray Bytes;

    bool IsEmpty() const { return Bytes.isEmpty(); }
    static bool LooksLikeEmf(const QByteArray& bytes);
    static bool IsValidEmf(const QByteArray& bytes);
    static bool IsValidWmf(const QByteArray& bytes);
    // The size the metafile's header declares for the whole picture; -1 when not a metafile.
    static qint64 DeclaredSize(const QByteArray& bytes);
    // The format the bytes are in, None when they are neither.
    static TMetafileFormat Detect(const QByteArray& bytes);
};
