// The colour grid and the properties dialogs of shapes, fields, lines and combs: filling from
// an object, their rules, what OK stores and the "Default ..." settings they write.

#include "document/Card.h"
#include "document/Control.h"
#include "document/Palette.h"
#include "document/PropertyDialogs.h"
#include "document/Units.h"
#include "objects/ColorGrid.h"
#include "objects/Comb.h"
#include "objects/CombForm.h"
#include "objects/Ellipse.h"
#include "objects/FieldForm.h"
#include "objects/Line.h"
#include "objects/LineForm.h"
#include "objects/ObjectDialogs.h"
#include "objects/RoundedRectangle.h"
#include "objects/ShapeForm.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"
#include "DialogTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Counts the repaint requests per object.
// An open, active document whose first panel takes the objects under test.
class ObjectDialogTest : public testing::Test {
protected:
    ObjectDialogTest() : Card(0, 0) {
        Test.Context.AddOpenCard(&Card);
        Test.Context.ActiveCard = &Card;
        Test.Context.SetShell(&Shell);
    }
    ~ObjectDialogTest() override {
        Test.Context.SetShell(nullptr);
        Test.Context.RemoveOpenCard(&Card);
    }

    // Adds the object; the document counts as unmodified afterwards.
    template <typename T> T* Add(T* object) {
        Card.Pages(0)->Panels(0)->AddObject(object);
        Card.DocumentModified = false;
        return object;
    }
    TFieldObject* AddField(const QString& name, const QString& formula = QString()) {
        auto* field = new TFieldObject();
        field->FieldName = name;
        field->Formula = formula;
        field->Bounds = {100, 100, 300, 130};
        return Add(field);
    }
    TSettingsStore& Settings() { return Test.Context.Settings(); }
    bool HasKey(const char* section, const char* key) {
        return Settings().Value(QString::fromLatin1(section), QString::fromLatin1(key)).isValid();
    }
    int Integer(const char* section, const char* key) {
        return Settings().ReadInteger(QString::fromLatin1(section), QString::fromLatin1(key), -1);
    }

    TTestContext Test;
    TRepaintRecorder Shell;
    TCard Card;
};

} // namespace

// Colour grid.

TEST(ColorGrid, ClicksAndArrowKeysSelectAndReport) {
    TColorGrid grid;
    grid.resize(grid.sizeHint());
    QSignalSpy changes(&grid, &TColorGrid::SelectedIndexChanged);
    EXPECT_EQ(grid.SelectedIndex(), -1);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(6).center());
    EXPECT_EQ(grid.SelectedIndex(), 6);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(15).center());
    EXPECT_EQ(grid.SelectedIndex(), 15);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(1).at(0).toInt(), 15);
    // Row 3, column 3: right stops at the edge, up moves a row, home goes to the start.
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.SelectedIndex(), 15);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.SelectedIndex(), 11);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.SelectedIndex(), 10);
    QTest::keyClick(&grid, Qt::Key_Home);
    EXPECT_EQ(grid.SelectedIndex(), 0);
    // The same index again is no change; an index outside the palette selects nothing.
    const int before = int(changes.count());
    grid.SetSelectedIndex(0);
    EXPECT_EQ(changes.count(), before);
    grid.SetSelectedIndex(16);
    EXPECT_EQ(grid.SelectedIndex(), -1);
    EXPECT_EQ(grid.IndexAt({-1, 5}), -1);
    EXPECT_EQ(grid.IndexAt({TColorGrid::CellSize * 4, 5}), -1);
    EXPECT_EQ(PaletteColorName(13), QStringLiteral("Fuchsia"));
}

TEST(ColorGrid, ShowsThePaletteInRowsOfFourAndDimsWhenDisabled) {
    TColorGrid grid;
    grid.resize(grid.sizeHint());
    grid.SetSelectedIndex(5);
    QImage image = grid.grab().toImage();
    for (int index = 0; index < PaletteSize; ++index)
        EXPECT_EQ(image.pixelColor(grid.CellRect(index).center()), PaletteColor(index)) << index;
    EXPECT_EQ(grid.CellRect(4).topLeft(), QPoint(0, TColorGrid::CellSize));
    grid.setEnabled(false);
    image = grid.grab().toImage();
    EXPECT_NE(image.pixelColor(grid.CellRect(12).center()), PaletteColor(12));
}

// Shapes.

TEST_F(ObjectDialogTest, ShapeDialogShowsTheShapeAndItsRules) {
    auto* rectangle = Add(new TRectangleObject());
    rectangle->Bounds = {100, 100, 300, 200};
    rectangle->FillColor = 3;
    rectangle->ClearFill = true;
    rectangle->BorderColor = 12;
    rectangle->BorderSize = 0;
    rectangle->CenterVertically = true;
    TShapeForm form;
    form.Fill(*rectangle);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Rectangle Object Properties"));
    const TShapeControls& c = form.Controls();
    EXPECT_EQ(c.FillGrid->SelectedIndex(), 3);
    EXPECT_TRUE(c.ClearCheck->isChecked());
    EXPECT_EQ(c.BorderGrid->SelectedIndex(), 12);
    EXPECT_EQ(c.SizeEdit->value(), 0);
    EXPECT_EQ(c.SizeEdit->maximum(), 100);
    EXPECT_FALSE(c.CenterHorizontallyCheck->isChecked());
    EXPECT_TRUE(c.CenterVerticallyCheck->isChecked());
    EXPECT_FALSE(c.DefaultCheck->isChecked());
    // Clear and border 0 take the colours out of play, on show and on every change.
    EXPECT_FALSE(c.FillGrid->isEnabled());
    EXPECT_FALSE(Find<QLabel>(form, "FillColorLabel")->isEnabled());
    EXPECT_FALSE(c.BorderGrid->isEnabled());
    EXPECT_FALSE(Find<QLabel>(form, "BorderColorLabel")->isEnabled());
    c.ClearCheck->click();
    EXPECT_TRUE(c.FillGrid->isEnabled());
    c.SizeEdit->setValue(2);
    EXPECT_TRUE(c.BorderGrid->isEnabled());
    EXPECT_TRUE(Find<QLabel>(form, "BorderColorLabel")->isEnabled());
    // Not square: "Height = Width" is offered, unchecked.
    EXPECT_FALSE(form.HeightEqualsWidthCheck()->isChecked());
    EXPECT_TRUE(form.HeightEqualsWidthCheck()->isEnabled());

    TEllipseObject circle;
    circle.Bounds = {0, 0, 150, 150};
    form.Fill(circle);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ellipse Object Properties"));
    EXPECT_TRUE(form.HeightEqualsWidthCheck()->isChecked());
    EXPECT_FALSE(form.HeightEqualsWidthCheck()->isEnabled());
    TRRectangleObject rounded;
    form.Fill(rounded);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Rounded Rectangle Object Properties"));
}

TEST_F(ObjectDialogTest, ShapeDialogOkStoresAlignsRepaintsAndModifies) {
    auto* ellipse = Add(new TEllipseObject());
    ellipse->Bounds = {100, 100, 300, 200};
    ellipse->BorderSize = 1;
    TShapeForm form;
    form.Fill(*ellipse);
    const TShapeControls& c = form.Controls();
    c.FillGrid->SetSelectedIndex(9);
    c.BorderGrid->SetSelectedIndex(4);
    c.SizeEdit->setValue(7);
    c.CenterHorizontallyCheck->setChecked(true);
    form.HeightEqualsWidthCheck()->setChecked(true);
    form.ApplyTo(*ellipse);
    EXPECT_EQ(ellipse->FillColor, 9);
    EXPECT_FALSE(ellipse->ClearFill);
    EXPECT_EQ(ellipse->BorderColor, 4);
    EXPECT_EQ(ellipse->BorderSize, 7);
    EXPECT_TRUE(ellipse->CenterHorizontally);
    // As high as wide, and centred on the panel by the realignment.
    EXPECT_EQ(ellipse->Bounds.Height(), 200);
    EXPECT_EQ(ellipse->Bounds.Width(), 200);
    const int panelWidth = UnitsToScreen(Card.Pages(0)->Panels(0)->Width);
    const TRect pixels = ellipse->GetBounds();
    EXPECT_NEAR(pixels.Left + pixels.Right, panelWidth, 2);
    EXPECT_TRUE(Card.DocumentModified);
    EXPECT_GE(Shell.Repainted.count(ellipse), 2);
    // "Default" was not checked: no settings written.
    EXPECT_FALSE(HasKey("Default Ellipse", "Color"));
}

TEST_F(ObjectDialogTest, ShapeDialogDefaultsGoToTheKindsOwnSection) {
    struct Case {
        TShapeObject* Shape;
        const char* Section;
        std::function<TShapeObject*()> Create;
    };
    const Case cases[] = {
        {new TRectangleObject(), "Default Rectangle",
         [] { return TRectangleObject::CreateDefault(); }},
        {new TRRectangleObject(), "Default Rounded Rectangle",
         [] { return TRRectangleObject::CreateDefault(); }},
        {new TEllipseObject(), "Default Ellipse", [] { return TEllipseObject::CreateDefault(); }},
    };
    int color = 1;
    for (const Case& c : cases) {
        c.Shape->Bounds = {0, 0, 100, 100};
        Add(c.Shape);
        TShapeForm form;
        form.Fill(*c.Shape);
        form.Controls().FillGrid->SetSelectedIndex(color);
        form.Controls().ClearCheck->setChecked(true);
        form.Controls().BorderGrid->SetSelectedIndex(color + 1);
        form.Controls().SizeEdit->setValue(color + 2);
        form.Controls().CenterVerticallyCheck->setChecked(true);
        form.Controls().DefaultCheck->setChecked(true);
        form.ApplyTo(*c.Shape);
        EXPECT_EQ(Integer(c.Section, "Color"), color) << c.Section;
        EXPECT_EQ(Integer(c.Section, "Border Color"), color + 1) << c.Section;
        EXPECT_EQ(Integer(c.Section, "Border Size"), color + 2) << c.Section;
        EXPECT_EQ(Integer(c.Section, "Clear"), 1) << c.Section;
        EXPECT_EQ(Integer(c.Section, "Center Vertically"), 1) << c.Section;
        EXPECT_EQ(Integer(c.Section, "Center Horizontally"), 0) << c.Section;
        // The next shape of the kind takes them.
        std::unique_ptr<TShapeObject> fresh(c.Create());
        EXPECT_EQ(fresh->FillColor, color);
        EXPECT_TRUE(fresh->ClearFill);
        EXPECT_EQ(fresh->BorderColor, color + 1);
        EXPECT_EQ(fresh->BorderSize, color + 2);
        EXPECT_TRUE(fresh->CenterVertically);
        color += 3;
    }
    // Each kind kept its own values.
    EXPECT_EQ(Integer("Default Rectangle", "Color"), 1);
    EXPECT_EQ(Integer("Default Rounded Rectangle", "Color"), 4);
    EXPECT_EQ(Integer("Default Ellipse", "Color"), 7);
}

// Lines.

TEST_F(ObjectDialogTest, LineDialogGivesWidthToSolidLinesOnly) {
    auto* line = Add(new TLineObject());
    line->Bounds = {100, 100, 300, 200};
    line->LineColor = 9;
    line->LineStyle = 2; // dot
    line->LineWidth = 5;
    line->CenterHorizontally = true;
    TLineForm form;
    form.Fill(*line);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Line Object Properties"));
    EXPECT_EQ(Find<TColorGrid>(form, "ColorGrid")->SelectedIndex(), 9);
    EXPECT_TRUE(Find<QRadioButton>(form, "StyleDot")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(form, "CenterHorizontallyCheck")->isChecked());
    // Shown with a patterned style: width 1, not editable.
    auto* width = Find<QSpinBox>(form, "WidthEdit");
    EXPECT_EQ(width->value(), 1);
    EXPECT_FALSE(width->isEnabled());
    EXPECT_FALSE(Find<QLabel>(form, "WidthLabel")->isEnabled());
    EXPECT_EQ(width->maximum(), 100);
    EXPECT_EQ(width->minimum(), 0);

    Find<QRadioButton>(form, "StyleSolid")->click();
    EXPECT_TRUE(width->isEnabled());
    width->setValue(12);
    Find<QRadioButton>(form, "StyleDashDotDot")->click();
    EXPECT_EQ(width->value(), 1);
    EXPECT_FALSE(width->isEnabled());
    Find<QRadioButton>(form, "StyleDot")->click();
    form.ApplyTo(*line);
    EXPECT_EQ(line->LineStyle, 2);
    EXPECT_EQ(line->LineWidth, 1); // a dotted line of width 5 is stored 1 wide
    EXPECT_TRUE(Card.DocumentModified);
    EXPECT_GE(Shell.Repainted.count(line), 2);
}

TEST_F(ObjectDialogTest, LineDialogStoresValuesAndDefaults) {
    auto* line = Add(new TLineObject());
    line->Bounds = {100, 100, 300, 200};
    TLineForm form;
    form.Fill(*line);
    Find<TColorGrid>(form, "ColorGrid")->SetSelectedIndex(13);
    Find<QRadioButton>(form, "StyleSolid")->click();
    Find<QSpinBox>(form, "WidthEdit")->setValue(14);
    Find<QCheckBox>(form, "CenterVerticallyCheck")->setChecked(true);
    Find<QCheckBox>(form, "DefaultCheck")->setChecked(true);
    form.ApplyTo(*line);
    EXPECT_EQ(line->LineColor, 13);
    EXPECT_EQ(line->LineStyle, 0);
    EXPECT_EQ(line->LineWidth, 14);
    EXPECT_TRUE(line->CenterVertically);
    EXPECT_FALSE(line->CenterHorizontally);
    EXPECT_EQ(Integer("Default Line", "Color"), 13);
    EXPECT_EQ(Integer("Default Line", "Style"), 0);
    EXPECT_EQ(Integer("Default Line", "Size"), 14);
    EXPECT_EQ(Integer("Default Line", "Center Vertically"), 1);
    EXPECT_EQ(Integer("Default Line", "Center Horizontally"), 0);
    std::unique_ptr<TLineObject> fresh(TLineObject::CreateDefault());
    EXPECT_EQ(fresh->LineColor, 13);
    EXPECT_EQ(fresh->LineWidth, 14);
    EXPECT_TRUE(fresh->CenterVertically);
}

// Combs.

TEST_F(ObjectDialogTest, CombDialogRulesForColoursAndSpaces) {
    auto* comb = Add(new TCombObject());
    comb->Bounds = {100, 100, 300, 150};
    comb->ClearFill = true;
    comb->BorderSize = 1;
    comb->CombEdge = true;
    comb->Spaces = 1;
    comb->CombStyle = TCombObject::csLeft;
    TCombForm form;
    form.Fill(*comb);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Comb Object Properties"));
    EXPECT_EQ(Find<QLabel>(form, "FillColorLabel")->text(), QStringLiteral("&Background Color:"));
    EXPECT_EQ(Find<QLabel>(form, "BorderColorLabel")->text(), QStringLiteral("&Line Color:"));
    EXPECT_TRUE(Find<QRadioButton>(form, "StyleLeft")->isChecked());
    const TShapeControls& c = form.Controls();
    EXPECT_FALSE(c.FillGrid->isEnabled());
    EXPECT_TRUE(c.BorderGrid->isEnabled());
    c.SizeEdit->setValue(0);
    EXPECT_FALSE(c.BorderGrid->isEnabled());
    EXPECT_FALSE(Find<QLabel>(form, "BorderColorLabel")->isEnabled());

    // One space needs the end teeth; without them the least is two.
    QSpinBox* spaces = form.SpacesEdit();
    EXPECT_EQ(spaces->value(), 1);
    EXPECT_EQ(spaces->minimum(), 1);
    EXPECT_EQ(spaces->maximum(), 100);
    form.CombEdgeCheck()->click();
    EXPECT_EQ(spaces->minimum(), 2);
    EXPECT_EQ(spaces->value(), 2);
    form.CombEdgeCheck()->click();
    EXPECT_EQ(spaces->minimum(), 1);
    EXPECT_EQ(spaces->value(), 2);

    // A stored comb of one space without end teeth is shown, and stored, with two.
    comb->CombEdge = false;
    form.Fill(*comb);
    EXPECT_EQ(spaces->value(), 2);
    form.ApplyTo(*comb);
    EXPECT_EQ(comb->Spaces, 2);
}

TEST_F(ObjectDialogTest, CombDialogStoresValuesAndDefaults) {
    auto* comb = Add(new TCombObject());
    comb->Bounds = {100, 100, 300, 150};
    TCombForm form;
    form.Fill(*comb);
    const TShapeControls& c = form.Controls();
    c.FillGrid->SetSelectedIndex(14);
    c.ClearCheck->setChecked(false);
    c.BorderGrid->SetSelectedIndex(2);
    c.SizeEdit->setValue(3);
    Find<QRadioButton>(form, "StyleRight")->click();
    form.CombEdgeCheck()->setChecked(false);
    form.SpacesEdit()->setValue(12);
    c.CenterHorizontallyCheck->setChecked(true);
    c.DefaultCheck->setChecked(true);
    form.ApplyTo(*comb);
    EXPECT_EQ(comb->FillColor, 14);
    EXPECT_FALSE(comb->ClearFill);
    EXPECT_EQ(comb->BorderColor, 2);
    EXPECT_EQ(comb->BorderSize, 3);
    EXPECT_EQ(comb->CombStyle, TCombObject::csRight);
    EXPECT_FALSE(comb->CombEdge);
    EXPECT_EQ(comb->Spaces, 12);
    EXPECT_TRUE(comb->CenterHorizontally);
    EXPECT_TRUE(Card.DocumentModified);
    EXPECT_GE(Shell.Repainted.count(comb), 2);

    std::unique_ptr<TCombObject> fresh(TCombObject::CreateDefault());
    EXPECT_EQ(fresh->FillColor, 14);
    EXPECT_FALSE(fresh->ClearFill);
    EXPECT_EQ(fresh->BorderColor, 2);
    EXPECT_EQ(fresh->BorderSize, 3);
    EXPECT_EQ(fresh->CombStyle, TCombObject::csRight);
    EXPECT_FALSE(fresh->CombEdge);
    EXPECT_EQ(fresh->Spaces, 12);
    EXPECT_TRUE(fresh->CenterHorizontally);
    EXPECT_FALSE(fresh->CenterVertically);
    EXPECT_EQ(Integer("Default Comb", "Comb Style"), 3);
}

// Fields.

TEST_F(ObjectDialogTest, FieldDialogMapsJustificationToItsStoredValues) {
    TFieldObject* field = AddField(QStringLiteral("Amount"));
    field->Justification = TFieldObject::jCenter;
    TFieldForm form;
    form.Fill(*field);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Field Object Properties"));
    // Listed Left, Center, Right; stored 0, 2, 1.
    EXPECT_TRUE(Find<QRadioButton>(form, "JustifyCenter")->isChecked());
    Find<QRadioButton>(form, "JustifyRight")->click();
    EXPECT_EQ(form.Justification(), 1);
    form.ApplyTo(*field);
    EXPECT_EQ(field->Justification, TFieldObject::jRight);
    Find<QRadioButton>(form, "JustifyLeft")->click();
    form.ApplyTo(*field);
    EXPECT_EQ(field->Justification, TFieldObject::jLeft);
    // An out-of-range stored value shows as left.
    field->Justification = 3;
    form.Fill(*field);
    EXPECT_TRUE(Find<QRadioButton>(form, "JustifyLeft")->isChecked());
}

TEST_F(ObjectDialogTest, FieldDialogRefusesANameAnotherFieldHas) {
    AddField(QStringLiteral("Total"));
    TFieldObject* field = AddField(QStringLiteral("Amount"));
    TFieldForm form;
    form.Fill(*field);
    auto* name = Find<QLineEdit>(form, "FieldNameEdit");
    EXPECT_EQ(name->text(), QStringLiteral("Amount"));
    form.show();
    name->setText(QStringLiteral(" total "));
    Find<QLineEdit>(form, "FormulaEdit")->setFocus();
    form.accept();
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("The field name must be unique.")});
    EXPECT_EQ(form.focusWidget(), name);

    // Its own name, in another case, is no conflict.
    name->setText(QStringLiteral("AMOUNT"));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Test.Messages.Errors.size(), 1);

    // A blank name cannot be confirmed.
    name->setText(QStringLiteral("  "));
    EXPECT_FALSE(Find<QPushButton>(form, "OkButton")->isEnabled());
    name->setText(QStringLiteral("Net"));
    EXPECT_TRUE(Find<QPushButton>(form, "OkButton")->isEnabled());
    form.ApplyTo(*field);
    EXPECT_EQ(field->FieldName, QStringLiteral("Net"));
}

TEST_F(ObjectDialogTest, FieldDialogInsertsReferencesAtTheCaret) {
    AddField(QStringLiteral("Price"));
    TFieldObject* field = AddField(QStringLiteral("Total"));
    AddField(QStringLiteral("Quantity"));
    TFieldForm form;
    form.Fill(*field);
    QStringList offered;
    form.SetFieldNameChooser([&](const QStringList& names, QWidget*) {
        offered = names;
        return QStringLiteral("Quantity");
    });
    auto* formula = Find<QLineEdit>(form, "FormulaEdit");
    formula->setText(QStringLiteral("{Price}*"));
    formula->setCursorPosition(8);
    Find<QPushButton>(form, "InsertFieldButton")->click();
    // The other fields, in document order.
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Price"), QStringLiteral("Quantity")}));
    EXPECT_EQ(formula->text(), QStringLiteral("{Price}*{Quantity}"));
    EXPECT_EQ(formula->cursorPosition(), 18);
    EXPECT_EQ(form.focusWidget(), formula);

    // A selection is kept: the reference goes in front of it.
    formula->setText(QStringLiteral("1+2"));
    formula->setSelection(2, 1);
    form.InsertFieldReference(QStringLiteral("Price"));
    EXPECT_EQ(formula->text(), QStringLiteral("1+{Price}2"));
    EXPECT_EQ(formula->cursorPosition(), 9);

    // Cancelling the choice changes nothing.
    form.SetFieldNameChooser([](const QStringList&, QWidget*) { return QString(); });
    Find<QPushButton>(form, "InsertFieldButton")->click();
    EXPECT_EQ(formula->text(), QStringLiteral("1+{Price}2"));
}

TEST_F(ObjectDialogTest, FieldDialogStoresValuesFontAndFormula) {
    TFieldObject* dependent = AddField(QStringLiteral("Result"), QStringLiteral("{Total}"));
    dependent->Value = QStringLiteral("cached");
    AddField(QStringLiteral("Price"))->Value = QStringLiteral("3");
    TFieldObject* field = AddField(QStringLiteral("Total"));
    field->BorderSize = 2;
    field->Font.Size = 12;
    TFieldForm form;
    form.Fill(*field);
    EXPECT_EQ(form.FieldFont(), field->Font);
    form.SetFontChooser([](TFontSpec& font, QWidget*) {
        font.Size = 24;
        font.Bold = true;
        font.Color = 0x0000FF; // red
        return true;
    });
    Find<QPushButton>(form, "FontButton")->click();
    EXPECT_TRUE(Find<QLabel>(form, "FontSample")->text().contains(QStringLiteral("24 pt")));
    EXPECT_TRUE(Find<QLabel>(form, "FontSample")->text().contains(QStringLiteral("Red")));
    Find<QLineEdit>(form, "FormulaEdit")->setText(QStringLiteral("{price}*2"));
    Find<QSpinBox>(form, "DecimalPlacesEdit")->setValue(3);
    EXPECT_EQ(Find<QSpinBox>(form, "DecimalPlacesEdit")->maximum(), 10);
    Find<QCheckBox>(form, "RequiredCheck")->setChecked(true);
    form.Controls().FillGrid->SetSelectedIndex(11);
    form.ApplyTo(*field);

    EXPECT_EQ(field->Font.Size, 24);
    EXPECT_TRUE(field->Font.Bold);
    EXPECT_EQ(field->Font.Color, 0x0000FFu);
    EXPECT_EQ(field->Formula, QStringLiteral("{price}*2"));
    EXPECT_EQ(field->DecimalPlaces, 3);
    EXPECT_TRUE(field->Required);
    EXPECT_EQ(field->FillColor, 11);
    // Through SetFormula: results that may depend on it are computed again.
    EXPECT_TRUE(dependent->Value.isEmpty());
    EXPECT_EQ(field->DisplayText(), QStringLiteral("6.000"));
    // Realigned: the height follows the new font.
    const QFontMetrics metrics(field->Font.ToQFont(ScreenPixelsPerInch()));
    EXPECT_EQ(field->GetBounds().Height(), 2 * 2 + metrics.height() + 8);
    EXPECT_TRUE(Card.DocumentModified);
    EXPECT_GE(Shell.Repainted.count(field), 2);
    EXPECT_FALSE(HasKey("Default Field", "Font Size"));

    // A cancelled font choice keeps the font.
    form.SetFontChooser([](TFontSpec& font, QWidget*) {
        font.Size = 8;
        return false;
    });
    Find<QPushButton>(form, "FontButton")->click();
    EXPECT_EQ(form.FieldFont().Size, 24);
}

TEST_F(ObjectDialogTest, FieldDialogWritesTheFieldDefaults) {
    TFieldObject* field = AddField(QStringLiteral("Amount"));
    TFieldForm form;
    form.Fill(*field);
    TFontSpec font;
    font.Name = QStringLiteral("Courier New");
    font.Size = 16;
    font.Color = PaletteColorRef(4);
    font.Italic = true;
    font.Underline = true;
    form.SetFieldFont(font);
    form.SetJustification(TFieldObject::jCenter);
    Find<QSpinBox>(form, "DecimalPlacesEdit")->setValue(4);
    Find<QCheckBox>(form, "RequiredCheck")->setChecked(true);
    form.Controls().ClearCheck->setChecked(false);
    form.Controls().FillGrid->SetSelectedIndex(7);
    form.Controls().BorderGrid->SetSelectedIndex(8);
    form.Controls().SizeEdit->setValue(3);
    form.Controls().CenterHorizontallyCheck->setChecked(true);
    form.Controls().DefaultCheck->setChecked(true);
    form.ApplyTo(*field);
    EXPECT_EQ(Integer("Default Field", "Justification"), 2);
    EXPECT_EQ(Integer("Default Field", "Font Style"), 2 | 4);
    EXPECT_EQ(Integer("Default Field", "Font Color"), int(PaletteColorRef(4)));

    std::unique_ptr<TFieldObject> fresh(TFieldObject::CreateDefault());
    EXPECT_EQ(fresh->Font, font);
    EXPECT_EQ(fresh->Justification, TFieldObject::jCenter);
    EXPECT_EQ(fresh->DecimalPlaces, 4);
    EXPECT_TRUE(fresh->Required);
    EXPECT_FALSE(fresh->ClearFill);
    EXPECT_EQ(fresh->FillColor, 7);
    EXPECT_EQ(fresh->BorderColor, 8);
    EXPECT_EQ(fresh->BorderSize, 3);
    EXPECT_TRUE(fresh->CenterHorizontally);
    EXPECT_EQ(fresh->FieldName, QStringLiteral("Field 1")); // the name is never a default
}

// Registration.

TEST_F(ObjectDialogTest, RegisteredDialogsOpenModallyAndCancelChangesNothing) {
    RegisterObjectDialogs();
    auto* line = Add(new TLineObject());
    line->Bounds = {100, 100, 300, 200};
    line->LineWidth = 3;
    auto* comb = Add(new TCombObject());
    for (TCardObject* object : std::initializer_list<TCardObject*>{line, comb}) {
        const TPropertyDialog* dialog = PropertyDialogFor(*object);
        ASSERT_NE(dialog, nullptr);
        QString title;
        QTimer::singleShot(0, [&title] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            title = modal->windowTitle();
            Find<QPushButton>(*modal, "CancelButton")->click();
        });
        EXPECT_FALSE((*dialog)(*object));
        EXPECT_FALSE(title.isEmpty());
    }
    EXPECT_FALSE(Card.DocumentModified);
    EXPECT_EQ(line->LineWidth, 3);

    // OK goes through the same path as ApplyTo.
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        Find<QSpinBox>(*modal, "WidthEdit")->setValue(9);
        Find<QPushButton>(*modal, "OkButton")->click();
    });
    EXPECT_TRUE((*PropertyDialogFor(*line))(*line));
    EXPECT_EQ(line->LineWidth, 9);
    EXPECT_TRUE(Card.DocumentModified);

    for (const char* name : {"TRectangleObject", "TRRectangleObject", "TEllipseObject",
                             "TFieldObject", "TLineObject", "TCombObject"}) {
        const TStoredClass* storedClass = TClassRegistry::Instance().Find(QByteArray(name));
        ASSERT_NE(storedClass, nullptr) << name;
        std::unique_ptr<TStored> object(storedClass->Create());
        EXPECT_NE(PropertyDialogFor(*static_cast<TCardObject*>(object.get())), nullptr) << name;
    }
}
