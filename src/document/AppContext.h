#pragma once

#include "document/Messages.h"
#include "document/RecordSource.h"
#include "document/Settings.h"
#include "document/Shell.h"
#include "types/CardType.h"

#include <functional>
#include <memory>
#include <vector>

class TCard;
class TControlSurface;

// State the main window keeps and the document model reads: screen density, measuring
// system, grid, folders, the open documents, the defaults of new objects (settings), the
// message boxes and the other services of the user interface. The main window owns the
// program's context; tests and batch commands install their own with TAppContextScope.
class TAppContext {
public:
    TAppContext();
    ~TAppContext();
    TAppContext(const TAppContext&) = delete;
    TAppContext& operator=(const TAppContext&) = delete;

    int ScreenPixelsPerInch = 96;
    bool Metric = false; // centimetres and A4 instead of inches and Letter

    int GridSpacing = 10; // logical pixels
    bool ShowGrid = false;
    bool SnapToGrid = false;
    bool ShowFieldAreas = true;

    QString ProgramFolder; // shipped, read-only data
    QString UserFolder;    // what the program writes
    QString TemplateFolder;
    QString TexturesFolder;

    // The documents of the open editing windows, in window order, and the active one.
    std::vector<TCard*> OpenCards;
    TCard* ActiveCard = nullptr;
    // The surface new controls are placed on (the active editing window's), else the spare
    // one (hidden); none when there is no user interface. Not owned.
    TControlSurface* ActiveControlSurface = nullptr;
    TControlSurface* SpareControlSurface = nullptr;

    // While a database is being created for the active document its table is not opened.
    bool CreatingDatabase = false;

    // The current printer's unprintable margins (1/100 inch) for a paper orientation.
    std::function<TPrinterMargins(bool portrait)> PrinterMargins;
    std::function<std::unique_ptr<TRecordSource>()> RecordSourceFactory;
    // Makes the address table (folder, table name) and watches the address book; changed runs
    // after each rewrite. Empty when no address book support is installed.
    std::function<std::unique_ptr<TAddressBookLink>(const QString& folder, const QString& table,
                                                    std::function<void()> changed)>
        AddressBookFactory;

    TSettingsStore& Settings() const { return *FSettings; }
    TMessageSink& Messages() const { return *FMessages; }
    TShell& Shell() const { return *FShell; }
    void SetSettings(TSettingsStore* settings); // not owned; null restores the in-memory store
    void SetMessages(TMessageSink* messages);   // not owned; null restores stderr
    void SetShell(TShell* shell);               // not owned; null restores the no-op shell

    void AddOpenCard(TCard* card);
    void RemoveOpenCard(TCard* card);

    // Metric unless the locale says otherwise; QDX_MEASURE=metric|inch overrides.
    static bool MetricFromEnvironment();

private:
    std::unique_ptr<TSettingsStore> FOwnSettings;
    std::unique_ptr<TMessageSink> FOwnMessages;
    std::unique_ptr<TShell> FOwnShell;
    TSettingsStore* FSettings;
    TMessageSink* FMessages;
    TShell* FShell;
};

// The installed context (a default one when none is installed).
TAppContext& AppContext();

// Installs a context for its lifetime, restoring the previous one afterwards.
class TAppContextScope {
public:
    explicit TAppContextScope(TAppContext& context);
    ~TAppContextScope();
    TAppContextScope(const TAppContextScope&) = delete;
    TAppContextScope& operator=(const TAppContextScope&) = delete;

private:
    TAppContext* FPrevious;
};
