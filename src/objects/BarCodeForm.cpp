#include "objects/BarCodeForm.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/PropertyDialogs.h"
#include "document/Units.h"
#include "objects/BarCode.h"
#include "objects/ObjectDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

constexpr QSize SampleArea(300, 96);

// Bytes outside printable ASCII (the Code 128 start and function characters) as "#208".
QString Readable(const QString& data) {
    QString out;
    for (const QChar c : data)
        out += c.unicode() >= 32 && c.unicode() < 127 ? QString(c)
                                                      : QStringLiteral("#%1").arg(c.unicode());
    return out;
}

QCheckBox* NewCheck(QDialog& dialog, const char* caption, const char* name) {
    auto* check = new QCheckBox(QString::fromLatin1(caption), &dialog);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

} // namespace

TBarCodeForm::TBarCodeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BarCodeForm"));
    setWindowTitle(QStringLiteral("Bar Code Object Properties"));

    FTypes = new QListWidget(this);
    FTypes->setObjectName(QStringLiteral("TypeList"));
    for (int type = 0; type < BarCodeTypeCount; ++type)
        FTypes->addItem(TBarCodeObject::TypeCaption(type));
    FTypes->setFixedHeight(FTypes->sizeHintForRow(0) * BarCodeTypeCount + 2 * FTypes->frameWidth());
    FTypes->setFixedWidth(FTypes->sizeHintForColumn(0) + 24);
    auto* typeLabel = new QLabel(QStringLiteral("&Type:"), this);
    typeLabel->setBuddy(FTypes);

    FSampleLabel = new QLabel(this);
    FSampleLabel->setObjectName(QStringLiteral("SampleLabel"));
    FSamplePicture = new QLabel(this);
    FSamplePicture->setObjectName(QStringLiteral("SamplePicture"));
    FSamplePicture->setFixedSize(SampleArea);
    FSamplePicture->setAlignment(Qt::AlignCenter);
    FSamplePicture->setFrameShape(QFrame::StyledPanel);
    FSamplePicture->setAutoFillBackground(true);
    QPalette white = FSamplePicture->palette();
    white.setColor(QPalette::Window, Qt::white);
    FSamplePicture->setPalette(white);

    FData = new QLineEdit(this);
    FData->setObjectName(QStringLiteral("DataEdit"));
    FData->setToolTip(QStringLiteral("Code 128 chooses its character sets itself; data that "
                                     "starts with character 208, 209 or 210 (\u00D0, \u00D1 or "
                                     "\u00D2) starts set A, B or C"));
    FDataProblem = new QLabel(this);
    FDataProblem->setObjectName(QStringLiteral("DataProblemLabel"));
    FDataProblem->setWordWrap(true);
    // Room for two lines from the start, so that the dialog keeps its size as reasons come
    // and go.
    FDataProblem->setMinimumHeight(2 * FDataProblem->fontMetrics().lineSpacing());
    FDataProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette warning = FDataProblem->palette();
    warning.setColor(QPalette::WindowText, Qt::darkRed);
    FDataProblem->setPalette(warning);
    FDataLabel = new QLabel(QStringLiteral("&Data:"), this);
    FDataLabel->setObjectName(QStringLiteral("DataLabel"));
    FDataLabel->setBuddy(FData);
    FUseDatabaseField = NewCheck(*this, "&Use Database Field", "UseDatabaseFieldCheck");
    FFields = new QComboBox(this);
    FFields->setObjectName(QStringLiteral("FieldList"));
    FFields->setMinimumContentsLength(16);
    FFieldLabel = new QLabel(QStringLiteral("Database &Field:"), this);
    FFieldLabel->setObjectName(QStringLiteral("FieldLabel"));
    FFieldLabel->setBuddy(FFields);
    FShowText = NewCheck(*this, "&Show Text", "ShowTextCheck");
    FCenterHorizontally = NewCheck(*this, "Center Hori&zontally", "CenterHorizontallyCheck");
    FCenterVertically = NewCheck(*this, "Center &Vertically", "CenterVerticallyCheck");
    FDefault = NewCheck(*this, "Default", "DefaultCheck");
    FDefault->setToolTip(QStringLiteral("Use these settings for new bar codes"));

    auto* typeColumn = new QVBoxLayout;
    typeColumn->addWidget(typeLabel);
    typeColumn->addWidget(FTypes);
    typeColumn->addStretch();
    auto* sampleColumn = new QVBoxLayout;
    sampleColumn->addWidget(FSampleLabel);
    sampleColumn->addWidget(FSamplePicture);
    sampleColumn->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(typeColumn);
    top->addSpacing(12);
    top->addLayout(sampleColumn);

    auto* data = new QGridLayout;
    data->addWidget(FDataLabel, 0, 0);
    data->addWidget(FData, 0, 1);
    data->addWidget(FDataProblem, 1, 1);
    data->addWidget(FUseDatabaseField, 2, 0, 1, 2);
    data->addWidget(FFieldLabel, 3, 0);
    data->addWidget(FFields, 3, 1);
    data->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(data);
    layout->addSpacing(6);
    layout->addWidget(FShowText);
    layout->addWidget(FCenterHorizontally);
    layout->addWidget(FCenterVertically);
    layout->addWidget(FDefault);
    layout->addWidget(AddOkCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FTypes, &QListWidget::currentRowChanged, this, [this] {
        ShowSample();
        ShowDataProblem();
    });
    connect(FData, &QLineEdit::textChanged, this, [this] { ShowDataProblem(); });
    connect(FShowText, &QCheckBox::toggled, this, [this] { ShowSample(); });
    connect(FUseDatabaseField, &QCheckBox::toggled, this, [this] { ApplyDataRule(); });
    FShowText->setChecked(true);
    SetBarCodeType(bcUPC_A);
    SetDataSource(nullptr);
}

int TBarCodeForm::BarCodeType() const {
    return std::max(0, FTypes->currentRow());
}

void TBarCodeForm::SetBarCodeType(int type) {
    FTypes->setCurrentRow(type >= 0 && type < BarCodeTypeCount ? type : 0);
    ShowSample();
    ShowDataProblem();
}

bool TBarCodeForm::UseDatabaseField() const {
    return FUseDatabaseField->isChecked();
}

QString TBarCodeForm::CodeData() const {
    return UseDatabaseField() ? FFields->currentText() : FData->text();
}

void TBarCodeForm::ShowSample() {
    const int type = BarCodeType();
    FSampleLabel->setText(
        QStringLiteral("Sample: %1").arg(Readable(TBarCodeObject::SampleData(type))));
    TBarCodeEngine engine;
    QPixmap picture;
    if (TBarCodeObject::PrepareEngine(engine, type, TBarCodeObject::SampleData(type),
                                      FShowText->isChecked())) {
        const int dpi = ScreenPixelsPerInch();
        QImage image(engine.Size(dpi).boundedTo(SampleArea - QSize(4, 4)), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        engine.Draw(painter, QPoint(0, 0), dpi);
        painter.end();
        picture = QPixmap::fromImage(image);
    }
    FSamplePicture->setPixmap(picture);
}

void TBarCodeForm::ShowDataProblem() {
    // A field's value changes from record to record: only typed data can be judged here.
    FDataProblem->setText(
        UseDatabaseField() ? QString() : TBarCodeObject::DataProblem(BarCodeType(), FData->text()));
}

void TBarCodeForm::SetDataSource(const TRecordSource* source) {
    FHasDataSource = source && source->IsOpen();
    FFields->clear();
    if (FHasDataSource) FFields->addItems(source->FieldNames());
    FUseDatabaseField->setEnabled(FHasDataSource);
    ApplyDataRule();
}

void TBarCodeForm::ApplyDataRule() {
    const bool field = FUseDatabaseField->isChecked();
    FFieldLabel->setEnabled(field && FFields->count() > 0);
    FFields->setEnabled(field && FFields->count() > 0);
    FDataLabel->setEnabled(!field);
    FData->setEnabled(!field);
    ShowDataProblem();
}

void TBarCodeForm::Fill(const TBarCodeObject& code) {
    const TCard* card = code.OwnerCard();
    if (!card) card = AppContext().ActiveCard;
    SetDataSource(card ? card->DataTable() : nullptr);
    SetBarCodeType(code.BarCodeType);
    FData->setText(code.UseDatabaseField ? QString() : code.Data);
    if (code.UseDatabaseField) {
        int index = FFields->findText(code.Data, Qt::MatchFixedString);
        if (!FHasDataSource) {
            // Without the table the name is kept as it is, and the check stays free so
            // that the code can go back to typed data.
            FFields->addItem(code.Data);
            index = 0;
            FUseDatabaseField->setEnabled(true);
        }
        FFields->setCurrentIndex(std::max(0, index));
    }
    FUseDatabaseField->setChecked(code.UseDatabaseField);
    ApplyDataRule();
    FShowText->setChecked(code.ShowText);
    FCenterHorizontally->setChecked(code.CenterHorizontally);
    FCenterVertically->setChecked(code.CenterVertically);
    FDefault->setChecked(false);
}

void TBarCodeForm::ApplyTo(TBarCodeObject& code) const {
    ApplyObjectEdit(code, [&] {
        code.CenterHorizontally = FCenterHorizontally->isChecked();
        code.CenterVertically = FCenterVertically->isChecked();
        code.BarCodeType = quint8(BarCodeType());
        code.UseDatabaseField = UseDatabaseField();
        code.Data = CodeData();
        code.ShowText = FShowText->isChecked();
    });
    if (!FDefault->isChecked()) return;
    const QString section = QStringLiteral("Default Bar Code");
    TSettingsStore& settings = AppContext().Settings();
    settings.WriteBool(section, QStringLiteral("Center Horizontally"),
                       FCenterHorizontally->isChecked());
    settings.WriteBool(section, QStringLiteral("Center Vertically"),
                       FCenterVertically->isChecked());
    settings.WriteInteger(section, QStringLiteral("Bar Code Type"), BarCodeType());
    settings.WriteBool(section, QStringLiteral("Show Text"), FShowText->isChecked());
}

bool TBarCodeForm::Run(TBarCodeObject& code, QWidget* parent) {
    TBarCodeForm form(parent);
    form.Fill(code);
    if (form.exec() != Accepted) return false;
    form.ApplyTo(code);
    return true;
}

void RegisterBarCodeDialog() {
    RegisterPropertyDialog(TBarCodeObject::StoredName, [](TCardObject& object) {
        auto* code = dynamic_cast<TBarCodeObject*>(&object);
        return code && TBarCodeForm::Run(*code, ObjectDialogParent());
    });
}
