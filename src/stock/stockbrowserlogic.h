#pragma once
// TStockFormLogic: the rules of the current stock window ("Stocuri curente")
// and of the stock picker built on it: the stock rows of one warehouse joined
// with the catalog, one row per stock key or summed per article, in one of
// four orders; the incremental search by the order's column, the price
// search, the sale value, shelf labels and new stock rows of quantity 0.
//
// Headless: the window (TStockForm) binds the controls; tests drive the logic.

#include "stockpick.h"

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/dataset.h"

#include <QSettings>
#include <memory>
#include <optional>

namespace stock {

class TStockFormLogic {
public:
    enum class List { Detailed, Cumulated };
    enum Order { ByGroup = 0, ByArticle = 1, ByName = 2, ByPrice = 3 };

    // `privateDb` holds the labels table (Etichete.DB); may be null (no labels).
    TStockFormLogic(datastore::Database& db, datastore::Database* privateDb, const common::Parameters& parameters,
                    const common::Formats& formats, common::Dialogs& dialogs, QSettings& settings);
    ~TStockFormLogic();

    // Reads the order from the settings and opens the list of the warehouse
    // (the first one when empty or unknown). False after the error message.
    bool open(const QString& warehouse, List list = List::Detailed);
    // The order goes back to the settings.
    void close();

    // --- what is shown ------------------------------------------------------
    datastore::Dataset* list() const { return m_list.get(); }
    List listKind() const { return m_kind; }
    int order() const { return m_order; }
    QString warehouse() const { return m_warehouse; }
    QStringList warehouseCodes() const { return m_warehouseCodes; }
    QStringList warehouseNames() const { return m_warehouseNames; }

    void setWarehouse(const QString& code);
    void setList(List list);  // "&Prezinta:"
    void setOrder(int order); // "Sorteaza &dupa:"

    // --- moving -----------------------------------------------------------
    // The picker's positioning: the first row of the group and article (and
    // that exact price unless it is -1); the first row when none matches.
    void position(const QString& group, const QString& article, double price);
    // "&Cauta denumire:": the first row not less than the text in the order's column.
    void incrementalSearch(const QString& text);
    // "Cauta pret..." (asks the price) and "Repeta"; false when nothing was found.
    bool searchPrice();
    bool repeatSearch();

    // The current row as the picker returns it; nullopt when the list is empty.
    std::optional<StockLinePick> currentPick() const;

    // --- labels -------------------------------------------------------------
    // Fills Etichete.DB with the current row, as many copies as asked; false
    // when cancelled or impossible.
    bool prepareLabels();
    static const QString kLabelsTable;

    // --- new stock rows ("&Editeaza") --------------------------------------
    struct NewRow {
        QString group, article, name, unit, currency, barCode;
        QVariant sellPrice;
        QVariant price; // Pret_achizitie
    };
    // The article of a new row; refused with the catalog message when it is not in the catalog.
    std::optional<NewRow> newRowFor(const QString& group, const QString& article) const;
    // Writes the rows (quantity 0, lot and budget empty) into the current
    // warehouse in one unit of work; a row whose key exists already refuses
    // them all with a message. Incomplete rows are left out. False when refused.
    bool addStockRows(const QList<NewRow>& rows);

    // Messages.
    static const QString kNotANumber;
    static const QString kNotInCatalog;
    static const QString kRowExists;
    static const QString kCopiesPrompt;

private:
    QString selectStatement() const;
    void reopen();
    QString orderColumn() const;
    void computeSellValue();

    datastore::Database& m_db;
    datastore::Database* m_private;
    const common::Parameters& m_parameters;
    const common::Formats& m_formats;
    common::Dialogs& m_dialogs;
    QSettings& m_settings;
    std::unique_ptr<datastore::Dataset> m_list;
    std::unique_ptr<datastore::Dataset> m_previous; // the list before the last reopening
    List m_kind = List::Detailed;
    int m_order = ByGroup;
    QString m_warehouse;
    QStringList m_warehouseCodes;
    QStringList m_warehouseNames;
    double m_soughtPrice = 0;
    int m_lastFound = -1;
};

} // namespace stock
