#pragma once

#include "merge/DatabaseDesignForm.h"
#include "merge/Restructure.h"

#include <QString>

#include <functional>

class QWidget;
class TTable;

// Designs a table's fields: creates the table when it does not exist yet, else restructures
// it (its records follow their fields through renames; see RestructureTable).
class TDatabaseDialog {
public:
    TTable* DataSet = nullptr;
    TFieldTypeSet AllowedFieldTypes;
    bool ConfirmDeletion = true;
    QString InitialDir;
    QString Name = QStringLiteral("DatabaseDialog");
    // Stands in for the design grid (tests): edits the rows, false when cancelled.
    std::function<bool(TDatabaseFieldTable& rows, const TFieldTypeSet& allowed)> AskDesign;

    // True when the table was created or modified. Errors of the table engine propagate; a
    // failed restructure leaves the table as it was, open as it was.
    bool Execute(QWidget* parent = nullptr);
};
