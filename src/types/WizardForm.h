#pragma once

#include "types/Wizard.h"

#include <QDialog>
#include <QImage>

#include <array>
#include <memory>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTreeView;
class TCard;
class TColorGrid;
class TDatabaseDialog;
class TTable;

// What the wizard asks of the rest of the program besides its pages; tests put a recording
// double in its place.
class TWizardServices {
public:
    virtual ~TWizardServices() = default;
    // The label stocks the label type page chooses from, in catalogue order.
    virtual TLabelCatalogue LabelStocks();
    // "Open Database Table": the chosen file, empty when cancelled.
    virtual QString OpenDatabaseFile(QWidget* parent);
    // The file a new table is created as, empty when cancelled.
    virtual QString NewDatabaseFile(QWidget* parent);
    // Runs the table design dialog; true when the table was created.
    virtual bool DesignDatabase(TDatabaseDialog& dialog, QWidget* parent);
    // "Select Fields" on the wizard's selection; false when cancelled.
    virtual bool SelectFields(const QStringList& fields, std::vector<bool>& selected,
                              QWidget* parent);
    // Whether "Use Template..." has templates of the type to offer.
    virtual bool HasTemplates(int documentType);
};

// Every label stock the wizard offers: the shipped catalogue of the program folder and, where
// the system has them, its label templates.
TLabelCatalogue GatherLabelStocks(const QString& programFolder);

// Draws a label sheet at 15 pixels an inch on a white picture of sheetSize pixels: every label
// of the stock in its shape; with numbering, each label says, centred and in red, "A" (all the
// same) or its running number.
enum class TLabelMarks { None, Same, Numbered };
QImage LabelSheetPicture(const TLabelCatalogueRow& row, QSize sheetSize, TLabelMarks marks);

// The new-publication wizard ("Document Wizard"): pages of choices and texts for one document
// type, then the new publication built from them. In label-type mode it chooses a new label
// stock for an open label document instead.
class TWizardForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10030;
    enum TResult { Cancelled, Created, UseTemplate };

    TWizardForm(int documentType, TWizardServices& services, bool labelTypeMode = false,
                QWidget* parent = nullptr);
    ~TWizardForm() override;

    // Shows the wizard; what the user ended it with.
    TResult Run();
    TResult Result() const { return FResult; }
    // The publication Create built (null unless Created and not in label-type mode).
    std::unique_ptr<TCard> TakeCard();

    const TWizardNavigation& Navigation() const { return FNavigation; }
    TWizardAnswers Answers() const;
    // The stock the label type page shows selected, if any.
    std::optional<TLabelCatalogueRow> CurrentStock() const;
    const TLabelCatalogue& ListedStocks() const { return FListed; }

    // The buttons, also for tests.
    void StartClick();
    void PreviousClick();
    void NextClick();
    void CreateClick();
    void OpenDatabaseClick();
    void CreateDatabaseClick();
    void AddressBookClick();
    void SelectFieldsClick();
    void TemplateClick();

private:
    QWidget* NewPage(int page, QWidget* firstControl = nullptr);
    void BuildPages();
    QButtonGroup* RadioGroup(QWidget* page, class QBoxLayout* layout, const QStringList& names,
                             const QString& title = {});
    void ShowPage();
    void EnterPage(int page);
    void UpdateButtons();
    void FoldChanged(QButtonGroup* group, QLabel* picture);
    void GreetingFoldChanged();
    void FillLabelTypes();
    void LabelTypeChanged();
    void RunLabelQuery();
    void StockChanged();
    void SimilarityChanged();
    void UpdateSimilarityPreview();
    void DatabaseChosen(const QString& name, const QStringList& fields);
    void FillAddressChoices();
    void UpdateCombinedLine();
    void FillResumeSections();
    void PictureFolderChosen();
    void PictureFileChosen();

    TWizardServices& FServices;
    TWizardNavigation FNavigation;
    TResult FResult = Cancelled;
    std::unique_ptr<TCard> FCard;

    QLabel* FTitle;
    QStackedWidget* FPages;
    std::array<QWidget*, WizardPageCount> FFirstControl{};
    QPushButton* FStartButton;
    QPushButton* FPreviousButton;
    QPushButton* FNextButton;
    QPushButton* FCreateButton;

    QButtonGroup* FGreetingFold;
    QLabel* FGreetingPicture;
    QButtonGroup* FBrochureFold;
    QLabel* FBrochurePicture;
    QLineEdit* FNewsHeadline;
    QLineEdit* FFlyerHeadline;
    QPlainTextEdit* FFlyerText;
    QLineEdit* FPosterHeadline;
    QPlainTextEdit* FPosterText;
    std::array<QLineEdit*, 2> FMainText;      // landscape, portrait certificate
    std::array<QLineEdit*, 2> FSecondaryText;
    QLineEdit* FCompany;
    QLineEdit* FAddress1;
    QLineEdit* FAddress2;
    QLineEdit* FPhone;
    QButtonGroup* FAddressPosition;
    QButtonGroup* FResumeType;
    QButtonGroup* FBusinessCard;
    QLabel* FBusinessCardPicture;
    QButtonGroup* FCategory;
    QPlainTextEdit* FReturnAddress;
    QPlainTextEdit* FMailingAddress;
    QLineEdit* FBannerText;
    std::array<QLineEdit*, 6> FCardLines; // name, company, title, address 1 and 2, phone
    QListWidget* FLabelTypes;
    QLabel* FLabelTypePicture;
    QLineEdit* FStockSearch;
    QListWidget* FStockList;
    QLabel* FStockDetails;
    QLabel* FSheetPreview;
    QButtonGroup* FSimilarity;
    QLabel* FSimilarityPreview;
    QPlainTextEdit* FLabelText;
    QLabel* FTableName;
    QListWidget* FFieldList;
    QPushButton* FSelectFields;
    std::array<QComboBox*, 3> FAddressChoices; // city, state, ZIP code
    QLabel* FCombinedLine;
    QLabel* FOutsideLabel;
    QPlainTextEdit* FOutsideText;
    QLabel* FInsideLeftLabel;
    QPlainTextEdit* FInsideLeftText;
    QLabel* FInsideRightLabel;
    QPlainTextEdit* FInsideRightText;
    QPlainTextEdit* FFromText;
    QLineEdit* FResumeName;
    QPlainTextEdit* FResumeAddress;
    QButtonGroup* FObjective;
    QPlainTextEdit* FObjectiveText;
    std::array<QLabel*, 4> FSectionTitles;
    std::array<QWidget*, 4> FSectionChecksBox;
    std::array<std::vector<QCheckBox*>, 4> FSectionChecks;
    std::array<QPlainTextEdit*, 4> FSectionTexts;
    QButtonGroup* FTitleFormatting;
    TColorGrid* FBorderColor;
    QSpinBox* FBorderSize;
    QFileSystemModel* FFolders;
    QFileSystemModel* FFiles;
    QTreeView* FFolderView;
    QListView* FFileView;
    QLabel* FPicturePreview;
    QString FPictureFile;

    TLabelCatalogue FCatalogue;
    TLabelCatalogue FListed;
    bool FCatalogueRead = false;
    std::unique_ptr<TTable> FTable;
    bool FUseAddressBook = false;
    QStringList FFields;
    std::vector<bool> FSelected;
    int FResumeSectionsType = -1;
};
