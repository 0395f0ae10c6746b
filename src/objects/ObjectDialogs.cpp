#include "objects/ObjectDialogs.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/PropertyDialogs.h"
#include "objects/Comb.h"
#include "objects/CombForm.h"
#include "objects/Ellipse.h"
#include "objects/FieldForm.h"
#include "objects/Line.h"
#include "objects/LineForm.h"
#include "objects/RichText.h"
#include "objects/RoundedRectangle.h"
#include "objects/ShapeForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// "Text Object Properties": centring, a transparent background, and the three as defaults.
bool RunTextProperties(TRichTextObject& frame) {
    QDialog dialog(ObjectDialogParent());
    dialog.setObjectName(QStringLiteral("TextPropertiesForm"));
    dialog.setWindowTitle(QStringLiteral("Text Object Properties"));
    auto* layout = new QVBoxLayout(&dialog);
    const auto check = [&](const QString& caption, const char* name, bool value) {
        auto* box = new QCheckBox(caption, &dialog);
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(value);
        layout->addWidget(box);
        return box;
    };
    QCheckBox* horizontal =
        check(QStringLiteral("Center Hori&zontally"), "CenterHorizontally", frame.CenterHorizontally);
    QCheckBox* vertical =
        check(QStringLiteral("Center &Vertically"), "CenterVertically", frame.CenterVertically);
    QCheckBox* transparent =
        check(QStringLiteral("&Transparent Background"), "Transparent", frame.Transparent);
    QCheckBox* defaults = check(QStringLiteral("Default"), "DefaultCheck", false);
    layout->addWidget(AddOkCancelButtons(dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    ApplyObjectEdit(frame, [&] {
        frame.CenterHorizontally = horizontal->isChecked();
        frame.CenterVertically = vertical->isChecked();
        frame.SetTransparent(transparent->isChecked());
    });
    if (defaults->isChecked()) {
        TSettingsStore& settings = AppContext().Settings();
        const QString section = QStringLiteral("Default Text");
        settings.WriteBool(section, QStringLiteral("Center Horizontally"), horizontal->isChecked());
        settings.WriteBool(section, QStringLiteral("Center Vertically"), vertical->isChecked());
        settings.WriteBool(section, QStringLiteral("Transparent"), transparent->isChecked());
    }
    return true;
}

} // namespace

void RegisterObjectDialogs() {
    const TPropertyDialog shape = [](TCardObject& object) {
        auto* shapeObject = dynamic_cast<TShapeObject*>(&object);
        return shapeObject && TShapeForm::Run(*shapeObject, ObjectDialogParent());
    };
    RegisterPropertyDialog(TRectangleObject::StoredName, shape);
    RegisterPropertyDialog(TRRectangleObject::StoredName, shape);
    RegisterPropertyDialog(TEllipseObject::StoredName, shape);
    RegisterPropertyDialog(TFieldObject::StoredName, [](TCardObject& object) {
        auto* field = dynamic_cast<TFieldObject*>(&object);
        return field && TFieldForm::Run(*field, ObjectDialogParent());
    });
    RegisterPropertyDialog(TLineObject::StoredName, [](TCardObject& object) {
        auto* line = dynamic_cast<TLineObject*>(&object);
        return line && TLineForm::Run(*line, ObjectDialogParent());
    });
    RegisterPropertyDialog(TRichTextObject::StoredName, [](TCardObject& object) {
        auto* frame = dynamic_cast<TRichTextObject*>(&object);
        return frame && RunTextProperties(*frame);
    });
    RegisterPropertyDialog(TCombObject::StoredName, [](TCardObject& object) {
        auto* comb = dynamic_cast<TCombObject*>(&object);
        return comb && TCombForm::Run(*comb, ObjectDialogParent());
    });
}

void ApplyObjectEdit(TCardObject& object, const std::function<void()>& store) {
    TShell& shell = AppContext().Shell();
    // Before and after: the object may shrink, move or lose a wide border.
    shell.RepaintObject(object);
    store();
    object.Realign();
    shell.RepaintObject(object);
    if (TCard* card = object.OwnerCard()) card->SetDocumentModified(true);
}

QDialogButtonBox* AddOkCancelButtons(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->setObjectName(QStringLiteral("Buttons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

QGroupBox* NewRadioGroup(QDialog& dialog, const QString& title, QButtonGroup*& group,
                         const char* const captions[], const char* const names[], int count) {
    auto* box = new QGroupBox(title, &dialog);
    box->setObjectName(QStringLiteral("StyleGroup"));
    group = new QButtonGroup(&dialog);
    auto* layout = new QVBoxLayout(box);
    for (int id = 0; id < count; ++id) {
        auto* button = new QRadioButton(QString::fromLatin1(captions[id]), box);
        button->setObjectName(QString::fromLatin1(names[id]));
        group->addButton(button, id);
        layout->addWidget(button);
    }
    return box;
}

QWidget* ObjectDialogParent() {
    return QApplication::activeWindow();
}
