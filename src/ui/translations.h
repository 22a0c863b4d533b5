#pragma once
// The Romanian texts of Qt's own dialogs and controls: the file dialog
// ("Salveaza...", "Deschide..."), the print and page setup dialogs, the font
// dialog, the buttons of message boxes and input boxes, the context menu of
// an edit box.
//
// installRomanianTranslations loads Qt's own Romanian translations from the
// folder Qt names for them (QLibraryInfo::TranslationsPath: qtbase_ro.qm,
// qt_ro.qm) when the system has them, and under them the program's own
// Romanian texts of the same dialogs (StandardDialogsTranslator), so that a
// dialog is Romanian whether or not Qt's translation of it is installed.

#include <QHash>
#include <QString>
#include <QTranslator>

class QCoreApplication;

namespace ui {

class StandardDialogsTranslator : public QTranslator {
    Q_OBJECT
public:
    explicit StandardDialogsTranslator(QObject* parent = nullptr);

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
    int size() const { return static_cast<int>(m_texts.size()); }

private:
    QHash<QString, QString> m_texts; // context + '\x1f' + source text -> Romanian text
};

// The translators above, installed on `app` (and owned by it). Returns the
// Qt translation files loaded (empty when the system has none for Romanian).
QStringList installRomanianTranslations(QCoreApplication& app);

} // namespace ui
