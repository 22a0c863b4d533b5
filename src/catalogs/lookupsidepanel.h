#pragma once
// The controls to the right of a catalog's list, shared by every catalog
// window: the order combo "Or&dine de afisare:", the search box "&Cauta:"
// (at most 30 characters) and, in the picker role, the buttons "OK"
// (default), "&Renunta" and the toggle "&Editeaza".

#include <QStringList>

class QComboBox;
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

} // namespace catalogs
