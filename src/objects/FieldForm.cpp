#include "objects/FieldForm.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/Palette.h"
#include "objects/ColorGrid.h"
#include "objects/ObjectDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

TFieldForm::TFieldForm(QWidget* parent) : QDialog(parent), FControls(*this, {}) {
    setObjectName(QStringLiteral("FieldForm"));
    setWindowTitle(QStringLiteral("Field Object Properties"));

    FFontButton = new QPushButton(QStringLiteral("&Font..."), this);
    FFontButton->setObjectName(QStringLiteral("FontButton"));
    FFontSample = new QLabel(this);
    FFontSample->setObjectName(QStringLiteral("FontSample"));

    auto* justificationBox = new QGroupBox(QStringLiteral("&Justification"), this);
    justificationBox->setObjectName(QStringLiteral("JustificationGroup"));
    FJustification = new QButtonGroup(this);
    auto* justificationLayout = new QHBoxLayout(justificationBox);
    const struct {
        const char* Caption;
        const char* Name;
        int Value;
    } justifications[] = {{"&Left", "JustifyLeft", TFieldObject::jLeft},
                          {"&Center", "JustifyCenter", TFieldObject::jCenter},
                          {"&Right", "JustifyRight", TFieldObject::jRight}};
    for (const auto& j : justifications) {
        auto* button = new QRadioButton(QString::fromLatin1(j.Caption), justificationBox);
        button->setObjectName(QString::fromLatin1(j.Name));
        FJustification->addButton(button, j.Value);
        justificationLayout->addWidget(button);
    }

    FFormula = new QLineEdit(this);
    FFormula->setObjectName(QStringLiteral("FormulaEdit"));
    FFormula->setMinimumWidth(260);
    auto* formulaLabel = new QLabel(QStringLiteral("F&ormula:"), this);
    formulaLabel->setBuddy(FFormula);
    FInsertField = new QPushButton(QStringLiteral("&Insert Field Object Into Formula..."), this);
    FInsertField->setObjectName(QStringLiteral("InsertFieldButton"));

    FDecimalPlaces = new QSpinBox(this);
    FDecimalPlaces->setObjectName(QStringLiteral("DecimalPlacesEdit"));
    FDecimalPlaces->setRange(0, 10);
    auto* decimalsLabel = new QLabel(QStringLiteral("&Decimal Places:"), this);
    decimalsLabel->setBuddy(FDecimalPlaces);

    FName = new QLineEdit(this);
    FName->setObjectName(QStringLiteral("FieldNameEdit"));
    auto* nameLabel = new QLabel(QStringLiteral("Field &Name:"), this);
    nameLabel->setBuddy(FName);
    FRequired = new QCheckBox(QStringLiteral("Req&uired"), this);
    FRequired->setObjectName(QStringLiteral("RequiredCheck"));

    // Left: the shape's colours and border.
    auto* shape = new QVBoxLayout;
    shape->addWidget(FControls.FillLabel);
    shape->addWidget(FControls.FillGrid);
    shape->addWidget(FControls.ClearCheck);
    shape->addSpacing(8);
    shape->addWidget(FControls.BorderLabel);
    shape->addWidget(FControls.BorderGrid);
    auto* size = new QHBoxLayout;
    size->addWidget(FControls.SizeLabel);
    size->addWidget(FControls.SizeEdit);
    size->addStretch();
    shape->addLayout(size);
    shape->addStretch();

    // Right: the text and what it shows.
    auto* font = new QHBoxLayout;
    font->addWidget(FFontButton);
    font->addWidget(FFontSample, 1);
    auto* formula = new QVBoxLayout;
    formula->addWidget(formulaLabel);
    formula->addWidget(FFormula);
    auto* insert = new QHBoxLayout;
    insert->addWidget(FInsertField);
    insert->addStretch();
    formula->addLayout(insert);
    auto* numbers = new QFormLayout;
    numbers->addRow(decimalsLabel, FDecimalPlaces);
    numbers->addRow(nameLabel, FName);
    auto* text = new QVBoxLayout;
    text->addLayout(font);
    text->addWidget(justificationBox);
    text->addLayout(formula);
    text->addLayout(numbers);
    text->addWidget(FRequired);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(shape);
    top->addSpacing(16);
    top->addLayout(text);

    QDialogButtonBox* buttons = AddOkCancelButtons(*this);
    FOkButton = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(FControls.CenterHorizontallyCheck);
    layout->addWidget(FControls.CenterVerticallyCheck);
    layout->addWidget(FControls.DefaultCheck);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FFontButton, &QPushButton::clicked, this, [this] { ChooseFont(); });
    connect(FInsertField, &QPushButton::clicked, this, [this] { InsertField(); });
    // A field needs a name: formulas and the fill-in order refer to it.
    connect(FName, &QLineEdit::textChanged, this,
            [this](const QString& name) { FOkButton->setEnabled(!name.trimmed().isEmpty()); });
    SetJustification(TFieldObject::jLeft);
    FOkButton->setEnabled(false);
    ShowFont();
}

void TFieldForm::Fill(const TFieldObject& field) {
    FField = &field;
    FControls.Fill(field);
    SetFieldFont(field.Font);
    SetJustification(field.Justification);
    FFormula->setText(field.Formula);
    FDecimalPlaces->setValue(field.DecimalPlaces);
    FName->setText(field.FieldName);
    FRequired->setChecked(field.Required);
}

const TCard* TFieldForm::Document() const {
    const TCard* card = FField ? FField->OwnerCard() : nullptr;
    return card ? card : AppContext().ActiveCard;
}

QStringList TFieldForm::OtherFieldNames() const {
    QStringList names;
    if (const TCard* card = Document()) {
        card->ForEachObject([&](TCardObject* object) {
            auto* field = dynamic_cast<TFieldObject*>(object);
            if (field && field != FField) names.append(field->FieldName);
        });
    }
    return names;
}

bool TFieldForm::NameTakenByOtherField(const QString& name) const {
    // References in formulas are trimmed and compared without regard to case.
    const QString wanted = name.trimmed();
    const QStringList others = OtherFieldNames();
    return std::any_of(others.begin(), others.end(), [&](const QString& other) {
        return other.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
    });
}

void TFieldForm::accept() {
    const QString name = FName->text().trimmed();
    if (name.isEmpty() || NameTakenByOtherField(name)) {
        if (!name.isEmpty()) AppContext().Messages().Error(NotUniqueMessage);
        FName->setFocus();
        FName->selectAll();
        return;
    }
    QDialog::accept();
}

void TFieldForm::SetFieldFont(const TFontSpec& font) {
    FFont = font;
    ShowFont();
}

void TFieldForm::ShowFont() {
    QStringList parts{FFont.Name, QStringLiteral("%1 pt").arg(std::abs(FFont.Size))};
    if (FFont.Bold) parts.append(QStringLiteral("Bold"));
    if (FFont.Italic) parts.append(QStringLiteral("Italic"));
    if (FFont.Underline) parts.append(QStringLiteral("Underline"));
    if (FFont.StrikeOut) parts.append(QStringLiteral("Strikeout"));
    parts.append(ColorName(FFont.Color));
    FFontSample->setText(parts.join(QStringLiteral(", ")));
}

int TFieldForm::Justification() const {
    const int id = FJustification->checkedId();
    return id < 0 ? int(TFieldObject::jLeft) : id;
}

void TFieldForm::SetJustification(int justification) {
    QAbstractButton* button = FJustification->button(justification);
    if (!button) button = FJustification->button(TFieldObject::jLeft);
    button->setChecked(true);
}

void TFieldForm::ChooseFont() {
    TFontSpec font = FFont;
    if (FFontChooser && FFontChooser(font, this)) SetFieldFont(font);
}

void TFieldForm::InsertField() {
    if (!FNameChooser) return;
    const QString name = FNameChooser(OtherFieldNames(), this);
    if (!name.isEmpty()) InsertFieldReference(name);
}

void TFieldForm::InsertFieldReference(const QString& name) {
    const int at =
        FFormula->hasSelectedText() ? FFormula->selectionStart() : FFormula->cursorPosition();
    const QString reference = QLatin1Char('{') + name + QLatin1Char('}');
    QString text = FFormula->text();
    text.insert(at, reference);
    FFormula->setText(text);
    FFormula->setCursorPosition(at + int(reference.size()));
    FFormula->setFocus();
}

void TFieldForm::ApplyTo(TFieldObject& field) const {
    const QString oldName = field.FieldName;
    const quint8 oldDecimals = field.DecimalPlaces;
    ApplyObjectEdit(field, [&] {
        FControls.Store(field);
        field.Justification = quint8(Justification());
        field.Font = FFont;
        field.DecimalPlaces = quint8(FDecimalPlaces->value());
        field.Required = FRequired->isChecked();
        field.FieldName = FName->text().trimmed();
        field.SetFormula(FFormula->text());
    });
    // Results that refer to this field by name, or take its formatted value, change with it.
    if (field.FieldName != oldName || field.DecimalPlaces != oldDecimals) {
        if (const TCard* card = field.OwnerCard()) {
            card->ForEachObject([&](TCardObject* object) {
                auto* other = dynamic_cast<TFieldObject*>(object);
                if (other && other != &field && !other->Formula.isEmpty())
                    AppContext().Shell().RepaintObject(*other);
            });
        }
    }
    if (!FControls.DefaultCheck->isChecked()) return;
    const QString section = QStringLiteral("Default Field");
    TSettingsStore& settings = AppContext().Settings();
    FControls.WriteDefaults(settings, section);
    settings.WriteInteger(section, QStringLiteral("Justification"), Justification());
    settings.WriteString(section, QStringLiteral("Font Name"), FFont.Name);
    settings.WriteInteger(section, QStringLiteral("Font Size"), FFont.Size);
    settings.WriteInteger(section, QStringLiteral("Font Color"), int(FFont.Color));
    settings.WriteInteger(section, QStringLiteral("Font Style"), FFont.StyleBits());
    settings.WriteInteger(section, QStringLiteral("Decimal Places"), FDecimalPlaces->value());
    settings.WriteBool(section, QStringLiteral("Required"), FRequired->isChecked());
}

bool TFieldForm::Run(TFieldObject& field, QWidget* parent) {
    TFieldForm form(parent);
    form.Fill(field);
    if (form.exec() != Accepted) return false;
    form.ApplyTo(field);
    return true;
}
