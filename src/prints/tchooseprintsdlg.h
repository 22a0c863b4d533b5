#pragma once
// The window "Listeaza...": page "Tip factura" (the prints, their options
// and the invoice footer text) and page "Expeditie" (the dispatch details of
// the pre-printed invoice). Its rules are ChoosePrintsLogic; the dialog binds
// the controls.

#include "chooseprintslogic.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace prints {

class TChoosePrintsDlg : public QDialog {
    Q_OBJECT
public:
    TChoosePrintsDlg(const ChoosePrintsContext& context, int printSet, const PrintOptions& options,
                     QWidget* parent = nullptr);

    ChoosePrintsLogic& logic() { return m_logic; }

    QTabWidget* pages() const { return m_pages; }
    QCheckBox* printBox(PrintChoice choice) const { return m_boxes[std::size_t(choice)]; }
    QCheckBox* includeCodeBox() const { return m_includeCode; }
    QCheckBox* descriptionBox() const { return m_description; }
    QCheckBox* commentBox() const { return m_comment; }
    QLabel* commentNote() const { return m_commentNote; }
    QPlainTextEdit* footerEdit() const { return m_footer; }
    QCheckBox* explanationBox() const { return m_explanation; }
    QCheckBox* transportBox() const { return m_transportInclude; }
    QLineEdit* delegateEdit() const { return m_delegate; }
    QLineEdit* idSeriesEdit() const { return m_idSeries; }
    QLineEdit* idNumberEdit() const { return m_idNumber; }
    QLineEdit* vehicleEdit() const { return m_vehicle; }
    QLineEdit* dispatchDateEdit() const { return m_dispatchDate; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* cancelButton() const { return m_cancel; }

    // "Listeaza": closes the dialog when the logic has written its files.
    void printClicked();

private:
    void showState(); // every control from the logic
    void transportEdited();

    ChoosePrintsLogic m_logic;
    QTabWidget* m_pages = nullptr;
    std::array<QCheckBox*, kPrintChoiceCount> m_boxes{};
    QCheckBox* m_includeCode = nullptr;
    QCheckBox* m_description = nullptr;
    QCheckBox* m_comment = nullptr;
    QLabel* m_commentNote = nullptr;
    QPlainTextEdit* m_footer = nullptr;
    QCheckBox* m_explanation = nullptr;
    QCheckBox* m_transportInclude = nullptr;
    QLineEdit* m_delegate = nullptr;
    QLineEdit* m_idSeries = nullptr;
    QLineEdit* m_idNumber = nullptr;
    QLineEdit* m_vehicle = nullptr;
    QLineEdit* m_dispatchDate = nullptr;
    QLabel* m_transportProblem = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace prints
