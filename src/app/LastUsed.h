#pragma once

#include <QObject>
#include <QStringList>

class QMenu;
class QAction;
class TIniFile;

// The recent-files list: most recent first, at most SavedCount names, shown at the end of
// the File menu as "&1  name" ... "&0  name", then the bare names, and a clear item.
class TLastUsed : public QObject {
    Q_OBJECT
public:
    static constexpr const char* Section = "Last Files Used";
    static constexpr int DefaultSavedCount = 5;

    explicit TLastUsed(QObject* parent = nullptr);

    QStringList Files() const { return FFiles; }
    int SavedCount() const { return FSavedCount; }
    void SetSavedCount(int count); // negative counts become 0
    QString Hint = QStringLiteral("Open a previously opened card");
    QString ClearCaption = QStringLiteral("Clear File &List");
    QString ClearCaptionHint = QStringLiteral("Clear the last files used list");

    void SetMenu(QMenu* menu);
    void Load(const TIniFile& settings);
    void Save(TIniFile& settings) const;
    void Add(const QString& fileName);
    void Remove(const QString& fileName);
    void Clear();
    // The menu captions as they stand.
    QStringList Captions() const;

signals:
    void Clicked(const QString& fileName);

private:
    void RebuildMenu();

    QStringList FFiles;
    int FSavedCount = DefaultSavedCount;
    QMenu* FMenu = nullptr;
    QList<QAction*> FItems; // what this list added to the menu
};
