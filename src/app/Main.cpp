#include "app/CommandLine.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QDX"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QDX_VERSION));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return CommandLine::Run(arguments);
}
