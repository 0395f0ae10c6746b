#include "objects/Grid.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QPainter>

#include <algorithm>

namespace {

// Every character is part of a word except the controls up to 13, blanks and punctuation.
bool IsWordCharacter(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 128) return true;
    return !(u <= 13 || (u >= 32 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) ||
             u >= 123);
}

// Fills a line's rectangle. Under a plain scaling the rectangle is rounded to whole device
// pixels and kept at least one pixel thick, so that thin lines survive small zooms.
void FillLine(QPainter& painter, const QRect& rect, const QColor& color) {
    const QTransform t = painter.worldTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0) {
        painter.fillRect(rect, color);
        return;
    }
    const QRectF device = t.mapRect(QRectF(rect));
    // A grid of a damaged file may reach past any device (and past what an int holds).
    const auto pixel = [](qreal x) { return qRound(std::clamp<qreal>(x, -1e8, 1e8)); };
    const int left = pixel(device.left());
    const int top = pixel(device.top());
    const int right = std::max(left + 1, pixel(device.right()));
    const int bottom = std::max(top + 1, pixel(device.bottom()));
    painter.save();
    painter.resetTransform();
    painter.fillRect(QRect(left, top, right - left, bottom - top), color);
    painter.restore();
}

} // namespace

void PaintGridTable(QPainter& painter, const TGridTable& table, const QRect& area,
                    const TGridLayout& layout, const QFont& font) {
    painter.save();
    painter.fillRect(area, ColorFromRef(table.Color));
    const QColor lineColor = ColorFromRef(table.LineColor);
    for (int k = 0; k <= layout.RowCount(); ++k) {
        const int top = area.top() + layout.RowLineStart(k);
        FillLine(
            painter,
            QRect(area.left(), top, area.width(), layout.RowLineEnd(k) - layout.RowLineStart(k)),
            lineColor);
    }
    for (int k = 0; k <= layout.ColumnCount(); ++k) {
        const int left = area.left() + layout.ColumnLineStart(k);
        FillLine(painter,
                 QRect(left, area.top(), layout.ColumnLineEnd(k) - layout.ColumnLineStart(k),
                       area.height()),
                 lineColor);
    }

    int flags = Qt::TextWordWrap | Qt::AlignTop;
    int insetLeft = 0;
    int insetRight = 0;
    switch (table.Alignment) {
    case 0:
        flags |= Qt::AlignLeft;
        insetLeft = layout.Scale(2);
        break;
    case 1:
        flags |= Qt::AlignRight;
        insetRight = layout.Scale(3);
        break;
    default:
        flags |= Qt::AlignHCenter;
        break;
    }
    const int insetTop = layout.Scale(2);
    painter.setFont(font);
    painter.setPen(ColorFromRef(table.FontColor));
    for (int r = 0; r < table.RowCount(); ++r) {
        for (int c = 0; c < table.ColumnCount(); ++c) {
            const QString text = table.Cell(c, r);
            if (text.isEmpty()) continue;
            const QRect cell = layout.Cell(c, r).translated(area.topLeft());
            // The text keeps off the lines: it is wrapped within the cell less its insets.
            const QRect inside = cell.adjusted(insetLeft, insetTop, -insetRight, 0);
            if (inside.isEmpty()) continue;
            painter.save();
            painter.setClipRect(cell, Qt::IntersectClip);
            painter.drawText(inside, flags, text);
            painter.restore();
        }
    }
    painter.restore();
}

void TGridObject::Draw(TCanvas& canvas, int dx, int dy, bool) {
    TRect bounds = DeviceBounds(canvas);
    bounds.Offset(dx, dy);
    const TGridTable& table = Table();
    const TGridLayout layout(table, canvas.DpiX(), ScreenPixelsPerInch());
    PaintGridTable(canvas.Painter(), table, bounds.ToQRect(), layout,
                   table.Font().ToQFont(canvas.DpiY()));
}

// The rectangle given is the outer one (GetBounds, with the control's frame); the grid
// keeps its top-left corner and takes the table's size inside the frame.
TRect TGridObject::AdjustRect(const TRect& pixels) const {
    const TGridTable& table = Table();
    const TRect sized{pixels.Left, pixels.Top, pixels.Left + table.TableWidth() + 2 * ControlFrame,
                      pixels.Top + table.TableHeight() + 2 * ControlFrame};
    return TTextControlObject::AdjustRect(sized);
}

QString TGridObject::BeginSpellCheck(TSpellCheckState& state) {
    state.Reset();
    state.Column = 0;
    state.Row = 0;
    state.Buffer = Table().Cell(0, 0);
    return NextWord(state);
}

// The next word of the current cell; at its end the traversal goes on in the next cell to
// the right, then in the next row. The end of the last cell gives an empty word.
QString TGridObject::NextWord(TSpellCheckState& state) {
    const TGridTable& table = Table();
    while (state.Row < table.RowCount() && state.Column < table.ColumnCount()) {
        const QString& text = state.Buffer;
        int i = state.Position;
        while (i < text.size() && !IsWordCharacter(text[i]))
            ++i;
        if (i < text.size()) {
            int j = i;
            while (j < text.size() && IsWordCharacter(text[j]))
                ++j;
            return state.TakeWord(i, j);
        }
        if (++state.Column >= table.ColumnCount()) {
            state.Column = 0;
            ++state.Row;
        }
        state.Reset();
        state.Buffer = table.Cell(state.Column, state.Row);
    }
    state.Row = table.RowCount();
    return state.TakeEnd();
}

void TGridObject::ReplaceWord(TSpellCheckState& state, const QString& word) {
    TGridTable& table = Table();
    if (state.Row >= table.RowCount() || state.Column >= table.ColumnCount()) return;
    state.ReplaceLastWord(word);
    table.SetCell(state.Column, state.Row, state.Buffer);
    table.Changed();
    AppContext().Shell().RepaintObject(*this);
    if (TCard* card = OwnerCard()) card->SetDocumentModified(true);
}

void TGridObject::RevealWord(const TSpellCheckState& state) {
    TTextControlObject::RevealObject();
    TGridTable& table = Table();
    if (state.Row >= table.RowCount() || state.Column >= table.ColumnCount()) return;
    table.CurrentColumn = state.Column;
    table.CurrentRow = state.Row;
    table.Changed();
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
    to.Alignment = from.Alignment;
    to.FontColor = from.FontColor;
    to.FontName = from.FontName;
    to.FontStyle = from.FontStyle;
    to.TrueFontSize = from.TrueFontSize;
    to.TrueHeight = from.TrueHeight;
    to.TrueWidth = from.TrueWidth;
    to.TrueLineWidth = from.TrueLineWidth;
    to.LineColor = from.LineColor;
    to.Color = from.Color;
    to.SetSize(from.ColumnCount(), from.RowCount());
    for (int c = 0; c < from.ColumnCount(); ++c) {
        to.ColumnWidths()[size_t(c)] = from.ColumnWidths()[size_t(c)];
        for (int r = 0; r < from.RowCount(); ++r)
            to.SetCell(c, r, from.Cell(c, r));
    }
    to.RowHeights() = from.RowHeights();
    to.Changed();
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
    t.UpdateTrueSize();
    return grid;
}
