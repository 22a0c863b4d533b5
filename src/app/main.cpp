// Mirafel: the stock of materials and inventory objects of one institution.

#include "shell/appcontext.h"
#include "shell/artwork.h"
#include "shell/mainformlogic.h"
#include "shell/singleinstance.h"
#include "shell/tmainform.h"
#include "ui/qtdialogs.h"
#include "ui/translations.h"

#include "datastore/databaseopening.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <memory>

namespace {

// Exceptions that escape an event handler end up here: they are reported the
// way the main window reports the errors of its commands (an engine key
// violation as the duplicate-record warning) and the program goes on.
class MirafelApplication : public QApplication {
public:
    using QApplication::QApplication;

    void setDialogs(common::Dialogs* dialogs) { m_dialogs = dialogs; }

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            if (m_dialogs)
                shell::reportException(*m_dialogs, std::current_exception());
            return false;
        }
    }

private:
    common::Dialogs* m_dialogs = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    MirafelApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QLatin1String(datastore::kSettingsOrganisation));
    QCoreApplication::setApplicationName(QLatin1String(datastore::kSettingsApplication));
    QCoreApplication::setApplicationVersion(shell::versionString());
    // Qt's own dialogs (saving a file, printing) speak Romanian too.
    ui::installRomanianTranslations(app);

    // Before anything else: a copy that already runs comes forward instead.
    shell::SingleInstance instance(shell::SingleInstance::defaultServerName());
    if (!instance.tryBecomePrimary())
        return 0;

    QApplication::setWindowIcon(QIcon(shell::artwork::applicationIcon(32)));
    ui::QtDialogs dialogs;
    const shell::AppPaths paths = shell::AppPaths::resolve();
    // The current user's key Software\Corvane\Mirafel (a file under MIRAFEL_HOME when it is set).
    std::unique_ptr<QSettings> registry = paths.registryFile.isEmpty()
        ? std::make_unique<QSettings>(QLatin1String(datastore::kSettingsOrganisation),
                                      QLatin1String(datastore::kSettingsApplication))
        : std::make_unique<QSettings>(paths.registryFile, QSettings::IniFormat);
    shell::AppContext context(paths, dialogs, *registry);

    shell::TMainForm mainForm(context);
    dialogs.setParent(&mainForm);
    app.setDialogs(&dialogs);
    QObject::connect(&instance, &shell::SingleInstance::activationRequested, &mainForm,
                     &shell::TMainForm::bringToFront);

    mainForm.startUp();
    mainForm.showMaximized();
    const int code = app.exec();
    app.setDialogs(nullptr);
    return code;
}
