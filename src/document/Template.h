#pragma once

#include "storage/Table.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

class TCard;

// One template of the index: a document file in the template folder, known by its
// upper-cased name, with the description and document type of the card it holds.
class TTemplate : public TStored {
    QDX_STORED_CLASS("TTemplate")
public:
    TTemplate() = default;

    QString Description;
    qint32 FileAge = 0; // the file's modification stamp when it was last read
    QString FileName;   // without folder, upper-cased: the key of the index
    quint8 DocumentType = 0;
    bool Seen = false; // present and unchanged, while refreshing
    QString RealName;  // the file's own name on disk, when known (not stored)

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
};

// The index of the template folder, so that templates of a document type can be listed
// with their descriptions without opening every file. Sorted and unique by file name; keeps
// the number of templates of each document type. Brought up to date with the folder by
// Refresh, which opens only the files that are new or changed.
class TTemplateTable : public TObjectTable {
    QDX_STORED_CLASS("TTemplateTable")
public:
    static constexpr int TypeCount = 32;
    using TLoader = std::function<std::unique_ptr<TCard>(const QString& path)>;
    using TProgress = std::function<void(int done, int total)>;

    TTemplateTable();

    std::array<qint16, TypeCount> TypeCounts{};

    TTemplate* Items(int index) const {
        return static_cast<TTemplate*>(TObjectTable::Items(index));
    }
    int CountForType(int documentType) const;
    TTemplate* FindTemplate(const QString& fileName) const;
    int AddTemplate(const QString& fileName, const QString& description, int documentType);
    void RemoveTemplate(const QString& fileName, int documentType);
    // Deletes the template's file and its entry.
    void DeleteTemplate(TTemplate* entry);
    void UpdateTemplate(const QString& fileName, const QString& description, int documentType);
    QString TemplatePath(const TTemplate& entry) const;

    // The template folder (default: the application context's).
    QString Folder() const;
    void SetFolder(const QString& folder) { FFolder = folder; }
    // How templates are opened while refreshing (default: as documents are opened).
    void SetLoader(TLoader loader) { FLoader = std::move(loader); }
    void Refresh(const TProgress& progress = {});

    // The modification stamp that FileAge holds for a file; 0 when there is no such file.
    static qint32 FileStamp(const QString& path);

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;

protected:
    int CompareObjects(const TStored* a, const TStored* b) const override;
    bool AcceptsItem(const TStored* object) const override;

private:
    void ChangeCount(int documentType, int by);
    void MoveToErrorFolder(const QString& realName) const;

    QString FFolder;
    TLoader FLoader;
};

// The template index of the user folder's "Template.dat": read when present (an index that
// cannot be read is rebuilt, as it holds nothing that the folder does not), then refreshed.
std::unique_ptr<TTemplateTable> OpenTemplateIndex(const QString& indexFile,
                                                  const TTemplateTable::TProgress& progress = {});
// Saves the index when it changed; false (after "Error writing template file.") on failure.
bool SaveTemplateIndex(TTemplateTable& index, const QString& indexFile);

// Reads a document file as templates are read: in the background, so that its controls do not
// attach to the active editing window. Throws when the file cannot be read or holds no document.
std::unique_ptr<TCard> LoadTemplateCard(const QString& path);
