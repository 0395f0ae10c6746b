#include "app/WebCommands.h"

#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "document/Card.h"
#include "document/MainDialogs.h"
#include "document/Messages.h"
#include "editor/CardWin.h"
#include "editor/DocumentEditor.h"
#include "platform/UrlOpener.h"
#include "web/WebLinks.h"

#include <QDir>
#include <QStringList>
#include <QUrl>

QString TWebCommands::PreviewFolder() {
    return QDir(AppPaths::UserFolder()).filePath(QStringLiteral("TempWeb"));
}

bool TWebCommands::Publish(TCardForm& form, const QString& folder) {
    TWebPublishResult result;
    try {
        const TMainForm::TBusy busy(FMain);
        result = FGenerator.Publish(form.Card(), form.CurrentPage(), folder);
    } catch (const std::exception& e) {
        FMain.Messages().Error(QString::fromUtf8(e.what()));
        return false;
    }
    // A page left out is said, not passed over: the site would lack it without a word.
    if (!result.LeftOut.empty()) {
        QStringList pages;
        for (const int n : result.LeftOut) pages << QString::number(n);
        FMain.Messages().Error(
            QStringLiteral("The picture of web page %1 could not be saved; the page was left out.")
                .arg(pages.join(QStringLiteral(", "))));
    }
    return !result.Written.empty();
}

void TWebCommands::PublishToFolder() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form || !form->HasDocument()) return;
    const QString folder = FMain.Dialogs().WebSiteFolder();
    if (folder.isEmpty()) return;
    Publish(*form, folder);
}

void TWebCommands::Preview() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form || !form->HasDocument()) return;
    const QString folder = PreviewFolder();
    QDir old(folder);
    if (old.exists() && !old.removeRecursively()) {
        FMain.Messages().Error(QStringLiteral("Unable to empty the folder %1.").arg(folder));
        return;
    }
    if (!Publish(*form, folder)) return;
    const QUrl main = QUrl::fromLocalFile(QDir(folder).filePath(FGenerator.MainPageFile()));
    if (!FMain.UrlOpener().Open(main))
        FMain.Messages().Error(
            QStringLiteral("Unable to locate a default Web Browser for opening Web pages."));
}

void TWebCommands::PageNameProperties() {
    const TCard* card = FMain.ActiveDocument();
    FMain.Dialogs().PageNameProperties(FGenerator, card ? card->Description : QString());
}

void TWebCommands::LinkProperties() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form || !form->HasDocument() || form->Selection().Count() == 0) return;
    TCardObject* object = form->Selection().Items(0);
    int linkType = object->LinkType;
    QString target = object->LinkTarget;
    const TLinkPages pages = LinkPagesOf(form->Card(), form->CurrentPage(), *object);
    if (!FMain.Dialogs().LinkProperties(linkType, target, pages)) return;
    if (linkType == object->LinkType && target == object->LinkTarget) return;
    TDocumentEditor::TContentRecord record(form->Editor(), QStringLiteral("Link Properties"),
                                           {object});
    object->LinkType = quint8(linkType);
    object->LinkTarget = target;
    record.Commit();
}
