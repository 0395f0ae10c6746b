#include "merge/Table.h"

#include <cctype>
#include <cmath>
#include <limits>

QString FieldTypeName(TFieldType type) {
    static const char* const Names[FieldTypeCount] = {
        "String", "Small Integer", "Integer", "Word",      "Boolean",        "Floating Point",
        "Currency", "BCD",         "Date",    "Time",      "Date/Time",      "Bytes",
        "Variable Bytes", "Blob",  "Memo",    "Graphic"};
    return QLatin1String(Names[int(type)]);
}

std::optional<TFieldType> FieldTypeFromCode(int code) {
    if (code < 0 || code >= FieldTypeCount) return std::nullopt;
    return TFieldType(code);
}

TFieldSizeRule FieldSizeRule(TFieldType type) {
    switch (type) {
    case TFieldType::String:
    case TFieldType::Bytes:
        return {true, 1, 255, 24};
    case TFieldType::BCD:
        return {true, 0, 32, 0};
    case TFieldType::VarBytes:
    case TFieldType::Blob:
    case TFieldType::Graphic:
        return {true, 0, 240, 0};
    case TFieldType::Memo:
        return {true, 1, 240, 1};
    default:
        return {};
    }
}

QList<TFieldMap> ParseFieldMappings(const QStringList& lines) {
    QList<TFieldMap> mappings;
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty()) continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            mappings.append({line.trimmed(), line.trimmed()});
        else
            mappings.append({line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    }
    return mappings;
}

namespace {

bool IsIntegerType(TFieldType type) {
    return type == TFieldType::SmallInt || type == TFieldType::Integer || type == TFieldType::Word;
}

bool IsNumberType(TFieldType type) {
    return type == TFieldType::Float || type == TFieldType::Currency || type == TFieldType::BCD;
}

bool IsByteType(TFieldType type) {
    return type == TFieldType::Bytes || type == TFieldType::VarBytes || type == TFieldType::Blob ||
           type == TFieldType::Graphic;
}

QString NumberText(double value) { return QString::number(value, 'g', 15); }

QString TimeText(const QTime& time) {
    return time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

// Text of any value kind, for conversions into text fields.
QString VariantText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
        return NumberText(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return TimeText(value.toTime());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex());
    default:
        return value.toString();
    }
}

[[noreturn]] void Unconvertible(const QVariant& value, const TFieldDef& field) {
    throw EDatabaseError(QStringLiteral("'%1' is not a valid value for field '%2'.")
                             .arg(VariantText(value), field.Name));
}

QDate ParseDate(const QString& text) {
    QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid()) date = QDate::fromString(text, QStringLiteral("M/d/yyyy"));
    return date;
}

QTime ParseTime(const QString& text) {
    for (const char* format : {"HH:mm:ss.zzz", "HH:mm:ss", "HH:mm", "H:mm:ss", "H:mm"}) {
        const QTime time = QTime::fromString(text, QLatin1String(format));
        if (time.isValid()) return time;
    }
    return {};
}

QDateTime ParseDateTime(const QString& text) {
    QString iso = text;
    iso.replace(QLatin1Char(' '), QLatin1Char('T'));
    QDateTime stamp = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!stamp.isValid()) {
        const QDate date = ParseDate(text);
        if (date.isValid()) stamp = date.startOfDay(Qt::UTC);
    }
    if (stamp.isValid()) stamp = QDateTime(stamp.date(), stamp.time(), Qt::UTC);
    return stamp;
}

std::optional<qint64> IntegerOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9e15) return std::nullopt;
        return qint64(std::llround(d));
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 n = value.toString().trimmed().toLongLong(&ok);
        if (ok) return n;
        const double d = value.toString().trimmed().toDouble(&ok);
        if (ok) return IntegerOf(d);
        return std::nullopt;
    }
    default: {
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }
    }
}

} // namespace

QVariant ConvertFieldValue(const QVariant& value, const TFieldDef& field) {
    if (!value.isValid() || value.isNull()) return {};
    if (value.typeId() == QMetaType::QString && value.toString().isEmpty()) return {};
    const TFieldType type = field.Type;

    if (type == TFieldType::String || type == TFieldType::Memo) {
        QString text = VariantText(value);
        if (type == TFieldType::String && field.Size > 0) text.truncate(field.Size);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    if (IsIntegerType(type)) {
        const std::optional<qint64> n = IntegerOf(value);
        if (!n) Unconvertible(value, field);
        // The lowest value of each width is the null of Paradox files, so it is no value.
        const qint64 low = type == TFieldType::SmallInt ? -32767
                         : type == TFieldType::Word     ? 0
                                                        : -std::numeric_limits<qint32>::max();
        const qint64 high = type == TFieldType::SmallInt ? 32767
                          : type == TFieldType::Word     ? 65535
                                                         : std::numeric_limits<qint32>::max();
        if (*n < low || *n > high)
            throw EDatabaseError(QStringLiteral("%1 is out of range for field '%2'.")
                                     .arg(*n)
                                     .arg(field.Name));
        return int(*n);
    }
    if (IsNumberType(type)) {
        if (value.typeId() == QMetaType::Bool) return value.toBool() ? 1.0 : 0.0;
        bool ok = false;
        const double d = value.typeId() == QMetaType::QString
                             ? value.toString().trimmed().toDouble(&ok)
                             : value.toDouble(&ok);
        if (!ok || !std::isfinite(d)) Unconvertible(value, field);
        return d;
    }
    switch (type) {
    case TFieldType::Boolean: {
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed().toLower();
            for (const char* yes : {"true", "t", "yes", "y", "1"})
                if (text == QLatin1String(yes)) return true;
            for (const char* no : {"false", "f", "no", "n", "0"})
                if (text == QLatin1String(no)) return false;
            Unconvertible(value, field);
        }
        if (const std::optional<qint64> n = IntegerOf(value)) return *n != 0;
        Unconvertible(value, field);
    }
    case TFieldType::Date: {
        QDate date;
        if (value.typeId() == QMetaType::QDate) date = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime) date = value.toDateTime().date();
        else if (value.typeId() == QMetaType::QString) date = ParseDate(value.toString().trimmed());
        if (!date.isValid()) Unconvertible(value, field);
        return date;
    }
    case TFieldType::Time: {
        QTime time;
        if (value.typeId() == QMetaType::QTime) time = value.toTime();
        else if (value.typeId() == QMetaType::QDateTime) time = value.toDateTime().time();
        else if (value.typeId() == QMetaType::QString) time = ParseTime(value.toString().trimmed());
        if (!time.isValid()) Unconvertible(value, field);
        return time;
    }
    case TFieldType::DateTime: {
        QDateTime stamp;
        if (value.typeId() == QMetaType::QDateTime)
            stamp = QDateTime(value.toDateTime().date(), value.toDateTime().time(), Qt::UTC);
        else if (value.typeId() == QMetaType::QDate)
            stamp = value.toDate().startOfDay(Qt::UTC);
        else if (value.typeId() == QMetaType::QString)
            stamp = ParseDateTime(value.toString().trimmed());
        if (!stamp.isValid()) Unconvertible(value, field);
        return stamp;
    }
    default:
        break;
    }
    Q_ASSERT(IsByteType(type));
    QByteArray bytes;
    if (value.typeId() == QMetaType::QByteArray) {
        bytes = value.toByteArray();
    } else {
        // Text stands for bytes in hexadecimal, as FieldValueText shows them.
        const QByteArray hex = value.toString().trimmed().toLatin1();
        for (char c : hex)
            if (!std::isxdigit(static_cast<unsigned char>(c))) Unconvertible(value, field);
        if (hex.size() % 2) Unconvertible(value, field);
        bytes = QByteArray::fromHex(hex);
    }
    if (type == TFieldType::Bytes && field.Size > 0) bytes.truncate(field.Size);
    return bytes.isEmpty() ? QVariant() : QVariant(bytes);
}

QString FieldValueText(const QVariant& value, TFieldType type) {
    if (!value.isValid() || value.isNull()) return {};
    if (IsNumberType(type)) return NumberText(value.toDouble());
    return VariantText(value);
}
