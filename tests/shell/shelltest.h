#pragma once
// Fixtures shared by the shell tests: a context under a temporary home folder,
// a fake main window host and a fake opening window whose folder picker
// answers from a queue.

#include "common/scripteddialogs.h"
#include "shell/appcontext.h"
#include "shell/mainformlogic.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QSettings>
#include <QStringList>
#include <memory>
#include <optional>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace shelltest {

inline void writeFile(const QString& path, const QByteArray& content = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
}

// Answers browse() from a queue; nullopt (cancel) when the queue is empty.
class FakePicker : public datastore::FolderPicker {
public:
    QList<std::optional<QString>> answers;
    QStringList starts; // the start directory of every call

    std::optional<QString> browse(const QString& startDir, const NewDirectoryHandler&) override
    {
        starts << startDir;
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

class FakeOpeningWindow : public shell::OpeningWindow {
public:
    explicit FakeOpeningWindow(FakePicker& picker) : m_picker(picker) {}
    void setStepText(const QString& text) override { steps << text; }
    void setStepVisible(bool) override {}
    void setProgress(int percent) override { lastProgress = percent; }
    datastore::FolderPicker& folderPicker() override { return m_picker; }
    void setProgressBarVisible(bool visible) override { progressBarVisible = visible; }

    QStringList steps;
    int lastProgress = -1;
    bool progressBarVisible = false;

private:
    FakePicker& m_picker;
};

class FakeHost : public shell::MainFormHost {
public:
    QString title = QString::fromLatin1(shell::kTitleNoDatabase);
    int children = 0;
    std::optional<int> refreshInterval; // unset until the start-up sets it
    QImage picture;
    int pictureCalls = 0;
    int openingWindows = 0;
    bool lastProgressBarVisible = false;
    FakePicker picker;

    void setTitle(const QString& t) override { title = t; }
    int childWindowCount() const override { return children; }
    void setRefreshInterval(int ms) override { refreshInterval = ms; }
    void setBackgroundPicture(const QImage& p) override
    {
        picture = p;
        ++pictureCalls;
    }
    void setBusyCursor(bool) override {}
    std::unique_ptr<shell::OpeningWindow> createOpeningWindow() override
    {
        ++openingWindows;
        return std::make_unique<FakeOpeningWindow>(picker);
    }
};

// A context whose files all live in a temporary folder.
struct ContextFixture {
    testsupport::TempDir home;
    shell::AppPaths paths = shell::AppPaths::inFolder(home.path());
    common::ScriptedDialogs dialogs;
    QSettings settings{home.file(QStringLiteral("registry.ini")), QSettings::IniFormat};
    std::unique_ptr<shell::AppContext> ctx = std::make_unique<shell::AppContext>(paths, dialogs, settings);

    // A folder for a database (created, empty).
    QString newDir(const QString& name) const
    {
        const QString dir = home.file(name);
        QDir().mkpath(dir);
        return dir;
    }
};

} // namespace shelltest
