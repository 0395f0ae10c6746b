#pragma once

#include "document/CardObject.h"
#include "storage/Graphic.h"

#include <QSize>

// A picture embedded in the document: a bitmap or a metafile, stretched to the object.
class TPictureObject : public TCardObject {
    QDX_STORED_CLASS("TPictureObject")
public:
    TPictureObject() = default;
    using TCardObject::TCardObject;
    static TPictureObject* CreateDefault();

    bool HasPicture = false;
    bool IsMetafile = false;
    TBitmapData Bitmap;     // when not a metafile
    TMetafileData Metafile; // when a metafile

    // Pixel size of a bitmap picture, read from its header; empty for none.
    QSize BitmapSize() const;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    QString TypeName() const override { return QStringLiteral("Picture"); }

protected:
    void AssignTo(TStored& destination) const override;
};
