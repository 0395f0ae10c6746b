// The bar code's properties dialog: filling from a code, the data and field rules, the
// sample, the reason shown for data the type cannot encode, what OK stores (and the "Default
// Bar Code" settings) and what Cancel leaves alone.

#include "document/Card.h"
#include "document/PropertyDialogs.h"
#include "objects/BarCode.h"
#include "objects/BarCodeForm.h"
#include "support/DocumentFixtures.h"
#include "DialogTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <tuple>

namespace {

// A recipient table with field names and no records.
class TFieldsOnly : public TNoRecordSource {
public:
    QStringList Names{QStringLiteral("Name"), QStringLiteral("Zip"), QStringLiteral("Code")};
    bool Opened = false;
    void Open(const QString&, const QString&, TTableType) override { Opened = true; }
    void Close() override { Opened = false; }
    bool IsOpen() const override { return Opened; }
    QStringList FieldNames() const override { return Names; }
};

// Types the text key by key, as on a keyboard that has every character of it.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class BarCodeFormTest : public testing::Test {
protected:
    bool InstallTable() {
        Test.Context.RecordSourceFactory = [] { return std::make_unique<TFieldsOnly>(); };
        return true;
    }
    BarCodeFormTest() : Card(0, 0) {
        Test.Context.AddOpenCard(&Card);
        Test.Context.ActiveCard = &Card;
        Test.Context.SetShell(&Shell);
    }
    ~BarCodeFormTest() override {
        Test.Context.SetShell(nullptr);
        Test.Context.RemoveOpenCard(&Card);
    }

    TBarCodeObject* Add(quint8 type, const QString& data) {
        auto* code = new TBarCodeObject();
        code->BarCodeType = type;
        code->Data = data;
        code->Bounds = {100, 100, 200, 150};
        Card.Pages(0)->Panels(0)->AddObject(code);
        Card.DocumentModified = false;
        return code;
    }
    void OpenTable() { Card.SetDataSource(QStringLiteral("/tmp/Recipients.csv")); }
    TSettingsStore& Settings() { return Test.Context.Settings(); }
    QVariant Default(const char* key) {
        return Settings().Value(QStringLiteral("Default Bar Code"), QString::fromLatin1(key));
    }

    TTestContext Test;
    bool TableInstalled = InstallTable();
    TRepaintRecorder Shell;
    TCard Card;
};

} // namespace

TEST_F(BarCodeFormTest, ShowsTheCodeAndTheSampleOfTheSelectedType) {
    TBarCodeObject* code = Add(bcCode39, QStringLiteral("HELLO"));
    code->ShowText = false;
    code->CenterVertically = true;
    TBarCodeForm form;
    form.Fill(*code);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Bar Code Object Properties"));
    auto* types = Find<QListWidget>(form, "TypeList");
    ASSERT_EQ(types->count(), 6);
    const char* names[] = {"UPC-A",    "EAN-13",  "Interleaved 2 of 5",
                           "Code 128", "Code 39", "PostNet"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(types->item(i)->text(), QString::fromLatin1(names[i]));
    EXPECT_EQ(types->currentRow(), int(bcCode39));
    EXPECT_EQ(Find<QLineEdit>(form, "DataEdit")->text(), QStringLiteral("HELLO"));
    EXPECT_FALSE(Find<QCheckBox>(form, "ShowTextCheck")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(form, "CenterHorizontallyCheck")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(form, "CenterVerticallyCheck")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(form, "DefaultCheck")->isChecked());

    auto* sample = Find<QLabel>(form, "SampleLabel");
    EXPECT_TRUE(sample->text().contains(QStringLiteral("012345")));
    types->setCurrentRow(bcCode128);
    EXPECT_TRUE(sample->text().contains(QStringLiteral("#208012345")))
        << sample->text().toStdString();
    types->setCurrentRow(bcPostnet);
    EXPECT_TRUE(sample->text().contains(QStringLiteral("012345678")));
    // The sample code of every type is drawn, larger with its text.
    auto* picture = Find<QLabel>(form, "SamplePicture");
    for (int type = 0; type < 6; ++type) {
        types->setCurrentRow(type);
        EXPECT_FALSE(picture->pixmap().isNull()) << type;
    }
    types->setCurrentRow(bcPostnet);
    const int plain = picture->pixmap().height();
    EXPECT_GT(plain, 0);
    Find<QCheckBox>(form, "ShowTextCheck")->setChecked(true);
    EXPECT_GT(picture->pixmap().height(), plain);
}

TEST_F(BarCodeFormTest, DataThatCannotBeEncodedSaysWhyUnderTheDataFieldAsItIsTyped) {
    TBarCodeObject* code = Add(bcUPC_A, QStringLiteral("01234567890"));
    TBarCodeForm form;
    form.Fill(*code);
    auto* types = Find<QListWidget>(form, "TypeList");
    auto* data = Find<QLineEdit>(form, "DataEdit");
    auto* problem = Find<QLabel>(form, "DataProblemLabel");
    EXPECT_EQ(problem->text(), QString());

    const QString upcLength =
        QStringLiteral("UPC-A barcodes must be 11 digits (12 with check digit)");
    data->clear();
    EXPECT_EQ(problem->text(), upcLength);
    QTest::keyClicks(data, QStringLiteral("555-0123"));
    EXPECT_EQ(problem->text(), upcLength);
    // The reason stays while digits are missing and goes with the eleventh.
    data->clear();
    QTest::keyClicks(data, QStringLiteral("0123456789"));
    EXPECT_EQ(problem->text(), upcLength);
    QTest::keyClicks(data, QStringLiteral("0"));
    EXPECT_EQ(problem->text(), QString());
    QTest::keyClick(data, Qt::Key_Backspace);
    EXPECT_EQ(problem->text(), upcLength);

    // Another type judges the same text again: Code 128 takes a phone number as it is.
    data->clear();
    QTest::keyClicks(data, QStringLiteral("555-0123"));
    types->setCurrentRow(bcCode128);
    EXPECT_EQ(problem->text(), QString());
    types->setCurrentRow(bcInt2of5);
    EXPECT_EQ(problem->text(), QStringLiteral("Interleaved 2 of 5 barcodes must be numeric"));

    // Every type names its own reasons: lengths and characters it cannot hold.
    const QString code39 = QStringLiteral(
        "Code 39 barcodes can only contain \"A\"-\"Z\", \"0\"-\"9\", \"$\", \"%\", \"+\", \"-\", "
        "\".\", \"/\" or \" \"");
    const std::tuple<int, QString, QString> cases[] = {
        {bcUPC_A, "0123456789A", "UPC-A barcodes must be numeric"},
        {bcEAN_13, "555-0123", "EAN-13 barcodes must be 12 digits (13 with check digit)"},
        {bcEAN_13, "01234567890A", "EAN-13 barcodes must be numeric"},
        {bcEAN_13, "4006381333931", ""},
        {bcInt2of5, "12345", "Interleaved 2 of 5 barcodes must have an even number of digits"},
        {bcInt2of5, "", "Interleaved 2 of 5 barcodes must have at least two digits"},
        {bcCode128, "HELLO world", ""},
        {bcCode128, "Caf\u00E9", "Code 128 cannot contain the character \"\u00E9\""},
        {bcCode128, "", "Code 128 barcodes must have at least one character"},
        {bcCode39, "hello", code39},
        {bcCode39, "", "Code 39 barcodes must have at least one character"},
        {bcCode39, "HELLO", ""},
        {bcPostnet, "1234567", "PostNet barcodes must be 5, 9, or 11 digits long"},
        {bcPostnet, "12345 6789", "PostNet barcodes must be numeric"},
        {bcPostnet, "12345-6789", ""},
    };
    for (const auto& [type, typed, reason] : cases) {
        SCOPED_TRACE(typed.toStdString());
        types->setCurrentRow(type);
        data->clear();
        Type(data, typed);
        EXPECT_EQ(data->text(), typed);
        EXPECT_EQ(problem->text(), reason);
    }

    // A field's value is only known per record: no reason while a field is used.
    OpenTable();
    form.Fill(*code);
    data->setText(QStringLiteral("555-0123"));
    EXPECT_EQ(problem->text(), upcLength);
    Find<QCheckBox>(form, "UseDatabaseFieldCheck")->click();
    EXPECT_EQ(problem->text(), QString());
    Find<QCheckBox>(form, "UseDatabaseFieldCheck")->click();
    EXPECT_EQ(problem->text(), upcLength);
}

TEST_F(BarCodeFormTest, OffersDatabaseFieldsOnlyWithARecipientTable) {
    TBarCodeObject* code = Add(bcUPC_A, QStringLiteral("01234567890"));
    TBarCodeForm form;
    form.Fill(*code);
    auto* use = Find<QCheckBox>(form, "UseDatabaseFieldCheck");
    auto* fields = Find<QComboBox>(form, "FieldList");
    auto* data = Find<QLineEdit>(form, "DataEdit");
    EXPECT_FALSE(use->isEnabled());
    EXPECT_FALSE(fields->isEnabled());
    EXPECT_TRUE(data->isEnabled());

    OpenTable();
    form.Fill(*code);
    EXPECT_TRUE(use->isEnabled());
    EXPECT_FALSE(use->isChecked());
    EXPECT_EQ(fields->count(), 3);
    EXPECT_FALSE(fields->isEnabled());
    use->click();
    EXPECT_TRUE(fields->isEnabled());
    EXPECT_TRUE(Find<QLabel>(form, "FieldLabel")->isEnabled());
    EXPECT_FALSE(data->isEnabled());
    EXPECT_FALSE(Find<QLabel>(form, "DataLabel")->isEnabled());
    EXPECT_EQ(form.CodeData(), QStringLiteral("Name")); // the first field
    use->click();
    EXPECT_FALSE(fields->isEnabled());
    EXPECT_TRUE(data->isEnabled());
    EXPECT_EQ(form.CodeData(), QStringLiteral("01234567890"));

    // A stored field is selected; one the table lacks falls back to the first.
    code->UseDatabaseField = true;
    code->Data = QStringLiteral("zip");
    form.Fill(*code);
    EXPECT_TRUE(use->isChecked());
    EXPECT_EQ(fields->currentText(), QStringLiteral("Zip"));
    EXPECT_TRUE(data->text().isEmpty());
    code->Data = QStringLiteral("Phone");
    form.Fill(*code);
    EXPECT_EQ(fields->currentText(), QStringLiteral("Name"));
}

TEST_F(BarCodeFormTest, KeepsAFieldNameWhenTheTableIsGone) {
    TBarCodeObject* code = Add(bcCode39, QStringLiteral("Zip"));
    code->UseDatabaseField = true;
    TBarCodeForm form;
    form.Fill(*code);
    auto* use = Find<QCheckBox>(form, "UseDatabaseFieldCheck");
    EXPECT_TRUE(use->isChecked());
    EXPECT_TRUE(use->isEnabled()); // so that the code can return to typed data
    EXPECT_EQ(form.CodeData(), QStringLiteral("Zip"));
    form.ApplyTo(*code);
    EXPECT_TRUE(code->UseDatabaseField);
    EXPECT_EQ(code->Data, QStringLiteral("Zip"));
}

TEST_F(BarCodeFormTest, OkStoresTheCodeSizesItAndWritesDefaultsOnlyWhenAsked) {
    TBarCodeObject* code = Add(bcUPC_A, QStringLiteral("01234567890"));
    TBarCodeForm form;
    form.Fill(*code);
    Find<QListWidget>(form, "TypeList")->setCurrentRow(bcCode39);
    Find<QLineEdit>(form, "DataEdit")->setText(QStringLiteral("QDX-39"));
    Find<QCheckBox>(form, "ShowTextCheck")->setChecked(false);
    Find<QCheckBox>(form, "CenterHorizontallyCheck")->setChecked(true);
    form.ApplyTo(*code);
    EXPECT_EQ(code->BarCodeType, bcCode39);
    EXPECT_EQ(code->Data, QStringLiteral("QDX-39"));
    EXPECT_FALSE(code->UseDatabaseField);
    EXPECT_FALSE(code->ShowText);
    EXPECT_TRUE(code->CenterHorizontally);
    EXPECT_FALSE(code->CenterVertically);
    // Realigned: the size of the new code, centred across the panel.
    TBarCodeEngine engine;
    ASSERT_TRUE(code->PrepareEngine(engine));
    const TRect b = code->GetBounds();
    EXPECT_EQ(QSize(b.Width(), b.Height()), TBarCodeObject::SizeInScreenPixels(engine));
    EXPECT_LE(std::abs(b.Left + b.Right - Card.Pages(0)->Panels(0)->WidthPixels()), 1);
    EXPECT_EQ(Shell.Repainted.size(), 2);
    EXPECT_TRUE(Card.DocumentModified);
    EXPECT_FALSE(Default("Bar Code Type").isValid());

    Find<QCheckBox>(form, "DefaultCheck")->setChecked(true);
    Find<QListWidget>(form, "TypeList")->setCurrentRow(bcPostnet);
    form.ApplyTo(*code);
    EXPECT_EQ(Default("Bar Code Type").toInt(), int(bcPostnet));
    EXPECT_FALSE(Default("Show Text").toBool());
    EXPECT_TRUE(Default("Center Horizontally").toBool());
    EXPECT_FALSE(Default("Center Vertically").toBool());
    EXPECT_FALSE(Default("Data").isValid()); // data is never a default
    std::unique_ptr<TBarCodeObject> fresh(TBarCodeObject::CreateDefault());
    EXPECT_EQ(fresh->BarCodeType, bcPostnet);
    EXPECT_FALSE(fresh->ShowText);
}

TEST_F(BarCodeFormTest, RegisteredDialogCancelsWithoutChangeAndAccepts) {
    RegisterBarCodeDialog();
    TBarCodeObject* code = Add(bcEAN_13, QStringLiteral("012345678901"));
    const TRect before = code->Bounds;
    const TPropertyDialog* dialog = PropertyDialogFor(*code);
    ASSERT_NE(dialog, nullptr);
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        Find<QListWidget>(*modal, "TypeList")->setCurrentRow(bcCode128);
        Find<QCheckBox>(*modal, "DefaultCheck")->setChecked(true);
        Find<QPushButton>(*modal, "CancelButton")->click();
    });
    EXPECT_FALSE((*dialog)(*code));
    EXPECT_EQ(code->BarCodeType, bcEAN_13);
    EXPECT_EQ(code->Bounds, before);
    EXPECT_FALSE(Card.DocumentModified);
    EXPECT_TRUE(Shell.Repainted.isEmpty());
    EXPECT_FALSE(Default("Bar Code Type").isValid());

    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        Find<QLineEdit>(*modal, "DataEdit")->setText(QStringLiteral("4006381333931"));
        Find<QPushButton>(*modal, "OkButton")->click();
    });
    EXPECT_TRUE((*dialog)(*code));
    EXPECT_EQ(code->Data, QStringLiteral("4006381333931"));
    EXPECT_TRUE(Card.DocumentModified);
}
