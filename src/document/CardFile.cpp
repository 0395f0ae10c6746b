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

// Documents before the document type existed named their kind by the card format alone.
quint8 DocumentTypeOfOldFormat(quint8 cardFormat) {
    if (IsBusinessCardFormat(cardFormat)) return dtBusinessCard;
    switch (cardFormat) {
    case cfPoster:
        return dtPoster;
    case cfLabel:
        return dtLabel;
    case cfBanner:
        return dtBanner;
    case cfEnvelope:
        return dtEnvelope;
    default:
        return dtGreetingCard;
    }
}

quint8 ExchangePosterAndBusinessCard(quint8 format) {
    if (format == cfPoster) return cfBusinessCardConnected;
    if (format == cfBusinessCardConnected) return cfPoster;
    return format;
}

bool PortraitOfOldFormat(quint8 cardFormat) {
    return cardFormat == cfBifoldHorizontal || cardFormat == cfTrifoldHorizontal ||
           cardFormat == cfQuadfoldVertical ||
           (cardFormat >= cfCertificatePortrait && cardFormat <= cfBanner);
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
    if (LoadOptionsOf(storage).AdoptDocumentDensity && SavedPixelsPerInch > 0)
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
    if (OldFormat) context.Shell().ChooseCardType(*this, LoadOptionsOf(storage).FileName);
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
