#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TCard;
class TTemplateTable;

using TCardLoader = std::function<std::unique_ptr<TCard>(const QString& path)>;

// How a wizard run ended: the card it built (null when cancelled), or the wish to start from a
// template of the type instead.
struct TWizardRun {
    TWizardRun(std::unique_ptr<TCard> card = nullptr);
    TWizardRun(TWizardRun&&) noexcept;
    TWizardRun& operator=(TWizardRun&&) noexcept;
    ~TWizardRun();
    static TWizardRun Template();

    std::unique_ptr<TCard> Card;
    bool UseTemplate = false;
};

// What the Card Type dialog uses to make a publication other than a blank one.
struct TCardTypeServices {
    // The template index; null: no templates.
    TTemplateTable* Templates = nullptr;
    // The chosen template's full path, empty when cancelled; null: the installed default chooser.
    std::function<QString(int documentType)> ChooseTemplate;
    // Reads a template as the new publication, throwing on failure; null: LoadTemplateCard.
    TCardLoader LoadTemplate;
    // Runs the wizard for the type; null: the wizard is not available.
    std::function<TWizardRun(int documentType)> RunWizard;
    // The document types this edition offers; empty for every type of the listed categories.
    std::vector<int> Types;
    // The document type selected when the dialog opens, when it is listed; -1: the first.
    int InitialType = -1;
};

// The template chooser used when the services name none. The "Open Template" dialog installs
// itself here at start-up (InstallTemplateChooser); without one, templates cannot be chosen.
using TTemplateChooser = std::function<QString(TTemplateTable& templates, int documentType,
                                               const TCardLoader& loader, QWidget* parent)>;
void SetDefaultTemplateChooser(TTemplateChooser chooser);

// The "Card Type" dialog that starts a new publication: the user picks a document type from
// the checked categories and makes a blank publication of it, opens a template of that type or
// runs the wizard. When the list holds a single type the dialog is not shown at all. The
// category check states live in the settings, section "Categories".
class TCardTypeForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10007;

    explicit TCardTypeForm(const TCardTypeServices& services, QWidget* parent = nullptr);
    ~TCardTypeForm() override;

    // Shows the dialog (or takes the shortcut); the new card, or null when cancelled.
    std::unique_ptr<TCard> Execute();
    // The card the last Blank/Template/Wizard choice made (null when none); for callers that run
    // the dialog themselves.
    std::unique_ptr<TCard> TakeCard();

    bool FromTemplate() const { return FFromTemplate; }
    int ChosenFormat() const; // CardFormat a blank card of the chosen type gets, -1 for none
    int ChosenType() const { return FType; } // -1 for none

    // The document types listed now, in list order.
    QList<int> ListedTypes() const;

    static bool BlankAllowed(int documentType);
    static bool WizardExists(int documentType);
    bool WizardAllowed(int documentType) const;
    bool TemplateAllowed(int documentType) const;

    void BlankButtonClick();
    void TemplateButtonClick();
    void WizardButtonClick();

private:
    void FormCreate();
    void CategoryListChange(QListWidgetItem* item);
    void TypeListChange();
    void TypeListDblClick();
    void FillTypeList();
    void SelectType(int documentType);
    QString ChooseTemplateFile(int documentType);
    bool MakeBlank(int documentType);
    bool MakeFromTemplate(int documentType);
    bool MakeWithWizard(int documentType);
    void TakeShortcut(int documentType);
    void WriteCategories() const;
    bool IsOffered(int documentType) const;

    TCardTypeServices FServices;
    std::unique_ptr<TCard> FCard;
    bool FFromTemplate = false;
    int FType = -1;
    std::vector<bool> FChecked; // the category check states last seen

    QLabel* FTypeLabel;
    QListWidget* FTypeList;
    QLabel* FPicture;
    QLabel* FCategoryLabel;
    QListWidget* FCategoryList;
    QPushButton* FBlankButton;
    QPushButton* FTemplateButton;
    QPushButton* FWizardButton;
};
