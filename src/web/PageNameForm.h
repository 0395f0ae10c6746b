#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class TWebPageGenerator;

// "Page Name Properties": the main page's name and the pages' file extension, kept in the
// generator for the rest of the program's run, and the title every page gets.
class TPageNameForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10051;

    // defaultTitle: what the title field shows while the generator has none of its own.
    TPageNameForm(TWebPageGenerator& generator, const QString& defaultTitle,
                  QWidget* parent = nullptr);

    QComboBox* MainPageName() const { return FMainPage; }
    QComboBox* Extension() const { return FExtension; }
    QLineEdit* Title() const { return FTitle; }

    void accept() override;

private:
    TWebPageGenerator& FGenerator;
    QString FDefaultTitle;
    QComboBox* FMainPage;
    QComboBox* FExtension;
    QLineEdit* FTitle;
};
