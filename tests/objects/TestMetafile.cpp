// Metafile pictures (EMF and WMF) built record by record: where the drawing lands inside the
// declared frame, its exact colours, the sizes read from the headers, the kept rendering, and
// clean refusal of broken bytes.

#include "document/Canvas.h"
#include "document/Card.h"
#include "objects/MetafilePicture.h"
#include "objects/Picture.h"
#include "objects/PictureFiles.h"
#include "objects/WmfToSvg.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"
#include "support/MetafileFixtures.h"

#include <QImage>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QRandomGenerator>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Brick = 0xFFCC3333; // not one of the SVG colour names
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Green = 0xFF00FF00;

TMetafilePicture Picture(const QByteArray& bytes) {
    return TMetafilePicture(TMetafileData{TMetafileData::Detect(bytes), bytes});
}

// A point of the picture given as fractions of its width and height.
QPoint At(const QImage& image, double fx, double fy) {
    return {int(fx * image.width()), int(fy * image.height())};
}

// Where a picture must be painted and where it must stay clear, in fractions of the frame.
struct TExpectation {
    QRgb Color;
    std::vector<QPointF> Painted;
    std::vector<QPointF> Clear;
};

void ExpectPainted(const QImage& image, const TExpectation& e, const QRect& frame) {
    for (const QPointF& f : e.Painted) {
        const QPoint p(frame.left() + int(f.x() * frame.width()),
                       frame.top() + int(f.y() * frame.height()));
        EXPECT_EQ(image.pixel(p), e.Color) << "at " << p.x() << "," << p.y();
    }
    for (const QPointF& f : e.Clear) {
        const QPoint p(frame.left() + int(f.x() * frame.width()),
                       frame.top() + int(f.y() * frame.height()));
        EXPECT_EQ(qAlpha(image.pixel(p)), 0) << "at " << p.x() << "," << p.y();
    }
}

// Checks the rendered image and the drawing through a painter, offset inside a larger image.
void ExpectDrawing(const TMetafilePicture& picture, QSize size, const TExpectation& e) {
    const QImage rendered = picture.Rendered(size);
    ASSERT_EQ(rendered.size(), size);
    ExpectPainted(rendered, e, QRect(QPoint(0, 0), size));

    QImage canvas(size * 2, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    const QRect target(QPoint(size.width() / 2, size.height() / 2), size);
    {
        QPainter painter(&canvas);
        picture.Draw(painter, target);
    }
    ExpectPainted(canvas, e, target);
    for (const QPoint& outside : {QPoint(target.left() - 2, target.center().y()),
                                  QPoint(target.right() + 2, target.center().y()),
                                  QPoint(target.center().x(), target.top() - 2),
                                  QPoint(target.center().x(), target.bottom() + 2)})
        EXPECT_EQ(qAlpha(canvas.pixel(outside)), 0)
            << "outside at " << outside.x() << "," << outside.y();
}

struct TCase {
    const char* Name;
    QByteArray Bytes;
    QSizeF Inches;
    TExpectation Expected;
};

void CheckCases(std::initializer_list<TCase> cases) {
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TMetafilePicture picture = Picture(c.Bytes);
        ASSERT_TRUE(picture.IsValid());
        EXPECT_NEAR(picture.SizeInInches().width(), c.Inches.width(), 0.02);
        EXPECT_NEAR(picture.SizeInInches().height(), c.Inches.height(), 0.02);
        ExpectDrawing(picture, (c.Inches * 100).toSize(), c.Expected);
    }
}

const TExpectation LeftHalf{
    Red, {{0.1, 0.5}, {0.4, 0.1}, {0.4, 0.9}}, {{0.6, 0.5}, {0.9, 0.1}, {0.9, 0.9}}};

TEST(MetafileEmf, DrawingLandsInItsFrame) {
    CheckCases({
        {"left half of a 2x1 inch frame",
         TEmf().SolidBrush(Red).Rectangle(0, 0, 96, 96).Bytes({0, 0, 191, 95}, {0, 0, 5080, 2540}),
         {2, 1},
         LeftHalf},
        {"frame wider than the drawing keeps its margins",
         TEmf()
             .SolidBrush(Red)
             .Rectangle(96, 0, 192, 96)
             .Bytes({96, 0, 191, 95}, {0, 0, 7620, 2540}),
         {3, 1},
         {Red, {{0.4, 0.5}, {0.6, 0.5}}, {{0.2, 0.5}, {0.8, 0.5}}}},
        {"empty bounds fall back to the frame",
         TEmf().SolidBrush(Red).Rectangle(0, 0, 96, 96).Bytes({0, 0, 0, 0}, {0, 0, 5080, 2540}),
         {2, 1},
         LeftHalf},
        {"anisotropic mapping of window to viewport",
         TEmf()
             .Record(17, {8})         // SetMapMode(MM_ANISOTROPIC)
             .Record(9, {2000, 1000}) // SetWindowExtEx
             .Record(11, {192, 96})   // SetViewportExtEx
             .SolidBrush(Red)
             .Rectangle(0, 0, 1000, 1000)
             .Bytes({0, 0, 191, 95}, {0, 0, 5080, 2540}),
         {2, 1},
         LeftHalf},
        {"drawing beyond the frame is clipped",
         TEmf().SolidBrush(Red).Rectangle(0, 0, 400, 96).Bytes({0, 0, 399, 95}, {0, 0, 5080, 2540}),
         {2, 1},
         {Red, {{0.1, 0.5}, {0.9, 0.5}}, {}}},
    });
}

TEST(MetafileWmf, DrawingLandsInItsFrameWithExactColours) {
    const TExpectation brickLeft{Brick, LeftHalf.Painted, LeftHalf.Clear};
    CheckCases({
        {"placeable, twips",
         TWmf()
             .Window(0, 0, 2880, 1440)
             .SolidBrush(Brick)
             .Rectangle(0, 0, 1440, 1440)
             .Bytes({{0, 0, 2880, 1440, 1440}}),
         {2, 1},
         brickLeft},
        {"placeable frame with margins around the drawing",
         TWmf()
             .Window(0, 0, 2880, 1440)
             .SolidBrush(Brick)
             .Rectangle(1000, 400, 1880, 1040)
             .Bytes({{0, 0, 2880, 1440, 1440}}),
         {2, 1},
         {Brick, {{0.4, 0.5}, {0.6, 0.5}}, {{0.3, 0.5}, {0.7, 0.5}, {0.5, 0.2}, {0.5, 0.8}}}},
        {"placeable at an offset origin, anisotropic, transparent background mode",
         TWmf()
             .Record(0x0103, {8}) // SetMapMode(MM_ANISOTROPIC)
             .Window(1000, 1000, 2880, 1440)
             .Record(0x0102, {1}) // SetBkMode(TRANSPARENT)
             .SolidBrush(Brick)
             .Rectangle(1000, 1000, 2440, 2440)
             .Bytes({{1000, 1000, 3880, 2440, 1440}}),
         {2, 1},
         brickLeft},
        {"no placeable header: the window makes the frame",
         TWmf()
             .Record(0x0103, {8})
             .Window(0, 0, 2880, 1440)
             .SolidBrush(Brick)
             .Rectangle(0, 0, 1440, 1440)
             .Bytes(),
         {2, 1},
         brickLeft},
        {"no placeable header, window upside down",
         TWmf()
             .Record(0x0103, {8})
             .Window(0, 0, 2880, -1440)
             .SolidBrush(Brick)
             .Rectangle(0, 0, 1440, -1440)
             .Bytes(),
         {2, 1},
         brickLeft},
        {"inch not given: twips are assumed",
         TWmf()
             .Window(0, 0, 2880, 1440)
             .SolidBrush(Brick)
             .Rectangle(0, 0, 1440, 1440)
             .Bytes({{0, 0, 2880, 1440, 0}}),
         {2, 1},
         brickLeft},
        {"no window: the drawing makes the frame (MM_TEXT units are points to libwmf)",
         TWmf().SolidBrush(Brick).Rectangle(0, 0, 144, 72).Bytes(),
         {2, 1},
         {Brick, {{0.1, 0.1}, {0.5, 0.5}, {0.9, 0.9}}, {}}},
    });
}

TEST(MetafileWmf, BitmapsAndTextSurviveConversion) {
    // A 2x1 pixel DIB, blue then green, stretched over the frame, and text with characters
    // that are markup or outside ASCII.
    QByteArray stretch;
    Put32(stretch, {0x00CC0020});                      // SRCCOPY
    Put16(stretch, {0, 1, 2, 0, 0, 1440, 2880, 0, 0}); // RGB colours, source and destination
    Put32(stretch, {40, 2, 1});                        // the DIB's header
    Put16(stretch, {1, 24});
    Put32(stretch, {0, 8, 0, 0, 0, 0});
    stretch += QByteArray::fromHex("ff000000ff000000");
    QByteArray text;
    Put16(text, {6});
    text += QByteArray("A&B<\xE9>", 6);
    Put16(text, {720, 1440});

    const TMetafilePicture picture = Picture(TWmf()
                                                 .Window(0, 0, 2880, 1440)
                                                 .Raw(0x0F43, stretch)
                                                 .Raw(0x0521, text)
                                                 .Bytes({{0, 0, 2880, 1440, 1440}}));
    ASSERT_TRUE(picture.IsValid());
    const QImage image = picture.Rendered({200, 100});
    // Smooth scaling blends the two pixels between their centres; the ends are pure.
    EXPECT_EQ(image.pixel(At(image, 0.1, 0.1)), Blue);
    EXPECT_EQ(image.pixel(At(image, 0.1, 0.9)), Blue);
    EXPECT_EQ(image.pixel(At(image, 0.9, 0.1)), Green);
    EXPECT_EQ(image.pixel(At(image, 0.9, 0.9)), Green);
}

TEST(Metafile, SizesAndTheKeptRendering) {
    const TMetafilePicture picture = Picture(
        TEmf().SolidBrush(Red).Rectangle(0, 0, 96, 96).Bytes({0, 0, 191, 95}, {0, 0, 5080, 2540}));
    EXPECT_EQ(picture.PixelSize(96), QSize(192, 96));
    EXPECT_EQ(picture.PixelSize(300), QSize(600, 300));
    EXPECT_TRUE(picture.PixelSize(0).isEmpty());

    const QImage first = picture.Rendered({200, 100});
    EXPECT_EQ(picture.Rendered({200, 100}).cacheKey(), first.cacheKey());

    const QImage larger = picture.Rendered({400, 200});
    ASSERT_EQ(larger.size(), QSize(400, 200));
    EXPECT_EQ(larger.pixel(100, 100), Red);
    EXPECT_EQ(qAlpha(larger.pixel(300, 100)), 0);

    const QImage again = picture.Rendered({200, 100});
    EXPECT_NE(again.cacheKey(), larger.cacheKey());
    EXPECT_EQ(again.pixel(50, 50), Red);
    EXPECT_EQ(qAlpha(again.pixel(150, 50)), 0);

    EXPECT_TRUE(picture.Rendered({0, 100}).isNull());
    EXPECT_TRUE(picture.Rendered({100000, 100000}).isNull()); // refused, not allocated
}

TEST(Metafile, BrokenBytesGiveNoPicture) {
    const QByteArray emf =
        TEmf().SolidBrush(Red).Rectangle(0, 0, 96, 96).Bytes({0, 0, 191, 95}, {0, 0, 5080, 2540});
    const QByteArray wmf = TWmf()
                               .Window(0, 0, 2880, 1440)
                               .SolidBrush(Red)
                               .Rectangle(0, 0, 1440, 1440)
                               .Bytes({{0, 0, 2880, 1440, 1440}});
    QByteArray noise(4096, '\0');
    QRandomGenerator random(42);
    for (char& c : noise)
        c = char(random.bounded(256));
    QByteArray emfRecordTooLong = emf;
    qToLittleEndian<quint32>(0x7FFFFFF0, emfRecordTooLong.data() + 88 + 4);
    QByteArray emfRecordOfZero = emf;
    qToLittleEndian<quint32>(0, emfRecordOfZero.data() + 88 + 4);
    QByteArray wmfRecordTooShort = wmf;
    qToLittleEndian<quint32>(2, wmfRecordTooShort.data() + 22 + 18);

    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", {}},
        {"noise", noise},
        {"EMF header only", emf.left(88)},
        {"EMF cut inside a record", emf.left(100)},
        {"EMF without its end record", emf.left(emf.size() - 20)},
        {"EMF record longer than the file", emfRecordTooLong},
        {"EMF record of size zero", emfRecordOfZero},
        {"EMF header then noise", emf.left(88) + noise},
        {"WMF headers only", wmf.left(40)},
        {"WMF cut inside a record", wmf.left(wmf.size() - 10)},
        {"WMF without its end record", wmf.left(wmf.size() - 6)},
        {"WMF record shorter than its header", wmfRecordTooShort},
        {"WMF headers then noise", wmf.left(40) + noise},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        for (TMetafileFormat format : {TMetafileFormat::Emf, TMetafileFormat::Wmf}) {
            const TMetafilePicture picture(TMetafileData{format, bytes});
            EXPECT_FALSE(picture.IsValid());
            EXPECT_TRUE(picture.SizeInInches().isEmpty());
            EXPECT_TRUE(picture.PixelSize(96).isEmpty());
            EXPECT_TRUE(picture.Rendered({100, 100}).isNull());
            QImage canvas(50, 50, QImage::Format_ARGB32_Premultiplied);
            canvas.fill(Qt::transparent);
            {
                QPainter painter(&canvas);
                picture.Draw(painter, QRectF(0, 0, 50, 50));
            }
            EXPECT_EQ(canvas.pixel(25, 25), 0u);
        }
    }
}

} // namespace

// Conversions: once per picture, and never of a runaway record count.

namespace {

QImage DrawnObject(TPictureObject& picture, QSize size, TCanvas::TKind kind) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TCanvas canvas(painter, 96, 96, kind);
    picture.Draw(canvas, 0, 0, kind == TCanvas::TKind::Printer);
    return image;
}

} // namespace

TEST(MetafileConversion, ALoadedPictureIsConvertedOnceHoweverOftenItIsDrawnSizedOrCopied) {
    TTestContext test;
    QByteArray emf = TEmf().SolidBrush(Red).Rectangle(0, 0, 96, 96).Bytes({0, 0, 95, 95},
                                                                           {0, 0, 2540, 2540});
    TCard card(0, 0);
    auto* object = new TPictureObject();
    object->Bounds = {0, 0, 100, 100};
    TPictureData data;
    data.IsMetafile = true;
    data.Metafile = {TMetafileFormat::Emf, emf};
    object->SetGraphic(data);
    card.Pages(0)->Panels(0)->AddObject(object);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("metafile.qdx"));
    SaveStoredToFile(file, card);

    const int before = TMetafilePicture::Conversions();
    std::unique_ptr<TStored> loaded(LoadStoredFromFile(file));
    auto* picture = static_cast<TPictureObject*>(static_cast<TCard*>(loaded.get())->ObjectAt(0, 0, 0));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->PictureSize(), QSize(96, 96));
    EXPECT_EQ(picture->Graphic().PixelSize(), QSize(96, 96));
    for (QSize size : {QSize(100, 100), QSize(200, 200), QSize(100, 100)})
        EXPECT_EQ(DrawnObject(*picture, size, TCanvas::TKind::Screen).pixel(50, 50), Red);
    EXPECT_EQ(DrawnObject(*picture, {100, 100}, TCanvas::TKind::Printer).pixel(50, 50), Red);
    std::unique_ptr<TStored> copied(CloneStored(picture));
    auto* copy = static_cast<TPictureObject*>(copied.get());
    EXPECT_EQ(DrawnObject(*copy, {100, 100}, TCanvas::TKind::Printer).pixel(50, 50), Red);
    EXPECT_EQ(TMetafilePicture::Conversions() - before, 1);
}

TEST(MetafileConversion, MoreRecordsThanTheCapAreRefusedWithTheReason) {
    TTestContext test;
    TakeUndrawnPictures();
    TEmf emf;
    emf.SolidBrush(Red);
    for (std::size_t i = 0; i < MostMetafileRecords; ++i) emf.Record(27, {int(i % 96), 0}); // MoveTo
    const QByteArray emfBytes = emf.Bytes({0, 0, 95, 95}, {0, 0, 2540, 2540});
    TWmf wmf;
    for (std::size_t i = 0; i <= MostMetafileRecords; ++i) wmf.Record(0x0214, {0, qint16(i % 96)});
    const QByteArray wmfBytes = wmf.Bytes(TWmf::TPlaceable{0, 0, 96, 96, 96});
    const QString reason =
        QStringLiteral("The metafile picture has more than 250,000 records, more than can be drawn.");

    QTemporaryDir folder;
    for (const auto& [name, bytes] : {std::pair{"many.emf", emfBytes}, std::pair{"many.wmf", wmfBytes}}) {
        SCOPED_TRACE(name);
        const TMetafilePicture picture = Picture(bytes);
        EXPECT_FALSE(picture.IsValid());
        EXPECT_EQ(picture.Problem(), reason);

        const QString path = folder.filePath(QString::fromLatin1(name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        try {
            LoadPictureFile(path);
            ADD_FAILURE() << "taken";
        } catch (const EPictureError& e) {
            EXPECT_TRUE(e.Message().endsWith(reason)) << e.what();
        }

        // In a document the picture is not drawn and printing says why.
        TPictureObject object;
        object.Bounds = {0, 0, 100, 100};
        TPictureData data;
        data.IsMetafile = true;
        data.Metafile = {TMetafileData::Detect(bytes), bytes};
        object.SetGraphic(data);
        DrawnObject(object, {100, 100}, TCanvas::TKind::Printer);
        EXPECT_EQ(TakeUndrawnPictures(), QStringList{reason});
    }
}
