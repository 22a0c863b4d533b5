#include "transfer.h"

#include "ledger.h"
#include "numbering.h"

#include "datastore/dataset.h"
#include "datastore/dberror.h"
#include "ui/datagrid.h"

#include <QSet>

namespace stock {

namespace {

const QString kInUseGroup = QStringLiteral("3032");
const QString kInStorageGroup = QStringLiteral("3031");

QVariant textOrNull(const QString& value)
{
    return value.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(value);
}

// One output line as the transfer reads it.
struct OutLine {
    QString warehouse, group, article, lot, budget;
    double quantity = 0;
    double price = 0;
};

QList<OutLine> outputLines(datastore::Database& db, double contor)
{
    QList<OutLine> lines;
    datastore::Query q = db.query(QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, Agent, Cantitate, "
                                                 "Pret_achizitie FROM ITEM_OUT WHERE Contor = :c ORDER BY Contor_secundar"),
                                  {{QStringLiteral("c"), contor}});
    while (q.next())
        lines.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                      q.value(4).toString(), q.value(5).toDouble(), q.value(6).toDouble()});
    return lines;
}

} // namespace

QString TransferredGroup(const QString& group, InventoryState state)
{
    if (group == kInStorageGroup && state == InventoryState::InUse)
        return kInUseGroup;
    if (group == kInUseGroup && state == InventoryState::InStorage)
        return kInStorageGroup;
    return group;
}

QString TransferExplanation(datastore::Database& db, const QString& warehouse)
{
    const QString name = db.scalar(QStringLiteral("SELECT Denumire FROM \"Gest.db\" WHERE Cod = :c"),
                                   {{QStringLiteral("c"), warehouse}})
                             .toString();
    return QStringLiteral("Transfer din gestiunea ") + name;
}

QList<GeneratedInput> GeneratedTransferInputs(datastore::Database& db, double contor)
{
    QSet<QString> explanations;
    {
        datastore::Query q = db.query(QStringLiteral("SELECT DISTINCT Cod_gestiune FROM ITEM_OUT WHERE Contor = :c"),
                                      {{QStringLiteral("c"), contor}});
        QStringList warehouses;
        while (q.next())
            warehouses << q.value(0).toString();
        for (const QString& w : warehouses)
            explanations.insert(TransferExplanation(db, w));
    }
    QList<GeneratedInput> found;
    datastore::Query q = db.query(
        QStringLiteral("SELECT I.Contor, I.Numar, I.Data_inregistrarii, I.Explicatie FROM DOC_IN I, DOC_OUT O "
                       "WHERE (O.Contor = :c) AND (I.Tip = 'BT') AND (I.Numar = O.Numar) "
                       "AND (I.Data_inregistrarii = O.Data_inregistrarii) AND (I.Data = O.Data) ORDER BY I.Contor"),
        {{QStringLiteral("c"), contor}});
    while (q.next())
        if (explanations.contains(q.value(3).toString()))
            found.append({q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toDate()});
    return found;
}

TransferResult TransferDocument(datastore::Database& db, const common::Parameters& parameters,
                                const common::Formats& formats, common::Dialogs& dialogs,
                                const TransferRequest& request,
                                const std::function<void(const QString&)>& showProgress)
{
    auto progress = [&](const QString& text) {
        if (showProgress)
            showProgress(text);
    };
    progress(QString::fromLatin1(kTransferWorking));

    // The input documents must be reachable before anything is written.
    try {
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM DOC_IN WHERE 1 = 0"));
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM ITEM_IN WHERE 1 = 0"));
    } catch (const datastore::DbError& e) {
        progress(QString());
        dialogs.beep();
        dialogs.error(QString::fromLatin1(kTransferAccessError) + e.message());
        return {};
    }

    Ledger ledger(db, parameters, formats, dialogs);
    TransferResult result;
    try {
        datastore::UnitOfWork work(db);
        const QVariantHash doc{{QStringLiteral("c"), request.contor}};
        datastore::Query header = db.query(
            QStringLiteral("SELECT Data_inregistrarii, Numar, Data FROM DOC_OUT WHERE Contor = :c"), doc);
        if (!header.next())
            throw datastore::DbError(datastore::DbErrorKind::Other,
                                     QStringLiteral("Documentul de iesire nu mai exista."));
        const QVariant registered = header.value(0);
        const QVariant number = header.value(1);
        const QVariant date = header.value(2);

        // The output side: a transfer note to the receiving warehouse, its
        // lines at acquisition price (their stock stays: key and quantity are
        // unchanged).
        db.exec(QStringLiteral("UPDATE DOC_OUT SET Data_scadenta = NULL, Tip = 'BT', Explicatie = 'Transfer', "
                               "Client = :w WHERE Contor = :c"),
                {{QStringLiteral("c"), request.contor},
                 {QStringLiteral("w"), textOrNull(request.options.receivingWarehouse)}});
        db.exec(QStringLiteral("UPDATE ITEM_OUT SET Pret_vinzare = Pret_achizitie, TVA = 0, Pret_vz_echiv_USD = 0 "
                               "WHERE Contor = :c AND (COALESCE(Pret_vinzare, 0) <> COALESCE(Pret_achizitie, 0) "
                               "OR COALESCE(TVA, 0) <> 0 OR COALESCE(Pret_vz_echiv_USD, 0) <> 0)"),
                doc);

        // The input document.
        const double contor = TakeCounter(db, CounterField::In);
        db.exec(QStringLiteral("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
                               "VALUES (:c, :r, :n, 'BT', :d, NULL, :e)"),
                {{QStringLiteral("c"), contor},
                 {QStringLiteral("r"), registered},
                 {QStringLiteral("n"), number},
                 {QStringLiteral("d"), date},
                 {QStringLiteral("e"), TransferExplanation(db, request.sourceWarehouse)}});

        const QList<OutLine> lines = outputLines(db, request.contor);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const OutLine& line = lines[i];
            const QVariantHash article{{QStringLiteral("g"), textOrNull(line.group)},
                                       {QStringLiteral("a"), textOrNull(line.article)}};
            QVariant goodsAccount, vatAccount;
            {
                datastore::Query accounts = db.query(
                    QStringLiteral("SELECT Cont_marfa, Cont_TVA_Intrari FROM CATALOG WHERE Grupa = :g AND Cod = :a"),
                    article);
                if (accounts.next()) {
                    goodsAccount = accounts.value(0);
                    vatAccount = accounts.value(1);
                }
            }
            const QString group = TransferredGroup(line.group, request.options.state);
            if (group != line.group) {
                const QVariantHash target{{QStringLiteral("t"), group}, {QStringLiteral("a"), textOrNull(line.article)}};
                if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM CATALOG WHERE Grupa = :t AND Cod = :a"), target).toInt() == 0)
                    db.exec(QStringLiteral("INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA) "
                                           "SELECT :t, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA FROM CATALOG "
                                           "WHERE Grupa = :g AND Cod = :a"),
                            {{QStringLiteral("t"), group},
                             {QStringLiteral("g"), textOrNull(line.group)},
                             {QStringLiteral("a"), textOrNull(line.article)}});
            }
            const StockKey key{request.options.receivingWarehouse, group, line.article, line.price, line.lot,
                               line.budget};
            ledger.AdjustStockOut(key, line.quantity);
            db.exec(QStringLiteral("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
                                   "Lot, Cantitate, Pret_achizitie_lei, TVA, Cont_marfa, Cont_TVA_Intrari, Agent) "
                                   "VALUES (:c, :s, :w, :g, :a, :l, :q, :p, 0, :cm, :ct, :b)"),
                    {{QStringLiteral("c"), contor},
                     {QStringLiteral("s"), static_cast<double>(i)},
                     {QStringLiteral("w"), textOrNull(key.warehouse)},
                     {QStringLiteral("g"), textOrNull(group)},
                     {QStringLiteral("a"), textOrNull(line.article)},
                     {QStringLiteral("l"), textOrNull(line.lot)},
                     {QStringLiteral("q"), line.quantity},
                     {QStringLiteral("p"), line.price},
                     {QStringLiteral("cm"), goodsAccount},
                     {QStringLiteral("ct"), vatAccount},
                     {QStringLiteral("b"), textOrNull(line.budget)}});
        }
        work.commit();
        result = {true, contor, static_cast<int>(lines.size())};
    } catch (...) {
        // Nothing was written; what the ledger had to say comes first.
        progress(QString());
        ledger.flushMessages();
        ui::reportDataError(dialogs, std::current_exception());
        return {};
    }
    ledger.flushMessages();
    dialogs.beep();
    progress(QString::fromLatin1(kTransferDone));
    return result;
}

} // namespace stock
