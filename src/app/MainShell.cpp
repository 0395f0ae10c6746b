#include "app/MainShell.h"

#include "app/MainForm.h"
#include "document/Card.h"
#include "app/FileCommands.h"
#include "document/MainDialogs.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"
#include "objects/PersonalizeForm.h"
#include "types/ConvertCardTypeForm.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>

void TMessageBoxes::Error(const QString& text) {
    QMessageBox::critical(FParent, QStringLiteral("Error"), text);
}

void TMessageBoxes::Information(const QString& text) {
    QMessageBox::information(FParent, QStringLiteral("Information"), text);
}

bool TMessageBoxes::Confirm(const QString& text) {
    return QMessageBox::question(FParent, QStringLiteral("Confirm"), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TMainShell::RepaintObject(TCardObject& object) {
    for (TCardForm* form : FMain.Editors())
        if (form->PanelOf(&object) >= 0) form->InvalidateObject(&object);
}

void TMainShell::ResumeDrawing() {
    FMain.ResumeDrawing();
}

void TMainShell::SetLockedCheck(bool locked) {
    if (QAction* action = FMain.Action(QStringLiteral("ALocked"))) action->setChecked(locked);
}

void TMainShell::ShowPreview(const QImage* preview) {
    FMain.SetPreview(preview ? *preview : QImage());
}

void TMainShell::ChooseCardType(TCard& card, const QString& fileName) {
    const QImage preview = FMain.Preview();
    TConvertCardTypeForm::Run(card, fileName, preview.isNull() ? nullptr : &preview, true, &FMain);
}

void TMainShell::RevealObject(TCardObject& object) {
    TCardForm* form = FMain.ActiveEditor();
    if (!form) return;
    const int page = object.PageIndex();
    if (page >= 0 && page != form->CurrentPage()) {
        form->ClearSelection();
        form->SetPage(page);
    }
    const int panel = object.PanelIndex();
    if (panel >= 0) form->ShowPanels(1u << panel);
}

bool TMainShell::PromptPersonalizedText(const QString& originalText, const QString& name,
                                        QString& value) {
    return TPersonalizeForm::Prompt(originalText, name, value, &FMain);
}

void TWaitDialog::Run(QWidget* parent, const QString& message, const std::function<void()>& work) {
    QDialog box(parent, Qt::FramelessWindowHint | Qt::Dialog);
    box.setFixedSize(232, 89);
    auto* layout = new QVBoxLayout(&box);
    auto* label = new QLabel(message, &box);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        box.move(screen->availableGeometry().center() - QPoint(116, 44));
    box.show();
    QApplication::processEvents();
    work();
    box.close();
}

void TMainEditorHost::ClickEditTool(TEditorState& state) {
    delete state.ObjectInProgress;
    state.ObjectInProgress = nullptr;
    state.KeepAdding = false;
    FMain.SetTool(ToolEdit);
}

void TMainEditorHost::ShowObjectMenu(TCardForm&, QPoint globalPos) {
    QMenu menu(&FMain);
    for (const char* name : std::initializer_list<const char*>{
             "ACut", "ACopy", "APaste", "ADelete", nullptr, "ABringToFront", "ASendToBack",
             "AUpOneLevel", "ADownOneLevel", nullptr, "ACenterHorizontally", "ACenterVertically",
             nullptr, "AWebLinkProps", "AProperties"}) {
        if (!name)
            menu.addSeparator();
        else
            menu.addAction(FMain.Action(QString::fromLatin1(name)));
    }
    FMain.UpdateActions();
    menu.exec(globalPos);
}

bool TMainEditorHost::Save(TCardForm& form) {
    return FMain.Files().Save(form, true);
}

TSaveAnswer TMainEditorHost::AskSave(const QString& question) {
    return FMain.Dialogs().SaveChanges(question);
}

void TMainEditorHost::AddRecentFile(const QString& fileName) {
    FMain.LastUsed().Add(fileName);
}

void TMainEditorHost::ShowHint(const QString& hint) {
    FMain.ShowHint(hint);
}

void TMainEditorHost::ShowHelp(int helpContext) {
    FMain.ShowHelp(helpContext);
}
