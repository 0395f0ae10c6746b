#pragma once

#include "document/IniFile.h"
#include "objects/Headline.h"
#include "objects/HeadlinePresets.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class TColorSwatch;
class TDirectionPicker;
class THeadlineObject;
class THeadlineSample;
class TPresetGrid;
class TRecordSource;
class TSettingsStore;
class TTextureThumbnail;

// Registers the headline's properties dialog with the document model. The user interface
// calls it once at start-up.
void RegisterHeadlineDialog();

// A file dialog filter of "description|patterns|description|patterns..." (patterns separated
// by ";") in the "description (patterns);;..." form of Qt. Each pattern is offered in upper and
// lower case, since file names on Linux are case-sensitive.
QString QtFileFilter(const QString& filter);

// "Headline Object Properties": a headline's text, and its style chosen from the stored presets
// or set by hand, with a live sample. The dialog edits its own copy of the style (the sample)
// and keeps the opening style for "Revert"; the object takes the sample on OK. Presets live in
// the application's settings file when that is an ini file (otherwise in memory for the
// dialog's lifetime); changes to them are saved when the dialog closes, confirmed or not.
class THeadlineForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int MinimumFontSize = 5;
    static constexpr int MaximumFontSize = 800;
    static constexpr int MaximumDepth = 10;

    explicit THeadlineForm(QWidget* parent = nullptr);
    ~THeadlineForm() override;

    // Shows the dialog for the headline; on OK the headline takes the text and style, is
    // personalized, repainted and its document marked modified. True when confirmed.
    static bool Run(THeadlineObject& headline, QWidget* parent = nullptr);
    // Text, style, centring and direction from the headline; the data source and, for
    // banners, the plain-only mode from its document (or the active one).
    void Fill(const THeadlineObject& headline);
    // What OK does to the headline (Run calls it after the dialog was confirmed).
    void ApplyTo(THeadlineObject& headline) const;

    // The sample and the opening style take the style; the controls follow.
    void SetStyle(const THeadlineText& style);
    const THeadlineText& Sample() const { return FSample; }
    const THeadlineText& OpeningStyle() const { return FOpening; }
    // The headline's raw text, lines separated by CR LF.
    QString Text() const;
    void SetText(const QString& text);
    bool CenterHorizontally() const;
    bool CenterVertically() const;
    void SetCentering(bool horizontally, bool vertically);
    quint8 TextDirection() const;
    void SetTextDirection(quint8 direction);
    bool StoreAsDefault() const;
    // The recipient table whose fields "Insert Database Field" offers; none disables it.
    void SetDataSource(const TRecordSource* source);
    // For banners: plain letters and background only, no presets, no text direction.
    void SetPlainOnly();
    bool PlainOnly() const { return FPlainOnly; }
    // The customize pages (true) or the preset grid.
    bool CustomizeMode() const;
    void SetCustomizeMode(bool customize);
    // The sample's style, the centring flags and the direction as the "Default Headline"
    // settings of new headlines.
    void WriteDefaults(TSettingsStore& settings) const;

    THeadlinePresets& Presets() { return FPresets; }
    TPresetGrid* PresetGrid() const { return FGrid; }

    // Stand-ins for the modal pickers (tests); when unset the real dialogs are shown.
    // A colour dialog opened on the current value; nothing when cancelled.
    std::function<std::optional<quint32>(quint32 current)> AskColor;
    // "Select Texture": the chosen file, empty when cancelled.
    std::function<QString(const QString& current)> AskTexture;
    // The database field to insert, first one preselected; nothing when cancelled.
    std::function<std::optional<QString>(const QStringList& fields)> AskField;

    void AddPreset();
    void ReplacePreset();
    void DeletePreset();
    void MovePresetUp();
    void MovePresetDown();
    void Revert();
    void InsertDatabaseField();

    void done(int result) override;

private:
    void BuildTextArea(QLayout* into);
    QWidget* BuildPresetPage();
    QWidget* BuildFontPage();
    QWidget* BuildShadePage();
    QWidget* BuildBackgroundPage();
    struct TShadeControls;
    QWidget* BuildShadeGroup(const QString& title, const QString& name, TShadeControls& shade);

    void SavePresets(); // writes the settings file when presets changed
    void FillControls();
    void StyleChanged(); // recomputes the sample's box and repaints it
    void UpdatePresetButtons();
    void UpdateOkButton();
    void UpdateTextureControls();
    void ApplyPlainOnlyRules(THeadlineText& style) const;
    void PresetSelected(int index);
    void ApplyFontSize(bool finished);
    void ChooseColor(quint32& target, TColorSwatch* swatch);
    void ChooseTexture(bool background);
    void LetterFillChanged();
    // A "Color..." button and the swatch of the sample's colour that it changes.
    QWidget* ColorRow(const QString& caption, const QString& name, QPushButton*& button,
                      TColorSwatch*& swatch, const std::function<quint32&()>& target);

    THeadlineText FSample;  // the style being edited, with the lines "Headline", "Sample Text"
    THeadlineText FOpening; // the style when the dialog opened, for Revert
    TIniFile FOwnFile;      // the presets' file when the settings are not an ini file
    TIniFile* FFile;
    THeadlinePresets FPresets;
    bool FPresetsChanged = false;
    bool FFilling = false; // the controls are being filled: their signals change nothing
    bool FPlainOnly = false;
    QStringList FFieldNames; // of the data source; "Insert Database Field" needs one

    QPlainTextEdit* FMemo;
    QPushButton* FInsertField;
    QCheckBox* FDeleteBlankLines;
    QRadioButton* FPresetMode;
    QRadioButton* FCustomizeMode;
    QStackedWidget* FStack;
    TPresetGrid* FGrid;
    QPushButton* FAdd;
    QPushButton* FReplace;
    QPushButton* FDelete;
    QPushButton* FMoveUp;
    QPushButton* FMoveDown;
    QTabWidget* FTabs;

    QComboBox* FFontName;
    QComboBox* FFontSize;
    QToolButton* FBold;
    QToolButton* FItalic;
    QToolButton* FUnderline;
    QButtonGroup* FAlignment;
    QButtonGroup* FLetterFill; // 0 solid, 1 gradient, 2 texture
    QRadioButton* FLetterSolid;
    QRadioButton* FLetterGradient;
    QRadioButton* FLetterTexture;
    QRadioButton* FLetterHorizontal;
    QRadioButton* FLetterVertical;
    QPushButton* FFontColor;
    TColorSwatch* FFontColorSwatch;
    QPushButton* FFromColor;
    TColorSwatch* FFromColorSwatch;
    QPushButton* FToColor;
    TColorSwatch* FToColorSwatch;
    QPushButton* FTextureBrowse;
    TTextureThumbnail* FTexturePicture;

    struct TShadeControls {
        TDirectionPicker* Direction = nullptr;
        QSlider* Depth = nullptr;
        QButtonGroup* Style = nullptr;
        QPushButton* Color = nullptr;
        TColorSwatch* Swatch = nullptr;
    };
    TShadeControls FShadow;
    TShadeControls FHighlight;

    QButtonGroup* FBackStyle; // ids are the back styles
    QPushButton* FBackColor;
    TColorSwatch* FBackColorSwatch;
    QPushButton* FBackFromColor;
    TColorSwatch* FBackFromSwatch;
    QPushButton* FBackToColor;
    TColorSwatch* FBackToSwatch;
    QRadioButton* FBackHorizontal;
    QRadioButton* FBackVertical;
    QPushButton* FBackBrowse;
    TTextureThumbnail* FBackPicture;
    QSpinBox* FBorderSize;
    QPushButton* FBorderColor;
    TColorSwatch* FBorderSwatch;

    THeadlineSample* FSamplePanel;
    QCheckBox* FCenterHorizontally;
    QCheckBox* FCenterVertically;
    QComboBox* FTextDirection;
    QCheckBox* FDefault;
    QPushButton* FRevert;
    QPushButton* FOk;
};
