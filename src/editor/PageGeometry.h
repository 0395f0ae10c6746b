#pragma once

#include "document/Card.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// How an editing window lays out the shown panels of the current page: the zoom steps, the
// grey desk round the page, each panel's origin, and the mapping between window pixels,
// panel pixels and document units. Window pixels are logical pixels of the surface.
class TPageGeometry {
public:
    static constexpr int ZoomTable[] = {25, 33, 50, 67, 75, 100, 150, 200, 250};
    static constexpr int ZoomCount = 9;
    static constexpr int MaxPanels = 6;

    // Half an inch of grey border round the page, in logical pixels.
    static int Margin();
    // The zoom a window opens at for the card format last chosen (-1 before any).
    static int InitialZoomIndex(int cardFormat);
    static QRect ToQRect(const TRect& r);
    static TRect Normalized(const TRect& r);

    void SetCard(const TCard* card) { FCard = card; }
    const TCard* Card() const { return FCard; }
    int Page() const { return FPage; }
    void SetPage(int page) { FPage = page; }
    quint32 ShownPanels() const { return FShown; }
    void SetShownPanels(quint32 mask) { FShown = mask; }
    int ZoomIndex() const { return FZoomIndex; }
    void SetZoomIndex(int index) { FZoomIndex = index; }
    int ZoomPercent() const;
    bool CanZoomIn() const;
    bool CanZoomOut() const { return FZoomIndex > 0; }

    // Recomputes which offsets apply and the size of the view (after a change of the card,
    // page or shown panels).
    void Update();
    bool IgnoreX() const { return FIgnoreX; }
    bool IgnoreY() const { return FIgnoreY; }
    QSize ViewSize() const { return FViewSize; }
    // The surface's scrolling extents: the page, its desk, and objects reaching past them.
    QSize ScrollExtents() const;
    QRect ShownObjectsArea() const; // window pixels of the shown objects with their handles

    TCardPanel* Panel(int index) const; // of the current page, or null
    bool IsShown(int panel) const;
    QPoint ViewOffset(int panel) const;
    QPoint PanelOrigin(int panel) const; // window point of the panel's (0, 0)
    int PanelOf(const TCardObject* object) const; // index on the current page, -1 elsewhere
    // The panel under the point, or the one whose nearest corner is nearest.
    int PanelAt(QPoint windowPoint) const;
    // Window pixels of a rectangle given in the pixels of the object's panel.
    QRect WindowRect(const TCardObject* object, const TRect& panelRect) const;
    QRect ObjectWindowRect(const TCardObject* object) const; // its repaint rectangle
    // Window pixels to document units of the panel, and back.
    TRect WindowToUnits(int panel, const TRect& window) const;
    TRect UnitsToWindow(int panel, const TRect& units) const;
    TCardObject* ObjectAt(QPoint windowPoint, const TCardObjectTable& selectedFirst) const;

private:
    const TCard* FCard = nullptr;
    int FPage = -1;
    quint32 FShown = 0;
    int FZoomIndex = 2;
    bool FIgnoreX = false;
    bool FIgnoreY = false;
    QSize FViewSize;
};
