#pragma once

#include "objects/HeadlineText.h"
#include "objects/TextControl.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <memory>

class TMultiObjectTable;
class TReplacementText;

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
                                            quint32 shadow, THeadlineAlignment alignment,
                                            const QString& text,
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
    QString BeginSpellCheck(TSpellCheckState& state) override;
    QString NextWord(TSpellCheckState& state) override;
    void ReplaceWord(TSpellCheckState& state, const QString& word) override;
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
