#pragma once

#include "web/WebGen.h"

class QString;
class TCardForm;
class TMainForm;

// The web commands: publishing the active document as a web site into a folder or into the
// preview folder opened in the browser, the pages' names and title, and an object's link. The
// generator lives as long as the main window, so its settings last while the program runs.
class TWebCommands {
public:
    explicit TWebCommands(TMainForm& main) : FMain(main) {}

    void PublishToFolder();
    void Preview();
    void PageNameProperties();
    void LinkProperties();

    TWebPageGenerator& Generator() { return FGenerator; }
    // The folder Preview publishes into: "TempWeb" in the user folder.
    static QString PreviewFolder();

private:
    // Publishes the window's document; false (the reason shown) when nothing could be written.
    bool Publish(TCardForm& form, const QString& folder);

    TMainForm& FMain;
    TWebPageGenerator FGenerator;
};
