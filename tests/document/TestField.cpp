#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/Formula.h"
#include "support/DocumentFixtures.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// An open, active document with fields added by name.
class FieldTest : public testing::Test {
protected:
    FieldTest() : Card(7, 13) {
        Test.Context.AddOpenCard(&Card);
        Test.Context.ActiveCard = &Card;
    }
    ~FieldTest() override { Test.Context.RemoveOpenCard(&Card); }

    TFieldObject* AddField(const QString& name, const QString& value,
                           const QString& formula = QString(), int decimals = 0) {
        auto* field = new TFieldObject();
        field->FieldName = name;
        field->Value = value;
        field->Formula = formula;
        field->DecimalPlaces = quint8(decimals);
        Card.Pages(0)->Panels(0)->AddObject(field);
        return field;
    }

    TTestContext Test{100};
    TCard Card;
};

} // namespace

TEST(Formula, ArithmeticWithTheOldFunctionMeanings) {
    struct Case {
        const char* Text;
        double Expected;
    };
    const Case cases[] = {
        {"2*3", 6},          {"1+2*3", 7},      {"(1+2)*3", 9},         {"2^3^2", 512},
        {"-2^2", -4},        {"10/4", 2.5},     {"sqr(3)", 9},          {"SQRT(16)", 4},
        {"int(-2.7)", -2},   {"trunc(2.7)", 2}, {"frac(-2.75)", -0.75}, {"round(2.5)", 3},
        {"round(-2.5)", -3}, {"abs(-4)", 4},    {"ln(exp(2))", 2},      {"arctan(1)*4", M_PI},
        {"pi", M_PI},        {"pi()", M_PI},    {"sin(0)+cos(0)", 1},   {" 3 ", 3},
        {"1e2+1", 101},
    };
    for (const Case& c : cases) {
        const std::optional<double> value = EvaluateFormula(QString::fromLatin1(c.Text));
        ASSERT_TRUE(value.has_value()) << c.Text;
        EXPECT_NEAR(*value, c.Expected, 1e-9) << c.Text;
    }
}

TEST(Formula, OnlyTheListedOperatorsAndFunctionsAreKnown) {
    for (const char* text : {"tan(1)", "log(10)", "1<2", "2 && 3", "max(1,2)", "1/0", "sqrt(-1)",
                             "", "abc", "2+", "_pi", "e"})
        EXPECT_FALSE(EvaluateFormula(QString::fromLatin1(text)).has_value()) << text;
    EXPECT_EQ(FormatFixed(6, 2), QStringLiteral("6.00"));
    EXPECT_EQ(FormatFixed(2.5, 0), QStringLiteral("3")); // halves away from zero
    EXPECT_EQ(FormatFixed(-0.125, 2), QStringLiteral("-0.13"));
    EXPECT_EQ(FormatFixed(1234567.891, 1), QStringLiteral("1234567.9")); // no group separators
}

TEST_F(FieldTest, TypedValuesAreFormattedWhenTheyAreNumbers) {
    TFieldObject* amount = AddField(QStringLiteral("Amount"), QStringLiteral("12.5"), {}, 2);
    EXPECT_EQ(amount->DisplayText(), QStringLiteral("12.50"));
    amount->Value = QStringLiteral("abc");
    EXPECT_EQ(amount->DisplayText(), QStringLiteral("abc"));
    amount->Value.clear();
    EXPECT_EQ(amount->DisplayText(), QString());
}

TEST_F(FieldTest, FormulasSubstituteOtherFields) {
    AddField(QStringLiteral("A"), QStringLiteral("2"));
    TFieldObject* b = AddField(QStringLiteral("B"), {}, QStringLiteral("{A}*3"), 2);
    EXPECT_EQ(b->DisplayText(), QStringLiteral("6.00"));
    EXPECT_EQ(b->Value, QStringLiteral("6.00")); // the cached result

    TFieldObject* spaced = AddField(QStringLiteral("C"), {}, QStringLiteral("{ a } + 1"), 1);
    EXPECT_EQ(spaced->DisplayText(), QStringLiteral("3.0"));
}

TEST_F(FieldTest, EmptyReferencesAndFormulasWithoutReferencesShowNothing) {
    TFieldObject* a = AddField(QStringLiteral("A"), {});
    AddField(QStringLiteral("One"), QStringLiteral("1"));
    EXPECT_EQ(AddField(QStringLiteral("X"), {}, QStringLiteral("{A}*2"))->DisplayText(), QString());
    EXPECT_EQ(AddField(QStringLiteral("Y"), {}, QStringLiteral("2+3"))->DisplayText(), QString());
    EXPECT_EQ(AddField(QStringLiteral("Z"), {}, QStringLiteral("{A}+{One}"), 3)->DisplayText(),
              QStringLiteral("1.000"));
    a->Value = QStringLiteral("4");
    EXPECT_EQ(Card.FindField(QStringLiteral("x"))->DisplayText(), QStringLiteral("8"));
}

TEST_F(FieldTest, UnknownNamesShowTheFormulaAsFarAsItGot) {
    AddField(QStringLiteral("A"), QStringLiteral("5"));
    TFieldObject* f = AddField(QStringLiteral("F"), {}, QStringLiteral("{A}+{Nope}+{A}"));
    EXPECT_EQ(f->DisplayText(), QStringLiteral("5+{Nope}+{A}"));
    TFieldObject* bad = AddField(QStringLiteral("G"), {}, QStringLiteral("{A}+"));
    EXPECT_EQ(bad->DisplayText(), QStringLiteral("5+"));
}

TEST_F(FieldTest, CyclesContributeZeroWhereTheyClose) {
    TFieldObject* a = AddField(QStringLiteral("A"), {}, QStringLiteral("{B}"), 1);
    TFieldObject* b = AddField(QStringLiteral("B"), {}, QStringLiteral("{A}"), 2);
    EXPECT_EQ(a->DisplayText(), QStringLiteral("0.0"));
    EXPECT_EQ(b->DisplayText(), QStringLiteral("0.00"));
    TFieldObject* self = AddField(QStringLiteral("S"), {}, QStringLiteral("{S}+1"));
    EXPECT_EQ(self->DisplayText(), QStringLiteral("1"));
    EXPECT_FALSE(a->IsEvaluating());
}

TEST_F(FieldTest, ChangingAFormulaClearsEveryCachedResult) {
    AddField(QStringLiteral("A"), QStringLiteral("2"));
    TFieldObject* b = AddField(QStringLiteral("B"), {}, QStringLiteral("{A}*3"));
    TFieldObject* c = AddField(QStringLiteral("C"), {}, QStringLiteral("{B}+1"));
    c->DisplayText();
    EXPECT_EQ(b->Value, QStringLiteral("6"));
    b->SetFormula(QStringLiteral("{A}*4"));
    EXPECT_TRUE(b->Value.isEmpty());
    EXPECT_TRUE(c->Value.isEmpty());
    EXPECT_EQ(c->DisplayText(), QStringLiteral("9"));
}

TEST_F(FieldTest, NewFieldsGetTheSmallestFreeName) {
    AddField(QStringLiteral("Field 1"), {});
    AddField(QStringLiteral("field 3"), {});
    std::unique_ptr<TFieldObject> created(TFieldObject::CreateDefault());
    EXPECT_EQ(created->FieldName, QStringLiteral("Field 2"));
    EXPECT_EQ(created->Justification, TFieldObject::jLeft);
    EXPECT_EQ(created->DecimalPlaces, 2);
    EXPECT_TRUE(created->ClearFill);
    Card.Pages(0)->Panels(0)->AddObject(created.release());
    std::unique_ptr<TStored> copy(CloneStored(Card.FindField(QStringLiteral("Field 1"))));
    // Names are compared without regard to case, as formulas refer to them.
    EXPECT_EQ(static_cast<TFieldObject*>(copy.get())->FieldName, QStringLiteral("Field 4"));
}

TEST_F(FieldTest, FieldOrderFollowsAddingAndDeleting) {
    TCardPage& page = *Card.Pages(0);
    TFieldObject* a = AddField(QStringLiteral("A"), {});
    Card.Pages(0)->Panels(0)->AddObject(new TRectangleObject());
    TFieldObject* b = AddField(QStringLiteral("B"), {});
    ASSERT_EQ(page.FieldOrder.Count(), 2);
    EXPECT_EQ(page.FieldOrder.Items(0), a);
    EXPECT_EQ(page.FieldOrder.Items(1), b);
    Card.Pages(0)->Panels(0)->DeleteObject(0);
    ASSERT_EQ(page.FieldOrder.Count(), 1);
    EXPECT_EQ(page.FieldOrder.Items(0), b);
}

TEST_F(FieldTest, HeightFollowsTheFontAndTheBorder) {
    TFieldObject* f = AddField(QStringLiteral("A"), {});
    f->BorderSize = 2;
    f->Font.Size = 12;
    const int h12 = QFontMetrics(f->Font.ToQFont(100)).height();
    TRect r = f->AdjustRect({10, 10, 200, 15});
    EXPECT_EQ(r.Height(), 2 * 2 + h12 + 8);
    f->Font.Size = 24;
    r = f->AdjustRect({10, 10, 200, 15});
    EXPECT_EQ(r.Height(), 2 * 2 + QFontMetrics(f->Font.ToQFont(100)).height() + 8);
    EXPECT_EQ(r.Width(), 190);
}

TEST_F(FieldTest, TextIsCutFromTheEndToFitInsideBorderAndPadding) {
    TFieldObject* f = AddField(QStringLiteral("A"), QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWW"));
    f->BorderSize = 2;
    f->FillColor = 15;
    f->Bounds = {0, 0, 100, 30}; // 100 pixels at 100 per inch: 88 left for text
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(painter, 100, 100, TCanvas::TKind::Image);
        f->Paint(canvas, 0, 0, false);
    }
    // No ink in the right padding and border: columns 94..97 stay white inside.
    for (int x = 94; x < 98; ++x)
        for (int y = 3; y < 27; ++y)
            EXPECT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
    bool inked = false;
    for (int x = 6; x < 94 && !inked; ++x)
        for (int y = 6; y < 27 && !inked; ++y)
            inked = image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_TRUE(inked);
}

TEST_F(FieldTest, SpellingSkipsCodesAndReplacesWordsInTheValue) {
    TFieldObject* f = AddField(QStringLiteral("A"), QStringLiteral("Helo <name> [x y] wrld, 42"));
    TSpellCheckState run;
    EXPECT_EQ(f->BeginSpellCheck(run), QStringLiteral("Helo"));
    f->ReplaceWord(run, QStringLiteral("Hello"));
    EXPECT_EQ(f->NextWord(run), QStringLiteral("wrld"));
    f->ReplaceWord(run, QStringLiteral("world"));
    EXPECT_EQ(f->NextWord(run), QStringLiteral("42"));
    EXPECT_EQ(f->NextWord(run), QString());
    EXPECT_EQ(f->Value, QStringLiteral("Hello <name> [x y] world, 42"));
    f->EndSpellCheck(run);
    EXPECT_TRUE(f->HasSpellText());
    f->Formula = QStringLiteral("{B}");
    EXPECT_FALSE(f->HasSpellText());
}
