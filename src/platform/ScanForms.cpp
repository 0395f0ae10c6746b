#include "platform/ScanForms.h"

#include "platform/Scanner.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

TScanSourceForm::TScanSourceForm(TScanner& scanner, TSettingsStore& settings, QWidget* parent)
    : QDialog(parent), FScanner(scanner), FSettings(settings) {
    setObjectName(QStringLiteral("ScanSourceForm"));
    setWindowTitle(QStringLiteral("Select Source"));
    FSources = new QListWidget(this);
    FSources->setObjectName(QStringLiteral("Sources"));
    // Devices come and go: the list is made anew each time.
    FScanner.Refresh();
    const QString chosen = ReadScanSource(settings);
    for (const TScanDevice& device : FScanner.Devices()) {
        auto* item = new QListWidgetItem(device.Label(), FSources);
        item->setData(Qt::UserRole, device.Name);
        if (device.Name == chosen) FSources->setCurrentItem(item);
    }
    if (!FSources->currentItem() && FSources->count() > 0) FSources->setCurrentRow(0);
    auto* buttons = OkCancel(this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(FSources->count() > 0);
    connect(FSources, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* label = new QLabel(FSources->count() > 0 ? QStringLiteral("&Sources:")
                                                    : QStringLiteral("No scanner or camera was found."),
                             this);
    label->setBuddy(FSources);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(FSources);
    layout->addWidget(buttons);
}

void TScanSourceForm::accept() {
    if (QListWidgetItem* item = FSources->currentItem())
        WriteScanSource(FSettings, item->data(Qt::UserRole).toString());
    QDialog::accept();
}

TScanSettingsForm::TScanSettingsForm(TSettingsStore& settings, QWidget* parent)
    : QDialog(parent), FSettings(settings) {
    setObjectName(QStringLiteral("ScanSettingsForm"));
    setWindowTitle(QStringLiteral("Scan Settings"));
    const TScanOptions options = ReadScanOptions(settings);

    auto* kind = new QGroupBox(QStringLiteral("Picture:"), this);
    FColor = new QRadioButton(QStringLiteral("&Colour"), kind);
    FColor->setObjectName(QStringLiteral("Color"));
    FGray = new QRadioButton(QStringLiteral("&Gray"), kind);
    FGray->setObjectName(QStringLiteral("Gray"));
    (options.Color ? FColor : FGray)->setChecked(true);
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(FColor);
    kindLayout->addWidget(FGray);

    FResolution = new QSpinBox(this);
    FResolution->setObjectName(QStringLiteral("Resolution"));
    FResolution->setRange(TScanOptions::MinResolution, TScanOptions::MaxResolution);
    FResolution->setSuffix(QStringLiteral(" dpi"));
    FResolution->setValue(options.Resolution);
    auto* form = new QFormLayout;
    auto* label = new QLabel(QStringLiteral("&Resolution:"), this);
    label->setBuddy(FResolution);
    form->addRow(label, FResolution);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kind);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

void TScanSettingsForm::accept() {
    WriteScanOptions(FSettings, TScanOptions{FColor->isChecked(), FResolution->value()});
    QDialog::accept();
}
