#include "tgroupeditorform.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

namespace catalogs {

namespace {

QWidget* titled(const QString& title, QWidget* list, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(title, box);
    label->setBuddy(list);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    return box;
}

class ModalFrame : public QDialog {
public:
    ModalFrame(TGroupEditorForm* form, QWidget* owner) : QDialog(owner), m_form(form)
    {
        setWindowTitle(form->windowTitle());
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(form);
        resize(form->size());
    }
    void done(int result) override
    {
        if (!m_form->closeQuery())
            return;
        QDialog::done(result);
    }

private:
    TGroupEditorForm* m_form;
};

} // namespace

TGroupEditorForm::TGroupEditorForm(const PartnerServices& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_logic(services.database, services.dialogs)
{
    setObjectName(QStringLiteral("TGroupEditorForm"));
    setWindowTitle(QString::fromLatin1(kGroupEditorCaption));
    m_classModel = std::make_unique<ui::DatasetModel>(m_logic.classes, services.formats, services.dialogs);
    m_classModel->setColumns(m_logic.classColumns());
    m_groupModel = std::make_unique<ui::DatasetModel>(m_logic.groups, services.formats, services.dialogs);
    m_groupModel->setColumns(m_logic.groupColumns());
    m_classGrid = new ui::DataGrid(m_classModel.get(), this);
    m_groupGrid = new ui::DataGrid(m_groupModel.get(), this);

    auto* lists = new QSplitter(Qt::Vertical, this);
    lists->addWidget(titled(QStringLiteral("&Clase de materiale"), m_classGrid, lists));
    lists->addWidget(titled(QStringLiteral("&Grupe de articole ale clasei curente"), m_groupGrid, lists));
    lists->setStretchFactor(0, 2);
    lists->setStretchFactor(1, 3);
    lists->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lists, 1);
    auto* hint = new QLabel(QStringLiteral("Insert adauga o inregistrare, Ctrl+Delete o sterge. "
                                           "Target = Da: grupa apare in targete."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    resize(620, 520);

    m_logic.classes.afterInsert = [this] { m_classGrid->setCurrentField(QStringLiteral("Cod_material")); };
    m_logic.groups.afterInsert = [this] { m_groupGrid->setCurrentField(QStringLiteral("Cod_grupa")); };
    m_logic.onChanged = [this] { emit changed(); };
}

TGroupEditorForm::~TGroupEditorForm()
{
    m_closed = true;
    m_logic.onChanged = nullptr;
    m_logic.FormClose();
}

QString TGroupEditorForm::layoutPath() const
{
    return QDir(m_services.privateDir).filePath(QString::fromLatin1(kGroupEditorLayoutFile));
}

bool TGroupEditorForm::prepare(const QString& group)
{
    if (!m_logic.FormCreate(group))
        return false;
    m_classGrid->restoreLayout(layoutPath(), QStringLiteral("Clase"));
    m_groupGrid->restoreLayout(layoutPath(), QStringLiteral("Grupe"));
    m_classGrid->setFocus();
    return true;
}

std::unique_ptr<TGroupEditorForm> TGroupEditorForm::createChild(const PartnerServices& services)
{
    auto form = std::make_unique<TGroupEditorForm>(services);
    if (!form->prepare())
        return nullptr;
    return form;
}

bool TGroupEditorForm::runModal(const PartnerServices& services, QWidget* owner, const QString& group)
{
    auto* form = new TGroupEditorForm(services);
    ModalFrame frame(form, owner);
    if (!form->prepare(group))
        return false;
    bool changed = false;
    connect(form, &TGroupEditorForm::changed, &frame, [&changed] { changed = true; });
    frame.exec();
    return changed;
}

void TGroupEditorForm::refreshTick()
{
    if (m_closed || m_classGrid->openEditor() || m_groupGrid->openEditor())
        return;
    m_logic.RefreshTick();
}

bool TGroupEditorForm::closeQuery()
{
    if (m_closed)
        return true;
    if (!m_classGrid->commitEditor() || !m_groupGrid->commitEditor())
        return false; // the refused value stays in its cell
    if (!m_logic.FormCloseQuery())
        return false;
    if (m_logic.classes.isOpen()) {
        m_classGrid->saveLayout(layoutPath(), QStringLiteral("Clase"));
        m_groupGrid->saveLayout(layoutPath(), QStringLiteral("Grupe"));
    }
    return true;
}

void TGroupEditorForm::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        if (!closeQuery()) {
            event->ignore();
            return;
        }
        m_logic.FormClose();
        m_closed = true;
    }
    event->accept();
}

} // namespace catalogs
