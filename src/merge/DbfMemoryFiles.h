#pragma once

// shapelib reads and writes through file hooks; these keep its files in memory, so that the
// bytes are checked before shapelib sees them and written back with an atomic save.

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include <shapefil.h>

struct TMemoryFolder {
    std::map<std::string, std::shared_ptr<QByteArray>> Files;
    std::string LastError;
};

// Installs a memory folder for the current thread while it lives.
class TMemoryScope {
public:
    TMemoryScope();
    ~TMemoryScope();
    TMemoryScope(const TMemoryScope&) = delete;
    TMemoryScope& operator=(const TMemoryScope&) = delete;

    void Put(const std::string& name, const QByteArray& bytes) {
        FFolder.Files[name] = std::make_shared<QByteArray>(bytes);
    }
    std::optional<QByteArray> Get(const std::string& name) const {
        auto found = FFolder.Files.find(name);
        if (found == FFolder.Files.end()) return std::nullopt;
        return *found->second;
    }
    QString LastError() const { return QString::fromStdString(FFolder.LastError); }

    SAHooks Hooks;

private:
    TMemoryFolder FFolder;
    TMemoryFolder* FPrevious;
};
