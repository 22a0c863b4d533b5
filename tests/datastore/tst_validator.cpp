// Tests of TDatabaseValidator on real database files: creating a database,
// the failures of the table check, index repair, absent tables and databases,
// and the creation options.

#include <gtest/gtest.h>

#include "datastore/database.h"
#include "datastore/databasevalidator.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <functional>

using namespace datastore;

namespace {

const TableDef& catalogTable(const QString& name)
{
    const TableDef* def = findTableDef(name);
    if (!def) {
        ADD_FAILURE() << "unknown table " << name.toStdString();
        static const TableDef none;
        return none;
    }
    return *def;
}

// A copy of a catalog definition, changed by `change`.
TableDef broken(const QString& name, const std::function<void(TableDef&)>& change)
{
    TableDef def = catalogTable(name);
    change(def);
    return def;
}

FieldDef& fieldOf(TableDef& def, const QString& name)
{
    for (FieldDef& f : def.fields) {
        if (f.name == name)
            return f;
    }
    ADD_FAILURE() << "no field " << name.toStdString() << " in " << def.name.toStdString();
    static FieldDef none;
    return none;
}

void removeIndex(TableDef& def, const QString& name)
{
    def.indexes.removeIf([&](const IndexDef& ix) { return ix.name == name; });
}

// Secondary indexes in name order, so that read-back lists compare whatever
// order the storage lists them in.
QList<IndexDef> sortedIndexes(QList<IndexDef> indexes)
{
    std::stable_sort(indexes.begin(), indexes.end(), [](const IndexDef& a, const IndexDef& b) {
        if (a.isPrimary() != b.isPrimary())
            return a.isPrimary();
        return a.name < b.name;
    });
    return indexes;
}

std::string str(const QString& s)
{
    return s.toStdString();
}

// A database directory with its own connection and validator.
class ValidatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        validator.Tables = databaseTables();
    }

    // Creates tables by hand, as a former program version might have left them.
    void createTables(const QList<TableDef>& defs)
    {
        for (const TableDef& def : defs)
            db.createTable(def);
    }

    void createCatalog() { createTables(databaseTables()); }

    // The message of the EDBValidate raised by Validate, or "" when none.
    QString validationError()
    {
        try {
            validator.Validate();
        } catch (const EDBValidate& e) {
            return e.message();
        }
        return QString();
    }

    testsupport::TempDir dir;
    Database db{QStringLiteral("VALIDTEST")};
    TDatabaseValidator validator{db};
};

} // namespace

TEST_F(ValidatorTest, DirectoryPointsTheConnection)
{
    testsupport::TempDir other;
    EXPECT_EQ(validator.Directory(), dir.path());
    validator.setDirectory(other.path());
    EXPECT_EQ(validator.Directory(), other.path());
    EXPECT_EQ(db.directory(), other.path());
}

TEST_F(ValidatorTest, CreatesEveryCatalogTableInAnEmptyDirectory)
{
    QStringList questions;
    QList<int> progress;
    validator.OnProgress = [&](int percent) { progress << percent; };
    validator.OnAbsentDatabase = [&](const QString& message, bool& proceed, QString& directory) {
        questions << message;
        EXPECT_FALSE(proceed);
        EXPECT_EQ(directory, dir.path());
        proceed = true;
    };
    validator.OnAbsentTable = [&](const QString& message, bool&) { questions << message; };

    validator.Validate();

    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(str(questions.first()),
              str("Nu exista o baza de date valida in directorul " + dir.path() + "!\rDoriti crearea uneia noi?"));

    const QList<TableDef>& catalog = databaseTables();
    const qsizetype n = catalog.size();
    QList<int> expected{0};
    for (qsizetype k = 1; k <= n; ++k)
        expected << int(k * 100 / n);
    expected << 100;
    EXPECT_EQ(progress, expected);

    const QStringList names = db.tableNames();
    EXPECT_EQ(names.size(), n);
    for (const TableDef& def : catalog) {
        SCOPED_TRACE(str(def.name));
        EXPECT_TRUE(names.contains(def.name)) << "listed as " << str(names.join(','));
        const TableDef back = db.readTableDef(def.name);
        EXPECT_EQ(back.fields, def.fields);
        EXPECT_EQ(sortedIndexes(back.indexes), sortedIndexes(def.indexes));
    }

    // A second validation finds everything in order and asks nothing.
    questions.clear();
    progress.clear();
    validator.Validate();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(progress, expected);
}

TEST_F(ValidatorTest, AbsentDatabase)
{
    const QString noDatabase = "Nu exista o baza de date valida in directorul " + dir.path() + "!";

    // Without a handler.
    EXPECT_EQ(str(validationError()), str(noDatabase));

    // The handler leaves proceed false.
    int asked = 0;
    validator.OnAbsentDatabase = [&](const QString&, bool&, QString&) { ++asked; };
    EXPECT_EQ(str(validationError()), str(noDatabase));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(db.fileExists());

    // The custom message follows every message after CR LF LF; a blank one adds nothing.
    validator.CustomMessage = QStringLiteral("Anuntati administratorul.");
    EXPECT_EQ(str(validationError()), str(noDatabase + "\r\n\nAnuntati administratorul."));
    validator.CustomMessage = QStringLiteral("  ");
    EXPECT_EQ(str(validationError()), str(noDatabase));
}

TEST_F(ValidatorTest, AbsentDatabaseHandlerMayChooseAnotherDirectory)
{
    testsupport::TempDir valid;
    {
        Database other(QStringLiteral("VALIDOTHER"));
        other.setDirectory(valid.path());
        for (const TableDef& def : databaseTables())
            other.createTable(def);
    }
    QStringList asked;
    QList<int> progress;
    validator.OnProgress = [&](int percent) { progress << percent; };
    validator.OnAbsentDatabase = [&](const QString&, bool& proceed, QString& directory) {
        asked << directory;
        directory = valid.path();
        proceed = true;
    };

    validator.Validate();

    EXPECT_EQ(asked, QStringList{dir.path()});
    EXPECT_EQ(validator.Directory(), valid.path());
    EXPECT_EQ(progress.count(0), 2) << "validation starts again on the other directory";
    EXPECT_EQ(progress.last(), 100);
    EXPECT_FALSE(QFileInfo::exists(dir.file(kDatabaseFileName))) << "nothing is created in the first directory";
}

TEST_F(ValidatorTest, AbsentTables)
{
    createCatalog();
    db.dropTable(QStringLiteral("Grup.db"));
    db.dropTable(QStringLiteral("Valuta.db"));

    // Without a handler the first missing table fails the validation.
    EXPECT_EQ(str(validationError()), str(QStringLiteral("Tabela Grup.db nu exista!")));

    // Declining one table leaves it missing; accepting the other creates it.
    QStringList questions;
    validator.OnAbsentTable = [&](const QString& message, bool& proceed) {
        questions << message;
        EXPECT_FALSE(proceed);
        proceed = message.contains(QStringLiteral("Valuta.db"));
    };
    validator.OnAbsentDatabase = [](const QString&, bool&, QString&) { ADD_FAILURE() << "database is not absent"; };
    QList<int> progress;
    validator.OnProgress = [&](int percent) { progress << percent; };

    validator.Validate();

    EXPECT_EQ(questions, (QStringList{"Tabela Grup.db nu exista! Doriti crearea uneia noi?",
                                      "Tabela Valuta.db nu exista! Doriti crearea uneia noi?"}));
    EXPECT_FALSE(db.tableExists(QStringLiteral("Grup.db")));
    ASSERT_TRUE(db.tableExists(QStringLiteral("Valuta.db")));
    EXPECT_EQ(db.readTableDef(QStringLiteral("Valuta.db")).fields, catalogTable("Valuta.db").fields);
    // Every definition counts, the declined one too.
    const qsizetype n = databaseTables().size();
    EXPECT_EQ(progress.size(), n + 2);
    EXPECT_EQ(progress.at(progress.size() - 2), 100);
}

// One hand-broken table, the definition it is checked against, the repair
// flag and the message of the failure.
struct BrokenTableCase {
    const char* label;
    TableDef table;
    bool recreateIndex;
    QString message;
};

void PrintTo(const BrokenTableCase& c, std::ostream* os)
{
    *os << c.label;
}

class ValidatorFailure : public ValidatorTest, public ::testing::WithParamInterface<BrokenTableCase> {};

TEST_P(ValidatorFailure, ReportsTheFirstDifference)
{
    const BrokenTableCase& c = GetParam();
    createTables({c.table});
    validator.Tables = {catalogTable(c.table.name)};
    validator.RecreateIndex = c.recreateIndex;
    EXPECT_EQ(str(validationError()), str(c.message));
}

INSTANTIATE_TEST_SUITE_P(
    Validator, ValidatorFailure,
    ::testing::Values(
        BrokenTableCase{"MissingField",
                        broken("Catalog.DB", [](TableDef& d) { d.fields.removeAt(3); }), true,
                        "Cîmp absent (Descriere) în tabela Catalog.DB!"},
        BrokenTableCase{"FieldNameCase",
                        broken("Materiale.db", [](TableDef& d) { fieldOf(d, "CONT_SINT").name = "Cont_sint"; }),
                        true, "Cîmp invalid (CONT_SINT) în tabela Materiale.db!"},
        BrokenTableCase{"FieldType",
                        broken("Catalog.DB", [](TableDef& d) { fieldOf(d, "Pret_vinzare") = text("Pret_vinzare", 20); }),
                        true, "Cîmp invalid (Pret_vinzare) în tabela Catalog.DB!"},
        BrokenTableCase{"TextSize",
                        broken("Catalog.DB", [](TableDef& d) { fieldOf(d, "Denumire").size = 100; }), true,
                        "Cîmp invalid (Denumire) în tabela Catalog.DB!"},
        BrokenTableCase{"MemoSize",
                        broken("Ch_agent.DB", [](TableDef& d) { fieldOf(d, "Comentariu").size = 240; }), true,
                        "Cîmp invalid (Comentariu) în tabela Ch_agent.DB!"},
        BrokenTableCase{"RequiredFlag",
                        broken("Grup.db", [](TableDef& d) { fieldOf(d, "Denumire").required = true; }), true,
                        "Cîmp invalid (Denumire) în tabela Grup.db!"},
        BrokenTableCase{"PrimaryKeyFields",
                        broken("Catalog.DB", [](TableDef& d) { d.indexes[0] = primaryKey("Grupa"); }), true,
                        "Index primar invalid pentru tabela Catalog.DB!"},
        BrokenTableCase{"PrimaryKeyWithoutRepair",
                        broken("Grup.db", [](TableDef& d) { d.indexes[0] = primaryKey("Cod_material;Cod_grupa;Denumire"); }),
                        false, "Index primar invalid pentru tabela Grup.db!"},
        BrokenTableCase{"NoIndexWithoutRepair",
                        broken("Catalog.DB", [](TableDef& d) { d.indexes.clear(); }), false,
                        "Tabela Catalog.DB nu are index (indecsi)!"},
        BrokenTableCase{"MissingIndexWithoutRepair",
                        broken("Catalog.DB", [](TableDef& d) { removeIndex(d, "ByDescript"); }), false,
                        "Index absent (ByDescript) pentru cîmpurile Grupa;Descriere si tabela Catalog.DB!"},
        BrokenTableCase{"IndexFieldsWithoutRepair",
                        broken("Catalog.DB", [](TableDef& d) { d.indexes[1] = secondary("ByName", "Denumire"); }),
                        false, "Indexul invalid ByName nu corespunde cîmpurilor Grupa;Denumire pentru tabela Catalog.DB!"},
        BrokenTableCase{"IndexOptionsWithoutRepair",
                        broken("Catalog.DB", [](TableDef& d) { d.indexes[1] = secondary("ByName", "Grupa;Denumire", false); }),
                        false, "Indexul invalid ByName nu corespunde cîmpurilor Grupa;Denumire pentru tabela Catalog.DB!"},
        BrokenTableCase{"IndexNameCaseWithoutRepair",
                        broken("Catalog.DB", [](TableDef& d) { d.indexes[1].name = "BYNAME"; }), false,
                        "Indexul invalid ByName nu corespunde cîmpurilor Grupa;Denumire pentru tabela Catalog.DB!"}),
    [](const ::testing::TestParamInfo<BrokenTableCase>& p) { return std::string(p.param.label); });

TEST_F(ValidatorTest, CustomMessageFollowsTableChecks)
{
    createTables({broken("Materiale.db", [](TableDef& d) { d.fields.removeLast(); })});
    validator.Tables = {catalogTable("Materiale.db")};
    validator.CustomMessage = QStringLiteral("Rulati actualizarea.");
    EXPECT_EQ(str(validationError()), "Cîmp absent (CONT_SINT) în tabela Materiale.db!\r\n\nRulati actualizarea.");
}

TEST_F(ValidatorTest, ExtraFieldsOfTheTableAreAllowed)
{
    createTables({broken("Grup.db", [](TableDef& d) { d.fields.append(text("Observatii", 40)); })});
    validator.Tables = {catalogTable("Grup.db")};
    EXPECT_EQ(str(validationError()), "");
}

// With RecreateIndex the indexes of a table are brought to its definition
// without a word, and the rows stay.
struct RepairCase {
    const char* label;
    TableDef table;
};

void PrintTo(const RepairCase& c, std::ostream* os)
{
    *os << c.label;
}

class ValidatorRepair : public ValidatorTest, public ::testing::WithParamInterface<RepairCase> {};

TEST_P(ValidatorRepair, RebuildsIndexesSilently)
{
    const TableDef& table = GetParam().table;
    const TableDef& def = catalogTable(table.name);
    createTables({table});
    db.exec(QStringLiteral("INSERT INTO \"Catalog.DB\" (Grupa, Cod, Denumire, Descriere) VALUES ('G1', 'A1', 'Faina', 'alba')"));

    validator.Tables = {def};
    validator.OnAbsentTable = [](const QString& m, bool&) { ADD_FAILURE() << str(m); };
    EXPECT_EQ(str(validationError()), "");

    EXPECT_EQ(sortedIndexes(db.readTableDef(def.name).indexes), sortedIndexes(def.indexes));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Denumire FROM \"Catalog.DB\" WHERE Cod = 'A1'")).toString(),
              QStringLiteral("Faina"));
    // Checked again without repair, the table is now in order.
    validator.RecreateIndex = false;
    EXPECT_EQ(str(validationError()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Validator, ValidatorRepair,
    ::testing::Values(
        RepairCase{"MissingSecondaryIndex", broken("Catalog.DB", [](TableDef& d) { removeIndex(d, "ByDescript"); })},
        RepairCase{"DifferingSecondaryIndex",
                   broken("Catalog.DB", [](TableDef& d) { d.indexes[1] = secondary("ByName", "Denumire", false); })},
        RepairCase{"NoIndexAtAll", broken("Catalog.DB", [](TableDef& d) { d.indexes.clear(); })},
        RepairCase{"NoPrimaryKey", broken("Catalog.DB", [](TableDef& d) { d.indexes.removeFirst(); })}),
    [](const ::testing::TestParamInfo<RepairCase>& p) { return std::string(p.param.label); });

TEST_F(ValidatorTest, CreationOptions)
{
    EXPECT_EQ(validator.TableLevel(), 7);
    EXPECT_EQ(validator.BlockSize(), 4096);
    EXPECT_EQ(validator.FillInFactor(), 95);
    EXPECT_EQ(validator.Language, QStringLiteral("polish"));

    auto error = [](const std::function<void()>& set) {
        try {
            set();
        } catch (const EDBValidate& e) {
            return e.message().toStdString();
        }
        return std::string();
    };
    const std::string levels = "Allowed values for table level are 3,4,5,7.";
    const std::string smallBlocks = "Allowed values for blocksize are 1024, 2048 and 4096.";
    const std::string largeBlocks = "Allowed values for blocksize are 1024, 2048, 4096, 16384 and 32768.";
    const std::string fill = "Fill in factor must be valued between 0 and 100.";

    EXPECT_EQ(error([&] { validator.setTableLevel(6); }), levels);
    EXPECT_EQ(validator.TableLevel(), 7);
    EXPECT_EQ(error([&] { validator.setBlockSize(8192); }), largeBlocks);
    EXPECT_EQ(error([&] { validator.setBlockSize(32768); }), "");

    // Levels 3 and 4 lower a large block size to 4096 and refuse large ones.
    EXPECT_EQ(error([&] { validator.setTableLevel(4); }), "");
    EXPECT_EQ(validator.BlockSize(), 4096);
    EXPECT_EQ(error([&] { validator.setBlockSize(16384); }), smallBlocks);
    EXPECT_EQ(error([&] { validator.setBlockSize(1024); }), "");
    EXPECT_EQ(validator.BlockSize(), 1024);
    EXPECT_EQ(error([&] { validator.setTableLevel(5); }), "");
    EXPECT_EQ(validator.BlockSize(), 1024);

    EXPECT_EQ(error([&] { validator.setFillInFactor(0); }), fill);
    EXPECT_EQ(error([&] { validator.setFillInFactor(100); }), fill);
    EXPECT_EQ(error([&] { validator.setFillInFactor(1); }), "");
    EXPECT_EQ(error([&] { validator.setFillInFactor(99); }), "");
    EXPECT_EQ(validator.FillInFactor(), 99);
}
