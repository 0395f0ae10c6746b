// qdxquestions: the knowledge-base viewer, questions and answers about QDX with a search.
#include "kbviewer/KbSettings.h"
#include "kbviewer/QuestionsForm.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qdxquestions"));
    QApplication::setApplicationDisplayName(TForm1::Caption);
    TForm1 form(TKbSettings::Read(KbPaths::SettingsFile()));
    form.show();
    // Opened once the window is up, so that an error box stands in front of it.
    QTimer::singleShot(0, &form, [&form] { form.OpenTable(); });
    return application.exec();
}
