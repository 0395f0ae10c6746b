// Writes the documents the picture measurements use:
//   make_picture_documents emf RECORDS OUT.qdx [OUT.emf]   a flyer with one 6 x 8 inch picture
//                                    object holding an EMF of about RECORDS records (filled
//                                    rectangles and ellipses in changing colours)
//   make_picture_documents bitmap WIDTH HEIGHT OUT.qdx     a flyer with one 7 x 9 inch picture
//                                    object holding a 24-bit bitmap of that many pixels
//                                    (colour bands a quarter of the picture wide)
// Both pictures are made record by record or row by row, never held as a whole image.

#include "document/AppContext.h"
#include "document/Card.h"
#include "objects/ObjectClasses.h"
#include "objects/Picture.h"
#include "storage/Stored.h"
#include "support/BmpBytes.h"

#include <QFile>
#include <QGuiApplication>
#include <QtEndian>

#include <cstdio>
#include <exception>

namespace {

void Put32(QByteArray& b, quint32 v) {
    char bytes[4];
    qToLittleEndian<quint32>(v, bytes);
    b.append(bytes, 4);
}

void Record(QByteArray& b, quint32 type, std::initializer_list<qint32> params) {
    Put32(b, type);
    Put32(b, quint32(8 + 4 * params.size()));
    for (qint32 p : params) Put32(b, quint32(p));
}

// 6 x 8 inches on a 96 dpi reference device.
QByteArray Emf(qint64 records) {
    constexpr int Width = 576, Height = 768;
    QByteArray body;
    body.reserve(qsizetype(records) * 28);
    qint64 count = 0;
    Record(body, 37, {qint32(0x80000008)}); // SelectObject(NULL_PEN)
    ++count;
    for (qint64 i = 0; count + 4 <= records; ++i) {
        const quint32 colour = quint32(i * 2654435761u) & 0xFFFFFF;
        Record(body, 39, {1, 0, qint32(colour), 0}); // CreateBrushIndirect as object 1
        Record(body, 37, {1});                       // SelectObject
        const int x = int(i * 37 % (Width - 20)), y = int(i * 53 % (Height - 20));
        Record(body, 43, {x, y, x + 12, y + 9});      // Rectangle
        Record(body, 42, {x + 4, y + 6, x + 18, y + 18}); // Ellipse
        count += 4;
    }
    Record(body, 14, {0, 16, 20}); // EOF
    ++count;
    QByteArray b;
    for (quint32 v : {1u, 88u, 0u, 0u, quint32(Width - 1), quint32(Height - 1), 0u, 0u, 15240u,
                      20320u, 0x464D4520u, 0x10000u, quint32(88 + body.size()), quint32(count + 1)})
        Put32(b, v);
    b.append("\x02\x00\x00\x00", 4); // handles, reserved
    for (quint32 v : {0u, 0u, 0u, 960u, 960u, 254u, 254u}) Put32(b, v);
    return b + body;
}

QByteArray Bitmap(int width, int height) {
    const qint64 stride = BmpStride(width, 24);
    QByteArray b = BmpBytes(width, height);
    uchar* p = reinterpret_cast<uchar*>(b.data());
    static const uchar bands[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {0, 0, 0}}; // BGR
    for (int y = 0; y < height; ++y) {
        uchar* row = p + 54 + stride * y;
        for (int x = 0; x < width; ++x) {
            const uchar* c = bands[qint64(x) * 4 / width];
            row[x * 3] = c[0];
            row[x * 3 + 1] = c[1];
            row[x * 3 + 2] = c[2];
        }
    }
    return b;
}

void SaveWithPicture(const QString& fileName, const TRect& bounds, bool metafile,
                     const QByteArray& bytes) {
    TCard card(cfTrifoldVertical, dtGreetingCard);
    auto* picture = new TPictureObject();
    picture->Bounds = bounds;
    TPictureData data;
    data.IsMetafile = metafile;
    if (metafile) data.Metafile = {TMetafileFormat::Emf, bytes};
    else data.Bitmap = {bytes};
    picture->HasPicture = true;
    picture->IsMetafile = metafile;
    picture->Bitmap = data.Bitmap;
    picture->Metafile = data.Metafile;
    card.Pages(0)->Panels(0)->AddObject(picture);
    SaveStoredToFile(fileName, card);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList a = application.arguments();
    RegisterDocumentClasses();
    TAppContext context;
    context.ScreenPixelsPerInch = 96;
    TAppContextScope scope(context);
    try {
        if (a.size() >= 4 && a[1] == QLatin1String("emf")) {
            const QByteArray emf = Emf(a[2].toLongLong());
            SaveWithPicture(a[3], {100, 100, 700, 900}, true, emf);
            if (a.size() >= 5) {
                QFile out(a[4]);
                if (!out.open(QIODevice::WriteOnly) || out.write(emf) != emf.size()) return 1;
            }
        } else if (a.size() == 5 && a[1] == QLatin1String("bitmap")) {
            SaveWithPicture(a[4], {75, 75, 775, 975}, false,
                            Bitmap(a[2].toInt(), a[3].toInt()));
        } else {
            std::fprintf(stderr, "usage: make_picture_documents emf RECORDS OUT.qdx [OUT.emf]\n"
                                 "       make_picture_documents bitmap WIDTH HEIGHT OUT.qdx\n");
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
