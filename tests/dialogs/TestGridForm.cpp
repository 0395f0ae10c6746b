#include "document/Card.h"
#include "document/Palette.h"
#include "document/PropertyDialogs.h"
#include "document/Units.h"
#include "objects/Grid.h"
#include "objects/GridForm.h"
#include "support/DocumentFixtures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontComboBox>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

template <typename T = QWidget> T* Child(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// A grid of 4 x 4 cells named by their position ("c,r"), on an open document.
class GridFormTest : public testing::Test {
protected:
    void SetUp() override {
        Grid = new TGridObject();
        TGridTable& t = Grid->Table();
        t.SetSize(4, 4);
        t.ColumnWidths() = {10, 20, 30, 40};
        t.RowHeights() = {11, 12, 13, 14};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                t.SetCell(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
        t.TrueLineWidth = 2;
        t.LineColor = 0x0000FF;
        t.Color = 0xCCFFCC;
        t.FontName = QStringLiteral("Times New Roman");
        t.TrueFontSize = 11;
        t.FontColor = 0x00AA00;
        t.FontStyle = 2 | 8; // italic, struck out
        t.Alignment = 1;
        Grid->CenterVertically = true;
        Grid->Bounds = {100, 100, 200, 200};
        Card.Pages(0)->Panels(0)->AddObject(Grid);
        Test.Context.AddOpenCard(&Card);
        Card.SetDocumentModified(false);
        FRealChooser = TGridForm::ColorChooser();
        TGridForm::ColorChooser() = [this](const QColor& initial, QWidget*,
                                           const QString&) -> std::optional<QColor> {
            Offered.append(initial);
            return Answer;
        };
    }
    void TearDown() override {
        Test.Context.RemoveOpenCard(&Card);
        TGridForm::ColorChooser() = FRealChooser;
    }

    std::vector<int> RowOrder() const {
        std::vector<int> order;
        for (int r = 0; r < Grid->Table().RowCount(); ++r)
            order.push_back(Grid->Table().Cell(0, r).section(QLatin1Char(','), 1).toInt());
        return order;
    }
    std::vector<int> ColumnOrder() const {
        std::vector<int> order;
        for (int c = 0; c < Grid->Table().ColumnCount(); ++c)
            order.push_back(Grid->Table().Cell(c, 0).section(QLatin1Char(','), 0, 0).toInt());
        return order;
    }

    TTestContext Test{96};
    TCard Card{0, 0};
    TGridObject* Grid = nullptr; // owned by the card
    QList<QColor> Offered;
    std::optional<QColor> Answer;

private:
    TGridForm::TColorChooser FRealChooser;
};

} // namespace

TEST_F(GridFormTest, ShowsTheGridsValues) {
    TGridForm form;
    form.LoadFrom(*Grid);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Grid Object Properties"));
    EXPECT_EQ(Child<QSpinBox>(form, "Rows")->value(), 4);
    EXPECT_EQ(Child<QSpinBox>(form, "Columns")->value(), 4);
    EXPECT_EQ(Child<QSpinBox>(form, "LineSize")->value(), 2);
    EXPECT_EQ(Child<QFontComboBox>(form, "FontName")->currentText(),
              QStringLiteral("Times New Roman"));
    EXPECT_EQ(Child<QSpinBox>(form, "FontSize")->value(), 11);
    EXPECT_FALSE(Child<QAbstractButton>(form, "Bold")->isChecked());
    EXPECT_TRUE(Child<QAbstractButton>(form, "Italic")->isChecked());
    EXPECT_TRUE(Child<QAbstractButton>(form, "AlignRight")->isChecked());
    EXPECT_FALSE(Child<QAbstractButton>(form, "AlignCenter")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(form, "CenterHorizontally")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(form, "CenterVertically")->isChecked());
    EXPECT_FALSE(form.SaveAsDefault());
    // The limits of the fields.
    EXPECT_EQ(Child<QSpinBox>(form, "Rows")->minimum(), 1);
    EXPECT_EQ(Child<QSpinBox>(form, "Rows")->maximum(), 50);
    EXPECT_EQ(Child<QSpinBox>(form, "Columns")->maximum(), 50);
    EXPECT_EQ(Child<QSpinBox>(form, "LineSize")->maximum(), 10);
    EXPECT_EQ(Child<QSpinBox>(form, "FontSize")->minimum(), 5);
    EXPECT_EQ(Child<QSpinBox>(form, "RowMoveCount")->minimum(), 1);
    EXPECT_EQ(Child<QSpinBox>(form, "ColumnMoveCount")->minimum(), 1);
    EXPECT_EQ(Child<QSpinBox>(form, "ColumnMoveCount")->maximum(), 10);
    const TGridSettings v = form.Values();
    EXPECT_EQ(v.LineColor, 0x0000FFu);
    EXPECT_EQ(v.Color, 0xCCFFCCu);
    EXPECT_EQ(v.FontColor, 0x00AA00u);
    EXPECT_EQ(v.FontStyle, 2 | 8); // strike-out is kept though not shown
    EXPECT_EQ(v.RowMove, 0);
    EXPECT_EQ(v.ColumnMove, 0);
}

TEST_F(GridFormTest, ColoursComeFromTheColourChooser) {
    TGridForm form;
    form.LoadFrom(*Grid);
    Answer = QColor(10, 20, 30);
    QTest::mouseClick(Child<QAbstractButton>(form, "LineColorButton"), Qt::LeftButton);
    ASSERT_EQ(Offered.size(), 1);
    EXPECT_EQ(Offered[0], QColor(255, 0, 0)); // 0x0000FF is red
    EXPECT_EQ(form.Values().LineColor, ColorToRef(QColor(10, 20, 30)));
    EXPECT_EQ(Child<QWidget>(form, "LineColorSample")->palette().color(QPalette::Window),
              QColor(10, 20, 30));
    Answer.reset(); // cancelled: nothing changes
    QTest::mouseClick(Child<QAbstractButton>(form, "GridColorButton"), Qt::LeftButton);
    EXPECT_EQ(form.Values().Color, 0xCCFFCCu);
    Answer = QColor(Qt::blue);
    QTest::mouseClick(Child<QAbstractButton>(form, "FontColorButton"), Qt::LeftButton);
    EXPECT_EQ(form.Values().FontColor, 0xFF0000u);
}

TEST_F(GridFormTest, ApplyingStoresEveryValueAndResizesTheObject) {
    TGridForm form;
    form.LoadFrom(*Grid);
    TGridSettings v = form.Values();
    v.Rows = 2;
    v.Columns = 5;
    v.LineWidth = 3;
    v.LineColor = 0x112233;
    v.Color = 0x445566;
    v.FontName = QStringLiteral("Courier New");
    v.FontSize = 14;
    v.FontColor = 0x778899;
    v.FontStyle = 1 | 4 | 8;
    v.Alignment = 0;
    v.CenterHorizontally = true;
    v.CenterVertically = false;
    form.SetValues(v);
    EXPECT_EQ(form.Values(), v);
    Grid->Table().CurrentRow = 3;
    form.ApplyTo(*Grid);
    EXPECT_EQ(Grid->Table().CurrentRow, 1); // still inside the smaller table
    const TGridTable& t = Grid->Table();
    EXPECT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.ColumnCount(), 5);
    EXPECT_EQ(t.ColumnWidths(), (std::vector<int>{10, 20, 30, 40, 64}));
    EXPECT_EQ(t.Cell(3, 1), QStringLiteral("3,1"));
    EXPECT_EQ(t.TrueLineWidth, 3);
    EXPECT_EQ(t.LineColor, 0x112233u);
    EXPECT_EQ(t.Color, 0x445566u);
    EXPECT_EQ(t.FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(t.TrueFontSize, 14);
    EXPECT_EQ(t.FontColor, 0x778899u);
    EXPECT_EQ(t.FontStyle, 1 | 4 | 8);
    EXPECT_EQ(t.Alignment, 0);
    EXPECT_TRUE(Grid->CenterHorizontally);
    EXPECT_FALSE(Grid->CenterVertically);
    // Realigned: the table's size, centred on the 528-pixel panel.
    const TRect b = UnitsToScreen(Grid->Bounds);
    EXPECT_EQ(b.Width(), 164 + 6 * 3);
    EXPECT_EQ(b.Height(), 23 + 3 * 3);
    EXPECT_EQ(t.TrueWidth, b.Width());
    EXPECT_EQ(b.Left, (528 - 182) / 2);
    EXPECT_TRUE(Card.DocumentModified);
}

TEST_F(GridFormTest, MovesThatWouldLeaveTheTableAreNotMade) {
    TGridForm form;
    form.LoadFrom(*Grid);
    // Row 1 up by 3: there is no room above it.
    Grid->Table().CurrentRow = 0;
    TGridSettings v = form.Values();
    v.RowMove = -3;
    form.SetValues(v);
    EXPECT_TRUE(Child<QAbstractButton>(form, "RowUp")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(form, "RowMoveCount")->value(), 3);
    form.ApplyTo(*Grid);
    EXPECT_EQ(RowOrder(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Grid->Table().CurrentRow, 0);
    // Row 4 up by 3 goes to the top, its height with it; the cursor follows.
    Grid->Table().CurrentRow = 3;
    form.ApplyTo(*Grid);
    EXPECT_EQ(RowOrder(), (std::vector<int>{3, 0, 1, 2}));
    EXPECT_EQ(Grid->Table().RowHeights(), (std::vector<int>{14, 11, 12, 13}));
    EXPECT_EQ(Grid->Table().CurrentRow, 0);
    // Column 3 right by 2 would leave; right by 1 is the last column.
    Grid->Table().CurrentColumn = 2;
    v.RowMove = 0;
    v.ColumnMove = 2;
    form.SetValues(v);
    form.ApplyTo(*Grid);
    EXPECT_EQ(ColumnOrder(), (std::vector<int>{0, 1, 2, 3}));
    v.ColumnMove = 1;
    form.SetValues(v);
    form.ApplyTo(*Grid);
    EXPECT_EQ(ColumnOrder(), (std::vector<int>{0, 1, 3, 2}));
    EXPECT_EQ(Grid->Table().CurrentColumn, 3);
    v.ColumnMove = -3;
    form.SetValues(v);
    form.ApplyTo(*Grid);
    EXPECT_EQ(ColumnOrder(), (std::vector<int>{2, 0, 1, 3}));
}

TEST_F(GridFormTest, OnlyOneDirectionIsChosenAndNoneMeansNoMove) {
    TGridForm form;
    auto* up = Child<QAbstractButton>(form, "RowUp");
    auto* down = Child<QAbstractButton>(form, "RowDown");
    auto* left = Child<QAbstractButton>(form, "ColumnLeft");
    auto* right = Child<QAbstractButton>(form, "ColumnRight");
    Child<QSpinBox>(form, "RowMoveCount")->setValue(2);
    EXPECT_EQ(form.Values().RowMove, 0);
    up->click();
    EXPECT_EQ(form.Values().RowMove, -2);
    down->click();
    EXPECT_FALSE(up->isChecked());
    EXPECT_EQ(form.Values().RowMove, 2);
    down->click();
    EXPECT_EQ(form.Values().RowMove, 0);
    right->click();
    left->click();
    EXPECT_FALSE(right->isChecked());
    EXPECT_EQ(form.Values().ColumnMove, -1);
}

TEST_F(GridFormTest, DefaultGridSettingsAreWrittenAndUsedByNewGrids) {
    TGridForm form;
    form.LoadFrom(*Grid);
    TGridSettings v = form.Values();
    v.Rows = 3;
    v.Columns = 6;
    v.CenterHorizontally = true;
    form.SetValues(v);
    form.StoreDefaults();
    const TSettingsStore& s = Test.Context.Settings();
    const QString section = QStringLiteral("Default Grid");
    EXPECT_EQ(s.ReadInteger(section, QStringLiteral("Rows"), 0), 3);
    EXPECT_EQ(s.ReadInteger(section, QStringLiteral("Columns"), 0), 6);
    EXPECT_EQ(s.ReadInteger(section, QStringLiteral("Line Width"), 0), 2);
    EXPECT_EQ(s.ReadInteger(section, QStringLiteral("Justification"), 9), 1);
    EXPECT_EQ(s.ReadInteger(section, QStringLiteral("Font Style"), 0), 2 | 8);
    EXPECT_EQ(s.ReadString(section, QStringLiteral("Font Name"), {}),
              QStringLiteral("Times New Roman"));
    EXPECT_TRUE(s.ReadBool(section, QStringLiteral("Center Horizontally"), false));
    EXPECT_TRUE(s.ReadBool(section, QStringLiteral("Center Vertically"), false));
    std::unique_ptr<TGridObject> made(TGridObject::CreateDefault());
    const TGridTable& t = made->Table();
    EXPECT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.ColumnCount(), 6);
    EXPECT_EQ(t.LineColor, 0x0000FFu);
    EXPECT_EQ(t.Color, 0xCCFFCCu);
    EXPECT_EQ(t.FontColor, 0x00AA00u);
    EXPECT_EQ(t.TrueFontSize, 11);
    EXPECT_EQ(t.Alignment, 1);
    EXPECT_TRUE(made->CenterHorizontally);
}

TEST_F(GridFormTest, OkAppliesAndStoresDefaultsWhenAskedCancelChangesNothing) {
    RegisterGridDialog();
    const TPropertyDialog* dialog = PropertyDialogFor(*Grid);
    ASSERT_NE(dialog, nullptr);
    auto answer = [](bool ok, bool asDefault) {
        QTimer::singleShot(0, [ok, asDefault] {
            auto* form = qobject_cast<TGridForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            TGridSettings v = form->Values();
            v.Rows = 1;
            form->SetValues(v);
            form->SetSaveAsDefault(asDefault);
            Child<QAbstractButton>(*form, ok ? "OkButton" : "CancelButton")->click();
        });
    };
    const QString section = QStringLiteral("Default Grid");
    answer(false, true);
    EXPECT_FALSE((*dialog)(*Grid));
    EXPECT_EQ(Grid->Table().RowCount(), 4);
    EXPECT_FALSE(Card.DocumentModified);
    EXPECT_EQ(Test.Context.Settings().ReadInteger(section, QStringLiteral("Rows"), 0), 0);

    answer(true, false);
    EXPECT_TRUE((*dialog)(*Grid));
    EXPECT_EQ(Grid->Table().RowCount(), 1);
    EXPECT_TRUE(Card.DocumentModified);
    EXPECT_EQ(Test.Context.Settings().ReadInteger(section, QStringLiteral("Rows"), 0), 0);

    answer(true, true);
    EXPECT_TRUE((*dialog)(*Grid));
    EXPECT_EQ(Test.Context.Settings().ReadInteger(section, QStringLiteral("Rows"), 0), 1);
}
