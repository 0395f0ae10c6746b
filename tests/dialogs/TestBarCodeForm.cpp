// The bar code's properties dialog: filling from a code, the data and field rules, the
// sample, what OK stores (and the "Default Bar Code" settings) and what Cancel leaves alone.

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
#include <QTimer>

#include <gtest/gtest.h>

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
