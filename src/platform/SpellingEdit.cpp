#include "platform/SpellingEdit.h"

#include "platform/SpellHighlighter.h"
#include "storage/Exception.h"

#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>

#include <memory>

namespace {

// Puts the misspelling's replacements and "Add to Dictionary" on top of the menu.
void AddSuggestions(QMenu& menu, QPlainTextEdit& edit, TSpellChecker& checker,
                    TSpellHighlighter& highlighter, const TMisspelling& word) {
    QAction* first = menu.actions().isEmpty() ? nullptr : menu.actions().first();
    auto add = [&](QAction* action) { menu.insertAction(first, action); };
    if (word.Suggestions.isEmpty()) {
        auto* none = new QAction(QStringLiteral("(no suggestions)"), &menu);
        none->setEnabled(false);
        add(none);
    }
    for (const QString& suggestion : word.Suggestions) {
        auto* action = new QAction(suggestion, &menu);
        QObject::connect(action, &QAction::triggered, &edit, [&edit, word, suggestion] {
            ReplaceMisspelling(*edit.document(), word, suggestion);
        });
        add(action);
    }
    auto* keep = new QAction(QStringLiteral("Add to Dictionary"), &menu);
    QObject::connect(keep, &QAction::triggered, &edit, [&edit, &checker, &highlighter, word] {
        try {
            checker.AddWord(word.Word);
        } catch (const Exception& error) {
            QMessageBox::warning(&edit, QStringLiteral("Spelling"), error.Message());
        }
        highlighter.rehighlight();
    });
    add(keep);
    menu.insertSeparator(first);
}

} // namespace

void AttachSpellChecking(QPlainTextEdit& edit, TSpellChecker& checker) {
    if (!checker.Available()) return;
    auto* highlighter = new TSpellHighlighter(edit.document(), checker);
    edit.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&edit, &QWidget::customContextMenuRequested, &edit,
                     [&edit, &checker, highlighter](const QPoint& at) {
                         std::unique_ptr<QMenu> menu(edit.createStandardContextMenu(at));
                         const int position = edit.cursorForPosition(at).position();
                         const TMisspelling word =
                             MisspellingAt(*edit.document(), position, checker);
                         if (!word.IsEmpty())
                             AddSuggestions(*menu, edit, checker, *highlighter, word);
                         menu->exec(edit.viewport()->mapToGlobal(at));
                     });
}
