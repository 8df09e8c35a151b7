#pragma once

#include <QString>
#include <QStringList>

class Clock;
class Database;
class Dialogs;

// Copies and moves club data from the database of slot 1 to that of slot 4 and back. Each
// action opens both files itself (the slot-4 file attached to the slot-1 file), so that
// what belongs together is written in one transaction across both.
class Tabellenuebernahme {
  public:
    // The two files as the settings window shows them (stored form, mapped like every path).
    // `uhr` dates the lines of the logs.
    Tabellenuebernahme(Dialogs& dialogs, const Clock& uhr, QString db1, QString db4);

    // Command1: every table of slot 1 the user confirms (not those beginning with "MS").
    void ausgewaehlteTabellen();
    // Command2: the members.
    void mitglieder();
    // Command3: results of weekday `tag1` into slot 1, all others into slot 4, each with its
    // single shots; a result whose member and day the other file has already stays.
    void nachTagSortieren(const QString& tag1);

    // The tables Command1 offers, in the order the file lists them.
    static QStringList angeboteneTabellen(Database& db);

  private:
    bool vorbedingung();
    bool oeffnen(Database& db);
    // False when the table was not copied (and the user told why).
    bool tabelleKopieren(Database& db, const QString& tabelle);

    Dialogs& dialogs_;
    const Clock& uhr_;
    QString db1Text_, db4Text_;
    QString db1_, db4_;
};
