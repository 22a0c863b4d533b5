#pragma once
// The discount dialog ("Discount"): one signed percentage applied to every
// price of a document. A positive value raises a price, a negative one
// lowers it: the price is multiplied by (percentage / 100 + 1). The field
// takes at most four characters; "Aplica" refuses a value of -100 or less
// (the price would not stay above zero) and leaves the dialog open on the
// field. The rule lives in DiscountDlgLogic; TDiscountDlg binds the field.

#include "common/dialogs.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace catalogs {

inline constexpr const char* kDiscountCaption = "Discount";
inline constexpr const char* kDiscountPrompt =
    "Specificati discount-ul procentual cu care se reduce pretul (valoare negativa) sau se mareste (valoare pozitiva):";
inline constexpr const char* kDiscountTooLow = "Reducerea nu poate fi mai mica de 100%!";
inline constexpr int kDiscountMaxLength = 4;

// A price changed by a signed percentage.
double applyDiscount(double price, double percent);

class DiscountDlgLogic {
public:
    DiscountDlgLogic(common::Dialogs& dialogs, double percent);

    QString text; // the field as typed; opens with the value passed in

    // "Aplica": reads the field. False after the message (not a number, or
    // -100 or less): the dialog stays open on the field.
    bool accept();
    double percent() const { return m_percent; } // the value passed in, or the one accepted

    // The text the field opens with: the value in at most four characters.
    static QString fieldText(double percent);

private:
    common::Dialogs& m_dialogs;
    double m_percent;
};

class TDiscountDlg : public QDialog {
    Q_OBJECT
public:
    TDiscountDlg(DiscountDlgLogic& logic, QWidget* parent = nullptr);

    QLineEdit* percentEdit() const { return m_edit; }
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* cancelButton() const { return m_cancel; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    DiscountDlgLogic& m_logic;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};

// In/out: the field opens with `percent`; true with the value typed on
// "Aplica", false with `percent` unchanged on "&Renunta" or closing.
bool AskDiscount(QWidget* owner, double& percent);

} // namespace catalogs
