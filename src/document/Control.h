#pragma once

#include "document/CardObject.h"
#include "document/FontSpec.h"

#include <QRect>

#include <memory>
#include <optional>

// An object drawn with one pen and brush: a fill colour (or none) and a border, both palette
// indices. Base of rectangles, rounded rectangles, ellipses, fields and combs.
class TShapeObject : public TCardObject {
public:
    quint8 FillColor = 0;
    bool ClearFill = false;
    quint8 BorderColor = 0;
    quint8 BorderSize = 0; // logical pixels; 0 = no border

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;
    // The figure, in device pixels, with the pen and brush already set.
    virtual void DrawShape(TCanvas& canvas, const QRect& rect) = 0;
    // Takes the centring, colours and border of a "Default ..." settings section.
    void ReadDefaults(const QString& section, int color, bool clear, int borderSize);

protected:
    using TCardObject::TCardObject;
    void AssignTo(TStored& destination) const override;
    // Loads the shape fields without the base record (for kinds that read the base first).
    void LoadShapeFields(TStorage& storage);
};

class TRectangleObject : public TShapeObject {
    QDX_STORED_CLASS("TRectangleObject")
public:
    using TShapeObject::TShapeObject;
    // A rectangle with the saved rectangle defaults.
    static TRectangleObject* CreateDefault();
    void DrawShape(TCanvas& canvas, const QRect& rect) override;
    QString TypeName() const override { return QStringLiteral("Rectangle"); }
};

// A rectangle resized along one axis only (two handles).
class THorizontalResizeObject : public TShapeObject {
public:
    using TShapeObject::TShapeObject;
    virtual bool ResizesVertically() const { return false; }
    THandleHit HitTestHandle(QPoint pixels) const override;
    void DrawHandles(QPainter& painter, int dx, int dy) const override;
    void DrawShape(TCanvas& canvas, const QRect& rect) override;
};

// A fill-in form field: a named box showing a typed value or the result of a formula over
// other fields ({name} stands for a field's value).
class TFieldObject : public THorizontalResizeObject {
    QDX_STORED_CLASS("TFieldObject")
public:
    enum TJustification : quint8 { jLeft = 0, jRight = 1, jCenter = 2 };

    TFieldObject();

    quint8 Justification = jLeft;
    quint8 DecimalPlaces = 0;
    TFontSpec Font;
    QString FieldName;
    QString Formula;
    bool Required = false;
    QString Value;

    // A field with the saved field defaults and a name no field of the active document uses.
    static TFieldObject* CreateDefault();
    static QString UniqueFieldName(const TCard* card);

    void SetFormula(const QString& formula);
    QString DisplayText();
    bool IsEvaluating() const { return FEvaluating; }

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    void DrawShape(TCanvas& canvas, const QRect& rect) override;
    TRect AdjustRect(const TRect& pixels) const override;
    bool HasSpellText() const override { return Formula.isEmpty(); }
    QString TypeName() const override { return QStringLiteral("Field"); }
    QString BeginSpellCheck(TSpellCheckState& state) override;
    QString NextWord(TSpellCheckState& state) override;
    void ReplaceWord(TSpellCheckState& state, const QString& word) override;

protected:
    void AssignTo(TStored& destination) const override;

private:
    QString ComputeDisplayText();
    bool FEvaluating = false;
};

// Where a control object's editing control lives: the editing window's drawing surface.
class TControlSurface {
public:
    virtual ~TControlSurface() = default;
    virtual int ZoomPercent() const = 0;
    virtual QPoint ScrollPosition() const = 0;
    // Offset, in logical pixels, of the panel in the surface's current view; none when the
    // surface does not belong to an editing window.
    virtual std::optional<QPoint> PanelOffset(const TCardPanel* panel) const = 0;
};

// The editing control of a control object: shown over the object while it is the sole
// selection. Headline and grid controls paint through the object; rich text controls are
// windows of their own.
class TObjectControl {
public:
    virtual ~TObjectControl() = default;
    virtual bool IsWindowed() const { return false; }
    virtual bool IsVisible() const { return FVisible; }
    virtual void SetVisible(bool visible) { FVisible = visible; }
    virtual void SetGeometry(const QRect& deviceRect) { FGeometry = deviceRect; }
    QRect Geometry() const { return FGeometry; }
    TControlSurface* Surface() const { return FSurface; }
    virtual void SetSurface(TControlSurface* surface) { FSurface = surface; }
    virtual void ZoomChanged(int) {}

private:
    bool FVisible = false;
    QRect FGeometry;
    TControlSurface* FSurface = nullptr;
};

// An object that edits itself through a control placed over it (headline, rich text, grid).
class TControlObject : public TCardObject {
public:
    ~TControlObject() override;

    // The control, made on first use.
    TObjectControl& Control();
    bool HasControl() const { return FControl != nullptr; }
    void PlaceControl();

    bool IsControlVisible() const override;
    TRect GetBounds() const override;
    void SetBoundsOuter(const TRect& pixels) override;
    void ShowControl(bool show) override;
    void SetBounds(const TRect& units) override;
    void SetSelectState(quint8 state) override;
    void ZoomChanged(int zoomPercent) override;
    bool DrawsItself() const override;

protected:
    using TCardObject::TCardObject;
    virtual std::unique_ptr<TObjectControl> CreateControl() = 0;
    virtual void ControlCreated() {}
    virtual void ControlReady() {}
    virtual void ReleaseControl() {}

private:
    std::unique_ptr<TObjectControl> FControl;
};

