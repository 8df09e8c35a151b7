#pragma once

#include <QString>
#include <QStringList>

// Message boxes and the file-open dialog. Windows ask through this interface so that
// tests can answer with a scripted double and read every text that was shown.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A message with an "OK" button.
    virtual void message(const QString& text) = 0;

    // A note that waits for nobody: shown beside the window, the program goes on at once.
    virtual void hinweis(const QString& text) { (void)text; }

    // Which button Enter presses.
    enum class Vorgabe { Ja, Nein };

    // A question with "Ja" and "Nein"; true for "Ja". A question whose "Ja" destroys or
    // replaces data has "Nein" as its default.
    virtual bool askYesNo(const QString& text, Vorgabe vorgabe = Vorgabe::Ja) = 0;

    // A question with its answers as buttons, left to right; Enter and Esc press the answer
    // `vorgabe`. Returns the index of the answer chosen.
    virtual int waehlen(const QString& text, const QStringList& antworten, int vorgabe) {
        (void)text, (void)antworten;
        return vorgabe;
    }

    // A line of text asked for, with `vorgabe` filled in; "" when the user cancelled.
    virtual QString askText(const QString& text, const QString& vorgabe = {}) {
        (void)text, (void)vorgabe;
        return {};
    }

    // The chosen file, or "" when the user cancelled.
    virtual QString openFileName(const QString& title, const QString& directory,
                                 const QString& filter) = 0;
};
