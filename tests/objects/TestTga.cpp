#include "objects/Tga.h"
#include "support/ImageDifference.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <string>

namespace {

const QString Pictures = QStringLiteral(QDX_TEST_DATA "/pictures/");

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Transparent pixels compare equal whatever colour they hide.
std::string Difference(const QImage& a, const QImage& b) {
    return ImageDifference(a, b, QImage::Format_ARGB32_Premultiplied);
}

QByteArray Header(int type, int depth, int descriptor, int width, int height) {
    QByteArray h(18, '\0');
    h[2] = char(type);
    qToLittleEndian<quint16>(quint16(width), h.data() + 12);
    qToLittleEndian<quint16>(quint16(height), h.data() + 14);
    h[16] = char(depth);
    h[17] = char(descriptor);
    return h;
}

} // namespace

TEST(Tga, EachFileDecodesToTheReferencePixels) {
    struct TCase {
        const char* Tga;
        const char* Png;
        QImage::Format Format;
    };
    const TCase cases[] = {
        {"rgb24.tga", "rgb.png", QImage::Format_RGB32},
        {"rgb24-rle.tga", "rgb.png", QImage::Format_RGB32},
        {"rgb24-top-left.tga", "rgb.png", QImage::Format_RGB32},
        {"rgb24-footer.tga", "rgb.png", QImage::Format_RGB32},
        {"grey.tga", "grey.png", QImage::Format_Grayscale8},
        {"grey-rle.tga", "grey.png", QImage::Format_Grayscale8},
        {"mapped.tga", "many.png", QImage::Format_Indexed8},
        {"mapped-rle.tga", "many.png", QImage::Format_Indexed8},
        {"mapped-16-bit-entries.tga", "rgb555.png", QImage::Format_Indexed8},
        {"rgb16.tga", "rgb555.png", QImage::Format_RGB32},
        {"rgb16-rle.tga", "rgb555.png", QImage::Format_RGB32},
        {"rgb16-alpha.tga", "rgb555a.png", QImage::Format_ARGB32},
        {"rgba32.tga", "rgba.png", QImage::Format_ARGB32},
        {"rgba32-rle.tga", "rgba.png", QImage::Format_ARGB32},
        {"rgba32-top-right.tga", "rgba.png", QImage::Format_ARGB32},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Tga);
        const QByteArray bytes = FileBytes(Pictures + QLatin1String(c.Tga));
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(LooksLikeTga(bytes));
        const QImage image = ReadTga(bytes);
        const QImage reference(Pictures + QLatin1String(c.Png));
        ASSERT_FALSE(image.isNull());
        ASSERT_FALSE(reference.isNull());
        EXPECT_EQ(image.format(), c.Format);
        EXPECT_EQ(Difference(image, reference), "");
    }
}

TEST(Tga, OtherPictureFormatsDoNotLookLikeTargas) {
    for (const char* name : {"rgb.png", "rgb.pcx", "many.pcx", "bw.pcx"})
        EXPECT_FALSE(LooksLikeTga(FileBytes(Pictures + QLatin1String(name)))) << name;
    EXPECT_FALSE(LooksLikeTga(QByteArray()));
}

// Older writers let a packet run on into the next row; one that overshoots the picture's
// last pixel is cut there.
TEST(Tga, RunsMayCrossRows) {
    QByteArray bytes = Header(10, 24, 0, 3, 2);
    bytes += QByteArray::fromHex("85 102030"   // six pixels of one colour
                                 "ff 405060"); // 128 more, of which none are used
    const QImage image = ReadTga(bytes);
    ASSERT_FALSE(image.isNull());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixel(x, y), qRgb(0x30, 0x20, 0x10));
}

TEST(Tga, AttributeBitsThatAreAllZeroMeanOpaque) {
    QByteArray bytes = Header(2, 32, 8, 2, 1);
    bytes += QByteArray::fromHex("10203000 40506000");
    QImage image = ReadTga(bytes);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(1, 0), qRgb(0x60, 0x50, 0x40));

    bytes[bytes.size() - 1] = char(0x80);
    image = ReadTga(bytes);
    EXPECT_EQ(image.pixel(0, 0), qRgba(0x30, 0x20, 0x10, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgba(0x60, 0x50, 0x40, 0x80));

    // Without attribute bits in the descriptor the fourth byte is not alpha.
    bytes[17] = 0;
    EXPECT_EQ(ReadTga(bytes).pixel(0, 0), qRgb(0x30, 0x20, 0x10));

    // 15 bits have no attribute bit, whatever the descriptor says; 16 bits have one.
    bytes = Header(2, 15, 1, 2, 1) + QByteArray::fromHex("1f00 1f80");
    image = ReadTga(bytes);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));
    bytes[16] = 16;
    image = ReadTga(bytes);
    EXPECT_EQ(image.pixel(0, 0), qRgba(0, 0, 255, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));
}

TEST(Tga, DamagedFilesGiveNullImages) {
    const QDir dir(QStringLiteral(QDX_TEST_DATA "/malformed/tga"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_GE(files.size(), 10);
    for (const QString& name : files)
        EXPECT_TRUE(ReadTga(FileBytes(dir.filePath(name))).isNull()) << name.toStdString();

    // Every cut of a file without footer loses pixels, in the middle of a packet or not.
    for (const char* name : {"rgba32-rle.tga", "mapped-rle.tga", "rgb16.tga", "grey-rle.tga"}) {
        const QByteArray whole = FileBytes(Pictures + QLatin1String(name));
        for (qsizetype size = 0; size < whole.size(); ++size)
            EXPECT_TRUE(ReadTga(whole.left(size)).isNull()) << name << " cut to " << size;
    }

    // Headers that promise more pixels than the data can hold, or than any picture has.
    for (int side : {8000, 65535}) {
        QByteArray giant = Header(10, 32, 8, side, side);
        giant += QByteArray(4096, char(0xFF));
        EXPECT_TRUE(ReadTga(giant).isNull()) << side;
    }
}
