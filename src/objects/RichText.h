#pragma once

#include "objects/TextControl.h"

#include <QByteArray>
#include <QTextCursor>

#include <functional>
#include <memory>
#include <vector>

class QTextDocument;
class TRichTextObject;
class TTextFlow;

// The control of a text frame: edited by a window of its own over the page (the editing
// window's in-place editor), which edits the frame's story through the frame.
class TRichTextControl : public TObjectControl {
public:
    explicit TRichTextControl(TRichTextObject& frame) : FFrame(frame) {}
    ~TRichTextControl() override {
        if (Destroyed) Destroyed();
    }
    bool IsWindowed() const override { return true; }
    // Set by the editor while it edits the frame: the frame is going.
    std::function<void()> Destroyed;
    TRichTextObject& Frame() const { return FFrame; }

private:
    TRichTextObject& FFrame;
};

// A frame of formatted body text. Frames link into chains: text that does not fit one frame
// continues in its successor. The chain's text (its story) is held by the first frame; the
// others show what overflows into them. Successors hold no text of their own once linked.
class TRichTextObject : public TTextControlObject {
    QDX_STORED_CLASS("TRichTextObject")
public:
    TRichTextObject();
    TRichTextObject(bool centerHorizontally, bool transparent, bool centerVertically);
    static TRichTextObject* CreateDefault();
    ~TRichTextObject() override;

    bool Transparent = false; // no background while not edited

    // The tag that starts the blocks this engine writes.
    static QByteArray ContentTag();
    // The block the record stores: the tag and the text as rich text, or a block written by
    // another engine, unchanged, until the user replaces its text.
    QByteArray ContentBlock() const;
    void SetContentBlock(const QByteArray& block);
    // A block of another engine, kept as it is; its readable words, if any.
    bool HoldsForeignBlock() const { return FForeign; }
    QString ForeignWords() const;
    static QString ForeignPlaceholder();

    // This frame's own text; for the first frame of a chain, the story.
    QTextDocument& Document() const;
    TRichTextObject* Head();
    const TRichTextObject* Head() const;
    QTextDocument& Story() { return Head()->Document(); }
    // The frames of the chain, first to last, and this frame's place among them.
    std::vector<TRichTextObject*> Chain();
    int ChainIndex();
    // The chain's layout, computed again when the story, a frame's size or a link changed.
    const TTextFlow& Flow();
    // Inner size of the frame in layout units.
    QSizeF FlowSize() const;
    static constexpr int Inset = 4; // units between the frame's edge and its text

    // The caret of the chain's editor, kept with the story so that it moves between frames.
    QTextCursor& EditCursor();
    // A frame holding another engine's block offers its readable words when edited.
    void BeginEditing();
    // True while the frame's chain is shown in an editor.
    bool ChainEdited();

    TRichTextObject* Successor() const;
    TRichTextObject* Predecessor() const;
    void SetSuccessor(TRichTextObject* successor);
    void SetPredecessor(TRichTextObject* predecessor);
    // Links this frame to next (none removes the link): the link leaving this frame and the
    // one entering next are replaced; text that next held joins the end of the story. False
    // (nothing changes) when the link would close a circle.
    bool LinkTo(TRichTextObject* next);
    void SetTransparent(bool transparent);
    // Inserts text at the caret, in the font given (when a name or size is given).
    void InsertText(const QString& text, const QString& fontName = QString(), int fontSize = 0);

    const TTextFlowLinks* TextFlow() const override { return &FLinks; }
    void SetTextFlow(TCardObject* predecessor, TCardObject* successor) override;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    bool HasSpellText() const override { return true; }
    QString TypeName() const override { return QStringLiteral("Text"); }
    bool ContributesText() const override { return true; }
    QString PlainText() const override;
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;
    void SetBounds(const TRect& units) override;
    QString BeginSpellCheck(TSpellCheckState& state) override;
    QString NextWord(TSpellCheckState& state) override;
    void ReplaceWord(TSpellCheckState& state, const QString& word) override;
    void EndSpellCheck(TSpellCheckState& state) override;
    // The frame that shows the word comes into view with the word selected.
    void RevealWord(const TSpellCheckState& state) override;

    // Called as a frame goes (the editing windows end a pending link from it).
    static std::function<void(TRichTextObject*)>& FrameDestroyed();

protected:
    void AssignTo(TStored& destination) const override;
    std::unique_ptr<TObjectControl> CreateControl() override;

private:
    // Points one of this frame's links at a frame, keeping that frame's list of its referrers.
    void Link(TCardObject*& link, TRichTextObject* frame);
    void DropLinksTo(const TRichTextObject* frame);
    void TakeDocument(std::unique_ptr<QTextDocument> document);
    void WatchDocument();
    bool HasOwnText() const;
    void RepaintChain();

    TTextFlowLinks FLinks;
    // The frames whose links name this one, once per link. A frame that goes clears them, so
    // no link can outlive the frame it names (a freed frame's address may come back as
    // another frame's).
    std::vector<TRichTextObject*> FLinkedFrom;

    // The text: parsed from the block on first use, so that opening a document stays quick.
    mutable std::unique_ptr<QTextDocument> FDocument;
    mutable QByteArray FBlock;
    bool FForeign = false;
    bool FOffered = false;
    bool FOffering = false;
    std::unique_ptr<QTextCursor> FCursor;
    // The chain's layout (kept by the first frame) and what it was computed for.
    std::unique_ptr<TTextFlow> FFlow;
    quint64 FFlowGeneration = 0;
    std::vector<const TRichTextObject*> FFlowFrames;
    std::vector<QSizeF> FFlowSizes;
};
