#pragma once

// What the document fuzz targets need once per process: an offscreen application (documents
// measure text with its fonts), the document classes, a context whose messages go nowhere, and
// recipient tables that open (for table names of even length) or fail, so that documents
// naming a data source are bound to a table or report it missing, as in the program.
#include "document/AppContext.h"
#include "document/Messages.h"
#include "objects/ObjectClasses.h"
#include "storage/Exception.h"

#include <QByteArray>
#include <QGuiApplication>

#include <algorithm>
#include <memory>

// Three records; every field name is a field, its value the name and the record number.
class TFuzzRecordSource : public TRecordSource {
public:
    void Open(const QString&, const QString& tableName, TTableType) override {
        if (tableName.size() % 2 != 0) throw Exception(QStringLiteral("no such table"));
        FOpen = true;
        FCurrent = 0;
    }
    void Close() override { FOpen = false; }
    bool IsOpen() const override { return FOpen; }
    QStringList FieldNames() const override { return {QStringLiteral("First")}; }
    int RecordCount() const override { return Records; }
    std::optional<QString> FieldText(const QString& name) const override {
        if (!FOpen || FCurrent >= Records) return std::nullopt;
        return name + QString::number(FCurrent + 1);
    }
    void First() override { FCurrent = 0; }
    void Next() override { FCurrent = std::min(FCurrent + 1, Records); }
    void Prior() override { FCurrent = std::max(FCurrent - 1, 0); }
    void Last() override { FCurrent = Records - 1; }
    bool Bof() const override { return FCurrent == 0; }
    bool Eof() const override { return FCurrent >= Records; }
    int RecordNumber() const override { return FCurrent + 1; }
    void MoveTo(int record) override { FCurrent = std::clamp(record - 1, 0, Records); }

private:
    static constexpr int Records = 3;
    bool FOpen = false;
    int FCurrent = 0;
};

struct TFuzzEnvironment {
    TFuzzEnvironment() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        Application = std::make_unique<QGuiApplication>(Argc, Argv);
        RegisterDocumentClasses();
        Context.SetMessages(&Silent);
        Context.RecordSourceFactory = [] { return std::make_unique<TFuzzRecordSource>(); };
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
