#include "app/AboutBox.h"
#include "app/AppPaths.h"
#include "app/AutoSave.h"
#include "app/FillInForms.h"
#include "app/MainForm.h"
#include "app/MainShell.h"
#include "app/PrintPreview.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/OpenTemp.h"
#include "document/Template.h"
#include "editor/CardWin.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "events/Event.h"
#include "merge/TableEngine.h"
#include "objects/BarCodeForm.h"
#include "objects/GridForm.h"
#include "objects/Headline.h"
#include "objects/HeadlineForm.h"
#include "objects/HeadlinePresets.h"
#include "objects/ObjectDialogs.h"
#include "objects/PictureForm.h"
#include "objects/RichText.h"
#include "platform/QtPrinter.h"
#include "platform/UrlOpener.h"
#include "print/PrintPublication.h"
#include "storage/DialogHelp.h"
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "types/BannerWidthForm.h"
#include "types/BusinessCardTypeForm.h"
#include "types/CardTypeForm.h"
#include "types/ConvertCardTypeForm.h"
#include "types/WizardForm.h"
#include "objects/WizardCard.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

// ---- settings ----

const std::vector<TSettingsKey>& SettingsKeys() {
    static const std::vector<TSettingsKey> keys = [] {
        std::vector<TSettingsKey> k = {
            {"Default Headline", "Center Horizontally", "0"},
            {"Default Headline", "Center Vertically", "0"},
            {"Default Headline", "Text Direction", "0"},
            {"Default Headline", "Font Name", "Arial"},
            {"Default Headline", "Font Size", "20"},
            {"Default Headline", "Font Color", "0"},
            {"Default Headline", "Font Style", "0"},
            {"Default Headline", "Justification", "2"},
            {"Default Headline", "Graduate From Color", "0"},
            {"Default Headline", "Graduate To Color", "0"},
            {"Default Headline", "Graduate Style", "0"},
            {"Default Headline", "Texture File", ""},
            {"Default Headline", "Texture", "0"},
            {"Default Headline", "Highlight Depth", "0"},
            {"Default Headline", "Highlight Style", "0"},
            {"Default Headline", "Highlight Color", "0"},
            {"Default Headline", "Highlight Direction", "0"},
            {"Default Headline", "Shadow Depth", "0"},
            {"Default Headline", "Shadow Style", "0"},
            {"Default Headline", "Shadow Color", "0"},
            {"Default Headline", "Shadow Direction", "0"},
            {"Default Headline", "Background Color", "0"},
            {"Default Headline", "Background From Color", "0"},
            {"Default Headline", "Background To Color", "0"},
            {"Default Headline", "Background Direction", "0"},
            {"Default Headline", "Background Texture File", ""},
            {"Default Headline", "Background Style", "0"},
            {"Default Headline", "Border Size", "0"},
            {"Default Headline", "Border Color", "0"},
            {"Default Headline", "Delete Blank Lines", "0"},
            {"Default Text", "Center Horizontally", "0"},
            {"Default Text", "Center Vertically", "0"},
            {"Default Text", "Transparent", "0"},
            {"Default Line", "Color", "0"},
            {"Default Line", "Style", "0"},
            {"Default Line", "Size", "1"},
            {"Default Line", "Center Horizontally", "0"},
            {"Default Line", "Center Vertically", "0"},
        };
        for (const char* shape :
             {"Default Rectangle", "Default Rounded Rectangle", "Default Ellipse"}) {
            k.push_back({shape, "Color", "15"});
            k.push_back({shape, "Clear", "0"});
            k.push_back({shape, "Border Color", "0"});
            k.push_back({shape, "Border Size", "1"});
            k.push_back({shape, "Center Horizontally", "0"});
            k.push_back({shape, "Center Vertically", "0"});
        }
        const std::vector<TSettingsKey> rest = {
            {"Default Bar Code", "Center Horizontally", "0"},
            {"Default Bar Code", "Center Vertically", "0"},
            {"Default Bar Code", "Bar Code Type", "0"},
            {"Default Bar Code", "Show Text", "1"},
            {"Default Comb", "Center Horizontally", "0"},
            {"Default Comb", "Center Vertically", "0"},
            {"Default Comb", "Color", "15"},
            {"Default Comb", "Clear", "1"},
            {"Default Comb", "Border Color", "0"},
            {"Default Comb", "Border Size", "1"},
            {"Default Comb", "Comb Edge", "1"},
            {"Default Comb", "Comb Style", "0"},
            {"Default Comb", "Spaces", "5"},
            {"Default Grid", "Center Horizontally", "0"},
            {"Default Grid", "Center Vertically", "0"},
            {"Default Grid", "Color", "16777215"},
            {"Default Grid", "Line Color", "0"},
            {"Default Grid", "Line Width", "1"},
            {"Default Grid", "Columns", "4"},
            {"Default Grid", "Rows", "4"},
            {"Default Grid", "Font Name", "Arial"},
            {"Default Grid", "Font Size", "10"},
            {"Default Grid", "Font Color", "0"},
            {"Default Grid", "Font Style", "0"},
            {"Default Grid", "Justification", "2"},
            {"Default Field", "Center Horizontally", "0"},
            {"Default Field", "Center Vertically", "0"},
            {"Default Field", "Color", "15"},
            {"Default Field", "Clear", "1"},
            {"Default Field", "Border Color", "0"},
            {"Default Field", "Border Size", "0"},
            {"Default Field", "Justification", "3"},
            {"Default Field", "Font Name", "Arial"},
            {"Default Field", "Font Size", "12"},
            {"Default Field", "Font Color", "0"},
            {"Default Field", "Font Style", "0"},
            {"Default Field", "Decimal Places", "2"},
            {"Default Field", "Required", "0"},
            {"Default Picture", "Center Horizontally", "0"},
            {"Default Picture", "Center Vertically", "0"},
            {"View", "Grid On", "0"},
            {"View", "Grid Snap To", "0"},
            {"View", "Grid Size", "3"},
            {"View", "Rulers On", "1"},
            {"View", "Field Object Areas On", "1"},
            {"Options", "AutoSave", "60000"},
            {"CD Drive", "Drive Letter", ""},
            {"Speech", "Initialized", "0"},
        };
        k.insert(k.end(), rest.begin(), rest.end());
        return k;
    }();
    return keys;
}

void TMainForm::ReadSettings() {
    FSettings.SetFileName(AppPaths::SettingsFile());
    const bool firstStart = !QFile::exists(FSettings.FileName());
    FSettings.Load();
    if (firstStart) THeadlinePresets(FSettings).WriteStarterSet();
    // Every key starts with its default, so that objects and dialogs find it.
    for (const TSettingsKey& key : SettingsKeys()) {
        const QString section = QString::fromLatin1(key.Section);
        const QString name = QString::fromLatin1(key.Key);
        if (!FSettings.Value(section, name).isValid())
            FSettings.SetValue(section, name, QString::fromLatin1(key.Default));
    }
    TAppContext& context = AppContext();
    const QString view = QStringLiteral("View");
    context.ShowGrid = FSettings.ReadBool(view, QStringLiteral("Grid On"), false);
    context.SnapToGrid = FSettings.ReadBool(view, QStringLiteral("Grid Snap To"), false);
    context.ShowFieldAreas =
        FSettings.ReadBool(view, QStringLiteral("Field Object Areas On"), true);
    EditorState().ShowRulers = FSettings.ReadBool(view, QStringLiteral("Rulers On"), true);
    Action(QStringLiteral("AShowGrid"))->setChecked(context.ShowGrid);
    Action(QStringLiteral("ASnapToGrid"))->setChecked(context.SnapToGrid);
    Action(QStringLiteral("AShowFieldObjectAreas"))->setChecked(context.ShowFieldAreas);
    Action(QStringLiteral("AShowRulers"))->setChecked(EditorState().ShowRulers);
    SetGridSize(std::clamp(FSettings.ReadInteger(view, QStringLiteral("Grid Size"), 3), 0, 5));
    const int autosave =
        FSettings.ReadInteger(QStringLiteral("Options"), QStringLiteral("AutoSave"), 60000);
    SetAutoSave(std::max(0, autosave) / 60000);
    FLastUsed->Load(FSettings);
}

void TMainForm::WriteSettings() {
    const TAppContext& context = AppContext();
    const QString view = QStringLiteral("View");
    FSettings.WriteBool(view, QStringLiteral("Grid On"), context.ShowGrid);
    FSettings.WriteBool(view, QStringLiteral("Grid Snap To"), context.SnapToGrid);
    FSettings.WriteInteger(view, QStringLiteral("Grid Size"), EditorState().GridSizeIndex);
    FSettings.WriteBool(view, QStringLiteral("Rulers On"), EditorState().ShowRulers);
    FSettings.WriteBool(view, QStringLiteral("Field Object Areas On"), context.ShowFieldAreas);
    FSettings.WriteInteger(QStringLiteral("Options"), QStringLiteral("AutoSave"),
                           AutoSaveMinutes() * 60000);
    FLastUsed->Save(FSettings);
    if (!FSettings.Save())
        FSink->Error(QStringLiteral("Error writing %1.").arg(FSettings.FileName()));
}

// ---- start and end ----

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
        OpenFile(AppPaths::ResolveDocumentArgument(argument));
    Run([this] { ShowDueEvents(); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The document being printed must outlive the print.
    if (IsPrinting()) {
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
        if (url.isLocalFile()) Run([&] { OpenFile(url.toLocalFile().left(4096)); });
}

// ---- documents ----

std::unique_ptr<TCard> TMainForm::LoadFile(const QString& path) {
    const TOpeningScope opening(TAppContext::TOpening::Document);
    return TCardForm::OpenDocument(path);
}

TCardForm* TMainForm::OpenFile(const QString& path) {
    BeginBusy();
    struct TEnd {
        TMainForm* Form;
        ~TEnd() { Form->EndBusy(); }
    } end{this};
    std::unique_ptr<TCard> card;
    try {
        card = LoadFile(path);
    } catch (const EBadMetafile& e) {
        FSink->Error(e.Message()); // names the document itself; nothing more is said
        return nullptr;
    } catch (const std::exception&) {
        FSink->Error(QStringLiteral("Error opening the file %1.").arg(path));
        return nullptr;
    }
    FreezeWindow(this);
    auto* form = new TCardForm();
    form->AttachDocument(std::move(card));
    form->Card().SetDocumentModified(false);
    UnfreezeWindow();
    QMdiSubWindow* window = FMdi->addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showMaximized();
    FLastUsed->Remove(path);
    UpdateActions();
    return form;
}

QString TMainForm::UniqueUntitledName() const {
    for (int n = 0; n < MaxWindows; ++n) {
        bool used = false;
        for (const TCardForm* form : Editors())
            used = used || form->UntitledNumber() == n;
        if (!used) return QStringLiteral("NONAME%1").arg(n);
    }
    return QString();
}

TCardForm* TMainForm::AddEditor(std::unique_ptr<TCard> card, bool fromTemplate) {
    card->SetDocumentModified(true);
    const QString untitled = UniqueUntitledName();
    if (!untitled.isEmpty()) card->FileName = untitled;
    auto* form = new TCardForm();
    EditorState().CreatingPublication = true;
    form->AttachDocument(std::move(card));
    EditorState().CreatingPublication = false;
    form->setWindowTitle(untitled);
    const int zoom = form->QDXWindow()->ZoomFactor();
    form->Card().ForEachObject([&](TCardObject* object) {
        object->ZoomChanged(zoom);
        // New newsletters and brochures start with a word in each first frame.
        if (auto* frame = dynamic_cast<TRichTextObject*>(object);
            frame && !fromTemplate && !frame->Predecessor() && frame->PlainText().isEmpty()) {
            const int type = form->Card().DocumentType;
            if (type == 1)
                frame->InsertText(QStringLiteral("Newsletter text..."), QStringLiteral("Arial"), 12);
            else if (type == 7)
                frame->InsertText(QStringLiteral("Brochure text..."), QStringLiteral("Arial"), 12);
        }
        object->Realign();
    });
    QMdiSubWindow* window = FMdi->addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showMaximized();
    form->QDXWindow()->Canvas()->viewport()->setCursor(CursorFor(ToolCursor(EditorState().Tool)));
    UpdateActions();
    // A template's names in square brackets are asked for at once.
    if (fromTemplate) PersonalizeDocument(*form);
    return form;
}

bool TMainForm::WriteDocument(TCardForm& form, const QString& path, bool withPreview) {
    BeginBusy();
    struct TEnd {
        TMainForm* Form;
        ~TEnd() { Form->EndBusy(); }
    } end{this};
    TCard& card = form.Card();
    try {
        card.Preview = withPreview ? PreviewBitmap(RenderCardPreview(card)) : TBitmapData();
        SaveStoredToFile(path, card);
    } catch (const std::exception&) {
        FSink->Error(
            QStringLiteral("Error writing %1 file %2.").arg(QStringLiteral("document"), path));
        return false;
    }
    card.SetDocumentModified(false);
    return true;
}

bool TMainForm::Save(TCardForm& form, bool byUser) {
    if (byUser && form.UntitledNumber() >= 0) return SaveAs(form);
    TCard& card = form.Card();
    if (!WriteDocument(form, card.FileName, true)) return false;
    if (FTemplates)
        FTemplates->UpdateTemplate(QFileInfo(card.FileName).fileName(), card.Description,
                                   card.DocumentType);
    return true;
}

bool TMainForm::SaveAs(TCardForm& form) {
    TCard& card = form.Card();
    const QString current = form.UntitledNumber() >= 0 ? QString() : card.FileName;
    QString name = AskSaveFileName
                       ? AskSaveFileName(current)
                       : RememberDialogFolder(QFileDialog::getSaveFileName(
                             this, QStringLiteral("Save Document"),
                             current.isEmpty() ? DialogFolder() : current,
                             QStringLiteral("Documents (*.qdx *.QDX)")));
    if (name.isEmpty()) return false;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".qdx");
    const QString previous = card.FileName;
    card.FileName = name;
    if (!Save(form, false)) {
        card.FileName = previous;
        return false;
    }
    form.setWindowTitle(QFileInfo(name).completeBaseName());
    return true;
}

void TMainForm::AutoSaveTick() {
    FAutoSave->Tick();
}

// ---- commands ----

namespace {

// The wizard's "Use Template..." buttons are live when the template index has the type.
class TMainWizardServices : public TWizardServices {
public:
    explicit TMainWizardServices(TTemplateTable* templates) : FTemplates(templates) {}
    bool HasTemplates(int documentType) override {
        return FTemplates && FTemplates->CountForType(documentType) > 0;
    }

private:
    TTemplateTable* FTemplates;
};

} // namespace

void TMainForm::ANewExecute(int initialType) {
    TEditorState& state = EditorState();
    state.Opening = true;
    struct TEnd {
        ~TEnd() { EditorState().Opening = false; }
    } end;
    bool fromTemplate = false;
    int format = -1;
    std::unique_ptr<TCard> card;
    if (AskNewCard) {
        card = AskNewCard(fromTemplate, format);
    } else {
        TCardTypeServices services;
        services.Templates = FTemplates.get();
        services.InitialType = initialType;
        services.LoadTemplate = [this](const QString& path) { return LoadFile(path); };
        services.ChooseTemplate = [this](int type) {
            TOpenTemplateForm dialog(
                *FTemplates, type, [this](const QString& path) { return LoadFile(path); }, this);
            return dialog.Execute();
        };
        services.RunWizard = [this](int type) -> TWizardRun {
            TMainWizardServices wizardServices(FTemplates.get());
            TWizardForm wizard(type, wizardServices, false, this);
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
        TCardTypeForm dialog(services, this);
        card = dialog.Execute();
        fromTemplate = dialog.FromTemplate();
        format = dialog.ChosenFormat();
    }
    if (!card) return;
    if (!fromTemplate && format >= 0) state.LastChosenFormat = format;
    AddEditor(std::move(card), fromTemplate);
}

QString TMainForm::DialogFolder() const {
    if (!FDialogFolder.isEmpty()) return FDialogFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QString TMainForm::RememberDialogFolder(const QString& fileName) {
    if (!fileName.isEmpty()) FDialogFolder = QFileInfo(fileName).absolutePath();
    return fileName;
}

void TMainForm::AOpenExecute() {
    const QString name =
        AskOpenFileName
            ? AskOpenFileName()
            : RememberDialogFolder(QFileDialog::getOpenFileName(
                  this, QStringLiteral("Open Document"), DialogFolder(),
                  QStringLiteral("Documents (*.qdx *.QDX)")));
    if (!name.isEmpty()) OpenFile(name);
}

void TMainForm::ACloseExecute() {
    if (QMdiSubWindow* window = FMdi->activeSubWindow()) window->close();
}

void TMainForm::ASaveExecute() {
    if (TCardForm* form = ActiveEditor()) Save(*form, true);
}

void TMainForm::ASaveAsExecute() {
    if (TCardForm* form = ActiveEditor()) SaveAs(*form);
}

void TMainForm::ASaveAsTemplateExecute() {
    TCardForm* form = ActiveEditor();
    if (!form || !FTemplates) return;
    TCard& card = form->Card();
    if (card.DocumentModified) {
        Save(*form, true);
        if (card.DocumentModified) return;
    }
    bool ok = false;
    QString description;
    do {
        description =
            AskTemplateDescription
                ? AskTemplateDescription(ok)
                : QInputDialog::getText(this, QStringLiteral("Template Description"),
                                        QStringLiteral("Enter a description for the template:"),
                                        QLineEdit::Normal, card.Description, &ok);
        if (!ok) return;
    } while (description.trimmed().isEmpty() && !AskTemplateDescription);
    if (description.trimmed().isEmpty()) return;
    card.SetDescription(description);
    const QString fileName = QFileInfo(card.FileName).fileName();
    if (FTemplates->FindTemplate(fileName) &&
        !FSink->Confirm(QStringLiteral("Overwrite the existing template with the same name?")))
        return;
    QDir().mkpath(FTemplates->Folder());
    const QString path = QDir(FTemplates->Folder()).filePath(fileName);
    const bool modified = card.DocumentModified;
    if (!WriteDocument(*form, path, true)) return;
    card.SetDocumentModified(modified);
    FTemplates->AddTemplate(fileName, description, card.DocumentType);
}

void TMainForm::InsertPage(bool after) {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    TCard& card = form->Card();
    form->ClearSelection();
    auto* page = new TCardPage(card.CardFormat);
    card.LayoutPage(*page);
    const int at = std::clamp(form->CurrentPage() + (after ? 1 : 0), 0, card.PageCount());
    card.InsertObject(at, page);
    // The new page becomes current.
    form->SetPage(-1);
    form->SetPage(at);
    form->SetDocumentModified();
    form->RefreshSurface();
}

void TMainForm::AInsertNewPageExecute() {
    InsertPage(false);
}
void TMainForm::AAppendNewPageExecute() {
    InsertPage(true);
}

void TMainForm::ADeleteCurrentPageExecute() {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    if (!FSink->Confirm(QStringLiteral("Are you sure that you want to delete the current page?")))
        return;
    form->ClearSelection();
    TCard& card = form->Card();
    const int current = form->CurrentPage();
    if (card.PageCount() == 1) {
        TCardPage& page = *card.Pages(0);
        for (int p = 0; p < page.PanelCount(); ++p) {
            TCardPanel& panel = *page.Panels(p);
            while (panel.Count() > 0)
                panel.DeleteObject(panel.Count() - 1);
        }
    } else {
        card.Delete(current);
        form->SetPage(-1);
        form->SetPage(std::min(current, card.PageCount() - 1));
    }
    form->SetDocumentModified();
    form->RefreshSurface();
}

void TMainForm::GoToPage(int index) {
    TCardForm* form = ActiveEditor();
    if (!form || index == form->CurrentPage()) return;
    form->ClearSelection();
    form->SetPage(index);
    form->RefreshSurface();
}

void TMainForm::APreviousPageExecute() {
    if (TCardForm* form = ActiveEditor()) GoToPage(form->CurrentPage() - 1);
}

void TMainForm::ANextPageExecute() {
    if (TCardForm* form = ActiveEditor()) GoToPage(form->CurrentPage() + 1);
}

void TMainForm::AGoToPageExecute() {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    const int count = form->Card().PageCount();
    bool ok = false;
    const int value = AskPageNumber
                          ? AskPageNumber(form->CurrentPage() + 1, count, ok)
                          : QInputDialog::getInt(this, QStringLiteral("Go To Page"),
                                                 QStringLiteral("Page number to go to:"),
                                                 form->CurrentPage() + 1, 1, count, 1, &ok);
    if (ok) GoToPage(std::clamp(value, 1, count) - 1);
}

void TMainForm::AChangeLabelTypeExecute() {
    TCardForm* form = ActiveEditor();
    if (!form || !IsLabelFormat(form->Card().CardFormat)) return;
    TMainWizardServices services(FTemplates.get());
    TWizardForm wizard(form->Card().DocumentType, services, true, this);
    if (wizard.Run() != TWizardForm::Created) return;
    ChangeLabelStock(form->Card(), wizard.Answers());
    form->ShowPanels(0);
    form->ShowPanels(1);
    form->RefreshSurface();
}

void TMainForm::AChangeBannerWidthExecute() {
    TCardForm* form = ActiveEditor();
    if (form && TBannerWidthForm::Run(form->Card(), this)) {
        form->ShowPanels(0);
        form->ShowPanels(1);
        form->RefreshSurface();
    }
}

void TMainForm::AChangeBusinessCardTypeExecute() {
    TCardForm* form = ActiveEditor();
    if (form && TBusinessCardTypeForm::Run(form->Card(), this)) {
        form->Card().LayoutAllPages();
        form->RefreshSurface();
    }
}

void TMainForm::AChangeCardTypeExecute() {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    TCard& card = form->Card();
    TConvertCardTypeForm::Run(card, card.FileName, FPreview.isNull() ? nullptr : &FPreview, false,
                              this);
}

void TMainForm::AAboutExecute() {
    TAboutBox box(this);
    box.exec();
}

void TMainForm::ShowHelp(int context) {
    OpenGuide(QStringLiteral("ctx-%1").arg(context));
}

void TMainForm::OpenGuide(const QString& topic) {
    const QString guide = AppPaths::HelpFile();
    QUrl url = QUrl::fromLocalFile(guide);
    url.setFragment(topic);
    if (!FUrlOpener->Open(url))
        FSink->Error(QStringLiteral("No web browser was found to show the user guide (%1).")
                         .arg(QDir::toNativeSeparators(guide)));
}

void TMainForm::UseUrlOpener(TUrlOpener* opener) {
    FUrlOpener = opener ? opener : FDesktopUrlOpener.get();
}

void TMainForm::APersonalizeExecute() {
    if (TCardForm* editor = ActiveEditor()) PersonalizeDocument(*editor);
}

// Asks for the fill-in text of every headline of the card, page by page, panel by panel,
// until the user cancels a prompt. (Stopping at the first headline in view would leave the
// codes of the others unanswered.)
void TMainForm::PersonalizeDocument(TCardForm& editor) {
    TCard& card = editor.Card();
    bool cancelled = false;
    card.ForEachObject([&](TCardObject* object) {
        if (cancelled) return;
        const bool completed = object->Personalize();
        // Only headlines answer; for them false means a prompt was cancelled.
        if (!completed && dynamic_cast<THeadlineObject*>(object)) cancelled = true;
    });
    card.SetDocumentModified(true);
    editor.RefreshSurface();
}

// Asks for the value of every field without a formula, page by page in input order. Cancel
// ends the command once the page's formula fields have been cleared for recalculation.
void TMainForm::AFillInFormExecute() {
    TCardForm* editor = ActiveEditor();
    if (!editor) return;
    TCard& card = editor->Card();
    auto ask = AskFieldValue ? AskFieldValue : [this](const TFieldObject& field, QString& value) {
        return TFillInDataForm::Ask(field, value, this);
    };
    bool cancelled = false;
    for (int p = 0; p < card.PageCount() && !cancelled; ++p) {
        TCardPage* page = card.Pages(p);
        if (!page || page->FieldOrder.Count() == 0) continue;
        editor->SetPage(p);
        for (int i = 0; i < page->FieldOrder.Count() && !cancelled; ++i) {
            TFieldObject* field = page->FieldOrder.Items(i);
            if (!field || !field->Formula.isEmpty()) continue;
            editor->SelectOnly(field);
            QString value = field->Value;
            if (!ask(*field, value)) {
                cancelled = true;
                break;
            }
            field->Value = value;
            card.SetDocumentModified(true);
            editor->InvalidateObject(field);
        }
        for (int i = 0; i < page->FieldOrder.Count(); ++i) {
            TFieldObject* field = page->FieldOrder.Items(i);
            if (!field) continue;
            if (!field->Formula.isEmpty()) field->Value.clear();
            editor->InvalidateObject(field);
        }
    }
}

void TMainForm::AClearFormExecute() {
    TCardForm* editor = ActiveEditor();
    if (!editor) return;
    TCard& card = editor->Card();
    card.ForEachObject([&](TCardObject* object) {
        auto* field = dynamic_cast<TFieldObject*>(object);
        if (!field || !field->Formula.isEmpty()) return;
        field->Value.clear();
        editor->InvalidateObject(field);
    });
    card.SetDocumentModified(true);
    editor->RefreshSurface(); // formulas that use the cleared fields show anew
}

void TMainForm::AFieldObjectInputOrderExecute() {
    TCardForm* editor = ActiveEditor();
    if (!editor || editor->CurrentPage() < 0) return;
    TCard& card = editor->Card();
    TCardPage* page = card.Pages(editor->CurrentPage());
    if (!page) return;
    QList<TFieldObject*> order;
    for (int i = 0; i < page->FieldOrder.Count(); ++i)
        if (TFieldObject* field = page->FieldOrder.Items(i)) order.append(field);
    const QList<TFieldObject*> before = order;
    const bool confirmed =
        AskFieldOrder ? AskFieldOrder(order) : TFieldOrderForm::Ask(order, this);
    // The new order must hold the same fields, each once.
    QList<TFieldObject*> sortedBefore = before, sortedAfter = order;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    std::sort(sortedAfter.begin(), sortedAfter.end());
    if (!confirmed || sortedAfter != sortedBefore) return;
    page->FieldOrder.Clear();
    for (TFieldObject* field : order) page->FieldOrder.Add(field);
    card.SetDocumentModified(true);
}

// ---- printing ----

namespace {

// The questions of printing as message boxes of the main window.
class TWindowPrintPrompts : public TPrintPrompts {
public:
    explicit TWindowPrintPrompts(TMainForm& main) : FMain(main) {}
    bool PrintPerRecord() override { return FMain.Messages().Confirm(PerRecordQuestion()); }
    bool PrintCropMarks() override { return FMain.Messages().Confirm(CropMarksQuestion()); }
    bool TurnPaperOver() override { return FMain.AskTurnPaperOver(); }
    void Busy(bool busy) override {
        if (busy)
            FMain.BeginBusy();
        else
            FMain.EndBusy();
    }

private:
    TMainForm& FMain;
};

} // namespace

void TMainForm::UsePrinter(TPrinter* printer) {
    FPrinter = printer ? printer : static_cast<TPrinter*>(FQtPrinter.get());
}

bool TMainForm::IsPrinting() const {
    return FPrinting || FPrinter->Printing();
}

void TMainForm::PrinterChanged() {
    for (TCardForm* form : Editors())
        form->PrinterChanged();
}

void TMainForm::APrintExecute() {
    TCardForm* form = ActiveEditor();
    if (!form || IsPrinting()) return;
    TPrintRequest request;
    request.Title = form->windowTitle();
    const QString printer = FPrinter->Name();
    if (!AskPrint(form->Card().PageCount(), request)) return;
    if (FPrinter->Name() != printer) PrinterChanged();
    TWindowPrintPrompts prompts(*this);
    FPrinting = true;
    struct TDone {
        bool& Printing;
        ~TDone() { Printing = false; }
    } done{FPrinting};
    form->PrintPublication(*FPrinter, prompts, request);
}

void TMainForm::APrintSetupExecute() {
    if (IsPrinting()) return;
    if (AskPrintSetup()) PrinterChanged();
}

void TMainForm::APrintPreviewExecute() {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    int result = QDialog::Rejected;
    {
        TPrintPreviewForm preview(form->Card(), form, this);
        result = preview.exec();
    }
    if (result == TPrintPreviewForm::PrintRequested) APrintExecute();
}
