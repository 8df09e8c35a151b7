#include "tests/support/ScriptedDialogs.h"

void ScriptedDialogs::message(const QString& text) {
    messages.append(text);
}

bool ScriptedDialogs::askYesNo(const QString& text, Vorgabe vorgabe) {
    questions.append(text);
    if (vorgabe == Vorgabe::Nein) {
        questionsDefaultNo.append(text);
    }
    if (answers_.isEmpty()) {
        ++unansweredQuestions;
        return false;
    }
    return answers_.dequeue();
}

QString ScriptedDialogs::askText(const QString& text, const QString&) {
    questions.append(text);
    return texts_.isEmpty() ? QString() : texts_.dequeue();
}

QString ScriptedDialogs::openFileName(const QString& title, const QString&, const QString&) {
    questions.append(title);
    return files_.isEmpty() ? QString() : files_.dequeue();
}

int ScriptedDialogs::waehlen(const QString& text, const QStringList& antworten, int vorgabe) {
    choices.append(text);
    choiceDefaults.append(antworten.value(vorgabe));
    choiceAnswers.append(antworten);
    if (choices_.isEmpty()) {
        return vorgabe;  // Enter
    }
    const auto i = antworten.indexOf(choices_.dequeue());
    return i < 0 ? -1 : static_cast<int>(i);
}
