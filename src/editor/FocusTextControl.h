#pragma once

#include "editor/ControlWidgets.h"

#include <QTextCursor>
#include <QTextListFormat>
#include <QWidget>

class TCardForm;
class TRichTextObject;
class TTextFlow;

// Tells the main window's formatting bar and text ruler when the focused text editor comes,
// goes, moves its caret or changes formats.
class TTextEditorSignals : public QObject {
    Q_OBJECT
public:
    static TTextEditorSignals& Instance();
signals:
    void Changed();
};

// The in-place editor of a text frame: a window over the frame, at the window's zoom, that
// shows and edits the frame's part of its chain's story. It draws through the same layout
// as the page and the printer, so what is edited is what prints; the caret moves on into
// the next frame of the chain (on another page or panel too) as the text flows.
class TFocusTextControl : public QWidget, public TControlEditor {
    Q_OBJECT
public:
    TFocusTextControl(TRichTextObject& frame, TCardForm& form, QWidget* parent);
    ~TFocusTextControl() override;

    TObjectControl* EditedControl() const override;
    TRichTextObject* Frame() const { return FFrame; }
    // The editor shown now, if any.
    static TFocusTextControl* Current();

    QTextCursor& Cursor();
    bool Overwrite() const { return FOverwrite; }
    void MergeCharFormat(const QTextCharFormat& format);
    void MergeBlockFormat(const QTextBlockFormat& format);
    // Bullets or numbers for the selected paragraphs; again the same style removes them.
    void ToggleList(QTextListFormat::Style style);
    // The story's own undo while the editor is open; false when it has no step to take.
    bool Undo();
    bool Redo();
    // Whether the editor's own history has a step to undo or redo.
    bool CanUndo() const;
    bool CanRedo() const;
    // The frame's inner width in points, for the ruler.
    double FrameWidthPoints() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    const TTextFlow& Flow() const;
    int Index() const;
    double Scale() const; // widget pixels per layout unit
    QPointF ToFlow(QPoint point) const;
    int PositionAt(QPoint point) const;
    void Move(int position, bool extend);
    bool CommandKey(QKeyEvent* event);
    bool CaretKey(QKeyEvent* event);
    bool DeletingKey(QKeyEvent* event);
    void Copy() const;
    void Paste();
    void Changed(bool edited);
    void FollowCaret();

    TRichTextObject* FFrame;
    TCardForm& FForm;
    bool FOverwrite = false;
};
