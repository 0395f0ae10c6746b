#include "document/IniFile.h"

#include "storage/AtomicFile.h"

#include <QFile>
#include <QStringDecoder>

#include <utility>

TIniFile::TSection* TIniFile::Find(const QString& section) {
    for (TSection& s : FSections)
        if (s.Name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

const TIniFile::TSection* TIniFile::Find(const QString& section) const {
    return const_cast<TIniFile*>(this)->Find(section);
}

bool TIniFile::Load() {
    FSections.clear();
    QFile file(FFileName);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) return false;
    Parse(QString::fromUtf8(file.readAll()));
    return true;
}

void TIniFile::Parse(const QString& text) {
    FSections.clear();
    TSection* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = Find(name);
            if (!current) {
                FSections.push_back({name, {}});
                current = &FSections.back();
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!current || equals <= 0) continue;
        SetValue(current->Name, line.left(equals).trimmed(), line.mid(equals + 1));
        current = Find(current->Name); // the vector may have moved
    }
}

QString TIniFile::Text() const {
    QString text;
    for (const TSection& s : FSections) {
        text += QLatin1Char('[') + s.Name + QStringLiteral("]\n");
        for (const auto& [key, value] : s.Entries)
            text += key + QLatin1Char('=') + value + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text;
}

bool TIniFile::Save() const {
    try {
        WriteFileAtomically(FFileName, Text().toUtf8());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QVariant TIniFile::Value(const QString& section, const QString& key) const {
    const TSection* s = Find(section);
    if (!s) return {};
    for (const auto& [name, value] : s->Entries)
        if (name.compare(key, Qt::CaseInsensitive) == 0) return value;
    return {};
}

void TIniFile::SetValue(const QString& section, const QString& key, const QVariant& value) {
    TSection* s = Find(section);
    if (!s) {
        FSections.push_back({section, {}});
        s = &FSections.back();
    }
    const QString text = value.typeId() == QMetaType::Bool ? QString::number(value.toBool() ? 1 : 0)
                                                           : value.toString();
    for (auto& [name, stored] : s->Entries) {
        if (name.compare(key, Qt::CaseInsensitive) == 0) {
            stored = text;
            return;
        }
    }
    s->Entries.emplace_back(key, text);
}

QStringList TIniFile::Keys(const QString& section) const {
    QStringList keys;
    if (const TSection* s = Find(section))
        for (const auto& entry : s->Entries)
            keys.append(entry.first);
    return keys;
}

void TIniFile::EraseSection(const QString& section) {
    for (auto it = FSections.begin(); it != FSections.end(); ++it) {
        if (it->Name.compare(section, Qt::CaseInsensitive) == 0) {
            FSections.erase(it);
            return;
        }
    }
}

bool TIniFile::HasSection(const QString& section) const {
    return Find(section) != nullptr;
}

bool TIniFile::RenameSection(const QString& from, const QString& to) {
    TSection* s = Find(from);
    if (!s) return false;
    const TSection* taken = Find(to);
    if (taken && taken != s) return false;
    s->Name = to;
    return true;
}

bool TIniFile::ExchangeSections(const QString& first, const QString& second) {
    TSection* a = Find(first);
    TSection* b = Find(second);
    if (!a || !b) return false;
    std::swap(a->Name, b->Name);
    return true;
}
