// Tests of the compiled table catalog and of the table definition helpers.

#include <gtest/gtest.h>

#include "datastore/tablecatalog.h"
#include "datastore/tabledef.h"

#include <QSet>
#include <QString>
#include <QStringList>

using namespace datastore;

namespace {

const TableDef& tableNamed(const QString& name)
{
    for (const TableDef& def : databaseTables()) {
        if (def.name == name)
            return def;
    }
    for (const TableDef& def : uncheckedTables()) {
        if (def.name == name)
            return def;
    }
    ADD_FAILURE() << "no table named " << name.toStdString();
    static const TableDef empty;
    return empty;
}

QList<TableDef> allTables()
{
    QList<TableDef> all = databaseTables();
    all.append(uncheckedTables());
    return all;
}

} // namespace

TEST(TableCatalog, CountsAndUncheckedTable)
{
    EXPECT_EQ(databaseTables().size(), 47);
    ASSERT_EQ(uncheckedTables().size(), 1);
    EXPECT_EQ(uncheckedTables().at(0).name, QStringLiteral("TargetA.DB"));
    for (const TableDef& def : databaseTables())
        EXPECT_NE(def.name.compare(QStringLiteral("TargetA.DB"), Qt::CaseInsensitive), 0);
}

TEST(TableCatalog, FullOrderOfTheDatabaseTables)
{
    const QStringList expected = {
        "Versiune.db", "Aeser.DB",     "Av_in.DB",      "Av_out.DB",   "Avit_in.DB",
        "Avit_out.DB", "Catalog.DB",   "Cfser.DB",      "Ch_agent.DB", "Chser.db",
        "Client.DB",   "Clnpay.DB",    "Counter.DB",    "Curs.db",     "Doc_Com.Db",
        "Doc_in.DB",   "Doc_out.DB",   "Doc_prof.DB",   "Fctser.DB",   "Firmdata.DB",
        "Furn.DB",     "Gest.db",      "Grup.db",       "Item_Com.DB", "Item_in.DB",
        "Item_out.DB", "Item_prof.DB", "Of_item.DB",    "OfC_item.DB", "Offer.DB",
        "OfferC.DB",   "Reteta.DB",    "Serie.DB",      "Splpay.DB",   "Splvpay.DB",
        "Stoc.DB",     "Stoc_Com.DB",  "Target.DB",     "User.db",     "Valuta.db",
        "Acces.DB",    "item_grila.DB", "grila.DB",     "Materiale.db", "ValAlocatie.DB",
        "Alocatie.DB", "TipAlocatie.DB",
    };
    ASSERT_EQ(expected.size(), 47);
    const QList<TableDef>& tables = databaseTables();
    ASSERT_EQ(tables.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(tables.at(i).name, expected.at(i)) << "position " << i;

    // The first and last few, spelled out.
    EXPECT_EQ(tables.first().name, QStringLiteral("Versiune.db"));
    EXPECT_EQ(tables.at(1).name, QStringLiteral("Aeser.DB"));
    EXPECT_EQ(tables.at(2).name, QStringLiteral("Av_in.DB"));
    EXPECT_EQ(tables.at(44).name, QStringLiteral("ValAlocatie.DB"));
    EXPECT_EQ(tables.at(45).name, QStringLiteral("Alocatie.DB"));
    EXPECT_EQ(tables.last().name, QStringLiteral("TipAlocatie.DB"));
}

TEST(TableCatalog, TableNamesAreUnique)
{
    QSet<QString> seen;
    for (const TableDef& def : allTables()) {
        const QString key = def.name.toLower();
        EXPECT_FALSE(seen.contains(key)) << def.name.toStdString();
        seen.insert(key);
    }
}

TEST(TableCatalog, FieldCountsPerTable)
{
    struct Count { const char* table; int fields; };
    const Count counts[] = {
        {"Versiune.db", 1},  {"Aeser.DB", 3},      {"Av_in.DB", 9},      {"Av_out.DB", 10},
        {"Avit_in.DB", 13},  {"Avit_out.DB", 17},  {"Catalog.DB", 28},   {"Cfser.DB", 3},
        {"Ch_agent.DB", 7},  {"Chser.db", 3},      {"Client.DB", 18},    {"Clnpay.DB", 7},
        {"Counter.DB", 6},   {"Curs.db", 3},       {"Doc_Com.Db", 5},    {"Doc_in.DB", 7},
        {"Doc_out.DB", 9},   {"Doc_prof.DB", 7},   {"Fctser.DB", 3},     {"Firmdata.DB", 16},
        {"Furn.DB", 10},     {"Gest.db", 3},       {"Grup.db", 5},       {"Item_Com.DB", 8},
        {"Item_in.DB", 18},  {"Item_out.DB", 20},  {"Item_prof.DB", 12}, {"Of_item.DB", 13},
        {"OfC_item.DB", 11}, {"Offer.DB", 8},      {"OfferC.DB", 8},     {"Reteta.DB", 4},
        {"Serie.DB", 6},     {"Splpay.DB", 7},     {"Splvpay.DB", 8},    {"Stoc.DB", 8},
        {"Stoc_Com.DB", 7},  {"Target.DB", 6},     {"User.db", 4},       {"Valuta.db", 2},
        {"Acces.DB", 47},    {"item_grila.DB", 3}, {"grila.DB", 2},      {"Materiale.db", 3},
        {"ValAlocatie.DB", 4}, {"Alocatie.DB", 4}, {"TipAlocatie.DB", 6}, {"TargetA.DB", 6},
    };
    EXPECT_EQ(int(sizeof(counts) / sizeof(counts[0])), 48);
    for (const Count& c : counts) {
        const TableDef& def = tableNamed(QString::fromLatin1(c.table));
        EXPECT_EQ(def.fields.size(), c.fields) << c.table;
    }
}

TEST(TableCatalog, SpotChecksOfFields)
{
    struct Spot { const char* table; int index; const char* name; FieldType type; int size; };
    const Spot spots[] = {
        {"Versiune.db", 0, "Ver", FieldType::Text, 10},
        {"Aeser.DB", 2, "Number", FieldType::Float, 0},
        {"Av_in.DB", 7, "Contor_fact", FieldType::Float, 0},
        {"Av_out.DB", 8, "Contor_factura", FieldType::Float, 0},
        {"Avit_in.DB", 12, "Cont_TVA_Intrari", FieldType::Text, 20},
        {"Avit_out.DB", 16, "Cont_venituri", FieldType::Text, 20},
        // Field names with a blank.
        {"Catalog.DB", 5, "Generic 1", FieldType::Text, 15},
        {"Catalog.DB", 8, "Generic 4", FieldType::Text, 15},
        {"Catalog.DB", 21, "Cod_bare", FieldType::Text, 60},
        {"Catalog.DB", 22, "CantReteta", FieldType::Float, 0},
        // Upgrade-chain fields.
        {"Catalog.DB", 23, "Proteine", FieldType::Float, 0},
        {"Catalog.DB", 27, "ZileValabilitate", FieldType::Float, 0},
        // Memo.
        {"Ch_agent.DB", 5, "Comentariu", FieldType::Memo, 10},
        {"Ch_agent.DB", 6, "Emitent", FieldType::Text, 100},
        {"Chser.db", 1, "Data_platii", FieldType::Date, 0},
        // Integer, boolean.
        {"Client.DB", 12, "Grila", FieldType::Integer, 0},
        {"Client.DB", 13, "Lock", FieldType::Boolean, 0},
        {"Client.DB", 17, "Atentie", FieldType::Text, 10},
        // Autoincrement.
        {"Clnpay.DB", 3, "Nrcrt", FieldType::AutoIncrement, 0},
        {"Counter.DB", 5, "NewCounterProf", FieldType::Float, 0},
        {"Doc_Com.Db", 3, "Cod_Furnizor", FieldType::Text, 30},
        {"Doc_out.DB", 8, "Agent", FieldType::Text, 3},
        {"Doc_prof.DB", 3, "Data", FieldType::Date, 0},
        // Small integer; the other blank name; upgrade-chain fields.
        {"Firmdata.DB", 0, "Cod", FieldType::SmallInt, 0},
        {"Firmdata.DB", 4, "Cod fiscal", FieldType::Text, 20},
        {"Firmdata.DB", 10, "Comisia1", FieldType::Text, 100},
        {"Firmdata.DB", 15, "Comisia6", FieldType::Text, 100},
        {"Furn.DB", 4, "Banca", FieldType::Text, 15},
        {"Gest.db", 2, "Gestionar", FieldType::Text, 100},
        // Cont_sint here, CONT_SINT in Materiale.db.
        {"Grup.db", 3, "Cont_sint", FieldType::Text, 20},
        {"Grup.db", 4, "Target", FieldType::Boolean, 0},
        {"Materiale.db", 2, "CONT_SINT", FieldType::Text, 20},
        {"Item_Com.DB", 5, "Cod_Agent", FieldType::Text, 3},
        {"Item_Com.DB", 6, "Pret", FieldType::Float, 0},
        {"Item_Com.DB", 7, "Termen", FieldType::Date, 0},
        {"Item_in.DB", 5, "Lot", FieldType::Text, 30},
        {"Item_in.DB", 15, "Contor_Com", FieldType::Float, 0},
        {"Item_in.DB", 16, "Serii", FieldType::Boolean, 0},
        {"Item_in.DB", 17, "Cod_bare", FieldType::Text, 60},
        {"Item_out.DB", 17, "Lot", FieldType::Text, 30},
        {"Item_out.DB", 19, "Cod_bare", FieldType::Text, 60},
        {"Item_prof.DB", 10, "Buget", FieldType::Text, 3},
        {"Item_prof.DB", 11, "Lot", FieldType::Text, 30},
        {"Of_item.DB", 2, "Group", FieldType::Text, 8},
        {"Of_item.DB", 12, "Currency", FieldType::Text, 3},
        {"OfC_item.DB", 10, "Val", FieldType::Float, 0},
        {"Offer.DB", 6, "Header", FieldType::Memo, 2},
        {"OfferC.DB", 7, "Footer", FieldType::Memo, 2},
        {"Reteta.DB", 2, "Cod_Grupa", FieldType::Text, 8},
        {"Serie.DB", 5, "Serie", FieldType::Float, 0},
        {"Splvpay.DB", 4, "NrCtr", FieldType::AutoIncrement, 0},
        {"Stoc.DB", 5, "Agent", FieldType::Text, 3},
        {"Stoc_Com.DB", 3, "Cod_agent", FieldType::Text, 3},
        {"Target.DB", 2, "An", FieldType::Integer, 0},
        {"User.db", 2, "Psw", FieldType::Text, 15},
        {"User.db", 3, "Acces", FieldType::SmallInt, 0},
        {"Acces.DB", 0, "Niv_acces", FieldType::SmallInt, 0},
        {"Acces.DB", 1, "Doc_in", FieldType::Boolean, 0},
        {"Acces.DB", 46, "Grila_discount", FieldType::Boolean, 0},
        {"item_grila.DB", 0, "Grila", FieldType::Integer, 0},
        {"grila.DB", 1, "Nume_grila", FieldType::Text, 30},
        {"ValAlocatie.DB", 3, "DataSf", FieldType::Date, 0},
        {"Alocatie.DB", 2, "CodAlocatie", FieldType::Float, 0},
        {"TipAlocatie.DB", 5, "EcoDep", FieldType::Boolean, 0},
        {"TargetA.DB", 1, "Cod_Grupa", FieldType::Text, 8},
    };
    for (const Spot& s : spots) {
        const TableDef& def = tableNamed(QString::fromLatin1(s.table));
        ASSERT_LT(s.index, def.fields.size()) << s.table;
        const FieldDef& f = def.fields.at(s.index);
        EXPECT_EQ(f.name, QString::fromLatin1(s.name)) << s.table << " #" << s.index;
        EXPECT_EQ(f.type, s.type) << s.table << " " << s.name;
        EXPECT_EQ(f.size, s.size) << s.table << " " << s.name;
        EXPECT_FALSE(f.required) << s.table << " " << s.name;
    }
}

TEST(TableCatalog, EveryFieldTypeIsUsed)
{
    QSet<int> used;
    for (const TableDef& def : allTables()) {
        for (const FieldDef& f : def.fields)
            used.insert(int(f.type));
    }
    for (FieldType t : {FieldType::Text, FieldType::SmallInt, FieldType::Integer,
                        FieldType::Boolean, FieldType::Float, FieldType::Date,
                        FieldType::AutoIncrement, FieldType::Memo})
        EXPECT_TRUE(used.contains(int(t))) << fieldTypeName(t).toStdString();
}

TEST(TableCatalog, SizesOnlyForTextAndMemo)
{
    for (const TableDef& def : allTables()) {
        for (const FieldDef& f : def.fields) {
            if (f.type == FieldType::Text || f.type == FieldType::Memo)
                EXPECT_GT(f.size, 0) << def.name.toStdString() << "." << f.name.toStdString();
            else
                EXPECT_EQ(f.size, 0) << def.name.toStdString() << "." << f.name.toStdString();
            EXPECT_FALSE(f.required);
        }
    }
}

TEST(TableCatalog, FieldNamesUniqueWithinTable)
{
    for (const TableDef& def : allTables()) {
        QSet<QString> seen;
        for (const FieldDef& f : def.fields) {
            const QString key = f.name.toLower();
            EXPECT_FALSE(seen.contains(key)) << def.name.toStdString() << "." << f.name.toStdString();
            seen.insert(key);
        }
    }
}

TEST(TableCatalog, AccesHasNivAccesThen46Booleans)
{
    const TableDef& acces = tableNamed(QStringLiteral("Acces.DB"));
    ASSERT_EQ(acces.fields.size(), 47);
    EXPECT_EQ(acces.fields.first(), smallInt(QStringLiteral("Niv_acces")));
    for (qsizetype i = 1; i < acces.fields.size(); ++i)
        EXPECT_EQ(acces.fields.at(i).type, FieldType::Boolean) << acces.fields.at(i).name.toStdString();
    EXPECT_EQ(acces.fields.at(8).name, QStringLiteral("Utilizatori"));
    EXPECT_EQ(acces.fields.at(19).name, QStringLiteral("Note_contabile"));
    EXPECT_EQ(acces.fields.at(31).name, QStringLiteral("Interval_actualizare"));
    EXPECT_EQ(acces.fields.at(45).name, QStringLiteral("Retur"));
    EXPECT_EQ(acces.fields.last().name, QStringLiteral("Grila_discount"));
    ASSERT_EQ(acces.indexes.size(), 1);
    EXPECT_EQ(acces.indexes.first(), primaryKey(QStringLiteral("Niv_acces")));
}

TEST(TableCatalog, PrimaryKeyIsFirstAndMadeOfLeadingFields)
{
    for (const TableDef& def : allTables()) {
        const IndexDef* pk = def.primaryKey();
        if (!pk) {
            for (const IndexDef& ix : def.indexes)
                EXPECT_FALSE(ix.isPrimary()) << def.name.toStdString();
            continue;
        }
        // The primary key is the first index, unnamed, primary and unique.
        ASSERT_FALSE(def.indexes.isEmpty());
        EXPECT_EQ(pk, &def.indexes.first()) << def.name.toStdString();
        EXPECT_TRUE(pk->name.isEmpty()) << def.name.toStdString();
        EXPECT_EQ(pk->options, IndexOptions(IxPrimary | IxUnique)) << def.name.toStdString();
        // Its fields are the leading fields of the record, in record order (exact names).
        const QStringList keyFields = pk->fieldList();
        ASSERT_FALSE(keyFields.isEmpty()) << def.name.toStdString();
        ASSERT_LE(keyFields.size(), def.fields.size()) << def.name.toStdString();
        for (qsizetype i = 0; i < keyFields.size(); ++i)
            EXPECT_EQ(keyFields.at(i), def.fields.at(i).name) << def.name.toStdString() << " key field " << i;
        // Only one primary index.
        for (qsizetype i = 1; i < def.indexes.size(); ++i)
            EXPECT_FALSE(def.indexes.at(i).isPrimary()) << def.name.toStdString();
    }
}

TEST(TableCatalog, TablesWithoutIndex)
{
    const QSet<QString> noIndex = {"Versiune.db", "Counter.DB", "Serie.DB", "Target.DB", "TargetA.DB"};
    for (const TableDef& def : allTables()) {
        if (noIndex.contains(def.name)) {
            EXPECT_TRUE(def.indexes.isEmpty()) << def.name.toStdString();
            EXPECT_EQ(def.primaryKey(), nullptr) << def.name.toStdString();
        } else {
            EXPECT_NE(def.primaryKey(), nullptr) << def.name.toStdString();
        }
    }
}

TEST(TableCatalog, EveryIndexFieldExistsInItsTable)
{
    for (const TableDef& def : allTables()) {
        for (const IndexDef& ix : def.indexes) {
            const QStringList fl = ix.fieldList();
            EXPECT_FALSE(fl.isEmpty()) << def.name.toStdString() << " " << ix.name.toStdString();
            for (const QString& fname : fl) {
                const FieldDef* f = def.field(fname);
                ASSERT_NE(f, nullptr) << def.name.toStdString() << " index " << ix.name.toStdString()
                                      << " field " << fname.toStdString();
                EXPECT_EQ(f->name, fname) << "index field spelled differently from the field";
            }
            if (!ix.isPrimary()) {
                EXPECT_FALSE(ix.name.isEmpty()) << def.name.toStdString();
                EXPECT_EQ(ix.options & (IxUnique | IxPrimary), 0u) << def.name.toStdString();
            }
        }
    }
}

TEST(TableCatalog, SecondaryIndexes)
{
    struct Ix { const char* table; const char* name; const char* fields; bool ci; };
    const Ix expected[] = {
        {"Catalog.DB", "ByName", "Grupa;Denumire", true},
        {"Catalog.DB", "ByDescript", "Grupa;Descriere", true},
        {"Client.DB", "ByName", "Nume_client", true},
        {"Doc_in.DB", "ByDate", "Data_inregistrarii", true},
        {"Doc_out.DB", "ByDate", "Data_inregistrarii", true},
        {"Doc_prof.DB", "ByDate", "Data_inregistrarii", true},
        {"Furn.DB", "ByName", "Nume_furnizor", true},
        {"Gest.db", "ByName", "Denumire", true},
        {"Item_in.DB", "ByCodArt", "Cod_grupa;Cod_articol;Pret_achizitie_lei", true},
        {"Item_out.DB", "ByCodArt", "Cod_grupa;Cod_articol;Pret_achizitie", true},
        {"Item_prof.DB", "ByCodArt", "Cod_grupa;Cod_articol;Pret_achizitie", true},
        {"Alocatie.DB", "CodAlocatie", "CodAlocatie", false},
    };
    int total = 0;
    for (const TableDef& def : allTables())
        total += int(def.indexes.size()) - (def.primaryKey() ? 1 : 0);
    EXPECT_EQ(total, int(sizeof(expected) / sizeof(expected[0])));

    for (const Ix& e : expected) {
        const TableDef& def = tableNamed(QString::fromLatin1(e.table));
        const IndexDef* found = nullptr;
        for (const IndexDef& ix : def.indexes) {
            if (ix.name == QString::fromLatin1(e.name))
                found = &ix;
        }
        ASSERT_NE(found, nullptr) << e.table << " " << e.name;
        EXPECT_EQ(found->fieldList(), QString::fromLatin1(e.fields).split(';')) << e.table << " " << e.name;
        EXPECT_EQ(found->options, e.ci ? IndexOptions(IxCaseInsensitive) : IndexOptions(0))
            << e.table << " " << e.name;
    }

    // Secondary indexes follow the primary key.
    const TableDef& catalog = tableNamed(QStringLiteral("Catalog.DB"));
    ASSERT_EQ(catalog.indexes.size(), 3);
    EXPECT_EQ(catalog.indexes.at(0), primaryKey(QStringLiteral("Grupa;Cod")));
    EXPECT_EQ(catalog.indexes.at(1).name, QStringLiteral("ByName"));
    EXPECT_EQ(catalog.indexes.at(2).name, QStringLiteral("ByDescript"));
}

TEST(TableCatalog, MultiFieldPrimaryKeys)
{
    EXPECT_EQ(tableNamed("Stoc.DB").primaryKey()->fieldList(),
              QStringList({"Cod_gestiune", "Cod_grupa", "Cod_articol", "Pret_achizitie", "Lot", "Agent"}));
    EXPECT_EQ(tableNamed("Splvpay.DB").primaryKey()->fieldList(),
              QStringList({"Cod_furn", "Contor_document", "Valuta", "Data_platii", "NrCtr"}));
    EXPECT_EQ(tableNamed("Ch_agent.DB").primaryKey()->fieldList(),
              QStringList({"Agent", "Data", "Tip", "Chitanta"}));
    EXPECT_EQ(tableNamed("Alocatie.DB").primaryKey()->fieldList(),
              QStringList({"Contor", "Contor_secundar", "CodAlocatie"}));
    EXPECT_EQ(tableNamed("Stoc_Com.DB").primaryKey()->fieldList(),
              QStringList({"Contor", "Cod_grupa", "Cod_articol", "Cod_agent"}));
}

TEST(TableCatalog, FindTableDef)
{
    const TableDef* stoc = findTableDef(QStringLiteral("STOC"));
    ASSERT_NE(stoc, nullptr);
    EXPECT_EQ(stoc->name, QStringLiteral("Stoc.DB"));
    EXPECT_EQ(findTableDef(QStringLiteral("stoc.db")), stoc);
    EXPECT_EQ(findTableDef(QStringLiteral("Stoc.DB")), stoc);

    // Not confused with Stoc_Com.DB.
    const TableDef* stocCom = findTableDef(QStringLiteral("stoc_com"));
    ASSERT_NE(stocCom, nullptr);
    EXPECT_EQ(stocCom->name, QStringLiteral("Stoc_Com.DB"));

    const TableDef* docCom = findTableDef(QStringLiteral("Doc_Com.DB"));
    ASSERT_NE(docCom, nullptr);
    EXPECT_EQ(docCom->name, QStringLiteral("Doc_Com.Db"));

    const TableDef* targetA = findTableDef(QStringLiteral("TargetA"));
    ASSERT_NE(targetA, nullptr);
    EXPECT_EQ(targetA->name, QStringLiteral("TargetA.DB"));
    EXPECT_EQ(targetA, &uncheckedTables().first());

    const TableDef* target = findTableDef(QStringLiteral("target.db"));
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->name, QStringLiteral("Target.DB"));

    EXPECT_EQ(findTableDef(QStringLiteral("Inexistent")), nullptr);
    EXPECT_EQ(findTableDef(QStringLiteral("Inexistent.db")), nullptr);
    EXPECT_EQ(findTableDef(QString()), nullptr);

    // Every table is found by its own name and returns the catalog's object.
    for (const TableDef& def : databaseTables())
        EXPECT_EQ(findTableDef(def.name), &def) << def.name.toStdString();
}

TEST(TableDef, FieldTypeNames)
{
    EXPECT_EQ(fieldTypeName(FieldType::Text), QStringLiteral("text"));
    EXPECT_EQ(fieldTypeName(FieldType::SmallInt), QStringLiteral("small integer"));
    EXPECT_EQ(fieldTypeName(FieldType::Integer), QStringLiteral("integer"));
    EXPECT_EQ(fieldTypeName(FieldType::Boolean), QStringLiteral("boolean"));
    EXPECT_EQ(fieldTypeName(FieldType::Float), QStringLiteral("float"));
    EXPECT_EQ(fieldTypeName(FieldType::Date), QStringLiteral("date"));
    EXPECT_EQ(fieldTypeName(FieldType::AutoIncrement), QStringLiteral("autoincrement"));
    EXPECT_EQ(fieldTypeName(FieldType::Memo), QStringLiteral("memo"));
}

TEST(TableDef, IndexFieldList)
{
    IndexDef ix{QString(), QStringLiteral(" Contor ; Contor_secundar;;"), IxPrimary | IxUnique};
    EXPECT_EQ(ix.fieldList(), QStringList({"Contor", "Contor_secundar"}));
    EXPECT_TRUE(ix.isPrimary());
    EXPECT_TRUE(IndexDef{}.fieldList().isEmpty());
    EXPECT_EQ(secondary("ByName", "Generic 1").fieldList(), QStringList({"Generic 1"}));
}

TEST(TableDef, FieldLookupIsCaseInsensitive)
{
    const TableDef& materiale = tableNamed(QStringLiteral("Materiale.db"));
    const FieldDef* f = materiale.field(QStringLiteral("cont_sint"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->name, QStringLiteral("CONT_SINT"));
    EXPECT_EQ(materiale.field(QStringLiteral("Nope")), nullptr);

    const TableDef& catalog = tableNamed(QStringLiteral("Catalog.DB"));
    ASSERT_NE(catalog.field(QStringLiteral("GENERIC 3")), nullptr);
    EXPECT_EQ(catalog.field(QStringLiteral("GENERIC 3"))->name, QStringLiteral("Generic 3"));

    TableDef empty;
    EXPECT_EQ(empty.field(QStringLiteral("x")), nullptr);
    EXPECT_EQ(empty.primaryKey(), nullptr);
}
