#include "document/CardObject.h"

#include "document/Card.h"
#include "document/Control.h"

bool TCardObjectTable::AcceptsItem(const TStored* object) const {
    return dynamic_cast<const TCardObject*>(object) != nullptr;
}

TCardObject* TCardObjectTable::FirstObjectThat(const std::function<bool(TCardObject*)>& test) {
    return static_cast<TCardObject*>(
        FirstThat([&](TStored* object) { return test(static_cast<TCardObject*>(object)); }));
}

int TCardObjectTable::ForEachObject(const std::function<void(TCardObject*)>& action) {
    return ForEach([&](TStored* object) {
        action(static_cast<TCardObject*>(object));
        return false;
    });
}

int TCardObjectTable::AddObject(TCardObject* object) {
    const int index = Add(object);
    TCardPage* page = OwnerPageOfTable();
    auto* field = dynamic_cast<TFieldObject*>(object);
    if (page && field) {
        try {
            page->FieldOrder.Add(field);
        } catch (...) {
            Delete(index);
            throw;
        }
    }
    return index;
}

void TCardObjectTable::DeleteObject(int index) {
    auto* field = dynamic_cast<TFieldObject*>(Items(index));
    TCardPage* page = OwnerPageOfTable();
    if (page && field) page->FieldOrder.RemoveObject(field);
    Delete(index);
}
