#include "tcautareform.h"

#include "articlegridmarks.h"
#include "lookupcontrols.h"

namespace catalogs {

TCautareForm::TCautareForm(std::unique_ptr<datastore::Dataset> result, const common::Formats& formats,
                           common::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_logic(std::move(result))
{
    setWindowTitle(QStringLiteral("Cautare articole"));
    setModal(true);
    m_model = std::make_unique<ui::DatasetModel>(m_logic.result(), formats, dialogs);
    m_model->setColumns({
        ui::GridColumn(QStringLiteral("Grupa"), QStringLiteral("Grupa"), 70),
        ui::GridColumn(QStringLiteral("Cod"), QStringLiteral("Cod mat."), 100),
        ui::GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 220),
        ui::GridColumn(QStringLiteral("Descriere"), QStringLiteral("Descriere"), 140),
        ui::GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 50),
        ui::GridColumn(QStringLiteral("Pret_vinzare"), QStringLiteral("Pret"), 80).withMask(QStringLiteral("#,##0.00")),
        ui::GridColumn(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 60),
        ui::GridColumn(QStringLiteral("Coef_TVA"), QStringLiteral("Coef TVA"), 70),
    });
    m_grid = new ui::DataGrid(m_model.get(), this);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection); // the marks are the selection

    ArticleGridMarks::Actions actions;
    actions.active = [] { return true; };
    actions.isMarked = [this](int row) { return m_logic.isMarked(row); };
    actions.markNext = [this] { m_logic.markAndMoveNext(); };
    actions.markPrior = [this] { m_logic.markAndMovePrior(); };
    actions.toggleCurrent = [this] { m_logic.toggleCurrentMark(); };
    m_marks = new ArticleGridMarks(m_grid, actions);
    connect(m_marks, &ArticleGridMarks::activated, this, &QDialog::accept);

    const ListDialogButtons buttons = layOutListDialog(this, m_grid, QStringLiteral("&Renunta"));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    resize(860, 420);
    m_grid->setFocus();
}

TCautareForm::~TCautareForm() = default;

std::optional<ArticlePick> SearchArticlesByName(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs,
                                                const common::Formats& formats)
{
    const std::optional<QString> text = askArticleSearchText(dialogs);
    if (!text)
        return std::nullopt;
    std::unique_ptr<datastore::Dataset> result = openArticleSearch(db, dialogs, *text);
    if (!result)
        return std::nullopt;
    TCautareForm form(std::move(result), formats, dialogs, owner);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    ArticlePick pick = form.pickResult();
    if (pick.current.isEmpty() && pick.selected.isEmpty())
        return std::nullopt; // nothing was found
    return pick;
}

} // namespace catalogs
