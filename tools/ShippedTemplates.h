#pragma once

// The templates shipped in the program folder's "Template" folder: at least two for every
// standard document type that can be started blank.

#include <QDir>
#include <QImage>
#include <QString>

#include <vector>

class TTemplateBuilder;

// The clip art drawings (SVG) that templates take their pictures from.
class TClipArt {
public:
    explicit TClipArt(const QDir& folder) : FFolder(folder) {}
    // The drawing "<name>.svg" on white, sized to fit pixels; throws when it cannot be read.
    QImage Picture(const QString& name, QSize pixels) const;

private:
    QDir FFolder;
};

struct TShippedTemplate {
    const char* Name; // the file name without ".qdx"
    int DocumentType;
    const char* Description;
    void (*Build)(TTemplateBuilder& builder, const TClipArt& clipArt);
};

const std::vector<TShippedTemplate>& ShippedTemplates();
