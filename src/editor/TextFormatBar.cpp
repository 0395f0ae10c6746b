#include "editor/TextFormatBar.h"

#include "document/AppContext.h"
#include "editor/FocusTextControl.h"
#include "objects/RichText.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextList>

#include <cmath>

TTextFormatBar::TTextFormatBar(QWidget* parent) : QToolBar(QStringLiteral("Text Format"), parent) {
    setObjectName(QStringLiteral("TextFormat"));
    FFont = new QFontComboBox(this);
    FFont->setObjectName(QStringLiteral("FontName"));
    FFont->setToolTip(QStringLiteral("Font"));
    addWidget(FFont);
    FSize = new QComboBox(this);
    FSize->setObjectName(QStringLiteral("FontSize"));
    FSize->setEditable(true);
    FSize->setToolTip(QStringLiteral("Font size"));
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        FSize->addItem(QString::number(size));
    addWidget(FSize);
    FBold = AddToggle(QStringLiteral("BBold"), QStringLiteral("B"), QStringLiteral("Bold"));
    FItalic = AddToggle(QStringLiteral("BItalic"), QStringLiteral("I"), QStringLiteral("Italic"));
    FUnderline =
        AddToggle(QStringLiteral("BUnderline"), QStringLiteral("U"), QStringLiteral("Underline"));
    FTextColor = addAction(QStringLiteral("Text Color"));
    FTextColor->setObjectName(QStringLiteral("BTextColor"));
    FBackgroundColor = addAction(QStringLiteral("Background Color"));
    FBackgroundColor->setObjectName(QStringLiteral("BBackgroundColor"));
    addSeparator();
    const char* const alignNames[] = {"BAlignLeft", "BAlignCenter", "BAlignRight", "BJustify"};
    const char* const alignHints[] = {"Align left", "Center", "Align right", "Justify"};
    const char* const alignCaptions[] = {"Left", "Center", "Right", "Justify"};
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                        Qt::AlignJustify};
    for (int i = 0; i < 4; ++i) {
        FAlign[i] = AddToggle(QString::fromLatin1(alignNames[i]),
                              QString::fromLatin1(alignCaptions[i]),
                              QString::fromLatin1(alignHints[i]));
        const Qt::Alignment alignment = alignments[i];
        connect(FAlign[i], &QAction::triggered, this, [this, alignment] {
            if (FRefreshing) return;
            if (TFocusTextControl* editor = TFocusTextControl::Current()) {
                QTextBlockFormat format;
                format.setAlignment(alignment);
                editor->MergeBlockFormat(format);
                editor->setFocus();
            }
        });
    }
    addSeparator();
    FBullets = AddToggle(QStringLiteral("BBullets"), QStringLiteral("Bullets"),
                         QStringLiteral("Bullets"));
    FNumbers = AddToggle(QStringLiteral("BNumbering"), QStringLiteral("Numbering"),
                         QStringLiteral("Numbering"));
    addWidget(new QLabel(QStringLiteral(" Space after "), this));
    FSpacing = new QSpinBox(this);
    FSpacing->setObjectName(QStringLiteral("ParagraphSpacing"));
    FSpacing->setRange(0, 72);
    FSpacing->setSuffix(QStringLiteral(" pt"));
    FSpacing->setToolTip(QStringLiteral("Space after each paragraph"));
    addWidget(FSpacing);
    ConnectFormats();

    FRulerBar = new QToolBar(QStringLiteral("Text Ruler"), parent);
    FRulerBar->setObjectName(QStringLiteral("TextRulerBar"));
    FRuler = new TTextRuler(FRulerBar);
    FRulerBar->addWidget(FRuler);
    connect(&TTextEditorSignals::Instance(), &TTextEditorSignals::Changed, this,
            &TTextFormatBar::Refresh);
    Refresh();
}

// The bar's controls apply their formats to the editor that is open.
void TTextFormatBar::ConnectFormats() {
    const auto withEditor = [this](const std::function<void(TFocusTextControl&)>& action) {
        if (FRefreshing) return;
        if (TFocusTextControl* editor = TFocusTextControl::Current()) {
            action(*editor);
            editor->setFocus();
        }
    };
    connect(FFont, &QFontComboBox::currentFontChanged, this, [withEditor](const QFont& font) {
        withEditor([&](TFocusTextControl& editor) {
            QTextCharFormat format;
            format.setFontFamilies({font.family()});
            editor.MergeCharFormat(format);
        });
    });
    connect(FSize, &QComboBox::textActivated, this, [withEditor](const QString& text) {
        const double size = text.toDouble();
        if (size <= 0 || size > 1638) return;
        withEditor([&](TFocusTextControl& editor) {
            QTextCharFormat format;
            format.setFontPointSize(size);
            editor.MergeCharFormat(format);
        });
    });
    connect(FBold, &QAction::triggered, this, [withEditor](bool on) {
        withEditor([&](TFocusTextControl& editor) {
            QTextCharFormat format;
            format.setFontWeight(on ? QFont::Bold : QFont::Normal);
            editor.MergeCharFormat(format);
        });
    });
    connect(FItalic, &QAction::triggered, this, [withEditor](bool on) {
        withEditor([&](TFocusTextControl& editor) {
            QTextCharFormat format;
            format.setFontItalic(on);
            editor.MergeCharFormat(format);
        });
    });
    connect(FUnderline, &QAction::triggered, this, [withEditor](bool on) {
        withEditor([&](TFocusTextControl& editor) {
            QTextCharFormat format;
            format.setFontUnderline(on);
            editor.MergeCharFormat(format);
        });
    });
    connect(FTextColor, &QAction::triggered, this, [this] { PickColor(false); });
    connect(FBackgroundColor, &QAction::triggered, this, [this] { PickColor(true); });
    connect(FBullets, &QAction::triggered, this, [withEditor] {
        withEditor([](TFocusTextControl& editor) { editor.ToggleList(QTextListFormat::ListDisc); });
    });
    connect(FNumbers, &QAction::triggered, this, [withEditor] {
        withEditor(
            [](TFocusTextControl& editor) { editor.ToggleList(QTextListFormat::ListDecimal); });
    });
    connect(FSpacing, &QSpinBox::valueChanged, this, [withEditor](int points) {
        withEditor([&](TFocusTextControl& editor) {
            QTextBlockFormat format;
            format.setBottomMargin(points);
            editor.MergeBlockFormat(format);
        });
    });
}

QAction* TTextFormatBar::AddToggle(const QString& name, const QString& caption,
                                   const QString& hint) {
    QAction* action = addAction(caption);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setCheckable(true);
    return action;
}

// The colour dialog starts from the caret's colour (black text, white background), applies
// the choice to the selection and hands the keyboard back to the editor.
void TTextFormatBar::PickColor(bool background) {
    TFocusTextControl* editor = TFocusTextControl::Current();
    if (!editor) return;
    const QTextCharFormat now = editor->Cursor().charFormat();
    QColor start = background ? Qt::white : Qt::black;
    if (background && now.hasProperty(QTextFormat::BackgroundBrush))
        start = now.background().color();
    if (!background && now.hasProperty(QTextFormat::ForegroundBrush))
        start = now.foreground().color();
    const QColor chosen = QColorDialog::getColor(start, window());
    if (!chosen.isValid() || !TFocusTextControl::Current()) return;
    QTextCharFormat format;
    if (background)
        format.setBackground(chosen);
    else
        format.setForeground(chosen);
    editor->MergeCharFormat(format);
    editor->setFocus();
}

void TTextFormatBar::Refresh() {
    TFocusTextControl* editor = TFocusTextControl::Current();
    const bool shown = editor != nullptr;
    setVisible(shown);
    setEnabled(shown);
    FRulerBar->setVisible(shown);
    FTextColor->setEnabled(shown);
    FBackgroundColor->setEnabled(shown);
    if (!shown) return;
    FRefreshing = true;
    const QTextCursor& cursor = editor->Cursor();
    const QTextCharFormat format = cursor.charFormat();
    const QFont font = format.font();
    const QString family =
        format.fontFamilies().toStringList().value(0, editor->Frame()->Story().defaultFont().family());
    FFont->setCurrentFont(QFont(family));
    const double size = format.fontPointSize() > 0 ? format.fontPointSize()
                                                   : editor->Frame()->Story().defaultFont().pointSizeF();
    FSize->setCurrentText(QString::number(size));
    FBold->setChecked(format.fontWeight() >= QFont::Bold);
    FItalic->setChecked(format.fontItalic());
    FUnderline->setChecked(format.fontUnderline());
    const QTextBlockFormat block = cursor.blockFormat();
    const Qt::Alignment align = block.alignment() & Qt::AlignHorizontal_Mask;
    FAlign[0]->setChecked(align == Qt::AlignLeft || align == Qt::AlignLeading || !align);
    FAlign[1]->setChecked(align == Qt::AlignHCenter);
    FAlign[2]->setChecked(align == Qt::AlignRight || align == Qt::AlignTrailing);
    FAlign[3]->setChecked(align == Qt::AlignJustify);
    QTextList* list = cursor.currentList();
    FBullets->setChecked(list && list->format().style() == QTextListFormat::ListDisc);
    FNumbers->setChecked(list && list->format().style() == QTextListFormat::ListDecimal);
    FSpacing->setValue(int(std::lround(block.bottomMargin())));
    FRefreshing = false;
    FRuler->Refresh();
}
