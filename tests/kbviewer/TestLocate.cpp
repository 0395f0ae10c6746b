#include "kbviewer/Locate.h"

#include "KbTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>

namespace {

const QStringList Titles = {
    QStringLiteral("How do I print labels?"),  // 0
    QStringLiteral("Printing a folded card"),  // 1
    QStringLiteral("Label stock"),             // 2
    QStringLiteral("PRINT preview"),           // 3
    QStringLiteral("Banner width"),            // 4
};

void Fill(QStandardItemModel& model, const QStringList& headers,
          const QList<QStringList>& columns) {
    model.setColumnCount(int(headers.size()));
    model.setHorizontalHeaderLabels(headers);
    model.setRowCount(int(columns.front().size()));
    for (int column = 0; column < columns.size(); ++column)
        for (int row = 0; row < columns[column].size(); ++row)
            model.setItem(row, column, new QStandardItem(columns[column][row]));
}

struct TCase {
    const char* Value;
    TMatchMode Mode;
    Qt::CaseSensitivity Sensitivity;
    int Current;
    int Row;
    bool Wrapped;
};

} // namespace

TEST(Locate, EachMatchModeAndCaseFromTheCurrentRow) {
    QStandardItemModel model;
    Fill(model, {QStringLiteral("Title")}, {Titles});
    const auto A = TMatchMode::Anywhere, B = TMatchMode::Beginning, E = TMatchMode::Exact;
    const auto I = Qt::CaseInsensitive, S = Qt::CaseSensitive;
    const TCase cases[] = {
        // Anywhere, not case-sensitive: rows 0, 1 and 3 in turn, then round to the top.
        {"print", A, I, -1, 0, false},
        {"print", A, I, 0, 1, false},
        {"print", A, I, 1, 3, false},
        {"print", A, I, 3, 0, true},
        // Case-sensitive: only row 0 has "print"; from row 0 the search comes back to it.
        {"print", A, S, -1, 0, false},
        {"print", A, S, 0, 0, true},
        {"PRINT", A, S, 0, 3, false},
        // At the beginning: "How do I print" does not count.
        {"print", B, I, -1, 1, false},
        {"print", B, I, 1, 3, false},
        {"Print", B, S, 1, 1, true},
        {"label", B, I, 2, 2, true},
        // Exact: the whole field.
        {"label stock", E, I, -1, 2, false},
        {"label stock", E, S, -1, -1, false},
        {"Label", E, I, -1, -1, false},
        {"Banner width", E, S, 4, 4, true},
        // A current row past the end starts at the top.
        {"banner", A, I, 99, 4, false},
        {"nothing like it", A, I, 2, -1, false},
    };
    for (const TCase& c : cases) {
        const TLocateResult result = LocateNext(model, 0, QString::fromLatin1(c.Value), c.Mode,
                                                c.Sensitivity, c.Current);
        EXPECT_EQ(result.Row, c.Row) << c.Value << " mode " << int(c.Mode) << " current "
                                     << c.Current;
        if (result.Row >= 0) {
            EXPECT_EQ(result.Wrapped, c.Wrapped) << c.Value;
        }
    }
}

TEST(Locate, EmptyTableAndBadColumnFindNothing) {
    QStandardItemModel model;
    EXPECT_EQ(LocateNext(model, 0, QStringLiteral("x"), TMatchMode::Anywhere,
                         Qt::CaseInsensitive, -1)
                  .Row,
              -1);
    Fill(model, {QStringLiteral("Title")}, {Titles});
    EXPECT_EQ(LocateNext(model, 3, QStringLiteral("print"), TMatchMode::Anywhere,
                         Qt::CaseInsensitive, -1)
                  .Row,
              -1);
}

class LocateDialogTest : public KbServicesTest {
protected:
    void SetUp() override {
        KbServicesTest::SetUp();
        Fill(Model,
             {QStringLiteral("Title"), QStringLiteral("Tip"), QStringLiteral("Keywords"),
              QStringLiteral("PublicationType")},
             {Titles,
              {QStringLiteral("t0"), QStringLiteral("t1"), QStringLiteral("t2"),
               QStringLiteral("t3"), QStringLiteral("t4")},
              {QStringLiteral("k"), QStringLiteral("k"), QStringLiteral("k"), QStringLiteral("k"),
               QStringLiteral("k")},
              {QStringLiteral("Label"), QStringLiteral("Greeting Card"), QStringLiteral("Label"),
               QStringLiteral("General"), QStringLiteral("Banner")}});
        Grid.setModel(&Model);
        Grid.setColumnHidden(1, true);
        Dialog = std::make_unique<TLocateDialog>(&Grid);
    }

    template <class T>
    T* Child(const char* name) {
        T* child = Dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Search(const QString& value) {
        Child<QLineEdit>("ValueEdit")->setText(value);
        Child<QPushButton>("FindNextButton")->click();
    }
    int CurrentRow() const { return Grid.currentIndex().isValid() ? Grid.currentIndex().row() : -1; }

    QStandardItemModel Model;
    QTableView Grid;
    std::unique_ptr<TLocateDialog> Dialog;
};

TEST_F(LocateDialogTest, OffersVisibleFieldsSortedWithItsDefaults) {
    QComboBox* fields = Child<QComboBox>("FieldCombo");
    QStringList offered;
    for (int i = 0; i < fields->count(); ++i)
        offered.append(fields->itemText(i));
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Keywords"), QStringLiteral("PublicationType"),
                                    QStringLiteral("Title")}));
    EXPECT_EQ(fields->currentText(), QStringLiteral("Title"));
    EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("Locate Field Value"));
    EXPECT_TRUE(Child<QRadioButton>("AnywhereButton")->isChecked());
    EXPECT_EQ(Child<QRadioButton>("ExactButton")->text(), QStringLiteral("&Exact Match"));
    EXPECT_EQ(Child<QRadioButton>("BeginningButton")->text(),
              QStringLiteral("&Partial Match at Beginning"));
    EXPECT_EQ(Child<QRadioButton>("AnywhereButton")->text(),
              QStringLiteral("Partial Match &Anywhere"));
    EXPECT_FALSE(Child<QCheckBox>("CaseSensitiveCheck")->isChecked());
    EXPECT_EQ(Child<QCheckBox>("CaseSensitiveCheck")->text(), QStringLiteral("&Case-sensitive"));
    QPushButton* find = Child<QPushButton>("FindNextButton");
    EXPECT_TRUE(find->isDefault());
    EXPECT_FALSE(find->isEnabled()); // nothing to look for yet
    Child<QLineEdit>("ValueEdit")->setText(QStringLiteral("x"));
    EXPECT_TRUE(find->isEnabled());
    // The dialog says how Find Next goes on.
    EXPECT_TRUE(Child<QLabel>("NoteLabel")->text().contains(QLatin1String("from the top")));
}

TEST_F(LocateDialogTest, FindNextStepsThroughMatchesAndWrapsToTheTop) {
    Search(QStringLiteral("print"));
    EXPECT_EQ(CurrentRow(), 0);
    Child<QPushButton>("FindNextButton")->click();
    EXPECT_EQ(CurrentRow(), 1);
    Child<QPushButton>("FindNextButton")->click();
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_FALSE(Dialog->Note().contains(QLatin1String("Reached the last row")));
    Child<QPushButton>("FindNextButton")->click();
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_TRUE(Dialog->Note().contains(QLatin1String("Reached the last row")));
    EXPECT_TRUE(Messages.isEmpty());
}

TEST_F(LocateDialogTest, NothingFoundAndNothingMoreFoundAreSaid) {
    Search(QStringLiteral("envelope"));
    EXPECT_EQ(CurrentRow(), -1);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(Messages[0].Text, QStringLiteral("No row found where Title contains \"envelope\"."));
    EXPECT_FALSE(Messages[0].Error);

    Child<QRadioButton>("ExactButton")->setChecked(true);
    Child<QCheckBox>("CaseSensitiveCheck")->setChecked(true);
    Search(QStringLiteral("Label stock"));
    EXPECT_EQ(CurrentRow(), 2);
    Child<QPushButton>("FindNextButton")->click();
    EXPECT_EQ(CurrentRow(), 2);
    ASSERT_EQ(Messages.size(), 2);
    EXPECT_EQ(Messages[1].Text,
              QStringLiteral("No more rows found where Title is \"Label stock\" (case-sensitive): "
                             "the current row is the only one."));
}

TEST_F(LocateDialogTest, SearchesTheChosenField) {
    Child<QComboBox>("FieldCombo")->setCurrentText(QStringLiteral("PublicationType"));
    Child<QRadioButton>("BeginningButton")->setChecked(true);
    Search(QStringLiteral("ban"));
    EXPECT_EQ(CurrentRow(), 4);
    // A hidden field is never offered, so its text is never searched.
    EXPECT_EQ(Child<QComboBox>("FieldCombo")->findText(QStringLiteral("Tip")), -1);
}
