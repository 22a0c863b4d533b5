#include "tqrinieditform.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace prints {

namespace {

bool sectionLess(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

// ---------------------------------------------------------------------------
// X1X

int LayoutSectionsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_sections.size());
}

QVariant LayoutSectionsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_sections.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_sections.at(index.row());
    return {};
}

QVariant LayoutSectionsModel::headerData(int, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("Section");
    return {};
}

void LayoutSectionsModel::setSections(QStringList sections)
{
    beginResetModel();
    m_sections = std::move(sections);
    endResetModel();
}

// ---------------------------------------------------------------------------
// X2X

int LayoutElementsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int LayoutElementsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LayoutElementsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() != NameColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const LayoutRow& r = m_rows.at(m_shown.at(index.row()));
    switch (index.column()) {
    case NameColumn: return r.Name;
    case LeftColumn: return r.XLeft;
    case TopColumn: return r.XTop;
    case WidthColumn: return r.XWidth;
    default: return {};
    }
}

bool LayoutElementsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() == NameColumn)
        return false;
    LayoutRow* r = shownRow(index.row());
    bool ok = false;
    const int v = value.toInt(&ok);
    if (!r || !ok)
        return false;
    switch (index.column()) {
    case LeftColumn: r->XLeft = v; break;
    case TopColumn: r->XTop = v; break;
    case WidthColumn: r->XWidth = v; break;
    default: return false;
    }
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags LayoutElementsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() != NameColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant LayoutElementsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn: return QStringLiteral("Denumire");
    case LeftColumn: return QStringLiteral("Pozitie stînga");
    case TopColumn: return QStringLiteral("Pozitie sus");
    case WidthColumn: return QStringLiteral("Latime");
    default: return {};
    }
}

void LayoutElementsModel::setRows(QList<LayoutRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_shown.clear();
    m_section.clear();
    endResetModel();
}

void LayoutElementsModel::showSection(const QString& section)
{
    beginResetModel();
    m_section = section;
    m_shown.clear();
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).Section == section)
            m_shown.append(int(i));
    endResetModel();
}

LayoutRow* LayoutElementsModel::shownRow(int row)
{
    if (row < 0 || row >= m_shown.size())
        return nullptr;
    return &m_rows[m_shown.at(row)];
}

// ---------------------------------------------------------------------------
// Logic

TQRIniEditLogic::TQRIniEditLogic(LayoutFile& file, reportengine::Report& report, common::Dialogs& dialogs)
    : m_file(file), m_report(report), m_dialogs(dialogs)
{
}

QString TQRIniEditLogic::caption() const
{
    return QStringLiteral("Editare ") + m_file.fileName();
}

bool TQRIniEditLogic::load()
{
    common::IniFile* ini = m_file.ini();
    if (!ini) {
        m_dialogs.error(QString::fromLatin1(kLayoutNotOpenMessage));
        return false;
    }
    QList<LayoutRow> rows;
    QStringList sections;
    for (reportengine::Element* e : m_report.elements()) {
        auto* layout = dynamic_cast<LayoutElement*>(e);
        if (!layout)
            continue;
        placeElement(*e, *layout, ini, m_report);
        LayoutRow row;
        row.Section = layout->IniSection;
        row.Name = e->name();
        // One row per section and name: a second element of the same name keeps the first row.
        const bool known = std::any_of(rows.cbegin(), rows.cend(), [&](const LayoutRow& r) {
            return r.Section == row.Section && r.Name == row.Name;
        });
        if (known)
            continue;
        row.LeftTopic = layout->leftKey(*e);
        row.TopTopic = layout->topKey(*e);
        row.WidthTopic = layout->widthKey(*e);
        row.XLeft = ini->readInteger(row.Section, row.LeftTopic, 0);
        row.XTop = ini->readInteger(row.Section, row.TopTopic, 0);
        row.XWidth = ini->readInteger(row.Section, row.WidthTopic, 0);
        rows.append(row);
        if (!sections.contains(row.Section))
            sections.append(row.Section);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const LayoutRow& a, const LayoutRow& b) {
        if (a.Section != b.Section)
            return sectionLess(a.Section, b.Section);
        return sectionLess(a.Name, b.Name);
    });
    std::stable_sort(sections.begin(), sections.end(), sectionLess);
    m_elements.setRows(rows);
    m_sections.setSections(sections);
    if (!sections.isEmpty())
        selectSection(0);

    const QString margins = QString::fromLatin1(kMarginsSection);
    m_page.top = ini->readInteger(margins, QString::fromLatin1(kMarginTopKey), 10);
    m_page.left = ini->readInteger(margins, QString::fromLatin1(kMarginLeftKey), 8);
    m_page.right = ini->readInteger(margins, QString::fromLatin1(kMarginRightKey), 8);
    m_page.bottom = ini->readInteger(margins, QString::fromLatin1(kMarginBottomKey), 10);
    m_page.headerHeight = ini->readInteger(QString::fromLatin1(kHeaderSection), QString::fromLatin1(kHeightKey), 95);
    m_page.footerHeight =
        ini->readInteger(QString::fromLatin1(kLayoutFooterSection), QString::fromLatin1(kHeightKey), 50);
    m_loadedRows = m_elements.allRows();
    m_loadedPage = m_page;
    return true;
}

void TQRIniEditLogic::selectSection(int row)
{
    m_elements.showSection(m_sections.sections().value(row));
}

void TQRIniEditLogic::save()
{
    common::IniFile* ini = m_file.ini();
    if (!ini)
        return;
    // A key the file lacks takes the value shown; a key it has changes only
    // when its value was edited.
    const auto write = [ini](const QString& section, const QString& key, int value, int loaded) {
        if (value != loaded || !ini->valueExists(section, key))
            ini->writeInteger(section, key, value);
    };
    // Rows are neither added nor removed: row i is the one loaded as row i.
    const QList<LayoutRow>& rows = m_elements.allRows();
    for (qsizetype i = 0; i < rows.size() && i < m_loadedRows.size(); ++i) {
        const LayoutRow& r = rows.at(i);
        const LayoutRow& loaded = m_loadedRows.at(i);
        write(r.Section, r.LeftTopic, r.XLeft, loaded.XLeft);
        write(r.Section, r.TopTopic, r.XTop, loaded.XTop);
        write(r.Section, r.WidthTopic, r.XWidth, loaded.XWidth);
    }
    const QString margins = QString::fromLatin1(kMarginsSection);
    const QString height = QString::fromLatin1(kHeightKey);
    write(margins, QString::fromLatin1(kMarginTopKey), m_page.top, m_loadedPage.top);
    write(margins, QString::fromLatin1(kMarginLeftKey), m_page.left, m_loadedPage.left);
    write(margins, QString::fromLatin1(kMarginRightKey), m_page.right, m_loadedPage.right);
    write(margins, QString::fromLatin1(kMarginBottomKey), m_page.bottom, m_loadedPage.bottom);
    write(QString::fromLatin1(kHeaderSection), height, m_page.headerHeight, m_loadedPage.headerHeight);
    write(QString::fromLatin1(kLayoutFooterSection), height, m_page.footerHeight, m_loadedPage.footerHeight);
}

// ---------------------------------------------------------------------------
// Window

namespace {

QSpinBox* millimetres(QWidget* parent, int value)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, 999);
    box->setValue(value);
    return box;
}

} // namespace

TQRIniEditForm::TQRIniEditForm(TQRIniEditLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic)
{
    setWindowTitle(logic.caption());

    auto* hint = new QLabel(QString::fromUtf8(kLayoutEditorHint), this);
    m_sectionList = new QListView(this);
    m_sectionList->setModel(&logic.sections());
    m_sectionList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sectionList->setMaximumWidth(200);
    m_elementTable = new QTableView(this);
    m_elementTable->setModel(&logic.elements());
    m_elementTable->horizontalHeader()->setSectionResizeMode(LayoutElementsModel::NameColumn, QHeaderView::Stretch);
    m_elementTable->verticalHeader()->setVisible(false);
    m_elementTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_elementTable->setEditTriggers(QAbstractItemView::AllEditTriggers);

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_sectionList);
    lists->addWidget(m_elementTable, 1);

    const LayoutPageValues& page = logic.page();
    auto* marginBox = new QGroupBox(QStringLiteral("Margini"), this);
    auto* mg = new QGridLayout(marginBox);
    m_top = millimetres(marginBox, page.top);
    m_left = millimetres(marginBox, page.left);
    m_right = millimetres(marginBox, page.right);
    m_bottom = millimetres(marginBox, page.bottom);
    mg->addWidget(new QLabel(QStringLiteral("Sus"), marginBox), 0, 0);
    mg->addWidget(m_top, 0, 1);
    mg->addWidget(new QLabel(QStringLiteral("Stanga"), marginBox), 0, 2);
    mg->addWidget(m_left, 0, 3);
    mg->addWidget(new QLabel(QStringLiteral("Dreapta"), marginBox), 1, 2);
    mg->addWidget(m_right, 1, 3);
    mg->addWidget(new QLabel(QStringLiteral("Jos"), marginBox), 1, 0);
    mg->addWidget(m_bottom, 1, 1);

    auto* headerBox = new QGroupBox(QStringLiteral("Antet + cap tabel"), this);
    auto* hg = new QHBoxLayout(headerBox);
    m_header = millimetres(headerBox, page.headerHeight);
    hg->addWidget(new QLabel(QStringLiteral("Inaltime"), headerBox));
    hg->addWidget(m_header);
    auto* footerBox = new QGroupBox(QStringLiteral("Baza Subsol"), this);
    auto* fg = new QHBoxLayout(footerBox);
    m_footer = millimetres(footerBox, page.footerHeight);
    fg->addWidget(new QLabel(QStringLiteral("Inaltime"), footerBox));
    fg->addWidget(m_footer);

    m_shown = {m_top->value(), m_left->value(), m_right->value(), m_bottom->value(), m_header->value(),
               m_footer->value()};

    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(marginBox);
    pageRow->addWidget(headerBox);
    pageRow->addWidget(footerBox);
    pageRow->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Salveaza"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Renunta"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(lists, 1);
    layout->addLayout(pageRow);
    layout->addWidget(buttons);

    connect(m_sectionList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { m_logic.selectSection(current.row()); });
    if (logic.sections().rowCount() > 0)
        m_sectionList->setCurrentIndex(logic.sections().index(0));
    resize(640, 460);
}

void TQRIniEditForm::accept()
{
    m_elementTable->setCurrentIndex(QModelIndex()); // a value still being typed is committed first
    LayoutPageValues& page = m_logic.page();
    const auto take = [](const QSpinBox* box, int shown, int& value) {
        if (box->value() != shown)
            value = box->value();
    };
    take(m_top, m_shown.top, page.top);
    take(m_left, m_shown.left, page.left);
    take(m_right, m_shown.right, page.right);
    take(m_bottom, m_shown.bottom, page.bottom);
    take(m_header, m_shown.headerHeight, page.headerHeight);
    take(m_footer, m_shown.footerHeight, page.footerHeight);
    m_logic.save();
    QDialog::accept();
}

bool EditLayoutFile(QWidget* owner, reportengine::Report& report, LayoutFile& file, common::Dialogs& dialogs)
{
    TQRIniEditLogic logic(file, report, dialogs);
    if (!logic.load())
        return false;
    TQRIniEditForm form(logic, owner);
    return form.exec() == QDialog::Accepted;
}

} // namespace prints
