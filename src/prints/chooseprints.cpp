#include "chooseprints.h"

#include "common/inifile.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTabWidget>
#include <QVBoxLayout>

namespace prints {

namespace {

const char* const kFooterFile = "INVFOOT.TXT";
const char* const kDispatchFile = "TRANSPORT.TXT";
const QString kSection = QStringLiteral("Expeditie");

// A text file as it was written: UTF-8 when it reads as such, else Latin-1.
QString readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = f.read(1024 * 1024);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool writeText(const QString& path, const QString& text)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(text.toUtf8());
    return f.commit();
}

} // namespace

int InitialPrintSet(const QString& type, bool paid)
{
    const QString t = type.trimmed();
    if (t == u"FCT")
        return paid ? PrintInvoiceWithReceiptBit : PrintInvoiceBit;
    if (t == u"AE")
        return PrintDeliveryNoteBit;
    if (t == u"NPR" || t == u"BT")
        return PrintTransferNoteBit;
    if (t == u"BMC")
        return PrintConsumptionNoteBit;
    if (t == u"BLZ")
        return PrintDailyListNoteBit;
    if (t == u"CSR")
        return PrintScrappingBit;
    return 0;
}

ChoosePrintsLogic::ChoosePrintsLogic(const ChoosePrintsContext& context, int printSet, const PrintOptions& opts)
    : options(opts), m_ctx(context), m_preprinted(context.parameters.PreprintedInvoice)
{
    productCode = context.parameters.CodProdusPeFact;
    const bool storedComment = options.comment;
    options.comment = false;
    if (m_preprinted && (printSet & PrintInvoiceWithReceiptBit))
        printSet = (printSet & ~PrintInvoiceWithReceiptBit) | PrintInvoiceBit;
    for (int b = 0; b < BoxCount; ++b)
        if (printSet & (1 << b))
            setChecked(static_cast<Box>(b), true);
    if (printSet & (PrintInvoiceBit | PrintInvoiceWithReceiptBit))
        options.comment = storedComment;
    if (printSet & (PrintConsumptionNoteBit | PrintDailyListNoteBit)) {
        productCode = false;
        options.explanation = true;
    }
    if (m_preprinted)
        options.comment = true;
    footer = readText(context.definitionDir + QLatin1String(kFooterFile));
    dispatch = readDispatch(context.definitionDir + QLatin1String(kDispatchFile));
}

void ChoosePrintsLogic::setChecked(Box box, bool on)
{
    if (!enabled(box))
        on = false;
    m_checked[box] = on;
    if (on && box <= TransferNote)
        for (int b = Invoice; b <= TransferNote; ++b)
            if (b != box)
                m_checked[b] = false;
}

QString ChoosePrintsLogic::caption(Box box) const
{
    switch (box) {
    case Invoice:
        return m_preprinted ? QStringLiteral("&Factura pretiparita") : QStringLiteral("&Factura");
    case InvoiceWithReceipt:
        return QStringLiteral("Factura si &chitanta");
    case TransferNote:
        return QStringLiteral("Nota de transfer");
    case DeliveryNote:
        return QStringLiteral("&Aviz de expeditie");
    case ConsumptionNote:
        return QStringLiteral("&Bon de consum");
    case DailyListNote:
        return QStringLiteral("Bon consum lista zilnica");
    default:
        return QStringLiteral("Casare");
    }
}

bool ChoosePrintsLogic::commentEnabled() const
{
    return m_preprinted || m_checked[Invoice] || m_checked[InvoiceWithReceipt];
}

bool ChoosePrintsLogic::commentNoteVisible() const
{
    return commentEnabled();
}

int ChoosePrintsLogic::printSet() const
{
    int set = 0;
    for (int b = 0; b < BoxCount; ++b)
        if (m_checked[b])
            set |= 1 << b;
    return set;
}

Dispatch ChoosePrintsLogic::readDispatch(const QString& path)
{
    const common::IniFile ini(path);
    Dispatch d;
    d.include = ini.readBool(kSection, QStringLiteral("Include"), false);
    if (!d.include)
        return d;
    d.name = ini.readString(kSection, QStringLiteral("Nume"));
    d.idSeries = ini.readString(kSection, QStringLiteral("SerieBI"));
    d.idNumber = ini.readString(kSection, QStringLiteral("NrBI"));
    d.vehicle = ini.readString(kSection, QStringLiteral("MijlocTransport"));
    d.date = ini.readString(kSection, QStringLiteral("DataTransport"));
    return d;
}

bool ChoosePrintsLogic::writeDispatch(const QString& path, const Dispatch& d)
{
    common::IniFile ini(path);
    if (!ini.isReadable())
        return false;
    ini.eraseSection(kSection);
    bool ok = ini.writeBool(kSection, QStringLiteral("Include"), d.include);
    if (d.include) {
        ok = ok && ini.writeString(kSection, QStringLiteral("Nume"), d.name);
        ok = ok && ini.writeString(kSection, QStringLiteral("SerieBI"), d.idSeries);
        ok = ok && ini.writeString(kSection, QStringLiteral("NrBI"), d.idNumber);
        ok = ok && ini.writeString(kSection, QStringLiteral("MijlocTransport"), d.vehicle);
        ok = ok && ini.writeString(kSection, QStringLiteral("DataTransport"), d.date);
    }
    return ok;
}

bool ChoosePrintsLogic::accept()
{
    const QString dir = m_ctx.definitionDir;
    common::IniFile definition(dir + QLatin1String(common::kDefinitionFileName));
    if (!definition.isReadable() || !definition.writeBool(QStringLiteral("Default"), QStringLiteral("CodProdusPeFact"), productCode)) {
        m_ctx.dialogs.error(QStringLiteral("Nu pot salva optiunile de listare in fisierul %1!")
                                .arg(definition.path()));
        return false;
    }
    m_ctx.parameters.CodProdusPeFact = productCode;
    if (footerEdited && !writeText(dir + QLatin1String(kFooterFile), footer)) {
        m_ctx.dialogs.error(QStringLiteral("Nu pot salva textul de subsol al facturii in fisierul %1!")
                                .arg(dir + QLatin1String(kFooterFile)));
        return false;
    }
    if (!writeDispatch(dir + QLatin1String(kDispatchFile), dispatch)) {
        m_ctx.dialogs.error(QStringLiteral("Nu pot salva elementele de expeditie in fisierul %1!")
                                .arg(dir + QLatin1String(kDispatchFile)));
        return false;
    }
    return true;
}

bool ChoosePrints(QWidget* window, const ChoosePrintsContext& context, int& printSet, PrintOptions& options)
{
    ChoosePrintsLogic logic(context, printSet, options);
    QDialog dialog(window);
    dialog.setObjectName(QStringLiteral("ChoosePrints"));
    dialog.setWindowTitle(QStringLiteral("Listeaza..."));
    auto* tabs = new QTabWidget(&dialog);

    auto* kind = new QWidget(tabs);
    QCheckBox* boxes[ChoosePrintsLogic::BoxCount] = {};
    auto* boxGroup = new QGroupBox(kind);
    auto* boxLayout = new QVBoxLayout(boxGroup);
    for (int b = 0; b < ChoosePrintsLogic::BoxCount; ++b) {
        boxes[b] = new QCheckBox(logic.caption(static_cast<ChoosePrintsLogic::Box>(b)), boxGroup);
        boxLayout->addWidget(boxes[b]);
    }
    auto* productCode = new QCheckBox(QStringLiteral("Include si codul produsului in descriere"), kind);
    auto* description = new QCheckBox(QStringLiteral("Include descrierea alaturi de denumire"), kind);
    auto* comment = new QCheckBox(QStringLiteral("Include comentariu la baza facturii pretiparite/"), kind);
    auto* note = new QLabel(QStringLiteral("deplaseaza totalul la factura fiscala/proforma"), kind);
    auto* footer = new QPlainTextEdit(logic.footer, kind);
    footer->setMaximumHeight(80);
    auto* explanation = new QCheckBox(QStringLiteral("Include expl. docum. (pt. NRP sau BMC)"), kind);
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(boxGroup);
    kindLayout->addWidget(productCode);
    kindLayout->addWidget(description);
    auto* commentRow = new QHBoxLayout;
    commentRow->addWidget(comment);
    commentRow->addWidget(note, 1);
    kindLayout->addLayout(commentRow);
    kindLayout->addWidget(footer);
    kindLayout->addWidget(explanation);
    tabs->addTab(kind, QStringLiteral("Tip factura"));

    auto* dispatchPage = new QWidget(tabs);
    auto* include = new QCheckBox(QStringLiteral("Include elementele de expeditie:"), dispatchPage);
    auto* name = new QLineEdit(logic.dispatch.name, dispatchPage);
    auto* series = new QLineEdit(logic.dispatch.idSeries, dispatchPage);
    auto* number = new QLineEdit(logic.dispatch.idNumber, dispatchPage);
    auto* vehicle = new QLineEdit(logic.dispatch.vehicle, dispatchPage);
    auto* date = new QLineEdit(logic.dispatch.date, dispatchPage);
    include->setChecked(logic.dispatch.include);
    auto* dg = new QGridLayout(dispatchPage);
    dg->addWidget(new QLabel(QStringLiteral("(numai pe factura pretiparita)"), dispatchPage), 0, 0, 1, 4);
    dg->addWidget(include, 1, 0, 1, 4);
    dg->addWidget(new QLabel(QStringLiteral("Numele delegatului:"), dispatchPage), 2, 0);
    dg->addWidget(name, 2, 1, 1, 3);
    dg->addWidget(new QLabel(QStringLiteral("Seria buletinului:"), dispatchPage), 3, 0);
    dg->addWidget(series, 3, 1);
    dg->addWidget(new QLabel(QStringLiteral("Nr."), dispatchPage), 3, 2);
    dg->addWidget(number, 3, 3);
    dg->addWidget(new QLabel(QStringLiteral("Mijloc de transport (numarul):"), dispatchPage), 4, 0);
    dg->addWidget(vehicle, 4, 1, 1, 3);
    dg->addWidget(new QLabel(QStringLiteral("Data expeditiei:"), dispatchPage), 5, 0);
    dg->addWidget(date, 5, 1);
    dg->setRowStretch(6, 1);
    tabs->addTab(dispatchPage, QStringLiteral("Expeditie"));

    auto* print = new QPushButton(QStringLiteral("Listeaza"), &dialog);
    print->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Renunta"), &dialog);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    auto show = [&] {
        for (int b = 0; b < ChoosePrintsLogic::BoxCount; ++b) {
            const QSignalBlocker block(boxes[b]);
            boxes[b]->setChecked(logic.checked(static_cast<ChoosePrintsLogic::Box>(b)));
            boxes[b]->setEnabled(logic.enabled(static_cast<ChoosePrintsLogic::Box>(b)));
        }
        comment->setEnabled(logic.commentEnabled());
        note->setVisible(logic.commentNoteVisible());
    };
    productCode->setChecked(logic.productCode);
    description->setChecked(logic.options.description);
    comment->setChecked(logic.options.comment);
    explanation->setChecked(logic.options.explanation);
    show();
    for (int b = 0; b < ChoosePrintsLogic::BoxCount; ++b)
        QObject::connect(boxes[b], &QCheckBox::toggled, &dialog, [&, b](bool on) {
            logic.setChecked(static_cast<ChoosePrintsLogic::Box>(b), on);
            show();
        });
    QObject::connect(footer, &QPlainTextEdit::textChanged, &dialog, [&] { logic.footerEdited = true; });
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(print, &QPushButton::clicked, &dialog, [&] {
        logic.productCode = productCode->isChecked();
        logic.options.description = description->isChecked();
        logic.options.comment = comment->isChecked() && comment->isEnabled();
        logic.options.explanation = explanation->isChecked();
        logic.footer = footer->toPlainText();
        logic.dispatch = {include->isChecked(), name->text(), series->text(), number->text(), vehicle->text(), date->text()};
        if (logic.accept())
            dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printSet = logic.printSet();
    options = logic.options;
    return true;
}

} // namespace prints
