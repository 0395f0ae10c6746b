#include "merge/TableEngine.h"

#include "document/AppContext.h"
#include "merge/AddressBook.h"
#include "merge/Table.h"

void InstallTableEngine(TAppContext& context) {
    context.RecordSourceFactory = [] { return std::make_unique<TTable>(); };
    context.AddressBookFactory = [](const QString& folder, const QString& table,
                                    std::function<void()> changed) {
        return std::make_unique<TAddressTableLink>(folder, table, std::move(changed));
    };
}
