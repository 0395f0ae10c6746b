#include "TemplateBuilder.h"

#include "document/Control.h"
#include "document/Palette.h"
#include "document/Replacement.h"
#include "document/Units.h"
#include "objects/Ellipse.h"
#include "objects/Line.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "objects/RoundedRectangle.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QFontMetrics>
#include <QImage>

#include <algorithm>

TTextStyle Arial(int size) {
    TTextStyle style;
    style.Size = size;
    return style;
}

TTextStyle Times(int size) {
    TTextStyle style;
    style.Font = QStringLiteral("Times New Roman");
    style.Size = size;
    return style;
}

TTemplateBuilder::TTemplateBuilder(int documentType, const QString& description)
    : FCard(DocumentTypeInfo(documentType)->Format, documentType) {
    FCard.Description = description;
}

TCardPanel& TTemplateBuilder::Panel(int index) const {
    const TCardPage* page = FCard.Pages(0);
    if (index < 0 || index >= page->PanelCount())
        throw Exception(QStringLiteral("The card has no panel %1.").arg(index));
    return *page->Panels(index);
}

int TTemplateBuilder::Width(int panel) const {
    return Panel(panel).Width;
}

int TTemplateBuilder::Height(int panel) const {
    return Panel(panel).Height;
}

// Everything a template holds must lie on its panel: what does not is cut off in print.
void TTemplateBuilder::Place(int panel, TCardObject* object) {
    TCardPanel& target = Panel(panel);
    const TRect& b = object->Bounds;
    const int left = std::min(b.Left, b.Right), right = std::max(b.Left, b.Right);
    const int top = std::min(b.Top, b.Bottom), bottom = std::max(b.Top, b.Bottom);
    if (left < 0 || top < 0 || right > target.Width || bottom > target.Height) {
        const QString what = object->TypeName();
        delete object;
        throw Exception(QStringLiteral("A %1 at (%2, %3, %4, %5) leaves panel %6 (%7 x %8).")
                            .arg(what)
                            .arg(b.Left)
                            .arg(b.Top)
                            .arg(b.Right)
                            .arg(b.Bottom)
                            .arg(panel)
                            .arg(target.Width)
                            .arg(target.Height));
    }
    target.AddObject(object);
}

THeadlineObject& TTemplateBuilder::MakeHeadline(const QString& text, const TTextStyle& style,
                                                QSize& size) {
    auto* headline = new THeadlineObject();
    THeadlineText& h = headline->HeadlineText();
    h.Font.Name = style.Font;
    h.Font.Size = style.Size;
    h.Font.Bold = style.Bold;
    h.Font.Italic = style.Italic;
    h.Font.Color = ColorToRef(style.Color);
    h.Alignment = style.Alignment;
    h.BackStyle = basTransparent;
    h.ShadowDepth = quint8(style.ShadowDepth);
    h.ShadowColor = ColorToRef(style.ShadowColor);
    h.ShadowDirection = style.ShadowDepth > 0 ? sdDownRight : sdNone;
    h.HighlightDepth = 0;
    h.HighlightDirection = sdNone;
    h.DeleteBlankLines = false;
    headline->SetTextDirection(style.Direction);
    headline->Text = QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    headline->ScanPlaceholders();
    // A personalized text shows its own name until the user personalizes the card, so that
    // a fresh template reads "Recipient Name" rather than a gap.
    for (int i = 0; i < headline->Codes().Count(); ++i)
        if (auto* code = dynamic_cast<TPersonalizedText*>(headline->Code(i)))
            code->SetText(code->Name);
    headline->RefreshText();

    // The box the text needs on the screen, with the headline's own margin.
    const QFontMetrics metrics(h.Font.ToQFont(ScreenPixelsPerInch()));
    int width = 0;
    for (const QString& line : h.Lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    // Italic letters lean out of their advance on the right.
    const int margin = h.BorderSize() + 5 + (style.Italic ? metrics.height() / 8 : 0);
    int pixelsAcross = width + 2 * margin + style.ShadowDepth;
    int pixelsDown = int(h.Lines.size()) * metrics.lineSpacing() + style.ShadowDepth;
    if (style.Direction == tdUp || style.Direction == tdDown) std::swap(pixelsAcross, pixelsDown);
    size = QSize(ScreenToUnits(pixelsAcross), ScreenToUnits(pixelsDown));
    return *headline;
}

THeadlineObject& TTemplateBuilder::Headline(int panel, int x, int y, const QString& text,
                                            const TTextStyle& style) {
    QSize size;
    THeadlineObject& headline = MakeHeadline(text, style, size);
    if (x == Centred) {
        headline.CenterHorizontally = true;
        x = (Width(panel) - size.width()) / 2;
    }
    headline.Bounds = Box(x, y, size.width(), size.height());
    Place(panel, &headline);
    return headline;
}

THeadlineObject& TTemplateBuilder::HeadlineRight(int panel, int right, int y, const QString& text,
                                                 const TTextStyle& style) {
    QSize size;
    THeadlineObject& headline = MakeHeadline(text, style, size);
    headline.Bounds = Box(right - size.width(), y, size.width(), size.height());
    Place(panel, &headline);
    return headline;
}

THeadlineObject& TTemplateBuilder::HeadlineIn(int panel, const TRect& box, const QString& text,
                                              const TTextStyle& style) {
    QSize size;
    THeadlineObject& headline = MakeHeadline(text, style, size);
    headline.Bounds =
        Box(box.Left + (box.Width() - size.width()) / 2,
            box.Top + (box.Height() - size.height()) / 2, size.width(), size.height());
    Place(panel, &headline);
    return headline;
}

TRichTextObject& TTemplateBuilder::TextFrame(int panel, const TRect& bounds, bool transparent) {
    auto* frame = new TRichTextObject(false, transparent, false);
    frame->Bounds = bounds;
    Place(panel, frame);
    return *frame;
}

namespace {

template <typename TShape>
TShape* MakeShape(const TRect& bounds, int fill, int border, int borderSize) {
    auto* shape = new TShape();
    shape->Bounds = bounds;
    shape->ClearFill = fill == pNone;
    shape->FillColor = quint8(fill == pNone ? pWhite : fill);
    shape->BorderColor = quint8(border == pNone ? pBlack : border);
    shape->BorderSize = quint8(border == pNone ? 0 : borderSize);
    return shape;
}

} // namespace

TShapeObject& TTemplateBuilder::Rectangle(int panel, const TRect& bounds, int fill, int border,
                                          int borderSize) {
    auto* shape = MakeShape<TRectangleObject>(bounds, fill, border, borderSize);
    Place(panel, shape);
    return *shape;
}

TShapeObject& TTemplateBuilder::RoundedRectangle(int panel, const TRect& bounds, int fill,
                                                 int border, int borderSize) {
    auto* shape = MakeShape<TRRectangleObject>(bounds, fill, border, borderSize);
    Place(panel, shape);
    return *shape;
}

TShapeObject& TTemplateBuilder::Ellipse(int panel, const TRect& bounds, int fill, int border,
                                        int borderSize) {
    auto* shape = MakeShape<TEllipseObject>(bounds, fill, border, borderSize);
    Place(panel, shape);
    return *shape;
}

TLineObject& TTemplateBuilder::Line(int panel, int x1, int y1, int x2, int y2, int color,
                                    int widthPoints, int style) {
    auto* line = new TLineObject();
    line->Bounds = {x1, y1, x2, y2};
    line->LineColor = quint8(color);
    line->LineWidth = quint8(widthPoints);
    line->LineStyle = quint8(style);
    Place(panel, line);
    return *line;
}

TFieldObject& TTemplateBuilder::Field(int panel, int x, int y, int width, const QString& name,
                                      const QString& formula, int decimals) {
    auto* field = new TFieldObject();
    field->FieldName = name;
    field->Formula = formula;
    field->DecimalPlaces = quint8(decimals);
    field->Font.Name = QStringLiteral("Arial");
    field->Font.Size = 11;
    field->ClearFill = true;
    field->BorderColor = pBlack;
    field->BorderSize = 1;
    field->Justification =
        decimals > 0 || !formula.isEmpty() ? TFieldObject::jRight : TFieldObject::jLeft;
    // The height is the field's own: its font's line and the border.
    field->Bounds = Box(x, y, width, TCardObject::MinimumSize);
    field->Bounds = ScreenToUnits(field->AdjustRect(UnitsToScreen(field->Bounds)));
    Place(panel, field);
    return *field;
}

TPictureObject& TTemplateBuilder::Picture(int panel, const TRect& bounds, const QImage& image) {
    auto* picture = new TPictureObject();
    picture->Bounds = bounds;
    picture->HasPicture = true;
    picture->IsMetafile = false;
    picture->Bitmap = PreviewBitmap(image); // a 24-bit BMP, as documents keep bitmaps
    Place(panel, picture);
    return *picture;
}

void TTemplateBuilder::Save(const QDir& folder, const QString& name) {
    FCard.Preview = PreviewBitmap(RenderCardPreview(FCard));
    SaveStoredToFile(folder.filePath(name + QStringLiteral(".qdx")), FCard);
}
