#pragma once

#include "storage/Rect.h"
#include "storage/Table.h"

#include <QPoint>
#include <QString>

class TCanvas;
class TCard;
class TCardPage;
class TCardPanel;
class QPainter;
class TRecordSource;
class TCardObject;

struct TTextFlowLinks {
    TCardObject* Predecessor = nullptr; // not owned
    TCardObject* Successor = nullptr;   // not owned
};

// The cursor an object asks for over a point (HitTestHandle).
enum class THandleCursor {
    None = 0, // locked: no cursor of its own
    SizeWE,   // horizontal resize
    SizeNS,   // vertical resize
    SizeNWSE, // diagonal, top-left to bottom-right
    SizeNESW, // diagonal, top-right to bottom-left
    ObjectBody = 101,
    LineEnd = 234 // an end of a line
};

struct THandleHit {
    THandleCursor Cursor = THandleCursor::None;
    bool MovesLeft = false;
    bool MovesTop = false;
};

// Web link kinds of an object.
enum TLinkType : quint8 {
    ltAddress = 0,
    ltEmail = 1,
    ltFile = 2,
    ltNone = 3,
    ltPreviousPage = 4,
    ltNextPage = 5,
    ltFirstPage = 6,
    ltLastPage = 7,
    ltPage = 8
};

// Base of everything placed on a panel. Bounds are in document units (1/100 inch) relative
// to the panel's top-left corner; the editing interface works in logical pixels. An object
// has no pointer to its container: OwnerCard, OwnerPage and OwnerPanel search the open
// documents for the slot that holds it.
struct TSpellCheckState;

class TCardObject : public TStored {
public:
    static constexpr int MinimumSize = 26; // units, either way
    static constexpr int HandleHalf = 5;   // handles are 10 x 10 pixels around their point
    static constexpr int ControlFrame = 12;

    explicit TCardObject(bool centerHorizontally = false, bool centerVertically = false);

    bool CenterHorizontally = false;
    bool CenterVertically = false;
    quint8 SelectState = 0; // 0 none, 1 the only selection, 2 one of several
    bool Locked = false;
    quint8 LinkType = ltNone;
    QString LinkTarget;
    TRect Bounds;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;

    virtual bool IsAutoSized() const { return false; }
    virtual bool IsControlVisible() const { return false; }
    virtual TRect GetBounds() const;      // logical pixels
    virtual TRect GetRepaintRect() const; // logical pixels
    virtual void ShowControl(bool) {}
    virtual void SetBounds(const TRect& units);
    virtual void SetBoundsOuter(const TRect& pixels);
    virtual void SetSelectState(quint8 state);
    virtual void ZoomChanged(int /*zoomPercent*/) {}
    virtual TRect AdjustRect(const TRect& pixels) const;
    virtual bool HasSpellText() const { return false; }
    // Shows the kind's properties dialog through the user interface; true when confirmed.
    virtual bool EditProperties();
    virtual THandleHit HitTestHandle(QPoint pixels) const;
    virtual void Draw(TCanvas&, int /*dx*/, int /*dy*/, bool /*printing*/) {}
    virtual void DrawMirrored(TCanvas& canvas, int dx, int dy, bool printing) {
        Draw(canvas, dx, dy, printing);
    }
    virtual void DrawHandles(QPainter& painter, int dx, int dy) const;
    virtual bool DrawsItself() const { return true; }
    virtual void DrawOutline(QPainter& painter, int dx, int dy) const;
    virtual bool UsesRecordData() const { return false; }
    virtual Qt::PenStyle OutlinePenStyle() const { return Qt::DotLine; }
    virtual bool Personalize() { return true; }
    virtual bool HitTest(QPoint pixels) const;
    virtual void RefreshText() {}
    virtual void Activate() {}
    virtual QString TypeName() const = 0;
    // Spelling traversal of the object's text: one object at a time, its position kept in the
    // state of the spelling run (each run has its own).
    virtual void ReplaceWord(TSpellCheckState&, const QString&) {}
    virtual void EndSpellCheck(TSpellCheckState& state);
    virtual QString BeginSpellCheck(TSpellCheckState&) { return QString(); }
    virtual QString NextWord(TSpellCheckState&) { return QString(); }
    virtual void RevealObject();
    // Brings the object into view showing the word the run last delivered.
    virtual void RevealWord(const TSpellCheckState&) { RevealObject(); }

    // Text-flow frames (rich text) expose their links so the document can save them by index.
    virtual const TTextFlowLinks* TextFlow() const { return nullptr; }
    virtual void SetTextFlow(TCardObject* /*predecessor*/, TCardObject* /*successor*/) {}
    // The text the object contributes to the publication's text (headlines, rich text).
    virtual bool ContributesText() const { return false; }
    virtual QString PlainText() const { return QString(); }
    // Objects that read the publication's recipient table (headline codes) get it here.
    virtual void BindRecordSource(TRecordSource*) {}

    // Draw, or DrawMirrored when the canvas's mapping is mirrored.
    void Paint(TCanvas& canvas, int dx, int dy, bool printing);
    void SetLocked(bool locked);
    void SetBoundsPixels(const TRect& pixels);
    // Re-applies centring and snapping after the panel or the object changed.
    void Realign();
    TRect DeviceBounds(const TCanvas& canvas) const;

    TCard* OwnerCard() const;
    TCardPage* OwnerPage() const;
    TCardPanel* OwnerPanel() const;
    int PageIndex() const;
    int PanelIndex() const;
    int IndexInPanel() const;

protected:
    void AssignTo(TStored& destination) const override;
    // Draws handle squares at the given points of GetBounds, as the selection state says.
    void DrawHandleSquares(QPainter& painter, const QPoint* points, int count, int dx,
                           int dy) const;
    static bool InHandle(QPoint p, QPoint handle);
};

// The objects of a panel (or the clipboard, or a selection), in stacking order: index 0 is
// drawn first. Owning unless told otherwise; items may be of any card object class.
class TCardObjectTable : public TObjectTable {
    QDX_STORED_CLASS("TCardObjectTable")
public:
    TCardObjectTable() = default;
    TCardObject* Items(int index) const {
        return static_cast<TCardObject*>(TObjectTable::Items(index));
    }
    TCardObject* FirstObjectThat(const std::function<bool(TCardObject*)>& test);
    int ForEachObject(const std::function<void(TCardObject*)>& action);

    // Adds the object; a field object also joins its page's fill-in order.
    int AddObject(TCardObject* object);
    // Deletes (and frees) the object; a field object first leaves its page's fill-in order.
    void DeleteObject(int index);

protected:
    bool AcceptsItem(const TStored* object) const override;
    virtual TCardPage* OwnerPageOfTable() const { return nullptr; }
};

// The state of one spelling run through an object's text: the text being checked and the
// scan position. Owned by the run and handed to each object's word operations.
struct TSpellCheckState {
    QString Buffer;
    int Position = 0;  // index of the character after the last word delivered
    int WordStart = 0; // index of the last word delivered
    int WordLength = 0;
    // The part of the object the buffer holds, for objects of several texts (a grid's cell).
    int Column = 0;
    int Row = 0;
    // Clears the buffer and the position; the part stays.
    void Reset();
    // Delivers the buffer's characters [start, end) as the next word and moves past them.
    QString TakeWord(int start, int end);
    // Delivers the end of the buffer: the empty word.
    QString TakeEnd();
    // Puts the word in place of the last one delivered.
    void ReplaceLastWord(const QString& word);
};
