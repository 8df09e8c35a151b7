#include "tests/support/ScriptedDialogs.h"

#include <QTest>

void ScriptedDialogs::message(const QString& text) {
    messages.append(text);
}

void ScriptedDialogs::unscripted(const char* art, const QString& text) {
    ++unansweredQuestions;
    const QByteArray meldung =
        QByteArray("unscripted ") + art + ": " + text.toUtf8();
    QTest::qFail(meldung.constData(), __FILE__, __LINE__);
}

bool ScriptedDialogs::askYesNo(const QString& text, Vorgabe vorgabe) {
    questions.append(text);
    if (vorgabe == Vorgabe::Nein) {
        questionsDefaultNo.append(text);
    }
    if (answers_.isEmpty()) {
        unscripted("question", text);
        return false;
    }
    return answers_.dequeue();
}

QString ScriptedDialogs::askText(const QString& text, const QString&) {
    questions.append(text);
    if (texts_.isEmpty()) {
        unscripted("text", text);
        return {};
    }
    return texts_.dequeue();
}

QString ScriptedDialogs::openFileName(const QString& title, const QString&, const QString&) {
    questions.append(title);
    if (files_.isEmpty()) {
        unscripted("file dialog", title);
        return {};
    }
    return files_.dequeue();
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
