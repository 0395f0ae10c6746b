#include "objects/CombForm.h"

#include "document/AppContext.h"
#include "objects/ColorGrid.h"
#include "objects/Comb.h"
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

const char* const StyleCaptions[] = {"Up", "Down", "Left", "Right"};
const char* const StyleNames[] = {"StyleUp", "StyleDown", "StyleLeft", "StyleRight"};
constexpr int StyleCount = 4;

TShapeControls::TCaptions CombCaptions() {
    TShapeControls::TCaptions captions;
    captions.Fill = QStringLiteral("&Background Color:");
    captions.Border = QStringLiteral("&Line Color:");
    captions.Size = QStringLiteral("Line &Size:");
    return captions;
}

} // namespace

TCombForm::TCombForm(QWidget* parent) : QDialog(parent), FControls(*this, CombCaptions()) {
    setObjectName(QStringLiteral("CombForm"));
    setWindowTitle(QStringLiteral("Comb Object Properties"));

    QGroupBox* styleBox = NewRadioGroup(*this, QStringLiteral("Comb St&yle"), FStyles, StyleCaptions,
                                        StyleNames, StyleCount);
    FCombEdge = new QCheckBox(QStringLiteral("Co&mb Edge"), this);
    FCombEdge->setObjectName(QStringLiteral("CombEdgeCheck"));
    FSpaces = new QSpinBox(this);
    FSpaces->setObjectName(QStringLiteral("SpacesEdit"));
    FSpaces->setRange(1, 100);
    FSpacesLabel = new QLabel(QStringLiteral("&Comb Spaces:"), this);
    FSpacesLabel->setObjectName(QStringLiteral("SpacesLabel"));
    FSpacesLabel->setBuddy(FSpaces);

    QGridLayout* colors = FControls.ColorsLayout();
    colors->addWidget(styleBox, 0, 2, 3, 1);

    auto* spaces = new QHBoxLayout;
    spaces->addWidget(FSpacesLabel);
    spaces->addWidget(FSpaces);
    spaces->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(colors);
    layout->addSpacing(8);
    layout->addWidget(FCombEdge);
    layout->addLayout(spaces);
    layout->addWidget(FControls.CenterHorizontallyCheck);
    layout->addWidget(FControls.CenterVerticallyCheck);
    layout->addWidget(FControls.DefaultCheck);
    layout->addWidget(AddOkCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FCombEdge, &QCheckBox::toggled, this, [this] { ApplySpacesRule(); });
    SetStyle(TCombObject::csUp);
}

void TCombForm::Fill(const TCombObject& comb) {
    FControls.Fill(comb);
    SetStyle(comb.CombStyle < StyleCount ? int(comb.CombStyle) : int(TCombObject::csUp));
    FCombEdge->setChecked(comb.CombEdge);
    // The rule first, so that a stored single space without end teeth shows as the minimum.
    ApplySpacesRule();
    FSpaces->setValue(comb.Spaces);
}

int TCombForm::Style() const {
    return std::max(0, FStyles->checkedId());
}

void TCombForm::SetStyle(int style) {
    if (QAbstractButton* button = FStyles->button(style)) button->setChecked(true);
}

void TCombForm::ApplySpacesRule() {
    FSpaces->setMinimum(FCombEdge->isChecked() ? 1 : 2);
}

void TCombForm::ApplyTo(TCombObject& comb) const {
    ApplyObjectEdit(comb, [&] {
        FControls.Store(comb);
        comb.CombStyle = quint8(Style());
        comb.CombEdge = FCombEdge->isChecked();
        comb.Spaces = quint8(FSpaces->value());
    });
    if (!FControls.DefaultCheck->isChecked()) return;
    const QString section = QStringLiteral("Default Comb");
    TSettingsStore& settings = AppContext().Settings();
    FControls.WriteDefaults(settings, section);
    settings.WriteBool(section, QStringLiteral("Comb Edge"), FCombEdge->isChecked());
    settings.WriteInteger(section, QStringLiteral("Comb Style"), Style());
    settings.WriteInteger(section, QStringLiteral("Spaces"), FSpaces->value());
}

bool TCombForm::Run(TCombObject& comb, QWidget* parent) {
    TCombForm form(parent);
    form.Fill(comb);
    if (form.exec() != Accepted) return false;
    form.ApplyTo(comb);
    return true;
}
