#include "merge/VCardReader.h"

#include "storage/TextCodec.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

// GLib-based: this source is compiled with QT_NO_KEYWORDS, since Qt's "signals" macro breaks
// the GLib headers.
#include <libebook-contacts/libebook-contacts.h>

#include <climits>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

namespace VCardReader {
namespace {

struct TGObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using TVCardPtr = std::unique_ptr<EVCard, TGObjectUnref>;

// The library reports every malformed line as a GLib warning; damaged address books are
// expected input here and simply yield what can be read.
void QuietenLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        g_log_set_handler("libebook-contacts",
                          GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE |
                                         G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG),
                          [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

bool IsUtf8(QByteArrayView bytes) {
    return g_utf8_validate(bytes.data(), bytes.size(), nullptr);
}

bool LineIs(QByteArrayView line, QByteArrayView keyword) {
    return line.trimmed().compare(keyword, Qt::CaseInsensitive) == 0;
}

// vCard 2.1 may embed the agent's card on the lines after an empty AGENT value.
bool IsEmptyAgentLine(QByteArrayView line) {
    if (!line.trimmed().endsWith(':')) return false;
    static const QRegularExpression agent(QStringLiteral("^\\s*([A-Za-z0-9-]+\\.)?AGENT(;[^:]*)?:\\s*$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return agent.match(QString::fromLatin1(line)).hasMatch();
}

// The library parses one card at a time. Cards end at END:VCARD or, when that is missing, where
// the next card or the text ends; a card embedded in an AGENT property is dropped so that the
// properties after it still belong to the outer card. Lines come one at a time, without their
// LF; a card's text is kept to MaxCardSize (the lines past it are dropped and it is said cut).
class TCardSplitter {
public:
    explicit TCardSplitter(std::function<void(const QByteArray&)> onCard)
        : FOnCard(std::move(onCard)) {}

    void Line(QByteArrayView line) {
        const bool begins = LineIs(line, "BEGIN:VCARD");
        if (!FInCard) {
            if (begins) {
                FInCard = true;
                FCard = line.toByteArray() + '\n';
                FAgentPending = false;
            }
            return;
        }
        if (FEmbedded > 0) {
            if (begins)
                ++FEmbedded;
            else if (LineIs(line, "END:VCARD"))
                --FEmbedded;
            return;
        }
        if (begins) {
            if (FAgentPending) {
                FEmbedded = 1;
                FAgentPending = false;
                return;
            }
            Emit(FCard + "END:VCARD\r\n");
            FCard = line.toByteArray() + '\n';
            return;
        }
        FAgentPending = IsEmptyAgentLine(line);
        const bool ends = LineIs(line, "END:VCARD");
        if (!ends && FCard.size() + line.size() + 1 > MaxCardSize) {
            FCut = true;
            return;
        }
        FCard += line;
        FCard += '\n';
        if (ends) {
            Emit(FCard);
            FInCard = false;
            FCard.clear();
        }
    }
    void Finish() {
        if (FInCard) Emit(FCard + "END:VCARD\r\n");
        FInCard = false;
        FCard.clear();
    }
    // A line too long for any card to hold.
    void DropLine() { FCut = true; }
    // Whether a card was larger than MaxCardSize.
    bool Cut() const { return FCut; }

private:
    void Emit(const QByteArray& card) { FOnCard(card); }

    std::function<void(const QByteArray&)> FOnCard;
    QByteArray FCard;
    bool FInCard = false;
    bool FAgentPending = false;
    int FEmbedded = 0;
    bool FCut = false;
};

qsizetype HeaderEnd(QByteArrayView line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

QByteArray FromCharset(QByteArrayView bytes, const QByteArray& charset) {
    if (!charset.isEmpty()) {
        gsize written = 0;
        gchar* converted = g_convert(bytes.data(), bytes.size(), "UTF-8", charset.constData(),
                                     nullptr, &written, nullptr);
        if (converted) {
            QByteArray result(converted, qsizetype(written));
            g_free(converted);
            return result;
        }
    }
    return TextCodec::DecodeWindows1252(bytes.toByteArray()).toUtf8();
}

// Rewrites the CHARSET parameter of a property's first line to UTF-8 and returns what it said
// (empty when the property names none).
QByteArray TakeCharset(QByteArray& line) {
    const qsizetype colon = HeaderEnd(line);
    if (colon < 0) return {};
    const qsizetype at = line.left(colon).toUpper().indexOf(";CHARSET=");
    if (at < 0) return {};
    const qsizetype valueStart = at + qsizetype(sizeof(";CHARSET=") - 1);
    qsizetype valueEnd = valueStart;
    while (valueEnd < colon && line[valueEnd] != ';') ++valueEnd;
    QByteArray charset = line.mid(valueStart, valueEnd - valueStart).trimmed();
    if (charset.startsWith('"') && charset.endsWith('"') && charset.size() >= 2)
        charset = charset.mid(1, charset.size() - 2);
    line.replace(valueStart, valueEnd - valueStart, "UTF-8");
    return charset;
}

// The library decodes quoted-printable values but keeps their soft line breaks ("=" at the end
// of a line) in the value, so those lines are joined first.
QByteArray JoinSoftLineBreaks(const QByteArray& card) {
    if (!card.contains("=\n") && !card.contains("=\r\n")) return card;
    const QList<QByteArray> lines = card.split('\n');
    QList<QByteArray> out;
    out.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        const qsizetype header = HeaderEnd(line);
        if (header > 0 && line.left(header).toUpper().contains("QUOTED-PRINTABLE")) {
            auto softBreak = [](const QByteArray& l) {
                return l.endsWith("=") || l.endsWith("=\r");
            };
            while (softBreak(line) && i + 1 < lines.size()) {
                line.chop(line.endsWith('\r') ? 2 : 1);
                // A value cut short at the end of the file: the card still ends.
                if (LineIs(lines[i + 1], "END:VCARD")) break;
                line += lines[++i];
            }
        }
        out.append(line);
    }
    return out.join('\n');
}

// The library takes raw 8-bit values for UTF-8 (making them valid by replacement) and only then
// applies their CHARSET, which garbles them. Older programs write such values in their own
// character set, so each property holding them is turned into UTF-8 first, its CHARSET with it;
// without a CHARSET the bytes are taken as Windows-1252.
QByteArray RecodeEightBit(const QByteArray& card) {
    if (IsUtf8(card)) return card;
    const QList<QByteArray> lines = card.split('\n');
    QList<QByteArray> out;
    out.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size();) {
        qsizetype end = i + 1; // folded lines start with white space
        while (end < lines.size() && (lines[end].startsWith(' ') || lines[end].startsWith('\t')))
            ++end;
        bool eightBit = false;
        for (qsizetype k = i; k < end && !eightBit; ++k) eightBit = !IsUtf8(lines[k]);
        if (!eightBit) {
            for (qsizetype k = i; k < end; ++k) out.append(lines[k]);
        } else {
            QByteArray first = lines[i];
            const QByteArray charset = TakeCharset(first);
            out.append(FromCharset(first, charset));
            for (qsizetype k = i + 1; k < end; ++k) out.append(FromCharset(lines[k], charset));
        }
        i = end;
    }
    return out.join('\n');
}

// Quoted-printable values without a CHARSET come out of the library as raw 8-bit bytes.
QString Text(const char* value) {
    return value ? TextCodec::DecodeStoredText(QByteArray(value)) : QString();
}

QString AttributeName(EVCardAttribute* attribute) {
    return Text(e_vcard_attribute_get_name(attribute)).toUpper();
}

QStringList Values(EVCardAttribute* attribute) {
    QStringList values;
    for (GList* v = e_vcard_attribute_get_values(attribute); v; v = v->next)
        values.append(Text(static_cast<const char*>(v->data)));
    return values;
}

QStringList ParamValues(EVCardAttribute* attribute, const char* name) {
    QStringList values;
    for (GList* p = e_vcard_attribute_get_params(attribute); p; p = p->next) {
        auto* param = static_cast<EVCardAttributeParam*>(p->data);
        const char* paramName = e_vcard_attribute_param_get_name(param);
        if (!paramName || g_ascii_strcasecmp(paramName, name) != 0) continue;
        for (GList* v = e_vcard_attribute_param_get_values(param); v; v = v->next)
            values.append(Text(static_cast<const char*>(v->data)));
    }
    return values;
}

// TYPE values in lower case. The library keeps a quoted list (TYPE="home,voice") as one value.
QSet<QString> Types(EVCardAttribute* attribute) {
    QSet<QString> types;
    for (const QString& value : ParamValues(attribute, "TYPE"))
        for (QString type : value.split(QLatin1Char(','))) {
            type = type.trimmed();
            type.remove(QLatin1Char('"'));
            if (!type.isEmpty()) types.insert(type.toLower());
        }
    return types;
}

// Lower is preferred: PREF=1..100 (4.0), TYPE=PREF (2.1 and 3.0), then everything else.
int Preference(EVCardAttribute* attribute, const QSet<QString>& types) {
    bool ok = false;
    const int pref = ParamValues(attribute, "PREF").value(0).toInt(&ok);
    if (ok && pref >= 1 && pref <= 100) return pref;
    return types.contains(QStringLiteral("pref")) ? 1 : 101;
}

// Where a property belongs. A property that says neither HOME nor WORK fills a home field
// unless a property marked HOME does.
enum class TPlace { Home, Work, Unstated };
constexpr int UnstatedPenalty = 1000;

QList<TPlace> Places(const QSet<QString>& types) {
    QList<TPlace> places;
    if (types.contains(QStringLiteral("home"))) places.append(TPlace::Home);
    if (types.contains(QStringLiteral("work"))) places.append(TPlace::Work);
    if (places.isEmpty()) places.append(TPlace::Unstated);
    return places;
}

// Of several properties that could fill the same fields, the most preferred, then the first.
class TChoice {
public:
    void Offer(int rank, const QStringList& values) {
        if (FRank <= rank) return;
        for (const QString& value : values)
            if (!value.trimmed().isEmpty()) {
                FRank = rank;
                FValues = values;
                return;
            }
    }
    void Offer(int rank, const QString& value) { Offer(rank, QStringList{value}); }
    // Offers a home-or-work property to the home choice.
    void OfferHome(TPlace place, int preference, const QStringList& values) {
        if (place == TPlace::Home) Offer(preference, values);
        if (place == TPlace::Unstated) Offer(UnstatedPenalty + preference, values);
    }
    QString Value(int index = 0) const { return FValues.value(index); }

private:
    int FRank = INT_MAX;
    QStringList FValues;
};

QString WithoutScheme(const QString& value, QLatin1StringView scheme) {
    return value.startsWith(scheme, Qt::CaseInsensitive) ? value.mid(scheme.size()) : value;
}

bool IsOneOf(const QString& name, std::initializer_list<const char*> names) {
    for (const char* candidate : names)
        if (name == QLatin1StringView(candidate)) return true;
    return false;
}

// ADR components: post office box, extended address, street, locality, region, postal code,
// country.
void PutAddress(QStringList& row, int streetField, const TChoice& choice) {
    QStringList street;
    for (int part : {2, 1})
        if (!choice.Value(part).trimmed().isEmpty()) street.append(choice.Value(part).trimmed());
    if (street.isEmpty() && !choice.Value(0).trimmed().isEmpty())
        street.append(choice.Value(0).trimmed());
    row[streetField] = street.join(QStringLiteral(", "));
    for (int part = 3; part <= 6; ++part) row[streetField + part - 2] = choice.Value(part);
}

enum class TPhoneKind { Voice, Fax, Cellular, Other };

TPhoneKind PhoneKind(const QSet<QString>& types) {
    for (const char* cell : {"cell", "mobile", "iphone"})
        if (types.contains(QLatin1StringView(cell))) return TPhoneKind::Cellular;
    if (types.contains(QStringLiteral("fax"))) return TPhoneKind::Fax;
    if (types.contains(QStringLiteral("voice"))) return TPhoneKind::Voice;
    for (const char* other :
         {"pager", "video", "textphone", "modem", "bbs", "car", "isdn", "msg", "text"})
        if (types.contains(QLatin1StringView(other))) return TPhoneKind::Other;
    return TPhoneKind::Voice;
}

// Some programs store a date without a year under a placeholder year that a parameter names.
QString WithoutPlaceholderYear(EVCardAttribute* attribute, const QString& value) {
    const QString year = ParamValues(attribute, "X-APPLE-OMIT-YEAR").value(0).trimmed();
    if (year.size() != 4 || !value.startsWith(year)) return value;
    QString rest = value.mid(4);
    if (rest.startsWith(QLatin1Char('-'))) rest.remove(0, 1);
    return QStringLiteral("--") + rest;
}

// A card as read, before references to other cards are resolved.
struct TCardRow {
    QStringList Row;
    QString SpouseReference; // the UID named by RELATED;TYPE=spouse when it gives no name
};

bool HasContent(const QStringList& row) {
    for (int field = afDisplay; field < AddressFieldCount; ++field)
        if (!row[field].isEmpty()) return true;
    return false;
}

// Empty when the card holds nothing to show.
std::optional<TCardRow> ReadCard(const QByteArray& cardText) {
    const QByteArray utf8 = RecodeEightBit(JoinSoftLineBreaks(cardText));
    const TVCardPtr card(e_vcard_new_from_string(utf8.constData()));
    if (!card) return std::nullopt;

    QString uid, kind, display, given, family, company, title, birthday, anniversary;
    bool isList = false;
    TChoice homeAddress, workAddress, phone, fax, cellular, busPhone, busFax, email, webPage,
        busWebPage, spouse;
    QString spouseReference;
    int spouseReferenceRank = INT_MAX;

    for (GList* a = e_vcard_get_attributes(card.get()); a; a = a->next) {
        auto* attribute = static_cast<EVCardAttribute*>(a->data);
        const QString name = AttributeName(attribute);
        const QStringList values = Values(attribute);
        const QString value = values.value(0).trimmed();
        const QSet<QString> types = Types(attribute);
        const int preference = Preference(attribute, types);

        if (name == QLatin1StringView("UID")) {
            if (uid.isEmpty()) uid = value;
        } else if (IsOneOf(name, {"KIND", "X-ADDRESSBOOKSERVER-KIND"})) {
            kind = value.toLower();
        } else if (name == QLatin1StringView("X-EVOLUTION-LIST")) {
            isList = value.compare(QLatin1StringView("TRUE"), Qt::CaseInsensitive) == 0;
        } else if (name == QLatin1StringView("FN")) {
            if (display.isEmpty()) display = value;
        } else if (name == QLatin1StringView("N")) {
            if (family.isEmpty() && given.isEmpty()) {
                family = values.value(0).trimmed();
                given = values.value(1).trimmed();
            }
        } else if (name == QLatin1StringView("ORG")) {
            if (company.isEmpty()) company = value;
        } else if (name == QLatin1StringView("TITLE")) {
            if (title.isEmpty()) title = value;
        } else if (name == QLatin1StringView("ADR")) {
            for (TPlace place : Places(types)) {
                homeAddress.OfferHome(place, preference, values);
                if (place == TPlace::Work) workAddress.Offer(preference, values);
            }
        } else if (name == QLatin1StringView("TEL")) {
            const QString number = WithoutScheme(value, QLatin1StringView("tel:"));
            switch (PhoneKind(types)) {
            case TPhoneKind::Cellular:
                cellular.Offer(preference, number);
                break;
            case TPhoneKind::Fax:
                for (TPlace place : Places(types)) {
                    fax.OfferHome(place, preference, {number});
                    if (place == TPlace::Work) busFax.Offer(preference, number);
                }
                break;
            case TPhoneKind::Voice:
                for (TPlace place : Places(types)) {
                    phone.OfferHome(place, preference, {number});
                    if (place == TPlace::Work) busPhone.Offer(preference, number);
                }
                break;
            case TPhoneKind::Other:
                break;
            }
        } else if (name == QLatin1StringView("EMAIL")) {
            email.Offer(preference, WithoutScheme(value, QLatin1StringView("mailto:")));
        } else if (name == QLatin1StringView("URL")) {
            for (TPlace place : Places(types)) {
                webPage.OfferHome(place, preference, {value});
                if (place == TPlace::Work) busWebPage.Offer(preference, value);
            }
        } else if (name == QLatin1StringView("RELATED")) {
            if (!types.contains(QStringLiteral("spouse"))) continue;
            // 4.0 names the spouse by text or by a reference to the spouse's own card.
            const bool isText = ParamValues(attribute, "VALUE")
                                    .value(0)
                                    .compare(QLatin1StringView("text"), Qt::CaseInsensitive) == 0;
            static const QRegularExpression uri(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:\\S"));
            if (isText || !uri.match(value).hasMatch())
                spouse.Offer(preference, value);
            else if (preference < spouseReferenceRank) {
                spouseReference = value;
                spouseReferenceRank = preference;
            }
        } else if (IsOneOf(name, {"X-SPOUSE", "X-EVOLUTION-SPOUSE", "X-KADDRESSBOOK-X-SPOUSESNAME",
                                  "X-MS-SPOUSE"})) {
            spouse.Offer(preference, value);
        } else if (name == QLatin1StringView("BDAY")) {
            if (birthday.isEmpty()) birthday = WithoutPlaceholderYear(attribute, value);
        } else if (IsOneOf(name, {"ANNIVERSARY", "X-ANNIVERSARY", "X-EVOLUTION-ANNIVERSARY",
                                  "X-KADDRESSBOOK-X-ANNIVERSARY", "X-MS-ANNIVERSARY"})) {
            if (anniversary.isEmpty()) anniversary = WithoutPlaceholderYear(attribute, value);
        }
    }

    const bool isGroup = isList || kind == QLatin1StringView("group");
    // A card that names its person only by display name: the first word is taken as the given
    // name and the rest as the surname. Groups and organisations are not people.
    if (given.isEmpty() && family.isEmpty() && !display.isEmpty() && !isGroup &&
        kind != QLatin1StringView("org")) {
        const QString trimmed = display.trimmed();
        static const QRegularExpression whiteSpace(QStringLiteral("\\s"));
        const qsizetype space = trimmed.indexOf(whiteSpace);
        given = space < 0 ? trimmed : trimmed.left(space);
        family = space < 0 ? QString() : trimmed.mid(space).trimmed();
    }

    // 2.1 does not require FN; the list still needs something to show.
    if (display.isEmpty()) display = (given + QLatin1Char(' ') + family).trimmed();
    if (display.isEmpty()) display = company;
    if (display.isEmpty()) display = email.Value();

    TCardRow result;
    QStringList& row = result.Row;
    row.resize(AddressFieldCount);
    row[afEntryID] = uid;
    row[afObjectType] = isGroup ? QStringLiteral("group") : QStringLiteral("contact");
    row[afDisplay] = display;
    row[afFirst] = given;
    row[afLast] = family;
    PutAddress(row, afAddress, homeAddress);
    row[afPhone] = phone.Value();
    row[afFax] = fax.Value();
    row[afCellular] = cellular.Value();
    row[afEmail] = email.Value();
    row[afWebPage] = webPage.Value();
    row[afCompany] = company;
    row[afTitle] = title;
    PutAddress(row, afBusAddress, workAddress);
    row[afBusPhone] = busPhone.Value();
    row[afBusFax] = busFax.Value();
    row[afBusWebPage] = busWebPage.Value();
    row[afSpouse] = spouse.Value();
    row[afBirthday] = DateText(birthday);
    row[afAnniversary] = DateText(anniversary);
    if (row[afSpouse].isEmpty()) result.SpouseReference = spouseReference;
    if (!HasContent(row)) return std::nullopt;

    if (row[afEntryID].isEmpty()) {
        // Without a UID the card's own text identifies it; line ends are left out so that an
        // editor that rewrites them does not change the identity.
        QByteArray normalized = cardText;
        normalized.replace('\r', QByteArray());
        row[afEntryID] = QString::fromLatin1(
            QCryptographicHash::hash(normalized.trimmed(), QCryptographicHash::Sha1).toHex());
    }
    return result;
}

// At most maxLength characters, never half of a surrogate pair.
QString Cut(const QString& value, qsizetype maxLength) {
    if (value.size() <= maxLength) return value;
    qsizetype length = maxLength;
    if (length > 0 && value.at(length - 1).isHighSurrogate()) --length;
    return value.left(length);
}

QString Limited(QString value) {
    value.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
    value.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Cut(value, MaxAddressValueLength);
}

// Every card of the device's text, as rows, read a piece at a time; problem (when given) says
// what kept the text from being read whole, naming the file.
QList<QStringList> ReadFrom(QIODevice& device, const QString& fileName, QString* problem) {
    QuietenLibrary();
    constexpr qint64 PieceSize = 1 << 20;
    std::vector<TCardRow> cards;
    TCardSplitter splitter([&](const QByteArray& cardText) {
        if (std::optional<TCardRow> card = ReadCard(cardText)) cards.push_back(std::move(*card));
    });
    // Some programs export UTF-16; the cards are read as UTF-8.
    const std::optional<QStringConverter::Encoding> encoding =
        QStringConverter::encodingForData(device.peek(4), u'B');
    std::optional<QStringDecoder> decoder;
    if (encoding && *encoding != QStringConverter::Utf8)
        decoder.emplace(*encoding);
    else if (device.peek(3) == "\xEF\xBB\xBF")
        device.skip(3);
    QByteArray rest; // a line begun in an earlier piece
    bool skipping = false; // of a line longer than any card may be
    qint64 line = 1;
    QString trouble;
    try {
        for (;;) {
            QByteArray piece = device.read(PieceSize);
            if (piece.isEmpty()) {
                if (!device.atEnd())
                    trouble = QStringLiteral("it was read only up to line %1: %2")
                                  .arg(line)
                                  .arg(device.errorString());
                break;
            }
            if (decoder) piece = QString(decoder->decode(piece)).toUtf8();
            // NUL has no place in vCard text, and the library reads past the end of a
            // quoted-printable value that a NUL cuts short after its "=".
            piece.removeIf([](char c) { return c == '\0'; });
            qsizetype start = 0;
            if (skipping) {
                start = piece.indexOf('\n');
                if (start < 0) continue;
                ++start;
                ++line;
                skipping = false;
            }
            rest += QByteArrayView(piece).sliced(start);
            start = 0;
            for (qsizetype end; (end = rest.indexOf('\n', start)) >= 0; start = end + 1, ++line)
                splitter.Line(QByteArrayView(rest).sliced(start, end - start));
            rest.remove(0, start);
            if (rest.size() > MaxCardSize) {
                rest.clear();
                skipping = true;
                splitter.DropLine();
            }
        }
        if (!rest.isEmpty()) splitter.Line(rest);
        splitter.Finish();
    } catch (const std::bad_alloc&) {
        trouble = QStringLiteral("it was read only up to line %1: there is not enough memory "
                                 "for more contacts").arg(line);
    }
    if (trouble.isEmpty() && splitter.Cut())
        trouble = QStringLiteral("a contact larger than %1 MB was cut short")
                      .arg(MaxCardSize / (1024 * 1024));
    if (problem && !trouble.isEmpty())
        *problem = QStringLiteral("The address book %1 is not complete: %2.").arg(fileName, trouble);

    QHash<QString, QString> displayByUid;
    for (const TCardRow& card : cards)
        if (!displayByUid.contains(card.Row[afEntryID]))
            displayByUid.insert(card.Row[afEntryID], card.Row[afDisplay]);
    QHash<QString, int> idUses;
    QList<QStringList> contacts;
    contacts.reserve(qsizetype(cards.size()));
    for (TCardRow& card : cards) {
        QStringList& row = card.Row;
        if (!card.SpouseReference.isEmpty()) row[afSpouse] = displayByUid.value(card.SpouseReference);
        for (QString& value : row) value = Limited(value);
        // Copies of one card (or cards sharing a UID) still get distinct ids.
        const int uses = ++idUses[row[afEntryID]];
        if (uses > 1) {
            const QString suffix = QStringLiteral("#%1").arg(uses);
            row[afEntryID] = Cut(row[afEntryID], MaxAddressValueLength - suffix.size()) + suffix;
        }
        contacts.append(std::move(row));
    }
    return contacts;
}

} // namespace

QStringList AddressFieldNames() {
    return {QStringLiteral("EntryID"),    QStringLiteral("ObjectType"), QStringLiteral("Display"),
            QStringLiteral("First"),      QStringLiteral("Last"),       QStringLiteral("Address"),
            QStringLiteral("City"),       QStringLiteral("State"),      QStringLiteral("Zip"),
            QStringLiteral("Country"),    QStringLiteral("Phone"),      QStringLiteral("Fax"),
            QStringLiteral("Cellular"),   QStringLiteral("Email"),      QStringLiteral("WebPage"),
            QStringLiteral("Company"),    QStringLiteral("Title"),      QStringLiteral("BusAddress"),
            QStringLiteral("BusCity"),    QStringLiteral("BusState"),   QStringLiteral("BusZip"),
            QStringLiteral("BusCountry"), QStringLiteral("BusPhone"),   QStringLiteral("BusFax"),
            QStringLiteral("BusWebPage"), QStringLiteral("Spouse"),     QStringLiteral("Birthday"),
            QStringLiteral("Anniversary")};
}

QList<QStringList> ReadContacts(const QByteArray& fileBytes) {
    QBuffer buffer;
    buffer.setData(fileBytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadFrom(buffer, QString(), nullptr);
}

QList<QStringList> ReadContactsFromFile(const QString& fileName, QString* problem) {
    if (problem) problem->clear();
    if (fileName.isEmpty() || !QFileInfo::exists(fileName)) return {};
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = QStringLiteral("The address book %1 cannot be read: %2.")
                           .arg(fileName,
                                QFileInfo(fileName).isDir() ? QStringLiteral("it is a folder")
                                                            : file.errorString());
        return {};
    }
    return ReadFrom(file, fileName, problem);
}

QString DateText(const QString& vcardValue) {
    const QString text = vcardValue.trimmed();
    // A time after the date (date-time values) is dropped.
    static const QRegularExpression full(
        QStringLiteral("^(\\d{4})-?(\\d{2})-?(\\d{2})(?:[T ].*)?$"));
    static const QRegularExpression noYear(QStringLiteral("^--(\\d{2})-?(\\d{2})(?:T.*)?$"));
    if (const auto m = full.match(text); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid()) return date.toString(QStringLiteral("yyyy-MM-dd"));
    } else if (const auto m = noYear.match(text); m.hasMatch()) {
        const QDate date(2000, m.captured(1).toInt(), m.captured(2).toInt()); // allows 29 Feb
        if (date.isValid()) return date.toString(QStringLiteral("--MM-dd"));
    }
    return text;
}

} // namespace VCardReader
