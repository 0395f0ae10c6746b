#include "QuestionSource.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char* const Sample = R"(<!--
About this file.
Ver: 0.1
-->

# Label

## How do I print labels?
Keywords: labels, print
Note: checked against the wizard

Open the **wizard**.

```
# not a type
## not a question
```

## Return labels
Ver: 0.2
Note: first
Note: second

Keywords: this line is part of the answer

# Greeting Card

## How do I fold a card?
Fold it.
)";

// The message of the source fault, or "" when the text is read.
std::string FaultOf(const QString& text) {
    try {
        ParseQuestionSource(text);
    } catch (const EQuestionSource& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(QuestionSource, ReadsTypesQuestionsFieldsAndAnswers) {
    const QList<TQuestionEntry> entries = ParseQuestionSource(QString::fromUtf8(Sample));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].PublicationType, QStringLiteral("Label"));
    EXPECT_EQ(entries[0].Title, QStringLiteral("How do I print labels?"));
    EXPECT_EQ(entries[0].Keywords, QStringLiteral("labels, print"));
    EXPECT_EQ(entries[0].Ver, QStringLiteral("0.1"));
    EXPECT_EQ(entries[0].InternalComment, QStringLiteral("checked against the wizard"));
    // Headings inside a code block belong to the answer.
    EXPECT_EQ(entries[0].Body, QStringLiteral("Open the **wizard**.\n\n```\n# not a type\n"
                                              "## not a question\n```"));
    EXPECT_EQ(entries[1].Ver, QStringLiteral("0.2"));
    EXPECT_EQ(entries[1].InternalComment, QStringLiteral("first\nsecond"));
    EXPECT_EQ(entries[1].Keywords, QString());
    EXPECT_EQ(entries[1].Body, QStringLiteral("Keywords: this line is part of the answer"));
    EXPECT_EQ(entries[2].PublicationType, QStringLiteral("Greeting Card"));
    EXPECT_EQ(entries[2].Line, 28);
}

TEST(QuestionSource, FaultsNameTheirLine) {
    const QString head = QStringLiteral("Ver: 0.1\n# General\n");
    const QString longTitle = QString(71, QLatin1Char('x'));
    const struct {
        QString Text;
        const char* Fault;
    } cases[] = {
        {head + QStringLiteral("## ") + longTitle + QStringLiteral("\nAnswer.\n"),
         "line 3: the title is 71 characters long; the table holds 70"},
        {QStringLiteral("## Early\nAnswer.\n"), "line 1: a question before the first publication type"},
        {head + QStringLiteral("## Empty\nKeywords: a\n\n## Next\nAnswer.\n"),
         "line 3: \"Empty\" has no answer"},
        {head + QStringLiteral("## Same\nA.\n## same\nB.\n"), "line 5: \"same\" is asked twice under General"},
        {head + QStringLiteral("Stray words\n## Q\nA.\n"), "line 3: text outside a question"},
        {head + QStringLiteral("## Q\n```\ncode\n"), "line 6: a code block that is never closed"},
        {QStringLiteral("# General\n## Q\nA.\n"), "line 2: \"Q\" has no version (Ver:)"},
        {head + QStringLiteral("## Q\nVer: 1.10\nA.\n"), "line 3: Ver is 4 characters long"},
        {QStringLiteral("Ver: 1\n# ") + QString(31, QLatin1Char('T')) + QStringLiteral("\n"),
         "line 2: the publication type is 31 characters long"},
        {head + QStringLiteral("## Q\nKeywords: ") + QString(251, QLatin1Char('k')) +
             QStringLiteral("\nA.\n"),
         "line 3: Keywords is 251 characters long"},
    };
    for (const auto& c : cases)
        EXPECT_NE(FaultOf(c.Text).find(c.Fault), std::string::npos)
            << "got \"" << FaultOf(c.Text) << "\", wanted \"" << c.Fault << "\"";
    EXPECT_EQ(FaultOf(head + QStringLiteral("## ") + QString(70, QLatin1Char('x')) +
                      QStringLiteral("\nA.\n")),
              "");
}

TEST(QuestionSource, WritesTheTableAndReplacesAnOldOne) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("kb/qandadb.dat"));
    WriteQuestionTable(ParseQuestionSource(QStringLiteral("Ver: 0.1\n# General\n## Old\nOld.\n")),
                       file);
    const QList<TQuestionEntry> entries = ParseQuestionSource(QString::fromUtf8(Sample));
    WriteQuestionTable(entries, file);
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("source-test"));
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery query(QStringLiteral("SELECT * FROM qanda ORDER BY rowid"), db);
        const QSqlRecord record = query.record();
        ASSERT_EQ(record.count(), 6);
        const char* names[] = {"PublicationType", "Title", "Tip", "Ver", "InternalComment", "Keywords"};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(record.fieldName(i), QLatin1String(names[i]));
        int rows = 0;
        while (query.next()) {
            EXPECT_EQ(query.value(1).toString(), entries[rows].Title);
            EXPECT_EQ(query.value(5).toString(), entries[rows].Keywords);
            ++rows;
        }
        EXPECT_EQ(rows, 3); // the old table is gone
        query.exec(QStringLiteral("SELECT Tip FROM qanda WHERE Title = 'How do I print labels?'"));
        ASSERT_TRUE(query.next());
        const QString tip = query.value(0).toString();
        EXPECT_TRUE(tip.contains(QLatin1String("<html>")));
        EXPECT_TRUE(tip.contains(QLatin1String("font-weight:700;\">wizard</span>"))) << tip.toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("source-test"));
}

TEST(QuestionSource, FailedWriteLeavesNoTable) {
    QTemporaryDir folder;
    // A folder where the table should be: the rename cannot replace it.
    const QString file = folder.filePath(QStringLiteral("qandadb.dat"));
    ASSERT_TRUE(QDir().mkpath(file + QStringLiteral("/inside")));
    EXPECT_THROW(WriteQuestionTable(ParseQuestionSource(QStringLiteral(
                                        "Ver: 0.1\n# General\n## Q\nA.\n")),
                                    file),
                 EQuestionSource);
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
}
