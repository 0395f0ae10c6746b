#include "storage/Graphic.h"

#include <QtEndian>

namespace {

quint32 U32At(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 U16At(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

constexpr quint32 EmrHeader = 1;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"
constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype PlaceableHeaderSize = 22;
constexpr qsizetype WmfHeaderSize = 18;

bool IsWmfHeaderAt(const QByteArray& b, qsizetype at) {
    if (b.size() < at + WmfHeaderSize) return false;
    const quint16 type = U16At(b, at); // 1 memory, 2 disk
    const quint16 headerWords = U16At(b, at + 2);
    const quint32 sizeWords = U32At(b, at + 6);
    return (type == 1 || type == 2) && headerWords == 9 && sizeWords >= 9;
}

} // namespace

bool TBitmapData::IsValidBmp(const QByteArray& b) {
    constexpr qsizetype FileHeaderSize = 14;
    if (b.size() < FileHeaderSize + 12 || b[0] != 'B' || b[1] != 'M') return false;
    const quint32 infoSize = U32At(b, FileHeaderSize);
    const bool knownInfo = infoSize == 12 || infoSize == 16 || infoSize == 40 || infoSize == 52 ||
                           infoSize == 56 || infoSize == 64 || infoSize == 108 || infoSize == 124;
    const quint32 bitsOffset = U32At(b, 10);
    return knownInfo && quint64(FileHeaderSize) + infoSize <= quint64(b.size()) &&
           bitsOffset <= quint64(b.size());
}

bool TMetafileData::LooksLikeEmf(const QByteArray& b) {
    return b.size() >= 44 && U32At(b, 0) == EmrHeader && U32At(b, 40) == EmfSignature;
}

bool TMetafileData::IsValidEmf(const QByteArray& b) {
    constexpr qsizetype MinimalHeaderSize = 88;
    if (b.size() < MinimalHeaderSize || !LooksLikeEmf(b)) return false;
    const quint32 headerSize = U32At(b, 4);
    return headerSize >= MinimalHeaderSize && headerSize <= quint64(b.size());
}

bool TMetafileData::IsValidWmf(const QByteArray& b) {
    if (b.size() >= 4 && U32At(b, 0) == PlaceableKey) return IsWmfHeaderAt(b, PlaceableHeaderSize);
    return IsWmfHeaderAt(b, 0);
}

qint64 TMetafileData::DeclaredSize(const QByteArray& b) {
    if (IsValidEmf(b)) return U32At(b, 48);
    if (!IsValidWmf(b)) return -1;
    const qsizetype header = U32At(b, 0) == PlaceableKey ? PlaceableHeaderSize : 0;
    return header + qint64(U32At(b, header + 6)) * 2;
}

TMetafileFormat TMetafileData::Detect(const QByteArray& bytes) {
    if (IsValidEmf(bytes)) return TMetafileFormat::Emf;
    if (IsValidWmf(bytes)) return TMetafileFormat::Wmf;
    return TMetafileFormat::None;
}
