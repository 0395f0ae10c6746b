#pragma once

// The rules of the new-publication wizard without its widgets: which pages each document type
// walks through, the choices the pages offer, what the user answered, and the small
// computations of the label pages (catalogue filter, address fields, merge lines).

#include "types/LabelCatalogue.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

enum TWizardPage : int {
    wpGreetingCardType = 0,
    wpNewsletter = 1,
    wpFlyer = 2,
    wpCertificateLandscape = 3,
    wpCertificatePortrait = 4,
    wpLetterhead = 5,
    wpResumeType = 6,
    wpBrochure = 7,
    wpPoster = 8,
    wpBusinessCardType = 9,
    wpLabelCategory = 10,
    wpEnvelope = 11,
    wpBannerText = 12,
    wpBusinessCardText = 13,
    wpLabelType = 14,
    wpLabelSimilarity = 15,
    wpLabelText = 16,
    wpLabelDatabase = 17,
    wpLabelFields = 18,
    wpGreetingCardText = 19,
    wpResumeInformation = 20,
    wpAddBorder = 21,
    wpAddPicture = 22,
};
constexpr int WizardPageCount = 23;

// The title shown above a page; empty outside 0..22.
QString WizardPageName(int page);
// The page a document type's wizard starts on; -1 outside 0..31.
int WizardFirstPage(int documentType);
// The page after this one, or -1 when it has none. labelsDifferent is the similarity choice.
int WizardSuccessor(int page, bool labelsDifferent);

// The page each document type's wizard ends on. The label types end on the database fields or
// on the label text, as the user last chose on the similarity page; the choice stays for later
// runs, so the program keeps one of these for its lifetime.
class TWizardLastPages {
public:
    TWizardLastPages();
    int LastPage(int documentType) const; // -1 outside 0..31
    void SetLabelsDifferent(int documentType, bool different);

private:
    std::array<int, 32> FLast;
};
TWizardLastPages& ProgramWizardLastPages();

// The visited pages behind Start, Previous, Next and Create.
class TWizardNavigation {
public:
    // In label-type mode the wizard changes the stock of an open label document: it reports
    // type 10 and starts on the label category page.
    TWizardNavigation(int documentType, TWizardLastPages& lastPages, bool labelTypeMode = false);

    int DocumentType() const { return FType; }
    bool LabelTypeMode() const { return FLabelTypeMode; }
    int CurrentPage() const { return FVisited.empty() ? -1 : FVisited.back(); }
    const std::vector<int>& Visited() const { return FVisited; }
    int LastPage() const { return FLastPages.LastPage(FType); }

    void Start();
    bool Next();     // false when the page has no successor (nothing changes)
    bool Previous(); // false on the first step

    // The similarity choice: it also sets where the type's wizard ends.
    bool LabelsDifferent() const { return FLabelsDifferent; }
    void SetLabelsDifferent(bool different);
    // The database page lets the user go on only once a table or the address book is chosen.
    void SetDatabaseChosen(bool chosen) { FDatabaseChosen = chosen; }

    bool NextEnabled() const;
    bool CreateEnabled() const;
    bool StartEnabled() const { return FVisited.size() > 1; }
    bool PreviousEnabled() const { return FVisited.size() > 1; }

private:
    int FType;
    TWizardLastPages& FLastPages;
    bool FLabelTypeMode;
    bool FLabelsDifferent;
    bool FDatabaseChosen = false;
    std::vector<int> FVisited;
};

// The fold choice of the greeting card and brochure pages: the names of CardFormats 0..7.
QStringList WizardFoldNames();
// Horizontal folds name the inside panels top and bottom; certificates have no inside.
bool FoldHasTopAndBottom(int fold);
bool FoldHasInside(int fold);

// The CardFormat a wizard-made publication gets (see TWizardAnswers for the choices).
int WizardCardFormat(int documentType, int greetingFold, int brochureFold,
                     int businessCardChoice);

QStringList ResumeTypeNames();
QStringList SectionTitleFormattingNames(); // "Flush left", "Left column", "Centered"
// The names of one of the four sections (1..4) of a résumé type (0..4): several names are
// offered as check boxes.
QStringList ResumeSectionNames(int resumeType, int section);
// "Name:" for a single-name section; the checked names joined by ", " and ":" otherwise (empty
// when none is checked).
QString ResumeSectionTitle(const QStringList& names, const std::vector<bool>& checked);

// Label type choices (page 14) of the four label categories (page 10).
struct TLabelTypeItem {
    QString Name;
    QStringList LabelTypes; // the catalogue's LabelType values it lists; empty for all rows
    QString Picture;        // the picture resource
};
QStringList LabelCategoryNames(); // "Address", "Media", "Office", "Miscellaneous"
constexpr int AddressCategory = 0;
const std::vector<TLabelTypeItem>& LabelTypeItems(int category); // empty outside 0..3

// The catalogue rows the label type page lists, in the catalogue's order: the rows of the
// item's LabelType values when a category was chosen (category >= 0), else the one stock the
// NCR label types are made on.
TLabelCatalogue QueryLabelCatalogue(const TLabelCatalogue& rows, int documentType, int category,
                                    int item);

// City, state and ZIP code fields of the label fields page.
struct TAddressFields {
    QString City, State, Zip;
    bool operator==(const TAddressFields&) const = default;
};
// The first field whose upper-cased name holds "CITY", "STATE" or "ZIP" for each.
TAddressFields PreselectAddressFields(const QStringList& fields);
// "<City>, <State> <Zip>"; a part without a field is left out with its separator.
QString CombinedAddressLine(const TAddressFields& fields);
// One "<Field>" line per selected field, in field order; the city, state and ZIP fields give
// way to the combined line, once, at the place of the first of them.
QStringList LabelMergeLines(const QStringList& selectedFields, const TAddressFields& address);

// Everything the pages ask, as the dialog hands it to the recipes.
struct TWizardAnswers {
    int GreetingFold = 0;       // page 0, CardFormat 0..7
    int BrochureFold = 0;       // page 7
    QString Headline, Text;     // pages 1, 2 and 8
    QString MainText, SecondaryText; // pages 3 and 4
    QString CompanyName, Address1, Address2, Phone; // page 5
    bool AddressAtBottom = false;
    int ResumeType = 0;         // page 6
    int BusinessCardChoice = 0; // page 9: Connected, Separated (10), Separated (8)
    QString ReturnAddress, MailingAddress; // page 11
    QString BannerText;         // page 12
    QString CardName, CardCompany, CardTitle, CardAddress1, CardAddress2, CardPhone; // page 13
    QString OutsideText, InsideLeftText, InsideRightText, FromText; // page 19
    // Page 20.
    QString ResumeName, ResumeAddress;
    int ObjectiveChoice = 0; // 0 "Objective", 1 "Summary"
    QString ObjectiveText;
    std::array<QString, 4> SectionTexts;
    std::array<std::vector<bool>, 4> SectionChecks; // per name of the section
    int TitleFormatting = 0;
    int BorderColor = 0; // page 21: palette index and size
    int BorderSize = 0;
    QString PictureFile; // page 22
    // The label pages.
    int LabelCategory = -1;
    std::optional<TLabelCatalogueRow> LabelStock;
    bool LabelsDifferent = false;
    QString LabelText;
    bool UseAddressBook = false;
    QString TableFolder, TableName;
    QStringList SelectedFields;
    TAddressFields Address;
};

// The label text of recipe 10: the merge lines for labels that each differ and are addresses
// (or have no category), else the typed text.
QString WizardLabelText(const TWizardAnswers& answers);
