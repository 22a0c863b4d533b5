#pragma once
// TDefaultDlg: the parameters dialog "Optiuni" ("Parametri aplicatiei").
// Its rules are DefaultDlgLogic; the window shows the logic's controls on
// its pages and hands the user's input back. Controls of parameters this
// edition does not offer exist but stay hidden, as do three pages without a
// caption: the journal document types, the access levels and the print
// layout buttons.
//
// Controls carry the parameter key as object name ("CLot", "CFurn",
// "Epsilon"), the pages their caption's letters ("pageDefaults", ...).

#include "defaultdlglogic.h"

#include "common/dialogs.h"

#include <QDialog>
#include <QHash>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace shell {

class TDefaultDlg : public QDialog {
    Q_OBJECT
public:
    enum Page { DefaultsPage, OptionsPage, VatPage, DocumentsPage, JournalsPage, AccessPage, LayoutsPage };

    TDefaultDlg(DefaultDlgLogic& logic, const QStringList& currencies, common::Dialogs& dialogs,
                QWidget* parent = nullptr);

    QTabWidget* pages() const { return m_pages; }
    QLineEdit* accountEdit(AccountEdit edit) const { return m_accounts.value(int(edit)); }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* exampleLabel() const { return m_example; }
    // The print layout buttons of the hidden page.
    QPushButton* invoiceLayoutButton() const { return m_invoiceLayout; }
    QPushButton* noteLayoutButton() const { return m_noteLayout; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildDefaultsPage();
    QWidget* buildOptionsPage(const QStringList& currencies);
    QWidget* buildVatPage();
    QWidget* buildDocumentsPage();
    QWidget* buildJournalsPage();
    QWidget* buildAccessPage();
    QWidget* buildLayoutsPage();

    QCheckBox* check(const char* key, const QString& caption, bool shown = true);
    QDoubleSpinBox* rateBox(const char* key);
    QDoubleSpinBox* numberBox(const char* key);

    void showControls();    // the logic's controls into the widgets
    void collectControls(); // the widgets into the logic's controls
    void showLiveValues();  // separator, example, tolerances, decimals
    void showPair();
    void checkLeftAccount(AccountEdit edit, QWidget* towards);

    DefaultDlgLogic& m_logic;
    common::Dialogs& m_dialogs;
    QTabWidget* m_pages = nullptr;
    QHash<int, QLineEdit*> m_accounts;
    QHash<int, QLabel*> m_accountLabels;
    QHash<QString, QCheckBox*> m_checks;
    QHash<QString, QDoubleSpinBox*> m_numbers;
    QHash<QString, QLineEdit*> m_texts;
    QComboBox* m_currency = nullptr;
    QComboBox* m_county = nullptr;
    QRadioButton* m_comma = nullptr;
    QRadioButton* m_period = nullptr;
    QLabel* m_example = nullptr;
    QRadioButton* m_fetchPrice = nullptr;
    QRadioButton* m_calcPrice = nullptr;
    QRadioButton* m_sameDiscount = nullptr;
    QRadioButton* m_discountGrid = nullptr;
    QLineEdit* m_epsilon = nullptr;
    QLineEdit* m_epsilon1 = nullptr;
    QLineEdit* m_decimalsLei = nullptr;
    QLineEdit* m_decimalsValuta = nullptr;
    QPushButton* m_invoiceLayout = nullptr;
    QPushButton* m_noteLayout = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_checkingAccount = false;
};

} // namespace shell
