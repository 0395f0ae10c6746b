#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class TCard;
class TPreviewFrame;
class TTemplate;
class TTemplateTable;

// "Open Template": lists the templates of one document type by description and shows the
// selected one (text, shape, file name, preview) so the user can pick it for a new publication
// or delete it. Owns the card of the template shown; entries are found again by file name.
class TOpenTemplateForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10011;
    using TLoader = std::function<std::unique_ptr<TCard>(const QString& path)>;

    // loader: reads a template file, throwing on failure (null: LoadTemplateCard).
    TOpenTemplateForm(TTemplateTable& templates, int documentType, TLoader loader,
                      QWidget* parent = nullptr);
    ~TOpenTemplateForm() override;

    // Shows the dialog; the full file name of the chosen template, or empty when cancelled.
    QString Execute();
    QString ResultPath() const { return FResultPath; }

    QStringList Descriptions() const; // in list order
    const TCard* ShownCard() const { return FShown.get(); }
    QString SelectedFileName() const; // the index key of the selected entry

    void DeleteButtonClick();
    void accept() override;

private:
    void DescriptionListChange();
    void ShowSelected();
    TTemplate* SelectedEntry() const;

    TTemplateTable& FTemplates;
    TLoader FLoader;
    std::unique_ptr<TCard> FShown;
    QString FShownKey; // index key of the shown card's file
    QString FResultPath;

    QListWidget* FDescriptionList;
    QPlainTextEdit* FTemplateText;
    QLabel* FShapePicture;
    QLabel* FFileNameLabel;
    TPreviewFrame* FPreview;
};

// Makes the Card Type dialog choose templates with this dialog; called once at start-up.
void InstallTemplateChooser();
