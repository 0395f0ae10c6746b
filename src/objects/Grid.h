#pragma once

#include "document/FontSpec.h"
#include "objects/TextControl.h"

#include <QStringList>

#include <vector>

// What a grid holds: cells of text, colours, lines and font, with every size kept at 100 %
// zoom ("true" sizes) and scaled to the editing window's zoom for display.
class TGridTable : public TObjectControl {
public:
    static constexpr int MaxCount = 100; // the size tables hold one entry more

    int ColumnCount() const { return int(FColumnWidths.size()); }
    int RowCount() const { return int(FRowHeights.size()); }
    void SetSize(int columns, int rows); // clamped to 0..MaxCount; new cells are empty
    QString Cell(int column, int row) const;
    void SetCell(int column, int row, const QString& text);

    std::vector<int>& ColumnWidths() { return FColumnWidths; }
    std::vector<int>& RowHeights() { return FRowHeights; }
    const std::vector<int>& ColumnWidths() const { return FColumnWidths; }
    const std::vector<int>& RowHeights() const { return FRowHeights; }

    quint32 Color = 0xFFFFFF;
    quint32 LineColor = 0;
    int TrueLineWidth = 1;
    QString FontName = QStringLiteral("Arial");
    int TrueFontSize = 10;
    quint32 FontColor = 0;
    quint8 FontStyle = 0; // 1 bold, 2 italic, 4 underline, 8 strike-out
    quint8 Alignment = 2; // 0 left, 1 right, 2 centre
    int TrueWidth = 0;
    int TrueHeight = 0;
    int ZoomFactor = 100;

private:
    std::vector<int> FColumnWidths;
    std::vector<int> FRowHeights;
    std::vector<QStringList> FCells; // by row
};

// A table of rows and columns with text in its cells.
class TGridObject : public TTextControlObject {
    QDX_STORED_CLASS("TGridObject")
public:
    TGridObject() = default;
    using TTextControlObject::TTextControlObject;
    static TGridObject* CreateDefault();

    TGridTable& Table() { return static_cast<TGridTable&>(Control()); }
    const TGridTable& Table() const { return const_cast<TGridObject*>(this)->Table(); }

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    bool IsAutoSized() const override { return true; }
    bool HasSpellText() const override { return true; }
    QString TypeName() const override { return QStringLiteral("Grid"); }

protected:
    void AssignTo(TStored& destination) const override;
    std::unique_ptr<TObjectControl> CreateControl() override;

private:
    void LoadVersion0(TStorage& storage);
};
