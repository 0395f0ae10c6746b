#pragma once

#include "storage/DialogHelp.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

// OK, Cancel and Help for a web dialog: OK accepts, Cancel rejects, Help opens the guide at
// the dialog's topic.
inline QDialogButtonBox* AddWebDialogButtons(QDialog& dialog, int helpContext) {
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog,
                     [helpContext] { ShowDialogHelp(helpContext); });
    return buttons;
}
