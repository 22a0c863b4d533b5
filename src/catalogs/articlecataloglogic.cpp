#include "articlecataloglogic.h"

#include "common/accountsymbol.h"

#include <QDir>
#include <new>

namespace catalogs {

using datastore::Abort;
using datastore::Dataset;
using datastore::DatasetState;

namespace {

QString orderBy(ArticleOrder order)
{
    switch (order) {
    case ArticleOrder::ByCode: return QStringLiteral("Grupa, Cod");
    case ArticleOrder::ByName: return QStringLiteral("Grupa, Denumire COLLATE NOCASE, Cod");
    case ArticleOrder::ByDescription: return QStringLiteral("Grupa, Descriere COLLATE NOCASE, Cod");
    }
    return QString();
}

} // namespace

const QStringList& articleOrderCaptions()
{
    static const QStringList captions = {QStringLiteral("dupa Cod"), QStringLiteral("dupa Denumire"),
                                         QStringLiteral("dupa Descriere")};
    return captions;
}

QString articleOrderField(ArticleOrder order)
{
    switch (order) {
    case ArticleOrder::ByCode: return QStringLiteral("Cod");
    case ArticleOrder::ByName: return QStringLiteral("Denumire");
    case ArticleOrder::ByDescription: return QStringLiteral("Descriere");
    }
    return QString();
}

const QStringList& articleAccountFields()
{
    static const QStringList fields = {QStringLiteral("Cont_marfa"),       QStringLiteral("Cont_cheltuieli"),
                                       QStringLiteral("Cont_TVA_Intrari"), QStringLiteral("Cont_TVA_Iesiri"),
                                       QStringLiteral("Cont_accize"),      QStringLiteral("Cont_adaos"),
                                       QStringLiteral("Cont_venituri")};
    return fields;
}

TCatLookupFormLogic::TCatLookupFormLogic(const ArticleCatalogContext& context, ArticleCatalogRole role)
    : classes(context.db, QStringLiteral("Materiale.db")), groups(context.db, QStringLiteral("Grup.db")),
      articles(context.db, QStringLiteral("Catalog.DB")), currencies(context.db, QStringLiteral("Valuta.db")),
      m_ctx(context), m_role(role), m_editing(role == ArticleCatalogRole::Catalog)
{
    classes.setOrderBy(QStringLiteral("Cod_material"));
    classes.setReadOnly(true);
    groups.setOrderBy(QStringLiteral("Cod_material, Cod_grupa"));
    groups.setMaster(&classes, {{QStringLiteral("Cod_material"), QStringLiteral("Cod_material")}});
    groups.setReadOnly(true);
    articles.setMaster(&groups, {{QStringLiteral("Grupa"), QStringLiteral("Cod_grupa")}});
    articles.setReadOnly(!m_editing);
    currencies.setOrderBy(QStringLiteral("Moneda"));
    currencies.setReadOnly(true);
    applyOrder();

    articles.onNewRecord = [this] { CatalogNewRecord(); };
    articles.beforePost = [this] { CatalogBeforePost(); };
    articles.beforeDelete = [this] { CatalogBeforeDelete(); };
    articles.field(QStringLiteral("Denumire")).onValidate = [this] { DenumireValidate(); };
    articles.field(QStringLiteral("Moneda")).onValidate = [this] { MonedaValidate(); };
    for (const QString& f : articleAccountFields())
        articles.field(f).onValidate = [this, f] { AccountValidate(f); };
    // Generated codes are not typed.
    articles.field(QStringLiteral("Cod")).readOnly = m_ctx.params.CGenCod;
}

// --- window creation ---------------------------------------------------------------

bool TCatLookupFormLogic::FormCreate(const QString& group, const QString& article)
{
    try {
        classes.open();
        if (!group.isEmpty()) {
            const QVariant cls = m_ctx.db.scalar(
                QStringLiteral("SELECT Cod_material FROM \"Grup.db\" WHERE Cod_grupa = :Grp ORDER BY Cod_material"),
                {{QStringLiteral("Grp"), group}});
            if (cls.isValid() && !cls.isNull())
                classes.locate({QStringLiteral("Cod_material")}, {cls});
        }
        groups.open();
        if (!group.isEmpty())
            groups.locate({QStringLiteral("Cod_grupa")}, {group});
        articles.open();
        if (!article.isEmpty())
            articles.locate({QStringLiteral("Cod")}, {article});
        currencies.open();
    } catch (const std::exception& e) {
        const QString engine = datastore::errorText(e);
        FormClose();
        m_ctx.dialogs.error(QStringLiteral("Eroare de acces la catalogul de articole!\r%1>").arg(engine));
        return false;
    }
    if (groups.isEmpty()) {
        m_editing = true;
        m_marks.clear();
        articles.setReadOnly(false);
        m_ctx.dialogs.warning(QString::fromUtf8(kNoGroupsMessage));
    }
    return true;
}

QList<ui::GridColumn> TCatLookupFormLogic::classColumns() const
{
    return {ui::GridColumn(QStringLiteral("Cod_material"), QStringLiteral("Cod clasa"), 90),
            ui::GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 260)};
}

QList<ui::GridColumn> TCatLookupFormLogic::groupColumns() const
{
    return {ui::GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Cod grupa"), 90),
            ui::GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 260)};
}

QList<ui::GridColumn> TCatLookupFormLogic::articleColumns() const
{
    const common::Parameters& p = m_ctx.params;
    ui::GridColumn price(QStringLiteral("Pret_vinzare"), QStringLiteral("Pret"), 90);
    price.mask = QStringLiteral("#,##0.") + QString(p.nrZecimaleLei, QLatin1Char('0'));
    price.visible = p.CGetPret;
    if (p.SellPrice == common::SellPriceMode::Calc) {
        price.title = QStringLiteral("Adaos comercial");
        price.mask = QStringLiteral("0.00%");
    }
    ui::GridColumn shelfLife(QStringLiteral("ZileValabilitate"), QStringLiteral("Valabilitate"), 80);
    shelfLife.visible = p.CRetetar;
    QList<ui::GridColumn> nutrition;
    for (const char* f : {"Proteine", "Lipide", "Glucide", "Calorii"}) {
        ui::GridColumn c(QString::fromLatin1(f), QString::fromLatin1(f), 70);
        c.visible = p.CCaloric;
        nutrition << c;
    }
    QList<ui::GridColumn> columns = {
        ui::GridColumn(QStringLiteral("Cod"), QStringLiteral("Cod mat."), 100),
        ui::GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 240),
        ui::GridColumn(QStringLiteral("Descriere"), QStringLiteral("Descriere"), 160),
        ui::GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 50),
        price,
        shelfLife,
    };
    columns << nutrition;
    columns << ui::GridColumn(QStringLiteral("Cont_cheltuieli"), QStringLiteral("Cont cheltuieli"), 100)
            << ui::GridColumn(QStringLiteral("Coef_TVA"), QStringLiteral("Coef TVA"), 70);
    return columns;
}

QString TCatLookupFormLogic::newArticleField() const
{
    return m_ctx.params.CGenCod ? QStringLiteral("Denumire") : QStringLiteral("Cod");
}

QString TCatLookupFormLogic::layoutFile() const
{
    return QDir(m_ctx.privateDir).filePath(QString::fromLatin1(kArticleLayoutFile));
}

// --- editing -------------------------------------------------------------------------

bool TCatLookupFormLogic::setEditing(bool on)
{
    if (m_role == ArticleCatalogRole::Catalog)
        on = true; // the catalog window is always editing
    if (on == m_editing)
        return true;
    if (on) {
        m_marks.clear(); // marks belong to browsing
        m_editing = true;
        articles.setReadOnly(false);
        groups.setReadOnly(false);
        return true;
    }
    try {
        articles.settle();
        groups.settle();
    } catch (...) {
        ui::reportDataError(m_ctx.dialogs, std::current_exception());
        return false;
    }
    m_editing = false;
    articles.setReadOnly(true);
    groups.setReadOnly(true);
    return true;
}

// --- order and search --------------------------------------------------------------------

void TCatLookupFormLogic::applyOrder()
{
    articles.setOrderBy(orderBy(m_order));
}

void TCatLookupFormLogic::setOrder(ArticleOrder order)
{
    if (order == m_order)
        return;
    if (articles.isOpen())
        articles.settle();
    m_order = order;
    applyOrder();
    if (articles.isOpen())
        articles.refresh();
}

bool TCatLookupFormLogic::searchAsYouType(const QString& text)
{
    if (text.isEmpty() || !articles.isOpen())
        return false;
    const int field = articles.fieldIndex(articleOrderField(m_order));
    for (int row = 0; row < articles.recordCount(); ++row) {
        if (articles.value(row, field).toString().startsWith(text, Qt::CaseInsensitive)) {
            articles.moveTo(row);
            return articles.recNo() == row;
        }
    }
    return false;
}

// --- marks ---------------------------------------------------------------------------------

void TCatLookupFormLogic::markAndMoveNext()
{
    if (multiSelect())
        catalogs::markAndMoveNext(articles, m_marks);
}

void TCatLookupFormLogic::markAndMovePrior()
{
    if (multiSelect())
        catalogs::markAndMovePrior(articles, m_marks);
}

void TCatLookupFormLogic::toggleCurrentMark()
{
    if (multiSelect() && articles.isOpen() && !articles.isEmpty())
        m_marks.toggle(currentRecordOf(articles));
}

void TCatLookupFormLogic::toggleGroupMarks()
{
    if (!multiSelect() || !articles.isOpen() || articles.isEmpty())
        return;
    try {
        for (int row = 0; row < articles.recordCount(); ++row)
            m_marks.toggle(recordOf(articles, row));
    } catch (const std::bad_alloc&) {
        m_ctx.dialogs.warning(QStringLiteral("Memorie insuficienta! Selectati mai putine articole!"));
    }
    articles.first();
}

bool TCatLookupFormLogic::isMarked(int row) const
{
    if (m_marks.isEmpty())
        return false;
    return m_marks.isMarked(articles.value(row, QStringLiteral("Grupa")).toString(),
                            articles.value(row, QStringLiteral("Cod")).toString());
}

ArticlePick TCatLookupFormLogic::pickResult() const
{
    return {currentRecordOf(articles), m_marks.records()};
}

// --- hints -----------------------------------------------------------------------------------

void TCatLookupFormLogic::enterArticles()
{
    if (!m_editing && m_ctx.showProgress)
        m_ctx.showProgress(QString::fromUtf8(kArticlesHint));
}

void TCatLookupFormLogic::enterGroups()
{
    if (!m_editing && m_ctx.showProgress)
        m_ctx.showProgress(QString::fromUtf8(kGroupsHint));
}

// --- life --------------------------------------------------------------------------------------

void TCatLookupFormLogic::RefreshTick()
{
    // A list being edited is left alone, and so is its master (see refresh()).
    try {
        for (Dataset* d : {&classes, &groups, &articles, &currencies})
            if (d->isOpen())
                d->refresh();
    } catch (const datastore::DbError&) {
        // The table is busy on another workstation: the next tick reads it.
    }
}

bool TCatLookupFormLogic::ReloadGroups()
{
    try {
        articles.settle();
        groups.settle();
        if (classes.isOpen())
            classes.refresh(); // the groups and articles follow the current class
        if (groups.isOpen())
            groups.refresh();
    } catch (...) {
        ui::reportDataError(m_ctx.dialogs, std::current_exception());
        return false;
    }
    return true;
}

bool TCatLookupFormLogic::FormCloseQuery()
{
    try {
        groups.settle();
        articles.settle();
    } catch (...) {
        ui::reportDataError(m_ctx.dialogs, std::current_exception());
        return false;
    }
    return true;
}

void TCatLookupFormLogic::FormClose()
{
    classes.close(); // and its details
    groups.close();
    articles.close();
    currencies.close();
}

// --- price indexing ------------------------------------------------------------------------------

std::optional<double> TCatLookupFormLogic::indexMultiplier(double percent)
{
    if (percent < -100)
        return std::nullopt;
    return percent / 100 + 1;
}

bool TCatLookupFormLogic::IndexGroupPrices(
    const std::function<std::optional<double>(const QString& prompt)>& askCoefficient,
    const std::function<void(bool)>& working)
{
    if (!groups.isOpen() || groups.isEmpty() || !articles.isOpen() || articles.isEmpty()) {
        m_ctx.dialogs.beep();
        return false;
    }
    const QString groupName = groups.value(QStringLiteral("Denumire")).toString();
    const QString group = groups.value(QStringLiteral("Cod_grupa")).toString();
    const std::optional<double> percent = askCoefficient(
        QStringLiteral("Specificati coeficientul (în procente) cu care doriti sa modificati preturile de vînzare în "
                       "grupa \"%1\" :")
            .arg(groupName));
    if (!percent)
        return false;
    const std::optional<double> multiplier = indexMultiplier(*percent);
    if (!multiplier) {
        m_ctx.dialogs.warning(QStringLiteral("Coeficientul nu poate fi mai mic de -100% !"));
        return false;
    }
    bool updated = false;
    bool shown = false;
    std::exception_ptr failure;
    try {
        articles.settle(); // a price being typed is written before the group is indexed
        if (working) {
            working(true);
            shown = true;
        }
        m_ctx.db.exec(QStringLiteral("UPDATE CATALOG SET Pret_vinzare = (Pret_vinzare * :Coef) WHERE (Grupa = :Group)"),
                      {{QStringLiteral("Coef"), *multiplier}, {QStringLiteral("Group"), group}});
        updated = true;
    } catch (...) {
        failure = std::current_exception();
    }
    if (shown)
        working(false);
    if (failure)
        ui::reportDataError(m_ctx.dialogs, failure);
    try {
        articles.refresh();
    } catch (...) {
        ui::reportDataError(m_ctx.dialogs, std::current_exception());
    }
    if (updated)
        m_ctx.dialogs.information(
            QStringLiteral("Preturile de vînzare pentru grupa \"%1\" au fost actualizate cu succes!").arg(group));
    return updated;
}

// --- handlers -----------------------------------------------------------------------------------

void TCatLookupFormLogic::CatalogNewRecord()
{
    const common::Parameters& p = m_ctx.params;
    articles.setValue(QStringLiteral("Cont_marfa"), p.CMf);
    articles.setValue(QStringLiteral("Cont_cheltuieli"), p.CCh);
    articles.setValue(QStringLiteral("Cont_TVA_Intrari"), p.CTVA_I);
    articles.setValue(QStringLiteral("Cont_TVA_Iesiri"), p.CTVA_E);
    articles.setValue(QStringLiteral("Coef_TVA"), p.CfTVA);
    articles.setValue(QStringLiteral("Cont_venituri"), p.CVen);
    articles.setValue(QStringLiteral("Cont_adaos"), p.CAd);
    articles.setValue(QStringLiteral("Cont_accize"), p.CAcc);
}

void TCatLookupFormLogic::CatalogBeforePost()
{
    if (articles.isNull(QStringLiteral("Cod"))) {
        m_ctx.dialogs.warning(QStringLiteral("Introduceti atît codul si denumirea!"));
        throw Abort();
    }
    // Without a group the article would be stored where no list shows it.
    if (articles.isNull(QStringLiteral("Grupa"))) {
        m_ctx.dialogs.warning(QStringLiteral("Articolul trebuie sa apartina unei grupe! Selectati grupa de articole."));
        throw Abort();
    }
}

void TCatLookupFormLogic::CatalogBeforeDelete()
{
    const QString code = articles.value(QStringLiteral("Cod")).toString();
    datastore::Query q = m_ctx.db.query(
        QStringLiteral("SELECT DISTINCT Cod_articol FROM \"Item_in.DB\" WHERE (Cod_articol = :Cod) ORDER BY Cod_articol"),
        {{QStringLiteral("Cod"), code}});
    if (q.next() && !q.value(0).toString().isEmpty()) {
        m_ctx.dialogs.warning(QStringLiteral("Atentie produsul cu codul ") + code
                              + QStringLiteral(" nu poate fi sters deoarece este folosit in inregistrarile efectuate! "
                                               "Stergeti inregistrarile aferente si reveniti!"));
        throw Abort();
    }
}

void TCatLookupFormLogic::DenumireValidate()
{
    if (!m_ctx.params.CGenCod)
        return;
    ProductTypeQuestion ask;
    if (m_ctx.params.CRetetar)
        ask = askProductType ? askProductType : ProductTypeQuestion([] { return ProductType::RawMaterial; });
    const QString current = articles.value(QStringLiteral("Cod")).toString();
    const std::optional<QString> code = GenerateArticleCode(
        m_ctx.db, m_ctx.dialogs, articles.value(QStringLiteral("Denumire")).toString(), current, ask);
    if (!code)
        throw Abort();
    if (current.isEmpty())
        articles.setValue(QStringLiteral("Cod"), *code);
}

void TCatLookupFormLogic::MonedaValidate()
{
    const QVariant currency = articles.value(QStringLiteral("Moneda"));
    if (currency.isNull())
        return; // an empty currency is not looked up
    const QVariant found = m_ctx.db.scalar(QStringLiteral("SELECT Moneda FROM \"Valuta.db\" WHERE Moneda = :Moneda"),
                                           {{QStringLiteral("Moneda"), currency}});
    if (!found.isValid()) {
        m_ctx.dialogs.warning(QStringLiteral("<%1> nu exista în catalogul de valute!").arg(currency.toString()));
        throw Abort();
    }
}

void TCatLookupFormLogic::AccountValidate(const QString& field)
{
    if (!common::CheckAccountSymbol(articles.value(field).toString()).accepted) {
        m_ctx.dialogs.warning(QString::fromUtf8(common::kAccountSymbolMessage));
        throw Abort();
    }
}

} // namespace catalogs
