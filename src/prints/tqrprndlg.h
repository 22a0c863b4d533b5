#pragma once
// The print-settings dialog "Setari pentru listarea rapoarte", shown before
// each print with that print's own settings, its name above the pages. Its
// rules are PrintSetupLogic; the dialog binds the controls.

#include "printsettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace reportengine {
class RowSource;
} // namespace reportengine

namespace prints {

class TQRPrnDlg : public QDialog {
    Q_OBJECT
public:
    TQRPrnDlg(PrintSettings& settings, Printers& printers, common::Dialogs& dialogs, QWidget* parent = nullptr);

    PrintSetupLogic& logic() { return m_logic; }

    // The name of the print the settings are for (hidden when empty).
    void setPrintCaption(const QString& caption);
    QLabel* printCaptionLabel() const { return m_caption; }

    QTabWidget* pages() const { return m_pages; }
    QRadioButton* allPagesButton() const { return m_all; }
    QRadioButton* partialButton() const { return m_partial; }
    QSpinBox* firstPageBox() const { return m_first; }
    QSpinBox* lastPageBox() const { return m_last; }
    QSpinBox* copiesBox() const { return m_copies; }
    QCheckBox* previewBox() const { return m_preview; }
    QComboBox* printerBox() const { return m_printer; }
    QLabel* fontLabel() const { return m_font; }
    QSpinBox* marginBox(MarginSide side) const;
    QRadioButton* portraitButton() const { return m_portrait; }
    QRadioButton* landscapeButton() const { return m_landscape; }
    QPushButton* printerSetupButton() const { return m_printerSetup; }
    QPushButton* fontButton() const { return m_fontButton; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* closeButton() const { return m_close; }

    // "&Printeaza": closes the dialog when the logic lets it.
    void printClicked();

private:
    void showState(); // every control from the logic
    void printerSetupClicked();
    void fontClicked();

    PrintSetupLogic m_logic;
    QLabel* m_caption = nullptr;
    QTabWidget* m_pages = nullptr;
    QWidget* m_pagePage = nullptr;
    QRadioButton* m_all = nullptr;
    QRadioButton* m_partial = nullptr;
    QLabel* m_firstLabel = nullptr;
    QLabel* m_lastLabel = nullptr;
    QSpinBox* m_first = nullptr;
    QSpinBox* m_last = nullptr;
    QSpinBox* m_copies = nullptr;
    QCheckBox* m_preview = nullptr;
    QComboBox* m_printer = nullptr;
    QLabel* m_font = nullptr;
    QSpinBox* m_top = nullptr;
    QSpinBox* m_bottom = nullptr;
    QSpinBox* m_left = nullptr;
    QSpinBox* m_right = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    QPushButton* m_printerSetup = nullptr;
    QPushButton* m_fontButton = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
};

// Shows the print-settings dialog over `owner` for the print named
// `caption`; true when the user chose "&Printeaza" (the parameters are then
// stored in `settings`, that print's own).
bool ShowPrintSetup(QWidget* owner, PrintSettings& settings, Printers& printers, common::Dialogs& dialogs,
                    const QString& caption = {});
// The same with the printers of this computer.
bool ShowPrintSetup(QWidget* owner, PrintSettings& settings, common::Dialogs& dialogs, const QString& caption = {});

// Copies the parameters into the report (font, paper and orientation of the
// printer, margins raised to the printer's minimum), lays it out over `rows`
// (none when null) and shows it in the preview window when the preview is
// on, otherwise prints it on the current printer with the copies and pages
// chosen; printing to the PDF file asks for the file's name first. False
// when nothing was shown or printed: no file name was given, or the printer
// could not start (after a message).
bool ApplyPrintSettings(reportengine::Report& report, reportengine::RowSource* rows, const PrintSettings& settings,
                        Printers& printers, common::Dialogs& dialogs, QWidget* owner = nullptr);
// The same with the printers of this computer.
bool ApplyPrintSettings(reportengine::Report& report, reportengine::RowSource* rows, const PrintSettings& settings,
                        common::Dialogs& dialogs, QWidget* owner = nullptr);

} // namespace prints
