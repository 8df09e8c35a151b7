#pragma once

#include <QQueue>
#include <QStringList>

#include "platform/Dialogs.h"

// Answers questions from a script and records every text shown. A yes/no question, a text
// or a file asked for that nobody scripted fails the test that met it (and is answered
// "Nein" or cancelled so that the test ends instead of hanging).
class ScriptedDialogs : public Dialogs {
  public:
    void answerYes() { answers_.enqueue(true); }
    void answerNo() { answers_.enqueue(false); }
    void answerFile(const QString& path) { files_.enqueue(path); }
    // An empty text scripts the user cancelling.
    void answerText(const QString& text) { texts_.enqueue(text); }
    // The answer of the next choice, by its text; unscripted choices take their default.
    void answerChoice(const QString& antwort) { choices_.enqueue(antwort); }

    void message(const QString& text) override;
    void hinweis(const QString& text) override { hinweise << text; }
    bool askYesNo(const QString& text, Vorgabe vorgabe = Vorgabe::Ja) override;
    QString askText(const QString& text, const QString& vorgabe = {}) override;
    int waehlen(const QString& text, const QStringList& antworten, int vorgabe) override;
    QString openFileName(const QString& title, const QString& directory,
                         const QString& filter) override;

    QStringList messages;
    QStringList hinweise;  // notes that wait for nobody
    QStringList questions;
    QStringList questionsDefaultNo;  // the questions whose Enter answers "Nein"
    int unansweredQuestions = 0;
    QStringList choices;         // the texts of the choices asked
    QStringList choiceDefaults;  // the answer Enter gave for each
    QList<QStringList> choiceAnswers;  // the answers each offered
    bool allAnswersUsed() const {
        return answers_.isEmpty() && files_.isEmpty() && texts_.isEmpty();
    }

  private:
    void unscripted(const char* art, const QString& text);

    QQueue<bool> answers_;
    QQueue<QString> files_;
    QQueue<QString> texts_;
    QQueue<QString> choices_;
};
