#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

#include <functional>
#include <vector>

// The letters' coverage in device pixels (one alpha byte each), drawn once and laid over a
// picture as many times as the shades need: each copy is the same shape moved by whole
// pixels, so a deep extrusion costs a pass over bytes per step instead of filling the letter
// outlines again.
class TLetterMask {
public:
    explicit TLetterMask(QImage coverage);

    const QImage& Coverage() const { return FCoverage; }
    // Lays one colour over picture (premultiplied ARGB, the mask's size) through the mask
    // moved by shift; what moves outside the picture is cut off.
    void Lay(QImage& picture, QPoint shift, const QColor& color) const;
    // As Lay, with each pixel's colour chosen by its position in the picture.
    void Lay(QImage& picture, QPoint shift, const std::function<QRgb(int x, int y)>& color) const;

private:
    template <typename ColorAt>
    void LayThrough(QImage& picture, QPoint shift, const ColorAt& colorAt) const;

    // A stretch of one row that is wholly covered, or partly covered pixel by pixel.
    struct TRun {
        int Start = 0, Length = 0;
        bool Opaque = false;
    };
    void FindRuns();

    QImage FCoverage; // Format_Alpha8
    // The runs of every row: those of row y are FRuns[FRowStart[y]] to FRuns[FRowStart[y+1]].
    std::vector<TRun> FRuns;
    std::vector<int> FRowStart;
};
