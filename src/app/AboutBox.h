#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "About the Program": the application's title and icon, its version and the credits.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* Icon() const { return FIcon; }
    QLabel* Version() const { return FVersion; }
    QPushButton* CloseButton() const { return FClose; }

private:
    QLabel* FIcon;
    QLabel* FVersion;
    QPushButton* FClose;
};
