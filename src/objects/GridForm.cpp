#include "objects/GridForm.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/PropertyDialogs.h"
#include "objects/Grid.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString DefaultSection = QStringLiteral("Default Grid");

QSpinBox* SpinBox(QWidget* parent, const char* name, int minimum, int maximum) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(minimum, maximum);
    return box;
}

QAbstractButton* ToggleButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCheckable(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QFrame* Sample(QWidget* parent, const char* name) {
    auto* sample = new QFrame(parent);
    sample->setObjectName(QString::fromLatin1(name));
    sample->setFrameShape(QFrame::Box);
    sample->setFixedSize(40, 20);
    sample->setAutoFillBackground(true);
    return sample;
}

void Paint(QFrame* sample, quint32 color) {
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Window, ColorFromRef(color));
    sample->setPalette(palette);
}

// Two direction buttons of which at most one is down: neither means no move.
void PairUp(QAbstractButton* a, QAbstractButton* b) {
    QObject::connect(a, &QAbstractButton::toggled, b, [b](bool on) {
        if (on) b->setChecked(false);
    });
    QObject::connect(b, &QAbstractButton::toggled, a, [a](bool on) {
        if (on) a->setChecked(false);
    });
}

} // namespace

TGridForm::TColorChooser& TGridForm::ColorChooser() {
    static TColorChooser chooser = [](const QColor& initial, QWidget* parent,
                                      const QString& title) -> std::optional<QColor> {
        const QColor color = QColorDialog::getColor(initial, parent, title);
        if (!color.isValid()) return std::nullopt;
        return color;
    };
    return chooser;
}

TGridForm::TGridForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("GridForm"));
    setWindowTitle(QStringLiteral("Grid Object Properties"));
    auto* layout = new QVBoxLayout(this);

    // The table: counts, lines and colours.
    auto* tableBox = new QGroupBox(QStringLiteral("Grid"), this);
    auto* table = new QGridLayout(tableBox);
    FRows = SpinBox(tableBox, "Rows", 1, 50);
    FColumns = SpinBox(tableBox, "Columns", 1, 50);
    FLineSize = SpinBox(tableBox, "LineSize", 1, 10);
    auto addRow = [&](int row, const QString& text, QWidget* field) {
        auto* label = new QLabel(text, tableBox);
        label->setBuddy(field);
        table->addWidget(label, row, 0);
        table->addWidget(field, row, 1);
    };
    addRow(0, QStringLiteral("Number of &rows:"), FRows);
    addRow(1, QStringLiteral("Number of &columns:"), FColumns);
    addRow(2, QStringLiteral("Line &Size:"), FLineSize);
    auto* lineColor = new QPushButton(QStringLiteral("&Line Color..."), tableBox);
    lineColor->setObjectName(QStringLiteral("LineColorButton"));
    FLineSample = Sample(tableBox, "LineColorSample");
    auto* gridColor = new QPushButton(QStringLiteral("&Grid Color..."), tableBox);
    gridColor->setObjectName(QStringLiteral("GridColorButton"));
    FGridSample = Sample(tableBox, "GridColorSample");
    table->addWidget(lineColor, 0, 2);
    table->addWidget(FLineSample, 0, 3);
    table->addWidget(gridColor, 1, 2);
    table->addWidget(FGridSample, 1, 3);
    layout->addWidget(tableBox);

    // The text of the cells.
    auto* fontBox = new QGroupBox(QStringLiteral("Text"), this);
    auto* font = new QGridLayout(fontBox);
    FFontName = new QFontComboBox(fontBox);
    FFontName->setObjectName(QStringLiteral("FontName"));
    FFontName->setEditable(true); // a face that is not installed keeps its name
    FFontSize = SpinBox(fontBox, "FontSize", 5, 500);
    auto* fontLabel = new QLabel(QStringLiteral("F&ont:"), fontBox);
    fontLabel->setBuddy(FFontName);
    font->addWidget(fontLabel, 0, 0);
    font->addWidget(FFontName, 0, 1, 1, 3);
    auto* sizeLabel = new QLabel(QStringLiteral("S&ize:"), fontBox);
    sizeLabel->setBuddy(FFontSize);
    font->addWidget(sizeLabel, 0, 4);
    font->addWidget(FFontSize, 0, 5);
    auto* fontColor = new QPushButton(QStringLiteral("Fo&nt Color..."), fontBox);
    fontColor->setObjectName(QStringLiteral("FontColorButton"));
    FFontSample = Sample(fontBox, "FontColorSample");
    FBold = ToggleButton(fontBox, "Bold", QStringLiteral("B"));
    FItalic = ToggleButton(fontBox, "Italic", QStringLiteral("I"));
    FUnderline = ToggleButton(fontBox, "Underline", QStringLiteral("U"));
    QFont bold = FBold->font();
    bold.setBold(true);
    FBold->setFont(bold);
    QFont italic = FItalic->font();
    italic.setItalic(true);
    FItalic->setFont(italic);
    QFont underline = FUnderline->font();
    underline.setUnderline(true);
    FUnderline->setFont(underline);
    FAlignLeft = ToggleButton(fontBox, "AlignLeft", QStringLiteral("Left"));
    FAlignCenter = ToggleButton(fontBox, "AlignCenter", QStringLiteral("Center"));
    FAlignRight = ToggleButton(fontBox, "AlignRight", QStringLiteral("Right"));
    auto* alignment = new QButtonGroup(this);
    alignment->setExclusive(true);
    alignment->addButton(FAlignLeft);
    alignment->addButton(FAlignCenter);
    alignment->addButton(FAlignRight);
    auto* styles = new QHBoxLayout;
    styles->addWidget(fontColor);
    styles->addWidget(FFontSample);
    styles->addSpacing(12);
    styles->addWidget(FBold);
    styles->addWidget(FItalic);
    styles->addWidget(FUnderline);
    styles->addSpacing(12);
    styles->addWidget(FAlignLeft);
    styles->addWidget(FAlignCenter);
    styles->addWidget(FAlignRight);
    styles->addStretch();
    font->addLayout(styles, 1, 0, 1, 6);
    layout->addWidget(fontBox);

    // Moves of the cell cursor's row and column.
    auto* moveBox = new QGroupBox(QStringLiteral("Move"), this);
    auto* move = new QGridLayout(moveBox);
    FRowUp = ToggleButton(moveBox, "RowUp", QStringLiteral("&Up"));
    FRowDown = ToggleButton(moveBox, "RowDown", QStringLiteral("&Down"));
    FRowCount = SpinBox(moveBox, "RowMoveCount", 1, 50);
    FColumnLeft = ToggleButton(moveBox, "ColumnLeft", QStringLiteral("Le&ft"));
    FColumnRight = ToggleButton(moveBox, "ColumnRight", QStringLiteral("Righ&t"));
    FColumnCount = SpinBox(moveBox, "ColumnMoveCount", 1, 10);
    PairUp(FRowUp, FRowDown);
    PairUp(FColumnLeft, FColumnRight);
    auto* rowLabel = new QLabel(QStringLiteral("&Move current row:"), moveBox);
    rowLabel->setBuddy(FRowCount);
    auto* columnLabel = new QLabel(QStringLiteral("Mov&e current column:"), moveBox);
    columnLabel->setBuddy(FColumnCount);
    move->addWidget(rowLabel, 0, 0);
    move->addWidget(FRowUp, 0, 1);
    move->addWidget(FRowDown, 0, 2);
    move->addWidget(FRowCount, 0, 3);
    move->addWidget(columnLabel, 1, 0);
    move->addWidget(FColumnLeft, 1, 1);
    move->addWidget(FColumnRight, 1, 2);
    move->addWidget(FColumnCount, 1, 3);
    layout->addWidget(moveBox);

    FCenterHorizontally = new QCheckBox(QStringLiteral("Center Hori&zontally"), this);
    FCenterHorizontally->setObjectName(QStringLiteral("CenterHorizontally"));
    FCenterVertically = new QCheckBox(QStringLiteral("Center &Vertically"), this);
    FCenterVertically->setObjectName(QStringLiteral("CenterVertically"));
    FDefault = new QCheckBox(QStringLiteral("Default"), this);
    FDefault->setObjectName(QStringLiteral("Default"));
    auto* flags = new QHBoxLayout;
    flags->addWidget(FCenterHorizontally);
    flags->addWidget(FCenterVertically);
    flags->addStretch();
    flags->addWidget(FDefault);
    layout->addLayout(flags);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(lineColor, &QPushButton::clicked, this,
            [this] { ChooseColor(FLineColor, QStringLiteral("Line Color")); });
    connect(gridColor, &QPushButton::clicked, this,
            [this] { ChooseColor(FColor, QStringLiteral("Grid Color")); });
    connect(fontColor, &QPushButton::clicked, this,
            [this] { ChooseColor(FFontColor, QStringLiteral("Font Color")); });

    SetValues(TGridSettings());
}

void TGridForm::ChooseColor(quint32& color, const QString& title) {
    const std::optional<QColor> chosen = ColorChooser()(ColorFromRef(color), this, title);
    if (!chosen) return;
    color = ColorToRef(*chosen);
    ShowColors();
}

void TGridForm::ShowColors() {
    Paint(FLineSample, FLineColor);
    Paint(FGridSample, FColor);
    Paint(FFontSample, FFontColor);
}

TGridSettings TGridForm::Values() const {
    TGridSettings v;
    v.Rows = FRows->value();
    v.Columns = FColumns->value();
    v.LineWidth = FLineSize->value();
    v.LineColor = FLineColor;
    v.Color = FColor;
    v.FontName = FFontName->currentText();
    v.FontSize = FFontSize->value();
    v.FontColor = FFontColor;
    v.FontStyle = quint8((FBold->isChecked() ? 1 : 0) | (FItalic->isChecked() ? 2 : 0) |
                         (FUnderline->isChecked() ? 4 : 0) | FHiddenStyle);
    v.Alignment = FAlignLeft->isChecked() ? 0 : FAlignRight->isChecked() ? 1 : 2;
    v.CenterHorizontally = FCenterHorizontally->isChecked();
    v.CenterVertically = FCenterVertically->isChecked();
    v.RowMove = FRowUp->isChecked() ? -FRowCount->value()
                                    : (FRowDown->isChecked() ? FRowCount->value() : 0);
    v.ColumnMove = FColumnLeft->isChecked()
                       ? -FColumnCount->value()
                       : (FColumnRight->isChecked() ? FColumnCount->value() : 0);
    return v;
}

void TGridForm::SetValues(const TGridSettings& v) {
    FRows->setValue(v.Rows);
    FColumns->setValue(v.Columns);
    FLineSize->setValue(v.LineWidth);
    FLineColor = v.LineColor;
    FColor = v.Color;
    FFontColor = v.FontColor;
    FFontName->setEditText(v.FontName);
    FFontSize->setValue(v.FontSize);
    FBold->setChecked(v.FontStyle & 1);
    FItalic->setChecked(v.FontStyle & 2);
    FUnderline->setChecked(v.FontStyle & 4);
    FHiddenStyle = quint8(v.FontStyle & ~7);
    (v.Alignment == 0   ? FAlignLeft
     : v.Alignment == 1 ? FAlignRight
                        : FAlignCenter)
        ->setChecked(true);
    FCenterHorizontally->setChecked(v.CenterHorizontally);
    FCenterVertically->setChecked(v.CenterVertically);
    FRowUp->setChecked(v.RowMove < 0);
    FRowDown->setChecked(v.RowMove > 0);
    FRowCount->setValue(std::max(1, std::abs(v.RowMove)));
    FColumnLeft->setChecked(v.ColumnMove < 0);
    FColumnRight->setChecked(v.ColumnMove > 0);
    FColumnCount->setValue(std::max(1, std::abs(v.ColumnMove)));
    ShowColors();
}

bool TGridForm::SaveAsDefault() const {
    return FDefault->isChecked();
}

void TGridForm::SetSaveAsDefault(bool on) {
    FDefault->setChecked(on);
}

void TGridForm::LoadFrom(const TGridObject& grid) {
    const TGridTable& t = grid.Table();
    TGridSettings v;
    v.Rows = t.RowCount();
    v.Columns = t.ColumnCount();
    v.LineWidth = t.TrueLineWidth;
    v.LineColor = t.LineColor;
    v.Color = t.Color;
    v.FontName = t.FontName;
    v.FontSize = t.TrueFontSize;
    v.FontColor = t.FontColor;
    v.FontStyle = t.FontStyle;
    v.Alignment = t.Alignment;
    v.CenterHorizontally = grid.CenterHorizontally;
    v.CenterVertically = grid.CenterVertically;
    SetValues(v);
    FDefault->setChecked(false);
}

void TGridForm::ApplyTo(TGridObject& grid) const {
    const TGridSettings v = Values();
    TShell& shell = AppContext().Shell();
    shell.RepaintObject(grid);
    TGridTable& t = grid.Table();
    t.SetSize(v.Columns, v.Rows);
    t.TrueLineWidth = v.LineWidth;
    t.LineColor = v.LineColor;
    t.Color = v.Color;
    t.FontName = v.FontName;
    t.TrueFontSize = v.FontSize;
    t.FontColor = v.FontColor;
    t.FontStyle = v.FontStyle;
    grid.CenterHorizontally = v.CenterHorizontally;
    grid.CenterVertically = v.CenterVertically;
    t.Alignment = v.Alignment;
    if (v.RowMove != 0 && t.MoveRow(t.CurrentRow, t.CurrentRow + v.RowMove))
        t.CurrentRow += v.RowMove;
    if (v.ColumnMove != 0 && t.MoveColumn(t.CurrentColumn, t.CurrentColumn + v.ColumnMove))
        t.CurrentColumn += v.ColumnMove;
    t.UpdateTrueSize();
    grid.Realign();
    t.Changed();
    shell.RepaintObject(grid);
    if (TCard* card = grid.OwnerCard()) card->SetDocumentModified(true);
}

void TGridForm::StoreDefaults() const {
    const TGridSettings v = Values();
    TSettingsStore& s = AppContext().Settings();
    s.WriteBool(DefaultSection, QStringLiteral("Center Horizontally"), v.CenterHorizontally);
    s.WriteBool(DefaultSection, QStringLiteral("Center Vertically"), v.CenterVertically);
    s.WriteInteger(DefaultSection, QStringLiteral("Color"), int(v.Color));
    s.WriteInteger(DefaultSection, QStringLiteral("Line Color"), int(v.LineColor));
    s.WriteInteger(DefaultSection, QStringLiteral("Line Width"), v.LineWidth);
    s.WriteInteger(DefaultSection, QStringLiteral("Columns"), v.Columns);
    s.WriteInteger(DefaultSection, QStringLiteral("Rows"), v.Rows);
    s.WriteString(DefaultSection, QStringLiteral("Font Name"), v.FontName);
    s.WriteInteger(DefaultSection, QStringLiteral("Font Size"), v.FontSize);
    s.WriteInteger(DefaultSection, QStringLiteral("Font Color"), int(v.FontColor));
    s.WriteInteger(DefaultSection, QStringLiteral("Font Style"), v.FontStyle);
    s.WriteInteger(DefaultSection, QStringLiteral("Justification"), v.Alignment);
}

bool TGridForm::Run(TGridObject& grid, QWidget* parent) {
    TGridForm form(parent);
    form.LoadFrom(grid);
    if (form.exec() != QDialog::Accepted) return false;
    form.ApplyTo(grid);
    if (form.SaveAsDefault()) form.StoreDefaults();
    return true;
}

void RegisterGridDialog() {
    RegisterPropertyDialog(TGridObject::StoredName, [](TCardObject& object) {
        auto* grid = dynamic_cast<TGridObject*>(&object);
        return grid && TGridForm::Run(*grid, QApplication::activeWindow());
    });
}
