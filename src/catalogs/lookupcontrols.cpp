#include "lookupcontrols.h"

#include "partnercatalogs.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace catalogs {

LookupSidePanel buildLookupSidePanel(QWidget* parent, const QStringList& orders, bool picker)
{
    LookupSidePanel p;
    p.order = new QComboBox(parent);
    p.order->addItems(orders);
    auto* orderLabel = new QLabel(QStringLiteral("Or&dine de afisare:"), parent);
    orderLabel->setBuddy(p.order);

    p.search = new QLineEdit(parent);
    p.search->setMaxLength(kSearchMaxLength);
    auto* searchLabel = new QLabel(QStringLiteral("&Cauta:"), parent);
    searchLabel->setBuddy(p.search);

    p.ok = new QPushButton(QStringLiteral("OK"), parent);
    p.ok->setDefault(picker);
    p.cancel = new QPushButton(QStringLiteral("&Renunta"), parent);
    p.cancel->setAutoDefault(false);
    p.edit = new QPushButton(QStringLiteral("&Editeaza"), parent);
    p.edit->setCheckable(true);
    p.edit->setAutoDefault(false);
    for (QPushButton* b : {p.ok, p.cancel, p.edit})
        b->setVisible(picker);

    p.layout = new QVBoxLayout;
    p.layout->addWidget(orderLabel);
    p.layout->addWidget(p.order);
    p.layout->addSpacing(8);
    p.layout->addWidget(searchLabel);
    p.layout->addWidget(p.search);
    p.layout->addStretch();
    p.layout->addWidget(p.ok);
    p.layout->addWidget(p.cancel);
    p.layout->addSpacing(8);
    p.layout->addWidget(p.edit);
    return p;
}

ListDialogButtons layOutListDialog(QDialog* dialog, QWidget* list, const QString& cancelText)
{
    ListDialogButtons b;
    b.ok = new QPushButton(QStringLiteral("OK"), dialog);
    b.ok->setDefault(true);
    b.cancel = new QPushButton(cancelText, dialog);
    b.cancel->setAutoDefault(false);
    QObject::connect(b.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(b.ok);
    buttons->addWidget(b.cancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(list);
    layout->addLayout(buttons);
    return b;
}

} // namespace catalogs
