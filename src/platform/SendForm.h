#pragma once

#include "platform/Mail.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Send E-mail": the subject, and what to attach: pictures of the pages, the document file
// (only when it has been saved) and a PDF of it. OK needs at least one of them.
class TSendForm : public QDialog {
    Q_OBJECT
public:
    TSendForm(const QString& subject, bool documentSaved, QWidget* parent = nullptr);

    TMailContent Content() const;

    QLineEdit* Subject() const { return FSubject; }
    QCheckBox* Pictures() const { return FPictures; }
    QCheckBox* Document() const { return FDocument; }
    QCheckBox* Pdf() const { return FPdf; }
    QPushButton* OkButton() const { return FOk; }

private:
    void UpdateOk();

    QLineEdit* FSubject;
    QCheckBox* FPictures;
    QCheckBox* FDocument;
    QCheckBox* FPdf;
    QPushButton* FOk;
};
