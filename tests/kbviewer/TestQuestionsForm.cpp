#include "kbviewer/QuestionsForm.h"

#include "KbTestSupport.h"
#include "kbviewer/LinkLabel.h"
#include "kbviewer/Locate.h"
#include "kbviewer/QuestionTable.h"
#include "kbviewer/TipPrinter.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace {

const QString ShippedTable = QStringLiteral(QDX_KB_TABLE);

// Settings naming a folder that holds a copy of the shipped knowledge base.
class QuestionsFormTest : public KbServicesTest {
protected:
    void SetUp() override {
        KbServicesTest::SetUp();
        ASSERT_TRUE(QFile::copy(ShippedTable, Folder.filePath(QStringLiteral("qandadb.dat"))));
        Settings.FilePath = Folder.path();
        Settings.Date = QStringLiteral("1/1/2001");
        Settings.WebSite = QStringLiteral("/opt/qdx/guide.html");
        PdfFile = Folder.filePath(QStringLiteral("tip.pdf"));
    }

    QTemporaryDir Folder;
    TKbSettings Settings;
};

QString Plain(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

} // namespace

TEST(ShippedKnowledgeBase, HasTheSixFieldsInOrderAndEnoughAnswers) {
    ASSERT_TRUE(QFile::exists(ShippedTable)) << ShippedTable.toStdString();
    int rows = 0;
    QSet<QString> types;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shipped"));
        db.setDatabaseName(ShippedTable);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        ASSERT_TRUE(db.open());
        QSqlQuery query(QStringLiteral("SELECT * FROM qanda"), db);
        const QSqlRecord record = query.record();
        QStringList names;
        for (int i = 0; i < record.count(); ++i)
            names.append(record.fieldName(i));
        EXPECT_EQ(names, (QStringList{QStringLiteral("PublicationType"), QStringLiteral("Title"),
                                      QStringLiteral("Tip"), QStringLiteral("Ver"),
                                      QStringLiteral("InternalComment"), QStringLiteral("Keywords")}));
        while (query.next()) {
            ++rows;
            types.insert(query.value(0).toString());
            const QString title = query.value(1).toString();
            EXPECT_FALSE(title.isEmpty());
            EXPECT_LE(title.size(), 70) << title.toStdString();
            // Every answer is rich text with something in it.
            EXPECT_TRUE(query.value(2).toString().startsWith(QLatin1String("<!DOCTYPE HTML")));
            EXPECT_GT(Plain(query.value(2).toString()).size(), 40) << title.toStdString();
            EXPECT_FALSE(query.value(5).toString().isEmpty()) << title.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("shipped"));
    EXPECT_GE(rows, 40);
    for (const char* type : {"General", "Greeting Card", "Label", "Business Card", "Newsletter", "Banner"})
        EXPECT_TRUE(types.contains(QLatin1String(type))) << type;
}

TEST_F(QuestionsFormTest, ShowsTheGridTheTipAndTheStatus) {
    TForm1 form(Settings);
    ASSERT_TRUE(form.OpenTable());
    EXPECT_TRUE(Messages.isEmpty());
    EXPECT_EQ(form.windowTitle(), TForm1::Caption);
    EXPECT_EQ(form.StatusText(),
              QStringLiteral("Updated to: 1/1/2001  Visit our web site for free knowledge base "
                             "updates"));

    QTableView* grid = form.Grid();
    QStringList visible;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        if (!grid->isColumnHidden(column))
            visible.append(grid->model()->headerData(column, Qt::Horizontal).toString());
    EXPECT_EQ(visible, (QStringList{QStringLiteral("PublicationType"), QStringLiteral("Title")}));
    const int character = grid->fontMetrics().averageCharWidth();
    // 15 characters and the cell's margins.
    EXPECT_GE(grid->columnWidth(TQuestionTable::PublicationType), 15 * character);
    EXPECT_LE(grid->columnWidth(TQuestionTable::PublicationType), 15 * character + 16);
    EXPECT_GE(grid->columnWidth(TQuestionTable::Title), 50 * character);
    EXPECT_GE(form.Table().rowCount(), 40);
    EXPECT_EQ(form.TipView()->toolTip(), QStringLiteral("Click F2 to print"));
    EXPECT_TRUE(form.TipView()->isReadOnly());

    // The first question is current, and its answer shows with its formatting.
    EXPECT_EQ(form.CurrentRow(), 0);
    EXPECT_EQ(form.TipView()->toPlainText(),
              Plain(form.Table().Value(0, TQuestionTable::Tip)));
    auto* prior = form.findChild<QToolButton*>(QStringLiteral("PriorButton"));
    auto* next = form.findChild<QToolButton*>(QStringLiteral("NextButton"));
    EXPECT_FALSE(prior->isEnabled());
    next->click();
    EXPECT_EQ(form.CurrentRow(), 1);
    EXPECT_EQ(form.TipView()->toPlainText(),
              Plain(form.Table().Value(1, TQuestionTable::Tip)));
    EXPECT_TRUE(prior->isEnabled());
    form.SetCurrentRow(form.Table().rowCount() - 1);
    EXPECT_FALSE(next->isEnabled());
    prior->click();
    EXPECT_EQ(form.CurrentRow(), form.Table().rowCount() - 2);
}

TEST_F(QuestionsFormTest, FilePathWithTrailingSeparatorOpens) {
    Settings.FilePath = Folder.path() + QStringLiteral("/");
    TForm1 form(Settings);
    EXPECT_TRUE(form.OpenTable());
    EXPECT_EQ(form.Table().FileName(), Folder.filePath(QStringLiteral("qandadb.dat")));
    EXPECT_GE(form.Table().rowCount(), 40);
}

TEST_F(QuestionsFormTest, SearchFindsAQuestionOfTheShippedBase) {
    TForm1 form(Settings);
    ASSERT_TRUE(form.OpenTable());
    TLocateDialog* locate = form.LocateDialog();
    locate->findChild<QLineEdit*>(QStringLiteral("ValueEdit"))->setText(QStringLiteral("CSV"));
    locate->findChild<QPushButton*>(QStringLiteral("FindNextButton"))->click();
    ASSERT_TRUE(Messages.isEmpty());
    EXPECT_TRUE(form.Table().Value(form.CurrentRow(), TQuestionTable::Title).contains(QLatin1String("CSV")));
    EXPECT_TRUE(form.TipView()->toPlainText().contains(QLatin1String("comma-separated")));
}

TEST_F(QuestionsFormTest, MissingTableShowsTheEngineErrorAndLeavesAnEmptyGrid) {
    QTemporaryDir empty;
    Settings.FilePath = empty.path();
    TForm1 form(Settings);
    EXPECT_FALSE(form.OpenTable());
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].Error);
    EXPECT_EQ(Messages[0].Caption, QStringLiteral("Error"));
    EXPECT_TRUE(Messages[0].Text.contains(empty.filePath(QStringLiteral("qandadb.dat"))));
    EXPECT_TRUE(Messages[0].Text.contains(QLatin1String("unable to open database file")))
        << Messages[0].Text.toStdString();
    EXPECT_EQ(form.Table().rowCount(), 0);
    EXPECT_EQ(form.CurrentRow(), -1);
    EXPECT_TRUE(form.TipView()->toPlainText().isEmpty());
    // Opening read-only made no empty database in its place.
    EXPECT_FALSE(QFile::exists(empty.filePath(QStringLiteral("qandadb.dat"))));

    // Still usable: a search says there is nothing, F2 prints nothing.
    TLocateDialog* locate = form.LocateDialog();
    locate->findChild<QLineEdit*>(QStringLiteral("ValueEdit"))->setText(QStringLiteral("card"));
    locate->findChild<QPushButton*>(QStringLiteral("FindNextButton"))->click();
    ASSERT_EQ(Messages.size(), 2);
    EXPECT_TRUE(Messages[1].Text.startsWith(QLatin1String("No row found")));
    form.PrintTip();
    EXPECT_EQ(PrintDialogs, 0);
}

TEST_F(QuestionsFormTest, FileWithoutTheTableShowsTheEngineError) {
    QTemporaryDir other;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(other.filePath(QStringLiteral("qandadb.dat")));
        ASSERT_TRUE(db.open());
        QSqlQuery(QStringLiteral("CREATE TABLE notes (Title TEXT)"), db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    Settings.FilePath = other.path();
    TForm1 form(Settings);
    EXPECT_FALSE(form.OpenTable());
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].Text.contains(QLatin1String("no such table: qanda")))
        << Messages[0].Text.toStdString();
    EXPECT_EQ(form.Table().rowCount(), 0);
}

TEST_F(QuestionsFormTest, LinkOpensTheAddressFromTheSettingsAndTurnsRedWhenHovered) {
    TForm1 form(Settings);
    form.show();
    auto* link = form.findChild<TLinkLabel*>(QStringLiteral("WebLink"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(), QStringLiteral("Click here to visit our web site"));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::red));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));

    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_EQ(OpenedUrls.size(), 1);
    EXPECT_EQ(OpenedUrls[0], QStringLiteral("file:///opt/qdx/guide.html"));

    Settings.WebSite = QStringLiteral("https://example.org/kb");
    TForm1 web(Settings);
    web.show();
    QTest::mouseClick(web.findChild<TLinkLabel*>(QStringLiteral("WebLink")), Qt::LeftButton, {},
                      QPoint(4, 4));
    ASSERT_EQ(OpenedUrls.size(), 2);
    EXPECT_EQ(OpenedUrls[1], QStringLiteral("https://example.org/kb"));
}

// F2 prints the current answer through the print dialog, one inch from every edge.
TEST_F(QuestionsFormTest, F2PrintsTheTipWithOneInchMargins) {
    TForm1 form(Settings);
    ASSERT_TRUE(form.OpenTable());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F2);
    ASSERT_EQ(PrintDialogs, 1);
    const TPdfLayout layout = ReadPdfLayout(PdfFile);
    ASSERT_EQ(layout.Pages.size(), 1);
    EXPECT_NEAR(layout.Pages[0].width(), 612, 0.5);
    EXPECT_NEAR(layout.Pages[0].height(), 792, 0.5);
    ASSERT_FALSE(layout.Words.isEmpty());
    double left = 1e9, top = 1e9, right = 0;
    for (const TPdfWord& word : layout.Words) {
        left = std::min(left, word.XMin);
        top = std::min(top, word.YMin);
        right = std::max(right, word.XMax);
    }
    EXPECT_NEAR(left, 72, 1.5);
    EXPECT_NEAR(top, 72, 3);
    EXPECT_LE(right, 612 - 72 + 1);
    // The printout is the current answer.
    const QString first = form.TipView()->toPlainText().section(QLatin1Char(' '), 0, 0);
    EXPECT_EQ(layout.Words[0].Text, first);

    // Cancelled: nothing printed.
    QFile::remove(PdfFile);
    PrintAccepted = false;
    form.PrintTip();
    EXPECT_EQ(PrintDialogs, 2);
    EXPECT_FALSE(QFile::exists(PdfFile));
}

TEST_F(QuestionsFormTest, LongTipsContinueOnTheNextPageInsideTheMargins) {
    QTextDocument text;
    QString html;
    for (int i = 1; i <= 120; ++i)
        html += QStringLiteral("<p>Paragraph %1 of a long answer that goes on and on so that it "
                               "needs more than one line on the page.</p>")
                    .arg(i);
    text.setHtml(html);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfFile);
    printer.setPageSize(QPageSize(QPageSize::A4));
    PrintTipText(text, printer);

    const TPdfLayout layout = ReadPdfLayout(PdfFile);
    ASSERT_GE(layout.Pages.size(), 2);
    const double width = layout.Pages[0].width(), height = layout.Pages[0].height();
    EXPECT_NEAR(width, 595, 1);
    for (int page = 0; page < layout.Pages.size(); ++page) {
        double left = 1e9, top = 1e9, right = 0, bottom = 0;
        for (const TPdfWord& word : layout.Words) {
            if (word.Page != page) continue;
            left = std::min(left, word.XMin);
            top = std::min(top, word.YMin);
            right = std::max(right, word.XMax);
            bottom = std::max(bottom, word.YMax);
        }
        EXPECT_NEAR(left, 72, 1.5) << "page " << page;
        EXPECT_NEAR(top, 72, 3) << "page " << page;
        EXPECT_LE(right, width - 72 + 1) << "page " << page;
        EXPECT_LE(bottom, height - 72 + 1) << "page " << page;
        if (page + 1 < layout.Pages.size()) {
            EXPECT_GT(bottom, height - 72 - 40) << "a full page " << page;
        }
    }
    // Nothing lost or doubled between pages.
    int paragraphs = 0;
    for (const TPdfWord& word : layout.Words)
        if (word.Text == QLatin1String("Paragraph")) ++paragraphs;
    EXPECT_EQ(paragraphs, 120);
}
