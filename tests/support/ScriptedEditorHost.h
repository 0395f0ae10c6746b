#pragma once

#include "editor/EditorHost.h"

#include <functional>

// An editing window's host whose answers the test gives; what it leaves unset takes the
// defaults of a window without a main window.
class TScriptedEditorHost : public TEditorHost {
public:
    std::function<void(TCardForm& form)> OnRunProperties;
    std::function<void(TCardForm& form, QPoint globalPos)> OnShowObjectMenu;
    std::function<TSaveAnswer(const QString& question)> OnAskSave;
    std::function<void(const QString& fileName)> OnAddRecentFile;

    void RunProperties(TCardForm& form) override {
        if (OnRunProperties)
            OnRunProperties(form);
        else
            TEditorHost::RunProperties(form);
    }
    void ShowObjectMenu(TCardForm& form, QPoint globalPos) override {
        if (OnShowObjectMenu) OnShowObjectMenu(form, globalPos);
    }
    TSaveAnswer AskSave(const QString& question) override {
        return OnAskSave ? OnAskSave(question) : TEditorHost::AskSave(question);
    }
    void AddRecentFile(const QString& fileName) override {
        if (OnAddRecentFile) OnAddRecentFile(fileName);
    }
};
