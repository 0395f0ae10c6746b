#include "types/Wizard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TLabelCatalogueRow Row(const char* catNum, const char* labelType, double width = 2.625,
                       double height = 1) {
    TLabelCatalogueRow row;
    row.Stock.CatNum = QString::fromLatin1(catNum);
    row.Stock.LabelWidth = width;
    row.Stock.LabelHeight = height;
    row.LabelType = QString::fromLatin1(labelType);
    return row;
}

QStringList CatNums(const TLabelCatalogue& rows) {
    QStringList numbers;
    for (const TLabelCatalogueRow& row : rows)
        numbers.append(row.Stock.CatNum);
    return numbers;
}

// Walks Next from the current page as far as it goes, checking the buttons on every step.
std::vector<int> Walk(TWizardNavigation& nav) {
    std::vector<int> pages{nav.CurrentPage()};
    for (int guard = 0; guard < 30; ++guard) {
        const bool first = nav.Visited().size() == 1;
        EXPECT_EQ(nav.StartEnabled(), !first) << "page " << nav.CurrentPage();
        EXPECT_EQ(nav.PreviousEnabled(), !first) << "page " << nav.CurrentPage();
        EXPECT_NE(nav.NextEnabled(), nav.CreateEnabled()) << "page " << nav.CurrentPage();
        if (!nav.NextEnabled()) break;
        EXPECT_TRUE(nav.Next());
        pages.push_back(nav.CurrentPage());
    }
    return pages;
}

TEST(WizardPages, FirstAndLastPageOfEveryType) {
    const int first[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 5, 0, 0, 0, 15, 15};
    const int last[] = {19, 1, 22, 3, 4, 5, 20, 7, 22, 21, 18, 11, 21, 21, 19, 19, 22, 18, 18};
    const TWizardLastPages pages;
    for (int type = 0; type < 32; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(WizardFirstPage(type), type < 19 ? first[type] : 5);
        EXPECT_EQ(pages.LastPage(type), type < 19 ? last[type] : 21);
    }
    EXPECT_EQ(WizardFirstPage(32), -1);
    EXPECT_EQ(pages.LastPage(-1), -1);
    EXPECT_EQ(WizardPageName(15), QStringLiteral("Label Similarity"));
    EXPECT_EQ(WizardPageName(20), QStringLiteral("Résumé Information"));
    EXPECT_EQ(WizardPageName(23), QString());
}

TEST(WizardNavigation, EveryTypeWalksItsPagesToCreate) {
    struct Case {
        int Type;
        std::vector<int> Pages;
    };
    const Case cases[] = {
        {0, {0, 19}},   {1, {1}},           {2, {2, 22}},  {3, {3}},       {4, {4}},
        {5, {5}},       {6, {6, 20}},       {7, {7}},      {8, {8, 22}},   {9, {9, 13, 21}},
        {11, {11}},     {12, {12, 21}},     {14, {0, 19}}, {15, {0, 19}},
        // The picture card's table ends on the picture page, which nothing leads to.
        {16, {0, 19}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type);
        TWizardLastPages last;
        TWizardNavigation nav(c.Type, last);
        EXPECT_EQ(Walk(nav), c.Pages);
        EXPECT_TRUE(nav.CreateEnabled());
        EXPECT_FALSE(nav.Next());
    }
}

TEST(WizardNavigation, LabelsFollowTheSimilarityChoice) {
    TWizardLastPages last;
    TWizardNavigation same(10, last);
    same.Next();
    same.Next();
    ASSERT_EQ(same.CurrentPage(), wpLabelSimilarity);
    same.SetLabelsDifferent(false);
    EXPECT_EQ(last.LastPage(10), wpLabelText);
    EXPECT_EQ(Walk(same), (std::vector<int>{15, 16}));

    TWizardNavigation different(10, last);
    // The page opens on the choice made last time.
    EXPECT_FALSE(different.LabelsDifferent());
    different.Next();
    different.Next();
    different.SetLabelsDifferent(true);
    EXPECT_EQ(last.LastPage(10), wpLabelFields);
    different.Next();
    ASSERT_EQ(different.CurrentPage(), wpLabelDatabase);
    // Nothing to merge from yet: neither on nor create.
    EXPECT_FALSE(different.NextEnabled());
    different.SetDatabaseChosen(true);
    EXPECT_TRUE(different.Next());
    EXPECT_EQ(different.CurrentPage(), wpLabelFields);
    EXPECT_TRUE(different.CreateEnabled());
    EXPECT_EQ(different.Visited(), (std::vector<int>{10, 14, 15, 17, 18}));

    // The other label types keep their own ends.
    EXPECT_EQ(last.LastPage(17), wpLabelFields);
    EXPECT_EQ(TWizardLastPages().LastPage(10), wpLabelFields);
}

TEST(WizardNavigation, StartAndPreviousRetraceTheVisitedPages) {
    TWizardLastPages last;
    TWizardNavigation nav(9, last);
    EXPECT_FALSE(nav.Previous());
    nav.Next();
    nav.Next();
    EXPECT_EQ(nav.CurrentPage(), wpAddBorder);
    EXPECT_TRUE(nav.Previous());
    EXPECT_EQ(nav.CurrentPage(), wpBusinessCardText);
    EXPECT_TRUE(nav.NextEnabled());
    nav.Next();
    nav.Start();
    EXPECT_EQ(nav.Visited(), std::vector<int>{wpBusinessCardType});
    EXPECT_FALSE(nav.StartEnabled());
    EXPECT_FALSE(nav.PreviousEnabled());
}

TEST(WizardNavigation, LabelTypeModeReportsLabelsAndEndsOnTheSimilarityPage) {
    TWizardLastPages last;
    TWizardNavigation nav(17, last, true);
    EXPECT_EQ(nav.DocumentType(), 10);
    EXPECT_EQ(nav.CurrentPage(), wpLabelCategory);
    nav.Next();
    nav.Next();
    ASSERT_EQ(nav.CurrentPage(), wpLabelSimilarity);
    nav.SetLabelsDifferent(false);
    EXPECT_FALSE(nav.NextEnabled());
    EXPECT_TRUE(nav.CreateEnabled());
    nav.SetLabelsDifferent(true);
    EXPECT_TRUE(nav.NextEnabled());
    EXPECT_FALSE(nav.CreateEnabled());
    nav.Next();
    nav.SetDatabaseChosen(true);
    nav.Next();
    EXPECT_EQ(nav.CurrentPage(), wpLabelFields);
    EXPECT_TRUE(nav.CreateEnabled());
    nav.Start();
    EXPECT_EQ(nav.CurrentPage(), wpLabelCategory);
}

TEST(WizardChoices, CardFormatOfEachType) {
    EXPECT_EQ(WizardCardFormat(0, 3, 0, 0), cfTrifoldHorizontal);
    EXPECT_EQ(WizardCardFormat(14, 6, 0, 0), cfCertificateLandscape);
    EXPECT_EQ(WizardCardFormat(7, 5, 1, 0), cfBifoldHorizontal);
    EXPECT_EQ(WizardCardFormat(9, 0, 0, 1), cfBusinessCardSeparated10);
    EXPECT_EQ(WizardCardFormat(9, 0, 0, 2), cfBusinessCardSeparated8);
    EXPECT_EQ(WizardCardFormat(15, 0, 0, 0), cfNcrQuarterFoldVertical);
    EXPECT_EQ(WizardCardFormat(15, 1, 0, 0), cfNcrQuarterFoldHorizontal);
    EXPECT_EQ(WizardCardFormat(15, 4, 0, 0), cfNcrQuarterFoldVertical);
    EXPECT_EQ(WizardCardFormat(15, 5, 0, 0), cfNcrQuarterFoldHorizontal);
    EXPECT_EQ(WizardCardFormat(16, 2, 0, 0), cfLabel);
    EXPECT_EQ(WizardCardFormat(10, 2, 0, 0), cfLabel);
    EXPECT_EQ(WizardCardFormat(12, 2, 0, 0), cfBanner);
    EXPECT_EQ(WizardCardFormat(6, 2, 0, 0), cfCertificatePortrait);
    EXPECT_EQ(WizardCardFormat(11, 2, 2, 2), cfEnvelope);
    EXPECT_EQ(WizardCardFormat(40, 0, 0, 0), -1);

    EXPECT_EQ(WizardFoldNames().size(), 8);
    EXPECT_EQ(WizardFoldNames()[3], QStringLiteral("Trifold (Horizontal)"));
    for (int fold = 0; fold < 8; ++fold) {
        SCOPED_TRACE(fold);
        EXPECT_EQ(FoldHasTopAndBottom(fold), fold == 1 || fold == 3);
        EXPECT_EQ(FoldHasInside(fold), fold < 6);
    }
}

TEST(WizardChoices, ResumeSectionsAndTheirTitles) {
    EXPECT_EQ(ResumeSectionNames(0, 1), QStringList{QStringLiteral("Employment History")});
    EXPECT_EQ(ResumeSectionNames(1, 1),
              (QStringList{QStringLiteral("Skills"), QStringLiteral("Qualifications")}));
    EXPECT_EQ(ResumeSectionNames(2, 3), QStringList{QStringLiteral("Employment History")});
    EXPECT_EQ(ResumeSectionNames(3, 3).size(), 3);
    EXPECT_EQ(ResumeSectionNames(4, 3),
              (QStringList{QStringLiteral("Coursework"), QStringLiteral("Academic Honors")}));
    EXPECT_EQ(ResumeSectionNames(4, 4), QStringList{QStringLiteral("Employment History")});
    EXPECT_TRUE(ResumeSectionNames(5, 1).isEmpty());
    EXPECT_TRUE(ResumeSectionNames(0, 5).isEmpty());

    const QStringList licenses = ResumeSectionNames(0, 2);
    EXPECT_EQ(ResumeSectionTitle(licenses, {false, true, false, true}),
              QStringLiteral("Awards, Professional Memberships:"));
    EXPECT_EQ(ResumeSectionTitle(licenses, {}), QString());
    EXPECT_EQ(ResumeSectionTitle(ResumeSectionNames(0, 4), {}), QStringLiteral("Education:"));
}

TEST(LabelCatalogueQuery, CategoriesListTheirTypesInCatalogueOrder) {
    const TLabelCatalogue rows = {
        Row("R1", "Return"),   Row("A1", "Address"),  Row("S1", "Shipping"),
        Row("A2", "Address"),  Row("D1", "Diskette"), Row("C1", "Computer"),
        Row("N1", "Name Tag"), Row("G1", "General"),  Row("SH1", "Sheet"),
        Row("5160", "Address"), Row("5167", "Return"),
    };
    EXPECT_EQ(CatNums(QueryLabelCatalogue(rows, 10, 0, 0)),
              (QStringList{"A1", "A2", "5160"}));
    EXPECT_EQ(CatNums(QueryLabelCatalogue(rows, 10, 0, 1)),
              (QStringList{"R1", "A1", "A2", "5160", "5167"}));
    EXPECT_EQ(CatNums(QueryLabelCatalogue(rows, 10, 1, 1)), (QStringList{"D1", "C1"}));
    EXPECT_EQ(CatNums(QueryLabelCatalogue(rows, 10, 2, 3)), QStringList{"G1"});
    EXPECT_EQ(CatNums(QueryLabelCatalogue(rows, 10, 3, 4)), (QStringList{"G1", "SH1"}));
    EXPECT_EQ(QueryLabelCatalogue(rows, 10, 3, 0).size(), rows.size()); // All Types
    EXPECT_TRUE(QueryLabelCatalogue(rows, 10, 0, 7).empty());
    // Without a category page the NCR stocks are fixed.
    EXPECT_EQ(CatNums(QueryLabelCatalogue(rows, 17, -1, 0)), QStringList{"5160"});
    EXPECT_EQ(CatNums(QueryLabelCatalogue(rows, 18, -1, 0)), QStringList{"5167"});

    // Every item lists exactly the rows of its LabelType values.
    for (int category = 0; category < 4; ++category) {
        const std::vector<TLabelTypeItem>& items = LabelTypeItems(category);
        ASSERT_FALSE(items.empty());
        for (int item = 0; item < int(items.size()); ++item) {
            SCOPED_TRACE(items[size_t(item)].Name.toStdString());
            const QStringList& types = items[size_t(item)].LabelTypes;
            size_t expected = 0;
            for (const TLabelCatalogueRow& row : rows)
                expected += types.isEmpty() || types.contains(row.LabelType) ? 1 : 0;
            const TLabelCatalogue listed = QueryLabelCatalogue(rows, 10, category, item);
            EXPECT_EQ(listed.size(), expected);
            for (const TLabelCatalogueRow& row : listed)
                EXPECT_TRUE(types.isEmpty() || types.contains(row.LabelType));
        }
    }
}

TEST(LabelCatalogueQuery, SearchFindsNumbersAndSizes) {
    const TLabelCatalogue rows = {Row("Avery 5160", "Address", 2.625, 1),
                                  Row("Avery 5163", "Shipping", 4, 2),
                                  Row("Avery L7160", "Address", 2.5, 1.5)};
    EXPECT_EQ(CatNums(SearchLabelCatalogue(rows, QStringLiteral("5160"))),
              QStringList{"Avery 5160"});
    EXPECT_EQ(CatNums(SearchLabelCatalogue(rows, QStringLiteral("2.625"))),
              QStringList{"Avery 5160"});
    EXPECT_EQ(CatNums(SearchLabelCatalogue(rows, QStringLiteral("l71"))),
              QStringList{"Avery L7160"});
    EXPECT_EQ(SearchLabelCatalogue(rows, QStringLiteral("  ")).size(), 3u);
}

TEST(LabelFields, AddressFieldsAreFoundAndCombined) {
    const QStringList fields = {"Name", "Street", "City", "State", "Zip"};
    const TAddressFields address = PreselectAddressFields(fields);
    EXPECT_EQ(address, (TAddressFields{"City", "State", "Zip"}));
    EXPECT_EQ(CombinedAddressLine(address), QStringLiteral("<City>, <State> <Zip>"));
    EXPECT_EQ(LabelMergeLines(fields, address),
              (QStringList{"<Name>", "<Street>", "<City>, <State> <Zip>"}));

    // Any case, the first match; the combined line goes where the first of them stood.
    const QStringList other = {"zipcode", "FullName", "home_city", "BusCity"};
    const TAddressFields found = PreselectAddressFields(other);
    EXPECT_EQ(found, (TAddressFields{"home_city", "", "zipcode"}));
    EXPECT_EQ(CombinedAddressLine(found), QStringLiteral("<home_city> <zipcode>"));
    EXPECT_EQ(LabelMergeLines(other, found),
              (QStringList{"<home_city> <zipcode>", "<FullName>", "<BusCity>"}));
    EXPECT_EQ(LabelMergeLines({"Name"}, {}), QStringList{"<Name>"});
    EXPECT_EQ(CombinedAddressLine({"", "ST", ""}), QStringLiteral("<ST>"));
}

TEST(LabelFields, LabelTextIsMergedOnlyForDifferentAddressLabels) {
    TWizardAnswers a;
    a.LabelText = QStringLiteral("Fragile");
    a.SelectedFields = {"Name", "City", "State", "Zip"};
    a.Address = {"City", "State", "Zip"};
    a.LabelCategory = 0;
    EXPECT_EQ(WizardLabelText(a), QStringLiteral("Fragile"));
    a.LabelsDifferent = true;
    EXPECT_EQ(WizardLabelText(a), QStringLiteral("<Name>\r\n<City>, <State> <Zip>"));
    a.LabelCategory = -1;
    EXPECT_EQ(WizardLabelText(a), QStringLiteral("<Name>\r\n<City>, <State> <Zip>"));
    a.LabelCategory = 2;
    EXPECT_EQ(WizardLabelText(a), QStringLiteral("Fragile"));
}

} // namespace
