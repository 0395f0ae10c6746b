// make_questions SOURCE TABLE: makes the knowledge-base table of the question viewer from its
// readable source (see QuestionSource.h for the format).
#include "QuestionSource.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // The answers are laid out as rich text, which needs fonts but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: make_questions SOURCE.md TABLE\n");
        return 2;
    }
    const QString source = arguments[1];
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_questions: cannot read %s\n", qPrintable(source));
        return 1;
    }
    try {
        const QList<TQuestionEntry> entries =
            ParseQuestionSource(QString::fromUtf8(file.readAll()));
        WriteQuestionTable(entries, arguments[2]);
    } catch (const EQuestionSource& e) {
        std::fprintf(stderr, "make_questions: %s: %s\n", qPrintable(source), e.what());
        return 1;
    }
    return 0;
}
