#include "tuserform.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

TUserForm::TUserForm(datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
                     QWidget* parent)
    : QDialog(parent), m_logic(db, dialogs)
{
    setWindowTitle(QStringLiteral("Gestionari, Beneficiari"));
    setModal(true);
    m_model = std::make_unique<ui::DatasetModel>(m_logic.users, formats, dialogs);
}

TUserForm::~TUserForm() = default;

bool TUserForm::prepare()
{
    if (!m_logic.FormCreate())
        return false;
    m_model->setColumns({
        ui::GridColumn(QStringLiteral("Name"), QStringLiteral("Nume"), 220),
        ui::GridColumn(QStringLiteral("Init"), QStringLiteral("Initiale"), 70).asReadOnly(),
        ui::GridColumn(QStringLiteral("Psw"), QStringLiteral("Parola")).asHidden(),
        ui::GridColumn(QStringLiteral("Acces"), QStringLiteral("Acces")).asHidden(),
    });
    // The pick list of access levels goes on the column titled "Acces" (the first when none is).
    int accessColumn = 0;
    for (int i = 0; i < m_model->columns().size(); ++i)
        if (m_model->columns()[i].title == QLatin1String("Acces"))
            accessColumn = i;
    m_model->column(accessColumn).pickList = m_logic.accessLevels();

    auto* layout = new QVBoxLayout(this);
    m_grid = new ui::DataGrid(m_model.get(), this);
    layout->addWidget(m_grid);
    auto* ok = new QPushButton(QStringLiteral("&Valideaza"), this);
    ok->setToolTip(QStringLiteral("Sunt de acord"));
    ok->setDefault(true);
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(360, 320))); // room for the grid's columns
    m_grid->setFocus();
    return true;
}

void TUserForm::done(int result)
{
    // A cell still being typed in goes to the record (a refused value stays
    // in its cell), and the record is posted.
    if (m_grid && !m_grid->commitEditor())
        return;
    if (!m_logic.FormCloseQuery())
        return;
    QDialog::done(result);
}

void TUserForm::run(datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
                    QWidget* parent)
{
    TUserForm form(db, dialogs, formats, parent);
    if (!form.prepare())
        return;
    form.exec();
}

} // namespace shell
