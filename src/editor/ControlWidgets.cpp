#include "editor/ControlWidgets.h"

#include "document/AppContext.h"
#include "editor/CardWin.h"
#include "editor/FocusTextControl.h"
#include "objects/RichText.h"
#include "editor/TableGrid.h"
#include "objects/Grid.h"

#include <unordered_map>

namespace {

std::unordered_map<std::type_index, TControlWidgetFactory>& Factories() {
    static std::unordered_map<std::type_index, TControlWidgetFactory> factories = {
        {std::type_index(typeid(TGridTable)),
         [](TControlObject& object, QWidget* parent) -> QWidget* {
             auto* grid = dynamic_cast<TGridObject*>(&object);
             return grid ? new TTableGrid(*grid, parent) : nullptr;
         }},
        // Text frames get their editor from the window itself (it needs the window).
        {std::type_index(typeid(TRichTextControl)),
         [](TControlObject&, QWidget*) -> QWidget* { return nullptr; }},
    };
    return factories;
}

} // namespace

void RegisterControlWidget(std::type_index controlClass, TControlWidgetFactory factory) {
    Factories()[controlClass] = std::move(factory);
}

const TControlWidgetFactory* ControlWidgetFactoryFor(const TObjectControl& control) {
    const auto found = Factories().find(std::type_index(typeid(control)));
    return found == Factories().end() ? nullptr : &found->second;
}

TControlWidgets::TControlWidgets(TCardForm& form) : FForm(form) {
    AppContext().ActiveControlSurface = this;
}

TControlWidgets::~TControlWidgets() {
    if (AppContext().ActiveControlSurface == this) AppContext().ActiveControlSurface = nullptr;
    delete FWidget.data();
}

int TControlWidgets::ZoomPercent() const {
    return FForm.QDXWindow()->ZoomFactor();
}

QPoint TControlWidgets::ScrollPosition() const {
    return FForm.QDXWindow()->Canvas()->ScrollPosition();
}

std::optional<QPoint> TControlWidgets::PanelOffset(const TCardPanel* panel) const {
    if (!panel) return std::nullopt;
    for (int i = 0; FForm.Panel(i); ++i)
        if (FForm.Panel(i) == panel) return FForm.PanelOrigin(i);
    return std::nullopt;
}

void TControlWidgets::Update() {
    TControlObject* target = nullptr;
    const TControlWidgetFactory* factory = nullptr;
    if (FForm.Selection().Count() == 1) {
        auto* object = dynamic_cast<TControlObject*>(FForm.Selection().Items(0));
        if (object && object->IsControlVisible() && object->Control().IsWindowed() &&
            FForm.PanelOf(object) >= 0) {
            factory = ControlWidgetFactoryFor(object->Control());
            if (factory) target = object;
        }
    }
    // A widget whose control has gone (the object was deleted) is never reused, even when
    // a new object happens to take the old one's place in memory.
    const auto* editor = dynamic_cast<const TControlEditor*>(FWidget.data());
    const bool keep =
        target && editor && target == FObject && editor->EditedControl() == &target->Control();
    if (!keep && FWidget) {
        QWidget* old = FWidget.data();
        FWidget = nullptr;
        FObject = nullptr;
        old->hide();
        old->deleteLater();
    }
    if (!target) return;

    AppContext().ActiveControlSurface = this;
    TObjectControl& control = target->Control();
    if (control.Surface() != this) {
        // Controls made while the document was opened live elsewhere; they move here.
        control.SetSurface(this);
        target->ZoomChanged(ZoomPercent());
    } else {
        target->PlaceControl();
    }
    if (!FWidget) {
        QWidget* viewport = FForm.QDXWindow()->Canvas()->viewport();
        if (auto* frame = dynamic_cast<TRichTextObject*>(target))
            FWidget = new TFocusTextControl(*frame, FForm, viewport);
        else
            FWidget = (*factory)(*target, viewport);
        FObject = FWidget ? target : nullptr;
        if (!FWidget) return;
    }
    FWidget->setGeometry(control.Geometry());
    FWidget->show();
    FWidget->raise();
}
