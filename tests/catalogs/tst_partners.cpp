// Suppliers, budgets and warehouses, headless: the checks of a row (code and
// name, account symbol), the default account of a new row, duplicate codes,
// the search as you type and the two orders, the empty-table warning, the
// "&Editeaza" toggle of the picker, the close request and the refresh tick;
// on a real database file.

#include "catalogs/partnerlookuplogic.h"
#include "common/accountsymbol.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <ostream>

[[maybe_unused]] static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using namespace catalogs;
using namespace datastore;

namespace {

const char* const kAccountWarning = common::kAccountSymbolMessage;

class PartnersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Furn.DB", "Client.DB", "Gest.db"})
            db.createTable(*findTableDef(QString::fromLatin1(t)));
    }

    std::unique_ptr<TPartnerLookupLogic> open(PartnerKind kind, LookupRole role = LookupRole::Child)
    {
        auto logic = std::make_unique<TPartnerLookupLogic>(partnerCatalog(kind), db, dialogs, params, role);
        EXPECT_TRUE(logic->FormCreate()) << dialogs.texts().join(" | ").toStdString();
        return logic;
    }

    // Rows of a catalog: code and name pairs.
    void fill(PartnerKind kind, const QList<std::pair<QString, QString>>& rows)
    {
        const PartnerCatalogDef& def = partnerCatalog(kind);
        for (const auto& [code, name] : rows)
            db.exec(QStringLiteral("INSERT INTO \"%1\" (%2, %3) VALUES (:c, :n)").arg(def.table, def.codeField, def.nameField),
                    {{"c", code}, {"n", name}});
    }

    int count(PartnerKind kind)
    {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(partnerCatalog(kind).table)).toInt();
    }

    testsupport::TempDir dir;
    Database db;
    common::ScriptedDialogs dialogs;
    common::Parameters params;
};

} // namespace

TEST_F(PartnersTest, DescriptionsOfTheThreeCatalogs)
{
    const struct {
        PartnerKind kind;
        const char* windowClass;
        const char* picker;
        const char* child;
        const char* layout;
        bool refresh;
    } cases[] = {
        {PartnerKind::Suppliers, "TFurnLookupForm", "Selectie de furnizori", "Catalog furnizori", "furnlook.cfg", true},
        {PartnerKind::Budgets, "TClientLookupForm", "Selectie de bugete", "Catalog surse de finantare", "clnlook.cfg", true},
        {PartnerKind::Warehouses, "TGestlookupForm", "Catalog de gestiuni", "Catalog de gestiuni", "", false},
    };
    for (const auto& c : cases) {
        const PartnerCatalogDef& def = partnerCatalog(c.kind);
        EXPECT_STREQ(def.windowClass, c.windowClass);
        EXPECT_EQ(def.pickerCaption, QString::fromUtf8(c.picker));
        EXPECT_EQ(def.childCaption, QString::fromUtf8(c.child));
        EXPECT_EQ(def.layoutFile, QString::fromUtf8(c.layout));
        EXPECT_EQ(def.reactsToRefresh, c.refresh);
        // Every column names a field of the table.
        const TableDef* table = findTableDef(def.table);
        ASSERT_NE(table, nullptr) << def.table.toStdString();
        for (const ui::GridColumn& col : def.columns)
            EXPECT_NE(table->field(col.field), nullptr) << col.field.toStdString();
    }
    QStringList budgetTitles;
    for (const ui::GridColumn& col : partnerCatalog(PartnerKind::Budgets).columns)
        budgetTitles << col.title + (col.visible ? "" : " (hidden)");
    EXPECT_EQ(budgetTitles, QStringList({"Cod buget", "Denumire", "Calc Eco/Dep (hidden)"}));
}

TEST_F(PartnersTest, ARowNeedsItsCodeAndName)
{
    const QString supplierWarning = "Completati cel putin codul si denumirea furnizorului!";
    const QString budgetWarning = "Completati toate datele inregistrarii!";
    const QString warehouseWarning = "Completati codul gestiunii!";
    const struct {
        PartnerKind kind;
        const char* code;
        const char* name;
        QString warning; // empty: saved
    } cases[] = {
        {PartnerKind::Suppliers, "F1", "", supplierWarning},
        {PartnerKind::Suppliers, "F1", "   ", supplierWarning},
        {PartnerKind::Suppliers, "", "Furnizorul Unu", supplierWarning},
        {PartnerKind::Suppliers, "F1", "Furnizorul Unu", {}},
        {PartnerKind::Budgets, "B1", "", budgetWarning},
        {PartnerKind::Budgets, " ", "Buget local", budgetWarning},
        {PartnerKind::Budgets, "B1", "Buget local", {}},
        {PartnerKind::Warehouses, "G1", "", {}}, // a warehouse needs only its code
        {PartnerKind::Warehouses, "", "Cantina", warehouseWarning},
        {PartnerKind::Warehouses, "  ", "Cantina", warehouseWarning},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(partnerCatalog(c.kind).windowClass) + " [" + c.code + "] [" + c.name + "]");
        db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(partnerCatalog(c.kind).table));
        dialogs.clear();
        auto logic = open(c.kind);
        Dataset& t = logic->table;
        t.append();
        t.setValue(partnerCatalog(c.kind).codeField, QString::fromUtf8(c.code));
        t.setValue(partnerCatalog(c.kind).nameField, QString::fromUtf8(c.name));
        if (c.warning.isEmpty()) {
            t.post();
            EXPECT_TRUE(dialogs.messages.isEmpty());
            EXPECT_EQ(count(c.kind), 1);
        } else {
            EXPECT_THROW(t.post(), Abort);
            EXPECT_EQ(dialogs.texts(), QStringList{c.warning});
            EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
            EXPECT_EQ(t.state(), DatasetState::Insert) << "the row stays in editing, nothing lost";
            EXPECT_EQ(count(c.kind), 0);
        }
    }
}

TEST_F(PartnersTest, AccountSymbolsAreChecked)
{
    const struct {
        const char* account;
        bool accepted;
    } accounts[] = {
        {"401.1.2", true},
        {"", true},
        {"4011", true},
        {"401.1.2.3", false},       // three dots
        {"40123456789.1", false},   // a first segment of 11 characters
    };
    for (PartnerKind kind : {PartnerKind::Suppliers, PartnerKind::Budgets}) {
        const QString field = partnerCatalog(kind).accountField;
        for (const auto& a : accounts) {
            SCOPED_TRACE(field.toStdString() + " = " + a.account);
            dialogs.clear();
            auto logic = open(kind);
            Dataset& t = logic->table;
            t.append();
            const QString before = t.value(field).toString();
            if (a.accepted) {
                t.setValue(field, QString::fromUtf8(a.account));
                EXPECT_TRUE(dialogs.messages.isEmpty());
                EXPECT_EQ(t.value(field).toString(), QString::fromUtf8(a.account));
            } else {
                EXPECT_THROW(t.setValue(field, QString::fromUtf8(a.account)), Abort);
                EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(kAccountWarning)});
                EXPECT_EQ(t.value(field).toString(), before) << "the refused value is not taken";
            }
        }
    }
}

TEST_F(PartnersTest, NewRowsTakeTheDefaultAccount)
{
    params.CFurn = "401.01";
    params.CCln = "4111";
    const struct {
        PartnerKind kind;
        const char* field;
        const char* account;
    } cases[] = {
        {PartnerKind::Suppliers, "Cont_creditor", "401.01"},
        {PartnerKind::Budgets, "Cont", "4111"},
    };
    for (const auto& c : cases) {
        auto logic = open(c.kind);
        logic->table.append();
        EXPECT_EQ(logic->table.value(c.field).toString(), c.account);
        EXPECT_FALSE(logic->table.isModified()) << "a row with only its defaults is untouched";
        // Closing drops the untouched row rather than refusing it.
        EXPECT_TRUE(logic->FormCloseQuery());
        EXPECT_EQ(count(c.kind), 0);
        EXPECT_TRUE(dialogs.messages.isEmpty());

        logic->table.append();
        logic->table.setValue(partnerCatalog(c.kind).codeField, "X1");
        logic->table.setValue(partnerCatalog(c.kind).nameField, "Nume");
        EXPECT_TRUE(logic->FormCloseQuery());
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT %1 FROM \"%2\"").arg(c.field, partnerCatalog(c.kind).table)).toString(),
                  c.account);
    }
    // Warehouses have no account.
    auto gest = open(PartnerKind::Warehouses);
    gest->table.append();
    for (int i = 0; i < gest->table.fieldCount(); ++i)
        EXPECT_TRUE(gest->table.value(gest->table.fieldAt(i).name).isNull());

    // A default the check refuses (a hand-edited definition file) leaves the
    // account empty instead of blocking every new row.
    params.CFurn = "401.1.2.3";
    auto furn = open(PartnerKind::Suppliers);
    furn->table.append();
    EXPECT_EQ(furn->table.state(), DatasetState::Insert);
    EXPECT_TRUE(furn->table.value("Cont_creditor").isNull());
}

TEST_F(PartnersTest, DuplicateCodesAreRefusedByTheKey)
{
    fill(PartnerKind::Suppliers, {{"F1", "Alfa"}});
    auto logic = open(PartnerKind::Suppliers);
    logic->table.append();
    logic->table.setValue("Cod_furnizor", "F1");
    logic->table.setValue("Nume_furnizor", "Alt furnizor");
    EXPECT_FALSE(logic->FormCloseQuery());
    EXPECT_EQ(dialogs.last().text, duplicateKeyMessage());
    EXPECT_EQ(logic->table.state(), DatasetState::Insert);
    EXPECT_EQ(count(PartnerKind::Suppliers), 1);
    logic->table.setValue("Cod_furnizor", "F2");
    EXPECT_TRUE(logic->FormCloseQuery());
    EXPECT_EQ(count(PartnerKind::Suppliers), 2);
}

TEST_F(PartnersTest, SearchMovesToTheNearestKeyAtOrAfterTheText)
{
    // Codes and names in the order "dupa Cod" sees them as text: 1, 10, 3.
    fill(PartnerKind::Suppliers, {{"3", "gama srl"}, {"1", "Alfa SA"}, {"10", "beta"}});
    fill(PartnerKind::Budgets, {{"3", "gama"}, {"1", "Alfa"}, {"10", "Beta"}, {"2", "Beta"}});
    fill(PartnerKind::Warehouses, {{"3", "Depozit"}, {"1", "magazie"}, {"10", "Atelier"}});
    const struct {
        PartnerKind kind;
        PartnerOrder order;
        const char* typed;
        const char* code; // of the row found
    } cases[] = {
        {PartnerKind::Suppliers, PartnerOrder::ByCode, "2", "3"},
        {PartnerKind::Suppliers, PartnerOrder::ByCode, "1", "1"},
        {PartnerKind::Suppliers, PartnerOrder::ByCode, "10", "10"},
        {PartnerKind::Suppliers, PartnerOrder::ByCode, "100", "3"},
        {PartnerKind::Suppliers, PartnerOrder::ByCode, "9", "3"}, // past the last key: the last row
        {PartnerKind::Suppliers, PartnerOrder::ByName, "B", "10"},
        {PartnerKind::Suppliers, PartnerOrder::ByName, "GAMA", "3"},
        {PartnerKind::Budgets, PartnerOrder::ByName, "b", "10"}, // equal names follow the code
        {PartnerKind::Budgets, PartnerOrder::ByName, "BETA", "10"},
        {PartnerKind::Budgets, PartnerOrder::ByName, "beta ", "3"},
        {PartnerKind::Budgets, PartnerOrder::ByName, "ALF", "1"},
        {PartnerKind::Budgets, PartnerOrder::ByCode, "2", "2"},
        {PartnerKind::Warehouses, PartnerOrder::ByName, "M", "1"},
        {PartnerKind::Warehouses, PartnerOrder::ByName, "d", "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(partnerCatalog(c.kind).windowClass) + " typed " + c.typed);
        auto logic = open(c.kind, LookupRole::Picker);
        logic->setOrder(c.order);
        logic->SearchChange(QString::fromUtf8(c.typed));
        EXPECT_EQ(logic->currentCode(), QString::fromUtf8(c.code));
    }
    // An empty search box does not move.
    auto logic = open(PartnerKind::Suppliers);
    logic->table.moveTo(2);
    logic->SearchChange("");
    EXPECT_EQ(logic->currentCode(), "3");
}

TEST_F(PartnersTest, TheOrderComboSwitchesTheIndexAndKeepsTheCurrentRow)
{
    fill(PartnerKind::Budgets, {{"B", "zeta"}, {"A", "Omega"}, {"C", "alfa"}, {"D", "Alfa"}});
    auto logic = open(PartnerKind::Budgets);
    auto codes = [&] {
        QStringList l;
        for (int r = 0; r < logic->table.recordCount(); ++r)
            l << logic->table.value(r, "Cod_client").toString();
        return l;
    };
    EXPECT_EQ(logic->order(), PartnerOrder::ByCode);
    EXPECT_EQ(codes(), QStringList({"A", "B", "C", "D"}));
    ASSERT_TRUE(logic->locateCode("B"));
    logic->setOrder(PartnerOrder::ByName);
    EXPECT_EQ(codes(), QStringList({"C", "D", "A", "B"})) << "names without regard to case, then the code";
    EXPECT_EQ(logic->currentCode(), "B");

    // A pending row is posted before the switch; a refused one keeps the order.
    logic->table.append();
    logic->table.setValue("Cod_client", "E");
    EXPECT_THROW(logic->setOrder(PartnerOrder::ByCode), Abort);
    EXPECT_EQ(logic->order(), PartnerOrder::ByName);
    EXPECT_EQ(logic->table.state(), DatasetState::Insert);
    logic->table.setValue("Nume_client", "beta");
    logic->setOrder(PartnerOrder::ByCode);
    EXPECT_EQ(codes(), QStringList({"A", "B", "C", "D", "E"}));
    EXPECT_EQ(logic->currentCode(), "E");
}

TEST_F(PartnersTest, LocatingACode)
{
    fill(PartnerKind::Warehouses, {{"G2", "Doi"}, {"G1", "Unu"}, {"g3", "Trei"}});
    auto logic = open(PartnerKind::Warehouses, LookupRole::Picker);
    EXPECT_TRUE(logic->locateCode("G2"));
    EXPECT_EQ(logic->currentCode(), "G2");
    EXPECT_FALSE(logic->locateCode("G3")) << "the key is exact, letter case included";
    EXPECT_EQ(logic->currentCode(), "G2") << "no move";
    EXPECT_FALSE(logic->locateCode(""));
}

TEST_F(PartnersTest, AnEmptyTableOpensInEditingWithAWarning)
{
    const struct {
        PartnerKind kind;
        const char* warning;
    } cases[] = {
        {PartnerKind::Suppliers, "Adaugati furnizori în catalog!"},
        {PartnerKind::Budgets, "Adaugati bugete în catalog!"},
        {PartnerKind::Warehouses, "Adaugati gestiuni în catalog!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(partnerCatalog(c.kind).windowClass);
        dialogs.clear();
        auto picker = open(c.kind, LookupRole::Picker);
        EXPECT_FALSE(picker->isEditMode()) << "a picker starts read-only";
        EXPECT_TRUE(picker->FormShow());
        EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(c.warning)});
        EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
        EXPECT_TRUE(picker->isEditMode());

        fill(c.kind, {{"1", "Unu"}});
        dialogs.clear();
        auto filled = open(c.kind, LookupRole::Picker);
        EXPECT_FALSE(filled->FormShow());
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_FALSE(filled->isEditMode());
    }
}

TEST_F(PartnersTest, ATableThatCannotBeOpened)
{
    db.dropTable("Client.DB");
    TPartnerLookupLogic logic(partnerCatalog(PartnerKind::Budgets), db, dialogs, params, LookupRole::Child);
    EXPECT_FALSE(logic.FormCreate());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la catalogul de bugete!\r<")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith(">"));
    EXPECT_FALSE(logic.table.isOpen());
    EXPECT_TRUE(logic.FormCloseQuery());
}

TEST_F(PartnersTest, TheEditToggleOfThePicker)
{
    fill(PartnerKind::Suppliers, {{"F1", "Alfa"}});
    auto logic = open(PartnerKind::Suppliers, LookupRole::Picker);
    EXPECT_FALSE(logic->isEditMode());
    EXPECT_THROW(logic->table.append(), DatasetError) << "read-only until \"&Editeaza\"";

    EXPECT_TRUE(logic->setEditMode(true));
    logic->table.append();
    logic->table.setValue("Cod_furnizor", "F2");
    // Releasing the toggle posts the row; a refused row keeps the list in editing.
    EXPECT_FALSE(logic->setEditMode(false));
    EXPECT_EQ(dialogs.last().text, "Completati cel putin codul si denumirea furnizorului!");
    EXPECT_TRUE(logic->isEditMode());
    EXPECT_EQ(logic->table.state(), DatasetState::Insert);
    logic->table.setValue("Nume_furnizor", "Beta");
    EXPECT_TRUE(logic->setEditMode(false));
    EXPECT_FALSE(logic->isEditMode());
    EXPECT_EQ(count(PartnerKind::Suppliers), 2);
    EXPECT_EQ(logic->currentCode(), "F2");

    // A child window's list stays writable.
    auto child = open(PartnerKind::Suppliers, LookupRole::Child);
    EXPECT_TRUE(child->isEditMode());
    EXPECT_TRUE(child->setEditMode(false));
    EXPECT_TRUE(child->isEditMode());
}

TEST_F(PartnersTest, ClosingPostsAPendingRowInEveryCatalog)
{
    // Warehouses too: a typed warehouse is not lost when the window closes.
    for (PartnerKind kind : {PartnerKind::Suppliers, PartnerKind::Budgets, PartnerKind::Warehouses}) {
        SCOPED_TRACE(partnerCatalog(kind).windowClass);
        fill(kind, {{"1", "Unu"}});
        auto logic = open(kind);
        logic->table.edit();
        logic->table.setValue(partnerCatalog(kind).nameField, "Unu modificat");
        EXPECT_TRUE(logic->FormCloseQuery());
        logic->FormClose();
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT %1 FROM \"%2\"").arg(partnerCatalog(kind).nameField, partnerCatalog(kind).table)).toString(),
                  "Unu modificat");
    }
}

TEST_F(PartnersTest, RefreshTicksReReadIdleLists)
{
    fill(PartnerKind::Suppliers, {{"F1", "Alfa"}});
    fill(PartnerKind::Warehouses, {{"G1", "Unu"}});
    auto furn = open(PartnerKind::Suppliers);
    auto gest = open(PartnerKind::Warehouses);
    // Another workstation adds rows.
    fill(PartnerKind::Suppliers, {{"F0", "Zeta"}});
    fill(PartnerKind::Warehouses, {{"G2", "Doi"}});

    furn->table.edit();
    furn->table.setValue("Nume_furnizor", "Alfa SRL");
    EXPECT_FALSE(furn->refreshTick()) << "not while editing";
    EXPECT_EQ(furn->table.recordCount(), 1);
    furn->table.post();
    EXPECT_TRUE(furn->refreshTick());
    EXPECT_EQ(furn->table.recordCount(), 2);
    EXPECT_EQ(furn->currentCode(), "F1") << "the current row stays current";

    EXPECT_FALSE(gest->refreshTick()) << "the warehouse list does not react";
    EXPECT_EQ(gest->table.recordCount(), 1);
}

TEST_F(PartnersTest, BudgetCodesFitWhatDocumentsAndStockKeep)
{
    const QString warning =
        "Codul bugetului poate avea cel mult 3 caractere: documentele si stocurile pastreaza numai 3!";
    const struct {
        const char* code;
        bool taken;
    } cases[] = {{"B1", true}, {"ABC", true}, {"ABCD", false}, {"Buget local", false}, {"", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        dialogs.clear();
        auto logic = open(PartnerKind::Budgets);
        Dataset& t = logic->table;
        t.append();
        if (c.taken) {
            t.setValue("Cod_client", QString::fromUtf8(c.code));
            EXPECT_TRUE(dialogs.messages.isEmpty());
        } else {
            EXPECT_THROW(t.setValue("Cod_client", QString::fromUtf8(c.code)), Abort);
            EXPECT_EQ(dialogs.texts(), QStringList{warning});
            EXPECT_TRUE(t.value("Cod_client").isNull());
        }
    }
}
