#include "app/AutoSave.h"

#include "app/FileCommands.h"
#include "app/MainForm.h"
#include "app/PrintCommands.h"
#include "document/Card.h"
#include "document/CommandRunner.h"
#include "editor/CardWin.h"

#include <QApplication>
#include <QEvent>

#include <algorithm>

TAutoSave::TAutoSave(TMainForm& main) : QObject(&main), FMain(main) {
    FTimer.setInterval(FMinutes * 60000);
    FRetry.setInterval(RetryMilliseconds);
    connect(&FTimer, &QTimer::timeout, this, [this] { Tick(); });
    connect(&FRetry, &QTimer::timeout, this, [this] { RetryWhenFree(); });
    qApp->installEventFilter(this);
}

TAutoSave::~TAutoSave() {
    qApp->removeEventFilter(this);
}

void TAutoSave::SetMinutes(int minutes) {
    FMinutes = std::max(0, minutes);
    FTimer.setInterval(FMinutes * 60000);
    SetRunning(FRunning);
}

void TAutoSave::SetRunning(bool running) {
    FRunning = running;
    if (!FRunning || FMinutes == 0) {
        FTimer.stop();
        FRetry.stop();
        FPending = false;
    } else if (!FTimer.isActive() && !FPending) {
        FTimer.start();
    }
}

bool TAutoSave::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
        FSinceInput.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool TAutoSave::UserBusy() const {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return true;
    if (FMain.Printing().IsPrinting() || QGuiApplication::mouseButtons() != Qt::NoButton) return true;
    if (const TCardForm* form = FMain.ActiveEditor();
        form && form->DragMode() != TDragMode::Idle)
        return true;
    return FSinceInput.isValid() && FSinceInput.elapsed() < FQuiet;
}

void TAutoSave::Tick() {
    FTimer.stop();
    if (UserBusy()) {
        FPending = true;
        FRetry.start();
        return;
    }
    SaveActive();
}

void TAutoSave::RetryWhenFree() {
    if (UserBusy()) return;
    FRetry.stop();
    SaveActive();
}

bool TAutoSave::Declined(const TCardForm* form) {
    FDeclined.erase(std::remove(FDeclined.begin(), FDeclined.end(), nullptr), FDeclined.end());
    return std::find(FDeclined.begin(), FDeclined.end(), form) != FDeclined.end();
}

void TAutoSave::SaveActive() {
    FPending = false;
    TCardForm* form = FMain.ActiveEditor();
    const bool untitled = form && form->UntitledNumber() >= 0;
    if (form && form->HasDocument() && form->Card().DocumentModified &&
        !(untitled && Declined(form))) {
        QPointer<TCardForm> guard(form);
        bool saved = false;
        RunCommand([&] { saved = FMain.Files().Save(*form, true); });
        if (!saved && guard && guard->UntitledNumber() >= 0) FDeclined.push_back(guard);
    }
    if (FRunning && FMinutes > 0) FTimer.start();
}
