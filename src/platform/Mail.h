#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

class TCard;

// Opens a new message in the user's mail program with files attached.
class TMailer {
public:
    virtual ~TMailer() = default;
    virtual bool Available() const = 0;
    // False when the mail program could not be started or reported an error.
    virtual bool Send(const QString& subject, const QStringList& files) = 0;
};

// No mail program on this system.
class TNoMailer : public TMailer {
public:
    bool Available() const override { return false; }
    bool Send(const QString&, const QStringList&) override { return false; }
};

// The desktop's mail program, through xdg-email.
class TXdgMailer : public TMailer {
public:
    static constexpr int TimeoutMs = 60 * 1000;

    explicit TXdgMailer(const QString& program = QStringLiteral("xdg-email"));
    bool Available() const override;
    bool Send(const QString& subject, const QStringList& files) override;

    // --subject S, then --attach F for each file.
    static QStringList Arguments(const QString& subject, const QStringList& files);

private:
    QString FProgram;
};

QString ErrorSendingMailText(); // "Error sending mail."

// What goes with a message.
struct TMailContent {
    bool Pictures = true; // of the panels, as the web pages show them
    bool Document = false; // the document file itself
    bool Pdf = false;      // the document printed into a PDF file
    QString Subject;
};

// The folder "TempSend" of the user folder, where the attachments are written. The mail
// program may read them after xdg-email returned, so keep it until the next message or the
// end of the program: it is removed when destroyed.
class TTempSendFolder {
public:
    static constexpr const char* FolderName = "TempSend";

    explicit TTempSendFolder(const QString& userFolder);
    ~TTempSendFolder();
    TTempSendFolder(const TTempSendFolder&) = delete;
    TTempSendFolder& operator=(const TTempSendFolder&) = delete;

    const QString& Path() const { return FPath; }
    // Made anew, empty (Exception when it cannot be made).
    void Prepare();
    void Remove();

    // "Image1.jpg", "Image2.jpg"... in the folder; Exception when one cannot be written.
    QStringList WritePictures(const std::vector<QImage>& pictures);
    // A copy of the file under its own name; Exception when it cannot be copied.
    QString CopyFile(const QString& source);
    // The card printed into "<name>.pdf"; Exception when printing fails.
    QString WritePdf(TCard& card, const QString& name, bool metric);

    // The attachments of the content: pictures of the panels that would be web pages of the
    // current page, a copy of the saved document (documentFile; none when empty) and a PDF.
    QStringList WriteAttachments(TCard& card, int currentPage, const QString& documentFile,
                                 const TMailContent& content, bool metric);

private:
    QString FPath;
};
