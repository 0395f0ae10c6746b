#include "objects/Grid.h"

#include "document/AppContext.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <algorithm>

void TGridTable::SetSize(int columns, int rows) {
    columns = std::clamp(columns, 0, MaxCount);
    rows = std::clamp(rows, 0, MaxCount);
    FColumnWidths.resize(size_t(columns), 64);
    FRowHeights.resize(size_t(rows), 24);
    FCells.resize(size_t(rows));
    for (QStringList& row : FCells)
        row.resize(columns);
}

QString TGridTable::Cell(int column, int row) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return QString();
    return FCells[size_t(row)][column];
}

void TGridTable::SetCell(int column, int row, const QString& text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return;
    FCells[size_t(row)][column] = text;
}

std::unique_ptr<TObjectControl> TGridObject::CreateControl() {
    return std::make_unique<TGridTable>();
}

void TGridObject::AssignTo(TStored& destination) const {
    TTextControlObject::AssignTo(destination);
    auto* grid = dynamic_cast<TGridObject*>(&destination);
    if (!grid) return;
    const TGridTable& from = Table();
    TGridTable& to = grid->Table();
    to.SetSize(from.ColumnCount(), from.RowCount());
    to.ColumnWidths() = from.ColumnWidths();
    to.RowHeights() = from.RowHeights();
    for (int r = 0; r < from.RowCount(); ++r)
        for (int c = 0; c < from.ColumnCount(); ++c)
            to.SetCell(c, r, from.Cell(c, r));
    to.Color = from.Color;
    to.LineColor = from.LineColor;
    to.TrueLineWidth = from.TrueLineWidth;
    to.FontName = from.FontName;
    to.TrueFontSize = from.TrueFontSize;
    to.FontColor = from.FontColor;
    to.FontStyle = from.FontStyle;
    to.Alignment = from.Alignment;
    to.TrueWidth = from.TrueWidth;
    to.TrueHeight = from.TrueHeight;
}

void TGridObject::Store(TStorage& storage) const {
    const TGridTable& t = Table();
    storage.SetClassVersion(StoredName, 2);
    TTextControlObject::Store(storage);
    storage.WriteLongint(t.TrueWidth);
    storage.WriteLongint(t.TrueHeight);
    storage.WriteLongint(t.ColumnCount());
    storage.WriteLongint(t.RowCount());
    storage.WriteLongint(qint32(t.Color));
    storage.WriteLongint(qint32(t.LineColor));
    storage.WriteLongint(t.TrueLineWidth);
    storage.WriteString(t.FontName);
    storage.WriteLongint(t.TrueFontSize);
    storage.WriteLongint(qint32(t.FontColor));
    storage.WriteByte(t.FontStyle);
    storage.WriteByte(t.Alignment);
    for (int width : t.ColumnWidths())
        storage.WriteLongint(width);
    for (int height : t.RowHeights())
        storage.WriteLongint(height);
    for (int r = 0; r < t.RowCount(); ++r)
        for (int c = 0; c < t.ColumnCount(); ++c)
            storage.WriteString(t.Cell(c, r));
}

void TGridObject::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TTextControlObject::Load(storage);
    if (version == 0) {
        LoadVersion0(storage);
        return;
    }
    TGridTable& t = Table();
    if (version >= 2) {
        t.TrueWidth = storage.ReadLongint();
        t.TrueHeight = storage.ReadLongint();
    } else {
        // The total size was the control's, which is the object's size at 100 %.
        t.TrueWidth = UnitsToScreen(Bounds.Width());
        t.TrueHeight = UnitsToScreen(Bounds.Height());
    }
    const qint32 columns = storage.ReadLongint();
    const qint32 rows = storage.ReadLongint();
    if (columns < 0 || rows < 0 || columns > TGridTable::MaxCount || rows > TGridTable::MaxCount)
        throw EReadError();
    t.SetSize(columns, rows);
    t.Color = quint32(storage.ReadLongint());
    t.LineColor = quint32(storage.ReadLongint());
    t.TrueLineWidth = storage.ReadLongint();
    t.FontName = storage.ReadString();
    t.TrueFontSize = storage.ReadLongint();
    t.FontColor = quint32(storage.ReadLongint());
    t.FontStyle = storage.ReadByte();
    t.Alignment = storage.ReadByte();
    for (int& width : t.ColumnWidths())
        width = storage.ReadLongint();
    for (int& height : t.RowHeights())
        height = storage.ReadLongint();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            t.SetCell(c, r, storage.ReadString());
}

// The first grids stored palette colours and counts only; font and alignment come from the
// grid defaults and the rows and columns share the object's size evenly.
void TGridObject::LoadVersion0(TStorage& storage) {
    TGridTable& t = Table();
    const quint8 background = storage.ReadByte();
    const bool clear = storage.ReadBoolean();
    t.Color = clear ? 0xFFFFFF : PaletteColorRef(background);
    t.LineColor = PaletteColorRef(storage.ReadByte());
    t.TrueLineWidth = storage.ReadByte();
    const int columns = storage.ReadByte();
    const int rows = storage.ReadByte();
    storage.ReadBoolean();
    if (columns > TGridTable::MaxCount || rows > TGridTable::MaxCount) throw EReadError();
    t.SetSize(columns, rows);
    const TSettingsStore& s = AppContext().Settings();
    const QString section = QStringLiteral("Default Grid");
    t.FontName = s.ReadString(section, QStringLiteral("Font Name"), QStringLiteral("Arial"));
    t.TrueFontSize = s.ReadInteger(section, QStringLiteral("Font Size"), 10);
    t.FontColor = quint32(s.ReadInteger(section, QStringLiteral("Font Color"), 0));
    t.FontStyle = quint8(s.ReadInteger(section, QStringLiteral("Font Style"), 0));
    t.Alignment = quint8(s.ReadInteger(section, QStringLiteral("Justification"), 2));
    const int width = UnitsToScreen(Bounds.Width());
    const int height = UnitsToScreen(Bounds.Height());
    t.TrueWidth = width;
    t.TrueHeight = height;
    if (columns > 0) {
        const int each = (width - (columns + 1) * t.TrueLineWidth) / columns;
        std::fill(t.ColumnWidths().begin(), t.ColumnWidths().end(),
                  MulDiv(each, t.ZoomFactor, 100));
    }
    if (rows > 0) {
        const int each = (height - (rows + 1) * t.TrueLineWidth) / rows;
        std::fill(t.RowHeights().begin(), t.RowHeights().end(), MulDiv(each, t.ZoomFactor, 100));
    }
}

TGridObject* TGridObject::CreateDefault() {
    const QString section = QStringLiteral("Default Grid");
    const TSettingsStore& s = AppContext().Settings();
    auto* grid = new TGridObject(s.ReadBool(section, QStringLiteral("Center Horizontally"), false),
                                 s.ReadBool(section, QStringLiteral("Center Vertically"), false));
    TGridTable& t = grid->Table();
    t.SetSize(std::clamp(s.ReadInteger(section, QStringLiteral("Columns"), 4), 1, 50),
              std::clamp(s.ReadInteger(section, QStringLiteral("Rows"), 4), 1, 50));
    t.Color = quint32(s.ReadInteger(section, QStringLiteral("Color"), 0xFFFFFF));
    t.LineColor = quint32(s.ReadInteger(section, QStringLiteral("Line Color"), 0));
    t.TrueLineWidth = s.ReadInteger(section, QStringLiteral("Line Width"), 1);
    t.FontName = s.ReadString(section, QStringLiteral("Font Name"), QStringLiteral("Arial"));
    t.TrueFontSize = s.ReadInteger(section, QStringLiteral("Font Size"), 10);
    t.FontColor = quint32(s.ReadInteger(section, QStringLiteral("Font Color"), 0));
    t.FontStyle = quint8(s.ReadInteger(section, QStringLiteral("Font Style"), 0));
    t.Alignment = quint8(s.ReadInteger(section, QStringLiteral("Justification"), 2));
    return grid;
}
