#pragma once

#include "support/QtPrinters.h"

#include <QList>
#include <QSizeF>
#include <QString>

#include <gtest/gtest.h>

// Replaces the viewer's desktop services with recording doubles for one test.
class KbServicesTest : public testing::Test {
protected:
    struct TMessage {
        QString Caption;
        QString Text;
        bool Error;
    };

    void SetUp() override;
    void TearDown() override;

    QList<TMessage> Messages;
    QList<QString> OpenedUrls;
    QString PdfFile;      // where the print dialog double sends the printout
    bool PrintAccepted = true;
    int PrintDialogs = 0;
};

// One word of `pdftotext -bbox`, in points from the page's top left corner.
struct TPdfWord {
    int Page;
    double XMin, YMin, XMax, YMax;
    QString Text;
};
struct TPdfLayout {
    QList<QSizeF> Pages;
    QList<TPdfWord> Words;
};
TPdfLayout ReadPdfLayout(const QString& pdfFile);
