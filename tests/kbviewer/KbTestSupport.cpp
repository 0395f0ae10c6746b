#include "KbTestSupport.h"

#include "kbviewer/KbServices.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

void KbServicesTest::SetUp() {
    KbServices().ShowMessage = [this](QWidget*, const QString& caption, const QString& text,
                                      bool error) { Messages.append({caption, text, error}); };
    KbServices().OpenUrl = [this](const QUrl& address) {
        OpenedUrls.append(address.toString());
        return true;
    };
    KbServices().RunPrintDialog = [this](QPrinter& printer, QWidget*) {
        ++PrintDialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PdfFile);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        return PrintAccepted;
    };
}

void KbServicesTest::TearDown() {
    ResetKbServices();
}

TPdfLayout ReadPdfLayout(const QString& pdfFile) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfFile, QStringLiteral("-")});
    TPdfLayout layout;
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << pdfFile.toStdString();
        return layout;
    }
    static const QRegularExpression page(
        QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"
        "([^<]*)</word>"));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (const auto m = page.match(line); m.hasMatch()) {
            layout.Pages.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
        } else if (const auto w = word.match(line); w.hasMatch()) {
            layout.Words.append({int(layout.Pages.size()) - 1, w.captured(1).toDouble(),
                                 w.captured(2).toDouble(), w.captured(3).toDouble(),
                                 w.captured(4).toDouble(), w.captured(5)});
        }
    }
    return layout;
}
