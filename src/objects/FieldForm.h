#pragma once

#include "document/FontSpec.h"
#include "objects/FieldChoosers.h"
#include "objects/ShapeForm.h"

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TCard;
class TFieldObject;

// "Field Object Properties": the shape values, font, justification, formula, decimal places,
// name and required flag of a fill-in field. Object names besides the shared controls: FontButton,
// FontSample, JustificationGroup (JustifyLeft, JustifyCenter, JustifyRight; button ids are the
// stored values 0, 2 and 1), FormulaEdit, InsertFieldButton, DecimalPlacesEdit, FieldNameEdit,
// RequiredCheck.
class TFieldForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString NotUniqueMessage = QStringLiteral("The field name must be unique.");

    explicit TFieldForm(QWidget* parent = nullptr);

    // The controls from the field, which is also the one whose document the name is checked
    // against and whose other fields the formula may refer to.
    void Fill(const TFieldObject& field);
    // What OK does: the values go into the field (the formula through SetFormula, and "Default
    // Field" when "Default" is checked), then the field is aligned, repainted and its document
    // modified.
    void ApplyTo(TFieldObject& field) const;
    // Shows the dialog for the field; true when confirmed.
    static bool Run(TFieldObject& field, QWidget* parent = nullptr);

    // Refuses a name that another field of the document has (case aside): the error is shown,
    // the name box gets the focus and the dialog stays open.
    void accept() override;
    bool NameTakenByOtherField(const QString& name) const;
    // The names of the document's other fields, in document order.
    QStringList OtherFieldNames() const;

    const TShapeControls& Controls() const { return FControls; }
    const TFontSpec& FieldFont() const { return FFont; }
    void SetFieldFont(const TFontSpec& font);
    // The stored justification (0 left, 1 right, 2 centred).
    int Justification() const;
    void SetJustification(int justification);

    // "&Font...": the chooser opens on the current font, which it replaces when confirmed.
    void ChooseFont();
    // "&Insert Field Object Into Formula...": the chosen name goes into the formula.
    void InsertField();
    // "{name}" at the formula's caret (at the start of a selection, which stays); the caret ends
    // after it and the formula box gets the focus.
    void InsertFieldReference(const QString& name);

    // Tests replace the modal choosers.
    void SetFontChooser(TFontChooser chooser) { FFontChooser = std::move(chooser); }
    void SetFieldNameChooser(TFieldNameChooser chooser) { FNameChooser = std::move(chooser); }

private:
    const TCard* Document() const;
    void ShowFont();

    TShapeControls FControls;
    TFontSpec FFont;
    QPushButton* FFontButton;
    QLabel* FFontSample;
    QButtonGroup* FJustification;
    QLineEdit* FFormula;
    QPushButton* FInsertField;
    QSpinBox* FDecimalPlaces;
    QLineEdit* FName;
    QCheckBox* FRequired;
    QPushButton* FOkButton;
    const TFieldObject* FField = nullptr;
    TFontChooser FFontChooser = ChooseFontWithColor;
    TFieldNameChooser FNameChooser = ChooseFieldObjectName;
};
