#include "app/MainForm.h"

#include "app/AppPaths.h"
#include "app/FileCommands.h"
#include "app/LastUsed.h"
#include "app/MainShell.h"
#include "app/PrintCommands.h"
#include "app/ScanCommands.h"
#include "app/SpellingCommands.h"
#include "document/AppContext.h"
#include "document/OpenTemp.h"
#include "document/Template.h"
#include "events/Event.h"
#include "merge/TableEngine.h"
#include "objects/BarCodeForm.h"
#include "objects/GridForm.h"
#include "objects/HeadlineForm.h"
#include "objects/ObjectDialogs.h"
#include "objects/PictureForm.h"
#include "platform/SpellingEdit.h"
#include "platform/UrlOpener.h"
#include "storage/DialogHelp.h"
#include "types/DialogSupport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QUrl>

bool TMainForm::Start() {
    BeginBusy();
    struct TEnd {
        TMainForm* Form;
        ~TEnd() { Form->EndBusy(); }
    } end{this};
    const QString title = QStringLiteral("QDX");
    for (const char* required : {"LABLIST.DB", "LABLIST.PX", "ENGLISH.DCT"}) {
        if (!QFile::exists(
                QDir(AppPaths::ProgramFolder()).filePath(QString::fromLatin1(required)))) {
            FSink->Error(QStringLiteral("The file \"%1\" is required to run the program %2.")
                             .arg(QString::fromLatin1(required), title));
            return false;
        }
    }
    AppPaths::PrepareUserFolder();
    TAppContext& context = AppContext();
    AppPaths::SetContextFolders(context);
    context.SetMessages(FSink);
    context.SetShell(FShell.get());
    context.SetSettings(&FSettings);
    InstallTableEngine(context);
    RegisterObjectDialogs();
    RegisterGridDialog();
    RegisterHeadlineDialog();
    RegisterPictureDialog();
    RegisterBarCodeDialog();

    if (context.Metric) {
        // Metric grids, from the largest (1 in) to the smallest (1/32 in) step.
        const char* metric[] = {"&2 mm", "&5 mm", "1&0 mm", "1&5 mm", "&20 mm", "2&5 mm"};
        for (QAction* action : FGridGroup->actions())
            action->setText(QString::fromLatin1(metric[action->data().toInt()]));
    }
    ReadSettings();
    FStarted = true;
    InstallTemplateChooser();
    SetDialogHelpHandler([this](int helpContext) { ShowHelp(helpContext); });
    SetTypingAssist([this](QObject& editor) {
        if (auto* edit = qobject_cast<QPlainTextEdit*>(&editor))
            AttachSpellChecking(*edit, FSpelling->Checker());
    });
    FEvents = OpenEventFile(AppPaths::EventFile());
    TWaitDialog::Run(this, QStringLiteral("Checking templates..."), [this] {
        FTemplates = OpenTemplateIndex(AppPaths::TemplateIndexFile(), [](int, int) {
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    });
    AddExtraMenuItems(QStringLiteral("Tool Programs"), FToolsMenu, nullptr);
    // Help links go above the separator over "About...", after a separator of their own.
    const QList<QAction*> help = FHelpMenu->actions();
    const qsizetype about = help.indexOf(Action(QStringLiteral("AAbout")));
    AddExtraMenuItems(QStringLiteral("Help Links"), FHelpMenu,
                      about > 0 ? help[about - 1] : Action(QStringLiteral("AAbout")));
    FScanning->Start();
    UpdateGridSpacing();
    UpdateActions();
    return true;
}

void TMainForm::AddExtraMenuItems(const QString& section, QMenu* menu, QAction* before) {
    const QStringList keys = FSettings.Keys(section);
    if (keys.isEmpty()) return;
    if (before)
        menu->insertSeparator(before);
    else
        menu->addSeparator();
    for (const QString& key : keys) {
        const QString value = FSettings.ReadString(section, key, QString());
        const qsizetype split = value.indexOf(QLatin1Char(';'));
        const QString caption = split < 0 ? value : value.left(split);
        QString target = split < 0 ? QString() : value.mid(split + 1);
        if (!target.contains(QLatin1String("http://")) &&
            !target.contains(QLatin1String("https://")))
            target = QDir(AppPaths::ProgramFolder()).filePath(QFileInfo(target).fileName());
        auto* item = new QAction(caption, menu);
        connect(item, &QAction::triggered, this, [this, target] {
            Run([&] {
                const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target)
                                                                       : QUrl::fromLocalFile(target);
                if (!FUrlOpener->Open(url))
                    FSink->Error(QStringLiteral("Unable to find or run default program for %1.")
                                     .arg(target));
            });
        });
        if (before)
            menu->insertAction(before, item);
        else
            menu->addAction(item);
    }
}

void TMainForm::OpenArguments(const QStringList& arguments) {
    // The frame covers the screen's work area.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    for (const QString& argument : arguments)
        FFiles->OpenFile(AppPaths::ResolveDocumentArgument(argument));
    Run([this] { ShowDueEvents(); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The document being printed must outlive the print.
    if (FPrinting->IsPrinting()) {
        FSink->Information(
            QStringLiteral("You cannot exit the program while the printer is printing."));
        event->ignore();
        return;
    }
    for (QMdiSubWindow* window : FMdi->subWindowList()) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    if (FEvents) SaveEventFile(*FEvents, AppPaths::EventFile());
    if (FTemplates) SaveTemplateIndex(*FTemplates, AppPaths::TemplateIndexFile());
    if (FStarted) WriteSettings();
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) Run([&] { FFiles->OpenFile(url.toLocalFile().left(4096)); });
}
