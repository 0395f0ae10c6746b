#pragma once

#include "document/CardObject.h"
#include "document/RecordSource.h"
#include "storage/Graphic.h"
#include "storage/TableCmn.h"
#include "types/CardType.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class TCardPage;
class TFieldObject;

// One fold area or cell of a page, holding its objects. Its geometry is recomputed by the
// panel layout after loading and whenever the format, label or banner settings change; it is
// never stored.
class TCardPanel : public TCardObjectTable, public TPanelGeometry {
    QDX_STORED_CLASS("TCardPanel")
public:
    TCardPanel() = default;

    TCardPage* Page() const { return FPage; }
    void SetPage(TCardPage* page) { FPage = page; }
    void SetGeometry(const TPanelGeometry& geometry) {
        static_cast<TPanelGeometry&>(*this) = geometry;
    }

    // Helpers for the editing window, in logical pixels.
    int WidthPixels() const;
    int HeightPixels() const;
    int SheetXPixels() const;
    int SheetYPixels() const;

protected:
    TCardPage* OwnerPageOfTable() const override { return FPage; }

private:
    TCardPage* FPage = nullptr; // kept by the page that holds the panel
};

// The fill-in fields of a page in input order; refers to fields that live in the panels.
class TFieldObjectTable : public TObjectTable {
    QDX_STORED_CLASS("TFieldObjectTable")
public:
    TFieldObjectTable();
    TFieldObject* Items(int index) const;
};

// One sheet of a publication: its panels (as many as the card format has) and the input order
// of its fields.
class TCardPage : public TObjectTable {
    QDX_STORED_CLASS("TCardPage")
public:
    TCardPage();
    explicit TCardPage(int cardFormat);
    ~TCardPage() override;

    quint8 PageFormat = 0;
    TFieldObjectTable FieldOrder;
    int PrinterLeftMargin = 0; // the printer's unprintable margins of the last layout
    int PrinterTopMargin = 0;

    TCardPanel* Panels(int index) const { return static_cast<TCardPanel*>(Items(index)); }
    int PanelCount() const { return Count(); }
    int AddPanel(TCardPanel* panel);
    // The size of the page's first side, in units.
    QSize PageExtent() const;
    // Rebuilds the field order from every field of every panel.
    void RebuildFieldOrder();
    TFieldObject* FindField(const QString& name) const;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;

protected:
    bool AcceptsItem(const TStored* object) const override;
};

// Where an object lives: its card and the indices of its page, panel and slot (-1 when the
// object is in no open document).
struct TObjectLocation {
    TCard* Card = nullptr;
    int Page = -1;
    int Panel = -1;
    int Index = -1;
};
TObjectLocation FindObjectOwner(const TCardObject* object);

// A publication: its pages, publication type, sheet geometry, description, personalization
// data source and preview picture. The document file is the storage file of one TCard.
class TCard : public TObjectTable {
    QDX_STORED_CLASS("TCard")
public:
    static constexpr quint16 RecordVersion = 9;
    static constexpr int PreviewSize = 160;
    inline static const QString AddressBookTableName = QStringLiteral("TempVantuAddressTable.DB");

    TCard(); // bare, for loading
    TCard(int cardFormat, int documentType);
    ~TCard() override;

    quint8 CardFormat = 0;
    quint8 DocumentType = 0;
    QString FileName;
    bool DocumentModified = false;
    qint16 SavedPixelsPerInch = 96;
    QString DataSourceName;
    bool AddressBookSource = false;
    bool DataSourceInTemplateFolder = false;
    QString Description;
    TSortedStringTable IgnoredWords;
    bool PortraitPaper = false;
    TSheetGeometry SheetGeometry;
    // The preview picture saved with the document (a BMP image), empty for none.
    TBitmapData Preview;
    // Set while loading a record older than the document type: the user is asked for it.
    bool OldFormat = false;

    TCardPage* Pages(int index) const { return static_cast<TCardPage*>(Items(index)); }
    int PageCount() const { return Count(); }
    TRecordSource* DataTable() const { return FDataTable.get(); }

    void SetDocumentModified(bool modified) { DocumentModified = modified; }
    void SetDescription(const QString& description);
    void SetDataSource(const QString& fileName);
    void SetCardFormat(int cardFormat);
    void ComputeSheetGeometry(const TSheetInputs& inputs = {});
    void LayoutPage(TCardPage& page);
    void LayoutAllPages();
    void RefreshRecordObjects();
    void RecordSourceChanged();
    void BindDatabaseTexts();
    // Re-reads the data table when its file changed on disk. A table that can no longer be
    // read is closed and reported with "Error opening database %s."; then false.
    bool RefreshDataTable();
    TAddressBookLink* AddressBook() const { return FAddressBook.get(); }
    // The text of the whole publication, each contribution followed by CR LF.
    QString CollectText() const;

    // Every object of every panel of every page, in index order.
    void ForEachObject(const std::function<void(TCardObject*)>& action) const;
    void ForEachObjectIn(
        const std::function<void(TCardObject*, int page, int panel, int index)>& action) const;
    TCardObject* ObjectAt(int page, int panel, int index) const;
    TFieldObject* FindField(const QString& name, bool caseSensitive = false) const;

    void Load(TStorage& storage) override;
    void Loaded() override;
    void Store(TStorage& storage) const override;

protected:
    bool AcceptsItem(const TStored* object) const override;

private:
    void ReadTextFlowLinks(TStorage& storage, TCardPage& page);
    void WriteTextFlowLink(TStorage& storage, const TCardObject* frame) const;
    void RemoveEmptySlotsOfLoadedTables();
    void AdoptPanelsOfOldRecord();
    void BreakTextFlowCycles();
    void RescaleToScreenDensity();

    void ReportDataSourceError(const QString& fileName, const QString& reason) const;

    // The data source a record names, between reading it and connecting it in Loaded.
    QString FStoredDataSourceName;
    std::unique_ptr<TRecordSource> FDataTable;
    std::unique_ptr<TAddressBookLink> FAddressBook; // while AddressBookSource
};

// "Error opening database %s." with the table's name, and the reader's reason for refusing
// the file on a line of its own when there is one.
QString DataSourceErrorText(const QString& fileName, const QString& reason = {});

// Draws the preview picture of a card: the first side of its first page, 160 pixels on the
// longer side.
QImage RenderCardPreview(const TCard& card);
// The preview picture in the form the document stores.
TBitmapData PreviewBitmap(const QImage& image);
