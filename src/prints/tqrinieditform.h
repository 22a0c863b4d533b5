#pragma once
// The layout editor (`EditLayoutFile`, window `TQRIniEditForm`): the positions
// of a report's layout elements, grouped by section, and the page settings
// of the layout file, edited in millimetres and written back on "&Salveaza".
//
// Its lists are two tables kept in memory for the session: `X1X` (the
// distinct sections, in order) and `X2X` (one row per section and element
// name: the three key names and values), shown as the rows of the section
// selected in `X1X`. Rows cannot be deleted. TQRIniEditLogic holds the rules;
// TQRIniEditForm binds the controls.

#include "layoutfile.h"

#include "common/dialogs.h"
#include "reportengine/reportengine.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <QString>

class QListView;
class QSpinBox;
class QTableView;

namespace prints {

inline constexpr const char* kLayoutNotOpenMessage = "IniFile must be initialised!";
inline constexpr const char* kLayoutEditorHint =
    "  Selectati un grup, apoi modificati pozitionarea în mm în tabelul de mai jos.";
inline constexpr const char* kLayoutFooterSection = "Baza Subsol";

// A row of X2X.
struct LayoutRow {
    QString Section;
    QString Name;
    QString LeftTopic;
    QString TopTopic;
    QString WidthTopic;
    int XLeft = 0;
    int XTop = 0;
    int XWidth = 0;
};

// X1X: the distinct sections, in order.
class LayoutSectionsModel : public QAbstractListModel {
    Q_OBJECT
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    const QStringList& sections() const { return m_sections; }
    void setSections(QStringList sections);

private:
    QStringList m_sections;
};

// X2X, showing the rows of one section: "Denumire" (read-only), "Pozitie
// stînga", "Pozitie sus", "Latime".
class LayoutElementsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, LeftColumn, TopColumn, WidthColumn, ColumnCount };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<LayoutRow>& allRows() const { return m_rows; }
    void setRows(QList<LayoutRow> rows); // ordered by section and name
    void showSection(const QString& section);
    const QString& shownSection() const { return m_section; }
    LayoutRow* shownRow(int row); // null when out of range

private:
    QList<LayoutRow> m_rows;
    QList<int> m_shown; // indexes into m_rows
    QString m_section;
};

// The page settings edited below the lists.
struct LayoutPageValues {
    int top = 10;
    int left = 8;
    int right = 8;
    int bottom = 10;
    int headerHeight = 95; // "Antet + cap tabel"
    int footerHeight = 50; // "Baza Subsol"
};

class TQRIniEditLogic {
public:
    TQRIniEditLogic(LayoutFile& file, reportengine::Report& report, common::Dialogs& dialogs);

    // Places every layout element of the report (writing the keys the file
    // lacks) and fills the lists and the page values. False, after the error
    // "IniFile must be initialised!", when no layout file is open.
    bool load();
    QString caption() const; // "Editare " and the file name

    LayoutSectionsModel& sections() { return m_sections; }
    LayoutElementsModel& elements() { return m_elements; }
    void selectSection(int row);
    LayoutPageValues& page() { return m_page; }

    // Writes the values that differ from those loaded, and those the file
    // lacks: the three values of a row, the margins and both heights. A value
    // left as it was is not written, so the file keeps what the editor
    // cannot show (a position with a fraction, a text that is no number, a
    // value outside the boxes).
    void save();

private:
    LayoutFile& m_file;
    reportengine::Report& m_report;
    common::Dialogs& m_dialogs;
    LayoutSectionsModel m_sections;
    LayoutElementsModel m_elements;
    LayoutPageValues m_page;
    QList<LayoutRow> m_loadedRows; // as load() left them, in the order of the rows
    LayoutPageValues m_loadedPage;
};

class TQRIniEditForm : public QDialog {
    Q_OBJECT
public:
    TQRIniEditForm(TQRIniEditLogic& logic, QWidget* parent = nullptr);

    QListView* sectionList() const { return m_sectionList; }
    QTableView* elementTable() const { return m_elementTable; }
    QSpinBox* topBox() const { return m_top; }
    QSpinBox* leftBox() const { return m_left; }
    QSpinBox* rightBox() const { return m_right; }
    QSpinBox* bottomBox() const { return m_bottom; }
    QSpinBox* headerHeightBox() const { return m_header; }
    QSpinBox* footerHeightBox() const { return m_footer; }

    void accept() override; // "&Salveaza": page values back into the logic, then saved

private:
    TQRIniEditLogic& m_logic;
    QListView* m_sectionList = nullptr;
    QTableView* m_elementTable = nullptr;
    QSpinBox* m_top = nullptr;
    QSpinBox* m_left = nullptr;
    QSpinBox* m_right = nullptr;
    QSpinBox* m_bottom = nullptr;
    QSpinBox* m_header = nullptr;
    QSpinBox* m_footer = nullptr;
    // What the boxes showed at first: a box the user did not change leaves
    // its page value as loaded, even when the box could not show it.
    LayoutPageValues m_shown;
};

// The layout editor over a report built from layout elements; true when saved.
bool EditLayoutFile(QWidget* owner, reportengine::Report& report, LayoutFile& file, common::Dialogs& dialogs);

} // namespace prints
