#pragma once
// The serial window "Serii": the serial rows (Serie.DB) of one input
// document, where the internal and the supplier's serial numbers of the
// received units are typed. The rows themselves follow the lines of the input
// document (they are made and removed with them), so the window neither adds
// nor deletes rows; the group, article and article name are shown read-only.
// A child window of the main window, one instance: a request for another
// document lists that document's rows in the same window.

#include "common/dialogs.h"
#include "common/formats.h"
#include "datastore/dataset.h"
#include "ui/datagrid.h"
#include "ui/refreshtarget.h"

#include <QHash>
#include <QWidget>
#include <memory>

namespace stock {

inline constexpr const char* kSerialsCaption = "Serii";
inline constexpr const char* kSerialsLayoutFile = "serii.cfg";

class TSeriiFormLogic {
public:
    TSeriiFormLogic(datastore::Database& db, common::Dialogs& dialogs);
    TSeriiFormLogic(const TSeriiFormLogic&) = delete;
    TSeriiFormLogic& operator=(const TSeriiFormLogic&) = delete;

    // Lists the rows of the input document `contor` (by line number, then
    // serial). False after the error box "Eroare de acces la seriile
    // documentului!" + line break + "<" + engine message + ">".
    bool open(double contor);
    // Another document in the open window: a row being edited is written
    // first; false (the list stays on its document) when that write is refused.
    bool showDocument(double contor);
    // Before the window closes: writes a row being edited; false when the
    // write was refused (the window stays open, the row in editing).
    bool close();
    void FormClose(); // releases the rows
    void RefreshTick();

    double contor() const { return m_contor; }
    // "Grupa", "Cod_articol", "Denumire" (read-only), "Serie", "SerieFurn".
    QList<ui::GridColumn> columns() const;

    datastore::Dataset serials; // Serie.DB, the rows of one document

    // --- handlers -----------------------------------------------------------------
    void SerialsCalcFields();   // Denumire: the catalog name by group and code
    void SerialsBeforeInsert(); // rows come only with the document's lines
    void SerialsBeforeDelete();

private:
    void filterOn(double contor);
    datastore::Database& m_db;
    common::Dialogs& m_dialogs;
    double m_contor = 0;
    QHash<QString, QString> m_names; // "group\ncode" -> catalog name, for one listing
};

class TSeriiForm : public QWidget, public ui::RefreshTarget {
    Q_OBJECT
public:
    TSeriiForm(datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
               QString privateDir, QWidget* parent = nullptr);
    ~TSeriiForm() override;

    // Lists the rows of `contor`; false after the error box (release the window).
    bool prepare(double contor);
    // The window for the main window's child area; null after the error box.
    static std::unique_ptr<TSeriiForm> createChild(datastore::Database& db, common::Dialogs& dialogs,
                                                   const common::Formats& formats, const QString& privateDir,
                                                   double contor);
    // A second request for another document: the same window lists its rows.
    void showDocument(double contor);

    void refreshTick() override;
    bool closeQuery(); // false when a typed value or the row was refused

    TSeriiFormLogic& logic() { return m_logic; }
    ui::DataGrid* grid() const { return m_grid; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString layoutPath() const;
    TSeriiFormLogic m_logic;
    QString m_privateDir;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
    bool m_closed = false;
};

} // namespace stock
