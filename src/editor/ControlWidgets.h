#pragma once

#include "document/Control.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <typeindex>

class TCardForm;

// Implemented by the widgets that edit a windowed control on an editing surface.
class TControlEditor {
public:
    virtual ~TControlEditor() = default;
    // The control being edited; null once the control has been destroyed.
    virtual TObjectControl* EditedControl() const = 0;
};

// Makes the widget (a TControlEditor) that edits a control object's control, as a child of
// parent; null when it cannot edit that object.
using TControlWidgetFactory = std::function<QWidget*(TControlObject& object, QWidget* parent)>;

// The editing widgets by control class. The built-in kinds (the grid's table) are known
// from the start; registering a class again replaces its factory.
void RegisterControlWidget(std::type_index controlClass, TControlWidgetFactory factory);
const TControlWidgetFactory* ControlWidgetFactoryFor(const TObjectControl& control);

// The control surface of an editing window. It tells the controls of the window's objects
// where they are (zoom, scroll position, panel offsets) and keeps one editing widget over
// the sole selected control object while that object's windowed control is visible.
class TControlWidgets : public TControlSurface {
public:
    explicit TControlWidgets(TCardForm& form);
    ~TControlWidgets() override;
    TControlWidgets(const TControlWidgets&) = delete;
    TControlWidgets& operator=(const TControlWidgets&) = delete;

    int ZoomPercent() const override;
    QPoint ScrollPosition() const override;
    std::optional<QPoint> PanelOffset(const TCardPanel* panel) const override;

    // Creates, places and shows the widget of the selected control object, or hides and
    // drops the widget when no such object is selected or its control is hidden.
    void Update();
    QWidget* Widget() const { return FWidget.data(); }

private:
    TCardForm& FForm;
    QPointer<QWidget> FWidget;
    const TControlObject* FObject = nullptr; // whose widget FWidget is; compared, not used
};
