#include "types/Wizard.h"

#include "types/CardType.h"

#include <algorithm>

namespace {

// clang-format off
const char* const PageNames[WizardPageCount] = {
    "Greeting Card Type", "Newsletter", "Flyer", "Award/Certificate Text",
    "Award/Certificate Text", "Letterhead", "Résumé Type", "Brochure", "Poster/Sign",
    "Business Card Type", "Label Category", "Envelope", "Banner Text", "Business Card Text",
    "Label Type", "Label Similarity", "Label Text", "Label Database", "Label Fields",
    "Greeting Card Text", "Résumé Information", "Add Border", "Add Picture",
};

// Indexed by DocumentType; forms and photo papers never reach the wizard.
constexpr std::array<int, DocumentTypeCount> FirstPages = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 5, 0, 0, 0, 15, 15,
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
constexpr std::array<int, DocumentTypeCount> LastPages = {
    19, 1, 22, 3, 4, 5, 20, 7, 22, 21, 18, 11, 21, 21, 19, 19, 22, 18, 18,
    21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21};
// clang-format on

QStringList Names(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names)
        list.append(QString::fromUtf8(name));
    return list;
}

const QStringList Licenses = Names({"Licenses", "Awards", "Publications", "Professional Memberships"});
const QStringList Skills = Names({"Skills", "Qualifications"});
const QStringList AcademicSkills = Names({"Skills", "Qualifications", "Publications"});
const QStringList Coursework = Names({"Coursework", "Academic Honors"});
const QStringList Employment = Names({"Employment History"});
const QStringList Education = Names({"Education"});

QString Bracketed(const QString& field) {
    return QLatin1Char('<') + field + QLatin1Char('>');
}

} // namespace

QString WizardPageName(int page) {
    if (page < 0 || page >= WizardPageCount) return {};
    return QString::fromUtf8(PageNames[page]);
}

int WizardFirstPage(int documentType) {
    return IsDocumentType(documentType) ? FirstPages[size_t(documentType)] : -1;
}

int WizardSuccessor(int page, bool labelsDifferent) {
    switch (page) {
    case wpGreetingCardType:
        return wpGreetingCardText;
    case wpFlyer:
    case wpPoster:
        return wpAddPicture;
    case wpResumeType:
        return wpResumeInformation;
    case wpBusinessCardType:
        return wpBusinessCardText;
    case wpLabelCategory:
        return wpLabelType;
    case wpBannerText:
    case wpBusinessCardText:
        return wpAddBorder;
    case wpLabelType:
        return wpLabelSimilarity;
    case wpLabelSimilarity:
        return labelsDifferent ? wpLabelDatabase : wpLabelText;
    case wpLabelDatabase:
        return wpLabelFields;
    }
    return -1;
}

TWizardLastPages::TWizardLastPages() : FLast(LastPages) {}

int TWizardLastPages::LastPage(int documentType) const {
    return IsDocumentType(documentType) ? FLast[size_t(documentType)] : -1;
}

void TWizardLastPages::SetLabelsDifferent(int documentType, bool different) {
    if (IsDocumentType(documentType))
        FLast[size_t(documentType)] = different ? wpLabelFields : wpLabelText;
}

TWizardLastPages& ProgramWizardLastPages() {
    static TWizardLastPages pages;
    return pages;
}

TWizardNavigation::TWizardNavigation(int documentType, TWizardLastPages& lastPages,
                                     bool labelTypeMode)
    : FType(labelTypeMode ? 10 : documentType), FLastPages(lastPages),
      FLabelTypeMode(labelTypeMode) {
    // The similarity page opens on the choice that ends where the type's wizard last ended.
    FLabelsDifferent = FLastPages.LastPage(FType) != wpLabelText;
    Start();
}

void TWizardNavigation::Start() {
    FVisited.clear();
    FVisited.push_back(FLabelTypeMode ? int(wpLabelCategory) : WizardFirstPage(FType));
}

bool TWizardNavigation::Next() {
    if (!NextEnabled()) return false;
    FVisited.push_back(WizardSuccessor(CurrentPage(), FLabelsDifferent));
    return true;
}

bool TWizardNavigation::Previous() {
    if (FVisited.size() < 2) return false;
    FVisited.pop_back();
    return true;
}

void TWizardNavigation::SetLabelsDifferent(bool different) {
    FLabelsDifferent = different;
    FLastPages.SetLabelsDifferent(FType, different);
}

bool TWizardNavigation::NextEnabled() const {
    const int page = CurrentPage();
    if (FLabelTypeMode && page == wpLabelSimilarity) return FLabelsDifferent;
    if (page == wpLabelDatabase && !FDatabaseChosen) return false;
    // A page without a successor cannot go on even where the type's table names a later end.
    return page != LastPage() && WizardSuccessor(page, FLabelsDifferent) >= 0;
}

bool TWizardNavigation::CreateEnabled() const {
    if (FLabelTypeMode && CurrentPage() == wpLabelSimilarity) return !FLabelsDifferent;
    return !NextEnabled();
}

QStringList WizardFoldNames() {
    QStringList names;
    for (int format = cfBifoldVertical; format <= cfCertificatePortrait; ++format)
        names.append(QString::fromUtf8(CardFormatInfo(format)->Name));
    return names;
}

bool FoldHasTopAndBottom(int fold) {
    return fold == cfBifoldHorizontal || fold == cfTrifoldHorizontal;
}

bool FoldHasInside(int fold) {
    return fold != cfCertificateLandscape && fold != cfCertificatePortrait;
}

int WizardCardFormat(int documentType, int greetingFold, int brochureFold,
                     int businessCardChoice) {
    const auto fold = [](int choice) { return std::clamp(choice, 0, int(cfCertificatePortrait)); };
    switch (documentType) {
    case 0:
    case 14:
        return fold(greetingFold);
    case 7:
        return fold(brochureFold);
    case 9:
        return cfBusinessCardConnected + std::clamp(businessCardChoice, 0, 2);
    case 15:
        // The note card comes in two formats only: the vertical folds give the vertical one
        // and the horizontal folds the horizontal one.
        return cfNcrQuarterFoldVertical + fold(greetingFold) % 2;
    case 16:
        return cfLabel;
    }
    const TDocumentTypeInfo* info = DocumentTypeInfo(documentType);
    return info ? info->Format : -1;
}

QStringList ResumeTypeNames() {
    return Names({"Chronological", "Functional", "Accomplishment",
                  "Academic or Student Chronological", "Academic or Student Functional"});
}

QStringList SectionTitleFormattingNames() {
    return Names({"Flush left", "Left column", "Centered"});
}

QStringList ResumeSectionNames(int resumeType, int section) {
    static const std::array<std::array<const QStringList*, 4>, 5> table = {{
        {&Employment, &Licenses, &Skills, &Education},
        {&Skills, &Licenses, &Education, &Employment},
        {&Licenses, &Skills, &Employment, &Education},
        {&Education, &Employment, &AcademicSkills, &Coursework},
        {&Education, &AcademicSkills, &Coursework, &Employment},
    }};
    if (resumeType < 0 || resumeType >= int(table.size()) || section < 1 || section > 4) return {};
    return *table[size_t(resumeType)][size_t(section - 1)];
}

QString ResumeSectionTitle(const QStringList& names, const std::vector<bool>& checked) {
    if (names.size() == 1) return names.front() + QLatin1Char(':');
    QStringList chosen;
    for (int i = 0; i < names.size(); ++i)
        if (size_t(i) < checked.size() && checked[size_t(i)]) chosen.append(names[i]);
    return chosen.isEmpty() ? QString() : chosen.join(QStringLiteral(", ")) + QLatin1Char(':');
}

QStringList LabelCategoryNames() {
    return Names({"Address", "Media", "Office", "Miscellaneous"});
}

const std::vector<TLabelTypeItem>& LabelTypeItems(int category) {
    static const std::array<std::vector<TLabelTypeItem>, 4> items = {{
        {
            {QStringLiteral("Address"), Names({"Address"}), QStringLiteral("bmENVLADDR")},
            {QStringLiteral("Return"), Names({"Address", "Return"}), QStringLiteral("bmENVLRET")},
            {QStringLiteral("Shipping"), Names({"Shipping"}), QStringLiteral("bmSHIPPING")},
        },
        {
            {QStringLiteral("Audio Tape"), Names({"Audio"}), QStringLiteral("bmATAPE")},
            {QStringLiteral("Computer"), Names({"Computer", "Diskette"}), QStringLiteral("bmCOMPUTER")},
            {QStringLiteral("VCR"), Names({"Video"}), QStringLiteral("bmVTAPE")},
        },
        {
            {QStringLiteral("Badges"), Names({"Badge", "ID Card", "Name Tag"}), QStringLiteral("bmIDCARD")},
            {QStringLiteral("Business Card"), Names({"Business Card"}), QStringLiteral("bmBUSCARD")},
            {QStringLiteral("Folder"), Names({"Folder"}), QStringLiteral("bmFOLDER")},
            {QStringLiteral("Inventory"), Names({"General"}), QStringLiteral("bmINVEN")},
            {QStringLiteral("Rotary"), Names({"Rotary"}), QStringLiteral("bmROTARY")},
        },
        {
            {QStringLiteral("All Types"), {}, QStringLiteral("bmALLTYPE")},
            {QStringLiteral("Index Card"), Names({"Index Card"}), QStringLiteral("bmIDXCARD")},
            {QStringLiteral("Post Card"), Names({"Post Card"}), QStringLiteral("bmPOSTCARD")},
            {QStringLiteral("Tent Card"), Names({"Tent Card"}), QStringLiteral("bmTENTCARD")},
            {QStringLiteral("General"), Names({"Card", "Sheet", "General"}), QStringLiteral("bmALLTYPE")},
        },
    }};
    static const std::vector<TLabelTypeItem> none;
    if (category < 0 || category >= int(items.size())) return none;
    return items[size_t(category)];
}

TLabelCatalogue QueryLabelCatalogue(const TLabelCatalogue& rows, int documentType, int category,
                                    int item) {
    TLabelCatalogue result;
    if (category < 0) {
        const QString stock = documentType == 17 ? QStringLiteral("5160") : QStringLiteral("5167");
        for (const TLabelCatalogueRow& row : rows)
            if (row.Stock.CatNum == stock) result.push_back(row);
        return result;
    }
    const std::vector<TLabelTypeItem>& items = LabelTypeItems(category);
    if (item < 0 || item >= int(items.size())) return result;
    const QStringList& types = items[size_t(item)].LabelTypes;
    for (const TLabelCatalogueRow& row : rows)
        if (types.isEmpty() || types.contains(row.LabelType)) result.push_back(row);
    return result;
}

TAddressFields PreselectAddressFields(const QStringList& fields) {
    TAddressFields chosen;
    for (const QString& field : fields) {
        const QString upper = field.toUpper();
        if (chosen.City.isEmpty() && upper.contains(QLatin1String("CITY"))) chosen.City = field;
        if (chosen.State.isEmpty() && upper.contains(QLatin1String("STATE"))) chosen.State = field;
        if (chosen.Zip.isEmpty() && upper.contains(QLatin1String("ZIP"))) chosen.Zip = field;
    }
    return chosen;
}

QString CombinedAddressLine(const TAddressFields& fields) {
    QString line;
    if (!fields.City.isEmpty()) line = Bracketed(fields.City);
    if (!fields.State.isEmpty()) {
        if (!line.isEmpty()) line += QStringLiteral(", ");
        line += Bracketed(fields.State);
    }
    if (!fields.Zip.isEmpty()) {
        if (!line.isEmpty()) line += QLatin1Char(' ');
        line += Bracketed(fields.Zip);
    }
    return line;
}

QStringList LabelMergeLines(const QStringList& selectedFields, const TAddressFields& address) {
    QStringList lines;
    bool combined = false;
    for (const QString& field : selectedFields) {
        const bool part = (!address.City.isEmpty() && field == address.City) ||
                          (!address.State.isEmpty() && field == address.State) ||
                          (!address.Zip.isEmpty() && field == address.Zip);
        if (!part) {
            lines.append(Bracketed(field));
        } else if (!combined) {
            lines.append(CombinedAddressLine(address));
            combined = true;
        }
    }
    return lines;
}

QString WizardLabelText(const TWizardAnswers& answers) {
    const bool address = answers.LabelCategory < 0 || answers.LabelCategory == AddressCategory;
    if (answers.LabelsDifferent && address)
        return LabelMergeLines(answers.SelectedFields, answers.Address)
            .join(QStringLiteral("\r\n"));
    return answers.LabelText;
}
