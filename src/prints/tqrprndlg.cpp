#include "tqrprndlg.h"

#include "reportengine/reportengine.h"
#include "reportengine/reportpreview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <memory>
#include <vector>

namespace prints {

namespace {

QSpinBox* spinBox(int low, int high, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setAlignment(Qt::AlignRight);
    return box;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TQRPrnDlg::TQRPrnDlg(PrintSettings& settings, Printers& printers, common::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_logic(settings, printers, dialogs)
{
    setWindowTitle(QStringLiteral("Setari pentru listarea rapoarte"));
    m_caption = new QLabel(this);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    m_caption->hide();
    m_pages = new QTabWidget(this);

    // Page "Listare ".
    auto* listing = new QWidget(m_pages);
    m_all = new QRadioButton(QStringLiteral("&Listeaza tot"), listing);
    m_partial = new QRadioButton(QStringLiteral("Listeaza &partial"), listing);
    auto* range = new QButtonGroup(listing);
    range->addButton(m_all);
    range->addButton(m_partial);
    m_first = spinBox(1, kMaxPage, listing);
    m_last = spinBox(1, kMaxPage, listing);
    m_firstLabel = buddyLabel(QStringLiteral("&Prima pagina:"), m_first, listing);
    m_lastLabel = buddyLabel(QStringLiteral("Ultima p&agina:"), m_last, listing);
    m_copies = spinBox(1, kMaxCopies, listing);
    m_preview = new QCheckBox(QStringLiteral("&Afisare pe ecran"), listing);
    m_printer = new QComboBox(listing);
    m_printer->addItems(m_logic.printerNames());
    m_printer->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_font = new QLabel(listing);
    m_font->setFrameShape(QFrame::StyledPanel);
    m_font->setFrameShadow(QFrame::Sunken);

    auto* pagesGrid = new QGridLayout;
    pagesGrid->addWidget(m_all, 0, 0, 1, 3);
    pagesGrid->addWidget(m_partial, 1, 0, 1, 3);
    pagesGrid->addWidget(m_firstLabel, 2, 1);
    pagesGrid->addWidget(m_first, 2, 2);
    pagesGrid->addWidget(m_lastLabel, 3, 1);
    pagesGrid->addWidget(m_last, 3, 2);
    pagesGrid->setColumnMinimumWidth(0, 16);
    pagesGrid->setColumnStretch(3, 1);

    auto* listingGrid = new QGridLayout(listing);
    listingGrid->addLayout(pagesGrid, 0, 0, 1, 3);
    listingGrid->setRowMinimumHeight(1, 8);
    listingGrid->addWidget(buddyLabel(QStringLiteral("&Exemplare:"), m_copies, listing), 2, 0);
    listingGrid->addWidget(m_copies, 2, 1);
    listingGrid->addWidget(m_preview, 3, 0, 1, 3);
    listingGrid->addWidget(buddyLabel(QStringLiteral("Imprimanta:"), m_printer, listing), 4, 0);
    listingGrid->addWidget(m_printer, 4, 1, 1, 2);
    listingGrid->addWidget(new QLabel(QStringLiteral("Font:"), listing), 5, 0);
    listingGrid->addWidget(m_font, 5, 1, 1, 2);
    listingGrid->setColumnStretch(2, 1);
    listingGrid->setRowStretch(6, 1);
    m_pages->addTab(listing, QStringLiteral("Listare "));

    // Page "Pagina".
    m_pagePage = new QWidget(m_pages);
    auto* marginsBox = new QGroupBox(QStringLiteral("Margini de pagina"), m_pagePage);
    m_top = spinBox(0, 0, marginsBox);
    m_bottom = spinBox(0, 0, marginsBox);
    m_left = spinBox(0, 0, marginsBox);
    m_right = spinBox(0, 0, marginsBox);
    auto* marginsGrid = new QGridLayout(marginsBox);
    const struct {
        const char* caption;
        QSpinBox* box;
        int row;
        int column;
    } margins[] = {
        {"Sus:", m_top, 0, 0},
        {"Jos:", m_bottom, 1, 0},
        {"Stînga:", m_left, 0, 3},
        {"Dreapta:", m_right, 1, 3},
    };
    for (const auto& m : margins) {
        marginsGrid->addWidget(buddyLabel(QString::fromUtf8(m.caption), m.box, marginsBox), m.row, m.column);
        marginsGrid->addWidget(m.box, m.row, m.column + 1);
        marginsGrid->addWidget(new QLabel(QStringLiteral("mm"), marginsBox), m.row, m.column + 2);
    }
    marginsGrid->setColumnMinimumWidth(2, 40);
    auto* orientationBox = new QGroupBox(QStringLiteral("Orientare"), m_pagePage);
    m_portrait = new QRadioButton(QStringLiteral("&Portret"), orientationBox);
    m_landscape = new QRadioButton(QStringLiteral("P&eisaj"), orientationBox);
    auto* orientationLayout = new QHBoxLayout(orientationBox);
    orientationLayout->addWidget(m_portrait);
    orientationLayout->addWidget(m_landscape);
    orientationLayout->addStretch(1);
    auto* pageLayout = new QVBoxLayout(m_pagePage);
    pageLayout->addWidget(marginsBox);
    pageLayout->addWidget(orientationBox);
    pageLayout->addStretch(1);
    m_pages->addTab(m_pagePage, QStringLiteral("Pagina"));

    // Buttons.
    m_printerSetup = new QPushButton(QStringLiteral("&Imprimanta"), this);
    m_fontButton = new QPushButton(QStringLiteral("&Font"), this);
    m_print = new QPushButton(QStringLiteral("&Printeaza"), this);
    m_print->setToolTip(QStringLiteral("Sunt de acord"));
    m_print->setDefault(true);
    m_close = new QPushButton(QStringLiteral("&Inchide"), this);
    m_close->setToolTip(QStringLiteral("Renunt"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_printerSetup);
    buttons->addWidget(m_fontButton);
    buttons->addStretch(1);
    buttons->addWidget(m_print);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    // Every change goes to the logic, and the controls show what it kept.
    const auto bind = [this](auto* sender, auto signal, auto apply) {
        connect(sender, signal, this, [this, apply](auto value) {
            apply(value);
            showState();
        });
    };
    bind(m_partial, &QRadioButton::toggled, [this](bool on) { m_logic.setPartial(on); });
    bind(m_first, &QSpinBox::valueChanged, [this](int v) { m_logic.setFirstPage(v); });
    bind(m_last, &QSpinBox::valueChanged, [this](int v) { m_logic.setLastPage(v); });
    bind(m_copies, &QSpinBox::valueChanged, [this](int v) { m_logic.setCopies(v); });
    bind(m_preview, &QCheckBox::toggled, [this](bool on) { m_logic.setPreview(on); });
    bind(m_printer, &QComboBox::currentTextChanged, [this](const QString& name) { m_logic.setPrinter(name); });
    bind(m_top, &QSpinBox::valueChanged, [this](int v) { m_logic.setMargin(MarginSide::Top, v); });
    bind(m_bottom, &QSpinBox::valueChanged, [this](int v) { m_logic.setMargin(MarginSide::Bottom, v); });
    bind(m_left, &QSpinBox::valueChanged, [this](int v) { m_logic.setMargin(MarginSide::Left, v); });
    bind(m_right, &QSpinBox::valueChanged, [this](int v) { m_logic.setMargin(MarginSide::Right, v); });
    bind(m_landscape, &QRadioButton::toggled, [this](bool on) {
        m_logic.setOrientation(on ? PageOrientation::Landscape : PageOrientation::Portrait);
    });
    connect(m_printerSetup, &QPushButton::clicked, this, &TQRPrnDlg::printerSetupClicked);
    connect(m_fontButton, &QPushButton::clicked, this, &TQRPrnDlg::fontClicked);
    connect(m_print, &QPushButton::clicked, this, &TQRPrnDlg::printClicked);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    showState();
}

void TQRPrnDlg::setPrintCaption(const QString& caption)
{
    m_caption->setText(caption);
    m_caption->setVisible(!caption.isEmpty());
}

QSpinBox* TQRPrnDlg::marginBox(MarginSide side) const
{
    switch (side) {
    case MarginSide::Top:
        return m_top;
    case MarginSide::Bottom:
        return m_bottom;
    case MarginSide::Left:
        return m_left;
    case MarginSide::Right:
        break;
    }
    return m_right;
}

void TQRPrnDlg::showState()
{
    const QList<QWidget*> controls{m_all, m_partial, m_first, m_last, m_copies, m_preview, m_printer,
                                   m_top, m_bottom, m_left, m_right, m_portrait, m_landscape};
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QWidget* w : controls)
        blockers.push_back(std::make_unique<QSignalBlocker>(w));

    const bool partial = m_logic.partial();
    m_all->setChecked(!partial);
    m_partial->setChecked(partial);
    for (QWidget* w : {static_cast<QWidget*>(m_first), static_cast<QWidget*>(m_last),
                       static_cast<QWidget*>(m_firstLabel), static_cast<QWidget*>(m_lastLabel)})
        w->setEnabled(partial);
    m_first->setValue(m_logic.firstPage());
    m_last->setMinimum(m_logic.firstPage());
    m_last->setValue(m_logic.lastPage());
    m_copies->setValue(m_logic.copies());
    m_preview->setChecked(m_logic.preview());
    if (m_printer->findText(m_logic.printer()) < 0)
        m_printer->addItem(m_logic.printer());
    m_printer->setCurrentText(m_logic.printer());
    m_font->setText(m_logic.fontText());
    for (MarginSide side : {MarginSide::Top, MarginSide::Bottom, MarginSide::Left, MarginSide::Right}) {
        QSpinBox* box = marginBox(side);
        box->setMaximum(m_logic.marginMaximum(side));
        box->setValue(m_logic.margin(side));
    }
    const bool landscape = m_logic.orientation() == PageOrientation::Landscape;
    m_portrait->setChecked(!landscape);
    m_landscape->setChecked(landscape);
}

void TQRPrnDlg::printClicked()
{
    if (m_logic.print()) {
        accept();
        return;
    }
    showState();
    m_pages->setCurrentWidget(m_pagePage);
    marginBox(m_logic.focusMargin())->setFocus();
}

// "&Imprimanta": the system's page setup for the chosen printer; the paper
// and orientation chosen there come back to the dialog.
void TQRPrnDlg::printerSetupClicked()
{
    QPrinter printer(QPrinter::HighResolution);
    configurePrinter(printer, m_logic.choice());
    QPageSetupDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QPageLayout layout = printer.pageLayout();
    m_logic.setPaper(reportengine::paperIndexOf(layout.pageSize()), layout.orientation() == QPageLayout::Landscape
                                                          ? PageOrientation::Landscape
                                                          : PageOrientation::Portrait);
    showState();
}

// "&Font": the font chosen there, 5 to 48 points, in its own pitch.
void TQRPrnDlg::fontClicked()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, QFont(m_logic.fontName(), m_logic.fontSize()), this);
    if (!ok)
        return;
    m_logic.setFont(chosen.family(), chosen.pointSize(), FontPitch::Default);
    showState();
}

bool ShowPrintSetup(QWidget* owner, PrintSettings& settings, Printers& printers, common::Dialogs& dialogs,
                    const QString& caption)
{
    TQRPrnDlg dialog(settings, printers, dialogs, owner);
    dialog.setPrintCaption(caption);
    return dialog.exec() == QDialog::Accepted;
}

bool ShowPrintSetup(QWidget* owner, PrintSettings& settings, common::Dialogs& dialogs, const QString& caption)
{
    QtPrinters printers;
    return ShowPrintSetup(owner, settings, printers, dialogs, caption);
}

bool ApplyPrintSettings(reportengine::Report& report, reportengine::RowSource* rows, const PrintSettings& settings,
                        Printers& printers, common::Dialogs& dialogs, QWidget* owner)
{
    const PrinterChoice choice{printers.resolve(settings.printer), settings.paperSize, settings.orientation};
    applyPageSettings(report, settings, printers.paperIndex(choice), printers.limits(choice));
    const reportengine::PageList pages = rows ? report.layout(*rows) : report.layout();
    if (settings.preview) {
        reportengine::showPreview(pages, dialogs, owner);
        return true;
    }
    QString file;
    if (choice.printer == QLatin1String(kPdfPrinterName)) {
        const QString name = (pages.title.isEmpty() ? QStringLiteral("raport") : pages.title) + QStringLiteral(".pdf");
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        file = QFileDialog::getSaveFileName(owner, QStringLiteral("Salveaza raportul ca PDF"),
                                            QDir(folder).filePath(name), QStringLiteral("PDF (*.pdf)"));
        if (file.isEmpty())
            return false;
    }
    if (printReportPages(pages, settings, choice.printer, file))
        return true;
    dialogs.error(file.isEmpty() ? QStringLiteral("Raportul nu a putut fi trimis la imprimanta %1.").arg(choice.printer)
                                 : QStringLiteral("Fisierul %1 nu a putut fi scris.").arg(QDir::toNativeSeparators(file)));
    return false;
}

bool ApplyPrintSettings(reportengine::Report& report, reportengine::RowSource* rows, const PrintSettings& settings,
                        common::Dialogs& dialogs, QWidget* owner)
{
    QtPrinters printers;
    return ApplyPrintSettings(report, rows, settings, printers, dialogs, owner);
}

} // namespace prints
