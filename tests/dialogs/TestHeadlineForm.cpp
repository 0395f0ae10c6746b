// The headline properties dialog: its text box, the preset grid working on the settings file,
// the customize controls, the banner mode and what OK does to a headline; and the Personalize
// prompt.

#include "document/Card.h"
#include "document/IniFile.h"
#include "document/RecordSource.h"
#include "objects/Headline.h"
#include "objects/HeadlineForm.h"
#include "objects/HeadlinePresets.h"
#include "objects/HeadlineWidgets.h"
#include "objects/PersonalizeForm.h"
#include "objects/PresetGrid.h"
#include "document/Replacement.h"
#include "support/DocumentFixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

template <typename T = QWidget> T* Child(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void Click(const QWidget& parent, const char* name) {
    auto* button = Child<QAbstractButton>(parent, name);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

bool Enabled(const QWidget& parent, const char* name) {
    const QWidget* widget = Child(parent, name);
    return widget && widget->isEnabled();
}

// A recipient table that is open and has fields, but no records.
class TFieldsSource : public TNoRecordSource {
public:
    QStringList Fields;
    bool IsOpen() const override { return true; }
    QStringList FieldNames() const override { return Fields; }
};

class TRecordingShell : public TShell {
public:
    int Repaints = 0;
    QStringList Prompted;
    QString Answer = QStringLiteral("Ann");
    void RepaintObject(TCardObject&) override { ++Repaints; }
    bool PromptPersonalizedText(const QString&, const QString& name, QString& value) override {
        Prompted.append(name + QLatin1Char('=') + value);
        value = Answer;
        return true;
    }
};

THeadlineText FancyStyle() {
    THeadlineText h;
    h.Font.Name = QStringLiteral("Liberation Serif");
    h.Font.Size = 30;
    h.Font.Color = 0x0000FF;
    h.GraduateStyle = gsVertical;
    h.GraduateFromColor = 0x00FF00;
    h.GraduateToColor = 0xFF0000;
    h.BackStyle = basTexture;
    h.BackTextureFile = QStringLiteral("paper.png");
    h.BackFromColor = 0x112233;
    h.Color = 0x445566;
    h.ShadowDirection = sdDown;
    h.ShadowDepth = 3;
    return h;
}

// The settings are an ini file in a temporary folder, as the main window installs it.
class HeadlineFormTest : public testing::Test {
protected:
    HeadlineFormTest() : Ini(Folder.filePath(QStringLiteral("QDX.INI"))) {
        Ini.WriteBool(QStringLiteral("View"), QStringLiteral("Grid On"), true);
        Test.Context.SetSettings(&Ini);
        Test.Context.TexturesFolder = Folder.filePath(QStringLiteral("Textures"));
        QDir().mkpath(Test.Context.TexturesFolder);
    }
    ~HeadlineFormTest() override { Test.Context.SetSettings(nullptr); }

    void AddPresets(const QStringList& fontNames) {
        THeadlinePresets presets(Ini);
        for (const QString& name : fontNames) {
            THeadlineText style;
            style.Font.Name = name;
            presets.Write(presets.Count(), style);
        }
    }
    TIniFile OnDisk() const {
        TIniFile file(Ini.FileName());
        file.Load();
        return file;
    }

    QTemporaryDir Folder;
    TTestContext Test;
    TIniFile Ini;
};

} // namespace

TEST_F(HeadlineFormTest, OkIsEnabledOnlyWhileThereIsText) {
    THeadlineForm form;
    auto* ok = Child<QPushButton>(form, "OkButton");
    auto* memo = Child<QPlainTextEdit>(form, "HeadMemo");
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(memo, QStringLiteral("A"));
    EXPECT_TRUE(ok->isEnabled());
    QTest::keyClick(memo, Qt::Key_Backspace);
    EXPECT_FALSE(ok->isEnabled());
    form.SetText(QStringLiteral("One\r\nTwo"));
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("One\nTwo"));
    EXPECT_EQ(form.Text(), QStringLiteral("One\r\nTwo"));
}

TEST_F(HeadlineFormTest, PresetButtonsFollowTheSelection) {
    AddPresets(
        {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    THeadlineForm form;
    form.show();
    TPresetGrid* grid = form.PresetGrid();
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_FALSE(form.CustomizeMode());
    for (const char* name : {"ReplaceButton", "DeleteButton", "MoveUpButton", "MoveDownButton"})
        EXPECT_FALSE(Enabled(form, name)) << name;
    EXPECT_TRUE(Enabled(form, "AddButton"));

    // A click on the second cell applies that preset to the sample.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1).center());
    EXPECT_EQ(grid->Selected(), 1);
    EXPECT_EQ(form.Sample().Font.Name, QStringLiteral("B"));
    EXPECT_TRUE(Enabled(form, "MoveUpButton"));
    EXPECT_TRUE(Enabled(form, "MoveDownButton"));

    ASSERT_TRUE(grid->Select(0));
    EXPECT_FALSE(Enabled(form, "MoveUpButton"));
    EXPECT_TRUE(Enabled(form, "MoveDownButton"));
    EXPECT_TRUE(Enabled(form, "ReplaceButton"));
    EXPECT_TRUE(Enabled(form, "DeleteButton"));

    ASSERT_TRUE(grid->Select(3));
    EXPECT_TRUE(Enabled(form, "MoveUpButton"));
    EXPECT_FALSE(Enabled(form, "MoveDownButton"));

    // The empty cells of the last row cannot be selected.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(4).center());
    EXPECT_FALSE(grid->Select(5));
    EXPECT_EQ(grid->Selected(), 3);
    EXPECT_EQ(form.Sample().Font.Name, QStringLiteral("D"));
}

TEST_F(HeadlineFormTest, ApplyingAPresetKeepsTheBlankLineChoice) {
    AddPresets({QStringLiteral("A")});
    THeadlineForm form;
    THeadlineText style;
    style.Font.StrikeOut = true;
    style.DeleteBlankLines = true;
    form.SetStyle(style);
    ASSERT_TRUE(form.PresetGrid()->Select(0));
    EXPECT_TRUE(form.Sample().DeleteBlankLines);
    EXPECT_TRUE(Child<QCheckBox>(form, "DeleteBlankLinesCheck")->isChecked());
    EXPECT_FALSE(form.Sample().Font.StrikeOut); // not stored with presets
}

TEST_F(HeadlineFormTest, AddedPresetOutlastsCancel) {
    {
        THeadlineForm form;
        THeadlineText style;
        style.Font.Name = QStringLiteral("Liberation Mono");
        form.SetStyle(style);
        form.show();
        Click(form, "AddButton");
        EXPECT_EQ(form.PresetGrid()->Selected(), 0);
        EXPECT_TRUE(Enabled(form, "DeleteButton"));
        Click(form, "CancelButton");
    }
    const TIniFile disk = OnDisk();
    EXPECT_EQ(disk.ReadString(QStringLiteral("Preset0"), QStringLiteral("FontName"), QString()),
              QStringLiteral("Liberation Mono"));
    // The settings the program holds are the ones saved: nothing else was lost.
    EXPECT_TRUE(disk.ReadBool(QStringLiteral("View"), QStringLiteral("Grid On"), false));
    EXPECT_TRUE(Ini.HasSection(QStringLiteral("Preset0")));
}

TEST_F(HeadlineFormTest, PresetsThatCannotBeSavedAreReported) {
    Ini.SetFileName(Folder.filePath(QStringLiteral("missing/QDX.INI")));
    {
        THeadlineForm form;
        form.show();
        Click(form, "AddButton");
        Click(form, "CancelButton");
    }
    EXPECT_EQ(Test.Messages.Errors,
              QStringList{QStringLiteral("Error writing %1.").arg(Ini.FileName())});
}

TEST_F(HeadlineFormTest, DeleteAndMovesAskAndRenameSections) {
    AddPresets({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    THeadlineForm form;
    form.show();
    TPresetGrid* grid = form.PresetGrid();

    ASSERT_TRUE(grid->Select(0));
    Click(form, "MoveDownButton");
    EXPECT_EQ(grid->Selected(), 1);
    Click(form, "MoveUpButton");
    Click(form, "MoveDownButton");
    Click(form, "MoveDownButton");
    EXPECT_EQ(grid->Selected(), 2);
    EXPECT_FALSE(Enabled(form, "MoveDownButton"));

    Test.Messages.ConfirmAnswer = false;
    Click(form, "DeleteButton");
    EXPECT_EQ(Test.Messages.Confirmations,
              QStringList{QStringLiteral("Delete the currently selected Preset Style?")});
    EXPECT_EQ(grid->PresetCount(), 3);

    Test.Messages.ConfirmAnswer = true;
    ASSERT_TRUE(grid->Select(0));
    Click(form, "DeleteButton");
    EXPECT_EQ(grid->PresetCount(), 2);
    EXPECT_EQ(grid->Selected(), -1);
    EXPECT_FALSE(Enabled(form, "DeleteButton"));
    Click(form, "CancelButton");

    TIniFile disk = OnDisk();
    auto font = [&](int i) {
        return disk.ReadString(THeadlinePresets::SectionName(i), QStringLiteral("FontName"),
                               QString());
    };
    EXPECT_EQ(THeadlinePresets(disk).Count(), 2);
    EXPECT_EQ(font(0), QStringLiteral("C"));
    EXPECT_EQ(font(1), QStringLiteral("A"));
}

TEST_F(HeadlineFormTest, ReplaceWritesTheSampleOnlyWhenConfirmed) {
    AddPresets({QStringLiteral("A")});
    THeadlineForm form;
    form.show();
    ASSERT_TRUE(form.PresetGrid()->Select(0));
    form.SetCustomizeMode(true);
    Click(form, "BoldButton");
    form.SetCustomizeMode(false);

    Test.Messages.ConfirmAnswer = false;
    Click(form, "ReplaceButton");
    EXPECT_FALSE(Ini.ReadBool(QStringLiteral("Preset0"), QStringLiteral("FontBold"), false));
    Test.Messages.ConfirmAnswer = true;
    Click(form, "ReplaceButton");
    EXPECT_TRUE(Ini.ReadBool(QStringLiteral("Preset0"), QStringLiteral("FontBold"), false));
    EXPECT_EQ(
        Test.Messages.Confirmations.value(1),
        QStringLiteral("Replace the currently selected Preset Style with the current settings?"));
}

TEST_F(HeadlineFormTest, TypedFontSizesAreKeptWithinLimits) {
    THeadlineForm form;
    form.show();
    form.SetCustomizeMode(true);
    auto* size = Child<QComboBox>(form, "FontSizeCombo");
    size->lineEdit()->selectAll();
    QTest::keyClicks(size->lineEdit(), QStringLiteral("900"));
    EXPECT_EQ(form.Sample().Font.Size, 800);
    EXPECT_EQ(size->currentText(), QStringLiteral("800"));

    size->lineEdit()->selectAll();
    QTest::keyClicks(size->lineEdit(), QStringLiteral("3"));
    EXPECT_EQ(form.Sample().Font.Size, 800); // perhaps the start of 36
    QTest::keyClick(size->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(form.Sample().Font.Size, 5);
    EXPECT_EQ(size->currentText(), QStringLiteral("5"));
}

TEST_F(HeadlineFormTest, BannerModeOffersPlainLettersAndBackgroundOnly) {
    TCard banner(0, 12);
    Test.Context.ActiveCard = &banner;
    THeadlineObject headline;
    headline.HeadlineText().AssignStyle(FancyStyle());
    headline.Text = QStringLiteral("Sale");
    headline.SetTextDirection(tdDown);

    THeadlineForm form;
    form.Fill(headline);
    Test.Context.ActiveCard = nullptr;
    EXPECT_TRUE(form.PlainOnly());
    EXPECT_TRUE(form.CustomizeMode());
    EXPECT_TRUE(Child<QRadioButton>(form, "LetterSolidRadio")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(form, "LetterHorizontalRadio")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(form, "BackTransparentRadio")->isChecked());
    for (const char* name :
         {"PresetStylesRadio", "LetterGradientRadio", "LetterTextureRadio", "FromColorButton",
          "TextureBrowseButton", "BackGradientRadio", "BackTextureRadio", "BackFromColorButton",
          "BackBrowseButton", "TextDirectionCombo"})
        EXPECT_FALSE(Enabled(form, name)) << name;
    EXPECT_TRUE(Enabled(form, "FontColorButton"));
    EXPECT_TRUE(Enabled(form, "BackSolidRadio"));
    EXPECT_EQ(form.TextDirection(), tdRight);

    for (const THeadlineText* style : {&form.Sample(), &form.OpeningStyle()}) {
        EXPECT_EQ(style->GraduateStyle, gsNone);
        EXPECT_FALSE(style->Texture);
        EXPECT_EQ(style->GraduateFromColor, 0xFFFFFFu);
        EXPECT_EQ(style->BackStyle, basTransparent);
        EXPECT_EQ(style->Color, 0xFFFFFFu);
        EXPECT_EQ(style->BackFromColor, 0xFFFFFFu);
        EXPECT_TRUE(style->BackTextureFile.isEmpty());
        EXPECT_EQ(style->Font.Color, 0x0000FFu); // the letters' own colour stays
    }
}

TEST_F(HeadlineFormTest, RevertRestoresTheOpeningStyleAndControls) {
    THeadlineForm form;
    form.SetStyle(FancyStyle());
    form.show();
    form.SetCustomizeMode(true);
    form.AskColor = [](quint32) { return std::optional<quint32>(0x00FFFF); };

    Click(form, "BoldButton");
    Click(form, "LetterSolidRadio");
    Child<QTabWidget>(form, "CustomizeTabs")->setCurrentIndex(1);
    Click(form, "ShadowColorButton");
    auto* picker = Child<TDirectionPicker>(form, "HighlightDirectionPicker");
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->CellRect(sdRight).center());
    Child<QSpinBox>(form, "BorderSizeEdit")->setValue(6);
    Child<QSlider>(form, "ShadowDepthBar")->setValue(9);

    const THeadlineText& s = form.Sample();
    EXPECT_TRUE(s.Font.Bold);
    EXPECT_EQ(s.GraduateStyle, gsNone);
    EXPECT_EQ(s.ShadowColor, 0x00FFFFu);
    EXPECT_EQ(s.HighlightDirection, sdRight);
    EXPECT_EQ(s.BorderSize(), 6);
    EXPECT_EQ(s.ShadowDepth, 9);
    EXPECT_EQ(Child<TColorSwatch>(form, "ShadowColorSwatch")->ColorRef(), 0x00FFFFu);

    Click(form, "RevertButton");
    const THeadlineText opening = FancyStyle();
    EXPECT_FALSE(s.Font.Bold);
    EXPECT_EQ(s.GraduateStyle, gsVertical);
    EXPECT_EQ(s.ShadowColor, opening.ShadowColor);
    EXPECT_EQ(s.HighlightDirection, opening.HighlightDirection);
    EXPECT_EQ(s.BorderSize(), 0);
    EXPECT_EQ(s.ShadowDepth, 3);
    EXPECT_FALSE(Child<QToolButton>(form, "BoldButton")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(form, "LetterGradientRadio")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(form, "LetterVerticalRadio")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(form, "BorderSizeEdit")->value(), 0);
    EXPECT_EQ(Child<TDirectionPicker>(form, "HighlightDirectionPicker")->Direction(), sdUpLeft);
}

TEST_F(HeadlineFormTest, LetterFillFollowsTheRadiosAndDirection) {
    THeadlineForm form;
    form.show();
    form.SetCustomizeMode(true);
    Click(form, "LetterGradientRadio");
    EXPECT_EQ(form.Sample().GraduateStyle, gsHorizontal);
    Click(form, "LetterVerticalRadio");
    EXPECT_EQ(form.Sample().GraduateStyle, gsVertical);
    Click(form, "LetterTextureRadio");
    EXPECT_EQ(form.Sample().GraduateStyle, gsNone);
    EXPECT_TRUE(form.Sample().Texture);
    Child<QTabWidget>(form, "CustomizeTabs")->setCurrentIndex(2);
    Click(form, "BackGradientRadio");
    EXPECT_EQ(form.Sample().BackStyle, basGradient);
    Click(form, "BackVerticalRadio");
    EXPECT_EQ(form.Sample().BackDirection, 1);
}

TEST_F(HeadlineFormTest, ChosenTextureInsideTheTexturesFolderIsKeptByName) {
    const QString path = QDir(Test.Context.TexturesFolder).filePath(QStringLiteral("dots.png"));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path));

    THeadlineForm form;
    form.show();
    form.SetCustomizeMode(true);
    QString offered = QStringLiteral("unset");
    form.AskTexture = [&](const QString& current) {
        offered = current;
        return path;
    };
    Click(form, "TextureBrowseButton");
    EXPECT_TRUE(offered.isEmpty());
    EXPECT_EQ(form.Sample().TextureFile, QStringLiteral("dots.png"));
    EXPECT_TRUE(Child<TTextureThumbnail>(form, "TexturePicture")->HasPicture());

    form.AskTexture = [](const QString&) { return QString(); }; // cancelled
    Click(form, "TextureBrowseButton");
    EXPECT_EQ(form.Sample().TextureFile, QStringLiteral("dots.png"));
}

TEST_F(HeadlineFormTest, DatabaseFieldGoesInAtTheCaret) {
    THeadlineForm form;
    form.show();
    EXPECT_FALSE(Enabled(form, "InsertFieldButton"));

    TFieldsSource source;
    source.Fields = {QStringLiteral("First"), QStringLiteral("Name")};
    form.SetDataSource(&source);
    QStringList offered;
    form.AskField = [&](const QStringList& fields) {
        offered = fields;
        return std::optional<QString>(QStringLiteral("Name"));
    };
    auto* memo = Child<QPlainTextEdit>(form, "HeadMemo");
    form.SetText(QStringLiteral("Dear ,"));
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(5);
    cursor.setPosition(6, QTextCursor::KeepAnchor); // the comma is selected, not replaced
    memo->setTextCursor(cursor);

    Click(form, "InsertFieldButton");
    EXPECT_EQ(offered, source.Fields);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Dear <Name>,"));
    EXPECT_EQ(memo->textCursor().position(), 11);
    EXPECT_FALSE(memo->textCursor().hasSelection());
    EXPECT_EQ(form.focusWidget(), memo);

    form.AskField = [](const QStringList&) { return std::optional<QString>(); };
    Click(form, "InsertFieldButton");
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Dear <Name>,"));
}

TEST_F(HeadlineFormTest, ConfirmedDialogUpdatesTheHeadlineAndDefaults) {
    TCard card(0, 0);
    Test.Context.AddOpenCard(&card);
    TRecordingShell shell;
    Test.Context.SetShell(&shell);
    auto* headline = new THeadlineObject();
    headline->Text = QStringLiteral("Old");
    headline->RefreshText();
    card.Pages(0)->Panels(0)->AddObject(headline);
    card.DocumentModified = false;

    {
        THeadlineForm form;
        form.Fill(*headline);
        EXPECT_EQ(form.Text(), QStringLiteral("Old"));
        form.SetText(QStringLiteral("Dear [Name]\r\nWelcome"));
        form.SetCentering(true, false);
        form.SetCustomizeMode(true);
        Click(form, "ItalicButton");
        Child<QCheckBox>(form, "DefaultCheck")->setChecked(true);
        form.ApplyTo(*headline);
    }
    EXPECT_EQ(headline->Text, QStringLiteral("Dear [Name]\r\nWelcome"));
    ASSERT_EQ(headline->Codes().Count(), 1);
    EXPECT_EQ(shell.Prompted, QStringList{QStringLiteral("Name=")});
    EXPECT_EQ(headline->HeadlineText().Lines,
              (QStringList{QStringLiteral("Dear Ann"), QStringLiteral("Welcome")}));
    EXPECT_TRUE(headline->HeadlineText().Font.Italic);
    EXPECT_TRUE(headline->CenterHorizontally);
    EXPECT_EQ(shell.Repaints, 2);
    EXPECT_TRUE(card.DocumentModified);
    const QString defaults = QStringLiteral("Default Headline");
    EXPECT_EQ(Ini.ReadInteger(defaults, QStringLiteral("Font Style"), -1), 2);
    EXPECT_TRUE(Ini.ReadBool(defaults, QStringLiteral("Center Horizontally"), false));
    EXPECT_EQ(Ini.Keys(defaults).size(), 30);

    // The same text again: the value typed before is offered, not lost.
    {
        THeadlineForm form;
        form.Fill(*headline);
        form.ApplyTo(*headline);
    }
    EXPECT_EQ(shell.Prompted.value(1), QStringLiteral("Name=Ann"));
    Test.Context.SetShell(nullptr);
    Test.Context.RemoveOpenCard(&card);
}

TEST(DirectionPicker, ArrowKeysWalkAroundTheCentre) {
    TDirectionPicker picker;
    picker.resize(picker.sizeHint());
    QList<int> chosen;
    QObject::connect(&picker, &TDirectionPicker::DirectionChosen,
                     [&](int direction) { chosen.append(direction); });
    QTest::keyClick(&picker, Qt::Key_Down); // from none: the first direction
    EXPECT_EQ(picker.Direction(), sdUp);
    QTest::keyClick(&picker, Qt::Key_Down); // over the centre
    EXPECT_EQ(picker.Direction(), sdDown);
    QTest::keyClick(&picker, Qt::Key_Down); // the edge
    QTest::keyClick(&picker, Qt::Key_Left);
    EXPECT_EQ(picker.Direction(), sdDownLeft);
    QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.CellRect(sdUpRight).center());
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(picker.width() / 2, picker.height() / 2));
    EXPECT_EQ(chosen, (QList<int>{sdUp, sdDown, sdDownLeft, sdUpRight}));
    picker.SetDirection(sdNone);
    EXPECT_EQ(picker.Direction(), sdNone);
    EXPECT_EQ(chosen.size(), 4); // setting is not choosing
}

TEST(HeadlineFormFilter, PipeFilterBecomesQtFilterInBothCases) {
    const QString filter = QtFileFilter(QStringLiteral(
        "All Supported|*.BMP;*.GIF|Compuserve Gif  (GIF) |*.GIF|Targe Image  (TGA) |*.TGA"));
    EXPECT_EQ(filter, QStringLiteral("All Supported (*.bmp *.BMP *.gif *.GIF);;"
                                     "Compuserve Gif (GIF) (*.gif *.GIF);;"
                                     "Targe Image (TGA) (*.tga *.TGA)"));
}

TEST(PersonalizeForm, PromptNamesTheCodeAndLimitsTheValue) {
    TPersonalizeForm form;
    form.SetOriginalText(QStringLiteral("Dear [Name],\r\nhello"));
    form.SetCode(QStringLiteral("Name"), QStringLiteral("Bob"));
    auto* memo = Child<QPlainTextEdit>(form, "OriginalMemo");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Dear [Name],\nhello"));
    EXPECT_EQ(Child<QLabel>(form, "PromptLabel")->text(),
              QStringLiteral("Enter personalized text for \"Name\":"));
    auto* edit = Child<QLineEdit>(form, "ValueEdit");
    EXPECT_EQ(form.Value(), QStringLiteral("Bob"));
    edit->clear();
    QTest::keyClicks(edit, QString(90, QLatin1Char('x')));
    EXPECT_EQ(form.Value().size(), 80);
}
