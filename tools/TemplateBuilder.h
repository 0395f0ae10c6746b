#pragma once

// Builds a template document in code: a new card of a document type, objects placed on the
// panels of its first page, a description and the preview picture, saved as a document file.
// Positions and sizes are in 1/100 inch relative to the panel, as objects store them.

#include "document/Card.h"
#include "objects/Headline.h"

#include <QColor>
#include <QDir>
#include <QString>

#include <climits>

class QImage;
class TFieldObject;
class TLineObject;
class TPictureObject;
class TRichTextObject;
class TShapeObject;

// The shapes' 16-colour palette.
enum TPaletteIndex : int {
    pBlack = 0,
    pMaroon,
    pGreen,
    pOlive,
    pNavy,
    pPurple,
    pTeal,
    pSilver,
    pGray,
    pRed,
    pLime,
    pYellow,
    pBlue,
    pFuchsia,
    pAqua,
    pWhite,
    pNone = -1 // no fill, or no border
};

// The look of a headline.
struct TTextStyle {
    QString Font = QStringLiteral("Arial");
    int Size = 20;
    QColor Color = Qt::black;
    bool Bold = false;
    bool Italic = false;
    THeadlineAlignment Alignment = haCentre;
    int ShadowDepth = 0;
    QColor ShadowColor = Qt::gray;
    quint8 Direction = tdRight;

    TTextStyle& Sized(int size) { return Size = size, *this; }
    TTextStyle& Coloured(const QColor& color) { return Color = color, *this; }
    TTextStyle& Bolded() { return Bold = true, *this; }
    TTextStyle& Italicised() { return Italic = true, *this; }
    TTextStyle& LeftAligned() { return Alignment = haLeft, *this; }
    TTextStyle& RightAligned() { return Alignment = haRight, *this; }
    TTextStyle& Shadowed(int depth, const QColor& color) {
        return ShadowDepth = depth, ShadowColor = color, *this;
    }
    TTextStyle& Turned(quint8 direction) { return Direction = direction, *this; }
};
TTextStyle Arial(int size);
TTextStyle Times(int size);

// A rectangle from its left, top, width and height.
constexpr TRect Box(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

class TTemplateBuilder {
public:
    // x of a headline centred on its panel (and kept centred there by the editor).
    static constexpr int Centred = INT_MIN;

    TTemplateBuilder(int documentType, const QString& description);

    TCard& Card() { return FCard; }
    int Width(int panel) const;
    int Height(int panel) const;

    // A headline whose top left is at (x, y), or centred on the panel when x is Centred; its
    // box is measured from its text. Lines are separated by "\n".
    THeadlineObject& Headline(int panel, int x, int y, const QString& text,
                              const TTextStyle& style);
    // A headline whose box ends at right, top at y.
    THeadlineObject& HeadlineRight(int panel, int right, int y, const QString& text,
                                   const TTextStyle& style);
    // A headline centred in a box of the panel.
    THeadlineObject& HeadlineIn(int panel, const TRect& box, const QString& text,
                                const TTextStyle& style);
    // An empty frame of body text for the user's own words.
    TRichTextObject& TextFrame(int panel, const TRect& bounds, bool transparent = true);
    TShapeObject& Rectangle(int panel, const TRect& bounds, int fill, int border = pNone,
                            int borderSize = 1);
    TShapeObject& RoundedRectangle(int panel, const TRect& bounds, int fill, int border = pNone,
                                   int borderSize = 1);
    TShapeObject& Ellipse(int panel, const TRect& bounds, int fill, int border = pNone,
                          int borderSize = 1);
    TLineObject& Line(int panel, int x1, int y1, int x2, int y2, int color, int widthPoints = 1,
                      int style = 0);
    // A fill-in field; its height follows its font. A formula makes it a computed field.
    TFieldObject& Field(int panel, int x, int y, int width, const QString& name,
                        const QString& formula = QString(), int decimals = 0);
    // A picture drawn from one of the clip art drawings, on white.
    TPictureObject& Picture(int panel, const TRect& bounds, const QImage& image);

    // Saves the card with its preview picture as "<name>.qdx" in folder.
    void Save(const QDir& folder, const QString& name);

private:
    TCardPanel& Panel(int index) const;
    void Place(int panel, TCardObject* object);
    THeadlineObject& MakeHeadline(const QString& text, const TTextStyle& style, QSize& size);

    TCard FCard;
};
