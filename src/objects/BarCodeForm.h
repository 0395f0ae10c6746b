#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class TBarCodeObject;
class TRecordSource;

// "Bar Code Object Properties": type, typed data or a field of the recipient table, text
// under the bars and centring of a bar code. Selecting a type shows its sample data and a
// sample code; typed data that the type cannot encode gets the reason under the data field
// as it is typed. Object names: TypeList, SampleLabel, SamplePicture, DataLabel, DataEdit,
// DataProblemLabel, UseDatabaseFieldCheck, FieldLabel, FieldList, ShowTextCheck,
// CenterHorizontallyCheck, CenterVerticallyCheck, DefaultCheck.
class TBarCodeForm : public QDialog {
    Q_OBJECT
public:
    explicit TBarCodeForm(QWidget* parent = nullptr);

    // The controls from the code; the field list from the recipient table of its document
    // (or of the active one).
    void Fill(const TBarCodeObject& code);
    // The field list from an open table; "&Use Database Field" needs one.
    void SetDataSource(const TRecordSource* source);
    // What OK does: the values go into the code (and "Default Bar Code" when "Default" is
    // checked), then the code is aligned, repainted and its document modified.
    void ApplyTo(TBarCodeObject& code) const;
    // Shows the dialog for the code; true when confirmed.
    static bool Run(TBarCodeObject& code, QWidget* parent = nullptr);

    int BarCodeType() const;
    void SetBarCodeType(int type); // as a click on the list would
    bool UseDatabaseField() const;
    // The selected field name with a database field, else the typed data.
    QString CodeData() const;

private:
    void ShowSample();
    void ShowDataProblem();
    // A field or typed data, never both: the check decides which control is live.
    void ApplyDataRule();

    QListWidget* FTypes;
    QLabel* FSampleLabel;
    QLabel* FSamplePicture;
    QLabel* FDataLabel;
    QLineEdit* FData;
    QLabel* FDataProblem;
    QCheckBox* FUseDatabaseField;
    QLabel* FFieldLabel;
    QComboBox* FFields;
    QCheckBox* FShowText;
    QCheckBox* FCenterHorizontally;
    QCheckBox* FCenterVertically;
    QCheckBox* FDefault;
    bool FHasDataSource = false;
};

// Registers the bar code's properties dialog with the document model; the user interface
// calls it once at start-up.
void RegisterBarCodeDialog();
