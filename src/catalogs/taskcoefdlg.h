#pragma once
// The price-index question ("Indexare de preturi"): the percentage by which
// the sale prices of a group change, typed in the form "0.00%".

#include "common/dialogs.h"
#include "common/formats.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace catalogs {

// A percentage as typed: "10", "10,5", "-100,00%", " 2.5 % "; nullopt when it is no number.
std::optional<double> parsePercent(const QString& text, const common::Formats& formats);

class TAskCoefDlg : public QDialog {
    Q_OBJECT
public:
    TAskCoefDlg(const QString& prompt, const common::Formats& formats, common::Dialogs& dialogs,
                QWidget* parent = nullptr);
    QLineEdit* valueEdit() const { return m_value; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    std::optional<double> percent() const; // the value typed

    // Asks; nullopt for "&Renunta".
    static std::optional<double> ask(QWidget* parent, const QString& prompt, const common::Formats& formats,
                                     common::Dialogs& dialogs);

    void accept() override; // a text that is no number is refused with a warning

private:
    const common::Formats& m_formats;
    common::Dialogs& m_dialogs;
    QLabel* m_prompt;
    QLineEdit* m_value;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace catalogs
