#pragma once

#include "document/Shell.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

// The dialog's child of that object name; a test failure when there is none.
template <typename T = QWidget> T* Find(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Records the repaint requests, object by object.
class TRepaintRecorder : public TShell {
public:
    QList<const TCardObject*> Repainted;
    void RepaintObject(TCardObject& object) override { Repainted.append(&object); }
};
