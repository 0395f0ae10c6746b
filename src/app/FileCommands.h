#pragma once

#include <QString>

#include <memory>

class TCard;
class TCardForm;
class TMainForm;

// The File menu's document commands: new, open, close, save, save as and save as template,
// and the opening and writing of documents that recent files, dropped files and autosave use.
class TFileCommands {
public:
    explicit TFileCommands(TMainForm& main) : FMain(main) {}

    // initialType: the document type the Card Type dialog selects first (-1: its first).
    void New(int initialType = -1);
    void Open();
    void Close();
    void Save();
    void SaveAs();
    void SaveAsTemplate();

    // Opens a document into a new editing window; null after "Error opening the file %s.".
    TCardForm* OpenFile(const QString& path);
    // Loads a document without a window (the template chooser).
    std::unique_ptr<TCard> LoadFile(const QString& path);
    // A new editing window for a card that was just made (New).
    TCardForm* AddEditor(std::unique_ptr<TCard> card, bool fromTemplate);
    bool WriteDocument(TCardForm& form, const QString& path, bool withPreview);
    // byUser: an untitled document asks for a name first.
    bool Save(TCardForm& form, bool byUser);
    bool SaveAs(TCardForm& form);

private:
    QString UniqueUntitledName() const;
    // New documents of some types start with a word in each first frame.
    static void StartFrames(TCard& card, int zoom, bool fromTemplate);

    TMainForm& FMain;
};
