#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <vector>

class TCardForm;
class TMainForm;

// Saves the active document at the chosen interval. A tick that finds the user busy (a modal
// dialog or a menu open, a print job running, a drag in progress, or the keyboard or mouse
// used a moment ago) waits and saves once the user is free, so that the Save dialog of an
// untitled document never opens over another dialog or takes keys typed for something else.
// An untitled document asks for its name once: when the user cancels, autosave leaves that
// window alone until it has a name.
class TAutoSave : public QObject {
public:
    static constexpr int DefaultQuietMilliseconds = 1500;
    static constexpr int RetryMilliseconds = 250;

    explicit TAutoSave(TMainForm& main);
    ~TAutoSave() override;

    int Minutes() const { return FMinutes; }
    void SetMinutes(int minutes); // 0 is off
    // Runs only while an editing window is active.
    void SetRunning(bool running);
    QTimer& Timer() { return FTimer; }
    // The interval ended: saves now, or as soon as the user is free.
    void Tick();
    bool Pending() const { return FPending; }
    // How long after the last key or mouse press the user counts as busy.
    void SetQuietMilliseconds(int milliseconds) { FQuiet = milliseconds; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool UserBusy() const;
    void RetryWhenFree();
    void SaveActive();
    bool Declined(const TCardForm* form);

    TMainForm& FMain;
    QTimer FTimer;
    QTimer FRetry;
    QElapsedTimer FSinceInput;
    int FMinutes = 1;
    int FQuiet = DefaultQuietMilliseconds;
    bool FRunning = false;
    bool FPending = false;
    std::vector<QPointer<TCardForm>> FDeclined; // untitled windows whose Save dialog was cancelled
};
