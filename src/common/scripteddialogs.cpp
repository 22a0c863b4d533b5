#include "scripteddialogs.h"

namespace common {

namespace {

bool accepts(Answer a)
{
    return a == Answer::Yes || a == Answer::Ok;
}

Answer answerFor(Buttons buttons, bool accept)
{
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo)
        return accept ? Answer::Yes : Answer::No;
    return accept ? Answer::Ok : Answer::Cancel;
}

} // namespace

Answer ScriptedDialogs::message(Icon icon, const QString& text, Buttons buttons)
{
    Answer answer = Answer::Ok;
    if (buttons != Buttons::Ok) {
        const bool accept = m_answers.isEmpty() ? acceptByDefault : accepts(m_answers.takeFirst());
        answer = answerFor(buttons, accept);
    }
    messages.append(Message{icon, text, buttons, answer});
    return answer;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& caption, const QString& prompt,
                                                 const QString& initial)
{
    std::optional<QString> answer;
    if (!m_inputs.isEmpty())
        answer = m_inputs.takeFirst();
    else if (acceptByDefault)
        answer = initial;
    inputs.append(Input{caption, prompt, initial, answer});
    return answer;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Message& m : messages)
        out << m.text;
    return out;
}

ScriptedDialogs::Message ScriptedDialogs::last() const
{
    return messages.isEmpty() ? Message() : messages.last();
}

void ScriptedDialogs::clear()
{
    messages.clear();
    inputs.clear();
    beeps = 0;
    m_answers.clear();
    m_inputs.clear();
}

} // namespace common
