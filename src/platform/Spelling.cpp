#include "platform/Spelling.h"

#include "document/Settings.h"
#include "storage/AtomicFile.h"
#include "storage/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <hunspell.hxx>

#include <algorithm>

namespace {

bool HasLetter(const QString& word) {
    return std::any_of(word.begin(), word.end(), [](QChar c) { return c.isLetter(); });
}

bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}

bool IsApostrophe(QChar c) {
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

bool EndsSentence(QChar c) {
    return c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?') ||
           c == QLatin1Char('\n') || c == QChar(0x2029);
}

} // namespace

TCustomDictionary::TCustomDictionary(const QString& path) : FPath(path) {}

void TCustomDictionary::SetWords(const QStringList& words) {
    QStringList kept;
    QSet<QString> seen;
    for (const QString& entry : words) {
        const QString word = entry.trimmed();
        if (word.isEmpty() || seen.contains(word)) continue;
        seen.insert(word);
        kept.append(word);
    }
    std::sort(kept.begin(), kept.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    FWords = kept;
}

bool TCustomDictionary::Add(const QString& word) {
    const QString trimmed = word.trimmed();
    if (trimmed.isEmpty() || FWords.contains(trimmed)) return false;
    SetWords(FWords + QStringList{trimmed});
    return true;
}

bool TCustomDictionary::Accepts(const QString& word) const {
    for (const QString& known : FWords) {
        if (word == known || word == known.toUpper()) return true;
        // "smith" added also accepts "Smith" at the start of a sentence; "Smith" does not
        // accept "smith".
        if (!known.isEmpty() && known[0].isLower() && !word.isEmpty() &&
            word == known[0].toUpper() + known.mid(1))
            return true;
    }
    return false;
}

void TCustomDictionary::Load() {
    FWords.clear();
    if (FPath.isEmpty() || !QFileInfo::exists(FPath)) return;
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(FPath, file.errorString()));
    if (file.size() > MaxFileSize) throw EReadError();
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) throw EReadError();
    SetWords(QString::fromUtf8(bytes).split(QLatin1Char('\n')));
}

void TCustomDictionary::Save() const {
    QByteArray bytes;
    for (const QString& word : FWords) bytes += word.toUtf8() + '\n';
    QDir().mkpath(QFileInfo(FPath).absolutePath());
    WriteFileAtomically(FPath, bytes);
}

bool TSpellChecker::Check(const QString& word) const {
    if (!HasLetter(word)) return true;
    return FCustom.Accepts(word) || InMainDictionary(word);
}

QStringList TSpellChecker::Suggest(const QString& word, int limit) const {
    QStringList suggestions = MainSuggestions(word);
    if (suggestions.size() > limit) suggestions = suggestions.mid(0, std::max(limit, 0));
    return suggestions;
}

void TSpellChecker::AddWord(const QString& word) {
    if (FCustom.Add(word)) FCustom.Save();
}

THunspellChecker::THunspellChecker(const QString& dictionaryBase, const QString& customFile)
    : TSpellChecker(customFile), FName(QFileInfo(dictionaryBase).fileName()) {
    const QByteArray aff = QFile::encodeName(dictionaryBase + QStringLiteral(".aff"));
    const QByteArray dic = QFile::encodeName(dictionaryBase + QStringLiteral(".dic"));
    FEngine = std::make_unique<Hunspell>(aff.constData(), dic.constData());
    QString encoding = QString::fromStdString(FEngine->get_dict_encoding()).toUpper();
    FUtf8 = encoding.remove(QLatin1Char('-')) == QLatin1String("UTF8");
}

THunspellChecker::~THunspellChecker() = default;

std::string THunspellChecker::Encode(const QString& word) const {
    return FUtf8 ? word.toStdString() : word.toLatin1().toStdString();
}

QString THunspellChecker::Decode(const std::string& word) const {
    return FUtf8 ? QString::fromStdString(word) : QString::fromLatin1(word.data(), qsizetype(word.size()));
}

bool THunspellChecker::InMainDictionary(const QString& word) const {
    // A word a Latin-1 dictionary cannot even spell is not in it.
    if (!FUtf8 && QString::fromLatin1(word.toLatin1()) != word) return false;
    QString plain = word;
    plain.replace(QChar(0x2019), QLatin1Char('\''));
    return FEngine->spell(Encode(plain));
}

QStringList THunspellChecker::MainSuggestions(const QString& word) const {
    QStringList suggestions;
    for (const std::string& suggestion : FEngine->suggest(Encode(word)))
        suggestions.append(Decode(suggestion));
    return suggestions;
}

QString SpellingCompleteText() {
    return QStringLiteral("Spelling check complete.");
}

QString SystemDictionaryFolder() {
    return QStringLiteral("/usr/share/hunspell");
}

QStringList InstalledDictionaries(const QString& folder) {
    QStringList names;
    const QDir dir(folder);
    for (const QFileInfo& aff : dir.entryInfoList({QStringLiteral("*.aff")}, QDir::Files)) {
        if (QFileInfo::exists(dir.filePath(aff.completeBaseName() + QStringLiteral(".dic"))))
            names.append(aff.completeBaseName());
    }
    names.sort();
    return names;
}

QString DictionaryNamedBy(const QString& mainDictionaryFile) {
    QFile file(mainDictionaryFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    // The file is a few lines; anything long is not this file.
    const QByteArray bytes = file.read(64 * 1024);
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const QString entry = line.trimmed();
        if (entry.isEmpty() || entry.startsWith(QLatin1Char('#'))) continue;
        if (QDir::isAbsolutePath(entry)) return QDir::cleanPath(entry);
        return QDir::cleanPath(QFileInfo(mainDictionaryFile).absoluteDir().filePath(entry));
    }
    return {};
}

namespace {

bool DictionaryExists(const QString& base) {
    return !base.isEmpty() && QFileInfo::exists(base + QStringLiteral(".aff")) &&
           QFileInfo::exists(base + QStringLiteral(".dic"));
}

} // namespace

std::unique_ptr<TSpellChecker> OpenSpellChecker(const QString& mainDictionaryFile,
                                                const TSettingsStore& settings,
                                                const QString& customFile) {
    const QString chosen =
        settings.ReadString(SpellingSettings::Section, SpellingSettings::Dictionary, QString());
    QString base;
    // Only a plain name of the system's folder: the setting never reaches other paths.
    if (!chosen.isEmpty() && !chosen.contains(QLatin1Char('/')))
        base = QDir(SystemDictionaryFolder()).filePath(chosen);
    if (!DictionaryExists(base)) base = DictionaryNamedBy(mainDictionaryFile);
    std::unique_ptr<TSpellChecker> checker;
    if (DictionaryExists(base))
        checker = std::make_unique<THunspellChecker>(base, customFile);
    else
        checker = std::make_unique<TNoSpellChecker>(customFile);
    try {
        checker->CustomDictionary().Load();
    } catch (const Exception&) {
        // An unreadable word list must not stop the checking; it stays empty until saved.
    }
    return checker;
}

QList<TWordSpan> WordsOf(const QString& text) {
    QList<TWordSpan> words;
    const int length = int(text.size());
    int i = 0;
    while (i < length) {
        if (!IsWordCharacter(text[i])) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < length) {
            if (IsWordCharacter(text[i])) {
                ++i;
            } else if (IsApostrophe(text[i]) && i + 1 < length && text[i + 1].isLetter() &&
                       text[i - 1].isLetter()) {
                i += 2;
            } else {
                break;
            }
        }
        const QString word = text.mid(start, i - start);
        if (HasLetter(word)) words.append({start, i - start, word});
    }
    return words;
}

TWordSpan WordAt(const QString& text, int position) {
    for (const TWordSpan& span : WordsOf(text)) {
        if (position >= span.Start && position <= span.Start + span.Length) return span;
        if (span.Start > position) break;
    }
    return {};
}

TSentence SentenceAround(const QString& text, int start, int length, int maxLength) {
    const int size = int(text.size());
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    int from = start;
    while (from > 0 && !EndsSentence(text[from - 1])) --from;
    int to = start + length;
    while (to < size && !EndsSentence(text[to])) ++to;
    if (to < size && text[to] != QLatin1Char('\n') && text[to] != QChar(0x2029)) ++to;
    // Long sentences are cut at spaces, keeping the word near the middle.
    const int room = std::max(maxLength - length, 0) / 2;
    if (start - from > room) {
        from = start - room;
        while (from < start && !text[from - 1].isSpace()) ++from;
    }
    if (to - (start + length) > room) {
        to = start + length + room;
        while (to > start + length && !text[to].isSpace()) --to;
    }
    TSentence sentence;
    const QString piece = text.mid(from, to - from);
    int leading = 0;
    while (leading < piece.size() && piece[leading].isSpace()) ++leading;
    sentence.Text = piece.trimmed();
    sentence.WordStart = start - from - leading;
    sentence.WordLength = length;
    return sentence;
}
