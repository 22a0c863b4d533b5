#pragma once
// The Qt implementation of common::Dialogs: modal message boxes with the
// Romanian button captions, an input box and the error beep.

#include "common/dialogs.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QMessageBox;
class QAbstractButton;

namespace ui {

class QtDialogs : public common::Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr);

    // The window the boxes are centred on and modal to; may be null.
    void setParent(QWidget* parent) { m_parent = parent; }
    QWidget* parent() const { return m_parent; }

    common::Answer message(common::Icon icon, const QString& text,
                           common::Buttons buttons = common::Buttons::Ok) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& initial) override;
    void beep() override;

    // The box message() shows, built but not run: icon, title, text with its
    // line breaks, and the buttons ("OK", "Renunta", "Da", "Nu").
    static std::unique_ptr<QMessageBox> buildMessageBox(common::Icon icon, const QString& text,
                                                        common::Buttons buttons, QWidget* parent);
    // The answer that a click on `clicked` of a box built above stands for;
    // closing the box without a button counts as the negative answer.
    static common::Answer answerFor(const QMessageBox& box, const QAbstractButton* clicked,
                                    common::Buttons buttons);

private:
    QWidget* effectiveParent() const;
    QPointer<QWidget> m_parent;
};

} // namespace ui
