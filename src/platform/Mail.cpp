#include "platform/Mail.h"

#include "document/Card.h"
#include "print/PdfPrinter.h"
#include "print/PrintPublication.h"
#include "storage/Exception.h"
#include "web/WebGen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

TXdgMailer::TXdgMailer(const QString& program) : FProgram(program) {}

bool TXdgMailer::Available() const {
    return !QStandardPaths::findExecutable(FProgram).isEmpty() || QFileInfo(FProgram).isExecutable();
}

QStringList TXdgMailer::Arguments(const QString& subject, const QStringList& files) {
    QStringList arguments{QStringLiteral("--subject"), subject};
    for (const QString& file : files) arguments << QStringLiteral("--attach") << file;
    return arguments;
}

bool TXdgMailer::Send(const QString& subject, const QStringList& files) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(FProgram, Arguments(subject, files));
    if (!process.waitForStarted()) return false;
    if (!process.waitForFinished(TimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString ErrorSendingMailText() {
    return QStringLiteral("Error sending mail.");
}

TTempSendFolder::TTempSendFolder(const QString& userFolder)
    : FPath(QDir(userFolder).filePath(QLatin1String(FolderName))) {}

TTempSendFolder::~TTempSendFolder() {
    Remove();
}

void TTempSendFolder::Prepare() {
    Remove();
    if (!QDir().mkpath(FPath))
        throw Exception(QStringLiteral("Cannot create folder \"%1\".").arg(FPath));
}

void TTempSendFolder::Remove() {
    if (QFileInfo::exists(FPath)) QDir(FPath).removeRecursively();
}

QStringList TTempSendFolder::WritePictures(const std::vector<QImage>& pictures) {
    QStringList files;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const QString path = QDir(FPath).filePath(QStringLiteral("Image%1.jpg").arg(i + 1));
        if (!SaveJpegFile(pictures[i], path))
            throw Exception(QStringLiteral("Cannot create file \"%1\".").arg(path));
        files.append(path);
    }
    return files;
}

QString TTempSendFolder::CopyFile(const QString& source) {
    const QString path = QDir(FPath).filePath(QFileInfo(source).fileName());
    QFile::remove(path);
    QFile file(source);
    if (!file.copy(path))
        throw Exception(QStringLiteral("Cannot copy \"%1\". %2").arg(source, file.errorString()));
    return path;
}

QString TTempSendFolder::WritePdf(TCard& card, const QString& name, bool metric) {
    const QString path = QDir(FPath).filePath(name + QStringLiteral(".pdf"));
    TPdfPrinter printer(path, metric);
    TAnsweredPrintPrompts prompts(false, false);
    TPrintRequest request;
    request.Title = name;
    PrintPublication(card, printer, prompts, request);
    if (!QFileInfo::exists(path))
        throw Exception(QStringLiteral("Cannot create file \"%1\".").arg(path));
    return path;
}

QStringList TTempSendFolder::WriteAttachments(TCard& card, int currentPage, const QString& documentFile,
                                              const TMailContent& content, bool metric) {
    Prepare();
    QStringList files;
    if (content.Pictures) {
        std::vector<QImage> pictures;
        for (const TCardPanel* panel : TWebPageGenerator::WebPanels(card, currentPage))
            pictures.push_back(TWebPageGenerator::RenderPanel(*panel));
        files += WritePictures(pictures);
    }
    if (content.Document && !documentFile.isEmpty()) files.append(CopyFile(documentFile));
    if (content.Pdf) {
        QString name = QFileInfo(documentFile).completeBaseName();
        if (name.isEmpty()) name = QStringLiteral("Document");
        files.append(WritePdf(card, name, metric));
    }
    return files;
}
