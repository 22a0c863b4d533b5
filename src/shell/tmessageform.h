#pragma once
// TMessageForm: the small borderless work message window ("Selectez
// datele...", "Prelucrez datele...") that stays on screen, without taking
// input, while a report gathers its data. The main window shows and frees it
// (ShowWorkMessage / CloseWorkMessage).

#include <QWidget>

class QLabel;

namespace shell {

class TMessageForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 300;
    static constexpr int kDesignHeight = 64;
    static constexpr int kPictureWidth = 48;
    static constexpr int kTextMargin = 18;

    explicit TMessageForm(QWidget* owner = nullptr);

    // Sets the text, widening the window when it does not fit (fittedWidth)
    // and centring it again horizontally; its top stays.
    void setText(const QString& text);
    QString text() const;
    // Centres the window on its screen.
    void centreOnScreen();

    // The width rule: when text + picture do not fit the design width, the
    // window becomes text + picture + 18 pixels wide, at most the screen width.
    static int fittedWidth(int designWidth, int textWidth, int pictureWidth, int screenWidth);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect screenArea() const;

    QLabel* m_text = nullptr;
    QLabel* m_picture = nullptr;
};

} // namespace shell
