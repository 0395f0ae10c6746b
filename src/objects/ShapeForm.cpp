#include "objects/ShapeForm.h"

#include "document/AppContext.h"
#include "document/Control.h"
#include "objects/ColorGrid.h"
#include "objects/ObjectDialogs.h"
#include "objects/RoundedRectangle.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QVBoxLayout>

TShapeForm::TShapeForm(QWidget* parent) : QDialog(parent), FControls(*this, {}) {
    setObjectName(QStringLiteral("ShapeForm"));
    setWindowTitle(QStringLiteral("Object Properties"));
    FHeightEqualsWidth = new QCheckBox(QStringLiteral("Height = &Width"), this);
    FHeightEqualsWidth->setObjectName(QStringLiteral("HeightEqualsWidthCheck"));

    QGridLayout* colors = FControls.ColorsLayout();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(colors);
    layout->addSpacing(8);
    layout->addWidget(FHeightEqualsWidth);
    layout->addWidget(FControls.CenterHorizontallyCheck);
    layout->addWidget(FControls.CenterVerticallyCheck);
    layout->addWidget(FControls.DefaultCheck);
    layout->addWidget(AddOkCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TShapeForm::Fill(const TShapeObject& shape) {
    setWindowTitle(QStringLiteral("%1 Object Properties").arg(shape.TypeName()));
    FControls.Fill(shape);
    const bool square = shape.Bounds.Width() == shape.Bounds.Height();
    FHeightEqualsWidth->setChecked(square);
    FHeightEqualsWidth->setEnabled(!square);
}

void TShapeForm::ApplyTo(TShapeObject& shape) const {
    ApplyObjectEdit(shape, [&] {
        FControls.Store(shape);
        if (FHeightEqualsWidth->isChecked()) {
            TRect bounds = shape.Bounds;
            bounds.Bottom = bounds.Top + bounds.Width();
            shape.SetBounds(bounds);
        }
    });
    if (FControls.DefaultCheck->isChecked())
        FControls.WriteDefaults(AppContext().Settings(), DefaultsSection(shape));
}

bool TShapeForm::Run(TShapeObject& shape, QWidget* parent) {
    TShapeForm form(parent);
    form.Fill(shape);
    if (form.exec() != Accepted) return false;
    form.ApplyTo(shape);
    return true;
}

QString TShapeForm::DefaultsSection(const TShapeObject& shape) {
    if (dynamic_cast<const TRectangleObject*>(&shape)) return QStringLiteral("Default Rectangle");
    if (dynamic_cast<const TRRectangleObject*>(&shape))
        return QStringLiteral("Default Rounded Rectangle");
    return QStringLiteral("Default Ellipse");
}
