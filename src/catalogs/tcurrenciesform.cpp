#include "tcurrenciesform.h"

#include "urlfetch.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace catalogs {


TCurrenciesForm::TCurrenciesForm(const PartnerServices& services, RateCache* cache, QWidget* parent)
    : QWidget(parent), m_services(services), m_logic(services.database, services.dialogs, cache),
      m_fetch([](const QString& url, QString& error) { return FetchUrl(url, error); })
{
    setObjectName(QStringLiteral("TCurrenciesForm"));
    setWindowTitle(QString::fromLatin1(kCurrenciesCaption));
    m_currencyModel = std::make_unique<ui::DatasetModel>(m_logic.currencies, services.formats, services.dialogs);
    m_currencyModel->setColumns(m_logic.currencyColumns());
    m_rateModel = std::make_unique<ui::DatasetModel>(m_logic.rates, services.formats, services.dialogs);
    m_rateModel->setColumns(m_logic.rateColumns());
    m_currencyGrid = new ui::DataGrid(m_currencyModel.get(), this);
    m_rateGrid = new ui::DataGrid(m_rateModel.get(), this);

    auto* lists = new QGridLayout;
    auto* currencyLabel = new QLabel(QStringLiteral("&Valute"), this);
    currencyLabel->setBuddy(m_currencyGrid);
    auto* rateLabel = new QLabel(QStringLiteral("C&ursuri ale monedei curente (lei pentru o unitate)"), this);
    rateLabel->setBuddy(m_rateGrid);
    lists->addWidget(currencyLabel, 0, 0);
    lists->addWidget(rateLabel, 0, 1);
    lists->addWidget(m_currencyGrid, 1, 0);
    lists->addWidget(m_rateGrid, 1, 1);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(1, 2);

    auto* sourceLabel = new QLabel(QStringLiteral("Cursuri &BNR din fisierul sau de la adresa:"), this);
    m_source = new QLineEdit(QString::fromLatin1(kNbrDefaultAddress), this);
    sourceLabel->setBuddy(m_source);
    m_browse = new QPushButton(QStringLiteral("&Fisier..."), this);
    m_import = new QPushButton(QStringLiteral("&Importa cursurile BNR"), this);
    m_import->setToolTip(QStringLiteral("Importa cursurile de referinta BNR (nbrfxrates.xml) pentru valutele din catalog"));
    auto* importRow = new QHBoxLayout;
    importRow->addWidget(m_source, 1);
    importRow->addWidget(m_browse);
    importRow->addWidget(m_import);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(sourceLabel);
    layout->addLayout(importRow);
    resize(680, 460);

    m_logic.currencies.afterInsert = [this] { m_currencyGrid->setCurrentField(QStringLiteral("Moneda")); };
    m_logic.rates.afterInsert = [this] { m_rateGrid->setCurrentField(QStringLiteral("Data")); };
    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Fisierul cursurilor BNR"), QString(),
                                                          QStringLiteral("Cursuri BNR (*.xml);;Toate fisierele (*)"));
        if (!file.isEmpty())
            m_source->setText(file);
    });
    connect(m_import, &QPushButton::clicked, this, [this] { importRates(); });
}

TCurrenciesForm::~TCurrenciesForm()
{
    m_closed = true;
    m_logic.FormClose();
}

bool TCurrenciesForm::prepare()
{
    if (!m_logic.FormCreate())
        return false;
    m_currencyGrid->setFocus();
    return true;
}

std::unique_ptr<TCurrenciesForm> TCurrenciesForm::createChild(const PartnerServices& services, RateCache* cache)
{
    auto form = std::make_unique<TCurrenciesForm>(services, cache);
    if (!form->prepare())
        return nullptr;
    return form;
}

void TCurrenciesForm::importRates()
{
    if (!commitEditors())
        return; // the refused value stays in its cell
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_import->setEnabled(false);
    const QString source = m_source->text();
    // The message boxes of the import come after the cursor is back.
    QByteArray data;
    QString error;
    const bool address = TCurrenciesLogic::isAddress(source);
    if (address)
        data = m_fetch(source.trimmed(), error);
    QApplication::restoreOverrideCursor();
    m_import->setEnabled(true);
    if (address) {
        m_logic.ImportNbrRates(source, [&](const QString&, QString& err) {
            err = error;
            return data;
        });
    } else {
        m_logic.ImportNbrRates(source, {});
    }
}

bool TCurrenciesForm::commitEditors()
{
    return m_currencyGrid->commitEditor() && m_rateGrid->commitEditor();
}

void TCurrenciesForm::refreshTick()
{
    if (m_closed || m_currencyGrid->openEditor() || m_rateGrid->openEditor())
        return;
    m_logic.RefreshTick();
}

bool TCurrenciesForm::closeQuery()
{
    if (m_closed)
        return true;
    if (!commitEditors())
        return false; // the refused value stays in its cell
    return m_logic.FormCloseQuery();
}

void TCurrenciesForm::closeEvent(QCloseEvent* event)
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
