#include "document/Control.h"

#include "document/AppContext.h"
#include "document/LoadOptions.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Formula.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <cmath>

TControlObject::~TControlObject() {
    if (FControl) ReleaseControl();
}

TObjectControl& TControlObject::Control() {
    if (FControl) return *FControl;
    FControl = CreateControl();
    FControl->SetVisible(false);
    const TAppContext& context = AppContext();
    // Controls made while a file is read stay off the editing surface until shown there.
    const TLoadOptions::TOpening opening = CurrentLoadOptions().Opening;
    if (opening == TLoadOptions::TOpening::None && context.ActiveControlSurface)
        FControl->SetSurface(context.ActiveControlSurface);
    ControlCreated();
    if (!FControl->Surface() && context.SpareControlSurface)
        FControl->SetSurface(context.SpareControlSurface);
    if (opening != TLoadOptions::TOpening::Document && FControl->Surface())
        ZoomChanged(FControl->Surface()->ZoomPercent());
    ControlReady();
    return *FControl;
}

void TControlObject::PlaceControl() {
    if (!FControl || !FControl->Surface()) return;
    const TControlSurface& surface = *FControl->Surface();
    TRect r = TCardObject::GetBounds();
    const int zoom = surface.ZoomPercent();
    const std::optional<QPoint> offset = surface.PanelOffset(OwnerPanel());
    QPoint scroll;
    if (offset) {
        r.Offset(offset->x(), offset->y());
        scroll = surface.ScrollPosition();
    }
    const QRect device(
        QPoint(MulDiv(r.Left, zoom, 100) - scroll.x(), MulDiv(r.Top, zoom, 100) - scroll.y()),
        QPoint(MulDiv(r.Right, zoom, 100) - scroll.x() - 1,
               MulDiv(r.Bottom, zoom, 100) - scroll.y() - 1));
    FControl->SetGeometry(device);
}

bool TControlObject::IsControlVisible() const {
    return FControl && FControl->IsVisible();
}

TRect TControlObject::GetBounds() const {
    const TRect b = TCardObject::GetBounds();
    return {b.Left - ControlFrame, b.Top - ControlFrame, b.Right + ControlFrame,
            b.Bottom + ControlFrame};
}

void TControlObject::SetBoundsOuter(const TRect& pixels) {
    TCardObject::SetBoundsOuter({pixels.Left + ControlFrame, pixels.Top + ControlFrame,
                                 pixels.Right - ControlFrame, pixels.Bottom - ControlFrame});
}

void TControlObject::ShowControl(bool show) {
    TObjectControl& control = Control();
    control.SetVisible(show && control.IsWindowed());
}

void TControlObject::SetBounds(const TRect& units) {
    if (units == Bounds) return;
    TCardObject::SetBounds(units);
    PlaceControl();
}

void TControlObject::SetSelectState(quint8 state) {
    TCardObject::SetSelectState(state);
    ShowControl(state == 1);
}

void TControlObject::ZoomChanged(int zoomPercent) {
    if (FControl) FControl->ZoomChanged(zoomPercent);
    PlaceControl();
}

bool TControlObject::DrawsItself() const {
    return !FControl || !FControl->IsVisible() || !FControl->IsWindowed();
}
