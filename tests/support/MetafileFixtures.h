#pragma once

// Metafiles built record by record, for tests of what reads and draws them.

#include <QByteArray>
#include <QColor>

#include <array>
#include <initializer_list>
#include <optional>

inline void Put16(QByteArray& b, std::initializer_list<quint16> values) {
    for (quint16 v : values)
        b.append(char(v & 0xFF)).append(char(v >> 8));
}
inline void Put32(QByteArray& b, std::initializer_list<quint32> values) {
    for (quint32 v : values)
        Put16(b, {quint16(v), quint16(v >> 16)});
}
inline quint32 ColorRef(QRgb c) {
    return quint32(qRed(c)) | quint32(qGreen(c)) << 8 | quint32(qBlue(c)) << 16;
}

// An enhanced metafile: header, the records added, end of file. The reference device is a
// 96 dpi screen (960 pixels in 254 mm), so an inch is 96 pixels and 2540 frame units.
class TEmf {
public:
    TEmf& Record(quint32 type, std::initializer_list<qint32> params) {
        Put32(FRecords, {type, quint32(8 + 4 * params.size())});
        for (qint32 p : params)
            Put32(FRecords, {quint32(p)});
        ++FCount;
        return *this;
    }
    TEmf& SolidBrush(QRgb color) {
        Record(39, {1, 0, qint32(ColorRef(color)), 0}); // CreateBrushIndirect as object 1
        Record(37, {1});                                // SelectObject
        return Record(37, {qint32(0x80000008)});        // SelectObject(NULL_PEN)
    }
    TEmf& Rectangle(int left, int top, int right, int bottom) {
        return Record(43, {left, top, right, bottom});
    }

    // Bounds in device pixels, frame in hundredths of a millimetre: left, top, right, bottom.
    QByteArray Bytes(std::array<qint32, 4> bounds, std::array<qint32, 4> frame) const {
        QByteArray records = FRecords;
        Put32(records, {14, 20, 0, 16, 20}); // EOF
        QByteArray b;
        Put32(b, {1, 88});
        for (qint32 v : bounds)
            Put32(b, {quint32(v)});
        for (qint32 v : frame)
            Put32(b, {quint32(v)});
        Put32(b, {0x464D4520, 0x10000, quint32(88 + records.size()), quint32(FCount + 2)});
        Put16(b, {2, 0});                        // handles
        Put32(b, {0, 0, 0, 960, 960, 254, 254}); // no description, no palette, the device
        return b + records;
    }

private:
    QByteArray FRecords;
    int FCount = 0;
};

// A Windows metafile, optionally behind a placeable header.
class TWmf {
public:
    TWmf& Record(quint16 function, std::initializer_list<qint16> params) {
        QByteArray p;
        for (qint16 v : params)
            Put16(p, {quint16(v)});
        return Raw(function, p);
    }
    TWmf& Raw(quint16 function, const QByteArray& params) {
        Put32(FRecords, {quint32(3 + params.size() / 2)});
        Put16(FRecords, {function});
        FRecords += params;
        return *this;
    }
    TWmf& Window(qint16 x, qint16 y, qint16 width, qint16 height) {
        Record(0x020B, {y, x});
        return Record(0x020C, {height, width});
    }
    TWmf& SolidBrush(QRgb color) {
        Record(0x02FA, {5, 0, 0, 0, 0}); // CreatePenIndirect(PS_NULL) as object 0
        Record(0x012D, {0});
        const quint32 c = ColorRef(color);
        Record(0x02FC, {0, qint16(c & 0xFFFF), qint16(c >> 16), 0}); // CreateBrushIndirect as 1
        return Record(0x012D, {1});
    }
    TWmf& Rectangle(qint16 left, qint16 top, qint16 right, qint16 bottom) {
        return Record(0x041B, {bottom, right, top, left});
    }

    struct TPlaceable {
        qint16 Left, Top, Right, Bottom;
        quint16 Inch;
    };
    QByteArray Bytes(std::optional<TPlaceable> placeable = std::nullopt) const {
        QByteArray records = FRecords;
        Put16(records, {3, 0, 0}); // EOF
        QByteArray b;
        if (placeable) {
            const quint16 words[] = {0xCDD7,
                                     0x9AC6,
                                     0,
                                     quint16(placeable->Left),
                                     quint16(placeable->Top),
                                     quint16(placeable->Right),
                                     quint16(placeable->Bottom),
                                     placeable->Inch,
                                     0,
                                     0};
            quint16 sum = 0;
            for (quint16 w : words) {
                Put16(b, {w});
                sum ^= w;
            }
            Put16(b, {sum});
        }
        // The largest record is left wrong on purpose, as some writers do.
        Put16(b, {1, 9, 0x0300});
        Put32(b, {quint32((18 + records.size()) / 2)});
        Put16(b, {2, 0, 0, 0});
        return b + records;
    }

private:
    QByteArray FRecords;
};
