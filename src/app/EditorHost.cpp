#include "app/EditorHost.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QStatusBar>
#include <QToolBar>

TEditorHost::TEditorHost(std::unique_ptr<TCard> card) : FForm(new TCardForm(this)) {
    setCentralWidget(FForm);
    FForm->AttachDocument(std::move(card));
    setWindowTitle(QStringLiteral("QDX - %1").arg(FForm->windowTitle()));
    BuildActions();
    TEditorState& state = EditorState();
    state.ShowHint = [this](const QString& hint) { statusBar()->showMessage(hint); };
    state.Save = [this](TCardForm& form) {
        if (form.Card().FileName.isEmpty())
            SaveAs();
        else
            form.SaveToFile(form.Card().FileName);
        return !form.Card().DocumentModified;
    };
    resize(1100, 800);
}

void TEditorHost::BuildActions() {
    TEditorState& state = EditorState();
    QToolBar* tools = addToolBar(QStringLiteral("Tools"));
    auto* group = new QActionGroup(this);
    const struct {
        const char* Name;
        int Tool;
        const char* Key;
    } entries[] = {{"Edit", ToolEdit, "Esc"},
                   {"Headline", ToolHeadline, "H"},
                   {"Text", ToolText, "T"},
                   {"Picture", ToolPicture, "P"},
                   {"Line", ToolLine, "L"},
                   {"Rectangle", ToolRectangle, "R"},
                   {"Rounded", ToolRoundedRectangle, "O"},
                   {"Ellipse", ToolEllipse, "E"},
                   {"Bar code", ToolBarCode, "B"},
                   {"Comb", ToolComb, "C"},
                   {"Grid", ToolGrid, "G"},
                   {"Field", ToolField, "F"}};
    for (const auto& entry : entries) {
        QAction* action = tools->addAction(QString::fromLatin1(entry.Name));
        action->setCheckable(true);
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.Key)));
        action->setChecked(entry.Tool == ToolEdit);
        group->addAction(action);
        const int tool = entry.Tool;
        connect(action, &QAction::triggered, this, [&state, tool, this] {
            state.Tool = tool;
            FForm->QDXWindow()->Canvas()->viewport()->setCursor(Qt::CrossCursor);
            if (tool == ToolEdit) FForm->QDXWindow()->Canvas()->viewport()->unsetCursor();
        });
    }
    state.ClickEditTool = [&state, group] {
        state.Tool = ToolEdit;
        state.KeepAdding = false;
        group->actions().first()->setChecked(true);
    };

    QToolBar* view = addToolBar(QStringLiteral("View"));
    view->addAction(QStringLiteral("Zoom Out"), QKeySequence::ZoomOut, FForm, &TCardForm::ZoomOut);
    view->addAction(QStringLiteral("Zoom In"), QKeySequence::ZoomIn, FForm, &TCardForm::ZoomIn);
    auto toggle = [this, view](const QString& name, bool& flag) {
        QAction* action = view->addAction(name);
        action->setCheckable(true);
        action->setChecked(flag);
        connect(action, &QAction::toggled, this, [this, &flag](bool on) {
            flag = on;
            FForm->RefreshSurface();
        });
    };
    toggle(QStringLiteral("Grid"), AppContext().ShowGrid);
    toggle(QStringLiteral("Snap"), AppContext().SnapToGrid);
    QAction* rulers = view->addAction(QStringLiteral("Rulers"));
    rulers->setCheckable(true);
    rulers->setChecked(true);
    connect(rulers, &QAction::toggled, FForm->QDXWindow(), &TQDXWindow::SetShowRulers);
    for (int page = 0; page < FForm->Card().Pages(0)->PanelCount() && page < 6; ++page) {
        const QString name = PanelName(FForm->Card().CardFormat, page);
        if (name.isEmpty()) continue;
        QAction* action = view->addAction(name);
        connect(action, &QAction::triggered, this, [this, page] { FForm->ShowPanels(1u << page); });
    }
    for (const TPanelView& v : PanelViews(FForm->Card().CardFormat)) {
        QAction* action = view->addAction(v.Name);
        const quint32 mask = v.Mask;
        connect(action, &QAction::triggered, this, [this, mask] { FForm->ShowPanels(mask); });
    }

    QToolBar* edit = addToolBar(QStringLiteral("Edit"));
    edit->addAction(QStringLiteral("Save"), QKeySequence::Save, this, [this] {
        TEditorState& s = EditorState();
        s.Save(*FForm);
    });
    edit->addAction(QStringLiteral("Copy"), QKeySequence::Copy, FForm, &TCardForm::Copy);
    edit->addAction(QStringLiteral("Cut"), QKeySequence::Cut, FForm, &TCardForm::Cut);
    edit->addAction(QStringLiteral("Paste"), QKeySequence::Paste, FForm, &TCardForm::Paste);
    edit->addAction(QStringLiteral("Delete"), QKeySequence::Delete, FForm,
                    &TCardForm::DeleteSelection);
    edit->addAction(QStringLiteral("Select All"), QKeySequence::SelectAll, FForm,
                    &TCardForm::SelectAll);
    edit->addAction(QStringLiteral("Lock"), QKeySequence(QStringLiteral("Ctrl+K")), FForm,
                    &TCardForm::ToggleLocked);
    edit->addAction(QStringLiteral("Front"), FForm, &TCardForm::BringToFront);
    edit->addAction(QStringLiteral("Back"), FForm, &TCardForm::SendToBack);
}

void TEditorHost::SaveAs() {
    const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), QString(),
                                                      QStringLiteral("QDX documents (*.qdx)"));
    if (!name.isEmpty()) FForm->SaveToFile(name);
}

void TEditorHost::closeEvent(QCloseEvent* event) {
    FForm->close() ? event->accept() : event->ignore();
}
