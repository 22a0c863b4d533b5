#pragma once
// The about box: a borderless modal window with a picture and three pages
// (author, contact, version). Any click on the picture or the pages, and any
// key, closes it; the tabs switch pages.

#include <QDialog>

class QTabWidget;
class QLabel;

namespace shell {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // version: "major.minor.release.build"; empty when it cannot be read.
    explicit TAboutBox(const QString& version, QWidget* parent = nullptr);

    QTabWidget* pages() const { return m_pages; }
    QLabel* picture() const { return m_picture; }
    // "Versiunea 1.0.0.1", or "Versiune ????" without a version.
    static QString versionCaption(const QString& version);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* m_pages = nullptr;
    QLabel* m_picture = nullptr;
};

} // namespace shell
