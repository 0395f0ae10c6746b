#include "app/AboutBox.h"

#include "app/AppIcon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About the Program"));
    FIcon = new QLabel(this);
    FIcon->setObjectName(QStringLiteral("ProgramIcon"));
    FIcon->setPixmap(ApplicationIcon().pixmap(64, 64));
    FIcon->setAlignment(Qt::AlignTop);
    auto* title = new QLabel(QStringLiteral("QDX"), this);
    title->setObjectName(QStringLiteral("ProductName"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    title->setFont(titleFont);
    FVersion = new QLabel(QStringLiteral("Version ") + QStringLiteral(QDX_VERSION), this);
    FVersion->setObjectName(QStringLiteral("Version"));
    auto* credits = new QLabel(
        QStringLiteral("Desktop publishing for cards, newsletters, flyers, certificates and "
                       "forms. Made with Qt, pxlib, shapelib, libcsv, libebook, muparser, libwmf "
                       "and libemf2svg."),
        this);
    credits->setObjectName(QStringLiteral("Credits"));
    credits->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    FClose = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::AcceptRole);
    FClose->setObjectName(QStringLiteral("CloseButton"));
    FClose->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(FVersion);
    text->addSpacing(8);
    text->addWidget(credits);
    auto* row = new QHBoxLayout;
    row->addWidget(FIcon);
    row->addSpacing(12);
    row->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedWidth(380);
}
