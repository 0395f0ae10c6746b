#pragma once

#include "document/FontSpec.h"
#include "objects/TextControl.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <memory>

class TMultiObjectTable;
class TReplacementText;

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

// The rendering part of a headline: its visual style, the expanded lines and the box they
// need. Colours are 0x00BBGGRR; depths and the border are logical pixels.
class THeadlineText : public TObjectControl {
public:
    THeadlineText();

    TFontSpec Font;
    quint8 Alignment = 0; // 0 left, 1 right, 2 centre
    quint32 Color = 0;    // background for basSolid
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
    // the file does not exist.
    static QImage TexturePicture(const QString& name);

private:
    // Draws every layer; DrawInto keeps the screen's result for the next repaint.
    void Render(TCanvas& canvas, const QRect& rect);
    // The largest pixel size, up to the font's own, at which every line is at most width
    // pixels wide and lineHeight high.
    int FittingPixelSize(const QFont& font, int width, int lineHeight) const;
    // Everything the drawing depends on besides the device and the rectangle.
    QByteArray AppearanceKey() const;

    int FBorderSize = 0;
    QSize FBox{0, 0};
    // The last drawing on the screen, in device pixels, and what it was drawn from.
    QImage FRendered;
    QByteArray FRenderedKey;
};

// A headline: lines of display text with effects, sized by its text. Its text may hold
// personalization codes ("[name]" typed per document, "<name>" from the recipient table),
// kept in Codes in order of position.
class THeadlineObject : public TTextControlObject {
    QDX_STORED_CLASS("THeadlineObject")
public:
    static constexpr const char* LegacyName = "TTextObject";

    THeadlineObject();
    ~THeadlineObject() override;
    // A headline from the "Default Headline" settings; plain fill and background on banners.
    static THeadlineObject* CreateDefault();

    QString Text; // as typed, lines separated by CR LF, codes included
    quint8 TextDirection = tdRight;

    TMultiObjectTable& Codes() const { return *FCodes; }
    TReplacementText* Code(int index) const;
    THeadlineText& HeadlineText();
    const THeadlineText& HeadlineText() const;

    void SetTextDirection(quint8 direction);
    // Rebuilds Codes from Text: "[name]" and "<name>" within one line.
    void ScanPlaceholders();
    // Text with every code replaced by its current value.
    QString MergeText() const;

    // A headline for the new-publication wizard. shadow: low byte the kind 0..4, next byte the
    // colour, high 16 bits the depth; border: low byte a palette index, high byte the size.
    static THeadlineObject* CreateForWizard(bool centerHorizontally, bool deleteBlankLines,
                                            quint32 shadow, int alignment, const QString& text,
                                            int fontStyle, quint32 fontColor, int fontSize,
                                            const QString& fontName, quint16 border,
                                            bool transparent, int backgroundColor,
                                            bool centerVertically);

    void Load(TStorage& storage) override;
    void Loaded() override;
    void Store(TStorage& storage) const override;
    bool IsAutoSized() const override { return true; }
    bool HasSpellText() const override { return true; }
    bool UsesRecordData() const override { return true; }
    TRect AdjustRect(const TRect& pixels) const override;
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;
    bool Personalize() override;
    QString BeginSpellCheck() override;
    QString NextWord() override;
    void ReplaceWord(const QString& word) override;
    // Sets the rectangle to its top-left corner plus the box.
    void FitBounds();
    void RefreshText() override;
    void BindRecordSource(TRecordSource* table) override;
    QString TypeName() const override { return QStringLiteral("Headline"); }
    bool ContributesText() const override { return true; }
    QString PlainText() const override { return Text; }

protected:
    void AssignTo(TStored& destination) const override;
    std::unique_ptr<TObjectControl> CreateControl() override;

private:
    void LoadLegacyRecord(TStorage& storage, quint16 version);
    // Kind 0..4 of the old shadow byte: no shadow, or up-left, up-right, down-left, down-right.
    void ApplyShadowKind(int kind, quint32 color, int depth);
    void ReplaceCodes(TMultiObjectTable* codes);

    std::unique_ptr<TMultiObjectTable> FCodes;
};

// Splits text into lines at CR LF, lone CR or lone LF; a final break adds no empty line.
QStringList SplitLines(const QString& text);
// Word-wraps text to a width in pixels with a font, as a multi-line edit field does.
QString WrapText(const QString& text, const QFont& font, int width);
