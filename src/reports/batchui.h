#pragma once
// A report run without windows: the questions are answered from fixed
// values (the command line's options, a test's script) and the output is the
// page list, kept for the caller.

#include "reportrun.h"

#include "reportengine/pagelist.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace reports {

// Paper, orientation, margins and font of the print settings on a report,
// without a printer (paper 0, the printer's default, is A4).
void applyPageSettings(reportengine::Report& report, const prints::PrintSettings& settings);

class BatchReportUi : public ReportUi {
public:
    // The answers; a question without an answer keeps the value it was given
    // (the lists: "all").
    std::optional<QString> warehouses;
    std::optional<QDate> date;
    std::optional<QDate> from;
    std::optional<QDate> to;
    std::optional<QString> budget;
    std::optional<ArticleSelection> articles;
    std::optional<QString> documentTypes;
    std::optional<QStringList> beneficiaries;
    std::optional<QString> suppliers;
    std::optional<QStringList> sortOrder;
    bool signaturesOnEveryPage = false;
    bool groupTotalsOnly = false;
    // The question to cancel: "warehouses", "date", "interval", "budget",
    // "articles", "types", "beneficiaries", "suppliers", "sort", "print".
    QString cancel;
    // What the user changes in the print setup, which then holds the user's
    // choice for the report; empty: the settings are taken as they are.
    std::function<void(prints::PrintSettings&)> choosePrintSettings;

    // What happened.
    QStringList asked;    // the questions in the order asked
    QStringList progress; // the status line texts
    reportengine::PageList pages;
    int outputs = 0;

    bool selectWarehouses(QString& list) override;
    bool selectDate(QDate& value) override;
    bool selectInterval(QDate& first, QDate& last) override;
    bool selectBudget(QString& code) override;
    bool selectArticles(ArticleSelection& value) override;
    bool selectDocumentTypes(DocumentDirection direction, QString& types) override;
    bool selectBeneficiaries(QStringList& initials) override;
    bool selectSuppliers(QString& list) override;
    bool selectSortOrder(QStringList& fields) override;
    bool printSetup(prints::PrintSettings& settings) override;
    bool askSignaturesOnEveryPage() override;
    bool askGroupTotalsOnly() override;
    bool output(reportengine::Report& report, reportengine::RowSource& rows,
                const prints::PrintSettings& settings) override;
    void showProgress(const QString& text) override { progress << text; }
    void showWorking(const QString& text) override { progress << text; }

private:
    bool ask(const QString& question);
};

} // namespace reports
