#include "types/LabelCatalogue.h"

namespace {

struct TNamedSheet {
    const char* Name;
    double Width, Height; // millimetres for the ISO sizes, inches for the others
    bool Metric;
};

// The names the shipped catalogue and the system's templates give their sheets.
constexpr TNamedSheet NamedSheets[] = {
    {"Letter", 8.5, 11, false},    {"US-Letter", 8.5, 11, false}, {"Legal", 8.5, 14, false},
    {"US-Legal", 8.5, 14, false},  {"Executive", 7.25, 10.5, false},
    {"US-Executive", 7.25, 10.5, false}, {"Tabloid", 11, 17, false},
    {"A3", 297, 420, true},        {"A4", 210, 297, true},        {"A5", 148, 210, true},
    {"A6", 105, 148, true},        {"A7", 74, 105, true},         {"B4", 250, 353, true},
    {"B5", 176, 250, true},        {"B6", 125, 176, true},
};

} // namespace

std::optional<TSheetInches> NamedSheetSize(const QString& name) {
    for (const TNamedSheet& sheet : NamedSheets)
        if (name.compare(QLatin1String(sheet.Name), Qt::CaseInsensitive) == 0) {
            const double scale = sheet.Metric ? 1 / 25.4 : 1.0;
            return TSheetInches{sheet.Width * scale, sheet.Height * scale};
        }
    return std::nullopt;
}
