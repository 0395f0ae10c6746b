#pragma once

#include "document/Messages.h"
#include "document/Shell.h"
#include "editor/EditorHost.h"

#include <QString>

class QWidget;
class TMainForm;

// The three message boxes of the program, with their captions.
class TMessageBoxes : public TMessageSink {
public:
    explicit TMessageBoxes(QWidget* parent) : FParent(parent) {}
    void Error(const QString& text) override;
    void Information(const QString& text) override;
    bool Confirm(const QString& text) override; // Yes/No
private:
    QWidget* FParent;
};

// The user interface as the document model sees it.
class TMainShell : public TShell {
public:
    explicit TMainShell(TMainForm& main) : FMain(main) {}
    void RepaintObject(TCardObject& object) override;
    void SetLockedCheck(bool locked) override;
    void ShowPreview(const QImage* preview) override;
    void ChooseCardType(TCard& card, const QString& fileName) override;
    void RevealObject(TCardObject& object) override;
    bool PromptPersonalizedText(const QString& originalText, const QString& name,
                                QString& value) override;
    void ResumeDrawing() override;

private:
    TMainForm& FMain;
};

// The main window as the editing windows' host: its tools, menus, status line and commands.
class TMainEditorHost : public TEditorHost {
public:
    explicit TMainEditorHost(TMainForm& main) : FMain(main) {}
    void ClickEditTool(TEditorState& state) override;
    void ShowObjectMenu(TCardForm& form, QPoint globalPos) override;
    bool Save(TCardForm& form) override;
    TSaveAnswer AskSave(const QString& question) override;
    void AddRecentFile(const QString& fileName) override;
    void ShowHint(const QString& hint) override;
    void ShowHelp(int helpContext) override;

private:
    TMainForm& FMain;
};

// A box that shows a message while work runs, then closes itself.
class TWaitDialog {
public:
    // Shows the message, runs the work once the box has painted itself, then closes it.
    static void Run(QWidget* parent, const QString& message, const std::function<void()>& work);
};
