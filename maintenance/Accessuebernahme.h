#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/MdbText.h"

#include <functional>
#include <vector>

class AccessLeser;


// What was taken over: one line per table with its rows.
struct Uebernahmebericht {
    QStringList tabellen;     // "Mitglieder: 120 Zeilen"
    QStringList nichtLesbar;  // what mdbtools could not give, table by table
    qint64 zeilen = 0;
    bool vereinsdatenbank = false;
    QString text(const QString& alt, const QString& neu) const;
};

// Takes every table of an Access file into a new SQLite file. A file with the club's
// tables gets the club schema (declared types, the view Heute, the indexes); tables the
// schema does not know are taken over as they are. The new file appears only when
// everything is in it; a failure leaves nothing at `neu`.
class Accessuebernahme {
  public:
    using Fortschritt = std::function<void(int fertig, int gesamt, const QString& tabelle)>;

    Accessuebernahme(AccessLeser& leser, Fortschritt fortschritt = {});

    // False with the German reason. Throws nothing.
    bool uebernehmen(const QString& neu, Uebernahmebericht* bericht, QString* fehler);

  private:
    AccessLeser& leser_;
    Fortschritt fortschritt_;
};

// The whole course for a user: the file checked, a safety copy "Sicherung_<name> <time>"
// (the time `jetzt`) in the backups folder (the rule's, or `sicherungsordner`), then the
// takeover. Nothing is written beside the old file; a failure removes the copy again. The
// report or the German reason in *text.
bool accessDateiUebernehmen(const QString& alt, const QString& neu, const QDateTime& jetzt,
                            const Accessuebernahme::Fortschritt& fortschritt, QString* text,
                            const QString& sicherungsordner = {});

// A club file without members and evenings: nothing in it would be lost by taking an old
// file over it. False also when it cannot be read.
bool vereinsdateiLeer(const QString& datei);

// The file an Access file is taken over into: beside it, ".db" instead of ".mdb".
QString uebernahmeZiel(const QString& mdb);
