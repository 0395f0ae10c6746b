#include "types/LabelCatalogue.h"

TLabelCatalogue SearchLabelCatalogue(const TLabelCatalogue& rows, const QString& text) {
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) return rows;
    TLabelCatalogue found;
    for (const TLabelCatalogueRow& row : rows) {
        const TLabelStock& s = row.Stock;
        const QString size = QStringLiteral("%1 x %2").arg(s.LabelWidth).arg(s.LabelHeight);
        if (s.CatNum.contains(wanted, Qt::CaseInsensitive) || size.contains(wanted))
            found.push_back(row);
    }
    return found;
}
