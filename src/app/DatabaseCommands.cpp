#include "app/DatabaseCommands.h"

#include "app/MainForm.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/MainDialogs.h"
#include "editor/CardWin.h"
#include "editor/DocumentEditor.h"
#include "merge/DatabaseDialog.h"
#include "merge/Table.h"

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

// The table design grid of the main window's dialogs.
void AskDesignOf(TDatabaseDialog& dialog, TMainDialogs& dialogs) {
    dialog.AskDesign = [&dialogs](TDatabaseFieldTable& rows, const TFieldTypeSet& allowed) {
        return dialogs.TableDesign(rows, allowed);
    };
}

} // namespace

TCard* TDatabaseCommands::Document(bool connected) const {
    TCard* card = FMain.ActiveDocument();
    return card && card->DataSourceName.isEmpty() != connected ? card : nullptr;
}

void TDatabaseCommands::RecordMoved(TCard& card) {
    card.RefreshRecordObjects();
    for (TCardForm* form : FMain.Editors())
        if (form->HasDocument() && &form->Card() == &card) form->RefreshSurface();
    FMain.UpdateActions();
}

void TDatabaseCommands::Connect() {
    TCard* card = Document(false);
    if (!card) return;
    const QString fileName = FMain.Dialogs().DatabaseFileName();
    if (fileName.isEmpty()) return;
    if (!IsTableFile(fileName)) {
        FMain.Messages().Error(QStringLiteral("File type not supported."));
        return;
    }
    {
        TDocumentChange change(FMain.ActiveEditor()->Editor(), QStringLiteral("Connect Database"),
                               TChangeScope::Card);
        card->SetDataSource(QFileInfo(fileName).absoluteFilePath());
    }
    RecordMoved(*card);
}

void TDatabaseCommands::ConnectAddressBook() {
    TCard* card = Document(false);
    if (!card) return;
    {
        TDocumentChange change(FMain.ActiveEditor()->Editor(),
                               QStringLiteral("Connect Address Book"), TChangeScope::Card);
        card->SetDataSource(TCard::AddressBookTableName);
    }
    RecordMoved(*card);
}

void TDatabaseCommands::Disconnect() {
    TCard* card = FMain.ActiveDocument();
    if (!card) return;
    {
        TDocumentChange change(FMain.ActiveEditor()->Editor(),
                               QStringLiteral("Disconnect Database"), TChangeScope::Card);
        card->SetDataSource(QString());
    }
    RecordMoved(*card);
}

void TDatabaseCommands::Create() {
    TCard* card = Document(false);
    if (!card) return;
    QString fileName = FMain.Dialogs().NewDatabaseFileName();
    if (fileName.isEmpty()) return;
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".db");
    if (!IsTableFile(fileName)) {
        FMain.Messages().Error(QStringLiteral("File type not supported."));
        return;
    }
    TDocumentChange change(FMain.ActiveEditor()->Editor(), QStringLiteral("Create Database"),
                           TChangeScope::Card);
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
        AskDesignOf(dialog, FMain.Dialogs());
        created = dialog.Execute(&FMain);
        if (created) table->Open();
    } catch (const std::exception& e) {
        card->SetDataSource(QString());
        RecordMoved(*card);
        FMain.Messages().Error(Sentence(e.what()));
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

bool TDatabaseCommands::Restructure(TCard& card) {
    TTable* table = TableOf(card);
    if (!table) return false;
    TDatabaseDialog dialog;
    dialog.DataSet = table;
    dialog.AllowedFieldTypes.SetBits(TFieldTypeSet::CreateCommand);
    dialog.InitialDir = table->Folder();
    AskDesignOf(dialog, FMain.Dialogs());
    bool changed = false;
    try {
        changed = dialog.Execute(&FMain);
    } catch (const std::exception& e) {
        // The table is as it was; the message says why the new design was not applied.
        card.BindDatabaseTexts();
        RecordMoved(card);
        FMain.Messages().Error(Sentence(e.what()));
        return false;
    }
    if (changed) {
        card.BindDatabaseTexts();
        RecordMoved(card);
    }
    return changed;
}

void TDatabaseCommands::Edit() {
    TCard* card = Document(true);
    if (!card) return;
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
        FMain.Messages().Error(DataSourceErrorText(card->DataSourceName, reason));
        return;
    }
    if (!card->RefreshDataTable()) {
        RecordMoved(*card);
        return;
    }
    FMain.Dialogs().EditRecords(*table, [this, card] { return Restructure(*card); });
    RecordMoved(*card);
}

void TDatabaseCommands::Move(TMove move) {
    TCard* card = FMain.ActiveDocument();
    if (!card || !card->DataTable() || !card->DataTable()->IsOpen()) return;
    // A table changed by another program shows its new contents; one that vanished is
    // reported once and closed.
    if (card->RefreshDataTable()) {
        TRecordSource& table = *card->DataTable();
        switch (move) {
        case TMove::First: table.First(); break;
        case TMove::Prior: table.Prior(); break;
        case TMove::Next: table.Next(); break;
        case TMove::Last: table.Last(); break;
        }
    }
    RecordMoved(*card);
}

void TDatabaseCommands::First() {
    Move(TMove::First);
}
void TDatabaseCommands::Prior() {
    Move(TMove::Prior);
}
void TDatabaseCommands::Next() {
    Move(TMove::Next);
}
void TDatabaseCommands::Last() {
    Move(TMove::Last);
}
