#include "app/CommandLine.h"

#include <QGuiApplication>

namespace {

// Qt warns that the runtime folder is unset when there is no session; batch commands run
// exactly there, and their stderr is for their own errors.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    qt_message_output(type, context, text);
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(FilterMessages);
    // Batch commands run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("QDX"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QDX_VERSION));
    QStringList arguments = QGuiApplication::arguments();
    arguments.removeFirst();
    return CommandLine::Run(arguments);
}
