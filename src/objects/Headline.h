#pragma once

#include "document/FontSpec.h"
#include "objects/TextControl.h"

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

private:
    int FBorderSize = 0;
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

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    bool IsAutoSized() const override { return true; }
    bool HasSpellText() const override { return true; }
    bool UsesRecordData() const override { return true; }
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
    void ReplaceCodes(TMultiObjectTable* codes);

    std::unique_ptr<TMultiObjectTable> FCodes;
};

// Splits text into lines at CR LF, lone CR or lone LF; a final break adds no empty line.
QStringList SplitLines(const QString& text);
// Word-wraps text to a width in pixels with a font, as a multi-line edit field does.
QString WrapText(const QString& text, const QFont& font, int width);
