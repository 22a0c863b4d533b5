#pragma once
// Controls shared by the catalog windows: the side panel to the right of a
// catalog's list (the order combo "Or&dine de afisare:", the search box
// "&Cauta:" of at most 30 characters and, in the picker role, the buttons
// "OK" (default), "&Renunta" and the toggle "&Editeaza"), and the button row
// of the small choosing dialogs.

#include <QStringList>

class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace catalogs {

struct LookupSidePanel {
    QComboBox* order = nullptr;
    QLineEdit* search = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* edit = nullptr;
    QVBoxLayout* layout = nullptr; // not yet set on a widget
};

// The buttons are shown only in the picker role.
LookupSidePanel buildLookupSidePanel(QWidget* parent, const QStringList& orders, bool picker);

// A list with "OK" (default, accepts) and the cancel button under it, right
// aligned: the layout of the small choosing dialogs.
struct ListDialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
ListDialogButtons layOutListDialog(QDialog* dialog, QWidget* list, const QString& cancelText);

} // namespace catalogs
