#pragma once

#include "document/Card.h"
#include "editor/DocumentEditor.h"
#include "editor/DragMachine.h"
#include "editor/PageGeometry.h"
#include "editor/PagePainter.h"
#include "editor/QDXWin.h"
#include "editor/Selection.h"
#include "print/PrintPublication.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

class TControlWidgets;
class TEditorState;
class TRichTextObject;

// The editing window of one publication: it paints the current page's shown panels onto
// its drawing surface and turns the mouse and keyboard into editing operations (creating,
// selecting, moving, resizing, nudging, linking text frames) and the commands the main
// window applies to the selection. Coordinates here are logical "window" pixels of the
// surface; a panel's objects are relative to its window origin. Every edit is a step of the
// window's document editor, so that it can be undone.
class TCardForm : public QWidget {
    Q_OBJECT
public:
    explicit TCardForm(QWidget* parent = nullptr, TEditorState* state = nullptr);
    ~TCardForm() override;

    TQDXWindow* QDXWindow() const { return FSurface; }
    TCard& Card() const { return *FEditor.Card(); }
    bool HasDocument() const { return FEditor.Card() != nullptr; }
    TDocumentEditor& Editor() { return FEditor; }
    QUndoStack& UndoStack() { return FEditor.Stack(); }
    // The open text editor's own steps first, then the window's.
    void Undo();
    void Redo();
    // Takes ownership of the card and shows its first page.
    void AttachDocument(std::unique_ptr<TCard> card);
    // Opens a document file; the error message of the storage on failure.
    static std::unique_ptr<TCard> OpenDocument(const QString& fileName);
    bool SaveToFile(const QString& fileName);

    int CurrentPage() const { return FGeometry.Page(); }
    void SetPage(int index);
    quint32 ShownPanels() const { return FGeometry.ShownPanels(); }
    void ShowPanels(quint32 mask);
    int ZoomIndex() const { return FGeometry.ZoomIndex(); }
    void SetZoomIndex(int index);
    bool CanZoomIn() const { return FGeometry.CanZoomIn(); }
    bool CanZoomOut() const { return FGeometry.CanZoomOut(); }
    void ZoomIn();
    void ZoomOut();
    bool IgnoreX() const { return FGeometry.IgnoreX(); }
    bool IgnoreY() const { return FGeometry.IgnoreY(); }
    TDragMode DragMode() const { return FDrag.Mode(); }
    int SurfaceCursor() const { return FCursor; }

    const TPageGeometry& Geometry() const { return FGeometry; }
    static int Margin() { return TPageGeometry::Margin(); }
    QPoint PanelOrigin(int panel) const { return FGeometry.PanelOrigin(panel); }
    QPoint ViewOffset(int panel) const { return FGeometry.ViewOffset(panel); }
    TCardPanel* Panel(int index) const { return FGeometry.Panel(index); }
    bool IsShown(int panel) const { return FGeometry.IsShown(panel); }
    TCardObject* ObjectAt(QPoint windowPoint) const;
    int PanelAt(QPoint windowPoint) const { return FGeometry.PanelAt(windowPoint); }
    int PanelOf(const TCardObject* object) const { return FGeometry.PanelOf(object); }
    QSize ViewSize() const { return FGeometry.ViewSize(); }

    const TCardObjectTable& Selection() const { return FSelection.Objects(); }
    TSelection& SelectionModel() { return FSelection; }
    void ClearSelection();
    void AddToSelection(TCardObject* object);
    void RemoveFromSelection(TCardObject* object);
    void SelectOnly(TCardObject* object);
    // Puts a new object (taking it) into the first shown panel with its corner at the page's
    // top-left corner, keeping its size, selected, as one undo step; false (the object
    // deleted) when no panel is shown.
    bool InsertAtPageCorner(TCardObject* object);
    void InvalidateObject(TCardObject* object);
    TCardObject* NextObject() const { return FSelection.Next(); }
    TCardObject* PreviousObject() const { return FSelection.Previous(); }
    int UntitledNumber() const;

    // Commands of the main window on the selection.
    void Copy();
    void Cut();
    void Paste();
    void DeleteSelection();
    void SelectAll();
    bool CanBringForward() const { return FSelection.CanBringForward(); }
    bool CanSendBackward() const { return FSelection.CanSendBackward(); }
    void BringToFront();
    void SendToBack();
    void UpOneLevel();
    void DownOneLevel();
    void CenterSelection(bool horizontally);
    void ToggleLocked();
    void RunProperties();
    void SelectNextObject();
    void SelectPreviousObject();
    void Activated();
    void Deactivated();
    void SetDocumentModified();
    // Repaints the whole surface (after a grid or settings change).
    void RefreshSurface();
    QString Hint() const { return FHint; }

    // The page as the surface shows it, without the editing overlay.
    void PaintPage(QPainter& painter, const QRect& logicalClip);

    // Prints the publication; the job is named after the window.
    TPrintResult PrintPublication(TPrinter& printer, TPrintPrompts& prompts,
                                  TPrintRequest request);
    // Another printer (or paper) was chosen: the panels take its margins, the view follows.
    void PrinterChanged();

    // -- Control widgets: the editing widget of the sole selected control object (a grid's
    // table) lies over the object while its control is visible. --
    QWidget* ControlWidget() const;
    void UpdateControlWidget();
    // The caret of the text editor went on into another frame of its story.
    void ContinueTyping(TRichTextObject& next);

signals:
    void DocumentChanged();
    void HintChanged(const QString& hint);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

public:
    // Surface events (public so that tests and the host can drive them directly).
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point);
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point);
    void MouseDoubleClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point);
    void Nudge(int dx, int dy);
    void FinishKeyboardMove();

private:
    void ConnectSurface();
    void ConnectEditor();
    void ChooseUntitledName();
    void CloseQuery(QCloseEvent* event);
    void KeyDown(QKeyEvent* event);
    void KeyUp(QKeyEvent* event);
    void OnPaint(QPainter& painter);
    void PaintOverlay(QPainter& painter) const;
    void UpdateHint();
    void SetCursorNumber(int number);
    void UpdateViewFlags();
    void UpdateScrollExtents();
    QRect ObjectWindowRect(const TCardObject* object) const;
    QRect SelectionArea(bool unlockedOnly) const;
    QRect OutlineArea() const;
    void InvalidateLogical(const QRect& logical);
    void InvalidateOverlay(const QRect& logical);
    void ShowOutlines(bool on);
    void AfterEdit(); // an edit was recorded: the surface and the main window follow
    void BeforeStep();
    void AfterStep(const std::vector<TCardObject*>& touched);
    void FollowTextEditing();
    void FinishTyping();
    void RightMouseDown(QPoint point);
    void BeginCreating(int tool, QPoint point);
    void EditMouseDown(Qt::KeyboardModifiers modifiers, QPoint point);
    void BeginResizing(TCardObject* hit);
    void HoverIdle(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point);
    void DragMoving(QPoint point);
    void DragEdges(Qt::KeyboardModifiers modifiers, QPoint point);
    void FinishMove();
    void FinishCreating();
    void FinishResizing();
    void FinishBand();
    void LinkClick(TCardObject* object);

    TEditorState& FState;
    TQDXWindow* FSurface;
    TDocumentEditor FEditor; // the document and its steps
    TPageGeometry FGeometry;
    TSelection FSelection;
    TPagePainter FPainter{FGeometry, FSelection.Objects()};
    TDragMachine FDrag;
    int FDragPanel = 0;
    QRect FOldArea;
    QPoint FLastPoint;
    int FCursor = 0;
    QString FHint;
    bool FFromKeyboard = false;
    // The selection's places when a drag or a run of nudges began.
    std::optional<TDocumentEditor::TPlacementRecord> FMoveRecord;
    // The contents of the object being edited in place (a text frame's story, a grid's
    // table), since its editing widget opened.
    std::optional<TDocumentEditor::TContentRecord> FTypingRecord;
    const TCardObject* FTypingFrame = nullptr; // compared, not used
    const TCardObject* FTypingHead = nullptr;  // of its story
    bool FContinuingStory = false;

    // What the overlay shows: the selection's outlines, the object being made or resized, or
    // the band. Outlines are drawn over a cached picture of the page so that moves repaint
    // only the page's pixels, never its objects.
    bool FOutlines = false;
    QImage FPageCache;
    QRegion FStale; // viewport pixels of the cache that must be drawn again

    std::unique_ptr<TControlWidgets> FControlWidgets; // control widgets (last: goes first)
};
