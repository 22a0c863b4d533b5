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
    prints::PrintSettings printSettings;
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
}

TEST_F(DocInForm, AWrongDateIsRefusedAndNothingIsWritten)
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
    const QImage shot = window->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    shot.save(QStringLiteral("/tmp/docinform.png"));
    window->close();
}

} // namespace
