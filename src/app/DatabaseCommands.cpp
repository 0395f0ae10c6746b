// The Database menu: connecting the active document to a recipient table or the address book,
// designing and editing the table, and moving through its records.

#include "app/MainForm.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "editor/CardWin.h"
#include "merge/DatabaseDialog.h"
#include "merge/RecordEditForm.h"
#include "merge/Table.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

// Paradox, dBase and text tables; comma-separated files are text tables too.
bool IsTableFile(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toUpper();
    return suffix == QLatin1String("DB") || suffix == QLatin1String("DBF") ||
           suffix == QLatin1String("TXT") || suffix == QLatin1String("CSV");
}

// An engine message as a sentence: some already end with a full stop.
QString Sentence(const char* what) {
    QString text = QString::fromUtf8(what);
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text;
}

TTable* TableOf(TCard& card) {
    return dynamic_cast<TTable*>(card.DataTable());
}

// While it lives, SetDataSource names the table without opening it: it does not exist yet.
struct TCreatingDatabase {
    TCreatingDatabase() { AppContext().CreatingDatabase = true; }
    ~TCreatingDatabase() { AppContext().CreatingDatabase = false; }
};

} // namespace

void TMainForm::RecordMoved(TCard& card) {
    card.RefreshRecordObjects();
    for (TCardForm* form : Editors())
        if (form->HasDocument() && &form->Card() == &card) form->RefreshSurface();
    UpdateActions();
}

void TMainForm::ADatabaseConnectExecute() {
    TCard* card = ActiveDocument();
    if (!card || !card->DataSourceName.isEmpty()) return;
    const QString fileName =
        AskDatabaseFileName
            ? AskDatabaseFileName()
            : RememberDialogFolder(QFileDialog::getOpenFileName(
                  this, QStringLiteral("Open Database Table"), DialogFolder(),
                  QStringLiteral("Paradox and dBase files (*.db *.dbf);;"
                                 "Text files (*.txt *.csv)")));
    if (fileName.isEmpty()) return;
    if (!IsTableFile(fileName)) {
        FSink->Error(QStringLiteral("File type not supported."));
        return;
    }
    card->SetDataSource(QFileInfo(fileName).absoluteFilePath());
    RecordMoved(*card);
}

void TMainForm::ADatabaseConnectAddressBookExecute() {
    TCard* card = ActiveDocument();
    if (!card || !card->DataSourceName.isEmpty()) return;
    card->SetDataSource(TCard::AddressBookTableName);
    RecordMoved(*card);
}

void TMainForm::ADatabaseDisconnectExecute() {
    TCard* card = ActiveDocument();
    if (!card) return;
    card->SetDataSource(QString());
    RecordMoved(*card);
}

void TMainForm::ADatabaseCreateExecute() {
    TCard* card = ActiveDocument();
    if (!card || !card->DataSourceName.isEmpty()) return;
    QString fileName =
        AskNewDatabaseFileName
            ? AskNewDatabaseFileName()
            : RememberDialogFolder(QFileDialog::getSaveFileName(
                  this, QStringLiteral("Create Database"), DialogFolder(),
                  QStringLiteral("Paradox files (*.db);;dBase files (*.dbf);;Text file (*.txt)")));
    if (fileName.isEmpty()) return;
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".db");
    if (!IsTableFile(fileName)) {
        FSink->Error(QStringLiteral("File type not supported."));
        return;
    }
    const QFileInfo file(fileName);
    {
        TCreatingDatabase creating;
        card->SetDataSource(file.absoluteFilePath());
    }
    TTable* table = TableOf(*card);
    bool created = false;
    try {
        if (!table) throw EFileTypeNotSupported();
        table->SetTable(file.absolutePath(), file.fileName());
        TDatabaseDialog dialog;
        dialog.DataSet = table;
        dialog.AllowedFieldTypes.SetBits(TFieldTypeSet::CreateCommand);
        dialog.InitialDir = file.absolutePath();
        dialog.AskDesign = AskTableDesign;
        created = dialog.Execute(this);
        if (created) table->Open();
    } catch (const std::exception& e) {
        card->SetDataSource(QString());
        RecordMoved(*card);
        FSink->Error(Sentence(e.what()));
        return;
    }
    if (!created) {
        // Nothing was made: the document stays without a table.
        card->SetDataSource(QString());
    } else {
        card->BindDatabaseTexts();
        card->RecordSourceChanged();
    }
    RecordMoved(*card);
}

bool TMainForm::RestructureDatabase(TCard& card) {
    TTable* table = TableOf(card);
    if (!table) return false;
    TDatabaseDialog dialog;
    dialog.DataSet = table;
    dialog.AllowedFieldTypes.SetBits(TFieldTypeSet::CreateCommand);
    dialog.InitialDir = table->Folder();
    dialog.AskDesign = AskTableDesign;
    bool changed = false;
    try {
        changed = dialog.Execute(this);
    } catch (const std::exception& e) {
        // The table is as it was; the message says why the new design was not applied.
        card.BindDatabaseTexts();
        RecordMoved(card);
        FSink->Error(Sentence(e.what()));
        return false;
    }
    if (changed) {
        card.BindDatabaseTexts();
        RecordMoved(card);
    }
    return changed;
}

void TMainForm::ADatabaseEditExecute() {
    TCard* card = ActiveDocument();
    if (!card || card->DataSourceName.isEmpty()) return;
    if (card->AddressBookSource) {
        // The address table is a copy, rewritten from the address book whenever it changes:
        // the address book is edited in its own application and the copy follows.
        if (TAddressBookLink* link = card->AddressBook()) link->OpenInApplication();
        return;
    }
    TTable* table = TableOf(*card);
    QString reason;
    if (table && !table->IsOpen() && !table->TableName().isEmpty()) {
        // The table could not be opened before; it may be back (asked for, so said again).
        try {
            table->Open();
            card->BindDatabaseTexts();
        } catch (const std::exception& e) {
            reason = QString::fromUtf8(e.what());
        }
    }
    if (!table || !table->IsOpen()) {
        FSink->Error(DataSourceErrorText(card->DataSourceName, reason));
        return;
    }
    if (!card->RefreshDataTable()) {
        RecordMoved(*card);
        return;
    }
    const std::function<bool()> restructure = [this, card] { return RestructureDatabase(*card); };
    if (AskEditRecords) {
        AskEditRecords(*table, restructure);
    } else {
        TRecordEditForm form(*table, this);
        form.SetRestructure(restructure);
        form.exec();
    }
    RecordMoved(*card);
}

void TMainForm::MoveRecord(TRecordMove move) {
    TCard* card = ActiveDocument();
    if (!card || !card->DataTable() || !card->DataTable()->IsOpen()) return;
    // A table changed by another program shows its new contents; one that vanished is
    // reported once and closed.
    if (card->RefreshDataTable()) {
        TRecordSource& table = *card->DataTable();
        switch (move) {
        case TRecordMove::First: table.First(); break;
        case TRecordMove::Prior: table.Prior(); break;
        case TRecordMove::Next: table.Next(); break;
        case TRecordMove::Last: table.Last(); break;
        }
    }
    RecordMoved(*card);
}

void TMainForm::ADatabaseFirstExecute() { MoveRecord(TRecordMove::First); }
void TMainForm::ADatabasePriorExecute() { MoveRecord(TRecordMove::Prior); }
void TMainForm::ADatabaseNextExecute() { MoveRecord(TRecordMove::Next); }
void TMainForm::ADatabaseLastExecute() { MoveRecord(TRecordMove::Last); }
