#pragma once

#include "kbviewer/KbSettings.h"

#include <QMainWindow>

class QLabel;
class QTableView;
class QTextEdit;
class QToolButton;
class QPushButton;
class TLinkLabel;
class TLocateDialog;
class TQuestionTable;

// The viewer's window: the questions in a grid (publication type and title), the answer of
// the current one below it, prior and next buttons, the search, a link to the web site and
// the date of the knowledge base in the status bar.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static const QString Caption;

    explicit TForm1(const TKbSettings& settings, QWidget* parent = nullptr);

    // Reads the table in the settings' folder. When that fails the engine's message is shown
    // and the grid stays empty; the window remains usable.
    bool OpenTable();
    // Prints the current answer (F2) through the print dialog.
    void PrintTip();

    const TKbSettings& Settings() const { return FSettings; }
    TQuestionTable& Table() const { return *FTable; }
    QTableView* Grid() const { return FGrid; }
    QTextEdit* TipView() const { return FTipView; }
    TLocateDialog* LocateDialog() const { return FLocate; }
    QString StatusText() const;
    int CurrentRow() const;
    void SetCurrentRow(int row);

private:
    void SearchButtonClick();
    void PriorButtonClick();
    void NextButtonClick();
    void WebLinkClick();
    void CurrentRowChanged();
    void SizeGridColumns();

    TKbSettings FSettings;
    TQuestionTable* FTable;
    QTableView* FGrid;
    QTextEdit* FTipView;
    QToolButton* FPriorButton;
    QToolButton* FNextButton;
    QPushButton* FSearchButton;
    TLinkLabel* FWebLink;
    QLabel* FStatusPanel;
    TLocateDialog* FLocate;
};
