#pragma once
// The search dialog of the document windows, TSrchDlg "Cauta...": one radio
// button per criterion ("&Numar document:", "&Articol:", "&Explicatie:",
// "&Pret achizitie:", and "Numar serie" when serial numbers are offered),
// only the edit of the chosen criterion shown, "&Start" and "&Renunta".
// Its rules are SrchDlgLogic; the widget only binds the controls.

#include "docsearch.h"

#include "common/dialogs.h"
#include "common/formats.h"

#include <QDialog>
#include <QString>
#include <array>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace stock {

class SrchDlgLogic {
public:
    static constexpr int kNumberDigits = 9;

    SrchDlgLogic(common::Dialogs& dialogs, const common::Formats& formats, const SearchState& state,
                 bool offerSerial);

    bool offersSerial() const { return m_offerSerial; }

    // The dialog's fields: the chosen criterion and the text of each edit.
    SearchCriterion criterion = SearchCriterion::Number;
    QString numberText;
    QString articleText;
    QString explanationText;
    QString priceText;
    QString serialText;
    QString& text(SearchCriterion c);

    // Whether a typed character may go into the edit of `c`: the number and
    // price edits take only what a number is written with; a refused key
    // beeps.
    bool acceptKey(SearchCriterion c, QChar ch);

    // "&Start": the chosen criterion's value read; a number, price or serial
    // that is not a number is refused with "Valoare numerica incorecta!".
    // On success the criterion and its value are written into `state` and the
    // search starts again from the beginning (lastFound = -1).
    bool start(SearchState& state);

private:
    common::Dialogs& m_dialogs;
    const common::Formats& m_formats;
    bool m_offerSerial;
};

class TSrchDlg : public QDialog {
    Q_OBJECT
public:
    // "&Start" writes into `state`.
    TSrchDlg(SrchDlgLogic& logic, SearchState& state, QWidget* parent = nullptr);

    QRadioButton* radio(SearchCriterion c) const { return m_radios[index(c)]; }
    QLineEdit* edit(SearchCriterion c) const { return m_edits[index(c)]; }
    QPushButton* startButton() const { return m_start; }

    void choose(SearchCriterion c); // checks its radio button and shows its edit
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int index(SearchCriterion c) { return static_cast<int>(c) - 1; }
    SrchDlgLogic& m_logic;
    SearchState& m_state;
    std::array<QRadioButton*, 5> m_radios{};
    std::array<QLineEdit*, 5> m_edits{};
    QPushButton* m_start = nullptr;
};

// Asks for the criterion of a new search; true when "&Start" confirmed it.
// Pre-fills from state (number as a whole number of up to 9 digits, price
// with 2 decimals, serial as a plain number); on "&Start" writes the chosen
// criterion and its value back into state and sets state.lastFound = -1.
bool AskSearchCriterion(QWidget* owner, common::Dialogs& dialogs, SearchState& state, bool offerSerial);
// The same with the regional formats of the application.
bool AskSearchCriterion(QWidget* owner, common::Dialogs& dialogs, const common::Formats& formats,
                        SearchState& state, bool offerSerial);

} // namespace stock
