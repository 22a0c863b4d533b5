#include "tseriiform.h"

#include <QCloseEvent>
#include <QDir>
#include <QVBoxLayout>

namespace stock {

using datastore::Dataset;

namespace {

const QString kGroup = QStringLiteral("Grupa");
const QString kArticle = QStringLiteral("Cod_articol");
const QString kName = QStringLiteral("Denumire");

} // namespace

// --- TSeriiFormLogic -----------------------------------------------------------------------------

TSeriiFormLogic::TSeriiFormLogic(datastore::Database& db, common::Dialogs& dialogs)
    : serials(db, QStringLiteral("Serie.DB")), m_db(db), m_dialogs(dialogs)
{
    serials.setOrderBy(QStringLiteral("ContorSec, Serie"));
    serials.addCalculatedField(kName, datastore::FieldType::Text, 255);
    for (const char* f : {"Contor", "ContorSec", "Grupa", "Cod_articol"})
        serials.field(QString::fromLatin1(f)).readOnly = true;
    serials.onCalcFields = [this] { SerialsCalcFields(); };
    serials.beforeInsert = [this] { SerialsBeforeInsert(); };
    serials.beforeDelete = [this] { SerialsBeforeDelete(); };
    filterOn(0);
}

void TSeriiFormLogic::filterOn(double contor)
{
    m_contor = contor;
    m_names.clear();
    serials.setFilter(QStringLiteral("Contor = :c"), {{QStringLiteral("c"), contor}});
}

bool TSeriiFormLogic::open(double contor)
{
    try {
        filterOn(contor);
        if (serials.isOpen())
            serials.refresh();
        else
            serials.open();
        serials.first();
        return true;
    } catch (const std::exception& e) {
        const QString engine = datastore::errorText(e);
        FormClose();
        m_dialogs.error(QStringLiteral("Eroare de acces la seriile documentului!\r<%1>").arg(engine));
        return false;
    }
}

bool TSeriiFormLogic::showDocument(double contor)
{
    if (!serials.isOpen())
        return open(contor);
    try {
        serials.settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false; // the list stays on its document, the row in editing
    }
    try {
        filterOn(contor);
        serials.refresh();
        serials.first();
        return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

bool TSeriiFormLogic::close()
{
    try {
        serials.settle();
        return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

void TSeriiFormLogic::FormClose() { serials.close(); }

void TSeriiFormLogic::RefreshTick()
{
    try {
        if (serials.isOpen()) {
            m_names.clear(); // a catalog name may have changed too
            serials.refresh(); // a row being edited waits
        }
    } catch (const datastore::DbError&) {
        // busy on another workstation: the next tick reads it
    }
}

QList<ui::GridColumn> TSeriiFormLogic::columns() const
{
    return {ui::GridColumn(kGroup, QStringLiteral("Grupa"), 70).asReadOnly(),
            ui::GridColumn(kArticle, QStringLiteral("Cod_articol"), 110).asReadOnly(),
            ui::GridColumn(kName, QStringLiteral("Denumire"), 220).asReadOnly(),
            ui::GridColumn(QStringLiteral("Serie"), QStringLiteral("Serie"), 110),
            ui::GridColumn(QStringLiteral("SerieFurn"), QStringLiteral("SerieFurn"), 110)};
}

void TSeriiFormLogic::SerialsCalcFields()
{
    const QString group = serials.value(kGroup).toString();
    const QString code = serials.value(kArticle).toString();
    const QString key = group + u'\n' + code;
    auto it = m_names.find(key);
    if (it == m_names.end()) {
        const QVariant name = m_db.scalar(QStringLiteral("SELECT Denumire FROM \"Catalog.DB\" "
                                                         "WHERE (Grupa = :g) AND (Cod = :c)"),
                                          {{QStringLiteral("g"), group}, {QStringLiteral("c"), code}});
        it = m_names.insert(key, name.toString());
    }
    serials.setCalculated(kName, *it);
}

void TSeriiFormLogic::SerialsBeforeInsert()
{
    m_dialogs.beep(); // a serial row is made by its document line
    throw datastore::Abort();
}

void TSeriiFormLogic::SerialsBeforeDelete()
{
    m_dialogs.warning(QStringLiteral("Seriile se sterg odata cu linia documentului de intrare!"));
    throw datastore::Abort();
}

// --- TSeriiForm ----------------------------------------------------------------------------------

TSeriiForm::TSeriiForm(datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
                       QString privateDir, QWidget* parent)
    : QWidget(parent), m_logic(db, dialogs), m_privateDir(std::move(privateDir))
{
    setObjectName(QStringLiteral("TSeriiForm"));
    setWindowTitle(QString::fromLatin1(kSerialsCaption));
    m_model = std::make_unique<ui::DatasetModel>(m_logic.serials, formats, dialogs);
    m_model->setColumns(m_logic.columns());
    m_grid = new ui::DataGrid(m_model.get(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
}

TSeriiForm::~TSeriiForm()
{
    m_closed = true;
    m_logic.FormClose();
}

QString TSeriiForm::layoutPath() const
{
    return m_privateDir.isEmpty() ? QString() : QDir(m_privateDir).filePath(QString::fromLatin1(kSerialsLayoutFile));
}

bool TSeriiForm::prepare(double contor)
{
    if (!m_logic.open(contor))
        return false;
    if (!layoutPath().isEmpty())
        m_grid->restoreLayout(layoutPath(), QStringLiteral("Serii"));
    const int editable = m_grid->firstEditableColumn();
    if (editable >= 0 && m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, editable));
    resize(m_grid->sizeHint());
    m_grid->setFocus();
    return true;
}

std::unique_ptr<TSeriiForm> TSeriiForm::createChild(datastore::Database& db, common::Dialogs& dialogs,
                                                    const common::Formats& formats, const QString& privateDir,
                                                    double contor)
{
    auto form = std::make_unique<TSeriiForm>(db, dialogs, formats, privateDir);
    if (!form->prepare(contor))
        return nullptr;
    return form;
}

void TSeriiForm::showDocument(double contor)
{
    if (m_closed || !m_grid->commitEditor())
        return; // the refused value stays in its cell
    m_logic.showDocument(contor);
}

void TSeriiForm::refreshTick()
{
    if (m_closed || m_grid->openEditor())
        return;
    m_logic.RefreshTick();
}

bool TSeriiForm::closeQuery()
{
    if (m_closed)
        return true;
    if (!m_grid->commitEditor())
        return false; // the refused value stays in its cell
    return m_logic.close();
}

void TSeriiForm::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        if (!closeQuery()) {
            event->ignore();
            return;
        }
        if (!layoutPath().isEmpty())
            m_grid->saveLayout(layoutPath(), QStringLiteral("Serii"));
        m_logic.FormClose();
        m_closed = true;
    }
    event->accept();
}

} // namespace stock
