#pragma once

#include "objects/TextControl.h"

#include <QByteArray>

// A frame of formatted body text. Frames link into chains: text that does not fit one frame
// continues in its successor. The content is kept as the block the document stores.
class TRichTextObject : public TTextControlObject {
    QDX_STORED_CLASS("TRichTextObject")
public:
    TRichTextObject();
    TRichTextObject(bool centerHorizontally, bool transparent, bool centerVertically);
    static TRichTextObject* CreateDefault();
    ~TRichTextObject() override;

    QByteArray Content; // the stored content block
    bool Transparent = false;

    TRichTextObject* Successor() const;
    TRichTextObject* Predecessor() const;
    void SetSuccessor(TRichTextObject* successor);
    void SetPredecessor(TRichTextObject* predecessor);

    TTextFlowLinks* TextFlow() override { return &FLinks; }
    void SetTextFlow(TCardObject* predecessor, TCardObject* successor) override;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    bool HasSpellText() const override { return true; }
    QString TypeName() const override { return QStringLiteral("Text"); }
    bool ContributesText() const override { return true; }
    // Frames hold no text in this version: on screen each frame says so; nothing prints.
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;
    static QString NotAvailableNote();

protected:
    void AssignTo(TStored& destination) const override;
    std::unique_ptr<TObjectControl> CreateControl() override;

private:
    TTextFlowLinks FLinks;
};
