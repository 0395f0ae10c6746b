#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QFontComboBox;
class QFrame;
class QSpinBox;
class TGridObject;

// What "Grid Object Properties" edits. Colours are colour values (0x00BBGGRR).
struct TGridSettings {
    int Rows = 4;
    int Columns = 4;
    int LineWidth = 1;
    quint32 LineColor = 0;
    quint32 Color = 0xFFFFFF;
    QString FontName = QStringLiteral("Arial");
    int FontSize = 10;
    quint32 FontColor = 0;
    quint8 FontStyle = 0; // 1 bold, 2 italic, 4 underline, 8 strike-out (kept, not shown)
    quint8 Alignment = 2; // 0 left, 1 right, 2 centre
    bool CenterHorizontally = false;
    bool CenterVertically = false;
    int RowMove = 0;    // how far to move the current row: negative up, positive down
    int ColumnMove = 0; // negative left, positive right

    bool operator==(const TGridSettings&) const = default;
};

// "Grid Object Properties": rows, columns, lines, colours, font and alignment of a grid,
// its centring, and moves of the current row and column.
class TGridForm : public QDialog {
    Q_OBJECT
public:
    // Asks for a colour starting from the given one; nothing when the user cancels. The
    // colour dialog unless replaced (tests answer without showing anything).
    using TColorChooser = std::function<std::optional<QColor>(const QColor& initial,
                                                              QWidget* parent, const QString&)>;
    static TColorChooser& ColorChooser();

    explicit TGridForm(QWidget* parent = nullptr);

    // Shows the grid's values; no moves, "Default" unchecked.
    void LoadFrom(const TGridObject& grid);
    TGridSettings Values() const;
    void SetValues(const TGridSettings& values);
    bool SaveAsDefault() const;
    void SetSaveAsDefault(bool on);

    // What OK does to the grid: the values, then the moves (a move that would leave the
    // table is not made); the grid is repainted and realigned and its document modified.
    void ApplyTo(TGridObject& grid) const;
    // The values (not the moves) become the "Default Grid" settings.
    void StoreDefaults() const;

    // Shows the dialog for the grid; true when it was closed with OK.
    static bool Run(TGridObject& grid, QWidget* parent);

private:
    void ChooseColor(quint32& color, const QString& title);
    void ShowColors();

    QSpinBox* FRows;
    QSpinBox* FColumns;
    QSpinBox* FLineSize;
    QFrame* FLineSample;
    QFrame* FGridSample;
    QFrame* FFontSample;
    QFontComboBox* FFontName;
    QSpinBox* FFontSize;
    QAbstractButton* FBold;
    QAbstractButton* FItalic;
    QAbstractButton* FUnderline;
    QAbstractButton* FAlignLeft;
    QAbstractButton* FAlignCenter;
    QAbstractButton* FAlignRight;
    QCheckBox* FCenterHorizontally;
    QCheckBox* FCenterVertically;
    QCheckBox* FDefault;
    QAbstractButton* FRowUp;
    QAbstractButton* FRowDown;
    QSpinBox* FRowCount;
    QAbstractButton* FColumnLeft;
    QAbstractButton* FColumnRight;
    QSpinBox* FColumnCount;
    quint32 FLineColor = 0;
    quint32 FColor = 0xFFFFFF;
    quint32 FFontColor = 0;
    quint8 FHiddenStyle = 0; // strike-out, which the dialog does not show
};

// Makes "Grid Object Properties" the properties dialog of grid objects.
void RegisterGridDialog();
