#pragma once

#include "storage/Graphic.h"
#include "storage/Rect.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

// A stream over a file (or any random-access QIODevice) with its own fixed-size buffer, so
// that the many 1-, 2- and 4-byte fields of object records reach the file in large blocks,
// plus the primitive readers and writers that every record is made of. All integers are
// little-endian with exact widths.
//
// Every count or size read from the data is checked against the bytes that remain before
// anything is allocated: a violation is a read error, never an allocation.
class TBufferedStream {
public:
    enum class TMode { Read, Write };
    static constexpr int DefaultBufferSize = 4096;

    // The device must be open and stay open for the life of the stream; it is not owned.
    TBufferedStream(QIODevice* device, TMode mode, int bufferSize = DefaultBufferSize);
    virtual ~TBufferedStream();
    TBufferedStream(const TBufferedStream&) = delete;
    TBufferedStream& operator=(const TBufferedStream&) = delete;

    bool IsReading() const { return FReading; }
    QIODevice* Device() const { return FDevice; }

    void Read(void* buffer, qint64 count);
    void Write(const void* buffer, qint64 count);
    // Absolute positioning in the logical stream.
    void Seek(qint64 position);
    void Skip(qint64 count);
    qint64 Position() const;
    qint64 Size() const;
    qint64 BytesLeft() const;
    // Raises "Stream read error" unless count bytes remain to be read.
    void RequireBytes(qint64 count) const;
    // Write mode: hand the buffered bytes to the device. Read mode: drop the buffer and put
    // the device at the logical position.
    void Flush();

    quint8 ReadByte();
    bool ReadBoolean();
    qint16 ReadSmallint();
    quint16 ReadWord();
    qint32 ReadLongint();
    double ReadDouble();
    QString ReadString();
    QByteArray ReadShortBytes(); // a short string's raw bytes (class names)
    QString ReadLongString();
    QString ReadPChar();    // null string for length 0
    QByteArray ReadBlock(); // null for size 0
    TRect ReadRect();
    TBitmapData ReadBitmap();
    TMetafileData ReadMetafile();
    TMetafileData ReadLegacyMetafile();

    void WriteByte(quint8 value);
    void WriteBoolean(bool value);
    void WriteSmallint(qint16 value);
    void WriteWord(quint16 value);
    void WriteLongint(qint32 value);
    void WriteDouble(double value);
    // Cut to 255 bytes on a character boundary.
    void WriteString(const QString& value);
    void WriteShortBytes(const QByteArray& value);
    void WriteLongString(const QString& value);
    void WriteBlock(const QByteArray& block); // null or empty writes size 0
    void WriteRect(const TRect& rect);
    void WriteGraphic(const TBitmapData& bitmap);
    void WriteGraphic(const TMetafileData& metafile);

private:
    void Refill();
    void FlushWrite();
    QByteArray ReadUnbuffered(qint64 count);
    void WriteUnbuffered(const QByteArray& bytes);
    template <typename T> T ReadLE();
    template <typename T> void WriteLE(T value);

    QIODevice* FDevice;
    std::unique_ptr<char[]> FBuffer;
    qint32 FBufferSize;
    qint32 FBufferIndex = 0;
    qint32 FBufferFilled = 0;
    bool FReading;
    qint64 FReadSize = 0; // size of the data when reading; it does not change under us
};
