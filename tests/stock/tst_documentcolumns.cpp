// The warehouse column of the document windows' lines holds a warehouse
// name of typical length whole ("Laborator chimie-biologie corp").

#include "docintest.h"

#include "prints/printstore.h"
#include "stock/tdocinform.h"
#include "stock/tdocoutform.h"

#include <QHeaderView>

using namespace stocktest;

namespace {

class DocumentColumns : public DocInFixture {
protected:
    static void expectWholeName(ui::DataGrid* grid)
    {
        const int c = grid->datasetModel()->columnOf("GestName");
        ASSERT_GE(c, 0);
        EXPECT_FALSE(grid->isColumnHidden(c));
        EXPECT_GE(grid->columnWidth(c), grid->fontMetrics().horizontalAdvance("Laborator chimie-biologie corp") + 8);
    }
    prints::PrintSettingsStore printSettings;
};

} // namespace

TEST_F(DocumentColumns, TheWarehouseNameIsShownWhole)
{
    {
        stock::DocInContext context{db, dialogs, formats, parameters, printSettings, dir.path() + u'/', {}, {}, {}, {}, {}};
        stock::TDocInForm form(std::move(context));
        ASSERT_TRUE(form.prepare(kToday));
        expectWholeName(form.lineGrid());
    }
    {
        stock::DocOutContext context{db, dialogs, formats, parameters, printSettings, dir.path() + u'/', {}, {},
                                     {}, {}, {}, {}, {}};
        stock::TDocOutForm form(std::move(context));
        ASSERT_TRUE(form.prepare(kToday));
        expectWholeName(form.lineGrid());
    }
}
