#pragma once

class TCard;
class TMainForm;

// The Database menu: connecting the active document to a recipient table or the address
// book, designing and editing the table, and moving through its records.
class TDatabaseCommands {
public:
    explicit TDatabaseCommands(TMainForm& main) : FMain(main) {}

    void Create();
    void Connect();
    void ConnectAddressBook();
    void Disconnect();
    void Edit();
    void First();
    void Prior();
    void Next();
    void Last();
    // Gives the card's table the fields the user designs; true when they changed.
    bool Restructure(TCard& card);

private:
    enum class TMove { First, Prior, Next, Last };
    void Move(TMove move);
    // After the current record of a card's table changed: its record objects show it.
    void RecordMoved(TCard& card);
    // The active document when it has (or has not) a data source.
    TCard* Document(bool connected) const;

    TMainForm& FMain;
};
