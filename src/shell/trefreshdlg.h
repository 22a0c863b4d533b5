#pragma once
// TRefreshDlg: "Interval de actualizare", the seconds between two refresh
// ticks of the main window. Its rules are RefreshDlgLogic.

#include "refreshdlglogic.h"

#include "common/dialogs.h"

#include <QDialog>

class QPushButton;
class QSpinBox;

namespace shell {

class TRefreshDlg : public QDialog {
    Q_OBJECT
public:
    TRefreshDlg(RefreshDlgLogic& logic, common::Dialogs& dialogs, QWidget* parent = nullptr);

    QSpinBox* secondsBox() const { return m_seconds; }
    QPushButton* okButton() const { return m_ok; }

    void accept() override;

private:
    RefreshDlgLogic& m_logic;
    common::Dialogs& m_dialogs;
    QSpinBox* m_seconds = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace shell
