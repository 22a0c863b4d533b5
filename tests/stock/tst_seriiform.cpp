// The serial window: the rows of one input document with the catalog name,
// serial numbers typed and written, a row being edited written when the
// window closes or turns to another document, and rows neither added nor
// deleted here.

#include "stocktest.h"

#include "stock/tseriiform.h"

#include <QDir>
#include <QFile>

using namespace stock;

namespace {

class SeriiFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Serie.DB", "Catalog.DB"})
            db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire) VALUES ('G1', 'ART1', 'Imprimanta laser'), "
                "('G1', 'ART2', 'Monitor 24 inch'), ('G2', 'ART1', 'Alt articol')");
        db.exec("INSERT INTO SERIE (Contor, ContorSec, Grupa, Cod_articol, SerieFurn, Serie) VALUES "
                "(10, 2, 'G1', 'ART2', 0, NULL), (11, 1, 'G1', 'ART1', 5, 9), "
                "(10, 1, 'G1', 'ART1', 0, 2), (10, 1, 'G1', 'ART1', 0, 1)");
    }

    // The rows of the list as "line:group/article name serial/supplier serial".
    QStringList listed(const datastore::Dataset& d) const
    {
        QStringList rows;
        for (int r = 0; r < d.recordCount(); ++r)
            rows << QStringLiteral("%1:%2/%3 %4 %5/%6")
                        .arg(d.value(r, d.fieldIndex("ContorSec")).toString(),
                             d.value(r, d.fieldIndex("Grupa")).toString(),
                             d.value(r, d.fieldIndex("Cod_articol")).toString(),
                             d.value(r, d.fieldIndex("Denumire")).toString(),
                             d.value(r, d.fieldIndex("Serie")).toString(),
                             d.value(r, d.fieldIndex("SerieFurn")).toString());
        return rows;
    }
    QStringList supplierSerials(double contor)
    {
        QStringList v;
        datastore::Query q = db.query("SELECT SerieFurn FROM SERIE WHERE Contor = :c ORDER BY ContorSec, Serie",
                                      {{"c", contor}});
        while (q.next())
            v << q.value(0).toString();
        return v;
    }

    testsupport::TempDir dir;
    datastore::Database db;
    common::ScriptedDialogs dialogs;
    common::Formats formats;
};

} // namespace

TEST_F(SeriiFormTest, ListsTheRowsOfOneDocumentWithTheCatalogName)
{
    TSeriiFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open(10));
    EXPECT_EQ(listed(logic.serials), (QStringList{"1:G1/ART1 Imprimanta laser 1/0", "1:G1/ART1 Imprimanta laser 2/0",
                                                  "2:G1/ART2 Monitor 24 inch /0"}));
    ASSERT_TRUE(logic.showDocument(11));
    EXPECT_EQ(logic.contor(), 11);
    EXPECT_EQ(listed(logic.serials), (QStringList{"1:G1/ART1 Imprimanta laser 9/5"}));
    ASSERT_TRUE(logic.showDocument(12));
    EXPECT_TRUE(logic.serials.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    QList<QString> titles;
    for (const ui::GridColumn& c : logic.columns())
        titles << c.title + (c.readOnly ? "*" : "");
    EXPECT_EQ(titles, (QList<QString>{"Grupa*", "Cod_articol*", "Denumire*", "Serie", "SerieFurn"}));
}

TEST_F(SeriiFormTest, TypedSerialsAreWrittenAndTheArticleCannotChange)
{
    TSeriiFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open(10));
    ui::DatasetModel model(logic.serials, formats, dialogs);
    model.setColumns(logic.columns());
    const int furn = model.columnOf("SerieFurn");
    EXPECT_FALSE(model.flags(model.index(0, model.columnOf("Cod_articol"))) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, model.columnOf("Denumire"))) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, furn)) & Qt::ItemIsEditable);

    EXPECT_TRUE(model.setData(model.index(0, furn), "123456"));
    logic.serials.next(); // moving on writes the row
    EXPECT_EQ(supplierSerials(10), (QStringList{"123456", "0", "0"}));
    EXPECT_FALSE(model.setData(model.index(1, furn), "12a")) << "not a number";
    EXPECT_EQ(dialogs.texts(), QStringList{"Valoare numerica incorecta: 12a"});
    logic.serials.cancel();
    EXPECT_THROW(logic.serials.setValue("Cod_articol", "ART9"), datastore::DatasetError);

    EXPECT_TRUE(model.setData(model.index(2, furn), "77"));
    EXPECT_TRUE(logic.showDocument(11)) << "turning to another document writes the row first";
    EXPECT_EQ(supplierSerials(10), (QStringList{"123456", "0", "77"}));
    EXPECT_EQ(supplierSerials(11), QStringList{"5"});
}

TEST_F(SeriiFormTest, RowsAreNeitherAddedNorDeletedHere)
{
    TSeriiFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open(10));
    ui::DatasetModel model(logic.serials, formats, dialogs);
    ui::DataGrid grid(&model);
    grid.appendRow();
    grid.insertRow();
    EXPECT_EQ(logic.serials.recordCount(), 3);
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_THROW(logic.serials.remove(), datastore::Abort);
    EXPECT_EQ(dialogs.texts(), QStringList{"Seriile se sterg odata cu linia documentului de intrare!"});
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM SERIE").toInt(), 4);
}

TEST_F(SeriiFormTest, ClosingTheWindowWritesTheRowBeingEdited)
{
    auto form = TSeriiForm::createChild(db, dialogs, formats, dir.path(), 10);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Serii");
    form->show();
    ui::DatasetModel* model = form->grid()->datasetModel();
    const int furn = model->columnOf("SerieFurn");
    EXPECT_TRUE(testsupport::saveShot(*form, QStringLiteral("serials.png")));

    // Another workstation changes the row while it is being edited: the write is refused, the window stays.
    ASSERT_TRUE(model->setData(model->index(0, furn), "4711"));
    db.exec("UPDATE SERIE SET SerieFurn = 1 WHERE Contor = 10 AND Serie = 1");
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(dialogs.texts(), QStringList{datastore::StaleRecord::staleRecordMessage()});
    EXPECT_EQ(supplierSerials(10), (QStringList{"1", "0", "0"}));

    ASSERT_TRUE(model->setData(model->index(0, furn), "4711"));
    EXPECT_TRUE(form->close());
    EXPECT_EQ(supplierSerials(10), (QStringList{"4711", "0", "0"}));
    EXPECT_TRUE(QFile::exists(dir.file(kSerialsLayoutFile))) << "the column layout is kept";
}

TEST_F(SeriiFormTest, AnUnreadableTableIsReportedAndNoWindowMade)
{
    db.dropTable("Serie.DB");
    EXPECT_EQ(TSeriiForm::createChild(db, dialogs, formats, dir.path(), 10), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la seriile documentului!\r<"));
}
