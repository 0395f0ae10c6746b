#pragma once

#include <QWidget>

// A ruler along the top or the left of the canvas, in inches or centimetres, in step with the
// canvas's zoom and scrolling, with a marker at the mouse position. Positions and offsets are
// thousandths of the measurement unit.
class TRuler : public QWidget {
    Q_OBJECT
public:
    enum class TAlignment { Top, Left };
    enum class TMeasurement { Inches, Centimeters };
    static constexpr int Thickness = 33; // pixels
    static constexpr int CornerWidth = 33;

    explicit TRuler(TAlignment alignment, QWidget* parent = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    bool Corner() const { return FCorner; } // only a top ruler can have one
    void SetCorner(bool on);
    TMeasurement Measurement() const { return FMeasurement; }
    // Converts the offset and the starting offset to the new unit.
    void SetMeasurement(TMeasurement measurement);
    int Offset() const { return FOffset; }
    void SetOffset(int thousandths);
    int StartingOffset() const { return FStartingOffset; }
    void SetStartingOffset(int thousandths);
    int ZoomFactor() const { return FZoom; }
    void SetZoomFactor(int percent);
    bool ShowCurrentPosition() const { return FShowPosition; }
    void SetShowCurrentPosition(bool on);
    int CurrentPosition() const { return FPosition; }
    void SetCurrentPosition(int thousandths);

    // Conversions at the screen density and this ruler's zoom, rounded to nearest.
    int UnitsToPixels(int thousandths) const;
    int PixelsToUnits(int pixels) const;
    // The pixel at which a ruler position is drawn.
    int PositionToPixel(int thousandths) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect MarkerRect(int thousandths) const;

    TAlignment FAlignment;
    bool FCorner = false;
    TMeasurement FMeasurement = TMeasurement::Inches;
    int FOffset = 0;
    int FStartingOffset = 0;
    int FZoom = 100;
    bool FShowPosition = false;
    int FPosition = 0;
};
