#include "lookupform.h"

#include "lookupcontrols.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace catalogs {

namespace {

// The modal frame of a picker: the form fills it; "OK" accepts, "&Renunta"
// (Esc, the close box) rejects; either way the form's close request runs first.
class LookupDialog : public QDialog {
public:
    LookupDialog(TLookupForm* form, QWidget* owner) : QDialog(owner), m_form(form)
    {
        setWindowTitle(form->windowTitle());
        setObjectName(form->objectName() + QStringLiteral("Picker"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(form);
        form->show();
        resize(sizeHint());
        connect(form, &TLookupForm::okRequested, this, &QDialog::accept);
        connect(form, &TLookupForm::cancelRequested, this, &QDialog::reject);
    }

    void done(int result) override
    {
        if (!m_form->closeQuery())
            return;
        QDialog::done(result);
    }

private:
    TLookupForm* m_form;
};

} // namespace

TLookupForm::TLookupForm(const PartnerCatalogDef& def, const PartnerServices& services, LookupRole role,
                         QWidget* parent)
    : QWidget(parent), m_services(services),
      m_logic(def, services.database, services.dialogs, services.parameters, role)
{
    setObjectName(QString::fromLatin1(def.windowClass));
    setWindowTitle(role == LookupRole::Child ? def.childCaption : def.pickerCaption);
    m_model = std::make_unique<ui::DatasetModel>(m_logic.table, services.formats, services.dialogs);
}

TLookupForm::~TLookupForm()
{
    m_closed = true;
    m_logic.FormClose();
}

bool TLookupForm::prepare()
{
    if (!m_logic.FormCreate())
        return false;
    m_model->setColumns(m_logic.def().columns);
    buildControls();
    if (!m_logic.def().layoutFile.isEmpty())
        m_grid->restoreLayout(layoutPath(), QStringLiteral("Lista"));
    m_logic.FormShow();
    syncEditControls();
    m_grid->setFocus();
    return true;
}

QString TLookupForm::layoutPath() const
{
    return QDir(m_services.privateDir).filePath(m_logic.def().layoutFile);
}

void TLookupForm::buildControls()
{
    const PartnerCatalogDef& def = m_logic.def();
    const bool picker = role() == LookupRole::Picker;

    m_grid = new ui::DataGrid(m_model.get(), this);
    m_grid->setToolTip(picker ? def.gridHint : QString());
    m_grid->setStatusTip(picker ? def.gridHint : QString());

    const LookupSidePanel side = buildLookupSidePanel(
        this, {QString::fromLatin1(kOrderByCodeCaption), QString::fromLatin1(kOrderByNameCaption)}, picker);
    m_order = side.order;
    m_search = side.search;
    m_ok = side.ok;
    m_cancel = side.cancel;
    m_edit = side.edit;

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(side.layout);

    m_logic.table.afterInsert = [this] { m_grid->setCurrentField(m_logic.def().codeField); };
    connect(m_order, &QComboBox::currentIndexChanged, this, &TLookupForm::orderChanged);
    connect(m_search, &QLineEdit::textChanged, this, &TLookupForm::searchChanged);
    connect(m_edit, &QPushButton::toggled, this, &TLookupForm::editToggled);
    connect(m_ok, &QPushButton::clicked, this, &TLookupForm::okRequested);
    connect(m_cancel, &QPushButton::clicked, this, &TLookupForm::cancelRequested);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (role() == LookupRole::Picker && !m_logic.isEditMode())
            emit okRequested();
    });
}

void TLookupForm::syncEditControls()
{
    const bool editing = m_logic.isEditMode();
    const bool picker = role() == LookupRole::Picker;
    m_grid->setSelectionBehavior(picker && !editing ? QAbstractItemView::SelectRows
                                                    : QAbstractItemView::SelectItems);
    m_ok->setEnabled(!editing);
    const QSignalBlocker block(m_edit);
    m_edit->setChecked(picker && editing);
    // The selection shows the current row again in its new shape.
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid())
        m_grid->setCurrentIndex(current);
}

void TLookupForm::editToggled(bool down)
{
    if (down == m_logic.isEditMode())
        return;
    // The cell being typed goes to the row before it is posted; a refused
    // value keeps the list in editing.
    if (!down && !m_grid->commitEditor()) {
        syncEditControls();
        return;
    }
    m_logic.setEditMode(down);
    syncEditControls();
    m_grid->setFocus();
}

void TLookupForm::orderChanged(int index)
{
    const PartnerOrder wanted = index == 1 ? PartnerOrder::ByName : PartnerOrder::ByCode;
    if (!m_model->guarded([&] { m_logic.setOrder(wanted); })) {
        const QSignalBlocker block(m_order);
        m_order->setCurrentIndex(m_logic.order() == PartnerOrder::ByName ? 1 : 0);
    }
}

void TLookupForm::searchChanged(const QString& text)
{
    if (text.isEmpty())
        return;
    m_model->guarded([&] { m_logic.SearchChange(text); });
}

void TLookupForm::refreshTick()
{
    // A cell being typed is editing even before its text reaches the row.
    if (m_closed || !m_grid || openEditor())
        return;
    m_model->guarded([this] { m_logic.refreshTick(); });
}

QWidget* TLookupForm::openEditor() const
{
    return m_grid ? m_grid->openEditor() : nullptr;
}

bool TLookupForm::closeQuery()
{
    if (m_grid && !m_grid->commitEditor())
        return false; // the refused value stays in its cell
    return m_logic.FormCloseQuery();
}

bool TLookupForm::execPicker(QWidget* owner)
{
    LookupDialog dialog(this, owner);
    const int result = dialog.exec();
    // The form outlives its frame: the caller reads it and releases it.
    hide();
    setParent(nullptr);
    return result == QDialog::Accepted && m_logic.table.isOpen() && m_logic.table.recNo() >= 0;
}

bool TLookupForm::pick(QWidget* owner, QString& code)
{
    m_logic.locateCode(code);
    if (!execPicker(owner))
        return false;
    code = currentCode();
    return true;
}

void TLookupForm::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        if (!closeQuery()) {
            event->ignore();
            return;
        }
        if (role() == LookupRole::Child && !m_logic.def().layoutFile.isEmpty())
            m_grid->saveLayout(layoutPath(), QStringLiteral("Lista"));
        m_logic.FormClose();
        m_closed = true;
    }
    event->accept();
}

} // namespace catalogs
