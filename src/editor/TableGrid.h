#pragma once

#include "editor/ControlWidgets.h"
#include "objects/Grid.h"

#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

// The in-place editor of a grid object, shown over the object on the editing surface while
// the grid is the sole selection. It shows the table at the table's zoom (no headers, no
// scroll bars, no frame) exactly as the page draws it, keeps an editor open on the current
// cell (Tab moves on), and lets the mouse drag the lines between columns and rows. Every
// change goes straight back into the table: typed text cell by cell, a resized column or
// row as its true size, after which the object takes the table's new size.
class TTableGrid : public QTableWidget, public TControlEditor, private TGridTable::TObserver {
    Q_OBJECT
public:
    TTableGrid(TGridObject& object, QWidget* parent = nullptr);
    ~TTableGrid() override;

    TGridObject* Object() const { return FObject; }
    TObjectControl* EditedControl() const override { return FTable; }
    int Zoom() const { return FTable ? FTable->ZoomFactor : 100; }
    // The layout of the table in the widget's pixels.
    TGridLayout Layout() const;
    // The open cell editor, or null.
    QLineEdit* CellEditor() const { return FEditor.data(); }
    // Where a line between columns (rows) can be grabbed: the column (row) it closes, or -1.
    int ColumnLineAt(int x) const;
    int RowLineAt(int y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class TTableGridDelegate;

    void TableChanged() override;
    void TableDestroyed() override;
    // Takes the table's counts, texts, sizes, font and colours.
    void Reload();
    void ApplySectionSizes();
    void StyleEditor(QLineEdit& editor) const;
    void CellEdited(QTableWidgetItem* item);
    // The user moved a line: the column (row) takes the size that puts it at position.
    void DragLineTo(QPoint position);
    void FinishResize();
    void MarkModified();

    TGridObject* FObject;
    TGridTable* FTable;
    QPointer<QLineEdit> FEditor;
    bool FLoading = false;
    // A line being dragged: the column or row before it, and where it was grabbed.
    int FResizeColumn = -1;
    int FResizeRow = -1;
    int FGrabOffset = 0;
};
