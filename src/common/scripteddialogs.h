#pragma once
// A Dialogs for tests: it shows nothing, records every message and input box,
// and answers from a script.
//
// Questions (OK/Cancel, Yes/No) take their answer from the queue filled by
// queueAnswer(); plain OK boxes never take from the queue and answer Ok.
// A queued answer is matched to the box's buttons: Yes and Ok both accept,
// No and Cancel both refuse, so the answer is always one of the shown buttons.
// With an empty queue a question is accepted (Yes / Ok), or refused when
// acceptByDefault is false. Input boxes take from their own queue; with an
// empty queue they return the initial value, or nullopt when acceptByDefault
// is false.

#include "dialogs.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace common {

class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        Icon icon = Icon::Information;
        QString text; // exactly as given, line breaks untouched
        Buttons buttons = Buttons::Ok;
        Answer answer = Answer::Ok; // what the script answered
    };
    struct Input {
        QString caption;
        QString prompt;
        QString initial;
        std::optional<QString> answer;
    };

    QList<Message> messages;
    QList<Input> inputs;
    int beeps = 0;
    bool acceptByDefault = true;

    Answer message(Icon icon, const QString& text, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& initial) override;
    void beep() override { ++beeps; }

    void queueAnswer(Answer answer) { m_answers.append(answer); }
    void queueInput(std::optional<QString> value) { m_inputs.append(std::move(value)); }
    qsizetype pendingAnswers() const { return m_answers.size(); }
    qsizetype pendingInputs() const { return m_inputs.size(); }

    QStringList texts() const;   // the texts of every message, in order
    Message last() const;        // the last message; an empty Message when there is none
    void clear();                // forgets messages, inputs, beeps and both queues

private:
    QList<Answer> m_answers;
    QList<std::optional<QString>> m_inputs;
};

} // namespace common
