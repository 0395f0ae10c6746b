#include "editor/FocusTextControl.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Units.h"
#include "editor/CardWin.h"
#include "editor/QDXWin.h"
#include "objects/RichText.h"
#include "objects/TextFlow.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTimer>

namespace {

// Rich text copied inside the program carries this format beside its HTML.
const QString QdxTextMime = QStringLiteral("application/x-qdx-rich-text");
constexpr double TwipsPerUnit = TTextFlow::Resolution / 100.0;

QPointer<TFocusTextControl>& CurrentEditor() {
    static QPointer<TFocusTextControl> editor;
    return editor;
}

} // namespace

TTextEditorSignals& TTextEditorSignals::Instance() {
    static TTextEditorSignals instance;
    return instance;
}

TFocusTextControl::TFocusTextControl(TRichTextObject& frame, TCardForm& form, QWidget* parent)
    : QWidget(parent), FFrame(&frame), FForm(form) {
    setObjectName(QStringLiteral("FocusTextControl"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (auto* control = dynamic_cast<TRichTextControl*>(&frame.Control()))
        control->Destroyed = [this] { FFrame = nullptr; };
    frame.BeginEditing();
    CurrentEditor() = this;
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) setFocus(Qt::OtherFocusReason);
    });
    emit TTextEditorSignals::Instance().Changed();
}

TFocusTextControl::~TFocusTextControl() {
    if (FFrame)
        if (auto* control = dynamic_cast<TRichTextControl*>(&FFrame->Control()))
            control->Destroyed = nullptr;
    if (CurrentEditor() == this) CurrentEditor() = nullptr;
    emit TTextEditorSignals::Instance().Changed();
}

TFocusTextControl* TFocusTextControl::Current() {
    TFocusTextControl* editor = CurrentEditor().data();
    return editor && editor->FFrame ? editor : nullptr;
}

TObjectControl* TFocusTextControl::EditedControl() const {
    return FFrame ? &FFrame->Control() : nullptr;
}

QTextCursor& TFocusTextControl::Cursor() {
    return FFrame->EditCursor();
}

const TTextFlow& TFocusTextControl::Flow() const {
    return FFrame->Flow();
}

int TFocusTextControl::Index() const {
    return FFrame->ChainIndex();
}

double TFocusTextControl::Scale() const {
    return FForm.QDXWindow()->ZoomFactor() / 100.0 * ScreenPixelsPerInch() / TTextFlow::Resolution;
}

QPointF TFocusTextControl::ToFlow(QPoint point) const {
    const double inset = TRichTextObject::Inset * TwipsPerUnit;
    return QPointF(point) / Scale() - QPointF(inset, inset);
}

int TFocusTextControl::PositionAt(QPoint point) const {
    return Flow().PositionAt(Index(), ToFlow(point));
}

double TFocusTextControl::FrameWidthPoints() const {
    return FFrame ? FFrame->FlowSize().width() / 20.0 : 0;
}

void TFocusTextControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!FFrame) return;
    const TTextFlow& flow = Flow();
    const int index = Index();
    const double inset = TRichTextObject::Inset * TwipsPerUnit;
    painter.scale(Scale(), Scale());
    painter.translate(inset, inset);
    const QTextCursor& cursor = Cursor();
    if (cursor.hasSelection()) {
        const QColor highlight = palette().color(QPalette::Highlight).lighter(160);
        for (const QRectF& r :
             flow.SelectionRects(index, cursor.selectionStart(), cursor.selectionEnd()))
            painter.fillRect(r, highlight);
    }
    flow.DrawFrame(painter, index, QPointF(0, 0));
    const TTextFlow::TCaret caret = flow.CaretAt(cursor.position());
    if (hasFocus() && caret.Frame == index) {
        const double width = FOverwrite ? 60.0 : 1.0 / Scale();
        painter.fillRect(QRectF(caret.Rect.left(), caret.Rect.top(), width, caret.Rect.height()),
                         FOverwrite ? QColor(0, 0, 0, 90) : QColor(Qt::black));
    }
}

void TFocusTextControl::Move(int position, bool extend) {
    QTextCursor& cursor = Cursor();
    const int end = FFrame->Story().characterCount() - 1;
    cursor.setPosition(std::clamp(position, 0, end),
                       extend ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    Changed(false);
}

// After a change: the chain shows it and the caret's frame becomes the edited one.
void TFocusTextControl::Changed(bool edited) {
    if (!FFrame) return;
    if (edited) {
        for (TRichTextObject* frame : FFrame->Chain())
            if (frame != FFrame) FForm.InvalidateObject(frame);
        FForm.SetDocumentModified();
    }
    update();
    FollowCaret();
    emit TTextEditorSignals::Instance().Changed();
}

bool TFocusTextControl::CanUndo() const {
    return FFrame->Story().isUndoAvailable();
}

bool TFocusTextControl::CanRedo() const {
    return FFrame->Story().isRedoAvailable();
}

bool TFocusTextControl::Undo() {
    QTextDocument& story = FFrame->Story();
    if (!story.isUndoAvailable()) return false;
    story.undo(&Cursor());
    Changed(true);
    return true;
}

bool TFocusTextControl::Redo() {
    QTextDocument& story = FFrame->Story();
    if (!story.isRedoAvailable()) return false;
    story.redo(&Cursor());
    Changed(true);
    return true;
}

void TFocusTextControl::FollowCaret() {
    const TTextFlow::TCaret caret = Flow().CaretAt(Cursor().position());
    if (caret.Frame < 0 || caret.Frame == Index()) return;
    const std::vector<TRichTextObject*> chain = FFrame->Chain();
    if (caret.Frame >= int(chain.size())) return;
    TRichTextObject* next = chain[size_t(caret.Frame)];
    TCardForm& form = FForm;
    // The window changes its editor later, outside this editor's own event.
    QTimer::singleShot(0, &form, [&form, next] { form.ContinueTyping(*next); });
}

void TFocusTextControl::MergeCharFormat(const QTextCharFormat& format) {
    if (!FFrame) return;
    QTextCursor& cursor = Cursor();
    if (!cursor.hasSelection()) {
        // The next letters typed take the format.
        cursor.mergeCharFormat(format);
        QTextCharFormat current = cursor.charFormat();
        current.merge(format);
        cursor.setCharFormat(current);
    } else {
        cursor.mergeCharFormat(format);
    }
    Changed(true);
}

void TFocusTextControl::MergeBlockFormat(const QTextBlockFormat& format) {
    if (!FFrame) return;
    Cursor().mergeBlockFormat(format);
    Changed(true);
}

void TFocusTextControl::ToggleList(QTextListFormat::Style style) {
    if (!FFrame) return;
    QTextCursor& cursor = Cursor();
    cursor.beginEditBlock();
    if (QTextList* list = cursor.currentList(); list && list->format().style() == style) {
        const QTextBlock first = FFrame->Story().findBlock(cursor.selectionStart());
        const QTextBlock last = FFrame->Story().findBlock(cursor.selectionEnd());
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            if (QTextList* l = b.textList()) l->remove(b);
            QTextBlockFormat plain = b.blockFormat();
            plain.setIndent(0);
            QTextCursor(b).setBlockFormat(plain);
            if (b == last) break;
        }
    } else {
        QTextListFormat format;
        format.setStyle(style);
        format.setIndent(1);
        cursor.createList(format);
    }
    cursor.endEditBlock();
    Changed(true);
}

void TFocusTextControl::Copy() const {
    const QTextCursor& cursor = FFrame->EditCursor();
    if (!cursor.hasSelection()) return;
    const QTextDocumentFragment fragment(cursor);
    auto* data = new QMimeData();
    data->setHtml(fragment.toHtml());
    data->setText(fragment.toPlainText());
    data->setData(QdxTextMime, QByteArrayLiteral("1"));
    QGuiApplication::clipboard()->setMimeData(data);
}

// Rich text from inside the program keeps its formats; text from elsewhere comes as plain
// text in the formats at the caret.
void TFocusTextControl::Paste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return;
    QTextCursor& cursor = Cursor();
    if (data->hasFormat(QdxTextMime) && data->hasHtml())
        cursor.insertFragment(QTextDocumentFragment::fromHtml(data->html()));
    else if (data->hasText())
        cursor.insertText(data->text());
    else
        return;
    Changed(true);
}

void TFocusTextControl::keyPressEvent(QKeyEvent* event) {
    if (!FFrame || CommandKey(event) || CaretKey(event)) return;
    QTextCursor& cursor = Cursor();
    const bool control = event->modifiers() & Qt::ControlModifier;
    const QString text = event->text();
    if (text.isEmpty() || control || (!text.at(0).isPrint() && text != QStringLiteral("\t"))) {
        event->ignore();
        return;
    }
    if (FOverwrite && !cursor.hasSelection() && !cursor.atBlockEnd())
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    Changed(true);
}

// The editor's commands: clipboard, its own undo, overwrite, character formats. True when
// the key was one.
bool TFocusTextControl::CommandKey(QKeyEvent* event) {
    QTextCursor& cursor = Cursor();
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_Delete && control) {
        // Ctrl+Delete deletes the selected objects, not text.
        TCardForm& form = FForm;
        QTimer::singleShot(0, &form, [&form] { form.DeleteSelection(); });
    } else if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        FOverwrite = !FOverwrite;
        update();
    } else if (event->matches(QKeySequence::Undo)) {
        Undo();
    } else if (event->matches(QKeySequence::Redo)) {
        Redo();
    } else if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (event->matches(QKeySequence::Cut)) {
        Copy();
        cursor.removeSelectedText();
        Changed(true);
    } else if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else if (event->matches(QKeySequence::SelectAll)) {
        cursor.select(QTextCursor::Document);
        Changed(false);
    } else if (control && (event->key() == Qt::Key_B || event->key() == Qt::Key_I ||
                           event->key() == Qt::Key_U)) {
        const QTextCharFormat now = cursor.charFormat();
        QTextCharFormat format;
        if (event->key() == Qt::Key_B)
            format.setFontWeight(now.fontWeight() >= QFont::Bold ? QFont::Normal : QFont::Bold);
        else if (event->key() == Qt::Key_I)
            format.setFontItalic(!now.fontItalic());
        else
            format.setFontUnderline(!now.fontUnderline());
        MergeCharFormat(format);
    } else {
        return false;
    }
    return true;
}

// Caret movement, deleting and new lines. True when the key was one of them.
bool TFocusTextControl::CaretKey(QKeyEvent* event) {
    QTextCursor& cursor = Cursor();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int position = cursor.position();
    const TTextFlow& flow = Flow();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool left = event->key() == Qt::Key_Left;
        if (!shift && cursor.hasSelection()) {
            Move(left ? cursor.selectionStart() : cursor.selectionEnd(), false);
            return true;
        }
        QTextCursor probe = cursor;
        probe.clearSelection();
        probe.movePosition(control ? (left ? QTextCursor::PreviousWord : QTextCursor::NextWord)
                                   : (left ? QTextCursor::PreviousCharacter
                                           : QTextCursor::NextCharacter));
        Move(probe.position(), shift);
        return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int to = flow.PositionOnNextLine(position, event->key() == Qt::Key_Up ? -1 : 1);
        if (to >= 0) Move(to, shift);
        return true;
    }
    case Qt::Key_Home:
        Move(control ? 0 : flow.LineRange(position).first, shift);
        return true;
    case Qt::Key_End:
        Move(control ? FFrame->Story().characterCount() - 1 : flow.LineRange(position).second,
             shift);
        return true;
    case Qt::Key_PageDown:
        Move(flow.FrameEnd(Index()), shift);
        return true;
    case Qt::Key_PageUp:
        Move(flow.FrameStart(Index()), shift);
        return true;
    case Qt::Key_Escape:
        event->ignore();
        return true;
    default:
        return DeletingKey(event);
    }
}

bool TFocusTextControl::DeletingKey(QKeyEvent* event) {
    QTextCursor& cursor = Cursor();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (!cursor.hasSelection() && control)
            cursor.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
        if (cursor.hasSelection())
            cursor.removeSelectedText();
        else
            cursor.deletePreviousChar();
        break;
    case Qt::Key_Delete:
        if (cursor.hasSelection())
            cursor.removeSelectedText();
        else
            cursor.deleteChar();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (shift)
            cursor.insertText(QString(QChar::LineSeparator));
        else
            cursor.insertBlock();
        break;
    default:
        return false;
    }
    Changed(true);
    return true;
}

// Keys the editor uses are its own, not the menus' shortcuts (Delete, Ctrl+C and the like).
bool TFocusTextControl::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool control = key->modifiers() & Qt::ControlModifier;
        const bool editing =
            key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll) ||
            (control && (key->key() == Qt::Key_B || key->key() == Qt::Key_I ||
                         key->key() == Qt::Key_U || key->key() == Qt::Key_Left ||
                         key->key() == Qt::Key_Right || key->key() == Qt::Key_Home ||
                         key->key() == Qt::Key_End || key->key() == Qt::Key_Backspace));
        const bool plain = !control && !(key->modifiers() & Qt::AltModifier);
        if (editing || (plain && key->key() != Qt::Key_Escape &&
                        !(key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TFocusTextControl::mousePressEvent(QMouseEvent* event) {
    if (!FFrame || event->button() != Qt::LeftButton) return;
    const TTextFlow& flow = Flow();
    // An empty continuation frame takes no clicks: typing always starts in the first frame.
    if (FFrame->Predecessor() && flow.FrameStart(Index()) == flow.FrameEnd(Index())) return;
    setFocus(Qt::MouseFocusReason);
    Move(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void TFocusTextControl::mouseMoveEvent(QMouseEvent* event) {
    if (!FFrame || !(event->buttons() & Qt::LeftButton) || !hasFocus()) return;
    QTextCursor& cursor = Cursor();
    cursor.setPosition(PositionAt(event->position().toPoint()), QTextCursor::KeepAnchor);
    update();
    emit TTextEditorSignals::Instance().Changed();
}

void TFocusTextControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!FFrame || event->button() != Qt::LeftButton) return;
    QTextCursor& cursor = Cursor();
    cursor.setPosition(PositionAt(event->position().toPoint()));
    cursor.select(QTextCursor::WordUnderCursor);
    Changed(false);
}

void TFocusTextControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TFocusTextControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
