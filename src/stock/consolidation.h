#pragma once
// Consolidation of delivery notes into one invoice. The delivery notes
// ("AE") of one partner (inputs: a supplier; outputs: a budget) chosen in a
// period are marked, then merged: the notes and their lines go to the history
// tables (Av_in.DB / Avit_in.DB, Av_out.DB / Avit_out.DB, with the counter of
// the invoice that took them), and one new document "FCT", dated today,
// "Consolidare avize", takes all their lines, numbered 0, 1, 2, ... with their
// VAT computed again from the catalog rate as the document windows compute
// it (an input line on its price without VAT when one was typed, see
// inputvat.h; an output line on its sale value, see outputpricing.h). The
// stock does not move: the same lines, with the same keys and quantities,
// change documents; the serial numbers (Serie.DB) of an input line move with
// it to the invoice's counter and line number, and its flag Serii stays set.
//
// The marked notes and their lines pass through the working tables Answ and
// ItAnsw of the private directory (the connection "TBX_PRIV", which the
// database connection has attached): made empty first, filled inside the
// write, dropped at the end. The whole consolidation is one unit of work: the
// counter, the working tables' rows, the history, the deletions, the invoice,
// its lines and their serial numbers are written together or not at all.
//
// Headless: the dialogs TConsInDlg / TConsOutDlg bind their controls to
// ConsolidationLogic and talk to the user through common::Dialogs.

#include "common/dialogs.h"
#include "common/parameters.h"
#include "datastore/database.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>
#include <set>

namespace stock {

enum class NoteSide { Input, Output };

class ConsolidationLogic {
public:
    struct Partner {
        QString code, name;
    };
    // One listed delivery note.
    struct Note {
        double contor = 0;
        QString type;
        double number = 0;
        QDate date;
        QString explanation;
    };

    // `privateDb`: the private directory ("TBX_PRIV"), attached to `db`
    // under that name; the working tables are made there.
    ConsolidationLogic(datastore::Database& db, datastore::Database& privateDb, const common::Parameters& parameters,
                       common::Dialogs& dialogs, NoteSide side);

    NoteSide side() const { return m_side; }
    QString caption() const; // "Consolidare factura (documente de intrare)" / "... de iesire)"

    // The suppliers (Furn.DB by Nume_furnizor) or the budgets (Client.DB by
    // Nume_client). False, after the error box, when they cannot be read.
    bool readPartners();
    const QList<Partner>& partners() const { return m_partners; }

    // "Selecteaza": the delivery notes of `partner` dated from `from` to `to`.
    // False when there is nothing to list: dates in the wrong order (a beep),
    // no note (information beep and the message), a database error (the box).
    // A new selection drops the marks.
    bool select(const QString& partner, const QDate& from, const QDate& to);
    const QList<Note>& notes() const { return m_notes; }
    QString selectedPartner() const { return m_partner; }

    // Marking: a double click or Space on a note toggles its mark.
    void toggleMark(int row);
    bool isMarked(int row) const;
    const std::set<double>& marked() const { return m_marked; }

    // "Consolideaza": the marked notes merged into one "FCT" document dated
    // `today`; its counter, or nothing after the error box (nothing written).
    // A unit of work of its own: never called inside one open on `db` (its
    // write lock would hold the private file the working tables are made in).
    // With no note marked an empty invoice is made. A marked note that is no
    // longer a delivery note of the partner (another workstation consolidated,
    // changed or deleted it since the list was read) stops it with a warning:
    // nothing is written and selectionChanged() is true (the list is to be
    // read again).
    std::optional<double> consolidate(const QDate& today = QDate::currentDate());
    bool selectionChanged() const { return m_selectionChanged; }

    // Texts.
    static const QString kPrompt;
    static const QString kMarkPrompt;
    static const QString kWorking;
    static const QString kConsolidationError;
    static const QString kSelectionChanged;
    QString noNotesMessage() const;
    QString accessErrorMessage() const;

private:
    void makeWorkingTables();
    void fillWorkingTables(double invoice);
    void writeHistory();
    void removeNotes();
    void writeInvoice(double invoice, const QDate& today);
    double lineVat(const QVariantHash& line, double rate) const;
    void dropWorkingTables();

    datastore::Database& m_db;
    datastore::Database& m_privateDb;
    const common::Parameters& m_parameters;
    common::Dialogs& m_dialogs;
    NoteSide m_side;
    QList<Partner> m_partners;
    QList<Note> m_notes;
    QString m_partner;
    std::set<double> m_marked;
    bool m_selectionChanged = false;
};

} // namespace stock
