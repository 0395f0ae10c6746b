// Writes the seed corpus of fuzz_picture: documents holding bitmaps of each depth the program
// stores (1, 4, 8 and 24 bits) and metafiles of both kinds. Usage: make_picture_seeds DIR
#include "document/AppContext.h"
#include "document/Card.h"
#include "objects/ObjectClasses.h"
#include "objects/Picture.h"
#include "storage/Stored.h"
#include "types/Pcx.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <initializer_list>
#include <utility>
#include <vector>

namespace {

QByteArray BmpOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "BMP").write(image);
    return bytes;
}

QImage Pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 50, (x + y) * 20));
    return image;
}

// A 16-colour bitmap as the PCX reader makes it: 5 x 3 pixels in four planes of one bit.
QByteArray FourBitBmp() {
    QByteArray pcx(128, '\0');
    auto* h = reinterpret_cast<uchar*>(pcx.data());
    h[0] = 10, h[1] = 5, h[2] = 1, h[3] = 1;
    qToLittleEndian<quint16>(4, h + 8);
    qToLittleEndian<quint16>(2, h + 10);
    for (int i = 0; i < 48; ++i)
        h[16 + i] = uchar(i * 5);
    h[65] = 4;
    qToLittleEndian<quint16>(1, h + 66);
    for (int i = 0; i < 12; ++i)
        pcx += char(i * 0x15 & 0xB8);
    return ReadPcxBytes(pcx).Bytes;
}

void Append16(QByteArray& b, std::initializer_list<int> words) {
    for (int w : words) {
        char raw[2];
        qToLittleEndian<quint16>(quint16(w), raw);
        b.append(raw, 2);
    }
}

void Append32(QByteArray& b, std::initializer_list<qint64> values) {
    for (qint64 v : values) {
        char raw[4];
        qToLittleEndian<quint32>(quint32(v), raw);
        b.append(raw, 4);
    }
}

// A placeable metafile of 100 x 100 logical units on a 1-inch frame: a red brush, a
// rectangle and an ellipse.
QByteArray PlaceableWmf() {
    QByteArray records;
    auto record = [&records](int function, std::initializer_list<int> params) {
        Append32(records, {qint64(3 + params.size())});
        Append16(records, {function});
        Append16(records, params);
    };
    record(0x020B, {0, 0});                 // SetWindowOrg (y, x)
    record(0x020C, {100, 100});             // SetWindowExt (y, x)
    record(0x02FC, {0, 0x00FF, 0x0000, 0}); // CreateBrushIndirect: solid, red
    record(0x012D, {0});                    // SelectObject
    record(0x041B, {90, 90, 10, 10});       // Rectangle (bottom, right, top, left)
    record(0x0418, {80, 60, 20, 40});       // Ellipse
    record(0x0000, {});                     // end of file

    QByteArray header;
    Append16(header, {1, 9, 0x0300});
    Append32(header, {(18 + records.size()) / 2});
    Append16(header, {1});
    Append32(header, {7});
    Append16(header, {0});

    QByteArray placeable;
    Append32(placeable, {0x9AC6CDD7});
    Append16(placeable, {0, 0, 0, 100, 100, 1440});
    Append32(placeable, {0});
    quint16 checksum = 0;
    for (int i = 0; i < placeable.size(); i += 2)
        checksum ^= qFromLittleEndian<quint16>(placeable.constData() + i);
    Append16(placeable, {checksum});
    return placeable + header + records;
}

// An enhanced metafile with a 1-inch frame: a blue brush, a rectangle and an ellipse.
QByteArray SmallEmf() {
    QByteArray records;
    Append32(records, {39, 24, 1, 0, 0xFF0000, 0}); // CreateBrushIndirect: solid, blue
    Append32(records, {37, 12, 1});                 // SelectObject
    Append32(records, {43, 24, 10, 10, 90, 90});    // Rectangle
    Append32(records, {42, 24, 20, 40, 60, 80});    // Ellipse
    Append32(records, {14, 20, 0, 16, 20});         // end of file
    constexpr int HeaderSize = 108;
    QByteArray emf;
    Append32(emf, {1, HeaderSize, 10, 10, 90, 90, 0, 0, 2540, 2540, 0x464D4520, 0x10000,
                   HeaderSize + records.size(), 6});
    Append16(emf, {2, 0});
    Append32(emf, {0, 0, 0, 1024, 768, 320, 240, 0, 0, 0, 320000, 240000});
    return emf + records;
}

TPictureObject* Picture(const TRect& bounds) {
    auto* picture = new TPictureObject();
    picture->Bounds = bounds;
    picture->HasPicture = true;
    return picture;
}

TPictureObject* BitmapPicture(const QByteArray& bmp, const TRect& bounds) {
    TPictureObject* picture = Picture(bounds);
    picture->Bitmap.Bytes = bmp;
    return picture;
}

TPictureObject* MetafilePicture(TMetafileFormat format, const QByteArray& bytes,
                                const TRect& bounds) {
    TPictureObject* picture = Picture(bounds);
    picture->IsMetafile = true;
    picture->Metafile = {format, bytes};
    return picture;
}

// A folded card with the pictures on its front panel.
void Save(const QString& dir, const QString& name, std::vector<TPictureObject*> pictures) {
    TCard card(0, 0);
    TCardPanel* panel = card.Pages(0)->Panels(0);
    for (TPictureObject* picture : pictures)
        panel->AddObject(picture);
    SaveStoredToFile(QDir(dir).filePath(name), card);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    RegisterDocumentClasses();
    TAppContext context;
    TAppContextScope scope(context);

    const QImage pattern = Pattern(6, 5);
    const QByteArray rgb = BmpOf(pattern);
    const QByteArray indexed = BmpOf(pattern.convertToFormat(QImage::Format_Indexed8));
    const QByteArray mono = BmpOf(pattern.convertToFormat(QImage::Format_Mono));
    const QByteArray wmf = PlaceableWmf();
    const QByteArray emf = SmallEmf();

    Save(dir, QStringLiteral("bitmap-24.qdx"), {BitmapPicture(rgb, {10, 10, 210, 110})});
    Save(dir, QStringLiteral("bitmap-8.qdx"), {BitmapPicture(indexed, {0, 0, 60, 50})});
    Save(dir, QStringLiteral("bitmap-4.qdx"), {BitmapPicture(FourBitBmp(), {0, 0, 500, 300})});
    Save(dir, QStringLiteral("bitmap-1.qdx"), {BitmapPicture(mono, {30, 40, 36, 45})});
    Save(dir, QStringLiteral("metafile-wmf.qdx"),
         {MetafilePicture(TMetafileFormat::Wmf, wmf, {0, 0, 100, 100})});
    Save(dir, QStringLiteral("metafile-emf.qdx"),
         {MetafilePicture(TMetafileFormat::Emf, emf, {50, 50, 250, 150})});
    Save(dir, QStringLiteral("mixed.qdx"),
         {BitmapPicture(rgb, {0, 0, 100, 100}), BitmapPicture(mono, {100, 0, 150, 40}),
          MetafilePicture(TMetafileFormat::Wmf, wmf, {0, 100, 100, 200}),
          MetafilePicture(TMetafileFormat::Emf, emf, {100, 100, 300, 200})});
    return 0;
}
