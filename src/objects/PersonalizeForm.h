#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// "Personalize": asks for the value of one fill-in code of a headline, showing the headline's
// whole text for reference.
class TPersonalizeForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10012;
    static constexpr int MaximumLength = 80;

    explicit TPersonalizeForm(QWidget* parent = nullptr);

    void SetOriginalText(const QString& text); // lines separated by CR LF
    // The prompt names the code; the edit starts with its current value.
    void SetCode(const QString& name, const QString& value);
    QString Value() const;

    // Shows one prompt; false when cancelled (the value is then left alone).
    static bool Prompt(const QString& originalText, const QString& name, QString& value,
                       QWidget* parent = nullptr);

private:
    QPlainTextEdit* FOriginal;
    QLabel* FPrompt;
    QLineEdit* FValue;
};
