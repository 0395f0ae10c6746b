#pragma once

#include "app/DatabaseCommands.h"
#include "app/FileCommands.h"
#include "app/MainForm.h"
#include "app/PrintCommands.h"
#include "document/Card.h"
#include "editor/EditorState.h"
#include "support/DocumentFixtures.h"
#include "app/ScanCommands.h"
#include "platform/Scanner.h"
#include "support/RecordingDialogs.h"
#include "support/RecordingPlatformDialogs.h"
#include "ProgramFolders.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A main window over a fresh program folder (with the files start-up requires) and a fresh
// user folder. Its questions go to Dialogs: New makes a blank card of NewFormat and NewType,
// a closing window is not saved, and what the script leaves unanswered the program's own
// dialogs ask.
class TMainWindowFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UseFreshProgramFolders(Program, User));
        EditorState().Tool = ToolEdit;
    }
    void TearDown() override {
        if (!Main) return;
        Main->close();
        Main.reset();
    }
    // The window, not started yet.
    void MakeMain() {
        Main = std::make_unique<TMainForm>();
        Main->UseMessages(&Test.Messages);
        Dialogs.Fallback = &Main->Dialogs();
        Main->UseDialogs(&Dialogs);
        Main->UsePlatformDialogs(&PlatformDialogs);
        // The system's scanners are not asked: listing them takes seconds.
        Main->Scanning().UseScanner(std::make_unique<TNoScanner>());
        Dialogs.AnswerNewCard = [this](bool& fromTemplate, int& format) {
            fromTemplate = false;
            format = NewFormat;
            return std::make_unique<TCard>(NewFormat, NewType);
        };
        Dialogs.AnswerSaveChanges = [](const QString&) { return TSaveAnswer::No; };
    }

    TTestContext Test;
    QTemporaryDir Program;
    QTemporaryDir User;
    TRecordingDialogs Dialogs;
    TRecordingPlatformDialogs PlatformDialogs;
    std::unique_ptr<TMainForm> Main;
    int NewFormat = 0;
    int NewType = 0;
};
