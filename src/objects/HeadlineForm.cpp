#include "objects/HeadlineForm.h"

#include "storage/DialogHelp.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/PropertyDialogs.h"
#include "document/RecordSource.h"
#include "objects/HeadlineWidgets.h"
#include "objects/PresetGrid.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr quint32 White = 0xFFFFFF;

const char* const TextureFilter =
    "All Supported Picture Formats|*.BMP;*.GIF;*.JPG;*.PCX;*.PNG;*.TIF;*.PCD;*.EMF;*.WMF;*.TGA|"
    "Windows Bitmap (BMP) |*.BMP|Compuserve Gif  (GIF) |*.GIF|Jpeg  (JPG) |*.JPG|"
    "PaintShop Pro  (PCX) |*.PCX|Portable Graphics  (PNG) |*.PNG|Tagged Image  (TIF) |*.TIF|"
    "Photo CD  (PCD) |*.PCD|Windows Metafile  (WMF) |*.WMF|Enhanced Metafile  (EMF) |*.EMF|"
    "Targe Image  (TGA) |*.TGA";

// The settings' own file when they are one, so that presets and the main window's settings
// are one copy in memory: a second copy would be overwritten when the main window saves.
TIniFile* PresetFile(TIniFile& fallback) {
    auto* file = dynamic_cast<TIniFile*>(&AppContext().Settings());
    return file ? file : &fallback;
}

QLabel* Label(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QRadioButton* Radio(const QString& caption, const QString& name) {
    auto* radio = new QRadioButton(caption);
    radio->setObjectName(name);
    return radio;
}

QPushButton* Button(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// Small pictures of three lines aligned left, centre or right.
QIcon AlignmentIcon(THeadlineAlignment alignment) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int widths[] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = alignment == haLeft ? 2 : alignment == haRight ? 14 - w : (16 - w) / 2;
        painter.fillRect(x, 2 + 3 * i + (i > 0 ? i : 0), w, 2, Qt::black);
    }
    return QIcon(pixmap);
}

QToolButton* StyleButton(const QString& letter, const QString& name, const QString& tip) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(letter);
    button->setToolTip(tip);
    button->setCheckable(true);
    button->setFixedSize(26, 24);
    return button;
}

} // namespace

void RegisterHeadlineDialog() {
    RegisterPropertyDialog(THeadlineObject::StoredName, [](TCardObject& object) {
        auto* headline = dynamic_cast<THeadlineObject*>(&object);
        return headline && THeadlineForm::Run(*headline, QApplication::activeWindow());
    });
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            for (const QString& variant : {p.toLower(), p.toUpper()})
                if (!patterns.contains(variant)) patterns.append(variant);
        }
        const QString description = parts[i].simplified();
        filters.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' '))));
    }
    return filters.join(QStringLiteral(";;"));
}

THeadlineForm::THeadlineForm(QWidget* parent)
    : QDialog(parent), FFile(PresetFile(FOwnFile)), FPresets(*FFile) {
    setObjectName(QStringLiteral("HeadlineForm"));
    setWindowTitle(QStringLiteral("Headline Object Properties"));
    FSample.Lines = {QStringLiteral("Headline"), QStringLiteral("Sample Text")};

    auto* layout = new QVBoxLayout(this);
    BuildTextArea(layout);

    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* modes = new QHBoxLayout;
    FPresetMode = Radio(QStringLiteral("&Preset Styles"), QStringLiteral("PresetStylesRadio"));
    FCustomizeMode = Radio(QStringLiteral("&Customize"), QStringLiteral("CustomizeRadio"));
    FPresetMode->setChecked(true);
    modes->addWidget(FPresetMode);
    modes->addWidget(FCustomizeMode);
    modes->addStretch();
    left->addLayout(modes);
    FStack = new QStackedWidget;
    FStack->setObjectName(QStringLiteral("ModeStack"));
    FStack->addWidget(BuildPresetPage());
    FTabs = new QTabWidget;
    FTabs->setObjectName(QStringLiteral("CustomizeTabs"));
    FTabs->addTab(BuildFontPage(), QStringLiteral("Font / Letters"));
    FTabs->addTab(BuildShadePage(), QStringLiteral("Shadow / Highlight"));
    FTabs->addTab(BuildBackgroundPage(), QStringLiteral("Background / Border"));
    FStack->addWidget(FTabs);
    left->addWidget(FStack, 1);
    middle->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* sampleBox = new QGroupBox(QStringLiteral("Sample"));
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    FSamplePanel = new THeadlineSample(FSample);
    FSamplePanel->setObjectName(QStringLiteral("SamplePanel"));
    sampleLayout->addWidget(FSamplePanel);
    right->addWidget(sampleBox, 1);
    FCenterHorizontally = new QCheckBox(QStringLiteral("Center Hori&zontally"));
    FCenterHorizontally->setObjectName(QStringLiteral("CenterHorizontallyCheck"));
    FCenterVertically = new QCheckBox(QStringLiteral("Center &Vertically"));
    FCenterVertically->setObjectName(QStringLiteral("CenterVerticallyCheck"));
    right->addWidget(FCenterHorizontally);
    right->addWidget(FCenterVertically);
    // The text direction is kept but not offered: the letters are always drawn upright.
    auto* direction = new QWidget;
    direction->setObjectName(QStringLiteral("TextDirectionArea"));
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->setContentsMargins(0, 0, 0, 0);
    FTextDirection = new QComboBox;
    FTextDirection->setObjectName(QStringLiteral("TextDirectionCombo"));
    FTextDirection->addItems({QStringLiteral("Right"), QStringLiteral("Down"),
                              QStringLiteral("Left"), QStringLiteral("Up")});
    directionLayout->addWidget(Label(QStringLiteral("Text &Direction"), FTextDirection));
    directionLayout->addWidget(FTextDirection);
    direction->hide();
    right->addWidget(direction);
    FDefault = new QCheckBox(QStringLiteral("Default"));
    FDefault->setObjectName(QStringLiteral("DefaultCheck"));
    FDefault->setToolTip(QStringLiteral("Use these settings for new headlines"));
    right->addWidget(FDefault);
    middle->addLayout(right, 1);
    layout->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    FRevert = Button(QStringLiteral("R&evert"), QStringLiteral("RevertButton"));
    bottom->addWidget(FRevert);
    bottom->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    FOk = buttons->button(QDialogButtonBox::Ok);
    FOk->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FRevert, &QPushButton::clicked, this, &THeadlineForm::Revert);
    connect(FCustomizeMode, &QRadioButton::toggled, this, &THeadlineForm::SetCustomizeMode);

    FillControls();
    StyleChanged();
    UpdateOkButton();
    UpdatePresetButtons();
}

THeadlineForm::~THeadlineForm() {
    SavePresets(); // closed without done(), e.g. with its parent
}

void THeadlineForm::BuildTextArea(QLayout* into) {
    auto* top = new QHBoxLayout;
    FMemo = new QPlainTextEdit;
    FMemo->setObjectName(QStringLiteral("HeadMemo"));
    FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FMemo->setTabChangesFocus(true);
    AssistTyping(*FMemo);
    FMemo->setFixedHeight(FMemo->fontMetrics().lineSpacing() * 4 + 12);
    auto* text = new QVBoxLayout;
    text->addWidget(Label(QStringLiteral("&Text:"), FMemo));
    text->addWidget(FMemo);
    top->addLayout(text, 1);

    auto* side = new QVBoxLayout;
    side->addSpacing(FMemo->fontMetrics().lineSpacing() + 4);
    FInsertField =
        Button(QStringLiteral("&Insert Database Field..."), QStringLiteral("InsertFieldButton"));
    FInsertField->setEnabled(false);
    FDeleteBlankLines = new QCheckBox(QStringLiteral("Delete &Blank Lines"));
    FDeleteBlankLines->setObjectName(QStringLiteral("DeleteBlankLinesCheck"));
    side->addWidget(FInsertField);
    side->addWidget(FDeleteBlankLines);
    side->addStretch();
    top->addLayout(side);
    static_cast<QBoxLayout*>(into)->addLayout(top);

    connect(FMemo, &QPlainTextEdit::textChanged, this, &THeadlineForm::UpdateOkButton);
    connect(FInsertField, &QPushButton::clicked, this, &THeadlineForm::InsertDatabaseField);
    connect(FDeleteBlankLines, &QCheckBox::toggled, this, [this](bool on) {
        if (FFilling) return;
        FSample.DeleteBlankLines = on;
        StyleChanged();
    });
}

QWidget* THeadlineForm::BuildPresetPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PresetPage"));
    auto* layout = new QHBoxLayout(page);
    FGrid = new TPresetGrid(FPresets);
    FGrid->setObjectName(QStringLiteral("PresetGrid"));
    layout->addWidget(FGrid);
    auto* buttons = new QVBoxLayout;
    FAdd = Button(QStringLiteral("&Add"), QStringLiteral("AddButton"));
    FReplace = Button(QStringLiteral("&Replace"), QStringLiteral("ReplaceButton"));
    FDelete = Button(QStringLiteral("&Delete"), QStringLiteral("DeleteButton"));
    FMoveUp = Button(QStringLiteral("Move &Up"), QStringLiteral("MoveUpButton"));
    FMoveDown = Button(QStringLiteral("&Move Down"), QStringLiteral("MoveDownButton"));
    for (QPushButton* button : {FAdd, FReplace, FDelete, FMoveUp, FMoveDown})
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();

    connect(FGrid, &TPresetGrid::PresetSelected, this, &THeadlineForm::PresetSelected);
    connect(FAdd, &QPushButton::clicked, this, &THeadlineForm::AddPreset);
    connect(FReplace, &QPushButton::clicked, this, &THeadlineForm::ReplacePreset);
    connect(FDelete, &QPushButton::clicked, this, &THeadlineForm::DeletePreset);
    connect(FMoveUp, &QPushButton::clicked, this, &THeadlineForm::MovePresetUp);
    connect(FMoveDown, &QPushButton::clicked, this, &THeadlineForm::MovePresetDown);
    return page;
}

QWidget* THeadlineForm::ColorRow(const QString& caption, const QString& name, QPushButton*& button,
                                 TColorSwatch*& swatch, const std::function<quint32&()>& target) {
    auto* row = new QWidget;
    row->setObjectName(name + QStringLiteral("Row"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    button = Button(caption, name + QStringLiteral("Button"));
    swatch = new TColorSwatch;
    swatch->setObjectName(name + QStringLiteral("Swatch"));
    layout->addWidget(button);
    layout->addWidget(swatch);
    layout->addStretch();
    TColorSwatch* shown = swatch;
    connect(button, &QPushButton::clicked, this,
            [this, target, shown] { ChooseColor(target(), shown); });
    return row;
}

QWidget* THeadlineForm::BuildFontPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("FontPage"));
    auto* layout = new QVBoxLayout(page);

    auto* fontBox = new QGroupBox(QStringLiteral("Font"));
    auto* font = new QGridLayout(fontBox);
    FFontName = new QComboBox;
    FFontName->setObjectName(QStringLiteral("FontNameCombo"));
    FFontName->setEditable(true);
    FFontName->setInsertPolicy(QComboBox::NoInsert);
    FFontName->addItems(QFontDatabase::families());
    FFontName->setMinimumContentsLength(16);
    FFontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    FFontSize = new QComboBox;
    FFontSize->setObjectName(QStringLiteral("FontSizeCombo"));
    FFontSize->setEditable(true);
    FFontSize->setInsertPolicy(QComboBox::NoInsert);
    for (int size : {8, 10, 12, 14, 16, 18, 20, 24, 28, 32, 36, 48, 60, 72, 96, 120, 144})
        FFontSize->addItem(QString::number(size));
    FFontSize->setValidator(new QIntValidator(0, 99999, FFontSize));
    FFontSize->setMinimumContentsLength(4);
    font->addWidget(Label(QStringLiteral("&Name:"), FFontName), 0, 0);
    font->addWidget(FFontName, 0, 1, 1, 2);
    font->addWidget(Label(QStringLiteral("&Size:"), FFontSize), 1, 0);
    font->addWidget(FFontSize, 1, 1);

    auto* styles = new QHBoxLayout;
    FBold = StyleButton(QStringLiteral("B"), QStringLiteral("BoldButton"), QStringLiteral("Bold"));
    QFont bold = FBold->font();
    bold.setBold(true);
    FBold->setFont(bold);
    FItalic =
        StyleButton(QStringLiteral("I"), QStringLiteral("ItalicButton"), QStringLiteral("Italic"));
    QFont italic = FItalic->font();
    italic.setItalic(true);
    FItalic->setFont(italic);
    FUnderline = StyleButton(QStringLiteral("U"), QStringLiteral("UnderlineButton"),
                             QStringLiteral("Underline"));
    QFont underline = FUnderline->font();
    underline.setUnderline(true);
    FUnderline->setFont(underline);
    styles->addWidget(FBold);
    styles->addWidget(FItalic);
    styles->addWidget(FUnderline);
    styles->addSpacing(12);
    FAlignment = new QButtonGroup(this);
    const struct {
        THeadlineAlignment Id;
        const char* Name;
        const char* Tip;
    } alignments[] = {{haLeft, "AlignLeftButton", "Align Left"},
                      {haCentre, "AlignCenterButton", "Center"},
                      {haRight, "AlignRightButton", "Align Right"}};
    for (const auto& a : alignments) {
        auto* button =
            StyleButton(QString(), QString::fromLatin1(a.Name), QString::fromLatin1(a.Tip));
        button->setIcon(AlignmentIcon(a.Id));
        FAlignment->addButton(button, a.Id);
        styles->addWidget(button);
    }
    styles->addStretch();
    font->addLayout(styles, 2, 0, 1, 3);
    font->setColumnStretch(2, 1);
    layout->addWidget(fontBox);

    auto* lettersBox = new QGroupBox(QStringLiteral("Letters"));
    auto* letters = new QGridLayout(lettersBox);
    FLetterFill = new QButtonGroup(this);
    FLetterSolid = Radio(QStringLiteral("Solid Color"), QStringLiteral("LetterSolidRadio"));
    FLetterGradient =
        Radio(QStringLiteral("Gradient Color"), QStringLiteral("LetterGradientRadio"));
    FLetterTexture = Radio(QStringLiteral("Texture"), QStringLiteral("LetterTextureRadio"));
    FLetterFill->addButton(FLetterSolid, 0);
    FLetterFill->addButton(FLetterGradient, 1);
    FLetterFill->addButton(FLetterTexture, 2);
    FLetterHorizontal =
        Radio(QStringLiteral("&Horizontal"), QStringLiteral("LetterHorizontalRadio"));
    FLetterVertical = Radio(QStringLiteral("&Vertical"), QStringLiteral("LetterVerticalRadio"));
    auto* letterDirection = new QButtonGroup(this);
    letterDirection->addButton(FLetterHorizontal);
    letterDirection->addButton(FLetterVertical);
    auto* directions = new QHBoxLayout;
    directions->addWidget(FLetterHorizontal);
    directions->addWidget(FLetterVertical);
    directions->addStretch();
    auto* gradientColors = new QHBoxLayout;
    gradientColors->addWidget(ColorRow(QStringLiteral("From Color..."), QStringLiteral("FromColor"),
                                       FFromColor, FFromColorSwatch,
                                       [this]() -> quint32& { return FSample.GraduateFromColor; }));
    gradientColors->addWidget(ColorRow(QStringLiteral("To Color..."), QStringLiteral("ToColor"),
                                       FToColor, FToColorSwatch,
                                       [this]() -> quint32& { return FSample.GraduateToColor; }));
    gradientColors->addStretch();
    auto* texture = new QHBoxLayout;
    FTextureBrowse = Button(QStringLiteral("Browse..."), QStringLiteral("TextureBrowseButton"));
    FTexturePicture = new TTextureThumbnail;
    FTexturePicture->setObjectName(QStringLiteral("TexturePicture"));
    texture->addWidget(FTextureBrowse);
    texture->addWidget(FTexturePicture);
    texture->addStretch();

    letters->addWidget(FLetterSolid, 0, 0);
    letters->addWidget(ColorRow(QStringLiteral("Color..."), QStringLiteral("FontColor"), FFontColor,
                                FFontColorSwatch,
                                [this]() -> quint32& { return FSample.Font.Color; }),
                       0, 1);
    letters->addWidget(FLetterGradient, 1, 0);
    letters->addLayout(directions, 1, 1);
    letters->addLayout(gradientColors, 2, 1);
    letters->addWidget(FLetterTexture, 3, 0);
    letters->addLayout(texture, 3, 1);
    letters->setColumnStretch(1, 1);
    layout->addWidget(lettersBox);
    layout->addStretch();

    connect(FFontName, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        if (FFilling || name.trimmed().isEmpty()) return;
        FSample.Font.Name = name.trimmed();
        StyleChanged();
    });
    connect(FFontSize, &QComboBox::editTextChanged, this, [this] { ApplyFontSize(false); });
    connect(FFontSize->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { ApplyFontSize(true); });
    connect(FFontSize, &QComboBox::activated, this, [this] { ApplyFontSize(true); });
    auto styleToggle = [this](QToolButton* button, bool TFontSpec::*flag) {
        connect(button, &QToolButton::toggled, this, [this, flag](bool on) {
            if (FFilling) return;
            FSample.Font.*flag = on;
            StyleChanged();
        });
    };
    styleToggle(FBold, &TFontSpec::Bold);
    styleToggle(FItalic, &TFontSpec::Italic);
    styleToggle(FUnderline, &TFontSpec::Underline);
    connect(FAlignment, &QButtonGroup::idClicked, this, [this](int id) {
        if (FFilling) return;
        FSample.Alignment = THeadlineAlignment(id);
        StyleChanged();
    });
    connect(FLetterFill, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) LetterFillChanged();
    });
    connect(FLetterVertical, &QRadioButton::toggled, this, [this] { LetterFillChanged(); });
    connect(FTextureBrowse, &QPushButton::clicked, this, [this] { ChooseTexture(false); });
    return page;
}

QWidget* THeadlineForm::BuildShadeGroup(const QString& title, const QString& name,
                                        TShadeControls& shade) {
    auto* box = new QGroupBox(title);
    box->setObjectName(name + QStringLiteral("Group"));
    auto* grid = new QGridLayout(box);
    shade.Direction = new TDirectionPicker;
    shade.Direction->setObjectName(name + QStringLiteral("DirectionPicker"));
    grid->addWidget(new QLabel(QStringLiteral("Direction")), 0, 0, Qt::AlignTop);
    grid->addWidget(shade.Direction, 0, 1, Qt::AlignLeft);

    shade.Depth = new QSlider(Qt::Horizontal);
    shade.Depth->setObjectName(name + QStringLiteral("DepthBar"));
    shade.Depth->setRange(0, MaximumDepth);
    shade.Depth->setPageStep(1);
    shade.Depth->setTickPosition(QSlider::TicksBelow);
    shade.Depth->setTickInterval(1);
    auto* depthValue = new QLabel;
    depthValue->setObjectName(name + QStringLiteral("DepthValue"));
    depthValue->setMinimumWidth(depthValue->fontMetrics().horizontalAdvance(QStringLiteral("10")) +
                                2);
    auto* depth = new QHBoxLayout;
    depth->addWidget(shade.Depth, 1);
    depth->addWidget(depthValue);
    grid->addWidget(Label(QStringLiteral("&Depth"), shade.Depth), 1, 0);
    grid->addLayout(depth, 1, 1);

    auto* styleBox = new QGroupBox(QStringLiteral("Style"));
    auto* styles = new QHBoxLayout(styleBox);
    shade.Style = new QButtonGroup(this);
    const char* const captions[] = {"Plain", "Extrude", "Graduate"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = Radio(QString::fromLatin1(captions[i]),
                            name + QString::fromLatin1(captions[i]) + QStringLiteral("Radio"));
        shade.Style->addButton(radio, i);
        styles->addWidget(radio);
    }
    grid->addWidget(styleBox, 2, 0, 1, 2);
    const bool isShadow = &shade == &FShadow;
    grid->addWidget(ColorRow(QStringLiteral("Color..."), name + QStringLiteral("Color"),
                             shade.Color, shade.Swatch,
                             [this, isShadow]() -> quint32& {
                                 return isShadow ? FSample.ShadowColor : FSample.HighlightColor;
                             }),
                    3, 0, 1, 2);
    grid->setRowStretch(4, 1);

    connect(shade.Direction, &TDirectionPicker::DirectionChosen, this, [this, isShadow](int d) {
        if (FFilling) return;
        (isShadow ? FSample.ShadowDirection : FSample.HighlightDirection) = quint8(d);
        StyleChanged();
    });
    connect(shade.Depth, &QSlider::valueChanged, this, [this, isShadow, depthValue](int value) {
        depthValue->setText(QString::number(value));
        if (FFilling) return;
        (isShadow ? FSample.ShadowDepth : FSample.HighlightDepth) = quint8(value);
        StyleChanged();
    });
    connect(shade.Style, &QButtonGroup::idClicked, this, [this, isShadow](int id) {
        if (FFilling) return;
        (isShadow ? FSample.ShadowStyle : FSample.HighlightStyle) = quint8(id);
        StyleChanged();
    });
    return box;
}

QWidget* THeadlineForm::BuildShadePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ShadePage"));
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(BuildShadeGroup(QStringLiteral("Shadow"), QStringLiteral("Shadow"), FShadow));
    layout->addWidget(
        BuildShadeGroup(QStringLiteral("Highlight"), QStringLiteral("Highlight"), FHighlight));
    return page;
}

QWidget* THeadlineForm::BuildBackgroundPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("BackgroundPage"));
    auto* layout = new QVBoxLayout(page);

    auto* backBox = new QGroupBox(QStringLiteral("Background"));
    auto* back = new QGridLayout(backBox);
    FBackStyle = new QButtonGroup(this);
    const struct {
        int Style;
        const char* Caption;
        const char* Name;
    } styles[] = {{basTransparent, "&Transparent", "BackTransparentRadio"},
                  {basSolid, "&Solid Color", "BackSolidRadio"},
                  {basGradient, "&Gradient Color", "BackGradientRadio"},
                  {basTexture, "Te&xture", "BackTextureRadio"}};
    for (const auto& s : styles) {
        auto* radio = Radio(QString::fromLatin1(s.Caption), QString::fromLatin1(s.Name));
        FBackStyle->addButton(radio, s.Style);
    }
    back->addWidget(FBackStyle->button(basTransparent), 0, 0);
    back->addWidget(FBackStyle->button(basSolid), 1, 0);
    back->addWidget(ColorRow(QStringLiteral("Color..."), QStringLiteral("BackColor"), FBackColor,
                             FBackColorSwatch, [this]() -> quint32& { return FSample.Color; }),
                    1, 1);
    back->addWidget(FBackStyle->button(basGradient), 2, 0);
    FBackHorizontal = Radio(QStringLiteral("&Horizontal"), QStringLiteral("BackHorizontalRadio"));
    FBackVertical = Radio(QStringLiteral("&Vertical"), QStringLiteral("BackVerticalRadio"));
    auto* backDirection = new QButtonGroup(this);
    backDirection->addButton(FBackHorizontal, 0);
    backDirection->addButton(FBackVertical, 1);
    auto* directions = new QHBoxLayout;
    directions->addWidget(FBackHorizontal);
    directions->addWidget(FBackVertical);
    directions->addStretch();
    back->addLayout(directions, 2, 1);
    auto* gradientColors = new QHBoxLayout;
    gradientColors->addWidget(
        ColorRow(QStringLiteral("From Color..."), QStringLiteral("BackFromColor"), FBackFromColor,
                 FBackFromSwatch, [this]() -> quint32& { return FSample.BackFromColor; }));
    gradientColors->addWidget(ColorRow(QStringLiteral("To Color..."), QStringLiteral("BackToColor"),
                                       FBackToColor, FBackToSwatch,
                                       [this]() -> quint32& { return FSample.BackToColor; }));
    gradientColors->addStretch();
    back->addLayout(gradientColors, 3, 1);
    back->addWidget(FBackStyle->button(basTexture), 4, 0);
    auto* texture = new QHBoxLayout;
    FBackBrowse = Button(QStringLiteral("Browse..."), QStringLiteral("BackBrowseButton"));
    FBackPicture = new TTextureThumbnail;
    FBackPicture->setObjectName(QStringLiteral("BackTexturePicture"));
    texture->addWidget(FBackBrowse);
    texture->addWidget(FBackPicture);
    texture->addStretch();
    back->addLayout(texture, 4, 1);
    back->setColumnStretch(1, 1);
    layout->addWidget(backBox);

    auto* borderBox = new QGroupBox(QStringLiteral("Border"));
    auto* border = new QHBoxLayout(borderBox);
    FBorderSize = new QSpinBox;
    FBorderSize->setObjectName(QStringLiteral("BorderSizeEdit"));
    FBorderSize->setRange(0, 10);
    border->addWidget(Label(QStringLiteral("S&ize"), FBorderSize));
    border->addWidget(FBorderSize);
    border->addSpacing(16);
    border->addWidget(ColorRow(QStringLiteral("Color..."), QStringLiteral("BorderColor"),
                               FBorderColor, FBorderSwatch,
                               [this]() -> quint32& { return FSample.BorderColor; }));
    border->addStretch();
    layout->addWidget(borderBox);
    layout->addStretch();

    connect(FBackStyle, &QButtonGroup::idClicked, this, [this](int id) {
        if (FFilling) return;
        FSample.BackStyle = quint8(id);
        StyleChanged();
    });
    connect(backDirection, &QButtonGroup::idClicked, this, [this](int id) {
        if (FFilling) return;
        FSample.BackDirection = quint8(id);
        StyleChanged();
    });
    connect(FBackBrowse, &QPushButton::clicked, this, [this] { ChooseTexture(true); });
    connect(FBorderSize, &QSpinBox::valueChanged, this, [this](int size) {
        if (FFilling) return;
        FSample.SetBorderSize(size);
        StyleChanged();
    });
    return page;
}

void THeadlineForm::FillControls() {
    const bool wasFilling = FFilling;
    FFilling = true;
    const THeadlineText& s = FSample;
    FDeleteBlankLines->setChecked(s.DeleteBlankLines);

    const int nameIndex = FFontName->findText(s.Font.Name, Qt::MatchFixedString);
    if (nameIndex >= 0)
        FFontName->setCurrentIndex(nameIndex);
    else
        FFontName->setEditText(s.Font.Name);
    FFontSize->setEditText(QString::number(s.Font.Size));
    FBold->setChecked(s.Font.Bold);
    FItalic->setChecked(s.Font.Italic);
    FUnderline->setChecked(s.Font.Underline);
    if (QAbstractButton* align = FAlignment->button(s.Alignment <= haCentre ? s.Alignment : haLeft))
        align->setChecked(true);

    (s.Texture                   ? FLetterTexture
     : s.GraduateStyle != gsNone ? FLetterGradient
                                 : FLetterSolid)
        ->setChecked(true);
    (s.GraduateStyle == gsVertical ? FLetterVertical : FLetterHorizontal)->setChecked(true);
    FFontColorSwatch->SetColorRef(s.Font.Color);
    FFromColorSwatch->SetColorRef(s.GraduateFromColor);
    FToColorSwatch->SetColorRef(s.GraduateToColor);
    FTexturePicture->SetTextureName(s.TextureFile);

    auto fillShade = [](TShadeControls& shade, quint8 direction, quint8 depth, quint8 style,
                        quint32 color) {
        shade.Direction->SetDirection(direction);
        shade.Depth->setValue(std::min<int>(depth, MaximumDepth));
        if (QAbstractButton* b =
                shade.Style->button(style <= ssGraduated ? int(style) : int(ssPlain)))
            b->setChecked(true);
        shade.Swatch->SetColorRef(color);
    };
    fillShade(FShadow, s.ShadowDirection, s.ShadowDepth, s.ShadowStyle, s.ShadowColor);
    fillShade(FHighlight, s.HighlightDirection, s.HighlightDepth, s.HighlightStyle,
              s.HighlightColor);

    if (QAbstractButton* b = FBackStyle->button(s.BackStyle <= basTexture ? s.BackStyle : 0))
        b->setChecked(true);
    FBackColorSwatch->SetColorRef(s.Color);
    FBackFromSwatch->SetColorRef(s.BackFromColor);
    FBackToSwatch->SetColorRef(s.BackToColor);
    (s.BackDirection == 1 ? FBackVertical : FBackHorizontal)->setChecked(true);
    FBackPicture->SetTextureName(s.BackTextureFile);
    FBorderSize->setValue(s.BorderSize());
    FBorderSwatch->SetColorRef(s.BorderColor);
    FFilling = wasFilling;
}

void THeadlineForm::StyleChanged() {
    FSample.ComputeBox();
    FSamplePanel->update();
}

void THeadlineForm::LetterFillChanged() {
    if (FFilling) return;
    switch (FLetterFill->checkedId()) {
    case 1:
        FSample.GraduateStyle = FLetterVertical->isChecked() ? gsVertical : gsHorizontal;
        FSample.Texture = false;
        break;
    case 2:
        FSample.GraduateStyle = gsNone;
        FSample.Texture = true;
        break;
    default:
        FSample.GraduateStyle = gsNone;
        FSample.Texture = false;
        break;
    }
    StyleChanged();
}

void THeadlineForm::ApplyFontSize(bool finished) {
    if (FFilling) return;
    bool ok = false;
    int size = FFontSize->currentText().trimmed().toInt(&ok);
    if (!ok) {
        if (finished) FillControls(); // nothing usable typed: show the size in force
        return;
    }
    if (size < MinimumFontSize && !finished) return; // perhaps the first digit of more
    const int bounded = std::clamp(size, MinimumFontSize, MaximumFontSize);
    if (bounded != size) {
        FFilling = true;
        FFontSize->setEditText(QString::number(bounded));
        FFilling = false;
    }
    if (FSample.Font.Size == bounded) return;
    FSample.Font.Size = bounded;
    StyleChanged();
}

void THeadlineForm::ChooseColor(quint32& target, TColorSwatch* swatch) {
    std::optional<quint32> chosen;
    if (AskColor) {
        chosen = AskColor(target);
    } else {
        const QColor color = QColorDialog::getColor(ColorFromRef(target), this);
        if (color.isValid()) chosen = ColorToRef(color);
    }
    if (!chosen) return;
    target = *chosen;
    swatch->SetColorRef(*chosen);
    StyleChanged();
}

void THeadlineForm::ChooseTexture(bool background) {
    QString& target = background ? FSample.BackTextureFile : FSample.TextureFile;
    QString chosen;
    if (AskTexture) {
        chosen = AskTexture(target);
    } else {
        const bool hasFolder = target.contains(QLatin1Char('/'));
        const QString folder =
            hasFolder ? QFileInfo(target).absolutePath() : AppContext().TexturesFolder;
        QFileDialog dialog(this, QStringLiteral("Select Texture"), folder,
                           QtFileFilter(QString::fromLatin1(TextureFilter)));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (!target.isEmpty()) dialog.selectFile(QFileInfo(target).fileName());
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.selectedFiles().value(0);
    }
    if (chosen.isEmpty()) return;
    target = THeadlineText::TextureName(chosen);
    (background ? FBackPicture : FTexturePicture)->SetTextureName(target);
    StyleChanged();
}

void THeadlineForm::UpdateOkButton() {
    FOk->setEnabled(!FMemo->toPlainText().isEmpty());
}

void THeadlineForm::UpdatePresetButtons() {
    const int selected = FGrid->Selected();
    const int count = FGrid->PresetCount();
    FReplace->setEnabled(selected >= 0);
    FDelete->setEnabled(selected >= 0);
    FMoveUp->setEnabled(selected > 0);
    FMoveDown->setEnabled(selected >= 0 && selected < count - 1);
}

void THeadlineForm::PresetSelected(int index) {
    THeadlineText preset; // what a preset does not store stays as created (off)
    FPresets.Read(index, preset);
    // Blank-line deletion has its own box above the presets: a preset leaves it as it shows.
    const bool deleteBlankLines = FSample.DeleteBlankLines;
    FSample.AssignStyle(preset);
    FSample.DeleteBlankLines = deleteBlankLines;
    StyleChanged();
    UpdatePresetButtons();
}

void THeadlineForm::AddPreset() {
    const int index = FPresets.Count();
    FPresets.Write(index, FSample);
    FPresetsChanged = true;
    FGrid->Recount();
    FGrid->SetSelected(index);
    UpdatePresetButtons();
}

void THeadlineForm::ReplacePreset() {
    const int index = FGrid->Selected();
    if (index < 0) return;
    if (!AppContext().Messages().Confirm(QStringLiteral(
            "Replace the currently selected Preset Style with the current settings?")))
        return;
    FPresets.Write(index, FSample);
    FPresetsChanged = true;
    FGrid->viewport()->update();
}

void THeadlineForm::DeletePreset() {
    const int index = FGrid->Selected();
    if (index < 0) return;
    if (!AppContext().Messages().Confirm(
            QStringLiteral("Delete the currently selected Preset Style?")))
        return;
    FPresets.Delete(index);
    FPresetsChanged = true;
    FGrid->SetSelected(-1);
    FGrid->Recount();
    UpdatePresetButtons();
}

void THeadlineForm::MovePresetUp() {
    const int index = FGrid->Selected();
    if (!FPresets.MoveUp(index)) return;
    FPresetsChanged = true;
    FGrid->SetSelected(index - 1);
    UpdatePresetButtons();
}

void THeadlineForm::MovePresetDown() {
    const int index = FGrid->Selected();
    if (!FPresets.MoveDown(index)) return;
    FPresetsChanged = true;
    FGrid->SetSelected(index + 1);
    UpdatePresetButtons();
}

void THeadlineForm::SavePresets() {
    if (!FPresetsChanged || FFile->FileName().isEmpty()) return;
    FPresetsChanged = false; // one message for one failure
    if (!FFile->Save())
        AppContext().Messages().Error(QStringLiteral("Error writing %1.").arg(FFile->FileName()));
}

void THeadlineForm::done(int result) {
    // Preset changes outlast the dialog whether it was confirmed or not.
    SavePresets();
    QDialog::done(result);
}

void THeadlineForm::SetStyle(const THeadlineText& style) {
    FSample.AssignStyle(style);
    FOpening.AssignStyle(style);
    if (FPlainOnly) {
        ApplyPlainOnlyRules(FSample);
        ApplyPlainOnlyRules(FOpening);
    }
    FillControls();
    StyleChanged();
}

void THeadlineForm::Revert() {
    FSample.AssignStyle(FOpening);
    FillControls();
    StyleChanged();
}

QString THeadlineForm::Text() const {
    return FMemo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void THeadlineForm::SetText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FMemo->setPlainText(plain);
}

bool THeadlineForm::CenterHorizontally() const {
    return FCenterHorizontally->isChecked();
}

bool THeadlineForm::CenterVertically() const {
    return FCenterVertically->isChecked();
}

void THeadlineForm::SetCentering(bool horizontally, bool vertically) {
    FCenterHorizontally->setChecked(horizontally);
    FCenterVertically->setChecked(vertically);
}

quint8 THeadlineForm::TextDirection() const {
    return quint8(std::max(0, FTextDirection->currentIndex()));
}

void THeadlineForm::SetTextDirection(quint8 direction) {
    FTextDirection->setCurrentIndex(direction <= tdUp ? int(direction) : int(tdRight));
}

bool THeadlineForm::StoreAsDefault() const {
    return FDefault->isChecked();
}

void THeadlineForm::SetDataSource(const TRecordSource* source) {
    FFieldNames = source && source->IsOpen() ? source->FieldNames() : QStringList();
    FInsertField->setEnabled(source && source->IsOpen());
}

void THeadlineForm::InsertDatabaseField() {
    if (FFieldNames.isEmpty()) return;
    std::optional<QString> chosen;
    if (AskField) {
        chosen = AskField(FFieldNames);
    } else {
        QInputDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("Insert Database Field"));
        dialog.setLabelText(QStringLiteral("Pick the database field to insert:"));
        dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
        dialog.setComboBoxItems(FFieldNames);
        dialog.setTextValue(FFieldNames.first());
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.textValue();
    }
    if (!chosen || chosen->isEmpty()) return;
    // Inserted before a selection, never over it.
    QTextCursor cursor = FMemo->textCursor();
    cursor.setPosition(cursor.selectionStart());
    cursor.insertText(QLatin1Char('<') + *chosen + QLatin1Char('>'));
    FMemo->setTextCursor(cursor);
    FMemo->setFocus();
}

bool THeadlineForm::CustomizeMode() const {
    return FCustomizeMode->isChecked();
}

void THeadlineForm::SetCustomizeMode(bool customize) {
    if (customize) FillControls();
    (customize ? FCustomizeMode : FPresetMode)->setChecked(true);
    FStack->setCurrentIndex(customize ? 1 : 0);
}

void THeadlineForm::ApplyPlainOnlyRules(THeadlineText& style) const {
    style.GraduateStyle = gsNone;
    style.Texture = false;
    style.TextureFile.clear();
    style.GraduateFromColor = style.GraduateToColor = White;
    if (style.BackStyle == basGradient || style.BackStyle == basTexture)
        style.BackStyle = basTransparent;
    if (style.BackStyle != basSolid) style.Color = White;
    style.BackFromColor = style.BackToColor = White;
    style.BackDirection = 0;
    style.BackTextureFile.clear();
}

void THeadlineForm::SetPlainOnly() {
    FPlainOnly = true;
    ApplyPlainOnlyRules(FSample);
    ApplyPlainOnlyRules(FOpening);
    const QList<QWidget*> notPlain = {FPresetMode,
                                                FLetterGradient,
                                                FLetterTexture,
                                                FLetterHorizontal,
                                                FLetterVertical,
                                                FFromColor->parentWidget(),
                                                FToColor->parentWidget(),
                                                FTextureBrowse,
                                                FTexturePicture,
                                                FBackStyle->button(basGradient),
                                                FBackStyle->button(basTexture),
                                                FBackHorizontal,
                                                FBackVertical,
                                                FBackFromColor->parentWidget(),
                                                FBackToColor->parentWidget(),
                                                FBackBrowse,
                                                FBackPicture,
                                                FTextDirection};
    for (QWidget* widget : notPlain)
        widget->setEnabled(false);
    SetTextDirection(tdRight);
    SetCustomizeMode(true);
    StyleChanged();
}

void THeadlineForm::WriteDefaults(TSettingsStore& settings) const {
    const QString section = QStringLiteral("Default Headline");
    const THeadlineText& h = FSample;
    auto integer = [&](const char* key, int value) {
        settings.WriteInteger(section, QString::fromLatin1(key), value);
    };
    auto boolean = [&](const char* key, bool value) {
        settings.WriteBool(section, QString::fromLatin1(key), value);
    };
    auto string = [&](const char* key, const QString& value) {
        settings.WriteString(section, QString::fromLatin1(key), value);
    };
    boolean("Center Horizontally", CenterHorizontally());
    boolean("Center Vertically", CenterVertically());
    integer("Text Direction", TextDirection());
    string("Font Name", h.Font.Name);
    integer("Font Size", h.Font.Size);
    integer("Font Color", int(h.Font.Color));
    integer("Font Style", h.Font.StyleBits());
    integer("Justification", h.Alignment);
    integer("Graduate From Color", int(h.GraduateFromColor));
    integer("Graduate To Color", int(h.GraduateToColor));
    integer("Graduate Style", h.GraduateStyle);
    string("Texture File", h.TextureFile);
    boolean("Texture", h.Texture);
    integer("Highlight Depth", h.HighlightDepth);
    integer("Highlight Style", h.HighlightStyle);
    integer("Highlight Color", int(h.HighlightColor));
    integer("Highlight Direction", h.HighlightDirection);
    integer("Shadow Depth", h.ShadowDepth);
    integer("Shadow Style", h.ShadowStyle);
    integer("Shadow Color", int(h.ShadowColor));
    integer("Shadow Direction", h.ShadowDirection);
    integer("Background Color", int(h.Color));
    integer("Background From Color", int(h.BackFromColor));
    integer("Background To Color", int(h.BackToColor));
    integer("Background Direction", h.BackDirection);
    string("Background Texture File", h.BackTextureFile);
    integer("Background Style", h.BackStyle);
    integer("Border Size", h.BorderSize());
    integer("Border Color", int(h.BorderColor));
    boolean("Delete Blank Lines", h.DeleteBlankLines);
}

void THeadlineForm::Fill(const THeadlineObject& headline) {
    SetStyle(headline.HeadlineText());
    SetText(headline.Text);
    SetCentering(headline.CenterHorizontally, headline.CenterVertically);
    SetTextDirection(headline.TextDirection);
    const TCard* card = headline.OwnerCard();
    if (!card) card = AppContext().ActiveCard;
    SetDataSource(card ? card->DataTable() : nullptr);
    if (card && IsBannerType(card->DocumentType)) SetPlainOnly();
}

void THeadlineForm::ApplyTo(THeadlineObject& headline) const {
    TShell& shell = AppContext().Shell();
    shell.RepaintObject(headline); // the area it covers now
    TCard* card = headline.OwnerCard();
    if (!card) card = AppContext().ActiveCard;
    const QString text = Text();
    // Codes are rebuilt only from a changed text, so that values typed for an unchanged
    // text survive and are offered again by the prompts below.
    if (text != headline.Text) {
        headline.Text = text;
        headline.ScanPlaceholders();
        TRecordSource* table = card ? card->DataTable() : nullptr;
        headline.BindRecordSource(table && table->IsOpen() ? table : nullptr);
    }
    headline.HeadlineText().AssignStyle(FSample);
    headline.CenterHorizontally = CenterHorizontally();
    headline.CenterVertically = CenterVertically();
    headline.SetTextDirection(TextDirection());
    if (StoreAsDefault()) WriteDefaults(AppContext().Settings());
    headline.Personalize();
    shell.RepaintObject(headline);
    if (card) card->SetDocumentModified(true);
}

bool THeadlineForm::Run(THeadlineObject& headline, QWidget* parent) {
    THeadlineForm form(parent);
    form.Fill(headline);
    if (form.exec() != Accepted) return false;
    form.ApplyTo(headline);
    return true;
}
