// The input documents window on screen (offscreen): its columns follow the
// parameters, typed values go through the document's checks, and a picture
// of a document with several lines is saved for a look.

#include "docintest.h"

#include "stock/tdocinform.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace stocktest;

namespace {

class DocInForm : public DocInFixture {
protected:
    std::unique_ptr<stock::TDocInForm> openWindow()
    {
        stock::DocInContext context{db, dialogs, formats, parameters, printSettings, dir.path() + u'/', {}, {}, {}, {}, {}};
        auto form = std::make_unique<stock::TDocInForm>(std::move(context));
        EXPECT_TRUE(form->prepare(kToday));
        return form;
    }
    bool columnShown(stock::TDocInForm& form, const QString& field)
    {
        const int c = form.lineGrid()->datasetModel()->columnOf(field);
        return c >= 0 && !form.lineGrid()->isColumnHidden(c);
    }
    prints::PrintSettingsStore printSettings;
};

TEST_F(DocInForm, ColumnsFollowTheParameters)
{
    parameters.CLot = true;
    parameters.CValEdit = true;
    auto form = openWindow();
    EXPECT_TRUE(columnShown(*form, "Lot"));
    EXPECT_FALSE(columnShown(*form, "Pret_achizitie_valuta"));
    EXPECT_FALSE(columnShown(*form, "Valoare"));
    EXPECT_TRUE(columnShown(*form, "Pret_echiv_USD"));
    EXPECT_FALSE(columnShown(*form, "Cod_bare"));
    EXPECT_FALSE(columnShown(*form, "Comanda"));
    const int price = form->lineGrid()->datasetModel()->columnOf("Pret_achizitie_lei");
    EXPECT_TRUE(form->lineGrid()->datasetModel()->columns().at(price).readOnly);
    EXPECT_EQ(form->windowTitle(), "Intrari produse");

    // A budget added in its catalog is offered after the refresh tick.
    ui::DatasetModel* model = form->lineGrid()->datasetModel();
    EXPECT_TRUE(model->columns().at(model->columnOf("Buget")).pickList.isEmpty());
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
    form->refreshTick();
    EXPECT_EQ(model->columns().at(model->columnOf("Buget")).pickList, QStringList{"Buget local"});
}

TEST_F(DocInForm, BadInputGetsAMessageAndWritesNothing)
{
    auto form = openWindow();
    form->show();
    auto* registered = form->findChildren<ui::FieldEdit*>().at(1);
    ASSERT_EQ(registered->field(), "Data_inregistrarii");
    registered->setFocus();
    registered->selectAll();
    QTest::keyClicks(registered, "31.02.2026");
    EXPECT_FALSE(registered->commit());
    EXPECT_EQ(dialogs.last().text, "'31.02.2026' nu este o data valida");
    EXPECT_EQ(form->logic().docs.value("Data_inregistrarii").toDate(), kToday);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 0);
    registered->selectAll();
    QTest::keyClicks(registered, "10.03.2026");
    ASSERT_TRUE(registered->commit());

    // An explanation longer than the field takes what it can hold.
    ui::FieldEdit* explanation = nullptr;
    for (ui::FieldEdit* e : form->findChildren<ui::FieldEdit*>())
        if (e->field() == "Explicatie")
            explanation = e;
    ASSERT_NE(explanation, nullptr);
    explanation->setFocus();
    QTest::keyClicks(explanation, QString(300, u'x'));
    EXPECT_EQ(explanation->text().size(), 255);
    EXPECT_TRUE(explanation->commit());

    // A quantity or a price that is not a number, or too large, is refused in its cell.
    form->logic().docs.setValue("Tip", "FCT");
    form->logic().docs.setValue("Numar", 5.0);
    form->logic().items.append();
    ui::DatasetModel* model = form->lineGrid()->datasetModel();
    const int row = form->logic().items.recNo();
    struct Case {
        const char* field;
        const char* text;
    };
    for (const Case& c : {Case{"Cantitate", "abc"}, Case{"Pret_achizitie_lei", "123456789012345678"},
                          Case{"Cantitate", "1e400"}}) {
        SCOPED_TRACE(c.text);
        dialogs.clear();
        EXPECT_FALSE(model->setData(model->index(row, model->columnOf(c.field)), QString::fromLatin1(c.text)));
        EXPECT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(form->logic().items.isNull(c.field));
    }
    form->logic().items.cancel();
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC"), 0);
    dialogs.queueAnswer(common::Answer::Ok);
    form->close();
}

TEST_F(DocInForm, Screenshot)
{
    parameters.CPretFaraTva = true;
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('S1', 'Papetaria Central SRL')");
    form();
    fillHeader(QStringLiteral("FCT"), 4711);
    form().docs.setValue("Furnizor", "S1");
    form().docs.setValue("Explicatie", "Rechizite trimestrul I");
    ASSERT_TRUE(addLine("ART", 10, 0, {{"Pret_achizitie_valuta", 20.0}, {"Pret_achizitie_lei", QVariant()}}));
    ASSERT_TRUE(addLine("ART", 5, 0, {{"Pret_achizitie_valuta", 21.5}, {"Pret_achizitie_lei", QVariant()}}));
    ASSERT_TRUE(addLine("PIX", 100, 0, {{"Pret_achizitie_valuta", 1.2}, {"Pret_achizitie_lei", QVariant()}}));
    ASSERT_TRUE(addLine("GUMA", 40, 0, {{"Pret_achizitie_valuta", 0.8}, {"Pret_achizitie_lei", QVariant()}}));
    ASSERT_TRUE(form().saveDocument());

    auto window = openWindow();
    window->resize(1000, 520);
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(window->logic().items.recordCount(), 4);
    auto* supplier = window->findChild<QComboBox*>();
    ASSERT_NE(supplier, nullptr);
    EXPECT_FALSE(window->grab().toImage().isNull());
    EXPECT_TRUE(testsupport::saveShot(*window, QStringLiteral("input_documents.png")));
    window->close();
}

} // namespace
