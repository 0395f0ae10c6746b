#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class TCustomDictionary;
class TMessageSink;

// "Edit Custom Dictionary": the user's own words, to add to and delete from; OK saves them.
class TCustomDictionaryForm : public QDialog {
    Q_OBJECT
public:
    TCustomDictionaryForm(TCustomDictionary& dictionary, TMessageSink& messages,
                          QWidget* parent = nullptr);

    QListWidget* Words() const { return FWords; }
    QLineEdit* NewWord() const { return FNewWord; }
    void AddNewWord();
    void DeleteSelected();

    // Saves; a failure is shown and the dialog stays open.
    void accept() override;

private:
    TCustomDictionary& FDictionary;
    TMessageSink& FMessages;
    QListWidget* FWords;
    QLineEdit* FNewWord;
};
