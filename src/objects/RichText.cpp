#include "objects/RichText.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/LoadOptions.h"
#include "document/Units.h"
#include "objects/TextFlow.h"
#include "storage/Stored.h"

#include <QFont>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>
#include <unordered_set>

namespace {

constexpr double TwipsPerUnit = TTextFlow::Resolution / 100.0;

// Any change to any story or link: layouts computed before it are stale.
quint64& FlowGeneration() {
    static quint64 generation = 1;
    return generation;
}

// Stories never reach outside themselves: a block naming pictures or style sheets by file
// or address gets nothing.
class TStoryDocument : public QTextDocument {
public:
    TStoryDocument() {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(12);
        setDefaultFont(font);
        setDocumentMargin(0);
    }

protected:
    QVariant loadResource(int, const QUrl&) override { return QVariant(); }
};

// The words of a block written by another engine: the text of a rich text file without its
// control words and tables, or the runs of readable characters of anything else.
QString ReadableWords(const QByteArray& block) {
    constexpr int Limit = 4000;
    QString out;
    if (block.startsWith("{\\rtf")) {
        int depth = 0;
        int skipBelow = -1; // groups at or below this depth are skipped (tables, pictures)
        for (qsizetype i = 0; i < block.size() && out.size() < Limit; ++i) {
            const char c = block[i];
            if (c == '{') {
                ++depth;
                continue;
            }
            if (c == '}') {
                if (depth == skipBelow) skipBelow = -1;
                --depth;
                continue;
            }
            if (c == '\\') {
                qsizetype j = i + 1;
                if (j < block.size() && block[j] == '\'' && j + 2 < block.size()) {
                    bool ok = false;
                    const int code = block.mid(j + 1, 2).toInt(&ok, 16);
                    if (ok && skipBelow < 0) out += QChar::fromLatin1(char(code));
                    i = j + 2;
                    continue;
                }
                if (j < block.size() && block[j] == '*') {
                    if (skipBelow < 0) skipBelow = depth;
                    i = j;
                    continue;
                }
                QByteArray word;
                while (j < block.size() && std::isalpha(static_cast<unsigned char>(block[j])))
                    word += block[j++];
                while (j < block.size() &&
                       (block[j] == '-' || std::isdigit(static_cast<unsigned char>(block[j]))))
                    ++j;
                if (j < block.size() && block[j] == ' ') ++j;
                if (word.isEmpty() && j < block.size()) {
                    if (skipBelow < 0 && block[j] != '\r' && block[j] != '\n')
                        out += QChar::fromLatin1(block[j]);
                    ++j;
                }
                static const QByteArrayList skipped = {"fonttbl", "colortbl", "stylesheet",
                                                       "info", "pict", "object", "header",
                                                       "footer"};
                if (skipBelow < 0 && skipped.contains(word)) skipBelow = depth;
                if (skipBelow < 0 && (word == "par" || word == "line" || word == "tab"))
                    out += QLatin1Char(' ');
                i = j - 1;
                continue;
            }
            if (skipBelow >= 0 || c == '\r' || c == '\n') continue;
            out += QChar::fromLatin1(c);
        }
        return out.simplified();
    }
    QString run;
    for (char c : block) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127) {
            run += QChar::fromLatin1(c);
            continue;
        }
        if (run.size() >= 4 && std::any_of(run.begin(), run.end(), [](QChar q) {
                return q.isLetter();
            }))
            out += run + QLatin1Char(' ');
        run.clear();
        if (out.size() >= Limit) break;
    }
    if (run.size() >= 4) out += run;
    return out.simplified().left(Limit);
}

// Word characters of body text: everything but control characters, blanks and punctuation.
bool IsTextWordCharacter(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 128) return !c.isSpace() && !c.isPunct();
    return !(u <= 13 || (u >= 32 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) ||
             (u >= 123 && u <= 127));
}

} // namespace

TRichTextObject::TRichTextObject() = default;

TRichTextObject::TRichTextObject(bool centerHorizontally, bool transparent, bool centerVertically)
    : TTextControlObject(centerHorizontally, centerVertically), Transparent(transparent) {}

std::function<void(TRichTextObject*)>& TRichTextObject::FrameDestroyed() {
    static std::function<void(TRichTextObject*)> hook;
    return hook;
}

// A frame leaving its chain joins its neighbours to each other; links that name it from
// elsewhere (one-sided ones from damaged files) are cleared. The story of a first frame
// passes on to the next frame, so that deleting a frame never deletes text.
TRichTextObject::~TRichTextObject() {
    if (FrameDestroyed()) FrameDestroyed()(this);
    TRichTextObject* before = Predecessor() != this ? Predecessor() : nullptr;
    TRichTextObject* after = Successor() != this ? Successor() : nullptr;
    if (!before && after && after->Predecessor() == this && !after->HasOwnText() &&
        !after->FForeign) {
        after->FBlock = FBlock;
        after->FForeign = FForeign;
        after->FOffered = FOffered;
        if (FDocument) after->TakeDocument(std::move(FDocument));
        after->FCursor = std::move(FCursor);
    }
    if (before && before->Successor() == this)
        before->SetSuccessor(after != before ? after : nullptr);
    if (after && after->Predecessor() == this)
        after->SetPredecessor(before != after ? before : nullptr);
    while (!FLinkedFrom.empty()) FLinkedFrom.back()->DropLinksTo(this);
    SetSuccessor(nullptr);
    SetPredecessor(nullptr);
    if (FDocument) FDocument->disconnect();
    ++FlowGeneration();
}

void TRichTextObject::Link(TCardObject*& link, TRichTextObject* frame) {
    if (link == frame) return;
    if (auto* old = static_cast<TRichTextObject*>(link)) {
        auto& referrers = old->FLinkedFrom;
        const auto at = std::find(referrers.begin(), referrers.end(), this);
        Q_ASSERT(at != referrers.end());
        if (at != referrers.end()) referrers.erase(at);
    }
    link = frame;
    if (frame) frame->FLinkedFrom.push_back(this);
    ++FlowGeneration();
}

void TRichTextObject::DropLinksTo(const TRichTextObject* frame) {
    if (FLinks.Successor == frame) SetSuccessor(nullptr);
    if (FLinks.Predecessor == frame) SetPredecessor(nullptr);
}

std::unique_ptr<TObjectControl> TRichTextObject::CreateControl() {
    return std::make_unique<TRichTextControl>(*this);
}

QByteArray TRichTextObject::ContentTag() {
    return QByteArrayLiteral("QDXRTF1");
}

QTextDocument& TRichTextObject::Document() const {
    if (!FDocument) {
        FDocument = std::make_unique<TStoryDocument>();
        if (!FForeign && FBlock.startsWith(ContentTag())) {
            FDocument->setHtml(QString::fromUtf8(FBlock.mid(ContentTag().size())));
            FDocument->clearUndoRedoStacks();
        }
        if (!FForeign) FBlock.clear();
        const_cast<TRichTextObject*>(this)->WatchDocument();
    }
    return *FDocument;
}

void TRichTextObject::WatchDocument() {
    QTextDocument* document = FDocument.get();
    QObject::connect(document, &QTextDocument::contentsChanged, document, [this] {
        ++FlowGeneration();
        // The user has replaced the other engine's text: from now on ours is stored.
        if (FForeign && FOffered && !FOffering) {
            FForeign = false;
            FBlock.clear();
        }
    });
}

void TRichTextObject::TakeDocument(std::unique_ptr<QTextDocument> document) {
    if (FDocument) FDocument->disconnect();
    FDocument = std::move(document);
    if (FDocument) {
        FDocument->disconnect();
        WatchDocument();
    }
    ++FlowGeneration();
}

QByteArray TRichTextObject::ContentBlock() const {
    if (FForeign || !FDocument) return FBlock;
    if (FDocument->isEmpty()) return QByteArray();
    return ContentTag() + FDocument->toHtml().toUtf8();
}

void TRichTextObject::SetContentBlock(const QByteArray& block) {
    FCursor.reset();
    if (FDocument) FDocument->disconnect();
    FDocument.reset();
    FBlock = block;
    FForeign = !block.isEmpty() && !block.startsWith(ContentTag());
    FOffered = false;
    ++FlowGeneration();
}

bool TRichTextObject::HasOwnText() const {
    if (FForeign) return false;
    return FDocument ? !FDocument->isEmpty() : !FBlock.isEmpty();
}

QString TRichTextObject::ForeignWords() const {
    return FForeign ? ReadableWords(FBlock) : QString();
}

QString TRichTextObject::ForeignPlaceholder() {
    return QStringLiteral("Text from an older version: replace to edit");
}

void TRichTextObject::BeginEditing() {
    TRichTextObject* head = Head();
    if (head != this) return head->BeginEditing();
    if (!FForeign || FOffered) return;
    FOffering = true;
    Document().setPlainText(ForeignWords());
    Document().clearUndoRedoStacks();
    FOffering = false;
    FOffered = true;
    FCursor.reset();
    ++FlowGeneration();
}

QTextCursor& TRichTextObject::EditCursor() {
    TRichTextObject* head = Head();
    if (head != this) return head->EditCursor();
    if (!FCursor) FCursor = std::make_unique<QTextCursor>(&Document());
    return *FCursor;
}

QString TRichTextObject::PlainText() const {
    if (FForeign && !FOffered) return ForeignWords();
    return Document().toPlainText();
}

void TRichTextObject::InsertText(const QString& text, const QString& fontName, int fontSize) {
    QTextCursor& cursor = EditCursor();
    QTextCharFormat format = cursor.charFormat();
    if (!fontName.isEmpty()) format.setFontFamilies({fontName});
    if (fontSize > 0) format.setFontPointSize(fontSize);
    cursor.insertText(text, format);
    RepaintChain();
}

TRichTextObject* TRichTextObject::Successor() const {
    return static_cast<TRichTextObject*>(FLinks.Successor);
}

TRichTextObject* TRichTextObject::Predecessor() const {
    return static_cast<TRichTextObject*>(FLinks.Predecessor);
}

void TRichTextObject::SetSuccessor(TRichTextObject* successor) {
    Link(FLinks.Successor, successor);
}
void TRichTextObject::SetPredecessor(TRichTextObject* predecessor) {
    Link(FLinks.Predecessor, predecessor);
}

void TRichTextObject::SetTextFlow(TCardObject* predecessor, TCardObject* successor) {
    SetPredecessor(dynamic_cast<TRichTextObject*>(predecessor));
    SetSuccessor(dynamic_cast<TRichTextObject*>(successor));
}

TRichTextObject* TRichTextObject::Head() {
    return const_cast<TRichTextObject*>(std::as_const(*this).Head());
}

// Chains are kept free of cycles; the walk stops anyway should one appear.
const TRichTextObject* TRichTextObject::Head() const {
    const TRichTextObject* head = this;
    std::unordered_set<const TRichTextObject*> seen{this};
    while (head->Predecessor() && seen.insert(head->Predecessor()).second)
        head = head->Predecessor();
    return head;
}

std::vector<TRichTextObject*> TRichTextObject::Chain() {
    std::vector<TRichTextObject*> chain;
    std::unordered_set<const TRichTextObject*> seen;
    for (TRichTextObject* frame = Head(); frame && seen.insert(frame).second;
         frame = frame->Successor())
        chain.push_back(frame);
    return chain;
}

int TRichTextObject::ChainIndex() {
    const std::vector<TRichTextObject*> chain = Chain();
    return int(std::find(chain.begin(), chain.end(), this) - chain.begin());
}

bool TRichTextObject::LinkTo(TRichTextObject* next) {
    if (next == this) next = nullptr;
    for (TRichTextObject* walk = this; next && walk; walk = walk->Predecessor())
        if (walk == next) return false;
    if (next && Successor() == next) return true;
    RepaintChain();
    if (TRichTextObject* old = Successor()) old->SetPredecessor(nullptr);
    SetSuccessor(nullptr);
    if (next) {
        if (TRichTextObject* previous = next->Predecessor()) previous->SetSuccessor(nullptr);
        next->SetPredecessor(this);
        SetSuccessor(next);
    }
    RepaintChain();
    return true;
}

QSizeF TRichTextObject::FlowSize() const {
    return QSizeF(std::max(0, Bounds.Width() - 2 * Inset) * TwipsPerUnit,
                  std::max(0, Bounds.Height() - 2 * Inset) * TwipsPerUnit);
}

const TTextFlow& TRichTextObject::Flow() {
    TRichTextObject* head = Head();
    if (head != this) return head->Flow();
    const std::vector<TRichTextObject*> chain = Chain();
    // Text that a later frame held before it was linked continues the story.
    for (size_t i = 1; i < chain.size(); ++i) {
        TRichTextObject* frame = chain[i];
        if (!frame->HasOwnText()) continue;
        QTextCursor end(&Document());
        end.movePosition(QTextCursor::End);
        if (!Document().isEmpty()) end.insertBlock();
        end.insertFragment(QTextDocumentFragment(&frame->Document()));
        frame->SetContentBlock(QByteArray());
    }
    std::vector<const TRichTextObject*> frames(chain.begin(), chain.end());
    std::vector<QSizeF> sizes;
    sizes.reserve(chain.size());
    for (const TRichTextObject* frame : chain) {
        // Another engine's text keeps its frame; the story passes it by.
        const bool passedBy = frame != this && frame->FForeign && !frame->FOffered;
        sizes.push_back(passedBy ? QSizeF(frame->FlowSize().width(), 0) : frame->FlowSize());
    }
    if (!FFlow || FFlowGeneration != FlowGeneration() || frames != FFlowFrames ||
        sizes != FFlowSizes) {
        if (!FFlow) FFlow = std::make_unique<TTextFlow>();
        FFlow->Layout(Document(), sizes);
        FFlowGeneration = FlowGeneration();
        FFlowFrames = std::move(frames);
        FFlowSizes = std::move(sizes);
    }
    return *FFlow;
}

bool TRichTextObject::ChainEdited() {
    for (TRichTextObject* frame : Chain())
        if (frame->IsControlVisible()) return true;
    return false;
}

void TRichTextObject::RepaintChain() {
    if (CurrentLoadOptions().Opening != TLoadOptions::TOpening::None) return;
    for (TRichTextObject* frame : Chain()) AppContext().Shell().RepaintObject(*frame);
}

void TRichTextObject::SetBounds(const TRect& units) {
    if (units == Bounds) return;
    TTextControlObject::SetBounds(units);
    RepaintChain();
}

void TRichTextObject::SetTransparent(bool transparent) {
    if (transparent == Transparent) return;
    Transparent = transparent;
    AppContext().Shell().RepaintObject(*this);
}

void TRichTextObject::AssignTo(TStored& destination) const {
    TTextControlObject::AssignTo(destination);
    if (auto* text = dynamic_cast<TRichTextObject*>(&destination)) {
        text->SetContentBlock(ContentBlock());
        text->Transparent = Transparent;
    }
}

void TRichTextObject::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 2);
    TTextControlObject::Store(storage);
    const QByteArray block = ContentBlock();
    storage.WriteBlock(block);
    storage.WriteLongint(qint32(block.size()));
    storage.WriteReference(FLinks.Successor);
    storage.WriteReference(FLinks.Predecessor);
    storage.WriteBoolean(Transparent);
}

void TRichTextObject::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TTextControlObject::Load(storage);
    QByteArray block = storage.ReadBlock();
    // The second copy of the size is the one that counts; it can only shorten the block.
    const qint32 size = storage.ReadLongint();
    if (size >= 0 && size < block.size()) block.truncate(size);
    SetContentBlock(block);
    if (version >= 1) {
        SetSuccessor(dynamic_cast<TRichTextObject*>(storage.ReadReference()));
        SetPredecessor(dynamic_cast<TRichTextObject*>(storage.ReadReference()));
    }
    Transparent = version >= 2 ? storage.ReadBoolean() : false;
}

void TRichTextObject::Draw(TCanvas& canvas, int dx, int dy, bool) {
    TRect bounds = DeviceBounds(canvas);
    bounds.Offset(dx, dy);
    const QRect rect = bounds.ToQRect();
    const bool screen = canvas.Kind() == TCanvas::TKind::Screen;
    QPainter& painter = canvas.Painter();
    painter.save();
    if (!Transparent || (screen && ChainEdited())) painter.fillRect(rect, Qt::white);
    if (FForeign && !FOffered) {
        if (screen) {
            painter.setClipRect(rect, Qt::IntersectClip);
            QFont font(QStringLiteral("Arial"));
            font.setItalic(true);
            font.setPixelSize(std::max(6, UnitsToDeviceY(canvas, 14)));
            painter.setFont(font);
            painter.setPen(QColor(0x60, 0x60, 0x60));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
            const int margin = UnitsToDeviceX(canvas, 5);
            QString note = ForeignPlaceholder();
            const QString words = ForeignWords();
            if (!words.isEmpty()) note += QStringLiteral("\n\n") + words;
            painter.drawText(rect.adjusted(margin, margin, -margin, -margin),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, note);
        }
        painter.restore();
        return;
    }
    const TTextFlow& flow = Flow();
    const int index = ChainIndex();
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.translate(rect.topLeft());
    painter.scale(canvas.DpiX() / TTextFlow::Resolution, canvas.DpiY() / TTextFlow::Resolution);
    flow.DrawFrame(painter, index, QPointF(Inset * TwipsPerUnit, Inset * TwipsPerUnit));
    painter.restore();
    if (screen) {
        // Text past the last frame: a small red box with a plus at the bottom edge.
        if (flow.Overflows() && index == flow.FrameCount() - 1) {
            const int side = std::max(5, UnitsToDeviceX(canvas, 9));
            const QRect mark(rect.right() - 2 * side, rect.bottom() - side / 2, side, side);
            painter.setPen(QPen(QColor(0xD0, 0, 0), 0));
            painter.setBrush(Qt::white);
            painter.drawRect(mark);
            const QPoint c = mark.center();
            const int arm = std::max(1, side / 3);
            painter.drawLine(c.x() - arm, c.y(), c.x() + arm, c.y());
            painter.drawLine(c.x(), c.y() - arm, c.x(), c.y() + arm);
        }
        // While a frame of the chain is selected, its links show.
        TRichTextObject* next = Successor();
        if (next) {
            bool selected = false;
            for (TRichTextObject* frame : Chain()) selected = selected || frame->SelectState != 0;
            if (selected) {
                painter.setPen(QPen(QColor(0, 0x60, 0xD0), 0));
                if (next->OwnerPanel() == OwnerPanel()) {
                    TRect to = next->DeviceBounds(canvas);
                    to.Offset(dx, dy);
                    painter.setClipping(false);
                    painter.drawLine(QPoint(rect.right(), rect.bottom()),
                                     QPoint(to.Left, to.Top));
                } else {
                    QFont font(QStringLiteral("Arial"));
                    font.setPixelSize(std::max(6, UnitsToDeviceY(canvas, 14)));
                    painter.setFont(font);
                    painter.drawText(rect.adjusted(0, 0, -UnitsToDeviceX(canvas, 3), 0),
                                     Qt::AlignRight | Qt::AlignBottom,
                                     QString(QChar(0x2192)));
                }
            }
        }
    }
    painter.restore();
}

QString TRichTextObject::BeginSpellCheck(TSpellCheckState& state) {
    state.Reset();
    // Another engine's text is not ours to change.
    if (!FForeign || FOffered) state.Buffer = Document().toPlainText();
    return NextWord(state);
}

QString TRichTextObject::NextWord(TSpellCheckState& state) {
    const QString& text = state.Buffer;
    int i = state.Position;
    while (i < text.size() && !IsTextWordCharacter(text[i])) ++i;
    if (i >= text.size()) return state.TakeEnd();
    int j = i;
    while (j < text.size() && IsTextWordCharacter(text[j])) ++j;
    return state.TakeWord(i, j);
}

void TRichTextObject::ReplaceWord(TSpellCheckState& state, const QString& word) {
    if (state.WordStart + state.WordLength > Document().characterCount()) return;
    QTextCursor cursor(&Document());
    cursor.setPosition(state.WordStart);
    cursor.setPosition(state.WordStart + state.WordLength, QTextCursor::KeepAnchor);
    cursor.insertText(word);
    state.ReplaceLastWord(word);
    RepaintChain();
}

void TRichTextObject::EndSpellCheck(TSpellCheckState& state) {
    TTextControlObject::EndSpellCheck(state);
    if (FCursor) FCursor->clearSelection();
}

void TRichTextObject::RevealWord(const TSpellCheckState& state) {
    TRichTextObject* shows = this;
    if (Head() == this && state.WordLength > 0) {
        const TTextFlow::TCaret caret = Flow().CaretAt(state.WordStart);
        const std::vector<TRichTextObject*> chain = Chain();
        if (caret.Frame >= 0 && caret.Frame < int(chain.size())) shows = chain[size_t(caret.Frame)];
        QTextCursor& cursor = EditCursor();
        cursor.setPosition(state.WordStart);
        cursor.setPosition(state.WordStart + state.WordLength, QTextCursor::KeepAnchor);
    }
    AppContext().Shell().RevealObject(*shows);
}

TRichTextObject* TRichTextObject::CreateDefault() {
    const QString section = QStringLiteral("Default Text");
    const TSettingsStore& s = AppContext().Settings();
    return new TRichTextObject(s.ReadBool(section, QStringLiteral("Center Horizontally"), false),
                               s.ReadBool(section, QStringLiteral("Transparent"), false),
                               s.ReadBool(section, QStringLiteral("Center Vertically"), false));
}
