#include "types/Pcx.h"
#include "support/ImageDifference.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

namespace {

const QString Pictures = QStringLiteral(QDX_TEST_DATA "/pictures/");

QByteArray Encoded(std::initializer_list<int> bytes) {
    QByteArray b;
    for (int v : bytes)
        b += char(v);
    return b;
}

// A PCX file assembled from header fields and encoded bytes as given.
struct TPcxFile {
    int Bits = 8;
    int Planes = 1;
    int Width = 1;
    int Height = 1;
    int BytesPerLine = 1;
    QByteArray Data;
    QByteArray HeaderColours;
    bool Palette = false;

    QByteArray Bytes() const {
        QByteArray b(128, '\0');
        auto* h = reinterpret_cast<uchar*>(b.data());
        h[0] = 10;
        h[1] = 5;
        h[2] = 1;
        h[3] = uchar(Bits);
        qToLittleEndian<quint16>(quint16(Width - 1), h + 8);
        qToLittleEndian<quint16>(quint16(Height - 1), h + 10);
        std::memcpy(h + 16, HeaderColours.constData(), size_t(qMin(HeaderColours.size(), 48)));
        h[65] = uchar(Planes);
        qToLittleEndian<quint16>(quint16(BytesPerLine), h + 66);
        b += Data;
        if (Palette) {
            b += char(12);
            for (int i = 0; i < 256; ++i)
                b += Encoded({i, 255 - i, i / 2});
        }
        return b;
    }
};

quint32 U32(const QByteArray& b, int offset) {
    return qFromLittleEndian<quint32>(b.constData() + offset);
}
quint16 U16(const QByteArray& b, int offset) {
    return qFromLittleEndian<quint16>(b.constData() + offset);
}

// Row y of a bottom-up BMP counted from the top, padding included.
QByteArray BmpRow(const QByteArray& bmp, int y) {
    const int width = int(U32(bmp, 18));
    const int height = int(U32(bmp, 22));
    const int stride = ((width * U16(bmp, 28) + 31) / 32) * 4;
    return bmp.mid(U32(bmp, 10) + (height - 1 - y) * stride, stride);
}

std::string Difference(const QImage& a, const QImage& b) {
    return ImageDifference(a, b);
}

} // namespace

TEST(Pcx, EachVariantDecodesToTheReferencePixels) {
    struct TCase {
        const char* Pcx;
        const char* Png;
        int Depth;
        int Colours;
    };
    const TCase cases[] = {
        {"bw.pcx", "bw.png", 1, 2},
        {"ega16.pcx", "ega16.png", 4, 16},
        {"ega16-wide-lines.pcx", "ega16.png", 4, 16},
        {"many.pcx", "many.png", 8, 256},
        {"rgb.pcx", "rgb.png", 24, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Pcx);
        const TBitmapData bitmap = ReadPcx(Pictures + QLatin1String(c.Pcx));
        const QByteArray& b = bitmap.Bytes;
        ASSERT_TRUE(TBitmapData::IsValidBmp(b));
        EXPECT_EQ(U32(b, 2), quint32(b.size()));
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(U16(b, 26), 1);
        EXPECT_EQ(U16(b, 28), c.Depth);
        EXPECT_EQ(U32(b, 46), quint32(c.Colours));
        EXPECT_EQ(U32(b, 10), 54u + 4u * c.Colours);
        const int stride = ((13 * c.Depth + 31) / 32) * 4;
        EXPECT_EQ(U32(b, 34), quint32(stride * 7));
        EXPECT_EQ(b.size(), 54 + 4 * c.Colours + stride * 7);

        const QImage decoded = QImage::fromData(b, "BMP");
        const QImage reference(Pictures + QLatin1String(c.Png));
        ASSERT_FALSE(decoded.isNull());
        ASSERT_FALSE(reference.isNull());
        EXPECT_EQ(Difference(decoded, reference), "");
    }
}

TEST(Pcx, BitmapIsBottomUpWithPaddedRowsAndBlueGreenRedTable) {
    TPcxFile pcx;
    pcx.Width = 3;
    pcx.Height = 2;
    pcx.BytesPerLine = 3;
    pcx.Data = Encoded({1, 2, 3, 0xC3, 9});
    pcx.Palette = true;
    const QByteArray b = ReadPcxBytes(pcx.Bytes()).Bytes;
    ASSERT_EQ(b.size(), 54 + 1024 + 2 * 4);
    EXPECT_EQ(b.mid(b.size() - 8), Encoded({9, 9, 9, 0, 1, 2, 3, 0}));
    // Palette entry 2 is (2, 253, 1) as red, green, blue.
    EXPECT_EQ(b.mid(54 + 2 * 4, 4), Encoded({1, 253, 2, 0}));
}

// A count byte repeats the next byte, but never past the end of the line it starts in.
TEST(Pcx, RunsStopAtTheEndOfTheirLine) {
    TPcxFile pcx;
    pcx.Width = 8;
    pcx.Height = 3;
    pcx.BytesPerLine = 8;
    pcx.Data = Encoded({0xC5, 0x7F, 1, 2, 3,    // five, then three bytes
                        1, 2, 3, 4, 0xC5, 0x7F, // only four of the five fit
                        0xC0, 7, 0xFF, 0x20});  // a count of zero gives nothing; 63 is cut to 8
    pcx.Palette = true;
    const QByteArray b = ReadPcxBytes(pcx.Bytes()).Bytes;
    EXPECT_EQ(BmpRow(b, 0), Encoded({0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 1, 2, 3}));
    EXPECT_EQ(BmpRow(b, 1), Encoded({1, 2, 3, 4, 0x7F, 0x7F, 0x7F, 0x7F}));
    EXPECT_EQ(BmpRow(b, 2), QByteArray(8, 0x20));

    // A line that runs out of data before it is full.
    pcx.Data += Encoded({0xC3, 0x20});
    pcx.Height = 4;
    EXPECT_THROW(ReadPcxBytes(pcx.Bytes()), EPcxError);
}

TEST(Pcx, BytesBeyondThePictureWidthAreDropped) {
    TPcxFile grey;
    grey.Width = 3;
    grey.BytesPerLine = 6;
    grey.Data = Encoded({4, 5, 6, 0xC3, 0xEE});
    grey.Palette = true;
    EXPECT_EQ(BmpRow(ReadPcxBytes(grey.Bytes()).Bytes, 0), Encoded({4, 5, 6, 0}));

    // Three planes: each plane's line is BytesPerLine long, not the picture's width.
    TPcxFile colour;
    colour.Planes = 3;
    colour.Width = 2;
    colour.BytesPerLine = 4;
    colour.Data = Encoded({0x10, 0x20, 0xC2, 0xEE, 0x30, 0x40, 0xC2, 0xEE, 0x50, 0x60, 0xC2, 0xEE});
    EXPECT_EQ(BmpRow(ReadPcxBytes(colour.Bytes()).Bytes, 0),
              Encoded({0x50, 0x30, 0x10, 0x60, 0x40, 0x20, 0, 0}));
}

TEST(Pcx, FourPlanesMakeFourBitPixels) {
    TPcxFile pcx;
    pcx.Bits = 1;
    pcx.Planes = 4;
    pcx.Width = 3;
    pcx.BytesPerLine = 1;
    // Pixel 0 has every plane's bit, pixel 1 only plane 1's, pixel 2 planes 0 and 3.
    pcx.Data = Encoded({0xA0, 0xC1, 0xC0, 0x80, 0xA0}); // 0xC0 needs a run of one
    for (int i = 0; i < 16; ++i)
        pcx.HeaderColours += Encoded({i * 16, i, 255 - i});
    const QByteArray b = ReadPcxBytes(pcx.Bytes()).Bytes;
    EXPECT_EQ(BmpRow(b, 0), Encoded({0xF2, 0x90, 0, 0}));
    EXPECT_EQ(U32(b, 46), 16u);
    EXPECT_EQ(b.mid(54 + 9 * 4, 4), Encoded({255 - 9, 9, 9 * 16, 0}));
}

// Two-colour files with other plane counts carry every plane in each line; only the first
// makes the picture, and the others must not shift the lines after it.
TEST(Pcx, OneBitPicturesSkipTheirOtherPlanes) {
    TPcxFile pcx;
    pcx.Bits = 1;
    pcx.Planes = 2;
    pcx.Width = 8;
    pcx.Height = 2;
    pcx.BytesPerLine = 1;
    pcx.Data = Encoded({0x0F, 0x55, 0x3C, 0x55});
    const QByteArray b = ReadPcxBytes(pcx.Bytes()).Bytes;
    EXPECT_EQ(BmpRow(b, 0), Encoded({0x0F, 0, 0, 0}));
    EXPECT_EQ(BmpRow(b, 1), Encoded({0x3C, 0, 0, 0}));
    EXPECT_EQ(b.mid(54, 8), Encoded({0, 0, 0, 0, 255, 255, 255, 0}));
}

TEST(Pcx, RejectsDamagedAndUnsupportedFiles) {
    const QDir dir(QStringLiteral(QDX_TEST_DATA "/malformed/pcx"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_GE(files.size(), 10);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        try {
            ReadPcx(dir.filePath(name));
            ADD_FAILURE() << "read without an error";
        } catch (const EPcxError& error) {
            EXPECT_STREQ(error.what(), "Cannot read the PCX file");
        }
    }
    EXPECT_THROW(ReadPcx(Pictures + QStringLiteral("no such file.pcx")), EPcxError);
    EXPECT_THROW(ReadPcxBytes(QByteArray()), EPcxError);

    // Every cut of a good file fails cleanly, whatever part of it is lost.
    QFile file(Pictures + QStringLiteral("rgb.pcx"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    for (qsizetype size = 0; size < whole.size(); ++size)
        EXPECT_THROW(ReadPcxBytes(whole.left(size)), EPcxError) << size;

    // Lines the data cannot hold are refused before the bitmap is made.
    TPcxFile tall;
    tall.Width = 32767;
    tall.Height = 32767;
    tall.BytesPerLine = 32767;
    tall.Data = QByteArray(1000, 0x01);
    tall.Palette = true;
    EXPECT_THROW(ReadPcxBytes(tall.Bytes()), EPcxError);
}

TEST(Pcx, APicturePastTheDecodingLimitIsRefusedWholeAndReadReducedRowByRow) {
    // 12,000 x 12,000 pixels of 8 bits in 4.6 MB: the top half colour 1, the bottom half 2.
    TPcxFile pcx;
    pcx.Width = pcx.Height = pcx.BytesPerLine = 12000;
    pcx.Palette = true;
    QByteArray top, bottom;
    for (const auto& [line, index] : {std::pair{&top, 1}, std::pair{&bottom, 2}}) {
        for (int run = 0; run < 12000 / 63; ++run) *line += Encoded({0xC0 | 63, index});
        *line += Encoded({0xC0 | (12000 % 63), index});
    }
    pcx.Data.reserve(top.size() * 12000);
    for (int y = 0; y < 12000; ++y) pcx.Data += y < 6000 ? top : bottom;
    const QByteArray bytes = pcx.Bytes();
    ASSERT_LT(bytes.size(), 5'000'000);

    try {
        ReadPcxBytes(bytes);
        ADD_FAILURE() << "read whole";
    } catch (const EPcxTooLarge& e) {
        EXPECT_EQ(e.Pixels, QSize(12000, 12000));
    }
    const TBitmapData reduced = ReadPcxBytes(bytes, QSize(500, 400));
    EXPECT_EQ(U32(reduced.Bytes, 18), 500u);
    EXPECT_EQ(U32(reduced.Bytes, 22), 400u);
    EXPECT_EQ(U16(reduced.Bytes, 28), 24);
    const QImage image = QImage::fromData(reduced.Bytes, "BMP");
    ASSERT_EQ(image.size(), QSize(500, 400));
    // The palette written by TPcxFile: entry i is (i, 255 - i, i / 2).
    EXPECT_EQ(QColor(image.pixel(250, 50)), QColor(1, 254, 0));
    EXPECT_EQ(QColor(image.pixel(250, 350)), QColor(2, 253, 1));
}
