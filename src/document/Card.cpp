#include "document/Card.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Control.h"
#include "document/LoadOptions.h"
#include "document/Units.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

TObjectLocation LocateIn(const TCard* card, const TCardObject* object) {
    for (int p = 0; p < card->PageCount(); ++p) {
        const TCardPage* page = card->Pages(p);
        for (int q = 0; page && q < page->PanelCount(); ++q) {
            const TCardPanel* panel = page->Panels(q);
            const int index = panel ? panel->IndexOfObject(object) : -1;
            if (index >= 0) return {const_cast<TCard*>(card), p, q, index};
        }
    }
    return {};
}

} // namespace

TObjectLocation FindObjectOwner(const TCardObject* object) {
    for (TCard* card : AppContext().OpenCards) {
        const TObjectLocation location = LocateIn(card, object);
        if (location.Card) return location;
    }
    return {};
}

void TCard::WriteTextFlowLink(TStorage& storage, const TCardObject* frame) const {
    const TObjectLocation at = frame ? LocateIn(this, frame) : TObjectLocation{};
    if (!at.Card) {
        storage.WriteLongint(-1);
        return;
    }
    storage.WriteLongint(at.Page);
    storage.WriteLongint(at.Panel);
    storage.WriteLongint(at.Index);
}

TCard::TCard() : TObjectTable(&StoredClassOf<TCardPage>()) {}

TCard::TCard(int cardFormat, int documentType) : TCard() {
    CardFormat = static_cast<quint8>(cardFormat);
    DocumentType = static_cast<quint8>(documentType);
    ComputeSheetGeometry();
    auto* page = new TCardPage(cardFormat);
    LayoutPage(*page);
    Add(page);
    DocumentModified = true;
    SavedPixelsPerInch = static_cast<qint16>(ScreenPixelsPerInch());
    FDataTable = AppContext().RecordSourceFactory();
}

TCard::~TCard() {
    if (FDataTable) SetDataSource(QString());
    AppContext().RemoveOpenCard(this);
    Clear();
}

bool TCard::AcceptsItem(const TStored* object) const {
    // Records before version 3 held the panels of their one page directly.
    return dynamic_cast<const TCardPage*>(object) || dynamic_cast<const TCardPanel*>(object);
}

void TCard::SetDescription(const QString& description) {
    Description = description;
    DocumentModified = true;
}

void TCard::SetCardFormat(int cardFormat) {
    CardFormat = static_cast<quint8>(cardFormat);
    for (int i = 0; i < PageCount(); ++i)
        Pages(i)->PageFormat = CardFormat;
}

void TCard::ComputeSheetGeometry(const TSheetInputs& inputs) {
    if (!CardFormatInfo(CardFormat)) return;
    PortraitPaper = ::ComputeSheetGeometry(CardFormat, SheetGeometry, inputs);
}

void TCard::LayoutPage(TCardPage& page) {
    if (!CardFormatInfo(CardFormat)) return;
    const TAppContext& context = AppContext();
    const TPrinterMargins margins = context.PrinterMargins(PortraitPaper);
    const std::vector<TPanelGeometry> layout =
        PanelLayout(CardFormat, PortraitPaper, SheetGeometry,
                    PaperSize(PortraitPaper, context.Metric), margins);
    const int count = std::min(int(layout.size()), page.PanelCount());
    for (int i = 0; i < count; ++i)
        if (TCardPanel* panel = page.Panels(i)) panel->SetGeometry(layout[size_t(i)]);
    page.PrinterLeftMargin = margins.Left;
    page.PrinterTopMargin = margins.Top;
}

void TCard::LayoutAllPages() {
    for (int i = 0; i < PageCount(); ++i)
        if (TCardPage* page = Pages(i)) LayoutPage(*page);
}

void TCard::ForEachObjectIn(const std::function<void(TCardObject*, int, int, int)>& action) const {
    for (int p = 0; p < PageCount(); ++p) {
        const TCardPage* page = Pages(p);
        for (int q = 0; page && q < page->PanelCount(); ++q) {
            const TCardPanel* panel = page->Panels(q);
            for (int i = 0; panel && i < panel->Count(); ++i)
                if (TCardObject* object = panel->Items(i)) action(object, p, q, i);
        }
    }
}

void TCard::ForEachObject(const std::function<void(TCardObject*)>& action) const {
    ForEachObjectIn([&](TCardObject* object, int, int, int) { action(object); });
}

TCardObject* TCard::ObjectAt(int page, int panel, int index) const {
    if (page < 0 || page >= PageCount() || !Pages(page)) return nullptr;
    const TCardPage* p = Pages(page);
    if (panel < 0 || panel >= p->PanelCount() || !p->Panels(panel)) return nullptr;
    const TCardPanel* q = p->Panels(panel);
    if (index < 0 || index >= q->Count()) return nullptr;
    return q->Items(index);
}

TFieldObject* TCard::FindField(const QString& name, bool caseSensitive) const {
    TFieldObject* found = nullptr;
    ForEachObject([&](TCardObject* object) {
        auto* field = dynamic_cast<TFieldObject*>(object);
        if (!found && field &&
            field->FieldName.compare(name,
                                     caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
            found = field;
    });
    return found;
}

void TCard::RefreshRecordObjects() {
    ForEachObject([](TCardObject* object) {
        if (!object->UsesRecordData()) return;
        object->RefreshText();
        object->Realign();
    });
}

QString DataSourceErrorText(const QString& fileName, const QString& reason) {
    QString text = QStringLiteral("Error opening database %1.").arg(fileName);
    const QString why = reason.trimmed();
    if (!why.isEmpty()) text += QLatin1Char('\n') + why;
    return text;
}

void TCard::ReportDataSourceError(const QString& fileName, const QString& reason) const {
    AppContext().Messages().Error(DataSourceErrorText(fileName, reason));
}

bool TCard::RefreshDataTable() {
    if (!FDataTable || !FDataTable->IsOpen()) return false;
    try {
        FDataTable->Refresh();
        return true;
    } catch (const std::exception& e) {
        // The file vanished or no longer reads: stop using it, so that the message comes once
        // and not again at every record move.
        FDataTable->Close();
        BindDatabaseTexts();
        ReportDataSourceError(DataSourceName, QString::fromUtf8(e.what()));
        return false;
    }
}

void TCard::RecordSourceChanged() {
    // Also called back by the address book from the event loop: nothing may escape.
    if (RefreshDataTable()) {
        try {
            FDataTable->First();
        } catch (const std::exception&) {
        }
    }
    RefreshRecordObjects();
    // Nobody else knows that the record changed: the objects show it themselves.
    ForEachObject([](TCardObject* object) {
        if (object->UsesRecordData()) AppContext().Shell().RepaintObject(*object);
    });
}

void TCard::BindDatabaseTexts() {
    TRecordSource* table = FDataTable && FDataTable->IsOpen() ? FDataTable.get() : nullptr;
    ForEachObject([&](TCardObject* object) {
        object->BindRecordSource(table);
        // Database texts show the current record as soon as the table is bound.
        if (table && object->UsesRecordData()) object->RefreshText();
    });
}

void TCard::SetDataSource(const QString& fileName) {
    if (fileName == DataSourceName) return;
    if (FDataTable) FDataTable->Close();
    if (AddressBookSource) {
        FAddressBook.reset(); // deletes the temporary address table
        AddressBookSource = false;
    }
    if (fileName.isEmpty()) {
        // A later connection names its own folder; the old table's place does not carry over.
        DataSourceInTemplateFolder = false;
    } else {
        const TAppContext& context = AppContext();
        try {
            AddressBookSource = fileName == AddressBookTableName;
            QString folder;
            if (DataSourceInTemplateFolder) {
                folder = context.TemplateFolder;
            } else if (AddressBookSource) {
                folder = QFileInfo(context.TemplateFolder).path();
                DataSourceInTemplateFolder = false;
            } else {
                folder = QFileInfo(fileName).path();
                DataSourceInTemplateFolder =
                    !context.TemplateFolder.isEmpty() &&
                    QDir::cleanPath(folder) == QDir::cleanPath(context.TemplateFolder);
            }
            if (AddressBookSource) {
                if (!context.AddressBookFactory)
                    throw Exception(QStringLiteral("No address book support"));
                FAddressBook = context.AddressBookFactory(folder, fileName,
                                                          [this] { RecordSourceChanged(); });
            }
            if (!FDataTable) FDataTable = context.RecordSourceFactory();
            if (!context.CreatingDatabase)
                FDataTable->Open(folder, QFileInfo(fileName).fileName(),
                                 TRecordSource::TypeForExtension(fileName));
        } catch (const std::exception& e) {
            ReportDataSourceError(fileName, QString::fromUtf8(e.what()));
        }
    }
    DataSourceName = fileName;
    BindDatabaseTexts();
    DocumentModified = true;
}

QString TCard::CollectText() const {
    // Objects of a panel in order of their top edge, by the table's own sort.
    class TByTop : public TObjectTable {
    public:
        TByTop() { SetOwnsObjects(false); }

    protected:
        int CompareObjects(const TStored* a, const TStored* b) const override {
            const int ta = static_cast<const TCardObject*>(a)->Bounds.Top;
            const int tb = static_cast<const TCardObject*>(b)->Bounds.Top;
            return ta < tb ? -1 : (ta > tb ? 1 : 0);
        }
    };
    QString text;
    for (int p = 0; p < PageCount(); ++p) {
        const TCardPage* page = Pages(p);
        for (int q = 0; page && q < page->PanelCount(); ++q) {
            const TCardPanel* panel = page->Panels(q);
            if (!panel) continue;
            TByTop ordered;
            for (int i = 0; i < panel->Count(); ++i)
                ordered.Add(panel->Items(i));
            ordered.Sort();
            for (int i = 0; i < ordered.Count(); ++i) {
                const auto* object = static_cast<const TCardObject*>(ordered.Items(i));
                if (object->ContributesText()) text += object->PlainText() + QStringLiteral("\r\n");
            }
        }
    }
    return text;
}
