#include "app/MainForm.h"

#include "app/AppPaths.h"
#include "app/LastUsed.h"
#include "document/AppContext.h"
#include "editor/EditorState.h"
#include "objects/HeadlinePresets.h"

#include <QFile>

#include <algorithm>
#include <iterator>

namespace {

constexpr TSettingsKey LeadingKeys[] = {
    {"Default Headline", "Center Horizontally", "0"},
    {"Default Headline", "Center Vertically", "0"},
    {"Default Headline", "Text Direction", "0"},
    {"Default Headline", "Font Name", "Arial"},
    {"Default Headline", "Font Size", "20"},
    {"Default Headline", "Font Color", "0"},
    {"Default Headline", "Font Style", "0"},
    {"Default Headline", "Justification", "2"},
    {"Default Headline", "Graduate From Color", "0"},
    {"Default Headline", "Graduate To Color", "0"},
    {"Default Headline", "Graduate Style", "0"},
    {"Default Headline", "Texture File", ""},
    {"Default Headline", "Texture", "0"},
    {"Default Headline", "Highlight Depth", "0"},
    {"Default Headline", "Highlight Style", "0"},
    {"Default Headline", "Highlight Color", "0"},
    {"Default Headline", "Highlight Direction", "0"},
    {"Default Headline", "Shadow Depth", "0"},
    {"Default Headline", "Shadow Style", "0"},
    {"Default Headline", "Shadow Color", "0"},
    {"Default Headline", "Shadow Direction", "0"},
    {"Default Headline", "Background Color", "0"},
    {"Default Headline", "Background From Color", "0"},
    {"Default Headline", "Background To Color", "0"},
    {"Default Headline", "Background Direction", "0"},
    {"Default Headline", "Background Texture File", ""},
    {"Default Headline", "Background Style", "0"},
    {"Default Headline", "Border Size", "0"},
    {"Default Headline", "Border Color", "0"},
    {"Default Headline", "Delete Blank Lines", "0"},
    {"Default Text", "Center Horizontally", "0"},
    {"Default Text", "Center Vertically", "0"},
    {"Default Text", "Transparent", "0"},
    {"Default Line", "Color", "0"},
    {"Default Line", "Style", "0"},
    {"Default Line", "Size", "1"},
    {"Default Line", "Center Horizontally", "0"},
    {"Default Line", "Center Vertically", "0"},
};
// Each of these sections holds the ShapeKeys.
constexpr const char* ShapeSections[] = {"Default Rectangle", "Default Rounded Rectangle",
                                         "Default Ellipse"};
constexpr TSettingsKey ShapeKeys[] = {{"", "Color", "15"},
                                      {"", "Clear", "0"},
                                      {"", "Border Color", "0"},
                                      {"", "Border Size", "1"},
                                      {"", "Center Horizontally", "0"},
                                      {"", "Center Vertically", "0"}};
constexpr TSettingsKey TrailingKeys[] = {
    {"Default Bar Code", "Center Horizontally", "0"},
    {"Default Bar Code", "Center Vertically", "0"},
    {"Default Bar Code", "Bar Code Type", "0"},
    {"Default Bar Code", "Show Text", "1"},
    {"Default Comb", "Center Horizontally", "0"},
    {"Default Comb", "Center Vertically", "0"},
    {"Default Comb", "Color", "15"},
    {"Default Comb", "Clear", "1"},
    {"Default Comb", "Border Color", "0"},
    {"Default Comb", "Border Size", "1"},
    {"Default Comb", "Comb Edge", "1"},
    {"Default Comb", "Comb Style", "0"},
    {"Default Comb", "Spaces", "5"},
    {"Default Grid", "Center Horizontally", "0"},
    {"Default Grid", "Center Vertically", "0"},
    {"Default Grid", "Color", "16777215"},
    {"Default Grid", "Line Color", "0"},
    {"Default Grid", "Line Width", "1"},
    {"Default Grid", "Columns", "4"},
    {"Default Grid", "Rows", "4"},
    {"Default Grid", "Font Name", "Arial"},
    {"Default Grid", "Font Size", "10"},
    {"Default Grid", "Font Color", "0"},
    {"Default Grid", "Font Style", "0"},
    {"Default Grid", "Justification", "2"},
    {"Default Field", "Center Horizontally", "0"},
    {"Default Field", "Center Vertically", "0"},
    {"Default Field", "Color", "15"},
    {"Default Field", "Clear", "1"},
    {"Default Field", "Border Color", "0"},
    {"Default Field", "Border Size", "0"},
    {"Default Field", "Justification", "3"},
    {"Default Field", "Font Name", "Arial"},
    {"Default Field", "Font Size", "12"},
    {"Default Field", "Font Color", "0"},
    {"Default Field", "Font Style", "0"},
    {"Default Field", "Decimal Places", "2"},
    {"Default Field", "Required", "0"},
    {"Default Picture", "Center Horizontally", "0"},
    {"Default Picture", "Center Vertically", "0"},
    {"View", "Grid On", "0"},
    {"View", "Grid Snap To", "0"},
    {"View", "Grid Size", "3"},
    {"View", "Rulers On", "1"},
    {"View", "Field Object Areas On", "1"},
    {"Options", "AutoSave", "60000"},
    {"CD Drive", "Drive Letter", ""},
    {"Speech", "Initialized", "0"},
};

} // namespace

const std::vector<TSettingsKey>& SettingsKeys() {
    static const std::vector<TSettingsKey> keys = [] {
        std::vector<TSettingsKey> k(std::begin(LeadingKeys), std::end(LeadingKeys));
        for (const char* shape : ShapeSections)
            for (const TSettingsKey& key : ShapeKeys)
                k.push_back({shape, key.Key, key.Default});
        k.insert(k.end(), std::begin(TrailingKeys), std::end(TrailingKeys));
        return k;
    }();
    return keys;
}

void TMainForm::ReadSettings() {
    FSettings.SetFileName(AppPaths::SettingsFile());
    const bool firstStart = !QFile::exists(FSettings.FileName());
    FSettings.Load();
    if (firstStart) THeadlinePresets(FSettings).WriteStarterSet();
    // Every key starts with its default, so that objects and dialogs find it.
    for (const TSettingsKey& key : SettingsKeys()) {
        const QString section = QString::fromLatin1(key.Section);
        const QString name = QString::fromLatin1(key.Key);
        if (!FSettings.Value(section, name).isValid())
            FSettings.SetValue(section, name, QString::fromLatin1(key.Default));
    }
    TAppContext& context = AppContext();
    const QString view = QStringLiteral("View");
    context.ShowGrid = FSettings.ReadBool(view, QStringLiteral("Grid On"), false);
    context.SnapToGrid = FSettings.ReadBool(view, QStringLiteral("Grid Snap To"), false);
    context.ShowFieldAreas =
        FSettings.ReadBool(view, QStringLiteral("Field Object Areas On"), true);
    EditorState().ShowRulers = FSettings.ReadBool(view, QStringLiteral("Rulers On"), true);
    ShowSettingToggles();
    SetGridSize(std::clamp(FSettings.ReadInteger(view, QStringLiteral("Grid Size"), 3), 0, 5));
    const int autosave =
        FSettings.ReadInteger(QStringLiteral("Options"), QStringLiteral("AutoSave"), 60000);
    SetAutoSave(std::max(0, autosave) / 60000);
    FLastUsed->Load(FSettings);
}

void TMainForm::WriteSettings() {
    const TAppContext& context = AppContext();
    const QString view = QStringLiteral("View");
    FSettings.WriteBool(view, QStringLiteral("Grid On"), context.ShowGrid);
    FSettings.WriteBool(view, QStringLiteral("Grid Snap To"), context.SnapToGrid);
    FSettings.WriteInteger(view, QStringLiteral("Grid Size"), EditorState().GridSizeIndex);
    FSettings.WriteBool(view, QStringLiteral("Rulers On"), EditorState().ShowRulers);
    FSettings.WriteBool(view, QStringLiteral("Field Object Areas On"), context.ShowFieldAreas);
    FSettings.WriteInteger(QStringLiteral("Options"), QStringLiteral("AutoSave"),
                           AutoSaveMinutes() * 60000);
    FLastUsed->Save(FSettings);
    if (!FSettings.Save())
        FSink->Error(QStringLiteral("Error writing %1.").arg(FSettings.FileName()));
}
