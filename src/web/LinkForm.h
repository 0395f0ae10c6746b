#pragma once

#include "web/WebLinks.h"

#include <QDialog>

#include <functional>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Link Properties": the web link of an object — an address, an e-mail address, a file, a page
// of the project, or none. The caller stores ChosenType and ChosenTarget on OK.
class TLinkForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10050;

    TLinkForm(int linkType, const QString& target, const TLinkPages& pages,
              QWidget* parent = nullptr);

    int ChosenType() const;
    QString ChosenTarget() const;

    // Chooses a kind as the user would click it (a kind of the link table).
    void Choose(int linkType);
    void SetText(const QString& text);
    void SetPageNumber(int number);
    // The "Link Type:" choices (ltPage: "Page in Project") and the page choices.
    QAbstractButton* KindButton(int linkType) const;
    QAbstractButton* PageKindButton(int linkType) const;

    // The Browse button's file dialog; tests put their answer here. Empty: cancelled.
    std::function<QString(const QString& current)> AskFileName;

private:
    void BuildKindGroup(QGroupBox* group);
    void BuildPageGroup(QGroupBox* group);
    void UpdateEnabling();
    int ChosenPageKind() const;

    TLinkPages FPages;
    QButtonGroup* FKinds;     // ids: ltAddress, ltEmail, ltFile, ltPage (page in project), ltNone
    QButtonGroup* FPageKinds; // ids: ltFirstPage, ltLastPage, ltNextPage, ltPreviousPage, ltPage
    QLineEdit* FText;
    QPushButton* FBrowse;
    QGroupBox* FPageGroup;
    QSpinBox* FPageNumber;
};
