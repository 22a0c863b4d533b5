#pragma once
// The two text files of the invoice that live next to TBXDEF.INI in the
// database directory:
//
// - INVFOOT.TXT, free text lines printed at the foot of an invoice when the
//   comment is chosen;
// - TRANSPORT.TXT, an INI file whose section Expeditie holds the dispatch
//   details printed on the pre-printed invoice: Include (boolean), Nume (the
//   delegate), SerieBI and NrBI (identity card series and number),
//   MijlocTransport (vehicle number) and DataTransport (date of dispatch, as
//   typed). While Include is false the other keys are neither read nor
//   written: what the file holds under them stays as it is and counts as
//   empty.
//
// Text is read as the INI files are: each line on its own, UTF-8 where its
// bytes are valid UTF-8, the Central European code page (windows-1250)
// otherwise, a byte-order mark dropped. What is written is UTF-8. Only a
// regular file of at most kMaxInvoiceTextFileSize bytes is read; a file that
// could not be read is never written over. Every write replaces the file in
// one step (the old one stays whole when the write fails).

#include <QString>

namespace prints {

inline constexpr const char* kInvoiceFooterFileName = "INVFOOT.TXT";
inline constexpr const char* kTransportFileName = "TRANSPORT.TXT";
inline constexpr const char* kTransportSection = "Expeditie";
inline constexpr qint64 kMaxInvoiceTextFileSize = 1024 * 1024;

// `directory` with the file name appended (a '/' is added when missing).
QString invoiceFilePath(const QString& directory, const char* fileName);

// The invoice footer: the text, its lines separated by "\n" (a line end after
// the last line is kept as a final "\n").
struct InvoiceFooter {
    QString text;
    QByteArray lineEnd = "\r\n"; // the file's first line end, used when it is written back
    QString readError;           // why the file could not be read; empty when it was read or is missing
    bool isReadable() const { return readError.isEmpty(); }
};

// Reads INVFOOT.TXT of `directory`; a missing file is an empty text.
InvoiceFooter ReadInvoiceFooter(const QString& directory);
// Writes `text` to INVFOOT.TXT of `directory`, each "\n" as `lineEnd`.
// False when the file could not be written (it is then as it was).
bool WriteInvoiceFooter(const QString& directory, const QString& text, const QByteArray& lineEnd = "\r\n");

// The dispatch details of section Expeditie.
struct TransportDetails {
    bool include = false; // Include
    QString name;         // Nume
    QString idSeries;     // SerieBI
    QString idNumber;     // NrBI
    QString vehicle;      // MijlocTransport
    QString date;         // DataTransport
    bool operator==(const TransportDetails&) const = default;
};

struct TransportFile {
    TransportDetails details;
    QString readError; // why the file could not be read; empty when it was read or is missing
    bool isReadable() const { return readError.isEmpty(); }
};

// Reads TRANSPORT.TXT of `directory`: Include, and the five values only when
// it is true. A missing file gives no details.
TransportFile ReadTransport(const QString& directory);
// Writes Include and, when it is true, the five values (line breaks become
// blanks, blanks around a value are dropped, as the file could not give them
// back). The rest of the file stays as it is; the file is rewritten only when
// its content changes. False when the file could not be read or written (it
// is then as it was).
bool WriteTransport(const QString& directory, const TransportDetails& details);

} // namespace prints
