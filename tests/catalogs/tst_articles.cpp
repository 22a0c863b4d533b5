// The article catalog without windows: automatic codes, the checks of an
// article, new-article defaults, the picker's positioning, marks and result,
// search-as-you-type and order, price indexing, the search by name and the
// purchase-price lines; on a real database file.

#include "articletest.h"

#include "catalogs/articlecode.h"
#include "catalogs/articlepurchaseprice.h"
#include "catalogs/articlesearch.h"
#include "common/accountsymbol.h"

using namespace catalogs;
using namespace datastore;
using articletest::ArticleFixture;

namespace {

QStringList codesOf(const QList<QVariantHash>& records)
{
    QStringList codes;
    for (const QVariantHash& r : records)
        codes << r.value("Cod").toString();
    return codes;
}

QString currentCode(const Dataset& d)
{
    return d.value("Cod").toString();
}

} // namespace

// --- automatic codes ---------------------------------------------------------------

TEST_F(ArticleFixture, GeneratedCodes)
{
    const char* tooShort = "Denumirea trebuie sa contina minim 3 caractere!";
    const char* exhausted = "Pentru acest produs nu se poate genera cod automat!";
    const struct {
        const char* why;
        QStringList existing; // codes already in the catalog (group G1, or G9 after a '/')
        const char* name;
        std::optional<ProductType> type; // asked when recipes are on
        const char* currentCode;
        const char* code;    // expected; empty when refused
        const char* message; // the warning when refused
    } cases[] = {
        {"empty catalog", {}, "pix albastru", {}, "", "PIX001", nullptr},
        {"next after the highest", {"PIX007", "PIX041", "PIB999"}, "pix rosu", {}, "", "PIX042", nullptr},
        {"codes of other groups count", {"G9/PIX120", "PIX041"}, "pix", {}, "", "PIX121", nullptr},
        {"raw material", {}, "apa", ProductType::RawMaterial, "", ".APA001", nullptr},
        {"semi-finished", {}, "apa", ProductType::SemiFinished, "", ";APA001", nullptr},
        {"finished product", {}, "apa", ProductType::FinishedProduct, "", "APA001", nullptr},
        {"independent counters", {".APA004", "APA007"}, "apa minerala", ProductType::RawMaterial, "", ".APA005", nullptr},
        {"independent counters", {".APA004", "APA007"}, "apa minerala", ProductType::SemiFinished, "", ";APA001", nullptr},
        {"independent counters", {".APA004", "APA007"}, "apa minerala", ProductType::FinishedProduct, "", "APA008", nullptr},
        {"a suffix that is no number", {"APA007", "APAX"}, "apa", {}, "", "APA001", nullptr},
        {"three characters", {}, "abc", {}, "", "ABC001", nullptr},
        {"two characters", {}, "ab", {}, "", "", tooShort},
        {"counter exhausted", {"PIX998", "PIX999"}, "pix", {}, "", "", exhausted},
        {"an existing code is kept", {"PIX041"}, "pix verde", {}, "XYZ9", "XYZ9", nullptr},
        {"kept with recipes too", {}, "apa", ProductType::RawMaterial, "APA003", "APA003", nullptr},
        {"exhausted counter, code kept", {"PIX999"}, "pix nou", {}, "PIX999", "PIX999", nullptr},
        {"letter case of codes", {"PIX041", "Pix050"}, "pix", {}, "", "PIX042", nullptr},
        {"codes from ZZZZZ on do not count", {"ZZZ004", "ZZZZZ9"}, "zzz", {}, "", "ZZZ005", nullptr},
        {"wildcards in the name", {"AXB005"}, "a_b", {}, "", "A_B001", nullptr},
        {"quotes in the name", {"15\"002"}, "15\" monitor", {}, "", "15\"003", nullptr},
    };
    for (const auto& c : cases) {
        db.exec("DELETE FROM Catalog");
        for (const QString& e : c.existing) {
            const QStringList parts = e.split('/');
            addArticle(parts.size() == 2 ? parts[0] : "G1", parts.last(), "x", "", "buc", 1);
        }
        dialogs.clear();
        int asked = 0;
        ProductTypeQuestion ask;
        if (c.type)
            ask = [&] {
                ++asked;
                return *c.type;
            };
        const auto code = GenerateArticleCode(db, dialogs, QString::fromUtf8(c.name), QString::fromUtf8(c.currentCode), ask);
        if (*c.code) {
            ASSERT_TRUE(code.has_value()) << c.why << ": " << dialogs.texts().join(" | ").toStdString();
            EXPECT_EQ(*code, QString::fromUtf8(c.code)) << c.why;
            EXPECT_TRUE(dialogs.messages.isEmpty()) << c.why;
        } else {
            EXPECT_FALSE(code.has_value()) << c.why;
            ASSERT_EQ(dialogs.messages.size(), 1) << c.why;
            EXPECT_EQ(dialogs.last().text, QString::fromUtf8(c.message)) << c.why;
            EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
        }
        if (QString::fromUtf8(c.name).size() >= 3) {
            EXPECT_EQ(asked, c.type ? 1 : 0) << c.why << ": the product type is asked on every name entry with recipes";
        }
    }
}

TEST_F(ArticleFixture, NameEntryGeneratesTheCode)
{
    seed();
    params.CGenCod = true;
    params.CRetetar = true;
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    int asked = 0;
    logic.askProductType = [&] {
        ++asked;
        return ProductType::FinishedProduct;
    };
    ASSERT_TRUE(logic.FormCreate("G1"));
    EXPECT_TRUE(logic.articles.field("Cod").readOnly) << "generated codes are not typed";
    EXPECT_EQ(logic.newArticleField(), "Denumire");

    logic.articles.append();
    logic.articles.setValue("Denumire", "pix negru");
    EXPECT_EQ(currentCode(logic.articles), "PIX002");
    EXPECT_EQ(asked, 1);
    logic.articles.post();
    EXPECT_EQ(db.scalar("SELECT Grupa FROM Catalog WHERE Cod = 'PIX002'").toString(), "G1");

    // Renaming keeps the code; the question is still asked.
    logic.articles.edit();
    logic.articles.setValue("Denumire", "creion negru");
    EXPECT_EQ(currentCode(logic.articles), "PIX002");
    EXPECT_EQ(asked, 2);
    // A short name is refused and the previous one comes back.
    EXPECT_THROW(logic.articles.setValue("Denumire", "cr"), Abort);
    EXPECT_EQ(dialogs.last().text, "Denumirea trebuie sa contina minim 3 caractere!");
    EXPECT_EQ(logic.articles.value("Denumire").toString(), "creion negru");
    logic.articles.post();

    // Without code generation the name is free and the code is typed.
    params.CGenCod = false;
    TCatLookupFormLogic manual(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(manual.FormCreate("G1"));
    EXPECT_FALSE(manual.articles.field("Cod").readOnly);
    EXPECT_EQ(manual.newArticleField(), "Cod");
    manual.articles.append();
    manual.articles.setValue("Denumire", "x");
    EXPECT_TRUE(manual.articles.isNull("Cod"));
}

// --- the checks of an article ------------------------------------------------------------

TEST_F(ArticleFixture, NewArticleDefaultsComeFromTheParameters)
{
    seed();
    params.CMf = "3021";
    params.CCh = "6021";
    params.CTVA_I = "4426.1";
    params.CTVA_E = "4427.1";
    params.CfTVA = 9;
    params.CVen = "708";
    params.CAd = "3781";
    params.CAcc = "4461";
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(logic.FormCreate("G2"));
    logic.articles.append();
    const struct {
        const char* field;
        QVariant value;
    } expected[] = {
        {"Grupa", "G2"},          {"Cont_marfa", "3021"},    {"Cont_cheltuieli", "6021"},
        {"Cont_TVA_Intrari", "4426.1"}, {"Cont_TVA_Iesiri", "4427.1"}, {"Coef_TVA", 9.0},
        {"Cont_venituri", "708"}, {"Cont_adaos", "3781"},    {"Cont_accize", "4461"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(logic.articles.value(e.field), e.value) << e.field;
    EXPECT_TRUE(logic.articles.isNull("Moneda"));
    EXPECT_FALSE(logic.articles.isModified()) << "defaults alone are no change";
}

TEST_F(ArticleFixture, FieldChecksRefuseTheValueAndKeepTheRecord)
{
    seed();
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(logic.FormCreate("G1", "PIX001"));
    const QString account = QString::fromUtf8(common::kAccountSymbolMessage);
    const struct {
        const char* field;
        const char* value;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"Moneda", "EUR", nullptr},
        {"Moneda", "XYZ", "<XYZ> nu exista în catalogul de valute!"},
        {"Moneda", "eur", "<eur> nu exista în catalogul de valute!"},
        {"Moneda", "", nullptr},
        {"Cont_marfa", "371.01.2", nullptr},
        {"Cont_marfa", "", nullptr},
        {"Cont_marfa", "1.2.3.4", "account"},
        {"Cont_cheltuieli", "60212345678", "account"},
        {"Cont_TVA_Intrari", "4426", nullptr},
        {"Cont_TVA_Iesiri", "4427.1.2.3", "account"},
        {"Cont_accize", "446.1.2", nullptr},
        {"Cont_adaos", "a.b.c.d", "account"},
        {"Cont_venituri", "70712345678", "account"},
    };
    logic.articles.edit();
    for (const auto& c : cases) {
        dialogs.clear();
        const QVariant before = logic.articles.value(c.field);
        if (!c.message) {
            logic.articles.setValue(c.field, QString::fromUtf8(c.value));
            EXPECT_TRUE(dialogs.messages.isEmpty()) << c.field << " " << c.value;
            EXPECT_EQ(logic.articles.value(c.field).toString(), QString::fromUtf8(c.value));
            continue;
        }
        EXPECT_THROW(logic.articles.setValue(c.field, QString::fromUtf8(c.value)), Abort) << c.field << " " << c.value;
        ASSERT_EQ(dialogs.messages.size(), 1) << c.field << " " << c.value;
        EXPECT_EQ(dialogs.last().text, QString(c.message) == "account" ? account : QString::fromUtf8(c.message));
        EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
        EXPECT_EQ(logic.articles.value(c.field), before) << "the refused value is not kept";
        EXPECT_EQ(logic.articles.state(), DatasetState::Edit);
    }
}

TEST_F(ArticleFixture, PostNeedsACodeAndAGroup)
{
    seed();
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(logic.FormCreate("G1"));
    logic.articles.append();
    logic.articles.setValue("Denumire", "Radiera");
    EXPECT_THROW(logic.articles.post(), Abort);
    EXPECT_EQ(dialogs.last().text, "Introduceti atît codul si denumirea!");
    EXPECT_EQ(logic.articles.state(), DatasetState::Insert) << "the record stays in editing";
    logic.articles.setValue("Cod", "RAD001");
    logic.articles.post();
    EXPECT_EQ(db.scalar("SELECT Denumire FROM Catalog WHERE Cod = 'RAD001'").toString(), "Radiera");

    // An article typed while no group is current would be stored out of sight.
    db.exec("DELETE FROM Grup");
    TCatLookupFormLogic empty(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(empty.FormCreate());
    empty.articles.append();
    empty.articles.setValue("Cod", "X1");
    dialogs.clear();
    EXPECT_THROW(empty.articles.post(), Abort);
    EXPECT_EQ(dialogs.last().text, "Articolul trebuie sa apartina unei grupe! Selectati grupa de articole.");
    EXPECT_FALSE(db.scalar("SELECT Cod FROM Catalog WHERE Cod = 'X1'").isValid());
}

TEST_F(ArticleFixture, DeleteIsRefusedForArticlesOfInputDocuments)
{
    seed();
    addArticle("G2", "CAI001", "caiet in alta grupa", "", "buc", 1);
    db.exec("INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate) "
            "VALUES (1, 1, '01', 'G1', 'PIX001', 10), (1, 2, '01', 'G1', 'CAI001', 5)");
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(logic.FormCreate("G1", "PIX001"));
    ASSERT_EQ(currentCode(logic.articles), "PIX001");
    EXPECT_THROW(logic.articles.remove(), Abort);
    EXPECT_EQ(dialogs.last().text,
              "Atentie produsul cu codul PIX001 nu poate fi sters deoarece este folosit in inregistrarile efectuate! "
              "Stergeti inregistrarile aferente si reveniti!");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Catalog WHERE Cod = 'PIX001'").toInt(), 1);

    // The check looks at the code only: the same code in another group is held too.
    TCatLookupFormLogic other(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(other.FormCreate("G2", "CAI001"));
    ASSERT_EQ(other.articles.value("Grupa").toString(), "G2");
    EXPECT_THROW(other.articles.remove(), Abort);

    // An article no document uses goes.
    ASSERT_TRUE(logic.articles.locate({"Cod"}, {"HIR001"}));
    dialogs.clear();
    logic.articles.remove();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Catalog WHERE Cod = 'HIR001'").toInt(), 0);
}

// --- opening, roles, closing ------------------------------------------------------------------

TEST_F(ArticleFixture, OpeningFailureAndEmptyCatalog)
{
    {
        db.dropTable("Grup.db");
        TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
        EXPECT_FALSE(logic.FormCreate());
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
        EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la catalogul de articole!\r"))
            << dialogs.last().text.toStdString();
        EXPECT_TRUE(dialogs.last().text.endsWith(">"));
        EXPECT_FALSE(logic.articles.isOpen());
        db.createTable(*findTableDef("Grup.db"));
    }
    dialogs.clear();
    TCatLookupFormLogic picker(context(), ArticleCatalogRole::Picker);
    EXPECT_FALSE(picker.isEditing());
    ASSERT_TRUE(picker.FormCreate());
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(catalogs::kNoGroupsMessage)});
    EXPECT_TRUE(picker.isEditing()) << "an empty catalog opens for editing";
    EXPECT_FALSE(picker.articles.isReadOnly());
    EXPECT_FALSE(picker.multiSelect());
}

TEST_F(ArticleFixture, PickerStartsOnTheGivenArticle)
{
    seed();
    TCatLookupFormLogic picker(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(picker.FormCreate("G3"));
    EXPECT_EQ(picker.classes.value("Cod_material").toString(), "M2") << "the class of the group";
    EXPECT_EQ(picker.groups.value("Cod_grupa").toString(), "G3");
    EXPECT_TRUE(picker.articles.isEmpty());

    TCatLookupFormLogic at(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(at.FormCreate("G1", "HIR001"));
    EXPECT_EQ(at.order(), ArticleOrder::ByName);
    EXPECT_EQ(currentCode(at.articles), "HIR001");
    EXPECT_EQ(at.articles.recNo(), 1) << "Caiet, hirtie, pahar, PAPETARIE, pix: by name in any letter case";
    EXPECT_TRUE(at.articles.isReadOnly()) << "the picker starts browsing";
    EXPECT_TRUE(at.groups.isReadOnly());
    EXPECT_TRUE(at.multiSelect());

    // An unknown article leaves the first one; an unknown group the first group.
    TCatLookupFormLogic unknown(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(unknown.FormCreate("G7", "NU"));
    EXPECT_EQ(unknown.groups.value("Cod_grupa").toString(), "G1");
    EXPECT_EQ(currentCode(unknown.articles), "CAI001");
}

TEST_F(ArticleFixture, MarksAndTheResultOfThePicker)
{
    seed();
    TCatLookupFormLogic picker(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(picker.FormCreate("G1", "PAH001"));

    // No marks: the current article.
    ArticlePick pick = picker.pickResult();
    EXPECT_EQ(pick.current.value("Cod").toString(), "PAH001");
    EXPECT_EQ(pick.current.value("Grupa").toString(), "G1");
    EXPECT_EQ(pick.current.value("Unitate_masura").toString(), "buc");
    EXPECT_EQ(pick.current.value("Pret_vinzare").toDouble(), 0.3);
    EXPECT_TRUE(pick.selected.isEmpty());
    EXPECT_EQ(codesOf(pick.articles()), QStringList{"PAH001"});

    // Space marks and moves on; the last row stays.
    picker.markAndMoveNext(); // pahar -> PAPETARIE
    picker.markAndMoveNext(); // PAPETARIE -> pix
    picker.markAndMoveNext(); // pix, the last row
    picker.markAndMoveNext();
    EXPECT_EQ(currentCode(picker.articles), "PIX001");
    picker.articles.first();
    picker.toggleCurrentMark(); // Caiet
    EXPECT_TRUE(picker.isMarked(0));
    EXPECT_FALSE(picker.isMarked(1));
    pick = picker.pickResult();
    EXPECT_EQ(codesOf(pick.selected), (QStringList{"PAH001", "PAP001", "PIX001", "CAI001"}))
        << "in the order they were marked";
    EXPECT_EQ(codesOf(pick.articles()), codesOf(pick.selected));
    EXPECT_EQ(pick.current.value("Cod").toString(), "CAI001");

    // One mark only: callers take the current article.
    picker.toggleCurrentMark(); // Caiet
    picker.articles.moveTo(3);
    picker.toggleCurrentMark(); // PAPETARIE
    picker.articles.last();
    picker.toggleCurrentMark(); // pix
    pick = picker.pickResult();
    EXPECT_EQ(codesOf(pick.selected), QStringList{"PAH001"});
    EXPECT_EQ(codesOf(pick.articles()), QStringList{"PIX001"});

    // Marks of another group stay when the group changes.
    ASSERT_TRUE(picker.groups.locate({"Cod_grupa"}, {"G2"}));
    picker.markAndMoveNext();
    EXPECT_EQ(codesOf(picker.pickResult().selected), (QStringList{"PAH001", "LAP001"}));
    EXPECT_EQ(picker.pickResult().selected[1].value("Grupa").toString(), "G2");
}

TEST_F(ArticleFixture, WholeGroupMarksAreInverted)
{
    seed();
    TCatLookupFormLogic picker(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(picker.FormCreate("G1", "PIX001"));
    picker.toggleCurrentMark(); // pix already marked
    picker.toggleGroupMarks();
    EXPECT_EQ(picker.articles.recNo(), 0) << "back to the first row";
    EXPECT_EQ(codesOf(picker.pickResult().selected), (QStringList{"CAI001", "HIR001", "PAH001", "PAP001"}))
        << "walked first to last, pix inverted to unmarked";
    picker.toggleGroupMarks();
    EXPECT_EQ(codesOf(picker.pickResult().selected), QStringList{"PIX001"});

    // An empty group, and the catalog window, make no marks.
    ASSERT_TRUE(picker.classes.locate({"Cod_material"}, {"M2"}));
    picker.toggleGroupMarks();
    EXPECT_EQ(picker.marks().count(), 1);
    TCatLookupFormLogic catalog(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(catalog.FormCreate("G1"));
    catalog.toggleGroupMarks();
    catalog.markAndMoveNext();
    EXPECT_TRUE(catalog.marks().isEmpty());
}

TEST_F(ArticleFixture, EditingInThePicker)
{
    seed();
    TCatLookupFormLogic picker(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(picker.FormCreate("G1"));
    picker.markAndMoveNext();
    ASSERT_TRUE(picker.setEditing(true));
    EXPECT_TRUE(picker.marks().isEmpty()) << "editing switches the marks off";
    EXPECT_FALSE(picker.multiSelect());
    EXPECT_FALSE(picker.articles.isReadOnly());
    EXPECT_FALSE(picker.groups.isReadOnly());
    picker.markAndMoveNext();
    EXPECT_TRUE(picker.marks().isEmpty());

    // Leaving editing posts; a refused record keeps the editing on.
    picker.articles.append();
    picker.articles.setValue("Denumire", "Radiera");
    EXPECT_FALSE(picker.setEditing(false));
    EXPECT_EQ(dialogs.last().text, "Introduceti atît codul si denumirea!");
    EXPECT_TRUE(picker.isEditing());
    picker.articles.setValue("Cod", "RAD001");
    EXPECT_TRUE(picker.setEditing(false));
    EXPECT_TRUE(picker.articles.isReadOnly());
    EXPECT_TRUE(picker.groups.isReadOnly());
    EXPECT_TRUE(picker.multiSelect());
    EXPECT_EQ(db.scalar("SELECT Grupa FROM Catalog WHERE Cod = 'RAD001'").toString(), "G1");

    // The catalog window cannot leave editing.
    TCatLookupFormLogic catalog(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(catalog.FormCreate());
    EXPECT_TRUE(catalog.isEditing());
    catalog.setEditing(false);
    EXPECT_TRUE(catalog.isEditing());
    EXPECT_FALSE(catalog.articles.isReadOnly());
    EXPECT_TRUE(catalog.groups.isReadOnly()) << "groups are only looked at in the catalog window";
}

TEST_F(ArticleFixture, CloseQueryPostsPendingChanges)
{
    seed();
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(logic.FormCreate("G1"));
    logic.articles.append();
    logic.articles.setValue("Denumire", "Radiera");
    EXPECT_FALSE(logic.FormCloseQuery());
    EXPECT_EQ(logic.articles.state(), DatasetState::Insert);
    EXPECT_EQ(logic.articles.value("Denumire").toString(), "Radiera") << "nothing typed is lost";
    logic.articles.setValue("Cod", "RAD001");
    EXPECT_TRUE(logic.FormCloseQuery());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Catalog WHERE Cod = 'RAD001'").toInt(), 1);

    // An untouched new row is dropped, not written.
    logic.articles.append();
    EXPECT_TRUE(logic.FormCloseQuery());
    logic.FormClose();
    EXPECT_FALSE(logic.articles.isOpen());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Catalog").toInt(), 8);
}

TEST_F(ArticleFixture, StatusLineHintsWhileMarksCanBeMade)
{
    seed();
    TCatLookupFormLogic picker(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(picker.FormCreate());
    picker.enterArticles();
    picker.enterGroups();
    EXPECT_EQ(statusLine, (QStringList{kArticlesHint, kGroupsHint}));
    picker.setEditing(true);
    picker.enterArticles();
    picker.enterGroups();
    TCatLookupFormLogic catalog(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(catalog.FormCreate());
    catalog.enterArticles();
    EXPECT_EQ(statusLine.size(), 2) << "no hints while editing";
}

TEST_F(ArticleFixture, RefreshShowsWhatOthersWrote)
{
    seed();
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(logic.FormCreate("G2"));
    ASSERT_EQ(logic.articles.recordCount(), 2);
    ASSERT_TRUE(logic.articles.locate({"Cod"}, {"PAI001"}));

    Database other; // another workstation
    other.setDirectory(dir.path());
    other.exec("INSERT INTO Catalog (Grupa, Cod, Denumire) VALUES ('G2', 'OUA001', 'Oua')");
    other.exec("INSERT INTO Grup (Cod_material, Cod_grupa, Denumire) VALUES ('M1', 'G4', 'Detergenti')");
    other.exec("INSERT INTO Valuta (Moneda, Denumire) VALUES ('GBP', 'Lira')");
    logic.RefreshTick();
    EXPECT_EQ(logic.articles.recordCount(), 3);
    EXPECT_EQ(currentCode(logic.articles), "PAI001") << "the current article stays";
    EXPECT_EQ(logic.groups.recordCount(), 3);
    EXPECT_EQ(logic.currencies.recordCount(), 3);

    // A list being edited is left alone.
    logic.articles.edit();
    logic.articles.setValue("Descriere", "feliata");
    other.exec("INSERT INTO Catalog (Grupa, Cod, Denumire) VALUES ('G2', 'ZAH001', 'Zahar')");
    logic.RefreshTick();
    EXPECT_EQ(logic.articles.recordCount(), 3);
    EXPECT_EQ(logic.articles.value("Descriere").toString(), "feliata");
    logic.articles.post();
    logic.RefreshTick();
    EXPECT_EQ(logic.articles.recordCount(), 4);
}

// --- order and search-as-you-type --------------------------------------------------------

TEST_F(ArticleFixture, OrderOfTheArticleList)
{
    seed();
    addArticle("G1", "AAA001", "Zbor", "b", "buc", 1);
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(logic.FormCreate("G1", "PAP001"));
    auto codes = [&] {
        QStringList list;
        for (int r = 0; r < logic.articles.recordCount(); ++r)
            list << logic.articles.value(r, "Cod").toString();
        return list;
    };
    EXPECT_EQ(codes(), (QStringList{"CAI001", "HIR001", "PAH001", "PAP001", "PIX001", "AAA001"}));
    logic.setOrder(ArticleOrder::ByCode);
    EXPECT_EQ(codes(), (QStringList{"AAA001", "CAI001", "HIR001", "PAH001", "PAP001", "PIX001"}));
    EXPECT_EQ(currentCode(logic.articles), "PAP001") << "the current article stays";
    logic.setOrder(ArticleOrder::ByDescription);
    EXPECT_EQ(codes(), (QStringList{"PAH001", "CAI001", "HIR001", "AAA001", "PIX001", "PAP001"}));
    EXPECT_EQ(articleOrderCaptions(), (QStringList{"dupa Cod", "dupa Denumire", "dupa Descriere"}));
}

TEST_F(ArticleFixture, SearchAsYouType)
{
    seed();
    addArticle("G1", "PAL001", "Paleta", "", "buc", 1);
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(logic.FormCreate("G1", "PIX001"));
    const struct {
        ArticleOrder order;
        const char* text;
        const char* lands; // the current article afterwards
    } steps[] = {
        {ArticleOrder::ByName, "pa", "PAH001"},  // pahar, Paleta, PAPETARIE: the first in any case
        {ArticleOrder::ByName, "PAL", "PAL001"},
        {ArticleOrder::ByName, "pap", "PAP001"},
        {ArticleOrder::ByName, "", "PAP001"},    // an empty box does not move
        {ArticleOrder::ByName, "lapte", "PAP001"}, // another group's article is not found
        {ArticleOrder::ByName, "zz", "PAP001"},
        {ArticleOrder::ByCode, "hi", "HIR001"},
        {ArticleOrder::ByCode, "pix", "PIX001"},
        {ArticleOrder::ByDescription, "a4", "CAI001"},
        {ArticleOrder::ByDescription, "a4 8", "HIR001"},
    };
    for (const auto& s : steps) {
        logic.setOrder(s.order);
        logic.searchAsYouType(QString::fromUtf8(s.text));
        EXPECT_EQ(currentCode(logic.articles), QString::fromUtf8(s.lands)) << s.text;
    }
}

// --- price indexing ------------------------------------------------------------------------

TEST_F(ArticleFixture, IndexGroupPrices)
{
    const struct {
        std::optional<double> percent; // nullopt: "&Renunta"
        std::optional<double> factor;  // nullopt: nothing changes
        const char* message;
    } cases[] = {
        {10, 1.1, "Preturile de vînzare pentru grupa \"G1\" au fost actualizate cu succes!"},
        {-25, 0.75, "Preturile de vînzare pentru grupa \"G1\" au fost actualizate cu succes!"},
        {-100, 0.0, "Preturile de vînzare pentru grupa \"G1\" au fost actualizate cu succes!"},
        {-100.01, {}, "Coeficientul nu poate fi mai mic de -100% !"},
        {{}, {}, nullptr},
    };
    for (const auto& c : cases) {
        db.exec("DELETE FROM Catalog");
        db.exec("DELETE FROM Grup");
        db.exec("DELETE FROM Materiale");
        seed();
        TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
        ASSERT_TRUE(logic.FormCreate("G1", "PIX001"));
        dialogs.clear();
        QString prompt;
        QList<bool> working;
        const bool updated = logic.IndexGroupPrices(
            [&](const QString& p) {
                prompt = p;
                return c.percent;
            },
            [&](bool on) { working << on; });
        EXPECT_EQ(prompt, "Specificati coeficientul (în procente) cu care doriti sa modificati preturile de vînzare în "
                          "grupa \"Papetarie\" :");
        EXPECT_EQ(updated, c.factor.has_value());
        EXPECT_EQ(dialogs.texts(), c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{});
        if (c.factor) {
            EXPECT_EQ(working, (QList<bool>{true, false}));
            EXPECT_EQ(dialogs.last().icon, common::Icon::Information);
        }
        const double factor = c.factor.value_or(1.0);
        EXPECT_DOUBLE_EQ(db.scalar("SELECT Pret_vinzare FROM Catalog WHERE Cod = 'PIX001'").toDouble(), 2.5 * factor);
        EXPECT_DOUBLE_EQ(db.scalar("SELECT Pret_vinzare FROM Catalog WHERE Cod = 'HIR001'").toDouble(), 22 * factor);
        EXPECT_DOUBLE_EQ(db.scalar("SELECT Pret_vinzare FROM Catalog WHERE Cod = 'LAP001'").toDouble(), 6)
            << "other groups keep their prices";
        EXPECT_DOUBLE_EQ(logic.articles.value("Pret_vinzare").toDouble(), 2.5 * factor) << "the list is read again";
    }
    EXPECT_EQ(TCatLookupFormLogic::indexMultiplier(10), 1.1);
    EXPECT_EQ(TCatLookupFormLogic::indexMultiplier(-100), 0.0);
    EXPECT_FALSE(TCatLookupFormLogic::indexMultiplier(-100.01));
}

TEST_F(ArticleFixture, IndexGroupPricesOfAnEmptyGroupBeeps)
{
    seed();
    TCatLookupFormLogic logic(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(logic.FormCreate("G3"));
    bool asked = false;
    EXPECT_FALSE(logic.IndexGroupPrices([&](const QString&) {
        asked = true;
        return std::optional<double>(10);
    }));
    EXPECT_FALSE(asked);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// --- search by name ------------------------------------------------------------------------------

TEST_F(ArticleFixture, SearchByName)
{
    seed();
    dialogs.queueInput(QString("PA"));
    const auto text = askArticleSearchText(dialogs);
    ASSERT_EQ(dialogs.inputs.size(), 1);
    EXPECT_EQ(dialogs.inputs[0].caption, "Criteriu de cautare");
    EXPECT_EQ(dialogs.inputs[0].prompt, "Cautare articole care contin în denumire:");
    ASSERT_EQ(text, QString("PA"));

    auto result = openArticleSearch(db, dialogs, *text);
    ASSERT_TRUE(result);
    TCautareFormLogic logic(std::move(result));
    QStringList codes;
    for (int r = 0; r < logic.result().recordCount(); ++r)
        codes << logic.result().value(r, "Cod").toString();
    EXPECT_EQ(codes, (QStringList{"PAH001", "PAP001", "PAI001"}))
        << "names containing pa in any case, in every group, ordered by group and code";
    EXPECT_EQ(logic.result().fieldCount(), 16);

    logic.markAndMoveNext();
    logic.markAndMoveNext();
    logic.result().first();
    logic.toggleCurrentMark(); // pahar off
    logic.result().last();
    logic.toggleCurrentMark();
    const ArticlePick pick = logic.pickResult();
    EXPECT_EQ(codesOf(pick.selected), (QStringList{"PAP001", "PAI001"}));
    EXPECT_EQ(pick.current.value("Grupa").toString(), "G2");
    EXPECT_EQ(pick.current.value("Unitate_masura").toString(), "kg");
    EXPECT_FALSE(logic.isMarked(0));
    EXPECT_TRUE(logic.isMarked(1));

    // Cancelled, nothing found, a failing query.
    dialogs.acceptByDefault = false;
    EXPECT_FALSE(askArticleSearchText(dialogs));
    auto none = openArticleSearch(db, dialogs, "nimic");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isEmpty());
    db.dropTable("Catalog.DB");
    dialogs.clear();
    EXPECT_FALSE(openArticleSearch(db, dialogs, "pa"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la baza de date!\r<")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith(">!"));
}

// --- purchase prices ------------------------------------------------------------------------------

TEST_F(ArticleFixture, PurchasePriceLines)
{
    seed();
    addArticle("G2", "PIX001", "pix din alta grupa", "", "buc", 1); // the same code in another group
    db.exec("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate) VALUES "
            "('01', 'G1', 'PIX001', 1.75, 'L2', 'B1', 4), ('01', 'G1', 'PIX001', 1.5, NULL, 'B2', 10), "
            "('01', 'G1', 'PIX001', 1.75, 'L1', 'B1', 2), ('02', 'G1', 'PIX001', 9, NULL, 'B1', 1), "
            "('01', 'G1', 'CAI001', 3, NULL, 'B1', 1)");

    auto lines = openPurchasePrices(db, dialogs, "01", "G1", "PIX001");
    ASSERT_TRUE(lines) << dialogs.texts().join(" | ").toStdString();
    ASSERT_EQ(lines->recordCount(), 3) << "one line per stock row, none doubled by the other group's article";
    const struct {
        double price;
        const char* lot;
        const char* budget;
        double quantity;
    } expected[] = {{1.5, "", "B2", 10}, {1.75, "L1", "B1", 2}, {1.75, "L2", "B1", 4}};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(lines->value(r, "Pret_achizitie").toDouble(), expected[r].price) << r;
        EXPECT_EQ(lines->value(r, "Lot").toString(), QString(expected[r].lot)) << r;
        EXPECT_EQ(lines->value(r, "Agent").toString(), QString(expected[r].budget)) << r;
        EXPECT_EQ(lines->value(r, "Cantitate").toDouble(), expected[r].quantity) << r;
        EXPECT_EQ(lines->value(r, "Denumire").toString(), "pix albastru") << r;
        EXPECT_EQ(lines->value(r, "Unitate_masura").toString(), "buc") << r;
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());

    for (const auto& missing : {QStringList{"03", "G1", "PIX001"}, QStringList{"01", "G2", "PIX001"},
                                QStringList{"01", "G1", "HIR001"}}) {
        dialogs.clear();
        EXPECT_FALSE(openPurchasePrices(db, dialogs, missing[0], missing[1], missing[2])) << missing.join('/').toStdString();
        EXPECT_EQ(dialogs.texts(), QStringList{"Nu exista stoc pentru acest articol!"});
        EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
    }
}
