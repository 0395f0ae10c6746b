#include "app/FileCommands.h"

#include "app/LastUsed.h"
#include "app/MainForm.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/MainDialogs.h"
#include "document/OpenTemp.h"
#include "document/Template.h"
#include "editor/CardWin.h"
#include "types/CardType.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "objects/RichText.h"
#include "print/PrintPublication.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>

namespace {

using TBusy = TMainForm::TBusy;

} // namespace

void TFileCommands::New(int initialType) {
    TEditorState& state = EditorState();
    state.Opening = true;
    struct TEnd {
        ~TEnd() { EditorState().Opening = false; }
    } end;
    bool fromTemplate = false;
    int format = -1;
    std::unique_ptr<TCard> card = FMain.Dialogs().NewCard(initialType, fromTemplate, format);
    if (!card) return;
    if (!fromTemplate && format >= 0) state.LastChosenFormat = format;
    AddEditor(std::move(card), fromTemplate);
}

void TFileCommands::Open() {
    const QString name = FMain.Dialogs().OpenFileName();
    if (!name.isEmpty()) OpenFile(name);
}

void TFileCommands::Close() {
    FMain.CloseActiveWindow();
}

void TFileCommands::Save() {
    if (TCardForm* form = FMain.ActiveEditor()) Save(*form, true);
}

void TFileCommands::SaveAs() {
    if (TCardForm* form = FMain.ActiveEditor()) SaveAs(*form);
}

void TFileCommands::SaveAsTemplate() {
    TCardForm* form = FMain.ActiveEditor();
    TTemplateTable* templates = FMain.Templates();
    if (!form || !templates) return;
    TCard& card = form->Card();
    if (card.DocumentModified) {
        Save(*form, true);
        if (card.DocumentModified) return;
    }
    QString description = card.Description;
    if (!FMain.Dialogs().TemplateDescription(description) || description.trimmed().isEmpty())
        return;
    card.SetDescription(description);
    const QString fileName = QFileInfo(card.FileName).fileName();
    if (templates->FindTemplate(fileName) &&
        !FMain.Messages().Confirm(
            QStringLiteral("Overwrite the existing template with the same name?")))
        return;
    QDir().mkpath(templates->Folder());
    const QString path = QDir(templates->Folder()).filePath(fileName);
    const bool modified = card.DocumentModified;
    if (!WriteDocument(*form, path, true)) return;
    card.SetDocumentModified(modified);
    templates->AddTemplate(fileName, description, card.DocumentType);
}

std::unique_ptr<TCard> TFileCommands::LoadFile(const QString& path) {
    return TCardForm::OpenDocument(path);
}

TCardForm* TFileCommands::OpenFile(const QString& path) {
    const TBusy busy(FMain);
    std::unique_ptr<TCard> card;
    try {
        card = LoadFile(path);
    } catch (const EBadMetafile& e) {
        FMain.Messages().Error(e.Message()); // names the document itself; nothing more is said
        return nullptr;
    } catch (const std::exception&) {
        FMain.Messages().Error(QStringLiteral("Error opening the file %1.").arg(path));
        return nullptr;
    }
    FMain.FreezeWindow(&FMain);
    auto* form = new TCardForm();
    form->AttachDocument(std::move(card));
    form->Card().SetDocumentModified(false);
    FMain.UnfreezeWindow();
    FMain.ShowEditor(form);
    FMain.LastUsed().Remove(path);
    FMain.UpdateActions();
    return form;
}

QString TFileCommands::UniqueUntitledName() const {
    const QList<TCardForm*> editors = FMain.Editors();
    for (int n = 0; n < TMainForm::MaxWindows; ++n) {
        bool used = false;
        for (const TCardForm* form : editors)
            used = used || form->UntitledNumber() == n;
        if (!used) return QStringLiteral("NONAME%1").arg(n);
    }
    return QString();
}

void TFileCommands::StartFrames(TCard& card, int zoom, bool fromTemplate) {
    card.ForEachObject([&](TCardObject* object) {
        object->ZoomChanged(zoom);
        if (auto* frame = dynamic_cast<TRichTextObject*>(object);
            frame && !fromTemplate && !frame->Predecessor() && frame->PlainText().isEmpty()) {
            const int type = card.DocumentType;
            if (type == dtNewsletter)
                frame->InsertText(QStringLiteral("Newsletter text..."), QStringLiteral("Arial"),
                                  12);
            else if (type == dtBrochure)
                frame->InsertText(QStringLiteral("Brochure text..."), QStringLiteral("Arial"), 12);
        }
        object->Realign();
    });
}

TCardForm* TFileCommands::AddEditor(std::unique_ptr<TCard> card, bool fromTemplate) {
    card->SetDocumentModified(true);
    const QString untitled = UniqueUntitledName();
    if (!untitled.isEmpty()) card->FileName = untitled;
    auto* form = new TCardForm();
    EditorState().CreatingPublication = true;
    form->AttachDocument(std::move(card));
    EditorState().CreatingPublication = false;
    form->setWindowTitle(untitled);
    StartFrames(form->Card(), form->QDXWindow()->ZoomFactor(), fromTemplate);
    FMain.ShowEditor(form);
    form->QDXWindow()->Canvas()->viewport()->setCursor(CursorFor(ToolCursor(EditorState().Tool)));
    FMain.UpdateActions();
    // A template's names in square brackets are asked for at once.
    if (fromTemplate) FMain.PersonalizeDocument(*form);
    return form;
}

bool TFileCommands::WriteDocument(TCardForm& form, const QString& path, bool withPreview) {
    const TBusy busy(FMain);
    TCard& card = form.Card();
    try {
        card.Preview = withPreview ? PreviewBitmap(RenderCardPreview(card)) : TBitmapData();
        SaveStoredToFile(path, card);
    } catch (const std::exception&) {
        FMain.Messages().Error(
            QStringLiteral("Error writing %1 file %2.").arg(QStringLiteral("document"), path));
        return false;
    }
    card.SetDocumentModified(false);
    form.Editor().MarkSaved();
    return true;
}

bool TFileCommands::Save(TCardForm& form, bool byUser) {
    if (byUser && form.UntitledNumber() >= 0) return SaveAs(form);
    TCard& card = form.Card();
    if (!WriteDocument(form, card.FileName, true)) return false;
    if (TTemplateTable* templates = FMain.Templates())
        templates->UpdateTemplate(QFileInfo(card.FileName).fileName(), card.Description,
                                  card.DocumentType);
    return true;
}

bool TFileCommands::SaveAs(TCardForm& form) {
    TCard& card = form.Card();
    const QString current = form.UntitledNumber() >= 0 ? QString() : card.FileName;
    QString name = FMain.Dialogs().SaveFileName(current);
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
