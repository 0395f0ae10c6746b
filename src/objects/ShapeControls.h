#pragma once

#include <QString>

class QCheckBox;
class QDialog;
class QGridLayout;
class QLabel;
class QSpinBox;
class TColorGrid;
class TSettingsStore;
class TShapeObject;

// The fill, border, centring and "Default" controls that the shape, field and comb dialogs
// share, created as children of their dialog. Object names: FillColorLabel, FillColorGrid,
// ClearCheck, BorderColorLabel, BorderColorGrid, BorderSizeLabel, BorderSizeEdit,
// CenterHorizontallyCheck, CenterVerticallyCheck, DefaultCheck.
class TShapeControls {
public:
    struct TCaptions {
        QString Fill = QStringLiteral("&Color:");
        QString Border = QStringLiteral("&Border Color:");
        QString Size = QStringLiteral("Border &Size:");
    };

    TShapeControls(QDialog& dialog, const TCaptions& captions);

    QLabel* FillLabel;
    TColorGrid* FillGrid;
    QCheckBox* ClearCheck;
    QLabel* BorderLabel;
    TColorGrid* BorderGrid;
    QLabel* SizeLabel;
    QSpinBox* SizeEdit; // 0 to 100; 0 is no border (or line)
    QCheckBox* CenterHorizontallyCheck;
    QCheckBox* CenterVerticallyCheck;
    QCheckBox* DefaultCheck; // unchecked whenever the controls are filled

    void Fill(const TShapeObject& shape);
    // Fill and border values and centring flags into the object.
    void Store(TShapeObject& shape) const;
    // The keys "Color", "Clear", "Border Color", "Border Size", "Center Horizontally" and
    // "Center Vertically" of a "Default ..." section.
    void WriteDefaults(TSettingsStore& settings, const QString& section) const;
    // A clear fill disables the fill colour, a size of 0 the border colour.
    void ApplyRules();
    // The fill controls over the border controls, side by side in columns 0 and 1 of rows 0
    // to 2, for the dialog to lay out.
    QGridLayout* ColorsLayout() const;
};
