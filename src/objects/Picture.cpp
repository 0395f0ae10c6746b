#include "objects/Picture.h"

#include "document/AppContext.h"
#include "storage/Stored.h"

#include <QtEndian>

#include <cstdlib>

QSize TPictureObject::BitmapSize() const {
    const QByteArray& b = Bitmap.Bytes;
    if (IsMetafile || !TBitmapData::IsValidBmp(b)) return {};
    const quint32 header = qFromLittleEndian<quint32>(b.constData() + 14);
    if (header == 12)
        return {qFromLittleEndian<quint16>(b.constData() + 18),
                qFromLittleEndian<quint16>(b.constData() + 20)};
    return {std::abs(qFromLittleEndian<qint32>(b.constData() + 18)),
            std::abs(qFromLittleEndian<qint32>(b.constData() + 22))};
}

void TPictureObject::AssignTo(TStored& destination) const {
    TCardObject::AssignTo(destination);
    if (auto* picture = dynamic_cast<TPictureObject*>(&destination)) {
        picture->HasPicture = HasPicture;
        picture->IsMetafile = IsMetafile;
        picture->Bitmap = Bitmap;
        picture->Metafile = Metafile;
    }
}

void TPictureObject::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 2);
    TCardObject::Store(storage);
    storage.WriteBoolean(HasPicture);
    if (!HasPicture) return;
    storage.WriteBoolean(IsMetafile);
    if (IsMetafile)
        storage.WriteGraphic(Metafile);
    else
        storage.WriteGraphic(Bitmap);
}

void TPictureObject::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TCardObject::Load(storage);
    HasPicture = version == 0 || storage.ReadBoolean();
    Bitmap = TBitmapData();
    Metafile = TMetafileData();
    IsMetafile = false;
    if (!HasPicture) return;
    IsMetafile = storage.ReadBoolean();
    if (!IsMetafile)
        Bitmap = storage.ReadBitmap();
    else if (version >= 2)
        Metafile = storage.ReadMetafile();
    else
        Metafile = storage.ReadLegacyMetafile();
}

TPictureObject* TPictureObject::CreateDefault() {
    const QString section = QStringLiteral("Default Picture");
    const TSettingsStore& s = AppContext().Settings();
    return new TPictureObject(s.ReadBool(section, QStringLiteral("Center Horizontally"), false),
                              s.ReadBool(section, QStringLiteral("Center Vertically"), false));
}
