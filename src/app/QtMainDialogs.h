#pragma once

#include "document/MainDialogs.h"
#include "types/WizardForm.h"

class TMainForm;
class TQtPrinter;
class TTemplateTable;

// The wizard's "Use Template..." buttons are live when the template index has the type.
class TMainWizardServices : public TWizardServices {
public:
    explicit TMainWizardServices(TTemplateTable* templates) : FTemplates(templates) {}
    bool HasTemplates(int documentType) override;

private:
    TTemplateTable* FTemplates;
};

// The main window's questions as the program's dialogs, over the main window. The file
// dialogs open in the folder of the last file chosen in one, else in the documents folder.
class TQtMainDialogs : public TMainDialogs {
public:
    TQtMainDialogs(TMainForm& main, TQtPrinter& printer);

    QString SaveFileName(const QString& currentName) override;
    QString OpenFileName() override;
    bool TemplateDescription(QString& description) override;
    bool PageNumber(int current, int count, int& page) override;
    std::unique_ptr<TCard> NewCard(int initialType, bool& fromTemplate, int& chosenFormat) override;
    bool Print(int pageCount, TPrintRequest& request) override;
    bool PrintSetup() override;
    bool TurnPaperOver() override;
    bool FieldValue(const TFieldObject& field, QString& value) override;
    bool FieldOrder(QList<TFieldObject*>& order) override;
    QString DatabaseFileName() override;
    QString NewDatabaseFileName() override;
    bool TableDesign(TDatabaseFieldTable& rows, const TFieldTypeSet& allowed) override;
    void EditRecords(TTable& table, const std::function<bool()>& restructure) override;
    QString CalendarFileName() override;
    QString WebSiteFolder() override;
    bool LinkProperties(int& linkType, QString& target, const TLinkPages& pages) override;
    bool PageNameProperties(TWebPageGenerator& generator, const QString& defaultTitle) override;
    TSaveAnswer SaveChanges(const QString& question) override;

private:
    QString DialogFolder() const;
    QString RememberDialogFolder(const QString& fileName);

    TMainForm& FMain;
    TQtPrinter& FPrinter;
    QString FDialogFolder;
};
