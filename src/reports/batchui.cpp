#include "batchui.h"

namespace reports {

using namespace reportengine;

void applyPageSettings(Report& report, const prints::PrintSettings& settings)
{
    const Orientation orientation =
        settings.orientation == prints::PageOrientation::Landscape ? Orientation::Landscape : Orientation::Portrait;
    report.page(settings.paperSize > 0 ? settings.paperSize : int(kPaperA4), orientation);
    report.margins(std::max(settings.leftMargin, 5), std::max(settings.topMargin, 5),
                   std::max(settings.rightMargin, 5), std::max(settings.bottomMargin, 5));
    report.font(settings.fontName.isEmpty() ? QStringLiteral("Arial") : settings.fontName,
                settings.fontSize > 0 ? settings.fontSize : 8);
}

bool BatchReportUi::ask(const QString& question)
{
    asked << question;
    return cancel != question;
}

bool BatchReportUi::selectWarehouses(QString& list)
{
    if (!ask(QStringLiteral("warehouses")))
        return false;
    list = warehouses.value_or(QString());
    return true;
}

bool BatchReportUi::selectDate(QDate& value)
{
    if (!ask(QStringLiteral("date")))
        return false;
    if (date)
        value = *date;
    return true;
}

bool BatchReportUi::selectInterval(QDate& first, QDate& last)
{
    if (!ask(QStringLiteral("interval")))
        return false;
    if (from)
        first = *from;
    if (to)
        last = *to;
    return true;
}

bool BatchReportUi::selectBudget(QString& code)
{
    if (!ask(QStringLiteral("budget")))
        return false;
    code = budget.value_or(QString());
    return true;
}

bool BatchReportUi::selectArticles(ArticleSelection& value)
{
    if (!ask(QStringLiteral("articles")))
        return false;
    value = articles.value_or(ArticleSelection{});
    return true;
}

bool BatchReportUi::selectDocumentTypes(DocumentDirection, QString& types)
{
    if (!ask(QStringLiteral("types")))
        return false;
    if (documentTypes)
        types = *documentTypes;
    return true;
}

bool BatchReportUi::selectBeneficiaries(QStringList& initials)
{
    if (!ask(QStringLiteral("beneficiaries")))
        return false;
    initials = beneficiaries.value_or(QStringList{});
    return true;
}

bool BatchReportUi::selectSuppliers(QString& list)
{
    if (!ask(QStringLiteral("suppliers")))
        return false;
    list = suppliers.value_or(QString());
    return true;
}

bool BatchReportUi::selectSortOrder(QStringList& fields)
{
    if (!ask(QStringLiteral("sort")))
        return false;
    if (sortOrder)
        fields = *sortOrder;
    return true;
}

bool BatchReportUi::printSetup(prints::PrintSettings& settings)
{
    if (!ask(QStringLiteral("print")))
        return false;
    if (choosePrintSettings) {
        choosePrintSettings(settings);
        settings.userChoice = true;
    }
    return true;
}

bool BatchReportUi::askSignaturesOnEveryPage()
{
    asked << QStringLiteral("signatures");
    return signaturesOnEveryPage;
}

bool BatchReportUi::askGroupTotalsOnly()
{
    asked << QStringLiteral("group-totals");
    return groupTotalsOnly;
}

bool BatchReportUi::output(Report& report, RowSource& rows, const prints::PrintSettings& settings)
{
    applyPageSettings(report, settings);
    pages = report.layout(rows);
    ++outputs;
    return true;
}

} // namespace reports
