#include "QuestionSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextDocument>

namespace {

[[noreturn]] void Fail(int line, const QString& message) {
    throw EQuestionSource(QStringLiteral("line %1: %2").arg(line).arg(message).toStdString());
}

bool IsFence(const QString& line) {
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(QLatin1String("```")) || trimmed.startsWith(QLatin1String("~~~"));
}

void CheckWidth(const QString& value, int width, const char* field, int line) {
    if (value.size() > width)
        Fail(line, QStringLiteral("%1 is %2 characters long; the table holds %3")
                       .arg(QLatin1String(field))
                       .arg(value.size())
                       .arg(width));
}

// Checks a finished question and adds it.
void Finish(TQuestionEntry& entry, QList<TQuestionEntry>& entries, QSet<QString>& seen) {
    while (entry.Body.endsWith(QLatin1Char('\n')))
        entry.Body.chop(1);
    if (entry.Body.trimmed().isEmpty())
        Fail(entry.Line, QStringLiteral("\"%1\" has no answer").arg(entry.Title));
    if (entry.Ver.isEmpty())
        Fail(entry.Line, QStringLiteral("\"%1\" has no version (Ver:)").arg(entry.Title));
    CheckWidth(entry.Title, TitleWidth, "the title", entry.Line);
    CheckWidth(entry.Ver, VerWidth, "Ver", entry.Line);
    CheckWidth(entry.Keywords, KeywordsWidth, "Keywords", entry.Line);
    const QString key = entry.PublicationType + QLatin1Char('\n') + entry.Title.toLower();
    if (seen.contains(key))
        Fail(entry.Line, QStringLiteral("\"%1\" is asked twice under %2")
                             .arg(entry.Title, entry.PublicationType));
    seen.insert(key);
    entries.append(entry);
}

} // namespace

QList<TQuestionEntry> ParseQuestionSource(const QString& text) {
    static const QRegularExpression field(QStringLiteral("^(Keywords|Ver|Note):\\s*(.*)$"));
    QList<TQuestionEntry> entries;
    QSet<QString> seen;
    QString defaultVer;
    QString type;
    TQuestionEntry entry;
    bool inQuestion = false;
    bool inFields = false; // right below a title, where the field lines are
    bool inFence = false;

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const int number = i + 1;
        if (!inFence && line.startsWith(QLatin1String("# "))) {
            if (inQuestion) Finish(entry, entries, seen);
            inQuestion = false;
            type = line.mid(2).trimmed();
            if (type.isEmpty()) Fail(number, QStringLiteral("a publication type without a name"));
            CheckWidth(type, PublicationTypeWidth, "the publication type", number);
            continue;
        }
        if (!inFence && line.startsWith(QLatin1String("## "))) {
            if (inQuestion) Finish(entry, entries, seen);
            if (type.isEmpty())
                Fail(number, QStringLiteral("a question before the first publication type"));
            entry = TQuestionEntry{};
            entry.PublicationType = type;
            entry.Title = line.mid(3).trimmed();
            entry.Ver = defaultVer;
            entry.Line = number;
            if (entry.Title.isEmpty()) Fail(number, QStringLiteral("a question without a title"));
            inQuestion = true;
            inFields = true;
            continue;
        }
        if (type.isEmpty()) { // the preamble
            const QRegularExpressionMatch match = field.match(line);
            if (match.hasMatch() && match.captured(1) == QLatin1String("Ver"))
                defaultVer = match.captured(2).trimmed();
            continue;
        }
        if (!inQuestion) {
            if (!line.trimmed().isEmpty())
                Fail(number, QStringLiteral("text outside a question (a missing \"## \"?)"));
            continue;
        }
        if (inFields) {
            const QRegularExpressionMatch match = field.match(line);
            if (match.hasMatch()) {
                const QString name = match.captured(1);
                const QString value = match.captured(2).trimmed();
                if (name == QLatin1String("Keywords"))
                    entry.Keywords = value;
                else if (name == QLatin1String("Ver"))
                    entry.Ver = value;
                else
                    entry.InternalComment +=
                        (entry.InternalComment.isEmpty() ? QString() : QStringLiteral("\n")) +
                        value;
                continue;
            }
            inFields = false;
        }
        if (IsFence(line)) inFence = !inFence;
        if (entry.Body.isEmpty() && line.trimmed().isEmpty()) continue;
        entry.Body += line + QLatin1Char('\n');
    }
    if (inFence) Fail(lines.size(), QStringLiteral("a code block that is never closed"));
    if (inQuestion) Finish(entry, entries, seen);
    return entries;
}

QString AnswerHtml(const QString& markdown) {
    QTextDocument document;
    // A named generic family, so the tip takes the desktop's own sans-serif face.
    document.setDefaultFont(QFont(QStringLiteral("Sans Serif"), 10));
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    return document.toHtml();
}

void WriteQuestionTable(const QList<TQuestionEntry>& entries, const QString& file) {
    const QString partial = file + QStringLiteral(".part");
    QFile::remove(partial);
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QString connection = QStringLiteral("make_questions");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(partial);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            // Lengths are checked when the source is read; the checks here keep the table
            // honest if someone edits it by hand.
            const bool made = query.exec(QStringLiteral(
                "CREATE TABLE qanda ("
                "PublicationType VARCHAR(30) NOT NULL CHECK (length(PublicationType) <= 30), "
                "Title VARCHAR(70) NOT NULL CHECK (length(Title) <= 70), "
                "Tip TEXT NOT NULL, "
                "Ver VARCHAR(3) CHECK (length(Ver) <= 3), "
                "InternalComment TEXT, "
                "Keywords VARCHAR(250) CHECK (length(Keywords) <= 250))"));
            if (!made) error = query.lastError().text();
            if (error.isEmpty() && db.transaction()) {
                query.prepare(QStringLiteral(
                    "INSERT INTO qanda (PublicationType, Title, Tip, Ver, InternalComment, "
                    "Keywords) VALUES (?, ?, ?, ?, ?, ?)"));
                for (const TQuestionEntry& entry : entries) {
                    query.addBindValue(entry.PublicationType);
                    query.addBindValue(entry.Title);
                    query.addBindValue(AnswerHtml(entry.Body));
                    query.addBindValue(entry.Ver);
                    query.addBindValue(entry.InternalComment);
                    query.addBindValue(entry.Keywords);
                    if (!query.exec()) {
                        error = QStringLiteral("\"%1\": %2")
                                    .arg(entry.Title, query.lastError().text());
                        break;
                    }
                }
                if (error.isEmpty() && !db.commit()) error = db.lastError().text();
            } else if (error.isEmpty()) {
                error = db.lastError().text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (error.isEmpty()) {
        QFile::remove(file);
        if (!QFile::rename(partial, file))
            error = QStringLiteral("cannot rename %1 to %2").arg(partial, file);
    }
    if (!error.isEmpty()) {
        QFile::remove(partial);
        throw EQuestionSource(error.toStdString());
    }
}
