// Picture files becoming document pictures, and the picture object's size and drawing.

#include "document/Canvas.h"
#include "document/Card.h"
#include "objects/Picture.h"
#include "objects/PictureFiles.h"
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"
#include "support/LargeBitmaps.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

// Left half red, right half blue.
QImage TwoColours(int width = 30, int height = 20) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::red);
    return image;
}

quint16 BitsPerPixel(const TBitmapData& bitmap) {
    return qFromLittleEndian<quint16>(bitmap.Bytes.constData() + 28);
}

QString Write(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

} // namespace

TEST(PictureFiles, BitmapsKeepPixelsAndTransparencyInTheSmallestFittingForm) {
    TTestContext test;
    const QImage opaque = TwoColours();
    const TBitmapData plain = BitmapFromImage(opaque);
    EXPECT_EQ(BitsPerPixel(plain), 24);
    EXPECT_EQ(ImageFromBitmap(plain).convertToFormat(QImage::Format_RGB32), opaque);

    // Transparent pixels survive as a 32-bit picture with an alpha mask.
    QImage clipArt(9, 5, QImage::Format_ARGB32);
    clipArt.fill(Qt::transparent);
    clipArt.setPixel(2, 1, qRgba(10, 200, 30, 255));
    clipArt.setPixel(7, 4, qRgba(255, 0, 0, 128));
    const TBitmapData withAlpha = BitmapFromImage(clipArt);
    EXPECT_EQ(BitsPerPixel(withAlpha), 32);
    const QImage back = ImageFromBitmap(withAlpha).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(back.size(), clipArt.size());
    EXPECT_EQ(back.pixel(2, 1), clipArt.pixel(2, 1));
    EXPECT_EQ(qAlpha(back.pixel(7, 4)), 128);
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);

    // An alpha channel that is opaque everywhere costs nothing.
    EXPECT_EQ(BitsPerPixel(BitmapFromImage(opaque.convertToFormat(QImage::Format_ARGB32))), 24);

    // Indexed pictures keep their colour table (and as few bits as their colours need).
    const QImage indexed = opaque.convertToFormat(QImage::Format_Indexed8);
    const TBitmapData small = BitmapFromImage(indexed);
    EXPECT_LE(BitsPerPixel(small), 8);
    EXPECT_EQ(ImageFromBitmap(small).convertToFormat(QImage::Format_RGB32), opaque);

    EXPECT_TRUE(BitmapFromImage(QImage()).IsEmpty());
    EXPECT_TRUE(ImageFromBitmap(TBitmapData{QByteArray("BM not a picture")}).isNull());
}

TEST(PictureFiles, FilesAreReadByTheirContents) {
    TTestContext test;
    QTemporaryDir folder;
    const QImage image = TwoColours();

    // A PNG becomes a bitmap of the same pixels, whatever the file is called.
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    const TPictureData fromPng = LoadPictureFile(Write(folder, "photo.dat", png));
    EXPECT_FALSE(fromPng.IsMetafile);
    EXPECT_EQ(fromPng.PixelSize(), image.size());
    EXPECT_EQ(ImageFromBitmap(fromPng.Bitmap).convertToFormat(QImage::Format_RGB32), image);

    // A BMP that decodes is kept byte for byte.
    const TBitmapData bmp = BitmapFromImage(image);
    EXPECT_EQ(LoadPictureFile(Write(folder, "picture.bmp", bmp.Bytes)).Bitmap.Bytes, bmp.Bytes);

    // What no reader knows, an empty file and a missing one are refused.
    for (const QString& path : {Write(folder, "notes.png", "these are words, not pixels"),
                                Write(folder, "empty.jpg", QByteArray()),
                                folder.filePath("missing.png")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_THROW(LoadPictureFile(path), EPictureError);
    }
}

TEST(PictureObject, RestoringTheOriginalSizeTakesOnePixelPerHundredthOfAnInch) {
    TTestContext test;
    TPictureObject picture;
    picture.Bounds = {120, 80, 200, 140};
    picture.RestoreOriginalSize(); // no picture: nothing to restore
    EXPECT_EQ(picture.Bounds, (TRect{120, 80, 200, 140}));

    TPictureData data;
    data.Bitmap = BitmapFromImage(TwoColours(300, 200));
    picture.SetGraphic(data);
    EXPECT_TRUE(picture.HasPicture);
    EXPECT_EQ(picture.PictureSize(), QSize(300, 200));
    picture.RestoreOriginalSize();
    EXPECT_EQ(picture.Bounds, (TRect{120, 80, 420, 280}));

    // An empty picture removes it.
    picture.SetGraphic(TPictureData());
    EXPECT_FALSE(picture.HasPicture);
    EXPECT_TRUE(picture.Bitmap.IsEmpty());
    EXPECT_TRUE(picture.PictureSize().isEmpty());
}

TEST(PictureObject, CopiesOwnTheirPictures) {
    TTestContext test;
    TPictureObject original;
    TPictureData red;
    red.Bitmap = BitmapFromImage(TwoColours());
    original.SetGraphic(red);
    ASSERT_FALSE(original.BitmapImage().isNull()); // decoded before the copy

    std::unique_ptr<TStored> copied(CloneStored(&original));
    auto* copy = static_cast<TPictureObject*>(copied.get());
    EXPECT_EQ(copy->Bitmap.Bytes, original.Bitmap.Bytes);
    TPictureData other;
    other.Bitmap = BitmapFromImage(TwoColours(4, 4));
    copy->SetGraphic(other);
    EXPECT_EQ(copy->BitmapImage().size(), QSize(4, 4));
    EXPECT_EQ(original.BitmapImage().size(), QSize(30, 20));
    copied.reset();
    EXPECT_EQ(original.BitmapSize(), QSize(30, 20));
}

TEST(PictureObject, DrawsStretchedToItsRectangle) {
    TTestContext test;
    TPictureObject picture;
    picture.Bounds = {0, 0, 100, 50}; // 96 x 48 pixels
    TPictureData data;
    data.Bitmap = BitmapFromImage(TwoColours(30, 20));
    picture.SetGraphic(data);

    auto probe = [&](TCanvas::TKind kind, qreal zoom) {
        QImage page(300, 200, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.scale(zoom, zoom);
        TCanvas canvas(painter, 96, 96, kind);
        picture.Draw(canvas, 10, 20, false);
        return page;
    };
    for (auto kind : {TCanvas::TKind::Image, TCanvas::TKind::Screen}) {
        for (qreal zoom : {1.0, 2.0}) {
            SCOPED_TRACE(int(zoom * 100));
            const QImage page = probe(kind, zoom);
            auto at = [&](int x, int y) { return page.pixel(int(x * zoom), int(y * zoom)); };
            EXPECT_EQ(at(12, 40), qRgb(255, 0, 0));    // left half
            EXPECT_EQ(at(100, 40), qRgb(0, 0, 255));   // right half
            EXPECT_EQ(at(104, 66), qRgb(0, 0, 255));   // the far corner
            EXPECT_EQ(at(108, 40), qRgb(255, 255, 255)); // nothing beyond
            EXPECT_EQ(at(50, 70), qRgb(255, 255, 255));
        }
    }

    // Without a picture nothing is drawn.
    picture.SetGraphic(TPictureData());
    const QImage empty = probe(TCanvas::TKind::Image, 1.0);
    EXPECT_EQ(empty.pixel(50, 40), qRgb(255, 255, 255));
}

TEST(PictureObject, AnUnreadableMetafileNamesTheDocument) {
    TTestContext test;
    TCard card(0, 0);
    auto* picture = new TPictureObject();
    picture->HasPicture = true;
    picture->IsMetafile = true;
    picture->Metafile = {TMetafileFormat::Emf, QByteArray(100, 'x')}; // stored as it is
    card.Pages(0)->Panels(0)->AddObject(picture);
    const QByteArray bytes = CardToBytes(card);
    try {
        TLoadOptions options;
        options.FileName = QStringLiteral("/home/ann/Party.qdx");
        CardFromBytes(bytes, &options);
        FAIL() << "the document loaded";
    } catch (const EBadMetafile& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Bad metafile in /home/ann/Party.qdx."));
    }
}

// Pictures past the decoding limit, and pictures that cannot be read.

namespace {

TPictureObject* PictureOf(TCard& card, const QByteArray& bmp, const TRect& bounds) {
    auto* picture = new TPictureObject();
    picture->Bounds = bounds;
    TPictureData data;
    data.Bitmap = {bmp};
    picture->SetGraphic(data);
    card.Pages(0)->Panels(0)->AddObject(picture);
    return picture;
}

QImage Drawn(TPictureObject& picture, QSize size, int dpi, TCanvas::TKind kind) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TCanvas canvas(painter, dpi, dpi, kind);
    picture.Draw(canvas, 0, 0, kind == TCanvas::TKind::Printer);
    return image;
}

} // namespace

TEST(LargePicture, ABitmapPastTheDecodingLimitPrintsAndRendersEveryBand) {
    TTestContext test;
    TakeUndrawnPictures();
    TCard card(0, 0);
    // 6,000 x 6,000 pixels: more than Qt decodes at once.
    TPictureObject* picture = PictureOf(card, BandedBmp(6000, 6000), {0, 0, 400, 400});
    ASSERT_GT(qint64(6000) * 6000, LargestPicturePixels);
    EXPECT_TRUE(picture->BitmapImage().isNull()); // never decoded whole

    for (const auto& [kind, dpi] : {std::pair{TCanvas::TKind::Image, 100},
                                    std::pair{TCanvas::TKind::Printer, 300}}) {
        SCOPED_TRACE(dpi);
        const int side = 4 * dpi;
        const QImage page = Drawn(*picture, {side, side}, dpi, kind);
        for (int band = 0; band < 4; ++band)
            for (int y : {side / 10, side / 2, side * 9 / 10})
                EXPECT_EQ(page.pixel(side * (2 * band + 1) / 8, y), BandColours[band])
                    << "band " << band << " at " << y;
    }
    EXPECT_TRUE(TakeUndrawnPictures().isEmpty());
}

TEST(LargePicture, ShrinkingAveragesThePixelsAndKeepsTheTopOnTop) {
    TTestContext test;
    // Red and blue columns in turn average to purple.
    QImage stripes(8, 4, QImage::Format_RGB32);
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 4; ++y) stripes.setPixel(x, y, x % 2 ? 0xFF0000FF : 0xFFFF0000);
    const QImage purple = ImageFromBitmap(BitmapFromImage(stripes), QSize(4, 2));
    ASSERT_EQ(purple.size(), QSize(4, 2));
    EXPECT_EQ(QColor(purple.pixel(1, 1)), QColor(128, 0, 128));

    // A bottom-up 8-bit file: the red half stays on top; never larger than the picture.
    const QImage halves = ImageFromBitmap({BandedBmp(40, 40, true)}, QSize(4, 400));
    ASSERT_EQ(halves.size(), QSize(4, 40));
    EXPECT_EQ(halves.pixel(3, 5), BandColours[0]);
    EXPECT_EQ(halves.pixel(3, 35), BandColours[3]);
}

TEST(LargePicture, UnreadableBitmapsShowAPlaceholderOnScreenAndAreNotedWhenPrinted) {
    TTestContext test;
    TakeUndrawnPictures();
    TCard card(0, 0);
    QByteArray broken = BitmapFromImage(TwoColours()).Bytes;
    qToLittleEndian<quint16>(7, broken.data() + 28); // no such depth
    TPictureObject* picture = PictureOf(card, broken, {0, 0, 200, 100});

    const QImage screen = Drawn(*picture, {200, 100}, 96, TCanvas::TKind::Screen);
    EXPECT_EQ(QColor(screen.pixel(5, 50)), QColor(236, 236, 236)); // the grey box
    EXPECT_EQ(QColor(screen.pixel(0, 0)), QColor(160, 160, 160));  // its frame and cross
    EXPECT_TRUE(TakeUndrawnPictures().isEmpty());

    const QImage printed = Drawn(*picture, {200, 100}, 96, TCanvas::TKind::Printer);
    EXPECT_EQ(printed.pixel(5, 50), 0xFFFFFFFF);
    const QStringList reasons = TakeUndrawnPictures();
    ASSERT_EQ(reasons.size(), 1);
    EXPECT_TRUE(reasons[0].contains(QStringLiteral("cannot be read"))) << reasons[0].toStdString();
}

TEST(PictureFiles, AFilePastTheDecodingLimitIsRefusedWholeAndReadReduced) {
    TTestContext test;
    QTemporaryDir folder;
    const QString bmp = Write(folder, "scan.bmp", BandedBmp(6000, 6000));
    try {
        LoadPictureFile(bmp);
        ADD_FAILURE() << "read whole";
    } catch (const EPictureTooLarge& e) {
        EXPECT_EQ(e.Pixels, QSize(6000, 6000));
    }
    const TPictureData reduced = LoadPictureFile(bmp, QSize(600, 600));
    EXPECT_EQ(reduced.PixelSize(), QSize(600, 600));
    EXPECT_LT(reduced.Bitmap.Bytes.size(), 2'000'000);
    const QImage image = ImageFromBitmap(reduced.Bitmap);
    for (int band = 0; band < 4; ++band)
        EXPECT_EQ(image.pixel(75 + band * 150, 300), BandColours[band]);
}
