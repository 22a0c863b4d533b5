#include "discgrilalogic.h"

namespace catalogs {

using datastore::Abort;
using datastore::Dataset;
using datastore::DatasetError;
using datastore::DatasetState;

namespace {

const QString kGrid = QStringLiteral("Grila");
const QString kGridName = QStringLiteral("Nume_grila");
const QString kGroup = QStringLiteral("Cod_grupa");
const QString kDiscount = QStringLiteral("Discount");

bool blank(const QVariant& v)
{
    return v.isNull() || v.toString().trimmed().isEmpty();
}

} // namespace

DiscGrilaFormLogic::DiscGrilaFormLogic(datastore::Database& db, common::Dialogs& dialogs)
    : grids(db, QStringLiteral("grila.DB")), groups(db, QStringLiteral("item_grila.DB")), m_db(db), m_dialogs(dialogs)
{
    grids.setOrderBy(kGrid);
    groups.setOrderBy(kGroup);
    groups.setMaster(&grids, {{kGrid, kGrid}});

    grids.beforePost = [this] { GridBeforePost(); };
    grids.beforeDelete = [this] { GridBeforeDelete(); };
    grids.whileDeleting = [this] { GridWhileDeleting(); };
    groups.beforePost = [this] { GroupBeforePost(); };
}

bool DiscGrilaFormLogic::open()
{
    try {
        grids.open();
        groups.open();
        Dataset codes(m_db, QStringLiteral("Grup.db"));
        codes.setOrderBy(QStringLiteral("Cod_material, Cod_grupa"));
        codes.open();
        QStringList list;
        for (int row = 0; row < codes.recordCount(); ++row)
            list << codes.value(row, kGroup).toString();
        codes.close();
        m_groupCodes = list;
        return true;
    } catch (const std::exception& e) {
        const QString engine = datastore::errorText(e);
        close();
        m_dialogs.error(QString::fromUtf8(kDiscGrilaOpenError) + QStringLiteral("\n") + engine + QStringLiteral(">"));
        return false;
    }
}

QList<ui::GridColumn> DiscGrilaFormLogic::gridColumns() const
{
    return {ui::GridColumn(kGrid, QStringLiteral("Grila"), 60),
            ui::GridColumn(kGridName, QStringLiteral("Nume grila"), 230)};
}

QList<ui::GridColumn> DiscGrilaFormLogic::groupColumns() const
{
    return {ui::GridColumn(kGroup, QStringLiteral("Cod grupa"), 110).withPickList(m_groupCodes),
            ui::GridColumn(kDiscount, QStringLiteral("Discount (%)"), 100).withMask(QStringLiteral("0.##"))};
}

// --- life ----------------------------------------------------------------------------------------

void DiscGrilaFormLogic::refreshTick()
{
    try {
        for (Dataset* d : {&grids, &groups})
            if (d->isOpen())
                d->refresh(); // a list being edited, or the master of one, waits
    } catch (const datastore::DbError&) {
        // busy on another workstation: the next tick reads it
    }
}

bool DiscGrilaFormLogic::closeQuery()
{
    try {
        if (groups.isOpen())
            groups.settle();
        if (grids.isOpen())
            grids.settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    return true;
}

void DiscGrilaFormLogic::close()
{
    groups.close();
    grids.close();
}

// --- handlers ------------------------------------------------------------------------------------

void DiscGrilaFormLogic::GridBeforePost()
{
    if (grids.value(kGrid).isNull() || blank(grids.value(kGridName))) {
        m_dialogs.warning(QString::fromUtf8(kDiscGrilaMissingCode));
        throw Abort();
    }
}

int DiscGrilaFormLogic::countLines(const QVariant& grid) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"item_grila.DB\" WHERE Grila = :g"), {{"g", grid}}).toInt();
}

int DiscGrilaFormLogic::countBudgets(const QVariant& grid) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Client.DB\" WHERE Grila = :g"), {{"g", grid}}).toInt();
}

QString DiscGrilaFormLogic::deleteQuestion(int grid, const QString& name, int lines, int budgets)
{
    QStringList facts;
    if (lines == 1)
        facts << QStringLiteral("are o grupa cu discount");
    else if (lines > 1)
        facts << QStringLiteral("are %1 grupe cu discount").arg(lines);
    if (budgets == 1)
        facts << QStringLiteral("este atribuita unei surse de finantare");
    else if (budgets > 1)
        facts << QStringLiteral("este atribuita la %1 surse de finantare").arg(budgets);
    QString text = QStringLiteral("Grila %1 (%2) %3.").arg(grid).arg(name.trimmed(), facts.join(QStringLiteral(" si ")));
    if (budgets > 0)
        text += QStringLiteral("\rSursele de finantare respective nu vor mai primi discount dupa aceasta grila.");
    text += lines > 0 ? QStringLiteral("\rStergeti grila impreuna cu grupele ei?") : QStringLiteral("\rStergeti grila?");
    return text;
}

void DiscGrilaFormLogic::GridBeforeDelete()
{
    // A line being typed is written first: the question counts it.
    groups.settle();
    const QVariant grid = grids.value(kGrid);
    const int lines = countLines(grid);
    const int budgets = grid.isNull() ? 0 : countBudgets(grid);
    m_linesAsked = lines;
    if (lines == 0 && budgets == 0)
        return;
    if (m_dialogs.message(common::Icon::Confirmation,
                          deleteQuestion(grid.toInt(), grids.value(kGridName).toString(), lines, budgets),
                          common::Buttons::YesNoDefaultNo)
        != common::Answer::Yes)
        throw Abort();
}

void DiscGrilaFormLogic::GridWhileDeleting()
{
    // Inside the delete's unit of work: lines another workstation added since
    // the question are not removed unseen.
    const QVariant grid = grids.value(kGrid);
    if (countLines(grid) != m_linesAsked)
        throw DatasetError(QStringLiteral("Grupele grilei %1 au fost modificate pe alta statie de lucru. "
                                          "Grila nu a fost stearsa; incercati din nou.")
                               .arg(grid.toInt()));
    m_db.exec(QStringLiteral("DELETE FROM \"item_grila.DB\" WHERE Grila = :g"), {{"g", grid}});
}

void DiscGrilaFormLogic::GroupBeforePost()
{
    const QVariant group = groups.value(kGroup);
    if (blank(group)) {
        m_dialogs.warning(QString::fromUtf8(kDiscGrilaMissingCode));
        throw Abort();
    }
    const QVariant grid = groups.value(kGrid);
    if (grid.isNull()) {
        m_dialogs.warning(QStringLiteral("Adaugati intii grila in lista de sus, apoi discount-urile ei!"));
        throw Abort();
    }
    // The key refuses a group twice in one grid; said here in plain words
    // (the engine's key still guards the write).
    if (groups.state() == DatasetState::Edit && groups.oldValue(kGroup) == group && groups.oldValue(kGrid) == grid)
        return;
    const int same = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"item_grila.DB\" WHERE Grila = :g AND Cod_grupa = :c"),
                                 {{"g", grid}, {"c", group}})
                         .toInt();
    if (same > 0) {
        m_dialogs.warning(QStringLiteral("Grupa %1 are deja un discount in grila %2! "
                                         "Modificati discount-ul existent sau alegeti alta grupa.")
                              .arg(group.toString().trimmed())
                              .arg(grid.toInt()));
        throw Abort();
    }
}

} // namespace catalogs
