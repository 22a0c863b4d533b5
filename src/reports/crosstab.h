#pragma once
// The crosstab table: the rows of a source table turned into columns. Each
// distinct combination of the row-label fields becomes one row of the result
// table; each distinct value of the column-label field (with the required
// labels) becomes, for every value field, one column named value field +
// separator + label, holding the aggregate of that value field over the
// source rows of that row and label.
//
//   TCrossTab ct(privateDb);
//   ct.SourceTable = "ANSW_ST";
//   ct.RowLabelFields = "Cod_grupa;Cod_articol";
//   ct.ColLabelField = "Cod_gestiune";
//   ct.ValueFields = "Q";
//   ct.Operation = ctSum;
//   ct.Open();                      // writes CROSSTAB: Cod_grupa, Cod_articol, Q.01, Q.05, ...
//
// Text labels are kept sorted without regard to case and compared the same
// way: labels that differ only in case are one column, and their source rows
// are aggregated together into its cells (never one written over another).
// Number and date labels are kept in ascending order. Errors are ECrossTab.

#include "datastore/database.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <stdexcept>

namespace reports {

enum TCrossTabOperations { ctSum, ctCount, ctCountDistinct, ctAvg, ctMax, ctMin };

class ECrossTab : public std::runtime_error {
public:
    explicit ECrossTab(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

class TCrossTab {
public:
    // Source and result are tables of the same connection unless
    // `resultDb` names another one.
    explicit TCrossTab(datastore::Database& sourceDb, datastore::Database* resultDb = nullptr);

    QString SourceTable;
    QString RowLabelFields;  // "A;B"
    QString ColLabelField;
    QString ValueFields;     // "X;Y"
    TCrossTabOperations Operation = ctSum;
    QStringList RequiredColLabels;
    QString FieldSeparator = QStringLiteral(".");
    QString TableName = QStringLiteral("CROSSTAB");

    // The most columns a result table may have.
    static constexpr int kMaxColumns = 255;

    // Computes the result table, replacing the previous one.
    void Open();

    int ColLabelCount() const { return int(m_labels.size()); }
    // The label of column i (0-based, in column order) as text.
    QString ColLabel(int i) const;
    // The result column of a value field and a label.
    QString resultField(const QString& valueField, int labelIndex) const;

private:
    struct Label {
        QVariant value;
        QString text;
    };
    int labelIndexOf(const QVariant& value) const;
    void addLabel(const QVariant& value);

    datastore::Database& m_source;
    datastore::Database& m_result;
    bool m_textLabels = true;
    bool m_dateLabels = false;
    QList<Label> m_labels;
};

} // namespace reports
