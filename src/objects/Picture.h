#pragma once

#include "document/CardObject.h"
#include "objects/PictureFiles.h"
#include "storage/Graphic.h"

#include <QImage>
#include <QSize>
#include <QStringList>

#include <memory>

class TMetafilePicture;

// A picture embedded in the document: a bitmap or a metafile, stretched to the object.
class TPictureObject : public TCardObject {
    QDX_STORED_CLASS("TPictureObject")
public:
    TPictureObject();
    TPictureObject(bool centerHorizontally, bool centerVertically);
    ~TPictureObject() override;
    static TPictureObject* CreateDefault();

    bool HasPicture = false;
    bool IsMetafile = false;
    TBitmapData Bitmap;     // when not a metafile
    TMetafileData Metafile; // when a metafile

    // The picture as one value, and taking a new one (an empty one removes the picture).
    TPictureData Graphic() const;
    void SetGraphic(const TPictureData& picture);
    // Pixel size of a bitmap picture, read from its header; empty for none.
    QSize BitmapSize() const;
    // The picture's natural size in pixels: the bitmap's, or a metafile's frame at screen
    // resolution. Empty without a picture.
    QSize PictureSize() const;
    // The rectangle keeps its corner and takes the picture's pixels as hundredths of an inch.
    void RestoreOriginalSize();
    // The decoded bitmap at its full size (kept while drawn); null for metafiles, bad bytes and
    // bitmaps past LargestPicturePixels, which are only ever decoded at a smaller size.
    QImage BitmapImage() const;
    // The bitmap decoded for drawing at `pixels` of an output: whole when it fits the limit,
    // else shrunk to no more than `pixels` (and the limit). Kept in the shared cache.
    QImage BitmapImageFor(QSize pixels) const;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;
    QString TypeName() const override { return QStringLiteral("Picture"); }

protected:
    void AssignTo(TStored& destination) const override;

private:
    // Forgets what was decoded from the picture's bytes.
    void PictureChanged();
    // What cannot be drawn: a grey box with a cross and its reason on the screen and in the
    // preview; on printers and images nothing, but the reason is noted (TakeUndrawnPictures).
    void DrawUnreadable(TCanvas& canvas, const QRect& target, const QString& reason) const;

    mutable std::shared_ptr<const TMetafilePicture> FMetafile; // shared with copies
};

// The reasons pictures could not be drawn since the last call, each once: printing and
// rendering go on without them, and the batch commands report them.
QStringList TakeUndrawnPictures();
