#pragma once

#include "objects/BarCodeSymbols.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QFont;
class QPainter;

enum TBarCodeType : quint8 {
    bcUPC_A = 0,
    bcEAN_13 = 1,
    bcInt2of5 = 2,
    bcCode128 = 3,
    bcCode39 = 4,
    bcPostnet = 5
};
constexpr int BarCodeTypeCount = 6;

// The direction the code reads in; the layout is always computed left to right.
enum TBarCodeOrientation : quint8 { orLeft_Right, orRight_Left, orTop_Bottom, orBottom_Top };

// One run of human-readable text: its top-left corner and font size in device pixels.
struct TBarCodeText {
    QString Text;
    QPoint TopLeft;
    int FontPixels = 0;
};

// A bar code laid out at one resolution, left to right, in device pixels from its top-left
// corner. Patterns hold one byte per pixel column: '0' space, '1' bar, '2' a POSTNET short
// bar. Everything the drawing needs is here, so that tests can check a code without pixels.
struct TBarCodeLayout {
    bool Valid = false;
    int Narrow = 0;     // narrow element (module) width
    int Wide = 0;       // wide element width
    int QuietZone = 0;  // on each side
    QByteArray Pattern; // starts at x = QuietZone
    QByteArray AddOnPattern;
    int AddOnLeft = 0;
    int AddOnTop = 0;
    int BarHeight = 0;     // ordinary bars, from the top
    int LongBarHeight = 0; // UPC-A and EAN-13 guard bars and the add-on's bottom
    int ShortBarTop = 0;   // POSTNET short bars run from here down to BarHeight
    int BearerHeight = 0;  // 0: no bearer bars
    int TextHeight = 0;    // the band under the bars; 0 without text
    int FontPixels = 0;
    QList<QRect> Blanks; // filled with the background over the bars
    QList<TBarCodeText> Texts;
    QSize Size; // left to right
};

// Validates bar code data, adds check characters and lays out and draws one linear bar code
// at any resolution. Setting a property re-validates the whole state: on failure the value
// is kept, the code becomes invalid (it then lays out and draws nothing) and EBarCodeError
// carries the reason. Bar width, wide bar ratio and a malformed add-on are refused outright
// and leave the previous value.
class TBarCodeEngine {
public:
    static constexpr double DefaultBarWidth = 0.015; // inches

    TBarCodeEngine();

    TBarCodeType BarCodeType() const { return FType; }
    void SetBarCodeType(TBarCodeType type);
    // The data as set, except that a valid UPC-A or EAN-13 holds its full number with the
    // computed check digit.
    QString Data() const;
    void SetData(const QString& data);
    double BarWidth() const { return FBarWidth; }
    void SetBarWidth(double inches);
    double WideBarRatio() const { return FWideBarRatio; }
    void SetWideBarRatio(double ratio);
    bool CalcCheckDigit() const { return FCalcCheckDigit; }
    void SetCalcCheckDigit(bool calc);
    bool PrintHumanReadable() const { return FPrintHumanReadable; }
    void SetPrintHumanReadable(bool print);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    // The bar height used when the code is not auto-sized.
    double BarHeightInches() const { return FBarHeightInches; }
    void SetBarHeightInches(double inches);
    QString AddOn() const { return FAddOn; }
    void SetAddOn(const QString& digits);
    bool BearerBars() const { return FBearerBars; }
    void SetBearerBars(bool bearerBars);

    QColor BarColor = Qt::black;
    QColor Color = Qt::white; // background
    QString FontName = QStringLiteral("Courier New");
    TBarCodeOrientation Orientation = orLeft_Right;

    bool IsValid() const { return FValid; }
    // The reason of the last failed validation.
    QString ErrorMessage() const { return FError; }
    // The elements of the symbol (see BarElement) and of its add-on; empty when invalid.
    QByteArray Symbol() const { return FSymbol; }
    QByteArray AddOnSymbol() const { return FAddOnSymbol; }
    // The text printed under the bars.
    QString HumanReadable() const { return FText; }

    TBarCodeLayout Layout(int dpi) const;
    // The size of the code as drawn (turned for the vertical orientations); empty when invalid.
    QSize Size(int dpi) const;
    void Draw(QPainter& painter, QPoint topLeft, int dpi) const;
    void Draw(QPainter& painter, QPoint topLeft, const TBarCodeLayout& layout) const;

    QFont TextFont(int pixels) const;

private:
    void Validate();
    void ValidateState();
    QByteArray Pixels(const QByteArray& elements, int dpi) const;
    void LayoutText(TBarCodeLayout& layout) const;

    TBarCodeType FType = bcUPC_A;
    QString FData;
    double FBarWidth = DefaultBarWidth;
    double FWideBarRatio = 3.0;
    bool FCalcCheckDigit = true;
    bool FPrintHumanReadable = true;
    bool FAutoSize = true;
    double FBarHeightInches = 0.5;
    QString FAddOn;
    bool FBearerBars = false;

    bool FValid = false;
    QString FError;
    QString FFullData;
    QString FText;
    QByteArray FSymbol;
    QByteArray FAddOnSymbol;
};
