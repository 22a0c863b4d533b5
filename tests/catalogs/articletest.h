#pragma once
// A database on disk with the tables of the article catalog, a few classes,
// groups and articles, and the context the catalog windows take.

#include "catalogs/articlecataloglogic.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace articletest {

class ArticleFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Materiale.db", "Grup.db", "Catalog.DB", "Valuta.db", "Item_in.DB", "Stoc.DB"})
            db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
        db.exec("INSERT INTO Valuta (Moneda, Denumire) VALUES ('EUR', 'Euro'), ('USD', 'Dolar')");
    }

    // Two classes, three groups, and articles in two of them.
    void seed()
    {
        db.exec("INSERT INTO Materiale (Cod_material, Denumire) VALUES ('M1', 'Materiale'), ('M2', 'Obiecte')");
        db.exec("INSERT INTO Grup (Cod_material, Cod_grupa, Denumire) VALUES "
                "('M1', 'G1', 'Papetarie'), ('M1', 'G2', 'Alimente'), ('M2', 'G3', 'Mobilier')");
        addArticle("G1", "PIX001", "pix albastru", "cu capac", "buc", 2.5);
        addArticle("G1", "CAI001", "Caiet dictando", "A4", "buc", 4);
        addArticle("G1", "PAP001", "PAPETARIE diversa", "set", "set", 10);
        addArticle("G1", "HIR001", "hirtie copiator", "A4 80g", "top", 22);
        addArticle("G1", "PAH001", "pahar plastic", "200 ml", "buc", 0.3);
        addArticle("G2", "PAI001", "Paine alba", "", "kg", 3);
        addArticle("G2", "LAP001", "Lapte", "1,5%", "l", 6);
    }

    void addArticle(const QString& group, const QString& code, const QString& name, const QString& description,
                    const QString& unit, double price)
    {
        db.exec("INSERT INTO Catalog (Grupa, Cod, Denumire, Descriere, Unitate_masura, Pret_vinzare) "
                "VALUES (:g, :c, :n, :d, :u, :p)",
                {{"g", group}, {"c", code}, {"n", name}, {"d", description}, {"u", unit}, {"p", price}});
    }

    catalogs::ArticleCatalogContext context()
    {
        return {db, dialogs, params, formats, dir.path(), [this](const QString& text) { statusLine << text; }};
    }

    testsupport::TempDir dir;
    datastore::Database db;
    common::ScriptedDialogs dialogs;
    common::Parameters params;
    common::Formats formats;
    QStringList statusLine; // what the window wrote to the main window's status line
};

} // namespace articletest
