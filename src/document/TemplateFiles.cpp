#include "document/Template.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/LoadOptions.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QFile>

// The files of templates: the index of the template folder and the documents it lists.

std::unique_ptr<TTemplateTable> OpenTemplateIndex(const QString& indexFile,
                                                  const TTemplateTable::TProgress& progress) {
    std::unique_ptr<TTemplateTable> index;
    if (QFile::exists(indexFile)) {
        try {
            std::unique_ptr<TStored> root(LoadStoredFromFile(indexFile));
            if (auto* table = dynamic_cast<TTemplateTable*>(root.get())) {
                root.release();
                index.reset(table);
            }
        } catch (const std::exception&) {
            // Nothing in the index that the folder does not hold: rebuild it.
        }
    }
    if (!index) {
        index = std::make_unique<TTemplateTable>();
        index->SetModified(true);
    }
    index->Refresh(progress);
    return index;
}

bool SaveTemplateIndex(TTemplateTable& index, const QString& indexFile) {
    if (!index.Modified()) return true;
    try {
        SaveStoredToFile(indexFile, index);
    } catch (const std::exception&) {
        AppContext().Messages().Error(QStringLiteral("Error writing template file."));
        return false;
    }
    index.SetModified(false);
    return true;
}

std::unique_ptr<TCard> LoadTemplateCard(const QString& path) {
    TLoadOptions options;
    options.Opening = TLoadOptions::TOpening::Template;
    options.FileName = path;
    std::unique_ptr<TStored> root(LoadStoredFromFile(path, nullptr, &options));
    auto* card = dynamic_cast<TCard*>(root.get());
    if (!card) throw Exception(QStringLiteral("%1 is not a document.").arg(path));
    root.release();
    return std::unique_ptr<TCard>(card);
}
