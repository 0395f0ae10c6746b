#pragma once

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QTimer>

#include <functional>

// Answers the next modal dialog once it is up (the command that opens it blocks until then);
// a dialog the answer leaves open is cancelled. The polling timer belongs to owner.
inline void AnswerNextModalDialog(QObject* owner, const std::function<void(QDialog&)>& answer) {
    auto* timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        answer(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    timer->start();
}
