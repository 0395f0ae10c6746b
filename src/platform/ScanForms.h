#pragma once

#include <QDialog>

class QListWidget;
class QRadioButton;
class QSpinBox;
class TScanner;
class TSettingsStore;

// "Select Source": the scanners and cameras the system lists; OK remembers the choice.
class TScanSourceForm : public QDialog {
    Q_OBJECT
public:
    TScanSourceForm(TScanner& scanner, TSettingsStore& settings, QWidget* parent = nullptr);
    QListWidget* Sources() const { return FSources; }
    void accept() override;

private:
    TScanner& FScanner;
    TSettingsStore& FSettings;
    QListWidget* FSources;
};

// "Scan Settings": colour or gray, and the resolution; OK remembers them.
class TScanSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TScanSettingsForm(TSettingsStore& settings, QWidget* parent = nullptr);
    QRadioButton* Color() const { return FColor; }
    QRadioButton* Gray() const { return FGray; }
    QSpinBox* Resolution() const { return FResolution; }
    void accept() override;

private:
    TSettingsStore& FSettings;
    QRadioButton* FColor;
    QRadioButton* FGray;
    QSpinBox* FResolution;
};
