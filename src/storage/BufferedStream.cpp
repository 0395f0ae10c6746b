#include "storage/BufferedStream.h"

#include "storage/Exception.h"
#include "storage/TextCodec.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {

constexpr qsizetype ShortStringMax = 255;

} // namespace

TBufferedStream::TBufferedStream(QIODevice* device, TMode mode, int bufferSize)
    : FDevice(device), FBuffer(new char[bufferSize > 0 ? bufferSize : DefaultBufferSize]()),
      FBufferSize(bufferSize > 0 ? bufferSize : DefaultBufferSize), FReading(mode == TMode::Read) {
    if (FReading) FReadSize = FDevice->size();
}

TBufferedStream::~TBufferedStream() {
    if (!FReading && FBufferIndex > 0) {
        try {
            FlushWrite();
        } catch (...) {
            // Destruction must not throw; a caller that cares flushes explicitly.
        }
    }
}

void TBufferedStream::Refill() {
    const qint64 got = FDevice->read(FBuffer.get(), FBufferSize);
    if (got <= 0) throw EReadError();
    FBufferFilled = static_cast<qint32>(got);
    FBufferIndex = 0;
}

void TBufferedStream::Read(void* buffer, qint64 count) {
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        if (FBufferFilled - FBufferIndex == 0) Refill();
        const qint64 chunk = qMin<qint64>(FBufferFilled - FBufferIndex, count);
        std::memcpy(out, FBuffer.get() + FBufferIndex, static_cast<size_t>(chunk));
        FBufferIndex += static_cast<qint32>(chunk);
        out += chunk;
        count -= chunk;
    }
}

void TBufferedStream::Write(const void* buffer, qint64 count) {
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        if (FBufferIndex == FBufferSize) FlushWrite();
        const qint64 chunk = qMin<qint64>(FBufferSize - FBufferIndex, count);
        std::memcpy(FBuffer.get() + FBufferIndex, in, static_cast<size_t>(chunk));
        FBufferIndex += static_cast<qint32>(chunk);
        in += chunk;
        count -= chunk;
    }
}

void TBufferedStream::FlushWrite() {
    if (FBufferIndex > 0 && FDevice->write(FBuffer.get(), FBufferIndex) != FBufferIndex)
        throw EWriteError();
    FBufferIndex = 0;
    FBufferFilled = 0;
}

void TBufferedStream::Flush() {
    if (!FReading) {
        FlushWrite();
        return;
    }
    const qint64 logical = Position();
    FBufferIndex = 0;
    FBufferFilled = 0;
    if (!FDevice->seek(logical)) throw EReadError();
}

qint64 TBufferedStream::Position() const {
    return FDevice->pos() + FBufferIndex - FBufferFilled;
}

qint64 TBufferedStream::Size() const {
    return FReading ? FReadSize : qMax(FDevice->size(), Position());
}

qint64 TBufferedStream::BytesLeft() const {
    return Size() - Position();
}

void TBufferedStream::RequireBytes(qint64 count) const {
    if (count < 0 || count > BytesLeft()) throw EReadError();
}

void TBufferedStream::Seek(qint64 position) {
    if (FReading) {
        if (position < 0 || position > FReadSize) throw EReadError();
        FBufferIndex = 0;
        FBufferFilled = 0;
        if (!FDevice->seek(position)) throw EReadError();
        return;
    }
    FlushWrite();
    if (!FDevice->seek(position)) throw EWriteError();
}

void TBufferedStream::Skip(qint64 count) {
    if (FReading && count <= FBufferFilled - FBufferIndex && count >= 0) {
        FBufferIndex += static_cast<qint32>(count);
        return;
    }
    RequireBytes(count);
    Seek(Position() + count);
}

template <typename T> T TBufferedStream::ReadLE() {
    // Fast path: the value lies wholly inside the buffer.
    if (FBufferFilled - FBufferIndex >= qint32(sizeof(T))) {
        const T value = qFromLittleEndian<T>(FBuffer.get() + FBufferIndex);
        FBufferIndex += sizeof(T);
        return value;
    }
    char raw[sizeof(T)];
    Read(raw, sizeof(T));
    return qFromLittleEndian<T>(raw);
}

template <typename T> void TBufferedStream::WriteLE(T value) {
    if (FBufferSize - FBufferIndex >= qint32(sizeof(T))) {
        qToLittleEndian<T>(value, FBuffer.get() + FBufferIndex);
        FBufferIndex += sizeof(T);
        return;
    }
    char raw[sizeof(T)];
    qToLittleEndian<T>(value, raw);
    Write(raw, sizeof(T));
}

quint8 TBufferedStream::ReadByte() {
    return ReadLE<quint8>();
}
bool TBufferedStream::ReadBoolean() {
    return ReadLE<quint8>() != 0;
}
qint16 TBufferedStream::ReadSmallint() {
    return ReadLE<qint16>();
}
quint16 TBufferedStream::ReadWord() {
    return ReadLE<quint16>();
}
qint32 TBufferedStream::ReadLongint() {
    return ReadLE<qint32>();
}

double TBufferedStream::ReadDouble() {
    const quint64 bits = ReadLE<quint64>();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray TBufferedStream::ReadShortBytes() {
    const quint8 length = ReadByte();
    QByteArray bytes(length, Qt::Uninitialized);
    Read(bytes.data(), length);
    return bytes;
}

QString TBufferedStream::ReadString() {
    return TextCodec::DecodeStoredText(ReadShortBytes());
}

QString TBufferedStream::ReadLongString() {
    const qint32 length = ReadLongint();
    RequireBytes(length);
    QByteArray bytes(length, Qt::Uninitialized);
    Read(bytes.data(), length);
    return TextCodec::DecodeStoredText(bytes);
}

QString TBufferedStream::ReadPChar() {
    const quint16 length = ReadWord();
    if (length == 0) return QString();
    RequireBytes(length);
    QByteArray bytes(length, Qt::Uninitialized);
    Read(bytes.data(), length);
    return TextCodec::DecodeStoredText(bytes);
}

QByteArray TBufferedStream::ReadBlock() {
    const qint32 size = ReadLongint();
    if (size == 0) return QByteArray();
    RequireBytes(size);
    QByteArray block(size, Qt::Uninitialized);
    Read(block.data(), size);
    return block;
}

TRect TBufferedStream::ReadRect() {
    TRect r;
    r.Left = ReadSmallint();
    r.Top = ReadSmallint();
    r.Right = ReadSmallint();
    r.Bottom = ReadSmallint();
    return r;
}

QByteArray TBufferedStream::ReadUnbuffered(qint64 count) {
    RequireBytes(count);
    Flush();
    QByteArray bytes(count, Qt::Uninitialized);
    if (FDevice->read(bytes.data(), count) != count) throw EReadError();
    return bytes;
}

TBitmapData TBufferedStream::ReadBitmap() {
    const qint32 count = ReadLongint();
    TBitmapData bitmap;
    if (count == 0) return bitmap;
    bitmap.Bytes = ReadUnbuffered(count);
    if (!TBitmapData::IsValidBmp(bitmap.Bytes))
        throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    return bitmap;
}

TMetafileData TBufferedStream::ReadMetafile() {
    const qint32 count = ReadLongint(); // includes these four bytes
    TMetafileData metafile;
    if (count <= 4) return metafile;
    metafile.Bytes = ReadUnbuffered(qint64(count) - 4);
    metafile.Format = TMetafileData::Detect(metafile.Bytes);
    if (metafile.Format == TMetafileFormat::None)
        throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
    return metafile;
}

// Older writers stored the count without its own four bytes. Read that way, a picture in the
// standard form (which older files follow with four more bytes) would take those four bytes
// too, so the old reading is accepted only when the picture's header declares exactly the
// bytes read; otherwise the standard form is read and the four bytes after it are skipped.
TMetafileData TBufferedStream::ReadLegacyMetafile() {
    const qint64 start = Position();
    const qint32 count = ReadLongint();
    if (count == 0) return TMetafileData();
    if (count > 0 && count <= BytesLeft()) {
        TMetafileData metafile;
        metafile.Bytes = ReadUnbuffered(count);
        if (TMetafileData::DeclaredSize(metafile.Bytes) == count) {
            metafile.Format = TMetafileData::Detect(metafile.Bytes);
            return metafile;
        }
    }
    Seek(start);
    TMetafileData metafile = ReadMetafile();
    Skip(4);
    return metafile;
}

void TBufferedStream::WriteByte(quint8 value) {
    WriteLE<quint8>(value);
}
void TBufferedStream::WriteBoolean(bool value) {
    WriteLE<quint8>(value ? 1 : 0);
}
void TBufferedStream::WriteSmallint(qint16 value) {
    WriteLE<qint16>(value);
}
void TBufferedStream::WriteWord(quint16 value) {
    WriteLE<quint16>(value);
}
void TBufferedStream::WriteLongint(qint32 value) {
    WriteLE<qint32>(value);
}

void TBufferedStream::WriteDouble(double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteLE<quint64>(bits);
}

void TBufferedStream::WriteShortBytes(const QByteArray& value) {
    const qsizetype length = qMin(value.size(), ShortStringMax);
    WriteByte(static_cast<quint8>(length));
    Write(value.constData(), length);
}

void TBufferedStream::WriteString(const QString& value) {
    WriteShortBytes(TextCodec::EncodeUtf8Limited(value, ShortStringMax));
}

void TBufferedStream::WriteLongString(const QString& value) {
    const QByteArray bytes = value.toUtf8();
    WriteLongint(static_cast<qint32>(bytes.size()));
    Write(bytes.constData(), bytes.size());
}

void TBufferedStream::WriteBlock(const QByteArray& block) {
    WriteLongint(static_cast<qint32>(block.size()));
    Write(block.constData(), block.size());
}

void TBufferedStream::WriteRect(const TRect& rect) {
    // Only the low 16 bits of each side are kept.
    WriteSmallint(static_cast<qint16>(rect.Left));
    WriteSmallint(static_cast<qint16>(rect.Top));
    WriteSmallint(static_cast<qint16>(rect.Right));
    WriteSmallint(static_cast<qint16>(rect.Bottom));
}

void TBufferedStream::WriteUnbuffered(const QByteArray& bytes) {
    FlushWrite();
    if (FDevice->write(bytes) != bytes.size()) throw EWriteError();
}

void TBufferedStream::WriteGraphic(const TBitmapData& bitmap) {
    WriteLongint(static_cast<qint32>(bitmap.Bytes.size()));
    if (!bitmap.IsEmpty()) WriteUnbuffered(bitmap.Bytes);
}

void TBufferedStream::WriteGraphic(const TMetafileData& metafile) {
    WriteLongint(static_cast<qint32>(metafile.Bytes.size() + 4));
    if (!metafile.IsEmpty()) WriteUnbuffered(metafile.Bytes);
}
