#include "document/PropertyDialogs.h"

#include "document/CardObject.h"

#include <QByteArray>
#include <QHash>

namespace {
QHash<QByteArray, TPropertyDialog>& Dialogs() {
    static QHash<QByteArray, TPropertyDialog> dialogs;
    return dialogs;
}
} // namespace

void RegisterPropertyDialog(const char* className, TPropertyDialog dialog) {
    Dialogs().insert(QByteArray(className), std::move(dialog));
}

const TPropertyDialog* PropertyDialogFor(const TCardObject& object) {
    auto found = Dialogs().constFind(QByteArray(object.ClassName()));
    return found == Dialogs().constEnd() ? nullptr : &found.value();
}
