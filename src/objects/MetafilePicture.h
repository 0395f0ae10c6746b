#pragma once

#include "storage/Graphic.h"

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class QRectF;

// A metafile (EMF, or WMF with or without its placeable header) made drawable: converted once
// to a vector drawing and rendered at the sizes asked for, the last rendering kept so that
// repaints at the same size cost a copy.
class TMetafilePicture {
public:
    explicit TMetafilePicture(const TMetafileData& metafile);
    // The conversion of these bytes, shared: pictures and their copies (which share their
    // bytes) convert a metafile once however often they are drawn, sized or copied. The last
    // few conversions are kept.
    static std::shared_ptr<const TMetafilePicture> Of(const TMetafileData& metafile);
    // Conversions made since the program started (tests check that drawing does not convert).
    static int Conversions();
    ~TMetafilePicture();
    TMetafilePicture(const TMetafilePicture&) = delete;
    TMetafilePicture& operator=(const TMetafilePicture&) = delete;

    // False when the metafile could not be converted.
    bool IsValid() const;
    // Why an invalid metafile cannot be drawn, for the user.
    QString Problem() const;
    // The picture's frame in inches, from its header.
    QSizeF SizeInInches() const;
    // The frame in pixels at a resolution (dots per inch).
    QSize PixelSize(int dpi) const;
    // The picture rendered to an image of this size, on a transparent ground.
    QImage Rendered(QSize pixels) const;
    // Draws the picture stretched into a rectangle of the painter (vector output on printers).
    void Draw(QPainter& painter, const QRectF& target) const;

private:
    struct TData;
    std::unique_ptr<TData> FData;
};
