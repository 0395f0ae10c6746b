#include "document/RecordSource.h"

#include "storage/Exception.h"

#include <QFileInfo>

TRecordSource::TTableType TRecordSource::TypeForExtension(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    if (extension == QLatin1String("DB")) return TTableType::Paradox;
    if (extension == QLatin1String("DBF")) return TTableType::DBase;
    if (extension == QLatin1String("TXT")) return TTableType::Ascii;
    return TTableType::Default;
}

void TNoRecordSource::Open(const QString&, const QString& tableName, TTableType) {
    throw Exception(QStringLiteral("No table engine is available to open %1.").arg(tableName));
}
