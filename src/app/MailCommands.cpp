#include "app/MailCommands.h"

#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Messages.h"
#include "editor/CardWin.h"
#include "platform/Mail.h"
#include "platform/PlatformDialogs.h"

#include <QFileInfo>

TMailCommands::TMailCommands(TMainForm& main)
    : FMain(main), FMailer(std::make_unique<TXdgMailer>()) {}

TMailCommands::~TMailCommands() = default;

void TMailCommands::UseMailer(std::unique_ptr<TMailer> mailer) {
    FMailer = std::move(mailer);
}

void TMailCommands::Send() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form || !form->HasDocument()) return;
    TCard& card = form->Card();
    TMailContent content;
    content.Subject = card.Description;
    const bool saved = !card.FileName.isEmpty() && QFileInfo::exists(card.FileName);
    if (!FMain.PlatformDialogs().MailContent(content, saved)) return;
    if (!FFolder) FFolder = std::make_unique<TTempSendFolder>(AppPaths::UserFolder());
    QStringList files;
    try {
        const TMainForm::TBusy busy(FMain);
        files = FFolder->WriteAttachments(card, form->CurrentPage(), saved ? card.FileName : QString(),
                                          content, AppContext().Metric);
    } catch (const std::exception& e) {
        FFolder->Remove();
        FMain.Messages().Error(QString::fromUtf8(e.what()));
        return;
    }
    if (files.isEmpty() || !FMailer->Send(content.Subject, files)) {
        FFolder->Remove();
        FMain.Messages().Error(ErrorSendingMailText());
    }
}
