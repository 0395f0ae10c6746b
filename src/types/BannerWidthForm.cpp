#include "types/BannerWidthForm.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "storage/DialogHelp.h"
#include "types/CardType.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

TBannerWidthForm::TBannerWidthForm(TCard& card, QWidget* parent)
    : QDialog(parent), FCard(card), FMetric(AppContext().Metric) {
    setObjectName(QStringLiteral("BannerWidthForm"));
    setWindowTitle(QStringLiteral("Change Banner Width"));

    FWidthLabel = new QLabel(FMetric ? QStringLiteral("&New width (centimeters):")
                                     : QStringLiteral("&New width (inches):"),
                             this);
    FWidthLabel->setObjectName(QStringLiteral("WidthLabel"));
    FWidthEdit = new QDoubleSpinBox(this);
    FWidthEdit->setObjectName(QStringLiteral("WidthEdit"));
    FWidthEdit->setDecimals(2);
    FWidthLabel->setBuddy(FWidthEdit);

    // The limits hold for the length, whatever unit shows it. A banner of one sheet is shorter
    // than the usual minimum; it may keep its width.
    const double current = card.SheetGeometry.LabelWidth / 100.0;
    const double toField = FMetric ? InchesToCentimetres(1) : 1;
    const double largest = std::numeric_limits<qint16>::max() / 100.0;
    FWidthEdit->setRange(std::min(MinimumInches, current) * toField,
                         std::min(largest, std::max(MaximumInches, current)) * toField);
    FWidthEdit->setValue(current * toField);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpButton"));

    auto* form = new QFormLayout;
    form->addRow(FWidthLabel, FWidthEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });
}

double TBannerWidthForm::Width() const {
    return FWidthEdit->value();
}

void TBannerWidthForm::SetWidth(double width) {
    FWidthEdit->setValue(width);
}

int TBannerWidthForm::ChosenWidth() const {
    const double value = FWidthEdit->value();
    return InchesToUnits(FMetric ? CentimetresToInches(value) : value);
}

void TBannerWidthForm::accept() {
    const int width = ChosenWidth();
    if (width != FCard.SheetGeometry.LabelWidth) {
        FCard.SheetGeometry.LabelWidth =
            static_cast<qint16>(std::min<int>(width, std::numeric_limits<qint16>::max()));
        FCard.LayoutAllPages();
        FCard.SetDocumentModified(true);
    }
    QDialog::accept();
}

bool TBannerWidthForm::Run(TCard& card, QWidget* parent) {
    TBannerWidthForm form(card, parent);
    return form.exec() == Accepted;
}
