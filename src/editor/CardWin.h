#pragma once

#include "document/Card.h"
#include "editor/QDXWin.h"
#include "print/PrintPublication.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

class TControlWidgets;
class TEditorState;

// The editing window of one publication: it paints the current page's shown panels onto
// its drawing surface and turns the mouse and keyboard into editing operations (creating,
// selecting, moving, resizing, nudging, linking text frames) and the commands the main
// window applies to the selection. Coordinates here are logical "window" pixels of the
// surface; a panel's objects are relative to its window origin.
class TCardForm : public QWidget {
    Q_OBJECT
public:
    enum TDragMode { dmIdle = 0, dmCreating = 1, dmMoving = 2, dmResizing = 3, dmBand = 4 };
    static constexpr int ZoomTable[] = {25, 33, 50, 67, 75, 100, 150, 200, 250};
    static constexpr int ZoomCount = 9;

    explicit TCardForm(QWidget* parent = nullptr, TEditorState* state = nullptr);
    ~TCardForm() override;

    TQDXWindow* QDXWindow() const { return FSurface; }
    TCard& Card() const { return *FCard; }
    bool HasDocument() const { return FCard != nullptr; }
    // Takes ownership of the card and shows its first page.
    void AttachDocument(std::unique_ptr<TCard> card);
    // Opens a document file; the error message of the storage on failure.
    static std::unique_ptr<TCard> OpenDocument(const QString& fileName);
    bool SaveToFile(const QString& fileName);

    int CurrentPage() const { return FPage; }
    void SetPage(int index);
    quint32 ShownPanels() const { return FShownPanels; }
    void ShowPanels(quint32 mask);
    int ZoomIndex() const { return FZoomIndex; }
    void SetZoomIndex(int index);
    bool CanZoomIn() const;
    bool CanZoomOut() const { return FZoomIndex > 0; }
    void ZoomIn();
    void ZoomOut();
    bool IgnoreX() const { return FIgnoreX; }
    bool IgnoreY() const { return FIgnoreY; }
    int DragMode() const { return FDragMode; }
    int SurfaceCursor() const { return FCursor; }

    // Half an inch of grey border round the page, in logical pixels.
    static int Margin();
    QPoint PanelOrigin(int panel) const; // window point of the panel's (0, 0)
    QPoint ViewOffset(int panel) const;
    TCardPanel* Panel(int index) const; // of the current page, or null
    bool IsShown(int panel) const;
    TCardObject* ObjectAt(QPoint windowPoint) const;
    int PanelAt(QPoint windowPoint) const;
    int PanelOf(const TCardObject* object) const; // index on the current page, -1 elsewhere
    QSize ViewSize() const { return {FViewWidth, FViewHeight}; }

    const TCardObjectTable& Selection() const { return FSelection; }
    void ClearSelection();
    void AddToSelection(TCardObject* object);
    void RemoveFromSelection(TCardObject* object);
    void SelectOnly(TCardObject* object);
    void InvalidateObject(TCardObject* object);
    TCardObject* NextObject() const;
    TCardObject* PreviousObject() const;
    int UntitledNumber() const;

    // Commands of the main window on the selection.
    void Copy();
    void Cut();
    void Paste();
    void DeleteSelection();
    void SelectAll();
    bool CanBringForward() const;
    bool CanSendBackward() const;
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
    void CloseQuery(QCloseEvent* event);
    void KeyDown(QKeyEvent* event);
    void KeyUp(QKeyEvent* event);
    void OnPaint(QPainter& painter);
    void PaintOverlay(QPainter& painter) const;
    void UpdateHint();
    void SetCursorNumber(int number);
    void UpdateViewFlags();
    void UpdateScrollExtents();
    QRect ShownObjectsArea() const; // window pixels of the shown objects with their handles
    void PaintUnprintedParts(QPainter& painter, const QRect& clip) const;
    QRect WindowRect(const TCardObject* object, const TRect& panelRect) const;
    QRect ObjectWindowRect(const TCardObject* object) const; // GetRepaintRect in the window
    QRect SelectionArea(bool unlockedOnly) const;
    QRect OutlineArea() const;
    void InvalidateLogical(const QRect& logical);
    void InvalidateOverlay(const QRect& logical);
    void ShowOutlines(bool on);
    TCardObject* CreateForTool(int tool) const;
    void MoveToPanel(TCardObject* object, int fromPanel, int toPanel);
    void FinishMove();
    void FinishCreating();
    void FinishResizing();
    void FinishBand();
    bool LineCrossesBand(const TCardObject* line, int panel, const QRect& band) const;
    void LinkClick(TCardObject* object);

    TEditorState& FState;
    TQDXWindow* FSurface;
    std::unique_ptr<TCard> FCard;
    int FPage = -1;
    int FZoomIndex = 2;
    quint32 FShownPanels = 0;
    int FDragMode = dmIdle;
    bool FFlipX = false;
    bool FFlipY = false;
    int FDragPanel = 0;
    QRect FOldArea;
    TRect FDragRect; // window pixels; its corners say which edge follows the mouse
    int FViewWidth = 0;
    int FViewHeight = 0;
    bool FIgnoreX = false;
    bool FIgnoreY = false;
    QPoint FLastPoint;
    int FCursor = 0;
    TCardObjectTable FSelection;
    QString FHint;
    bool FFromKeyboard = false;

    // What the overlay shows: the selection's outlines, the object being made or resized, or
    // the band. Outlines are drawn over a cached picture of the page so that moves repaint
    // only the page's pixels, never its objects.
    bool FOutlines = false;
    QImage FPageCache;
    QRegion FStale; // viewport pixels of the cache that must be drawn again

    std::unique_ptr<TControlWidgets> FControlWidgets; // control widgets (last: goes first)
};
