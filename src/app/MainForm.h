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
class TCardForm;
class TEventTable;
class TMainShell;
class TMainEditorHost;
class TMessageBoxes;
class TMessageSink;
class TTemplateTable;
class TDesktopUrlOpener;
class TUrlOpener;
class TFileCommands;
class TDatabaseCommands;
class TPrintCommands;
class TWebCommands;
class TSpellingCommands;
class TScanCommands;
class TDictationCommands;
class TMailCommands;
class TMainDialogs;
class TPlatformDialogs;
class TQtPlatformDialogs;
class TQtMainDialogs;

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
    void ShowHint(const QString& hint);

    // Every action of the frame, in menu order.
    static const std::vector<TActionRow>& ActionRows();
    friend struct TMainActionRows;
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
    // Busy from construction to destruction.
    struct TBusy {
        explicit TBusy(TMainForm& main) : Main(main) { Main.BeginBusy(); }
        ~TBusy() { Main.EndBusy(); }
        TMainForm& Main;
    };
    void EndBusy();
    // Nested suppression of drawing, one window at a time: freezing another window holds the
    // current one until the other is unfrozen.
    void FreezeWindow(QWidget* window);
    void UnfreezeWindow();
    // Every frozen window draws again (after a command failed).
    void ResumeDrawing();

    // A new editing window in the frame, maximized.
    void ShowEditor(TCardForm* form);
    void CloseActiveWindow();
    void AutoSaveTick();

    TFileCommands& Files() const { return *FFiles; }
    TDatabaseCommands& Database() const { return *FDatabase; }
    TPrintCommands& Printing() const { return *FPrinting; }
    TWebCommands& Web() const { return *FWeb; }
    TSpellingCommands& Spelling() const { return *FSpelling; }
    TScanCommands& Scanning() const { return *FScanning; }
    TDictationCommands& Dictation() const { return *FDictation; }
    TMailCommands& Mail() const { return *FMail; }
    // The questions of the commands; tests answer them instead of the dialogs (null restores
    // the dialogs).
    TMainDialogs& Dialogs() const { return *FDialogs; }
    void UseDialogs(TMainDialogs* dialogs);
    // The spelling, scanning and mail questions, answered the same way.
    TPlatformDialogs& PlatformDialogs() const { return *FPlatformDialogs; }
    void UsePlatformDialogs(TPlatformDialogs* dialogs);
    // What opens the guide and the targets of the extra menu items; tests put another in its
    // place (null restores the desktop's).
    void UseUrlOpener(TUrlOpener* opener);
    TUrlOpener& UrlOpener() const { return *FUrlOpener; }

    // Command handlers.
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
    // The Personalize prompts for every headline of the editor's document.
    void PersonalizeDocument(TCardForm& editor);
    void AFillInFormExecute();
    void AClearFormExecute();
    void AFieldObjectInputOrderExecute();
    void AEventDatabaseExecute();
    void AMessagesExecute();
    void AImportBirthdaysExecute();
    void AExportCalendarExecute();
    // The Event Messages dialog when events are due (at start and after the event database).
    void ShowDueEvents();
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
    void ShowEventMessages();

    QMdiArea* FMdi;
    TIniFile FSettings;
    TLastUsed* FLastUsed;
    std::unique_ptr<TMessageBoxes> FMessages;
    TMessageSink* FSink = nullptr;
    std::unique_ptr<TMainShell> FShell;
    std::unique_ptr<TMainEditorHost> FEditorHost;
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
    QMenu* FSpeechMenu = nullptr; // shown only with a recogniser
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
    std::unique_ptr<TDesktopUrlOpener> FDesktopUrlOpener;
    TUrlOpener* FUrlOpener = nullptr;
    std::unique_ptr<TFileCommands> FFiles;
    std::unique_ptr<TDatabaseCommands> FDatabase;
    std::unique_ptr<TPrintCommands> FPrinting;
    std::unique_ptr<TWebCommands> FWeb;
    std::unique_ptr<TSpellingCommands> FSpelling;
    std::unique_ptr<TScanCommands> FScanning;
    std::unique_ptr<TDictationCommands> FDictation;
    std::unique_ptr<TMailCommands> FMail;
    std::unique_ptr<TQtMainDialogs> FQtDialogs;
    TMainDialogs* FDialogs = nullptr;
    std::unique_ptr<TQtPlatformDialogs> FQtPlatformDialogs;
    TPlatformDialogs* FPlatformDialogs = nullptr;
};

// Every key the settings file holds, with its default, for writing them all back.
struct TSettingsKey {
    const char* Section;
    const char* Key;
    const char* Default;
};
const std::vector<TSettingsKey>& SettingsKeys();
