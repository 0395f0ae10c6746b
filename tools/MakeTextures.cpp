// make_textures FOLDER
// Paints the shipped texture pictures (letter and background fills of headlines) into
// FOLDER as 128 x 128 bitmaps. Each is smooth noise shaped by a formula of its own, from a
// fixed seed, so every build ships the same pictures; the noise wraps, so they tile.

#include <QColor>
#include <QDir>
#include <QImage>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr int Size = 128;

// Value noise on a lattice that wraps at the picture's edge, summed over four octaves.
class TNoise {
public:
    explicit TNoise(unsigned seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (double& value : FLattice) value = unit(random);
    }

    // Roughly 0..1 at a picture point.
    double At(double x, double y) const {
        double sum = 0, weight = 0, amplitude = 1;
        for (int cells = 4; cells <= 32; cells *= 2) {
            sum += amplitude * Smooth(x * cells / Size, y * cells / Size, cells);
            weight += amplitude;
            amplitude /= 2;
        }
        return sum / weight;
    }

private:
    static constexpr int Lattice = 32;
    double Corner(int x, int y, int cells) const {
        x = ((x % cells) + cells) % cells;
        y = ((y % cells) + cells) % cells;
        return FLattice[size_t(y * Lattice + x)];
    }
    double Smooth(double x, double y, int cells) const {
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const double fx = x - x0, fy = y - y0;
        const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        const double top = Corner(x0, y0, cells) * (1 - sx) + Corner(x0 + 1, y0, cells) * sx;
        const double bottom =
            Corner(x0, y0 + 1, cells) * (1 - sx) + Corner(x0 + 1, y0 + 1, cells) * sx;
        return top * (1 - sy) + bottom * sy;
    }
    std::array<double, Lattice * Lattice> FLattice{};
};

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

struct TTexture {
    const char* Name;
    unsigned Seed;
    std::function<QColor(const TNoise&, int x, int y)> Colour;
};

const double Pi = std::acos(-1.0);

const TTexture Textures[] = {
    {"Marble", 11,
     [](const TNoise& n, int x, int y) {
         const double vein = std::abs(std::sin((x + y) * Pi / Size * 2 + 6 * n.At(x, y)));
         return Mix(QColor(90, 96, 110), QColor(238, 236, 230), std::pow(vein, 0.35));
     }},
    {"Wood", 23,
     [](const TNoise& n, int x, int y) {
         const double rings = std::fmod(8 * n.At(x, y) + 6.0 * y / Size * 2, 1.0);
         return Mix(QColor(150, 92, 45), QColor(96, 52, 22), rings);
     }},
    {"Paper", 37,
     [](const TNoise& n, int x, int y) {
         return Mix(QColor(232, 224, 200), QColor(252, 248, 236), n.At(x * 4 % Size, y * 4 % Size));
     }},
    {"Granite", 41,
     [](const TNoise& n, int x, int y) {
         const double speck = n.At(x * 8 % Size, y * 8 % Size);
         return Mix(QColor(60, 60, 64), QColor(200, 190, 186), speck * 1.4 - 0.2);
     }},
    {"Sky", 53,
     [](const TNoise& n, int x, int y) {
         return Mix(QColor(70, 130, 210), QColor(250, 250, 255), std::pow(n.At(x, y), 2.5) * 2.2);
     }},
    {"Gold", 61,
     [](const TNoise& n, int x, int y) {
         const double shine = 0.5 + 0.5 * std::sin(y * Pi / Size * 4 + 3 * n.At(x, y));
         return Mix(QColor(150, 105, 20), QColor(255, 225, 120), shine);
     }},
    {"Denim", 71,
     [](const TNoise& n, int x, int y) {
         const double weave = ((x + y) % 4 < 2 ? 0.15 : 0.0) + 0.6 * n.At(x * 2 % Size, y * 2 % Size);
         return Mix(QColor(30, 50, 100), QColor(110, 140, 190), weave);
     }},
    {"Leaves", 83,
     [](const TNoise& n, int x, int y) {
         return Mix(QColor(20, 70, 20), QColor(140, 200, 60), std::pow(n.At(x, y), 1.5) * 1.6);
     }},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_textures FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot be made\n", argv[1]);
        return 1;
    }
    for (const TTexture& texture : Textures) {
        const TNoise noise(texture.Seed);
        QImage image(Size, Size, QImage::Format_RGB32);
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x)
                image.setPixelColor(x, y, texture.Colour(noise, x, y));
        const QString target = folder.filePath(QString::fromLatin1(texture.Name) + ".bmp");
        if (!image.save(target, "BMP")) {
            std::fprintf(stderr, "%s: cannot be written\n", qPrintable(target));
            return 1;
        }
    }
    return 0;
}
