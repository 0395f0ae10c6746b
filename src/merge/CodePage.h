#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Conversion of table text from and to the single-byte code pages of Paradox and dBase
// files (437, 850, 1250, 1252, ...), through Qt's converters.
namespace CodePage {

bool IsSupported(int codePage);
QString Decode(const QByteArray& bytes, int codePage);
// Nothing when a character has no place in the code page.
std::optional<QByteArray> Encode(const QString& text, int codePage);

// dBase: the code page of a language driver id (header byte 29); 0 when unknown.
int FromDbfLanguageDriver(int ldid);
// dBase: the code page named by a .cpg file ("1252", "ANSI 1252", "CP1252", "UTF-8", ...);
// 65001 stands for UTF-8; 0 when unknown.
int FromCpgText(const QByteArray& text);

} // namespace CodePage
