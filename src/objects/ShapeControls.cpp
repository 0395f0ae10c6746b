#include "objects/ShapeControls.h"

#include "document/AppContext.h"
#include "document/Control.h"
#include "objects/ColorGrid.h"
#include "objects/ObjectDialogs.h"
#include "objects/RoundedRectangle.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

QCheckBox* NewCheck(QDialog& dialog, const QString& caption, const char* name) {
    auto* check = new QCheckBox(caption, &dialog);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QLabel* NewLabel(QDialog& dialog, const QString& caption, const char* name, QWidget* buddy) {
    auto* label = new QLabel(caption, &dialog);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

} // namespace

TShapeControls::TShapeControls(QDialog& dialog, const TCaptions& captions) {
    FillGrid = new TColorGrid(&dialog);
    FillGrid->setObjectName(QStringLiteral("FillColorGrid"));
    FillLabel = NewLabel(dialog, captions.Fill, "FillColorLabel", FillGrid);
    ClearCheck = NewCheck(dialog, QStringLiteral("Cl&ear"), "ClearCheck");
    BorderGrid = new TColorGrid(&dialog);
    BorderGrid->setObjectName(QStringLiteral("BorderColorGrid"));
    BorderLabel = NewLabel(dialog, captions.Border, "BorderColorLabel", BorderGrid);
    SizeEdit = new QSpinBox(&dialog);
    SizeEdit->setObjectName(QStringLiteral("BorderSizeEdit"));
    SizeEdit->setRange(0, 100);
    SizeLabel = NewLabel(dialog, captions.Size, "BorderSizeLabel", SizeEdit);
    CenterHorizontallyCheck =
        NewCheck(dialog, QStringLiteral("Center Hori&zontally"), "CenterHorizontallyCheck");
    CenterVerticallyCheck =
        NewCheck(dialog, QStringLiteral("Center &Vertically"), "CenterVerticallyCheck");
    DefaultCheck = NewCheck(dialog, QStringLiteral("Default"), "DefaultCheck");
    DefaultCheck->setToolTip(QStringLiteral("Use these settings for new objects of this kind"));

    QObject::connect(ClearCheck, &QCheckBox::toggled, &dialog, [this] { ApplyRules(); });
    QObject::connect(SizeEdit, &QSpinBox::valueChanged, &dialog, [this] { ApplyRules(); });
}

QGridLayout* TShapeControls::ColorsLayout() const {
    auto* colors = new QGridLayout;
    colors->setHorizontalSpacing(24);
    colors->addWidget(FillLabel, 0, 0);
    colors->addWidget(FillGrid, 1, 0);
    colors->addWidget(ClearCheck, 2, 0);
    colors->addWidget(BorderLabel, 0, 1);
    colors->addWidget(BorderGrid, 1, 1);
    auto* size = new QHBoxLayout;
    size->addWidget(SizeLabel);
    size->addWidget(SizeEdit);
    size->addStretch();
    colors->addLayout(size, 2, 1);
    return colors;
}

void TShapeControls::Fill(const TShapeObject& shape) {
    FillGrid->SetSelectedIndex(shape.FillColor);
    ClearCheck->setChecked(shape.ClearFill);
    BorderGrid->SetSelectedIndex(shape.BorderColor);
    SizeEdit->setValue(shape.BorderSize);
    CenterHorizontallyCheck->setChecked(shape.CenterHorizontally);
    CenterVerticallyCheck->setChecked(shape.CenterVertically);
    DefaultCheck->setChecked(false);
    ApplyRules();
}

void TShapeControls::Store(TShapeObject& shape) const {
    // A colour outside the palette (from a damaged record) stays as it is unless one is chosen.
    if (FillGrid->SelectedIndex() >= 0) shape.FillColor = quint8(FillGrid->SelectedIndex());
    shape.ClearFill = ClearCheck->isChecked();
    if (BorderGrid->SelectedIndex() >= 0) shape.BorderColor = quint8(BorderGrid->SelectedIndex());
    shape.BorderSize = quint8(SizeEdit->value());
    shape.CenterHorizontally = CenterHorizontallyCheck->isChecked();
    shape.CenterVertically = CenterVerticallyCheck->isChecked();
}

void TShapeControls::WriteDefaults(TSettingsStore& settings, const QString& section) const {
    settings.WriteBool(section, QStringLiteral("Center Horizontally"),
                       CenterHorizontallyCheck->isChecked());
    settings.WriteBool(section, QStringLiteral("Center Vertically"),
                       CenterVerticallyCheck->isChecked());
    if (FillGrid->SelectedIndex() >= 0)
        settings.WriteInteger(section, QStringLiteral("Color"), FillGrid->SelectedIndex());
    settings.WriteBool(section, QStringLiteral("Clear"), ClearCheck->isChecked());
    if (BorderGrid->SelectedIndex() >= 0)
        settings.WriteInteger(section, QStringLiteral("Border Color"), BorderGrid->SelectedIndex());
    settings.WriteInteger(section, QStringLiteral("Border Size"), SizeEdit->value());
}

void TShapeControls::ApplyRules() {
    const bool filled = !ClearCheck->isChecked();
    FillLabel->setEnabled(filled);
    FillGrid->setEnabled(filled);
    const bool bordered = SizeEdit->value() > 0;
    BorderLabel->setEnabled(bordered);
    BorderGrid->setEnabled(bordered);
}
