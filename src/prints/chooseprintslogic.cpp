#include "chooseprintslogic.h"

#include "common/inifile.h"

#include <QDir>

namespace prints {

int InitialPrintSet(const QString& type, bool paid)
{
    const QString t = type.trimmed().toUpper();
    if (t == QLatin1String("FCT"))
        return paid ? PrintInvoiceWithReceiptBit : PrintInvoiceBit;
    if (t == QLatin1String("AE"))
        return PrintDeliveryNoteBit;
    if (t == QLatin1String("NPR") || t == QLatin1String("BT"))
        return PrintTransferNoteBit;
    if (t == QLatin1String("BMC"))
        return PrintConsumptionNoteBit;
    if (t == QLatin1String("BLZ"))
        return PrintDailyListNoteBit;
    if (t == QLatin1String("CSR"))
        return PrintScrappingBit;
    return 0;
}

namespace {

QString cannotWrite(const QString& path)
{
    return QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(path));
}

QString cannotRead(const QString& path, const QString& reason)
{
    return QStringLiteral("Fisierul %1 nu poate fi citit: %2.").arg(QDir::toNativeSeparators(path), reason);
}

bool isExclusive(PrintChoice choice)
{
    return choice == PrintChoice::Invoice || choice == PrintChoice::InvoiceWithReceipt ||
           choice == PrintChoice::TransferNote;
}

} // namespace

ChoosePrintsLogic::ChoosePrintsLogic(const ChoosePrintsContext& context, int printSet, const PrintOptions& options)
    : m_parameters(context.parameters), m_dialogs(context.dialogs), m_directory(context.definitionDir),
      m_preprinted(context.parameters.PreprintedInvoice), m_includeCode(context.parameters.CodProdusPeFact)
{
    m_footer = ReadInvoiceFooter(m_directory);
    m_footerText = m_footer.text;
    TransportFile transport = ReadTransport(m_directory);
    m_transport = transport.details;
    m_transportReadError = transport.readError;
    preselect(printSet, options.comment);
}

void ChoosePrintsLogic::preselect(int printSet, bool storedComment)
{
    if (m_preprinted) {
        m_comment = true;
        if (printSet & PrintInvoiceWithReceiptBit)
            printSet = (printSet & ~PrintInvoiceWithReceiptBit) | PrintInvoiceBit;
    }
    for (int i = 0; i < kPrintChoiceCount; ++i) {
        const auto choice = PrintChoice(i);
        if (printSet & printBit(choice))
            setChecked(choice, true);
    }
    if (printSet & (PrintInvoiceBit | PrintInvoiceWithReceiptBit))
        m_comment = m_comment || storedComment;
    if (printSet & (PrintConsumptionNoteBit | PrintDailyListNoteBit)) {
        m_includeCode = false;
        m_explanation = true;
    }
}

QString ChoosePrintsLogic::caption(PrintChoice choice) const
{
    switch (choice) {
    case PrintChoice::Invoice:
        return m_preprinted ? QStringLiteral("&Factura pretiparita") : QStringLiteral("&Factura");
    case PrintChoice::InvoiceWithReceipt:
        return QStringLiteral("Factura si &chitanta");
    case PrintChoice::TransferNote:
        return QStringLiteral("Nota de transfer");
    case PrintChoice::DeliveryNote:
        return QStringLiteral("&Aviz de expeditie");
    case PrintChoice::ConsumptionNote:
        return QStringLiteral("&Bon de consum");
    case PrintChoice::DailyListNote:
        return QStringLiteral("Bon consum lista zilnica");
    case PrintChoice::Scrapping:
        break;
    }
    return QStringLiteral("Casare");
}

bool ChoosePrintsLogic::isEnabled(PrintChoice choice) const
{
    return !(m_preprinted && choice == PrintChoice::InvoiceWithReceipt);
}

void ChoosePrintsLogic::setChecked(PrintChoice choice, bool checked)
{
    if (!isEnabled(choice))
        return;
    m_checked[index(choice)] = checked;
    if (checked && isExclusive(choice))
        for (const PrintChoice other : {PrintChoice::Invoice, PrintChoice::InvoiceWithReceipt, PrintChoice::TransferNote})
            if (other != choice)
                m_checked[index(other)] = false;
}

bool ChoosePrintsLogic::commentEnabled() const
{
    return m_preprinted || isChecked(PrintChoice::Invoice) || isChecked(PrintChoice::InvoiceWithReceipt);
}

bool ChoosePrintsLogic::commentNoteVisible() const
{
    return m_comment && (isChecked(PrintChoice::Invoice) || isChecked(PrintChoice::InvoiceWithReceipt));
}

void ChoosePrintsLogic::setComment(bool on)
{
    if (commentEnabled())
        m_comment = on;
}

void ChoosePrintsLogic::setFooterText(const QString& text)
{
    if (footerEditable())
        m_footerText = text;
}

QString ChoosePrintsLogic::footerProblem() const
{
    if (footerEditable())
        return {};
    return cannotRead(invoiceFilePath(m_directory, kInvoiceFooterFileName), m_footer.readError);
}

void ChoosePrintsLogic::setTransport(const TransportDetails& details)
{
    if (transportEditable())
        m_transport = details;
}

QString ChoosePrintsLogic::transportProblem() const
{
    if (transportEditable())
        return {};
    return cannotRead(invoiceFilePath(m_directory, kTransportFileName), m_transportReadError);
}

int ChoosePrintsLogic::printSet() const
{
    int set = 0;
    for (int i = 0; i < kPrintChoiceCount; ++i)
        if (m_checked[i])
            set |= printBit(PrintChoice(i));
    return set;
}

PrintOptions ChoosePrintsLogic::options() const
{
    PrintOptions options;
    options.comment = m_comment;
    options.explanation = m_explanation;
    options.description = m_description;
    return options;
}

bool ChoosePrintsLogic::accept()
{
    if (footerEdited()) {
        if (!WriteInvoiceFooter(m_directory, m_footerText, m_footer.lineEnd)) {
            m_dialogs.error(cannotWrite(invoiceFilePath(m_directory, kInvoiceFooterFileName)));
            return false;
        }
        m_footer.text = m_footerText;
    }
    if (transportEditable() && !WriteTransport(m_directory, m_transport)) {
        m_dialogs.error(cannotWrite(invoiceFilePath(m_directory, kTransportFileName)));
        return false;
    }
    writeCodProdusPeFact();
    return true;
}

void ChoosePrintsLogic::writeCodProdusPeFact()
{
    m_parameters.CodProdusPeFact = m_includeCode;
    common::IniFile ini(invoiceFilePath(m_directory, common::kDefinitionFileName));
    const QString section = QLatin1String(common::kDefaultSection);
    const QString key = QStringLiteral("CodProdusPeFact");
    const QString value = m_includeCode ? QStringLiteral("1") : QStringLiteral("0");
    if (!ini.isReadable())
        m_dialogs.error(common::unreadableParameterFileMessage(ini));
    else if (!(ini.valueExists(section, key) && ini.readString(section, key) == value) &&
             !ini.writeBool(section, key, m_includeCode))
        m_dialogs.error(cannotWrite(ini.path()));
}

} // namespace prints
