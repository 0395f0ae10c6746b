#include "app/LastUsed.h"

#include "document/IniFile.h"

#include <QAction>
#include <QMenu>

TLastUsed::TLastUsed(QObject* parent) : QObject(parent) {}

void TLastUsed::SetSavedCount(int count) {
    FSavedCount = std::max(0, count);
    while (FFiles.size() > FSavedCount)
        FFiles.removeLast();
    RebuildMenu();
}

void TLastUsed::SetMenu(QMenu* menu) {
    FMenu = menu;
    RebuildMenu();
}

void TLastUsed::Load(const TIniFile& settings) {
    FFiles.clear();
    for (int i = 0;; ++i) {
        const QString name = settings.ReadString(
            QString::fromLatin1(Section), QStringLiteral("File %1").arg(i), QStringLiteral("***"));
        if (name == QLatin1String("***")) break;
        FFiles.append(name);
    }
    RebuildMenu();
}

void TLastUsed::Save(TIniFile& settings) const {
    const QString section = QString::fromLatin1(Section);
    settings.EraseSection(section);
    for (int i = 0; i < FFiles.size(); ++i)
        settings.WriteString(section, QStringLiteral("File %1").arg(i), FFiles[i]);
}

void TLastUsed::Add(const QString& fileName) {
    for (int i = 0; i < FFiles.size(); ++i) {
        if (FFiles[i].compare(fileName, Qt::CaseInsensitive) == 0) {
            FFiles.move(i, 0);
            RebuildMenu();
            return;
        }
    }
    FFiles.prepend(fileName);
    if (FFiles.size() > FSavedCount) FFiles.removeLast();
    RebuildMenu();
}

void TLastUsed::Remove(const QString& fileName) {
    for (int i = 0; i < FFiles.size(); ++i) {
        if (FFiles[i].compare(fileName, Qt::CaseInsensitive) == 0) {
            FFiles.removeAt(i);
            break;
        }
    }
    RebuildMenu();
}

void TLastUsed::Clear() {
    FFiles.clear();
    RebuildMenu();
}

QStringList TLastUsed::Captions() const {
    QStringList captions;
    for (int i = 0; i < FFiles.size(); ++i) {
        if (i < 9)
            captions.append(QStringLiteral("&%1  %2").arg(i + 1).arg(FFiles[i]));
        else if (i == 9)
            captions.append(QStringLiteral("&0  %1").arg(FFiles[i]));
        else
            captions.append(FFiles[i]);
    }
    return captions;
}

void TLastUsed::RebuildMenu() {
    if (!FMenu) return;
    for (QAction* action : FItems) {
        FMenu->removeAction(action);
        action->deleteLater();
    }
    FItems.clear();
    auto add = [this](QAction* action) {
        FMenu->addAction(action);
        FItems.append(action);
    };
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    add(separator);
    const QStringList captions = Captions();
    for (int i = 0; i < captions.size(); ++i) {
        auto* item = new QAction(captions[i], this);
        const QString file = FFiles[i];
        item->setStatusTip(Hint.contains(QLatin1String("%s"))
                               ? QString(Hint).replace(QLatin1String("%s"), file)
                               : Hint);
        connect(item, &QAction::triggered, this, [this, file] { emit Clicked(file); });
        add(item);
    }
    if (!FFiles.isEmpty()) {
        auto* second = new QAction(this);
        second->setSeparator(true);
        add(second);
        auto* clear = new QAction(ClearCaption, this);
        clear->setStatusTip(ClearCaptionHint);
        connect(clear, &QAction::triggered, this, &TLastUsed::Clear);
        add(clear);
    }
}
