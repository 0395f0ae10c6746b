// The wizard dialog: its pages and buttons, the label pages over a catalogue and a recipient
// table, label-type mode, the template hand-back and the pictures of label sheets.

#include "dialogs/DialogTestSupport.h"
#include "document/Card.h"
#include "merge/DatabaseDialog.h"
#include "merge/TableEngine.h"
#include "objects/Headline.h"
#include "support/DocumentFixtures.h"
#include "types/DialogSupport.h"
#include "types/SelectFieldsForm.h"
#include "types/WizardForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TLabelCatalogueRow Stock(const char* catNum, const char* type, double width, double height,
                         int across, int down, const char* shape = "Rect") {
    TLabelCatalogueRow row;
    row.Stock.CatNum = QString::fromLatin1(catNum);
    row.Stock.LabelWidth = width;
    row.Stock.LabelHeight = height;
    row.Stock.NumAcross = across;
    row.Stock.NumDown = down;
    row.Stock.SpacingLeft = 0.1875;
    row.Stock.SpacingTop = 0.5;
    row.Stock.SpacingWidth = width + 0.125;
    row.Stock.SpacingHeight = height;
    row.LabelType = QString::fromLatin1(type);
    row.LabelShape = QString::fromLatin1(shape);
    row.Color = QStringLiteral("White");
    row.LabelFeed = QStringLiteral("Laser");
    return row;
}

class TFakeWizardServices : public TWizardServices {
public:
    TLabelCatalogue Stocks = {
        Stock("5160", "Address", 2.625, 1, 3, 10, "RRect"),
        Stock("5163", "Shipping", 4, 2, 2, 5),
        Stock("5167", "Return", 1.75, 0.5, 4, 20),
        Stock("5294", "General", 2.5, 2.5, 3, 4, "Round"),
    };
    QString OpenFile, NewFile;
    bool Templates = false;
    std::vector<bool> Selection; // what "Select Fields" answers; empty: cancelled
    QStringList Offered;         // the fields "Select Fields" was shown

    TLabelCatalogue LabelStocks() override { return Stocks; }
    QString OpenDatabaseFile(QWidget*) override { return OpenFile; }
    QString NewDatabaseFile(QWidget*) override { return NewFile; }
    bool DesignDatabase(TDatabaseDialog& dialog, QWidget* parent) override {
        dialog.AskDesign = [](TDatabaseFieldTable& rows, const TFieldTypeSet&) {
            for (const char* name : {"Name", "Address", "City", "State", "ZIP"})
                rows.Add(TDatabaseField::NewField(QString::fromLatin1(name)));
            return true;
        };
        return dialog.Execute(parent);
    }
    bool SelectFields(const QStringList& fields, std::vector<bool>& selected, QWidget*) override {
        Offered = fields;
        if (Selection.empty()) return false;
        selected = Selection;
        return true;
    }
    bool HasTemplates(int) override { return Templates; }
};

class WizardFormTest : public ::testing::Test {
protected:
    WizardFormTest() {
        InstallTableEngine(Test.Context);
        Test.Context.ProgramFolder = Folder.path();
        Test.Context.TemplateFolder = Folder.filePath(QStringLiteral("Template"));
    }

    QString WriteCsv(const QString& name, const QByteArray& text) {
        QFile file(Folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }

    static QPushButton* Button(const TWizardForm& form, const char* name) {
        return Find<QPushButton>(form, name);
    }
    static void Click(QWidget* parent, const char* name) {
        if (auto* b = Find<QAbstractButton>(*parent, name)) b->click();
    }
    static void ChooseRadio(const TWizardForm& form, int page, const QString& text) {
        const QWidget* widget = Find<QStackedWidget>(form, "Pages")->widget(page);
        for (QRadioButton* radio : widget->findChildren<QRadioButton*>())
            if (radio->text() == text) {
                radio->click();
                return;
            }
        ADD_FAILURE() << "no choice " << text.toStdString();
    }
    static QString Title(const TWizardForm& form) {
        return Find<QLabel>(form, "PageTitle")->text();
    }
    static QStringList Listed(const TWizardForm& form) {
        QStringList items;
        const QListWidget* list = Find<QListWidget>(form, "StockList");
        for (int i = 0; i < list->count(); ++i)
            items.append(list->item(i)->text());
        return items;
    }

    TTestContext Test;
    QTemporaryDir Folder;
    TFakeWizardServices Services;
    TWizardLastPages LastPages;
};

TEST_F(WizardFormTest, GreetingCardPagesAndTheirButtons) {
    TWizardForm form(0, Services);
    EXPECT_EQ(form.windowTitle(), DocumentTerm() + QStringLiteral(" Wizard"));
    EXPECT_EQ(Title(form), QStringLiteral("Greeting Card Type"));
    EXPECT_FALSE(Button(form, "StartButton")->isEnabled());
    EXPECT_FALSE(Button(form, "PreviousButton")->isEnabled());
    EXPECT_TRUE(Button(form, "NextButton")->isEnabled());
    EXPECT_FALSE(Button(form, "CreateButton")->isEnabled());

    ChooseRadio(form, wpGreetingCardType, QStringLiteral("Bifold (Horizontal)"));
    form.NextClick();
    EXPECT_EQ(Title(form), QStringLiteral("Greeting Card Text"));
    EXPECT_TRUE(Button(form, "CreateButton")->isEnabled());
    EXPECT_FALSE(Button(form, "NextButton")->isEnabled());
    EXPECT_TRUE(Button(form, "PreviousButton")->isEnabled());
    EXPECT_EQ(Find<QLabel>(form, "InsideLeftLabel")->text(), QStringLiteral("Inside top text:"));
    EXPECT_EQ(Find<QLabel>(form, "InsideRightLabel")->text(),
              QStringLiteral("Inside bottom text:"));

    form.PreviousClick();
    ChooseRadio(form, wpGreetingCardType, QStringLiteral("Certificate (Portrait)"));
    form.NextClick();
    EXPECT_TRUE(Find<QPlainTextEdit>(form, "InsideLeftText")->isHidden());
    EXPECT_TRUE(Find<QPlainTextEdit>(form, "InsideRightText")->isHidden());
    EXPECT_FALSE(Find<QPlainTextEdit>(form, "FromText")->isHidden());

    form.PreviousClick();
    ChooseRadio(form, wpGreetingCardType, QStringLiteral("Bifold (Vertical)"));
    form.NextClick();
    EXPECT_EQ(Find<QLabel>(form, "InsideLeftLabel")->text(), QStringLiteral("Inside left text:"));
    Find<QPlainTextEdit>(form, "OutsideText")->setPlainText(QStringLiteral("Hello"));
    Find<QPlainTextEdit>(form, "FromText")->setPlainText(QStringLiteral("Ann"));
    form.CreateClick();
    EXPECT_EQ(form.Result(), TWizardForm::Created);
    std::unique_ptr<TCard> card = form.TakeCard();
    ASSERT_TRUE(card);
    EXPECT_EQ(card->CardFormat, cfBifoldVertical);
    int objects = 0;
    card->ForEachObject([&](TCardObject*) { ++objects; });
    EXPECT_EQ(objects, 2);
}

TEST_F(WizardFormTest, EnteringAPageFocusesItsFirstControl) {
    TWizardForm form(9, Services);
    form.show();
    QApplication::setActiveWindow(&form);
    form.NextClick();
    EXPECT_EQ(Title(form), QStringLiteral("Business Card Text"));
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(form, "CardName"));
    form.NextClick();
    EXPECT_EQ(Title(form), QStringLiteral("Add Border"));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("BorderColor"));
    form.StartClick();
    EXPECT_EQ(Title(form), QStringLiteral("Business Card Type"));
}

TEST_F(WizardFormTest, AddressLabelsFromACsvFile) {
    const QString csv = WriteCsv(QStringLiteral("people.csv"),
                                 "\"Name\",\"Street\",\"City\",\"State\",\"Zip\"\n"
                                 "\"Ann Lee\",\"12 Oak Street\",\"Springfield\",\"IL\",\"62701\"\n");
    Services.OpenFile = csv;
    TWizardForm form(10, Services);
    EXPECT_EQ(Title(form), QStringLiteral("Label Category"));
    form.NextClick();
    EXPECT_EQ(Title(form), QStringLiteral("Label Type"));
    EXPECT_EQ(Listed(form), QStringList{QStringLiteral("5160")});
    const QPixmap addressPicture = Find<QLabel>(form, "LabelTypePicture")->pixmap();
    EXPECT_FALSE(addressPicture.isNull());
    EXPECT_NE(Find<QLabel>(form, "StockDetails")->text().indexOf(QStringLiteral("3 x 10")), -1);
    // "Return" lists the address and the return stocks; a search narrows the list.
    Find<QListWidget>(form, "LabelTypes")->setCurrentRow(1);
    EXPECT_EQ(Listed(form), (QStringList{QStringLiteral("5160"), QStringLiteral("5167")}));
    EXPECT_NE(Find<QLabel>(form, "LabelTypePicture")->pixmap().cacheKey(),
              addressPicture.cacheKey());
    Find<QLineEdit>(form, "StockSearch")->setText(QStringLiteral("1.75"));
    EXPECT_EQ(Listed(form), QStringList{QStringLiteral("5167")});
    Find<QLineEdit>(form, "StockSearch")->clear();
    Find<QListWidget>(form, "StockList")->setCurrentRow(0);
    form.NextClick();

    EXPECT_EQ(Title(form), QStringLiteral("Label Similarity"));
    ChooseRadio(form, wpLabelSimilarity, QStringLiteral("Each label will be different"));
    form.NextClick();
    EXPECT_EQ(Title(form), QStringLiteral("Label Database"));
    EXPECT_FALSE(Button(form, "NextButton")->isEnabled());
    EXPECT_FALSE(Button(form, "SelectFieldsButton")->isEnabled());
    form.OpenDatabaseClick();
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
    EXPECT_EQ(Find<QLabel>(form, "TableName")->text(), QStringLiteral("people.csv"));
    EXPECT_EQ(Find<QListWidget>(form, "FieldList")->count(), 5);
    EXPECT_TRUE(Button(form, "SelectFieldsButton")->isEnabled());
    EXPECT_TRUE(Button(form, "NextButton")->isEnabled());
    form.NextClick();

    EXPECT_EQ(Title(form), QStringLiteral("Label Fields"));
    EXPECT_EQ(Find<QComboBox>(form, "CityChoice")->currentText(), QStringLiteral("City"));
    EXPECT_EQ(Find<QComboBox>(form, "StateChoice")->currentText(), QStringLiteral("State"));
    EXPECT_EQ(Find<QComboBox>(form, "ZipChoice")->currentText(), QStringLiteral("Zip"));
    EXPECT_EQ(Find<QLabel>(form, "CombinedLine")->text(), QStringLiteral("<City>, <State> <Zip>"));
    EXPECT_TRUE(Button(form, "CreateButton")->isEnabled());
    form.CreateClick();
    std::unique_ptr<TCard> card = form.TakeCard();
    ASSERT_TRUE(card);
    EXPECT_EQ(card->SheetGeometry.NumAcross, 3);
    EXPECT_EQ(card->SheetGeometry.NumDown, 10);
    EXPECT_EQ(card->DataSourceName, csv);
    ASSERT_TRUE(card->DataTable() && card->DataTable()->IsOpen());
    auto* headline = dynamic_cast<THeadlineObject*>(card->ObjectAt(0, 0, 0));
    ASSERT_NE(headline, nullptr);
    EXPECT_EQ(headline->Text, QStringLiteral("<Name>\r\n<Street>\r\n<City>, <State> <Zip>"));
    // The first record shows.
    EXPECT_EQ(headline->HeadlineText().Lines,
              (QStringList{"Ann Lee", "12 Oak Street", "Springfield, IL 62701"}));
}

TEST_F(WizardFormTest, SelectedFieldsAndANewDatabase) {
    Services.NewFile = Folder.filePath(QStringLiteral("friends"));
    TWizardForm form(10, Services);
    form.NextClick();
    form.NextClick();
    ChooseRadio(form, wpLabelSimilarity, QStringLiteral("Each label will be different"));
    form.NextClick();
    form.CreateDatabaseClick();
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
    EXPECT_TRUE(QFile::exists(Folder.filePath(QStringLiteral("friends.db"))));
    EXPECT_EQ(Find<QLabel>(form, "TableName")->text(), QStringLiteral("friends.db"));

    Services.Selection = {true, false, true, true, true};
    form.SelectFieldsClick();
    EXPECT_EQ(Services.Offered, (QStringList{"Name", "Address", "City", "State", "ZIP"}));
    form.NextClick();
    // The choices list the selected fields only.
    EXPECT_EQ(Find<QComboBox>(form, "CityChoice")->findText(QStringLiteral("Address")), -1);
    EXPECT_EQ(form.Answers().SelectedFields, (QStringList{"Name", "City", "State", "ZIP"}));
    Find<QComboBox>(form, "StateChoice")->setCurrentIndex(0); // none
    EXPECT_EQ(Find<QLabel>(form, "CombinedLine")->text(), QStringLiteral("<City> <ZIP>"));
    form.CreateClick();
    std::unique_ptr<TCard> card = form.TakeCard();
    ASSERT_TRUE(card);
    auto* headline = dynamic_cast<THeadlineObject*>(card->ObjectAt(0, 0, 0));
    ASSERT_NE(headline, nullptr);
    EXPECT_EQ(headline->Text, QStringLiteral("<Name>\r\n<City> <ZIP>\r\n<State>"));
    EXPECT_TRUE(card->DataSourceName.endsWith(QStringLiteral("friends.db")));
}

TEST_F(WizardFormTest, AddressBookFieldsAndAnUnreadableTable) {
    Services.OpenFile = Folder.filePath(QStringLiteral("nothing.db"));
    TWizardForm form(10, Services);
    form.NextClick();
    form.NextClick();
    ChooseRadio(form, wpLabelSimilarity, QStringLiteral("Each label will be different"));
    form.NextClick();
    form.OpenDatabaseClick();
    EXPECT_EQ(Test.Messages.Errors.size(), 1);
    EXPECT_FALSE(Button(form, "NextButton")->isEnabled());
    form.AddressBookClick();
    EXPECT_TRUE(Button(form, "NextButton")->isEnabled());
    EXPECT_EQ(Find<QListWidget>(form, "FieldList")->item(0)->text(), QStringLiteral("Display"));
    form.NextClick();
    EXPECT_EQ(Find<QComboBox>(form, "CityChoice")->currentText(), QStringLiteral("City"));
    EXPECT_EQ(Find<QComboBox>(form, "ZipChoice")->currentText(), QStringLiteral("Zip"));
    EXPECT_TRUE(form.Answers().UseAddressBook);
}

TEST_F(WizardFormTest, LabelTypeModeWithLabelsAllTheSame) {
    TWizardForm form(17, Services, true);
    EXPECT_EQ(form.Navigation().DocumentType(), 10);
    EXPECT_EQ(Title(form), QStringLiteral("Label Category"));
    ChooseRadio(form, wpLabelCategory, QStringLiteral("Office"));
    ChooseRadio(form, wpLabelCategory, QStringLiteral("Miscellaneous"));
    form.NextClick();
    EXPECT_EQ(Listed(form).size(), 4); // All Types
    Find<QListWidget>(form, "StockList")->setCurrentRow(1);
    form.NextClick();
    ChooseRadio(form, wpLabelSimilarity, QStringLiteral("All labels will be the same"));
    EXPECT_FALSE(Button(form, "NextButton")->isEnabled());
    EXPECT_TRUE(Button(form, "CreateButton")->isEnabled());
    ChooseRadio(form, wpLabelSimilarity, QStringLiteral("Each label will be different"));
    EXPECT_TRUE(Button(form, "NextButton")->isEnabled());
    EXPECT_FALSE(Button(form, "CreateButton")->isEnabled());
    ChooseRadio(form, wpLabelSimilarity, QStringLiteral("All labels will be the same"));

    QTimer::singleShot(0, &form, [&] { form.CreateClick(); });
    EXPECT_EQ(form.Run(), TWizardForm::Created);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.TakeCard(), nullptr); // the caller changes its own card
    ASSERT_TRUE(form.Answers().LabelStock);
    EXPECT_EQ(form.Answers().LabelStock->Stock.CatNum, QStringLiteral("5163"));
}

TEST_F(WizardFormTest, CancelLeavesNoCardAndTemplatesGoBack) {
    {
        TWizardForm form(12, Services);
        Find<QLineEdit>(form, "BannerText")->setText(QStringLiteral("WELCOME HOME"));
        QTimer::singleShot(0, &form, [&] { Click(&form, "CancelButton"); });
        EXPECT_EQ(form.Run(), TWizardForm::Cancelled);
        EXPECT_EQ(form.TakeCard(), nullptr);
    }
    {
        TWizardForm form(12, Services);
        EXPECT_FALSE(Button(form, "BannerTemplateButton")->isEnabled());
    }
    Services.Templates = true;
    for (int type : {9, 10, 12}) {
        SCOPED_TRACE(type);
        TWizardForm form(type, Services);
        const char* button = type == 9    ? "BusinessCardTemplateButton"
                             : type == 10 ? "LabelTemplateButton"
                                          : "BannerTemplateButton";
        ASSERT_TRUE(Button(form, button)->isEnabled());
        QTimer::singleShot(0, &form, [&] { Click(&form, button); });
        EXPECT_EQ(form.Run(), TWizardForm::UseTemplate);
        EXPECT_EQ(form.TakeCard(), nullptr);
    }
}

TEST(LabelSheetPicture, DrawsEveryLabelAndItsMark) {
    TLabelCatalogueRow row = Stock("5160", "Address", 2.625, 1, 3, 10);
    const QSize sheet(127, 165);
    const QImage plain = LabelSheetPicture(row, sheet, TLabelMarks::None);
    ASSERT_EQ(plain.size(), sheet);
    auto dark = [](QRgb c) { return qGray(c) < 128; };
    auto red = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100; };
    // Left edge of the first label at 0.1875 in, top edge of the last row at 9.5 in.
    EXPECT_TRUE(dark(plain.pixel(3, 20)));
    EXPECT_TRUE(dark(plain.pixel(20, qRound(9.5 * 15))));
    EXPECT_FALSE(dark(plain.pixel(1, 20)));
    int redPixels = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            redPixels += red(plain.pixel(x, y));
    EXPECT_EQ(redPixels, 0);

    // Numbered: something red inside the first and the thirtieth label.
    const QImage numbered = LabelSheetPicture(row, sheet, TLabelMarks::Numbered);
    auto redIn = [&](const QImage& image, QRect box) {
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (red(image.pixel(x, y))) return true;
        return false;
    };
    EXPECT_TRUE(redIn(numbered, QRect(4, 8, 37, 14)));
    EXPECT_TRUE(redIn(numbered, QRect(86, 143, 37, 14)));
    EXPECT_TRUE(redIn(LabelSheetPicture(row, sheet, TLabelMarks::Same), QRect(4, 8, 37, 14)));

    // Round labels: the corners of the box stay white.
    row.LabelShape = QStringLiteral("Round");
    const QImage round = LabelSheetPicture(row, sheet, TLabelMarks::None);
    EXPECT_FALSE(dark(round.pixel(3, 8)));
    bool edge = false;
    for (int x = 2; x <= 5; ++x)
        for (int y = 14; y <= 17; ++y)
            edge = edge || qGray(round.pixel(x, y)) < 200;
    EXPECT_TRUE(edge);
}

TEST(SelectFieldsForm, AllClearAndTheChecksCopiedBack) {
    TSelectFieldsForm form({"Name", "City", "Zip"}, {true, false, true});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Select Fields"));
    EXPECT_EQ(form.Selected(), (std::vector<bool>{true, false, true}));
    Find<QPushButton>(form, "ClearButton")->click();
    EXPECT_EQ(form.Selected(), (std::vector<bool>{false, false, false}));
    Find<QPushButton>(form, "AllButton")->click();
    EXPECT_EQ(form.Selected(), (std::vector<bool>{true, true, true}));
}

} // namespace
