#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class TCard;
class TDatabaseFieldTable;
class TFieldObject;
class TFieldTypeSet;
class TTable;
class TWebPageGenerator;
struct TLinkPages;
struct TPrintRequest;

// Answers of the question before a changed document's window closes.
enum class TSaveAnswer { Yes, No, Cancel };

// The questions the main window's commands put to the user. The program answers them with
// its dialogs; tests answer them from a script. Every question may be cancelled.
class TMainDialogs {
public:
    virtual ~TMainDialogs() = default;

    // The file to save a document as (currentName empty for an untitled one); empty: cancel.
    virtual QString SaveFileName(const QString& currentName) = 0;
    virtual QString OpenFileName() = 0;
    // A template's description, starting from the document's; false when cancelled.
    virtual bool TemplateDescription(QString& description) = 0;
    // A page number from 1 to count; false when cancelled.
    virtual bool PageNumber(int current, int count, int& page) = 0;
    // The document New makes (null when cancelled), whether it came from a template and the
    // card format chosen (-1: none). initialType: the document type chosen first (-1: the
    // first).
    virtual std::unique_ptr<TCard> NewCard(int initialType, bool& fromTemplate,
                                           int& chosenFormat) = 0;
    // The print dialog (printer, copies, page range) and the page setup dialog.
    virtual bool Print(int pageCount, TPrintRequest& request) = 0;
    virtual bool PrintSetup() = 0;
    // Before the back of the paper is printed.
    virtual bool TurnPaperOver() = 0;
    virtual bool FieldValue(const TFieldObject& field, QString& value) = 0;
    // The input order of a page's fields, rearranged in place.
    virtual bool FieldOrder(QList<TFieldObject*>& order) = 0;
    // The table to connect to and the name of a new table; empty: cancel.
    virtual QString DatabaseFileName() = 0;
    virtual QString NewDatabaseFileName() = 0;
    // The design grid of a table's fields; false when cancelled.
    virtual bool TableDesign(TDatabaseFieldTable& rows, const TFieldTypeSet& allowed) = 0;
    // The record grid; restructure redesigns the table (true when it changed).
    virtual void EditRecords(TTable& table, const std::function<bool()>& restructure) = 0;
    // Where the events are exported to; empty: cancel.
    virtual QString CalendarFileName() = 0;
    // Whether to save a changed document before its window closes.
    virtual TSaveAnswer SaveChanges(const QString& question) = 0;
    // The folder a web site is published into ("Select Web Site Directory"); empty: cancel.
    virtual QString WebSiteFolder() = 0;
    // An object's web link, edited in place; pages: where the object is among the web pages.
    virtual bool LinkProperties(int& linkType, QString& target, const TLinkPages& pages) = 0;
    // The web pages' names and title, kept in the generator on OK.
    virtual bool PageNameProperties(TWebPageGenerator& generator, const QString& defaultTitle) = 0;
};
