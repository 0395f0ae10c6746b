#pragma once

// Helpers for tests of printing and the print preview: a printer that keeps every page as a
// picture, a numbered in-memory table, an object that shows which record it was drawn for,
// and ways to find what landed where.

#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/RecordSource.h"
#include "document/Units.h"
#include "print/Printer.h"
#include "print/PrintPublication.h"

#include <QImage>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <ostream>
#include <vector>

// Keeps each page of each job as an image of the printable area (device pixels).
class TImagePrinter : public TPrinter {
public:
    struct TJob {
        QString Title;
        std::vector<QImage> Pages;
    };

    TImagePrinter(int dpi, QSize portraitPaperUnits = {850, 1100},
                  const TPrinterMargins& margins = {}, bool writesFile = false)
        : FDpi(dpi), FPaper(portraitPaperUnits), FMargins(margins), FWritesFile(writesFile) {}

    std::vector<TJob> Jobs;

    // Every page of every job in order.
    std::vector<QImage> AllPages() const {
        std::vector<QImage> pages;
        for (const TJob& job : Jobs)
            pages.insert(pages.end(), job.Pages.begin(), job.Pages.end());
        return pages;
    }

    QString Name() const override { return QStringLiteral("Pictures"); }
    bool WritesFile() const override { return FWritesFile; }
    int PixelsPerInch() const override { return FDpi; }
    QSize PaperSizePixels() const override {
        const QSize paper = FPortrait ? FPaper : FPaper.transposed();
        return {MulDiv(paper.width(), FDpi, 100), MulDiv(paper.height(), FDpi, 100)};
    }
    QSize PageSizePixels() const override {
        const QSize paper = PaperSizePixels();
        return {paper.width() - Px(FMargins.Left + FMargins.Right),
                paper.height() - Px(FMargins.Top + FMargins.Bottom)};
    }
    QPoint PrintableOffsetPixels() const override {
        return {Px(FMargins.Left), Px(FMargins.Top)};
    }
    bool Portrait() const override { return FPortrait; }
    void SetPortrait(bool portrait) override {
        if (!Printing()) FPortrait = portrait;
    }
    void SetTitle(const QString& title) override { FTitle = title; }
    void BeginDoc() override {
        Jobs.push_back({FTitle, {}});
        NewPicture();
    }
    void NewPage() override {
        FPainter.end();
        NewPicture();
    }
    void EndDoc() override { FPainter.end(); }
    void Abort() override {
        FPainter.end();
        Jobs.pop_back();
    }
    bool Printing() const override { return FPainter.isActive(); }
    QPainter& Painter() override { return FPainter; }

private:
    int Px(int units) const { return MulDiv(units, FDpi, 100); }
    void NewPicture() {
        QImage page(PageSizePixels(), QImage::Format_RGB32);
        page.fill(Qt::white);
        Jobs.back().Pages.push_back(page);
        FPainter.begin(&Jobs.back().Pages.back());
    }

    int FDpi;
    QSize FPaper;
    TPrinterMargins FMargins;
    bool FWritesFile;
    bool FPortrait = true;
    QString FTitle;
    QPainter FPainter;
};

// Answers as told and records what was asked.
class TRecordingPrompts : public TPrintPrompts {
public:
    bool PerRecord = false;
    bool CropMarks = false;
    bool TurnOver = true;
    QStringList Asked;
    int BusyDepth = 0;
    bool PrintPerRecord() override {
        Asked.append(PerRecordQuestion());
        return PerRecord;
    }
    bool PrintCropMarks() override {
        Asked.append(CropMarksQuestion());
        return CropMarks;
    }
    bool TurnPaperOver() override {
        Asked.append(TurnOverQuestion());
        return TurnOver;
    }
    void Busy(bool busy) override { BusyDepth += busy ? 1 : -1; }
};

// Records 1 to Count with one field, "Number".
class TNumberedTable : public TRecordSource {
public:
    explicit TNumberedTable(int count) : Count(count) {}
    int Count;
    int Current = 0; // 0-based; Count is past the end
    bool Opened = false;

    void Open(const QString&, const QString&, TTableType) override { Opened = true; }
    void Close() override { Opened = false; }
    bool IsOpen() const override { return Opened; }
    QStringList FieldNames() const override { return {QStringLiteral("Number")}; }
    int RecordCount() const override { return Count; }
    std::optional<QString> FieldText(const QString& name) const override {
        if (name.compare(QLatin1String("Number"), Qt::CaseInsensitive) != 0 || Eof())
            return std::nullopt;
        return QString::number(Current + 1);
    }
    void First() override { Current = 0; }
    void Next() override { Current = std::min(Current + 1, Count); }
    void Prior() override { Current = std::max(Current - 1, 0); }
    void Last() override { Current = std::max(Count - 1, 0); }
    bool Bof() const override { return Current == 0; }
    bool Eof() const override { return Current >= Count; }
    int RecordNumber() const override { return Count == 0 ? 0 : Current + 1; }
    void MoveTo(int record) override { Current = std::clamp(record - 1, 0, Count); }
};

// Fills its box with the colour (record number, 0, 255) of the record current when the
// fields were last refreshed; (0, 0, 255) without one.
class TRecordSwatch : public TCardObject {
public:
    explicit TRecordSwatch(const TRecordSource* table) : FTable(table) {}
    const char* ClassName() const override { return "TRecordSwatch"; }
    QString TypeName() const override { return QStringLiteral("Swatch"); }
    bool UsesRecordData() const override { return true; }
    void RefreshText() override {
        FRecord = FTable && FTable->IsOpen() && !FTable->Eof() ? FTable->RecordNumber() : 0;
    }
    void Draw(TCanvas& canvas, int dx, int dy, bool) override {
        TRect r = DeviceBounds(canvas);
        r.Offset(dx, dy);
        canvas.Painter().fillRect(r.ToQRect(), QColor(FRecord, 0, 255));
    }
    static int RecordOf(QRgb pixel) { return qBlue(pixel) == 255 && qGreen(pixel) == 0 ? qRed(pixel) : -1; }

private:
    const TRecordSource* FTable;
    int FRecord = 0;
};

// A filled rectangle of a palette colour, no border, in units relative to the panel.
inline TRectangleObject* AddBox(TCardPanel& panel, const TRect& units, int paletteColor) {
    auto* box = new TRectangleObject();
    box->Bounds = units;
    box->FillColor = quint8(paletteColor);
    box->ClearFill = false;
    box->BorderSize = 0;
    panel.AddObject(box);
    return box;
}

// The smallest rectangle holding every pixel of the colour; null when there is none.
inline QRect FindColour(const QImage& image, QRgb colour) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if ((line[x] & 0xFFFFFF) != (colour & 0xFFFFFF)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// A rectangle given in units on the paper, in the device pixels of a printer whose printable
// area starts at offset (units).
inline QRect DeviceRect(int left, int top, int right, int bottom, int dpi, QPoint offset = {}) {
    auto px = [dpi](int units) { return MulDiv(units, dpi, 100); };
    return QRect(QPoint(px(left - offset.x()), px(top - offset.y())),
                 QPoint(px(right - offset.x()) - 1, px(bottom - offset.y()) - 1));
}

// Rectangles equal within a pixel at each edge.
inline bool Near(const QRect& a, const QRect& b) {
    constexpr int tolerance = 1;
    return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance &&
           std::abs(a.right() - b.right()) <= tolerance &&
           std::abs(a.bottom() - b.bottom()) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& out, const QRect& r) {
    return out << "(" << r.left() << "," << r.top() << ")-(" << r.right() << "," << r.bottom()
               << ")";
}
