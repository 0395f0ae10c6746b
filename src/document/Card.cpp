#include "document/Card.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Control.h"
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

// ---- TCardPanel ----

int TCardPanel::WidthPixels() const {
    return UnitsToScreen(Width);
}
int TCardPanel::HeightPixels() const {
    return UnitsToScreen(Height);
}
int TCardPanel::SheetXPixels() const {
    return UnitsToScreen(SheetX);
}
int TCardPanel::SheetYPixels() const {
    return UnitsToScreen(SheetY);
}

// ---- TFieldObjectTable ----

TFieldObjectTable::TFieldObjectTable() : TObjectTable(&StoredClassOf<TFieldObject>()) {
    SetOwnsObjects(false);
}

TFieldObject* TFieldObjectTable::Items(int index) const {
    return static_cast<TFieldObject*>(TObjectTable::Items(index));
}

// ---- TCardPage ----

TCardPage::TCardPage() : TObjectTable(&StoredClassOf<TCardPanel>()) {}

TCardPage::TCardPage(int cardFormat) : TCardPage() {
    PageFormat = static_cast<quint8>(cardFormat);
    const TCardFormatInfo* info = CardFormatInfo(cardFormat);
    for (int i = 0; i < (info ? info->Panels : 1); ++i)
        AddPanel(new TCardPanel());
}

TCardPage::~TCardPage() {
    FieldOrder.Clear();
    Clear();
}

int TCardPage::AddPanel(TCardPanel* panel) {
    const int index = Add(panel);
    panel->SetPage(this);
    return index;
}

bool TCardPage::AcceptsItem(const TStored* object) const {
    return dynamic_cast<const TCardPanel*>(object) != nullptr;
}

QSize TCardPage::PageExtent() const {
    int width = 0;
    int height = 0;
    for (int i = 0; i < PanelCount(); ++i) {
        const TCardPanel* panel = Panels(i);
        if (!panel || panel->Side != 0) continue;
        if (panel->SheetY == 0) width += panel->Width;
        if (panel->SheetX != 0) width += 1;
        if (panel->SheetX == 0) height += panel->Height;
        if (panel->SheetY != 0) height += 1;
    }
    return {width, height};
}

TFieldObject* TCardPage::FindField(const QString& name) const {
    for (int p = 0; p < PanelCount(); ++p) {
        const TCardPanel* panel = Panels(p);
        for (int i = 0; panel && i < panel->Count(); ++i) {
            auto* field = dynamic_cast<TFieldObject*>(panel->Items(i));
            if (field && field->FieldName == name) return field;
        }
    }
    return nullptr;
}

void TCardPage::RebuildFieldOrder() {
    FieldOrder.Clear();
    for (int p = 0; p < PanelCount(); ++p) {
        const TCardPanel* panel = Panels(p);
        for (int i = 0; panel && i < panel->Count(); ++i)
            if (auto* field = dynamic_cast<TFieldObject*>(panel->Items(i))) FieldOrder.Add(field);
    }
}

void TCardPage::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TObjectTable::Load(storage);
    SetOwnsObjects(true); // a page owns its panels, whatever a damaged record says
    // The card compacts the table once it has resolved the text-flow links by slot.
    SetItemClass(&StoredClassOf<TCardPanel>());
    for (int i = 0; i < PanelCount(); ++i)
        if (TCardPanel* panel = Panels(i)) panel->SetPage(this);
    PageFormat = storage.ReadByte();
    // Formats from 11 on moved up by one when the separated business card of 8 arrived.
    if (version < 3 && PageFormat >= 11) ++PageFormat;
    FieldOrder.Clear();
    if (version >= 1) {
        const qint32 count = storage.ReadLongint();
        storage.RequireBytes(count); // every name takes at least its length byte
        // The first field of each name, in panel and object order.
        QHash<QString, TFieldObject*> fields;
        for (int p = PanelCount() - 1; p >= 0; --p) {
            const TCardPanel* panel = Panels(p);
            for (int i = panel ? panel->Count() - 1 : -1; i >= 0; --i)
                if (auto* field = dynamic_cast<TFieldObject*>(panel->Items(i)))
                    fields.insert(field->FieldName, field);
        }
        for (qint32 i = 0; i < count; ++i)
            if (TFieldObject* field = fields.value(storage.ReadString())) FieldOrder.Add(field);
    }
    if (version < 2) RebuildFieldOrder();
}

void TCardPage::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 3);
    TObjectTable::Store(storage);
    storage.WriteByte(PageFormat);
    storage.WriteLongint(FieldOrder.Count());
    for (int i = 0; i < FieldOrder.Count(); ++i) {
        const TFieldObject* field = FieldOrder.Items(i);
        storage.WriteString(field ? field->FieldName : QString());
    }
}

// ---- finding an object's container ----

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

// ---- TCard ----

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

// ---- loading and saving ----

namespace {

// Documents before the document type existed named their kind by the card format alone.
quint8 DocumentTypeOfOldFormat(quint8 cardFormat) {
    switch (cardFormat) {
    case 8:
        return 8;
    case 9:
    case 10:
    case 11:
        return 9;
    case 12:
        return 10;
    case 13:
        return 12;
    case 14:
        return 11;
    default:
        return 0;
    }
}

quint8 ExchangePosterAndBusinessCard(quint8 format) {
    return format == 8 ? 9 : (format == 9 ? 8 : format);
}

bool PortraitOfOldFormat(quint8 cardFormat) {
    return cardFormat == 1 || cardFormat == 3 || cardFormat == 4 ||
           (cardFormat >= 7 && cardFormat <= 13);
}

} // namespace

void TCard::Load(TStorage& storage) {
    TAppContext& context = AppContext();
    const quint16 version = storage.ClassVersion(StoredName);
    CardFormat = storage.ReadByte();
    if (version > 7) DocumentType = storage.ReadByte();
    // Before version 4 the poster and the connected business card had each other's codes.
    if (version < 4) CardFormat = ExchangePosterAndBusinessCard(CardFormat);
    if (version <= 7) {
        DocumentType = DocumentTypeOfOldFormat(CardFormat);
        OldFormat = true;
    }
    TObjectTable::Load(storage);
    SetOwnsObjects(true); // the card owns its pages, whatever a damaged record says
    for (int i = 0; i < Count(); ++i) {
        const TStored* item = Items(i);
        if (item && (dynamic_cast<const TCardPage*>(item) != nullptr) != (version > 2))
            throw EReadError();
    }
    if (version > 4) {
        SheetGeometry.SpacingLeft = storage.ReadSmallint();
        SheetGeometry.SpacingTop = storage.ReadSmallint();
        SheetGeometry.LabelWidth = storage.ReadSmallint();
        SheetGeometry.LabelHeight = storage.ReadSmallint();
        SheetGeometry.SpacingWidth = storage.ReadSmallint();
        SheetGeometry.SpacingHeight = storage.ReadSmallint();
        // A damaged record could ask for a billion labels on a sheet; no stock has more than a
        // few hundred cells either way, nor a banner as many sheets.
        SheetGeometry.NumAcross = qint16(std::clamp<int>(storage.ReadSmallint(), 0, MaxSheetCells));
        SheetGeometry.NumDown = qint16(std::clamp<int>(storage.ReadSmallint(), 0, MaxSheetCells));
    } else {
        ComputeSheetGeometry();
    }
    SavedPixelsPerInch =
        version >= 1 ? storage.ReadSmallint() : static_cast<qint16>(ScreenPixelsPerInch());
    if (context.AdoptDocumentDensity && SavedPixelsPerInch > 0)
        context.ScreenPixelsPerInch = SavedPixelsPerInch;
    FDataTable = context.RecordSourceFactory();
    if (version > 5) DataSourceInTemplateFolder = storage.ReadBoolean();
    // Connected in Loaded: binding walks the pages, which an old record has only then.
    if (version > 1) FStoredDataSourceName = storage.ReadString();
    if (version > 6) {
        Description = storage.ReadString();
        if (version == 7) storage.ReadString(); // a field of that version only
    }

    if (version > 2) {
        // The links name slots, which count the free slots of static tables and the empty
        // ones of damaged files: they are resolved before the tables are compacted.
        for (int p = 0; p < PageCount(); ++p) {
            TCardPage* page = Pages(p);
            if (!page) continue;
            if (version < 4) page->PageFormat = ExchangePosterAndBusinessCard(page->PageFormat);
            ReadTextFlowLinks(storage, *page);
        }
        RemoveEmptySlotsOfLoadedTables();
        BreakTextFlowCycles();
    } else {
        RemoveEmptySlotsOfLoadedTables();
        AdoptPanelsOfOldRecord();
    }

    Preview = TBitmapData();
    if (version >= 7 && storage.ReadBoolean()) Preview = storage.ReadBitmap();
    if (Preview.IsEmpty()) {
        context.Shell().ShowPreview(nullptr);
    } else {
        const QImage image = QImage::fromData(Preview.Bytes, "BMP");
        context.Shell().ShowPreview(image.isNull() ? nullptr : &image);
    }
    PortraitPaper = version > 8 ? storage.ReadBoolean() : PortraitOfOldFormat(CardFormat);
    IgnoredWords.Clear();
    if (OldFormat) context.Shell().ChooseCardType(*this, context.LoadingFileName);
}

void TCard::RemoveEmptySlotsOfLoadedTables() {
    RemoveEmptySlots();
    for (int i = 0; i < Count(); ++i) {
        // Records before version 3 hold panels here.
        if (auto* panel = dynamic_cast<TCardPanel*>(Items(i))) panel->RemoveEmptySlots();
        auto* page = dynamic_cast<TCardPage*>(Items(i));
        if (!page) continue;
        page->RemoveEmptySlots();
        for (int q = 0; q < page->PanelCount(); ++q)
            page->Panels(q)->RemoveEmptySlots();
    }
}

void TCard::AdoptPanelsOfOldRecord() {
    auto* page = new TCardPage(CardFormat);
    page->Clear();
    try {
        while (Count() > 0) {
            auto* panel = dynamic_cast<TCardPanel*>(Items(0));
            if (!panel) throw EReadError();
            Detach(0);
            page->AddPanel(panel);
        }
    } catch (...) {
        delete page;
        throw;
    }
    SetItemClass(&StoredClassOf<TCardPage>());
    try {
        Add(page);
    } catch (...) {
        delete page; // a damaged record left the card unable to take it
        throw;
    }
    page->RebuildFieldOrder();
}

void TCard::ReadTextFlowLinks(TStorage& storage, TCardPage& page) {
    auto readLink = [&]() -> TCardObject* {
        const qint32 pageIndex = storage.ReadLongint();
        if (pageIndex == -1) return nullptr;
        const qint32 panelIndex = storage.ReadLongint();
        const qint32 objectIndex = storage.ReadLongint();
        TCardObject* target = ObjectAt(pageIndex, panelIndex, objectIndex);
        return target && target->TextFlow() ? target : nullptr;
    };
    for (int q = 0; q < page.PanelCount(); ++q) {
        const TCardPanel* panel = page.Panels(q);
        for (int i = 0; panel && i < panel->Count(); ++i) {
            TCardObject* frame = panel->Items(i);
            if (!frame || !frame->TextFlow()) continue;
            TCardObject* predecessor = readLink();
            TCardObject* successor = readLink();
            frame->SetTextFlow(predecessor, successor);
        }
    }
}

// Keeps the chains sound: each frame follows at most one frame, A's successor is B exactly
// when B's predecessor is A, and no chain runs in a circle.
void TCard::BreakTextFlowCycles() {
    std::vector<TCardObject*> frames;
    ForEachObject([&](TCardObject* object) {
        if (object->TextFlow()) frames.push_back(object);
    });
    const std::unordered_set<TCardObject*> known(frames.begin(), frames.end());
    std::unordered_map<TCardObject*, TCardObject*> successor;
    std::unordered_map<TCardObject*, TCardObject*> predecessor;
    for (TCardObject* frame : frames) {
        TCardObject* next = frame->TextFlow()->Successor;
        if (!next || next == frame || !known.count(next) || predecessor.count(next)) continue;
        bool cycle = false;
        for (TCardObject* walk = next; walk;) {
            if (walk == frame) {
                cycle = true;
                break;
            }
            auto found = successor.find(walk);
            walk = found == successor.end() ? nullptr : found->second;
        }
        if (cycle) continue;
        successor[frame] = next;
        predecessor[next] = frame;
    }
    for (TCardObject* frame : frames) {
        auto p = predecessor.find(frame);
        auto s = successor.find(frame);
        frame->SetTextFlow(p == predecessor.end() ? nullptr : p->second,
                           s == successor.end() ? nullptr : s->second);
    }
}

void TCard::Loaded() {
    RescaleToScreenDensity();
    LayoutAllPages();
    const QString dataSource = std::exchange(FStoredDataSourceName, QString());
    if (dataSource.isEmpty())
        BindDatabaseTexts();
    else
        SetDataSource(dataSource);
    DocumentModified = false;
}

void TCard::RescaleToScreenDensity() {
    const int current = ScreenPixelsPerInch();
    if (SavedPixelsPerInch <= 0 || current == SavedPixelsPerInch) return;
    const int saved = SavedPixelsPerInch;
    ForEachObject([&](TCardObject* object) {
        const TRect b = object->Bounds;
        object->SetBounds({MulDiv(b.Left, current, saved), MulDiv(b.Top, current, saved),
                           MulDiv(b.Right, current, saved), MulDiv(b.Bottom, current, saved)});
    });
    SavedPixelsPerInch = static_cast<qint16>(current);
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

void TCard::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, RecordVersion);
    storage.WriteByte(CardFormat);
    storage.WriteByte(DocumentType);
    TObjectTable::Store(storage);
    storage.WriteSmallint(SheetGeometry.SpacingLeft);
    storage.WriteSmallint(SheetGeometry.SpacingTop);
    storage.WriteSmallint(SheetGeometry.LabelWidth);
    storage.WriteSmallint(SheetGeometry.LabelHeight);
    storage.WriteSmallint(SheetGeometry.SpacingWidth);
    storage.WriteSmallint(SheetGeometry.SpacingHeight);
    storage.WriteSmallint(SheetGeometry.NumAcross);
    storage.WriteSmallint(SheetGeometry.NumDown);
    storage.WriteSmallint(SavedPixelsPerInch);
    storage.WriteBoolean(DataSourceInTemplateFolder);
    storage.WriteString(DataSourceName);
    storage.WriteString(Description);
    ForEachObject([&](TCardObject* object) {
        const TTextFlowLinks* links = object->TextFlow();
        if (!links) return;
        WriteTextFlowLink(storage, links->Predecessor);
        WriteTextFlowLink(storage, links->Successor);
    });
    storage.WriteBoolean(!Preview.IsEmpty());
    if (!Preview.IsEmpty()) storage.WriteGraphic(Preview);
    storage.WriteBoolean(PortraitPaper);
}

// ---- preview ----

QImage RenderCardPreview(const TCard& card) {
    if (card.PageCount() == 0 || !card.Pages(0)) return QImage();
    const TCardPage& page = *card.Pages(0);
    const int ppi = ScreenPixelsPerInch();
    const QSize extent = page.PageExtent();
    const int width = MulDiv(extent.width(), ppi, 100);
    const int height = MulDiv(extent.height(), ppi, 100);
    if (width <= 0 || height <= 0) return QImage();
    const int larger = std::max(width, height);
    const QSize size = width > height
                           ? QSize(TCard::PreviewSize, MulDiv(TCard::PreviewSize, height, width))
                           : QSize(MulDiv(TCard::PreviewSize, width, height), TCard::PreviewSize);
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    // The exact ratio: a zoom rounded to whole percent would overflow the picture of a
    // large page (a poster at 8 % instead of 7.58 % loses its right and bottom edges).
    const double scale = double(TCard::PreviewSize) / larger;
    painter.scale(scale, scale);
    TCanvas canvas(painter, ppi, ppi, TCanvas::TKind::Image);
    for (int q = 0; q < page.PanelCount(); ++q) {
        const TCardPanel* panel = page.Panels(q);
        if (!panel || panel->Side != 0) continue;
        const int dx = MulDiv(panel->SheetX, ppi, 100);
        const int dy = MulDiv(panel->SheetY, ppi, 100);
        for (int i = 0; i < panel->Count(); ++i)
            if (TCardObject* object = panel->Items(i)) object->Draw(canvas, dx, dy, false);
    }
    painter.end();
    return image;
}

TBitmapData PreviewBitmap(const QImage& image) {
    TBitmapData bitmap;
    if (image.isNull()) return bitmap;
    QBuffer buffer(&bitmap.Bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    writer.write(image.convertToFormat(QImage::Format_RGB888));
    return bitmap;
}
