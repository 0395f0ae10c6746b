#include "objects/LineForm.h"

#include "document/AppContext.h"
#include "objects/ColorGrid.h"
#include "objects/Line.h"
#include "objects/ObjectDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char* const StyleCaptions[] = {"Solid", "Dash", "Dot", "Dash-Dot", "Dash-Dot-Dot"};
const char* const StyleNames[] = {"StyleSolid", "StyleDash", "StyleDot", "StyleDashDot",
                                  "StyleDashDotDot"};
constexpr int StyleCount = 5;

} // namespace

TLineForm::TLineForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LineForm"));
    setWindowTitle(QStringLiteral("Line Object Properties"));

    FColorGrid = new TColorGrid(this);
    FColorGrid->setObjectName(QStringLiteral("ColorGrid"));
    auto* colorLabel = new QLabel(QStringLiteral("&Color:"), this);
    colorLabel->setObjectName(QStringLiteral("ColorLabel"));
    colorLabel->setBuddy(FColorGrid);

    QGroupBox* styleBox = NewRadioGroup(*this, QStringLiteral("St&yle"), FStyles, StyleCaptions,
                                        StyleNames, StyleCount);

    FWidthEdit = new QSpinBox(this);
    FWidthEdit->setObjectName(QStringLiteral("WidthEdit"));
    FWidthEdit->setRange(0, 100);
    FWidthEdit->setToolTip(QStringLiteral("Width in points"));
    FWidthLabel = new QLabel(QStringLiteral("&Width:"), this);
    FWidthLabel->setObjectName(QStringLiteral("WidthLabel"));
    FWidthLabel->setBuddy(FWidthEdit);

    FCenterHorizontally = new QCheckBox(QStringLiteral("Center Hori&zontally"), this);
    FCenterHorizontally->setObjectName(QStringLiteral("CenterHorizontallyCheck"));
    FCenterVertically = new QCheckBox(QStringLiteral("Center &Vertically"), this);
    FCenterVertically->setObjectName(QStringLiteral("CenterVerticallyCheck"));
    FDefault = new QCheckBox(QStringLiteral("Default"), this);
    FDefault->setObjectName(QStringLiteral("DefaultCheck"));

    auto* left = new QVBoxLayout;
    left->addWidget(colorLabel);
    left->addWidget(FColorGrid);
    auto* width = new QHBoxLayout;
    width->addWidget(FWidthLabel);
    width->addWidget(FWidthEdit);
    width->addStretch();
    left->addLayout(width);
    left->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addSpacing(16);
    top->addWidget(styleBox);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(FCenterHorizontally);
    layout->addWidget(FCenterVertically);
    layout->addWidget(FDefault);
    layout->addWidget(AddOkCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FStyles, &QButtonGroup::idClicked, this, [this] { ApplyStyleRule(); });
    SetStyle(0);
}

void TLineForm::Fill(const TLineObject& line) {
    FColorGrid->SetSelectedIndex(line.LineColor);
    FWidthEdit->setValue(line.LineWidth);
    SetStyle(line.LineStyle < StyleCount ? line.LineStyle : 0);
    FCenterHorizontally->setChecked(line.CenterHorizontally);
    FCenterVertically->setChecked(line.CenterVertically);
    FDefault->setChecked(false);
}

int TLineForm::Style() const {
    return std::max(0, FStyles->checkedId());
}

void TLineForm::SetStyle(int style) {
    if (QAbstractButton* button = FStyles->button(style)) button->setChecked(true);
    ApplyStyleRule();
}

int TLineForm::LineWidth() const {
    return FWidthEdit->value();
}

void TLineForm::ApplyStyleRule() {
    const bool solid = Style() == 0;
    FWidthLabel->setEnabled(solid);
    FWidthEdit->setEnabled(solid);
    if (!solid) FWidthEdit->setValue(1);
}

void TLineForm::ApplyTo(TLineObject& line) const {
    ApplyObjectEdit(line, [&] {
        if (FColorGrid->SelectedIndex() >= 0) line.LineColor = quint8(FColorGrid->SelectedIndex());
        line.LineStyle = quint8(Style());
        line.LineWidth = quint8(LineWidth());
        line.CenterHorizontally = FCenterHorizontally->isChecked();
        line.CenterVertically = FCenterVertically->isChecked();
    });
    if (!FDefault->isChecked()) return;
    const QString section = QStringLiteral("Default Line");
    TSettingsStore& settings = AppContext().Settings();
    if (FColorGrid->SelectedIndex() >= 0)
        settings.WriteInteger(section, QStringLiteral("Color"), FColorGrid->SelectedIndex());
    settings.WriteInteger(section, QStringLiteral("Style"), Style());
    settings.WriteInteger(section, QStringLiteral("Size"), LineWidth());
    settings.WriteBool(section, QStringLiteral("Center Horizontally"),
                       FCenterHorizontally->isChecked());
    settings.WriteBool(section, QStringLiteral("Center Vertically"),
                       FCenterVertically->isChecked());
}

bool TLineForm::Run(TLineObject& line, QWidget* parent) {
    TLineForm form(parent);
    form.Fill(line);
    if (form.exec() != Accepted) return false;
    form.ApplyTo(line);
    return true;
}
