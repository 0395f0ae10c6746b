#include "editor/TableGrid.h"

#include "document/AppContext.h"
#include "document/CommandRunner.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/Units.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
constexpr int GrabDistance = 2; // pixels either side of a line that still grab it
} // namespace

// Opens a borderless line editor over the inside of a cell, in the table's font, colours
// and alignment; the table paints the cells itself.
class TTableGridDelegate : public QStyledItemDelegate {
public:
    explicit TTableGridDelegate(TTableGrid& grid) : QStyledItemDelegate(&grid), FGrid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("CellEditor"));
        editor->setFrame(false);
        editor->setAutoFillBackground(true);
        FGrid.StyleEditor(*editor);
        FGrid.FEditor = editor;
        // Every keystroke reaches the table, so that what is saved is what is shown.
        auto* self = const_cast<TTableGridDelegate*>(this);
        connect(editor, &QLineEdit::textEdited, self,
                [self, editor] { emit self->commitData(editor); });
        return editor;
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem&,
                              const QModelIndex& index) const override {
        if (!FGrid.FTable) return;
        editor->setGeometry(FGrid.Layout().Cell(index.column(), index.row()));
    }

    void paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const override {}

private:
    TTableGrid& FGrid;
};

TTableGrid::TTableGrid(TGridObject& object, QWidget* parent)
    : QTableWidget(parent), FObject(&object), FTable(&object.Table()) {
    setObjectName(QStringLiteral("TableGrid"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    setShowGrid(false);
    setAutoScroll(false);
    setWordWrap(true);
    setTabKeyNavigation(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setItemDelegate(new TTableGridDelegate(*this));
    viewport()->setMouseTracking(true);
    connect(this, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { RunCommand([&] { CellEdited(item); }); });
    FTable->AddObserver(this);
    Reload();
}

TTableGrid::~TTableGrid() {
    // Editors closing while the view goes may still commit; nothing reaches the table.
    disconnect(this, &QTableWidget::itemChanged, this, nullptr);
    FLoading = true;
    if (FTable) FTable->RemoveObserver(this);
    FTable = nullptr;
    FObject = nullptr;
}

TGridLayout TTableGrid::Layout() const {
    static const TGridTable empty;
    return TGridLayout(FTable ? *FTable : empty, Zoom(), 100);
}

void TTableGrid::TableChanged() {
    Reload();
    if (FTable && FTable->Surface() && !FTable->Geometry().isEmpty())
        setGeometry(FTable->Geometry());
}

void TTableGrid::TableDestroyed() {
    FTable = nullptr;
    FObject = nullptr;
    hide();
    deleteLater();
}

void TTableGrid::Reload() {
    if (!FTable) return;
    FLoading = true;
    const TGridTable& table = *FTable;
    setColumnCount(table.ColumnCount());
    setRowCount(table.RowCount());
    for (int r = 0; r < table.RowCount(); ++r) {
        for (int c = 0; c < table.ColumnCount(); ++c) {
            const QString text = table.Cell(c, r);
            if (QTableWidgetItem* cell = item(r, c)) {
                if (cell->text() != text) cell->setText(text);
            } else {
                setItem(r, c, new QTableWidgetItem(text));
            }
        }
    }
    setFont(table.DisplayFont(Zoom()));
    ApplySectionSizes();
    if (FEditor) StyleEditor(*FEditor);
    if (table.RowCount() > 0 && table.ColumnCount() > 0 &&
        (currentRow() != table.CurrentRow || currentColumn() != table.CurrentColumn))
        setCurrentCell(table.CurrentRow, table.CurrentColumn);
    FLoading = false;
    viewport()->update();
}

// Section c runs from the start of the line before column c to the start of the line after
// it (the last one also takes the closing line), so the view's cells are the table's.
void TTableGrid::ApplySectionSizes() {
    const TGridLayout layout = Layout();
    const int columns = layout.ColumnCount();
    for (int c = 0; c < columns; ++c) {
        const int end = c + 1 < columns ? layout.ColumnLineStart(c + 1) : layout.Width();
        horizontalHeader()->resizeSection(c, end - layout.ColumnLineStart(c));
    }
    const int rows = layout.RowCount();
    for (int r = 0; r < rows; ++r) {
        const int end = r + 1 < rows ? layout.RowLineStart(r + 1) : layout.Height();
        verticalHeader()->resizeSection(r, end - layout.RowLineStart(r));
    }
    updateEditorGeometries();
}

void TTableGrid::StyleEditor(QLineEdit& editor) const {
    if (!FTable) return;
    const TGridTable& table = *FTable;
    editor.setFont(table.DisplayFont(Zoom()));
    QPalette palette = editor.palette();
    palette.setColor(QPalette::Base, ColorFromRef(table.Color));
    palette.setColor(QPalette::Window, ColorFromRef(table.Color));
    palette.setColor(QPalette::Text, ColorFromRef(table.FontColor));
    editor.setPalette(palette);
    // The line editor keeps 2 pixels aside and 1 above by itself; the margins make up the
    // insets of the painted text.
    const TGridLayout layout = Layout();
    const int top = std::max(0, layout.Scale(2) - 1);
    switch (table.Alignment) {
    case 0:
        editor.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        editor.setTextMargins(std::max(0, layout.Scale(2) - 2), top, 0, 0);
        break;
    case 1:
        editor.setAlignment(Qt::AlignRight | Qt::AlignTop);
        editor.setTextMargins(0, top, std::max(0, layout.Scale(3) - 2), 0);
        break;
    default:
        editor.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        editor.setTextMargins(0, top, 0, 0);
        break;
    }
}

void TTableGrid::paintEvent(QPaintEvent*) {
    if (!FTable) return;
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), ColorFromRef(FTable->Color));
    const TGridLayout layout = Layout();
    PaintGridTable(painter, *FTable, QRect(0, 0, layout.Width(), layout.Height()), layout,
                   FTable->DisplayFont(Zoom()));
}

// The view never scrolls: it is always as large as the table.
void TTableGrid::scrollTo(const QModelIndex&, ScrollHint) {}

void TTableGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    if (FTable && !FLoading && current.isValid()) {
        FTable->CurrentColumn = current.column();
        FTable->CurrentRow = current.row();
    }
}

void TTableGrid::CellEdited(QTableWidgetItem* cell) {
    if (FLoading || !FTable || !cell) return;
    if (FTable->Cell(cell->column(), cell->row()) == cell->text()) return;
    FTable->SetCell(cell->column(), cell->row(), cell->text());
    MarkModified();
}

void TTableGrid::MarkModified() {
    if (!FObject) return;
    if (TCard* card = FObject->OwnerCard()) card->SetDocumentModified(true);
}

int TTableGrid::ColumnLineAt(int x) const {
    if (!FTable) return -1;
    const TGridLayout layout = Layout();
    for (int k = layout.ColumnCount(); k >= 1; --k)
        if (x >= layout.ColumnLineStart(k) - GrabDistance &&
            x < layout.ColumnLineEnd(k) + GrabDistance)
            return k - 1;
    return -1;
}

int TTableGrid::RowLineAt(int y) const {
    if (!FTable) return -1;
    const TGridLayout layout = Layout();
    for (int k = layout.RowCount(); k >= 1; --k)
        if (y >= layout.RowLineStart(k) - GrabDistance && y < layout.RowLineEnd(k) + GrabDistance)
            return k - 1;
    return -1;
}

void TTableGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && FTable) {
        const TGridLayout layout = Layout();
        if (const int column = ColumnLineAt(at.x()); column >= 0) {
            FResizeColumn = column;
            FGrabOffset = at.x() - layout.ColumnLineStart(column + 1);
            event->accept();
            return;
        }
        if (const int row = RowLineAt(at.y()); row >= 0) {
            FResizeRow = row;
            FGrabOffset = at.y() - layout.RowLineStart(row + 1);
            event->accept();
            return;
        }
    }
    QTableWidget::mousePressEvent(event);
    // A click on the current cell opens its editor as well.
    if (FTable && event->button() == Qt::LeftButton && state() != EditingState &&
        currentIndex().isValid() && indexAt(at) == currentIndex())
        edit(currentIndex());
}

void TTableGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (FResizeColumn >= 0 || FResizeRow >= 0) {
        DragLineTo(at);
        event->accept();
        return;
    }
    if (event->buttons() == Qt::NoButton) {
        if (ColumnLineAt(at.x()) >= 0)
            viewport()->setCursor(Qt::SplitHCursor);
        else if (RowLineAt(at.y()) >= 0)
            viewport()->setCursor(Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
    }
    QTableWidget::mouseMoveEvent(event);
}

void TTableGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (FResizeColumn >= 0 || FResizeRow >= 0) {
        DragLineTo(event->position().toPoint());
        FinishResize();
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}

void TTableGrid::DragLineTo(QPoint position) {
    if (!FTable) return;
    TGridTable& table = *FTable;
    const int zoom = Zoom();
    const int line = table.TrueLineWidth;
    // The true position of the line being dragged, less where the column (row) starts.
    auto trueSize = [&](int devicePosition, const std::vector<int>& sizes, int index) {
        int start = (index + 1) * line;
        for (int i = 0; i < index; ++i)
            start += sizes[size_t(i)];
        return std::max(1, MulDiv(devicePosition, 100, zoom) - start);
    };
    if (FResizeColumn >= 0 && FResizeColumn < table.ColumnCount()) {
        const int size = trueSize(position.x() - FGrabOffset, table.ColumnWidths(), FResizeColumn);
        if (size == table.ColumnWidths()[size_t(FResizeColumn)]) return;
        table.ColumnWidths()[size_t(FResizeColumn)] = size;
    } else if (FResizeRow >= 0 && FResizeRow < table.RowCount()) {
        const int size = trueSize(position.y() - FGrabOffset, table.RowHeights(), FResizeRow);
        if (size == table.RowHeights()[size_t(FResizeRow)]) return;
        table.RowHeights()[size_t(FResizeRow)] = size;
    } else {
        return;
    }
    ApplySectionSizes();
    const TGridLayout layout = Layout();
    resize(layout.Width(), layout.Height());
    viewport()->update();
}

// The table has its new true size; the object takes it and the document is modified.
void TTableGrid::FinishResize() {
    FResizeColumn = -1;
    FResizeRow = -1;
    if (!FTable || !FObject) return;
    FTable->UpdateTrueSize();
    TShell& shell = AppContext().Shell();
    shell.RepaintObject(*FObject);
    FObject->Realign();
    shell.RepaintObject(*FObject);
    MarkModified();
    if (FTable->Surface() && !FTable->Geometry().isEmpty()) setGeometry(FTable->Geometry());
}
