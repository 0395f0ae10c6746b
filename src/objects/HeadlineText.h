#pragma once

#include "document/Control.h"
#include "document/FontSpec.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QStringList>

class TCanvas;

enum TBackStyle : quint8 { basTransparent = 0, basSolid = 1, basGradient = 2, basTexture = 3 };
enum TGraduateStyle : quint8 { gsNone = 0, gsHorizontal = 1, gsVertical = 2 };
enum TShadeStyle : quint8 { ssPlain = 0, ssExtrude = 1, ssGraduated = 2 };
enum TShadeDirection : quint8 {
    sdNone = 0,
    sdUp,
    sdUpRight,
    sdRight,
    sdDownRight,
    sdDown,
    sdDownLeft,
    sdLeft,
    sdUpLeft
};
enum TTextDirection : quint8 { tdRight = 0, tdDown = 1, tdLeft = 2, tdUp = 3 };
// How the lines sit across the box; stored as these byte values (unknown ones draw left).
enum THeadlineAlignment : quint8 { haLeft = 0, haRight = 1, haCentre = 2 };

// The rendering part of a headline: its visual style, the expanded lines and the box they
// need. Colours are 0x00BBGGRR; depths and the border are logical pixels.
class THeadlineText : public TObjectControl {
public:
    THeadlineText();

    TFontSpec Font;
    THeadlineAlignment Alignment = haLeft;
    quint32 Color = 0; // background for basSolid
    quint8 BackStyle = basTransparent;
    quint32 BackFromColor = 0;
    quint32 BackToColor = 0;
    quint8 BackDirection = 0; // 0 horizontal, 1 vertical
    QString BackTextureFile;
    quint32 BorderColor = 0;
    bool DeleteBlankLines = false;
    quint32 GraduateFromColor = 0x808080;
    quint32 GraduateToColor = 0;
    quint8 GraduateStyle = gsNone;
    bool Texture = false;
    QString TextureFile;
    quint32 ShadowColor = 0;
    quint8 ShadowDepth = 1;
    quint8 ShadowDirection = sdDownRight;
    quint8 ShadowStyle = ssPlain;
    quint32 HighlightColor = 0xFFFFFF;
    quint8 HighlightDepth = 1;
    quint8 HighlightDirection = sdUpLeft;
    quint8 HighlightStyle = ssPlain;
    quint8 TextDirection = tdRight;
    QStringList Lines;
    int BoxWidth = 0;
    int LineHeight = 50;

    int BorderSize() const { return FBorderSize; }
    void SetBorderSize(int size); // kept within 0..10
    // The style, without the lines and the text direction.
    void AssignStyle(const THeadlineText& source);

    // The box the lines and effects need, in logical pixels (width and height exchanged for
    // the vertical directions); also sets BoxWidth and LineHeight.
    QSize ComputeBox();
    QSize Box() const { return FBox; }
    // Draws the headline into a rectangle of the canvas (device pixels).
    void DrawInto(TCanvas& canvas, const QRect& rect, bool printing);

    // A picture file as the user chose it: inside the Textures folder only the bare name is
    // kept; elsewhere the full path.
    static QString TextureName(const QString& chosenPath);
    // The picture of a texture name (bare names resolve in the Textures folder); empty when
    // the file does not exist. A file changed since it was last read is read again.
    static QImage TexturePicture(const QString& name);

private:
    // Draws every layer; DrawInto keeps the screen's result for the next repaint.
    void Render(TCanvas& canvas, const QRect& rect) const;
    // Everything the drawing depends on besides the device and the rectangle.
    QByteArray AppearanceKey() const;

    int FBorderSize = 0;
    QSize FBox{0, 0};
    // The last drawing on the screen, in device pixels, and what it was drawn from.
    QImage FRendered;
    QByteArray FRenderedKey;
};
