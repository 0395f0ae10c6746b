#pragma once

#include <QFont>
#include <QString>

// A font as documents store it: face name, size in points, colour (0x00BBGGRR) and style.
struct TFontSpec {
    QString Name = QStringLiteral("Arial");
    int Size = 10;
    quint32 Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    // Style as a bit set: 1 bold, 2 italic, 4 underline, 8 strike-out.
    int StyleBits() const;
    void SetStyleBits(int bits);
    // The font at a device resolution (point sizes are turned into pixels at dpi).
    QFont ToQFont(int dpi) const;
    bool operator==(const TFontSpec&) const = default;
};
