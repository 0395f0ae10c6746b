#include "document/Card.h"
#include "platform/Mail.h"
#include "storage/Exception.h"
#include "support/DocumentFixtures.h"
#include "types/CardType.h"
#include "web/WebGen.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Puts a stand-in for xdg-email first on the PATH: it writes its arguments, one a line, into
// a file and exits with the code the environment asks for.
class MailTest : public testing::Test {
protected:
    QTemporaryDir Bin;
    QTemporaryDir User;
    QByteArray SavedPath = qgetenv("PATH");

    void SetUp() override {
        const QString script = QDir(Bin.path()).filePath("xdg-email");
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$MAIL_RECORD\"\n"
                   "exit ${MAIL_EXIT:-0}\n");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        qputenv("PATH", Bin.path().toUtf8() + ":" + SavedPath);
        qputenv("MAIL_RECORD", Record().toUtf8());
        qunsetenv("MAIL_EXIT");
    }
    void TearDown() override {
        qputenv("PATH", SavedPath);
        qunsetenv("MAIL_RECORD");
        qunsetenv("MAIL_EXIT");
    }

    QString Record() const { return QDir(Bin.path()).filePath("record.txt"); }
    QStringList Recorded() const {
        QFile file(Record());
        if (!file.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

bool IsJpeg(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "\xFF\xD8";
}

} // namespace

TEST_F(MailTest, MailProgramGetsTheSubjectAndOneAttachEachFileInOrder) {
    TXdgMailer mailer;
    ASSERT_TRUE(mailer.Available());
    const QStringList files{"/tmp/Image1.jpg", "/tmp/a folder/My card.qdx", "/tmp/-odd.pdf"};
    EXPECT_TRUE(mailer.Send(QStringLiteral("Party on Friday; bring \"snacks\""), files));
    EXPECT_EQ(Recorded(),
              (QStringList{"--subject", "Party on Friday; bring \"snacks\"", "--attach",
                           "/tmp/Image1.jpg", "--attach", "/tmp/a folder/My card.qdx", "--attach",
                           "/tmp/-odd.pdf"}));
}

TEST_F(MailTest, FailingOrMissingMailProgramIsAFailedSend) {
    qputenv("MAIL_EXIT", "3");
    TXdgMailer failing;
    EXPECT_FALSE(failing.Send(QStringLiteral("s"), {}));
    EXPECT_EQ(Recorded(), (QStringList{"--subject", "s"}));

    TXdgMailer missing(QStringLiteral("no-such-mail-program-here"));
    EXPECT_FALSE(missing.Available());
    EXPECT_FALSE(missing.Send(QStringLiteral("s"), {}));
    EXPECT_FALSE(TNoMailer().Send(QStringLiteral("s"), {}));
    EXPECT_EQ(ErrorSendingMailText(), QStringLiteral("Error sending mail."));
}

TEST_F(MailTest, PicturesOfThePanelsAreNumberedJpegsInTempSendWhichIsRemovedAfterwards) {
    TTestContext test;
    TCard card(cfBifoldVertical, dtGreetingCard);
    const size_t panels = TWebPageGenerator::WebPanels(card, 0).size();
    ASSERT_GT(panels, 1u);
    QString folder;
    {
        TTempSendFolder send(User.path());
        folder = send.Path();
        EXPECT_EQ(folder, QDir(User.path()).filePath("TempSend"));
        const QStringList files = send.WriteAttachments(card, 0, QString(), TMailContent{}, false);
        ASSERT_EQ(files.size(), qsizetype(panels));
        for (size_t i = 0; i < panels; ++i) {
            EXPECT_EQ(files[qsizetype(i)], QDir(folder).filePath(QStringLiteral("Image%1.jpg").arg(i + 1)));
            EXPECT_TRUE(IsJpeg(files[qsizetype(i)]));
        }
        QImage first(files.first());
        const QImage expected = TWebPageGenerator::RenderPanel(*card.Pages(0)->Panels(0));
        EXPECT_EQ(first.size(), expected.size());

        TXdgMailer mailer;
        EXPECT_TRUE(mailer.Send(QStringLiteral("Card"), files));
        EXPECT_EQ(Recorded().size(), 2 + 2 * qsizetype(panels));
    }
    EXPECT_FALSE(QFile::exists(folder));
}

TEST_F(MailTest, DocumentAndPdfGoAlongAndASecondMessageStartsFromAnEmptyFolder) {
    TTestContext test;
    TCard card(cfCertificateLandscape, dtGreetingCard);
    const QString document = QDir(User.path()).filePath("My card.qdx");
    {
        QFile file(document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(CardToBytes(card));
    }
    TTempSendFolder send(User.path());
    TMailContent content;
    content.Pictures = false;
    content.Document = true;
    content.Pdf = true;
    QStringList files = send.WriteAttachments(card, 0, document, content, true);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0], QDir(send.Path()).filePath("My card.qdx"));
    QFile copy(files[0]);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), CardToBytes(card));
    EXPECT_EQ(files[1], QDir(send.Path()).filePath("My card.pdf"));
    QFile pdf(files[1]);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");

    // An unsaved document has no file to send; its PDF still has a name.
    files = send.WriteAttachments(card, 0, QString(), content, true);
    EXPECT_EQ(files, QStringList{QDir(send.Path()).filePath("Document.pdf")});
    EXPECT_EQ(QDir(send.Path()).entryList(QDir::Files), QStringList{"Document.pdf"});
}

TEST_F(MailTest, TempSendThatCannotBeMadeIsAnError) {
    const QString blocker = QDir(User.path()).filePath("blocker");
    QFile(blocker).open(QIODevice::WriteOnly);
    TTempSendFolder send(blocker);
    EXPECT_THROW(send.Prepare(), Exception);
    TTempSendFolder missingSource(User.path());
    missingSource.Prepare();
    EXPECT_THROW(missingSource.CopyFile(QDir(User.path()).filePath("gone.qdx")), Exception);
}
