#include "app/MainForm.h"

#include "app/AboutBox.h"
#include "app/AppPaths.h"
#include "app/QtMainDialogs.h"
#include "document/Card.h"
#include "document/MainDialogs.h"
#include "document/Messages.h"
#include "editor/CardWin.h"
#include "editor/DocumentEditor.h"
#include "objects/Headline.h"
#include "objects/WizardCard.h"
#include "platform/UrlOpener.h"
#include "types/BannerWidthForm.h"
#include "types/BusinessCardTypeForm.h"
#include "types/ConvertCardTypeForm.h"
#include "types/WizardForm.h"

#include <QDir>
#include <QUrl>

#include <algorithm>

void TMainForm::InsertPage(bool after) {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    TCard& card = form->Card();
    form->ClearSelection();
    auto page = std::make_unique<TCardPage>(card.CardFormat);
    card.LayoutPage(*page);
    const int at = std::clamp(form->CurrentPage() + (after ? 1 : 0), 0, card.PageCount());
    form->Editor().InsertPage(after ? QStringLiteral("Append Page") : QStringLiteral("Insert Page"),
                              at, std::move(page));
    // The new page becomes current.
    form->SetPage(-1);
    form->SetPage(at);
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
        // The only page stays, emptied.
        TDocumentChange change(form->Editor(), QStringLiteral("Delete Page"), TChangeScope::Page);
        TCardPage& page = *card.Pages(0);
        for (int p = 0; p < page.PanelCount(); ++p) {
            TCardPanel& panel = *page.Panels(p);
            while (panel.Count() > 0)
                panel.DeleteObject(panel.Count() - 1);
        }
    } else {
        form->Editor().DeletePage(QStringLiteral("Delete Page"), current);
        form->SetPage(-1);
        form->SetPage(std::min(current, form->Card().PageCount() - 1));
    }
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
    int page = form->CurrentPage() + 1;
    if (Dialogs().PageNumber(page, count, page)) GoToPage(std::clamp(page, 1, count) - 1);
}

void TMainForm::AChangeLabelTypeExecute() {
    TCardForm* form = ActiveEditor();
    if (!form || !IsLabelFormat(form->Card().CardFormat)) return;
    TMainWizardServices services(FTemplates.get());
    TWizardForm wizard(form->Card().DocumentType, services, true, this);
    if (wizard.Run() != TWizardForm::Created) return;
    TDocumentChange change(form->Editor(), QStringLiteral("Change Label Type"), TChangeScope::Card);
    ChangeLabelStock(form->Card(), wizard.Answers());
    change.Commit();
    form->ShowPanels(0);
    form->ShowPanels(1);
    form->RefreshSurface();
}

void TMainForm::AChangeBannerWidthExecute() {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    TDocumentChange change(form->Editor(), QStringLiteral("Change Banner Width"),
                           TChangeScope::Card);
    if (TBannerWidthForm::Run(form->Card(), this)) {
        change.Commit();
        form->ShowPanels(0);
        form->ShowPanels(1);
        form->RefreshSurface();
    }
}

void TMainForm::AChangeBusinessCardTypeExecute() {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    TDocumentChange change(form->Editor(), QStringLiteral("Change Business Card Type"),
                           TChangeScope::Card);
    if (TBusinessCardTypeForm::Run(form->Card(), this)) {
        form->Card().LayoutAllPages();
        change.Commit();
        form->RefreshSurface();
    }
}

void TMainForm::AChangeCardTypeExecute() {
    TCardForm* form = ActiveEditor();
    if (!form) return;
    TDocumentChange change(form->Editor(), QStringLiteral("Change Type"), TChangeScope::Card);
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
    TDocumentChange change(editor.Editor(), QStringLiteral("Personalize"), TChangeScope::Card);
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
    TDocumentChange change(editor->Editor(), QStringLiteral("Fill In Form"), TChangeScope::Card);
    TCard& card = editor->Card();
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
            if (!Dialogs().FieldValue(*field, value)) {
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
    TDocumentChange change(editor->Editor(), QStringLiteral("Clear Form"), TChangeScope::Card);
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
    const bool confirmed = Dialogs().FieldOrder(order);
    // The new order must hold the same fields, each once.
    QList<TFieldObject*> sortedBefore = before, sortedAfter = order;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    std::sort(sortedAfter.begin(), sortedAfter.end());
    if (!confirmed || sortedAfter != sortedBefore) return;
    TDocumentChange change(editor->Editor(), QStringLiteral("Field Input Order"),
                           TChangeScope::Page);
    page->FieldOrder.Clear();
    for (TFieldObject* field : order) page->FieldOrder.Add(field);
    card.SetDocumentModified(true);
}
