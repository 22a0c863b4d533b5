#pragma once
// The message boxes, questions and input boxes that window logic uses.
// Logic classes never open a window themselves: they talk to a Dialogs.
// The application passes a Qt implementation (ui::QtDialogs); tests pass a
// ScriptedDialogs that records every message and answers from a script.

#include <QString>
#include <optional>

namespace common {

enum class Icon { Warning, Error, Information, Confirmation };
// YesNoDefaultNo: a question whose safe answer is No (Enter answers No).
enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal message box. Texts may carry "\r" line breaks as written in
    // the system's messages; implementations show them as real line breaks.
    virtual Answer message(Icon icon, const QString& text, Buttons buttons = Buttons::Ok) = 0;
    // Input box with a caption, a prompt and an initial value; nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                            const QString& initial) = 0;
    // The platform's error beep.
    virtual void beep() = 0;

    void warning(const QString& text) { message(Icon::Warning, text); }
    void error(const QString& text) { message(Icon::Error, text); }
    void information(const QString& text) { message(Icon::Information, text); }
    // Yes/No (or OK/Cancel) question; true for Yes or OK.
    bool confirm(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Confirmation)
    {
        const Answer a = message(icon, text, buttons);
        return a == Answer::Yes || a == Answer::Ok;
    }
};

// "\r", "\r\n" and "\n" all become "\n": the line breaks a widget shows.
QString displayText(const QString& text);

} // namespace common
