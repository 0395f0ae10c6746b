#pragma once

#include "objects/TextControl.h"

#include <QByteArray>

#include <vector>

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

    const TTextFlowLinks* TextFlow() const override { return &FLinks; }
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
    // Points one of this frame's links at a frame, keeping that frame's list of its referrers.
    void Link(TCardObject*& link, TRichTextObject* frame);
    void DropLinksTo(const TRichTextObject* frame);

    TTextFlowLinks FLinks;
    // The frames whose links name this one, once per link. A frame that goes clears them, so
    // no link can outlive the frame it names (a freed frame's address may come back as
    // another frame's).
    std::vector<TRichTextObject*> FLinkedFrom;
};
