#include "consolidation.h"

#include "inputvat.h"
#include "numbering.h"
#include "outputpricing.h"

#include "datastore/dataset.h"
#include "datastore/dberror.h"
#include "datastore/tablecatalog.h"

namespace stock {

const QString ConsolidationLogic::kPrompt = QStringLiteral("Specificati furnizorul si perioada de selectare a avizelor:");
const QString ConsolidationLogic::kMarkPrompt = QStringLiteral(
    "Marcheaza  avizele care urmeaza a fi consolidate într-o singura factura (prin dublu-clic sau apasarea tastei "
    "spatiu):");
const QString ConsolidationLogic::kWorking = QStringLiteral("Operatiune în curs de executie...");
const QString ConsolidationLogic::kConsolidationError = QStringLiteral(
    "Eroare de acces la baza de date. Verificati server-ul sau un acces neautorizat la baza de date.\r<");

const QString ConsolidationLogic::kSelectionChanged = QStringLiteral(
    "Unele avize marcate au fost modificate, consolidate sau sterse între timp de alt utilizator! "
    "Lista avizelor a fost reincarcata; marcati din nou avizele.");

namespace {

// A marked note is gone from the list since it was read.
struct SelectionChanged : std::exception {};

const QString kAnsw = QStringLiteral("\":TBX_PRIV:Answ\"");
const QString kItAnsw = QStringLiteral("\":TBX_PRIV:ItAnsw\"");

// What differs between the two sides.
struct SideTables {
    QString header, lines;         // "DOC_IN", "ITEM_IN"
    QString headerDef, linesDef;   // catalog names
    QString historyHeader, historyLines;
    CounterField counter;
    QString partnerField;          // Furnizor / Client
    QString invoiceField;          // Contor_fact / Contor_Fact in Answ
    QString historyInvoiceField;   // Contor_fact / Contor_factura in the history
    QString priceField;            // the price VAT is computed on
    QStringList answFields;        // without the invoice field
    QStringList lineFields;
};

const SideTables& tables(NoteSide side)
{
    static const SideTables in{
        QStringLiteral("DOC_IN"), QStringLiteral("ITEM_IN"), QStringLiteral("Doc_in.DB"), QStringLiteral("Item_in.DB"),
        QStringLiteral("AV_IN"), QStringLiteral("AVIT_IN"), CounterField::In, QStringLiteral("Furnizor"),
        QStringLiteral("Contor_fact"), QStringLiteral("Contor_fact"), QStringLiteral("Pret_achizitie_lei"),
        {QStringLiteral("Contor"), QStringLiteral("Data_inregistrarii"), QStringLiteral("Numar"), QStringLiteral("Tip"),
         QStringLiteral("Data"), QStringLiteral("Furnizor"), QStringLiteral("Explicatie")},
        {QStringLiteral("Contor"), QStringLiteral("Contor_secundar"), QStringLiteral("Cod_gestiune"),
         QStringLiteral("Cod_grupa"), QStringLiteral("Cod_articol"), QStringLiteral("Lot"), QStringLiteral("Cantitate"),
         QStringLiteral("Pret_achizitie_valuta"), QStringLiteral("Valuta"), QStringLiteral("Pret_achizitie_lei"),
         QStringLiteral("Pret_echiv_USD"), QStringLiteral("TVA"), QStringLiteral("Cont_marfa"),
         QStringLiteral("Cont_TVA_Intrari"), QStringLiteral("Agent"), QStringLiteral("Serii")}};
    static const SideTables out{
        QStringLiteral("DOC_OUT"), QStringLiteral("ITEM_OUT"), QStringLiteral("Doc_out.DB"), QStringLiteral("Item_out.DB"),
        QStringLiteral("AV_OUT"), QStringLiteral("AVIT_OUT"), CounterField::Out, QStringLiteral("Client"),
        QStringLiteral("Contor_Fact"), QStringLiteral("Contor_factura"), QStringLiteral("Pret_vinzare"),
        {QStringLiteral("Contor"), QStringLiteral("Data_inregistrarii"), QStringLiteral("Numar"), QStringLiteral("Tip"),
         QStringLiteral("Data"), QStringLiteral("Client"), QStringLiteral("Explicatie"), QStringLiteral("Data_scadenta"),
         QStringLiteral("Agent")},
        {QStringLiteral("Contor"), QStringLiteral("Contor_secundar"), QStringLiteral("Cod_gestiune"),
         QStringLiteral("Cod_grupa"), QStringLiteral("Cod_articol"), QStringLiteral("Cantitate"),
         QStringLiteral("Pret_achizitie"), QStringLiteral("Pret_vinzare"), QStringLiteral("Pret_vz_echiv_USD"),
         QStringLiteral("TVA"), QStringLiteral("Cont_marfa"), QStringLiteral("Cont_cheltuieli"),
         QStringLiteral("Cont_TVA_Iesiri"), QStringLiteral("Cont_accize"), QStringLiteral("Acciza"),
         QStringLiteral("Cont_adaos"), QStringLiteral("Cont_venituri"), QStringLiteral("Lot"), QStringLiteral("Agent")}};
    return side == NoteSide::Input ? in : out;
}

// The definition of a working table: `fields` with their types in `source`.
datastore::TableDef workingTable(const QString& name, const QString& source, const QStringList& fields,
                                 const QList<datastore::FieldDef>& extra = {})
{
    const datastore::TableDef* def = datastore::findTableDef(source);
    datastore::TableDef t;
    t.name = name;
    for (const QString& f : fields)
        if (const datastore::FieldDef* field = def ? def->field(f) : nullptr)
            t.fields.append(*field);
    t.fields.append(extra);
    return t;
}

// The fields of `fields` that the table `table` also has.
QStringList sharedFields(const QString& table, const QStringList& fields)
{
    const datastore::TableDef* def = datastore::findTableDef(table);
    QStringList shared;
    for (const QString& f : fields)
        if (def && def->field(f))
            shared << f;
    return shared;
}

} // namespace

ConsolidationLogic::ConsolidationLogic(datastore::Database& db, datastore::Database& privateDb,
                                       const common::Parameters& parameters, common::Dialogs& dialogs, NoteSide side)
    : m_db(db), m_privateDb(privateDb), m_parameters(parameters), m_dialogs(dialogs), m_side(side)
{
}

QString ConsolidationLogic::caption() const
{
    return m_side == NoteSide::Input ? QStringLiteral("Consolidare factura (documente de intrare)")
                                     : QStringLiteral("Consolidare factura (documente de iesire)");
}

QString ConsolidationLogic::noNotesMessage() const
{
    return m_side == NoteSide::Input ? QStringLiteral("Nu exista avize pentru perioada si furnizorul indicate!")
                                     : QStringLiteral("Nu exista avize pentru perioada si clientul indicate!");
}

QString ConsolidationLogic::accessErrorMessage() const
{
    return m_side == NoteSide::Input ? QStringLiteral("Eroare de acces la tabela de documente de intrare!\r")
                                     : QStringLiteral("Eroare de acces la tabela de documente de iesire!\r");
}

bool ConsolidationLogic::readPartners()
{
    m_partners.clear();
    try {
        datastore::Query q = m_db.query(
            m_side == NoteSide::Input
                ? QStringLiteral("SELECT Cod_furnizor, Nume_furnizor FROM \"Furn.DB\" ORDER BY Nume_furnizor, Cod_furnizor")
                : QStringLiteral("SELECT Cod_client, Nume_client FROM \"Client.DB\" ORDER BY Nume_client, Cod_client"));
        while (q.next())
            m_partners.append({q.value(0).toString(), q.value(1).toString()});
    } catch (const std::exception& e) {
        m_dialogs.error(accessErrorMessage() + datastore::errorText(e) + QStringLiteral("!"));
        return false;
    }
    return true;
}

bool ConsolidationLogic::select(const QString& partner, const QDate& from, const QDate& to)
{
    if (to < from) {
        m_dialogs.beep();
        return false;
    }
    m_notes.clear();
    m_marked.clear();
    m_partner = partner;
    const QString sql =
        m_side == NoteSide::Input
            ? QStringLiteral("SELECT Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie,\n"
                             "  0 as Contor_fact\nFROM DOC_IN\nWHERE\n(Tip = 'AE')\n AND (Data >= :FD)\n"
                             " AND (Data <= :TD)\n AND (Furnizor = :Cod_furnizor)\nORDER BY Data, Numar, Contor")
            : QStringLiteral("SELECT DISTINCT Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie, "
                             "Data_scadenta, \n  0 AS Contor_Fact, Agent\nFROM DOC_OUT\nWHERE\n (Tip = 'AE')\n"
                             " AND (Data >= :FD)\n AND (Data <= :TD)\n AND (Client = :Cod_client)\n"
                             "ORDER BY Data, Numar, Contor");
    try {
        datastore::Query q = m_db.query(sql, {{QStringLiteral("FD"), from},
                                              {QStringLiteral("TD"), to},
                                              {m_side == NoteSide::Input ? QStringLiteral("Cod_furnizor")
                                                                         : QStringLiteral("Cod_client"),
                                               partner}});
        while (q.next())
            m_notes.append({q.value(QStringLiteral("Contor")).toDouble(), q.value(QStringLiteral("Tip")).toString(),
                            q.value(QStringLiteral("Numar")).toDouble(), q.value(QStringLiteral("Data")).toDate(),
                            q.value(QStringLiteral("Explicatie")).toString()});
    } catch (const std::exception& e) {
        m_notes.clear();
        m_dialogs.error(accessErrorMessage() + datastore::errorText(e) + QStringLiteral("!"));
        return false;
    }
    if (m_notes.isEmpty()) {
        m_dialogs.beep();
        m_dialogs.information(noNotesMessage());
        return false;
    }
    return true;
}

void ConsolidationLogic::toggleMark(int row)
{
    if (row < 0 || row >= m_notes.size())
        return;
    const double contor = m_notes[row].contor;
    if (!m_marked.erase(contor))
        m_marked.insert(contor);
}

bool ConsolidationLogic::isMarked(int row) const
{
    return row >= 0 && row < m_notes.size() && m_marked.count(m_notes[row].contor) > 0;
}

// ---- consolidating ---------------------------------------------------------------------

void ConsolidationLogic::makeWorkingTables()
{
    const SideTables& t = tables(m_side);
    m_privateDb.createTable(
        workingTable(QStringLiteral("Answ"), t.headerDef, t.answFields, {datastore::floating(t.invoiceField)}));
    m_privateDb.createTable(workingTable(QStringLiteral("ItAnsw"), t.linesDef, t.lineFields));
    // The database's connection sees them (it attaches the private file once the file exists).
    m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(kItAnsw));
}

void ConsolidationLogic::fillWorkingTables(double invoice)
{
    const SideTables& t = tables(m_side);

    // The marked notes, as they are now, each carrying the invoice's counter.
    const QString fields = t.answFields.join(QStringLiteral(", "));
    const QString insert = QStringLiteral("INSERT INTO %1 (%2, %3) SELECT %2, :inv FROM %4 WHERE (Contor = :c) "
                                          "AND (Tip = 'AE') AND (%5 = :p)")
                               .arg(kAnsw, fields, t.invoiceField, t.header, t.partnerField);
    for (double contor : m_marked)
        if (m_db.exec(insert, {{QStringLiteral("inv"), invoice}, {QStringLiteral("c"), contor}, {QStringLiteral("p"), m_partner}})
            != 1)
            throw SelectionChanged();

    // Every line of those notes.
    QStringList selected;
    for (const QString& f : t.lineFields)
        selected << QStringLiteral("D.") + f;
    m_db.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT DISTINCT %3 FROM %4 D, %5 D1 WHERE (D1.Contor = D.Contor)")
                  .arg(kItAnsw, t.lineFields.join(QStringLiteral(", ")), selected.join(QStringLiteral(", ")), t.lines,
                       kAnsw));
}

void ConsolidationLogic::writeHistory()
{
    const SideTables& t = tables(m_side);
    const QString historyHeaderDef = m_side == NoteSide::Input ? QStringLiteral("Av_in.DB") : QStringLiteral("Av_out.DB");
    const QString historyLinesDef = m_side == NoteSide::Input ? QStringLiteral("Avit_in.DB") : QStringLiteral("Avit_out.DB");

    // A note already in the history (consolidated before, then restored) is
    // written over.
    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE Contor IN (SELECT Contor FROM %2)").arg(t.historyHeader, kAnsw));
    const QStringList headerFields = sharedFields(historyHeaderDef, t.answFields);
    m_db.exec(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT %2, %4 FROM %5")
                  .arg(t.historyHeader, headerFields.join(QStringLiteral(", ")), t.historyInvoiceField, t.invoiceField,
                       kAnsw));

    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE Contor IN (SELECT Contor FROM %2)").arg(t.historyLines, kAnsw));
    const QString lineFields = sharedFields(historyLinesDef, t.lineFields).join(QStringLiteral(", "));
    m_db.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3").arg(t.historyLines, lineFields, kItAnsw));
}

void ConsolidationLogic::removeNotes()
{
    const SideTables& t = tables(m_side);
    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE Contor IN (SELECT Contor FROM %2)").arg(t.lines, kAnsw));
    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE Contor IN (SELECT Contor FROM %2)").arg(t.header, kAnsw));
}

// The VAT of a consolidated line, as the document windows compute it for a
// line of an invoice: an input line as the input window does (on the price
// without VAT when one was typed with CPretFaraTva), an output line on its
// sale value as the output window taxes an invoice's line; to the ban, to the
// leu with "Round TVA".
double ConsolidationLogic::lineVat(const QVariantHash& line, double rate) const
{
    const QVariant quantity = line.value(QStringLiteral("Cantitate"));
    if (m_side == NoteSide::Input)
        return InputLineVat(m_parameters, QStringLiteral("FCT"), rate, line.value(QStringLiteral("Pret_achizitie_lei")),
                            line.value(QStringLiteral("Pret_achizitie_valuta")), quantity);
    const QVariant salePrice = line.value(QStringLiteral("Pret_vinzare"));
    if (salePrice.isNull())
        return 0;
    return ComputeLineTaxes(QStringLiteral("FCT"), line.value(QStringLiteral("Pret_achizitie")), quantity, salePrice,
                            TaxRates{rate, 0}, PricingRules::from(m_parameters))
        .vat;
}

void ConsolidationLogic::writeInvoice(double invoice, const QDate& today)
{
    const SideTables& t = tables(m_side);
    m_db.exec(QStringLiteral("INSERT INTO %1 (Contor, Data_inregistrarii, Tip, Data, Explicatie, %2) "
                             "VALUES (:c, :d, 'FCT', :d, 'Consolidare avize', :p)")
                  .arg(t.header, t.partnerField),
              {{QStringLiteral("c"), invoice}, {QStringLiteral("d"), today}, {QStringLiteral("p"), m_partner}});

    // The lines, in the order of their notes, each with its article's VAT
    // rate (none when the article left the catalog).
    struct Line {
        QVariantHash values;
        QVariant rate;
    };
    QList<Line> lines;
    {
        QStringList selected;
        for (const QString& f : t.lineFields)
            selected << QStringLiteral("I.") + f;
        datastore::Query q = m_db.query(
            QStringLiteral("SELECT %1, C.Coef_TVA, C.Cod FROM %2 I LEFT JOIN CATALOG C ON (C.Grupa = I.Cod_grupa) "
                           "AND (C.Cod = I.Cod_articol) ORDER BY I.Contor, I.Contor_secundar")
                .arg(selected.join(QStringLiteral(", ")), kItAnsw));
        const int rateColumn = static_cast<int>(t.lineFields.size());
        while (q.next()) {
            Line line;
            for (int i = 0; i < t.lineFields.size(); ++i)
                line.values.insert(t.lineFields[i], q.value(i));
            if (!q.value(rateColumn + 1).isNull())
                line.rate = q.value(rateColumn).toDouble();
            lines.append(line);
        }
    }
    m_db.exec(QStringLiteral("DELETE FROM %1").arg(kItAnsw));
    QStringList params;
    for (const QString& f : t.lineFields)
        params << u':' + f;
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(kItAnsw, t.lineFields.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
    // Numbered from 0; the serial numbers of an input line follow it to its
    // new counter and number.
    const QString moveSerials = QStringLiteral(
        "UPDATE \"Serie.db\" SET Contor = :inv, ContorSec = :n WHERE (Contor = :c) AND (ContorSec = :cs)");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QVariantHash& row = lines[i].values;
        const QVariant noteContor = row.value(QStringLiteral("Contor"));
        const QVariant noteLine = row.value(QStringLiteral("Contor_secundar"));
        row[QStringLiteral("Contor")] = invoice;
        row[QStringLiteral("Contor_secundar")] = static_cast<double>(i);
        if (row.value(t.priceField).isNull() || row.value(QStringLiteral("Cantitate")).isNull())
            row[QStringLiteral("TVA")] = 0.0;
        else if (lines[i].rate.isValid()) // an article missing from the catalog keeps its VAT
            row[QStringLiteral("TVA")] = lineVat(row, lines[i].rate.toDouble());
        m_db.exec(insert, row);
        if (m_side == NoteSide::Input)
            m_db.exec(moveSerials, {{QStringLiteral("inv"), invoice},
                                    {QStringLiteral("n"), static_cast<double>(i)},
                                    {QStringLiteral("c"), noteContor},
                                    {QStringLiteral("cs"), noteLine}});
    }
    m_db.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3")
                  .arg(t.lines, t.lineFields.join(QStringLiteral(", ")), kItAnsw));
}

void ConsolidationLogic::dropWorkingTables()
{
    for (const QString& table : {QStringLiteral("ItAnsw"), QStringLiteral("Answ")}) {
        try {
            m_privateDb.dropTable(table);
        } catch (const std::exception&) {
            // a working table left behind is replaced by the next consolidation
        }
    }
}

std::optional<double> ConsolidationLogic::consolidate(const QDate& today)
{
    double invoice = 0;
    m_selectionChanged = false;
    try {
        makeWorkingTables();
        datastore::UnitOfWork work(m_db);
        invoice = TakeCounter(m_db, tables(m_side).counter);
        fillWorkingTables(invoice);
        writeHistory();
        removeNotes();
        writeInvoice(invoice, today);
        work.commit();
    } catch (const SelectionChanged&) {
        m_selectionChanged = true;
        m_dialogs.warning(kSelectionChanged);
        return std::nullopt;
    } catch (const std::exception& e) {
        m_dialogs.error(kConsolidationError + datastore::errorText(e) + QStringLiteral(">"));
        return std::nullopt;
    }
    dropWorkingTables();
    m_notes.clear();
    m_marked.clear();
    return invoice;
}

} // namespace stock
