// Reads arbitrary bytes as a recipient table: the first byte picks the format (Paradox,
// dBase, delimited text), the rest is the table file. Any crash, leak, sanitizer report or
// exception other than EDatabaseError is a fault, and so is a table whose records do not
// have a value for each field.
#include "merge/Table.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    if (size < 1 || !folder.isValid()) return 0;
    static const char* const Names[] = {"fuzz.DB", "fuzz.DBF", "fuzz.TXT"};
    const QString name = QString::fromLatin1(Names[data[0] % 3]);
    {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    TTable table;
    try {
        table.Open(folder.path(), name, TRecordSource::TTableType::Default);
        const QStringList fields = table.FieldNames();
        for (table.First(); !table.Eof(); table.Next())
            for (const QString& field : fields)
                if (!table.FieldText(field)) std::abort();
        if (!table.ReadOnly() && !fields.isEmpty()) {
            // What was read can be written back.
            table.Edit();
            table.Post();
        }
    } catch (const EDatabaseError&) {
    }
    QFile::remove(folder.filePath(name));
    return 0;
}
