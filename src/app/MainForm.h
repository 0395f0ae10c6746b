#pragma once

#include "document/IniFile.h"
#include "app/ActionRules.h"
#include "app/LastUsed.h"

#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QButtonGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStackedWidget;
class QToolBar;
class TAutoSave;
struct TActionRow;
enum class TToolBarId;
class TCard;
class TFieldObject;
class TCardForm;
class TEventTable;
class TMainShell;
class TMessageBoxes;
class TMessageSink;
class TPrinter;
class TQtPrinter;
class TTemplateTable;
class TDesktopUrlOpener;
class TUrlOpener;
class TDatabaseFieldTable;
class TFieldTypeSet;
class TTable;
struct TPrintRequest;

// The program's frame window: menus, tool bars and status line, the editing windows, and the
// state they share (tool, grid, clipboard, defaults of new objects, the template index and
// the event calendar). It starts and ends the program and runs every command.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int MaxWindows = 100;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Message boxes go here instead of on the screen (tests); null restores the boxes.
    void UseMessages(TMessageSink* sink);
    TMessageSink& Messages() const { return *FSink; }

    // Start-up after construction; false when the program cannot run (the reason was shown).
    bool Start();
    // Opens the documents named on the command line, then lists due events.
    void OpenArguments(const QStringList& arguments);

    TCardForm* ActiveEditor() const;
    TCard* ActiveDocument() const;
    int CurrentPageIndex() const;
    QList<TCardForm*> Editors() const;
    QAction* Action(const QString& name) const { return FActions.value(name, nullptr); }
    TIniFile& Settings() { return FSettings; }
    TLastUsed& LastUsed() { return *FLastUsed; }
    TTemplateTable* Templates() const { return FTemplates.get(); }
    TEventTable* Events() const { return FEvents.get(); }
    QImage Preview() const { return FPreview; }
    void SetPreview(const QImage& preview) { FPreview = preview; }
    int AutoSaveMinutes() const;
    TAutoSave& AutoSave() const { return *FAutoSave; }
    QTimer& AutoSaveTimer();
    QString StatusView() const;
    QString StatusHint() const;

    // Every action of the frame, in menu order.
    static const std::vector<TActionRow>& ActionRows();
    // The active window and its selection as the enabling rules see them.
    TActionSnapshot Snapshot() const;

    void SetTool(int tool);
    void UpdateActions();
    void RepaintAllEditors();
    void UpdateGridSpacing();
    void SetGridSize(int index);
    void SetAutoSave(int minutes);
    void GoToPage(int index);
    void BeginBusy();
    void EndBusy();
    // Nested suppression of drawing, one window at a time: freezing another window holds the
    // current one until the other is unfrozen.
    void FreezeWindow(QWidget* window);
    void UnfreezeWindow();
    // Every frozen window draws again (after a command failed).
    void ResumeDrawing();

    // Opens a document into a new editing window; null after "Error opening the file %s.".
    TCardForm* OpenFile(const QString& path);
    // Loads a document without a window (the template chooser).
    std::unique_ptr<TCard> LoadFile(const QString& path);
    // A new editing window for a card that was just made (New).
    TCardForm* AddEditor(std::unique_ptr<TCard> card, bool fromTemplate);
    bool WriteDocument(TCardForm& form, const QString& path, bool withPreview);
    bool Save(TCardForm& form, bool byUser);
    bool SaveAs(TCardForm& form);
    void AutoSaveTick();

    // Dialog stand-ins: tests replace them so that no modal dialog blocks.
    std::function<QString(const QString& currentName)> AskSaveFileName;
    std::function<QString()> AskOpenFileName;
    std::function<QString(bool& ok)> AskTemplateDescription;
    std::function<int(int current, int count, bool& ok)> AskPageNumber;
    std::function<std::unique_ptr<TCard>(bool& fromTemplate, int& chosenFormat)> AskNewCard;
    // The print dialog (printer, copies, page range), the page setup dialog and the question
    // before the back of the paper; false when cancelled.
    std::function<bool(int pageCount, TPrintRequest& request)> AskPrint;
    std::function<bool()> AskPrintSetup;
    std::function<bool()> AskTurnPaperOver;

    // The program's printer; tests put another in its place (null restores it).
    TPrinter& Printer() const { return *FPrinter; }
    void UsePrinter(TPrinter* printer);
    // What opens the guide and the targets of the extra menu items; tests put another in its
    // place (null restores the desktop's).
    void UseUrlOpener(TUrlOpener* opener);
    // From the print dialog until the last page has gone to the printer.
    bool IsPrinting() const;
    // Every open document takes the margins of the printer now chosen.
    void PrinterChanged();
    std::function<bool(const TFieldObject& field, QString& value)> AskFieldValue;
    std::function<bool(QList<TFieldObject*>& order)> AskFieldOrder;
    // The database commands' dialogs: the table to connect to, the name of a new table, the
    // table design grid (false when cancelled) and the record grid.
    std::function<QString()> AskDatabaseFileName;
    std::function<QString()> AskNewDatabaseFileName;
    std::function<bool(TDatabaseFieldTable& rows, const TFieldTypeSet& allowed)> AskTableDesign;
    std::function<void(TTable& table, const std::function<bool()>& restructure)> AskEditRecords;

    // Command handlers.
    // initialType: the document type the Card Type dialog selects first (-1: its first).
    void ANewExecute(int initialType = -1);
    void AOpenExecute();
    void ACloseExecute();
    void ASaveExecute();
    void ASaveAsExecute();
    void ASaveAsTemplateExecute();
    void AInsertNewPageExecute();
    void AAppendNewPageExecute();
    void ADeleteCurrentPageExecute();
    void APreviousPageExecute();
    void ANextPageExecute();
    void AGoToPageExecute();
    void AChangeLabelTypeExecute();
    void AChangeBannerWidthExecute();
    void AChangeBusinessCardTypeExecute();
    void AChangeCardTypeExecute();
    void AAboutExecute();
    void APersonalizeExecute();
    void APrintExecute();
    void APrintSetupExecute();
    void APrintPreviewExecute();
    void AFillInFormExecute();
    void AClearFormExecute();
    void AFieldObjectInputOrderExecute();
    void ADatabaseCreateExecute();
    void ADatabaseConnectExecute();
    void ADatabaseConnectAddressBookExecute();
    void ADatabaseDisconnectExecute();
    void ADatabaseEditExecute();
    void ADatabaseFirstExecute();
    void ADatabasePriorExecute();
    void ADatabaseNextExecute();
    void ADatabaseLastExecute();
    void AEventDatabaseExecute();
    void AMessagesExecute();
    void AImportBirthdaysExecute();
    void AExportCalendarExecute();
    // The Event Messages dialog when events are due (at start and after the event database).
    void ShowDueEvents();
    // Gives the card's table the fields the user designs; true when they changed.
    bool RestructureDatabase(TCard& card);
    void ShowHelp(int context);
    // Opens the user guide at the named place (an anchor of the guide).
    void OpenGuide(const QString& topic);

signals:
    void ActionsUpdated();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Runs a command; errors reach the one handler that shows them.
    void Run(const std::function<void()>& command);
    QAction* MakeAction(const TActionRow& row);
    enum class TNoun { Singular, Plural };
    void NotAvailable(const QString& feature, TNoun noun = TNoun::Singular);
    // The Personalize prompts for every headline of the editor's document.
    void PersonalizeDocument(TCardForm& editor);
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    QToolBar* AddActionBar(const QString& name, TToolBarId id);
    QWidget* BuildRecordNavigator(QWidget* parent);
    void ShowSettingToggles();
    // Handlers of the table's rows that are not commands of their own.
    void ChooseTool(int tool);
    void CenterSelection(bool horizontally);
    void ShowRulers();
    void ArrangeIcons();
    void MinimizeAll();
    void BuildViewNotebook();
    void BuildStatusBar();
    void AddExtraMenuItems(const QString& section, QMenu* menu, QAction* before);
    void ReadSettings();
    void WriteSettings();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void UpdateViewNotebook();
    void InsertPage(bool after);
    QString UniqueUntitledName() const;
    // After the current record of a card's table changed: its record objects show it.
    void RecordMoved(TCard& card);
    enum class TRecordMove { First, Prior, Next, Last };
    void MoveRecord(TRecordMove move);
    void ShowEventMessages();

    QMdiArea* FMdi;
    TIniFile FSettings;
    TLastUsed* FLastUsed;
    std::unique_ptr<TMessageBoxes> FMessages;
    TMessageSink* FSink = nullptr;
    std::unique_ptr<TMainShell> FShell;
    std::unique_ptr<TTemplateTable> FTemplates;
    std::unique_ptr<TEventTable> FEvents;
    QHash<QString, QAction*> FActions;
    QActionGroup* FToolGroup = nullptr;
    QActionGroup* FAutoSaveGroup = nullptr;
    QActionGroup* FGridGroup = nullptr;
    QMenu* FFileMenu = nullptr;
    QMenu* FToolsMenu = nullptr;
    QMenu* FHelpMenu = nullptr;
    QMenu* FAutoSaveMenu = nullptr;
    QMenu* FGridMenu = nullptr;
    QStackedWidget* FViewNotebook = nullptr;
    QAction* FViewNotebookAction = nullptr; // a tool bar shows and hides its widgets by these
    QHash<int, QButtonGroup*> FViewButtons; // by notebook page
    QLabel* FPageLabel = nullptr;
    QLabel* FZoomLabel = nullptr;
    QLabel* FViewPanel = nullptr;
    QLabel* FHintPanel = nullptr;
    TAutoSave* FAutoSave = nullptr;
    QImage FPreview;
    int FBusy = 0;
    std::vector<std::pair<QWidget*, int>> FFrozen;
    bool FStarted = false;
    TCardForm* FLastActive = nullptr;
    // Where the file dialogs open: the folder of the last file chosen in one, else home.
    QString FDialogFolder;
    QString DialogFolder() const;
    QString RememberDialogFolder(const QString& fileName);
    std::unique_ptr<TQtPrinter> FQtPrinter;
    TPrinter* FPrinter = nullptr;
    std::unique_ptr<TDesktopUrlOpener> FDesktopUrlOpener;
    TUrlOpener* FUrlOpener = nullptr;
    bool FPrinting = false;
};

// Every key the settings file holds, with its default, for writing them all back.
struct TSettingsKey {
    const char* Section;
    const char* Key;
    const char* Default;
};
const std::vector<TSettingsKey>& SettingsKeys();
