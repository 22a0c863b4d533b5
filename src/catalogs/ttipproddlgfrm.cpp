#include "ttipproddlgfrm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace catalogs {

TTipProdDlgFrm::TTipProdDlgFrm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Selectie"));
    setModal(true);
    auto* box = new QGroupBox(QStringLiteral("Specificati tipul produsului :"), this);
    m_raw = new QRadioButton(QStringLiteral("Materie prima"), box);
    m_semi = new QRadioButton(QStringLiteral("Semifabricat"), box);
    m_finished = new QRadioButton(QStringLiteral("Produs finit"), box);
    m_raw->setChecked(true);
    auto* radios = new QVBoxLayout(box);
    radios->addWidget(m_raw);
    radios->addWidget(m_semi);
    radios->addWidget(m_finished);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setToolTip(QStringLiteral("Sunt de acord"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(buttons);
    setMinimumWidth(260);
}

ProductType TTipProdDlgFrm::productType() const
{
    if (m_semi->isChecked())
        return ProductType::SemiFinished;
    if (m_finished->isChecked())
        return ProductType::FinishedProduct;
    return ProductType::RawMaterial;
}

void TTipProdDlgFrm::setProductType(ProductType type)
{
    switch (type) {
    case ProductType::RawMaterial: m_raw->setChecked(true); break;
    case ProductType::SemiFinished: m_semi->setChecked(true); break;
    case ProductType::FinishedProduct: m_finished->setChecked(true); break;
    }
}

ProductType TTipProdDlgFrm::ask(QWidget* parent)
{
    TTipProdDlgFrm dlg(parent);
    dlg.exec();
    return dlg.productType();
}

} // namespace catalogs
