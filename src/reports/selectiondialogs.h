#pragma once
// The selection dialogs of the reports and the application's ReportUi.
// Each dialog binds its controls to SelectionListLogic / SortOrderLogic.

#include "reportrun.h"
#include "selectionlogic.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace reports {

// The list dialogs (TSelGestDlg, TSelClnDlg, TSelArtDlg, TSelTipDocForm,
// TSelAgentDlg, TSelFurnDlg): the "all" box, the list, "&Deschide" / "&Inchide"
// ("OK" / "Renunta" for the beneficiaries).
class TSelectionDlg : public QDialog {
    Q_OBJECT
public:
    TSelectionDlg(SelectionListLogic& logic, QWidget* parent = nullptr);
    QCheckBox* allBox() const { return m_all; }
    QTableWidget* list() const { return m_list; }
    void accept() override;

private:
    void fill();
    SelectionListLogic& m_logic;
    QCheckBox* m_all = nullptr;
    QTableWidget* m_list = nullptr;
    QComboBox* m_order = nullptr;
    QLineEdit* m_search = nullptr;
    QList<int> m_chosen; // rows in the order they were chosen
};

// "Ordinea de sortare".
class TSortOrderDlg : public QDialog {
    Q_OBJECT
public:
    TSortOrderDlg(SortOrderLogic& logic, QWidget* parent = nullptr);
    QListWidget* list() const { return m_list; }
    void accept() override;

private:
    SortOrderLogic& m_logic;
    QListWidget* m_list = nullptr;
};

bool SelectWarehouses(QWidget* owner, datastore::Database& db, QString& list);
bool SelectBudget(QWidget* owner, datastore::Database& db, QString& code);
bool SelectArticles(QWidget* owner, datastore::Database& db, ArticleSelection& articles);
bool SelectDocumentTypes(QWidget* owner, datastore::Database& db, DocumentDirection direction, QString& types);
bool SelectBeneficiaries(QWidget* owner, datastore::Database& db, QStringList& initials);
bool SelectSuppliers(QWidget* owner, datastore::Database& db, QString& list);

// The questions and output of a report in the application's windows.
class QtReportUi : public ReportUi {
public:
    // `progress`: the status line (ShowProgress); `workMessage` /
    // `closeWorkMessage`: the main window's small work window.
    QtReportUi(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
               std::function<void(const QString&)> progress = {},
               std::function<void(const QString&)> workMessage = {}, std::function<void()> closeWorkMessage = {});
    bool selectWarehouses(QString& list) override { return SelectWarehouses(m_owner, m_db, list); }
    bool selectDate(QDate& date) override;
    bool selectInterval(QDate& first, QDate& last) override;
    bool selectBudget(QString& code) override { return SelectBudget(m_owner, m_db, code); }
    bool selectArticles(ArticleSelection& articles) override { return SelectArticles(m_owner, m_db, articles); }
    bool selectDocumentTypes(DocumentDirection direction, QString& types) override
    {
        return SelectDocumentTypes(m_owner, m_db, direction, types);
    }
    bool selectBeneficiaries(QStringList& initials) override { return SelectBeneficiaries(m_owner, m_db, initials); }
    bool selectSuppliers(QString& list) override { return SelectSuppliers(m_owner, m_db, list); }
    bool selectSortOrder(QStringList& fields) override;
    bool printSetup(prints::PrintSettings& settings) override;
    bool askSignaturesOnEveryPage() override;
    bool askGroupTotalsOnly() override;
    bool output(reportengine::Report& report, reportengine::RowSource& rows,
                const prints::PrintSettings& settings) override;
    void showProgress(const QString& text) override;
    void showWorking(const QString& text) override;
    void closeWorking() override;

    // The report's name, shown in its print setup.
    QString printCaption;

private:
    QWidget* m_owner;
    datastore::Database& m_db;
    common::Dialogs& m_dialogs;
    const common::Formats& m_formats;
    std::function<void(const QString&)> m_progress;
    std::function<void(const QString&)> m_workMessage;
    std::function<void()> m_closeWorkMessage;
    bool m_busy = false;
};

} // namespace reports
