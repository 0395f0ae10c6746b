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

TFieldObjectTable::TFieldObjectTable() : TObjectTable(&StoredClassOf<TFieldObject>()) {
    SetOwnsObjects(false);
}

TFieldObject* TFieldObjectTable::Items(int index) const {
    return static_cast<TFieldObject*>(TObjectTable::Items(index));
}

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
    if (version < 3 && PageFormat >= cfBusinessCardSeparated8) ++PageFormat;
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
