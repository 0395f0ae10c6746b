#include "app/AppIcon.h"
#include "app/CommandLine.h"
#include "app/MainForm.h"
#include "document/AppContext.h"
#include "editor/EditorState.h"
#include "events/Event.h"
#include "objects/ObjectClasses.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

// Qt warns that the runtime folder is unset when there is no session; batch commands run
// exactly there, and their stderr is for their own errors.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    qt_message_output(type, context, text);
}

bool HaveDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int RunBatch(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("QDX"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QDX_VERSION));
    QStringList arguments = QGuiApplication::arguments();
    arguments.removeFirst();
    return CommandLine::Run(arguments);
}

int RunWindow(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QDX"));
    QApplication::setWindowIcon(ApplicationIcon());
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    RegisterDocumentClasses();
    RegisterEventClasses();
    TAppContext& context = AppContext();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        context.ScreenPixelsPerInch = qRound(screen->logicalDotsPerInch());
    EditorState().ApplyGridSpacing();

    TMainForm main;
    if (!main.Start()) return 1;
    main.showMaximized();
    main.OpenArguments(arguments);
    // For timing the start: leave as soon as the window is up and idle.
    if (qEnvironmentVariableIsSet("QDX_QUIT_WHEN_IDLE"))
        QTimer::singleShot(0, &application, &QApplication::quit);
    return application.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(FilterMessages);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (CommandLine::IsBatch(arguments)) return RunBatch(argc, argv);
    if (!HaveDisplay()) {
        std::fprintf(stderr, "qdx: no display to open a window on; see qdx --help for the "
                             "commands that need none.\n");
        return 1;
    }
    return RunWindow(argc, argv);
}
