#pragma once

// What the document fuzz targets need once per process: an offscreen application (documents
// measure text with its fonts), the document classes, and a context whose messages go nowhere.
#include "document/AppContext.h"
#include "document/Messages.h"
#include "objects/ObjectClasses.h"

#include <QByteArray>
#include <QGuiApplication>

#include <memory>

struct TFuzzEnvironment {
    TFuzzEnvironment() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        Application = std::make_unique<QGuiApplication>(Argc, Argv);
        RegisterDocumentClasses();
        Context.SetMessages(&Silent);
    }
    class TSilent : public TMessageSink {
        void Error(const QString&) override {}
        void Information(const QString&) override {}
        bool Confirm(const QString&) override { return false; }
    } Silent;
    int Argc = 1;
    char Name[8] = "fuzz";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QGuiApplication> Application;
    TAppContext Context;
    TAppContextScope Scope{Context};
};
