#pragma once

#include <QSize>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

// Every picture reader decodes at most this many pixels at once: what Qt's image readers allow
// by default (128 MB at 4 bytes a pixel), about 5,800 x 5,800. Larger pictures are read smaller.
constexpr qint64 LargestPicturePixels = (qint64(128) << 20) / 4;

// The size a picture of `pixels` is read at so that it stays within LargestPicturePixels,
// keeping its proportions; the size itself when it fits.
inline QSize WithinPictureLimit(QSize pixels) {
    if (pixels.isEmpty() || qint64(pixels.width()) * pixels.height() <= LargestPicturePixels)
        return pixels;
    QSize fitted = pixels;
    while (qint64(fitted.width()) * fitted.height() > LargestPicturePixels) {
        const double scale = std::sqrt(double(LargestPicturePixels) /
                                       (double(fitted.width()) * fitted.height()));
        fitted = QSize(std::max(1, int(fitted.width() * scale)),
                       std::max(1, int(fitted.height() * scale)));
    }
    return fitted;
}

// Shrinks a picture that arrives row by row, 4 bytes a pixel in any channel order, to a size
// no larger on either side: each output pixel is the mean of the source pixels it covers, and
// only one output row is held at a time. Rows come out in the order they went in.
class TRowReducer {
public:
    using TOutput = std::function<void(int row, const quint8* pixels)>;

    TRowReducer(QSize source, QSize target, TOutput output)
        : FSource(source), FTarget(target.boundedTo(source)), FOutput(std::move(output)),
          FColumn(size_t(std::max(0, source.width()))),
          FSums(size_t(std::max(0, FTarget.width())) * 4), FCounts(FSums.size() / 4),
          FRow(FSums.size()) {
        for (int x = 0; x < source.width(); ++x)
            FColumn[size_t(x)] = int(qint64(x) * FTarget.width() / source.width());
    }

    QSize Target() const { return FTarget; }

    void AddRow(const quint8* pixels) {
        if (FIn >= FSource.height() || FTarget.isEmpty()) return;
        const int row = int(qint64(FIn) * FTarget.height() / FSource.height());
        if (row != FOut) Flush();
        for (int x = 0; x < FSource.width(); ++x) {
            const size_t at = size_t(FColumn[size_t(x)]);
            for (int c = 0; c < 4; ++c) FSums[at * 4 + size_t(c)] += pixels[x * 4 + c];
            ++FCounts[at];
        }
        ++FIn;
        if (FIn == FSource.height()) Flush();
    }

private:
    void Flush() {
        for (size_t i = 0; i < FCounts.size(); ++i) {
            const quint64 n = std::max<quint64>(FCounts[i], 1);
            for (size_t c = 0; c < 4; ++c) FRow[i * 4 + c] = quint8((FSums[i * 4 + c] + n / 2) / n);
        }
        FOutput(FOut, FRow.data());
        std::fill(FSums.begin(), FSums.end(), 0);
        std::fill(FCounts.begin(), FCounts.end(), 0);
        ++FOut;
    }

    QSize FSource;
    QSize FTarget;
    TOutput FOutput;
    std::vector<int> FColumn; // the output column of each source column
    std::vector<quint64> FSums;
    std::vector<quint64> FCounts;
    std::vector<quint8> FRow;
    int FIn = 0;  // source rows taken
    int FOut = 0; // the output row being summed
};
