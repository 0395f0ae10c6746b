#include "objects/FieldChoosers.h"

#include "document/Palette.h"
#include "objects/ColorGrid.h"
#include "objects/ObjectDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

QIcon Swatch(const QColor& color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

QString ColorName(quint32 colorRef) {
    for (int index = 0; index < PaletteSize; ++index)
        if (PaletteColorRef(index) == colorRef) return PaletteColorName(index);
    return ColorFromRef(colorRef).name().toUpper();
}

bool ChooseFontWithColor(TFontSpec& font, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FontForm"));
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* chooser = new QFontDialog(&dialog);
    chooser->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    chooser->setWindowFlags(Qt::Widget);
    chooser->setSizeGripEnabled(false);
    QFont current(font.Name);
    current.setPointSize(std::max(1, std::abs(font.Size)));
    current.setBold(font.Bold);
    current.setItalic(font.Italic);
    current.setUnderline(font.Underline);
    current.setStrikeOut(font.StrikeOut);
    chooser->setCurrentFont(current);

    auto* colors = new QComboBox(&dialog);
    colors->setObjectName(QStringLiteral("FontColorCombo"));
    for (int index = 0; index < PaletteSize; ++index)
        colors->addItem(Swatch(PaletteColor(index)), PaletteColorName(index),
                        PaletteColorRef(index));
    int selected = colors->findData(font.Color);
    if (selected < 0) {
        colors->addItem(Swatch(ColorFromRef(font.Color)), ColorName(font.Color), font.Color);
        selected = colors->count() - 1;
    }
    colors->setCurrentIndex(selected);
    auto* colorLabel = new QLabel(QStringLiteral("Colo&r:"), &dialog);
    colorLabel->setBuddy(colors);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colors);
    colorRow->addStretch();
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(chooser);
    layout->addLayout(colorRow);
    layout->addWidget(AddOkCancelButtons(dialog));
    chooser->setVisible(true);

    if (dialog.exec() != QDialog::Accepted) return false;
    const QFont chosen = chooser->currentFont();
    font.Name = chosen.family();
    if (chosen.pointSize() > 0) font.Size = chosen.pointSize();
    font.Bold = chosen.bold();
    font.Italic = chosen.italic();
    font.Underline = chosen.underline();
    font.StrikeOut = chosen.strikeOut();
    font.Color = colors->currentData().toUInt();
    return true;
}

QString ChooseFieldObjectName(const QStringList& names, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("InsertFieldForm"));
    dialog.setWindowTitle(QStringLiteral("Insert Field Object"));
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("FieldList"));
    list->addItems(names);
    if (!names.isEmpty()) list->setCurrentRow(0);
    QDialogButtonBox* buttons = AddOkCancelButtons(dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(list->currentItem() != nullptr);
    QObject::connect(list, &QListWidget::currentItemChanged, ok,
                     [ok](QListWidgetItem* item) { ok->setEnabled(item != nullptr); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem()) return QString();
    return list->currentItem()->text();
}
