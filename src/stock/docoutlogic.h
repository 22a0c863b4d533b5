#pragma once
// TDocOutFormLogic: the rules of the output documents window ("Documente de
// iesire"): consumption notes, delivery notes, transfer and hand-over notes,
// scrapping lists, the consumption side of canteen daily lists, invoices. A
// document is a header (Doc_out.DB) and its lines (Item_out.DB); every line
// takes its quantity from one stock row the moment it is written and gives it
// back when it is changed or deleted. Lines are never typed: warehouse,
// article, acquisition price, lot and budget come from a row of the current
// stock chosen in the stock picker.
//
// One change of a line is one unit of work (the line, its stock rows, the
// extra lines of a split over prices). Deleting a document is one unit of
// work: every line gives its quantity back, then the lines and the collection
// rows go; one refused reversal leaves it all. The counter of a deleted
// document goes back only when no fiscal series number (invoice, delivery
// note, receipt) was bound to it: a gap in counters is harmless, one printed
// number on two documents is not.
//
// Headless: the window (TDocOutForm) implements DocOutView for the pickers,
// the prints and the cursor; tests drive the logic through a scripted view.

#include "docsearch.h"
#include "documentwindow.h"
#include "ledger.h"
#include "lineposting.h"
#include "outputpricing.h"
#include "stockpick.h"
#include "transfer.h"

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/dataset.h"
#include "prints/chooseprints.h"

#include <QDate>
#include <QHash>
#include <optional>

namespace stock {

// What the header shows in its "Client" place, by the document's type.
enum class ClientControls {
    Hidden,             // most types
    Warehouse,          // "BT": the receiving warehouse code with its name beside it
    ReceivingWarehouse, // "BMC" with CGetPret: "Gestiune primitoare:" chosen by name
};

// One print of an output document, handed to the window (the prints fill it).
enum class OutputPrint {
    Invoice,
    InvoiceWithReceipt,
    PreprintedInvoice,
    HandOverNote,     // "NPR" and "BT"
    DeliveryNote,
    PreprintedDeliveryNote,
    ConsumptionNote,  // "BMC"
    DailyListNote,    // "BLZ"
    Scrapping,        // "CSR"
};

struct OutputPrintJob {
    OutputPrint kind = OutputPrint::Invoice;
    double contor = 0;
    QString seriesNumber;   // invoices and delivery notes: series and number, "%s %-12.0f"
    double receiptNumber = 0; // the invoice with receipt
    QDate registrationDate;
    QString explanation;
    QString warehouseName;  // hand-over note: the warehouse in Client
    QString beneficiary;    // consumption note: the beneficiary's name
    prints::PrintOptions options;
};

class DocOutView : public DocumentView {
public:
    // Pickers: false (or nothing) when cancelled.
    virtual bool pickStockLine(StockLinePick& pick) { Q_UNUSED(pick); return false; }
    virtual std::optional<double> pickPurchasePrice(const QString& warehouse, const QString& group,
                                                    const QString& article)
    {
        Q_UNUSED(warehouse); Q_UNUSED(group); Q_UNUSED(article);
        return std::nullopt;
    }
    virtual bool pickWarehouse(QString& code) { Q_UNUSED(code); return false; }
    // Printing: the choice of prints, the print setup of one print, on its
    // own settings (false when cancelled), and the print itself.
    virtual bool choosePrints(int& printSet, prints::PrintOptions& options)
    {
        Q_UNUSED(printSet); Q_UNUSED(options);
        return false;
    }
    virtual bool printSetup(const OutputPrintJob& job) { Q_UNUSED(job); return false; }
    virtual void printDocument(const OutputPrintJob& job) { Q_UNUSED(job); }
    // "T&ransfer": the receiving warehouse and the state of inventory objects
    // (the transfer dialog); false when cancelled.
    virtual bool askTransfer(TransferOptions& options) { Q_UNUSED(options); return false; }
    // "Aplica &discount": the percentage (in-out); false when cancelled.
    virtual bool askDiscount(double& percent) { Q_UNUSED(percent); return false; }
    // The window closes itself (after an error it cannot work on with).
    virtual void closeWindow() {}
    // The cursor and the parts of the window that follow the document.
    virtual void showClientControls(ClientControls controls) { Q_UNUSED(controls); }
    // The sale price column (Pret_vinzare).
    virtual void showSalePrice(bool shown) { Q_UNUSED(shown); }
};

class TDocOutFormLogic : public DocumentWindowLogic, private PostingWindow {
public:
    TDocOutFormLogic(datastore::Database& db, const common::Parameters& parameters, const common::Formats& formats,
                     common::Dialogs& dialogs, DocOutView& view, QString userInitials = {});
    ~TDocOutFormLogic() override;

    // Removes the lines of quantity 0, opens the tables on the last document
    // (an empty list starts a new one). False, after the access error, when
    // they cannot be opened.
    bool open(const QDate& today = QDate::currentDate());

    // --- the document ---------------------------------------------------------
    void showTotals();       // "&Total"
    void ApplyDocumentDiscount(); // "Aplica &discount"
    void print();            // "&Listeaza"
    // "T&ransfer": the document and its current line are written, then the
    // input document of the transfer is generated into the warehouse the
    // dialog chooses (TransferDocument); a document transferred before asks
    // first (default No). The window then shows the document as written, on
    // the line that was current.
    void transfer();
    void refreshTick() override;
    QString title() const override;
    // Ctrl-Enter in the "Client" field of a transfer.
    void pickClient();

    // The amount paid when the document was issued (Clnpay.DB Suma); null when
    // none is recorded.
    QVariant paidAmount() const;
    // Records the amount paid; a negative or non-numeric amount is refused
    // with a message and nothing is written. False when refused.
    bool setPaidAmount(const QVariant& amount);

    // --- the lines --------------------------------------------------------------
    // Ctrl-Enter / double click in a column of the line grid.
    void pickInColumn(const QString& field);
    void cancelLine();     // the line pop-up's "Anuleaza"

    // --- state ------------------------------------------------------------------
    ClientControls clientControls() const;
    // The sale price is typed (shown and editable) unless it is calculated
    // from the mark-up; a fiscal invoice shows it in every case, since it
    // prints it.
    bool salePriceTyped() const;
    bool salePriceShown() const;
    const prints::PrintOptions& printOptions() const { return m_printOptions; }
    // The window's look-ups for its pick lists.
    QStringList beneficiaryNames() const;
    QVariant beneficiaryCodeOf(const QString& name) const;
    QString warehouseName(const QString& code) const;

    // The status-line hint of a line column and of a header field.
    static QString columnHint(const QString& field);
    static QString headerHint(const QString& field);

    datastore::Database& database() const { return m_db; }
    const common::Parameters& parameters() const { return m_parameters; }
    const common::Formats& formats() const { return m_formats; }
    common::Dialogs& dialogs() const { return m_dialogs; }
    Ledger& ledger() { return m_ledger; }

    datastore::Dataset docs;  // Doc_out.DB, Contor >= 1
    datastore::Dataset items; // Item_out.DB, the lines of the current document

    // Messages.
    static const QString kMissingType;
    static const QString kMissingDates;
    static const QString kDateAfterRegistration;
    static const QString kDueBeforeDate;
    static const QString kPaidAboveTotal;
    static const QString kPaidInvalid;
    static const QString kIncompleteLine;
    static const QString kWarehouseNotInCatalog;
    static const QString kNoStock;
    static const QString kNoStockAtPrice;
    static const QString kReturns;
    static const QString kTotals;
    static const QString kMarkPaid;
    static const QString kNoSalePrice;
    static const QString kNegativeSalePrice;
    static const QString kDiscountWithoutLines;
    static const QString kGridAccessError;
    static const QString kDiscountHint;
    static const QString kComputing;
    static const QString kDiscountDone;
    static const QString kTransferHint;     // the button's hint
    static const QString kTransferMenuHint; // the menu item's hint

private:
    // header
    void DocsNewRecord();
    void DocsBeforePost();
    void DocsBeforeWrite();
    void DocsAfterPost();
    void DocsWhileDeleting();
    void RegistrationDateChange();
    void ClientValidate();
    void TipChange();
    // lines
    void ItemsNewRecord();
    void ItemsBeforePost();
    void ItemsAfterPost();
    void ItemsCalcFields();
    void ArticleValidate();
    void ArticleChange();
    void PriceValidate();
    void AcquisitionPriceChange();
    void BudgetChange();
    // The pricing of the current line.
    void ComputeSalePrice();
    void ApplyGridDiscount();
    void ComputeLineTaxes();
    void ComputeCurrencyPrice();
    void SalePriceValidate();
    void setSalePrice(double price);
    // The pricing of a line of a price split, written by the ledger:
    // `newPrice` when it continues at another acquisition price, otherwise
    // only its quantity was cut.
    void priceSplitLine(QVariantHash& values, bool newPrice);
    void prepareSplitLine(QVariantHash& values) override;
    void splitLineCut(QVariantHash& values) override;

    void focusQuantityColumn() override;
    void showPendingMessages();
    void updateTypeDependent();
    QString documentType() const;
    struct Totals {
        double acquisition = 0; // Σ acquisition values
        double value = 0;       // the value the document prints: the sale value of a fiscal invoice
        double vat = 0;
        double foreign = 0;     // Σ Pret_vz_echiv_USD × Cantitate
        double document = 0;    // value + VAT
    };
    Totals documentTotals() const;
    // Before an invoice is printed: lines without a sale price are asked about.
    bool confirmSalePrices();
    bool hasSeriesNumber(const QVariant& contor) const;
    void writePaidAmount(double amount); // one unit of work
    struct Accounts {
        bool found = false;
        QString name, unit;
        QString goods, expense, vatOut, excise, markup, revenue;
        double vatRate = 0; // Coef_TVA
    };
    Accounts article(const QString& group, const QString& code) const;
    void printJob(const OutputPrintJob& job);

    datastore::Database& m_db;
    const common::Parameters& m_parameters;
    const common::Formats& m_formats;
    DocOutView& m_view;
    QString m_userInitials;
    Ledger m_ledger;
    OutputPricing m_pricing;
    std::unique_ptr<LinePosting> m_posting;

    QString m_defaultWarehouse;
    bool m_pickerFilling = false;
    bool m_computingSalePrice = false;
    prints::PrintOptions m_printOptions;
    mutable QHash<QString, Accounts> m_articles;
};

// The hook of the add-on layer, called when the window is created, with the
// window and its header and line tables. Empty in this edition.
void AttachDocOutMenus(QObject* window, datastore::Dataset& header, datastore::Dataset& lines);

} // namespace stock
