#pragma once
// The input documents window without its widgets: the logic over a database
// on disk with every table, a small catalog, and a view that answers the
// pickers from a script and records where the cursor was sent.

#include "stocktest.h"

#include "stock/docinlogic.h"

#include <deque>

namespace stocktest {

// What every document window's view answers from a script and records:
// the period, the search criterion, the cursor, the title, the status line.
template <class View>
struct ScriptedDocumentView : View {
    std::deque<std::pair<QDate, QDate>> intervals;
    std::deque<stock::SearchState> searches;
    QStringList focus; // "line:Cantitate", "header:Tip", "allocations"
    QStringList progress;
    QString title;

    bool selectInterval(QDate& first, QDate& last) override
    {
        if (intervals.empty())
            return false;
        std::tie(first, last) = intervals.front();
        intervals.pop_front();
        return true;
    }
    bool askSearchCriterion(stock::SearchState& state, bool) override
    {
        if (searches.empty())
            return false;
        state = searches.front();
        searches.pop_front();
        return true;
    }
    void focusLineColumn(const QString& field) override { focus << QStringLiteral("line:") + field; }
    void focusHeaderField(const QString& field) override { focus << QStringLiteral("header:") + field; }
    void setTitle(const QString& t) override { title = t; }
    void showProgress(const QString& text) override { progress << text; }

protected:
    template <class T>
    static T next(std::deque<T>& queue)
    {
        if (queue.empty())
            return T();
        T v = std::move(queue.front());
        queue.pop_front();
        return v;
    }
};

struct ScriptedView : ScriptedDocumentView<stock::DocInView> {
    std::deque<std::optional<catalogs::ArticlePick>> picks;
    std::deque<QString> budgets;
    bool printConfirmed = true;
    QList<double> receipts;
    bool allocationsShown = false;
    QString printCaption;

    std::optional<catalogs::ArticlePick> pickArticles(const QString&, const QString&) override { return next(picks); }
    std::optional<catalogs::ArticlePick> searchArticlesByName() override { return next(picks); }
    bool pickBudget(QString& code) override
    {
        if (budgets.empty())
            return false;
        code = budgets.front();
        budgets.pop_front();
        return true;
    }
    bool printSetup() override { return printConfirmed; }
    void printReceipt(double contor, const QDate&) override { receipts << contor; }
    void focusAllocations() override { focus << QStringLiteral("allocations"); }
    void showAllocations(bool visible) override { allocationsShown = visible; }
    void setPrintCaption(const QString& caption) override { printCaption = caption; }
};

// An article as a picker returns it.
inline QVariantHash pickedArticle(const QString& group, const QString& code)
{
    return {{QStringLiteral("Grupa"), group}, {QStringLiteral("Cod"), code}};
}

class DocInFixture : public LedgerFixture {
protected:
    static inline const QDate kToday{2026, 3, 10};

    void SetUp() override
    {
        LedgerFixture::SetUp();
        for (const datastore::TableDef& t : datastore::databaseTables())
            if (!db.tableExists(t.name))
                db.createTable(t);
        db.exec(QStringLiteral("DELETE FROM CATALOG"));
        db.exec(QStringLiteral(
            "INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA, Pret_vinzare, Moneda, "
            "Cont_marfa, Cont_TVA_Intrari, Cod_bare) VALUES "
            "('G', 'ART', 'Hartie', 'A4', 'top', 19, 5, 'LEI', '302', '4426', '5940001'), "
            "('G', 'PIX', 'Pix', NULL, 'buc', 19, 2, 'LEI', '302', '4426', '5940002'), "
            "('G', 'GUMA', 'Guma', NULL, 'buc', 9, 1, 'LEI', '302', '4426', NULL)"));
        db.exec(QStringLiteral("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie')"));
    }

    // The window's logic, opened on kToday.
    stock::TDocInFormLogic& form()
    {
        if (!m_form) {
            m_form = std::make_unique<stock::TDocInFormLogic>(db, parameters, formats, dialogs, view);
            EXPECT_TRUE(m_form->open(kToday));
        }
        return *m_form;
    }
    void reopen()
    {
        m_form.reset();
        form();
    }

    // A header for the current (new) document.
    void fillHeader(const QString& type = QStringLiteral("FCT"), double number = 1, QDate registered = kToday)
    {
        datastore::Dataset& docs = form().docs;
        if (!docs.isEditing())
            docs.edit();
        docs.setValue(QStringLiteral("Tip"), type);
        docs.setValue(QStringLiteral("Numar"), number);
        docs.setValue(QStringLiteral("Data_inregistrarii"), registered);
        docs.setValue(QStringLiteral("Data"), registered);
    }

    // The window opened on a new invoice and a new line begun in it.
    datastore::Dataset& startLine()
    {
        form();
        fillHeader();
        form().items.append();
        return form().items;
    }

    // A new line of the current document; false when it was refused (it then stays in editing).
    bool addLine(const QString& article, double quantity, double price, const QVariantHash& more = {})
    {
        datastore::Dataset& items = form().items;
        try {
            items.append();
            items.setValue(QStringLiteral("Cod_grupa"), QStringLiteral("G"));
            items.setValue(QStringLiteral("Cod_articol"), article);
            for (auto it = more.cbegin(); it != more.cend(); ++it)
                if (it.value().isValid())
                    items.setValue(it.key(), it.value());
            items.setValue(QStringLiteral("Cantitate"), quantity);
            if (!more.contains(QStringLiteral("Pret_achizitie_lei")))
                items.setValue(QStringLiteral("Pret_achizitie_lei"), price);
            items.post();
            return true;
        } catch (const datastore::Abort&) {
            return false;
        }
    }
    // Changes a field of line `row`; false when refused.
    bool changeLine(int row, const QString& field, const QVariant& value)
    {
        datastore::Dataset& items = form().items;
        try {
            items.moveTo(row);
            items.edit();
            items.setValue(field, value);
            items.post();
            return true;
        } catch (const datastore::Abort&) {
            return false;
        }
    }

    // A supplier invoice of `lines` (article, quantity, price), saved.
    double receipt(const QList<std::tuple<QString, double, double>>& lines, QDate registered = kToday)
    {
        form().newDocument();
        fillHeader(QStringLiteral("FCT"), 1, registered);
        for (const auto& [article, quantity, price] : lines)
            EXPECT_TRUE(addLine(article, quantity, price)) << dialogs.last().text.toStdString();
        EXPECT_TRUE(form().saveDocument());
        return form().docs.value(QStringLiteral("Contor")).toDouble();
    }

    double stockOf(const QString& article, double price)
    {
        return db.scalar(QStringLiteral("SELECT SUM(Cantitate) FROM STOC WHERE Cod_articol = :a AND Pret_achizitie = :p"),
                         {{QStringLiteral("a"), article}, {QStringLiteral("p"), price}})
            .toDouble();
    }
    int count(const QString& sql, const QVariantHash& params = {}) { return db.scalar(sql, params).toInt(); }
    double counterIn() { return db.scalar(QStringLiteral("SELECT NewCounterIn FROM COUNTER")).toDouble(); }

    ScriptedView view;

private:
    std::unique_ptr<stock::TDocInFormLogic> m_form;
};

} // namespace stocktest
