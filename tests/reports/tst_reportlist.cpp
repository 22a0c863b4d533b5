// Every report of the "Listari" menu, run without windows on a small fixture.

#include "reportstest.h"

#include "reports/reportlist.h"

using namespace reports;
using reportstest::ReportFixture;

namespace {

class ReportListTest : public ReportFixture {};

TEST_F(ReportListTest, EveryReportNumbersItsPagesOfTheirCount)
{
    db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
    input(QDate(2024, 1, 10), {{"01", "ALIM", "F1", 10, 2.5, {}, "B1"}, {"01", "BIRO", "H1", 5, 20},
                               {"05", "ALIM", "F1", 8, 2.4, {}, "B1"}});
    output(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 4, 2.5, {}, "B1"}, {"05", "ALIM", "F1", 1, 2.4, {}, "B1"}});
    ui.from = QDate(2024, 1, 1);
    ui.to = QDate(2024, 6, 30);
    ui.date = QDate(2024, 6, 30);
    ui.budget = QString();
    int printed = 0;
    for (const ReportKind& kind : reportKinds()) {
        SCOPED_TRACE(kind.name.toStdString());
        ui.pages = {};
        auto ctx = context();
        if (!kind.run(ctx) || ui.pages.pageCount() == 0)
            continue;
        ++printed;
        const int count = ui.pages.pageCount();
        for (int page = 0; page < count; ++page)
            EXPECT_TRUE(ui.pages.texts(page).contains(QStringLiteral("Pagina %1 din %2").arg(page + 1).arg(count)))
                << "page " << page + 1 << ": " << ui.pages.texts(page).join('|').toStdString();
    }
    EXPECT_GE(printed, int(reportKinds().size()) - 2);
}

} // namespace
