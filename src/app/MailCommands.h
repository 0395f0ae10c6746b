#pragma once

#include <memory>

class TMainForm;
class TMailer;
class TTempSendFolder;

// Sending the active document by e-mail: pictures of its pages (as its web pages show them),
// the document file or a PDF of it, attached to a new message of the desktop's mail program.
// The attachments stay in "TempSend" until the next message or the end of the program, since
// the mail program may read them after it was started.
class TMailCommands {
public:
    explicit TMailCommands(TMainForm& main);
    ~TMailCommands();

    void UseMailer(std::unique_ptr<TMailer> mailer);
    void Send();

private:
    TMainForm& FMain;
    std::unique_ptr<TMailer> FMailer;
    std::unique_ptr<TTempSendFolder> FFolder;
};
