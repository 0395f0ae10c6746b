#include "storage/BufferedStream.h"
#include "storage/Exception.h"
#include "support/BmpBytes.h"

#include <QBuffer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs write against a fresh in-memory stream and returns the bytes written.
QByteArray Written(const std::function<void(TBufferedStream&)>& write) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        TBufferedStream stream(&buffer, TBufferedStream::TMode::Write);
        write(stream);
        stream.Flush();
    }
    return buffer.data();
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) {
        FBuffer.setData(bytes);
        FBuffer.open(QIODevice::ReadOnly);
        FStream = std::make_unique<TBufferedStream>(&FBuffer, TBufferedStream::TMode::Read);
    }
    TBufferedStream& operator*() { return *FStream; }
    TBufferedStream* operator->() { return FStream.get(); }

private:
    QBuffer FBuffer;
    std::unique_ptr<TBufferedStream> FStream;
};

QString ReadError(const std::function<void()>& read) {
    try {
        read();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

// A device that records the size of every write that reaches it.
class RecordingDevice : public QBuffer {
public:
    std::vector<qint64> Writes;

protected:
    qint64 writeData(const char* data, qint64 length) override {
        Writes.push_back(length);
        return QBuffer::writeData(data, length);
    }
};

// A 2x1 24-bit BMP file.
QByteArray TinyBmp() {
    QByteArray bmp = BmpBytes(2, 1);
    bmp[54] = char(0xFF); // one blue pixel, one black
    return bmp;
}

// The smallest well-formed enhanced metafile: a header record and an end record.
QByteArray TinyEmf() {
    QByteArray emf(88 + 20, '\0');
    char* p = emf.data();
    qToLittleEndian<quint32>(1, p);      // EMR_HEADER
    qToLittleEndian<quint32>(88, p + 4); // record size
    qToLittleEndian<quint32>(0x464D4520, p + 40);
    qToLittleEndian<quint32>(0x10000, p + 44);
    qToLittleEndian<quint32>(emf.size(), p + 48);
    qToLittleEndian<quint32>(2, p + 52);  // records
    qToLittleEndian<quint32>(14, p + 88); // EMR_EOF
    qToLittleEndian<quint32>(20, p + 92);
    return emf;
}

// A placeable Windows metafile with no records beyond the end record.
QByteArray TinyWmf() {
    QByteArray wmf(22 + 18 + 6, '\0');
    char* p = wmf.data();
    qToLittleEndian<quint32>(0x9AC6CDD7, p);
    qToLittleEndian<quint16>(1, p + 22); // memory metafile
    qToLittleEndian<quint16>(9, p + 24); // header words
    qToLittleEndian<quint16>(0x300, p + 26);
    qToLittleEndian<quint32>(12, p + 28); // size in words
    qToLittleEndian<quint32>(3, p + 40);  // end record: 3 words, function 0
    return wmf;
}

} // namespace

TEST(BufferedStream, IntegersAreLittleEndianWithExactWidths) {
    const QByteArray bytes = Written([](TBufferedStream& s) {
        s.WriteByte(0xAB);
        s.WriteBoolean(true);
        s.WriteSmallint(-2);
        s.WriteWord(0x1234);
        s.WriteLongint(-0x789ABCDF);
        s.WriteDouble(1.5);
    });
    EXPECT_EQ(bytes.toHex(), QByteArray("ab01feff341221436587000000000000f83f"));

    Reader r(bytes);
    EXPECT_EQ(r->ReadByte(), 0xAB);
    EXPECT_TRUE(r->ReadBoolean());
    EXPECT_EQ(r->ReadSmallint(), -2);
    EXPECT_EQ(r->ReadWord(), 0x1234);
    EXPECT_EQ(r->ReadLongint(), -0x789ABCDF);
    EXPECT_EQ(r->ReadDouble(), 1.5);
    EXPECT_EQ(r->BytesLeft(), 0);
}

TEST(BufferedStream, AnyNonzeroByteReadsAsTrue) {
    Reader r(QByteArray::fromHex("00017fff"));
    EXPECT_FALSE(r->ReadBoolean());
    EXPECT_TRUE(r->ReadBoolean());
    EXPECT_TRUE(r->ReadBoolean());
    EXPECT_TRUE(r->ReadBoolean());
}

TEST(BufferedStream, ShortStringsKeepExactly255BytesAndCutLongerOnCharacterBoundaries) {
    const QString exact(255, QLatin1Char('x'));
    const QString tooLong(300, QLatin1Char('y'));
    const QString accented(200, QChar(0xE9)); // 400 bytes of UTF-8
    const QByteArray bytes = Written([&](TBufferedStream& s) {
        s.WriteString(exact);
        s.WriteString(tooLong);
        s.WriteString(accented);
    });
    Reader r(bytes);
    EXPECT_EQ(r->ReadString(), exact);
    EXPECT_EQ(r->ReadString(), QString(255, QLatin1Char('y')));
    // 254 bytes: the 255th byte would have split a character.
    EXPECT_EQ(r->ReadString(), QString(127, QChar(0xE9)));
    EXPECT_EQ(bytes.size(), 256 + 256 + 255);
}

TEST(BufferedStream, TextIsUtf8WhenValidElseWindows1252) {
    Reader r(QByteArray("\x05"
                        "caf\xC3\xA9"
                        "\x04"
                        "caf\xE9"
                        "\x03"
                        "\x80\x93\x9F",
                        15));
    EXPECT_EQ(r->ReadString(), QString::fromUtf8("café"));
    EXPECT_EQ(r->ReadString(), QString::fromUtf8("café"));
    EXPECT_EQ(r->ReadString(), QString::fromUtf8("€“Ÿ"));
}

TEST(BufferedStream, LongStringsPCharsAndBlocks) {
    const QByteArray bytes = Written([](TBufferedStream& s) {
        s.WriteLongString(QString::fromUtf8("längere Zeichenkette"));
        s.WriteLongString(QString());
        s.WriteBlock(QByteArray());
        s.WriteBlock(QByteArray("\x00\x01\x02", 3));
        s.WriteWord(3);
        s.Write("abc", 3);
        s.WriteWord(0);
    });
    Reader r(bytes);
    EXPECT_EQ(r->ReadLongString(), QString::fromUtf8("längere Zeichenkette"));
    EXPECT_EQ(r->ReadLongString(), QString());
    const qint64 before = r->Position();
    EXPECT_TRUE(r->ReadBlock().isNull()); // an absent block is no block, and 4 bytes
    EXPECT_EQ(r->Position() - before, 4);
    EXPECT_EQ(r->ReadBlock(), QByteArray("\x00\x01\x02", 3));
    EXPECT_EQ(r->ReadPChar(), QStringLiteral("abc"));
    EXPECT_TRUE(r->ReadPChar().isNull());
}

TEST(BufferedStream, RectsAreSignExtendedAndWrittenAsLow16Bits) {
    Reader r(QByteArray::fromHex("ffff008000007f00"));
    const TRect rect = r->ReadRect();
    EXPECT_EQ(rect.Left, -1);
    EXPECT_EQ(rect.Top, -32768);
    EXPECT_EQ(rect.Right, 0);
    EXPECT_EQ(rect.Bottom, 127);

    const QByteArray bytes = Written([](TBufferedStream& s) { s.WriteRect({70000, -1, 5, 6}); });
    EXPECT_EQ(bytes.toHex(), QByteArray("7011ffff05000600"));
}

TEST(BufferedStream, SizesLargerThanTheDataAreReadErrorsNotAllocations) {
    const QString error = QStringLiteral("Stream read error");
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("ffffff7f"));
                  r->ReadBlock();
              }),
              error);
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("ffffffff"));
                  r->ReadBlock();
              }),
              error);
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("00000010ab"));
                  r->ReadLongString();
              }),
              error);
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("ffff41"));
                  r->ReadPChar();
              }),
              error);
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("ffffff7f"));
                  r->ReadBitmap();
              }),
              error);
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("ffffff7f"));
                  r->ReadMetafile();
              }),
              error);
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("0500"));
                  r->ReadLongint();
              }),
              error);
    EXPECT_EQ(ReadError([] {
                  Reader r(QByteArray::fromHex("05616263"));
                  r->ReadString();
              }),
              error);
}

TEST(BufferedStream, WritesReachTheDeviceInWholeBuffersNotPerField) {
    RecordingDevice device;
    device.open(QIODevice::WriteOnly);
    {
        TBufferedStream stream(&device, TBufferedStream::TMode::Write);
        for (int i = 0; i < 3000; ++i)
            stream.WriteLongint(i); // 12000 bytes
        stream.Flush();
    }
    EXPECT_EQ(device.Writes, (std::vector<qint64>{4096, 4096, 3808}));

    Reader r(device.data());
    r->Seek(4 * 2999);
    EXPECT_EQ(r->ReadLongint(), 2999);
    r->Seek(4 * 1000);
    EXPECT_EQ(r->Position(), 4000);
    EXPECT_EQ(r->ReadLongint(), 1000);
    r->Skip(4 * 1023); // crosses the buffer's end
    EXPECT_EQ(r->ReadLongint(), 2024);
}

TEST(BufferedStream, SeekingBackInWriteModePatchesEarlierBytes) {
    const QByteArray bytes = Written([](TBufferedStream& s) {
        s.WriteLongint(0);
        for (int i = 0; i < 5000; ++i)
            s.WriteByte(7);
        const qint64 end = s.Position();
        s.Seek(0);
        s.WriteLongint(static_cast<qint32>(end));
        s.Seek(end);
        s.WriteByte(9);
    });
    ASSERT_EQ(bytes.size(), 5005);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData()), 5004);
    EXPECT_EQ(bytes.back(), 9);
}

TEST(BufferedStream, BitmapsRoundTripAndInvalidOnesFail) {
    TBitmapData bitmap{TinyBmp()};
    const QByteArray bytes = Written([&](TBufferedStream& s) {
        s.WriteByte(1); // buffered bytes before the picture must land before it
        s.WriteGraphic(bitmap);
        s.WriteGraphic(TBitmapData());
        s.WriteByte(2);
    });
    EXPECT_EQ(bytes.size(), 1 + 4 + bitmap.Bytes.size() + 4 + 1);
    Reader r(bytes);
    EXPECT_EQ(r->ReadByte(), 1);
    EXPECT_EQ(r->ReadBitmap().Bytes, bitmap.Bytes);
    EXPECT_TRUE(r->ReadBitmap().IsEmpty());
    EXPECT_EQ(r->ReadByte(), 2);

    QByteArray notBmp = Written([](TBufferedStream& s) {
        s.WriteLongint(30);
        s.Write(QByteArray(30, 'Z').constData(), 30);
    });
    EXPECT_EQ(ReadError([&] { Reader(notBmp)->ReadBitmap(); }),
              QStringLiteral("Bitmap image is not valid"));
}

TEST(BufferedStream, MetafileCountIncludesItselfAndSmallCountsAreEmpty) {
    TMetafileData emf{TMetafileFormat::Emf, TinyEmf()};
    TMetafileData wmf{TMetafileFormat::Wmf, TinyWmf()};
    const QByteArray bytes = Written([&](TBufferedStream& s) {
        s.WriteGraphic(emf);
        s.WriteGraphic(wmf);
        s.WriteGraphic(TMetafileData());
        s.WriteLongint(2); // a count of 4 or less is an empty metafile
    });
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData()), emf.Bytes.size() + 4);
    Reader r(bytes);
    TMetafileData first = r->ReadMetafile();
    EXPECT_EQ(first.Format, TMetafileFormat::Emf);
    EXPECT_EQ(first.Bytes, emf.Bytes);
    TMetafileData second = r->ReadMetafile();
    EXPECT_EQ(second.Format, TMetafileFormat::Wmf);
    EXPECT_EQ(second.Bytes, wmf.Bytes);
    EXPECT_TRUE(r->ReadMetafile().IsEmpty());
    EXPECT_TRUE(r->ReadMetafile().IsEmpty());
    EXPECT_EQ(r->BytesLeft(), 0);
}

TEST(BufferedStream, LegacyMetafilesReadInBothForms) {
    const QByteArray wmf = TinyWmf();
    // The old form: a count of the picture bytes alone.
    QByteArray legacy = Written([&](TBufferedStream& s) {
        s.WriteLongint(wmf.size());
        s.Write(wmf.constData(), wmf.size());
        s.WriteByte(0x5A);
    });
    Reader old(legacy);
    EXPECT_EQ(old->ReadLegacyMetafile().Bytes, wmf);
    EXPECT_EQ(old->ReadByte(), 0x5A);

    // The standard form followed by four more bytes, which are skipped.
    QByteArray standard = Written([&](TBufferedStream& s) {
        s.WriteGraphic(TMetafileData{TMetafileFormat::Wmf, wmf});
        s.WriteLongint(-1);
        s.WriteByte(0x5A);
    });
    Reader current(standard);
    TMetafileData read = current->ReadLegacyMetafile();
    EXPECT_EQ(read.Format, TMetafileFormat::Wmf);
    EXPECT_EQ(read.Bytes, wmf);
    EXPECT_EQ(current->ReadByte(), 0x5A);

    Reader garbage(QByteArray::fromHex("08000000") + QByteArray(16, 'q'));
    EXPECT_EQ(ReadError([&] { garbage->ReadLegacyMetafile(); }),
              QStringLiteral("Metafile is not valid"));
}
