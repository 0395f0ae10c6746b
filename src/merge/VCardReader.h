#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Turns an address book file in the vCard format (2.1, 3.0 and 4.0, any number of cards)
// into rows of the address table: one row per card, each with AddressFieldCount values in
// the order of AddressFieldNames(), every value at most MaxAddressValueLength characters.
// Dates come out as yyyy-MM-dd, or --MM-dd when the card gives no year.
namespace VCardReader {

enum TAddressField {
    afEntryID,
    afObjectType,
    afDisplay,
    afFirst,
    afLast,
    afAddress,
    afCity,
    afState,
    afZip,
    afCountry,
    afPhone,
    afFax,
    afCellular,
    afEmail,
    afWebPage,
    afCompany,
    afTitle,
    afBusAddress,
    afBusCity,
    afBusState,
    afBusZip,
    afBusCountry,
    afBusPhone,
    afBusFax,
    afBusWebPage,
    afSpouse,
    afBirthday,
    afAnniversary,
    AddressFieldCount
};

constexpr int MaxAddressValueLength = 255;
// The text kept of one card (photos included); what lies beyond is dropped.
constexpr qsizetype MaxCardSize = 16 * 1024 * 1024;

// The names of the address table's fields, in table order.
QStringList AddressFieldNames();

// Every card of the text. Text outside cards and cards the vCard library cannot make sense of
// yield nothing; this never fails.
QList<QStringList> ReadContacts(const QByteArray& fileBytes);
// Every card of the file, read a piece at a time, so a file of any length is read as far as
// memory holds its contacts. A missing file gives no contacts. When the file cannot be read,
// or only in part, problem (when given) tells the user so, naming the file; else it is empty.
QList<QStringList> ReadContactsFromFile(const QString& fileName, QString* problem = nullptr);

// A vCard date or date-time (BDAY, ANNIVERSARY) as the address table shows it; text that is
// no date of a known form is kept as written.
QString DateText(const QString& vcardValue);

} // namespace VCardReader
