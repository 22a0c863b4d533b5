#pragma once
// The rules of "Listeaza...", without widgets: the seven print boxes of page
// "Tip factura" and their options, the invoice footer text (INVFOOT.TXT) and
// the dispatch details of page "Expeditie" (TRANSPORT.TXT).
//
// Boxes and options:
// - "&Factura", "Factura si &chitanta" and "Nota de transfer" exclude each
//   other: ticking one clears the other two.
// - Without pre-printed invoices the comment option is enabled only while
//   one of the two invoices is ticked. On pre-printed invoices "&Factura"
//   reads "&Factura pretiparita", "Factura si &chitanta" is disabled, and the
//   comment option is always enabled and opens ticked.
// - The note beside the comment option ("deplaseaza totalul ...") shows
//   while the option is ticked and one of the two invoices is ticked.
// - The dialog opens on a print set: each of its prints ticked (an invoice
//   with receipt is the invoice on pre-printed forms); an invoice takes the
//   stored comment flag; a consumption note (plain or daily list) clears
//   "Include si codul produsului in descriere" and ticks the explanation.

#include "chooseprints.h"
#include "invoicefiles.h"

#include <QString>
#include <array>

namespace prints {

// The seven boxes of page "Tip factura", in the order of their bits.
enum class PrintChoice { Invoice, InvoiceWithReceipt, TransferNote, DeliveryNote, ConsumptionNote, DailyListNote, Scrapping };
inline constexpr int kPrintChoiceCount = 7;
inline constexpr int printBit(PrintChoice choice) { return 1 << int(choice); }

// The captions of the dialog.
inline constexpr const char* kChoosePrintsTitle = "Listeaza...";
inline constexpr const char* kIncludeCodeCaption = "Include si codul produsului in descriere";
inline constexpr const char* kDescriptionCaption = "Include descrierea alaturi de denumire";
inline constexpr const char* kCommentCaption = "Include comentariu la baza facturii pretiparite/";
inline constexpr const char* kCommentNote = "deplaseaza totalul la factura fiscala/proforma";
inline constexpr const char* kExplanationCaption = "Include expl. docum. (pt. NRP sau BMC)";

class ChoosePrintsLogic {
public:
    // Reads INVFOOT.TXT and TRANSPORT.TXT of the context's directory and
    // ticks the boxes of `printSet`; options.comment is the stored comment flag.
    ChoosePrintsLogic(const ChoosePrintsContext& context, int printSet, const PrintOptions& options);

    bool preprinted() const { return m_preprinted; }

    // The seven boxes.
    QString caption(PrintChoice choice) const;
    bool isChecked(PrintChoice choice) const { return m_checked[index(choice)]; }
    bool isEnabled(PrintChoice choice) const;
    void setChecked(PrintChoice choice, bool checked); // a disabled box stays as it is

    // The options.
    bool includeCode() const { return m_includeCode; }
    void setIncludeCode(bool on) { m_includeCode = on; }
    bool description() const { return m_description; }
    void setDescription(bool on) { m_description = on; }
    bool comment() const { return m_comment; }
    bool commentEnabled() const;
    void setComment(bool on); // nothing while the option is disabled
    bool commentNoteVisible() const;
    bool explanation() const { return m_explanation; }
    void setExplanation(bool on) { m_explanation = on; }

    // The text of INVFOOT.TXT. A file that could not be read cannot be
    // edited; footerProblem() says why.
    const QString& footerText() const { return m_footerText; }
    void setFooterText(const QString& text);
    bool footerEdited() const { return m_footerText != m_footer.text; }
    bool footerEditable() const { return m_footer.isReadable(); }
    QString footerProblem() const;

    // The dispatch details of TRANSPORT.TXT; likewise.
    const TransportDetails& transport() const { return m_transport; }
    void setTransport(const TransportDetails& details);
    bool transportEditable() const { return m_transportReadError.isEmpty(); }
    QString transportProblem() const;

    // The set of the ticked boxes, and the three options.
    int printSet() const;
    PrintOptions options() const;

    // "Listeaza": writes INVFOOT.TXT when its text was edited, then
    // TRANSPORT.TXT, then CodProdusPeFact (into the parameters and, unless
    // it already holds the value, TBXDEF.INI). False, after the error
    // message, when a text file could not be written: the dialog stays open
    // and nothing else was written. TBXDEF.INI that cannot be read or
    // written is reported and the parameter holds in memory.
    bool accept();

private:
    static int index(PrintChoice choice) { return int(choice); }
    void preselect(int printSet, bool storedComment);
    void writeCodProdusPeFact();

    common::Parameters& m_parameters;
    common::Dialogs& m_dialogs;
    QString m_directory;
    bool m_preprinted = false;

    std::array<bool, kPrintChoiceCount> m_checked{};
    bool m_includeCode = false;
    bool m_description = false;
    bool m_comment = false;
    bool m_explanation = false;

    InvoiceFooter m_footer;  // as read
    QString m_footerText;    // as shown
    TransportDetails m_transport;
    QString m_transportReadError;
};

} // namespace prints
