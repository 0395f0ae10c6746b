#include "app/QtMainDialogs.h"

#include "app/FileCommands.h"
#include "app/FillInForms.h"
#include "app/MainForm.h"
#include "document/Card.h"
#include "document/OpenTemp.h"
#include "document/Template.h"
#include "merge/DatabaseDialog.h"
#include "merge/RecordEditForm.h"
#include "platform/QtPrinter.h"
#include "print/PrintPublication.h"
#include "types/CardTypeForm.h"
#include "web/LinkForm.h"
#include "web/PageNameForm.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>

bool TMainWizardServices::HasTemplates(int documentType) {
    return FTemplates && FTemplates->CountForType(documentType) > 0;
}

TQtMainDialogs::TQtMainDialogs(TMainForm& main, TQtPrinter& printer)
    : FMain(main), FPrinter(printer) {}

QString TQtMainDialogs::DialogFolder() const {
    if (!FDialogFolder.isEmpty()) return FDialogFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QString TQtMainDialogs::RememberDialogFolder(const QString& fileName) {
    if (!fileName.isEmpty()) FDialogFolder = QFileInfo(fileName).absolutePath();
    return fileName;
}

QString TQtMainDialogs::SaveFileName(const QString& currentName) {
    return RememberDialogFolder(
        QFileDialog::getSaveFileName(&FMain, QStringLiteral("Save Document"),
                                     currentName.isEmpty() ? DialogFolder() : currentName,
                                     QStringLiteral("Documents (*.qdx *.QDX)")));
}

QString TQtMainDialogs::OpenFileName() {
    return RememberDialogFolder(
        QFileDialog::getOpenFileName(&FMain, QStringLiteral("Open Document"), DialogFolder(),
                                     QStringLiteral("Documents (*.qdx *.QDX)")));
}

bool TQtMainDialogs::TemplateDescription(QString& description) {
    // Asked again until it is not blank.
    QString text;
    do {
        bool ok = false;
        text = QInputDialog::getText(&FMain, QStringLiteral("Template Description"),
                                     QStringLiteral("Enter a description for the template:"),
                                     QLineEdit::Normal, description, &ok);
        if (!ok) return false;
    } while (text.trimmed().isEmpty());
    description = text;
    return true;
}

bool TQtMainDialogs::PageNumber(int current, int count, int& page) {
    bool ok = false;
    page = QInputDialog::getInt(&FMain, QStringLiteral("Go To Page"),
                                QStringLiteral("Page number to go to:"), current, 1, count, 1, &ok);
    return ok;
}

std::unique_ptr<TCard> TQtMainDialogs::NewCard(int initialType, bool& fromTemplate,
                                               int& chosenFormat) {
    TTemplateTable* templates = FMain.Templates();
    TCardTypeServices services;
    services.Templates = templates;
    services.InitialType = initialType;
    services.LoadTemplate = [this](const QString& path) { return FMain.Files().LoadFile(path); };
    services.ChooseTemplate = [this, templates](int type) {
        TOpenTemplateForm dialog(
            *templates, type, [this](const QString& path) { return FMain.Files().LoadFile(path); },
            &FMain);
        return dialog.Execute();
    };
    services.RunWizard = [this, templates](int type) -> TWizardRun {
        TMainWizardServices wizardServices(templates);
        TWizardForm wizard(type, wizardServices, false, &FMain);
        switch (wizard.Run()) {
        case TWizardForm::Created:
            return TWizardRun(wizard.TakeCard());
        case TWizardForm::UseTemplate:
            return TWizardRun::Template();
        case TWizardForm::Cancelled:
            break;
        }
        return TWizardRun();
    };
    TCardTypeForm dialog(services, &FMain);
    std::unique_ptr<TCard> card = dialog.Execute();
    fromTemplate = dialog.FromTemplate();
    chosenFormat = dialog.ChosenFormat();
    return card;
}

bool TQtMainDialogs::Print(int pageCount, TPrintRequest& request) {
    return RunPrintDialog(&FMain, FPrinter, pageCount, request);
}

bool TQtMainDialogs::PrintSetup() {
    return RunPageSetupDialog(&FMain, FPrinter);
}

bool TQtMainDialogs::TurnPaperOver() {
    return QMessageBox::question(&FMain, QStringLiteral("Confirm"), TurnOverQuestion(),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

bool TQtMainDialogs::FieldValue(const TFieldObject& field, QString& value) {
    return TFillInDataForm::Ask(field, value, &FMain);
}

bool TQtMainDialogs::FieldOrder(QList<TFieldObject*>& order) {
    return TFieldOrderForm::Ask(order, &FMain);
}

QString TQtMainDialogs::DatabaseFileName() {
    return RememberDialogFolder(QFileDialog::getOpenFileName(
        &FMain, QStringLiteral("Open Database Table"), DialogFolder(),
        QStringLiteral("Paradox and dBase files (*.db *.dbf);;Text files (*.txt *.csv)")));
}

QString TQtMainDialogs::NewDatabaseFileName() {
    return RememberDialogFolder(QFileDialog::getSaveFileName(
        &FMain, QStringLiteral("Create Database"), DialogFolder(),
        QStringLiteral("Paradox files (*.db);;dBase files (*.dbf);;Text file (*.txt)")));
}

bool TQtMainDialogs::TableDesign(TDatabaseFieldTable& rows, const TFieldTypeSet& allowed) {
    TDatabaseDesignForm form(rows, allowed, true, &FMain);
    if (form.exec() != QDialog::Accepted) return false;
    rows = form.Rows();
    return true;
}

void TQtMainDialogs::EditRecords(TTable& table, const std::function<bool()>& restructure) {
    TRecordEditForm form(table, &FMain);
    form.SetRestructure(restructure);
    form.exec();
}

QString TQtMainDialogs::CalendarFileName() {
    return RememberDialogFolder(QFileDialog::getSaveFileName(
        &FMain, QStringLiteral("Export to Calendar"),
        QDir(DialogFolder()).filePath(QStringLiteral("QDX events.ics")),
        QStringLiteral("Calendar files (*.ics)")));
}

QString TQtMainDialogs::WebSiteFolder() {
    return QFileDialog::getExistingDirectory(&FMain, QStringLiteral("Select Web Site Directory"),
                                             DialogFolder());
}

bool TQtMainDialogs::LinkProperties(int& linkType, QString& target, const TLinkPages& pages) {
    TLinkForm form(linkType, target, pages, &FMain);
    if (form.exec() != QDialog::Accepted) return false;
    linkType = form.ChosenType();
    target = form.ChosenTarget();
    return true;
}

bool TQtMainDialogs::PageNameProperties(TWebPageGenerator& generator,
                                        const QString& defaultTitle) {
    TPageNameForm form(generator, defaultTitle, &FMain);
    return form.exec() == QDialog::Accepted;
}

TSaveAnswer TQtMainDialogs::SaveChanges(const QString& question) {
    const auto answer =
        QMessageBox::question(&FMain, QStringLiteral("Confirm"), question,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return answer == QMessageBox::Yes  ? TSaveAnswer::Yes
           : answer == QMessageBox::No ? TSaveAnswer::No
                                       : TSaveAnswer::Cancel;
}
