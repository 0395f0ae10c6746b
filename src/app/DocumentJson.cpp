#include "app/DocumentJson.h"

#include "document/Card.h"
#include "document/Control.h"
#include "document/Replacement.h"
#include "document/Template.h"
#include "events/Event.h"
#include "objects/BarCode.h"
#include "objects/Comb.h"
#include "objects/Grid.h"
#include "objects/Headline.h"
#include "objects/Line.h"
#include "objects/Picture.h"
#include "objects/RichText.h"

#include <QJsonArray>

namespace {

QJsonArray RectJson(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

QJsonObject FontJson(const TFontSpec& font) {
    return {{"name", font.Name},          {"color", qint64(font.Color)},
            {"size", font.Size},          {"bold", font.Bold},
            {"italic", font.Italic},      {"underline", font.Underline},
            {"strikeout", font.StrikeOut}};
}

void AddShape(QJsonObject& json, const TShapeObject& shape) {
    json["FillColor"] = shape.FillColor;
    json["ClearFill"] = shape.ClearFill;
    json["BorderColor"] = shape.BorderColor;
    json["BorderSize"] = shape.BorderSize;
}

QJsonValue LinkJson(const TCardObject* frame) {
    if (!frame) return QJsonValue::Null;
    const int page = frame->PageIndex();
    if (page < 0) return QJsonValue::Null;
    return QJsonArray{page, frame->PanelIndex(), frame->IndexInPanel()};
}

void AddHeadline(QJsonObject& json, const THeadlineObject& headline) {
    const THeadlineText& h = headline.HeadlineText();
    json["Text"] = headline.Text;
    // The text as shown: codes replaced by their values (the current record's, when the
    // document is connected to a table).
    json["Lines"] = QJsonArray::fromStringList(h.Lines);
    json["TextDirection"] = headline.TextDirection;
    json["Font"] = FontJson(h.Font);
    json["Alignment"] = int(h.Alignment);
    json["Color"] = qint64(h.Color);
    json["BackStyle"] = h.BackStyle;
    json["BackFromColor"] = qint64(h.BackFromColor);
    json["BackToColor"] = qint64(h.BackToColor);
    json["BackDirection"] = h.BackDirection;
    json["BackTextureFile"] = h.BackTextureFile;
    json["BorderSize"] = h.BorderSize();
    json["BorderColor"] = qint64(h.BorderColor);
    json["DeleteBlankLines"] = h.DeleteBlankLines;
    json["GraduateFromColor"] = qint64(h.GraduateFromColor);
    json["GraduateToColor"] = qint64(h.GraduateToColor);
    json["GraduateStyle"] = h.GraduateStyle;
    json["Texture"] = h.Texture;
    json["TextureFile"] = h.TextureFile;
    json["ShadowColor"] = qint64(h.ShadowColor);
    json["ShadowDepth"] = h.ShadowDepth;
    json["ShadowDirection"] = h.ShadowDirection;
    json["ShadowStyle"] = h.ShadowStyle;
    json["HighlightColor"] = qint64(h.HighlightColor);
    json["HighlightDepth"] = h.HighlightDepth;
    json["HighlightDirection"] = h.HighlightDirection;
    json["HighlightStyle"] = h.HighlightStyle;
    QJsonArray codes;
    for (int i = 0; i < headline.Codes().Count(); ++i) {
        const TReplacementText* code = headline.Code(i);
        if (!code) continue;
        QJsonObject c{{"class", QString::fromLatin1(code->ClassName())},
                      {"Name", code->Name},
                      {"Position", code->Position}};
        if (const auto* typed = dynamic_cast<const TPersonalizedText*>(code))
            c["UserValue"] = typed->UserValue;
        codes.append(c);
    }
    json["Codes"] = codes;
}

void AddGrid(QJsonObject& json, const TGridObject& grid) {
    const TGridTable& t = grid.Table();
    json["Columns"] = t.ColumnCount();
    json["Rows"] = t.RowCount();
    json["Color"] = qint64(t.Color);
    json["LineColor"] = qint64(t.LineColor);
    json["TrueLineWidth"] = t.TrueLineWidth;
    json["FontName"] = t.FontName;
    json["TrueFontSize"] = t.TrueFontSize;
    json["FontColor"] = qint64(t.FontColor);
    json["FontStyle"] = t.FontStyle;
    json["Alignment"] = t.Alignment;
    json["TrueWidth"] = t.TrueWidth;
    json["TrueHeight"] = t.TrueHeight;
    QJsonArray widths;
    for (int w : t.ColumnWidths())
        widths.append(w);
    QJsonArray heights;
    for (int h : t.RowHeights())
        heights.append(h);
    json["ColumnWidths"] = widths;
    json["RowHeights"] = heights;
    QJsonArray cells;
    for (int r = 0; r < t.RowCount(); ++r) {
        QJsonArray row;
        for (int c = 0; c < t.ColumnCount(); ++c)
            row.append(t.Cell(c, r));
        cells.append(row);
    }
    json["Cells"] = cells;
}

} // namespace

QJsonObject ObjectToJson(const TCardObject& object) {
    QJsonObject json{{"class", QString::fromLatin1(object.ClassName())},
                     {"Bounds", RectJson(object.Bounds)},
                     {"CenterHorizontally", object.CenterHorizontally},
                     {"CenterVertically", object.CenterVertically},
                     {"Locked", object.Locked},
                     {"LinkType", object.LinkType},
                     {"LinkTarget", object.LinkTarget}};
    if (const auto* field = dynamic_cast<const TFieldObject*>(&object)) {
        AddShape(json, *field);
        json["Justification"] = field->Justification;
        json["DecimalPlaces"] = field->DecimalPlaces;
        json["Font"] = FontJson(field->Font);
        json["FieldName"] = field->FieldName;
        json["Formula"] = field->Formula;
        json["Required"] = field->Required;
        json["Value"] = field->Value;
    } else if (const auto* comb = dynamic_cast<const TCombObject*>(&object)) {
        AddShape(json, *comb);
        json["CombEdge"] = comb->CombEdge;
        json["CombStyle"] = comb->CombStyle;
        json["Spaces"] = comb->Spaces;
    } else if (const auto* shape = dynamic_cast<const TShapeObject*>(&object)) {
        AddShape(json, *shape);
    } else if (const auto* line = dynamic_cast<const TLineObject*>(&object)) {
        json["LineColor"] = line->LineColor;
        json["LineStyle"] = line->LineStyle;
        json["LineWidth"] = line->LineWidth;
    } else if (const auto* headline = dynamic_cast<const THeadlineObject*>(&object)) {
        AddHeadline(json, *headline);
    } else if (const auto* text = dynamic_cast<const TRichTextObject*>(&object)) {
        json["Transparent"] = text->Transparent;
        json["ContentSize"] = int(text->ContentBlock().size());
        json["Text"] = text->PlainText();
        json["Predecessor"] = LinkJson(text->Predecessor());
        json["Successor"] = LinkJson(text->Successor());
    } else if (const auto* picture = dynamic_cast<const TPictureObject*>(&object)) {
        json["HasPicture"] = picture->HasPicture;
        json["IsMetafile"] = picture->IsMetafile;
        const QSize size = picture->BitmapSize();
        json["PictureWidth"] = size.width();
        json["PictureHeight"] = size.height();
    } else if (const auto* code = dynamic_cast<const TBarCodeObject*>(&object)) {
        json["BarCodeType"] = code->BarCodeType;
        json["Data"] = code->Data;
        json["UseDatabaseField"] = code->UseDatabaseField;
        json["ShowText"] = code->ShowText;
    } else if (const auto* grid = dynamic_cast<const TGridObject*>(&object)) {
        AddGrid(json, *grid);
    }
    return json;
}

QJsonObject PanelLayoutToJson(const TCardPanel& p) {
    return {{"Width", p.Width},     {"Height", p.Height},       {"SheetX", p.SheetX},
            {"SheetY", p.SheetY},   {"Side", p.Side},           {"CellX", p.CellX},
            {"CellY", p.CellY},     {"TurnX", p.TurnX},         {"TurnY", p.TurnY},
            {"Turned", p.Turned},   {"Mirrored", p.Mirrored},   {"ClipLeft", p.ClipLeft},
            {"ClipTop", p.ClipTop}, {"ClipRight", p.ClipRight}, {"ClipBottom", p.ClipBottom}};
}

QJsonObject CardToJson(const TCard& card, bool withLayout) {
    const TSheetGeometry& g = card.SheetGeometry;
    QJsonObject json{
        {"CardFormat", card.CardFormat},
        {"DocumentType", card.DocumentType},
        {"Description", card.Description},
        {"PortraitPaper", card.PortraitPaper},
        {"SheetGeometry", QJsonArray{g.SpacingLeft, g.SpacingTop, g.LabelWidth, g.LabelHeight,
                                     g.SpacingWidth, g.SpacingHeight, g.NumAcross, g.NumDown}},
        {"SavedPixelsPerInch", card.SavedPixelsPerInch},
        {"DataSourceName", card.DataSourceName},
        {"DataSourceInTemplateFolder", card.DataSourceInTemplateFolder}};
    const QImage preview =
        card.Preview.IsEmpty() ? QImage() : QImage::fromData(card.Preview.Bytes, "BMP");
    json["preview"] =
        preview.isNull()
            ? QJsonValue(QJsonValue::Null)
            : QJsonValue(QJsonObject{{"width", preview.width()}, {"height", preview.height()}});
    QJsonArray pages;
    for (int p = 0; p < card.PageCount(); ++p) {
        const TCardPage* page = card.Pages(p);
        QJsonArray order;
        for (int i = 0; i < page->FieldOrder.Count(); ++i)
            if (const TFieldObject* field = page->FieldOrder.Items(i))
                order.append(field->FieldName);
        QJsonArray panels;
        for (int q = 0; q < page->PanelCount(); ++q) {
            const TCardPanel* panel = page->Panels(q);
            QJsonArray objects;
            for (int i = 0; i < panel->Count(); ++i)
                if (const TCardObject* object = panel->Items(i))
                    objects.append(ObjectToJson(*object));
            QJsonObject panelJson{{"objects", objects}};
            if (withLayout) {
                const QJsonObject layout = PanelLayoutToJson(*panel);
                for (auto it = layout.begin(); it != layout.end(); ++it)
                    panelJson.insert(it.key(), it.value());
            }
            panels.append(panelJson);
        }
        pages.append(QJsonObject{
            {"PageFormat", page->PageFormat}, {"FieldOrder", order}, {"panels", panels}});
    }
    json["pages"] = pages;
    return json;
}

QJsonObject TemplateIndexToJson(const TTemplateTable& index) {
    QJsonArray counts;
    for (qint16 count : index.TypeCounts)
        counts.append(count);
    QJsonArray templates;
    for (int i = 0; i < index.Count(); ++i) {
        const TTemplate* entry = index.Items(i);
        if (!entry) continue;
        templates.append(QJsonObject{{"Description", entry->Description},
                                     {"FileAge", entry->FileAge},
                                     {"FileName", entry->FileName},
                                     {"DocumentType", entry->DocumentType}});
    }
    return {{"TypeCounts", counts}, {"templates", templates}};
}

QJsonArray EventsToJson(const TEventTable& events) {
    QJsonArray list;
    for (int i = 0; i < events.Count(); ++i) {
        const TEvent* event = events.Items(i);
        if (!event) continue;
        list.append(QJsonObject{{"EventDate", event->Date().toString(Qt::ISODate)},
                                {"Description", event->Description},
                                {"WarningDays", event->WarningDays}});
    }
    return list;
}
