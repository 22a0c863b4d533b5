#pragma once
// The product-type question of code generation ("Selectie"): raw material,
// semi-finished or finished product; the first is preselected.

#include "articlecode.h"

#include <QDialog>

class QRadioButton;
class QPushButton;

namespace catalogs {

class TTipProdDlgFrm : public QDialog {
    Q_OBJECT
public:
    explicit TTipProdDlgFrm(QWidget* parent = nullptr);
    ProductType productType() const;
    void setProductType(ProductType type);
    QPushButton* okButton() const { return m_ok; }

    // Asks and returns the chosen type (closing the box keeps the marked one).
    static ProductType ask(QWidget* parent);

private:
    QRadioButton* m_raw;
    QRadioButton* m_semi;
    QRadioButton* m_finished;
    QPushButton* m_ok;
};

} // namespace catalogs
