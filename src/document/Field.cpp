#include "document/Control.h"

#include "document/AppContext.h"
#include "document/LoadOptions.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Formula.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <cmath>

namespace {

// A logical-pixel length on the canvas's device.
int ToDevice(const TCanvas& canvas, int pixels) {
    return MulDiv(pixels, canvas.DpiX(), ScreenPixelsPerInch());
}

} // namespace

TFieldObject::TFieldObject() {
    Font.Size = 12;
}

QString TFieldObject::UniqueFieldName(const TCard* card) {
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Field %1").arg(n);
        // Formulas name fields without regard to case, so names must differ the same way.
        if (!card || !card->FindField(name)) return name;
    }
}

TFieldObject* TFieldObject::CreateDefault() {
    const TSettingsStore& s = AppContext().Settings();
    const QString section = QStringLiteral("Default Field");
    auto* field = new TFieldObject();
    field->CenterHorizontally = s.ReadBool(section, QStringLiteral("Center Horizontally"), false);
    field->CenterVertically = s.ReadBool(section, QStringLiteral("Center Vertically"), false);
    field->FillColor = quint8(s.ReadInteger(section, QStringLiteral("Color"), 15));
    field->ClearFill = s.ReadBool(section, QStringLiteral("Clear"), true);
    field->BorderColor = quint8(s.ReadInteger(section, QStringLiteral("Border Color"), 0));
    field->BorderSize = quint8(s.ReadInteger(section, QStringLiteral("Border Size"), 0));
    // The shipped default of 3 names no justification; it has always shown as left.
    const int justification = s.ReadInteger(section, QStringLiteral("Justification"), 3);
    field->Justification = quint8(justification >= 0 && justification <= 2 ? justification : jLeft);
    field->Font.Name = s.ReadString(section, QStringLiteral("Font Name"), QStringLiteral("Arial"));
    field->Font.Size = s.ReadInteger(section, QStringLiteral("Font Size"), 12);
    field->Font.Color = quint32(s.ReadInteger(section, QStringLiteral("Font Color"), 0));
    field->Font.SetStyleBits(s.ReadInteger(section, QStringLiteral("Font Style"), 0));
    field->DecimalPlaces = quint8(s.ReadInteger(section, QStringLiteral("Decimal Places"), 2));
    field->Required = s.ReadBool(section, QStringLiteral("Required"), false);
    field->FieldName = UniqueFieldName(AppContext().ActiveCard);
    return field;
}

void TFieldObject::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TShapeObject::Load(storage);
    Justification = storage.ReadByte();
    Font.Name = storage.ReadString();
    Font.Color = quint32(storage.ReadLongint());
    Font.Size = storage.ReadSmallint();
    Font.Bold = storage.ReadBoolean();
    Font.Italic = storage.ReadBoolean();
    Font.Underline = storage.ReadBoolean();
    Font.StrikeOut = storage.ReadBoolean();
    DecimalPlaces = storage.ReadByte();
    Formula = storage.ReadString();
    Value = storage.ReadString();
    FieldName = storage.ReadString();
    Required = version >= 1 ? storage.ReadBoolean() : false;
}

void TFieldObject::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 1);
    TShapeObject::Store(storage);
    storage.WriteByte(Justification);
    storage.WriteString(Font.Name);
    storage.WriteLongint(qint32(Font.Color));
    storage.WriteSmallint(qint16(Font.Size));
    storage.WriteBoolean(Font.Bold);
    storage.WriteBoolean(Font.Italic);
    storage.WriteBoolean(Font.Underline);
    storage.WriteBoolean(Font.StrikeOut);
    storage.WriteByte(DecimalPlaces);
    storage.WriteString(Formula);
    storage.WriteString(Value);
    storage.WriteString(FieldName);
    storage.WriteBoolean(Required);
}

void TFieldObject::AssignTo(TStored& destination) const {
    THorizontalResizeObject::AssignTo(destination);
    auto* field = dynamic_cast<TFieldObject*>(&destination);
    if (!field) return;
    field->Justification = Justification;
    field->Font = Font;
    field->DecimalPlaces = DecimalPlaces;
    field->SetFormula(Formula);
    field->Value = Value;
    field->FieldName = UniqueFieldName(AppContext().ActiveCard);
}

void TFieldObject::SetFormula(const QString& formula) {
    if (formula == Formula) return;
    Formula = formula;
    Value.clear();
    // Every result that may depend on this field is computed again when next drawn.
    if (const TCard* card = AppContext().ActiveCard) {
        card->ForEachObject([](TCardObject* object) {
            auto* field = dynamic_cast<TFieldObject*>(object);
            if (!field || field->Formula.isEmpty()) return;
            field->Value.clear();
            AppContext().Shell().RepaintObject(*field);
        });
    }
}

QString TFieldObject::DisplayText() {
    if (Formula.isEmpty()) {
        bool ok = false;
        const double number = QLocale::c().toDouble(Value.trimmed(), &ok);
        if (Value.isEmpty() || !ok || !std::isfinite(number)) return Value;
        return FormatFixed(number, DecimalPlaces);
    }
    FEvaluating = true;
    Value = ComputeDisplayText();
    FEvaluating = false;
    return Value;
}

// Replaces each {name} with the named field's text, then evaluates the arithmetic.
QString TFieldObject::ComputeDisplayText() {
    const TCard* card = OwnerCard();
    if (!card) card = AppContext().ActiveCard;
    QString work = Formula;
    bool allEmpty = true;
    qsizetype i = 0;
    while (i < work.size()) {
        if (work[i] != QLatin1Char('{')) {
            ++i;
            continue;
        }
        const qsizetype close = work.indexOf(QLatin1Char('}'), i + 1);
        if (close < 0) break;
        const QString name = work.mid(i + 1, close - i - 1).trimmed();
        QString replacement;
        if (name.compare(FieldName.trimmed(), Qt::CaseInsensitive) == 0) {
            replacement = QStringLiteral("0");
            allEmpty = false;
        } else {
            TFieldObject* other = card ? card->FindField(name) : nullptr;
            if (!other) return work; // unknown name: the formula as far as it got
            if (other->IsEvaluating()) {
                replacement = QStringLiteral("0"); // the cycle closes here
                allEmpty = false;
            } else {
                replacement = other->DisplayText();
                if (replacement.isEmpty())
                    replacement = QStringLiteral("0");
                else
                    allEmpty = false;
            }
        }
        work.replace(i, close - i + 1, replacement);
        i += replacement.size();
    }
    if (allEmpty) return QString();
    const std::optional<double> value = EvaluateFormula(work);
    return value ? FormatFixed(*value, DecimalPlaces) : work;
}

TRect TFieldObject::AdjustRect(const TRect& pixels) const {
    TRect out = THorizontalResizeObject::AdjustRect(pixels);
    const QFontMetrics metrics(Font.ToQFont(ScreenPixelsPerInch()));
    out.Bottom = out.Top + 2 * BorderSize + metrics.height() + 8;
    return out;
}

void TFieldObject::DrawShape(TCanvas& canvas, const QRect& rect) {
    QPainter& painter = canvas.Painter();
    if (BorderSize > 0) {
        THorizontalResizeObject::DrawShape(canvas, rect);
    } else if (AppContext().ShowFieldAreas && !canvas.IsPrinter() && !canvas.IsPrintPreview() &&
               canvas.Kind() == TCanvas::TKind::Screen) {
        painter.save();
        painter.setPen(QPen(QColor(255, 0, 255), 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.restore();
    }
    // Border and padding are logical pixels; on other devices they scale with the resolution.
    const int b = ToDevice(canvas, BorderSize);
    const int padding = ToDevice(canvas, 4);
    const QFont font = Font.ToQFont(canvas.DpiY());
    const QFontMetrics metrics(font, painter.device());
    const int available = rect.width() - 2 * b - 2 * padding;
    QString text = DisplayText();
    while (!text.isEmpty() && metrics.horizontalAdvance(text) > available)
        text.chop(1);
    if (text.isEmpty()) return;
    const int width = metrics.horizontalAdvance(text);
    int x = rect.left() + b + padding;
    if (Justification == jRight)
        x = rect.left() + rect.width() - width - b - padding;
    else if (Justification == jCenter)
        x = rect.left() + (rect.width() - width) / 2;
    const int y = rect.top() + b + padding;
    painter.save();
    painter.setFont(font);
    painter.setPen(ColorFromRef(Font.Color));
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    painter.restore();
}

namespace {

// Letters, digits, control bytes 14..31 and everything beyond ASCII make up words.
bool IsFieldWordCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
           (u >= 14 && u <= 31) || u >= 128;
}

} // namespace

QString TFieldObject::BeginSpellCheck(TSpellCheckState& state) {
    state.Reset();
    state.Buffer = Value;
    return NextWord(state);
}

QString TFieldObject::NextWord(TSpellCheckState& state) {
    const QString& text = state.Buffer;
    int i = state.Position;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == QLatin1Char('<') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('<') ? QLatin1Char('>') : QLatin1Char(']');
            const qsizetype end = text.indexOf(close, i + 1);
            i = end < 0 ? int(text.size()) : int(end) + 1;
            continue;
        }
        if (!IsFieldWordCharacter(c)) {
            ++i;
            continue;
        }
        int j = i;
        while (j < text.size() && IsFieldWordCharacter(text[j]))
            ++j;
        return state.TakeWord(i, j);
    }
    return state.TakeEnd();
}

void TFieldObject::ReplaceWord(TSpellCheckState& state, const QString& word) {
    state.ReplaceLastWord(word);
    Value = state.Buffer;
    AppContext().Shell().RepaintObject(*this);
}
