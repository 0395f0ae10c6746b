#include "document/Card.h"
#include "document/Control.h"
#include "document/OpenTemp.h"
#include "document/Template.h"
#include "objects/Headline.h"
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"
#include "types/BannerWidthForm.h"
#include "types/BusinessCardTypeForm.h"
#include "types/CardTypeForm.h"
#include "types/ConvertCardTypeForm.h"
#include "types/DialogSupport.h"
#include "types/TypePictures.h"

#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

namespace {

template <typename T = QWidget> T* Child(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QList<int> Range(int first, int last) {
    QList<int> values;
    for (int i = first; i <= last; ++i)
        values.append(i);
    return values;
}

QStringList Texts(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts.append(list.item(i)->text());
    return texts;
}

QList<bool> Checks(const QListWidget& list) {
    QList<bool> checks;
    for (int i = 0; i < list.count(); ++i)
        checks.append(list.item(i)->checkState() == Qt::Checked);
    return checks;
}

void Click(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
}

bool SameImage(const QPixmap& a, const QPixmap& b) {
    return a.toImage().convertToFormat(QImage::Format_ARGB32) ==
           b.toImage().convertToFormat(QImage::Format_ARGB32);
}

// A template folder with an index over it, and a record of the files read through the loader.
class DialogTest : public testing::Test {
protected:
    DialogTest() {
        Test.Context.TemplateFolder = Root.filePath(QStringLiteral("Template"));
        QDir().mkpath(Test.Context.TemplateFolder);
        Loader = [this](const QString& path) {
            Loaded.append(QFileInfo(path).fileName());
            return LoadTemplateCard(path);
        };
    }
    ~DialogTest() override { SetDefaultTemplateChooser({}); }

    QString PathOf(const QString& name) const {
        return QDir(Test.Context.TemplateFolder).filePath(name);
    }

    // A template holding one headline; with a preview picture when asked.
    void SaveTemplate(const QString& name, const QString& description, int type,
                      bool preview = false) {
        TCard card(DocumentTypeInfo(type)->Format, type);
        card.Description = description;
        auto* headline = new THeadlineObject();
        headline->Text = QStringLiteral("Text of ") + description;
        headline->Bounds = TRect{10, 10, 200, 60};
        card.Pages(0)->Panels(0)->AddObject(headline);
        if (preview) card.Preview = PreviewBitmap(RenderCardPreview(card));
        SaveStoredToFile(PathOf(name), card);
    }

    void Refresh() {
        Index.SetLoader(LoadTemplateCard);
        Index.Refresh();
    }

    TCardTypeServices Services() {
        TCardTypeServices services;
        services.Templates = &Index;
        services.ChooseTemplate = [this](int type) {
            ChooserTypes.append(type);
            return ChooserAnswer;
        };
        services.RunWizard = [this](int type) -> TWizardRun {
            WizardTypes.append(type);
            if (WizardWantsTemplate) return TWizardRun::Template();
            if (!WizardMakesCard) return TWizardRun();
            auto card = std::make_unique<TCard>(DocumentTypeInfo(type)->Format, type);
            card->Description = QStringLiteral("by the wizard");
            return card;
        };
        return services;
    }

    TSettingsStore& Settings() { return Test.Context.Settings(); }

    TTestContext Test;
    QTemporaryDir Root;
    TTemplateTable Index;
    TOpenTemplateForm::TLoader Loader;
    QStringList Loaded;
    QList<int> ChooserTypes;
    QString ChooserAnswer;
    QList<int> WizardTypes;
    bool WizardMakesCard = true;
    bool WizardWantsTemplate = false;
};

// Pictures.

TEST(TypePictures, EveryTypeAndFormatHasItsOwnPicture) {
    std::set<QString> names;
    for (int type = 0; type < DocumentTypeCount; ++type)
        names.insert(QString::fromLatin1(DocumentTypeInfo(type)->Picture));
    QList<QImage> seen;
    for (const QString& name : names) {
        const QPixmap picture = DocumentTypePicture(name);
        ASSERT_FALSE(picture.isNull()) << name.toStdString();
        EXPECT_EQ(picture.size(), QSize(TypePictureSize, TypePictureSize));
        seen.append(picture.toImage());
        // Drawn once: the same pixmap comes back.
        EXPECT_EQ(DocumentTypePicture(name).cacheKey(), picture.cacheKey());
    }
    for (int format = 0; format < CardFormatCount; ++format) {
        const QPixmap picture = CardFormatPicture(format);
        ASSERT_FALSE(picture.isNull()) << format;
        EXPECT_EQ(picture.size(), QSize(TypePictureSize, TypePictureSize));
        // Something is drawn: the centre area is not transparent.
        EXPECT_GT(picture.toImage().pixelColor(48, 48).alpha(), 0) << format;
        if (format < 15) seen.append(picture.toImage());
    }
    // Formats 15 and 16 share the pictures of 0 and 1; all the others differ.
    EXPECT_TRUE(SameImage(CardFormatPicture(15), CardFormatPicture(0)));
    EXPECT_TRUE(SameImage(CardFormatPicture(16), CardFormatPicture(1)));
    for (int i = 0; i < seen.size(); ++i)
        for (int j = i + 1; j < seen.size(); ++j)
            EXPECT_NE(seen[i], seen[j]) << i << " " << j;

    EXPECT_TRUE(DocumentTypePicture(QStringLiteral("ctNothing")).isNull());
    EXPECT_TRUE(CardFormatPicture(17).isNull());
    EXPECT_TRUE(CardFormatPicture(-1).isNull());
}

TEST(DialogSupport, CaptionsUseTheDocumentTerm) {
    EXPECT_EQ(WithDocumentTerm(QStringLiteral("Card Type")), QStringLiteral("Document Type"));
    EXPECT_EQ(WithDocumentTerm(QStringLiteral("&Blank card")), QStringLiteral("&Blank document"));
    EXPECT_EQ(WithDocumentTerm(QStringLiteral("Please choose a card type for this card.")),
              QStringLiteral("Please choose a document type for this document."));
    // Whole words only.
    EXPECT_EQ(WithDocumentTerm(QStringLiteral("Discard Cards")), QStringLiteral("Discard Cards"));
}

// Card Type dialog.

TEST_F(DialogTest, CardTypeCategoriesComeFromAndGoBackToTheSettings) {
    {
        TCardTypeForm form(Services());
        auto* categories = Child<QListWidget>(form, "CategoryList");
        EXPECT_EQ(Texts(*categories), (QStringList{QStringLiteral("Standard Types"),
                                                   QStringLiteral("Photo Paper Types")}));
        EXPECT_EQ(Checks(*categories), (QList<bool>{true, true})); // checked by default
        EXPECT_EQ(form.ListedTypes(), Range(0, 13) + Range(19, 25));
        EXPECT_FALSE(categories->isHidden());
    }
    EXPECT_TRUE(Settings().ReadBool(QStringLiteral("Categories"), QStringLiteral("Item0"), false));
    EXPECT_TRUE(Settings().ReadBool(QStringLiteral("Categories"), QStringLiteral("Item1"), false));

    Settings().WriteBool(QStringLiteral("Categories"), QStringLiteral("Item0"), false);
    {
        TCardTypeForm form(Services());
        auto* categories = Child<QListWidget>(form, "CategoryList");
        EXPECT_EQ(Checks(*categories), (QList<bool>{false, true}));
        EXPECT_EQ(form.ListedTypes(), Range(19, 25));
        EXPECT_EQ(form.ChosenType(), 19); // the first is selected

        categories->item(0)->setCheckState(Qt::Checked);
        EXPECT_EQ(form.ListedTypes(), Range(0, 13) + Range(19, 25));
        categories->item(1)->setCheckState(Qt::Unchecked);
        EXPECT_EQ(form.ListedTypes(), Range(0, 13));
        EXPECT_EQ(form.ChosenType(), 0);
    }
    EXPECT_TRUE(Settings().ReadBool(QStringLiteral("Categories"), QStringLiteral("Item0"), false));
    EXPECT_FALSE(Settings().ReadBool(QStringLiteral("Categories"), QStringLiteral("Item1"), true));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
}

TEST_F(DialogTest, CardTypeRefusesToUncheckTheLastCategory) {
    TCardTypeForm form(Services());
    auto* categories = Child<QListWidget>(form, "CategoryList");
    categories->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
    categories->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(Test.Messages.Errors,
              QStringList{QStringLiteral("You must check at least one item.")});
    EXPECT_EQ(Checks(*categories), (QList<bool>{false, true}));
    EXPECT_EQ(form.ListedTypes(), Range(19, 25));

    // Settings that uncheck everything still leave something to choose from.
    Settings().WriteBool(QStringLiteral("Categories"), QStringLiteral("Item0"), false);
    Settings().WriteBool(QStringLiteral("Categories"), QStringLiteral("Item1"), false);
    TCardTypeForm second(Services());
    EXPECT_EQ(Checks(*Child<QListWidget>(second, "CategoryList")), (QList<bool>{true, false}));
    EXPECT_EQ(second.ListedTypes(), Range(0, 13));
}

TEST_F(DialogTest, CardTypeOffersThePhotoPapersOfTheMeasuringSystem) {
    Test.Context.Metric = true;
    TCardTypeForm form(Services());
    EXPECT_EQ(Texts(*Child<QListWidget>(form, "CategoryList")),
              (QStringList{QStringLiteral("Standard Types"),
                           QStringLiteral("Photo Paper Types (Metric)")}));
    EXPECT_EQ(form.ListedTypes(), Range(0, 13) + Range(26, 31));
    const QStringList names = Texts(*Child<QListWidget>(form, "TypeList"));
    EXPECT_EQ(names.front(), QStringLiteral("Greeting Card"));
    EXPECT_EQ(names.back(), QStringLiteral("Photo Paper PH-108, 10-up (54 x 85)"));
}

TEST_F(DialogTest, CardTypeCaptionsSayDocument) {
    TCardTypeForm form(Services());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Document Type"));
    EXPECT_EQ(Child<QLabel>(form, "TypeLabel")->text(),
              QStringLiteral("&Pick the type of document to create:"));
    EXPECT_EQ(Child<QPushButton>(form, "BlankButton")->text(), QStringLiteral("&Blank document"));
    EXPECT_EQ(Child<QLabel>(form, "CategoryLabel")->text(),
              QStringLiteral("&Show document types:"));
    EXPECT_EQ(Child<QPushButton>(form, "TemplateButton")->text(),
              QStringLiteral("Use &Template..."));
    EXPECT_EQ(Child<QPushButton>(form, "WizardButton")->text(), QStringLiteral("Use &Wizard..."));
}

TEST_F(DialogTest, CardTypeButtonsFollowTheSelectedType) {
    SaveTemplate(QStringLiteral("card.qdx"), QStringLiteral("Birthday"), 0);
    SaveTemplate(QStringLiteral("form.qdx"), QStringLiteral("Order form"), 13);
    SaveTemplate(QStringLiteral("photo.qdx"), QStringLiteral("Holiday"), 21);
    Refresh();
    TCardTypeForm form(Services());
    auto* list = Child<QListWidget>(form, "TypeList");
    auto* blank = Child<QPushButton>(form, "BlankButton");
    auto* wizard = Child<QPushButton>(form, "WizardButton");
    auto* templates = Child<QPushButton>(form, "TemplateButton");
    auto* picture = Child<QLabel>(form, "TypePicture");
    for (int row = 0; row < list->count(); ++row) {
        list->setCurrentRow(row);
        const int type = form.ListedTypes()[row];
        SCOPED_TRACE(type);
        EXPECT_EQ(form.ChosenType(), type);
        EXPECT_EQ(form.ChosenFormat(), DocumentTypeInfo(type)->Format);
        EXPECT_EQ(blank->isEnabled(), type != 10 && type != 12);
        EXPECT_EQ(wizard->isEnabled(), type != 13 && type < 19);
        EXPECT_EQ(templates->isEnabled(), type == 0 || type == 13 || type == 21);
        EXPECT_TRUE(SameImage(picture->pixmap(), DocumentTypePicture(QString::fromLatin1(
                                                     DocumentTypeInfo(type)->Picture))));
    }

    // Without a wizard or an index the buttons stay off.
    TCardTypeServices bare;
    TCardTypeForm plain(bare);
    EXPECT_FALSE(Child<QPushButton>(plain, "WizardButton")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(plain, "TemplateButton")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(plain, "BlankButton")->isEnabled());
}

TEST_F(DialogTest, CardTypeBlankMakesACardOfTheTypesFormat) {
    TCardTypeForm form(Services());
    Child<QListWidget>(form, "TypeList")->setCurrentRow(7); // Brochure
    Child<QPushButton>(form, "BlankButton")->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.FromTemplate());
    std::unique_ptr<TCard> card = form.TakeCard();
    ASSERT_TRUE(card);
    EXPECT_EQ(card->DocumentType, 7);
    EXPECT_EQ(card->CardFormat, 2);
    ASSERT_EQ(card->PageCount(), 1);
    EXPECT_EQ(card->Pages(0)->PanelCount(), 6);
    EXPECT_TRUE(card->DocumentModified);
    EXPECT_TRUE(ChooserTypes.isEmpty());
    EXPECT_TRUE(WizardTypes.isEmpty());
}

TEST_F(DialogTest, CardTypeTemplateAndWizardPaths) {
    SaveTemplate(QStringLiteral("Party.qdx"), QStringLiteral("Party"), 0);
    Refresh();
    {
        // The chosen file is read and becomes the card.
        ChooserAnswer = PathOf(QStringLiteral("Party.qdx"));
        TCardTypeForm form(Services());
        Child<QPushButton>(form, "TemplateButton")->click();
        EXPECT_EQ(ChooserTypes, QList<int>{0});
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_TRUE(form.FromTemplate());
        std::unique_ptr<TCard> card = form.TakeCard();
        ASSERT_TRUE(card);
        EXPECT_EQ(card->Description, QStringLiteral("Party"));
    }
    {
        // Cancel in the chooser cancels the dialog.
        ChooserAnswer.clear();
        TCardTypeForm form(Services());
        Child<QPushButton>(form, "TemplateButton")->click();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_FALSE(form.TakeCard());
    }
    {
        // A template that cannot be read.
        ChooserAnswer = PathOf(QStringLiteral("gone.qdx"));
        TCardTypeForm form(Services());
        Child<QPushButton>(form, "TemplateButton")->click();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_FALSE(form.TakeCard());
        EXPECT_EQ(Test.Messages.Errors,
                  QStringList{QStringLiteral("Error opening the file %1.").arg(ChooserAnswer)});
    }
    {
        TCardTypeForm form(Services());
        Child<QListWidget>(form, "TypeList")->setCurrentRow(9); // Business Card
        Child<QPushButton>(form, "WizardButton")->click();
        EXPECT_EQ(WizardTypes, QList<int>{9});
        EXPECT_EQ(form.result(), QDialog::Accepted);
        std::unique_ptr<TCard> card = form.TakeCard();
        ASSERT_TRUE(card);
        EXPECT_EQ(card->Description, QStringLiteral("by the wizard"));
        EXPECT_FALSE(form.FromTemplate());
    }
    {
        WizardMakesCard = false;
        TCardTypeForm form(Services());
        Child<QPushButton>(form, "WizardButton")->click();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_FALSE(form.TakeCard());
    }
    {
        // The wizard's "Use Template..." runs this dialog's template path for the type.
        WizardWantsTemplate = true;
        ChooserTypes.clear();
        ChooserAnswer = PathOf(QStringLiteral("Party.qdx"));
        TCardTypeForm form(Services());
        Child<QPushButton>(form, "WizardButton")->click();
        EXPECT_EQ(ChooserTypes, QList<int>{0});
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_TRUE(form.FromTemplate());
        std::unique_ptr<TCard> card = form.TakeCard();
        ASSERT_TRUE(card);
        EXPECT_EQ(card->Description, QStringLiteral("Party"));
    }
}

TEST_F(DialogTest, CardTypeExecuteShowsTheDialogAndTheTemplateChooser) {
    SaveTemplate(QStringLiteral("b.qdx"), QStringLiteral("Balloons"), 0, true);
    SaveTemplate(QStringLiteral("a.qdx"), QStringLiteral("Anchors"), 0);
    Refresh();
    InstallTemplateChooser();
    TCardTypeServices services;
    services.Templates = &Index;
    TCardTypeForm form(services);
    QString chooserTitle;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TCardTypeForm*>(QApplication::activeModalWidget());
        ASSERT_EQ(dialog, &form);
        QTimer::singleShot(0, [&] {
            QWidget* chooser = QApplication::activeModalWidget();
            ASSERT_NE(chooser, nullptr);
            chooserTitle = chooser->windowTitle();
            // The type dialog is hidden while the template is chosen.
            EXPECT_FALSE(form.isVisible());
            Child<QListWidget>(*chooser, "DescriptionList")->setCurrentRow(1);
            qobject_cast<QDialog*>(chooser)->accept();
        });
        Child<QPushButton>(form, "TemplateButton")->click();
    });
    std::unique_ptr<TCard> card = form.Execute();
    EXPECT_EQ(chooserTitle, QStringLiteral("Open Template"));
    ASSERT_TRUE(card);
    EXPECT_EQ(card->Description, QStringLiteral("Balloons"));
    EXPECT_TRUE(form.FromTemplate());

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(form.Execute());
}

TEST_F(DialogTest, CardTypeWithOneTypeIsNotShown) {
    // Any modal dialog left open would be a fault; close it so the test ends.
    bool shown = false;
    auto watch = [&shown] {
        QTimer::singleShot(0, [&shown] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = true;
                modal->close();
            }
        });
    };

    TCardTypeServices services = Services();
    services.Types = {9};
    {
        TCardTypeForm form(services);
        // One category with one type: the check list and its label are hidden.
        EXPECT_TRUE(Child<QListWidget>(form, "CategoryList")->isHidden());
        EXPECT_TRUE(Child<QLabel>(form, "CategoryLabel")->isHidden());
        watch();
        std::unique_ptr<TCard> card = form.Execute();
        ASSERT_TRUE(card);
        EXPECT_EQ(WizardTypes, QList<int>{9}); // the wizard at once
        EXPECT_EQ(card->Description, QStringLiteral("by the wizard"));
    }

    // Forms have no wizard: blank, or a template when the user wants one.
    services.Types = {13};
    {
        TCardTypeForm form(services);
        watch();
        std::unique_ptr<TCard> card = form.Execute();
        ASSERT_TRUE(card);
        EXPECT_EQ(card->DocumentType, 13);
        EXPECT_EQ(card->CardFormat, 7);
        EXPECT_TRUE(Test.Messages.Confirmations.isEmpty()); // no template to offer
    }
    SaveTemplate(QStringLiteral("order.qdx"), QStringLiteral("Order form"), 13);
    Refresh();
    ChooserAnswer = PathOf(QStringLiteral("order.qdx"));
    {
        TCardTypeForm form(services);
        watch();
        std::unique_ptr<TCard> card = form.Execute();
        EXPECT_EQ(Test.Messages.Confirmations, QStringList{QStringLiteral("Use a template?")});
        ASSERT_TRUE(card);
        EXPECT_EQ(card->Description, QStringLiteral("Order form"));
        EXPECT_TRUE(form.FromTemplate());
    }
    Test.Messages.ConfirmAnswer = false;
    {
        TCardTypeForm form(services);
        watch();
        std::unique_ptr<TCard> card = form.Execute();
        ASSERT_TRUE(card);
        EXPECT_TRUE(card->Description.isEmpty());
        EXPECT_FALSE(form.FromTemplate());
        EXPECT_EQ(ChooserTypes, QList<int>{13});
    }
    QApplication::processEvents();
    EXPECT_FALSE(shown);
}

// Change Business Card Type.

TEST_F(DialogTest, BusinessCardConnectedOrSeparated) {
    struct Case {
        int From;
        int Item; // opened on
        int Choose;
        int To;
    };
    for (const Case& c : {Case{9, 0, 1, 10}, Case{10, 1, 0, 9}, Case{11, 1, 1, 10},
                          Case{11, 1, 0, 9}, Case{9, 0, 0, 9}}) {
        SCOPED_TRACE(testing::Message() << c.From << " -> " << c.To);
        TCard card(c.From, 9);
        card.SetDocumentModified(false);
        TBusinessCardTypeForm form(card);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Change Business Card Type"));
        EXPECT_EQ(form.ItemIndex(), c.Item);
        auto* picture = Child<QLabel>(form, "FormatPicture");
        Child<QRadioButton>(form, c.Choose == 0 ? "ConnectedButton" : "SeparatedButton")->click();
        EXPECT_TRUE(SameImage(picture->pixmap(), CardFormatPicture(c.To)));
        form.accept();
        EXPECT_EQ(card.CardFormat, c.To);
        EXPECT_EQ(card.Pages(0)->PageFormat, c.To);
        TSheetGeometry expected;
        ComputeSheetGeometry(c.To, expected);
        EXPECT_EQ(card.SheetGeometry, expected);
        EXPECT_TRUE(card.DocumentModified);
    }

    TCard card(11, 9);
    const TSheetGeometry before = card.SheetGeometry;
    TBusinessCardTypeForm form(card);
    form.SetItemIndex(0);
    form.reject();
    EXPECT_EQ(card.CardFormat, 11);
    EXPECT_EQ(card.SheetGeometry, before);
}

// Change Banner Width.

TEST_F(DialogTest, BannerWidthInInches) {
    TCard card(13, 12);
    card.SheetGeometry.LabelWidth = 2550;
    card.SheetGeometry.NumAcross = 3;
    card.SetDocumentModified(false);
    {
        TBannerWidthForm form(card);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Change Banner Width"));
        EXPECT_EQ(Child<QLabel>(form, "WidthLabel")->text(),
                  QStringLiteral("&New width (inches):"));
        auto* edit = Child<QDoubleSpinBox>(form, "WidthEdit");
        EXPECT_EQ(edit->decimals(), 2);
        EXPECT_DOUBLE_EQ(edit->value(), 25.5);
        EXPECT_DOUBLE_EQ(edit->minimum(), 10);
        EXPECT_DOUBLE_EQ(edit->maximum(), 100);
        form.SetWidth(250); // refused by the field
        EXPECT_DOUBLE_EQ(form.Width(), 100);
        form.SetWidth(40.125);
        EXPECT_DOUBLE_EQ(form.Width(), 40.13);
        form.accept();
    }
    EXPECT_EQ(card.SheetGeometry.LabelWidth, 4013);
    EXPECT_EQ(card.SheetGeometry.NumAcross, 3);
    EXPECT_EQ(card.Pages(0)->Panels(0)->Width, 4013); // laid out again
    EXPECT_TRUE(card.DocumentModified);

    // Cancel leaves the card alone.
    card.SetDocumentModified(false);
    {
        TBannerWidthForm form(card);
        form.SetWidth(20);
        form.reject();
    }
    EXPECT_EQ(card.SheetGeometry.LabelWidth, 4013);
    EXPECT_FALSE(card.DocumentModified);

    // A banner longer than the usual maximum may keep its length; one of a single sheet, which
    // is shorter than the usual minimum, too.
    card.SheetGeometry.LabelWidth = 12345;
    EXPECT_DOUBLE_EQ(Child<QDoubleSpinBox>(TBannerWidthForm(card), "WidthEdit")->maximum(), 123.45);
    card.SheetGeometry.LabelWidth = 850;
    {
        TBannerWidthForm form(card);
        EXPECT_DOUBLE_EQ(Child<QDoubleSpinBox>(form, "WidthEdit")->minimum(), 8.5);
        EXPECT_DOUBLE_EQ(form.Width(), 8.5);
        form.accept();
    }
    EXPECT_EQ(card.SheetGeometry.LabelWidth, 850);
    EXPECT_FALSE(card.DocumentModified);
}

TEST_F(DialogTest, BannerWidthInCentimetres) {
    Test.Context.Metric = true;
    TCard card(13, 12);
    card.SheetGeometry.LabelWidth = 2550;
    {
        TBannerWidthForm form(card);
        EXPECT_EQ(Child<QLabel>(form, "WidthLabel")->text(),
                  QStringLiteral("&New width (centimeters):"));
        auto* edit = Child<QDoubleSpinBox>(form, "WidthEdit");
        EXPECT_DOUBLE_EQ(edit->value(), 64.77);
        // The same lengths as in inches: 10 to 100 inches.
        EXPECT_DOUBLE_EQ(edit->minimum(), 25.4);
        EXPECT_DOUBLE_EQ(edit->maximum(), 254);
        form.SetWidth(100);
        EXPECT_EQ(form.ChosenWidth(), 3937);
        form.accept();
    }
    EXPECT_EQ(card.SheetGeometry.LabelWidth, 3937);

    // Shown to the hundredth of a centimetre, which is finer than the stored unit.
    card.SheetGeometry.LabelWidth = 3001; // 76.2254 cm
    TBannerWidthForm form(card);
    EXPECT_DOUBLE_EQ(form.Width(), 76.23);
    EXPECT_EQ(form.ChosenWidth(), 3001);
    form.SetWidth(76.25); // 30.0196 inches
    EXPECT_EQ(form.ChosenWidth(), 3002);
}

// Choose Card Type/Description.

TEST_F(DialogTest, ConvertCardTypeChangesOnlyTypeAndDescription) {
    TCard card(0, 0);
    card.Description = QStringLiteral("Old");
    auto* headline = new THeadlineObject();
    headline->Text = QStringLiteral("Many happy returns");
    card.Pages(0)->Panels(0)->AddObject(headline);
    card.SetDocumentModified(false);
    const QImage preview(40, 30, QImage::Format_RGB32);

    TConvertCardTypeForm form(card, QStringLiteral("/home/me/docs/Party.qdx"), &preview, false);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Choose Document Type/Description"));
    EXPECT_EQ(Child<QLabel>(form, "HeadingLabel")->text(),
              QStringLiteral("Please choose a document type and description for this document."));
    EXPECT_EQ(Child<QLabel>(form, "TypeLabel")->text(), QStringLiteral("Document &Type:"));
    EXPECT_EQ(Child<QLabel>(form, "DescriptionLabel")->text(),
              QStringLiteral("Document &Description:"));
    EXPECT_EQ(Child<QLabel>(form, "FileNameLabel")->text(), QStringLiteral("PARTY.QDX"));
    EXPECT_TRUE(Child<QPlainTextEdit>(form, "CardText")
                    ->toPlainText()
                    .contains(QStringLiteral("Many happy returns")));
    EXPECT_TRUE(Child<QLabel>(form, "NoPreviewLabel")->isHidden());
    EXPECT_FALSE(Child<QPushButton>(form, "CancelButton")->isHidden());
    auto* list = Child<QListWidget>(form, "TypeList");
    EXPECT_EQ(list->count(), 14);
    EXPECT_EQ(list->item(8)->text(), QStringLiteral("Poster"));
    EXPECT_EQ(list->item(13)->text(), QStringLiteral("Form"));
    EXPECT_EQ(list->currentRow(), 0);

    list->setCurrentRow(5);
    Child<QLineEdit>(form, "DescriptionEdit")->setText(QStringLiteral("Company letter"));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(card.DocumentType, 5);
    EXPECT_EQ(card.Description, QStringLiteral("Company letter"));
    EXPECT_TRUE(card.DocumentModified);
    EXPECT_EQ(card.CardFormat, 0);
    EXPECT_EQ(card.Pages(0)->PanelCount(), 4);
    EXPECT_EQ(card.Pages(0)->Panels(0)->Count(), 1);
}

TEST_F(DialogTest, ConvertCardTypeRefusesABlankDescription) {
    TCard card(7, 1);
    card.Description = QStringLiteral("News");
    card.SetDocumentModified(false);
    TConvertCardTypeForm form(card, QString(), nullptr, false);
    EXPECT_FALSE(Child<QLabel>(form, "NoPreviewLabel")->isHidden()); // no preview anywhere
    auto* ok = Child<QPushButton>(form, "OkButton");
    EXPECT_TRUE(ok->isEnabled());
    Child<QLineEdit>(form, "DescriptionEdit")->setText(QStringLiteral("   "));
    EXPECT_FALSE(ok->isEnabled());
    Child<QListWidget>(form, "TypeList")->setCurrentRow(2);
    form.show();
    form.accept();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(card.DocumentType, 1);
    EXPECT_EQ(card.Description, QStringLiteral("News"));
    EXPECT_FALSE(card.DocumentModified);
    form.reject();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(DialogTest, ConvertCardTypeOfAnOlderDocumentCannotBeCancelled) {
    TCard card(6, 3);
    card.Preview = PreviewBitmap(RenderCardPreview(card));
    TConvertCardTypeForm form(card, QStringLiteral("cert.qdx"), nullptr, true);
    EXPECT_EQ(Child<QLabel>(form, "HeadingLabel")->text(),
              QStringLiteral("This document is in an older format.  Please choose a document "
                             "type and description for it."));
    EXPECT_TRUE(Child<QPushButton>(form, "CancelButton")->isHidden());
    // The card's own preview picture shows when none is given.
    EXPECT_TRUE(Child<QLabel>(form, "NoPreviewLabel")->isHidden());
    EXPECT_FALSE(Child<QPushButton>(form, "OkButton")->isEnabled()); // no description yet
    form.show();
    form.reject();
    EXPECT_TRUE(form.isVisible());
    Child<QLineEdit>(form, "DescriptionEdit")->setText(QStringLiteral("Award"));
    form.accept();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(card.DocumentType, 3);
    EXPECT_EQ(card.Description, QStringLiteral("Award"));
}

TEST_F(DialogTest, ConvertCardTypeKeepsATypeTheListDoesNotName) {
    TCard card(7, 21);
    card.Description = QStringLiteral("Photos");
    TConvertCardTypeForm form(card, QString(), nullptr, false);
    auto* list = Child<QListWidget>(form, "TypeList");
    ASSERT_EQ(list->count(), 15);
    EXPECT_EQ(list->currentRow(), 14);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Photo Paper PH-003, 2-up (4 x 6)"));
    form.accept();
    EXPECT_EQ(card.DocumentType, 21);
}

// Open Template.

TEST_F(DialogTest, OpenTemplateListsTheTypesTemplatesByDescription) {
    SaveTemplate(QStringLiteral("z.qdx"), QStringLiteral("zebra"), 0, true);
    SaveTemplate(QStringLiteral("A.qdx"), QStringLiteral("Mango"), 0);
    SaveTemplate(QStringLiteral("m.qdx"), QStringLiteral("apple"), 0);
    SaveTemplate(QStringLiteral("n.qdx"), QStringLiteral("Club news"), 1);
    Refresh();
    TOpenTemplateForm form(Index, 0, Loader);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Open Template"));
    EXPECT_EQ(form.Descriptions(), (QStringList{QStringLiteral("apple"), QStringLiteral("Mango"),
                                                QStringLiteral("zebra")}));

    // The first is shown at once.
    EXPECT_EQ(Loaded, QStringList{QStringLiteral("m.qdx")});
    ASSERT_TRUE(form.ShownCard());
    EXPECT_EQ(Child<QLabel>(form, "FileNameLabel")->text(), QStringLiteral("m.qdx"));
    EXPECT_EQ(Child<QPlainTextEdit>(form, "TemplateText")->toPlainText(),
              QStringLiteral("Text of apple\n"));
    EXPECT_TRUE(SameImage(Child<QLabel>(form, "ShapePicture")->pixmap(), CardFormatPicture(0)));
    EXPECT_FALSE(Child<QLabel>(form, "NoPreviewLabel")->isHidden());

    auto* list = Child<QListWidget>(form, "DescriptionList");
    list->setCurrentRow(2);
    EXPECT_EQ(form.SelectedFileName(), QStringLiteral("Z.QDX"));
    EXPECT_TRUE(Child<QLabel>(form, "NoPreviewLabel")->isHidden());
    EXPECT_EQ(Child<TPreviewFrame>(form, "PreviewArea")->Preview().width(), TCard::PreviewSize);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.ResultPath(), PathOf(QStringLiteral("z.qdx")));

    TOpenTemplateForm news(Index, 1, Loader);
    EXPECT_EQ(news.Descriptions(), QStringList{QStringLiteral("Club news")});
    TOpenTemplateForm none(Index, 5, Loader);
    EXPECT_TRUE(none.Descriptions().isEmpty());
    EXPECT_FALSE(none.ShownCard());
}

TEST_F(DialogTest, OpenTemplateDeletesAfterConfirmationAndClosesWhenNoneIsLeft) {
    SaveTemplate(QStringLiteral("one.qdx"), QStringLiteral("One"), 4);
    SaveTemplate(QStringLiteral("two.qdx"), QStringLiteral("Two"), 4);
    Refresh();
    TOpenTemplateForm form(Index, 4, Loader);
    form.show();
    auto* remove = Child<QPushButton>(form, "DeleteButton");

    Test.Messages.ConfirmAnswer = false;
    remove->click();
    EXPECT_EQ(Test.Messages.Confirmations,
              QStringList{QStringLiteral("Delete the template with the description 'One'?")});
    EXPECT_EQ(form.Descriptions().size(), 2);
    EXPECT_TRUE(QFile::exists(PathOf(QStringLiteral("one.qdx"))));

    Test.Messages.ConfirmAnswer = true;
    remove->click();
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("one.qdx"))));
    EXPECT_EQ(Index.CountForType(4), 1);
    EXPECT_FALSE(Index.FindTemplate(QStringLiteral("one.qdx")));
    EXPECT_EQ(form.Descriptions(), QStringList{QStringLiteral("Two")});
    EXPECT_EQ(form.SelectedFileName(), QStringLiteral("TWO.QDX"));
    ASSERT_TRUE(form.ShownCard());
    EXPECT_EQ(form.ShownCard()->Description, QStringLiteral("Two"));
    EXPECT_TRUE(form.isVisible());

    remove->click();
    EXPECT_EQ(Test.Messages.Confirmations.last(),
              QStringLiteral("Delete the template with the description 'Two'?"));
    EXPECT_EQ(Index.CountForType(4), 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.ShownCard());
}

TEST_F(DialogTest, OpenTemplateWithoutATemplateShownStaysOpen) {
    SaveTemplate(QStringLiteral("good.qdx"), QStringLiteral("Good"), 2);
    SaveTemplate(QStringLiteral("bad.qdx"), QStringLiteral("Bad"), 2);
    Refresh();
    // The file changed after the index was made and can no longer be read.
    QFile bad(PathOf(QStringLiteral("bad.qdx")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("not a document");
    bad.close();

    TOpenTemplateForm form(Index, 2, Loader);
    form.show();
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("Error reading bad.qdx.")});
    EXPECT_FALSE(form.ShownCard());
    EXPECT_FALSE(Child<QLabel>(form, "NoPreviewLabel")->isHidden());
    form.accept();
    EXPECT_EQ(Test.Messages.Errors.last(), QStringLiteral("There is no template selected."));
    EXPECT_TRUE(form.isVisible());

    // Clicking an item shows it again: a file that could not be read is tried again, the file
    // shown already is not read again.
    auto* list = Child<QListWidget>(form, "DescriptionList");
    Loaded.clear();
    Click(*list, 0);
    EXPECT_EQ(Loaded, QStringList{QStringLiteral("bad.qdx")});
    Click(*list, 1);
    ASSERT_TRUE(form.ShownCard());
    EXPECT_EQ(form.ShownCard()->Description, QStringLiteral("Good"));
    Click(*list, 1);
    EXPECT_EQ(Loaded, (QStringList{QStringLiteral("bad.qdx"), QStringLiteral("good.qdx")}));
    form.accept();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ResultPath(), PathOf(QStringLiteral("good.qdx")));

    TOpenTemplateForm empty(Index, 3, Loader);
    empty.show();
    empty.accept();
    EXPECT_EQ(Test.Messages.Errors.last(), QStringLiteral("There is no template selected."));
    EXPECT_TRUE(empty.isVisible());
}

TEST_F(DialogTest, OpenTemplateExecuteReturnsThePathOrNothing) {
    SaveTemplate(QStringLiteral("Invite.QDX"), QStringLiteral("Invitation"), 0);
    Refresh();
    TOpenTemplateForm form(Index, 0, Loader);
    QTimer::singleShot(0,
                       [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
    EXPECT_EQ(form.Execute(), PathOf(QStringLiteral("Invite.QDX")));
    QTimer::singleShot(0,
                       [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
    EXPECT_TRUE(form.Execute().isEmpty());
}

} // namespace
