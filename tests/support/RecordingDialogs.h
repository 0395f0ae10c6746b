#pragma once

#include "document/Card.h"
#include "document/MainDialogs.h"

#include <QStringList>

#include <functional>
#include <memory>

// The main window's questions answered from a script. Every question is recorded by name;
// one the script does not answer goes to Fallback (the program's dialogs, say), or is
// cancelled when there is none.
class TRecordingDialogs : public TMainDialogs {
public:
    QStringList Asked;
    TMainDialogs* Fallback = nullptr;
    int NewCardType = -2; // the initial type New asked with (-2: not asked)

    std::function<QString(const QString& currentName)> AnswerSaveFileName;
    std::function<QString()> AnswerOpenFileName;
    std::function<QString(bool& ok)> AnswerTemplateDescription;
    std::function<int(int current, int count, bool& ok)> AnswerPageNumber;
    std::function<std::unique_ptr<TCard>(bool& fromTemplate, int& chosenFormat)> AnswerNewCard;
    std::function<bool(int pageCount, TPrintRequest& request)> AnswerPrint;
    std::function<bool()> AnswerPrintSetup;
    std::function<bool()> AnswerTurnPaperOver;
    std::function<bool(const TFieldObject& field, QString& value)> AnswerFieldValue;
    std::function<bool(QList<TFieldObject*>& order)> AnswerFieldOrder;
    std::function<QString()> AnswerDatabaseFileName;
    std::function<QString()> AnswerNewDatabaseFileName;
    std::function<bool(TDatabaseFieldTable& rows, const TFieldTypeSet& allowed)> AnswerTableDesign;
    std::function<void(TTable& table, const std::function<bool()>& restructure)> AnswerEditRecords;
    std::function<QString()> AnswerCalendarFileName;
    std::function<TSaveAnswer(const QString& question)> AnswerSaveChanges;
    std::function<QString()> AnswerWebSiteFolder;
    std::function<bool(int& linkType, QString& target, const TLinkPages& pages)> AnswerLinkProperties;
    std::function<bool(TWebPageGenerator& generator, const QString& defaultTitle)>
        AnswerPageNameProperties;

    QString SaveFileName(const QString& currentName) override {
        Asked << QStringLiteral("SaveFileName");
        if (AnswerSaveFileName) return AnswerSaveFileName(currentName);
        return Fallback ? Fallback->SaveFileName(currentName) : QString();
    }
    QString OpenFileName() override {
        Asked << QStringLiteral("OpenFileName");
        if (AnswerOpenFileName) return AnswerOpenFileName();
        return Fallback ? Fallback->OpenFileName() : QString();
    }
    bool TemplateDescription(QString& description) override {
        Asked << QStringLiteral("TemplateDescription");
        if (!AnswerTemplateDescription)
            return Fallback && Fallback->TemplateDescription(description);
        bool ok = false;
        const QString answer = AnswerTemplateDescription(ok);
        if (ok) description = answer;
        return ok;
    }
    bool PageNumber(int current, int count, int& page) override {
        Asked << QStringLiteral("PageNumber");
        if (!AnswerPageNumber) return Fallback && Fallback->PageNumber(current, count, page);
        bool ok = false;
        page = AnswerPageNumber(current, count, ok);
        return ok;
    }
    std::unique_ptr<TCard> NewCard(int initialType, bool& fromTemplate,
                                   int& chosenFormat) override {
        Asked << QStringLiteral("NewCard");
        NewCardType = initialType;
        if (AnswerNewCard) return AnswerNewCard(fromTemplate, chosenFormat);
        return Fallback ? Fallback->NewCard(initialType, fromTemplate, chosenFormat) : nullptr;
    }
    bool Print(int pageCount, TPrintRequest& request) override {
        Asked << QStringLiteral("Print");
        if (AnswerPrint) return AnswerPrint(pageCount, request);
        return Fallback && Fallback->Print(pageCount, request);
    }
    bool PrintSetup() override {
        Asked << QStringLiteral("PrintSetup");
        if (AnswerPrintSetup) return AnswerPrintSetup();
        return Fallback && Fallback->PrintSetup();
    }
    bool TurnPaperOver() override {
        Asked << QStringLiteral("TurnPaperOver");
        if (AnswerTurnPaperOver) return AnswerTurnPaperOver();
        return Fallback && Fallback->TurnPaperOver();
    }
    bool FieldValue(const TFieldObject& field, QString& value) override {
        Asked << QStringLiteral("FieldValue");
        if (AnswerFieldValue) return AnswerFieldValue(field, value);
        return Fallback && Fallback->FieldValue(field, value);
    }
    bool FieldOrder(QList<TFieldObject*>& order) override {
        Asked << QStringLiteral("FieldOrder");
        if (AnswerFieldOrder) return AnswerFieldOrder(order);
        return Fallback && Fallback->FieldOrder(order);
    }
    QString DatabaseFileName() override {
        Asked << QStringLiteral("DatabaseFileName");
        if (AnswerDatabaseFileName) return AnswerDatabaseFileName();
        return Fallback ? Fallback->DatabaseFileName() : QString();
    }
    QString NewDatabaseFileName() override {
        Asked << QStringLiteral("NewDatabaseFileName");
        if (AnswerNewDatabaseFileName) return AnswerNewDatabaseFileName();
        return Fallback ? Fallback->NewDatabaseFileName() : QString();
    }
    bool TableDesign(TDatabaseFieldTable& rows, const TFieldTypeSet& allowed) override {
        Asked << QStringLiteral("TableDesign");
        if (AnswerTableDesign) return AnswerTableDesign(rows, allowed);
        return Fallback && Fallback->TableDesign(rows, allowed);
    }
    void EditRecords(TTable& table, const std::function<bool()>& restructure) override {
        Asked << QStringLiteral("EditRecords");
        if (AnswerEditRecords)
            AnswerEditRecords(table, restructure);
        else if (Fallback)
            Fallback->EditRecords(table, restructure);
    }
    QString CalendarFileName() override {
        Asked << QStringLiteral("CalendarFileName");
        if (AnswerCalendarFileName) return AnswerCalendarFileName();
        return Fallback ? Fallback->CalendarFileName() : QString();
    }
    TSaveAnswer SaveChanges(const QString& question) override {
        Asked << QStringLiteral("SaveChanges");
        if (AnswerSaveChanges) return AnswerSaveChanges(question);
        return Fallback ? Fallback->SaveChanges(question) : TSaveAnswer::Cancel;
    }
    QString WebSiteFolder() override {
        Asked << QStringLiteral("WebSiteFolder");
        if (AnswerWebSiteFolder) return AnswerWebSiteFolder();
        return Fallback ? Fallback->WebSiteFolder() : QString();
    }
    bool LinkProperties(int& linkType, QString& target, const TLinkPages& pages) override {
        Asked << QStringLiteral("LinkProperties");
        if (AnswerLinkProperties) return AnswerLinkProperties(linkType, target, pages);
        return Fallback && Fallback->LinkProperties(linkType, target, pages);
    }
    bool PageNameProperties(TWebPageGenerator& generator, const QString& defaultTitle) override {
        Asked << QStringLiteral("PageNameProperties");
        if (AnswerPageNameProperties) return AnswerPageNameProperties(generator, defaultTitle);
        return Fallback && Fallback->PageNameProperties(generator, defaultTitle);
    }
};
