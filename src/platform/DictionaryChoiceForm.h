#pragma once

#include <QDialog>

class QComboBox;
class TSettingsStore;

// "Spelling Dictionary": which of the system's dictionaries the spelling check uses; the first
// choice is the one the program's main dictionary file names. OK writes the setting; the
// caller opens the checker anew.
class TDictionaryChoiceForm : public QDialog {
    Q_OBJECT
public:
    TDictionaryChoiceForm(TSettingsStore& settings, const QStringList& installed,
                          QWidget* parent = nullptr);
    QComboBox* Dictionary() const { return FDictionary; }
    void accept() override;

private:
    TSettingsStore& FSettings;
    QComboBox* FDictionary;
};
