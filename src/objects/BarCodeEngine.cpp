#include "objects/BarCodeEngine.h"

#include "document/Units.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

bool AllDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

[[noreturn]] void Fail(const char* message) {
    throw EBarCodeError(QString::fromUtf8(message));
}

bool IsCode39Character(QChar c) {
    static const QString others = QStringLiteral("$%+-./ ");
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || others.contains(c);
}

// Pixel columns of each run of equal bytes in a pattern.
template <typename F> void ForEachRun(const QByteArray& pattern, F action) {
    for (int start = 0; start < pattern.size();) {
        int end = start + 1;
        while (end < pattern.size() && pattern[end] == pattern[start])
            ++end;
        action(pattern[start], start, end - start);
        start = end;
    }
}

} // namespace

TBarCodeEngine::TBarCodeEngine() {
    FData = QStringLiteral("01234567890");
    Validate();
}

void TBarCodeEngine::SetBarCodeType(TBarCodeType type) {
    FType = type;
    Validate();
}

QString TBarCodeEngine::Data() const {
    return FValid ? FFullData : FData;
}

void TBarCodeEngine::SetData(const QString& data) {
    FData = data;
    Validate();
}

void TBarCodeEngine::SetBarWidth(double inches) {
    if (!(inches > 0)) Fail("The bar width must be greater than 0");
    FBarWidth = inches;
    Validate();
}

void TBarCodeEngine::SetWideBarRatio(double ratio) {
    if (!(ratio > 0)) Fail("The wide bar ratio must be greater than 0");
    FWideBarRatio = ratio;
    Validate();
}

void TBarCodeEngine::SetCalcCheckDigit(bool calc) {
    FCalcCheckDigit = calc;
    Validate();
}

void TBarCodeEngine::SetPrintHumanReadable(bool print) {
    FPrintHumanReadable = print;
    Validate();
}

void TBarCodeEngine::SetAutoSize(bool autoSize) {
    FAutoSize = autoSize;
    Validate();
}

void TBarCodeEngine::SetBarHeightInches(double inches) {
    if (!(inches > 0)) Fail("The bar height must be greater than 0");
    FBarHeightInches = inches;
    Validate();
}

void TBarCodeEngine::SetAddOn(const QString& digits) {
    if (!digits.isEmpty() && ((digits.size() != 2 && digits.size() != 5) || !AllDigits(digits)))
        Fail("Add-on codes must be either 2 or 5 digits");
    FAddOn = digits;
    Validate();
}

void TBarCodeEngine::SetBearerBars(bool bearerBars) {
    FBearerBars = bearerBars;
    Validate();
}

void TBarCodeEngine::Validate() {
    try {
        ValidateState();
        FValid = true;
        FError.clear();
    } catch (const EBarCodeError& error) {
        FValid = false;
        FError = error.Message();
        FSymbol.clear();
        FAddOnSymbol.clear();
        FText.clear();
        FFullData.clear();
        throw;
    }
}

void TBarCodeEngine::ValidateState() {
    if (FType == bcPostnet && !FAutoSize) Fail("PostNet barcodes must be AutoSize'd");
    const bool upcEan = FType == bcUPC_A || FType == bcEAN_13;
    if (!FAddOn.isEmpty() && !upcEan) Fail("Only UPC-A and EAN-13 barcodes can have add-on codes");
    if (FBearerBars && FType != bcInt2of5)
        Fail("Only Interleaved 2 of 5 barcodes can have bearer bars");

    QString full = FData;
    QByteArray symbol;
    switch (FType) {
    case bcUPC_A:
    case bcEAN_13: {
        const bool upc = FType == bcUPC_A;
        const int length = upc ? 12 : 13; // with the check digit
        if (FData.size() != length - 1 && FData.size() != length)
            Fail(upc ? "UPC-A barcodes must be 11 digits (12 with check digit)"
                     : "EAN-13 barcodes must be 12 digits (13 with check digit)");
        if (FData.size() == length - 1 && !FCalcCheckDigit)
            Fail(upc ? "UPC-A barcodes must be 12 digits including the check digit"
                     : "EAN-13 barcodes must be 13 digits including the check digit");
        if (!AllDigits(FData))
            Fail(upc ? "UPC-A barcodes must be numeric" : "EAN-13 barcodes must be numeric");
        if (FCalcCheckDigit) {
            full = FData.left(length - 1);
            full += QChar('0' + UpcEanCheckDigit(full));
        }
        symbol = upc ? EncodeUpcA(full) : EncodeEan13(full);
        break;
    }
    case bcInt2of5:
        if (FData.isEmpty()) Fail("Interleaved 2 of 5 barcodes must have at least two digits");
        if (!AllDigits(FData)) Fail("Interleaved 2 of 5 barcodes must be numeric");
        if (FData.size() % 2 != 0)
            Fail("Interleaved 2 of 5 barcodes must have an even number of digits");
        symbol = EncodeInterleaved2of5(FData);
        break;
    case bcCode128:
        symbol = EncodeCode128(Code128Values(FData));
        break;
    case bcCode39: {
        for (int i = 0; i < FData.size(); ++i) {
            const QChar c = FData.at(i);
            // "*" is the start and stop character: only at either end.
            const bool frame = c == QLatin1Char('*') && (i == 0 || i == FData.size() - 1);
            if (!frame && !IsCode39Character(c))
                Fail("Code 39 barcodes can only contain \"A\"-\"Z\", \"0\"-\"9\", \"$\", \"%\", "
                     "\"+\", \"-\", \".\", \"/\" or \" \"");
        }
        QString content = FData;
        if (content.startsWith(QLatin1Char('*'))) content.remove(0, 1);
        if (content.endsWith(QLatin1Char('*'))) content.chop(1);
        if (content.isEmpty()) Fail("Code 39 barcodes must have at least one character");
        const QString framed = QLatin1Char('*') + content + QLatin1Char('*');
        symbol = EncodeCode39(framed);
        break;
    }
    case bcPostnet: {
        int digits = 0;
        for (const QChar c : FData) {
            if (c.isDigit() && c.unicode() < 128)
                ++digits;
            else if (c != QLatin1Char('-'))
                Fail("PostNet barcodes must be numeric");
        }
        if (digits != 5 && digits != 9 && digits != 11)
            Fail("PostNet barcodes must be 5, 9, or 11 digits long");
        QString encoded = FData;
        encoded.remove(QLatin1Char('-'));
        if (FCalcCheckDigit) encoded += QChar('0' + PostnetCheckDigit(encoded));
        symbol = EncodePostnet(encoded);
        break;
    }
    default:
        Fail("Unknown bar code type");
    }

    FFullData = full;
    FSymbol = symbol;
    FAddOnSymbol = FAddOn.isEmpty() ? QByteArray() : EncodeEanAddOn(FAddOn);
    if (FType == bcCode128) {
        FText.clear();
        for (const QChar c : FData)
            if (c.unicode() >= 32 && c.unicode() <= 126) FText += c;
    } else {
        FText = full;
    }
}

QByteArray TBarCodeEngine::Pixels(const QByteArray& elements, int dpi) const {
    const int narrow = std::max(1, RoundHalfAway(dpi * FBarWidth));
    const int wide = std::max(1, RoundHalfAway(dpi * FBarWidth * FWideBarRatio));
    const int gap = std::max(1, RoundHalfAway(2 * dpi * FBarWidth));
    // POSTNET bars are one narrow width; the pitch of 1.5 more gives about 22 bars an inch.
    const int postnetSpace = std::max(1, RoundHalfAway(1.5 * dpi * FBarWidth));
    QByteArray out;
    out.reserve(elements.size() * narrow * 2);
    for (const char element : elements) {
        switch (element) {
        case BarElement::NarrowBar:
        case BarElement::TallBar:
            out += QByteArray(narrow, '1');
            break;
        case BarElement::ShortBar:
            out += QByteArray(narrow, '2');
            break;
        case BarElement::WideBar:
            out += QByteArray(wide, '1');
            break;
        case BarElement::NarrowSpace:
            out += QByteArray(narrow, '0');
            break;
        case BarElement::WideSpace:
            out += QByteArray(wide, '0');
            break;
        case BarElement::Gap:
            out += QByteArray(gap, '0');
            break;
        case BarElement::PostnetSpace:
            out += QByteArray(postnetSpace, '0');
            break;
        default:
            break;
        }
    }
    return out;
}

QFont TBarCodeEngine::TextFont(int pixels) const {
    QFont font(FontName);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(std::max(1, pixels));
    return font;
}

TBarCodeLayout TBarCodeEngine::Layout(int dpi) const {
    TBarCodeLayout l;
    if (!FValid || dpi <= 0) return l;
    l.Valid = true;
    l.Narrow = std::max(1, RoundHalfAway(dpi * FBarWidth));
    l.Wide = std::max(1, RoundHalfAway(dpi * FBarWidth * FWideBarRatio));
    l.Pattern = Pixels(FSymbol, dpi);
    l.AddOnPattern = Pixels(FAddOnSymbol, dpi);
    const int p = int(l.Pattern.size());
    const int n = l.Narrow;
    switch (FType) {
    case bcUPC_A:
    case bcEAN_13:
        l.QuietZone = RoundHalfAway(0.1 * p);
        break;
    case bcInt2of5:
        l.QuietZone = RoundHalfAway(0.03 * p);
        break;
    default:
        l.QuietZone = 0;
        break;
    }
    int width = p + 2 * l.QuietZone;
    if (!l.AddOnPattern.isEmpty()) {
        l.AddOnLeft = l.QuietZone + p + 9 * n;
        width += int(l.AddOnPattern.size()) + 9 * n;
    }
    int barHeight = 0;
    switch (FType) {
    case bcUPC_A:
        barHeight = RoundHalfAway(0.75 * p);
        break;
    case bcEAN_13:
        barHeight = RoundHalfAway(0.85 * p);
        break;
    case bcInt2of5:
        barHeight = RoundHalfAway(0.6 * width);
        break;
    case bcPostnet:
        barHeight = RoundHalfAway(6.25 * n) + 1;
        break;
    default:
        barHeight = RoundHalfAway(0.25 * width);
        break;
    }
    if (!FAutoSize) barHeight = RoundHalfAway(FBarHeightInches * dpi);
    l.BarHeight = std::max(barHeight, 5);
    l.LongBarHeight = l.BarHeight;
    l.ShortBarTop = l.BarHeight - RoundHalfAway(0.4 * l.BarHeight);
    if (FBearerBars) l.BearerHeight = 3 * n;
    l.Size = QSize(width, l.BarHeight);
    if (FPrintHumanReadable) LayoutText(l);
    return l;
}

void TBarCodeEngine::LayoutText(TBarCodeLayout& l) const {
    const int n = l.Narrow;
    const int q = l.QuietZone;
    const int width = l.Size.width();
    double start = 0;
    switch (FType) {
    case bcUPC_A:
    case bcEAN_13:
        start = 0.2;
        break;
    case bcInt2of5:
        start = 0.15;
        break;
    case bcPostnet:
        start = 0.5;
        break;
    default:
        start = 0.25;
        break;
    }
    // The font shrinks a pixel at a time until the digits fit their room.
    int pixels = std::max(1, RoundHalfAway(start * l.BarHeight));
    auto fits = [&](int size) {
        const QFontMetrics fm(TextFont(size));
        switch (FType) {
        case bcUPC_A:
            return 5 * fm.horizontalAdvance(QLatin1Char('0')) <= 36 * n;
        case bcEAN_13:
            return fm.horizontalAdvance(QStringLiteral("000000")) <= 42 * n;
        default:
            return fm.horizontalAdvance(QLatin1Char('0')) * FData.size() <= width;
        }
    };
    while (pixels > 1 && !fits(pixels))
        --pixels;
    l.FontPixels = pixels;
    const QFontMetrics fm(TextFont(pixels));
    const int digitWidth = fm.horizontalAdvance(QLatin1Char('0'));
    l.TextHeight = fm.height();
    const int top = l.BarHeight;

    // Digits centred in 7-module slots from a module position after the quiet zone.
    auto placeDigits = [&](const QString& digits, int firstModule) {
        for (int k = 0; k < digits.size(); ++k) {
            const int slot = q + (firstModule + 7 * k) * n;
            l.Texts.append(
                {digits.mid(k, 1), QPoint(slot + (7 * n - digitWidth) / 2, top), pixels});
        }
        const int left = q + firstModule * n;
        l.Blanks.append(QRect(left, top, 7 * int(digits.size()) * n, l.TextHeight));
    };

    switch (FType) {
    case bcUPC_A: {
        l.LongBarHeight = top + l.TextHeight / 2;
        const int small = std::max(1, pixels / 2);
        const QFontMetrics smallFm(TextFont(small));
        const int smallTop = top + smallFm.height() / 2;
        placeDigits(FText.mid(1, 5), 10);
        placeDigits(FText.mid(6, 5), 50);
        l.Texts.append({FText.left(1), QPoint(1, smallTop), small});
        l.Texts.append(
            {FText.mid(11, 1),
             QPoint(q + int(l.Pattern.size()) + smallFm.horizontalAdvance(QLatin1Char('0')),
                    smallTop),
             small});
        break;
    }
    case bcEAN_13:
        l.LongBarHeight = top + l.TextHeight / 2;
        placeDigits(FText.mid(1, 6), 3);
        placeDigits(FText.mid(7, 6), 50);
        l.Texts.append({FText.left(1), QPoint(1, top + l.TextHeight - fm.height()), pixels});
        break;
    case bcCode128: {
        int x = 0;
        for (const QChar c : FText) {
            l.Texts.append({QString(c), QPoint(x, top), pixels});
            x += digitWidth;
        }
        break;
    }
    default:
        l.Texts.append({FText, QPoint(0, top), pixels});
        break;
    }
    if (!l.AddOnPattern.isEmpty()) {
        // The add-on's digits stand above its bars.
        l.AddOnTop = l.TextHeight;
        const int textWidth = fm.horizontalAdvance(FAddOn);
        l.Texts.append({FAddOn,
                        QPoint(l.AddOnLeft + (int(l.AddOnPattern.size()) - textWidth) / 2, 0),
                        pixels});
    }
    l.Size.setHeight(l.BarHeight + l.TextHeight);
}

QSize TBarCodeEngine::Size(int dpi) const {
    const QSize size = Layout(dpi).Size;
    return Orientation == orTop_Bottom || Orientation == orBottom_Top ? size.transposed() : size;
}

void TBarCodeEngine::Draw(QPainter& painter, QPoint topLeft, int dpi) const {
    Draw(painter, topLeft, Layout(dpi));
}

void TBarCodeEngine::Draw(QPainter& painter, QPoint topLeft, const TBarCodeLayout& l) const {
    if (!l.Valid) return;
    const int w = l.Size.width();
    const int h = l.Size.height();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(topLeft);
    switch (Orientation) {
    case orRight_Left:
        painter.translate(w, h);
        painter.rotate(180);
        break;
    case orTop_Bottom:
        painter.translate(h, 0);
        painter.rotate(90);
        break;
    case orBottom_Top:
        painter.translate(0, w);
        painter.rotate(270);
        break;
    default:
        break;
    }
    painter.fillRect(QRect(0, 0, w, h), Color);
    const bool upcEan = FType == bcUPC_A || FType == bcEAN_13;
    ForEachRun(l.Pattern, [&](char kind, int x, int width) {
        if (kind == '1')
            painter.fillRect(
                QRect(l.QuietZone + x, 0, width, upcEan ? l.LongBarHeight : l.BarHeight), BarColor);
        else if (kind == '2')
            painter.fillRect(
                QRect(l.QuietZone + x, l.ShortBarTop, width, l.BarHeight - l.ShortBarTop),
                BarColor);
    });
    for (const QRect& blank : l.Blanks)
        painter.fillRect(blank, Color);
    ForEachRun(l.AddOnPattern, [&](char kind, int x, int width) {
        if (kind == '1')
            painter.fillRect(
                QRect(l.AddOnLeft + x, l.AddOnTop, width, l.LongBarHeight - l.AddOnTop), BarColor);
    });
    if (l.BearerHeight > 0) {
        const int p = int(l.Pattern.size());
        painter.fillRect(QRect(l.QuietZone, 0, p, l.BearerHeight), BarColor);
        painter.fillRect(QRect(l.QuietZone, l.BarHeight - l.BearerHeight, p, l.BearerHeight),
                         BarColor);
    }
    painter.setPen(BarColor);
    for (const TBarCodeText& text : l.Texts) {
        const QFont font = TextFont(text.FontPixels);
        painter.setFont(font);
        painter.drawText(text.TopLeft + QPoint(0, QFontMetrics(font).ascent()), text.Text);
    }
    painter.restore();
}
