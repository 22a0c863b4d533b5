// Pictures of the class and group editor and of the currencies window, for
// looking at them: written only when MIRAFEL_SHOTS_DIR names a folder.

#include "articletest.h"

#include "catalogs/tcatlookupform.h"
#include "catalogs/tcurrenciesform.h"
#include "catalogs/tgroupeditorform.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

using namespace catalogs;

namespace {

class CatalogShots : public articletest::ArticleFixture {
protected:
    void SetUp() override
    {
        ArticleFixture::SetUp();
        if (qEnvironmentVariableIsEmpty("MIRAFEL_SHOTS_DIR"))
            GTEST_SKIP() << "MIRAFEL_SHOTS_DIR is not set";
        QDir().mkpath(qEnvironmentVariable("MIRAFEL_SHOTS_DIR"));
        db.createTable(*datastore::findTableDef("Curs.db"));
        seed();
    }
    void save(QWidget& w, const char* name)
    {
        w.show();
        QApplication::processEvents();
        const QString path = QDir(qEnvironmentVariable("MIRAFEL_SHOTS_DIR")).filePath(QString::fromLatin1(name));
        EXPECT_TRUE(w.grab().save(path)) << name;
    }
    PartnerServices services() { return {db, dialogs, formats, params, dir.path()}; }
};

} // namespace

TEST_F(CatalogShots, GroupEditor)
{
    db.exec("UPDATE Grup SET Cont_sint = '302', Target = 1 WHERE Cod_grupa = 'G1'");
    TGroupEditorForm form(services());
    ASSERT_TRUE(form.prepare("G1"));
    save(form, "group_editor.png");
}

TEST_F(CatalogShots, Currencies)
{
    db.exec("INSERT INTO Valuta (Moneda, Denumire) VALUES ('LEI', 'LEI')");
    db.exec("INSERT INTO Curs (Valuta, Data, Curs) VALUES ('EUR', '2026-12-08', 4.9712), ('EUR', '2026-12-09', 4.9765)");
    RateCache cache;
    TCurrenciesForm form(services(), &cache);
    ASSERT_TRUE(form.prepare());
    save(form, "currencies.png");
}

TEST_F(CatalogShots, ArticleWindowWithTheGroupsButton)
{
    TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(form.prepare());
    save(form, "articles_groups_button.png");
}

TEST_F(CatalogShots, ArticleWindowWithTheMarkup)
{
    params.SellPrice = common::SellPriceMode::Calc;
    params.CGetPret = true;
    TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(form.prepare());
    save(form, "articles_markup.png");
}
