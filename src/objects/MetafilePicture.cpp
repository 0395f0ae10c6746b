#include "objects/MetafilePicture.h"

#include "objects/WmfToSvg.h"

#include <QCache>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>
#include <QtEndian>

#include <emf2svg.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace {

constexpr quint32 EmrHeader = 1;
constexpr quint32 EmrEof = 14;
constexpr qint64 MaxRenderedPixels = 64LL << 20; // 256 MB of ARGB
constexpr int MaxPixelSide = 100000;
constexpr qint64 MaxDevicePixels = 1 << 26; // a metafile coordinate beyond this is corrupt

qint32 S32At(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<qint32>(b.constData() + at);
}
quint32 U32At(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
void PutS32(QByteArray& b, qsizetype at, qint32 v) {
    qToLittleEndian<qint32>(v, b.data() + at);
}

// An EMF ready for libemf2svg, with the geometry to draw it by.
struct TPreparedEmf {
    QByteArray Bytes;
    QSizeF Inches;
    QRectF ViewBox; // the frame in the SVG's user units
};

// libemf2svg trusts the record sizes and divides by the header's bounds, so the records are
// checked first, the bytes cut after the end-of-file record, and an empty bounds rectangle
// (which would make every coordinate NaN) replaced by the frame.
std::optional<TPreparedEmf> PrepareEmf(const QByteArray& bytes, bool& tooManyRecords) {
    if (!TMetafileData::IsValidEmf(bytes)) return std::nullopt;
    qsizetype pos = 0;
    quint32 records = 0;
    for (;;) {
        if (bytes.size() - pos < 8) return std::nullopt;
        const quint32 type = U32At(bytes, pos);
        const quint32 size = U32At(bytes, pos + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(bytes.size() - pos)) return std::nullopt;
        if ((pos == 0) != (type == EmrHeader)) return std::nullopt;
        if (++records > MostMetafileRecords) {
            tooManyRecords = true;
            return std::nullopt;
        }
        pos += size;
        if (type == EmrEof) break;
    }
    TPreparedEmf emf;
    emf.Bytes = bytes.left(pos);
    QByteArray& b = emf.Bytes;
    PutS32(b, 48, qint32(pos));
    PutS32(b, 52, qint32(records));

    // Reference device: pixels and millimetres; a header without them gets a 96 dpi screen.
    const auto sane = [&b](qsizetype pixels, qsizetype mm) {
        const double perMm = S32At(b, mm) > 0 ? double(S32At(b, pixels)) / S32At(b, mm) : 0;
        return perMm >= 0.1 && perMm <= 1000;
    };
    if (!sane(72, 80) || !sane(76, 84)) {
        PutS32(b, 72, 960);
        PutS32(b, 76, 960);
        PutS32(b, 80, 254);
        PutS32(b, 84, 254);
    }
    const double pxPerMmX = double(S32At(b, 72)) / S32At(b, 80);
    const double pxPerMmY = double(S32At(b, 76)) / S32At(b, 84);

    const QRectF frame(QPointF(S32At(b, 24), S32At(b, 28)), QPointF(S32At(b, 32), S32At(b, 36)));
    // The frame (hundredths of a millimetre) in device pixels.
    const QRectF framePx(frame.left() / 100 * pxPerMmX, frame.top() / 100 * pxPerMmY,
                         frame.width() / 100 * pxPerMmX, frame.height() / 100 * pxPerMmY);
    const bool frameUsable =
        frame.width() > 0 && frame.height() > 0 &&
        std::max({std::abs(framePx.left()), std::abs(framePx.top()), std::abs(framePx.right()),
                  std::abs(framePx.bottom())}) < double(MaxDevicePixels);

    // Bounds in device pixels; libemf2svg subtracts them in plain ints.
    qint64 left = S32At(b, 8), top = S32At(b, 12), right = S32At(b, 16), bottom = S32At(b, 20);
    if (right <= left || bottom <= top) {
        const QRect r = frameUsable ? framePx.toAlignedRect() : QRect();
        if (r.width() > 1 && r.height() > 1) {
            left = r.left();
            top = r.top();
            right = qint64(r.right()) + 1;
            bottom = qint64(r.bottom()) + 1;
        } else {
            right = std::max(right, left + 1);
            bottom = std::max(bottom, top + 1);
        }
    }
    if (right - left > MaxDevicePixels || bottom - top > MaxDevicePixels ||
        std::max({std::abs(left), std::abs(top), right, bottom}) > MaxDevicePixels)
        return std::nullopt;
    PutS32(b, 8, qint32(left));
    PutS32(b, 12, qint32(top));
    PutS32(b, 16, qint32(right));
    PutS32(b, 20, qint32(bottom));
    // libemf2svg sizes the document by right - left and moves the drawing by -left, -top.
    const QRectF document(0, 0, double(right - left), double(bottom - top));
    const QRectF frameBox = framePx.translated(double(-left), double(-top));
    // A frame that misses the drawing entirely is wrong, not the drawing.
    emf.ViewBox = frameUsable && frameBox.intersects(document) ? frameBox : document;
    emf.Inches = frameUsable ? QSizeF(frame.width() / 2540, frame.height() / 2540)
                             : QSizeF(document.width() / pxPerMmX / 25.4,
                                      document.height() / pxPerMmY / 25.4);
    return emf;
}

std::mutex& Emf2SvgLock() {
    static std::mutex lock;
    return lock;
}

// The SVG text libemf2svg allocated (freed with free()); its length in `length`.
std::unique_ptr<char, void (*)(void*)> EmfToSvg(QByteArray emf, size_t& length) {
    generatorOptions options{};
    char noNamespace[] = ""; // with a prefix it writes unbalanced element names
    options.nameSpace = noNamespace;
    options.svgDelimiter = true;
    char* out = nullptr;
    length = 0;
    int ok;
    {
        std::lock_guard lock(Emf2SvgLock());
        ok = emf2svg(emf.data(), size_t(emf.size()), &out, &length, &options);
    }
    if (!ok) length = 0;
    return {out, std::free};
}

std::atomic<int> ConversionCount{0};

} // namespace

struct TMetafilePicture::TData {
    bool Valid = false;
    bool TooManyRecords = false;
    QSizeF Inches;
    QSvgRenderer Renderer;
    std::mutex Lock; // the renderer and the kept image
    QImage Kept;
};

TMetafilePicture::TMetafilePicture(const TMetafileData& metafile)
    : FData(std::make_unique<TData>()) {
    ++ConversionCount;
    // The SVG text is read where the converters left it, not copied: it is many times the
    // size of the metafile.
    QByteArray svg;
    std::unique_ptr<char, void (*)(void*)> emfSvg(nullptr, std::free);
    TWmfSvg wmf;
    std::optional<QRectF> viewBox;
    switch (TMetafileData::Detect(metafile.Bytes)) {
    case TMetafileFormat::Emf:
        if (auto emf = PrepareEmf(metafile.Bytes, FData->TooManyRecords)) {
            size_t length = 0;
            emfSvg = EmfToSvg(std::move(emf->Bytes), length);
            if (emfSvg && length > 0) svg = QByteArray::fromRawData(emfSvg.get(), qsizetype(length));
            FData->Inches = emf->Inches;
            viewBox = emf->ViewBox;
        }
        break;
    case TMetafileFormat::Wmf: {
        wmf = WmfToSvg(reinterpret_cast<const unsigned char*>(metafile.Bytes.constData()),
                       std::size_t(metafile.Bytes.size()));
        svg = QByteArray::fromRawData(wmf.Svg.data(), qsizetype(wmf.Svg.size()));
        FData->TooManyRecords = wmf.TooManyRecords;
        FData->Inches = QSizeF(wmf.WidthInches, wmf.HeightInches);
        break;
    }
    case TMetafileFormat::None:
        break;
    }
    if (svg.isEmpty() || !FData->Renderer.load(svg) || !FData->Renderer.isValid()) {
        FData->Inches = QSizeF();
        return;
    }
    if (viewBox) FData->Renderer.setViewBox(*viewBox);
    FData->Valid = FData->Inches.width() > 0 && FData->Inches.height() > 0 &&
                   FData->Renderer.viewBoxF().width() > 0 &&
                   FData->Renderer.viewBoxF().height() > 0;
    if (!FData->Valid) FData->Inches = QSizeF();
}

TMetafilePicture::~TMetafilePicture() = default;

bool TMetafilePicture::IsValid() const {
    return FData->Valid;
}

QString TMetafilePicture::Problem() const {
    if (FData->Valid) return {};
    if (FData->TooManyRecords)
        return QStringLiteral("The metafile picture has more than %L1 records, more than can be "
                              "drawn.")
            .arg(qulonglong(MostMetafileRecords));
    return QStringLiteral("The metafile picture cannot be read.");
}

int TMetafilePicture::Conversions() {
    return ConversionCount;
}

namespace {

// Conversions keyed by the metafile's bytes (their address: copies share them); an entry
// holds on to its bytes so that the address cannot be reused by others.
struct TConversionKey {
    const char* Data;
    qsizetype Length;
    bool operator==(const TConversionKey& o) const { return Data == o.Data && Length == o.Length; }
};
size_t qHash(const TConversionKey& k, size_t seed) {
    return qHashMulti(seed, quintptr(k.Data), k.Length);
}
struct TConversion {
    QByteArray Bytes;
    std::shared_ptr<const TMetafilePicture> Picture;
};

} // namespace

std::shared_ptr<const TMetafilePicture> TMetafilePicture::Of(const TMetafileData& metafile) {
    static std::mutex lock;
    static QCache<TConversionKey, TConversion> kept(8);
    const TConversionKey key{metafile.Bytes.constData(), metafile.Bytes.size()};
    {
        std::lock_guard guard(lock);
        if (const TConversion* found = kept.object(key)) return found->Picture;
    }
    // Converted outside the lock: the libraries' own locks keep conversions apart.
    auto picture = std::make_shared<const TMetafilePicture>(metafile);
    std::lock_guard guard(lock);
    if (const TConversion* found = kept.object(key)) return found->Picture;
    kept.insert(key, new TConversion{metafile.Bytes, picture});
    return picture;
}

QSizeF TMetafilePicture::SizeInInches() const {
    return FData->Inches;
}

QSize TMetafilePicture::PixelSize(int dpi) const {
    if (!FData->Valid || dpi <= 0) return {};
    const auto side = [dpi](double inches) {
        return int(std::clamp<qint64>(qRound64(inches * dpi), 1, MaxPixelSide));
    };
    return {side(FData->Inches.width()), side(FData->Inches.height())};
}

QImage TMetafilePicture::Rendered(QSize pixels) const {
    if (!FData->Valid || pixels.isEmpty() || pixels.width() > MaxPixelSide ||
        pixels.height() > MaxPixelSide ||
        qint64(pixels.width()) * pixels.height() > MaxRenderedPixels)
        return {};
    std::lock_guard lock(FData->Lock);
    if (FData->Kept.size() == pixels) return FData->Kept;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        FData->Renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    FData->Kept = image;
    return image;
}

void TMetafilePicture::Draw(QPainter& painter, const QRectF& target) const {
    if (!FData->Valid || target.isEmpty()) return;
    std::lock_guard lock(FData->Lock);
    painter.save();
    // Drawing outside the frame stays outside the picture.
    painter.setClipRect(target, Qt::IntersectClip);
    FData->Renderer.render(&painter, target);
    painter.restore();
}
