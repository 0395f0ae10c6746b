#include "merge/DatabaseDialog.h"

#include "document/AppContext.h"
#include "merge/Table.h"

bool TDatabaseDialog::Execute(QWidget* parent) {
    TMessageSink& messages = AppContext().Messages();
    if (!DataSet) {
        messages.Error(QStringLiteral("You must assign a value to the DataSet property."));
        return false;
    }
    if (DataSet->TableName().isEmpty()) {
        messages.Error(QStringLiteral("You must set the value of the DataSet property in the "
                                      "TDatabaseDialog component named '%1'.")
                           .arg(Name));
        return false;
    }
    const bool exists = DataSet->Exists();
    const bool wasOpen = DataSet->IsOpen();
    const int record = DataSet->RecordNumber();
    TDatabaseFieldTable rows;
    if (exists) {
        if (!wasOpen) DataSet->Open();
        rows = TDatabaseFieldTable::FromFieldDefs(DataSet->FieldDefs());
        if (!wasOpen) DataSet->Close();
    }
    bool confirmed;
    if (AskDesign) {
        confirmed = AskDesign(rows, AllowedFieldTypes);
        if (confirmed) rows.Validate();
    } else {
        TDatabaseDesignForm form(rows, AllowedFieldTypes, ConfirmDeletion, parent);
        confirmed = form.exec() == QDialog::Accepted;
        if (confirmed) rows = form.Rows();
    }
    if (!confirmed) return false;
    if (!exists) {
        DataSet->Create(rows.ToFieldDefs());
        if (wasOpen) DataSet->Open();
        return true;
    }
    // Restructuring replaces the file: nobody else may have the table open meanwhile.
    const bool wasExclusive = DataSet->Exclusive();
    auto reopen = [&] {
        DataSet->Close();
        DataSet->SetExclusive(wasExclusive);
        if (wasOpen) {
            DataSet->Open();
            DataSet->MoveTo(record);
        }
    };
    try {
        DataSet->Close();
        DataSet->SetExclusive(true);
        DataSet->Open();
        RestructureTable(*DataSet, rows);
    } catch (...) {
        try {
            reopen();
        } catch (...) {
        }
        throw;
    }
    reopen();
    return true;
}
